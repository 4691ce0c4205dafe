# Sourced by the Windows session scripts: the build's private Wine prefix.
#   use_wine_prefix <prefix>   export the prefix (absolute) and create it once
#   register_control <ocx>     regsvr32 the module into it
use_wine_prefix() {
  local prefix=$1
  mkdir -p "$(dirname "$prefix")"
  prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")  # Wine wants it absolute
  export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== initialising the Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
}

register_control() {
  local ocx=$1
  if [ ! -f "$ocx" ]; then echo "ERROR: $ocx is missing"; return 1; fi
  echo "== regsvr32 $(basename "$ocx")"
  if wine regsvr32 /s "$(winepath -w "$ocx")"; then
    echo "registered"
  else
    echo "ERROR: regsvr32 failed"; return 1
  fi
}
