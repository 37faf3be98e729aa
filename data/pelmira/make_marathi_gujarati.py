#!/usr/bin/env python3
"""Writes PelmiraMarathi.xml and PelmiraGujarati.xml.

Both scripts are abugidas of the same shape, so one generator builds both
rule files from per-language tables (characters, number words, exact words,
sentence and clause types). The context rules are the same for both:

* a consonant written with a vowel sign or a halant is said without its
  inherent vowel, the sign then says its own vowel (base-form rules);
* word-final inherent vowel deletion, except after a conjunct (mitra, satya);
* medial deletion: a bare consonant between a vowel-bearing unit and a
  consonant with a vowel sign loses its vowel (kar-to, bas-laa, sam-aj-laa),
  except right after a halant unit (pra-kaar);
* anusvara before a stop is the homorganic nasal, elsewhere a nasalised
  vowel; candrabindu always nasalises; visarga is a breath "h";
* "." and danda are silent vowel-class glyphs so that the last consonant of a
  word written with the full stop attached is still treated as word-final.

Run: python3 data/pelmira/make_marathi_gujarati.py [output folder, default: this folder]
"""
import os
import sys
from xml.sax.saxutils import quoteattr

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
import phones  # noqa: E402
from rulefile import identifier_list, linear_contour  # noqa: E402
import normalisation  # noqa: E402

DUR = phones.WESTERN_MS
# Kinds of sound as these files name them; G is listed with the stops.
KIND = {"NasalVowel": "Vowel nasalised", "Glide": "Semivowel", "Approximant": "Liquid",
        "Trill": "Liquid", "Lateral": "Liquid", "Flap": "Liquid"}
SOUND_TYPE = {p: KIND.get(phones.MANNER[p], phones.MANNER[p]) for p in phones.INDIAN}
SOUND_TYPE["G"] = "Plosive"

# The nasalised vowel an anusvara or candrabindu makes of each vowel; short e
# and o and the open ae and ao take the nearest long one.
NASAL_VOWEL = {oral: nasal for nasal, oral in phones.ORAL.items()}
NASAL_VOWEL.update(e="eeN", o="ooN", ae="eeN", ao="ooN")
# Place of articulation of a stop decides the nasal an anusvara becomes; the
# fricatives and flaps of a place count with its stops here.
HOMORGANIC = dict(phones.HOMORGANIC_NASAL, x="ng", G="ng", R="N", Rh="N", f="m")


DECIMAL_POINT = {"Marathi": "पूर्णांक", "Gujarati": "દશાંશ"}


def units(phones):
    return phones.split() if phones else []


