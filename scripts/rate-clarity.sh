#!/usr/bin/env bash
# How clear fast speech stays: Harvard sentences (IEEE 1969 lists 1 and 2)
# spoken at 1x, 2x and 3x the configuration's rate, recognised by pocketsphinx
# with its US-English model; prints each rate's word error rate, for the
# engine's speaking rate (pauses and vowels shorten more than consonants) and
# for the same rate by plain time scaling (every phone alike). Run by hand:
#   scripts/rate-clarity.sh [vorsan program]   (default: build/cli/vorsan)
# Needs pocketsphinx, pocketsphinx-en-us and sox (scripts/setup.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
program="$(realpath "${1:-build/cli/vorsan}")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export USERPROFILE="$work/profile" HOME="$work/profile"
mkdir -p "$USERPROFILE"
bash scripts/install-data.sh >/dev/null

sentences=(
  "The birch canoe slid on the smooth planks."
  "Glue the sheet to the dark blue background."
  "It's easy to tell the depth of a well."
  "These days a chicken leg is a rare dish."
  "Rice is often served in round bowls."
  "The juice of lemons makes fine punch."
  "The box was thrown beside the parked truck."
  "The hogs were fed chopped corn and garbage."
  "Four hours of steady work faced us."
  "A large size in stockings is hard to sell."
  "The boy was there when the sun rose."
  "A rod is used to catch pink salmon."
  "The source of the huge river is the clear spring."
  "Kick the ball straight and follow through."
  "Help the woman get back to her feet."
  "A pot of tea helps to pass the evening."
  "Smoky fires lack flame and heat."
  "The soft cushion broke the man's fall."
  "The salt breeze came across from the sea."
  "The girl at the booth sold fifty bonds."
)
printf '%s\n' "${sentences[@]}" > "$work/reference.txt"

for rate in 1 2 3; do
  for way in shaped plain; do
    : > "$work/$way-$rate.txt"
    for i in "${!sentences[@]}"; do
      wav="$work/$way-$rate-$i.wav"
      if [ "$way" = shaped ]; then
        "$program" -q -r "$rate" tofile -o "$wav" "${sentences[$i]}" >/dev/null
      else
        "$program" -q --time "English (United States)=$(python3 -c "print(1/$rate)")" tofile -o "$wav" \
          "${sentences[$i]}" >/dev/null
      fi
      sox "$wav" -r 16000 -c 1 -b 16 "$work/in.wav"
      pocketsphinx_continuous -infile "$work/in.wav" 2>/dev/null | tr '\n' ' ' >> "$work/$way-$rate.txt"
      echo >> "$work/$way-$rate.txt"
    done
  done
done

echo "word error rate, Harvard sentences (pocketsphinx en-us): speaking rate (shaped) and plain time scaling"
for rate in 1 2 3; do
  python3 scripts/word_errors.py "$work/reference.txt" "${rate}x shaped=$work/shaped-$rate.txt" \
    "${rate}x plain=$work/plain-$rate.txt"
done
