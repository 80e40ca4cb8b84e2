#!/usr/bin/env bash
# Packs the Windows build (scripts/windows/build.sh) as
#   build-win/mofeng-<version>-win64.zip   a portable folder: the programs, the
#                                          DLLs they import (found by walking
#                                          their import tables), Qt's platform
#                                          plugin and Chinese translations when
#                                          the GUI was built, help, sample keywords
#   build-win/mofeng-<version>-setup.exe   the same folder as an NSIS installer
#                                          (packaging/windows/Installer.nsi)
# Usage: scripts/windows/package.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
export MOFENG_WIN_DEPS=${MOFENG_WIN_DEPS:-/var/cache/mofeng-win}
triplet=x86_64-w64-mingw32
[[ -f build-win/build.ninja ]] || scripts/windows/build.sh
command -v makensis >/dev/null || { echo "package: makensis missing (apt-get install nsis)"; exit 1; }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-win/CMakeCache.txt)
name=mofeng-$version-win64
stage=$PWD/build-win/package/$name
rm -rf build-win/package && mkdir -p "$stage"

programs=(build-win/cli/mofeng-cli.exe build-win/sim/mofeng-sim.exe)
[[ -f build-win/ui/app/mofeng.exe ]] && programs+=(build-win/ui/app/mofeng.exe)
for program in "${programs[@]}"; do
    $triplet-strip --strip-unneeded -o "$stage/$(basename "$program")" "$program"
done

source scripts/windows/lib/common.sh
qt=$MOFENG_WIN_DEPS/qt
mapfile -t dll_dirs < <(windows_dll_dirs)
find_dll() {
    local dir
    for dir in "${dll_dirs[@]}"; do
        local found
        found=$(find "$dir" -maxdepth 1 -iname "$1" 2>/dev/null | head -1)
        [[ -n $found ]] && { echo "$found"; return; }
    done
    return 0  # Windows' own DLL: found nowhere here
}
# Copies every DLL that file imports, and theirs, beside the programs; a DLL
# found in none of the folders is Windows' own.
declare -A copied=()
walk_imports() {
    local dll path
    for dll in $($triplet-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'); do
        [[ -n ${copied[${dll,,}]:-} ]] && continue
        copied[${dll,,}]=1
        path=$(find_dll "$dll")
        [[ -z $path ]] && continue
        # Without their symbols and debug information (MinGW's runtime DLLs carry it).
        $triplet-strip --strip-unneeded -o "$stage/$(basename "$path")" "$path"
        echo "package: $dll from $path"
        walk_imports "$path"
    done
}
if [[ -f $stage/mofeng.exe ]]; then
    mkdir -p "$stage/platforms" "$stage/translations"
    $triplet-strip --strip-unneeded -o "$stage/platforms/qwindows.dll" "$qt/plugins/platforms/qwindows.dll"
    # The program's pictures are JPEG and GIF.
    mkdir -p "$stage/imageformats"
    for format in qjpeg qgif; do
        $triplet-strip --strip-unneeded -o "$stage/imageformats/$format.dll" \
            "$qt/plugins/imageformats/$format.dll"
    done
    # The native look of Windows 10/11 (Fusion and Windows are built into Widgets).
    if [[ -f $qt/plugins/styles/qwindowsvistastyle.dll ]]; then
        mkdir -p "$stage/styles"
        $triplet-strip --strip-unneeded -o "$stage/styles/qwindowsvistastyle.dll" \
            "$qt/plugins/styles/qwindowsvistastyle.dll"
    fi
    cp "$qt"/translations/qtbase_zh_CN.qm "$stage/translations/" 2>/dev/null ||
        cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$stage/translations/"
fi
for file in "$stage"/*.exe "$stage"/platforms/*.dll "$stage"/styles/*.dll "$stage"/imageformats/*.dll; do
    [[ -f $file ]] && walk_imports "$file"
done

cp -r help "$stage/help"
cp docs/sample-keywords.txt "$stage/sample-keywords.txt"
cp packaging/copyright "$stage/copyright.txt"

rm -f "build-win/$name.zip"
(cd build-win/package && zip -qr -X "../$name.zip" "$name")
echo "package: build-win/$name.zip ($(du -h "build-win/$name.zip" | cut -f1))"

# The uninstaller removes exactly the files that were installed.
uninstall=$stage.uninstall.nsh
(cd "$stage" && find . -type f | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|    Delete "$INSTDIR\\&"|'
    cd "$stage" && find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|    RMDir "$INSTDIR\\&"|') >"$uninstall"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" \
    -DOUTFILE="$PWD/build-win/mofeng-$version-setup.exe" \
    -DICON="$PWD/packaging/windows/mofeng.ico" packaging/windows/Installer.nsi
echo "package: build-win/mofeng-$version-setup.exe ($(du -h "build-win/mofeng-$version-setup.exe" | cut -f1))"
