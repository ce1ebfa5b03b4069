#!/usr/bin/env bash
# Sets the machine up, builds the installer and runs it under Wine in a private session
# (prefix, wineserver and Xvfb display under build/windows/wine). Arguments go to the
# installer. Prints the installer's exit code and returns it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" >/dev/null

state=build/windows/wine
tools/wine/session.sh start "$state"
trap 'tools/wine/session.sh stop "$state"' EXIT
set +e
tools/wine/run.sh "$state" build/windows/src/kinstaller.exe "$@"
code=$?
set -e
echo "kinstaller.exe exited with $code"
exit $code
