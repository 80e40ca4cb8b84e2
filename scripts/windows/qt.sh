#!/usr/bin/env bash
# Cross-builds the parts of Qt the desktop program uses, from Debian's
# qt6-base and qt6-charts sources (the same 6.4.2 as the host's Qt, whose moc,
# rcc and uic it uses: QT_HOST_PATH), as DLLs into $MOFENG_WIN_DEPS/qt:
# Core, Gui, Widgets, Test (the GUI tests), the windows platform plugin, and
# Charts, JPEG and GIF. Left out: what the program never uses (network, sql,
# dbus, opengl, printing, xml, concurrent) and the tablet support of the platform plugin
# (`tabletevent`), whose wintab sources Debian's qt6-base leaves out. The
# fixes this build needs are in scripts/windows/patches/.
# Long: niced at 19, it is meant for an otherwise idle machine or CI cache.
# Afterwards scripts/windows/build.sh builds mofeng.exe as well.
# Usage: scripts/windows/qt.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
deps=${MOFENG_WIN_DEPS:-/var/cache/mofeng-win}
qt=$deps/qt
toolchain=$PWD/cmake/toolchains/mingw-w64-x86_64.cmake
nice_cmd=(nice -n 19)
jobs=${MOFENG_WIN_JOBS:-2}
started=$SECONDS
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
    -DCMAKE_C_COMPILER_LAUNCHER=ccache)

scripts/windows/deps.sh  # the deb-src entry, the tools, zlib
for package in qt6-base-dev-tools qt6-base-dev; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        { echo "qt: the host's $package is needed (scripts/setup.sh installs it)"; exit 1; }
done
host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev | sed 's/+.*//; s/-.*//')

