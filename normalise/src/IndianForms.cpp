// The forms a rule-based language reads: money, times, dates, phone
// numbers, ordinals, and numbers with what follows them (ranges, percent,
// units, currencies).
#include <algorithm>

#include "IndianReader.h"
#include "vorsan/core/Text.h"

namespace vorsan {

std::u16string IndianReader::money(const Numeral& a, const std::string& code, std::u16string_view range) const {
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
bool IndianReader::time(std::size_t i, std::size_t at) {
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
bool IndianReader::date(std::size_t i, std::size_t at) {
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
bool IndianReader::phone(std::size_t i, std::size_t at, bool plus) {
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
void IndianReader::replaceEnding(std::u16string& w, const std::vector<std::u16string>& pairs) {
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
std::u16string IndianReader::attributive(std::u16string w) const {
    replaceEnding(w, attributives_);
    return w;
}

// An ordinal: digits with the language's ordinal ending written after them.
bool IndianReader::ordinal(const Numeral& a, std::size_t j, std::size_t at) {
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
std::size_t IndianReader::number(std::size_t i, std::size_t at, bool negative) {
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
std::size_t IndianReader::latinWord(std::size_t i) {
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

} // namespace vorsan
