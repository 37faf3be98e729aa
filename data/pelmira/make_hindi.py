#!/usr/bin/env python3
"""Writes the Hindi (Devanagari) rule file newPelmiraHindi.xml.

Usage: make_hindi.py [output folder, default: this folder]
"""
import math, os, sys
from xml.sax.saxutils import quoteattr

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
import phones  # noqa: E402
from rulefile import identifier_list  # noqa: E402
import normalisation  # noqa: E402

MS = phones.HINDI_MS
# A vowel sign after a consonant is said a little shorter than the vowel letter.
SIGN_MS = dict(MS, ii=110, uu=110, ee=110, ai=120, ao=110, oo=115, au=120,
               iN=75, iiN=120, uN=75, uuN=120, eeN=120)
HOMORGANIC = phones.HOMORGANIC_NASAL

NUKTA = '\u093C'; HALANT = '\u094D'; ANUSVARA = '\u0902'; CANDRA = '\u0901'; VISARGA = '\u0903'

# Consonant letters and their phones. Each takes its phone's Hindi duration; a
# stop's place decides the nasal a preceding anusvara becomes.
CONS = [
    ('क','k'),('ख','kh'),('ग','g'),('घ','gh'),('ङ','ng'),
    ('च','ch'),('छ','chh'),('ज','j'),('झ','jh'),('ञ','ny'),
    ('ट','T'),('ठ','Th'),('ड','D'),('ढ','Dh'),('ण','N'),
    ('त','t'),('थ','th'),('द','d'),('ध','dh'),('न','n'),
    ('ऩ','n'),('प','p'),('फ','ph'),('ब','b'),('भ','bh'),
    ('म','m'),('य','y'),('र','r'),('ऱ','r'),('ल','l'),
    ('ळ','L'),('ऴ','zh'),('व','v'),('श','sh'),('ष','Sh'),
    ('स','s'),('ह','h'),
    # precomposed nukta letters
    ('क़','q'),('ख़','x'),('ग़','G'),('ज़','z'),('ड़','R'),('ढ़','Rh'),('फ़','f'),('य़','y'),
    # letters added for other languages written in Devanagari
    ('ॸ','D'),('ॹ','zh'),('ॺ','y'),('ॻ','g'),('ॼ','j'),('ॾ','D'),('ॿ','b'),
]
NUKTA_SOUND = {'क':'q','ख':'x','ग':'G','ज':'z','झ':'z','ड':'R','ढ':'Rh','फ':'f','य':'y','न':'n',
               'र':'r','ळ':'zh'}
# consonant + nukta written as two characters
for g, p in CONS[:37]:
    if g in 'ऩऱऴ': continue
    CONS.append((g + NUKTA, NUKTA_SOUND.get(g, p)))

# Vowel letters, vowel signs and other signs: their phones, each taking the letter's
# (or the sign's) duration of that phone unless a duration follows it ("r:45").
VOWELS = [
    ('अ','a'),('आ','aa'),('इ','i'),('ई','ii'),('उ','u'),('ऊ','uu'),
    ('ऋ','r:45 i:60'),('ॠ','r:45 ii:110'),('ऌ','l:50 i:60'),('ॡ','l:50 ii:110'),
    ('ऍ','ae'),('ऎ','e'),('ए','ee'),('ऐ','ai'),('ऑ','ao'),('ऒ','o'),
    ('ओ','oo'),('औ','au'),('ऄ','a'),('ॲ','ae'),('ॳ','ee'),('ॴ','ee:120'),
    ('ॵ','au'),('ॶ','u'),('ॷ','uu'),
    # vowels with a nasal sign: nasalised vowels (context rules give homorganic nasals)
    ('अं','aN'),('अँ','aN'),('आं','aaN'),('आँ','aaN'),('इं','iN'),('इँ','iN'),
    ('ईं','iiN'),('ईँ','iiN'),('उं','uN'),('उँ','uN'),('ऊं','uuN'),('ऊँ','uuN'),
    ('एं','eeN'),('एँ','eeN'),('ऐं','aiN'),('ऐँ','aiN'),('ओं','ooN'),('ओँ','ooN'),
    ('औं','auN'),('औँ','auN'),
]
# Word-edge punctuation that stays inside a word (sentence marks, quotes, brackets) is listed
# as silent vowels so that the consonant before it still sees a neighbour in its patterns.
CLOSING = ['।','॥','.',')','”','’','"',"'"]
OPENING = ['(','“','‘','"',"'"]
PUNCT = []
for p in CLOSING + OPENING:
    if p not in PUNCT: PUNCT.append(p)

