"""Tamil: one letter for each stop, whose sound depends on its place in the
word: voiceless at the start and when doubled or after another voiceless
consonant, voiced after a nasal, between vowels and after r, l, y, zh;
ca is s at the start and between vowels. Doubled rra is tr, nnna rra ndr."""

from common import (RuleSet, character_data, digit_part, exact_matches, language_file, numbers_below_twenty,
                    sentence_types, sound_data)

PULLI = "\u0BCD"

VOWELS = {"அ": "a", "ஆ": "aa", "இ": "i", "ஈ": "ii", "உ": "u", "ஊ": "uu", "எ": "e", "ஏ": "ee", "ஐ": "ai",
          "ஒ": "o", "ஓ": "oo", "ஔ": "au", "\u0B92\u0BD7": "au"}

# Consonants that keep one sound everywhere (the consonant without its vowel).
PLAIN = {"ங": "ng", "ஞ": "ny", "ண": "N", "ந": "n", "ன": "nn", "ம": "m", "ய": "y", "ர": "r", "ல": "l",
         "ள": "L", "ழ": "zh", "வ": "v", "ஜ": "j", "ஶ": "sh", "ஷ": "Sh", "ஸ": "s", "ஹ": "h"}

# Stops: (word start, between vowels / after a nasal or sonorant, doubled or after a voiceless consonant)
STOPS = {"க": ("k", "g", "k"), "ச": ("s", "s", "ch"), "ட": ("T", "D", "T"), "த": ("t", "d", "t"),
         "ப": ("p", "b", "p")}

VOICELESS_CODAS = ["க", "ச", "ட", "த", "ப", "ற", "ஸ", "ஷ"]
NASAL_CODAS = ["ங", "ஞ", "ண", "ந", "ம", "ன"]

MATRAS = {"ா": "aa", "ி": "i", "ீ": "ii", "ு": "u", "ூ": "uu", "ெ": "e", "ே": "ee", "ை": "ai",
          "ொ": "o", "ோ": "oo", "ௌ": "au", "\u0BD7": "",
          "\u0BC6\u0BBE": "o", "\u0BC7\u0BBE": "oo", "\u0BC6\u0BD7": "au"}

SIGNS = [("ஃ", "h"), ("\u0B82", "m"), ("ௐ", "oo m"), ("௰", "p a t t u"), ("௱", "n uu r u"),
         ("௲", "aa y i r a m"), ("௳", ""), ("௴", ""), ("௵", ""), ("௶", ""), ("௷", ""), ("௸", ""),
         ("௹", "r uu b aa y"), ("௺", "")]

DIGITS = [chr(0x0BE6 + i) for i in range(10)]


def rules():
    r = RuleSet()
    for g, p in PLAIN.items():
        r.add(g, "C", 1, "A" + g + "MA", p)
    for g, (initial, medial, hard) in STOPS.items():
        # Ranks follow the order: the word-start rules outrank the general ones.
        r.add(g, "C", 1, "A" + g + "A", medial + " a")
        r.add(g, "C", 1, "A" + g + "MA", medial)
        r.add(g, "C", 1, "S" + g + "A", initial + " a")
        r.add(g, "C", 1, "S" + g + "MA", initial)
        # Before another consonant the stop is voiceless.
        r.add(g + PULLI, "K", 1, "A" + g + PULLI + "A", hard)
        for c in VOICELESS_CODAS:
            r.add(g, "C", 2, c + PULLI + g + "A", hard + " a")
            r.add(g, "C", 2, c + PULLI + g + "MA", hard)
    for c in NASAL_CODAS:
        r.add("ச", "C", 2, c + PULLI + "சA", "j a")
        r.add("ச", "C", 2, c + PULLI + "சMA", "j")
    # rra: a trill between vowels; doubled it is tr, after nnna dr.
    r.add("ற", "C", 1, "AறMA", "rr")
    r.add("ற" + PULLI, "K", 1, "Aற" + PULLI + "A", "rr")
    r.add("ற" + PULLI, "K", 2, "Aற" + PULLI + "ற", "t")
    r.add("ற" + PULLI, "K", 2, "Aற" + PULLI + "றM", "t")
    r.add("ற", "C", 2, "ற" + PULLI + "றA", "r a")
    r.add("ற", "C", 2, "ற" + PULLI + "றMA", "r")
    r.add("ற", "C", 2, "ன" + PULLI + "றA", "d r a")
    r.add("ற", "C", 2, "ன" + PULLI + "றMA", "d r")
    for g, p in VOWELS.items():
        r.add(g, "V", 1, "A" + g + "MA", p)
    return r


