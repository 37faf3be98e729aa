// Fuzz target: the emotion file loader on arbitrary bytes, then every mood it
// loaded applied to phoneme text. Input: the file, optionally followed by a
// NUL byte and the phoneme text (else a short fixed Hindi-like text).
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "vorsan/core/MException.h"
#include "vorsan/emotion/EmotionDatabase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    auto [file, text] = vorsan::fuzz::splitAtNul(data, size);
    const std::string path = vorsan::fuzz::writeTemp("emotion.xml", file);
    std::unique_ptr<vorsan::EmotionDatabase> db;
    try {
        db = vorsan::EmotionDatabase::load(path);
    } catch (const vorsan::MException&) {
        return 0;
    }
    (void)db->key();
    const std::string_view phonemes = text ? *text
                                           : "_ 200\nn 60 0 150 \na 120 50 180 \nm 70 \n"
                                             "a 110 20 170 80 160 \ns 80 \nt 60 \ne 90 50 140 \n_ 300\n";
    // Bounded so that a file with thousands of moods stays fast.
    std::size_t applied = 0;
    for (const auto& mood : db->emotionNames()) {
        if (++applied > 16) break;
        try {
            (void)db->applyEmotion(phonemes, mood);
        } catch (const vorsan::MException&) {
            // Invalid contours in the file are reported, not a fault.
        }
    }
    return 0;
}
