#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own Wine prefix (made on
# first use, quietly). CMake's CMAKE_CROSSCOMPILING_EMULATOR for the cross
# build, so test discovery and ctest run the .exe files through it.
#   MOFENG_WINEPREFIX  the prefix (default: $MOFENG_WIN_DEPS/wine, else
#                      /var/cache/mofeng-win/wine)
set -euo pipefail
export WINEPREFIX=${MOFENG_WINEPREFIX:-${MOFENG_WIN_DEPS:-/var/cache/mofeng-win}/wine}
export WINEDEBUG=${WINEDEBUG:--all}
# No desktop integration, no Mono/Gecko installer prompts.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=d}
# Programs linked against DLLs (the GUI build: Qt and MinGW's C++ runtime)
# find them where they were built, as the package finds them beside the .exe.
source "$(dirname "$0")/lib/common.sh"
dll_path=
while read -r dir; do
    [[ -d $dir ]] && dll_path+="Z:${dir//\//\\};"
done < <(windows_dll_dirs)
export WINEPATH="${dll_path}${WINEPATH:-}"
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
if [[ ! -f $WINEPREFIX/system.reg ]]; then
    mkdir -p "$WINEPREFIX"
    "$wine" wineboot --init >/dev/null 2>&1 || true
fi
exec "$wine" "$@"
