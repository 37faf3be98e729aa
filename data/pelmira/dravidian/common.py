"""Shared pieces of the Telugu, Kannada and Tamil rule files: their phone
durations and sound kinds (from the shared phone table), XML writing of
characters and rules, number words, sentence and clause types with their
pitch patterns."""

import os
import sys
from xml.sax.saxutils import quoteattr, escape

_PELMIRA = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path[:0] = [_PELMIRA, os.path.dirname(_PELMIRA)]
import phones  # noqa: E402
import normalisation  # noqa: E402
from rulefile import linear_contour  # noqa: E402

# Default duration of every phone in ms; the prosody adds the pitch.
DURATION = phones.DRAVIDIAN_MS

# Kinds of sound as these files name them; G is listed with the stops.
KIND = {"NasalVowel": "Vowel", "Affricate": "Plosive", "Glide": "Liquid", "Approximant": "Liquid",
        "Trill": "Liquid", "Lateral": "Liquid", "Flap": "Liquid"}
SOUND_TYPE = {p: KIND.get(phones.MANNER[p], phones.MANNER[p]) for p in phones.INDIAN}
SOUND_TYPE["G"] = "Plosive"


def split_phones(names):
    return names.split() if isinstance(names, str) else list(names)


def character(glyph, phones, tag="Character"):
    names = split_phones(phones)
    for n in names:
        if n not in DURATION:
            raise ValueError("unknown phone " + n)
    durs = " ".join(str(DURATION[n]) for n in names)
    return "<%s glyph=%s isCombined='false' phonem=%s duration=%s/>" % (
        tag, quoteattr(glyph), quoteattr(" ".join(names)), quoteattr(durs))


def rule(match, rank, phones):
    """One Rule; PhonemList must follow the start tag directly."""
    names = split_phones(phones)
    inner = "".join("<Phonem phoneString=%s Duration='%d'/>" % (quoteattr(n), DURATION[n]) for n in names)
    for n in names:
        if n not in DURATION:
            raise ValueError("unknown phone " + n)
    return "<Rule match=%s rank='%s'><PhonemList>%s</PhonemList></Rule>" % (
        quoteattr(match), "" if rank is None else str(rank), inner)


class RuleSet:
    """Rules by glyph and priority. Every rule of one group gets its own
    rank: a rule added later is more specific and outranks the earlier ones,
    so two matching rules never tie."""

    def __init__(self):
        self.groups = {}  # glyph -> {priority: {match: phones}}
        self.types = {}

    def add(self, glyph, ctype, priority, match, phones):
        self.types.setdefault(glyph, ctype)
        group = self.groups.setdefault(glyph, {}).setdefault(priority, {})
        if match in group:
            del group[match]  # the later definition wins and takes the higher rank
        group[match] = split_phones(phones)

    def xml(self):
        out = ["<Available_Characters>"]
        for glyph in sorted(self.groups):
            out.append("<Character glyph=%s type=%s>" % (quoteattr(glyph), quoteattr(self.types[glyph])))
            for prio in sorted(self.groups[glyph]):
                out.append("<Priority no='%d'>" % prio)
                for rank, (match, phones) in enumerate(self.groups[glyph][prio].items(), start=1):
                    out.append(rule(match, rank, phones))
                out.append("</Priority>")
            out.append("</Character>")
        out.append("</Available_Characters>")
        return "\n".join(out)


def exact_matches(words):
    out = ["<ExactMatch>"]
    for word, phones in words.items():
        out.append(rule(word, None, phones))
    out.append("</ExactMatch>")
    return "\n".join(out)


def sound_data():
    out = ["<SoundData>"]
    for p in phones.INDIAN:
        out.append("<Sound phonem=%s type=%s usage=''/>" % (quoteattr(p), quoteattr(SOUND_TYPE[p])))
    out.append("</SoundData>")
    return "\n".join(out)


def numbers_below_twenty(units, teens):
    """Number words 0 to 19 keyed by their digits, from the words for 0-9 and 10-19."""
    return {str(i): word for i, word in enumerate(units + teens)}


def digit_part(digit_chars, words, point, language):
    """The digit map and number words; `point` is the word for a decimal point
    between digits (3.5 = three point five); then the language's words for
    money, dates, times, ordinals and units."""
    words = dict(words, **{".": point})
    words.update(normalisation.entries(language))
    out = ["<DigitMap>"]
    for i, d in enumerate(digit_chars):
        out.append("<map englishDigit='%d' langaugeDigit=%s/>" % (i, quoteattr(d)))
    out.append("</DigitMap>")
    out.append("<DigitData>")
    for key, text in words.items():
        out.append("<Digit value=%s words=%s/>" % (quoteattr(key), quoteattr(text)))
    out.append("</DigitData>")
    return "\n".join(out)


# ---- pitch patterns: 500 frames of 20 ms; a clause uses the pattern's tail,
# so the shape of the last frames is what every clause ends with.

