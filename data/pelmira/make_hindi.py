#!/usr/bin/env python3
"""Writes the Hindi (Devanagari) rule file.

Usage: make_hindi.py data/pelmira/newPelmiraHindi.xml
"""
import math, sys
from xml.sax.saxutils import quoteattr, escape

NUKTA = '\u093C'; HALANT = '\u094D'; ANUSVARA = '\u0902'; CANDRA = '\u0901'; VISARGA = '\u0903'

# glyph, phones, durations, place of articulation for a preceding anusvara
CONS = [
    ('क','k',65,'vel'),('ख','kh',85,'vel'),('ग','g',65,'vel'),('घ','gh',85,'vel'),('ङ','ng',60,None),
    ('च','ch',75,'pal'),('छ','chh',90,'pal'),('ज','j',70,'pal'),('झ','jh',90,'pal'),('ञ','ny',60,None),
    ('ट','T',65,'ret'),('ठ','Th',85,'ret'),('ड','D',65,'ret'),('ढ','Dh',85,'ret'),('ण','N',60,None),
    ('त','t',65,'den'),('थ','th',85,'den'),('द','d',65,'den'),('ध','dh',85,'den'),('न','n',60,None),
    ('ऩ','n',60,None),('प','p',65,'lab'),('फ','ph',85,'lab'),('ब','b',65,'lab'),('भ','bh',85,'lab'),
    ('म','m',60,None),('य','y',55,None),('र','r',50,None),('ऱ','r',50,None),('ल','l',55,None),
    ('ळ','L',55,None),('ऴ','zh',60,None),('व','v',55,None),('श','sh',95,None),('ष','Sh',95,None),
    ('स','s',95,None),('ह','h',60,None),
    # precomposed nukta letters
    ('क़','q',70,'vel'),('ख़','x',95,None),('ग़','G',80,None),('ज़','z',90,None),('ड़','R',45,None),
    ('ढ़','Rh',55,None),('फ़','f',95,None),('य़','y',55,None),
    # letters added for other languages written in Devanagari
    ('ॸ','D',65,'ret'),('ॹ','zh',60,None),('ॺ','y',55,None),('ॻ','g',65,'vel'),('ॼ','j',70,'pal'),
    ('ॾ','D',65,'ret'),('ॿ','b',65,'lab'),
]
NUKTA_SOUND = {'क':('q',70,'vel'),'ख':('x',95,None),'ग':('G',80,None),'ज':('z',90,None),'झ':('z',90,None),
               'ड':('R',45,None),'ढ':('Rh',55,None),'फ':('f',95,None),'य':('y',55,None),'न':('n',60,None),
               'र':('r',50,None),'ळ':('zh',60,None)}
BASE = {g:(p,d,pl) for g,p,d,pl in CONS[:37]}
# consonant + nukta written as two characters
for g,(p,d,pl) in list(BASE.items()):
    if g in 'ऩऱऴ': continue
    q = NUKTA_SOUND.get(g,(p,d,pl))
    CONS.append((g+NUKTA, q[0], q[1], q[2]))

def split_phones(phones):
    """'r i:45 60' style -> (names, durations)"""
    return phones

