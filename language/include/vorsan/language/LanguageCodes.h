#pragma once
// Language tags and Windows language identifiers.
#include <cstdint>
#include <string>
#include <string_view>

namespace vorsan {

// The primary subtag of a language tag, in lower case: "hi" of "hi-IN",
// "HI_in" or "hi".
std::string primaryLanguageTag(std::string_view tag);

// The Windows language identifier (default country) of an ISO 639 code
// ("hi" → 0x0439, "en" → 0x0409); 0 for a code Windows has no identifier for.
uint16_t windowsLanguageIdOfCode(std::string_view code);

} // namespace vorsan
