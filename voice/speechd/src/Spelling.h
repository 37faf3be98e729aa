#pragma once
// Text for what is not plain reading: a character spelled (CHAR), a key
// named (KEY), text spelled out character by character, and the symbols a
// punctuation mode names. Latin letters are said by their English names;
// characters of the Indian scripts are said as themselves (the akshara).
// Symbols are named by a SymbolNamer (in the language being read) where it
// has a name, else in English.
#include <functional>
#include <string>
#include <string_view>

#include "Settings.h"

namespace vorsan::speechd {

// A symbol's name (UTF-8) in the language of the text around it: `context`
// is the letter nearest before the symbol (without one, the first letter
// after it; 0 when the text has no letter). "" leaves the English name.
using SymbolNamer = std::function<std::string(char symbol, char32_t context)>;

// One character (or a name speech-dispatcher sends instead, like "space").
std::string characterText(std::string_view character, const SymbolNamer& names = {});
// A key name as the protocol gives it: "a", "shift_a", "control_alt_delete",
// "kp-enter", "f5", "double-quote", "underscore", ...
std::string keyText(std::string_view key, const SymbolNamer& names = {});
// Each character of the text in turn, as characterText says it.
std::string spelledText(std::string_view text, const SymbolNamer& names = {});
// The text with the symbols of the mode replaced by their names (sentence
// ends keep their mark after the name, so the melody stays).
std::string namePunctuation(std::string_view text, Punctuation mode, const SymbolNamer& names = {});

} // namespace vorsan::speechd