# ---------------------------------------------------------------- scripts
def devanagari():
    vowels = [
        ("अ", "a"), ("आ", "aa"), ("इ", "i"), ("ई", "ii"), ("उ", "u"), ("ऊ", "uu"),
        ("ऋ", "r u"), ("ॠ", "r uu"), ("ऌ", "l u"), ("ॡ", "l uu"), ("ऍ", "ae"), ("ऎ", "e"),
        ("ए", "ee"), ("ऐ", "ai"), ("ऑ", "ao"), ("ऒ", "o"), ("ओ", "oo"), ("औ", "au"),
        ("ॲ", "ae"), ("ऄ", "a"), ("ॳ", "e"), ("ॴ", "ee"), ("ॵ", "au"), ("ॶ", "u"), ("ॷ", "uu"),
        ("ॐ", "oo m"),
    ]
    consonants = [
        ("क", "k"), ("ख", "kh"), ("ग", "g"), ("घ", "gh"), ("ङ", "ng"),
        ("च", "ch"), ("छ", "chh"), ("ज", "j"), ("झ", "jh"), ("ञ", "ny"),
        ("ट", "T"), ("ठ", "Th"), ("ड", "D"), ("ढ", "Dh"), ("ण", "N"),
        ("त", "t"), ("थ", "th"), ("द", "d"), ("ध", "dh"), ("न", "n"), ("ऩ", "nn"),
        ("प", "p"), ("फ", "ph"), ("ब", "b"), ("भ", "bh"), ("म", "m"),
        ("य", "y"), ("र", "r"), ("ऱ", "r"), ("ल", "l"), ("ळ", "L"), ("ऴ", "zh"), ("व", "v"),
        ("श", "sh"), ("ष", "Sh"), ("स", "s"), ("ह", "h"),
        # nukta forms, precomposed and written with the nukta sign
        ("क़", "q"), ("ख़", "x"), ("ग़", "G"), ("ज़", "z"), ("ड़", "R"), ("ढ़", "Rh"),
        ("फ़", "f"), ("य़", "y"),
        ("क\u093c", "q"), ("ख\u093c", "x"), ("ग\u093c", "G"), ("ज\u093c", "z"), ("ड\u093c", "R"),
        ("ढ\u093c", "Rh"), ("फ\u093c", "f"), ("य\u093c", "y"), ("न\u093c", "nn"), ("र\u093c", "r"),
        ("ळ\u093c", "zh"), ("झ\u093c", "z"),
        # Sindhi implosives and the other letters of the block
        ("ॻ", "g"), ("ॼ", "j"), ("ॾ", "D"), ("ॿ", "b"), ("ॹ", "z"), ("ॺ", "y"),
    ]
    matras = [
        ("ा", "aa"), ("ि", "i"), ("ी", "ii"), ("ु", "u"), ("ू", "uu"), ("ृ", "r u"), ("ॄ", "r uu"),
        ("ॢ", "l u"), ("ॣ", "l uu"), ("ॅ", "ae"), ("ॆ", "e"), ("े", "ee"), ("ै", "ai"), ("ॉ", "ao"),
        ("ॊ", "o"), ("ो", "oo"), ("ौ", "au"), ("ऺ", "e"), ("ऻ", "ee"), ("ॎ", "ee"), ("ॏ", "au"),
        ("ॕ", "ae"), ("ॖ", "u"), ("ॗ", "uu"),
    ]
    return dict(
        vowels=vowels, consonants=consonants, matras=matras,
        anusvara="ं", candrabindu=["ँ", "ऀ"], visarga="ः", nukta="\u093c", halant="्",
        silent_marks=["॑", "॒", "॓", "॔"],
        rare_matras=["ॄ", "ॢ", "ॣ", "ॆ", "ॊ", "ऺ", "ऻ", "ॎ", "ॏ", "ॕ", "ॖ", "ॗ"],
        signs=[("ऽ", ""), ("॰", ""), ("ॱ", "")],
        digits=["०", "१", "२", "३", "४", "५", "६", "७", "८", "९"],
        stops=[".", "।", "॥"],
    )


