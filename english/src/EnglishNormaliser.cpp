// English normalisation: the text is cut into blank-separated tokens (with
// their opening and closing punctuation apart), and each token, looking at its
// neighbours where that decides the reading, is said as words.
#include "EnglishNormaliser.h"

#include <algorithm>

#include "NormalisationTables.h"
#include "NumberWords.h"
#include "vorsan/english/EnglishDictionary.h"

namespace vorsan {

namespace nt = normtables;

namespace {

using U16 = std::u16string_view;

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isUpper(char16_t c) { return c >= u'A' && c <= u'Z'; }
bool isLower(char16_t c) { return c >= u'a' && c <= u'z'; }
bool isLetter(char16_t c) { return isUpper(c) || isLower(c); }
bool allDigits(U16 s) { return !s.empty() && std::all_of(s.begin(), s.end(), isDigit); }
bool allUpper(U16 s) { return !s.empty() && std::all_of(s.begin(), s.end(), isUpper); }

bool isBlank(char16_t c) {
    return c <= u' ' || c == 0xA0 || (c >= 0x2000 && c <= 0x200B) || c == 0x202F || c == 0x3000 || c == 0xFEFF;
}
// Characters that stand for a pause wherever they are: dashes and the ellipsis.
bool isBreak(char16_t c) { return c == 0x2014 || c == 0x2015 || c == 0x2026; }
bool isOpening(char16_t c) {
    return c == u'(' || c == u'[' || c == u'{' || c == u'"' || c == u'\'' || c == u'`' || c == 0x2018 ||
           c == 0x201C || c == 0xAB || c == 0xBF || c == 0xA1;
}
bool isClosing(char16_t c) {
    return c == u'.' || c == u',' || c == u';' || c == u':' || c == u'!' || c == u'?' || c == u')' || c == u']' ||
           c == u'}' || c == u'"' || c == u'\'' || c == 0x2019 || c == 0x201D || c == 0xBB;
}

// ASCII lower case of a token part; other characters become '?'.
std::string lower(U16 s) {
    std::string out;
    out.reserve(s.size());
    for (char16_t c : s) out.push_back(isUpper(c) ? static_cast<char>(c - u'A' + u'a') : c < 128 ? static_cast<char>(c) : '?');
    return out;
}

bool equalsAscii(U16 s, std::string_view a) {
    return s.size() == a.size() && std::equal(s.begin(), s.end(), a.begin(), [](char16_t c, char d) {
               return c == static_cast<unsigned char>(d);
           });
}

template <typename List> bool inList(const List& list, std::string_view w) {
    return std::find(list.begin(), list.end(), w) != list.end();
}

// A number at the start of `s`: an optional sign, digits with comma groups
// (1,234,567 or the Indian 12,34,567), an optional decimal part.
struct Number {
    bool negative = false;
    bool fits = true;
    bool grouped = false;
    uint64_t value = 0;
    U16 whole;    // digits and commas
    U16 fraction; // digits after the point
    std::size_t length = 0;
    int digits = 0;
};

bool parseNumber(U16 s, Number& n) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == u'-' || s[i] == 0x2212)) {
        n.negative = true;
        ++i;
    } else if (i < s.size() && s[i] == u'+') {
        ++i;
    }
    const std::size_t start = i;
    if (i >= s.size() || !isDigit(s[i])) return false;
    auto addDigit = [&](char16_t c) {
        const uint64_t d = static_cast<uint64_t>(c - u'0');
        if (n.value > (UINT64_MAX - d) / 10) n.fits = false;
        n.value = n.value * 10 + d;
        ++n.digits;
    };
    while (i < s.size() && isDigit(s[i])) addDigit(s[i++]);
    // Comma groups of two or three digits, the last of three.
    std::size_t lead = i - start;
    while (lead <= 3 && i + 3 < s.size() + 1 && i < s.size() && s[i] == u',') {
        std::size_t j = i + 1;
        while (j < s.size() && isDigit(s[j])) ++j;
        const std::size_t size = j - i - 1;
        const bool last = j >= s.size() || s[j] != u',';
        if (!(size == 3 || (size == 2 && !last))) break;
        if (last && size != 3) break;
        for (std::size_t k = i + 1; k < j; ++k) addDigit(s[k]);
        n.grouped = true;
        i = j;
    }
    n.whole = s.substr(start, i - start);
    if (i + 1 < s.size() && s[i] == u'.' && isDigit(s[i + 1])) {
        std::size_t j = i + 1;
        while (j < s.size() && isDigit(s[j])) ++j;
        n.fraction = s.substr(i + 1, j - i - 1);
        i = j;
    }
    n.length = i;
    return true;
}

// The whole of `s` is one number.
bool wholeNumber(U16 s, Number& n) { return parseNumber(s, n) && n.length == s.size(); }

