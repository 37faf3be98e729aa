#!/usr/bin/env bash
# Installs what building and speaking need on a fresh Debian machine (with
# --all, every package the project uses), builds the programs, and prepares
# the user's data (tolvane.xml, and english.dat, voice, language, emotion and
# accent files under the profile folder's Speechfiles).
set -euo pipefail
cd "$(dirname "$0")/.."

# What building the programs and speaking need; with --all also the rest (the
# manager's Qt, the Python package, speech-dispatcher, the test tools), which
# the test command installs too. The manager and the Python package are built
# once their packages are there.
. scripts/packages.sh
packages=("${RUN_PACKAGES[@]}")
case "${1:-}" in
  "") ;;
  --all) packages+=("${TEST_PACKAGES[@]}") ;;
  *)
    echo "usage: $0 [--all]" >&2
    exit 2
    ;;
esac
install_packages "${packages[@]}"

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
# English without its dictionary falls back on letter-to-sound rules for
# every word: a set-up that leaves it out is a failed one.
profile="${USERPROFILE:-$HOME}"
if [ ! -s "$profile/Speechfiles/English/english.dat" ]; then
  echo "setup.sh: $profile/Speechfiles/English/english.dat was not set up (is festlex-cmu installed?)" >&2
  exit 1
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