VOWELS = [
    ('अ','a','60'),('आ','aa','120'),('इ','i','65'),('ई','ii','115'),('उ','u','65'),('ऊ','uu','115'),
    ('ऋ','r i','45 60'),('ॠ','r ii','45 110'),('ऌ','l i','50 60'),('ॡ','l ii','50 110'),
    ('ऍ','ae','110'),('ऎ','e','80'),('ए','ee','115'),('ऐ','ai','125'),('ऑ','ao','115'),('ऒ','o','80'),
    ('ओ','oo','120'),('औ','au','125'),('ऄ','a','60'),('ॲ','ae','110'),('ॳ','ee','115'),('ॴ','ee','120'),
    ('ॵ','au','125'),('ॶ','u','65'),('ॷ','uu','115'),
    # vowels with a nasal sign: nasalised vowels (context rules give homorganic nasals)
    ('अं','aN','80'),('अँ','aN','80'),('आं','aaN','130'),('आँ','aaN','130'),('इं','iN','80'),('इँ','iN','80'),
    ('ईं','iiN','125'),('ईँ','iiN','125'),('उं','uN','80'),('उँ','uN','80'),('ऊं','uuN','125'),('ऊँ','uuN','125'),
    ('एं','eeN','125'),('एँ','eeN','125'),('ऐं','aiN','130'),('ऐँ','aiN','130'),('ओं','ooN','125'),('ओँ','ooN','125'),
    ('औं','auN','130'),('औँ','auN','130'),
]
# Word-edge punctuation that stays inside a word (sentence marks, quotes, brackets) is listed
# as silent vowels so that the consonant before it still sees a neighbour in its patterns.
CLOSING = ['।','॥','.',')','”','’','"',"'"]
OPENING = ['(','“','‘','"',"'"]
PUNCT = []
for p in CLOSING + OPENING:
    if p not in PUNCT: PUNCT.append(p)

MATRAS = [
    ('ा','aa','120'),('ि','i','65'),('ी','ii','110'),('ु','u','65'),('ू','uu','110'),('ृ','r i','45 60'),
    ('ॄ','r ii','45 110'),('ॢ','l i','50 60'),('ॣ','l ii','50 110'),('ॅ','ae','110'),('ॆ','e','80'),
    ('े','ee','110'),('ै','ai','120'),('ॉ','ao','110'),('ॊ','o','80'),('ो','oo','115'),('ौ','au','120'),
    ('ऺ','ee','110'),('ऻ','ee','115'),('ॎ','ee','110'),('ॏ','au','120'),('ॕ','ee','110'),('ॖ','u','65'),('ॗ','uu','110'),
    # signs written after a letter belong to its unit
    (ANUSVARA,'aN','80'),(CANDRA,'aN','80'),('ऀ','aN','80'),(VISARGA,'a h','60 60'),(NUKTA,'',''),
    ('॑','',''),('॒','',''),('॓','',''),('॔','',''),
    # matra + nasal sign: nasalised vowel
    ('ां','aaN','130'),('ाँ','aaN','130'),('िं','iN','75'),('िँ','iN','75'),('ीं','iiN','120'),('ीँ','iiN','120'),
    ('ुं','uN','75'),('ुँ','uN','75'),('ूं','uuN','120'),('ूँ','uuN','120'),('ृं','r iN','45 70'),
    ('ें','eeN','120'),('ेँ','eeN','120'),('ैं','aiN','130'),('ैँ','aiN','130'),('ों','ooN','125'),('ोँ','ooN','125'),
    ('ौं','auN','130'),('ौँ','auN','130'),('ॉं','ao','110'),('ॅं','ae','110'),
    # matra + visarga
    ('ाः','aa h','120 60'),('िः','i h','65 60'),('ीः','ii h','110 60'),('ुः','u h','65 60'),('ूः','uu h','110 60'),
    ('ेः','ee h','110 60'),('ोः','oo h','115 60'),
]
SIGNS = [('ऽ','',''),('ॐ','oo m','150 90'),('॰','',''),('ॱ','','')]
DIGITS = '०१२३४५६७८९'
SCHWA = ('a', 60)
NASAL = {'vel':'ng','pal':'ny','ret':'N','den':'n','lab':'m'}

def attr(s): return quoteattr(s)

def character(glyph, phonem, duration):
    return '<Character glyph=%s isCombined="false" phonem=%s duration=%s/>' % (attr(glyph), attr(phonem), attr(duration))

def rule(match, rank, phones):
    ph = ''.join('<Phonem phoneString=%s Duration="%d"/>' % (attr(n), d) for n, d in phones)
    return '<Rule match=%s rank="%s"><PhonemList>%s</PhonemList></Rule>' % (attr(match), rank, ph)