# A mirror may lack a source package's tarballs while apt still gets its .dsc
# (checked against the signed Sources index). The upstream tarball is then
# taken from $MOFENG_WIN_SOURCE_MIRROR (a Debian-style pool) and used only if
# its SHA-256 is the one the .dsc names: the very bytes of Debian's source.
# Debian's packaging tarball is not applied then, and this says so.
orig_from_other_mirror() {
    local package=$1 version=$2 download=$deps/src/download-$1
    local mirror=${MOFENG_WIN_SOURCE_MIRROR:-http://archive.ubuntu.com/ubuntu/pool/universe}
    local dsc=$download/${package}_${version#*:}.dsc line sum file folder
    [[ -f $dsc ]] || return 1
    line=$(sed -n '/^Checksums-Sha256:/,/^[^ ]/p' "$dsc" | grep -E '\.orig\.tar\.[a-z]+$' | head -1)
    read -r sum _ file <<<"$line"
    [[ -n $file ]] || return 1
    echo "qt: $package: the Debian mirror lacks $file; taking it from $mirror" >&2
    curl -fsS -o "$download/$file" "$mirror/${package:0:1}/$package/$file" || return 1
    if [[ $(sha256sum "$download/$file" | cut -d' ' -f1) != "$sum" ]]; then
        echo "qt: $file from $mirror does not match Debian's checksum; not used" >&2
        return 1
    fi
    folder=$download/$package-${version%%-*}
    mkdir -p "$folder" && tar -xf "$download/$file" -C "$folder" --strip-components=1
    echo "qt: $package: Debian's upstream tarball (checksum matched); Debian's packaging not applied" >&2
}

fetch() {
    local package=$1 version
    version=$(apt-cache showsrc "$package" | sed -n 's/^Version: //p' | sort -V | tail -1)
    if [[ ! -d $deps/src/${package}_$version ]]; then
        rm -rf "$deps/src/download-$package" && mkdir -p "$deps/src/download-$package"
        chmod 777 "$deps/src/download-$package"
        if ! (cd "$deps/src/download-$package" &&
            apt-get source -qq --only-source "$package=$version" >/dev/null 2>&1) &&
            ! orig_from_other_mirror "$package" "$version"; then
            rm -rf "$deps/src/download-$package"
            echo "qt: the source of $package $version could not be fetched from this machine's Debian mirror" >&2
            return 1
        fi
        mv "$(find "$deps/src/download-$package" -mindepth 1 -maxdepth 1 -type d | head -1)" \
            "$deps/src/${package}_$version"
        rm -rf "$deps/src/download-$package"
    fi
    [[ $version == "$host_version"* ]] ||
        { echo "qt: $package $version differs from the host's Qt $host_version" >&2; exit 1; }
    echo "$deps/src/${package}_$version"
}

# The repo's fixes to a source for this build (scripts/windows/patches/<package>-*.patch),
# each applied once.
apply_patches() {
    local package=$1 source=$2 patch
    for patch in scripts/windows/patches/"$package"-*.patch; do
        [[ -f $patch ]] || continue
        patch -d "$source" -p1 -R -s -f --dry-run <"$patch" >/dev/null 2>&1 && continue
        patch -d "$source" -p1 -s -N <"$patch" || { echo "qt: $patch does not apply" >&2; exit 1; }
        echo "qt: applied $(basename "$patch")"
    done
}

base=$(fetch qt6-base) || exit 1
apply_patches qt6-base "$base"
# What the desktop program needs of Qt base: JPEG and GIF read its pictures.
base_features=(-DFEATURE_freetype=OFF -DFEATURE_jpeg=ON -DFEATURE_gif=ON -DFEATURE_direct2d=OFF
    -DINPUT_opengl=no -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF
    -DFEATURE_tabletevent=OFF -DFEATURE_sql_sqlite=OFF -DFEATURE_system_zlib=ON
    -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_system_libpng=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_harfbuzz=ON
    -DFEATURE_directwrite3=ON)
# The stamp names the source, the features and the patches: a change of any rebuilds.
base_stamp="$(basename "$base") $(cat <(printf '%s\n' "${base_features[@]}") \
    scripts/windows/patches/qt6-base-*.patch 2>/dev/null | sha256sum | cut -c1-16)"
if [[ ! -f $deps/stamps/qt6-base || $(cat "$deps/stamps/qt6-base") != "$base_stamp" ]]; then
    # The build folder is kept: an interrupted build resumes where it stopped.
    "${nice_cmd[@]}" cmake -S "$base" -B "$deps/build/qt6-base" -G Ninja \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DMOFENG_WIN_PREFIX="$deps/prefix" -DCMAKE_INSTALL_PREFIX="$qt" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_TOOLS_WHEN_CROSSCOMPILING=OFF \
        "${launcher[@]}" "${base_features[@]}" >"$deps/build/qt6-base.log" 2>&1 ||
        { tail -40 "$deps/build/qt6-base.log"; exit 1; }
    "${nice_cmd[@]}" cmake --build "$deps/build/qt6-base" -j "$jobs"
    cmake --install "$deps/build/qt6-base" >/dev/null
    echo "$base_stamp" >"$deps/stamps/qt6-base"
    echo "qt: qt6-base after $((SECONDS - started)) s"
fi

charts=$(fetch qt6-charts) || exit 1
apply_patches qt6-charts "$charts"
if [[ ! -f $deps/stamps/qt6-charts || $(cat "$deps/stamps/qt6-charts") != "$(basename "$charts")" ]]; then
    rm -rf "$deps/build/qt6-charts"
    "${nice_cmd[@]}" "$qt/bin/qt-cmake" -S "$charts" -B "$deps/build/qt6-charts" -G Ninja \
        -DCMAKE_BUILD_TYPE=Release -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
        -DCMAKE_INSTALL_PREFIX="$qt" >"$deps/build/qt6-charts.log" 2>&1 ||
        { tail -40 "$deps/build/qt6-charts.log"; exit 1; }
    "${nice_cmd[@]}" cmake --build "$deps/build/qt6-charts" -j "$jobs"
    cmake --install "$deps/build/qt6-charts" >/dev/null
    basename "$charts" >"$deps/stamps/qt6-charts"
fi
echo "qt: ready in $qt after $((SECONDS - started)) s"
