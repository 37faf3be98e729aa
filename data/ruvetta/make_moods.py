#!/usr/bin/env python3
# Writes the emotion files of this folder: one per language and voice database,
# each with the six moods below and the sound classes of the database's phones.
# Usage: python3 make_moods.py [output folder, default: this folder]
import os, sys
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from phones import ENGLISH_CLASSES, INDIAN_CLASSES  # noqa: E402
out = sys.argv[1] if len(sys.argv) > 1 else HERE

CLASS_NOTES = {
 "LongVowel": "long vowels, diphthongs and long nasalised vowels",
 "ShortVowel": "short vowels",
 "Liquide": "laterals, trills, flaps and approximants",
 "Nasal": "nasal consonants",
 "SemiVowel": "glides (treated as voiced fricatives)",
 "FricativeVoiced": "voiced fricatives",
 "FricativeVoiceless": "voiceless fricatives",
 "PlosiveVoiced": "voiced stops and affricates",
 "PlosiveVoiceless": "voiceless stops and affricates",
 "Silence": "pause",
}

# How the settings reach the audio: AverageBaseFrequency scales every pitch
# target. Range spreads the targets around the utterance's mean pitch, which
# the pauses and voiceless sounds (mean 0) pull below the voiced targets, so a
# wider range also raises the voice and a narrower one lowers it. Jitter adds
# to even-numbered targets and takes from odd ones: with one target per phone
# (the English front end) it raises the voice slightly. SpeechRate scales
# every duration; the class settings then stretch vowels, nasals or pauses on
# top of it. A falling stressed contour must stay below an octave (gradient x
# syllable length in ms below 12000; gradient in semitones per second).
#
# The eighteen settings, in their fixed order.
# (ABF, Range, Vairability, (PhraseContour, rate), StressedAVRF,
#  (PitchContourStressed, gradient, flag), Jitter, SpeechRate,
#  (Stressed, flag), (NonStressed, flag), Vowels, Liquides, Nasals,
#  FricativeVoiced, FricativeVoiceless, PlosiveVoiced, PlosiveVoiceless, Silence)
def mood(abf, rng, var, phrase, savrf, pcs, jit, rate, st, nst, vow, liq, nas, fv, fvl, pv, pvl, sil):
    return dict(abf=abf, rng=rng, var=var, phrase=phrase, savrf=savrf, pcs=pcs, jit=jit, rate=rate,
                st=st, nst=nst, durs=(vow, liq, nas, fv, fvl, pv, pvl, sil))

MOODS = [
 ("Neutral", "no change: the speech as the language rules shape it",
  mood(100, 100, 100, ("Falling", 0), 100, ("Raising", 0, False), 0, 100,
       (100, False), (100, False), 100, 100, 100, 100, 100, 100, 100, 100)),
 ("Happy", "higher and much wider pitch, smooth rising inflections, a little faster, shorter pauses",
  mood(108, 130, 120, ("Raising", 10), 110, ("Raising", 6, True), 0, 88,
       (105, True), (95, False), 100, 100, 100, 100, 100, 100, 100, 85)),
 ("Sad", "lower, narrower pitch with falling ends, slow, long vowels and pauses",
  mood(88, 60, 80, ("Falling", 10), 100, ("Falling", 4, False), 0, 115,
       (100, False), (105, False), 108, 105, 108, 100, 100, 100, 100, 130)),
 ("Angry", "higher, much wider pitch, abrupt falls on stressed syllables, fast, tense stops",
  mood(118, 150, 130, ("Falling", 15), 120, ("Falling", 16, False), 2, 85,
       (115, False), (85, False), 100, 100, 100, 100, 105, 100, 110, 80)),
 ("Fear", "much higher pitch, wide and irregular, rising, much faster, short pauses",
  mood(125, 120, 140, ("Raising", 10), 100, ("Raising", 10, True), 4, 75,
       (95, False), (90, False), 95, 100, 100, 100, 100, 100, 100, 70)),
 ("Bored", "lower, flat pitch, level stressed syllables, slow, drawn-out vowels and pauses",
  mood(88, 50, 70, ("Falling", 8), 95, ("Flat", 0, False), 0, 112,
       (105, False), (105, False), 108, 100, 100, 100, 100, 100, 100, 120)),
]

