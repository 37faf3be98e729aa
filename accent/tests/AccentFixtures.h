#pragma once
// Accent files for the tests, written into a temporary profile folder.
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include "vorsan/accent/AccentDatabase.h"
#include "vorsan/core/MException.h"
#include "vorsan/testing/TestSupport.h"

namespace vorsan::accenttest {

inline constexpr std::string_view kFileInfo =
    "<File_Information><Title>Hindi to English</Title><Author>tester</Author>"
    "<fromMbroladb>fileFrom</fromMbroladb><toMbroladb>fileTo</toMbroladb></File_Information>\n";
inline constexpr std::string_view kMbrolaInfo =
    "<Mbrola_Information><fromMbroladb>hn1</fromMbroladb><toMbroladb>en1</toMbroladb>"
    "<Voice>16000</Voice><Pitch>1.25</Pitch><Time>0.5</Time></Mbrola_Information>\n";

// Source inventory listing every given phoneme (space separated).
inline std::string sourceInventory(const std::string& names) {
    std::istringstream in(names);
    std::string out = "<fromMbrolaPhone>";
    for (std::string name; in >> name;) out += "<Sound mbrolaType=\"C\" mbrolaPhonem=\"" + name + "\" mbrolaUsage=\"\"/>";
    return out + "</fromMbrolaPhone>\n";
}

// Loads the parts wrapped in the root element.
inline std::unique_ptr<AccentDatabase> loadAccent(const testing::TempProfile& dir, std::string_view body,
                                                  const std::string& name = "Speechfiles/Oskalen/test.xml") {
    return AccentDatabase::load(
        dir.write(name, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dbMapper>\n" + std::string(body) + "</dbMapper>\n"));
}

} // namespace vorsan::accenttest