def gujarati():
    vowels = [
        ("અ", "a"), ("આ", "aa"), ("ઇ", "i"), ("ઈ", "ii"), ("ઉ", "u"), ("ઊ", "uu"),
        ("ઋ", "r u"), ("ૠ", "r uu"), ("ઌ", "l u"), ("ૡ", "l uu"), ("ઍ", "ae"), ("એ", "ee"),
        ("ઐ", "ai"), ("ઑ", "ao"), ("ઓ", "oo"), ("ઔ", "au"), ("ૐ", "oo m"),
    ]
    consonants = [
        ("ક", "k"), ("ખ", "kh"), ("ગ", "g"), ("ઘ", "gh"), ("ઙ", "ng"),
        ("ચ", "ch"), ("છ", "chh"), ("જ", "j"), ("ઝ", "jh"), ("ઞ", "ny"),
        ("ટ", "T"), ("ઠ", "Th"), ("ડ", "D"), ("ઢ", "Dh"), ("ણ", "N"),
        ("ત", "t"), ("થ", "th"), ("દ", "d"), ("ધ", "dh"), ("ન", "n"),
        ("પ", "p"), ("ફ", "ph"), ("બ", "b"), ("ભ", "bh"), ("મ", "m"),
        ("ય", "y"), ("ર", "r"), ("લ", "l"), ("ળ", "L"), ("વ", "v"),
        ("શ", "sh"), ("ષ", "Sh"), ("સ", "s"), ("હ", "h"), ("ૹ", "z"),
        # nukta forms (Perso-Arabic and English loans)
        ("ક\u0abc", "q"), ("ખ\u0abc", "x"), ("ગ\u0abc", "G"), ("જ\u0abc", "z"), ("ઝ\u0abc", "z"),
        ("ડ\u0abc", "R"), ("ઢ\u0abc", "Rh"), ("ફ\u0abc", "f"),
    ]
    matras = [
        ("ા", "aa"), ("િ", "i"), ("ી", "ii"), ("ુ", "u"), ("ૂ", "uu"), ("ૃ", "r u"), ("ૄ", "r uu"),
        ("ૢ", "l u"), ("ૣ", "l uu"), ("ૅ", "ae"), ("ે", "ee"), ("ૈ", "ai"), ("ૉ", "ao"),
        ("ો", "oo"), ("ૌ", "au"),
    ]
    return dict(
        vowels=vowels, consonants=consonants, matras=matras,
        anusvara="ં", candrabindu=["ઁ"], visarga="ઃ", nukta="\u0abc", halant="્",
        rare_matras=["ૄ", "ૢ", "ૣ"],
        silent_marks=["\u0afa", "\u0afb", "\u0afc", "\u0afd", "\u0afe", "\u0aff"],
        signs=[("ઽ", ""), ("૰", ""), ("૱", "r u p i y aa")],
        digits=["૦", "૧", "૨", "૩", "૪", "૫", "૬", "૭", "૮", "૯"],
        stops=[".", "।", "॥"],
    )


# ---------------------------------------------------------------- numbers
MARATHI_NUMBERS = """
0 शून्य|1 एक|2 दोन|3 तीन|4 चार|5 पाच|6 सहा|7 सात|8 आठ|9 नऊ|10 दहा
11 अकरा|12 बारा|13 तेरा|14 चौदा|15 पंधरा|16 सोळा|17 सतरा|18 अठरा|19 एकोणीस|20 वीस
21 एकवीस|22 बावीस|23 तेवीस|24 चोवीस|25 पंचवीस|26 सव्वीस|27 सत्तावीस|28 अठ्ठावीस|29 एकोणतीस|30 तीस
31 एकतीस|32 बत्तीस|33 तेहतीस|34 चौतीस|35 पस्तीस|36 छत्तीस|37 सदतीस|38 अडतीस|39 एकोणचाळीस|40 चाळीस
41 एक्केचाळीस|42 बेचाळीस|43 त्रेचाळीस|44 चव्वेचाळीस|45 पंचेचाळीस|46 सेहेचाळीस|47 सत्तेचाळीस|48 अठ्ठेचाळीस|49 एकोणपन्नास|50 पन्नास
51 एक्कावन्न|52 बावन्न|53 त्रेपन्न|54 चोपन्न|55 पंचावन्न|56 छप्पन्न|57 सत्तावन्न|58 अठ्ठावन्न|59 एकोणसाठ|60 साठ
61 एकसष्ट|62 बासष्ट|63 त्रेसष्ट|64 चौसष्ट|65 पासष्ट|66 सहासष्ट|67 सदुसष्ट|68 अडुसष्ट|69 एकोणसत्तर|70 सत्तर
71 एक्काहत्तर|72 बाहत्तर|73 त्र्याहत्तर|74 चौऱ्याहत्तर|75 पंच्याहत्तर|76 शहात्तर|77 सत्त्याहत्तर|78 अठ्ठ्याहत्तर|79 एकोणऐंशी|80 ऐंशी
81 एक्याऐंशी|82 ब्याऐंशी|83 त्र्याऐंशी|84 चौऱ्याऐंशी|85 पंच्याऐंशी|86 शहाऐंशी|87 सत्त्याऐंशी|88 अठ्ठ्याऐंशी|89 एकोणनव्वद|90 नव्वद
91 एक्क्याण्णव|92 ब्याण्णव|93 त्र्याण्णव|94 चौऱ्याण्णव|95 पंच्याण्णव|96 शहाण्णव|97 सत्त्याण्णव|98 अठ्ठ्याण्णव|99 नव्व्याण्णव
100 शंभर|100+ एकशे|+*100 शे|+*100+ शे
200 दोनशे|300 तीनशे|400 चारशे|500 पाचशे|600 सहाशे|700 सातशे|800 आठशे|900 नऊशे
1000 एक हजार|+*1000 हजार|+*1000+ हजार
100000 एक लाख|+*100000 लाख|+*100000+ लाख
10000000 एक कोटी|+*10000000 कोटी|+*10000000+ कोटी
"""

