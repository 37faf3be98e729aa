#!/usr/bin/env python3
"""Builds english.dat, the English front end's pronunciation dictionary, from
one or more lexicons, the first source that has a word giving its
pronunciation:
  - Festival's CMU lexicon (festlex-cmu: cmudict-0.4.out, and the entries that
    cmulex.scm adds with lex.add.entry): one s-expression a word,
    ("word" pos (((ph ph) 1) ((ph) 0))), syllables with stress 1 or 0;
  - a CMU pronouncing dictionary (ARPAbet, one "word PH ON ES" entry a line,
    with or without stress digits; pocketsphinx-en-us's copy has none).

Output: one record a headword, exactly 130 bytes: the headword padded with
spaces to byte 23, the pronunciation, spaces up to 128 characters, CR LF.
Records are sorted in plain byte order. Every headword is stored in lower case
and with its first letter capitalised, because lookups are case-sensitive.
Alternative pronunciations ("word(2)") are dropped: the first one is kept.

Pronunciation notation: one symbol a phone ("i:", "A:", "O:", "u:", "3:" for
the long vowels, "&" for the vowel of "cat", "V" and "@" for the stressed and
unstressed vowel of "but"/"about", pairs aI aU oI @U eI tS dZ); "'" marks
primary and "," secondary stress, written before the stressed vowel.
Festival's lexicon marks every stressed syllable alike; the last stressed
syllable before the final one (else the first stressed one) takes the primary
stress, the others the secondary. An ARPAbet source without stress digits
gets its stress placed by spelling and sound patterns.

Usage: make_english_dat.py SOURCE... TARGET.dat
"""
import re
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
# Function words said in their weak form: the ARPAbet source's first
# pronunciation of the word whose vowels are all reduced (AH, ER) is taken
# ("to(3) T AH", "for(2) F ER"). "the" before a vowel is the front end's.
WEAK_FORMS = {"and", "of", "to", "for", "the"}
ALTERNATIVE = re.compile(r"^([a-z']+)\(([0-9]+)\)$")
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
            # Unstressed too, ER keeps its r colour (water, rider, her, were):
            # American English says it as the vowel of "bird", not a plain schwa.
            symbol = "3:"
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


# ("word" pos (((ph ph) 1) ((ph) 0))) in cmudict-0.4.out and in cmulex.scm's
# (lex.add.entry '(...)) lines.
FESTIVAL_ENTRY = re.compile(r'\("([^"]+)" +\S+ +\((.*)\)\)')
FESTIVAL_SYLLABLE = re.compile(r"\(\(([^()]*)\) +([0-9])\)")
TEEN_NUMBER = re.compile(r"(thir|four|fif|six|seven|eigh|nine|ump)teen(th)?s?$")


def festival_arpabet(word, body):
    """ARPAbet tokens with stress digits from Festival's syllable list."""
    syllables = [(phones.split(), int(stress)) for phones, stress in FESTIVAL_SYLLABLE.findall(body)]
    if not syllables:
        return None
    stressed = [i for i, (_, s) in enumerate(syllables) if s > 0]
    inner = [i for i in stressed if i < len(syllables) - 1]
    primary = inner[-1] if inner else (stressed[0] if stressed else None)
    # -teen numbers keep the stress on their ending, as fifteen and sixteen
    # have it in the lexicon (thirteen and nineteen are marked on both
    # syllables); it is what tells "nineteen" from "ninety".
    if TEEN_NUMBER.match(word) and stressed and stressed[-1] == len(syllables) - 1:
        primary = stressed[-1]
    tokens = []
    for i, (phones, s) in enumerate(syllables):
        digit = "0" if s == 0 else ("1" if i == primary else "2")
        for phone in phones:
            name = "AH" if phone == "ax" else phone.upper()
            tokens.append(name + digit if is_vowel(name) else name)
    return tokens


def add_entry(entries, word, tokens):
    if not tokens or "(" in word or len(word) > MAX_HEADWORD or word.lower() in entries:
        return
    pron = notation(word.lower(), tokens)
    if pron is None or len(pron) > RECORD_TEXT - PRON_OFFSET:
        return
    entries[word.lower()] = pron


def read_source(path, entries, weak):
    with open(path, "r", encoding="latin-1") as source:
        for line in source:
            match = FESTIVAL_ENTRY.search(line)
            if match:
                # Festival's lexicon stresses every word of one syllable,
                # "and" and "was" too; the weak words keep their reduced,
                # unstressed form from the ARPAbet source instead.
                if match.group(1).lower() not in WEAK_WORDS:
                    add_entry(entries, match.group(1), festival_arpabet(match.group(1).lower(), match.group(2)))
                continue
            if line.lstrip().startswith((";", "(")):
                continue  # Scheme code and comments of a Festival file
            fields = line.split()
            if len(fields) < 2:
                continue
            base = ALTERNATIVE.match(fields[0].lower())
            word = base.group(1) if base else fields[0].lower()
            if word in WEAK_FORMS and word not in weak and is_weak(fields[1:]):
                weak[word] = notation(word, fields[1:])
            add_entry(entries, fields[0], fields[1:])
    return entries


def is_weak(arpabet):
    """Every vowel is AH or ER, none marked stressed."""
    vowels = [t for t in arpabet if is_vowel(t.rstrip("0123456789"))]
    return bool(vowels) and all(t.rstrip("012") in ("AH", "ER") and t[-1] not in "12" for t in vowels)


def records(entries):
    table = {}
    for lower, pron in entries.items():
        for form in (lower, lower[:1].upper() + lower[1:]):
            table.setdefault(form.encode("latin-1"), pron)
    for key in sorted(table):
        line = key.ljust(PRON_OFFSET) + table[key].encode("latin-1")
        yield line.ljust(RECORD_TEXT) + b"\r\n"


def main(argv):
    if len(argv) < 3:
        sys.stderr.write(__doc__.split("\n\n")[-1] + "\n")
        return 2
    entries, weak = {}, {}
    for path in argv[1:-1]:
        read_source(path, entries, weak)
    entries.update((word, pron) for word, pron in weak.items() if pron)
    data = b"".join(records(entries))
    with open(argv[-1], "wb") as target:
        target.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
