# Shared by the Windows scripts (sourced, not run).

# The folders of the DLLs that are not part of Windows, in search order: Qt
# and the cross-built libraries ($MOFENG_WIN_DEPS), MinGW's own runtime.
windows_dll_dirs() {
    local deps=${MOFENG_WIN_DEPS:-/var/cache/mofeng-win} libgcc
    libgcc=$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name 2>/dev/null || true)
    printf '%s\n' "$deps/qt/bin" "$deps/prefix/bin"
    [[ -n $libgcc ]] && dirname "$libgcc"
    echo /usr/x86_64-w64-mingw32/lib
}

# Waits up to $3 seconds (default 5) for a line of file $1 that matches $2.
wait_for_line() {
    local _
    for _ in $(seq $((${3:-5} * 10))); do
        grep -q "$2" "$1" 2>/dev/null && return
        sleep 0.1
    done
    return 1
}
