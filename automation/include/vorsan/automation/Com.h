#pragma once
// The part of COM this system needs, written once for both platforms: on
// Windows the platform's own (IUnknown, HRESULT, GUID, task memory and the
// rest from <windows.h>, <objbase.h> and <oleauto.h>), elsewhere a small
// layer of our own shaped like it, so that clients read the same: result
// codes, GUIDs, IUnknown, the class factory and task memory.
// Everything is reachable in namespace vorsan with its COM spelling; on
// Windows the result codes and the other names the system headers make
// macros stay macros.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#ifdef _WIN32
#define VORSAN_PLATFORM_COM 1
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#else
#define VORSAN_PLATFORM_COM 0
#endif

namespace vorsan {

#if VORSAN_PLATFORM_COM

using ::HRESULT;
using ::ULONG;
using ::LONG;
using ::SHORT;
using ::USHORT;
using ::UINT;
using ::WORD;
using ::DWORD;
using ::BOOL;
using ::LCID;
using ::DISPID;
using ::OLECHAR;
using ::GUID;
using ::IID;
using ::CLSID;
using ::IUnknown;
using ::IClassFactory;
using ::IID_IUnknown;
using ::IID_IClassFactory;
using ::CoTaskMemAlloc;
using ::CoTaskMemFree;

constexpr HRESULT hr(uint32_t code) { return static_cast<HRESULT>(code); }

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper-case hexadecimal.
std::string guidToString(const GUID& g);
// Accepts the form above (braces required, either case); false otherwise.
bool guidFromString(std::string_view text, GUID& out);

#else // our own layer

using HRESULT = int32_t;
using ULONG = uint32_t;
using LONG = int32_t;
using SHORT = int16_t;
using USHORT = uint16_t;
using UINT = uint32_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using LCID = uint32_t;
using DISPID = int32_t;
using OLECHAR = char16_t;
using BOOL = int;

constexpr HRESULT hr(uint32_t code) { return static_cast<HRESULT>(code); }
constexpr bool SUCCEEDED(HRESULT h) { return h >= 0; }
constexpr bool FAILED(HRESULT h) { return h < 0; }

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = hr(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = hr(0x80004002);
inline constexpr HRESULT E_POINTER = hr(0x80004003);
inline constexpr HRESULT E_ABORT = hr(0x80004004);
inline constexpr HRESULT E_FAIL = hr(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = hr(0x8000FFFF);
inline constexpr HRESULT E_OUTOFMEMORY = hr(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = hr(0x80070057);
inline constexpr HRESULT DISP_E_UNKNOWNINTERFACE = hr(0x80020001);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = hr(0x80020003);
inline constexpr HRESULT DISP_E_PARAMNOTFOUND = hr(0x80020004);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = hr(0x80020005);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = hr(0x80020006);
inline constexpr HRESULT DISP_E_NONAMEDARGS = hr(0x80020007);
inline constexpr HRESULT DISP_E_EXCEPTION = hr(0x80020009);
inline constexpr HRESULT DISP_E_OVERFLOW = hr(0x8002000A);
inline constexpr HRESULT DISP_E_BADINDEX = hr(0x8002000B);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = hr(0x8002000E);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = hr(0x80040110);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = hr(0x80040111);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = hr(0x80040154);
inline constexpr HRESULT REGDB_E_WRITEREGDB = hr(0x80040151);
inline constexpr HRESULT CO_E_CLASSSTRING = hr(0x800401F3);
inline constexpr HRESULT CO_E_DLLNOTFOUND = hr(0x800401F8);
inline constexpr HRESULT CO_E_ERRORINDLL = hr(0x800401F9);

struct GUID {
    uint32_t Data1 = 0;
    uint16_t Data2 = 0;
    uint16_t Data3 = 0;
    uint8_t Data4[8] = {};
    friend constexpr bool operator==(const GUID& a, const GUID& b) {
        if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
        for (int i = 0; i < 8; ++i)
            if (a.Data4[i] != b.Data4[i]) return false;
        return true;
    }
};
using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline constexpr GUID IID_NULL{};

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper-case hexadecimal.
std::string guidToString(const GUID& g);
// Accepts the form above (braces required, either case); false otherwise.
bool guidFromString(std::string_view text, GUID& out);

// The interface identifiers of OLE's own interfaces keep their published
// values; each stands beside its interface.
inline constexpr IID IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** ppv) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

inline constexpr IID IID_IClassFactory{0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

struct IClassFactory : IUnknown {
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) = 0;
    virtual HRESULT LockServer(BOOL lock) = 0;

protected:
    ~IClassFactory() = default;
};

// Task memory (what one module allocates and another frees, such as the
// strings and formats the speech interfaces hand out): the C heap, so a
// block from one library is freed by any other.
inline void* CoTaskMemAlloc(std::size_t bytes) { return std::malloc(bytes); }
inline void CoTaskMemFree(void* p) { std::free(p); }

#endif

// Owning interface pointer (one reference), like CComPtr.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a reference of its own.
    explicit ComPtr(T* p) : p_(p) { if (p_) p_->AddRef(); }
    ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
    ComPtr(ComPtr&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
    ComPtr& operator=(ComPtr o) noexcept { std::swap(p_, o.p_); return *this; }
    ~ComPtr() { reset(); }

    // Adopts a reference the caller already owns.
    static ComPtr adopt(T* p) { ComPtr c; c.p_ = p; return c; }

    void reset() { if (p_) { T* p = p_; p_ = nullptr; p->Release(); } }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // Address for an out argument; releases what was held first.
    T** put() { reset(); return &p_; }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    T* detach() { T* p = p_; p_ = nullptr; return p; }

    template <class U>
    HRESULT as(REFIID iid, ComPtr<U>& out) const {
        if (!p_) return E_POINTER;
        return p_->QueryInterface(iid, out.putVoid());
    }

private:
    T* p_ = nullptr;
};

} // namespace vorsan
