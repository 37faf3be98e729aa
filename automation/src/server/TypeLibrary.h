#pragma once
// The server's type library, embedded in the library file as a resource (on
// Windows): what the objects serve late binding from, and what registration
// records.
#include <span>

#include "vorsan/automation/Dispatch.h"
#include "vorsan/automation/ServerSupport.h"

namespace vorsan::server {

// An interface's type information, loaded once per process and kept: the
// description handed to clients (GetTypeInfo) and the one calls go through
// (the dual interface's vtable side). Both null where there is no type
// library (POSIX systems) or it cannot be loaded.
struct TypeInfoPair {
    ITypeInfo* described = nullptr;
    ITypeInfo* called = nullptr;
};
TypeInfoPair typeInfo(REFIID iid);

// The library as registration records it.
const serversupport::TypeLibrary& typeLibrary();

} // namespace vorsan::server
