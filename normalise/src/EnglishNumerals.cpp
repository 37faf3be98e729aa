// English normalisation of tokens with digits: money, times of day, dates,
// telephone numbers, ordinals, years, ranges, fractions and units.
#include "EnglishReader.h"

#include <algorithm>

#include "EnglishText.h"
#include "vorsan/normalise/NumberWords.h"

namespace vorsan {

using namespace normtext;

// ---------------------------------------------------------------- money

bool EnglishReader::money(std::size_t i, std::size_t& used) {
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

bool EnglishReader::timeOfDay(std::size_t i, std::size_t& used) {
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

bool EnglishReader::date(std::size_t i, std::size_t& used) {
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
                say(normalise::monthName(static_cast<int>(month)));
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
                say(normalise::monthName(static_cast<int>(month)));
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
        if (i + 1 >= tokens_.size() || !tokens_[i + 1].lead.empty()) return false;
        const uint64_t day = dayOf(tokens_[i + 1].core);
        const uint64_t y = day == 0 ? yearOf(i + 1) : 0;
        if (day == 0 && y == 0) return false;
        say(normalise::monthName(static_cast<int>(month)));
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

bool EnglishReader::numberWithContext(std::size_t i, std::size_t& used) {
    const Token& t = tokens_[i];
    U16 core = t.core;
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
    const std::string previous = i > 0 ? lower(tokens_[i - 1].core) : std::string();
    const bool phoneContext = inList(nt::kPhoneWords, previous) || previous == "no" || previous == "number";
    // Codes (OTP, PIN, reference numbers) are read digit by digit, also after
    // "is": "Your OTP is 482913".
    const bool codeContext =
        inList(nt::kCodeWords, previous) ||
        (i > 1 && (previous == "is" || previous == "was") && inList(nt::kCodeWords, lower(tokens_[i - 2].core)));
    Number n;
    const bool whole = wholeNumber(core, n);
    const bool bracketed = t.lead == u"(" && !t.trail.empty() && t.trail[0] == u')' && allDigits(core) &&
                           i + 1 < tokens_.size() && phoneShape(tokens_[i + 1].core);
    // A group of three or more digits starting with 0 and followed by another
    // group is a dialling code ("020 7946 0958").
    const bool diallingCode = core.size() >= 3 && core[0] == u'0' && allDigits(core) && t.trail.empty() &&
                              i + 1 < tokens_.size() && tokens_[i + 1].lead.empty() &&
                              !tokens_[i + 1].core.empty() && allDigits(tokens_[i + 1].core);
    if (phoneShape(core) || bracketed || diallingCode ||
        (core[0] == u'+' && allDigits(core.substr(1)) && core.size() <= 4) || (phoneMode_ && allDigits(core)) ||
        (whole && !n.grouped && n.fraction.empty() && allDigits(core) &&
         (n.digits >= 9 || ((phoneContext || codeContext) && n.digits >= 3)))) {
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
            n.value < d.value) {
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
        for (; p < rest.size(); ++p)
            w.push_back(rest[p] < 256 && rest[p] != u'-' ? static_cast<char>(rest[p]) : ' ');
        if (!w.empty()) say(w);
    }
    return true;
}


} // namespace vorsan