GUJARATI_NUMBERS = """
0 શૂન્ય|1 એક|2 બે|3 ત્રણ|4 ચાર|5 પાંચ|6 છ|7 સાત|8 આઠ|9 નવ|10 દસ
11 અગિયાર|12 બાર|13 તેર|14 ચૌદ|15 પંદર|16 સોળ|17 સત્તર|18 અઢાર|19 ઓગણીસ|20 વીસ
21 એકવીસ|22 બાવીસ|23 ત્રેવીસ|24 ચોવીસ|25 પચ્ચીસ|26 છવ્વીસ|27 સત્તાવીસ|28 અઠ્ઠાવીસ|29 ઓગણત્રીસ|30 ત્રીસ
31 એકત્રીસ|32 બત્રીસ|33 તેત્રીસ|34 ચોત્રીસ|35 પાંત્રીસ|36 છત્રીસ|37 સાડત્રીસ|38 આડત્રીસ|39 ઓગણચાલીસ|40 ચાલીસ
41 એકતાલીસ|42 બેતાલીસ|43 તેતાલીસ|44 ચુમ્માલીસ|45 પિસ્તાલીસ|46 છેતાલીસ|47 સુડતાલીસ|48 અડતાલીસ|49 ઓગણપચાસ|50 પચાસ
51 એકાવન|52 બાવન|53 ત્રેપન|54 ચોપન|55 પંચાવન|56 છપ્પન|57 સત્તાવન|58 અઠ્ઠાવન|59 ઓગણસાઠ|60 સાઠ
61 એકસઠ|62 બાસઠ|63 ત્રેસઠ|64 ચોસઠ|65 પાંસઠ|66 છાસઠ|67 સડસઠ|68 અડસઠ|69 અગણોસિત્તેર|70 સિત્તેર
71 એકોતેર|72 બોતેર|73 તોતેર|74 ચુમોતેર|75 પંચોતેર|76 છોતેર|77 સિત્યોતેર|78 ઇઠ્યોતેર|79 ઓગણએંસી|80 એંસી
81 એક્યાસી|82 બ્યાસી|83 ત્યાસી|84 ચોર્યાસી|85 પંચ્યાસી|86 છ્યાસી|87 સિત્યાસી|88 ઇઠ્યાસી|89 નેવ્યાસી|90 નેવું
91 એકાણું|92 બાણું|93 ત્રાણું|94 ચોરાણું|95 પંચાણું|96 છન્નું|97 સત્તાણું|98 અઠ્ઠાણું|99 નવ્વાણું
100 સો|100+ એકસો|200 બસો|+*100 સો|+*100+ સો
300 ત્રણસો|400 ચારસો|500 પાંચસો|600 છસો|700 સાતસો|800 આઠસો|900 નવસો
1000 એક હજાર|+*1000 હજાર|+*1000+ હજાર
100000 એક લાખ|+*100000 લાખ|+*100000+ લાખ
10000000 એક કરોડ|+*10000000 કરોડ|+*10000000+ કરોડ
"""


def number_table(text):
    out = []
    for line in text.strip().splitlines():
        for item in line.split("|"):
            key, words = item.strip().split(" ", 1)
            out.append((key, words))
    return out


