#include "vorsan/automation/Bstr.h"

#include <cstdlib>
#include <cstring>
#include <limits>

#include "vorsan/core/Text.h"

namespace vorsan {

#if !VORSAN_PLATFORM_COM

// Layout: a 32-bit byte count, the code units, a terminating zero unit. The
// BSTR points at the first code unit, as in OLE.
BSTR SysAllocStringLen(const OLECHAR* s, UINT length) {
    if (length > (std::numeric_limits<uint32_t>::max() - 8) / 2) return nullptr;
    std::size_t bytes = std::size_t(length) * 2;
    auto* base = static_cast<unsigned char*>(std::malloc(4 + bytes + 2));
    if (!base) return nullptr;
    uint32_t prefix = static_cast<uint32_t>(bytes);
    std::memcpy(base, &prefix, 4);
    auto* text = reinterpret_cast<OLECHAR*>(base + 4);
    if (s) std::memcpy(text, s, bytes);
    else std::memset(text, 0, bytes);
    text[length] = 0;
    return text;
}

BSTR SysAllocString(const OLECHAR* s) {
    if (!s) return nullptr;
    UINT n = 0;
    while (s[n]) ++n;
    return SysAllocStringLen(s, n);
}

void SysFreeString(BSTR s) {
    if (s) std::free(reinterpret_cast<unsigned char*>(s) - 4);
}

UINT SysStringLen(BSTR s) {
    if (!s) return 0;
    uint32_t prefix;
    std::memcpy(&prefix, reinterpret_cast<unsigned char*>(s) - 4, 4);
    return prefix / 2;
}

#endif

BSTR bstrFrom(std::u16string_view s) {
    if (s.size() > std::numeric_limits<UINT>::max()) return nullptr;
    return SysAllocStringLen(oleText(s.data()), static_cast<UINT>(s.size()));
}

BSTR bstrFromUtf8(std::string_view s) { return bstrFrom(utf8ToUtf16(s)); }

std::string bstrToUtf8(BSTR s) { return utf16ToUtf8(bstrView(s)); }

} // namespace vorsan
