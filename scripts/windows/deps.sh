#!/usr/bin/env bash
# Builds the libraries the Windows programs link, from Debian's own source
# packages, with MinGW-w64 into a cache outside the checkout:
#   $MOFENG_WIN_DEPS (default /var/cache/mofeng-win)/
#     src/<package>_<version>/   unpacked sources (apt-get source)
#     build/<package>/           their build folders
#     prefix/                    what the project links (static .a, headers, .pc, CMake files)
#     stamps/<package>           the Debian version built into prefix/
# A library is rebuilt only when its Debian version differs from its stamp.
# Static libraries: the programs stay single files that run from any folder
# (and under Wine without a DLL search path), and no DLL of these can go
# missing from a package.
# Usage: scripts/windows/deps.sh [library...]   (build.sh runs it for all)
set -euo pipefail

deps=${MOFENG_WIN_DEPS:-/var/cache/mofeng-win}
prefix=$deps/prefix
triplet=x86_64-w64-mingw32
nice_cmd=(nice -n 15)
jobs=${MOFENG_WIN_JOBS:-2}
# Dependency libraries: the source packages in the order they are built.
# iconv is the project's own (runtime/platform/windows-iconv): Debian packages
# none for MinGW, and FreeXL needs one.
libraries=(pcre2 sqlite3 expat libzip libxlsxwriter curl cpp-httplib iconv freexl googletest)

as_root() {
    if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi
}

# apt-get source needs a deb-src entry; this machine's own Debian mirror and
# suites are reused for it.
ensure_deb_src() {
    if grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        return
    fi
    local list=/etc/apt/sources.list.d/debian.sources
    local entry=/etc/apt/sources.list.d/mofeng-deb-src.sources
    echo "deps: no deb-src entry found; adding $entry (this machine's Debian sources, source packages only)"
    if [[ -f $list ]]; then
        sed -e 's/^Types:.*/Types: deb-src/' "$list" | as_root tee "$entry" >/dev/null
    else
        grep -hE '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
            as_root tee /etc/apt/sources.list.d/mofeng-deb-src.list >/dev/null
    fi
    as_root apt-get update -qq
}

