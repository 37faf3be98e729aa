// The engine links Xerces-C statically, without the network library that
// Debian's Xerces reaches URLs through (libcurl). No file the engine reads
// may pull anything from a network (DOCTYPEs are refused before any entity
// could name a URL), and libcurl brings some twenty-five libraries (TLS,
// Kerberos, LDAP, ...) whose loading and relocation were a quarter of the
// CPU time of speaking one short sentence in a fresh process.
//
// These are the few libcurl entry points Xerces' URL input stream calls.
// Initialisation succeeds; every transfer fails at once, so a URL behaves
// like an unreachable host: Xerces raises its network-access error.
#include <cstdarg>
#include <cstddef>

extern "C" {

namespace {
constexpr int kFailedInit = 2; // CURLE_FAILED_INIT
constexpr int kBadHandle = 1;  // CURLM_BAD_HANDLE
} // namespace

int curl_global_init(long) { return 0; }
void curl_global_cleanup() {}
void* curl_easy_init() { return nullptr; }
void curl_easy_cleanup(void*) {}
int curl_easy_setopt(void*, int, ...) { return kFailedInit; }
int curl_easy_getinfo(void*, int, ...) { return kFailedInit; }
void* curl_multi_init() { return nullptr; }
int curl_multi_add_handle(void*, void*) { return kBadHandle; }
int curl_multi_remove_handle(void*, void*) { return kBadHandle; }
int curl_multi_cleanup(void*) { return kBadHandle; }
int curl_multi_perform(void*, int* running) {
    if (running) *running = 0;
    return kBadHandle;
}
int curl_multi_fdset(void*, void*, void*, void*, int* maxFd) {
    if (maxFd) *maxFd = -1;
    return kBadHandle;
}
int curl_multi_timeout(void*, long* timeout) {
    if (timeout) *timeout = -1;
    return kBadHandle;
}
void* curl_multi_info_read(void*, int* left) {
    if (left) *left = 0;
    return nullptr;
}
void* curl_slist_append(void* list, const char*) { return list; }
void curl_slist_free_all(void*) {}

} // extern "C"
