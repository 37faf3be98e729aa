// Every shipped language rule file loads, says which language, script range
// and voice it is for, and gives only phones its voice can speak; the Indian
// voice files put every phone of the shared Indian phone set on the NSK
// diphone database, and every pair of those phones reaches a diphone the
// database has (directly or through a fallback), so nothing is spoken as the
// default diphone or as a gap.
#include <gtest/gtest.h>

#include "ShippedData.h"
#include "vorsan/core/MException.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;

namespace {
void checkPattern(const std::string& where, const std::vector<int32_t>& pattern) {
    EXPECT_EQ(pattern.size(), 500u) << where;
    for (int32_t hz : pattern)
        if (hz < 50 || hz > 400) {
            ADD_FAILURE() << where << ": pitch " << hz << " Hz";
            return;
        }
}

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

TEST(RuleFiles, EveryFileLoadsAndGivesOnlyPhonesOfItsVoice) {
    TempProfile profile;
    std::set<std::string> expected, found;
    for (const ShippedLanguage& l : shippedLanguages())
        if (!l.ruleFile.empty()) expected.insert(dataPath("pelmira/" + l.ruleFile));
    for (const std::string& path : ruleFiles()) {
        SCOPED_TRACE(path);
        found.insert(path);
        std::unique_ptr<LanguageRuleBase> language;
        try {
            language = LanguageRuleBase::load(path);
        } catch (const MException& e) {
            ADD_FAILURE() << e.message();
            continue;
        }
        const LanguageInfo& info = *language->language();
        EXPECT_FALSE(info.languageName.empty());
        EXPECT_GT(info.unicodeStart, 0x7F);
        EXPECT_GT(info.unicodeEnd, info.unicodeStart);
        EXPECT_FALSE(language->characters()->consonants.empty());
        ASSERT_NE(language->sentenceTypes(), nullptr);
        EXPECT_FALSE(language->sentenceTypes()->empty());
        for (const auto& [name, st] : *language->sentenceTypes()) {
            EXPECT_FALSE(st.identifiers.empty()) << name;
            checkPattern(name, st.pitchPattern);
            for (const auto& [clauseName, ct] : st.clauseTypes) checkPattern(name + "/" + clauseName, ct.pitchPattern);
        }
        const synth::VoiceDatabase voice = shippedVoice(info.mbrolaDatabase);
        const synth::DiphoneIndex index = synth::DiphoneIndex::read(synth::diphoneIndexPath(voice));
        std::string unknown;
        for (const std::string& phone : phonesOfRuleFile(*language))
            if (phone != "_" && !voice.phones.count(phone) && !index.hasPhone(phone)) unknown += " " + phone;
        EXPECT_EQ(unknown, "") << "phones unknown to voice " << voice.name;
    }
    // The tests' list of languages is the shipped one.
    EXPECT_EQ(found, expected);
}

TEST(IndianVoices, EveryPhoneIsMappedAndEveryPairReachesARecordedDiphone) {
    TempProfile profile;
    for (const char* name : {"in1", "mr1", "tl1"}) {
        SCOPED_TRACE(name);
        const synth::VoiceDatabase voice = shippedVoice(name);
        const synth::DiphoneIndex index = synth::DiphoneIndex::read(synth::diphoneIndexPath(voice));
        EXPECT_EQ(voice.festivalVoice, "hindi_NSK_diphone");
        // The last resort must be a sound, not silence.
        EXPECT_EQ(voice.defaultDiphone.find(voice.pausePhone), std::string::npos) << voice.defaultDiphone;

        std::vector<std::vector<std::string>> parts;
        for (const std::string& phone : phoneSet(name)) {
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
