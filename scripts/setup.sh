#!/usr/bin/env bash
# Installs everything the project needs on a fresh Debian machine, builds it,
# and prepares the user's data (english.dat, voice, language, emotion and
# accent files under the profile folder's Speechfiles).
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  build-essential cmake pkg-config python3
  libxerces-c-dev
  festival festival-dev libestools-dev
  festvox-kallpc16k festvox-hi-nsk festvox-te-nsk festvox-mr-nsk
  libsndfile1-dev libsamplerate0-dev libasound2-dev
  pocketsphinx-en-us
  libgtest-dev libgmock-dev libbenchmark-dev
  sox espeak-ng
  # scripts/fuzz.sh: clang with libFuzzer; llvm-symbolizer for file:line in sanitizer stacks
  clang libclang-rt-14-dev llvm-14
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

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"

if [ -x scripts/install-data.sh ]; then
  scripts/install-data.sh
fi
