#!/usr/bin/env bash
# Installs everything the project needs on a fresh Debian machine, builds it,
# and prepares the user's data (tolvane.xml, and english.dat, voice, language,
# emotion and accent files under the profile folder's Speechfiles).
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  build-essential cmake pkg-config python3
  libxerces-c-dev
  # header-only: the content hash of compiled data copies, UTF-8/UTF-16 conversion
  libxxhash-dev libutfcpp-dev
  festival festival-dev libestools-dev
  festvox-kallpc16k festvox-hi-nsk festvox-te-nsk festvox-mr-nsk
  libsndfile1-dev libsamplerate0-dev libasound2-dev
  pocketsphinx pocketsphinx-en-us
  libgtest-dev libgmock-dev libbenchmark-dev
  sox espeak-ng ccache
  # scripts/fuzz.sh: clang with libFuzzer; llvm-symbolizer for file:line in sanitizer stacks
  clang libclang-rt-14-dev llvm-14
  # the system voice for every application: speech-dispatcher and its audio output
  speech-dispatcher speech-dispatcher-audio-plugins
  # the manager: Qt 6 Widgets, and fonts that show the five Indian scripts
  # (locales: its tests build a decimal-comma locale)
  qt6-base-dev fonts-lohit-deva fonts-lohit-gujr fonts-lohit-telu fonts-lohit-knda fonts-lohit-taml locales
  # the Python package (built against Debian's /usr/bin/python3, which has numpy)
  pybind11-dev python3-dev python3-numpy
  # English stress for english.dat: Festival's CMU lexicon (stressed, syllabified)
  festlex-cmu
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The same settings as scripts/test.sh, so the test run reuses this build.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$PWD"
  # Debug information names the build folder; leaving it out of the hash lets
  # another clone of the project (CI's, a work tree) reuse the cache.
  export CCACHE_NOHASHDIR=true
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORSAN_WERROR=ON "${launcher[@]}" >/dev/null
# Only what a user runs (programs, libraries, servers, data); the test command
# builds the tests, benchmarks and fuzz replays into the same tree.
cmake --build build -j"$(nproc)" --target vorsan_programs

# The user's data: tolvane.xml and Speechfiles copied from build/nimbrel, the
# build tree's installation folder (made when the build is configured), by
# vorsan-user-setup. The programs do the same by themselves for a user who has
# no tolvane.xml; this also refreshes the copies of shipped files.
if [ -x scripts/install-data.sh ]; then
  scripts/install-data.sh
fi

# The system voice: Software\Nimbrel in the user's class registry names the
# same installation folder, from which the voice sets up a user who has none
# (the registry tool rewrites the file, so the appended key replaces an
# earlier one); the engine's and the voice's servers are registered there too.
nimbrel="$PWD/build/nimbrel"
registry="${USERPROFILE:-$HOME}/.vorsan/registry"
mkdir -p "$(dirname "$registry")"
# An earlier run's key is replaced, not added to.
if [ -f "$registry" ]; then
  awk '/^\[/ { skip = ($0 == "[Software\\Nimbrel]") } !skip' "$registry" >"$registry.new"
  mv "$registry.new" "$registry"
fi
printf '[Software\\Nimbrel]\n@=%s\n' "$nimbrel" >>"$registry"
build/automation/vorsan-regsvr build/automation/libVorsanCOM.so
build/automation/vorsan-regsvr build/voice/libNimbrel22.so

# The speech-dispatcher module for this user: the server finds
# ~/.local/libexec/speech-dispatcher-modules/sd_vorsan by itself (a link to
# this build, so a rebuild is used once the server restarts its modules), with
# its configuration in ~/.config/speech-dispatcher/modules/vorsan.conf. Then
#   spd-say -o vorsan -l hi "नमस्ते दुनिया"
# speaks (a server that was already running sees the module after a restart).
modules="$HOME/.local/libexec/speech-dispatcher-modules"
config="${XDG_CONFIG_HOME:-$HOME/.config}/speech-dispatcher/modules"
# (The server looks in ~/.local/share/../libexec, so ~/.local/share must exist.)
mkdir -p "$modules" "$config" "$HOME/.local/share"
ln -sfn "$PWD/build/voice/speechd/sd_vorsan" "$modules/sd_vorsan"
cp voice/speechd/vorsan.conf "$config/vorsan.conf"