UNITS = ["பூஜ்ஜியம்", "ஒன்று", "இரண்டு", "மூன்று", "நான்கு", "ஐந்து", "ஆறு", "ஏழு", "எட்டு", "ஒன்பது"]
TEENS = ["பத்து", "பதினொன்று", "பன்னிரண்டு", "பதின்மூன்று", "பதினான்கு", "பதினைந்து", "பதினாறு", "பதினேழு",
         "பதினெட்டு", "பத்தொன்பது"]
TENS = {2: ("இருபது", "இருபத்து"), 3: ("முப்பது", "முப்பத்து"), 4: ("நாற்பது", "நாற்பத்து"),
        5: ("ஐம்பது", "ஐம்பத்து"), 6: ("அறுபது", "அறுபத்து"), 7: ("எழுபது", "எழுபத்து"),
        8: ("எண்பது", "எண்பத்து"), 9: ("தொண்ணூறு", "தொண்ணூற்று")}
VOWEL_TO_SIGN = {"ஒ": "ொ", "இ": "ி", "ஐ": "ை", "ஆ": "ா", "ஏ": "ே", "எ": "ெ"}
HUNDREDS = {1: ("நூறு", "நூற்று"), 2: ("இருநூறு", "இருநூற்று"), 3: ("முந்நூறு", "முந்நூற்று"),
            4: ("நானூறு", "நானூற்று"), 5: ("ஐந்நூறு", "ஐந்நூற்று"), 6: ("அறுநூறு", "அறுநூற்று"),
            7: ("எழுநூறு", "எழுநூற்று"), 8: ("எண்ணூறு", "எண்ணூற்று"), 9: ("தொள்ளாயிரம்", "தொள்ளாயிரத்து")}
THOUSANDS = {1: "ஆயிரம்", 2: "இரண்டாயிரம்", 3: "மூவாயிரம்", 4: "நாலாயிரம்", 5: "ஐயாயிரம்",
             6: "ஆறாயிரம்", 7: "ஏழாயிரம்", 8: "எட்டாயிரம்", 9: "ஒன்பதாயிரம்", 10: "பத்தாயிரம்"}


def numbers():
    w = numbers_below_twenty(UNITS, TEENS)
    for tens, (alone, joining) in TENS.items():
        w[str(10 * tens)] = alone
        for u in range(1, 10):
            unit = UNITS[u]
            if unit[0] in VOWEL_TO_SIGN:
                # இருபத்து + ஒன்று -> இருபத்தொன்று
                w[str(10 * tens + u)] = joining[:-1] + VOWEL_TO_SIGN[unit[0]] + unit[1:]
            else:
                w[str(10 * tens + u)] = joining + " " + unit
    for h, (alone, joining) in HUNDREDS.items():
        w[str(100 * h)] = alone
        w[str(100 * h) + "+"] = joining
    for k, t in THOUSANDS.items():
        w[str(1000 * k)] = t
        w[str(1000 * k) + "+"] = t[:-2] + "த்து"  # ஆயிரம் -> ஆயிரத்து
    w.update({
        "+*100": "நூறு", "+*100+": "நூற்று",
        "+*1000": "ஆயிரம்", "+*1000+": "ஆயிரத்து",
        "100000": "ஒரு லட்சம்", "100000+": "ஒரு லட்சத்து", "+*100000": "லட்சம்", "+*100000+": "லட்சத்து",
        "10000000": "ஒரு கோடி", "10000000+": "ஒரு கோடியே", "+*10000000": "கோடி", "+*10000000+": "கோடியே",
    })
    return w


EXACT = {
    "சென்னை": "ch e nn nn ai",
    "டாக்டர்": "D aa k T a r",
    "பஸ்": "b a s",
    "காபி": "k aa p i",
    "ஸ்ரீ": "s r ii",
    "பேங்க்": "b ae ng k",
    "பேக்": "b ae g",
    "ஆபிஸ்": "aa f i s",
    "ஆபீஸ்": "aa f ii s",
}


def tamil():
    consonants = [(g, p + " a") for g, p in PLAIN.items()]
    consonants += [(g, s[0] + " a") for g, s in STOPS.items()]
    consonants += [("ற", "rr a")]
    parts = [
        sound_data(),
        character_data(vowels=list(VOWELS.items()), consonants=consonants, matras=list(MATRAS.items()),
                       halant=PULLI, signs=SIGNS, digits=DIGITS),
        digit_part(DIGITS, numbers(), "புள்ளி", "Tamil"),
        exact_matches(EXACT),
        rules().xml(),
        sentence_types(["மற்றும்", "ஆனால்", "அல்லது", "ஏனெனில்", "ஆகையால்", "எனவே"]),
    ]
    return language_file("Tamil rules", "Tamil", "ta", 0x0B80, 0x0BFF, parts)
