#include "Ssml.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "vorsan/core/Text.h"

namespace vorsan::speechd {

namespace {

// Text with its entities decoded; an entity that is not one stays as written.
std::string decode(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        if (s[i] != '&') {
            out += s[i++];
            continue;
        }
        // An entity is short: the ';' is looked for in the next few bytes
        // only, so text full of '&' is read in linear time.
        const std::size_t near = s.substr(i, 14).find(';');
        const std::size_t semi = near == std::string_view::npos ? near : i + near;
        if (semi == std::string_view::npos || semi - i > 12) {
            out += s[i++];
            continue;
        }
        const std::string_view name = s.substr(i + 1, semi - i - 1);
        std::optional<uint32_t> c;
        if (name == "amp") c = '&';
        else if (name == "lt") c = '<';
        else if (name == "gt") c = '>';
        else if (name == "quot") c = '"';
        else if (name == "apos") c = '\'';
        else if (name == "nbsp") c = ' ';
        else if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x' || name[1] == 'X';
            const std::string digits(name.substr(hex ? 2 : 1));
            if (!digits.empty() && std::all_of(digits.begin(), digits.end(), [&](unsigned char d) {
                    return hex ? std::isxdigit(d) != 0 : std::isdigit(d) != 0;
                }))
                c = static_cast<uint32_t>(std::min(std::strtoul(digits.c_str(), nullptr, hex ? 16 : 10), 0x110000ul));
        }
        if (!c) {
            out += s[i++];
            continue;
        }
        appendUtf8(out, *c);
        i = semi + 1;
    }
    return out;
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& ch : out) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return out;
}

struct Tag {
    std::string name; // lower case, without a namespace prefix
    bool closing = false;
    bool selfClosing = false;
    std::vector<std::pair<std::string, std::string>> attributes; // name lower case, value decoded

    std::optional<std::string> attribute(std::string_view n) const {
        for (const auto& [k, v] : attributes)
            if (k == n) return v;
        return std::nullopt;
    }
};

Tag parseTag(std::string_view body) {
    Tag tag;
    std::size_t i = 0;
    auto skipSpace = [&] {
        while (i < body.size() && std::isspace(static_cast<unsigned char>(body[i]))) ++i;
    };
    // "<x/>" first, so that "</>" leaves nothing to read rather than a
    // position past its end.
    if (!body.empty() && body.back() == '/') {
        tag.selfClosing = true;
        body.remove_suffix(1);
    }
    skipSpace();
    if (i < body.size() && body[i] == '/') {
        tag.closing = true;
        ++i;
    }
    const std::size_t nameStart = i;
    while (i < body.size() && !std::isspace(static_cast<unsigned char>(body[i])) && body[i] != '/') ++i;
    std::string name = lower(body.substr(nameStart, i - nameStart));
    if (const std::size_t colon = name.rfind(':'); colon != std::string::npos) name.erase(0, colon + 1);
    tag.name = name;
    while (i < body.size()) {
        skipSpace();
        const std::size_t keyStart = i;
        while (i < body.size() && body[i] != '=' && !std::isspace(static_cast<unsigned char>(body[i]))) ++i;
        std::string key = lower(body.substr(keyStart, i - keyStart));
        skipSpace();
        std::string value;
        if (i < body.size() && body[i] == '=') {
            ++i;
            skipSpace();
            if (i < body.size() && (body[i] == '"' || body[i] == '\'')) {
                const char quote = body[i++];
                const std::size_t end = body.find(quote, i);
                const std::size_t stop = end == std::string_view::npos ? body.size() : end;
                value = decode(body.substr(i, stop - i));
                i = stop == body.size() ? stop : stop + 1;
            } else {
                const std::size_t start = i;
                while (i < body.size() && !std::isspace(static_cast<unsigned char>(body[i]))) ++i;
                value = decode(body.substr(start, i - start));
            }
        }
        if (key.empty() && i == keyStart) ++i; // a stray character: step over it
        else if (!key.empty()) tag.attributes.emplace_back(std::move(key), std::move(value));
    }
    return tag;
}

