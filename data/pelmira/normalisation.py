"""How written numbers and symbols are said in each Indian language: the
entries, keyed by "@...", that the rule files' number words (DigitData) carry
beside the words for the numbers themselves. The engine's text normalisation
reads them; a rule file without them still loads and reads plain numbers.

Keys:
  @month:1 .. @month:12    month names
  @cur:<CODE>              currency name after an amount (INR, USD, GBP, EUR)
  @cur:<CODE>:1            the whole phrase for exactly one unit
  @cur:<CODE>.minor[:1]    the minor unit (paise, cents, pence)
  @alias:<text>            a written abbreviation of a currency -> its code
  @%  @-  @+               percent, minus, plus ({n}: the number's words)
  @range                   {a} to {b}
  @rangejoin               "x=y" pairs: the first number's last sign x becomes y
  @time  @time:00          {h} hours {m} minutes; a full hour
  @hour                    words after a time that its template already says
  @year  @year:<hh>        the hundreds of a year 1100-1999 ({hi}: its first
                           two digits); @year:<hh> replaces it for one century
  @ord                     ordinal suffixes written after digits (space separated)
  @ord:<digits><suffix>    an irregular ordinal
  @ordjoin                 "x=y" pairs: a number's last sign x becomes y
                           before an ordinal suffix
  @abbr:<text>             an abbreviation's full form (a word of its own)
  @unit:<symbol>           a unit's name ({n} places the number; else after it)
  @attr                    "x=y" pairs: a number's last word x becomes y before
                           a currency or unit name
  @sym:U+<hex>             the name of a punctuation mark or symbol (code point
                           in upper-case hex, four digits at least), said by a
                           screen reader naming punctuation; a symbol without
                           one is named in English
A template without {n} follows the number's words."""

MONTHS = {
    "Hindi": "जनवरी फ़रवरी मार्च अप्रैल मई जून जुलाई अगस्त सितंबर अक्तूबर नवंबर दिसंबर",
    "Marathi": "जानेवारी फेब्रुवारी मार्च एप्रिल मे जून जुलै ऑगस्ट सप्टेंबर ऑक्टोबर नोव्हेंबर डिसेंबर",
    "Gujarati": "જાન્યુઆરી ફેબ્રુઆરી માર્ચ એપ્રિલ મે જૂન જુલાઈ ઑગસ્ટ સપ્ટેમ્બર ઑક્ટોબર નવેમ્બર ડિસેમ્બર",
    "Telugu": "జనవరి ఫిబ్రవరి మార్చి ఏప్రిల్ మే జూన్ జూలై ఆగస్టు సెప్టెంబరు అక్టోబరు నవంబరు డిసెంబరు",
    "Kannada": "ಜನವರಿ ಫೆಬ್ರವರಿ ಮಾರ್ಚ್ ಏಪ್ರಿಲ್ ಮೇ ಜೂನ್ ಜುಲೈ ಆಗಸ್ಟ್ ಸೆಪ್ಟೆಂಬರ್ ಅಕ್ಟೋಬರ್ ನವೆಂಬರ್ ಡಿಸೆಂಬರ್",
    "Tamil": "ஜனவரி பிப்ரவரி மார்ச் ஏப்ரல் மே ஜூன் ஜூலை ஆகஸ்ட் செப்டம்பர் அக்டோபர் நவம்பர் டிசம்பர்",
}