const nt::Currency* currencyAt(U16 s, std::size_t& length) {
    const nt::Currency* best = nullptr;
    length = 0;
    for (const nt::Currency& c : nt::kCurrencies)
        if (s.substr(0, c.sign.size()) == c.sign && c.sign.size() > length) {
            best = &c;
            length = c.sign.size();
        }
    return best;
}

const nt::Currency* currencyIs(U16 s) {
    std::size_t length = 0;
    const nt::Currency* c = currencyAt(s, length);
    return c && length == s.size() ? c : nullptr;
}

const nt::Unit* unitIs(U16 s) {
    for (const nt::Unit& u : nt::kUnitsOfMeasure)
        if (u.sign == s) return &u;
    return nullptr;
}

int monthOf(U16 core) {
    const std::string w = lower(core);
    for (std::size_t m = 0; m < nt::kMonths.size(); ++m)
        if (w == nt::kMonths[m].shortForm || w == nt::kMonths[m].fullForm || (m == 8 && w == "sept"))
            return static_cast<int>(m) + 1;
    return 0;
}

// The value of a valid Roman numeral in upper case, or 0.
int romanValue(U16 s) {
    auto digit = [](char16_t c) {
        switch (c) {
        case u'I': return 1;
        case u'V': return 5;
        case u'X': return 10;
        case u'L': return 50;
        case u'C': return 100;
        case u'D': return 500;
        case u'M': return 1000;
        default: return 0;
        }
    };
    int total = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const int v = digit(s[i]);
        if (v == 0) return 0;
        const int next = i + 1 < s.size() ? digit(s[i + 1]) : 0;
        total += next > v ? -v : v;
    }
    // Only the canonical spelling counts (so "IIII" or "VX" is no numeral).
    static constexpr std::pair<int, std::u16string_view> kParts[] = {
        {1000, u"M"}, {900, u"CM"}, {500, u"D"}, {400, u"CD"}, {100, u"C"}, {90, u"XC"}, {50, u"L"},
        {40, u"XL"},  {10, u"X"},   {9, u"IX"},  {5, u"V"},    {4, u"IV"},  {1, u"I"}};
    std::u16string canonical;
    for (int v = total; v > 0;)
        for (const auto& [value, text] : kParts)
            if (v >= value) {
                canonical += text;
                v -= value;
                break;
            }
    return total > 0 && total < 4000 && canonical == s ? total : 0;
}

// "1st", "22nd", "3rd", "4th": the number, else 0.
uint64_t ordinalValue(U16 s) {
    if (s.size() < 3) return 0;
    const std::string suffix = lower(s.substr(s.size() - 2));
    if (suffix != "st" && suffix != "nd" && suffix != "rd" && suffix != "th") return 0;
    Number n;
    if (!wholeNumber(s.substr(0, s.size() - 2), n) || n.negative || !n.fraction.empty() || !n.fits) return 0;
    return n.value;
}

// The shape of a telephone number: digit groups joined by - . or space
// stand-ins, or in brackets, with at least seven digits in all (or the
// local form 555-0199).
bool phoneShape(U16 s) {
    int digits = 0, groups = 0, run = 0;
    bool previousDigit = false;
    std::size_t i = s.size() > 0 && s[0] == u'+' ? 1 : 0;
    int dots = 0;
    for (; i < s.size(); ++i) {
        const char16_t c = s[i];
        if (isDigit(c)) {
            ++digits;
            ++run;
            if (!previousDigit) ++groups;
            previousDigit = true;
            continue;
        }
        if (c != u'-' && c != u'.' && c != u'(' && c != u')' && c != 0x2013) return false;
        if (c == u'.') ++dots;
        previousDigit = false;
        run = 0;
    }
    if (groups < 2 || (dots > 0 && groups < 3)) return false;
    if (digits >= 7) return true;
    return false;
}

} // namespace

// ---------------------------------------------------------------- output

void EnglishNormaliser::sayAs(std::string_view word, uint32_t from, uint32_t to) {
    NormalisedText& o = *out_;
    o.text.push_back(' ');
    o.text.append(word);
    o.from.resize(o.text.size(), from);
    o.to.resize(o.text.size(), to);
}

void EnglishNormaliser::say(std::string_view word) { sayAs(word, from_, to_); }

void EnglishNormaliser::punctuation(U16 marks, uint32_t at) {
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const char16_t c = marks[i];
        const uint32_t where = at + static_cast<uint32_t>(i);
        if (c == u'.' || c == u',' || c == u';' || c == u':' || c == u'!' || c == u'?') {
            const char mark[1] = {static_cast<char>(c)};
            sayAs(std::string_view(mark, 1), where, where + 1);
        } else if (c == 0x2026) {
            sayAs(".", where, where + 1);
        } else if (c == 0x2014 || c == 0x2015 || c == u'-' || c == 0x2013) {
            sayAs(",", where, where + 1);
        }
    }
}

void EnglishNormaliser::sayCardinal(uint64_t value) {
    numberwords::Words w;
    numberwords::cardinal(value, w);
    for (std::string_view s : w) say(s);
}

