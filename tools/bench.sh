#!/usr/bin/env bash
# Runs the benchmarks side by side with the Linux tools that do the same job, on the
# same files, and prints the median of three runs of each with their ratio.
#   tools/bench.sh [BUILD_DIR]     (default build/windows-test, built beforehand)
# The Windows programs run under Wine, whose start (about 0.1 s) is part of their time.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build/windows-test}" && pwd)
work=$(mktemp -d /tmp/kinst-bench.XXXXXX)
state=$build/wine
server_pid=""
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  tools/wine/session.sh stop "$state" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
tools/wine/session.sh start "$state"
win() { tools/wine/run.sh "$state" "$@"; }
winpath() { echo "Z:${1//\//\\}"; }

# Median wall time of three runs, in seconds.
median3() {
  local times=()
  for _ in 1 2 3; do
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s.%N)
    times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')")
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n 2p
}

compare() {
  local name=$1 ours=$2 theirs=$3
  printf '%-34s ours %6.2f s   reference %6.2f s   ratio %5.2f\n' "$name" "$ours" "$theirs" \
    "$(awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "%.2f", a / b }')"
}

echo "== install log"
win "$build/tests/bench/install_log_bench.exe" 200000

if [ -f "$build/tests/bench/dialog_paint_bench.exe" ]; then
  echo "== dialog painting"
  win "$build/tests/bench/dialog_paint_bench.exe" 200
fi

if [ -f "$build/tests/bench/download_bench.exe" ]; then
  head -c 536870912 /dev/urandom >"$work/big.bin"
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  python3 -m http.server --bind 127.0.0.1 --directory "$work" "$port" >/dev/null 2>&1 &
  server_pid=$!
  sleep 1
  url=http://127.0.0.1:$port/big.bin
  compare "DownloadToFile, 512 MiB" \
    "$(median3 win "$build/tests/bench/download_bench.exe" "$url" "$(winpath "$work/out.bin")")" \
    "$(median3 curl -s -o "$work/out-curl.bin" "$url")"
  cmp "$work/big.bin" "$work/out.bin" && echo "   (file identical)"
  rm -f "$work/out.bin" "$work/out-curl.bin"
fi

if [ -f "$build/tests/bench/md5_bench.exe" ]; then
  [ -f "$work/big.bin" ] || head -c 536870912 /dev/urandom >"$work/big.bin"
  win "$build/tests/bench/md5_bench.exe" "$(winpath "$work/big.bin")"
  compare "VerifyPackageMd5, 512 MiB" \
    "$(median3 win "$build/tests/bench/md5_bench.exe" "$(winpath "$work/big.bin")" check)" \
    "$(median3 md5sum "$work/big.bin")"
fi

if [ -f "$build/tests/bench/extract_bench.exe" ]; then
  mkdir -p "$work/src"
  head -c 50000000 /dev/urandom >"$work/src/random.bin"
  yes "installer resources compress well" | head -c 50000000 >"$work/src/text.txt"
  (cd "$work" && 7zz a -t7z -m0=lzma -bd -bso0 archive.7z src >/dev/null)
  compare "7z extraction, 100 MB" \
    "$(median3 win "$build/tests/bench/extract_bench.exe" "$(winpath "$work/archive.7z")" "$(winpath "$work/out-ours")")" \
    "$(median3 7zz x -y -bd -bso0 -o"$work/out-7zz" "$work/archive.7z")"
fi
