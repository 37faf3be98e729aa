#!/usr/bin/env python3
"""Writes english/src/RhythmDurations.h, the mean duration of every English
phone for the front end's natural rhythm.

The figures are the published phone duration means of the CMU/kal US-English
diphone voice that Festival ships (festvox-kallpc16k,
festvox/kaldurtreeZ.scm, the table "kal_durs": phone, mean and standard
deviation in seconds, measured on natural speech; Centre for Speech
Technology Research, University of Edinburgh, 1996-1997, free to use and
distribute with its notice kept). Only the means are taken, as data.

The front end's phones are named as the English MBROLA voice names them;
MAP below gives the kal phone each one is measured as. Vowels that the US
phone set has no single phone for are the sum of their two parts' means.

Usage: make_rhythm_durations.py [kaldurtreeZ.scm] > english/src/RhythmDurations.h
"""
import re
import sys

SOURCE = "/usr/share/festival/voices/english/kal_diphone/festvox/kaldurtreeZ.scm"

# Phones in the front end's order (numbers 33 to 76) and the kal phones they
# are measured as ("+" joins parts whose means are added).
MAP = [
    ("p", "p"), ("b", "b"), ("t", "t"), ("d", "d"), ("k", "k"), ("m", "m"), ("n", "n"), ("l", "l"),
    ("r", "r"), ("f", "f"), ("v", "v"), ("s", "s"), ("z", "z"), ("h", "hh"), ("w", "w"), ("g", "g"),
    ("tS", "ch"), ("dZ", "jh"), ("N", "ng"), ("T", "th"), ("D", "dh"), ("S", "sh"), ("Z", "zh"),
    ("j", "y"), ("i:", "iy"), ("A:", "aa"), ("O:", "ao"), ("u:", "uw"), ("3:", "er"), ("I", "ih"),
    ("e", "eh"), ("{", "ae"), ("V", "ah"), ("Q", "aa"), ("U", "uh"), ("@", "ax"), ("eI", "ey"),
    ("aI", "ay"), ("OI", "oy"), ("@U", "ow"), ("aU", "aw"), ("I@", "ih+ax"), ("e@", "eh+ax"),
    ("U@", "uh+ax"),
]


def read_means(path):
    text = open(path, encoding="latin-1").read()
    table = text[text.index("(set! kal_durs"):]
    table = table[:table.index("\n)\n")]
    means = {}
    for line in table.splitlines():
        line = line.split(";", 1)[0]  # commented-out rows are not figures
        m = re.match(r"\s*\((\S+)\s+([0-9.]+)\s+([0-9.]+)\)", line)
        if m:
            means[m.group(1)] = float(m.group(2))
    return means


def main():
    means = read_means(sys.argv[1] if len(sys.argv) > 1 else SOURCE)
    cells = []
    for ours, theirs in MAP:
        ms = round(1000 * sum(means[p] for p in theirs.split("+")))
        cells.append(f"{ms:3d}, // {ours} ({theirs})")
    print("#pragma once")
    print("// Mean duration in ms of every English phone (numbers 33 to 76, the phone")
    print("// table's order) in natural US-English speech: the published means of the")
    print("// CMU/kal diphone voice's duration table (Festival's festvox-kallpc16k,")
    print("// kaldurtreeZ.scm, \"kal_durs\"; CSTR, University of Edinburgh).")
    print("// Made by data/english/make_rhythm_durations.py; do not edit.")
    print("#include <array>")
    print()
    print("namespace vorsan::englishrhythm {")
    print(f"inline constexpr std::array<int, {len(MAP)}> kMeanDurations = {{")
    for c in cells:
        print("    " + c)
    print("};")
    print("} // namespace vorsan::englishrhythm")


if __name__ == "__main__":
    main()
