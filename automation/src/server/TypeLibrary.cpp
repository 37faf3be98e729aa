#include "TypeLibrary.h"

#include <map>
#include <mutex>
#include <string>

#include "vorsan/automation/Interfaces.h"

namespace vorsan::server {

namespace {

constexpr serversupport::ServerInterface kInterfaces[] = {
    {IID_IMString, "IMString"},         {IID_IPhoneme, "IPhoneme"},
    {IID_IMStringList, "IMStringList"}, {IID_IPhonemeList, "IPhonemeList"},
    {IID_IVorsanAPI, "IVorsanAPI"},
};

constexpr serversupport::TypeLibrary kTypeLibrary{LIBID_VORSANCOMLib, "2.0", "VorsanCOM 2.0 Type Library",
                                                  kInterfaces};

#if VORSAN_PLATFORM_COM

// The type library resource of the file this code is in.
ITypeLib* loadTypeLibrary() {
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              reinterpret_cast<LPCWSTR>(&loadTypeLibrary), &module))
        return nullptr;
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return nullptr;
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    ITypeLib* library = nullptr;
    if (FAILED(::LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library))) return nullptr;
    return library;
}

TypeInfoPair load(ITypeLib* library, REFIID iid) {
    TypeInfoPair pair;
    if (!library || FAILED(library->GetTypeInfoOfGuid(iid, &pair.described))) return {};
    // A dual interface is described as a dispatch interface; calls go
    // through the vtable interface it refers to.
    HREFTYPE ref = 0;
    if (SUCCEEDED(pair.described->GetRefTypeOfImplType(-1, &ref)) &&
        SUCCEEDED(pair.described->GetRefTypeInfo(ref, &pair.called)))
        return pair;
    pair.called = pair.described;
    pair.called->AddRef();
    return pair;
}

#endif

} // namespace

TypeInfoPair typeInfo(REFIID iid) {
#if VORSAN_PLATFORM_COM
    // Loaded once and kept for the life of the process, like the library
    // file itself once a client has loaded it.
    static std::mutex mutex;
    static ITypeLib* library = loadTypeLibrary();
    static std::map<std::string, TypeInfoPair> loaded;
    std::lock_guard lock(mutex);
    const std::string key = guidToString(iid);
    auto it = loaded.find(key);
    if (it == loaded.end()) it = loaded.emplace(key, load(library, iid)).first;
    return it->second;
#else
    (void)iid;
    return {};
#endif
}

const serversupport::TypeLibrary& typeLibrary() { return kTypeLibrary; }

} // namespace vorsan::server
