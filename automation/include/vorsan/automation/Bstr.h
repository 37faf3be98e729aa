#pragma once
// BSTR: a length-prefixed, zero-terminated UTF-16 string allocated with the C
// heap, so that any module of the process can free what another allocated.
// A null BSTR is distinct from an allocated empty one.
#include <string>
#include <string_view>

#include "vorsan/automation/Com.h"

namespace vorsan {

using BSTR = OLECHAR*;

BSTR SysAllocString(const OLECHAR* s);  // null in, null out
BSTR SysAllocStringLen(const OLECHAR* s, UINT length);  // s may be null: zero-filled
void SysFreeString(BSTR s);
UINT SysStringLen(BSTR s);  // 0 for null

// The BSTR's content (empty for null).
inline std::u16string_view bstrView(BSTR s) { return {s ? s : u"", SysStringLen(s)}; }
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
