// Fuzz target: every mood of a shipped emotion file applied to arbitrary
// phoneme text.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzSupport.h"
#include "vorsan/core/MException.h"
#include "vorsan/emotion/EmotionDatabase.h"

namespace {
std::unique_ptr<vorsan::EmotionDatabase> database;
std::vector<std::string> moods;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    database = vorsan::EmotionDatabase::load(vorsan::fuzz::dataFile("ruvetta/Hindi_in1.xml"));
    moods = database->emotionNames();
    if (moods.empty()) vorsan::fuzz::fail("the shipped emotion file has moods");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto& mood : moods) {
        try {
            (void)database->applyEmotion(text, mood);
        } catch (const vorsan::MException&) {
        }
    }
    return 0;
}
