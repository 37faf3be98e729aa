#pragma once
// A Devanagari rule file of realistic size (every vowel, consonant, matra,
// sign and digit; several hundred context rules at priorities 1-3; exact
// matches; number words; three sentence types) and realistic words and text
// for the language and prosody benchmarks.
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "vorsan/core/Text.h"

namespace vorsan::benchdata {

inline std::string u8(char16_t c) { return utf16ToUtf8(std::u16string(1, c)); }

inline std::string phonemeRule(const std::string& match, int rank, const std::string& phone, int duration) {
    return "<Rule match='" + match + "' rank='" + std::to_string(rank) + "'><PhonemList><Phonem phoneString='" +
           phone + "' Duration='" + std::to_string(duration) + "'/></PhonemList></Rule>\n";
}

inline std::vector<char16_t> range(char16_t from, char16_t to) {
    std::vector<char16_t> v;
    for (char16_t c = from; c <= to; ++c) v.push_back(c);
    return v;
}

inline std::vector<char16_t> consonants() { return range(0x915, 0x939); }
inline std::vector<char16_t> vowels() { return range(0x905, 0x914); }
inline std::vector<char16_t> matras() { return range(0x93E, 0x94C); }

inline std::string ruleFileText(std::size_t* ruleCount = nullptr) {
    std::size_t rules = 0;
    std::string s = "<?xml version='1.0' encoding='UTF-8'?>\n<Rule_Base>\n<Language><LanguageName>Hindi</LanguageName>"
                    "<MbrolaDatabase>hn1</MbrolaDatabase><UnicodeStart>0900</UnicodeStart>"
                    "<UnicodeEnd>097F</UnicodeEnd><HalantBased>true</HalantBased></Language>\n<CharacterData>\n<Vowel>";
    auto character = [](char16_t c, const std::string& phones, const std::string& durations) {
        return "<Character glyph='" + u8(c) + "' isCombined='false' phonem='" + phones + "' duration='" + durations +
               "'/>\n";
    };
    int i = 0;
    for (char16_t v : vowels()) s += character(v, "v" + std::to_string(i++), "90");
    s += "</Vowel>\n<Consonent>";
    i = 0;
    for (char16_t c : consonants()) s += character(c, "c" + std::to_string(i++) + " a", "60 70");
    s += "</Consonent>\n<Matra>";
    i = 0;
    for (char16_t m : matras()) s += character(m, "m" + std::to_string(i++), "80");
    s += character(0x94D, "", "") + "</Matra>\n<Halant><Halant glyph='" + u8(0x94D) +
         "' phonem='' duration=''/></Halant>\n<Sign>" + character(0x902, "N", "40") + character(0x903, "h", "40") +
         character(0x901, "N~", "40") + "</Sign>\n<Digit>";
    for (char16_t d = 0x966; d <= 0x96F; ++d) s += character(d, "", "");
    s += "</Digit>\n</CharacterData>\n<DigitMap>";
    for (int d = 0; d < 10; ++d)
        s += "<map englishDigit='" + std::to_string(d) + "' langaugeDigit='" + u8(char16_t(0x966 + d)) + "'/>";
    s += "</DigitMap>\n<DigitData>";
    const char* words[] = {"शून्य", "एक", "दो", "तीन", "चार", "पाँच", "छह", "सात", "आठ", "नौ"};
    for (int d = 0; d < 10; ++d) s += "<Digit value='" + std::to_string(d) + "' words='" + words[d] + "'/>";
    s += "<Digit value='100' words='सौ'/><Digit value='+*100' words='सौ'/><Digit value='+*100+' words='सौ'/>"
         "<Digit value='1000' words='हज़ार'/><Digit value='+*1000' words='हज़ार'/><Digit value='+*1000+' words='हज़ार'/>"
         "</DigitData>\n<ExactMatch>\n";
    // Exact matches: two-syllable words of the first consonants.
    for (char16_t a : range(0x915, 0x91F))
        for (char16_t b : range(0x924, 0x92E)) {
            s += phonemeRule(u8(a) + u8(0x93E) + u8(b), -1, "x", 100);
            ++rules;
        }
    s += "</ExactMatch>\n<Available_Characters>\n";
    const std::string C = "C", V = "V";
    for (char16_t c : consonants()) {
        const std::string g = u8(c);
        s += "<Character glyph='" + g + "' type='C'>\n<Priority no='1'>\n";
        int rank = 0;
        for (const std::string& m : {"A" + g + "E", "S" + g + "A", "C" + g + "E", "V" + g + "E", "S" + g + "ME",
                                     "A" + g + "MA", "A" + g + "ME", "S" + g + "MA", "C" + g + "A"}) {
            s += phonemeRule(m, rank++, "c", 60);
            ++rules;
        }
        s += "</Priority>\n<Priority no='2'>\n";
        for (char16_t n : range(0x92A, 0x92E)) {
            s += phonemeRule("A" + g + u8(n), rank++, "c2", 55);
            s += phonemeRule("A" + g + "M" + u8(n), rank++, "c2", 55);
            rules += 2;
        }
        s += "</Priority>\n</Character>\n";
    }
    for (char16_t m : matras()) {
        const std::string g = u8(m);
        s += "<Character glyph='" + g + "' type='M'>\n<Priority no='1'>\n";
        int rank = 0;
        for (const std::string& p : {"AC" + g + "E", "AC" + g + "A", "SC" + g + "A", "SC" + g + "E"}) {
            s += phonemeRule(p, rank++, "m", 80);
            ++rules;
        }
        s += "</Priority>\n<Priority no='3'>\n";
        for (char16_t n : range(0x915, 0x91A)) {
            s += phonemeRule("C" + g + u8(n), rank++, "m3", 75);
            ++rules;
        }
        s += "</Priority>\n</Character>\n";
    }
    for (char16_t v : vowels()) {
        const std::string g = u8(v);
        s += "<Character glyph='" + g + "' type='V'>\n<Priority no='1'>\n";
        int rank = 0;
        for (const std::string& p : {"S" + g + "A", "S" + g + "C", "A" + g + "E", "S" + g + "E"}) {
            s += phonemeRule(p, rank++, "v", 90);
            ++rules;
        }
        s += "</Priority>\n</Character>\n";
    }
    s += "</Available_Characters>\n<SentenceTypes>\n";
    auto pattern = [](int from, int to) {
        std::string p;
        for (int k = 0; k < 500; ++k) p += (k ? " " : "") + std::to_string(from + (to - from) * k / 499);
        return p;
    };
    s += "<Sentence name='Statement' pause='300'><Description>Statement</Description><IdentifierList>"
         "<Identifier rank='1'>।</Identifier><Identifier rank='2'>.</Identifier></IdentifierList><PitchPattern>" +
         pattern(220, 150) +
         "</PitchPattern><ClauseTypes><Clause name='Comma' pause='80'><IdentifierList><Identifier rank='1'>,"
         "</Identifier></IdentifierList><PitchPattern>" + pattern(200, 180) +
         "</PitchPattern></Clause></ClauseTypes></Sentence>\n"
         "<Sentence name='Question' pause='350'><IdentifierList><Identifier rank='1'>?</Identifier></IdentifierList>"
         "<PitchPattern>" + pattern(180, 260) + "</PitchPattern></Sentence>\n"
         "<Sentence name='Exclamation' pause='350'><IdentifierList><Identifier rank='1'>!</Identifier>"
         "</IdentifierList><PitchPattern>" + pattern(260, 200) + "</PitchPattern></Sentence>\n"
         "</SentenceTypes>\n</Rule_Base>\n";
    if (ruleCount) *ruleCount = rules;
    return s;
}

// Writes the rule file into a fresh temporary folder and returns its path.
inline std::string writeRuleFile(std::size_t* ruleCount = nullptr) {
    auto dir = std::filesystem::temp_directory_path() / ("vorsan-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto path = (dir / "hindi.xml").string();
    std::ofstream(path) << ruleFileText(ruleCount);
    return path;
}

inline void removeRuleFile(const std::string& path) {
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}

// Words of one to four syllables: consonant with an optional matra, now and
// then a conjunct (consonant, halant, consonant), a word-initial vowel or a
// final anusvara.
inline std::vector<std::u16string> words(std::size_t count, unsigned seed = 42) {
    std::mt19937 rng(seed);
    const auto cs = consonants(), vs = vowels(), ms = matras();
    std::vector<std::u16string> out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::u16string w;
        if (rng() % 8 == 0) w.push_back(vs[rng() % vs.size()]);
        const int syllables = 1 + static_cast<int>(rng() % 4);
        for (int s = 0; s < syllables; ++s) {
            w.push_back(cs[rng() % cs.size()]);
            if (rng() % 7 == 0) {
                w.push_back(0x94D);
                w.push_back(cs[rng() % cs.size()]);
            }
            if (rng() % 2 == 0) w.push_back(ms[rng() % ms.size()]);
        }
        if (rng() % 10 == 0) w.push_back(0x902);
        out.push_back(std::move(w));
    }
    return out;
}

// Running text of about `chars` code units: sentences of 5-15 words with
// commas, mostly statements, some questions and exclamations.
inline std::u16string text(std::size_t chars, unsigned seed = 7) {
    const auto pool = words(4000, seed);
    std::mt19937 rng(seed);
    std::u16string t;
    t.reserve(chars + 64);
    std::size_t inSentence = 0, length = 5 + rng() % 11;
    while (t.size() < chars) {
        t += pool[rng() % pool.size()];
        if (++inSentence == length) {
            const unsigned k = rng() % 10;
            t += k < 7 ? u"। " : k < 9 ? u"? " : u"! ";
            inSentence = 0;
            length = 5 + rng() % 11;
        } else {
            t += rng() % 6 == 0 ? u", " : u" ";
        }
    }
    return t;
}

} // namespace vorsan::benchdata
