// Fuzz target: the accent file loader on arbitrary bytes, then mapping
// phoneme text with whatever it loaded. Input: the file, optionally followed
// by a NUL byte and the phoneme text (else a short fixed text).
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "vorsan/accent/AccentDatabase.h"
#include "vorsan/core/MException.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    auto [file, text] = vorsan::fuzz::splitAtNul(data, size);
    const std::string path = vorsan::fuzz::writeTemp("accent.xml", file);
    std::unique_ptr<vorsan::AccentDatabase> db;
    try {
        db = vorsan::AccentDatabase::load(path);
    } catch (const vorsan::MException&) {
        return 0;
    }
    (void)db->key();
    const std::string_view phonemes =
        text ? *text : "_ 200\nk 60 \na 120 50 180 \nm 70 \nA: 110 20 170 80 160 \nt 60 \n_ 300\n";
    try {
        (void)db->mapPhonemes(phonemes);
    } catch (const vorsan::MException&) {
        // Phones missing from the inventory are reported, not a fault.
    }
    return 0;
}