MATRAS = [
    ('ा','aa'),('ि','i'),('ी','ii'),('ु','u'),('ू','uu'),('ृ','r:45 i:60'),
    ('ॄ','r:45 ii'),('ॢ','l:50 i:60'),('ॣ','l:50 ii'),('ॅ','ae'),('ॆ','e'),
    ('े','ee'),('ै','ai'),('ॉ','ao'),('ॊ','o'),('ो','oo'),('ौ','au'),
    ('ऺ','ee'),('ऻ','ee:115'),('ॎ','ee'),('ॏ','au'),('ॕ','ee'),('ॖ','u'),('ॗ','uu'),
    # signs written after a letter belong to its unit
    (ANUSVARA,'aN'),(CANDRA,'aN'),('ऀ','aN'),(VISARGA,'a h'),(NUKTA,''),
    ('॑',''),('॒',''),('॓',''),('॔',''),
    # matra + nasal sign: nasalised vowel
    ('ां','aaN'),('ाँ','aaN'),('िं','iN'),('िँ','iN'),('ीं','iiN'),('ीँ','iiN'),
    ('ुं','uN'),('ुँ','uN'),('ूं','uuN'),('ूँ','uuN'),('ृं','r:45 iN:70'),
    ('ें','eeN'),('ेँ','eeN'),('ैं','aiN'),('ैँ','aiN'),('ों','ooN'),('ोँ','ooN'),
    ('ौं','auN'),('ौँ','auN'),('ॉं','ao'),('ॅं','ae'),
    # matra + visarga
    ('ाः','aa h'),('िः','i h'),('ीः','ii h'),('ुः','u h'),('ूः','uu h'),
    ('ेः','ee h'),('ोः','oo h'),
]
SIGNS = [('ऽ',''),('ॐ','oo:150 m:90'),('॰',''),('ॱ','')]
DIGITS = '०१२३४५६७८९'
SCHWA = ('a', MS['a'])

def attr(s): return quoteattr(s)

def timed(phones, durations):
    """'r:45 ii' -> [('r', 45), ('ii', durations['ii'])]"""
    out = []
    for tok in phones.split():
        name, _, ms = tok.partition(':')
        out.append((name, int(ms) if ms else durations[name]))
    return out

def character(glyph, units):
    return '<Character glyph=%s isCombined="false" phonem=%s duration=%s/>' % (
        attr(glyph), attr(' '.join(n for n, _ in units)), attr(' '.join(str(d) for _, d in units)))

def rule(match, rank, units):
    ph = ''.join('<Phonem phoneString=%s Duration="%d"/>' % (attr(n), d) for n, d in units)
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