# code: (name, name for one (whole phrase), minor, minor for one)
CURRENCIES = {
    "Hindi": {"INR": ("रुपये", "एक रुपया", "पैसे", "एक पैसा"), "USD": ("डॉलर", "एक डॉलर", "सेंट", "एक सेंट"),
              "GBP": ("पाउंड", "एक पाउंड", "पेंस", "एक पेनी"), "EUR": ("यूरो", "एक यूरो", "सेंट", "एक सेंट")},
    "Marathi": {"INR": ("रुपये", "एक रुपया", "पैसे", "एक पैसा"), "USD": ("डॉलर", "एक डॉलर", "सेंट", "एक सेंट"),
                "GBP": ("पौंड", "एक पौंड", "पेन्स", "एक पेनी"), "EUR": ("युरो", "एक युरो", "सेंट", "एक सेंट")},
    "Gujarati": {"INR": ("રૂપિયા", "એક રૂપિયો", "પૈસા", "એક પૈસો"), "USD": ("ડૉલર", "એક ડૉલર", "સેન્ટ", "એક સેન્ટ"),
                 "GBP": ("પાઉન્ડ", "એક પાઉન્ડ", "પેન્સ", "એક પેની"), "EUR": ("યુરો", "એક યુરો", "સેન્ટ", "એક સેન્ટ")},
    "Telugu": {"INR": ("రూపాయలు", "ఒక రూపాయి", "పైసలు", "ఒక పైసా"),
               "USD": ("డాలర్లు", "ఒక డాలర్", "సెంట్లు", "ఒక సెంటు"),
               "GBP": ("పౌండ్లు", "ఒక పౌండ్", "పెన్స్", "ఒక పెన్నీ"),
               "EUR": ("యూరోలు", "ఒక యూరో", "సెంట్లు", "ఒక సెంటు")},
    "Kannada": {"INR": ("ರೂಪಾಯಿ", "ಒಂದು ರೂಪಾಯಿ", "ಪೈಸೆ", "ಒಂದು ಪೈಸೆ"), "USD": ("ಡಾಲರ್", "ಒಂದು ಡಾಲರ್", "ಸೆಂಟ್", "ಒಂದು ಸೆಂಟ್"),
                "GBP": ("ಪೌಂಡ್", "ಒಂದು ಪೌಂಡ್", "ಪೆನ್ಸ್", "ಒಂದು ಪೆನ್ನಿ"), "EUR": ("ಯೂರೋ", "ಒಂದು ಯೂರೋ", "ಸೆಂಟ್", "ಒಂದು ಸೆಂಟ್")},
    "Tamil": {"INR": ("ரூபாய்", "ஒரு ரூபாய்", "பைசா", "ஒரு பைசா"), "USD": ("டாலர்", "ஒரு டாலர்", "சென்ட்", "ஒரு சென்ட்"),
              "GBP": ("பவுண்டு", "ஒரு பவுண்டு", "பென்ஸ்", "ஒரு பென்னி"), "EUR": ("யூரோ", "ஒரு யூரோ", "சென்ட்", "ஒரு சென்ட்")},
}

ALIASES = {
    "Hindi": ["रु.", "रू.", "रु"], "Marathi": ["रु.", "रू.", "रु"], "Gujarati": ["રૂ.", "રૂ"],
    "Telugu": ["రూ.", "రూ"], "Kannada": ["ರೂ.", "ರೂ"], "Tamil": ["ரூ.", "ரூ"],
}

# percent, minus, plus, range, time, full hour, hour words, year
PHRASES = {
    "Hindi": ("{n} प्रतिशत", "ऋण {n}", "प्लस", "{a} से {b}", "{h} बजकर {m} मिनट", "{h} बजे", "बजे", "{hi} सौ"),
    "Marathi": ("{n} टक्के", "उणे {n}", "प्लस", "{a} ते {b}", "{h} वाजून {m} मिनिटे", "{h} वाजता", "वाजता", "{hi}शे"),
    "Gujarati": ("{n} ટકા", "ઋણ {n}", "પ્લસ", "{a}થી {b}", "{h} વાગીને {m} મિનિટ", "{h} વાગ્યે", "વાગ્યે", "{hi}સો"),
    "Telugu": ("{n} శాతం", "మైనస్ {n}", "ప్లస్", "{a} నుండి {b}", "{h} గంటల {m} నిమిషాలు", "{h} గంటలకు", "గంటలకు", None),
    "Kannada": ("ಶೇಕಡಾ {n}", "ಮೈನಸ್ {n}", "ಪ್ಲಸ್", "{a}ರಿಂದ {b}", "{h} ಗಂಟೆ {m} ನಿಮಿಷ", "{h} ಗಂಟೆ", "ಗಂಟೆಗೆ", None),
    "Tamil": ("{n} சதவீதம்", "மைனஸ் {n}", "பிளஸ்", "{a} முதல் {b}", "{h} மணி {m} நிமிடம்", "{h} மணி", "மணிக்கு", None),
}

# A number's last word as it stands before a noun (five hundred rupees).
ATTRIBUTIVE = {"Telugu": "వందలు=వందల వేలు=వేల లక్షలు=లక్షల కోట్లు=కోట్ల"}

# The first number of a range before a joined ending (ಹತ್ತರಿಂದ: from ten).
RANGE_JOINS = {"Kannada": "ು="}

