#!/usr/bin/env python3
"""Builds english.dat, the English front end's pronunciation dictionary, from
a CMU pronouncing dictionary (ARPAbet, one "word PH ON ES" entry a line).

Output: one record a headword, exactly 130 bytes: the headword padded with
spaces to byte 23, the pronunciation, spaces up to 128 characters, CR LF.
Records are sorted in plain byte order. Every headword is stored in lower case
and with its first letter capitalised, because lookups are case-sensitive.
Alternative pronunciations ("word(2)") are dropped: the first one is kept.

Pronunciation notation: one symbol a phone ("i:", "A:", "O:", "u:", "3:" for
the long vowels, "&" for the vowel of "cat", "V" and "@" for the stressed and
unstressed vowel of "but"/"about", pairs aI aU oI @U eI tS dZ); "'" marks
primary and "," secondary stress, written before the stressed vowel.
The source may carry ARPAbet stress digits; when it does not (the
pocketsphinx copy has none), the stress is placed by spelling and sound
patterns.

Usage: make_english_dat.py SOURCE.dict TARGET.dat
"""
import sys

RECORD_TEXT = 128
PRON_OFFSET = 23
MAX_HEADWORD = 22

CONSONANTS = {
    "P": "p", "B": "b", "T": "t", "D": "d", "K": "k", "G": "g", "M": "m", "N": "n", "L": "l",
    "R": "r", "F": "f", "V": "v", "S": "s", "Z": "z", "HH": "h", "W": "w", "Y": "j",
    "NG": "N", "TH": "T", "DH": "D", "SH": "S", "ZH": "Z", "CH": "tS", "JH": "dZ",
}
VOWELS = {
    "IY": "i:", "IH": "I", "EY": "eI", "EH": "e", "AE": "&", "AA": "A:", "AO": "O:",
    "OW": "@U", "UH": "U", "UW": "u:", "AY": "aI", "AW": "aU", "OY": "oI",
}
# Symbol pairs the reader takes as one phone; a one-character symbol followed
# by a symbol beginning with the pair's second character needs a separator.
PAIRS = {"aI", "aU", "oI", "@U", "tS", "dZ", "eI", "e@", "I@", "U@"}
SEPARATOR = "-"

# Words mostly spoken without stress.
WEAK_WORDS = {
    "a", "an", "the", "of", "to", "and", "or", "but", "as", "at", "for", "from", "than", "that",
    "was", "were", "can", "could", "would", "should", "shall", "his", "her", "them", "us", "some",
    "has", "have", "had", "does", "do", "be", "been", "am", "are", "is", "by", "with", "your", "our",
}
UNSTRESSED_PREFIXES = ("be", "de", "re", "pre")
# com-, con- with the vowel of "but": usually unstressed (complete, control).
WEAK_AH_PREFIXES = ("com", "con")


def is_vowel(phone):
    return phone in VOWELS or phone in ("AH", "ER")


def primary_index(word, phones):
    """Index (into phones) of the vowel that takes the primary stress."""
    vowels = [i for i, p in enumerate(phones) if is_vowel(p)]
    if not vowels:
        return None
    if len(vowels) == 1:
        return None if word in WEAK_WORDS else vowels[0]
    # -tion, -sion and the like: stress just before the ending.
    if word.endswith("ion") and phones[-2:] == ["AH", "N"] and len(phones) >= 3 and phones[-3] in ("SH", "ZH", "CH", "JH"):
        return vowels[-2]
    # -ic, -ics: stress on the syllable before.
    if (word.endswith("ic") and phones[-2:] == ["IH", "K"]) or (word.endswith("ics") and phones[-3:] == ["IH", "K", "S"]):
        return vowels[-2]
    # -ity: stress two syllables back.
    if word.endswith("ity") and len(vowels) >= 3 and phones[-2:] == ["T", "IY"]:
        return vowels[-3]
    # -teen numbers: stress on the ending.
    if word.endswith("teen"):
        return vowels[-1]
    # A leading unstressed a- (about, again) or be-, de-, re-, pre- with a short i.
    if phones[0] == "AH":
        return vowels[1]
    if word.startswith(WEAK_AH_PREFIXES) and phones[vowels[0]] == "AH":
        return vowels[1]
    if word.startswith(UNSTRESSED_PREFIXES) and phones[vowels[0]] == "IH":
        return vowels[1]
    return vowels[0]


def notation(word, arpabet):
    """The dictionary notation of one pronunciation (ARPAbet, with or without stress digits)."""
    phones, marks = [], []
    for token in arpabet:
        digit = token[-1] if token[-1].isdigit() else None
        phones.append(token.rstrip("0123456789"))
        marks.append(digit)
    if any(m is not None for m in marks):
        stress = {i: {"1": "'", "2": ","}.get(m, "") for i, m in enumerate(marks) if m is not None}
    else:
        primary = primary_index(word, phones)
        stress = {primary: "'"} if primary is not None else {}

    out = []
    last_symbol = ""
    for i, phone in enumerate(phones):
        mark = stress.get(i, "")
        if phone == "AH":
            symbol = "V" if mark else "@"
        elif phone == "ER":
            symbol = "3:" if mark else "@"
        elif phone in VOWELS:
            symbol = VOWELS[phone]
        elif phone in CONSONANTS:
            symbol = CONSONANTS[phone]
        else:
            return None  # unknown phone: leave the word to the rules
        if not mark and len(last_symbol) == 1 and last_symbol + symbol[0] in PAIRS:
            out.append(SEPARATOR)
        out.append(mark + symbol)
        last_symbol = symbol
    return "".join(out)


def read_source(path):
    entries = {}
    with open(path, "r", encoding="latin-1") as source:
        for line in source:
            fields = line.split()
            if len(fields) < 2:
                continue
            word = fields[0]
            if "(" in word or len(word) > MAX_HEADWORD or word in entries:
                continue
            pron = notation(word, fields[1:])
            if pron is None or len(pron) > RECORD_TEXT - PRON_OFFSET:
                continue
            entries[word] = pron
    return entries


def records(entries):
    table = {}
    for word, pron in entries.items():
        lower = word.lower()
        for form in (lower, lower[:1].upper() + lower[1:]):
            table.setdefault(form.encode("latin-1"), pron)
    for key in sorted(table):
        line = key.ljust(PRON_OFFSET) + table[key].encode("latin-1")
        yield line.ljust(RECORD_TEXT) + b"\r\n"


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__.split("\n\n")[-1] + "\n")
        return 2
    entries = read_source(argv[1])
    data = b"".join(records(entries))
    with open(argv[2], "wb") as target:
        target.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