void EnglishNormaliser::sayOrdinal(uint64_t value) {
    numberwords::Words w;
    numberwords::ordinal(value, w);
    for (std::string_view s : w) say(s);
}

void EnglishNormaliser::sayYear(uint64_t value) {
    numberwords::Words w;
    numberwords::year(value, w);
    for (std::string_view s : w) say(s);
}

void EnglishNormaliser::sayDigits(U16 digits) {
    for (char16_t c : digits)
        if (isDigit(c)) say(nt::kUnits[static_cast<std::size_t>(c - u'0')]);
}

void EnglishNormaliser::sayLetters(U16 letters) {
    for (char16_t c : letters)
        if (isLetter(c)) {
            const char pair[2] = {kLetterNameMark, static_cast<char>(isUpper(c) ? c : c - u'a' + u'A')};
            say(std::string_view(pair, 2));
        }
}

void EnglishNormaliser::sayDecimal(U16 text) {
    Number n;
    parseNumber(text, n);
    if (n.negative) say("minus");
    if (n.fits) sayCardinal(n.value);
    else sayDigits(n.whole);
    if (!n.fraction.empty()) {
        say("point");
        sayDigits(n.fraction);
    }
}

void EnglishNormaliser::spellOut(U16 text) {
    std::size_t i = 0;
    for (U16 scheme : {U16(u"https://"), U16(u"http://"), U16(u"ftp://")})
        if (lower(text.substr(0, scheme.size())) == lower(scheme)) i = scheme.size();
    while (i < text.size()) {
        std::size_t j = i;
        if (isLetter(text[i])) {
            while (j < text.size() && isLetter(text[j])) ++j;
            const U16 run = text.substr(i, j - i);
            const std::string w = lower(run);
            const bool vowel = w.find_first_of("aeiouy") != std::string::npos;
            if (w.size() <= 2 || !vowel) sayLetters(run);
            else say(w);
        } else if (isDigit(text[i])) {
            while (j < text.size() && isDigit(text[j])) ++j;
            sayDigits(text.substr(i, j - i));
        } else {
            ++j;
            switch (text[i]) {
            case u'.': say("dot"); break;
            case u'@': say("at"); break;
            case u'/': say("slash"); break;
            case u'-': say("dash"); break;
            case u'_': say("underscore"); break;
            case u':': say("colon"); break;
            default: break;
            }
        }
        i = j;
    }
}

// ---------------------------------------------------------------- tokens

