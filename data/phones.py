"""The phone sets of the shipped data, shared by the generators under data/.

The Indian phones are the ones every Indian rule file speaks, the Indian voice
files put onto the diphone database, the emotion files sort into classes and
the accent files map to and from other voices. The English phones are those of
the English front end (voice en1), as the emotion and accent files name them.

Nothing here writes files; each generator takes what it needs.
"""

# One row a phone, in the order the files list them: oral vowels, nasalised
# vowels, the five stop rows of the script (velar to labial) with their nasals,
# then the other consonants. Manner is the phone's kind as the rule files class
# it. The durations are each language group's default length of the phone in
# ms: Hindi, then Marathi and Gujarati, then Telugu, Kannada and Tamil ("-":
# the group's rules never say the phone).
_TABLE = """
a    Vowel        60   70   70
aa   Vowel       120  120  125
i    Vowel        65   70   65
ii   Vowel       115  110  120
u    Vowel        65   70   65
uu   Vowel       115  110  120
e    Vowel        80   80   70
ee   Vowel       115  110  125
ai   Vowel       125  130  135
o    Vowel        80   80   70
oo   Vowel       120  110  125
au   Vowel       125  130  135
ae   Vowel       110  110  110
ao   Vowel       115  110  110
aN   NasalVowel   80   80   90
aaN  NasalVowel  130  130  130
iN   NasalVowel   80   80   85
iiN  NasalVowel  125  120  125
uN   NasalVowel   80   80   85
uuN  NasalVowel  125  120  125
eeN  NasalVowel  125  120  130
aiN  NasalVowel  130  130  140
ooN  NasalVowel  125  120  130
auN  NasalVowel  130  130  140
k    Plosive      65   70   75
kh   Plosive      85   90   95
g    Plosive      65   65   65
gh   Plosive      85   85   85
ng   Nasal        60   60   60
ch   Affricate    75   80   85
chh  Affricate    90   95  105
j    Affricate    70   75   70
jh   Affricate    90   90   90
ny   Nasal        60   60   60
T    Plosive      65   65   70
Th   Plosive      85   85   90
D    Plosive      65   60   60
Dh   Plosive      85   80   80
N    Nasal        60   60   60
t    Plosive      65   65   70
th   Plosive      85   85   90
d    Plosive      65   60   60
dh   Plosive      85   80   80
n    Nasal        60   60   55
p    Plosive      65   70   75
ph   Plosive      85   90   95
b    Plosive      65   65   65
bh   Plosive      85   85   85
m    Nasal        60   65   60
y    Glide        55   55   55
r    Trill        50   50   45
l    Lateral      55   60   55
v    Glide        55   55   55
sh   Fricative    95  100  100
Sh   Fricative    95  100  100
s    Fricative    95   95  100
h    Fricative    60   70   70
L    Lateral      55   60   60
R    Flap         45   45   45
Rh   Flap         55   60   65
q    Plosive      70   75   80
x    Fricative    95   95   95
G    Fricative    80   75   70
z    Fricative    90   95   90
f    Fricative    95   95   95
zh   Approximant  60   70   60
rr   Trill         -   55   55
nn   Nasal         -   60   55
"""

SILENCE = "_"

INDIAN = []                # every Indian phone, in table order
MANNER = {}                # phone -> manner
HINDI_MS, WESTERN_MS, DRAVIDIAN_MS = {}, {}, {}   # phone -> default duration in ms
for _line in _TABLE.strip().splitlines():
    _phone, _manner, *_ms = _line.split()
    INDIAN.append(_phone)
    MANNER[_phone] = _manner
    for _table, _value in zip((HINDI_MS, WESTERN_MS, DRAVIDIAN_MS), _ms):
        if _value != "-":
            _table[_phone] = int(_value)

INDIAN_VOWELS = [p for p in INDIAN if MANNER[p] in ("Vowel", "NasalVowel")]
INDIAN_CONSONANTS = [p for p in INDIAN if p not in INDIAN_VOWELS]

# The oral vowel each nasalised vowel is made from.
ORAL = {p: p[:-1] for p in INDIAN if MANNER[p] == "NasalVowel"}

# Stops (plosives and affricates) by place of articulation, with the nasal of
# that place: an anusvara before a stop is said as this nasal.
PLACES = [("ng", "k kh g gh"), ("ny", "ch chh j jh"), ("N", "T Th D Dh"), ("n", "t th d dh"),
          ("m", "p ph b bh")]
STOPS = [s for _, stops in PLACES for s in stops.split()]
HOMORGANIC_NASAL = {s: nasal for nasal, stops in PLACES for s in stops.split()}
HOMORGANIC_NASAL["q"] = "ng"   # the back stop of Perso-Arabic loans goes with the velars

# The sound classes of the emotion stage, as the emotion files list them:
# a mood stretches each class by its own rate, and the voiced classes carry
# the pitch.
INDIAN_CLASSES = {
    "LongVowel": "aa ii uu ee ai oo au ae ao aaN iiN uuN eeN aiN ooN auN",
    "ShortVowel": "a i u e o aN iN uN",
    "Liquide": "r l L R Rh rr zh",
    "Nasal": "m n N ng ny nn",
    "SemiVowel": "y v",
    "FricativeVoiced": "h z G",
    "FricativeVoiceless": "s sh Sh f x",
    "PlosiveVoiced": "g gh j jh D Dh d dh b bh",
    "PlosiveVoiceless": "k kh ch chh T Th t th p ph q",
    "Silence": SILENCE,
}

# The English phones: long vowels, short vowels, diphthongs; consonants.
ENGLISH_VOWELS = "i: A: O: u: 3: I e { V Q U @ eI aI OI @U aU I@ e@ U@".split()
ENGLISH_CONSONANTS = "p b t d k m n l r f v s z h w g tS dZ N T D S Z j".split()
ENGLISH = ENGLISH_VOWELS + ENGLISH_CONSONANTS

ENGLISH_CLASSES = {
    "LongVowel": "i: A: O: u: 3: eI aI OI @U aU I@ e@ U@",
    "ShortVowel": "I e { V Q U @",
    "Liquide": "l r",
    "Nasal": "m n N",
    "SemiVowel": "w j",
    "FricativeVoiced": "v z D Z",
    "FricativeVoiceless": "f s S T h",
    "PlosiveVoiced": "b d g dZ",
    "PlosiveVoiceless": "p t k tS",
    "Silence": SILENCE,
}


def _check():
    """The lists above describe one set each; a phone added to one and not
    the others would make the files disagree."""
    for phones, vowels, classes in ((INDIAN, INDIAN_VOWELS, INDIAN_CLASSES),
                                    (ENGLISH, ENGLISH_VOWELS, ENGLISH_CLASSES)):
        classed = [p for members in classes.values() for p in members.split()]
        assert sorted(classed) == sorted(phones + [SILENCE]), "classes do not cover the phone set once each"
        assert sorted((classes["LongVowel"] + " " + classes["ShortVowel"]).split()) == sorted(vowels)
    assert len(set(INDIAN)) == len(INDIAN) and len(set(ENGLISH)) == len(ENGLISH)
    assert all(ORAL[p] in INDIAN for p in ORAL)
    assert set(WESTERN_MS) == set(DRAVIDIAN_MS) == set(INDIAN)


_check()


def assert_covers(name, table, extra=()):
    """Fails unless the keys of `table` are exactly the Indian phones plus `extra`."""
    expected, keys = set(INDIAN) | set(extra), set(table)
    assert keys == expected, "%s: missing %s, unknown %s" % (name, sorted(expected - keys), sorted(keys - expected))
