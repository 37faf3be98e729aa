#pragma once
// BSTR: a length-prefixed, zero-terminated UTF-16 string that any module of
// the process can free: the platform's own on Windows (OLE's string heap),
// ours on the C heap elsewhere. A null BSTR is distinct from an allocated
// empty one. This system's text is char16_t; where the platform's OLECHAR
// is wchar_t (the same 16-bit units) the functions below take either.
#include <string>
#include <string_view>

#include "vorsan/automation/Com.h"

namespace vorsan {

#if VORSAN_PLATFORM_COM

using ::BSTR;
using ::SysAllocString;
using ::SysAllocStringLen;
using ::SysFreeString;
using ::SysStringLen;

// The same units seen as this system's text, and back.
inline const char16_t* u16Text(const OLECHAR* s) { return reinterpret_cast<const char16_t*>(s); }
inline const OLECHAR* oleText(const char16_t* s) { return reinterpret_cast<const OLECHAR*>(s); }
inline OLECHAR* oleText(char16_t* s) { return reinterpret_cast<OLECHAR*>(s); }

inline BSTR SysAllocString(const char16_t* s) { return ::SysAllocString(oleText(s)); }
inline BSTR SysAllocStringLen(const char16_t* s, UINT length) { return ::SysAllocStringLen(oleText(s), length); }

#else

using BSTR = OLECHAR*;

BSTR SysAllocString(const OLECHAR* s);  // null in, null out
BSTR SysAllocStringLen(const OLECHAR* s, UINT length);  // s may be null: zero-filled
void SysFreeString(BSTR s);
UINT SysStringLen(BSTR s);  // 0 for null

inline const char16_t* u16Text(const OLECHAR* s) { return s; }
inline const OLECHAR* oleText(const char16_t* s) { return s; }
inline OLECHAR* oleText(char16_t* s) { return s; }

#endif

// The BSTR's content (empty for null).
inline std::u16string_view bstrView(BSTR s) { return {s ? u16Text(s) : u"", SysStringLen(s)}; }
BSTR bstrFrom(std::u16string_view s);  // allocated, never null unless out of memory
BSTR bstrFromUtf8(std::string_view s);
std::string bstrToUtf8(BSTR s);

// Owning BSTR holder, like CComBSTR.
class Bstr {
public:
    Bstr() = default;
    Bstr(std::u16string_view s) : s_(bstrFrom(s)) {}
    Bstr(const char16_t* s) : s_(SysAllocString(s)) {}
    Bstr(const Bstr& o) : s_(o.s_ ? SysAllocStringLen(o.s_, SysStringLen(o.s_)) : nullptr) {}
    Bstr(Bstr&& o) noexcept : s_(o.s_) { o.s_ = nullptr; }
    Bstr& operator=(Bstr o) noexcept { std::swap(s_, o.s_); return *this; }
    ~Bstr() { SysFreeString(s_); }

    static Bstr adopt(BSTR s) { Bstr b; b.s_ = s; return b; }
    static Bstr fromUtf8(std::string_view s) { return adopt(bstrFromUtf8(s)); }

    BSTR get() const { return s_; }
    BSTR* put() { SysFreeString(s_); s_ = nullptr; return &s_; }
    BSTR detach() { BSTR s = s_; s_ = nullptr; return s; }
    bool isNull() const { return s_ == nullptr; }
    std::u16string_view view() const { return bstrView(s_); }
    std::u16string str() const { return std::u16string(view()); }
    std::string utf8() const { return bstrToUtf8(s_); }

private:
    BSTR s_ = nullptr;
};

} // namespace vorsan
