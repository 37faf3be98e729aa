// Normalisation of a run of a rule-based language: the walk through the
// text, the output with where each character came from, the language's
// words, and the reading of numerals and signs. The forms (money, times,
// dates, phone numbers, ordinals, numbers with what follows them) are in
// IndianForms.cpp.
#include "IndianReader.h"

#include <algorithm>
#include <utility>

#include "vorsan/core/Text.h"
#include "vorsan/normalise/Normalise.h"

namespace vorsan {

namespace {

// A currency sign of one character outside ASCII (₹, €, £, ¥).
bool isCurrencySymbol(char16_t c) {
    for (const normalise::CurrencySign& s : normalise::kCurrencySigns)
        if (s.sign.size() == 1 && s.sign[0] == c) return true;
    return false;
}

// True when nothing in the text needs normalising: no digit, no currency
// symbol, no typographic character, no point after a letter of the script
// (which may end an abbreviation).
bool nothingToDo(std::u16string_view text, const LanguageRuleBase& language) {
    const DigitMap* map = language.digitMap();
    char16_t before = 0;
    for (char16_t c : text) {
        const char16_t previous = std::exchange(before, c);
        if (c < 0x80) {
            if ((c >= u'0' && c <= u'9') || c == u'$' || (c == u'.' && previous >= 0x80)) return false;
            continue;
        }
        if (!normalise::asciiOf(c).empty() || isCurrencySymbol(c)) return false;
        if (map && std::find(map->begin(), map->end(), c) != map->end()) return false;
    }
    return true;
}

} // namespace

IndianReader::IndianReader(std::u16string_view text, const LanguageRuleBase& language,
                           std::vector<std::size_t>* origin)
    : words_(language.digitWords()), origin_(origin) {
    if (const DigitMap* map = language.digitMap()) map_ = *map;
    if (const LanguageInfo* info = language.language()) {
        first_ = static_cast<char16_t>(info->unicodeStart);
        last_ = static_cast<char16_t>(info->unicodeEnd);
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::u16string_view ascii = normalise::asciiOf(text[i]);
        t_ += ascii.empty() ? text.substr(i, 1) : ascii;
        tOrigin_.insert(tOrigin_.end(), ascii.empty() ? 1 : ascii.size(), i);
    }
    tOrigin_.push_back(text.size());
    if (words_) collectEntries();
}

std::u16string IndianReader::run() {
    const std::size_t n = t_.size();
    std::size_t i = 0;
    while (i < n) {
        const char16_t c = t_[i];
        if (digitAt(i) >= 0) {
            i = number(i, i, false);
        } else if (c == u'-' && digitAt(i + 1) >= 0 && (i == 0 || t_[i - 1] == u' ' || t_[i - 1] == u'(') &&
                   entry("@-")) {
            i = number(i + 1, i, true);
        } else if (c == u'+' && digitAt(i + 1) >= 0 && phone(i + 1, i, true)) {
            i = end_;
        } else if (const std::u16string* full = abbreviationAt(i)) {
            emitWords(*full, i);
            i = end_;
        } else if (std::size_t len = 0; !(i > 0 && isLetter(i - 1)) && currencyAt(i, len)) {
            std::size_t k = i + len;
            if (k < n && t_[k] == u' ') ++k;
            if (digitAt(k) >= 0) {
                const std::string code = code_;
                const Numeral a = readNumeral(k);
                emitWords(money(a, code, {}), i);
                i = a.end;
            } else {
                i = copy(i, i + len);
            }
        } else if (isAsciiLetter(c)) {
            i = latinWord(i);
        } else {
            i = copy(i, i + 1);
        }
    }
    if (origin_) origin_->push_back(tOrigin_.back());
    return std::move(out_);
}

void IndianReader::collectEntries() {
    for (auto it = words_->words.lower_bound("@"); it != words_->words.end() && it->first[0] == '@'; ++it) {
        const std::string& key = it->first;
        if (key.size() > 6 && key.starts_with("@unit:"))
            units_.emplace_back(utf8ToUtf16(key.substr(6)), &it->second);
        else if (key.size() > 7 && key.starts_with("@alias:"))
            aliases_.emplace_back(utf8ToUtf16(key.substr(7)), utf16ToUtf8(it->second));
        else if (key.size() > 6 && key.starts_with("@abbr:"))
            abbreviations_.emplace_back(utf8ToUtf16(key.substr(6)), &it->second);
    }
    // Longest first, so that "km/h" wins over "km" and "°C" over "°".
    auto longer = [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); };
    std::stable_sort(units_.begin(), units_.end(), longer);
    std::stable_sort(aliases_.begin(), aliases_.end(), longer);
    std::stable_sort(abbreviations_.begin(), abbreviations_.end(), longer);
    if (const auto* list = entry("@ord")) ordinalSuffixes_ = split(*list);
    if (const auto* list = entry("@ordjoin")) ordinalJoins_ = split(*list);
    if (const auto* list = entry("@hour")) hourWords_ = split(*list);
    if (const auto* list = entry("@attr")) attributives_ = split(*list);
    if (const auto* list = entry("@rangejoin")) rangeJoins_ = split(*list);
}

