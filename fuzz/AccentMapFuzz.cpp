// Fuzz target: mapping arbitrary phoneme text through the shipped accent
// files (Hindi voice to English voice and to the Telugu voice).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "FuzzSupport.h"
#include "vorsan/accent/AccentDatabase.h"
#include "vorsan/core/MException.h"

namespace {
std::vector<std::unique_ptr<vorsan::AccentDatabase>> databases;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    for (const char* name : {"oskalen/in1toen1.xml", "oskalen/in1totl1.xml", "oskalen/en1toin1.xml"})
        databases.push_back(vorsan::AccentDatabase::load(vorsan::fuzz::dataFile(name)));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto& db : databases) {
        try {
            (void)db->mapPhonemes(text);
        } catch (const vorsan::MException&) {
        }
    }
    return 0;
}
