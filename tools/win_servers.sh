# Loopback FTP, HTTP and HTTPS servers for the Windows tests. Source this file, then
#   start_test_servers [log folder]   start them, export their VELLOMAR_* variables
#   stop_test_servers                 stop them by their PIDs, remove their roots
# Each server reads a FIFO whose writing end this shell holds: should the
# shell die without stopping them, the servers see the end of their input and
# exit on their own.
# shellcheck shell=bash

VELLOMAR_SERVERS_TOOLS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
VELLOMAR_SERVERS_PYTHON=/usr/bin/python3  # Debian's, which has pyftpdlib
VELLOMAR_SERVER_PIDS=()
VELLOMAR_SERVER_FDS=()
VELLOMAR_SERVER_DIRS=()

# _vellomar_start_server name work-dir command...: runs a server with its
# input on a FIFO and waits for the port it prints; sets VELLOMAR_STARTED_PORT.
_vellomar_start_server() {
  local name=$1 dir=$2; shift 2
  local fifo=$dir/$name.stdin port_file=$dir/$name.port fd
  mkfifo "$fifo" || return 1
  # The server must not inherit the other servers' FIFO ends, or it would
  # keep them from seeing the end of their input.
  (
    for fd in "${VELLOMAR_SERVER_FDS[@]}"; do exec {fd}>&-; done
    exec "$@"
  ) <"$fifo" >"$port_file" 2>>"$dir/$name.stderr" &
  VELLOMAR_SERVER_PIDS+=($!)
  exec {fd}>"$fifo"
  VELLOMAR_SERVER_FDS+=("$fd")
  local tries
  for tries in $(seq 100); do
    if [ -s "$port_file" ]; then
      VELLOMAR_STARTED_PORT=$(head -n1 "$port_file")
      return 0
    fi
    kill -0 "${VELLOMAR_SERVER_PIDS[-1]}" 2>/dev/null || break
    sleep 0.1
  done
  echo "the $name server did not start; see $dir/$name.stderr" >&2
  return 1
}

start_test_servers() {
  local logs=${1:-${TMPDIR:-/tmp}}
  mkdir -p "$logs" || return 1
  local dir
  dir=$(mktemp -d "${TMPDIR:-/tmp}/vellomar-servers.XXXXXX") || return 1
  VELLOMAR_SERVER_DIRS+=("$dir")
  mkdir -p "$dir/ftp-root" "$dir/http-root"

  export VELLOMAR_FTP_USER=vellomar VELLOMAR_FTP_PASSWORD=loopback-only
  export VELLOMAR_FTP_ROOT=$dir/ftp-root VELLOMAR_FTP_LOG=$logs/ftp-server.log
  : >"$VELLOMAR_FTP_LOG"
  _vellomar_start_server ftp "$dir" "$VELLOMAR_SERVERS_PYTHON" "$VELLOMAR_SERVERS_TOOLS/ftp_server.py" \
    --root "$VELLOMAR_FTP_ROOT" --user "$VELLOMAR_FTP_USER" --password "$VELLOMAR_FTP_PASSWORD" \
    --log "$VELLOMAR_FTP_LOG" || return 1
  export VELLOMAR_FTP_PORT=$VELLOMAR_STARTED_PORT

  export VELLOMAR_HTTP_ROOT=$dir/http-root
  _vellomar_start_server http "$dir" "$VELLOMAR_SERVERS_PYTHON" "$VELLOMAR_SERVERS_TOOLS/http_server.py" \
    --root "$VELLOMAR_HTTP_ROOT" || return 1
  export VELLOMAR_HTTP_PORT=$VELLOMAR_STARTED_PORT

  # The same folder over HTTPS with a self-signed certificate, which a client
  # that checks certificates must refuse.
  # Right name and dates: only the unknown issuer is wrong.
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 \
    -addext subjectAltName=IP:127.0.0.1 -keyout "$dir/https.key" -out "$dir/https.crt" \
    >/dev/null 2>&1 || return 1
  cat "$dir/https.key" "$dir/https.crt" >"$dir/https.pem"
  _vellomar_start_server https "$dir" "$VELLOMAR_SERVERS_PYTHON" "$VELLOMAR_SERVERS_TOOLS/http_server.py" \
    --root "$VELLOMAR_HTTP_ROOT" --certificate "$dir/https.pem" || return 1
  export VELLOMAR_HTTPS_PORT=$VELLOMAR_STARTED_PORT
  # Loopback is never worth a proxy.
  export no_proxy=127.0.0.1,localhost${no_proxy:+,$no_proxy}
}

stop_test_servers() {
  local pid fd dir
  for pid in "${VELLOMAR_SERVER_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${VELLOMAR_SERVER_PIDS[@]}"; do wait "$pid" 2>/dev/null; done
  for fd in "${VELLOMAR_SERVER_FDS[@]}"; do exec {fd}>&-; done
  for dir in "${VELLOMAR_SERVER_DIRS[@]}"; do rm -rf "$dir"; done
  VELLOMAR_SERVER_PIDS=() VELLOMAR_SERVER_FDS=() VELLOMAR_SERVER_DIRS=()
  unset VELLOMAR_FTP_PORT VELLOMAR_FTP_ROOT VELLOMAR_FTP_LOG VELLOMAR_FTP_USER \
    VELLOMAR_FTP_PASSWORD VELLOMAR_HTTP_PORT VELLOMAR_HTTP_ROOT VELLOMAR_HTTPS_PORT
}
