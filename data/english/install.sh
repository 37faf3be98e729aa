#!/usr/bin/env bash
# Builds the English pronunciation dictionary english.dat into the user's data
# folder, $USERPROFILE (or $HOME when it is unset or empty)/Speechfiles/English,
# replacing the one there (the format is unchanged, so an older file keeps
# working until then). Sources, the first that has a word giving it: Festival's
# CMU lexicon with stress and syllables (package festlex-cmu), then the CMU
# pronouncing dictionary of pocketsphinx-en-us for the words Festival's lacks.
# VORSAN_CMUDICT names another ARPAbet dictionary to use instead of the latter.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
festival_dir=/usr/share/festival/dicts/cmu
cmudict="${VORSAN_CMUDICT:-/usr/share/pocketsphinx/model/en-us/cmudict-en-us.dict}"
profile="${USERPROFILE:-}"
[ -n "$profile" ] || profile="$HOME"
target="$profile/Speechfiles/English/english.dat"

sources=()
for f in "$festival_dir/cmudict-0.4.out" "$festival_dir/cmulex.scm" "$cmudict"; do
  [ -f "$f" ] && sources+=("$f")
done
if [ ${#sources[@]} -eq 0 ]; then
  echo "english: no lexicon found (packages festlex-cmu, pocketsphinx-en-us); english.dat not built" >&2
  exit 1
fi
[ -f "$festival_dir/cmudict-0.4.out" ] ||
  echo "english: $festival_dir/cmudict-0.4.out not found (package festlex-cmu); stress is guessed" >&2
mkdir -p "$(dirname "$target")"
python3 "$here/make_english_dat.py" "${sources[@]}" "$target.part"
mv -f "$target.part" "$target"
cp "$here/COPYING.cmulex" "$(dirname "$target")/" 2>/dev/null || true
echo "english: built $target ($(( $(stat -c %s "$target") / 130 )) words)"