# Values are for the languages' default pitch ratio of 0.75 (200 here is
# 150 Hz spoken), like the default contour of 200. Long stretches decline
# slowly; the last three seconds carry the shape that short clauses hear: a
# fall for statements, a final rise for questions.
STATEMENT = linear_contour([(0, 200), (350, 190), (482, 165), (499, 130)])
QUESTION = linear_contour([(0, 195), (350, 188), (478, 172), (499, 240)])
EXCLAMATION = linear_contour([(0, 215), (350, 215), (420, 240), (484, 185), (499, 140)])
COMMA = linear_contour([(0, 198), (350, 190), (486, 172), (499, 198)])
SEMICOLON = linear_contour([(0, 198), (350, 190), (485, 170), (499, 150)])
CONJUNCTION = linear_contour([(0, 198), (350, 190), (489, 175), (499, 186)])


def identifiers(items):
    return "<IdentifierList>" + "".join(
        "<Identifier rank='%d'>%s</Identifier>" % (rank, escape(text)) for rank, text in items) + "</IdentifierList>"


def clause_types(conjunctions):
    conj = [(i + 1, " " + c + " ") for i, c in enumerate(conjunctions)]
    return ("<ClauseTypes>"
            "<Clause name='Comma' pause='120'><Description>Clause ending at a comma</Description>"
            + identifiers([(1, ",")]) + "<PitchPattern>" + COMMA + "</PitchPattern></Clause>"
            "<Clause name='Semicolon' pause='200'><Description>Clause ending at a semicolon or colon</Description>"
            + identifiers([(1, ";"), (2, ":")]) + "<PitchPattern>" + SEMICOLON + "</PitchPattern></Clause>"
            "<Clause name='Conjunction' pause='60'><Description>Clause ending with a conjunction</Description>"
            + identifiers(conj) + "<PitchPattern>" + CONJUNCTION + "</PitchPattern></Clause>"
            "</ClauseTypes>")


def sentence_types(conjunctions):
    ct = clause_types(conjunctions)
    return ("<SentenceTypes>\n"
            "<Sentence name='Declarative' pause='350'><Description>Statement: falls at the end</Description>"
            + identifiers([(1, ".")]) + "<PitchPattern>" + STATEMENT + "</PitchPattern>" + ct
            + "</Sentence>\n"
            "<Sentence name='Interrogative' pause='400'><Description>Question: rises at the end</Description>"
            + identifiers([(3, "?")]) + "<PitchPattern>" + QUESTION + "</PitchPattern>" + ct + "</Sentence>\n"
            "<Sentence name='Exclamatory' pause='400'><Description>Exclamation: starts high, falls steeply</Description>"
            + identifiers([(4, "!")]) + "<PitchPattern>" + EXCLAMATION + "</PitchPattern>" + ct + "</Sentence>\n"
            "</SentenceTypes>")


def character_data(vowels, consonants, matras, halant, signs, digits):
    out = ["<CharacterData>", "<Vowel>"]
    out += [character(g, p) for g, p in vowels]
    out += ["</Vowel>", "<Consonent>"]
    out += [character(g, p) for g, p in consonants]
    out += ["</Consonent>", "<Matra>"]
    out += [character(g, p) for g, p in matras]
    out += ["</Matra>", "<Halant>", character(halant, "", tag="Halant"), "</Halant>", "<Sign>"]
    out += [character(g, p) for g, p in signs]
    out += ["</Sign>", "<Digit>"]
    out += [character(g, "") for g in digits]
    out += ["</Digit>", "</CharacterData>"]
    return "\n".join(out)


# A sentence to try each language's voice with (the manager's preview).
SAMPLES = {
    "Telugu": "నమస్కారం, ఈ రోజు వాతావరణం చాలా బాగుంది.",
    "Kannada": "ನಮಸ್ಕಾರ, ಇಂದು ಹವಾಮಾನ ತುಂಬಾ ಚೆನ್ನಾಗಿದೆ.",
    "Tamil": "வணக்கம், இன்று வானிலை மிகவும் நன்றாக உள்ளது.",
}


def language_file(title, name, code, start, end, parts):
    head = ("<?xml version='1.0' encoding='UTF-8'?>\n"
            "<!-- Generated by data/pelmira/dravidian/make.py; edit the generator, not this file. -->\n"
            "<Rule_Base>\n"
            "<File_Information><Title>%s</Title><Author>Vorsan</Author><LastModifiedBy>Vorsan</LastModifiedBy>"
            "<Version>1.0</Version><Description>%s letters, numbers and context rules</Description>"
            "<Comment>Inherent vowel always spoken; anusvara takes the place of the following consonant</Comment>"
            "<CreatedOn>2024-01-01</CreatedOn><LastModified>2024-01-01</LastModified></File_Information>\n"
            "<Language><LanguageName>%s</LanguageName><Dialect>Standard</Dialect><LanguageCode>%s</LanguageCode>"
            "<CountryCode>IN</CountryCode><MbrolaDatabase>tl1</MbrolaDatabase><UnicodeStart>%04X</UnicodeStart>"
            "<UnicodeEnd>%04X</UnicodeEnd><HalantBased>true</HalantBased><SampleText>%s</SampleText></Language>\n") % (
        title, name, name, code, start, end, SAMPLES[name])
    return head + "\n".join(parts) + "\n</Rule_Base>\n"