// A break's length in ms: "time" as "250ms", "1.5s" or a bare number of
// ms, else by "strength"; at most kMaxBreakMs.
unsigned breakMs(const Tag& tag) {
    if (auto time = tag.attribute("time")) {
        const char* begin = time->c_str();
        char* end = nullptr;
        double v = std::strtod(begin, &end);
        if (end != begin && v >= 0 && v == v) {
            const std::string unit = lower(std::string_view(end));
            if (unit.find("ms") == std::string::npos && unit.find('s') != std::string::npos) v *= 1000;
            return static_cast<unsigned>(std::min<double>(v, kMaxBreakMs));
        }
    }
    const std::string strength = lower(tag.attribute("strength").value_or("medium"));
    if (strength == "none") return 0;
    if (strength == "x-weak") return 100;
    if (strength == "weak") return 200;
    if (strength == "strong") return 700;
    if (strength == "x-strong") return 1000;
    return 400;
}

struct Keyword {
    const char* word;
    double factor;
};
constexpr Keyword kRates[] = {{"x-slow", 0.5}, {"slow", 0.75}, {"medium", 1}, {"default", 1}, {"fast", 1.5}, {"x-fast", 2}};
constexpr Keyword kPitches[] = {{"x-low", 0.7}, {"low", 0.85}, {"medium", 1}, {"default", 1}, {"high", 1.2}, {"x-high", 1.4}};
constexpr Keyword kVolumes[] = {{"silent", 0},  {"x-soft", 0.3}, {"soft", 0.6},  {"medium", 1},
                                {"default", 1}, {"loud", 1.4},   {"x-loud", 1.8}};

enum class Quantity { Rate, Pitch, Volume };

// A prosody attribute as a factor over what surrounds it: a keyword, a
// percentage of it ("150%"), a change ("+20%", "-10%"), semitones for pitch
// ("+2st"), decibels for volume ("-6dB"), a bare multiplier for rate ("1.5")
// and SSML's 0-100 scale for volume ("50"). Anything else (hertz, which
// need a base the voice does not give) leaves it as it is.
template <std::size_t N>
double factor(const std::optional<std::string>& attribute, const Keyword (&keywords)[N], Quantity quantity) {
    if (!attribute) return 1;
    std::string v = lower(*attribute);
    const auto first = v.find_first_not_of(" \t\n\r");
    if (first == std::string::npos) return 1;
    v = v.substr(first, v.find_last_not_of(" \t\n\r") - first + 1);
    for (const Keyword& k : keywords)
        if (v == k.word) return k.factor;
    const bool sign = v[0] == '+' || v[0] == '-';
    char* end = nullptr;
    const double n = std::strtod(v.c_str(), &end);
    if (end == v.c_str() || !std::isfinite(n)) return 1;
    const std::string_view unit(end);
    double f = 1;
    if (unit == "%") f = sign ? 1 + n / 100 : n / 100;
    else if (unit == "st" && quantity == Quantity::Pitch) f = std::pow(2.0, n / 12);
    else if (unit == "db" && quantity == Quantity::Volume) f = std::pow(10.0, n / 20);
    else if (unit.empty() && quantity == Quantity::Rate && !sign) f = n;
    else if (unit.empty() && quantity == Quantity::Volume) f = sign ? (100 + n) / 100 : n / 100;
    return std::isfinite(f) && f >= 0 ? f : 1;
}

// The prosody inside `outer` that the tag asks for, kept where the voice
// can speak it.
Prosody nested(const Prosody& outer, const Tag& tag, unsigned element) {
    const double rate = factor(tag.attribute("rate"), kRates, Quantity::Rate);
    const double pitch = factor(tag.attribute("pitch"), kPitches, Quantity::Pitch);
    const double volume = factor(tag.attribute("volume"), kVolumes, Quantity::Volume);
    Prosody p;
    // No speech has a rate or pitch of nothing: such a value is ignored.
    p.rate = std::clamp(outer.rate * (rate > 0 ? rate : 1), 0.2, 5.0);
    p.pitch = std::clamp(outer.pitch * (pitch > 0 ? pitch : 1), 0.25, 4.0);
    p.volume = std::clamp(outer.volume * volume, 0.0, 4.0);
    p.element = element;
    return p;
}

class Reader {
public:
    std::vector<SsmlPiece> pieces;

    void text(std::string_view raw) {
        if (raw.empty() || skipDepth_ > 0) return;
        std::string t = decode(raw);
        const bool spell = spellDepth_ > 0;
        const Prosody& prosody = prosody_.back();
        if (!pieces.empty() && pieces.back().kind == SsmlPiece::Text && pieces.back().spell == spell &&
            pieces.back().prosody == prosody)
            pieces.back().text += t;
        else
            pieces.push_back({SsmlPiece::Text, std::move(t), 0, spell, prosody});
    }

