#pragma once
// The walk over a speak request's text fragments, sentence by sentence: each
// whitespace-delimited token of a Speak fragment becomes items (leading and
// trailing punctuation one character each, the rest one item); any other
// fragment is one item. A sentence ends after ".", "!", "?", "।" or "॥"
// among a token's trailing characters, or with the text.
#include <string_view>
#include <vector>

#include "vorsan/voice/Sapi.h"

namespace vorsan::voice {

struct SentenceItem {
    const sapi::SPVSTATE* state = nullptr;
    std::u16string_view text;   // in the caller's text (or the implicit ".")
    ULONG sourceOffset = 0;     // in the caller's text
    ULONG sourceLength = 0;     // 0 for the implicit full stop
    const sapi::SPVTEXTFRAG* fragment = nullptr;
    sapi::SPVACTIONS action() const { return state ? state->eAction : sapi::SPVA_Speak; }
};

class SentenceWalk {
public:
    explicit SentenceWalk(const sapi::SPVTEXTFRAG* first);
    // The next sentence's items; false when no fragment is left.
    bool next(std::vector<SentenceItem>& items);

private:
    void advanceFragment();
    const sapi::SPVTEXTFRAG* fragment_;
    std::size_t at_ = 0; // position in the fragment's text
};

// True for an item that is a word: it starts with a letter or a digit of any
// script.
bool isWordItem(const SentenceItem& item);

} // namespace vorsan::voice
