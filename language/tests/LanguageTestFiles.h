#pragma once
// A small language rule file for the tests: a Devanagari subset with a few
// consonants, vowels, matras, a halant, a sign, digits, exact matches and
// context rules at priorities 1 to 3, number words, and two sentence types.
#include <string>

namespace vorsan::testfiles {

inline std::string character(const char* glyph, const char* phonem, const char* duration) {
    return std::string("<Character glyph='") + glyph + "' isCombined='false' phonem='" + phonem + "' duration='" +
           duration + "'/>";
}

inline std::string rule(const char* match, const char* rank, const char* phone, int duration) {
    return std::string("<Rule match='") + match + "' rank='" + rank + "'><PhonemList><Phonem phoneString='" + phone +
           "' Duration='" + std::to_string(duration) + "'/></PhonemList></Rule>";
}

inline std::string hindiFile() {
    std::string s = "<?xml version='1.0' encoding='UTF-8'?>\n<Rule_Base>"
                    "<File_Information><Title>Hindi rules</Title><Author>Test</Author></File_Information>"
                    "<Language><LanguageName>Hindi</LanguageName><Dialect>Standard</Dialect>"
                    "<LanguageCode>hi</LanguageCode><CountryCode>IN</CountryCode><MbrolaDatabase>hn1</MbrolaDatabase>"
                    "<UnicodeStart>0900</UnicodeStart><UnicodeEnd>0x097F</UnicodeEnd><HalantBased>True</HalantBased>"
                    "</Language><SoundData><Sound phonem='k' type='Plosive' usage='kamal'/></SoundData>";
    // Characters: a consonant's default is itself plus the inherent vowel.
    s += "<CharacterData><Vowel>" + character("अ", "a", "80") + character("आ", "aa", "120") + character("इ", "i", "70") +
         "</Vowel><Consonent>" + character("क", "k a", "60 80") + character("ग", "g a", "60 80") +
         character("त", "t a", "60 80") + character("म", "m a", "60 80") + character("र", "r a", "50 80") +
         character("न", "n a", "60 80") + character("स", "s a", "70 80") + "</Consonent><Matra>" +
         character("ा", "aa", "120") + character("ि", "i", "70") + character("ी", "ii", "110") +
         character("ु", "u", "70") +
         "<BaseFormCorrection glyph='x' phonem='' duration=''/></Matra>"
         "<Halant><Halant glyph='्' phonem='' duration=''/></Halant><Sign>" +
         character("ं", "n", "50") + "</Sign><Digit>";
    const char* digits[] = {"०", "१", "२", "३", "४", "५", "६", "७", "८", "९"};
    for (const char* d : digits) s += character(d, "", "");
    s += "</Digit></CharacterData><DigitMap>";
    for (int i = 0; i < 10; ++i) s += "<map englishDigit='" + std::to_string(i) + "' langaugeDigit='" + digits[i] + "'/>";
    // Number words: Latin transliterations are enough for numberToWords; "2"
    // and "21" are written in the script so that digits in words are spoken.
    s += "</DigitMap><DigitData>";
    const char* words[][2] = {
        {"0", "shoonya"}, {"1", "ek"}, {"2", "तम"}, {"3", "teen"}, {"4", "chaar"}, {"5", "paanch"},
        {"6", "chhah"}, {"7", "saat"}, {"8", "aath"}, {"9", "nau"}, {"12", "baarah"}, {"21", "गा"},
        {"23", "teis"}, {"45", "paintaalis"}, {"78", "athhattar"}, {"500", "paanch-sau"},
        {"1000", "hazaar"}, {"100000", "ek laakh"}, {"10000000", "ek karod"},
        {"+*100", "sau"}, {"+*100+", "sau"}, {"+*1000", "hazaar"}, {"+*1000+", "hazaar"},
        {"+*100000", "laakh"}, {"+*100000+", "laakh"}, {"+*10000000", "karod"}, {"+*10000000+", "karod"}};
    for (const auto& w : words) s += std::string("<Digit value='") + w[0] + "' words='" + w[1] + "'/>";
    s += "</DigitData><ExactMatch>" + rule("नमक", "", "EXACT", 10) +
         // An exact entry without phones (white space before PhonemList) goes through the rules.
         "<Rule match='कम' rank=''> <PhonemList><Phonem phoneString='NEVER' Duration='1'/></PhonemList></Rule>"
         "</ExactMatch><Available_Characters>"
         // Word-final consonants lose their inherent vowel; a consonant with a matra
         // is said as the bare consonant, its matra by the dependent rules.
         "<Character glyph='क' type='C'><Priority no='1'>" + rule("AकE", "", "k", 60) + rule("SकME", "", "k", 61) +
         "</Priority><Priority no='2'>" + rule("AकMम", "", "k", 62) + "</Priority></Character>"
         "<Character glyph='म' type='C'><Priority no='1'>" + rule("AमE", "", "m", 60) + "</Priority></Character>"
         "<Character glyph='ि' type='M'><Priority no='1'>" + rule("SCिE", "", "I1", 71) +
         "</Priority><Priority no='3'>" + rule("Cिम", "", "I3", 73) + "</Priority></Character>"
         // Ranks 1, 3, 2: the rank-3 rule wins. Ranks 1, 3, 3: the second rank-3
         // rule (in candidate order) wins. Ranks 2, 3, 2 and 2, 2: the file is at fault.
         "<Character glyph='त' type='C'><Priority no='1'>" + rule("CतA", "1", "t1", 51) + rule("AतC", "3", "t3", 53) +
         rule("AतA", "2", "t2", 52) + "</Priority></Character><Character glyph='न' type='C'><Priority no='1'>" +
         rule("CनA", "1", "n1", 51) + rule("AनC", "3", "n3a", 53) + rule("AनA", "3", "n3b", 54) +
         "</Priority></Character><Character glyph='र' type='C'><Priority no='1'>" + rule("CरA", "2", "r", 50) +
         rule("AरC", "3", "r", 50) + rule("AरA", "2", "r", 50) +
         "</Priority></Character><Character glyph='स' type='C'><Priority no='1'>" + rule("CसA", "2", "s", 50) +
         rule("AसC", "2", "s", 50) + "</Priority></Character></Available_Characters>";
    return s + "<SentenceTypes><Sentence name='Declarative' pause='300'><Description>Statement</Description>"
               "<IdentifierList><Identifier rank='1'>।</Identifier><Identifier rank='2'>.</Identifier></IdentifierList>"
               "<PitchPattern>180 170 160</PitchPattern><ClauseTypes><Clause name='Comma' pause='100'>"
               "<IdentifierList><Identifier rank='1'>,</Identifier></IdentifierList><PitchPattern>140 130</PitchPattern>"
               "</Clause></ClauseTypes></Sentence><Sentence name='Question' pause='400'><Description>Question"
               "</Description><IdentifierList><Identifier rank='1'>?</Identifier></IdentifierList>"
               "<PitchPattern>220 230</PitchPattern><ClauseTypes/></Sentence></SentenceTypes></Rule_Base>";
}

} // namespace vorsan::testfiles
