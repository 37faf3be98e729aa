#!/usr/bin/env bash
# Speech recognition as a listener: English sentences spoken with our diphone
# renderer and with Festival's back end (VORSAN_SYNTH=festival), each
# recognised by pocketsphinx with its US-English model; prints every
# sentence's recognised words and each back end's word error rate. Our
# renderer should be recognised at least as well as Festival's.
#   scripts/recognition-check.sh [vorsan program]   (default: build/cli/vorsan)
# Needs pocketsphinx and pocketsphinx-en-us (scripts/setup.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
program="$(realpath "${1:-build/cli/vorsan}")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# A profile folder of its own, with the shipped configuration.
export USERPROFILE="$work/profile" HOME="$work/profile"
mkdir -p "$USERPROFILE"
bash scripts/install-data.sh >/dev/null

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
    # pocketsphinx's model wants 16 kHz mono.
    sox "$wav" -r 16000 -c 1 -b 16 "$work/in.wav"
    pocketsphinx_continuous -infile "$work/in.wav" 2>/dev/null | tr '\n' ' ' >> "$work/$backend.txt"
    echo >> "$work/$backend.txt"
  done
done

printf '%s\n' "${sentences[@]}" > "$work/reference.txt"
python3 scripts/word_errors.py --verbose "$work/reference.txt" ours="$work/ours.txt" festival="$work/festival.txt"