void EnglishNormaliser::normalise(U16 text, std::size_t base, NormalisedText& out) {
    out_ = &out;
    tokens_.clear();
    const auto at = [&](std::size_t i) { return static_cast<uint32_t>(base + i); };
    for (std::size_t i = 0; i < text.size();) {
        if (isBlank(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        if (isBreak(text[i])) ++end;
        else
            while (end < text.size() && !isBlank(text[end]) && !isBreak(text[end])) ++end;
        const U16 whole = text.substr(i, end - i);
        std::size_t b = 0, e = whole.size();
        while (b < e && isOpening(whole[b])) ++b;
        while (e > b && isClosing(whole[e - 1])) --e;
        // A number's decimal point or an abbreviation's full stop stays with it
        // only inside the token; a lone closing mark is all trail.
        tokens_.push_back(Token{whole.substr(0, b), whole.substr(b, e - b), whole.substr(e), at(i)});
        i = end;
    }
    phoneMode_ = false;
    for (std::size_t i = 0; i < tokens_.size();) i += readToken(i);
}

namespace {
bool startsUpper(const EnglishNormaliser::Token& t);
} // namespace

std::size_t EnglishNormaliser::readToken(std::size_t i) {
    const Token& t = tokens_[i];
    const uint32_t coreAt = t.at + static_cast<uint32_t>(t.lead.size());
    from_ = coreAt;
    to_ = coreAt + static_cast<uint32_t>(t.core.size());
    if (t.core.empty()) {
        phoneMode_ = false;
        punctuation(t.trail, coreAt);
        return 1;
    }
    std::size_t used = 1;
    bool dropPeriod = false;
    const bool numeric = money(i, used) || timeOfDay(i, used) || date(i, used) || numberWithContext(i, used);
    if (!numeric) {
        phoneMode_ = false;
        dropPeriod = word(i, used);
    }
    const Token& last = tokens_[i + used - 1];
    U16 trail = last.trail;
    if (dropPeriod && !trail.empty() && trail[0] == u'.') trail.remove_prefix(1);
    punctuation(trail, last.at + static_cast<uint32_t>(last.lead.size() + last.core.size()));
    return used;
}

namespace {
bool startsUpper(const EnglishNormaliser::Token& t) {
    const U16 s = t.core.empty() ? t.trail : t.core;
    return !s.empty() && isUpper(s[0]);
}
} // namespace

// ---------------------------------------------------------------- money

bool EnglishNormaliser::money(std::size_t i, std::size_t& used) {
    const Token& t = tokens_[i];
    U16 core = t.core;
    bool negative = false;
    if (core.size() > 1 && (core[0] == u'-' || core[0] == 0x2212) && !isDigit(core[1])) {
        negative = true;
        core.remove_prefix(1);
    }
    std::size_t signLength = 0;
    const nt::Currency* currency = currencyAt(core, signLength);
    U16 amount;
    std::size_t next = i + 1;
    if (currency) {
        amount = core.substr(signLength);
        if (amount.empty()) { // "Rs. 500", "$ 25", "USD 25"
            if (next >= tokens_.size() || !tokens_[next].lead.empty()) return false;
            amount = tokens_[next].core;
            ++next;
        } else if (amount[0] == u'.' && currency->sign.back() != u'.') { // "Rs.500"
            amount.remove_prefix(1);
        }
        // A code is a word of its own ("USD"), not the start of one ("USDA").
        if (!(amount.empty() || isDigit(amount[0]))) return false;
    } else {
        Number n;
        if (!parseNumber(core, n) || n.length == 0) return false;
        const U16 rest = core.substr(n.length);
        if (!rest.empty()) {
            currency = currencyIs(rest);
        } else if (next < tokens_.size() && tokens_[next].lead.empty()) {
            currency = currencyIs(tokens_[next].core);
            if (currency && currency->sign.size() > 1 && !allUpper(tokens_[next].core) && currency->sign[0] != u'R')
                currency = nullptr;
            if (currency) ++next;
        }
        if (!currency) return false;
        amount = core.substr(0, n.length);
    }
    Number n;
    if (!parseNumber(amount, n) || n.negative) return false;
    U16 multiplier = amount.substr(n.length);
    std::string_view scale;
    const std::string m = lower(multiplier);
    if (m == "k") scale = "thousand";
    else if (m == "m" || m == "mn") scale = "million";
    else if (m == "bn" || m == "b") scale = "billion";
    else if (!m.empty()) return false;
    if (scale.empty() && next < tokens_.size() && tokens_[next - 1].trail.empty()) {
        const std::string w = lower(tokens_[next].core);
        if (w == "thousand" || w == "million" || w == "billion" || w == "trillion" || w == "lakh" || w == "crore") {
            scale = std::string_view(w == "thousand"  ? "thousand"
                                     : w == "million" ? "million"
                                     : w == "billion" ? "billion"
                                     : w == "trillion" ? "trillion"
                                     : w == "lakh"     ? "lakh"
                                                       : "crore");
            ++next;
        }
    }
    used = next - i;
    to_ = tokens_[next - 1].at + static_cast<uint32_t>(tokens_[next - 1].lead.size() + tokens_[next - 1].core.size());
    if (negative) say("minus");
    if (!scale.empty() || n.fraction.size() > 2 || !n.fits) {
        sayDecimal(amount.substr(0, n.length));
        if (!scale.empty()) say(scale);
        say(currency->many);
        return true;
    }
    uint64_t minor = 0;
    for (char16_t c : n.fraction) minor = minor * 10 + static_cast<uint64_t>(c - u'0');
    if (n.fraction.size() == 1) minor *= 10;
    if (n.value > 0 || minor == 0) {
        sayCardinal(n.value);
        say(n.value == 1 ? currency->one : currency->many);
    }
    if (minor > 0) {
        if (n.value > 0) say("and");
        sayCardinal(minor);
        say(minor == 1 ? currency->minorOne : currency->minorMany);
    }
    return true;
}

// ---------------------------------------------------------------- time

bool EnglishNormaliser::timeOfDay(std::size_t i, std::size_t& used) {
    const U16 core = tokens_[i].core;
    if (core.empty() || !isDigit(core[0])) return false;
    std::size_t p = 0;
    uint64_t hour = 0, minute = 0;
    while (p < core.size() && p < 2 && isDigit(core[p])) hour = hour * 10 + static_cast<uint64_t>(core[p++] - u'0');
    char16_t separator = 0;
    auto twoDigitsAt = [&](std::size_t k) { return k + 2 <= core.size() && isDigit(core[k]) && isDigit(core[k + 1]); };
    if (p < core.size() && (core[p] == u':' || core[p] == u'.') && twoDigitsAt(p + 1)) {
        separator = core[p];
        minute = static_cast<uint64_t>((core[p + 1] - u'0') * 10 + (core[p + 2] - u'0'));
        p += 3;
        if (separator == u':' && p < core.size() && core[p] == u':' && twoDigitsAt(p + 1)) p += 3; // seconds unsaid
    }
    const bool hasMinutes = separator != 0;
    std::string suffix = lower(core.substr(p));
    std::size_t next = i + 1;
    if (suffix.empty() && next < tokens_.size()) {
        const std::string w = lower(tokens_[next].core);
        if (w == "am" || w == "pm" || w == "a.m" || w == "p.m") {
            suffix = w;
            ++next;
        }
    }
    const bool am = suffix == "am" || suffix == "a.m" || suffix == "a.m.";
    const bool pm = suffix == "pm" || suffix == "p.m" || suffix == "p.m.";
    if (!suffix.empty() && !am && !pm) return false;
    if (!hasMinutes && !am && !pm) return false;
    if (separator == u'.' && !am && !pm) return false; // "7.30" alone is a decimal
    if (hour > 24 || minute > 59 || ((am || pm) && (hour == 0 || hour > 12))) return false;
    used = next - i;
    sayCardinal(hour);
    if (minute == 0 && !am && !pm && hasMinutes) say("o'clock");
    else if (minute > 0 && minute < 10) {
        say("oh");
        sayCardinal(minute);
    } else if (minute > 0) {
        sayCardinal(minute);
    }
    if (am || pm) sayLetters(am ? U16(u"AM") : U16(u"PM"));
    return true;
}

// ---------------------------------------------------------------- dates

bool EnglishNormaliser::date(std::size_t i, std::size_t& used) {
    const Token& t = tokens_[i];
    const U16 core = t.core;
    auto sayDay = [&](uint64_t day) { sayOrdinal(day); };
    auto dayOf = [&](U16 s) -> uint64_t {
        Number n;
        uint64_t v = ordinalValue(s);
        if (v == 0 && wholeNumber(s, n) && !n.negative && n.fraction.empty() && !n.grouped && n.digits <= 2) v = n.value;
        return v >= 1 && v <= 31 ? v : 0;
    };
    auto yearOf = [&](std::size_t k) -> uint64_t {
        if (k >= tokens_.size() || !tokens_[k].lead.empty()) return 0;
        const U16 y = tokens_[k].core;
        return y.size() == 4 && allDigits(y) ? static_cast<uint64_t>(std::stoi(lower(y))) : 0;
    };
    auto monthToken = [&](std::size_t k) -> int {
        if (k >= tokens_.size() || !startsUpper(tokens_[k])) return 0;
        return monthOf(tokens_[k].core);
    };
    auto endAt = [&](std::size_t k) {
        used = k - i;
        to_ = tokens_[k - 1].at + static_cast<uint32_t>(tokens_[k - 1].lead.size() + tokens_[k - 1].core.size());
    };

    // Numeric: 15/08/1947, 15-08-1947, 15.08.1947, 1947-08-15, 8/15/47.
    if (!core.empty() && isDigit(core[0])) {
        const char16_t sep = [&] {
            for (char16_t c : core)
                if (!isDigit(c)) return c;
            return u'\0';
        }();
        if (sep == u'/' || sep == u'-' || sep == u'.') {
            U16 parts[3];
            std::size_t count = 0, start = 0;
            for (std::size_t p = 0; p <= core.size(); ++p)
                if (p == core.size() || core[p] == sep) {
                    if (count == 3) return false;
                    parts[count++] = core.substr(start, p - start);
                    start = p + 1;
                }
            if (count == 3 && allDigits(parts[0]) && allDigits(parts[1]) && allDigits(parts[2])) {
                auto value = [](U16 s) {
                    uint64_t v = 0;
                    for (char16_t c : s) v = v * 10 + static_cast<uint64_t>(c - u'0');
                    return v;
                };
                uint64_t day, month, year;
                U16 yearText;
                if (parts[0].size() == 4) {
                    year = value(parts[0]);
                    month = value(parts[1]);
                    day = value(parts[2]);
                    yearText = parts[0];
                } else {
                    const uint64_t a = value(parts[0]), b = value(parts[1]);
                    if (b > 12 && a <= 12) {
                        month = a;
                        day = b;
                    } else {
                        day = a;
                        month = b;
                    }
                    year = value(parts[2]);
                    yearText = parts[2];
                }
                if (parts[0].size() > 4 || parts[1].size() > 2 || (yearText.size() != 4 && yearText.size() != 2) ||
                    day < 1 || day > 31 || month < 1 || month > 12)
                    return false;
                say("the");
                sayDay(day);
                say("of");
                say(nt::kMonths[month - 1].said);
                if (yearText.size() == 4) sayYear(year);
                else if (year < 10) {
                    say("oh");
                    sayCardinal(year);
                } else {
                    sayCardinal(year);
                }
                return true;
            }
        }
        // 15 August 1947, 15th Aug
        if (const uint64_t day = dayOf(core); day != 0 && t.trail.empty()) {
            if (const int month = monthToken(i + 1)) {
                say("the");
                sayDay(day);
                say("of");
                say(nt::kMonths[static_cast<std::size_t>(month - 1)].said);
                std::size_t k = i + 2;
                if (const uint64_t y = yearOf(k)) {
                    sayYear(y);
                    ++k;
                }
                endAt(k);
                return true;
            }
        }
        return false;
    }
    // August 15, 1947; Aug. 15; August 1947
    if (const int month = monthToken(i)) {
        const bool shortForm = lower(core) == nt::kMonths[static_cast<std::size_t>(month - 1)].shortForm;
        if (shortForm && month == 5) return false;
        if (i + 1 >= tokens_.size() || !tokens_[i + 1].lead.empty()) return false;
        const uint64_t day = dayOf(tokens_[i + 1].core);
        const uint64_t y = day == 0 ? yearOf(i + 1) : 0;
        if (day == 0 && y == 0) return false;
        say(nt::kMonths[static_cast<std::size_t>(month - 1)].said);
        std::size_t k = i + 2;
        if (day != 0) {
            from_ = tokens_[i + 1].at;
            sayDay(day);
            if (const uint64_t year = yearOf(k)) {
                sayYear(year);
                ++k;
            }
        } else {
            sayYear(y);
        }
        endAt(k);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- numbers

bool EnglishNormaliser::numberWithContext(std::size_t i, std::size_t& used) {
    const Token& t = tokens_[i];
    U16 core = t.core;
    const std::string previous = i > 0 ? lower(tokens_[i - 1].core) : std::string();
    const bool digitStart = isDigit(core[0]) || (core.size() > 1 && (core[0] == u'-' || core[0] == u'+' ||
                                                                     core[0] == 0x2212) && isDigit(core[1]));
    if (core[0] == u'#' && core.size() > 1 && allDigits(core.substr(1))) {
        say("number");
        sayDecimal(core.substr(1));
        return true;
    }
    if (!digitStart) {
        if (core[0] == u'\'' && core.size() == 4 && allDigits(core.substr(1, 2)) && core[3] == u's') { // '90s
            numberwords::Words w;
            numberwords::cardinal(static_cast<uint64_t>((core[1] - u'0') * 10 + (core[2] - u'0')), w);
            w.back() = numberwords::pluralOf(w.back());
            for (std::string_view s : w) say(s);
            return true;
        }
        return false;
    }

    // Telephone numbers, digit by digit in their groups.
    const bool phoneContext = inList(nt::kPhoneWords, previous) || previous == "no" || previous == "number";
    Number n;
    const bool whole = wholeNumber(core, n);
    const bool bracketed = t.lead == u"(" && !t.trail.empty() && t.trail[0] == u')' && allDigits(core) &&
                           i + 1 < tokens_.size() && phoneShape(tokens_[i + 1].core);
    if (phoneShape(core) || bracketed || (core[0] == u'+' && allDigits(core.substr(1)) && core.size() <= 4) ||
        (phoneMode_ && allDigits(core)) || (whole && !n.grouped && n.fraction.empty() && allDigits(core) &&
                                            (n.digits >= 9 || (phoneContext && n.digits >= 5)))) {
        if (core[0] == u'+') say("plus");
        for (std::size_t p = 0; p < core.size(); ++p) {
            if (isDigit(core[p])) say(nt::kUnits[static_cast<std::size_t>(core[p] - u'0')]);
            else if (p > 0 && isDigit(core[p - 1]) && p + 1 < core.size())
                sayAs(",", from_, to_);
        }
        phoneMode_ = true;
        if (!t.trail.empty() && t.trail[0] != u')') phoneMode_ = false;
        return true;
    }
    phoneMode_ = false;

    if (const uint64_t v = ordinalValue(core)) {
        sayOrdinal(v);
        return true;
    }
    // Decades: 1990s, 1800s.
    if (core.size() == 5 && core[4] == u's' && allDigits(core.substr(0, 4))) {
        numberwords::Words w;
        numberwords::year(static_cast<uint64_t>(std::stoi(lower(core.substr(0, 4)))), w);
        w.back() = numberwords::pluralOf(w.back());
        for (std::string_view s : w) say(s);
        return true;
    }

    auto isYear = [](const Number& x) {
        return !x.negative && x.fraction.empty() && !x.grouped && x.digits == 4 && x.value >= 1100 && x.value <= 2099;
    };
    auto unitAfter = [&](const Number& x, U16 sign) -> bool {
        const nt::Unit* u = unitIs(sign);
        if (!u) return false;
        say(x.value == 1 && x.fraction.empty() ? u->one : u->many);
        return true;
    };

    // Ranges: 10-20, 1939-45, 10–20%.
    n = Number{};
    if (!parseNumber(core, n)) return false;
    U16 rest = core.substr(n.length);
    if (!n.negative && rest.size() > 1 && (rest[0] == u'-' || rest[0] == 0x2013)) {
        Number m;
        U16 second = rest.substr(1);
        if (parseNumber(second, m) && !m.negative && second[0] != u'+') {
            const bool years = isYear(n) && (isYear(m) || (m.digits == 2 && m.fraction.empty()));
            if (years) sayYear(n.value);
            else sayDecimal(core.substr(0, n.length));
            say("to");
            if (years && m.digits == 4) sayYear(m.value);
            else sayDecimal(second.substr(0, m.length));
            rest = second.substr(m.length);
            n = m;
        }
    }
    // Fractions: 1/2, 3/4.
    if (rest.size() > 1 && rest[0] == u'/' && n.fraction.empty() && !n.grouped) {
        Number d;
        if (wholeNumber(rest.substr(1), d) && !d.negative && d.fraction.empty() && d.value >= 2 && d.value <= 10 &&
            n.value < 100) {
            sayDecimal(core.substr(0, n.length));
            if (d.value == 2) say(n.value == 1 ? "half" : "halves");
            else if (d.value == 4) say(n.value == 1 ? "quarter" : "quarters");
            else {
                numberwords::Words w;
                numberwords::ordinal(d.value, w);
                if (n.value == 1) say(w.back());
                else {
                    std::string plural(w.back());
                    plural += 's';
                    say(plural);
                }
            }
            return true;
        }
    }
    if (rest.data() == core.data() + n.length) { // no range: the number alone
        const bool yearContext = inList(nt::kYearWords, previous) || monthOf(tokens_[i > 0 ? i - 1 : i].core) != 0;
        std::string nextWord = i + 1 < tokens_.size() ? lower(tokens_[i + 1].core) : std::string();
        const bool era = nextWord == "ad" || nextWord == "bc" || nextWord == "bce" || nextWord == "ce";
        const bool bare = n.value >= 1800 && (i + 1 >= tokens_.size() || !t.trail.empty() ||
                                              startsUpper(tokens_[i + 1]));
        if (rest.empty() && isYear(n) && (yearContext || era || bare)) {
            sayYear(n.value);
            if (era) {
                sayLetters(tokens_[i + 1].core);
                used = 2;
            }
            return true;
        }
        sayDecimal(core.substr(0, n.length));
    }
    if (rest.empty()) {
        // A unit in the next token: 5 km, 20 °C.
        if (i + 1 < tokens_.size() && t.trail.empty() && tokens_[i + 1].lead.empty()) {
            const U16 next = tokens_[i + 1].core;
            const bool single = next.size() == 1;
            if ((!single || std::find(nt::kSingleLetterUnits.begin(), nt::kSingleLetterUnits.end(), next) !=
                                nt::kSingleLetterUnits.end()) &&
                next != u"s" && unitAfter(n, next)) {
                used = 2;
                return true;
            }
            if (next == u"%" || next == u"percent") {
                say("percent");
                used = 2;
                return true;
            }
        }
        return true;
    }
    if (rest == u"%") say("percent");
    else if (rest == u"x" || rest == u"X") say("times");
    else if (rest == u"s" && n.value >= 10) {
        // plural of a number: "in the 80s"
        std::string last = out_->text.substr(out_->text.rfind(' ') + 1);
        out_->text.resize(out_->text.rfind(' '));
        out_->from.resize(out_->text.size());
        out_->to.resize(out_->text.size());
        say(numberwords::pluralOf(last) == last ? last + "s" : std::string(numberwords::pluralOf(last)));
    } else if (!unitAfter(n, rest)) {
        // Anything else joined to the number ("5-year-old", "12abc") is read
        // as words after it.
        std::size_t p = 0;
        while (p < rest.size() && (rest[p] == u'-' || rest[p] == 0x2013)) ++p;
        std::string w;
        for (; p < rest.size(); ++p) w.push_back(rest[p] < 256 ? static_cast<char>(rest[p]) : ' ');
        if (!w.empty()) say(w);
    }
    return true;
}

// ---------------------------------------------------------------- words

bool EnglishNormaliser::word(std::size_t i, std::size_t& used) {
    (void)used;
    const Token& t = tokens_[i];
    const U16 core = t.core;
    const bool period = !t.trail.empty() && t.trail[0] == u'.';
    const bool nextUpper = i + 1 < tokens_.size() && startsUpper(tokens_[i + 1]);
    const bool previousUpper = i > 0 && startsUpper(tokens_[i - 1]) && tokens_[i - 1].trail.empty();
    const bool nextIsNumber = i + 1 < tokens_.size() && !tokens_[i + 1].core.empty() && isDigit(tokens_[i + 1].core[0]);
    const bool endsSentence = !nextUpper ? i + 1 >= tokens_.size() : true;
    const std::string w = lower(core);

    // URLs and e-mail addresses.
    const std::size_t atSign = core.find(u'@');
    if (core.find(u"://") != U16::npos || w.rfind("www.", 0) == 0 ||
        (atSign != U16::npos && atSign > 0 && core.find(u'.', atSign) != U16::npos && core.find(u'.', atSign) + 1 < core.size()) ||
        ((w.size() > 4 && (w.ends_with(".com") || w.ends_with(".org") || w.ends_with(".net") || w.ends_with(".in") ||
                            w.ends_with(".io"))) &&
         std::all_of(core.begin(), core.end(), [](char16_t c) { return c < 128; }))) {
        spellOut(core);
        return false;
    }

    // Abbreviations decided by their neighbours.
    if (w == "dr" || w == "st") {
        const bool place = (previousUpper || (i > 0 && allDigits(tokens_[i - 1].core.substr(0, 1)))) && !nextUpper;
        const bool title = !place && nextUpper;
        if (period || title) {
            say(w == "dr" ? (title ? "doctor" : "drive") : (title ? "saint" : "street"));
            return title || !endsSentence;
        }
    }
    if ((w == "no" || w == "nos") && (period || core == u"No") && nextIsNumber) {
        say("number");
        return true;
    }
    if (period) {
        for (const nt::Abbreviation& a : nt::kAbbreviations)
            if (w == a.written) {
                if (!a.title && core.size() <= 3 && !startsUpper(t) && w != "etc") break;
                std::string_view said = a.said;
                for (std::size_t p; !said.empty(); said.remove_prefix(p == std::string_view::npos ? said.size() : p + 1)) {
                    p = said.find(' ');
                    say(said.substr(0, p));
                }
                return a.title || !endsSentence;
            }
        if (startsUpper(t)) {
            if (const int m = monthOf(core); m != 0 && w.size() <= 4) {
                say(nt::kMonths[static_cast<std::size_t>(m - 1)].said);
                return !endsSentence;
            }
            for (const nt::Name& d : nt::kDays)
                if (w == d.shortForm) {
                    say(d.said);
                    return !endsSentence;
                }
        }
    }
    if (!period && nextUpper && (core == u"Mr" || core == u"Mrs" || core == u"Ms" || core == u"Prof")) {
        for (const nt::Abbreviation& a : nt::kAbbreviations)
            if (w == a.written) {
                say(a.said);
                return false;
            }
    }

    // Letters with full stops: U.S., U.K., e.g. ones not listed above.
    if (core.size() >= 3 && core.size() % 2 == 1) {
        bool dotted = true;
        for (std::size_t p = 0; p < core.size(); ++p)
            dotted = dotted && (p % 2 == 0 ? isLetter(core[p]) : core[p] == u'.');
        if (dotted) {
            sayLetters(core);
            return !endsSentence;
        }
    }

    // Roman numerals after "Chapter", "War", or a name.
    if (allUpper(core) && i > 0) {
        const int value = romanValue(core);
        const Token& p = tokens_[i - 1];
        const std::string pw = lower(p.core);
        if (value > 0 && p.trail.empty() && inList(nt::kNumberedThings, pw)) {
            sayCardinal(static_cast<uint64_t>(value));
            return false;
        }
        const bool name = p.core.size() >= 2 && isUpper(p.core[0]) &&
                          std::all_of(p.core.begin() + 1, p.core.end(), isLower) && p.trail.empty();
        bool knownName = false;
        for (std::string_view r : nt::kRegnalNames)
            if (equalsAscii(p.core, r)) knownName = true;
        if (value > 0 && value <= 50 && name && (core.size() > 1 || knownName)) {
            say("the");
            sayOrdinal(static_cast<uint64_t>(value));
            return false;
        }
    }

    // Acronyms: spelled, unless the dictionary has them as words.
    if (core.size() >= 2 && allUpper(core)) {
        auto capsWord = [&](std::size_t k) {
            return k < tokens_.size() && tokens_[k].core.size() >= 4 && allUpper(tokens_[k].core) &&
                   !dictionary_.Lookup(lower(tokens_[k].core)).empty();
        };
        const bool capsText = (i > 0 && capsWord(i - 1)) || capsWord(i + 1);
        const bool vowel = w.find_first_of("aeiouy") != std::string::npos;
        if (capsText && !dictionary_.Lookup(w).empty()) say(w);
        else if (core.size() <= 3 || !vowel) sayLetters(core);
        else if (!dictionary_.Lookup(w).empty()) say(w);
        else say(w);
        return false;
    }
    // Any other word: typographic marks as their ASCII counterparts.
    NormalisedText& o = *out_;
    o.text.push_back(' ');
    o.from.push_back(from_);
    o.to.push_back(to_);
    const uint32_t coreAt = from_;
    for (std::size_t p = 0; p < core.size(); ++p) {
        const char16_t c = core[p];
        char b;
        if (c == 0x2019 || c == 0x2018 || c == 0x02BC || c == 0x2032 || c == 0x201B) b = '\'';
        else if (c == 0x201C || c == 0x201D || c == 0x201E) b = '"';
        else if (c == 0x2013) b = ' ';
        else if (c == 0x2212 || c == 0x2010 || c == 0x2011) b = '-';
        else if (c < 256) b = static_cast<char>(c);
        else continue;
        o.text.push_back(b);
        o.from.push_back(coreAt + static_cast<uint32_t>(p));
        o.to.push_back(coreAt + static_cast<uint32_t>(p) + 1);
    }
    return false;
}

} // namespace vorsan