# ---------------------------------------------------------------- exact words
# Words whose medial vowel the context rules cannot place: reduplicated
# CaCCaC words (the second consonant loses its vowel, which only a view of
# the fourth consonant would show) and a few fixed forms.
MARATHI_EXACT = """
गडबड g a D b a D
बडबड b a D b a D
धडपड dh a D p a D
खटपट kh a T p a T
कटकट k a T k a T
फडफड ph a D ph a D
चमचम ch a m ch a m
वटवट v a T v a T
अडचण a D ch a N
लवकर l a v k a r
पटकन p a T k a n
चटकन ch a T k a n
झटपट jh a T p a T
हळहळ h a L h a L
कसरत k a s r a t
हरकत h a r k a t
करमणूक k a r m a N uu k
गणपती g a N p a t ii
कंपनी k a m p a n ii
भारतीय bh aa r a t ii y
"""

GUJARATI_EXACT = """
ગડબડ g a D b a D
ખટપટ kh a T p a T
બડબડ b a D b a D
ધડપડ dh a D p a D
કચકચ k a ch k a ch
અડચણ a D ch a N
ઝટપટ jh a T p a T
ભારતીય bh aa r a t ii y
આંગણું aa ng g a N uN
બૅન્ક b ae n k
કંપની k a m p a n ii
"""


def exact_table(text):
    out = []
    for line in text.strip().splitlines():
        word, phones = line.split(" ", 1)
        out.append((word, phones))
    return out


# ---------------------------------------------------------------- sentences
# The end of every contour lines up with the end of its clause, so the last
# frames carry the final fall or rise.
DECLARATIVE = linear_contour([(0, 205), (440, 170), (478, 162), (499, 130)])
QUESTION = linear_contour([(0, 200), (450, 175), (470, 180), (499, 245)])
EXCLAMATION = linear_contour([(0, 235), (420, 200), (470, 215), (499, 150)])
CONTINUATION = linear_contour([(0, 200), (455, 175), (480, 172), (499, 195)])
CONJUNCTION = linear_contour([(0, 200), (460, 176), (499, 188)])


def sentence_types(conjunctions):
    def clause(name, pause, desc, identifiers, pattern):
        return (f'<Clause name="{name}" pause="{pause}"><Description>{desc}</Description>'
                f"{identifier_list(identifiers)}<PitchPattern>{pattern}</PitchPattern></Clause>")

    clauses = (clause("Comma", 150, "Pause at a comma", [(",", 3)], CONTINUATION) +
               clause("Semicolon", 220, "Pause at a semicolon", [(";", 4)], CONTINUATION) +
               clause("Conjunction", 60, "Clause joined by a conjunction",
                      [(c, 10 + i) for i, c in enumerate(conjunctions)], CONJUNCTION))

    def sentence(name, pause, desc, identifiers, pattern):
        return (f'<Sentence name="{name}" pause="{pause}"><Description>{desc}</Description>'
                f"{identifier_list(identifiers)}<PitchPattern>{pattern}</PitchPattern>"
                f"<ClauseTypes>{clauses}</ClauseTypes></Sentence>\n")

    return sentence, clause


# ---------------------------------------------------------------- writer
class Writer:
    def __init__(self):
        self.parts = []

    def add(self, s):
        self.parts.append(s)

    def text(self):
        return "".join(self.parts)


def char_xml(glyph, phones, element="Character"):
    ph = units(phones)
    return (f"<{element} glyph={quoteattr(glyph)} isCombined=\"false\" phonem={quoteattr(' '.join(ph))} "
            f"duration=\"{' '.join(str(DUR[p]) for p in ph)}\"/>\n")


def rule_xml(match, rank, phones):
    ph = units(phones)
    inner = "".join(f'<Phonem phoneString="{p}" Duration="{DUR[p]}"/>' for p in ph)
    return f'<Rule match={quoteattr(match)} rank="{rank}"><PhonemList>{inner}</PhonemList></Rule>\n'


