#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang in build-fuzz/ and runs each
# one for a bounded time on its seed corpus. Fails when any target crashes,
# leaks, trips a sanitizer or breaks one of its checked properties; the input
# that did it is saved under build-fuzz/artifacts/<target>/.
#   scripts/fuzz.sh [seconds-per-target] [target...]
# Default: 20 seconds for every target. Targets are named as in fuzz/corpus
# (rule_file, phoneme_text, ...). A saved input is replayed with
#   build-fuzz/fuzz/fuzz_<target> <file>
set -euo pipefail
cd "$(dirname "$0")/.."

# What the fuzz targets need (clang) besides the set-up's packages.
. scripts/packages.sh
install_packages "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

seconds="${1:-20}"
shift || true
dir="$PWD/build-fuzz"

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$PWD"
  # Debug information names the build folder; leaving it out of the hash lets
  # another clone of the project (CI's, a work tree) reuse the cache.
  export CCACHE_NOHASHDIR=true
fi
# -O1 with assertions kept: fast enough to fuzz, still checks the code's own asserts.
cmake -S . -B "$dir" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g" \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DVORSAN_FUZZ=ON -DVORSAN_WERROR=ON \
  -DVORSAN_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)" --target fuzzers

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for d in fuzz/corpus/*/; do targets+=("$(basename "$d")"); done
fi

if [ -x /usr/bin/llvm-symbolizer-14 ]; then export ASAN_SYMBOLIZER_PATH=/usr/bin/llvm-symbolizer-14; fi
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
failed=()
for t in "${targets[@]}"; do
  exe="$dir/fuzz/fuzz_$t"
  [ -x "$exe" ] || { echo "fuzz: no target $t" >&2; exit 2; }
  work="$dir/corpus/$t"
  artifacts="$dir/artifacts/$t"
  mkdir -p "$work" "$artifacts"
  echo "fuzz: $t for ${seconds}s"
  # New inputs go to the working corpus in the build folder; the seeds in the
  # source tree are only read. Standard output (the loaders' diagnostic
  # lines) is closed; libFuzzer reports on standard error.
  if "$exe" -max_total_time="$seconds" -timeout=10 -close_fd_mask=1 -print_final_stats=1 \
      -artifact_prefix="$artifacts/" "$work" "$PWD/fuzz/corpus/$t" >"$dir/fuzz-$t.log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$dir/fuzz-$t.log" | sed 's/^/  /'
  else
    echo "fuzz: $t FAILED; log: $dir/fuzz-$t.log" >&2
    grep -E 'ERROR|SUMMARY|property violated|Test unit written' "$dir/fuzz-$t.log" | head -20 >&2 || true
    failed+=("$t")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: ${#failed[@]} of ${#targets[@]} targets failed: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz: ${#targets[@]} targets ran ${seconds}s each without a failure"
