#!/usr/bin/env bash
# Cross-builds the project for 64-bit Windows into build-windows/, packs the
# installer build-windows/vorsan-<version>-setup.exe (NSIS) and runs the
# tests there under Wine, the installer's among them:
#   scripts/build-windows.sh [ctest arguments...]
# Installs the MinGW-w64 toolchain and Wine when missing, builds the libraries
# once (scripts/mingw-deps.sh, cached by version) and configures with
# cmake/mingw-w64.cmake.
set -euo pipefail
cd "$(dirname "$0")/.."

# The toolchain: scripts/mingw-deps.sh installs whatever is missing.
prefix="$(scripts/mingw-deps.sh | tail -n 1)"

# Benchmarks: on Windows only the one written for every system (the warm
# short sentence), built so it keeps compiling; run by hand under Wine.
args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORSAN_WERROR=ON -DVORSAN_BENCH=ON
      -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DVORSAN_MINGW_DEPS="$prefix")
if command -v ccache >/dev/null; then
  args+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$PWD"
  export CCACHE_NOHASHDIR=true
fi
cmake -S . -B build-windows "${args[@]}" >/dev/null
nice cmake --build build-windows -j2

# The Wine prefix the toolchain file names (its first start takes ~10 s,
# done here so no test's time limit pays for it).
wineprefix="$(sed -nE 's/^VORSAN_WINEPREFIX:PATH=(.*)$/\1/p' build-windows/CMakeCache.txt)"
wine="$(sed -nE 's/^VORSAN_WINE:FILEPATH=(.*)$/\1/p' build-windows/CMakeCache.txt)"
if [ -z "$wine" ] || [ ! -x "$wine" ]; then
  echo "build-windows: Wine was not found (package wine64)" >&2
  exit 1
fi
mkdir -p "$wineprefix"
WINEPREFIX="$wineprefix" WINEDEBUG=-all "$wine" wineboot --init >/dev/null 2>&1 || true

# The installer, build-windows/vorsan-<version>-setup.exe (its test,
# windows_installer, installs it under Wine and uninstalls it again).
packaging/windows/make-installer.sh build-windows >/dev/null

cd build-windows
# A program that crashes under Wine starts Wine's debugger, which waits for
# a display that is not there: the timeout ends such a test as failed
# instead of stalling the run.
ctest -j2 --output-on-failure --timeout 600 "$@"
