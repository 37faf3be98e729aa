#include "MessagePieces.h"

#include <algorithm>

#include "Spelling.h"
#include "Ssml.h"
#include "vorsan/core/Text.h"

namespace vorsan::speechd {

std::vector<MessagePiece> messagePieces(const Message& m, const SymbolNamer& names) {
    std::vector<MessagePiece> pieces;
    auto speech = [&](const std::string& text, const Prosody& prosody = {}) {
        if (!text.empty()) pieces.push_back({MessagePiece::Speech, utf8ToUtf16(text), 0, prosody});
    };
    switch (m.kind) {
    case Message::Char:
        speech(characterText(m.data, names));
        break;
    case Message::Key:
        speech(keyText(m.data, names));
        break;
    case Message::SoundIcon: {
        // No sound files: the icon's name is said.
        std::string name = m.data;
        std::replace_if(name.begin(), name.end(), [](char c) { return c == '-' || c == '_'; }, ' ');
        speech(name);
        break;
    }
    case Message::Text:
        for (const SsmlPiece& p : readSsml(m.data)) {
            if (p.kind == SsmlPiece::Mark) pieces.push_back({MessagePiece::Mark, utf8ToUtf16(p.text), 0, {}});
            else if (p.kind == SsmlPiece::Break) pieces.push_back({MessagePiece::Silence, {}, p.breakMs, {}});
            else if (p.spell || m.settings.spelling) speech(spelledText(p.text, names), p.prosody);
            else speech(namePunctuation(p.text, m.settings.punctuation, names), p.prosody);
        }
        break;
    }
    return pieces;
}

namespace {
bool blank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }
bool allBlank(const std::u16string& s) { return std::all_of(s.begin(), s.end(), blank); }
} // namespace

std::vector<Stretch> stretchesOf(const std::vector<MessagePiece>& pieces) {
    std::vector<Stretch> stretches(1);
    for (const MessagePiece& p : pieces) {
        Stretch& s = stretches.back();
        switch (p.kind) {
        case MessagePiece::Silence:
            if (s.text.empty() && s.marks.empty()) s.silenceMs += p.silenceMs;
            else stretches.push_back({p.silenceMs, {}, {}, {}});
            break;
        case MessagePiece::Mark:
            s.marks.emplace_back(s.text.size(), utf16ToUtf8(p.text));
            break;
        case MessagePiece::Speech: {
            if (p.text.empty()) break;
            // Blanks between two prosodies go with the stretch before them.
            if (allBlank(p.text) && !allBlank(s.text)) {
                s.text += p.text;
                break;
            }
            Stretch* into = &s;
            if (allBlank(s.text)) s.prosody = p.prosody; // nothing spoken yet: its marks go with this speech
            else if (s.prosody != p.prosody) into = &stretches.emplace_back(Stretch{0, {}, {}, p.prosody});
            if (!into->text.empty() && !blank(into->text.back()) && !blank(p.text.front())) into->text += u' ';
            into->text += p.text;
            break;
        }
        }
    }
    if (stretches.back().text.empty() && stretches.back().marks.empty() && stretches.back().silenceMs == 0)
        stretches.pop_back();
    return stretches;
}

} // namespace vorsan::speechd
