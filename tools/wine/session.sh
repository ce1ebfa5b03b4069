#!/usr/bin/env bash
# Starts or stops the Wine session the Windows tests run in: a private copy of a cached
# prefix, a persistent wineserver and an Xvfb display.
#
#   session.sh start STATE_DIR    (idempotent)
#   session.sh stop STATE_DIR
#
# The template prefix is made once per machine in $KINST_CACHE/wine-<rev> (about 10 s);
# every start copies it, so no run sees what an earlier run left behind.
set -euo pipefail

KINST_CACHE=${KINST_CACHE:-/var/cache/kinst}
TEMPLATE_REV=2
TEMPLATE=$KINST_CACHE/wine-$TEMPLATE_REV
command=${1:?start or stop}
state=$(mkdir -p "${2:?state folder}" && cd "$2" && pwd)

wine_env() {
  export WINEPREFIX=$1 HOME=$state/home WINEDEBUG=-all LC_ALL=zh_CN.UTF-8
  export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
  mkdir -p "$HOME"
}

make_template() {
  local work=$TEMPLATE.partial
  rm -rf "$work"
  (
    wine_env "$work"
    unset DISPLAY
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
    # Windows 10 as the reported version; a virtual desktop so hidden framed windows do
    # not stall without a window manager; CJK faces mapped to an installed font.
    cat >"$state/template.reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine]
"Version"="win10"

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1280x800"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"微软雅黑"="WenQuanYi Micro Hei"
"Microsoft YaHei"="WenQuanYi Micro Hei"
"宋体"="WenQuanYi Micro Hei"
"SimSun"="WenQuanYi Micro Hei"
"新宋体"="WenQuanYi Micro Hei"
"NSimSun"="WenQuanYi Micro Hei"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]
"Tahoma"="wqy-microhei.ttc,WenQuanYi Micro Hei"
"Microsoft Sans Serif"="wqy-microhei.ttc,WenQuanYi Micro Hei"
REG
    iconv -f UTF-8 -t UTF-16LE "$state/template.reg" | { printf '\xff\xfe'; cat; } >"$state/template-utf16.reg"
    /usr/lib/wine/wine64 regedit /S "$(/usr/lib/wine/wine64 winepath -w "$state/template-utf16.reg" 2>/dev/null)" >/dev/null 2>&1
    cp /usr/share/wine/fonts/* "$work/drive_c/windows/Fonts/" 2>/dev/null || true
    cp /usr/share/fonts/truetype/wqy/wqy-microhei.ttc "$work/drive_c/windows/Fonts/"
    /usr/lib/wine/wineserver64 -w
  )
  rm -f "$state/template.reg" "$state/template-utf16.reg"
  mv "$work" "$TEMPLATE"
}

start() {
  mkdir -p "$KINST_CACHE"
  (
    flock 9
    [ -d "$TEMPLATE" ] || make_template
  ) 9>"$KINST_CACHE/wine.lock"

  if [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
    return 0
  fi
  rm -rf "$state/prefix"
  cp -a "$TEMPLATE" "$state/prefix"

  # Xvfb picks a free display and reports it on a descriptor.
  rm -f "$state/xvfb.fifo" && mkfifo "$state/xvfb.fifo"
  Xvfb -displayfd 8 -screen 0 1280x1024x24 -nolisten tcp 8>"$state/xvfb.fifo" </dev/null >/dev/null 2>&1 &
  echo $! >"$state/xvfb.pid"
  local display=""
  read -r -t 10 display <"$state/xvfb.fifo" || { echo "Xvfb did not start" >&2; exit 1; }
  rm -f "$state/xvfb.fifo"
  echo ":$display" >"$state/display"

  wine_env "$state/prefix"
  /usr/lib/wine/wineserver64 -p </dev/null >/dev/null 2>&1
  # The first program start boots the prefix's services; later starts are fast.
  DISPLAY=":$display" /usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1 || true
}

stop() {
  if [ -d "$state/prefix" ]; then
    (wine_env "$state/prefix"; /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true)
  fi
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
    rm -f "$state/xvfb.pid"
  fi
}

case $command in
  start) start ;;
  stop) stop ;;
  *) echo "usage: session.sh start|stop STATE_DIR" >&2; exit 2 ;;
esac
