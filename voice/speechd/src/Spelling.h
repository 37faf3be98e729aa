#pragma once
// Text for what is not plain reading: a character spelled (CHAR), a key
// named (KEY), text spelled out character by character, and the symbols a
// punctuation mode names. Latin letters are said by their English names;
// characters of the Indian scripts are said as themselves (the akshara).
#include <string>
#include <string_view>

#include "Settings.h"

namespace vorsan::speechd {

// One character (or a name speech-dispatcher sends instead, like "space").
std::string characterText(std::string_view character);
// A key name as the protocol gives it: "a", "shift_a", "control_alt_delete",
// "kp-enter", "f5", "double-quote", "underscore", ...
std::string keyText(std::string_view key);
// Each character of the text in turn, as characterText says it.
std::string spelledText(std::string_view text);
// The text with the symbols of the mode replaced by their names (sentence
// ends keep their mark after the name, so the melody stays).
std::string namePunctuation(std::string_view text, Punctuation mode);

} // namespace vorsan::speechd