ensure_tools() {
    local packages=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev cmake ninja-build pkgconf
        dpkg-dev tcl wine64 nsis zip unzip xvfb xdotool xclip imagemagick fonts-wqy-microhei locales
        googletest curl xz-utils)
    local missing=() p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    if ((${#missing[@]})); then
        echo "deps: installing ${missing[*]}"
        as_root apt-get update -qq
        DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends \
            "${missing[@]}"
    fi
}

# Wine takes the Windows locale and the code page of Unix file names from
# LANG; the GUI smoke runs in Chinese, which must be a generated locale here.
ensure_chinese_locale() {
    locale -a 2>/dev/null | grep -qix 'zh_CN.utf8' && return
    echo "deps: generating the zh_CN.UTF-8 locale for the programs under Wine"
    as_root sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    as_root locale-gen >/dev/null
}

# Unpacks the newest version of a source package that the mirrors serve (a
# security update's source is not on every mirror) once, and prints
# "<version> <folder>".
fetch_source() {
    local package=$1 version folder download unpacked
    for version in $(apt-cache showsrc "$package" | sed -n 's/^Version: //p' | sort -Vr); do
        folder=$deps/src/${package}_$version
        if [[ ! -d $folder ]]; then
            download=$deps/src/download-$package
            rm -rf "$download" && mkdir -p "$download" && chmod 777 "$download"
            if ! (cd "$download" && apt-get source -qq --only-source "$package=$version" \
                >/dev/null 2>&1); then
                echo "deps: $package $version: no source on the mirror, trying an older one" >&2
                rm -rf "$download"
                continue
            fi
            unpacked=$(find "$download" -mindepth 1 -maxdepth 1 -type d | head -1)
            mv "$unpacked" "$folder"
            rm -rf "$download"
        fi
        echo "$version $folder"
        return
    done
    echo "deps: no source of $package could be fetched" >&2
    return 1
}

cmake_dependency() {
    local name=$1 source=$2
    shift 2
    local build=$deps/build/$name
    rm -rf "$build"
    "${nice_cmd[@]}" cmake -S "$source" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DMOFENG_WIN_PREFIX="$prefix" \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
        -DBUILD_SHARED_LIBS=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=OFF "$@" >"$build.log" 2>&1 ||
        { tail -30 "$build.log"; return 1; }
    "${nice_cmd[@]}" cmake --build "$build" -j "$jobs" >>"$build.log" 2>&1 ||
        { tail -30 "$build.log"; return 1; }
    cmake --install "$build" >>"$build.log" 2>&1
}

build_pcre2() {
    cmake_dependency pcre2 "$1" -DPCRE2_BUILD_PCRE2_8=ON -DPCRE2_BUILD_PCRE2_16=OFF \
        -DPCRE2_BUILD_PCRE2_32=OFF -DPCRE2_SUPPORT_UNICODE=ON -DPCRE2_SUPPORT_JIT=ON \
        -DPCRE2_BUILD_PCRE2GREP=OFF -DPCRE2_BUILD_TESTS=OFF -DPCRE2_STATIC_RUNTIME=OFF
}

# Debian ships SQLite's full source tree: its amalgamation (sqlite3.c) is
# generated by the host's tools (tclsh, a host-built lemon), then compiled
# with MinGW as one file, with the options Debian's own build uses.
build_sqlite3() {
    local source=$1 build=$deps/build/sqlite3
    rm -rf "$build" && mkdir -p "$build"
    (cd "$build" && "${nice_cmd[@]}" "$source/configure" --disable-tcl >"$build.log" 2>&1 &&
        "${nice_cmd[@]}" make sqlite3.c >>"$build.log" 2>&1) || { tail -30 "$build.log"; return 1; }
    local flags=(-O2 -DSQLITE_ENABLE_COLUMN_METADATA -DSQLITE_ENABLE_FTS3 -DSQLITE_ENABLE_RTREE
        -DSQLITE_ENABLE_JSON1 -DSQLITE_SECURE_DELETE -DSQLITE_ENABLE_UNLOCK_NOTIFY
        -DSQLITE_ENABLE_DBSTAT_VTAB -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION)
    "${nice_cmd[@]}" $triplet-gcc-posix "${flags[@]}" -c "$build/sqlite3.c" -o "$build/sqlite3.o"
    rm -f "$build/libsqlite3.a"
    $triplet-ar rcs "$build/libsqlite3.a" "$build/sqlite3.o"
    local version=${2%%-*}
    mkdir -p "$prefix/lib/pkgconfig" "$prefix/include"
    cp "$build/libsqlite3.a" "$prefix/lib/"
    cp "$build/sqlite3.h" "$source/src/sqlite3ext.h" "$prefix/include/" 2>/dev/null ||
        cp "$build/sqlite3.h" "$prefix/include/"
    cat >"$prefix/lib/pkgconfig/sqlite3.pc" <<EOF
prefix=$prefix
Name: SQLite
Description: SQL database engine (cross-built from Debian's sqlite3 source)
Version: $version
Libs: -L\${prefix}/lib -lsqlite3
Cflags: -I\${prefix}/include
EOF
}

build_expat() {
    local source=$1
    [[ -f $source/expat/CMakeLists.txt ]] && source=$source/expat
    # Debian's security patches test "#if XML_DTD == 1", as its autotools
    # build defines it; CMake's configuration header defines it empty.
    sed -i -E 's/^#cmakedefine (XML_DTD|XML_GE|XML_NS)$/#cmakedefine \1 1/' "$source/expat_config.h.cmake"
    cmake_dependency expat "$source" -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
        -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_SHARED_LIBS=OFF
}

build_libzip() {
    cmake_dependency libzip "$1" -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF \
        -DENABLE_MBEDTLS=OFF -DENABLE_OPENSSL=OFF -DENABLE_WINDOWS_CRYPTO=ON -DENABLE_BZIP2=OFF \
        -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF \
        -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
}

# Its own temporary files (tmpfileplus, in the user's temporary folder): C's
# tmpfile() on Windows writes to the drive's root, which a user may not.
build_libxlsxwriter() {
    cmake_dependency libxlsxwriter "$1" -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF \
        -DUSE_SYSTEM_MINIZIP=OFF -DUSE_STANDARD_TMPFILE=OFF
}

# HTTP and HTTPS only, TLS through Windows' own Schannel and certificate store.
build_curl() {
    cmake_dependency curl "$1" -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF \
        -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBPSL=OFF -DUSE_LIBIDN2=OFF -DUSE_NGHTTP2=OFF \
        -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF -DCURL_ZLIB=ON -DHTTP_ONLY=ON -DCURL_DISABLE_LDAP=ON \
        -DENABLE_UNIX_SOCKETS=OFF -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF -DENABLE_MANUAL=OFF \
        -DCURL_CA_BUNDLE=none -DCURL_CA_PATH=none
}

# The header-only form of the library (Debian's binary package splits it).
build_cpp-httplib() {
    mkdir -p "$prefix/include" "$prefix/lib/pkgconfig"
    cp "$1/httplib.h" "$prefix/include/"
    cat >"$prefix/lib/pkgconfig/cpp-httplib.pc" <<EOF
prefix=$prefix
Name: cpp-httplib
Description: HTTP server and client (header-only)
Version: ${2%%+*}
Libs: -lws2_32
Cflags: -I\${prefix}/include
EOF
}

# Over the Windows code pages; its version is a digest of its source, so a
# change to it rebuilds it (static FreeXL takes it at the programs' link).
build_iconv() {
    local source=$1 build=$deps/build/iconv
    rm -rf "$build" && mkdir -p "$build" "$prefix/include" "$prefix/lib"
    "${nice_cmd[@]}" $triplet-gcc-posix -O2 -Wall -c "$source/iconv.c" -o "$build/iconv.o"
    rm -f "$prefix/lib/libiconv.a"
    $triplet-ar rcs "$prefix/lib/libiconv.a" "$build/iconv.o"
    cp "$source/iconv.h" "$source/localcharset.h" "$prefix/include/"
}

# Excel 97-2003 workbooks; its text goes through iconv, which its .pc file
# does not name: a static FreeXL brings it as a private library.
build_freexl() {
    local source=$1 build=$deps/build/freexl
    rm -rf "$build" && mkdir -p "$build"
    (cd "$build" && "${nice_cmd[@]}" "$source/configure" --host=$triplet --prefix="$prefix" \
        --disable-shared --enable-static CC=$triplet-gcc-posix CPPFLAGS="-I$prefix/include" \
        LDFLAGS="-L$prefix/lib" >"$build.log" 2>&1 &&
        "${nice_cmd[@]}" make -j "$jobs" >>"$build.log" 2>&1 && make install >>"$build.log" 2>&1) ||
        { tail -30 "$build.log"; return 1; }
    local pc=$prefix/lib/pkgconfig/freexl.pc
    grep -q -- '-liconv' "$pc" || echo 'Libs.private: -liconv' >>"$pc"
}

build_googletest() {
    cmake_dependency googletest "$1" -Dgtest_force_shared_crt=ON -DINSTALL_GTEST=ON
}

# Static libraries name their own dependencies in Libs.private, and the
# headers of some need a define to not import from a DLL: both go into
# the plain fields, which is what CMake's pkg_check_modules reads.
flatten_pkgconfig() {
    local pc
    for pc in "$prefix"/lib/pkgconfig/*.pc; do
        grep -q '^Libs.private:\|^Requires.private:' "$pc" || continue
        awk '
            /^Libs.private:/ { sub(/^Libs.private:/, ""); extra = extra $0; next }
            /^Requires.private:/ { sub(/^Requires.private:/, ""); req = req $0; next }
            { lines[++n] = $0 }
            END {
                for (i = 1; i <= n; i++) {
                    line = lines[i]
                    if (line ~ /^Libs:/) line = line extra
                    if (line ~ /^Requires:/ && req != "") { line = line "," req; req = "" }
                    print line
                }
                if (req != "") print "Requires:" req
            }' "$pc" >"$pc.tmp" && mv "$pc.tmp" "$pc"
    done
    local name define
    for name in libzip:ZIP_STATIC expat:XML_STATIC libpcre2-8:PCRE2_STATIC; do
        pc=$prefix/lib/pkgconfig/${name%%:*}.pc
        define=${name#*:}
        [[ -f $pc ]] && sed -i -e "/^Cflags:/{/$define/!s/\$/ -D$define/}" "$pc"
    done
}

main() {
    repo=$(cd "$(dirname "$0")/../.." && pwd)
    toolchain=$repo/cmake/toolchains/mingw-w64-x86_64.cmake
    ensure_tools
    ensure_chinese_locale
    ensure_deb_src
    mkdir -p "$deps/src" "$deps/build" "$deps/stamps" "$prefix/lib"
    local started package version stamp source
    (($#)) && libraries=("$@")
    for package in "${libraries[@]}"; do
        if [[ $package == googletest ]]; then
            version=$(dpkg-query -W -f='${Version}' googletest)
            source=/usr/src/googletest
        elif [[ $package == iconv ]]; then
            source=$repo/runtime/platform/windows-iconv
            version=$(cat "$source"/* | sha256sum | cut -c1-16)
        else
            read -r version source < <(fetch_source "$package")
            [[ -n $version ]]
        fi
        stamp=$deps/stamps/$package
        if [[ -f $stamp && $(cat "$stamp") == "$version" ]]; then
            continue
        fi
        started=$SECONDS
        echo "deps: building $package $version"
        "build_$package" "$source" "$version"
        echo "$version" >"$stamp"
        echo "deps: $package took $((SECONDS - started)) s"
    done
    flatten_pkgconfig
    echo "deps: ready in $prefix"
}

main "$@"
