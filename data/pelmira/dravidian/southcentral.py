"""Telugu and Kannada: the two scripts share one layout (offsets from the
block start), the inherent vowel is always spoken, and the anusvara is said
as the nasal of the following consonant's place."""

from common import (RuleSet, character_data, digit_part, exact_matches, language_file, numbers_below_twenty,
                    phones, sentence_types, sound_data)

VOWELS = {0x05: "a", 0x06: "aa", 0x07: "i", 0x08: "ii", 0x09: "u", 0x0A: "uu", 0x0B: "r u", 0x0C: "l u",
          0x0E: "e", 0x0F: "ee", 0x10: "ai", 0x12: "o", 0x13: "oo", 0x14: "au", 0x60: "r uu", 0x61: "l uu"}

CONSONANTS = {0x15: "k", 0x16: "kh", 0x17: "g", 0x18: "gh", 0x19: "ng",
              0x1A: "ch", 0x1B: "chh", 0x1C: "j", 0x1D: "jh", 0x1E: "ny",
              0x1F: "T", 0x20: "Th", 0x21: "D", 0x22: "Dh", 0x23: "N",
              0x24: "t", 0x25: "th", 0x26: "d", 0x27: "dh", 0x28: "n",
              0x2A: "p", 0x2B: "ph", 0x2C: "b", 0x2D: "bh", 0x2E: "m",
              0x2F: "y", 0x30: "r", 0x31: "rr", 0x32: "l", 0x33: "L", 0x35: "v",
              0x36: "sh", 0x37: "Sh", 0x38: "s", 0x39: "h"}

# Nasal said for an anusvara before a stop or nasal of each place; before any
# other consonant (the labials among them) and at the end of a word it is m.
PLACE_NASAL = {o: nasal for o, p in CONSONANTS.items() for nasal, stops in phones.PLACES
               if nasal != "m" and (p == nasal or p in stops.split())}

VOWEL_SIGNS = {0x3E: "aa", 0x3F: "i", 0x40: "ii", 0x41: "u", 0x42: "uu", 0x43: "r u", 0x44: "r uu",
               0x46: "e", 0x47: "ee", 0x48: "ai", 0x4A: "o", 0x4B: "oo", 0x4C: "au", 0x62: "l u", 0x63: "l uu"}

NUKTA_FORMS = {0x15: "q", 0x16: "x", 0x17: "G", 0x1C: "z", 0x2B: "f"}

ANUSVARA, VISARGA, CANDRABINDU, NUKTA, AVAGRAHA, VIRAMA = 0x02, 0x03, 0x01, 0x3C, 0x3D, 0x4D
LENGTH_MARK, AI_LENGTH_MARK = 0x55, 0x56


def build(name, code, base, extra_consonants, extra_vowel_signs, nasal_marks, silent_marks, extra_signs,
          decomposed, numbers, exact, conjunctions, initial_glide):
    ch = lambda o: chr(base + o)
    consonants = {ch(o): p for o, p in CONSONANTS.items()}
    consonants.update({chr(c): p for c, p in extra_consonants.items()})
    nukta = {ch(o) + ch(NUKTA): p for o, p in NUKTA_FORMS.items()}
    vowels = {ch(o): p for o, p in VOWELS.items()}
    signs_of_vowels = {ch(o): p for o, p in VOWEL_SIGNS.items()}
    signs_of_vowels.update({chr(c): p for c, p in extra_vowel_signs.items()})
    halant = ch(VIRAMA)

    matras = list(signs_of_vowels.items())
    matras += [(ch(ANUSVARA), "m")] + [(chr(c), "m") for c in nasal_marks]
    matras += [(ch(CANDRABINDU), ""), (ch(NUKTA), ""), (ch(LENGTH_MARK), ""), (ch(AI_LENGTH_MARK), "")]
    matras += [(chr(c), "") for c in silent_marks]
    matras += [("".join(chr(c) for c in seq), p) for seq, p in decomposed]

    signs = [(ch(VISARGA), "h"), (ch(AVAGRAHA), "")] + [(chr(c), p) for c, p in extra_signs]
    digits = [ch(0x66 + i) for i in range(10)]

    rules = RuleSet()
    # A consonant written with a vowel sign or a halant: the consonant alone;
    # the dependent part is said by its own rules or default phones.
    for glyph, p in list(consonants.items()) + list(nukta.items()):
        rules.add(glyph, "C", 1, "A" + glyph + "MA", p)
    for glyph, p in vowels.items():
        rules.add(glyph, "V", 1, "A" + glyph + "MA", p)
    if initial_glide:
        # Word-initial e and ee are said with a y glide.
        for o in (0x0E, 0x0F):
            g = ch(o)
            rules.add(g, "V", 1, "S" + g + "A", "y " + VOWELS[o])
            rules.add(g, "V", 1, "S" + g + "MA", "y " + VOWELS[o])

    # Anusvara: after a bare consonant it carries the inherent vowel, after a
    # vowel letter nothing, after a vowel sign that sign's vowel; then the
    # nasal of the next consonant's place, m elsewhere.
    for mark in [ch(ANUSVARA)] + [chr(c) for c in nasal_marks]:
        rests = [("C", mark, "a"), ("V", mark, "")]
        if mark == ch(ANUSVARA):
            rests += [("C", s + mark, p) for s, p in signs_of_vowels.items()]
        for cls, rest, vowel in rests:
            rules.add(rest, "M", 1, "A" + cls + rest + "A", vowel + " m")
            if mark != ch(ANUSVARA):
                continue
            for o, nasal in PLACE_NASAL.items():
                y = ch(o)
                rules.add(rest, "M", 2, "A" + cls + rest + y, vowel + " " + nasal)
                rules.add(rest, "M", 2, "A" + cls + rest + y + "M", vowel + " " + nasal)
    # Marks that add no sound still leave the inherent vowel of a bare consonant.
    for mark in [ch(CANDRABINDU), ch(NUKTA), ch(LENGTH_MARK), ch(AI_LENGTH_MARK)] + [chr(c) for c in silent_marks]:
        rules.add(mark, "M", 1, "AC" + mark + "A", "a")
        rules.add(mark, "M", 1, "AV" + mark + "A", "")

    cons_list = list(consonants.items()) + [(g, p) for g, p in nukta.items()]
    parts = [
        sound_data(),
        character_data(
            vowels=[(g, p) for g, p in vowels.items()],
            consonants=[(g, p + " a") for g, p in cons_list],
            matras=matras, halant=halant, signs=signs, digits=digits),
        digit_part(digits, numbers, {"Telugu": "పాయింట్", "Kannada": "ಪಾಯಿಂಟ್"}[name], name),
        exact_matches(exact),
        rules.xml(),
        sentence_types(conjunctions),
    ]
    return language_file(name + " rules", name, code, base, base + 0x7F, parts)


