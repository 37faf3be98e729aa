// The server library's classes and their registration; the entry points
// (class factories, registration, the unload query) are the shared ones.
#include "TypeLibrary.h"
#include "ValueObjects.h"
#include "VorsanApiObject.h"
#include "vorsan/automation/ServerSupport.h"

namespace vorsan::server {

namespace {

constexpr serversupport::ServerClass kClasses[] = {
    {CLSID_MString, &createMString, "VorsanCOM.MString", 1, "MString Class", "Apartment"},
    {CLSID_MStringList, &createMStringList, "VorsanCOM.MStringList", 1, "MStringList Class", "Apartment"},
    {CLSID_Phoneme, &createPhoneme, "VorsanCOM.Phoneme", 1, "Phoneme Class", "Apartment"},
    {CLSID_PhonemeList, &createPhonemeList, "VorsanCOM.PhonemeList", 1, "PhonemeList Class", "Apartment"},
    {CLSID_VorsanAPI, &createVorsanAPI, "VorsanCOM.VorsanAPI", 1, "VorsanAPI Class", "Apartment"},
};

} // namespace

} // namespace vorsan::server

// The type library is a resource of the Windows library file only.
VORSAN_TYPED_SERVER_ENTRY_POINTS(vorsan::server::kClasses,
                                 VORSAN_PLATFORM_COM ? &vorsan::server::typeLibrary() : nullptr)
