#pragma once
// Small string helpers shared by every subsystem: trimming, UTF-8/UTF-16
// conversion, the Latin-1 narrowing used for English runs, and the lenient
// number readers of the phoneme-text and file formats.
#include <cstdint>
#include <string>
#include <string_view>

namespace vorsan {

// Trims spaces and tabs (only those) from both ends.
std::string trimBlanks(std::string_view s);
std::u16string trimBlanks(std::u16string_view s);

// UTF-8 <-> UTF-16. Invalid input never fails: bad sequences and lone
// surrogates become U+FFFD.
std::u16string utf8ToUtf16(std::string_view s);
std::string utf16ToUtf8(std::u16string_view s);
// Appends one code point as UTF-8 (0, surrogates and values past U+10FFFF as
// U+FFFD).
void appendUtf8(std::string& out, char32_t c);

// Keeps each code unit below 256 as that byte; every other becomes a space.
std::string narrowLatin1(std::u16string_view s);
// Widens each byte to the code unit of the same value.
std::u16string widenLatin1(std::string_view s);

// Optional sign, then leading decimal digits; stops at the first other
// character; no digits gives 0. Saturates at the 32-bit limits instead of
// overflowing.
int32_t readLeadingInt(std::string_view s);
// Same as readLeadingInt but skips leading blanks first (C "%d" style).
int32_t scanInt(std::string_view s);

std::u16string toU16(std::string_view ascii);

// Space, tab, line feed or carriage return: what separates words.
bool isBlankUnit(char16_t c);

// No unbroken token (code units between blanks) much longer than this is
// handed to a front end at once: a longer one is cut into pieces, each read
// as a word of its own, so the work and memory of a sentence stay bounded
// whatever the text.
inline constexpr std::size_t kLongestToken = 1000;
// How far past kLongestToken a cut may wait for a place that splits no
// character (a letter from its signs, a surrogate pair).
inline constexpr std::size_t kTokenCutReach = 32;

// Long text is worked on in pieces of about this many code units, so that
// speech can begin before the rest of the text has been looked at.
inline constexpr std::size_t kTextPieceSize = 8192;
// The end of the piece of `text` that starts at `from`: the text's end when
// fewer than `size` code units are left; else just after a sentence end
// (. ! ? or a danda, then a blank) in the last quarter before the mark,
// else the first blank from the mark on; the text's end when no blank
// comes within kLongestToken of the mark (such a token is cut by its length).
std::size_t pieceEnd(std::u16string_view text, std::size_t from, std::size_t size = kTextPieceSize);

} // namespace vorsan