def build(lang):
    s = lang["script"]
    w = Writer()
    w.add('<?xml version="1.0" encoding="UTF-8"?>\n')
    w.add(f"<!-- {lang['name']} language rules. Generated by make_marathi_gujarati.py; edit that script. -->\n")
    w.add("<Rule_Base>\n")
    w.add("<File_Information><Title>" + lang["name"] + " rules</Title><Author>vorsan</Author>"
          "<LastModifiedBy>vorsan</LastModifiedBy><Version>1.0</Version>"
          f"<Description>{lang['name']} letter-to-sound rules, number words and sentence types</Description>"
          "<Comment>Phones of the common Indian phone set</Comment><CreatedOn>2024-01-01</CreatedOn>"
          "<LastModified>2024-01-01</LastModified></File_Information>\n")
    w.add(f"<Language><LanguageName>{lang['name']}</LanguageName><Dialect>{lang['dialect']}</Dialect>"
          f"<LanguageCode>{lang['code']}</LanguageCode><CountryCode>IN</CountryCode>"
          f"<MbrolaDatabase>{lang['db']}</MbrolaDatabase><UnicodeStart>{lang['start']}</UnicodeStart>"
          f"<UnicodeEnd>{lang['end']}</UnicodeEnd><HalantBased>true</HalantBased>"
          f"<SampleText>{SAMPLES[lang['name']]}</SampleText></Language>\n")

    used = set()
    consonants = s["consonants"]
    matras = s["matras"]

    # ------------------------------------------------ character table
    w.add("<CharacterData>\n<Vowel>\n")
    for g, p in s["vowels"]:
        w.add(char_xml(g, p))
        used.update(units(p))
    for g in s["stops"]:
        # Full stop and danda: silent, classed as vowels so that the consonant
        # before them still sees a neighbour it can be matched against.
        w.add(char_xml(g, ""))
    w.add("</Vowel>\n<Consonent>\n")
    for g, p in consonants:
        w.add(char_xml(g, p + " a"))
        used.update(units(p))
    w.add("</Consonent>\n<Matra>\n")
    # Vowel signs, then each vowel sign (and the inherent vowel) with
    # anusvara, candrabindu and visarga as one dependent part.
    dependent_vowel = {}
    for g, p in matras:
        w.add(char_xml(g, p))
        dependent_vowel[g] = p
    nasal_marks = [s["anusvara"]] + s["candrabindu"]
    combos = []
    for base, vowel in [("", "a")] + matras:
        v = units(vowel)
        nasal = " ".join(v[:-1] + [NASAL_VOWEL[v[-1]]])
        for mark in nasal_marks:
            combos.append((base + mark, nasal))
        combos.append((base + s["visarga"], vowel + " h"))
    for g, p in combos:
        w.add(char_xml(g, p))
        dependent_vowel[g] = p
        used.update(units(p))
    w.add(char_xml(s["nukta"], ""))
    for g in s["silent_marks"]:
        w.add(char_xml(g, ""))
    w.add("</Matra>\n")
    w.add(f"<Halant>{char_xml(s['halant'], '', 'Halant').strip()}</Halant>\n<Sign>\n")
    for g, p in s["signs"]:
        w.add(char_xml(g, p))
    w.add("</Sign>\n<Digit>\n")
    for d in s["digits"]:
        w.add(char_xml(d, ""))
    w.add("</Digit>\n</CharacterData>\n")

    w.add("<DigitMap>")
    for i, d in enumerate(s["digits"]):
        w.add(f'<map englishDigit="{i}" langaugeDigit="{d}"/>')
    w.add("</DigitMap>\n<DigitData>\n")
    for key, words in lang["numbers"]:
        w.add(f'<Digit value="{key}" words={quoteattr(words)}/>\n')
    # The decimal point between digits (3.5 = three point five).
    w.add(f'<Digit value="." words={quoteattr(DECIMAL_POINT[lang["name"]])}/>\n')
    for key, words in normalisation.entries(lang["name"]):  # money, dates, times, ordinals, units
        w.add(f'<Digit value={quoteattr(key)} words={quoteattr(words)}/>\n')
    w.add("</DigitData>\n<ExactMatch>\n")
    for word, phones in lang["exact"]:
        w.add(rule_xml(word, "", phones))
    w.add("</ExactMatch>\n")

    # ------------------------------------------------ context rules
    # Dependent forms after which a consonant is followed by a vowel: the
    # vowel signs in everyday use, alone and with anusvara or candrabindu.
    common = [g for g, _ in matras if g not in s["rare_matras"]]
    vowel_deps = common + [m + n for m in [""] + common for n in nasal_marks[:2]]
    rules = {}  # glyph -> type -> priority -> list of (match, rank, phones)

    def add_rule(glyph, ctype, prio, match, rank, phones):
        rules.setdefault(glyph, {"type": ctype, "p": {}})["p"].setdefault(prio, []).append((match, rank, phones))

    for c, p in consonants:
        # With a vowel sign or halant: the bare consonant; the sign follows.
        add_rule(c, "C", 1, f"A{c}MA", 1, p)
        # Bare consonant at the end of a word loses its vowel ...
        add_rule(c, "C", 1, f"A{c}E", 1, p)
        # ... but a one-letter word keeps it.
        add_rule(c, "C", 1, f"S{c}E", 3, p + " a")
        # ... and so does one closing a conjunct (mitra, satya).
        add_rule(c, "C", 2, f"C{s['halant']}{c}E", 5, p + " a")
        for stop in s["stops"]:
            add_rule(c, "C", 2, f"A{c}{stop}", 4, p)
            add_rule(c, "C", 2, f"S{c}{stop}", 5, p + " a")
        add_rule(c, "C", 2, f"C{s['halant']}{c}V", 7, p + " a")
        # Medial deletion between a vowel-bearing unit and a consonant with a vowel.
        # At the start of a word the vowel stays (ka-laa).
        for d in vowel_deps:
            add_rule(c, "C", 2, f"A{c}C{d}", 2, p)
            add_rule(c, "C", 2, f"S{c}C{d}", 3, p + " a")
        for keep in lang.get("keep_before", []):
            # The spelling marks deletion before these with a halant, so
            # a bare consonant there keeps its vowel (ru-pa-yaa).
            add_rule(c, "C", 2, f"A{c}{keep}M", 4, p + " a")
        # Not right after a conjunct: pra-kaar.
        add_rule(c, "C", 2, f"C{s['halant']}{c}K", 6, p + " a")

    for g, p in s["vowels"]:
        # A vowel letter with a dependent sign: the vowel, then the sign.
        add_rule(g, "V", 1, f"A{g}MA", 1, p)

    # Anusvara before a stop: the homorganic nasal after the vowel.
    stops = [(c, HOMORGANIC[p]) for c, p in consonants if p in HOMORGANIC]
    anusvara_deps = [(s["anusvara"], "a")] + [(g + s["anusvara"], v) for g, v in matras]
    for dep, vowel in anusvara_deps:
        for c, nasal in stops:
            add_rule(dep, "M", 2, f"AC{dep}{c}", 1, f"{vowel} {nasal}")
            add_rule(dep, "M", 2, f"AC{dep}{c}M", 1, f"{vowel} {nasal}")
    # A vowel letter with anusvara or candrabindu is one unit: the nasalised
    # vowel, or before a stop the vowel and the homorganic nasal.
    for g, p in s["vowels"]:
        v = units(p)
        if not v or v[-1] not in NASAL_VOWEL:
            continue
        nasal_vowel = " ".join(v[:-1] + [NASAL_VOWEL[v[-1]]])
        for mark in nasal_marks:
            unit = g + mark
            add_rule(unit, "V", 1, f"A{unit}A", 1, nasal_vowel)
            add_rule(unit, "V", 1, f"A{unit}E", 2, nasal_vowel)
            add_rule(unit, "V", 1, f"S{unit}E", 3, nasal_vowel)
        for c, nasal in stops:
            unit = g + s["anusvara"]
            add_rule(unit, "V", 2, f"A{unit}{c}", 1, f"{p} {nasal}")
            add_rule(unit, "V", 2, f"A{unit}{c}M", 1, f"{p} {nasal}")
    # Visarga after a vowel letter: a breath.
    add_rule(s["visarga"], "M", 1, f"AV{s['visarga']}A", 1, "h")
    add_rule(s["visarga"], "M", 1, f"AV{s['visarga']}E", 2, "h")
    for key, rule_list in lang.get("extra_rules", {}).items():
        for prio, match, rank, phones in rule_list:
            add_rule(key, "C", prio, match, rank, phones)

    w.add("<Available_Characters>\n")
    for glyph, entry in rules.items():
        w.add(f'<Character glyph={quoteattr(glyph)} type="{entry["type"]}">\n')
        for prio in sorted(entry["p"]):
            w.add(f'<Priority no="{prio}">\n')
            seen = set()
            for match, rank, phones in entry["p"][prio]:
                if match in seen:
                    continue
                seen.add(match)
                w.add(rule_xml(match, rank, phones))
                used.update(units(phones))
            w.add("</Priority>\n")
        w.add("</Character>\n")
    w.add("</Available_Characters>\n")

    # ------------------------------------------------ sentence types
    sentence, _ = sentence_types(lang["conjunctions"])
    w.add("<SentenceTypes>\n")
    w.add(sentence("Declarative", 400, "Statement", [(t, 2 + i) for i, t in enumerate(lang["full_stops"])],
                   DECLARATIVE))
    w.add(sentence("Interrogative", 450, "Question", [("?", 5)], QUESTION))
    w.add(sentence("Exclamatory", 450, "Exclamation", [("!", 6)], EXCLAMATION))
    w.add("</SentenceTypes>\n")

    # ------------------------------------------------ sound inventory
    sound = "<SoundData>\n"
    for p in sorted(used | {p for _, p in consonants for p in units(p)}):
        sound += f'<Sound phonem="{p}" type="{SOUND_TYPE[p]}" usage="{lang["name"]}"/>\n'
    sound += '<Sound phonem="_" type="Silence" usage="pause"/>\n</SoundData>\n'
    w.add("</Rule_Base>\n")
    text = w.text()
    marker = "<CharacterData>"
    return text.replace(marker, sound + marker, 1)


