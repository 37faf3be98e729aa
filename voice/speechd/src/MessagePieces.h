#pragma once
// What a message says, in the order the voice takes it: speech (spelled,
// key names and punctuation names already in the text), marks and silences.
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "CommandLoop.h"
#include "Spelling.h"
#include "Ssml.h"

namespace vorsan::speechd {

struct MessagePiece {
    enum Kind { Speech, Mark, Silence };
    Kind kind = Speech;
    std::u16string text; // the speech, or the mark's name
    unsigned silenceMs = 0;
    Prosody prosody; // speech only
};

// Symbols are named by `names` where it names them, else in English.
std::vector<MessagePiece> messagePieces(const Message& message, const SymbolNamer& names = {});

// A message as the engine speaks it: stretches of text between silences
// and where the prosody changes (each stretch is spoken with its own).
// A stretch's speech pieces make one text (pieces that meet without a blank
// between them are joined by a space), so marks never cut a sentence; each
// mark keeps its place in that text, and the word starting at or after the
// place is the one it stands before.
struct Stretch {
    unsigned silenceMs = 0; // silence before the text
    std::u16string text;
    std::vector<std::pair<std::size_t, std::string>> marks; // (place in text, name in UTF-8)
    Prosody prosody;
};
std::vector<Stretch> stretchesOf(const std::vector<MessagePiece>& pieces);

} // namespace vorsan::speechd
