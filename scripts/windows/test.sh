#!/usr/bin/env bash
# Proves the Windows build under Wine (scripts/windows/build.sh first):
#  1. the Qt-free core tests, cross-built, run through Wine by ctest
#     (CMAKE_CROSSCOMPILING_EMULATOR), the Windows platform tests among them;
#  2. mofeng-cli.exe --version, then `query` (GBK and UTF-8 keyword files with
#     Chinese names; stdout, .xls, .xlsx and .csv out) and `mine` (stdout and
#     a keyword file) against the Linux mofeng-sim on 127.0.0.1: every output
#     must equal the Linux mofeng-cli's byte for byte (an .xlsx member by
#     member: its zip entries carry the time of writing);
#  3. when the GUI was built (a cross-built Qt in the cache): mofeng.exe
#     --demo under Wine and Xvfb imports, queries and exports as the Linux
#     program does (scripts/windows/gui-smoke.sh; screenshots in build-win/shots/).
# Usage: scripts/windows/test.sh [ctest args...]
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
source scripts/windows/lib/common.sh
export MOFENG_WIN_DEPS=${MOFENG_WIN_DEPS:-/var/cache/mofeng-win}
wine=$root/scripts/windows/wine-run.sh
started=$SECONDS
[[ -f build-win/build.ninja ]] || scripts/windows/build.sh

# One wineserver for the whole run: started and ended by every test program,
# it can be on its way out when the next one connects ("wine client error").
export WINEPREFIX=${MOFENG_WINEPREFIX:-$MOFENG_WIN_DEPS/wine}
"$wine" wineboot --init >/dev/null 2>&1 || true
/usr/lib/wine/wineserver -p 2>/dev/null || true  # or one is running already
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT

echo "== core tests under Wine"
# Wine names the files it creates in the host's locale: a UTF-8 one that is
# installed (C.UTF-8), or Chinese file names cannot be made at all.
# Left out: the tests that check a workbook with a host program (Python's
# openpyxl, xlsx2csv, the office suite: label office), which Wine's programs
# cannot start; the one that expects exit(-1) to read 255 (a Windows exit
# code keeps all 32 bits); the GUI tests (label gui), which run on Qt's
# offscreen platform, not part of the cross-built Qt: the GUI smoke below
# proves the desktop program instead.
LANG=C.UTF-8 ctest --test-dir build-win --output-on-failure -j "${MOFENG_WIN_JOBS:-2}" \
    --timeout 600 -LE 'office|gui' \
    -E 'WorkbookReadByAnIndependentReader|WorkbookFromARealSpreadsheetWriter|DefaultEndsTheProcessWithMinusOne' \
    "$@"
echo "== core tests took $((SECONDS - started)) s"

echo "== mofeng-cli.exe against the Linux mofeng-sim"
# The Linux programs the Windows ones are compared with, from the same sources.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
    -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-win/host -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOFENG_CORE_ONLY=ON \
    -DMOFENG_BENCH=OFF "${launcher[@]}" >build-win/host-configure.log 2>&1 ||
    { tail -20 build-win/host-configure.log; exit 1; }
nice -n 10 cmake --build build-win/host -j "${MOFENG_WIN_JOBS:-2}" --target mofeng-cli mofeng-sim \
    >/dev/null
linux_cli=$root/build-win/host/cli/mofeng-cli
windows_cli=$root/build-win/cli/mofeng-cli.exe

work=$(mktemp -d)
sim_pid=
tls_pid=
cleanup() {
    kill $sim_pid $tls_pid 2>/dev/null || true
    rm -rf "$work"
    /usr/lib/wine/wineserver -k 2>/dev/null || true
}
trap cleanup EXIT
build-win/host/sim/mofeng-sim --port 0 >"$work/sim.out" &
sim_pid=$!
wait_for_line "$work/sim.out" "listening on" || true
base=$(sed -n 's/^listening on //p' "$work/sim.out")
[[ -n $base ]] || { echo "mofeng-sim did not start"; exit 1; }
endpoints=(--search-url "$base" --index-url "$base" --suggest-url "$base")

