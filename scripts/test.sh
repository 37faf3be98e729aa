#!/usr/bin/env bash
# Builds and runs the test suite, with warnings as errors.
#   scripts/test.sh             normal build (build/), whole suite
#   scripts/test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer
#                               build (build-asan/), whole suite
#   scripts/test.sh --tsan      ThreadSanitizer build (build-tsan/), whole suite
#   scripts/test.sh --windows   64-bit Windows cross-build (build-windows/), its
#                               tests under Wine (scripts/build-windows.sh)
set -euo pipefail
cd "$(dirname "$0")/.."

# Everything the tests, the manager, the Python package and the comparisons
# need (the set-up installs only what building and speaking need).
. scripts/packages.sh
install_packages "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

dir=build
args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
case "${1:-}" in
  "") ;;
  --sanitize)
    dir=build-asan
    args=(-DCMAKE_BUILD_TYPE=Debug -DVORSAN_SANITIZE=ON -DVORSAN_BENCH=OFF)
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
    ;;
  --tsan)
    dir=build-tsan
    args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORSAN_TSAN=ON -DVORSAN_BENCH=OFF)
    # Any race fails the test that shows it. The suppressions file names only
    # uninstrumented third-party libraries, never the project's own code.
    export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
    [ -f tests/tsan.supp ] && TSAN_OPTIONS+=":suppressions=$PWD/tests/tsan.supp"
    ;;
  --windows)
    exec scripts/build-windows.sh
    ;;
  *)
    echo "usage: $0 [--sanitize|--tsan|--windows]" >&2
    exit 2
    ;;
esac
# ccache, when there, makes the second and third build trees cheap.
if command -v ccache >/dev/null; then
  args+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$PWD"
  # Debug information names the build folder; leaving it out of the hash lets
  # another clone of the project (CI's, a work tree) reuse the cache.
  export CCACHE_NOHASHDIR=true
fi
cmake -S . -B "$dir" -DVORSAN_WERROR=ON "${args[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
cd "$dir"
ctest --output-on-failure -j"$(nproc)"
