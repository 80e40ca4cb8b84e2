#!/usr/bin/env bash
# The desktop program under Wine and Xvfb: mofeng.exe --demo must show its
# main window; the screenshot goes to build-win/shots/main-window.png.
#   MOFENG_WIN_DISPLAY  the X display to use (default :94)
set -euo pipefail
cd "$(dirname "$0")/../.."
display=${MOFENG_WIN_DISPLAY:-:94}
mkdir -p build-win/shots
Xvfb "$display" -screen 0 1366x768x24 >/dev/null 2>&1 &
xvfb=$!
app=
cleanup() {
    [[ -n $app ]] && kill "$app" 2>/dev/null
    kill "$xvfb" 2>/dev/null
}
trap cleanup EXIT
sleep 2
DISPLAY=$display LANG=zh_CN.UTF-8 scripts/windows/wine-run.sh build-win/package/*/mofeng.exe --demo \
    >build-win/shots/mofeng.log 2>&1 &
app=$!
for _ in $(seq 120); do
    DISPLAY=$display xdotool search --name "墨枫" >/dev/null 2>&1 && break
    sleep 1
done
DISPLAY=$display xdotool search --name "墨枫" >/dev/null || { echo "gui: no main window"; exit 1; }
sleep 3
DISPLAY=$display import -window root build-win/shots/main-window.png
echo "ok  mofeng.exe --demo shows its main window (build-win/shots/main-window.png)"
