// Fuzz target: reading phoneme text. Reading never fails; every stored pitch
// is within the clamp range with one position per pitch; and the written
// form is canonical: reading it back and writing again gives the same text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "vorsan/core/PhonemeText.h"

namespace {

void checkRecords(const vorsan::PhonemeRecordList& list) {
    for (const auto& r : list) {
        if (r.pitches.size() != r.positions.size()) vorsan::fuzz::fail("one position per pitch");
        for (int32_t p : r.pitches)
            if (p < vorsan::kPitchFloor || p > vorsan::kPitchCeiling) vorsan::fuzz::fail("pitch within 50..500 Hz");
        if (r.contourMark < 0 || r.contourMark > 3) vorsan::fuzz::fail("contour mark 0..3");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    static const vorsan::SoundClassMap sounds = {{"a", 0}, {"i", 2}, {"l", 3}, {"n", 4},
                                                 {"z", 5}, {"s", 6}, {"d", 7}, {"t", 8}, {"_", 9}};
    vorsan::PhonemeRecordList list;
    list.read(text, &sounds);
    checkRecords(list);
    for (const auto& r : list) {
        auto it = sounds.find(r.name);
        if (it == sounds.end() ? r.soundType != -1 : r.soundType != it->second) vorsan::fuzz::fail("sound class lookup");
    }
    const std::string once = list.write();

    vorsan::PhonemeRecordList again;
    again.read(once);
    checkRecords(again);
    if (again.size() != list.size()) vorsan::fuzz::fail("written text reads back to as many records");
    if (again.write() != once) vorsan::fuzz::fail("written text is canonical");
    return 0;
}
