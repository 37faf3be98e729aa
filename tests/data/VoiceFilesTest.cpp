// The Indian voice files put every phone of the shared Indian phone set on
// the NSK diphone database, and every pair of those phones reaches a diphone
// the database has (directly or through a fallback), so nothing is spoken as
// the default diphone or as a gap.
#include <gtest/gtest.h>

#include "DataFiles.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::datatest;

namespace {
const char* const kIndianPhones[] = {
    "a", "aa", "i", "ii", "u", "uu", "e", "ee", "ai", "o", "oo", "au", "ae", "ao", "aN", "aaN", "iN", "iiN",
    "uN", "uuN", "eeN", "aiN", "ooN", "auN", "k", "kh", "g", "gh", "ng", "ch", "chh", "j", "jh", "ny", "T", "Th",
    "D", "Dh", "N", "t", "th", "d", "dh", "n", "p", "ph", "b", "bh", "m", "y", "r", "l", "v", "sh", "Sh", "s",
    "h", "L", "R", "Rh", "q", "x", "G", "z", "f", "zh", "rr", "nn", "_"};

// Whether the synthesiser finds a diphone for the voice phones a-b.
bool covered(const synth::VoiceDatabase& voice, const synth::DiphoneIndex& index, const std::string& a,
             const std::string& b) {
    if (index.has(a, b)) return true;
    const synth::Fallback* f = voice.fallbackFor(a, b);
    if (!f) return false;
    if (!f->insert.empty()) return index.has(a, f->insert) && index.has(f->insert, b);
    return index.has(f->leftAs.empty() ? a : f->leftAs, f->rightAs.empty() ? b : f->rightAs);
}
} // namespace

TEST(IndianVoices, EveryPhoneIsMappedAndEveryPairReachesARecordedDiphone) {
    vorsan::testing::TempProfile profile;
    for (const char* name : {"in1", "mr1", "tl1"}) {
        SCOPED_TRACE(name);
        const synth::VoiceDatabase voice = shippedVoice(name);
        const synth::DiphoneIndex index = synth::DiphoneIndex::read(synth::diphoneIndexPath(voice));
        EXPECT_EQ(voice.festivalVoice, "hindi_NSK_diphone");
        // The last resort must be a sound, not silence.
        EXPECT_EQ(voice.defaultDiphone.find(voice.pausePhone), std::string::npos) << voice.defaultDiphone;

        std::vector<std::vector<std::string>> parts;
        for (const char* phone : kIndianPhones) {
            auto it = voice.phones.find(phone);
            if (it == voice.phones.end()) {
                ADD_FAILURE() << "phone " << phone << " is not mapped";
                continue;
            }
            std::vector<std::string> seq;
            int share = 0;
            for (const auto& part : it->second) {
                EXPECT_TRUE(index.hasPhone(part.phone)) << phone << " -> " << part.phone;
                seq.push_back(part.phone);
                share += part.share;
            }
            EXPECT_EQ(share, 100) << phone;
            parts.push_back(seq);
        }
        std::string gaps;
        for (const auto& left : parts) {
            for (std::size_t i = 1; i < left.size(); ++i)
                if (!covered(voice, index, left[i - 1], left[i])) gaps += " " + left[i - 1] + "-" + left[i];
            for (const auto& right : parts)
                if (!covered(voice, index, left.back(), right.front())) gaps += " " + left.back() + "-" + right.front();
        }
        EXPECT_EQ(gaps, "") << "pairs without a diphone";
    }
}