# ---- number words -------------------------------------------------------------
NUMBERS = '''शून्य एक दो तीन चार पाँच छह सात आठ नौ दस ग्यारह बारह तेरह चौदह पंद्रह सोलह सत्रह अठारह उन्नीस
बीस इक्कीस बाईस तेईस चौबीस पच्चीस छब्बीस सत्ताईस अट्ठाईस उनतीस तीस इकतीस बत्तीस तैंतीस चौंतीस पैंतीस छत्तीस
सैंतीस अड़तीस उनतालीस चालीस इकतालीस बयालीस तैंतालीस चवालीस पैंतालीस छियालीस सैंतालीस अड़तालीस उनचास पचास
इक्यावन बावन तिरपन चौवन पचपन छप्पन सत्तावन अट्ठावन उनसठ साठ इकसठ बासठ तिरसठ चौंसठ पैंसठ छियासठ सड़सठ अड़सठ
उनहत्तर सत्तर इकहत्तर बहत्तर तिहत्तर चौहत्तर पचहत्तर छिहत्तर सतहत्तर अठहत्तर उन्यासी अस्सी इक्यासी बयासी
तिरासी चौरासी पचासी छियासी सत्तासी अट्ठासी नवासी नब्बे इक्यानवे बानवे तिरानवे चौरानवे पचानवे छियानवे सत्तानवे
अट्ठानवे निन्यानवे'''.split()
assert len(NUMBERS) == 100, len(NUMBERS)
PLACES = [('100','सौ'),('1000','हज़ार'),('100000','लाख'),('10000000','करोड़')]

def P(phones):
    """'k:65 a:60' -> [(k,65),(a,60)]"""
    out = []
    for tok in phones.split():
        n, d = tok.rsplit(':', 1); out.append((n, int(d)))
    return out

# Whole words whose sounds the context rules cannot know: morpheme boundaries inside
# (participles in -kar, compounds, number words) and common irregular forms.
EXACT = {
    'दशमलव': 'd:65 a:60 sh:95 m:60 a:60 l:55 a:60 v:55',
    'यह': 'y:55 ee:120 h:60', 'वह': 'v:55 oo:120 h:60', 'कृपया': 'k:65 r:45 i:60 p:65 a:55 y:55 aa:120',
    'बचपन': 'b:65 a:60 ch:75 p:65 a:60 n:60', 'मतलब': 'm:60 a:60 t:65 l:55 a:60 b:65',
    'जानवर': 'j:70 aa:120 n:60 v:55 a:60 r:50', 'कसरत': 'k:65 a:60 s:95 r:50 a:60 t:65',
    'गरदन': 'g:65 a:60 r:50 d:65 a:60 n:60', 'हलचल': 'h:60 a:60 l:55 ch:75 a:60 l:55',
    'दलदल': 'd:65 a:60 l:55 d:65 a:60 l:55', 'मखमल': 'm:60 a:60 kh:85 m:60 a:60 l:55',
    'खटमल': 'kh:85 a:60 T:65 m:60 a:60 l:55', 'आजकल': 'aa:120 j:70 k:65 a:60 l:55',
    'अनपढ़': 'a:60 n:60 p:65 a:60 Rh:55', 'सरकस': 's:95 a:60 r:50 k:65 a:60 s:95',
    'मनमर्ज़ी': 'm:60 a:60 n:60 m:60 a:60 r:50 z:90 ii:110',
    'देखकर': 'd:65 ee:110 kh:85 k:65 a:60 r:50', 'सुनकर': 's:95 u:65 n:60 k:65 a:60 r:50',
    'लिखकर': 'l:55 i:65 kh:85 k:65 a:60 r:50', 'पढ़कर': 'p:65 a:60 Rh:55 k:65 a:60 r:50',
    'रखकर': 'r:50 a:60 kh:85 k:65 a:60 r:50', 'मिलकर': 'm:60 i:65 l:55 k:65 a:60 r:50',
    'समझकर': 's:95 a:60 m:60 a:60 jh:90 k:65 a:60 r:50', 'चलकर': 'ch:75 a:60 l:55 k:65 a:60 r:50',
    'बैठकर': 'b:65 ai:120 Th:85 k:65 a:60 r:50', 'उठकर': 'u:65 Th:85 k:65 a:60 r:50',
    'निकलकर': 'n:60 i:65 k:65 a:60 l:55 k:65 a:60 r:50', 'सोचकर': 's:95 oo:115 ch:75 k:65 a:60 r:50',
    'बोलकर': 'b:65 oo:115 l:55 k:65 a:60 r:50', 'पकड़कर': 'p:65 a:60 k:65 a:60 R:45 k:65 a:60 r:50',
    'तिरपन': 't:65 i:65 r:50 p:65 a:60 n:60', 'पचपन': 'p:65 a:60 ch:75 p:65 a:60 n:60',
    'उनसठ': 'u:65 n:60 s:95 a:60 Th:85', 'इकसठ': 'i:65 k:65 s:95 a:60 Th:85',
    'तिरसठ': 't:65 i:65 r:50 s:95 a:60 Th:85', 'सड़सठ': 's:95 a:60 R:45 s:95 a:60 Th:85',
    'अड़सठ': 'a:60 R:45 s:95 a:60 Th:85', 'उनहत्तर': 'u:65 n:60 h:60 a:60 t:65 t:65 a:60 r:50',
    'इकहत्तर': 'i:65 k:65 h:60 a:60 t:65 t:65 a:60 r:50', 'सतहत्तर': 's:95 a:60 t:65 h:60 a:60 t:65 t:65 a:60 r:50',
    'अठहत्तर': 'a:60 Th:85 h:60 a:60 t:65 t:65 a:60 r:50', 'पचहत्तर': 'p:65 a:60 ch:75 h:60 a:60 t:65 t:65 a:60 r:50',
    'ब्राह्मण': 'b:65 r:50 aa:120 h:60 m:60 a:60 N:60', 'चिह्न': 'ch:75 i:65 h:60 n:60',
    'ज्ञान': 'g:65 y:55 aa:120 n:60',
}
# The same words followed by a sentence mark, as they stand at the end of a sentence.
for w in list(EXACT):
    for mark in ('।', '.'):
        EXACT[w + mark] = EXACT[w]

