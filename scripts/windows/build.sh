#!/usr/bin/env bash
# Cross-builds the Windows programs with MinGW-w64 (64-bit) into build-win/:
# the libraries from Debian's source packages first (scripts/windows/deps.sh,
# cached in $MOFENG_WIN_DEPS), then this CMake project with
# cmake/toolchains/mingw-w64-x86_64.cmake. Without a cross-built Qt in the
# cache (scripts/windows/qt.sh) it builds the Qt-free core, mofeng-cli,
# mofeng-sim and the core tests (MOFENG_CORE_ONLY).
# Usage: scripts/windows/build.sh [extra cmake args...]
set -euo pipefail
cd "$(dirname "$0")/../.."
export MOFENG_WIN_DEPS=${MOFENG_WIN_DEPS:-/var/cache/mofeng-win}
prefix=$MOFENG_WIN_DEPS/prefix
started=$SECONDS

scripts/windows/deps.sh
echo "build: dependencies ready after $((SECONDS - started)) s"

core_only=ON
qt_args=()
# The desktop program needs Qt base and Qt Charts (scripts/windows/qt.sh).
if [[ -f $MOFENG_WIN_DEPS/qt/lib/cmake/Qt6/Qt6Config.cmake &&
    -f $MOFENG_WIN_DEPS/qt/lib/cmake/Qt6Charts/Qt6ChartsConfig.cmake ]]; then
    core_only=OFF
    qt_args=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
        -DMOFENG_WIN_QT="$MOFENG_WIN_DEPS/qt" -DCMAKE_PREFIX_PATH="$MOFENG_WIN_DEPS/qt;$prefix")
fi
# The Qt-free programs link the C++ runtime statically: single .exe files.
# Qt's DLLs bring their own copy of it, which the GUI shares. (-L: tests
# name sqlite3 and zip directly.)
link_flags="-L$prefix/lib"
[[ $core_only == ON ]] && link_flags="-static $link_flags"

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
    -DCMAKE_C_COMPILER_LAUNCHER=ccache)
mkdir -p build-win
cmake -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/mingw-w64-x86_64.cmake" \
    -DMOFENG_WIN_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
    -DMOFENG_CORE_ONLY=$core_only -DMOFENG_BENCH=OFF \
    -DCMAKE_EXE_LINKER_FLAGS="$link_flags" "${launcher[@]}" "${qt_args[@]}" "$@" >build-win/configure.log 2>&1 ||
    { tail -40 build-win/configure.log; exit 1; }
nice -n 10 cmake --build build-win -j "${MOFENG_WIN_JOBS:-2}" || exit 1
echo "build: done in $((SECONDS - started)) s ($(du -sh build-win/cli/mofeng-cli.exe | cut -f1) mofeng-cli.exe)"