def emotion_xml(name, note, m):
    b = lambda f: "true" if f else "false"
    d = m["durs"]
    lines = [f'    <!-- {name}: {note} -->', f'    <Emotion name="{name}">',
     f'      <AverageBaseFrequency rate="{m["abf"]}"/>',
     f'      <Range rate="{m["rng"]}"/>',
     f'      <Vairability rate="{m["var"]}"/>',
     f'      <PhraseContour contour="{m["phrase"][0]}" rate="{m["phrase"][1]}"/>',
     f'      <StressedAVRF rate="{m["savrf"]}"/>',
     f'      <PitchContourStressed contour="{m["pcs"][0]}" gradient="{m["pcs"][1]}" forPhraseAndWordAlso="{b(m["pcs"][2])}"/>',
     f'      <Jitter rate="{m["jit"]}"/>',
     f'      <SpeechRate rate="{m["rate"]}"/>',
     f'      <Stressed rate="{m["st"][0]}" forPhraseAndWordAlso="{b(m["st"][1])}"/>',
     f'      <NonStressed rate="{m["nst"][0]}" forPhraseAndWordAlso="{b(m["nst"][1])}"/>',
     f'      <Vowels rate="{d[0]}"/>',
     f'      <Liquides rate="{d[1]}"/>',
     f'      <Nasals rate="{d[2]}"/>',
     f'      <FricativeVoiced rate="{d[3]}"/>',
     f'      <FricativeVoiceless rate="{d[4]}"/>',
     f'      <PlosiveVoiced rate="{d[5]}"/>',
     f'      <PlosiveVoiceless rate="{d[6]}"/>',
     f'      <Silence rate="{d[7]}"/>',
     '    </Emotion>']
    return "\n".join(lines)

def write(language, db, classes, moods, title_note):
    fn = os.path.join(out, f"{language}_{db}.xml")
    parts = ['<?xml version="1.0" encoding="UTF-8"?>',
      '<!-- Generated by data/ruvetta/make_moods.py; edit the generator, not this file. -->',
      f'<!-- Moods for {language} on the "{db}" voice. Settings follow the emotional-speech',
      '     literature (Murray and Arnott 1993): sadness slower, lower and narrower; anger',
      '     faster, higher, wider, with abrupt stressed contours; fear much faster and higher;',
      '     happiness higher, wider, a bit faster; boredom slower, lower and flatter. -->',
      '<MoodBase>',
      '  <File_Information>',
      f'    <Title>{language} moods ({db})</Title>',
      '    <Author>Vorsan data</Author>',
      '    <LastModifiedBy>Vorsan data</LastModifiedBy>',
      '    <Version>1.0</Version>',
      f'    <Description>Neutral, Happy, Sad, Angry, Fear and Bored for {title_note}</Description>',
      '    <Comment>Pitch settings act on the prosody targets; durations by sound class</Comment>',
      '    <CreatedOn>2024-01-01</CreatedOn>',
      '    <LastModified>2024-01-01</LastModified>',
      '  </File_Information>',
      '  <Language>',
      f'    <LanguageName>{language}</LanguageName>',
      f'    <MbrolaDatabase>{db}</MbrolaDatabase>',
      '  </Language>',
      '  <SoundData>']
    for cls, phones in classes.items():
        parts.append(f'    <!-- {CLASS_NOTES[cls]} -->')
        parts.append(f'    <{cls}>')
        for p in phones.split():
            parts.append(f'      <Sound phonem="{p}"/>')
        parts.append(f'    </{cls}>')
    parts.append('  </SoundData>')
    parts.append('  <EmotionData>')
    for name, note, m in moods:
        parts.append(emotion_xml(name, note, m))
    parts.append('  </EmotionData>')
    parts.append('</MoodBase>')
    with open(fn, "w", encoding="utf-8") as f:
        f.write("\n".join(parts) + "\n")

for lang, db in [("Hindi", "in1"), ("Marathi", "mr1"), ("Gujarati", "in1"), ("Telugu", "tl1"),
                 ("Kannada", "tl1"), ("Tamil", "tl1")]:
    write(lang, db, INDIAN_CLASSES, MOODS, f"the Indian voice {db}")
write("English (United States)", "en1", ENGLISH_CLASSES, MOODS, "the English voice en1")
