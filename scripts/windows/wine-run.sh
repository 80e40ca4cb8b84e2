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
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
if [[ ! -f $WINEPREFIX/system.reg ]]; then
    mkdir -p "$WINEPREFIX"
    "$wine" wineboot --init >/dev/null 2>&1 || true
fi
exec "$wine" "$@"