version=$("$wine" "$windows_cli" --version | tr -d '\r')
[[ $version == "$("$linux_cli" --version)" ]] || { echo "version differs: $version"; exit 1; }
echo "ok  mofeng-cli.exe --version: $version"

mkdir -p "$work/linux" "$work/windows"
for side in linux windows; do
    cp docs/sample-keywords.txt "$work/$side/关键词-gbk.txt"
    iconv -f GBK -t UTF-8 docs/sample-keywords.txt >"$work/$side/关键词-utf8.txt"
    # An office suite's Excel 97-2003 workbook (FreeXL over the project's iconv on Windows).
    cp fuzz/corpus/biff8/seller.xls "$work/$side/生意参谋导出.xls"
done
# Runs one command line on both sides, each in its own folder, and compares
# stdout, the exit code and the files the command wrote.
compare() {
    local label=$1
    shift
    # A non-zero exit is compared too, not taken for a failure of this script.
    (set +e; cd "$work/linux" || exit; "$linux_cli" "$@" >stdout 2>stderr; echo $? >status)
    (set +e; cd "$work/windows" || exit; "$wine" "$windows_cli" "$@" >stdout 2>stderr; echo $? >status)
    local file failed=0
    for file in $(cd "$work/linux" && ls); do
        [[ $file == stderr ]] && continue
        if [[ $file == *.xlsx ]]; then
            same_xlsx "$work/linux/$file" "$work/windows/$file" || failed=1
        elif ! cmp -s "$work/linux/$file" "$work/windows/$file"; then
            echo "FAIL $label: $file differs"
            diff <(od -c "$work/linux/$file" | head -20) <(od -c "$work/windows/$file" | head -20) || true
            failed=1
        fi
    done
    ((failed == 0)) || { cat "$work/windows/stderr"; exit 1; }
    echo "ok  $label ($(wc -c <"$work/linux/stdout") bytes on stdout, exit $(cat "$work/linux/status"))"
    rm -f "$work"/{linux,windows}/{stdout,stderr,status}
}
same_xlsx() {
    local member pattern
    for member in $(unzip -Z1 "$1"); do
        # unzip takes member names as wildcards: "[" is matched by "[[]".
        pattern=${member//\[/[[]}
        if ! cmp -s <(unzip -p "$1" "$pattern" | sed -E 's/<dcterms:(created|modified)[^<]*<[^>]*>//g') \
            <(unzip -p "$2" "$pattern" | sed -E 's/<dcterms:(created|modified)[^<]*<[^>]*>//g'); then
            echo "FAIL $(basename "$1"): member $member differs"
            return 1
        fi
    done
    [[ $(unzip -Z1 "$1") == "$(unzip -Z1 "$2")" ]]
}
compare "query GBK file, stdout" query "${endpoints[@]}" 关键词-gbk.txt
compare "query UTF-8 file, stdout" query "${endpoints[@]}" --jobs 4 关键词-utf8.txt
compare "query to .xls" query "${endpoints[@]}" --out 结果.xls 关键词-gbk.txt
compare "query to .xlsx" query "${endpoints[@]}" --out 结果.xlsx 关键词-utf8.txt
compare "query to .csv" query "${endpoints[@]}" --out 结果.csv 关键词-gbk.txt
compare "query of the exported .xls" query "${endpoints[@]}" 结果.xls
compare "query of an Excel 97-2003 workbook" query "${endpoints[@]}" 生意参谋导出.xls
compare "mine, stdout" mine "${endpoints[@]}" --must 裙 --levels 2 连衣裙
compare "mine to a keyword file" mine "${endpoints[@]}" --must 裙 --levels 1 --out 连衣裙_关键词.txt 连衣裙
echo "== mofeng-cli.exe over HTTPS (Schannel) against the Linux mofeng-sim --today"
# The simulator makes a throw-away authority and names its file; both sides
# trust it with --ca-file (Wine reads the Unix path on the current drive).
# By the name localhost: curl's Schannel matches DNS names of a certificate,
# not its IP addresses.
build-win/host/sim/mofeng-sim --port 0 --today >"$work/tls.out" &
tls_pid=$!
wait_for_line "$work/tls.out" "^trust " || true
tls_base=$(sed -n 's/^listening on https:\/\/127\.0\.0\.1/https:\/\/localhost/p' "$work/tls.out")
ca_file=$(sed -n 's/^trust \(.*\) (--ca-file)$/\1/p' "$work/tls.out")
[[ -n $tls_base && -n $ca_file ]] || { echo "FAIL: mofeng-sim --today did not start"; exit 1; }
tls_args=(--search-url "$tls_base" --index-url "$tls_base" --suggest-url "$tls_base" --ca-file "$ca_file")
compare "check over HTTPS" check "${tls_args[@]}"
# Today's search page wants a login: a made-up session cookie.
compare "mine over HTTPS" mine "${tls_args[@]}" --cookie sess=1 --must 裙 --levels 1 连衣裙
kill "$tls_pid" 2>/dev/null || true
tls_pid=
echo "== CLI comparison done after $((SECONDS - started)) s"

echo "== mofeng-sim.exe under Wine serves the Linux mofeng-cli"
"$wine" "$root/build-win/sim/mofeng-sim.exe" --port 0 >"$work/wsim.out" 2>&1 &
wine_sim=$!
wait_for_line "$work/wsim.out" "listening on" 20 || true
wbase=$(sed -n 's/^listening on //p' "$work/wsim.out" | tr -d '\r')
[[ -n $wbase ]] || { echo "FAIL: mofeng-sim.exe did not start"; exit 1; }
(cd "$work/linux" && "$linux_cli" query --search-url "$wbase" --index-url "$wbase" \
    --suggest-url "$wbase" 关键词-gbk.txt >from-windows-sim.tsv 2>/dev/null) || true
"$linux_cli" query "${endpoints[@]}" "$work/linux/关键词-gbk.txt" >"$work/from-linux-sim.tsv" 2>/dev/null || true
kill "$wine_sim" 2>/dev/null || true
cmp "$work/linux/from-windows-sim.tsv" "$work/from-linux-sim.tsv" ||
    { echo "FAIL: the Windows simulator's data differ"; exit 1; }
echo "ok  mofeng-sim.exe answers as mofeng-sim does"

# The installer (scripts/windows/package.sh), silently, for the current user:
# the installed program starts, the Start menu holds 墨枫, the uninstaller
# takes both away again.
setup=$(ls build-win/mofeng-*-setup.exe 2>/dev/null | head -1 || true)
if [[ -n $setup ]]; then
    echo "== $setup under Wine"
    prefix=${MOFENG_WINEPREFIX:-$MOFENG_WIN_DEPS/wine}
    programs=$prefix/drive_c/users/$(id -un)/AppData/Local/Programs/Mofeng
    menu="$prefix/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/墨枫"
    "$wine" "$setup" /S
    [[ -f $programs/mofeng-cli.exe && -f "$menu/墨枫.lnk" ]] || { echo "FAIL: not installed"; exit 1; }
    installed=$("$wine" "$programs/mofeng-cli.exe" --version | tr -d '\r')
    [[ $installed == "$version" ]] || { echo "FAIL: installed program says '$installed'"; exit 1; }
    "$wine" "$programs/uninstall.exe" /S
    for _ in $(seq 30); do [[ -e $programs || -e $menu ]] || break; sleep 1; done
    [[ ! -e $programs && ! -e $menu ]] || { echo "FAIL: the uninstaller left files"; exit 1; }
    echo "ok  silent install, installed mofeng-cli.exe --version, silent uninstall"
fi

if [[ -f build-win/ui/app/mofeng.exe ]]; then
    echo "== mofeng.exe under Wine and Xvfb"
    scripts/windows/gui-smoke.sh "$linux_cli" "$root/build-win/host/sim/mofeng-sim"
fi
echo "== Windows tests passed in $((SECONDS - started)) s"