def pitch_pattern(fn):
    vals = [int(round(fn(k))) for k in range(500)]
    return ' '.join(str(v) for v in vals)

def before_end(k): return (499 - k) * 0.02  # seconds before the end of the clause

def statement(k):
    t = before_end(k)
    v = 124 + 60 * (1 - math.exp(-t / 1.6))
    if t < 0.35: v -= 14 * (1 - t / 0.35)  # final fall
    return v
def question(k):
    t = before_end(k)
    v = 140 + 40 * (1 - math.exp(-t / 2.0))
    if t < 0.45: v = 140 + 80 * (1 - t / 0.45) ** 1.5  # final rise of a yes/no question
    return v
def exclamation(k):
    t = before_end(k)
    v = 128 + 92 * (1 - math.exp(-t / 1.1))
    if t < 0.3: v -= 16 * (1 - t / 0.3)
    return v
def continuation(k):  # clause before a comma: declines, then rises a little
    t = before_end(k)
    v = 150 + 34 * (1 - math.exp(-t / 1.6))
    if t < 0.3: v = 150 + 24 * (1 - t / 0.3)
    return v
def semicolon(k):
    t = before_end(k)
    v = 140 + 42 * (1 - math.exp(-t / 1.6))
    if t < 0.3: v = 140 + 8 * (1 - t / 0.3)
    return v
def conjunction(k):  # clause ending with a conjunction: held level, the sentence goes on
    t = before_end(k)
    return 158 + 26 * (1 - math.exp(-t / 1.8))
def whword(k):  # clause ending on a question word: the word carries the peak
    t = before_end(k)
    v = 152 + 26 * (1 - math.exp(-t / 1.8))
    if t < 0.4: v = 152 + 55 * math.sin(math.pi * min(1, (0.4 - t) / 0.3) / 2)
    return v

