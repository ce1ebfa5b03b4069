#!/usr/bin/env bash
# Runs a Windows program in the test session that session.sh started:
#   run.sh STATE_DIR PROGRAM [ARGS...]
# The program's exit code is this script's.
set -euo pipefail
state=$(cd "$1" && pwd); shift
here=$(cd "$(dirname "$0")" && pwd)
[ -d "$state/prefix" ] || "$here/session.sh" start "$state" >/dev/null
export WINEPREFIX=$state/prefix HOME=$state/home WINEDEBUG=${WINEDEBUG:--all} LC_ALL=zh_CN.UTF-8
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
export DISPLAY=$(cat "$state/display" 2>/dev/null || echo :0)
exec /usr/lib/wine/wine64 "$@"
