#!/usr/bin/env bash
# Builds the English pronunciation dictionary english.dat from the CMU
# pronouncing dictionary of pocketsphinx-en-us into the user's data folder:
# $USERPROFILE (or $HOME when it is unset or empty)/Speechfiles/English.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source_dict="${VORSAN_CMUDICT:-/usr/share/pocketsphinx/model/en-us/cmudict-en-us.dict}"
profile="${USERPROFILE:-}"
[ -n "$profile" ] || profile="$HOME"
target="$profile/Speechfiles/English/english.dat"

if [ ! -f "$source_dict" ]; then
  echo "english: $source_dict not found (package pocketsphinx-en-us); english.dat not built" >&2
  exit 1
fi
mkdir -p "$(dirname "$target")"
python3 "$here/make_english_dat.py" "$source_dict" "$target.part"
mv -f "$target.part" "$target"
echo "english: built $target ($(( $(stat -c %s "$target") / 130 )) words)"
