#pragma once
// Accent files for the tests, written into a temporary profile folder.
#include <memory>
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
inline constexpr std::string_view kNoRules = "<dbrules/>\n";

// Wraps the parts in the root element.
inline std::string accentXml(std::string_view body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dbMapper>\n" + std::string(body) + "</dbMapper>\n";
}

// Source inventory listing every given phoneme (space separated).
inline std::string sourceInventory(std::string_view names) {
    std::string out = "<fromMbrolaPhone>";
    std::size_t pos = 0;
    while (pos < names.size()) {
        std::size_t end = names.find(' ', pos);
        if (end == std::string_view::npos) end = names.size();
        if (end > pos)
            out += "<Sound mbrolaType=\"C\" mbrolaPhonem=\"" + std::string(names.substr(pos, end - pos)) +
                   "\" mbrolaUsage=\"\"/>";
        pos = end + 1;
    }
    return out + "</fromMbrolaPhone>\n";
}

inline std::unique_ptr<AccentDatabase> loadAccent(const testing::TempProfile& dir, std::string_view body,
                                                  const std::string& name = "Speechfiles/Oskalen/test.xml") {
    return AccentDatabase::load(dir.write(name, accentXml(body)));
}

// The message of the MException the call raises, or "no failure".
template <class F>
std::string failure(F&& f) {
    return vorsan::testing::messageOf(std::forward<F>(f));
}

} // namespace vorsan::accenttest