CONJ = ['और','लेकिन','कि','क्योंकि','पर','परंतु','किंतु','मगर','या','तो','इसलिए','अथवा','तथा','जबकि','ताकि','यदि','अगर']
WHWORDS = ['क्या','कहाँ','कहां','कौन','क्यों','कैसे','कैसा','कैसी','कब','कितना','कितने','कितनी','किसने','किसको',
           'किसे','किसका','किसकी','किसके','किधर','किस']

def ident_list(items):
    return '<IdentifierList>' + ''.join('<Identifier rank="%d">%s</Identifier>' % (r, escape(t)) for t, r in items) + '</IdentifierList>'

def clause(name, pause, desc, idents, fn):
    return ('<Clause name="%s" pause="%d"><Description>%s</Description>%s<PitchPattern>%s</PitchPattern></Clause>'
            % (name, pause, desc, ident_list(idents), pitch_pattern(fn)))

def clauses(with_wh):
    cs = [clause('Comma', 180, 'Clause ending at a comma: continuation rise', [(',', 1), ('،', 2)], continuation),
          clause('Semicolon', 250, 'Clause ending at a semicolon or colon', [(';', 1), (':', 2)], semicolon),
          clause('Conjunction', 60, 'Clause ending with a conjunction; the sentence goes on',
                 [(' %s ' % c, i + 1) for i, c in enumerate(CONJ)], conjunction)]
    if with_wh:
        cs.append(clause('WhWord', 0, 'Clause ending on a question word, which takes the peak',
                         [(' %s ' % w, i + 1) for i, w in enumerate(WHWORDS)], whword))
    return '<ClauseTypes>' + ''.join(cs) + '</ClauseTypes>'

def sentence(name, pause, desc, idents, fn, with_wh=False):
    return ('<Sentence name="%s" pause="%d"><Description>%s</Description>%s<PitchPattern>%s</PitchPattern>%s</Sentence>'
            % (name, pause, desc, ident_list(idents), pitch_pattern(fn), clauses(with_wh)))

SOUNDS = [
    ('a','Vowel','अ'),('aa','Vowel','आ'),('i','Vowel','इ'),('ii','Vowel','ई'),('u','Vowel','उ'),('uu','Vowel','ऊ'),
    ('e','Vowel','ऎ'),('ee','Vowel','ए'),('ai','Vowel','ऐ'),('o','Vowel','ऒ'),('oo','Vowel','ओ'),('au','Vowel','औ'),
    ('ae','Vowel','ऍ'),('ao','Vowel','ऑ'),
    ('aN','NasalVowel','अँ'),('aaN','NasalVowel','आँ'),('iN','NasalVowel','इँ'),('iiN','NasalVowel','ईं'),
    ('uN','NasalVowel','उँ'),('uuN','NasalVowel','ऊँ'),('eeN','NasalVowel','एँ'),('aiN','NasalVowel','ऐं'),
    ('ooN','NasalVowel','ओं'),('auN','NasalVowel','औं'),
    ('k','Plosive','क'),('kh','Plosive','ख'),('g','Plosive','ग'),('gh','Plosive','घ'),('ng','Nasal','ङ'),
    ('ch','Affricate','च'),('chh','Affricate','छ'),('j','Affricate','ज'),('jh','Affricate','झ'),('ny','Nasal','ञ'),
    ('T','Plosive','ट'),('Th','Plosive','ठ'),('D','Plosive','ड'),('Dh','Plosive','ढ'),('N','Nasal','ण'),
    ('t','Plosive','त'),('th','Plosive','थ'),('d','Plosive','द'),('dh','Plosive','ध'),('n','Nasal','न'),
    ('p','Plosive','प'),('ph','Plosive','फ'),('b','Plosive','ब'),('bh','Plosive','भ'),('m','Nasal','म'),
    ('y','Approximant','य'),('r','Trill','र'),('l','Lateral','ल'),('v','Approximant','व'),
    ('sh','Fricative','श'),('Sh','Fricative','ष'),('s','Fricative','स'),('h','Fricative','ह'),
    ('L','Lateral','ळ'),('R','Flap','ड़'),('Rh','Flap','ढ़'),('q','Plosive','क़'),('x','Fricative','ख़'),
    ('G','Fricative','ग़'),('z','Fricative','ज़'),('f','Fricative','फ़'),('zh','Approximant','ऴ'),
    ('rr','Trill','ఱ'),('nn','Nasal','ன'),('_','Silence','pause'),
]

