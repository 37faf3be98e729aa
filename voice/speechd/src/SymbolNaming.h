#pragma once
// Punctuation and symbol names in the language being read, from the
// engine's languages (their rule files name them).
#include <string>

#include "Spelling.h"
#include "vorsan/engine/SpeechEngine.h"

namespace vorsan::speechd {

// Names a symbol in the language whose script the letter around it is (the
// message's language where its script is that one: Marathi rather than
// Hindi for Devanagari), in the message's language when no letter is
// around, and leaves it to English for Latin text or a language whose file
// has no name for it. `messageLanguage` is the engine's name ("" for none).
// The engine must outlive the namer.
SymbolNamer symbolNamer(const SpeechEngine& engine, const std::string& messageLanguage);

} // namespace vorsan::speechd