# Gujarati runs ઓગણીસ and સો together.
YEAR_CENTURIES = {"Gujarati": {"19": "ઓગણીસો"}}


ORDINALS = {
    "Hindi": ("ला ली ले रा री रे था थी थे ठा ठी ठे वाँ वीं वें वां वा वी वे", "", {
        **{"@ord:1" + x: "पहल" + x[1:] for x in ("ला", "ली", "ले")},
        **{"@ord:2" + x: "दूस" + x for x in ("रा", "री", "रे")},
        **{"@ord:3" + x: "तीस" + x for x in ("रा", "री", "रे")},
        **{"@ord:4" + x: "चौ" + x for x in ("था", "थी", "थे")},
        **{"@ord:6" + x: "छ" + x for x in ("ठा", "ठी", "ठे")}}),
    "Marathi": ("ला ली ले रा री रे था थी थे वा वी वे", "", {
        **{"@ord:1" + x: "पहि" + x for x in ("ला", "ली", "ले")},
        **{"@ord:2" + x: "दुस" + x for x in ("रा", "री", "रे")},
        **{"@ord:3" + x: "तिस" + x for x in ("रा", "री", "रे")},
        **{"@ord:4" + x: "चौ" + x for x in ("था", "थी", "थे")}}),
    "Gujarati": ("લો લી લું જો જી જું થો થી થું ઠ્ઠો ઠ્ઠી ઠ્ઠું મો મી મું", "", {
        **{"@ord:1" + x: "પહે" + x for x in ("લો", "લી", "લું")},
        **{"@ord:2" + x: "બી" + x for x in ("જો", "જી", "જું")},
        **{"@ord:3" + x: "ત્રી" + x for x in ("જો", "જી", "જું")},
        **{"@ord:4" + x: "ચો" + x for x in ("થો", "થી", "થું")},
        **{"@ord:6" + x: "છ" + x for x in ("ઠ્ઠો", "ઠ્ઠી", "ઠ્ઠું")}}),
    "Telugu": ("వ", "ు= ి=", {"@ord:1వ": "మొదటి", "@ord:20వ": "ఇరవయ్యవ"}),
    "Kannada": ("ನೇ ನೆಯ", "ು=", {"@ord:1ನೇ": "ಮೊದಲನೇ", "@ord:1ನೆಯ": "ಮೊದಲನೆಯ"}),
    "Tamil": ("வது ம்", "ு=ா", {"@ord:1வது": "முதலாவது", "@ord:1ம்": "முதலாம்"}),
}

# Titles written short; the point after them is not a sentence end.
ABBREVIATIONS = {
    "Hindi": {"डॉ.": "डॉक्टर", "प्रो.": "प्रोफ़ेसर"},
    "Marathi": {"डॉ.": "डॉक्टर", "प्रा.": "प्राध्यापक", "सौ.": "सौभाग्यवती"},
    "Gujarati": {"ડૉ.": "ડૉક્ટર", "પ્રો.": "પ્રોફેસર"},
    "Telugu": {"డా.": "డాక్టర్", "ప్రొ.": "ప్రొఫెసర్"},
    "Kannada": {"ಡಾ.": "ಡಾಕ್ಟರ್", "ಪ್ರೊ.": "ಪ್ರೊಫೆಸರ್"},
    "Tamil": {"பேரா.": "பேராசிரியர்", "டாக்.": "டாக்டர்"},
}