def main(out):
    L = []
    w = L.append
    w('<?xml version="1.0" encoding="UTF-8"?>')
    w('<!-- Hindi rules for the Devanagari block. Written by a generator: every consonant has the same\n'
      '     family of context rules, so edit the generator rather than this file by hand. -->')
    w('<Rule_Base>')
    w('<File_Information><Title>Hindi</Title><Author>Vorsan language data</Author><LastModifiedBy>Vorsan language data</LastModifiedBy>'
      '<Version>1.0</Version><Description>Hindi (Devanagari) letters, schwa deletion, nasals, conjuncts, nukta sounds, '
      'number words and sentence types</Description><Comment>Phones of the shared Indian phone set; voice in1</Comment>'
      '<CreatedOn>2026-12-06</CreatedOn><LastModified>2026-12-06</LastModified></File_Information>')
    w('<Language><LanguageName>Hindi</LanguageName><Dialect>Standard</Dialect><LanguageCode>hi</LanguageCode>'
      '<CountryCode>IN</CountryCode><MbrolaDatabase>in1</MbrolaDatabase><UnicodeStart>0900</UnicodeStart>'
      '<UnicodeEnd>097F</UnicodeEnd><HalantBased>true</HalantBased></Language>')
    w('<SoundData>' + ''.join('<Sound phonem=%s type="%s" usage=%s/>' % (attr(p), t, attr(u)) for p, t, u in SOUNDS) + '</SoundData>')
    w('<CharacterData>')
    w('<Vowel>' + ''.join(character(g, p, d) for g, p, d in VOWELS) + ''.join(character(p, '', '') for p in PUNCT) + '</Vowel>')
    w('<Consonent>' + ''.join(character(g, p, str(d)) for g, p, d, _ in CONS) + '</Consonent>')
    w('<Matra>' + ''.join(character(g, p, d) for g, p, d in MATRAS) + '</Matra>')
    w('<Halant><Halant glyph="%s" isCombined="false" phonem="" duration=""/></Halant>' % HALANT)
    w('<Sign>' + ''.join(character(g, p, d) for g, p, d in SIGNS) + '</Sign>')
    w('<Digit>' + ''.join(character(d, '', '') for d in DIGITS) + '</Digit>')
    w('</CharacterData>')
    w('<DigitMap>' + ''.join('<map englishDigit="%d" langaugeDigit="%s"/>' % (i, d) for i, d in enumerate(DIGITS)) + '</DigitMap>')
    dd = [(str(i), NUMBERS[i]) for i in range(100)]
    for v, word in PLACES:
        dd.append((v, 'एक ' + word)); dd.append(('+*' + v, word)); dd.append(('+*' + v + '+', word))
    dd.append(('.', 'दशमलव'))  # the decimal point between digits: 3.5 = तीन दशमलव पाँच
    w('<DigitData>' + ''.join('<Digit value="%s" words="%s"/>' % (v, t) for v, t in dd) + '</DigitData>')
    w('<ExactMatch>' + ''.join(rule(k, '', P(v)) for k, v in sorted(EXACT.items())) + '</ExactMatch>')

    w('<Available_Characters>')
    stops = [(g, pl) for g, p, d, pl in CONS if pl]
    for g, p, d, pl in CONS:
        c = [(p, d)]
        ca = c + [SCHWA]
        p1 = [rule('A%sA' % g, 1, ca),   # inherent vowel kept by default
              rule('A%sE' % g, 2, c),    # ... and dropped at the end of a word
              rule('S%sE' % g, 3, ca),   # a word of one letter keeps it
              rule('A%sK' % g, 2, c),    # dropped before a consonant with its own vowel (VC_CV)
              rule('S%sK' % g, 3, ca),   # never in the first syllable
              rule('A%sMA' % g, 1, c)]   # with a matra: the consonant, the matra follows
        p2 = []
        if g != 'ञ':
            p2.append(rule('A%sC%s' % (g, HALANT), 5, ca))   # kept before a cluster
            p2.append(rule('C%s%sK' % (HALANT, g), 6, ca))   # kept after a cluster
            for q in CLOSING:
                p2.append(rule('A%s%s' % (g, q), 8, c))      # a word-final letter before punctuation
                p2.append(rule('S%s%s' % (g, q), 9, ca))
            for o in OPENING:
                p2.append(rule('%s%sK' % (o, g), 9, ca))     # first syllable after an opening mark
            p2.append(rule('A%sयM' % g, 4, ca))              # kept before y + vowel: rupayaa
            if pl:
                # a nasal before a stop makes a cluster: zindagii
                for f in ('C' + ANUSVARA, 'Cिं', 'Cुं', 'अं', 'इं', 'उं'):
                    p2.append(rule('%s%sK' % (f, g), 7, ca))
            if g in ('र', 'य'):
                # clusters ending in r or y keep a final vowel: mitra, vaakya
                p2.append(rule('C%s%sE' % (HALANT, g), 5, ca))
                p2.append(rule('C%s%sV' % (HALANT, g), 9, ca))
        else:
            # ज्ञ is said gy
            y = [('y', 55)]
            p2 += [rule('ज्ञA', 1, y + [SCHWA]), rule('ज्ञE', 2, y + [SCHWA]), rule('ज्ञK', 3, y + [SCHWA]),
                   rule('ज्ञV', 4, y + [SCHWA]), rule('ज्ञMA', 1, y)]
        w('<Character glyph=%s type="C"><Priority no="1">%s</Priority><Priority no="2">%s</Priority></Character>'
          % (attr(g), ''.join(p1), ''.join(p2)))
    # ज followed by ञ: g
    w('<Character glyph="ज्" type="C"><Priority no="2">%s</Priority></Character>'
      % (rule('Aज्ञ', 1, [('g', 65)]) + rule('Aज्ञM', 2, [('g', 65)])))
    # Anusvara after a short vowel before a stop: the nasal of the stop's place.
    def nasal_rules(form, vowel_phones):
        rs = []
        for sg, pl in stops:
            ph = vowel_phones + [(NASAL[pl], 55)]
            rs.append(rule('A%s%s' % (form, sg), 1, ph))
            rs.append(rule('A%s%sM' % (form, sg), 2, ph))
        return ''.join(rs)
    for dep, vph in ((ANUSVARA, [SCHWA]), ('िं', [('i', 65)]), ('ुं', [('u', 65)])):
        w('<Character glyph=%s type="M"><Priority no="2">%s</Priority></Character>' % (attr(dep), nasal_rules('C' + dep, vph)))
    for vg, vph in (('अं', [SCHWA]), ('इं', [('i', 65)]), ('उं', [('u', 65)])):
        w('<Character glyph=%s type="V"><Priority no="2">%s</Priority></Character>' % (attr(vg), nasal_rules(vg, vph)))
    w('</Available_Characters>')

    w('<SentenceTypes>')
    w(sentence('Statement', 400, 'Statement: declination and a final fall', [('।', 1), ('.', 2), ('॥', 3)], statement))
    w(sentence('Question', 450, 'Question: final rise; a question word before the end takes a peak', [('?', 1)], question, True))
    w(sentence('Exclamation', 400, 'Exclamation: high start, steep fall', [('!', 1)], exclamation))
    w('</SentenceTypes>')
    w('</Rule_Base>')
    open(out, 'w', encoding='utf-8').write('\n'.join(L) + '\n')

if __name__ == '__main__':
    main(sys.argv[1])
