#!/usr/bin/env python3
"""Writes the word lists of the Devanagari languages, newPelmiraHindi.words and
PelmiraMarathi.words, from Debian's spelling dictionaries (hunspell-hi's
hi_IN.dic and aspell-hi for Hindi, aspell-mr for Marathi).

A line is a mark and a word:
  +word  a word a Hindi compound may be cut into (जन|मत, पवन|चक्की): a
         Hindi word of two or three letters;
  =word  a word of the language's list that the other language's list does
         not have (Marathi आहे, राखून; Hindi है, और), which tells the two
         languages apart.
Words are Devanagari letters and signs only. Lines are sorted by their UTF-8
bytes, the order the front end searches them in.

Needs the packages hunspell-hi, aspell, aspell-hi and aspell-mr; their
licences are in COPYING.wordlists.
Usage: make_words.py [output folder, default: this folder]
"""
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
HUNSPELL = "/usr/share/hunspell/hi_IN.dic"
# Longer compound members are rare, and each letter more adds thousands of words.
MAX_MEMBER_LETTERS = 3


def is_letter(c):
    """A consonant or an independent vowel letter."""
    o = ord(c)
    return 0x0904 <= o <= 0x0939 or 0x0958 <= o <= 0x0961 or 0x0972 <= o <= 0x097F


def is_word(w):
    return bool(w) and all(0x0900 <= ord(c) <= 0x0963 or 0x0971 <= ord(c) <= 0x097F for c in w)


def letters(w):
    return sum(1 for c in w if is_letter(c))


def aspell(language):
    out = subprocess.run(["aspell", "-l", language, "dump", "master"], check=True, capture_output=True,
                         text=True).stdout
    return {w for w in out.split() if is_word(w)}


def write(folder, name, lines):
    lines = sorted(lines, key=lambda s: s.encode("utf-8"))
    with open(os.path.join(folder, name), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def main(folder):
    with open(HUNSPELL, encoding="utf-8") as f:
        stems = {line.split("/")[0].strip() for line in f.readlines()[1:]}
    hindi = {w for w in stems if is_word(w)} | aspell("hi")
    marathi = aspell("mr")
    members = {w for w in hindi if 2 <= letters(w) <= MAX_MEMBER_LETTERS}
    write(folder, "newPelmiraHindi.words", ["+" + w for w in members] + ["=" + w for w in hindi - marathi])
    write(folder, "PelmiraMarathi.words", ["=" + w for w in marathi - hindi])


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else HERE)
