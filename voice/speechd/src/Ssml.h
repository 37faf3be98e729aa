#pragma once
// A tolerant reader of the SSML speech-dispatcher hands its modules: the
// text with its entities decoded, index marks and breaks, in order. Tags it
// does not know are dropped and their text kept; markup that is cut off or
// malformed is read as text, so nothing after it is ever lost.
//   <mark name="x"/>                       a mark
//   <break time="250ms"|"1.5s"/>, strength  a silence (at most 10 s)
//   <say-as interpret-as="characters">      its text spelled out
//   <sub alias="...">                       the alias instead of its text
//   <prosody rate= pitch= volume=>          its text faster or slower, higher or
//                                           lower, louder or softer: keywords
//                                           (x-slow..x-fast, x-low..x-high,
//                                           silent..x-loud), "150%", "+20%",
//                                           "-10%", "+2st", "-6dB"; nested ones
//                                           multiply
// Comments, processing instructions and CDATA sections are understood.
#include <string>
#include <string_view>
#include <vector>

namespace vorsan::speechd {

// Factors over the message's own rate, pitch and volume, and the
// <prosody> element they come from (0: none; each element is spoken apart,
// whatever its values).
struct Prosody {
    double rate = 1, pitch = 1, volume = 1;
    unsigned element = 0;
    bool operator==(const Prosody&) const = default;
};

struct SsmlPiece {
    enum Kind { Text, Mark, Break };
    Kind kind = Text;
    std::string text;     // UTF-8: the text, or the mark's name
    unsigned breakMs = 0; // for Break
    bool spell = false;   // text inside <say-as interpret-as="characters">
    Prosody prosody;      // of the <prosody> elements around it
};

inline constexpr unsigned kMaxBreakMs = 10000;

// Reads in time linear in the input's length, whatever the input.
std::vector<SsmlPiece> readSsml(std::string_view ssml);

} // namespace vorsan::speechd
