#include "vorsan/normalise/Normalise.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <utility>

#include "Common.h"
#include "vorsan/core/Text.h"

namespace vorsan {

namespace {

// A currency sign of one character outside ASCII (₹, €, £, ¥).
bool isCurrencySymbol(char16_t c) {
    for (const normalise::CurrencySign& s : normalise::kCurrencySigns)
        if (s.sign.size() == 1 && s.sign[0] == c) return true;
    return false;
}

bool isAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// A number as written: its integer digits (grouping commas dropped) and the
// digits after a decimal point.
struct Numeral {
    std::string whole, fraction;
    std::size_t end = 0;
    bool grouped = false, point = false;
    bool plain() const { return !grouped && !point; }
};

std::string withoutLeadingZeros(const std::string& digits) {
    const std::size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? std::string() : digits.substr(first);
}

class Normaliser {
public:
    Normaliser(std::u16string_view text, const LanguageRuleBase& language, std::vector<std::size_t>* origin)
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

    std::u16string run() {
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

private:
    void collectEntries() {
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

    static std::vector<std::u16string> split(std::u16string_view s) {
        std::vector<std::u16string> out;
        std::size_t i = 0;
        while (i < s.size()) {
            const std::size_t e = std::min(s.find(u' ', i), s.size());
            if (e > i) out.emplace_back(s.substr(i, e - i));
            i = e + 1;
        }
        return out;
    }

    const std::u16string* entry(std::string_view key) const {
        if (!words_) return nullptr;
        auto it = words_->words.find(key);
        return it == words_->words.end() ? nullptr : &it->second;
    }

    int digitAt(std::size_t j) const {
        if (j >= t_.size()) return -1;
        const char16_t c = t_[j];
        if (c >= u'0' && c <= u'9') return c - u'0';
        if (c < 0x80) return -1;
        for (int k = 0; k < 10; ++k)
            if (map_[static_cast<std::size_t>(k)] == c && c != 0) return k;
        return -1;
    }

    // A letter of a word: ASCII, or the script's own (not its digits or dandas).
    bool isLetter(std::size_t j) const {
        if (j >= t_.size()) return false;
        const char16_t c = t_[j];
        if (isAsciiLetter(c)) return true;
        return c >= first_ && c <= last_ && c != 0x0964 && c != 0x0965 && digitAt(j) < 0;
    }

    bool textAt(std::size_t j, std::u16string_view s) const { return t_.compare(j, s.size(), s) == 0; }

    // --- output ----------------------------------------------------------
    std::size_t copy(std::size_t from, std::size_t to) {
        for (std::size_t j = from; j < to; ++j) {
            out_.push_back(t_[j]);
            if (origin_) origin_->push_back(tOrigin_[j]);
        }
        return to;
    }

    // Words standing for the input from `at` on, set apart by spaces.
    void emitWords(std::u16string_view s, std::size_t at) {
        if (s.empty()) return;
        const std::size_t before = out_.size();
        if (!out_.empty() && out_.back() != u' ') out_.push_back(u' ');
        out_ += s;
        out_.push_back(u' ');
        if (origin_) origin_->insert(origin_->end(), out_.size() - before, tOrigin_[at]);
    }

    // --- words -------------------------------------------------------------
    std::u16string say(const std::string& digits) const {
        if (!words_) return toU16(digits);
        std::u16string w = words_->numberToWords(digits);
        if (!w.empty() && w[0] == u' ') w.erase(0, 1);
        return w.empty() ? toU16(digits) : w;
    }

    std::u16string digitByDigit(std::string_view digits) const {
        std::u16string out;
        for (char d : digits) {
            if (!out.empty()) out.push_back(u' ');
            out += say(std::string(1, d));
        }
        return out;
    }

    std::u16string cardinal(const Numeral& a) const {
        std::u16string out = say(a.whole);
        if (a.point) {
            out += u' ' + *entry(".") + u' ' + digitByDigit(a.fraction);
        }
        return out;
    }

    // A template's {name} places filled; a template without {n} follows n.
    static std::u16string fill(const std::u16string& tmpl,
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

    bool yearLike(const Numeral& a) const {
        return a.plain() && a.whole.size() == 4 && a.whole >= "1100" && a.whole <= "1999" && entry("@year");
    }

    // A year 1100-1999 as the language says it (nineteen hundred forty-seven).
    std::u16string year(const std::string& digits) const {
        const std::string hi = digits.substr(0, 2), lo = digits.substr(2);
        const std::u16string* century = entry("@year:" + hi);
        std::u16string out = century ? *century : fill(*entry("@year"), {{u"hi", say(hi)}});
        if (lo != "00") out += u' ' + say(lo);
        return out;
    }

    std::u16string yearOrCardinal(const Numeral& a) const { return yearLike(a) ? year(a.whole) : cardinal(a); }

    // --- reading -------------------------------------------------------------
    Numeral readNumeral(std::size_t i) const {
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

    std::string digitsAt(std::size_t j, std::size_t& end) const {
        std::string s;
        for (int d; (d = digitAt(j)) >= 0; ++j) s.push_back(static_cast<char>('0' + d));
        end = j;
        return s;
    }

    // A currency sign at j, of the shared list or of the language's own
    // ("@alias:" entries), whose currency the language names: sets code_
    // and len.
    bool currencyAt(std::size_t j, std::size_t& len) {
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
    const normalise::CurrencySign* listedSignAt(std::size_t j) const {
        const normalise::CurrencySign* best = nullptr;
        for (const normalise::CurrencySign& s : normalise::kCurrencySigns) {
            const std::size_t after = j + s.sign.size();
            if (!textAt(j, s.sign) || (isAsciiLetter(s.sign[0]) && after < t_.size() && isAsciiLetter(t_[after])))
                continue;
            if (!best || s.sign.size() > best->sign.size()) best = &s;
        }
        return best;
    }

    bool mayStartCurrency(char16_t c) const {
        for (const normalise::CurrencySign& s : normalise::kCurrencySigns)
            if (s.sign[0] == c) return true;
        for (const auto& alias : aliases_)
            if (alias.first[0] == c) return true;
        return false;
    }

    // An abbreviation written as a word of its own (डॉ. for doctor): its
    // full form, with end_ after it. Its point is not a sentence end.
    const std::u16string* abbreviationAt(std::size_t j) {
        if (abbreviations_.empty() || (j > 0 && isLetter(j - 1))) return nullptr;
        for (const auto& [text, full] : abbreviations_)
            if (text[0] == t_[j] && textAt(j, text) && !isLetter(j + text.size())) {
                end_ = j + text.size();
                return full;
            }
        return nullptr;
    }

    const std::u16string* unitAt(std::size_t j, std::size_t& len) const {
        for (const auto& [text, name] : units_)
            if (textAt(j, text) && !isLetter(j + text.size())) {
                len = text.size();
                return name;
            }
        return nullptr;
    }

    // --- the forms -----------------------------------------------------------
    std::u16string money(const Numeral& a, const std::string& code, std::u16string_view range) const {
        const std::string key = "@cur:" + code;
        const std::u16string& name = *entry(key);
        if (!range.empty()) return attributive(std::u16string(range)) + u' ' + name;
        if (a.fraction.size() > 2) return attributive(cardinal(a)) + u' ' + name;
        const std::string major = withoutLeadingZeros(a.whole);
        const std::string minor = withoutLeadingZeros((a.fraction + "00").substr(0, 2));
        auto amount = [&](const std::string& value, const std::string& k) {
            const std::u16string* one = entry(k + ":1");
            if (value == "1" && one) return *one;
            const std::u16string* unit = entry(k);
            return attributive(say(value)) + u' ' + (unit ? *unit : name);
        };
        std::u16string out;
        if (!major.empty() || minor.empty()) out = amount(major.empty() ? "0" : major, key);
        if (!minor.empty() && entry(key + ".minor")) {
            if (!out.empty()) out.push_back(u' ');
            out += amount(minor, key + ".minor");
        } else if (!minor.empty()) {
            out = attributive(cardinal(a)) + u' ' + name;
        }
        return out;
    }

    // A time h:mm (or h.mm before an hour word); true when one was read.
    bool time(std::size_t i, std::size_t at) {
        std::size_t e = 0;
        const std::string h = digitsAt(i, e);
        if (h.empty() || h.size() > 2 || e >= t_.size() || (t_[e] != u':' && t_[e] != u'.')) return false;
        std::size_t me = 0;
        const std::string m = digitsAt(e + 1, me);
        if (m.size() != 2 || std::stoi(h) > 24 || std::stoi(m) > 59 || !entry("@time")) return false;
        std::size_t k = me < t_.size() && t_[me] == u' ' ? me + 1 : me;
        bool hourWord = false;
        for (const auto& w : hourWords_)
            if (textAt(k, w) && !isLetter(k + w.size())) {
                hourWord = true;
                k += w.size();
                break;
            }
        if (t_[e] == u'.' && !hourWord) return false; // 10.30 is a decimal unless an hour word follows
        const std::u16string* full = entry("@time:00");
        emitWords(m == "00" && full ? fill(*full, {{u"h", say(h)}})
                                    : fill(*entry("@time"), {{u"h", say(h)}, {u"m", say(m)}}),
                  at);
        end_ = hourWord ? k : me;
        return true;
    }

    // A date d/m/y, d-m-y or d.m.y; true when one was read.
    bool date(std::size_t i, std::size_t at) {
        std::size_t e1 = 0, e2 = 0, e3 = 0;
        const std::string d = digitsAt(i, e1);
        if (d.size() > 2 || e1 >= t_.size()) return false;
        const char16_t sep = t_[e1];
        if (sep != u'/' && sep != u'-' && sep != u'.') return false;
        const std::string m = digitsAt(e1 + 1, e2);
        if (m.empty() || m.size() > 2 || e2 >= t_.size() || t_[e2] != sep) return false;
        const std::string y = digitsAt(e2 + 1, e3);
        if (y.size() != 4 && y.size() != 2) return false;
        const int day = std::stoi(d), month = std::stoi(m);
        const std::u16string* name = entry("@month:" + std::to_string(month));
        if (day < 1 || day > 31 || month < 1 || month > 12 || !name) return false;
        Numeral year;
        year.whole = y;
        emitWords(say(d) + u' ' + *name + u' ' + yearOrCardinal(year), at);
        end_ = e3;
        return true;
    }

    // Digits read one by one, groups as written; true when the digits at i
    // are a phone number.
    bool phone(std::size_t i, std::size_t at, bool plus) {
        std::vector<std::string> groups;
        std::vector<char16_t> seps;
        std::size_t j = i, e = 0;
        groups.push_back(digitsAt(j, e));
        while (e + 1 < t_.size() && (t_[e] == u' ' || t_[e] == u'-') && digitAt(e + 1) >= 0) {
            seps.push_back(t_[e]);
            j = e + 1;
            groups.push_back(digitsAt(j, e));
        }
        std::size_t count = groups.size(); // the groups that belong to the number
        const std::string& g0 = groups[0];
        std::size_t hyphenated = 1;
        while (hyphenated < groups.size() && seps[hyphenated - 1] == u'-') ++hyphenated;
        if (plus || (g0.size() >= 2 && g0[0] == '0')) {
        } else if (g0.size() == 10 && g0[0] >= '6' && count == 1) {
        } else if (count >= 2 && seps[0] == u' ' && g0.size() == 5 && groups[1].size() == 5) {
            count = 2;
        } else if (hyphenated >= 2 && (groups[1][0] == '0' || hyphenated >= 3 || groups[1].size() >= 5)) {
            count = hyphenated;
        } else {
            return false;
        }
        std::u16string out;
        if (plus)
            if (const auto* w = entry("@+")) out = *w;
        std::size_t end = i;
        for (std::size_t g = 0; g < count; ++g) {
            if (!out.empty()) out += g == 0 ? u" " : u", ";
            out += digitByDigit(groups[g]);
            end += groups[g].size() + (g + 1 < count ? 1 : 0);
        }
        emitWords(out, at);
        end_ = end;
        return true;
    }

    // The last word's sign or word `x` replaced by `y`, for the first "x=y"
    // of the list that applies.
    static void replaceEnding(std::u16string& w, const std::vector<std::u16string>& pairs) {
        for (const auto& pair : pairs) {
            const std::size_t eq = pair.find(u'=');
            if (eq == std::u16string::npos || eq == 0) continue;
            const std::u16string_view from = std::u16string_view(pair).substr(0, eq);
            if (w.ends_with(from)) {
                w.replace(w.size() - from.size(), from.size(), pair.substr(eq + 1));
                return;
            }
        }
    }

    // A number's words as they stand before a noun (a currency or a unit).
    std::u16string attributive(std::u16string w) const {
        replaceEnding(w, attributives_);
        return w;
    }

    // An ordinal: digits with the language's ordinal ending written after them.
    bool ordinal(const Numeral& a, std::size_t j, std::size_t at) {
        std::size_t e = j;
        while (isLetter(e)) ++e;
        const std::u16string suffix = t_.substr(j, e - j);
        const std::string value = withoutLeadingZeros(a.whole);
        if (const auto* irregular = entry("@ord:" + value + utf16ToUtf8(suffix))) {
            emitWords(*irregular, at);
        } else if (std::find(ordinalSuffixes_.begin(), ordinalSuffixes_.end(), suffix) != ordinalSuffixes_.end()) {
            std::u16string w = say(a.whole);
            replaceEnding(w, ordinalJoins_);
            emitWords(w + suffix, at);
        } else {
            return false;
        }
        end_ = e;
        return true;
    }

    // A number at i (after a minus sign when `negative`), with what it
    // means told by what surrounds it. Returns where reading goes on.
    std::size_t number(std::size_t i, std::size_t at, bool negative) {
        if (!words_) return copy(at, i + 1);
        if (!negative && (date(i, at) || time(i, at) || phone(i, at, false))) return end_;
        const Numeral a = readNumeral(i);
        std::size_t j = a.end;
        std::u16string spoken;
        bool range = false;
        if (a.plain() && a.whole.size() <= 4 && j + 1 < t_.size() && t_[j] == u'-' && digitAt(j + 1) >= 0 &&
            entry("@range")) {
            const Numeral b = readNumeral(j + 1);
            if (b.whole.size() <= 4 && b.whole[0] != '0') {
                std::u16string from = yearOrCardinal(a);
                replaceEnding(from, rangeJoins_);
                spoken = fill(*entry("@range"), {{u"a", from}, {u"b", yearOrCardinal(b)}});
                range = true;
                j = b.end;
            }
        }
        if (!range) spoken = negative || !yearLike(a) ? cardinal(a) : std::u16string();
        if (negative) spoken = fill(*entry("@-"), {{u"n", spoken}});

        // What follows the number, directly or after one space.
        std::size_t k = j < t_.size() && t_[j] == u' ' ? j + 1 : j;
        std::size_t len = 0;
        if (!negative && currencyAt(k, len)) {
            emitWords(money(a, code_, range ? spoken : std::u16string()), at);
            code_.clear();
            return k + len;
        }
        if (k < t_.size() && t_[k] == u'%' && entry("@%")) {
            emitWords(fill(*entry("@%"), {{u"n", attributive(spoken.empty() ? cardinal(a) : spoken)}}), at);
            return k + 1;
        }
        if (const std::u16string* unit = unitAt(k, len)) {
            emitWords(fill(*unit, {{u"n", attributive(spoken.empty() ? cardinal(a) : spoken)}}), at);
            return k + len;
        }
        if (!range && !negative && a.plain() && isLetter(j) && !isAsciiLetter(t_[j]) && ordinal(a, j, at)) return end_;
        emitWords(spoken.empty() ? year(a.whole) : spoken, at);
        return j;
    }

    // A Latin word: a currency code before an amount, a month name in a
    // date, or text left as it is.
    std::size_t latinWord(std::size_t i) {
        std::size_t e = i;
        while (e < t_.size() && isAsciiLetter(t_[e])) ++e;
        std::u16string lower = t_.substr(i, e - i);
        for (char16_t& c : lower)
            if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
        if (const int month = normalise::monthNumber(std::string(lower.begin(), lower.end()))) {
            const std::u16string* name = entry("@month:" + std::to_string(month));
            std::size_t after = e < t_.size() && t_[e] == u'.' && lower.size() <= 4 ? e + 1 : e;
            const bool dayAfter = after + 1 < t_.size() && t_[after] == u' ' && digitAt(after + 1) >= 0;
            const bool dayBefore = i >= 2 && t_[i - 1] == u' ' && digitAt(i - 2) >= 0;
            if (name && (dayAfter || dayBefore)) {
                emitWords(*name, i);
                return after;
            }
        }
        return copy(i, e);
    }

    const DigitWords* words_;
    std::vector<std::size_t>* origin_;
    DigitMap map_{};
    char16_t first_ = 0, last_ = 0;
    std::u16string t_;
    std::vector<std::size_t> tOrigin_;
    std::u16string out_;
    std::vector<std::pair<std::u16string, const std::u16string*>> units_;
    std::vector<std::pair<std::u16string, std::string>> aliases_;
    std::vector<std::pair<std::u16string, const std::u16string*>> abbreviations_;
    std::vector<std::u16string> ordinalSuffixes_, ordinalJoins_, hourWords_, attributives_, rangeJoins_;
    std::string code_;   // the currency currencyAt found
    std::size_t end_ = 0; // where the last form read ended
};

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

std::u16string normaliseText(std::u16string_view text, const LanguageRuleBase& language,
                             std::vector<std::size_t>* origin) {
    if (nothingToDo(text, language)) {
        if (origin)
            for (std::size_t i = 0; i <= text.size(); ++i) origin->push_back(i);
        return std::u16string(text);
    }
    return Normaliser(text, language, origin).run();
}

} // namespace vorsan