# Latin symbols, then the script's own abbreviations.
UNITS = {
    "Hindi": {"कि.मी.": "किलोमीटर", "km": "किलोमीटर", "kg": "किलोग्राम", "g": "ग्राम", "m": "मीटर", "cm": "सेंटीमीटर", "mm": "मिलीमीटर",
              "l": "लीटर", "ml": "मिलीलीटर", "km/h": "{n} किलोमीटर प्रति घंटा", "°C": "डिग्री सेल्सियस",
              "°F": "डिग्री फ़ारेनहाइट", "°": "डिग्री", "किमी": "किलोमीटर", "किग्रा": "किलोग्राम", "ग्रा": "ग्राम",
              "मी": "मीटर", "सेमी": "सेंटीमीटर", "मिमी": "मिलीमीटर", "मिली": "मिलीलीटर"},
    "Marathi": {"कि.मी.": "किलोमीटर", "km": "किलोमीटर", "kg": "किलोग्रॅम", "g": "ग्रॅम", "m": "मीटर", "cm": "सेंटिमीटर", "mm": "मिलिमीटर",
                "l": "लिटर", "ml": "मिलिलिटर", "km/h": "{n} किलोमीटर प्रति तास", "°C": "अंश सेल्सिअस",
                "°F": "अंश फॅरनहाइट", "°": "अंश", "किमी": "किलोमीटर", "किग्रॅ": "किलोग्रॅम", "सेमी": "सेंटिमीटर",
                "मिमी": "मिलिमीटर", "मी": "मीटर"},
    "Gujarati": {"km": "કિલોમીટર", "kg": "કિલોગ્રામ", "g": "ગ્રામ", "m": "મીટર", "cm": "સેન્ટિમીટર", "mm": "મિલીમીટર",
                 "l": "લિટર", "ml": "મિલીલિટર", "km/h": "{n} કિલોમીટર પ્રતિ કલાક", "°C": "ડિગ્રી સેલ્સિયસ",
                 "°F": "ડિગ્રી ફેરનહીટ", "°": "ડિગ્રી", "કિમી": "કિલોમીટર", "કિગ્રા": "કિલોગ્રામ", "સેમી": "સેન્ટિમીટર",
                 "મિમી": "મિલીમીટર"},
    "Telugu": {"km": "కిలోమీటర్లు", "kg": "కిలోగ్రాములు", "g": "గ్రాములు", "m": "మీటర్లు", "cm": "సెంటీమీటర్లు",
               "mm": "మిల్లీమీటర్లు", "l": "లీటర్లు", "ml": "మిల్లీలీటర్లు", "km/h": "గంటకు {n} కిలోమీటర్లు",
               "°C": "డిగ్రీల సెల్సియస్", "°F": "డిగ్రీల ఫారెన్హీట్", "°": "డిగ్రీలు", "కి.మీ.": "కిలోమీటర్లు",
               "కి.మీ": "కిలోమీటర్లు", "కిమీ": "కిలోమీటర్లు", "కిలో": "కిలోలు"},
    "Kannada": {"km": "ಕಿಲೋಮೀಟರ್", "kg": "ಕಿಲೋಗ್ರಾಂ", "g": "ಗ್ರಾಂ", "m": "ಮೀಟರ್", "cm": "ಸೆಂಟಿಮೀಟರ್", "mm": "ಮಿಲಿಮೀಟರ್",
                "l": "ಲೀಟರ್", "ml": "ಮಿಲಿಲೀಟರ್", "km/h": "ಗಂಟೆಗೆ {n} ಕಿಲೋಮೀಟರ್", "°C": "ಡಿಗ್ರಿ ಸೆಲ್ಸಿಯಸ್",
                "°F": "ಡಿಗ್ರಿ ಫ್ಯಾರನ್ಹೀಟ್", "°": "ಡಿಗ್ರಿ", "ಕಿ.ಮೀ.": "ಕಿಲೋಮೀಟರ್", "ಕಿ.ಮೀ": "ಕಿಲೋಮೀಟರ್",
                "ಕಿಮೀ": "ಕಿಲೋಮೀಟರ್", "ಕೆಜಿ": "ಕಿಲೋಗ್ರಾಂ"},
    "Tamil": {"km": "கிலோமீட்டர்", "kg": "கிலோகிராம்", "g": "கிராம்", "m": "மீட்டர்", "cm": "சென்டிமீட்டர்",
              "mm": "மில்லிமீட்டர்", "l": "லிட்டர்", "ml": "மில்லிலிட்டர்", "km/h": "மணிக்கு {n} கிலோமீட்டர்",
              "°C": "டிகிரி செல்சியஸ்", "°F": "டிகிரி ஃபாரன்ஹீட்", "°": "டிகிரி", "கி.மீ.": "கிலோமீட்டர்",
              "கி.மீ": "கிலோமீட்டர்", "கிமீ": "கிலோமீட்டர்", "கிலோ": "கிலோ"},
}


