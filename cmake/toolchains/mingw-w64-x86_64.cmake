# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix threads).
# MOFENG_WIN_PREFIX: the folder the dependencies were built into, and
# MOFENG_WIN_QT the cross-built Qt's, when there is one (scripts/windows/build.sh
# passes both).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MOFENG_MINGW_TRIPLET x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${MOFENG_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MOFENG_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MOFENG_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${MOFENG_MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${MOFENG_MINGW_TRIPLET}-ranlib CACHE FILEPATH "")

# Passed on to the try_compile projects CMake runs while configuring.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES MOFENG_WIN_PREFIX MOFENG_WIN_QT)
# Static libraries list their own dependencies as private ones.
set(PKG_CONFIG_ARGN --static)
set(CMAKE_FIND_ROOT_PATH /usr/${MOFENG_MINGW_TRIPLET} ${MOFENG_WIN_PREFIX} ${MOFENG_WIN_QT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads only the cross-built .pc files, never the host's.
if(MOFENG_WIN_PREFIX)
    set(ENV{PKG_CONFIG_LIBDIR} ${MOFENG_WIN_PREFIX}/lib/pkgconfig:${MOFENG_WIN_PREFIX}/share/pkgconfig)
    set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
    set(ENV{PKG_CONFIG_PATH} "")
endif()

# Test programs and the other .exe files run through Wine on this machine,
# in the project's own Wine prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../../scripts/windows/wine-run.sh)
