#pragma once
// Builds the parts of a language database from the root element of a rule
// file (internal to the loader).
#include "vorsan/core/Xml.h"
#include "vorsan/language/LanguageRuleBase.h"

namespace vorsan::rulefile {

// Raises "Not a Pelmira file" when the root is not "Rule_Base". Number
// attributes are read with the XML library's integer parser, whose
// failures the loading guard reports.
LanguageParts read(const xml::DOMElement& root);

// "%x"-style reading: blanks, optional sign, optional 0x, hex digits; no
// digit gives 0.
int32_t scanHex(std::u16string_view text);

} // namespace vorsan::rulefile
