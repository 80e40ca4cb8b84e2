#!/usr/bin/env bash
# The desktop program under Wine and Xvfb, driven with the keyboard as a
# seller would: mofeng.exe --demo shows its main window, imports the sample
# keywords (a GBK file with a Chinese name, offered by --keyword-file: Ctrl+O,
# Enter), queries them (F5) and exports every row (Ctrl+A, Ctrl+E) to an .xls
# that must equal, byte for byte, the Linux mofeng-cli's export of the same
# keywords from the Linux mofeng-sim (the Linux program's own export equals
# its CLI's). Then 自动淘词 (Alt+T, Enter) mines a seed. The windows are
# captured to build-win/shots/: windows-main.png, windows-mining.png.
#   $1, $2              the Linux mofeng-cli and mofeng-sim to compare with
#                       (default: build-win/host/, which scripts/windows/test.sh builds)
#   MOFENG_WIN_DISPLAY  the X display to use (default :94)
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
source scripts/windows/lib/common.sh
linux_cli=${1:-$root/build-win/host/cli/mofeng-cli}
linux_sim=${2:-$root/build-win/host/sim/mofeng-sim}
display=${MOFENG_WIN_DISPLAY:-:94}
program=$(ls "$root"/build-win/package/*/mofeng.exe 2>/dev/null | head -1 || true)
[[ -n $program ]] || program=$root/build-win/ui/app/mofeng.exe
shots=$root/build-win/shots
work=$(mktemp -d)
mkdir -p "$shots"

Xvfb "$display" -screen 0 1366x768x24 >/dev/null 2>&1 &
xvfb=$!
app=
sim=
cleanup() {
    [[ -n $app ]] && kill "$app" 2>/dev/null
    [[ -n $sim ]] && kill "$sim" 2>/dev/null
    kill "$xvfb" 2>/dev/null
    [[ -n ${MOFENG_KEEP_WORK:-} ]] || rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=$display
sleep 2

# Waits up to $2 seconds (default 120) for a window whose title matches $1 and
# prints its id.
wait_window() {
    local id _
    for _ in $(seq "${2:-120}"); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true)
        [[ -n $id ]] && { echo "$id"; return; }
        sleep 1
    done
    echo "gui: no window \"$1\" appeared" >&2
    return 1
}
visible_windows() { xdotool search --onlyvisible --name '.*' 2>/dev/null | sort; }
# Waits up to $2 seconds for a visible window that is not among $1 (ids) and
# prints it: Windows' own file dialogs carry no title an X client can read.
wait_new_window() {
    local id _
    for _ in $(seq "$2"); do
        id=$(comm -13 <(echo "$1") <(visible_windows) | tail -1)
        [[ -n $id ]] && { echo "$id"; return; }
        sleep 1
    done
    return 1
}
# Sends keys to the window with id $1 (Wine routes them to its focused control).
keys() {
    local window=$1
    shift
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    xdotool key --delay 150 "$@"
}
# Puts text into the field at x y of window $1 through the clipboard: typed
# keys outside the keyboard's own map do not reach a program under Wine.
paste_into() {
    printf '%s' "$4" | xclip -selection clipboard
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 0.5
    xdotool key --delay 150 ctrl+a ctrl+v
}
fail() {
    echo "FAIL gui: $1"
    import -window root "$shots/failure.png" 2>/dev/null || true
    echo "  (the screen: $shots/failure.png, the program's output: $shots/mofeng.log)"
    exit 1
}

# A seller's first start: a Wine prefix of its own, so no session, settings or
# remembered folders of an earlier run.
export MOFENG_WINEPREFIX=$work/wine
cp docs/sample-keywords.txt "$work/示例关键词.txt"
(cd "$work" && LANG=zh_CN.UTF-8 "$root/scripts/windows/wine-run.sh" "$program" --demo \
    --keyword-file 示例关键词.txt >"$shots/mofeng.log" 2>&1) &
app=$!
main=$(wait_window "墨枫") || fail "no main window"
sleep 3
echo "ok  mofeng.exe --demo shows its main window"

before=$(visible_windows)
keys "$main" ctrl+o
open=$(wait_new_window "$before" 60) || fail "Ctrl+O opened no file dialog"
sleep 2
keys "$open" Return
# The query ends with a box saying so.
sleep 3
keys "$main" F5
done_box=$(wait_window "信息" 180) || fail "the query did not finish"
sleep 1
keys "$done_box" Return
sleep 4  # the area under the box repainted
import -window "$main" "$shots/windows-main.png"
echo "ok  imported and queried the sample keywords ($shots/windows-main.png)"

before=$(visible_windows)
keys "$main" ctrl+a ctrl+e
save=$(wait_new_window "$before" 60) || fail "Ctrl+E opened no file dialog"
sleep 2
xdotool windowfocus --sync "$save" 2>/dev/null || true
xdotool type --delay 40 'Z:'"${work//\//\\}"'\exported.xls'
keys "$save" Return
for _ in $(seq 60); do
    [[ -s $work/exported.xls ]] && break
    sleep 1
done
[[ -s $work/exported.xls ]] || fail "no exported.xls"
sleep 2  # written whole: the program writes a temporary file and renames it

"$linux_sim" --port 0 >"$work/sim.out" 2>&1 &
sim=$!
wait_for_line "$work/sim.out" "listening on" || true
base=$(sed -n 's/^listening on //p' "$work/sim.out")
"$linux_cli" query --search-url "$base" --index-url "$base" --suggest-url "$base" \
    --out "$work/linux.xls" "$work/示例关键词.txt" >/dev/null 2>&1 || true
cmp "$work/linux.xls" "$work/exported.xls" ||
    fail "the exported .xls differs from the Linux program's"
echo "ok  Ctrl+A, Ctrl+E: the exported .xls equals the Linux export ($(wc -c <"$work/exported.xls") bytes)"

keys "$main" alt+t Return
mining=$(wait_window "淘关键词" 60) || fail "Alt+T, Enter opened no 自动淘词 window"
sleep 2
# The seed, 必须包含, the levels (一级淘词), 开始淘词: where the window places them.
paste_into "$mining" 100 82 "连衣裙"
paste_into "$mining" 234 83 "裙"
keys "$mining" Tab Home
xdotool mousemove --window "$mining" 390 82 click 1
sleep 15
import -window "$mining" "$shots/windows-mining.png"
echo "ok  自动淘词 mined a seed ($shots/windows-mining.png)"
