// English normalisation of tokens with digits: money, times of day,
// telephone numbers and codes, ordinals, years, ranges, fractions and units.
// Dates are in EnglishDates.cpp.
#include <algorithm>

#include "EnglishReader.h"
#include "EnglishText.h"
#include "vorsan/normalise/NumberWords.h"

namespace vorsan {

using namespace normtext;

// ---------------------------------------------------------------- money

bool EnglishReader::money(std::size_t i, std::size_t& used) {
    U16 core = tokens_[i].core;
    bool negative = false;
    if (core.size() > 1 && (core[0] == u'-' || core[0] == 0x2212) && !isDigit(core[1])) {
        negative = true;
        core.remove_prefix(1);
    }
    Money m;
    m.next = i + 1;
    std::size_t signLength = 0;
    if ((m.currency = currencyAt(core, signLength))) {
        if (!amountAfterSign(core.substr(signLength), m)) return false;
    } else if (!signAfterAmount(core, m)) {
        return false;
    }
    Number n;
    std::string_view scale;
    if (!parseNumber(m.amount, n) || n.negative || !scaleOf(m.amount.substr(n.length), m.next, scale)) return false;
    endAt(i, m.next, used);
    if (negative) say("minus");
    sayMoney(n, m, scale);
    return true;
}

// "$25", "Rs. 500", "Rs.500", "USD 25": the amount after the sign, in the
// same token or the next.
bool EnglishReader::amountAfterSign(U16 amount, Money& m) {
    if (amount.empty()) {
        if (m.next >= tokens_.size() || !tokens_[m.next].lead.empty()) return false;
        amount = tokens_[m.next].core;
        ++m.next;
    } else if (amount[0] == u'.' && m.currency->sign.back() != u'.') {
        amount.remove_prefix(1);
    }
    m.amount = amount;
    // A code is a word of its own ("USD"), not the start of one ("USDA").
    return amount.empty() || isDigit(amount[0]);
}

// "25$", "75 INR", "40 Rs": the sign after the amount. Of the signs longer
// than one character, only codes in capitals and "Rs" follow an amount.
bool EnglishReader::signAfterAmount(U16 core, Money& m) {
    Number n;
    if (!parseNumber(core, n) || n.length == 0) return false;
    const U16 rest = core.substr(n.length);
    if (!rest.empty()) {
        m.currency = currencyIs(rest);
    } else if (m.next < tokens_.size() && tokens_[m.next].lead.empty()) {
        const U16 word = tokens_[m.next].core;
        m.currency = currencyIs(word);
        if (m.currency && m.currency->sign.size() > 1 && !allUpper(word) && m.currency->sign[0] != u'R')
            m.currency = nullptr;
        if (m.currency) ++m.next;
    }
    m.amount = core.substr(0, n.length);
    return m.currency != nullptr;
}

// A scale written after the amount ("5k", "1.5bn") or as the next word
// ("5 lakh"); false for any other letters after the amount.
bool EnglishReader::scaleOf(U16 multiplier, std::size_t& next, std::string_view& scale) const {
    const std::string m = lower(multiplier);
    if (m == "k") scale = "thousand";
    else if (m == "m" || m == "mn") scale = "million";
    else if (m == "bn" || m == "b") scale = "billion";
    else if (!m.empty()) return false;
    if (!scale.empty() || next >= tokens_.size() || !tokens_[next - 1].trail.empty()) return true;
    const std::string w = lower(tokens_[next].core);
    for (std::string_view s : {"thousand", "million", "billion", "trillion", "lakh", "crore"})
        if (w == s) {
            scale = s;
            ++next;
            break;
        }
    return true;
}

// Whole units and hundredths ("three dollars and fifty cents"); a scaled
// amount or one with more decimals as a decimal number of whole units.
void EnglishReader::sayMoney(const Number& n, const Money& m, std::string_view scale) {
    const nt::Currency& words = currencyWords(m.currency->code);
    if (!scale.empty() || n.fraction.size() > 2 || !n.fits) {
        sayDecimal(m.amount.substr(0, n.length));
        if (!scale.empty()) say(scale);
        say(words.many);
        return;
    }
    uint64_t minor = 0;
    for (char16_t c : n.fraction) minor = minor * 10 + static_cast<uint64_t>(c - u'0');
    if (n.fraction.size() == 1) minor *= 10;
    if (n.value > 0 || minor == 0) {
        sayCardinal(n.value);
        say(n.value == 1 ? words.one : words.many);
    }
    if (minor > 0) {
        if (n.value > 0) say("and");
        sayCardinal(minor);
        say(minor == 1 ? words.minorOne : words.minorMany);
    }
}

// ---------------------------------------------------------------- time

// "10:30", "23:59:59" (seconds unsaid), "7.30pm", "7" before "a.m.".
bool EnglishReader::timeOfDay(std::size_t i, std::size_t& used) {
    Clock c;
    if (!readClock(tokens_[i].core, c)) return false;
    std::size_t next = i + 1;
    if (c.suffix.empty() && next < tokens_.size()) {
        const std::string w = lower(tokens_[next].core);
        if (w == "am" || w == "pm" || w == "a.m" || w == "p.m") {
            c.suffix = w;
            ++next;
        }
    }
    const bool am = c.suffix == "am" || c.suffix == "a.m" || c.suffix == "a.m.";
    const bool pm = c.suffix == "pm" || c.suffix == "p.m" || c.suffix == "p.m.";
    if (!am && !pm && (!c.suffix.empty() || c.separator != u':')) return false; // "7.30" alone is a decimal
    if (c.hour > 24 || c.minute > 59 || ((am || pm) && (c.hour == 0 || c.hour > 12))) return false;
    used = next - i;
    sayCardinal(c.hour);
    if (c.minute == 0 && !am && !pm) say("o'clock");
    else if (c.minute > 0 && c.minute < 10) say("oh");
    if (c.minute > 0) sayCardinal(c.minute);
    if (am || pm) sayLetters(am ? U16(u"AM") : U16(u"PM"));
    return true;
}

bool EnglishReader::readClock(U16 core, Clock& c) {
    if (core.empty() || !isDigit(core[0])) return false;
    std::size_t p = 0;
    while (p < core.size() && p < 2 && isDigit(core[p])) c.hour = c.hour * 10 + static_cast<uint64_t>(core[p++] - u'0');
    auto twoDigitsAt = [&](std::size_t k) { return k + 2 <= core.size() && isDigit(core[k]) && isDigit(core[k + 1]); };
    if (p < core.size() && (core[p] == u':' || core[p] == u'.') && twoDigitsAt(p + 1)) {
        c.separator = core[p];
        c.minute = static_cast<uint64_t>((core[p + 1] - u'0') * 10 + (core[p + 2] - u'0'));
        p += 3;
        if (c.separator == u':' && p < core.size() && core[p] == u':' && twoDigitsAt(p + 1)) p += 3;
    }
    c.suffix = lower(core.substr(p));
    return true;
}

// ---------------------------------------------------------------- numbers

bool EnglishReader::numberWithContext(std::size_t i, std::size_t& used) {
    const U16 core = tokens_[i].core;
    if (core[0] == u'#' && core.size() > 1 && allDigits(core.substr(1))) {
        say("number");
        sayDecimal(core.substr(1));
        return true;
    }
    const bool sign = core[0] == u'-' || core[0] == u'+' || core[0] == 0x2212;
    if (!isDigit(core[0]) && !(sign && core.size() > 1 && isDigit(core[1]))) return shortDecade(core);
    if (digitByDigit(i)) return true;
    phoneMode_ = false;
    if (const uint64_t v = ordinalValue(core)) {
        sayOrdinal(v);
        return true;
    }
    if (core.size() == 5 && core[4] == u's' && allDigits(core.substr(0, 4))) { // 1990s, 1800s
        sayWords(numberwords::plural(numberwords::year(static_cast<uint64_t>(std::stoi(lower(core.substr(0, 4)))))));
        return true;
    }
    return numberAndAfter(i, used);
}

// '90s.
bool EnglishReader::shortDecade(U16 core) {
    if (core[0] != u'\'' || core.size() != 4 || !allDigits(core.substr(1, 2)) || core[3] != u's') return false;
    const auto decade = static_cast<uint64_t>((core[1] - u'0') * 10 + (core[2] - u'0'));
    sayWords(numberwords::plural(numberwords::cardinal(decade)));
    return true;
}

// Telephone numbers and codes, digit by digit in their groups.
bool EnglishReader::digitByDigit(std::size_t i) {
    const Token& t = tokens_[i];
    const U16 core = t.core;
    if (!readsDigitByDigit(i)) return false;
    if (core[0] == u'+') say("plus");
    for (std::size_t p = 0; p < core.size(); ++p) {
        if (isDigit(core[p])) say(numberwords::unitWord(static_cast<uint64_t>(core[p] - u'0')));
        else if (p > 0 && isDigit(core[p - 1]) && p + 1 < core.size()) sayAs(",", from_, to_);
    }
    phoneMode_ = t.trail.empty() || t.trail[0] == u')';
    return true;
}

bool EnglishReader::readsDigitByDigit(std::size_t i) const {
    const Token& t = tokens_[i];
    const U16 core = t.core;
    const std::string previous = i > 0 ? lower(tokens_[i - 1].core) : std::string();
    const bool phoneContext = inList(nt::kPhoneWords, previous) || previous == "no" || previous == "number";
    // Codes (OTP, PIN, reference numbers) are read digit by digit, also after
    // "is": "Your OTP is 482913".
    const bool codeContext =
        inList(nt::kCodeWords, previous) ||
        (i > 1 && (previous == "is" || previous == "was") && inList(nt::kCodeWords, lower(tokens_[i - 2].core)));
    const bool followedByGroup = i + 1 < tokens_.size() && tokens_[i + 1].lead.empty() &&
                                 !tokens_[i + 1].core.empty() && allDigits(tokens_[i + 1].core);
    const bool bracketed = t.lead == u"(" && !t.trail.empty() && t.trail[0] == u')' && allDigits(core) &&
                           i + 1 < tokens_.size() && phoneShape(tokens_[i + 1].core);
    // A group of three or more digits starting with 0 and followed by another
    // group is a dialling code ("020 7946 0958").
    const bool diallingCode =
        core.size() >= 3 && core[0] == u'0' && allDigits(core) && t.trail.empty() && followedByGroup;
    Number n;
    const bool plainDigits = wholeNumber(core, n) && !n.grouped && n.fraction.empty() && allDigits(core);
    return phoneShape(core) || bracketed || diallingCode ||
           (core[0] == u'+' && allDigits(core.substr(1)) && core.size() <= 4) || (phoneMode_ && allDigits(core)) ||
           (plainDigits && (n.digits >= 9 || ((phoneContext || codeContext) && n.digits >= 3)));
}

namespace {

bool isYear(const Number& x) {
    return !x.negative && x.fraction.empty() && !x.grouped && x.digits == 4 && x.value >= 1100 && x.value <= 2099;
}

} // namespace

// A number with what stands after it: a range, a fraction, a year, a unit,
// a percent sign, or letters.
bool EnglishReader::numberAndAfter(std::size_t i, std::size_t& used) {
    const U16 core = tokens_[i].core;
    Number n;
    if (!parseNumber(core, n)) return false;
    U16 rest = core.substr(n.length);
    const bool ranged = range(core, n, rest);
    if (fraction(core, n, rest)) return true;
    if (!ranged) {
        if (rest.empty() && yearAlone(i, n, used)) return true;
        sayDecimal(core.substr(0, n.length));
    }
    if (rest.empty()) unitInNextToken(i, n, used);
    else sayAfterNumber(n, rest);
    return true;
}

// 10-20, 1939-45, 10–20%: `n` and `rest` become the second number's.
bool EnglishReader::range(U16 core, Number& n, U16& rest) {
    if (n.negative || rest.size() <= 1 || (rest[0] != u'-' && rest[0] != 0x2013)) return false;
    Number m;
    const U16 second = rest.substr(1);
    if (!parseNumber(second, m) || m.negative || second[0] == u'+') return false;
    const bool years = isYear(n) && (isYear(m) || (m.digits == 2 && m.fraction.empty()));
    if (years) sayYear(n.value);
    else sayDecimal(core.substr(0, n.length));
    say("to");
    if (years && m.digits == 4) sayYear(m.value);
    else sayDecimal(second.substr(0, m.length));
    rest = second.substr(m.length);
    n = m;
    return true;
}

// 1/2, 3/4, 2/3.
bool EnglishReader::fraction(U16 core, const Number& n, U16 rest) {
    if (rest.size() <= 1 || rest[0] != u'/' || !n.fraction.empty() || n.grouped) return false;
    Number d;
    if (!wholeNumber(rest.substr(1), d) || d.negative || !d.fraction.empty() || d.value < 2 || d.value > 10 ||
        n.value >= d.value)
        return false;
    sayDecimal(core.substr(0, n.length));
    if (d.value == 2) {
        say(n.value == 1 ? "half" : "halves");
    } else if (d.value == 4) {
        say(n.value == 1 ? "quarter" : "quarters");
    } else {
        const std::string_view last = numberwords::ordinal(d.value).back();
        say(n.value == 1 ? std::string(last) : std::string(last) + 's');
    }
    return true;
}

// A number of four digits read as a year: after "in", "since", a month...,
// before "AD" or "BC", or standing alone at a sentence's end.
bool EnglishReader::yearAlone(std::size_t i, const Number& n, std::size_t& used) {
    const Token& t = tokens_[i];
    const std::string previous = i > 0 ? lower(tokens_[i - 1].core) : std::string();
    const bool yearContext = inList(nt::kYearWords, previous) || monthOf(tokens_[i > 0 ? i - 1 : i].core) != 0;
    const std::string nextWord = i + 1 < tokens_.size() ? lower(tokens_[i + 1].core) : std::string();
    const bool era = nextWord == "ad" || nextWord == "bc" || nextWord == "bce" || nextWord == "ce";
    const bool bare = n.value >= 1800 && (i + 1 >= tokens_.size() || !t.trail.empty() || startsUpper(tokens_[i + 1]));
    if (!isYear(n) || !(yearContext || era || bare)) return false;
    sayYear(n.value);
    if (era) {
        sayLetters(tokens_[i + 1].core);
        used = 2;
    }
    return true;
}

bool EnglishReader::sayUnit(const Number& n, U16 sign) {
    const nt::Unit* u = unitIs(sign);
    if (!u) return false;
    say(n.value == 1 && n.fraction.empty() ? u->one : u->many);
    return true;
}

// A unit or a percent sign in the next token: 5 km, 20 °C, 10 %.
void EnglishReader::unitInNextToken(std::size_t i, const Number& n, std::size_t& used) {
    if (i + 1 >= tokens_.size() || !tokens_[i].trail.empty() || !tokens_[i + 1].lead.empty()) return;
    const U16 next = tokens_[i + 1].core;
    const bool single = next.size() == 1;
    const bool listed =
        std::find(nt::kSingleLetterUnits.begin(), nt::kSingleLetterUnits.end(), next) != nt::kSingleLetterUnits.end();
    if ((!single || listed) && next != u"s" && sayUnit(n, next)) {
        used = 2;
    } else if (next == u"%" || next == u"percent") {
        say("percent");
        used = 2;
    }
}

// What is joined to the number: %, x, the plural s ("80s"), a unit ("5km"),
// or letters read as words after it ("5-year-old", "12abc").
void EnglishReader::sayAfterNumber(const Number& n, U16 rest) {
    if (rest == u"%") {
        say("percent");
    } else if (rest == u"x" || rest == u"X") {
        say("times");
    } else if (rest == u"s" && n.value >= 10) {
        std::string last = out_->text.substr(out_->text.rfind(' ') + 1);
        out_->text.resize(out_->text.rfind(' '));
        out_->from.resize(out_->text.size());
        out_->to.resize(out_->text.size());
        say(numberwords::pluralOf(last) == last ? last + "s" : std::string(numberwords::pluralOf(last)));
    } else if (!sayUnit(n, rest)) {
        std::size_t p = 0;
        while (p < rest.size() && (rest[p] == u'-' || rest[p] == 0x2013)) ++p;
        std::string w;
        for (; p < rest.size(); ++p) w.push_back(rest[p] < 256 && rest[p] != u'-' ? static_cast<char>(rest[p]) : ' ');
        if (!w.empty()) say(w);
    }
}

} // namespace vorsan