# Whole words whose sounds the context rules cannot know: morpheme boundaries inside
# (participles in -kar, compounds, number words) and common irregular forms.
EXACT = {
    'दशमलव': 'd:65 a:60 sh:95 a:60 m:60 l:55 a:60 v:55',
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
# Words of four consonants without vowel signs keep only the second inherent vowel
# (kar-vaT), and a vowel letter with three consonants only the last (ad-rak): the
# context rules, seeing one letter on each side, cannot know.
def four_letters(word):
    letters = dict(CONS + VOWELS)
    ph, i = [], 0
    while i < len(word):
        n = 2 if word[i:i + 2] in letters else 1
        ph.append(letters[word[i:i + n]]); i += n
    assert len(ph) == 4, word
    if word[0] in dict(VOWELS): return [ph[0], ph[1], ph[2], 'a', ph[3]]
    return [ph[0], 'a', ph[1], ph[2], 'a', ph[3]]
for w in '''करवट अदरक कटहल मलमल झटपट चटपट खटपट गपशप धड़कन उलझन अड़चन बरतन सरपट करतब मरहम परबत
        हरकत बरकत पनघट मरघट नटखट शरबत भगदड़ अचकन सरगम कलरव हरदम जगमग डगमग लथपथ गड़बड़ बरगद दमकल
        सरहद अनबन हमदम बकबक चमचम धकधक टमटम तरकश कलकल'''.split():
    EXACT[w] = ' '.join(four_letters(w))

# The same words followed by a sentence mark, as they stand at the end of a sentence.
for w in list(EXACT):
    for mark in ('।', '.'):
        EXACT[w + mark] = EXACT[w]

# Second members of compounds, filed as "-" and the member: a word that ends in one is
# said as its first member, which ends like a word of its own (so its final inherent
# vowel goes: दिन|भर, पागल|पन, देख|कर, राम|नगर), followed by these phones. After a
# nasal sign a member that starts with a stop is no boundary (शंकर, अंतर, कंपन: the
# sign is the stop's nasal): those entries have no phones.
SECOND_MEMBERS = {
    'भर': 'bh a r', 'कर': 'k a r', 'पन': 'p a n', 'तर': 't a r', 'घर': 'gh a r', 'नगर': 'n a g a r',
    'गढ़': 'g a Rh', 'पुर': 'p u r', 'वाला': 'v aa l aa', 'वाले': 'v aa l ee', 'वाली': 'v aa l ii',
    'वालों': 'v aa l ooN', 'दार': 'd aa r', 'दारी': 'd aa r ii', 'खाना': 'kh aa n aa', 'दान': 'd aa n',
}
for m, p in SECOND_MEMBERS.items():
    EXACT['-' + m] = ' '.join('%s:%d' % (n, SIGN_MS[n]) for n in p.split())
    if dict(CONS)[m[0]] in HOMORGANIC:
        for nasal in (ANUSVARA, CANDRA):
            EXACT['-' + nasal + m] = ''

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

def clause(name, pause, desc, idents, fn):
    return ('<Clause name="%s" pause="%d"><Description>%s</Description>%s<PitchPattern>%s</PitchPattern></Clause>'
            % (name, pause, desc, identifier_list(idents), pitch_pattern(fn)))

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
            % (name, pause, desc, identifier_list(idents), pitch_pattern(fn), clauses(with_wh)))

# The sound table: every phone of the shared set with its kind and a letter that spells it.
KIND = {'Glide': 'Approximant'}
USAGE = dict(zip(phones.INDIAN, '''अ आ इ ई उ ऊ ऎ ए ऐ ऒ ओ औ ऍ ऑ अँ आँ इँ ईं उँ ऊँ एँ ऐं ओं औं
    क ख ग घ ङ च छ ज झ ञ ट ठ ड ढ ण त थ द ध न प फ ब भ म य र ल व श ष स ह ळ ड़ ढ़ क़ ख़ ग़ ज़ फ़ ऴ ఱ ன'''.split()))
phones.assert_covers('Hindi usage letters', USAGE)
SOUNDS = [(p, KIND.get(phones.MANNER[p], phones.MANNER[p]), USAGE[p]) for p in phones.INDIAN]
SOUNDS.append((phones.SILENCE, 'Silence', 'pause'))

