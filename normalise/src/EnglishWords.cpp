// English normalisation of tokens without digits: addresses, day ranges,
// abbreviations, letters with full stops, Roman numerals, initials and
// acronyms. Each reading returns whether it read the token; `dropPeriod`
// tells that a full stop after it belongs to the word, not to the sentence.
#include <algorithm>

#include "EnglishReader.h"
#include "EnglishText.h"

namespace vorsan {

using namespace normtext;

namespace {

bool endsWithSentenceMark(const EnglishReader::Token& t) {
    return !t.trail.empty() && (t.trail.back() == u'.' || t.trail.back() == u'!' || t.trail.back() == u'?');
}

bool isAddress(U16 core, const std::string& w) {
    const std::size_t atSign = core.find(u'@');
    if (core.find(u"://") != U16::npos || w.rfind("www.", 0) == 0) return true;
    if (atSign != U16::npos && atSign > 0 && core.find(u'.', atSign) != U16::npos &&
        core.find(u'.', atSign) + 1 < core.size())
        return true;
    const bool domain = w.size() > 4 && (w.ends_with(".com") || w.ends_with(".org") || w.ends_with(".net") ||
                                         w.ends_with(".in") || w.ends_with(".io"));
    return domain && std::all_of(core.begin(), core.end(), [](char16_t c) { return c < 128; });
}

const nt::Name* dayNamed(const std::string& s) {
    for (const nt::Name& d : nt::kDays)
        if (s == d.shortForm || s == d.fullForm) return &d;
    return nullptr;
}

bool dottedLetters(U16 core) {
    if (core.size() < 3 || core.size() % 2 == 0) return false;
    for (std::size_t p = 0; p < core.size(); ++p)
        if (!(p % 2 == 0 ? isLetter(core[p]) : core[p] == u'.')) return false;
    return true;
}

// A capitalised name such as "Henry", written without punctuation after it.
bool plainName(const EnglishReader::Token& p) {
    return p.core.size() >= 2 && isUpper(p.core[0]) && std::all_of(p.core.begin() + 1, p.core.end(), isLower) &&
           p.trail.empty();
}

} // namespace

EnglishReader::WordContext EnglishReader::contextOf(std::size_t i) const {
    const Token& t = tokens_[i];
    WordContext c{i, t, lower(t.core)};
    c.period = !t.trail.empty() && t.trail[0] == u'.';
    c.nextUpper = i + 1 < tokens_.size() && startsUpper(tokens_[i + 1]);
    // A capitalised word before, not the first of its sentence: a name.
    c.previousUpper = i > 1 && startsUpper(tokens_[i - 1]) && tokens_[i - 1].trail.empty() &&
                      !endsWithSentenceMark(tokens_[i - 2]);
    c.nextIsNumber = i + 1 < tokens_.size() && !tokens_[i + 1].core.empty() && isDigit(tokens_[i + 1].core[0]);
    c.endsSentence = !c.nextUpper ? i + 1 >= tokens_.size() : true;
    return c;
}

bool EnglishReader::word(std::size_t i) {
    const WordContext c = contextOf(i);
    bool dropPeriod = false;
    if (isAddress(c.t.core, c.w)) {
        spellOut(c.t.core);
        return false;
    }
    if (dayRange(c) || contextAbbreviation(c, dropPeriod) || listedAbbreviation(c, dropPeriod) ||
        lettersWithStops(c, dropPeriod) || romanNumeral(c) || initial(c, dropPeriod) || acronym(c))
        return dropPeriod;
    sayAsWritten(c.t.core);
    return false;
}

// "Mon-Fri", "Sat–Sun".
bool EnglishReader::dayRange(const WordContext& c) {
    const std::size_t dash = c.t.core.find_first_of(u"-\u2013");
    if (dash == U16::npos || !startsUpper(c.t)) return false;
    const nt::Name* first = dayNamed(lower(c.t.core.substr(0, dash)));
    const nt::Name* last = dayNamed(lower(c.t.core.substr(dash + 1)));
    if (!first || !last) return false;
    say(first->said);
    say("to");
    say(last->said);
    return true;
}

// "Dr", "St" and "No", whose reading their neighbours decide.
bool EnglishReader::contextAbbreviation(const WordContext& c, bool& dropPeriod) {
    const std::string& w = c.w;
    if (w == "dr" || w == "st") {
        const bool place = c.previousUpper || (c.i > 0 && allDigits(tokens_[c.i - 1].core.substr(0, 1)));
        const bool title = !place && c.nextUpper;
        if (!c.period && !title) return false;
        say(w == "dr" ? (title ? "doctor" : "drive") : (title ? "saint" : "street"));
        dropPeriod = title || !c.endsSentence;
        return true;
    }
    if ((w == "no" || w == "nos") && (c.period || c.t.core == u"No") && c.nextIsNumber) {
        say("number");
        dropPeriod = true;
        return true;
    }
    return false;
}

// Listed abbreviations with their full stop ("Prof.", "etc."), months and
// days ("Aug.", "Tue."), and titles without one before a name ("Mr Rao").
bool EnglishReader::listedAbbreviation(const WordContext& c, bool& dropPeriod) {
    const std::string& w = c.w;
    if (c.period) {
        for (const nt::Abbreviation& a : nt::kAbbreviations)
            if (w == a.written) {
                if (!a.title && c.t.core.size() <= 3 && !startsUpper(c.t) && w != "etc") break;
                sayPhrase(a.said);
                dropPeriod = a.title || !c.endsSentence;
                return true;
            }
        if (startsUpper(c.t) && calendarAbbreviation(c)) {
            dropPeriod = !c.endsSentence;
            return true;
        }
    }
    const U16 core = c.t.core;
    const bool title = core == u"Mr" || core == u"Mrs" || core == u"Ms" || core == u"Prof";
    if (c.period || !c.nextUpper || !title) return false;
    for (const nt::Abbreviation& a : nt::kAbbreviations)
        if (w == a.written) {
            say(a.said);
            return true;
        }
    return false;
}

bool EnglishReader::calendarAbbreviation(const WordContext& c) {
    if (const int m = monthOf(c.t.core); m != 0 && c.w.size() <= 4) {
        say(normalise::monthName(m));
        return true;
    }
    for (const nt::Name& d : nt::kDays)
        if (c.w == d.shortForm) {
            say(d.said);
            return true;
        }
    return false;
}

// Letters with full stops: U.S., U.K., and the like not listed.
bool EnglishReader::lettersWithStops(const WordContext& c, bool& dropPeriod) {
    if (!dottedLetters(c.t.core)) return false;
    sayLetters(c.t.core);
    dropPeriod = !c.endsSentence;
    return true;
}

// Roman numerals after "Chapter" or "War" (a number) or after a name (a
// regnal ordinal: "Henry VIII").
bool EnglishReader::romanNumeral(const WordContext& c) {
    if (!allUpper(c.t.core) || c.i == 0) return false;
    const int value = romanValue(c.t.core);
    const Token& p = tokens_[c.i - 1];
    if (value > 0 && p.trail.empty() && inList(nt::kNumberedThings, lower(p.core))) {
        sayCardinal(static_cast<uint64_t>(value));
        return true;
    }
    const bool knownName = std::any_of(nt::kRegnalNames.begin(), nt::kRegnalNames.end(),
                                       [&](std::string_view r) { return equalsAscii(p.core, r); });
    if (value > 0 && value <= 50 && plainName(p) && (c.t.core.size() > 1 || knownName)) {
        say("the");
        sayOrdinal(static_cast<uint64_t>(value));
        return true;
    }
    return false;
}

// An initial before a name ("A. P. J. Abdul Kalam"): the letter's name, and
// its full stop is no sentence's end.
bool EnglishReader::initial(const WordContext& c, bool& dropPeriod) {
    if (c.t.core.size() != 1 || !isUpper(c.t.core[0]) || !c.period || !c.nextUpper) return false;
    sayLetters(c.t.core);
    dropPeriod = true;
    return true;
}

// Acronyms: spelled, unless short of vowels' company they are words of the
// dictionary ("NASA"), or the text around is in capitals.
bool EnglishReader::acronym(const WordContext& c) {
    const U16 core = c.t.core;
    if (core.size() < 2 || !allUpper(core)) return false;
    auto capsWord = [&](std::size_t k) {
        return k < tokens_.size() && tokens_[k].core.size() >= 4 && allUpper(tokens_[k].core) &&
               known_(lower(tokens_[k].core));
    };
    const bool capsText = (c.i > 0 && capsWord(c.i - 1)) || capsWord(c.i + 1);
    const bool vowel = c.w.find_first_of("aeiouy") != std::string::npos;
    if (capsText && known_(c.w)) say(c.w);
    else if (core.size() <= 3 || !vowel) sayLetters(core);
    else say(c.w);
    return true;
}

} // namespace vorsan
