#pragma once
// The value classes MString and Phoneme, and the collections of them.
#include <string>

#include "vorsan/automation/Bstr.h"
#include "vorsan/automation/Interfaces.h"
#include "vorsan/core/PhonemeText.h"

namespace vorsan::server {

// Class-factory creators (reference count of the result: one).
HRESULT createMString(REFIID iid, void** ppv);
HRESULT createPhoneme(REFIID iid, void** ppv);
HRESULT createMStringList(REFIID iid, void** ppv);
HRESULT createPhonemeList(REFIID iid, void** ppv);

// An MString holding `name` (one reference).
HRESULT makeMString(std::u16string_view name, IMString** out);
// An MStringList of MStrings holding `names` in order (one reference).
HRESULT makeMStringList(const StringList& names, IMStringList** out);

} // namespace vorsan::server
