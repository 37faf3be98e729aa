#!/usr/bin/env python3
"""Writes newPelmiraHindi.words, the word list the Hindi front end cuts
compounds with (जन|मत, पवन|चक्की), from Debian's Hindi spelling dictionaries.

Each line is "+word": a word of hunspell-hi's hi_IN.dic (its stems) or of
aspell-hi's list of MAX_LETTERS letters or fewer and at least two, all of
them Devanagari letters and signs. Lines are sorted by UTF-16 code units, as
the front end searches them.

Needs the packages hunspell-hi and aspell-hi (aspell's "dump master"); their
licence is in COPYING.hindi-words.
Usage: make_hindi_words.py [output folder, default: this folder]
"""
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
HUNSPELL = "/usr/share/hunspell/hi_IN.dic"
# Longer members are rare, and each letter more adds thousands of words.
MAX_LETTERS = int(os.environ.get("MAX_LETTERS", "3"))


def is_letter(c):
    """A consonant or an independent vowel letter."""
    o = ord(c)
    return 0x0904 <= o <= 0x0939 or 0x0958 <= o <= 0x0961 or 0x0972 <= o <= 0x097F


def is_word(w):
    return all(0x0900 <= ord(c) <= 0x0963 or 0x0971 <= ord(c) <= 0x097F for c in w) and w


def letters(w):
    return sum(1 for c in w if is_letter(c))


def utf16_key(w):
    return w.encode("utf-16-be")


def main(folder):
    with open(HUNSPELL, encoding="utf-8") as f:
        stems = [line.split("/")[0].strip() for line in f.readlines()[1:]]
    stems = {w for w in stems if is_word(w)}
    dump = subprocess.run(["aspell", "-l", "hi", "dump", "master"], check=True, capture_output=True,
                          text=True).stdout.split()
    members = {w for w in stems | set(dump) if is_word(w) and 2 <= letters(w) <= MAX_LETTERS}
    lines = ["+" + w for w in sorted(members, key=utf16_key)]
    with open(os.path.join(folder, "newPelmiraHindi.words"), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else HERE)
