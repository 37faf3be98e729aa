#pragma once
// A tolerant reader of the SSML speech-dispatcher hands its modules: the
// text with its entities decoded, index marks and breaks, in order. Tags it
// does not know are dropped and their text kept; markup that is cut off or
// malformed is read as text, so nothing after it is ever lost.
//   <mark name="x"/>                       a mark
//   <break time="250ms"|"1.5s"/>, strength  a silence (at most 10 s)
//   <say-as interpret-as="characters">      its text spelled out
//   <sub alias="...">                       the alias instead of its text
// Comments, processing instructions and CDATA sections are understood.
#include <string>
#include <string_view>
#include <vector>

namespace vorsan::speechd {

struct SsmlPiece {
    enum Kind { Text, Mark, Break };
    Kind kind = Text;
    std::string text;     // UTF-8: the text, or the mark's name
    unsigned breakMs = 0; // for Break
    bool spell = false;   // text inside <say-as interpret-as="characters">
};

inline constexpr unsigned kMaxBreakMs = 10000;

std::vector<SsmlPiece> readSsml(std::string_view ssml);

} // namespace vorsan::speechd
