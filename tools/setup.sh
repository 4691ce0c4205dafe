#!/usr/bin/env bash
# Installs everything the two builds need from Debian's archive and cross-builds
# the codec libraries for i686 Windows into a cache outside the clone.
# Idempotent: a second run only checks and returns.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cache=${VELLOMAR_CACHE:-/var/cache/vellomar}
stamp_dir=$cache/stamps
mkdir -p "$stamp_dir"

native_packages=(
  build-essential cmake ninja-build pkg-config dpkg-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg62-turbo-dev libpng-dev libtiff-dev libopenjp2-7-dev zlib1g-dev
  mingw-w64 g++-mingw-w64-i686 gcc-mingw-w64-i686 mingw-w64-tools libz-mingw-w64-dev
  libwine-dev wine wine32 xvfb xauth nasm libjpeg-turbo-progs openssl
  python3 python3-pyftpdlib imagemagick fonts-dejavu-core
)

log() { printf '[setup] %s\n' "$*"; }

have_all_packages() {
  local installed
  installed=$(dpkg-query -W -f='${Status}\n' "${native_packages[@]}" 2>/dev/null |
    grep -c 'install ok installed' || true)
  [ "$installed" -eq "${#native_packages[@]}" ]
}

ensure_sources() {
  local src=/etc/apt/sources.list.d/vellomar-deb-src.sources
  if [ ! -f "$src" ]; then
    log "adding deb-src entry"
    cat >"$src" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    rm -f "$stamp_dir/apt-updated"
  fi
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    log "adding the i386 architecture"
    dpkg --add-architecture i386
    rm -f "$stamp_dir/apt-updated"
  fi
}

install_packages() {
  ensure_sources
  if have_all_packages && [ -f "$stamp_dir/apt-updated" ]; then return; fi
  log "installing Debian packages"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  touch "$stamp_dir/apt-updated"
  apt-get install -y -qq --no-install-recommends "${native_packages[@]}" >/dev/null
}

# Version of a source package as apt would fetch it, for the cache key.
source_version() {
  apt-cache showsrc "$1" 2>/dev/null | awk '/^Version:/ {print $2; exit}'
}

mingw_prefix=$cache/mingw-i686
toolchain=$here/cmake/toolchain-mingw-i686.cmake

cross_build() {
  local pkg=$1; shift
  local ver; ver=$(source_version "$pkg")
  [ -n "$ver" ] || { echo "no source package $pkg" >&2; exit 1; }
  local key="$pkg-$ver"
  [ -f "$stamp_dir/$key" ] && return
  log "cross-building $pkg $ver for i686-w64-mingw32"
  local work=$cache/src/$key
  rm -rf "$work"; mkdir -p "$work"
  (cd "$work" && apt-get source -qq --download-only "$pkg=$ver" >/dev/null 2>&1 &&
     dpkg-source -x --skip-patches ./*.dsc src >/dev/null 2>&1 ||
     dpkg-source -x ./*.dsc src >/dev/null)
  # Debian's own patches are applied so the library matches the packaged one.
  (cd "$work/src" && if [ -f debian/patches/series ] && [ ! -d .pc ]; then
     while read -r p; do case "$p" in ''|\#*) continue;; esac
       patch -p1 -s <"debian/patches/${p%% *}" || true; done <debian/patches/series; fi)
  cmake -S "$work/src" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$mingw_prefix" \
    -DBUILD_SHARED_LIBS=OFF "$@" >"$work/configure.log" 2>&1 ||
    { tail -40 "$work/configure.log"; exit 1; }
  cmake --build "$work/build" >"$work/build.log" 2>&1 || { tail -40 "$work/build.log"; exit 1; }
  cmake --install "$work/build" >/dev/null
  rm -rf "$work/build"
  touch "$stamp_dir/$key"
}

build_gtest() {
  local ver; ver=$(dpkg-query -W -f='${Version}' googletest)
  local key="googletest-$ver"
  [ -f "$stamp_dir/$key" ] && return
  log "cross-building GoogleTest $ver"
  local work=$cache/src/$key
  rm -rf "$work"
  cmake -S /usr/src/googletest -B "$work" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$mingw_prefix" -Dgtest_disable_pthreads=OFF \
    -DBUILD_GMOCK=ON >"$cache/gtest-configure.log" 2>&1 || { tail -40 "$cache/gtest-configure.log"; exit 1; }
  cmake --build "$work" >/dev/null && cmake --install "$work" >/dev/null
  rm -rf "$work"
  touch "$stamp_dir/$key"
}

install_packages
mkdir -p "$mingw_prefix"
cross_build libjpeg-turbo -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF
cross_build libpng1.6 -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
cross_build openjpeg2 -DBUILD_CODEC=OFF -DBUILD_TESTING=OFF -DBUILD_STATIC_LIBS=ON
cross_build tiff -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF \
  -Djbig=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Dlerc=OFF -Dlibdeflate=OFF -Djpeg12=OFF -Dpixarlog=ON
build_gtest
log "ready (cache $cache)"