# Names of punctuation marks and symbols, as a screen reader says them when
# punctuation is spoken. Only names in common use; the rest stay English.
SYMBOLS = {
    "Hindi": {",": "अल्पविराम", ";": "अर्धविराम", ":": "कोलन", ".": "बिंदु", "?": "प्रश्नचिह्न",
              "!": "विस्मयादिबोधक चिह्न", "%": "प्रतिशत", "&": "और", "+": "प्लस", "=": "बराबर",
              "$": "डॉलर", "@": "एट", "*": "तारांकन", "/": "स्लैश", "-": "डैश", "_": "अंडरस्कोर",
              "(": "बायाँ कोष्ठक", ")": "दायाँ कोष्ठक", '"': "उद्धरण चिह्न", "#": "हैश"},
    "Marathi": {",": "स्वल्पविराम", ";": "अर्धविराम", ":": "अपूर्णविराम", ".": "पूर्णविराम",
                "?": "प्रश्नचिन्ह", "!": "उद्गारवाचक चिन्ह", "%": "टक्के", "&": "आणि", "+": "अधिक",
                "=": "बरोबर", "$": "डॉलर", '"': "अवतरण चिन्ह"},
    "Gujarati": {",": "અલ્પવિરામ", ";": "અર્ધવિરામ", ":": "ગુરુવિરામ", ".": "પૂર્ણવિરામ",
                 "?": "પ્રશ્નાર્થ ચિહ્ન", "!": "ઉદ્ગાર ચિહ્ન", "%": "ટકા", "&": "અને", "+": "વત્તા",
                 "=": "બરાબર", "$": "ડોલર", '"': "અવતરણ ચિહ્ન"},
    "Telugu": {",": "కామా", ".": "చుక్క", "?": "ప్రశ్నార్థకం", "!": "ఆశ్చర్యార్థకం", "%": "శాతం",
               "&": "మరియు", "+": "ప్లస్", "=": "సమానం", "$": "డాలర్"},
    "Kannada": {",": "ಅಲ್ಪವಿರಾಮ", ";": "ಅರ್ಧವಿರಾಮ", ".": "ಪೂರ್ಣವಿರಾಮ", "?": "ಪ್ರಶ್ನಾರ್ಥಕ ಚಿಹ್ನೆ",
                "!": "ಆಶ್ಚರ್ಯಸೂಚಕ ಚಿಹ್ನೆ", "%": "ಶೇಕಡಾ", "&": "ಮತ್ತು", "+": "ಪ್ಲಸ್", "$": "ಡಾಲರ್",
                '"': "ಉದ್ಧರಣ ಚಿಹ್ನೆ"},
    "Tamil": {",": "காற்புள்ளி", ";": "அரைப்புள்ளி", ":": "முக்காற்புள்ளி", ".": "முற்றுப்புள்ளி",
              "?": "கேள்விக்குறி", "!": "வியப்புக்குறி", "%": "சதவீதம்", "&": "மற்றும்", "+": "கூட்டல்",
              "=": "சமம்", "$": "டாலர்", "*": "நட்சத்திரக்குறி", '"': "மேற்கோள் குறி"},
}


def symbol_key(symbol):
    """The DigitData key of a symbol's name: by code point, so that no
    symbol needs escaping in XML."""
    return "@sym:U+%04X" % ord(symbol)


def entries(language):
    """The normalisation entries of one language as (key, words) pairs."""
    out = {}
    for i, month in enumerate(MONTHS[language].split(), 1):
        out["@month:%d" % i] = month
    for code, (name, one, minor, minor_one) in CURRENCIES[language].items():
        out.update({"@cur:" + code: name, "@cur:%s:1" % code: one,
                    "@cur:%s.minor" % code: minor, "@cur:%s.minor:1" % code: minor_one})
    for alias in ALIASES[language]:
        out["@alias:" + alias] = "INR"
    keys = ("@%", "@-", "@+", "@range", "@time", "@time:00", "@hour", "@year")
    out.update({k: v for k, v in zip(keys, PHRASES[language]) if v})
    for hi, words in YEAR_CENTURIES.get(language, {}).items():
        out["@year:" + hi] = words
    suffixes, join, irregular = ORDINALS[language]
    out["@ord"] = suffixes
    if join:
        out["@ordjoin"] = join
    out.update(irregular)
    for short, full in ABBREVIATIONS[language].items():
        out["@abbr:" + short] = full
    if language in RANGE_JOINS:
        out["@rangejoin"] = RANGE_JOINS[language]
    if language in ATTRIBUTIVE:
        out["@attr"] = ATTRIBUTIVE[language]
    for symbol, name in UNITS[language].items():
        out["@unit:" + symbol] = name
    for symbol, name in SYMBOLS[language].items():
        out[symbol_key(symbol)] = name
    return list(out.items())