# ---------------------------------------------------------------- Telugu

TE_UNITS = ["సున్నా", "ఒకటి", "రెండు", "మూడు", "నాలుగు", "ఐదు", "ఆరు", "ఏడు", "ఎనిమిది", "తొమ్మిది"]
TE_TEENS = ["పది", "పదకొండు", "పన్నెండు", "పదమూడు", "పద్నాలుగు", "పదిహేను", "పదహారు", "పదిహేడు",
            "పద్దెనిమిది", "పందొమ్మిది"]
TE_TENS = {2: "ఇరవై", 3: "ముప్పై", 4: "నలభై", 5: "యాభై", 6: "అరవై", 7: "డెబ్బై", 8: "ఎనభై", 9: "తొంభై"}


def telugu_numbers():
    w = numbers_below_twenty(TE_UNITS, TE_TEENS)
    for tens, t in TE_TENS.items():
        w[str(10 * tens)] = t
        for u in range(1, 10):
            w[str(10 * tens + u)] = t + " " + TE_UNITS[u]
    w.update({
        "100": "వంద", "100+": "నూట", "+*100": "వందలు", "+*100+": "వందల",
        "1000": "వెయ్యి", "1000+": "వెయ్యి", "+*1000": "వేలు", "+*1000+": "వేల",
        "100000": "లక్ష", "100000+": "లక్షా", "+*100000": "లక్షలు", "+*100000+": "లక్షల",
        "10000000": "కోటి", "10000000+": "కోటి", "+*10000000": "కోట్లు", "+*10000000+": "కోట్ల",
    })
    return w


def telugu():
    return build(
        "Telugu", "te", 0x0C00,
        extra_consonants={0x0C34: "zh", 0x0C58: "ch", 0x0C59: "j", 0x0C5A: "rr"},
        extra_vowel_signs={},
        nasal_marks=[0x0C04],
        silent_marks=[0x0C00],
        extra_signs=[(0x0C5D, "n"), (0x0C77, "")] + [(c, "") for c in range(0x0C78, 0x0C80)],
        decomposed=[((0x0C46, 0x0C56), "ai")],
        numbers=telugu_numbers(),
        exact={
            "శ్రీ": "sh r ii",
            "ఏం": "y ee m",
            # English loans: ya-aa written for the vowel of "bank", pha for f.
            "బ్యాంకు": "b ae ng k u",
            "బ్యాగు": "b ae g u",
            "క్యాంపు": "k ae m p u",
            "ఫ్యాను": "f ae n u",
            "ఆఫీసు": "aa f ii s u",
        },
        conjunctions=["మరియు", "కానీ", "లేదా", "అయితే", "కాబట్టి", "ఎందుకంటే"],
        initial_glide=True)


# ---------------------------------------------------------------- Kannada

