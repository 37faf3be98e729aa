# Cross-building for 64-bit Windows with Debian's MinGW-w64 (posix thread
# model, so std::thread and std::mutex work), running the programs under Wine.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#         -DVORSAN_MINGW_DEPS=<prefix printed by scripts/mingw-deps.sh>
#
# Libraries are searched for only in the MinGW sysroot and the deps prefix;
# pkg-config reads only the deps prefix's .pc files. Programs and DLLs link
# libgcc, libstdc++ and winpthread statically, so they need no MinGW DLL.
# ctest runs each test program through Wine (CMAKE_CROSSCOMPILING_EMULATOR).

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VORSAN_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VORSAN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VORSAN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VORSAN_MINGW_TRIPLET}-windres)
# The IDL compiler for COM type libraries and interface headers.
find_program(VORSAN_WIDL ${VORSAN_MINGW_TRIPLET}-widl)

# The deps prefix (Xerces-C, libsndfile, libsamplerate, GoogleTest built for
# MinGW). The toolchain file is read again for every try_compile project,
# where cache variables are not passed on: the environment carries the value.
set(VORSAN_MINGW_DEPS "$ENV{VORSAN_MINGW_DEPS}" CACHE PATH
    "Prefix holding the libraries built for MinGW-w64 (scripts/mingw-deps.sh)")
if(VORSAN_MINGW_DEPS)
  set(ENV{VORSAN_MINGW_DEPS} "${VORSAN_MINGW_DEPS}")
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${VORSAN_MINGW_TRIPLET})
if(VORSAN_MINGW_DEPS)
  list(APPEND CMAKE_FIND_ROOT_PATH "${VORSAN_MINGW_DEPS}")
  list(APPEND CMAKE_PREFIX_PATH "${VORSAN_MINGW_DEPS}")
endif()
# Build tools come from the host; headers, libraries and packages only from
# the roots above.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config: the deps prefix's .pc files and none of the host's.
if(VORSAN_MINGW_DEPS)
  set(ENV{PKG_CONFIG_LIBDIR} "${VORSAN_MINGW_DEPS}/lib/pkgconfig")
else()
  set(ENV{PKG_CONFIG_LIBDIR} "/usr/${VORSAN_MINGW_TRIPLET}/lib/pkgconfig")
endif()
set(ENV{PKG_CONFIG_PATH} "")
unset(ENV{PKG_CONFIG_SYSROOT_DIR})

# No MinGW runtime DLL beside the programs: libgcc, libstdc++ and winpthread
# are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Wine runs the test programs: Debian's 64-bit loader, else whatever `wine`
# is on the path. Its prefix (the Windows side's C: drive and registry) lives
# in the cache folder, made by the first run (wineboot, about 10 s); Wine's
# own diagnostics stay quiet.
find_program(VORSAN_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(VORSAN_WINE NAMES wine64 wine)
if(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
  set(_vorsan_cache "$ENV{XDG_CACHE_HOME}")
else()
  set(_vorsan_cache "$ENV{HOME}/.cache")
endif()
set(VORSAN_WINEPREFIX "${_vorsan_cache}/vorsan/wine" CACHE PATH "Wine prefix the test programs run in")
if(VORSAN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      "${CMAKE_COMMAND};-E;env;WINEPREFIX=${VORSAN_WINEPREFIX};WINEDEBUG=-all;${VORSAN_WINE}")
endif()
