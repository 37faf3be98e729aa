// English dates: 15/08/1947, 15-08-1947, 15.08.1947, 1947-08-15, 8/15/47,
// 15 August 1947, 15th Aug, August 15, 1947, Aug. 15 and August 1947.
#include <algorithm>
#include <optional>
#include <utility>

#include "EnglishReader.h"
#include "EnglishText.h"

namespace vorsan {

using namespace normtext;

namespace {

// A day of the month written "15" or "15th"; 0 for anything else.
uint64_t dayOf(U16 s) {
    Number n;
    uint64_t v = ordinalValue(s);
    if (v == 0 && wholeNumber(s, n) && !n.negative && n.fraction.empty() && !n.grouped && n.digits <= 2) v = n.value;
    return v >= 1 && v <= 31 ? v : 0;
}

uint64_t valueOf(U16 digits) {
    uint64_t v = 0;
    for (char16_t c : digits) v = v * 10 + static_cast<uint64_t>(c - u'0');
    return v;
}

} // namespace

bool EnglishReader::date(std::size_t i, std::size_t& used) {
    const U16 core = tokens_[i].core;
    if (core.empty() || !isDigit(core[0])) return monthDayDate(i, used);
    if (const std::optional<bool> numeric = numericDate(core)) return *numeric;
    return dayMonthDate(i, used);
}

// A year of four digits in token k, else 0.
uint64_t EnglishReader::yearAt(std::size_t k) const {
    if (k >= tokens_.size() || !tokens_[k].lead.empty()) return 0;
    const U16 y = tokens_[k].core;
    return y.size() == 4 && allDigits(y) ? static_cast<uint64_t>(std::stoi(lower(y))) : 0;
}

// The month a capitalised token k names, else 0.
int EnglishReader::monthAt(std::size_t k) const {
    if (k >= tokens_.size() || !startsUpper(tokens_[k])) return 0;
    return monthOf(tokens_[k].core);
}

// The words said stand for tokens i up to k.
void EnglishReader::endAt(std::size_t i, std::size_t k, std::size_t& used) {
    used = k - i;
    to_ = tokens_[k - 1].at + static_cast<uint32_t>(tokens_[k - 1].lead.size() + tokens_[k - 1].core.size());
}

void EnglishReader::sayDayOfMonth(uint64_t day, int month) {
    say("the");
    sayOrdinal(day);
    say("of");
    say(normalise::monthName(month));
}

// Three digit groups joined by one of / - . : no value when the token has
// another shape; false when it has this shape but is no date.
std::optional<bool> EnglishReader::numericDate(U16 core) {
    const auto mark = std::find_if(core.begin(), core.end(), [](char16_t c) { return !isDigit(c); });
    if (mark == core.end() || (*mark != u'/' && *mark != u'-' && *mark != u'.')) return std::nullopt;
    U16 parts[3];
    std::size_t count = 0, start = 0;
    for (std::size_t p = 0; p <= core.size(); ++p)
        if (p == core.size() || core[p] == *mark) {
            if (count == 3) return false;
            parts[count++] = core.substr(start, p - start);
            start = p + 1;
        }
    if (count != 3 || !allDigits(parts[0]) || !allDigits(parts[1]) || !allDigits(parts[2])) return std::nullopt;
    return sayNumericDate(parts);
}

// Year first when it has four digits; else day first, unless the second
// group cannot be a month but the first can (8/15/47).
bool EnglishReader::sayNumericDate(const U16 (&parts)[3]) {
    const bool yearFirst = parts[0].size() == 4;
    const U16 yearText = yearFirst ? parts[0] : parts[2];
    uint64_t day = valueOf(yearFirst ? parts[2] : parts[0]), month = valueOf(parts[1]);
    if (!yearFirst && month > 12 && day <= 12) std::swap(day, month);
    if (parts[0].size() > 4 || parts[1].size() > 2 || (yearText.size() != 4 && yearText.size() != 2) || day < 1 ||
        day > 31 || month < 1 || month > 12)
        return false;
    sayDayOfMonth(day, static_cast<int>(month));
    const uint64_t year = valueOf(yearText);
    if (yearText.size() == 4) {
        sayYear(year);
    } else {
        if (year < 10) say("oh");
        sayCardinal(year);
    }
    return true;
}

// 15 August 1947, 15th Aug.
bool EnglishReader::dayMonthDate(std::size_t i, std::size_t& used) {
    const uint64_t day = dayOf(tokens_[i].core);
    const int month = day != 0 && tokens_[i].trail.empty() ? monthAt(i + 1) : 0;
    if (month == 0) return false;
    sayDayOfMonth(day, month);
    std::size_t k = i + 2;
    if (const uint64_t y = yearAt(k)) {
        sayYear(y);
        ++k;
    }
    endAt(i, k, used);
    return true;
}

// August 15, 1947; Aug. 15; August 1947.
bool EnglishReader::monthDayDate(std::size_t i, std::size_t& used) {
    const int month = monthAt(i);
    if (month == 0 || i + 1 >= tokens_.size() || !tokens_[i + 1].lead.empty()) return false;
    const uint64_t day = dayOf(tokens_[i + 1].core);
    const uint64_t y = day == 0 ? yearAt(i + 1) : 0;
    if (day == 0 && y == 0) return false;
    say(normalise::monthName(month));
    std::size_t k = i + 2;
    if (day == 0) {
        sayYear(y);
    } else {
        from_ = tokens_[i + 1].at;
        sayOrdinal(day);
        if (const uint64_t year = yearAt(k)) {
            sayYear(year);
            ++k;
        }
    }
    endAt(i, k, used);
    return true;
}

} // namespace vorsan