KN_UNITS = ["ಸೊನ್ನೆ", "ಒಂದು", "ಎರಡು", "ಮೂರು", "ನಾಲ್ಕು", "ಐದು", "ಆರು", "ಏಳು", "ಎಂಟು", "ಒಂಬತ್ತು"]
KN_TEENS = ["ಹತ್ತು", "ಹನ್ನೊಂದು", "ಹನ್ನೆರಡು", "ಹದಿಮೂರು", "ಹದಿನಾಲ್ಕು", "ಹದಿನೈದು", "ಹದಿನಾರು", "ಹದಿನೇಳು",
            "ಹದಿನೆಂಟು", "ಹತ್ತೊಂಬತ್ತು"]
KN_TENS = {2: "ಇಪ್ಪತ್ತು", 3: "ಮೂವತ್ತು", 4: "ನಲವತ್ತು", 5: "ಐವತ್ತು", 6: "ಅರವತ್ತು", 7: "ಎಪ್ಪತ್ತು",
           8: "ಎಂಬತ್ತು", 9: "ತೊಂಬತ್ತು"}
KN_VOWEL_TO_SIGN = {"ಒ": "ೊ", "ಎ": "ೆ", "ಐ": "ೈ", "ಆ": "ಾ", "ಏ": "ೇ", "ಇ": "ಿ", "ಉ": "ು"}
KN_HUNDREDS = {2: "ಇನ್ನೂರು", 3: "ಮುನ್ನೂರು", 4: "ನಾನೂರು", 5: "ಐನೂರು", 6: "ಆರುನೂರು", 7: "ಏಳುನೂರು",
               8: "ಎಂಟುನೂರು", 9: "ಒಂಬೈನೂರು"}


def kannada_numbers():
    w = numbers_below_twenty(KN_UNITS, KN_TEENS)
    for tens, t in KN_TENS.items():
        w[str(10 * tens)] = t
        assert t.endswith("ತ್ತು")
        for u in range(1, 10):
            unit = KN_UNITS[u]
            if unit[0] in KN_VOWEL_TO_SIGN:
                # ಇಪ್ಪತ್ತು + ಒಂದು -> ಇಪ್ಪತ್ತೊಂದು: the vowel joins the last consonant.
                word = t[:-1] + KN_VOWEL_TO_SIGN[unit[0]] + unit[1:]
            else:
                # ಇಪ್ಪತ್ತು + ಮೂರು -> ಇಪ್ಪತ್ಮೂರು
                word = t[:-len("ತ್ತು")] + "ತ್" + unit
            w[str(10 * tens + u)] = word
    w["100"] = "ನೂರು"
    w["100+"] = "ನೂರ"
    for h, t in KN_HUNDREDS.items():
        w[str(100 * h)] = t
        w[str(100 * h) + "+"] = t[:-1]
    w.update({
        "+*100": "ನೂರು", "+*100+": "ನೂರ",
        "1000": "ಸಾವಿರ", "1000+": "ಸಾವಿರದ", "+*1000": "ಸಾವಿರ", "+*1000+": "ಸಾವಿರದ",
        "100000": "ಒಂದು ಲಕ್ಷ", "100000+": "ಒಂದು ಲಕ್ಷದ", "+*100000": "ಲಕ್ಷ", "+*100000+": "ಲಕ್ಷದ",
        "10000000": "ಒಂದು ಕೋಟಿ", "10000000+": "ಒಂದು ಕೋಟಿ", "+*10000000": "ಕೋಟಿ", "+*10000000+": "ಕೋಟಿ",
    })
    return w


def kannada():
    return build(
        "Kannada", "kn", 0x0C80,
        extra_consonants={0x0CDE: "zh"},
        extra_vowel_signs={},
        nasal_marks=[0x0CF3],
        silent_marks=[0x0C81],
        extra_signs=[(0x0C80, ""), (0x0C84, ""), (0x0CDD, "n"), (0x0CF1, "h"), (0x0CF2, "h")],
        decomposed=[((0x0CBF, 0x0CD5), "ii"), ((0x0CC6, 0x0CD5), "ee"), ((0x0CC6, 0x0CD6), "ai"),
                    ((0x0CC6, 0x0CC2), "o"), ((0x0CCA, 0x0CD5), "oo"), ((0x0CC6, 0x0CC2, 0x0CD5), "oo")],
        numbers=kannada_numbers(),
        exact={
            "ಶ್ರೀ": "sh r ii",
            # English loans: ya-aa written for the vowel of "bank", pha for f.
            "ಬ್ಯಾಂಕ್": "b ae ng k",
            "ಬ್ಯಾಂಕು": "b ae ng k u",
            "ಬ್ಯಾಗ್": "b ae g",
            "ಫ್ಯಾನ್": "f ae n",
            "ಆಫೀಸ್": "aa f ii s",
        },
        conjunctions=["ಮತ್ತು", "ಆದರೆ", "ಅಥವಾ", "ಏಕೆಂದರೆ", "ಆದ್ದರಿಂದ", "ಹಾಗೂ"],
        initial_glide=False)