std::vector<std::u16string> IndianReader::split(std::u16string_view s) {
    std::vector<std::u16string> out;
    std::size_t i = 0;
    while (i < s.size()) {
        const std::size_t e = std::min(s.find(u' ', i), s.size());
        if (e > i) out.emplace_back(s.substr(i, e - i));
        i = e + 1;
    }
    return out;
}

const std::u16string* IndianReader::entry(std::string_view key) const {
    if (!words_) return nullptr;
    auto it = words_->words.find(key);
    return it == words_->words.end() ? nullptr : &it->second;
}

int IndianReader::digitAt(std::size_t j) const {
    if (j >= t_.size()) return -1;
    const char16_t c = t_[j];
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c < 0x80) return -1;
    for (int k = 0; k < 10; ++k)
        if (map_[static_cast<std::size_t>(k)] == c && c != 0) return k;
    return -1;
}

// A letter of a word: ASCII, or the script's own (not its digits or dandas).
bool IndianReader::isLetter(std::size_t j) const {
    if (j >= t_.size()) return false;
    const char16_t c = t_[j];
    if (isAsciiLetter(c)) return true;
    return c >= first_ && c <= last_ && c != 0x0964 && c != 0x0965 && digitAt(j) < 0;
}

std::size_t IndianReader::copy(std::size_t from, std::size_t to) {
    for (std::size_t j = from; j < to; ++j) {
        out_.push_back(t_[j]);
        if (origin_) origin_->push_back(tOrigin_[j]);
    }
    return to;
}

// Words standing for the input from `at` on, set apart by spaces.
void IndianReader::emitWords(std::u16string_view s, std::size_t at) {
    if (s.empty()) return;
    const std::size_t before = out_.size();
    if (!out_.empty() && out_.back() != u' ') out_.push_back(u' ');
    out_ += s;
    out_.push_back(u' ');
    if (origin_) origin_->insert(origin_->end(), out_.size() - before, tOrigin_[at]);
}

std::u16string IndianReader::say(const std::string& digits) const {
    if (!words_) return toU16(digits);
    std::u16string w = words_->numberToWords(digits);
    if (!w.empty() && w[0] == u' ') w.erase(0, 1);
    return w.empty() ? toU16(digits) : w;
}

std::u16string IndianReader::digitByDigit(std::string_view digits) const {
    std::u16string out;
    for (char d : digits) {
        if (!out.empty()) out.push_back(u' ');
        out += say(std::string(1, d));
    }
    return out;
}

std::u16string IndianReader::cardinal(const Numeral& a) const {
    std::u16string out = say(a.whole);
    if (a.point) {
        out += u' ' + *entry(".") + u' ' + digitByDigit(a.fraction);
    }
    return out;
}

// A template's {name} places filled; a template without {n} follows n.
std::u16string IndianReader::fill(const std::u16string& tmpl,
                                  std::initializer_list<std::pair<std::u16string_view, std::u16string_view>> values) {
    if (values.size() == 1 && values.begin()->first == u"n" && tmpl.find(u"{n}") == std::u16string::npos)
        return std::u16string(values.begin()->second) + u' ' + tmpl;
    std::u16string out = tmpl;
    for (const auto& [name, value] : values) {
        const std::u16string place = u"{" + std::u16string(name) + u"}";
        for (std::size_t p = out.find(place); p != std::u16string::npos; p = out.find(place, p + value.size()))
            out.replace(p, place.size(), value);
    }
    return out;
}

bool IndianReader::yearLike(const Numeral& a) const {
    return a.plain() && a.whole.size() == 4 && a.whole >= "1100" && a.whole <= "1999" && entry("@year");
}

