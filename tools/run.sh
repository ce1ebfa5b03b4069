#!/usr/bin/env bash
# Sets the machine up, builds the installer for the local demo channel and runs its main
# job under Wine against the local channel server (tools/channel/local_channel.py on
# 127.0.0.1:18090, documents signed with the development key): the installer learns
# channel 186/336 from its file name, fetches and checks the signed configuration,
# downloads the demo package, verifies its digest and starts it. Prints the server's
# log, the install log and the command line the package received; returns the
# installer's exit code, or 1 when the package did not run.
# Extra arguments go to the installer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh >/dev/null
cmake --preset local >/dev/null
cmake --build --preset local -j "$(nproc)" --target kinstaller demo-setup >/dev/null

build=build/local
run=$build/run
state=$build/wine
rm -rf "$run" && mkdir -p "$run/packages"
cp "$build/tools/demo-setup.exe" "$run/packages/demo_setup.exe"
# The channel travels in the file name, as a downloaded installer's does.
cp "$build/src/kinstaller.exe" "$run/setup_186_f336_k0001_ch1.exe"

python3 tools/channel/local_channel.py --port 18090 --key tools/dev-keys/channel-dev.pem \
  --document tools/channel/demo_channel.xml --packages "$run/packages" \
  --company 186 --tryno 336 --log "$run/server.log" &
server=$!
tools/wine/session.sh start "$state" >/dev/null
trap 'kill $server 2>/dev/null || true; tools/wine/session.sh stop "$state" >/dev/null' EXIT
for _ in $(seq 50); do grep -q "local channel" "$run/server.log" 2>/dev/null && break; sleep 0.1; done

set +e
tools/wine/run.sh "$state" "$run/setup_186_f336_k0001_ch1.exe" "$@"
code=$?
set -e

temp=$(find "$state/prefix/drive_c/users" -maxdepth 5 -type d -name Temp | head -n 1)
record="$temp/kinst-demo/demo_setup.exe.cmdline"
for _ in $(seq 100); do [ -f "$record" ] && break; sleep 0.1; done

echo "== local channel server"
cat "$run/server.log"
echo "== install log ($temp/kinst.log)"
iconv -f GBK -t UTF-8 "$temp/kinst.log" 2>/dev/null || cat "$temp/kinst.log" 2>/dev/null || true
echo "== the package's command line"
if [ -f "$record" ]; then cat "$record"; echo; else echo "(the package did not run)"; code=${code/#0/1}; fi
echo "installer exited with $code"
exit "$code"
