#!/usr/bin/env bash
# Festival's back end as a plugin (synth/src/FestivalPlugin.cpp):
#   1. the programs and modules of the build (the CLI, the speech-dispatcher
#      module, the Python module) need no Festival or speech-tools library,
#      while the plugin does;
#   2. the CLI does not load the plugin by default, and speaks with it under
#      VORSAN_SYNTH=festival;
#   3. with the plugin missing, VORSAN_SYNTH=festival fails with a message
#      naming the plugin, and the default renderer still speaks.
# Usage: festival_plugin_test.sh PLUGIN CLI [SD_VORSAN] [PYTHON_MODULE]
# (an empty argument: not built).
set -euo pipefail
plugin=$1 cli=$2 sd=${3:-} py=${4:-}
work=$(mktemp -d "${TMPDIR:-/tmp}/vorsan-festival-plugin.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
festival_libs='lib(Festival|estools|estbase|eststring)[.-]'

for f in "$cli" "$sd" "$py"; do
  [ -n "$f" ] || continue
  [ -f "$f" ] || fail "$f not built"
  if grep -E "$festival_libs" <<<"$(ldd "$f")"; then
    fail "$f loads Festival or the speech tools"
  fi
  echo "ok: $(basename "$f") needs no Festival library"
done
[ -f "$plugin" ] || fail "plugin $plugin not built"
# (Output captured first: with pipefail, grep -q leaving early could fail the
# writer of a pipe.)
plugin_libs=$(ldd "$plugin")
grep -qE "$festival_libs" <<<"$plugin_libs" || fail "$plugin does not need the speech tools (is it Festival's back end?)"
! grep -q "not found" <<<"$plugin_libs" || fail "$plugin has missing libraries: $(grep 'not found' <<<"$plugin_libs")"

mkdir -p "$work/profile"
speak() { env USERPROFILE="$work/profile" "$cli" -q -o "$1" tofile "Hello world, this is a test."; }
# A WAVE file with audible samples: its size and the peak of its data.
audible() {
  python3 - "$1" <<'PY'
import sys, wave, array
w = wave.open(sys.argv[1])
assert w.getsampwidth() == 2, "not 16-bit"
a = array.array("h", w.readframes(w.getnframes()))
seconds = w.getnframes() / w.getframerate()
peak = max((abs(x) for x in a), default=0)
print(f"{seconds:.2f} s, peak {peak}")
sys.exit(0 if 0.5 <= seconds <= 5 and peak >= 1600 else 1)
PY
}

# Default renderer: speaks, and the plugin is never opened.
env -u VORSAN_SYNTH LD_DEBUG=files LD_DEBUG_OUTPUT="$work/ld-default" \
  USERPROFILE="$work/profile" "$cli" -q -o "$work/default.wav" tofile "Hello world, this is a test." ||
  fail "the CLI failed with the default renderer"
audible "$work/default.wav" || fail "default renderer: no plausible speech"
! grep -qE "libvorsan_festival|$festival_libs" "$work"/ld-default.* ||
  fail "the default renderer loaded Festival's plugin or libraries"
echo "ok: default renderer speaks without loading the plugin"

# Festival's back end through the plugin.
VORSAN_SYNTH=festival LD_DEBUG=files LD_DEBUG_OUTPUT="$work/ld-festival" speak "$work/festival.wav" ||
  fail "the CLI failed with VORSAN_SYNTH=festival"
audible "$work/festival.wav" || fail "VORSAN_SYNTH=festival: no plausible speech"
grep -q "libvorsan_festival" "$work"/ld-festival.* || fail "VORSAN_SYNTH=festival did not load the plugin"
echo "ok: VORSAN_SYNTH=festival speaks through the plugin"

# The plugin missing: a clear failure naming it, no crash.
missing=$work/nowhere/libvorsan_festival.so
set +e
VORSAN_SYNTH=festival VORSAN_FESTIVAL_PLUGIN=$missing speak "$work/missing.wav" >"$work/missing.log" 2>&1
status=$?
set -e
cat "$work/missing.log"
[ "$status" -ne 0 ] && [ "$status" -lt 128 ] || fail "without the plugin the CLI exited with $status"
grep -qF "$missing" "$work/missing.log" || fail "the failure does not name the plugin"
echo "ok: without the plugin VORSAN_SYNTH=festival fails cleanly"
