#include "MarathiEvidence.h"

#include <unordered_map>

namespace vorsan {

namespace {

// Frequent word forms of one language that the other does not write: +1 for
// Marathi, -1 for Hindi. Words both languages use alike (तो, ही, या, आता,
// होते, होता, होती, करते, का ...) tell nothing and are left out.
const std::unordered_map<std::u16string_view, int>& wordForms() {
    static const std::unordered_map<std::u16string_view, int> forms = [] {
        std::unordered_map<std::u16string_view, int> m;
        for (std::u16string_view w :
             {u"आहे", u"आहेत", u"आहोत", u"आहेस", u"आहात", u"नाही", u"नाहीत", u"नाहीस", u"आणि", u"मी", u"आम्ही",
              u"तुम्ही", u"आपण", u"माझा", u"माझी", u"माझे", u"माझ्या", u"माझ्याकडे", u"तुझा", u"तुझी", u"तुझे",
              u"तुझ्या", u"त्याचा", u"त्याची", u"त्याचे", u"त्याच्या", u"तिचा", u"तिची", u"तिचे", u"तिच्या",
              u"त्यांचा", u"त्यांची", u"त्यांचे", u"त्यांच्या", u"त्याला", u"तिला", u"त्यांना", u"मला", u"तुला",
              u"आम्हाला", u"तुम्हाला", u"त्याने", u"तिने", u"त्यांनी", u"हे", u"ती", u"ते", u"मध्ये", u"येथे",
              u"तेथे", u"इथे", u"तिथे", u"काय", u"कसे", u"कसा", u"कशी", u"कोण", u"केले", u"केली", u"केला",
              u"झाले", u"झाला", u"झाली", u"गेले", u"गेला", u"गेली", u"आले", u"आला", u"आली", u"दिले", u"दिला",
              u"घेतले", u"सांगितले", u"पाहिले", u"पाहिजे", u"पण", u"नको", u"खूप", u"करतो", u"करतात", u"असे",
              u"असा", u"अशी", u"असते", u"असतो", u"असतात", u"जातो", u"येतो", u"होईल", u"असेल", u"द्या", u"घ्या",
              u"सुद्धा", u"किंवा", u"म्हणून", u"म्हणाले", u"म्हणाला", u"म्हणजे", u"म्हणतात", u"ह्या", u"घरी",
              u"उद्या", u"लागले", u"हवे"})
            m.emplace(w, 1);
        for (std::u16string_view w :
             {u"है", u"हैं", u"था", u"थी", u"थे", u"हूँ", u"हूं", u"की", u"के", u"में", u"और", u"नहीं", u"से",
              u"को", u"यह", u"वह", u"ये", u"वो", u"रहा", u"रही", u"रहे", u"गया", u"गई", u"गए", u"गयी", u"कि",
              u"भी", u"लिए", u"साथ", u"अपने", u"अपना", u"अपनी", u"उसके", u"उसकी", u"उसका", u"इस", u"उस",
              u"इसके", u"उनके", u"उनका", u"उनकी", u"मैं", u"मुझे", u"हम", u"तुम", u"आप", u"क्या", u"किया",
              u"करना", u"करता", u"करती", u"जाता", u"जाती", u"जाते", u"सकता", u"सकती",
              u"सकते", u"पर", u"लेकिन", u"बहुत", u"अब", u"जब", u"तब", u"कब", u"यहाँ", u"वहाँ", u"कहाँ"})
            m.emplace(w, -1);
        return m;
    }();
    return forms;
}

// Endings of Marathi's possessive and plural dative forms (घराच्या,
// मुलांचा, लोकांना), which Hindi words do not have.
constexpr std::u16string_view kMarathiEndings[] = {u"च्या", u"च्यां", u"ांचा", u"ांची", u"ांचे", u"ांना"};

bool isWordCharacter(char16_t c) {
    // Devanagari letters and signs (not the dandas or digits), and the
    // joiners written inside words.
    return (c >= 0x0900 && c <= 0x0963) || (c >= 0x0970 && c <= 0x097F) || c == 0x200C || c == 0x200D;
}

int formEvidence(std::u16string_view word) {
    auto it = wordForms().find(word);
    if (it != wordForms().end()) return it->second;
    // ळ and the eyelash ऱ are Marathi letters.
    if (word.find_first_of(u"\u0933\u0931") != std::u16string_view::npos) return 1;
    for (std::u16string_view e : kMarathiEndings)
        if (word.size() > e.size() && word.ends_with(e)) return 1;
    return 0;
}

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == 0x00A0; }

} // namespace

int marathiEvidence(std::u16string_view text, const LanguageRuleBase* marathi, const LanguageRuleBase* hindi) {
    int score = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && !isWordCharacter(text[i])) ++i;
        const std::size_t b = i;
        while (i < text.size() && isWordCharacter(text[i])) ++i;
        if (i == b) continue;
        const std::u16string_view word = text.substr(b, i - b);
        // A known form or letter weighs as much as two listed words: the
        // lists are long and each lacks words the other language also uses.
        if (const int form = formEvidence(word)) score += 2 * form;
        else if (marathi && marathi->isOwnWord(word)) score += 1;
        else if (hindi && hindi->isOwnWord(word)) score -= 1;
    }
    return score;
}

std::size_t sentenceEnd(std::u16string_view text, std::size_t from) {
    for (std::size_t i = from; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\n') return i + 1;
        if (c != u'.' && c != u'?' && c != u'!' && c != 0x0964 && c != 0x0965) continue;
        const bool last = i + 1 == text.size();
        if (last || isBlank(text[i + 1])) return i + 1;
        // a mark followed by a closing quote or bracket still ends the sentence
        if (text[i + 1] == u'"' || text[i + 1] == u')' || text[i + 1] == 0x201D || text[i + 1] == 0x2019) return i + 2;
    }
    return text.size();
}

} // namespace vorsan