// A year 1100-1999 as the language says it (nineteen hundred forty-seven).
std::u16string IndianReader::year(const std::string& digits) const {
    const std::string hi = digits.substr(0, 2), lo = digits.substr(2);
    const std::u16string* century = entry("@year:" + hi);
    std::u16string out = century ? *century : fill(*entry("@year"), {{u"hi", say(hi)}});
    if (lo != "00") out += u' ' + say(lo);
    return out;
}

Numeral IndianReader::readNumeral(std::size_t i) const {
    Numeral a;
    std::size_t j = i;
    for (;;) {
        for (int d; (d = digitAt(j)) >= 0; ++j) a.whole.push_back(static_cast<char>('0' + d));
        // A comma before a group of two or three digits that ends the
        // number groups digits (1,00,000 and 100,000); any other is text.
        if (j < t_.size() && t_[j] == u',') {
            std::size_t k = j + 1;
            while (digitAt(k) >= 0 && k - j <= 4) ++k;
            const std::size_t group = k - j - 1;
            if ((group == 2 || group == 3) && digitAt(k) < 0) {
                a.grouped = true;
                ++j;
                continue;
            }
        }
        break;
    }
    if (j + 1 < t_.size() && t_[j] == u'.' && digitAt(j + 1) >= 0 && entry(".")) {
        a.point = true;
        for (++j; digitAt(j) >= 0; ++j) a.fraction.push_back(static_cast<char>('0' + digitAt(j)));
    }
    a.end = j;
    return a;
}

std::string IndianReader::digitsAt(std::size_t j, std::size_t& end) const {
    std::string s;
    for (int d; (d = digitAt(j)) >= 0; ++j) s.push_back(static_cast<char>('0' + d));
    end = j;
    return s;
}

// A currency sign at j, of the shared list or of the language's own
// ("@alias:" entries), whose currency the language names: sets code_
// and len.
bool IndianReader::currencyAt(std::size_t j, std::size_t& len) {
    code_.clear();
    if (j >= t_.size() || !mayStartCurrency(t_[j])) return false;
    if (const normalise::CurrencySign* sign = listedSignAt(j)) {
        code_ = sign->code;
        len = sign->sign.size();
    } else {
        for (const auto& [text, name] : aliases_)
            if (textAt(j, text) && !(text.back() != u'.' && isLetter(j + text.size()))) {
                code_ = name;
                len = text.size();
                break;
            }
        if (code_.empty()) return false;
    }
    if (entry("@cur:" + code_)) return true;
    code_.clear();
    return false;
}

// The longest sign of the shared list at j; a code of letters only as a
// word of its own ("INR", not the start of "INRI").
const normalise::CurrencySign* IndianReader::listedSignAt(std::size_t j) const {
    const normalise::CurrencySign* best = nullptr;
    for (const normalise::CurrencySign& s : normalise::kCurrencySigns) {
        const std::size_t after = j + s.sign.size();
        if (!textAt(j, s.sign) || (isAsciiLetter(s.sign[0]) && after < t_.size() && isAsciiLetter(t_[after])))
            continue;
        if (!best || s.sign.size() > best->sign.size()) best = &s;
    }
    return best;
}

bool IndianReader::mayStartCurrency(char16_t c) const {
    for (const normalise::CurrencySign& s : normalise::kCurrencySigns)
        if (s.sign[0] == c) return true;
    for (const auto& alias : aliases_)
        if (alias.first[0] == c) return true;
    return false;
}

// An abbreviation written as a word of its own (डॉ. for doctor): its
// full form, with end_ after it. Its point is not a sentence end.
const std::u16string* IndianReader::abbreviationAt(std::size_t j) {
    if (abbreviations_.empty() || (j > 0 && isLetter(j - 1))) return nullptr;
    for (const auto& [text, full] : abbreviations_)
        if (text[0] == t_[j] && textAt(j, text) && !isLetter(j + text.size())) {
            end_ = j + text.size();
            return full;
        }
    return nullptr;
}

const std::u16string* IndianReader::unitAt(std::size_t j, std::size_t& len) const {
    for (const auto& [text, name] : units_)
        if (textAt(j, text) && !isLetter(j + text.size())) {
            len = text.size();
            return name;
        }
    return nullptr;
}

std::u16string normaliseText(std::u16string_view text, const LanguageRuleBase& language,
                             std::vector<std::size_t>* origin) {
    if (nothingToDo(text, language)) {
        if (origin)
            for (std::size_t i = 0; i <= text.size(); ++i) origin->push_back(i);
        return std::u16string(text);
    }
    return IndianReader(text, language, origin).run();
}

} // namespace vorsan
