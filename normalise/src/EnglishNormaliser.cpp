// English normalisation: the text is cut into blank-separated tokens (with
// their opening and closing punctuation apart), and each token, looking at its
// neighbours where that decides the reading, is said as words. This file: the
// output, the tokens, and words; numbers are in NormaliseNumbers.cpp.
#include "EnglishReader.h"

#include <algorithm>

#include "EnglishText.h"
#include "vorsan/normalise/NumberWords.h"

namespace vorsan {

using namespace normtext;

EnglishNormaliser::EnglishNormaliser(KnownWord known) : reader_(std::make_unique<EnglishReader>(std::move(known))) {}

EnglishNormaliser::~EnglishNormaliser() = default;

void EnglishNormaliser::normalise(U16 text, std::size_t base, NormalisedText& out) {
    reader_->normalise(text, base, out);
}

// ---------------------------------------------------------------- output

void EnglishReader::sayAs(std::string_view word, uint32_t from, uint32_t to) {
    NormalisedText& o = *out_;
    o.text.push_back(' ');
    o.text.append(word);
    o.from.resize(o.text.size(), from);
    o.to.resize(o.text.size(), to);
}

void EnglishReader::say(std::string_view word) { sayAs(word, from_, to_); }

void EnglishReader::sayPhrase(std::string_view words) {
    for (std::size_t p; !words.empty(); words.remove_prefix(p == std::string_view::npos ? words.size() : p + 1)) {
        p = words.find(' ');
        say(words.substr(0, p));
    }
}

void EnglishReader::punctuation(U16 marks, uint32_t at) {
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const char16_t c = marks[i];
        const uint32_t where = at + static_cast<uint32_t>(i);
        if (c == u'.' || c == u',' || c == u';' || c == u':' || c == u'!' || c == u'?') {
            const char mark[1] = {static_cast<char>(c)};
            sayAs(std::string_view(mark, 1), where, where + 1);
        } else if (c == 0x2026) {
            sayAs(".", where, where + 1);
        } else if (isDash(c)) {
            sayAs(",", where, where + 1);
        }
    }
}

void EnglishReader::sayWords(const numberwords::Words& words) {
    for (std::string_view w : words) say(w);
}

void EnglishReader::sayCardinal(uint64_t value) { sayWords(numberwords::cardinal(value)); }

void EnglishReader::sayOrdinal(uint64_t value) { sayWords(numberwords::ordinal(value)); }

void EnglishReader::sayYear(uint64_t value) { sayWords(numberwords::year(value)); }

void EnglishReader::sayDigits(U16 digits) {
    for (char16_t c : digits)
        if (isDigit(c)) say(nt::kUnits[static_cast<std::size_t>(c - u'0')]);
}

void EnglishReader::sayLetters(U16 letters) {
    for (char16_t c : letters)
        if (isLetter(c)) {
            const char pair[2] = {kLetterNameMark, static_cast<char>(isUpper(c) ? c : c - u'a' + u'A')};
            say(std::string_view(pair, 2));
        }
}

void EnglishReader::sayDecimal(U16 text) {
    Number n;
    parseNumber(text, n);
    if (n.negative) say("minus");
    if (n.indian && n.fits) {
        // Grouped the Indian way (12,34,567): said in crores and lakhs.
        sayWords(numberwords::indian(n.value));
    } else if (n.fits && !(n.digits > 1 && n.whole[0] == u'0')) {
        sayCardinal(n.value);
    } else {
        sayDigits(n.whole); // too long, or with leading zeros ("007")
    }
    if (!n.fraction.empty()) {
        say("point");
        sayDigits(n.fraction);
    }
}

