#include "vorsan/language/Digits.h"

#include <string>

namespace vorsan {

std::u16string toAsciiDigit(const DigitMap& map, char16_t c) {
    for (std::size_t i = 0; i < map.size(); ++i)
        if (map[i] == c) return std::u16string(1, static_cast<char16_t>(u'0' + i));
    return {};
}

namespace {

// Builds the words of one number; the words under construction are local so
// that one database can convert on several threads at once.
class NumberSpeaker {
public:
    explicit NumberSpeaker(const DigitWords& table) : words_(table.words) {}

    bool lookup(const std::string& key) {
        auto it = words_.find(key);
        if (it == words_.end()) return false;
        out.push_back(u' ');
        out += it->second;
        return true;
    }

    void convert(int64_t n) {
        if (n < 1) return;
        const std::string plain = std::to_string(n);
        if (!out.empty() && lookup("+" + plain)) return;
        if (lookup(plain)) return;
        int i = static_cast<int>(DigitWords::kPlaces.size()) - 1;
        while (i >= 0 && !(n > DigitWords::kPlaces[i])) --i;
        if (i < 0) { // only 1 gets here, and "1" is not listed
            out.clear();
            return;
        }
        const int64_t place = DigitWords::kPlaces[i];
        const int64_t rest = n % place;
        const int64_t head = n - rest;
        if (rest == 0) {
            compose(head, place, false);
            return;
        }
        const std::string h = std::to_string(head);
        bool said = false;
        if (!out.empty()) said = lookup("+" + h + "+");
        if (!said) said = lookup(h + "+");
        if (!said) said = lookup(h);
        if (!said) compose(head, place, true);
        convert(rest);
    }

    // head = m x place: the multiplier's words, then the place word.
    void compose(int64_t head, int64_t place, bool following) {
        if (place == 1) return;
        const int64_t m = head / place;
        if (m <= 1) return;
        if (lookup(std::to_string(m * place))) return;
        convert(m);
        const std::string p = std::to_string(place);
        if (!following) {
            if (!lookup("+*" + p) && !lookup("+" + p)) lookup(p);
        } else {
            if (!lookup("+*" + p + "+") && !lookup("+" + p + "+") && !lookup(p + "+")) lookup(p);
        }
    }

    std::u16string out;

private:
    const std::map<std::string, std::u16string, std::less<>>& words_;
};

} // namespace

std::u16string DigitWords::numberToWords(std::string_view digits) const {
    NumberSpeaker speaker(*this);
    std::size_t first = 0;
    while (first < digits.size() && digits[first] == '0') ++first;
    std::string_view significant = digits.substr(first);
    for (char c : significant)
        if (c < '0' || c > '9') return {};
    int64_t value = 0;
    bool tooLarge = significant.size() > 10;
    if (!tooLarge) {
        for (char c : significant) value = value * 10 + (c - '0');
        tooLarge = value > 2147483647;
    }
    if (significant.empty()) {
        // Zero is said (3.05 is "three point zero five"), when the words have it.
        if (!digits.empty()) speaker.lookup("0");
        return speaker.out;
    }
    if (tooLarge) {
        // Beyond what the place-value words cover: say it digit by digit.
        for (char c : significant) speaker.lookup(std::string(1, c));
        return speaker.out;
    }
    speaker.convert(value);
    return speaker.out;
}

} // namespace vorsan