    void tag(const Tag& t) {
        if (t.name == "mark" && !t.closing) {
            if (auto name = t.attribute("name"); name && skipDepth_ == 0) pieces.push_back({SsmlPiece::Mark, *name, 0, false, {}});
        } else if (t.name == "break" && !t.closing) {
            if (skipDepth_ == 0) pieces.push_back({SsmlPiece::Break, {}, breakMs(t), false, {}});
        } else if (t.name == "say-as") {
            const std::string how = lower(t.attribute("interpret-as").value_or(""));
            const bool spelled = how == "characters" || how == "spell-out" || how == "tts:char" || how == "letters";
            if (t.closing) {
                if (!sayAs_.empty()) {
                    if (sayAs_.back()) --spellDepth_;
                    sayAs_.pop_back();
                }
            } else if (!t.selfClosing) {
                sayAs_.push_back(spelled);
                if (spelled) ++spellDepth_;
            }
        } else if (t.name == "prosody") {
            if (t.closing) {
                if (prosody_.size() > 1) prosody_.pop_back();
            } else if (!t.selfClosing) {
                prosody_.push_back(nested(prosody_.back(), t, ++elements_));
            }
        } else if (t.name == "sub") {
            if (t.closing) {
                if (skipDepth_ > 0) --skipDepth_;
            } else if (auto alias = t.attribute("alias")) {
                text(*alias);
                if (!t.selfClosing) ++skipDepth_;
            }
        }
        // Every other tag (speak, voice, p, s, audio, emphasis, ...)
        // is dropped; its text is read on.
    }

private:
    std::vector<bool> sayAs_;
    std::vector<Prosody> prosody_{Prosody{}}; // the innermost last
    unsigned elements_ = 0;                   // <prosody> elements opened so far
    int spellDepth_ = 0;
    int skipDepth_ = 0;
};

} // namespace

std::vector<SsmlPiece> readSsml(std::string_view s) {
    Reader r;
    std::size_t i = 0;
    std::size_t nextGt = std::string_view::npos;
    bool noGt = false;
    while (i < s.size()) {
        const std::size_t lt = s.find('<', i);
        if (lt == std::string_view::npos) {
            r.text(s.substr(i));
            break;
        }
        r.text(s.substr(i, lt - i));
        const std::string_view rest = s.substr(lt);
        auto skipPast = [&](std::string_view close) -> bool {
            const std::size_t end = s.find(close, lt);
            if (end == std::string_view::npos) return false;
            i = end + close.size();
            return true;
        };
        if (rest.starts_with("<!--")) {
            if (!skipPast("-->")) i = s.size();
            continue;
        }
        if (rest.starts_with("<![CDATA[")) {
            const std::size_t end = s.find("]]>", lt);
            const std::size_t stop = end == std::string_view::npos ? s.size() : end;
            // CDATA is text as written: no entities.
            std::string literal(s.substr(lt + 9, stop - lt - 9));
            std::string escaped;
            for (char ch : literal) escaped += ch == '&' ? std::string("&amp;") : std::string(1, ch);
            r.text(escaped);
            i = end == std::string_view::npos ? s.size() : end + 3;
            continue;
        }
        if (rest.starts_with("<?") || rest.starts_with("<!")) {
            if (!skipPast(">")) i = s.size();
            continue;
        }
        // A tag: its name must start right after '<'; otherwise, or when it
        // never closes, or when another '<' comes first, the '<' is text.
        // The next '>' is looked for again only once the reading has passed
        // the last one found, so a text of many '<' and no '>' is still
        // read in linear time.
        if (nextGt == std::string_view::npos ? !noGt : nextGt <= lt) {
            nextGt = s.find('>', lt + 1);
            noGt = nextGt == std::string_view::npos;
        }
        const std::size_t gt = nextGt;
        const std::size_t nextLt = s.find('<', lt + 1);
        const bool starts = lt + 1 < s.size() && (std::isalpha(static_cast<unsigned char>(s[lt + 1])) || s[lt + 1] == '/');
        if (!starts || gt == std::string_view::npos || (nextLt != std::string_view::npos && nextLt < gt)) {
            r.text("&lt;");
            i = lt + 1;
            continue;
        }
        r.tag(parseTag(s.substr(lt + 1, gt - lt - 1)));
        i = gt + 1;
    }
    return std::move(r.pieces);
}

} // namespace vorsan::speechd