void EnglishReader::spellOut(U16 text) {
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

void EnglishReader::normalise(U16 text, std::size_t base, NormalisedText& out) {
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
        // Dashes standing alone, and the ellipsis, are only punctuation.
        if (std::all_of(whole.begin() + static_cast<std::ptrdiff_t>(b), whole.begin() + static_cast<std::ptrdiff_t>(e),
                        [](char16_t c) { return isDash(c) || isBreak(c); }))
            e = b;
        // A number's decimal point or an abbreviation's full stop stays with it
        // only inside the token; a lone closing mark is all trail.
        tokens_.push_back(Token{whole.substr(0, b), whole.substr(b, e - b), whole.substr(e), at(i)});
        i = end;
    }
    phoneMode_ = false;
    for (std::size_t i = 0; i < tokens_.size();) i += readToken(i);
}

std::size_t EnglishReader::readToken(std::size_t i) {
    // "@home", "@name": the sign is said, as people read it aloud, and the
    // rest read as a word of its own.
    if (Token& at = tokens_[i]; at.core.size() > 1 && at.core[0] == u'@' && (isLetter(at.core[1]) || isDigit(at.core[1]))) {
        const uint32_t sign = at.at + static_cast<uint32_t>(at.lead.size());
        sayAs("at", sign, sign + 1);
        at.lead = std::u16string_view(at.core.data() - at.lead.size(), at.lead.size() + 1);
        at.core.remove_prefix(1);
    }
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
    // Most words of a text are lower-case letters without a full stop; no
    // reading below starts with one but those of "dr", "st" and "no", so
    // they are said as written at once.
    if (plainWord(t)) {
        phoneMode_ = false;
        sayAsWritten(t.core);
        punctuation(t.trail, coreAt + static_cast<uint32_t>(t.core.size()));
        return 1;
    }
    const bool numeric = money(i, used) || timeOfDay(i, used) || date(i, used) || numberWithContext(i, used);
    if (!numeric) {
        phoneMode_ = false;
        dropPeriod = word(i);
    }
    const Token& last = tokens_[i + used - 1];
    if (numeric) {
        // The full stop of "a.m." or "p.m." inside a sentence ("at 9 a.m. sharp")
        // is the abbreviation's, not the sentence's.
        const std::string w = lower(last.core);
        const std::size_t after = i + used;
        dropPeriod = (w == "a.m" || w == "p.m") && after < tokens_.size() && !startsUpper(tokens_[after]);
    }
    U16 trail = last.trail;
    if (dropPeriod && !trail.empty() && trail[0] == u'.') trail.remove_prefix(1);
    punctuation(trail, last.at + static_cast<uint32_t>(last.lead.size() + last.core.size()));
    return used;
}

bool EnglishReader::plainWord(const Token& t) {
    const U16 core = t.core;
    if ((!t.trail.empty() && t.trail[0] == u'.') || core == u"dr" || core == u"st" || core == u"no" || core == u"nos")
        return false;
    return std::all_of(core.begin(), core.end(), [](char16_t c) { return isLower(c) || c == u'\''; });
}

// A word as written, typographic marks as their ASCII counterparts.
void EnglishReader::sayAsWritten(U16 core) {
    NormalisedText& o = *out_;
    o.text.push_back(' ');
    o.from.push_back(from_);
    o.to.push_back(to_);
    const uint32_t coreAt = from_;
    for (std::size_t p = 0; p < core.size(); ++p) {
        const char16_t c = core[p];
        char b;
        const std::u16string_view ascii = normalise::asciiOf(c);
        if (c == 0x2013) b = ' ';
        else if (c == u'-' && p > 0 && p + 1 < core.size() && (isDigit(core[p + 1]) || isDigit(core[p - 1])))
            b = ' '; // "COVID-19": a word and a number
        else if (ascii.size() == 1) b = static_cast<char>(ascii[0]);
        else if (c < 256) b = static_cast<char>(c);
        else continue;
        o.text.push_back(b);
        o.from.push_back(coreAt + static_cast<uint32_t>(p));
        o.to.push_back(coreAt + static_cast<uint32_t>(p) + 1);
    }
}


} // namespace vorsan
