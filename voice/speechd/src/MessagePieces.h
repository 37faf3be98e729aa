#pragma once
// What a message says, in the order the voice takes it: speech (spelled,
// key names and punctuation names already in the text), marks and silences.
#include <string>
#include <vector>

#include "CommandLoop.h"

namespace vorsan::speechd {

struct MessagePiece {
    enum Kind { Speech, Mark, Silence };
    Kind kind = Speech;
    std::u16string text; // the speech, or the mark's name
    unsigned silenceMs = 0;
};

std::vector<MessagePiece> messagePieces(const Message& message);

} // namespace vorsan::speechd