def main(folder):
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
      '<UnicodeEnd>097F</UnicodeEnd><HalantBased>true</HalantBased>'
      '<SampleText>नमस्ते, आज मौसम बहुत अच्छा है।</SampleText></Language>')
    w('<SoundData>' + ''.join('<Sound phonem=%s type="%s" usage=%s/>' % (attr(p), t, attr(u)) for p, t, u in SOUNDS) + '</SoundData>')
    w('<CharacterData>')
    w('<Vowel>' + ''.join(character(g, timed(p, MS)) for g, p in VOWELS) + ''.join(character(p, []) for p in PUNCT) + '</Vowel>')
    w('<Consonent>' + ''.join(character(g, [(p, MS[p])]) for g, p in CONS) + '</Consonent>')
    w('<Matra>' + ''.join(character(g, timed(p, SIGN_MS)) for g, p in MATRAS) + '</Matra>')
    w('<Halant><Halant glyph="%s" isCombined="false" phonem="" duration=""/></Halant>' % HALANT)
    w('<Sign>' + ''.join(character(g, timed(p, MS)) for g, p in SIGNS) + '</Sign>')
    w('<Digit>' + ''.join(character(d, []) for d in DIGITS) + '</Digit>')
    w('</CharacterData>')
    w('<DigitMap>' + ''.join('<map englishDigit="%d" langaugeDigit="%s"/>' % (i, d) for i, d in enumerate(DIGITS)) + '</DigitMap>')
    dd = [(str(i), NUMBERS[i]) for i in range(100)]
    for v, word in PLACES:
        dd.append((v, 'एक ' + word)); dd.append(('+*' + v, word)); dd.append(('+*' + v + '+', word))
    dd.append(('.', 'दशमलव'))  # the decimal point between digits: 3.5 = तीन दशमलव पाँच
    dd += normalisation.entries('Hindi')  # money, dates, times, ordinals, units
    w('<DigitData>' + ''.join('<Digit value="%s" words="%s"/>' % (v, t) for v, t in dd) + '</DigitData>')
    w('<ExactMatch>' + ''.join(rule(k, '', timed(v, MS)) for k, v in sorted(EXACT.items())) + '</ExactMatch>')

    w('<Available_Characters>')
    stops = [(g, HOMORGANIC[p]) for g, p in CONS if p in HOMORGANIC]
    for g, p in CONS:
        c = [(p, MS[p])]
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
            if p in HOMORGANIC:
                # a nasal before a stop makes a cluster: zindagii
                for f in ('C' + ANUSVARA, 'Cिं', 'Cुं', 'अं', 'इं', 'उं'):
                    p2.append(rule('%s%sK' % (f, g), 7, ca))
            if g in ('र', 'य'):
                # clusters ending in r or y keep a final vowel: mitra, vaakya
                p2.append(rule('C%s%sE' % (HALANT, g), 5, ca))
                p2.append(rule('C%s%sV' % (HALANT, g), 9, ca))
        else:
            # ज्ञ is said gy
            y = [('y', MS['y'])]
            p2 += [rule('ज्ञA', 1, y + [SCHWA]), rule('ज्ञE', 2, y + [SCHWA]), rule('ज्ञK', 3, y + [SCHWA]),
                   rule('ज्ञV', 4, y + [SCHWA]), rule('ज्ञMA', 1, y)]
        w('<Character glyph=%s type="C"><Priority no="1">%s</Priority><Priority no="2">%s</Priority></Character>'
          % (attr(g), ''.join(p1), ''.join(p2)))
    # ज followed by ञ: g
    w('<Character glyph="ज्" type="C"><Priority no="2">%s</Priority></Character>'
      % (rule('Aज्ञ', 1, [('g', MS['g'])]) + rule('Aज्ञM', 2, [('g', MS['g'])])))
    # Anusvara after a short vowel before a stop: the nasal of the stop's place.
    def nasal_rules(form, vowel_phones):
        rs = []
        for sg, nasal in stops:
            ph = vowel_phones + [(nasal, 55)]
            rs.append(rule('A%s%s' % (form, sg), 1, ph))
            rs.append(rule('A%s%sM' % (form, sg), 2, ph))
        return ''.join(rs)
    for dep, vph in ((ANUSVARA, [SCHWA]), ('िं', [('i', MS['i'])]), ('ुं', [('u', MS['u'])])):
        w('<Character glyph=%s type="M"><Priority no="2">%s</Priority></Character>' % (attr(dep), nasal_rules('C' + dep, vph)))
    for vg, vph in (('अं', [SCHWA]), ('इं', [('i', MS['i'])]), ('उं', [('u', MS['u'])])):
        w('<Character glyph=%s type="V"><Priority no="2">%s</Priority></Character>' % (attr(vg), nasal_rules(vg, vph)))
    w('</Available_Characters>')

    w('<SentenceTypes>')
    w(sentence('Statement', 400, 'Statement: declination and a final fall', [('।', 1), ('.', 2), ('॥', 3)], statement))
    w(sentence('Question', 450, 'Question: final rise; a question word before the end takes a peak', [('?', 1)], question, True))
    w(sentence('Exclamation', 400, 'Exclamation: high start, steep fall', [('!', 1)], exclamation))
    w('</SentenceTypes>')
    w('</Rule_Base>')
    with open(os.path.join(folder, 'newPelmiraHindi.xml'), 'w', encoding='utf-8') as f:
        f.write('\n'.join(L) + '\n')

if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else HERE)
