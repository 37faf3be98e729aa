#!/usr/bin/env bash
# Speech recognition as a listener: English sentences spoken by the vorsan
# program and recognised by pocketsphinx with its US-English model; prints
# every sentence's recognised words and word error rates.
#   scripts/recognition-check.sh [vorsan program]
#       our diphone renderer against Festival's back end (VORSAN_SYNTH=festival):
#       ours should be recognised at least as well as Festival's.
#   scripts/recognition-check.sh --rates [vorsan program]
#       how clear fast speech stays: Harvard sentences (IEEE 1969 lists 1 and
#       2) at 1x, 2x and 3x the configuration's rate, with the engine's
#       speaking rate (pauses and vowels shorten more than consonants) and by
#       plain time scaling (every phone alike).
# Default program: build/cli/vorsan. Needs pocketsphinx, pocketsphinx-en-us and
# sox (installed here when missing, as scripts/test.sh does).
set -euo pipefail
cd "$(dirname "$0")/.."

# What the check needs (pocketsphinx, sox) besides the set-up's packages.
. scripts/packages.sh
install_packages "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

rates=false
if [ "${1:-}" = --rates ]; then
  rates=true
  shift
fi
program="$(realpath "${1:-build/cli/vorsan}")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# A profile folder of its own, with the shipped configuration.
export USERPROFILE="$work/profile" HOME="$work/profile"
mkdir -p "$USERPROFILE"
bash scripts/install-data.sh >/dev/null

# recognise WAV LIST: appends the words pocketsphinx hears in WAV as one line
# of LIST (its model wants 16 kHz mono).
recognise() {
  sox "$1" -r 16000 -c 1 -b 16 "$work/in.wav"
  pocketsphinx_continuous -infile "$work/in.wav" 2>/dev/null | tr '\n' ' ' >> "$2"
  echo >> "$2"
}

if ! $rates; then
  sentences=(
    "The weather is nice today."
    "Please call me when you get home."
    "I would like a cup of coffee."
    "The train leaves at seven in the morning."
    "She bought three books at the store."
    "Can you tell me the way to the station?"
    "We will meet again next week."
    "The children are playing in the garden."
    "Turn off the lights before you leave."
    "My brother works at a small hospital."
    "It is going to rain this afternoon."
    "Thank you very much for your help."
  )
  for backend in ours festival; do
    : > "$work/$backend.txt"
    for i in "${!sentences[@]}"; do
      wav="$work/$backend-$i.wav"
      if [ "$backend" = festival ]; then
        VORSAN_SYNTH=festival "$program" tofile -o "$wav" "${sentences[$i]}" >/dev/null
      else
        env -u VORSAN_SYNTH "$program" tofile -o "$wav" "${sentences[$i]}" >/dev/null
      fi
      recognise "$wav" "$work/$backend.txt"
    done
  done
  printf '%s\n' "${sentences[@]}" > "$work/reference.txt"
  python3 scripts/word_errors.py --verbose "$work/reference.txt" ours="$work/ours.txt" festival="$work/festival.txt"
  exit 0
fi

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
echo "word error rate, Harvard sentences: speaking rate (shaped) and plain time scaling"
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
      recognise "$wav" "$work/$way-$rate.txt"
    done
  done
  python3 scripts/word_errors.py "$work/reference.txt" "${rate}x shaped=$work/shaped-$rate.txt" \
    "${rate}x plain=$work/plain-$rate.txt"
done
