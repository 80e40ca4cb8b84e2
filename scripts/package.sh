#!/usr/bin/env bash
# Builds the Debian package: installs what is missing, builds, and runs CPack
# in the build folder. The last line printed is the package's path.
# Usage: scripts/package.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build}
scripts/setup.sh "$build_dir" >&2
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
arch=$(dpkg --print-architecture)
(cd "$build_dir" && cpack -G DEB >&2)
deb="$build_dir/mofeng_${version}_${arch}.deb"
[[ -f $deb ]] || { echo "package.sh: $deb was not written" >&2; exit 1; }
echo "$deb"