# A sentence to try each language's voice with (the manager's preview).
SAMPLES = {
    "Marathi": "नमस्कार, आज हवामान खूप छान आहे.",
    "Gujarati": "નમસ્તે, આજે હવામાન ખૂબ સરસ છે.",
}

LANGUAGES = [
    dict(file="PelmiraMarathi.xml", name="Marathi", dialect="Standard", code="mr", db="mr1",
         start="0900", end="097F", script=devanagari(), numbers=number_table(MARATHI_NUMBERS),
         exact=exact_table(MARATHI_EXACT), full_stops=[".", "।", "॥"],
         keep_before=["य"],
         extra_rules={"ज्": [(2, "Aज्ञ", 1, "d"), (2, "Aज्ञM", 1, "d")]},
         conjunctions=[" आणि ", " पण ", " की ", " किंवा ", " म्हणून ", " परंतु ", " तर ", " कारण "]),
    dict(file="PelmiraGujarati.xml", name="Gujarati", dialect="Standard", code="gu", db="in1",
         start="0A80", end="0AFF", script=gujarati(), numbers=number_table(GUJARATI_NUMBERS),
         exact=exact_table(GUJARATI_EXACT), full_stops=[".", "।"],
         extra_rules={"જ્": [(2, "Aજ્ઞ", 1, "g"), (2, "Aજ્ઞM", 1, "g")]},
         conjunctions=[" અને ", " પણ ", " કે ", " અથવા ", " એટલે ", " પરંતુ ", " તો ", " કારણ "]),
]


def main(folder):
    for lang in LANGUAGES:
        with open(os.path.join(folder, lang["file"]), "w", encoding="utf-8") as f:
            f.write(build(lang))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else HERE)
