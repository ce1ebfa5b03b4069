#!/usr/bin/env bash
# Starts or stops the proxies the download tests go through, on free loopback ports:
# tinyproxy (HTTP, basic authentication) and microsocks (SOCKS5, user and password).
#   proxies.sh start STATE_DIR PORTS_FILE   writes "http=PORT" and "socks=PORT" lines
#   proxies.sh stop STATE_DIR
# Both accept the user "tester" with the password "secret".
set -euo pipefail
command=${1:?start or stop}
state=$(mkdir -p "${2:?state folder}" && cd "$2" && pwd)

free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'
}

wait_listening() {
  for _ in $(seq 50); do
    if python3 -c "import socket,sys; socket.create_connection(('127.0.0.1',$1),0.2)" 2>/dev/null; then
      return 0
    fi
    sleep 0.1
  done
  echo "nothing listens on port $1" >&2
  return 1
}

stop() {
  for name in tinyproxy microsocks; do
    if [ -f "$state/$name.pid" ]; then
      kill "$(cat "$state/$name.pid")" 2>/dev/null || true
      rm -f "$state/$name.pid"
    fi
  done
}

start() {
  local ports_file=${3:?ports file}
  stop
  local http_port socks_port
  http_port=$(free_port)
  socks_port=$(free_port)
  cat >"$state/tinyproxy.conf" <<CONF
Port $http_port
Listen 127.0.0.1
Timeout 60
MaxClients 20
Allow 127.0.0.1
BasicAuth tester secret
ViaProxyName "kinst-test-proxy"
LogLevel Info
LogFile "$state/tinyproxy.log"
CONF
  tinyproxy -d -c "$state/tinyproxy.conf" </dev/null >/dev/null 2>&1 &
  echo $! >"$state/tinyproxy.pid"
  microsocks -i 127.0.0.1 -p "$socks_port" -u tester -P secret </dev/null >"$state/microsocks.log" 2>&1 &
  echo $! >"$state/microsocks.pid"
  wait_listening "$http_port"
  wait_listening "$socks_port"
  printf 'http=%s\nsocks=%s\n' "$http_port" "$socks_port" >"$ports_file"
}

case $command in
  start) start "$@" ;;
  stop) stop ;;
  *) echo "usage: proxies.sh start|stop STATE_DIR [PORTS_FILE]" >&2; exit 2 ;;
esac
