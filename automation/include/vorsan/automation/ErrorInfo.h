#pragma once
// Per-thread error information: the description, source ProgID and
// interface of the last failure, as an IErrorInfo object (OLE's on Windows).
#include <string_view>

#include "vorsan/automation/Bstr.h"

namespace vorsan {

#if VORSAN_PLATFORM_COM

using ::IErrorInfo;
using ::ISupportErrorInfo;
using ::IID_IErrorInfo;
using ::IID_ISupportErrorInfo;
using ::SetErrorInfo;
using ::GetErrorInfo;

#else

inline constexpr IID IID_IErrorInfo{0x1CF2B120, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};

struct IErrorInfo : IUnknown {
    virtual HRESULT GetGUID(GUID* pGUID) = 0;
    virtual HRESULT GetSource(BSTR* pSource) = 0;
    virtual HRESULT GetDescription(BSTR* pDescription) = 0;
    virtual HRESULT GetHelpFile(BSTR* pHelpFile) = 0;
    virtual HRESULT GetHelpContext(DWORD* pContext) = 0;

protected:
    ~IErrorInfo() = default;
};

inline constexpr IID IID_ISupportErrorInfo{0xDF0B3D60, 0x548F, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};

struct ISupportErrorInfo : IUnknown {
    virtual HRESULT InterfaceSupportsErrorInfo(REFIID riid) = 0;

protected:
    ~ISupportErrorInfo() = default;
};

// Replaces the calling thread's error object (adds its own reference; null
// clears it).
HRESULT SetErrorInfo(ULONG reserved, IErrorInfo* info);
// Hands the calling thread's error object to the caller (one reference) and
// clears it; S_FALSE and null when there is none.
HRESULT GetErrorInfo(ULONG reserved, IErrorInfo** info);

#endif

// Creates an error object with the given description, source and interface,
// makes it the thread's error object and returns `code`.
HRESULT reportError(HRESULT code, std::u16string_view description, std::u16string_view source,
                    REFIID iid);

// Every module that links our own layer has its own copy of it, but the
// thread's error object must be one per process (on Windows OLE keeps it,
// and attaching changes nothing): the module that loads a
// server hands it its store, so errors set inside the server are seen by the
// client. The store's functions never throw.
struct ErrorInfoStore {
    HRESULT (*set)(IErrorInfo* info);
    HRESULT (*get)(IErrorInfo** info);
};
// The store this module uses: the one it was attached to, else its own.
const ErrorInfoStore* errorInfoStore();
void attachErrorInfoStore(const ErrorInfoStore* store);

} // namespace vorsan
