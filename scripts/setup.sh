#!/usr/bin/env bash
# Installs what the build needs (Debian 12) and builds into build/.
# Usage: scripts/setup.sh [build-dir] [extra cmake args...]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libcurl4-openssl-dev
    libpcre2-dev libcpp-httplib-dev libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth fonts-wqy-microhei apache2-utils
    help2man dpkg-dev lintian desktop-file-utils appstream
    libzip-dev libexpat1-dev libxlsxwriter-dev libfreexl-dev libreoffice-calc-nogui libsqlite3-dev xlsx2csv python3-openpyxl
    clang libclang-rt-14-dev lld qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n
    ccache libssl-dev clang-format-15)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build_dir=${1:-build}
shift || true
# A compiler cache keyed on paths relative to the checkout, so a fresh clone
# in another folder (CI) reuses the objects of an earlier build.
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
