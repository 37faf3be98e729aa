// Every shipped language rule file loads, says which language, script range
// and voice it is for, and gives only phones that its voice can speak.
#include <gtest/gtest.h>

#include <filesystem>

#include "DataFiles.h"
#include "vorsan/core/MException.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::datatest;

namespace {
std::unique_ptr<LanguageRuleBase> loadOrFail(const std::string& path) {
    try {
        return LanguageRuleBase::load(path);
    } catch (const MException& e) {
        ADD_FAILURE() << path << ": " << e.message();
    }
    return nullptr;
}

void checkPattern(const std::string& where, const std::vector<int32_t>& pattern) {
    EXPECT_EQ(pattern.size(), 500u) << where;
    for (std::size_t i = 0; i < pattern.size(); ++i)
        if (pattern[i] < 50 || pattern[i] > 400) {
            ADD_FAILURE() << where << ": pitch " << pattern[i] << " Hz at frame " << i;
            return;
        }
}
} // namespace

TEST(RuleFiles, EveryFileLoadsWithItsLanguageScriptVoiceAndSentenceTypes) {
    vorsan::testing::TempProfile profile;
    const auto files = ruleFiles();
    ASSERT_FALSE(files.empty());
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        auto language = loadOrFail(path);
        if (!language) continue;
        const LanguageInfo* info = language->language();
        ASSERT_NE(info, nullptr);
        EXPECT_FALSE(info->languageName.empty());
        EXPECT_GT(info->unicodeStart, 0x7F);
        EXPECT_GT(info->unicodeEnd, info->unicodeStart);
        EXPECT_TRUE(std::filesystem::exists(vorsan::testing::sourcePath("data/voices/" + info->mbrolaDatabase + ".xml")))
            << "no voice file for " << info->mbrolaDatabase;
        ASSERT_NE(language->characters(), nullptr);
        EXPECT_FALSE(language->characters()->consonants.empty());
        ASSERT_NE(language->sentenceTypes(), nullptr);
        EXPECT_FALSE(language->sentenceTypes()->empty());
        for (const auto& [name, st] : *language->sentenceTypes()) {
            EXPECT_FALSE(st.identifiers.empty()) << name;
            checkPattern(name, st.pitchPattern);
            for (const auto& [clauseName, ct] : st.clauseTypes) checkPattern(name + "/" + clauseName, ct.pitchPattern);
        }
    }
}

TEST(RuleFiles, EveryPhoneARuleFileGivesIsAPhoneOfItsVoice) {
    vorsan::testing::TempProfile profile;
    for (const std::string& path : ruleFiles()) {
        SCOPED_TRACE(path);
        auto language = loadOrFail(path);
        if (!language) continue;
        const synth::VoiceDatabase voice = shippedVoice(language->mbrolaDatabase());
        const synth::DiphoneIndex index = synth::DiphoneIndex::read(synth::diphoneIndexPath(voice));
        std::string unknown;
        for (const std::string& phone : phonesOfRuleFile(*language))
            if (phone != "_" && !voice.phones.count(phone) && !index.hasPhone(phone)) unknown += " " + phone;
        EXPECT_EQ(unknown, "") << "phones unknown to voice " << voice.name;
    }
}
