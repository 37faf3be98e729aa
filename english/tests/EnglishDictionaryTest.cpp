#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "DictionaryFixture.h"
#include "vorsan/core/Paths.h"
#include "vorsan/english/EnglishDictionary.h"

namespace vorsan {
namespace {

using testing::DictionaryEntries;

std::string word(int i) {
    // Headwords with shared prefixes, so the byte-order comparison matters.
    return "w" + std::string(1, static_cast<char>('a' + i % 26)) + std::to_string(i * 7);
}

TEST(EnglishDictionary, HalvingSearchFindsEveryRecordAndNothingElse) {
    testing::TempProfile profile;
    for (int size : {1, 2, 3, 4, 5, 7, 8, 16, 17, 31, 100, 257}) {
        DictionaryEntries entries;
        for (int i = 0; i < size; ++i) entries.emplace_back(word(i), "p'" + std::to_string(i));
        const EnglishDictionary dictionary(
            profile.write("dict" + std::to_string(size) + ".dat", testing::dictionaryBytes(entries)));
        ASSERT_TRUE(dictionary.isOpen());
        EXPECT_EQ(dictionary.recordCount(), static_cast<std::size_t>(size));
        for (int i = 0; i < size; ++i) EXPECT_EQ(dictionary.Lookup(word(i)), "p'" + std::to_string(i)) << size;
        // Before the first, after the last, between records, and prefixes.
        for (const char* absent : {"a", "zzz", "wa0x", "w", "wa"}) EXPECT_EQ(dictionary.Lookup(absent), "") << absent;
    }
    // Case-sensitive; only words starting with a letter are looked up.
    const EnglishDictionary dictionary(testing::writeDictionary(
        profile, {{"hello", "h@l'@U"}, {"Paris", "p'&rIs"}, {"don't", "d'@Unt"}, {"'bout", "b'aUt"}, {"x", "'eks"}}));
    const std::pair<std::string, const char*> lookups[] = {
        {"hello", "h@l'@U"}, {"Hello", ""}, {"Paris", "p'&rIs"}, {"paris", ""},       {"don't", "d'@Unt"},
        {"'bout", ""},       {"x", "'eks"}, {"", ""},             {{"x\0", 2}, ""},    {std::string(5000, 'h'), ""}};
    for (const auto& [w, pronunciation] : lookups) EXPECT_EQ(dictionary.Lookup(w), pronunciation) << w;
}

TEST(EnglishDictionary, UnusableFilesAreReportedOnceAndFindNothing) {
    testing::TempProfile profile;
    const std::string good = testing::dictionaryBytes({{"hello", "h@l'@U"}, {"world", "w'3:ld"}});
    std::filesystem::create_directories(profile.path() / "folder.dat");
    const struct Case {
        std::string path;
        const char* message;
    } cases[] = {
        {profile.write("truncated.dat", good.substr(0, good.size() - 7)), "Error while reading dictionary file"},
        {profile.write("longer.dat", good + "x"), "Error while reading dictionary file"},
        {profile.write("empty.dat", ""), "Error while reading dictionary file"},
        {(profile.path() / "nowhere" / "english.dat").string(), "Error while opening dictionary file."},
        {(profile.path() / "folder.dat").string(), "Error while opening dictionary file."},
    };
    for (const Case& c : cases) {
        testing::DiagnosticCapture capture;
        EnglishDictionary dictionary(c.path);
        for (int i = 0; i < 50; ++i) EXPECT_EQ(dictionary.Lookup("hello"), "") << c.path;
        EXPECT_FALSE(dictionary.open());
        const std::string said = capture.text();
        EXPECT_EQ(said.find(c.message), 0u) << c.path << ": " << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << c.path << ": " << said;
    }
    // A file installed later is picked up.
    testing::DiagnosticCapture quiet;
    EnglishDictionary later((profile.path() / "Speechfiles/English/english.dat").string());
    EXPECT_EQ(later.Lookup("hello"), "");
    testing::writeDictionary(profile, {{"hello", "h@l'@U"}});
    EXPECT_TRUE(later.open());
    EXPECT_EQ(later.Lookup("hello"), "h@l'@U");
}

TEST(EnglishDictionary, InstalledDictionaryKnowsCommonWords) {
    const std::string path = profileFolder() + "/Speechfiles/English/english.dat"; // before any TempProfile
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no english.dat installed at " << path;
    const EnglishDictionary dictionary(path);
    ASSERT_TRUE(dictionary.isOpen());
    EXPECT_GT(dictionary.recordCount(), 100000u);
    for (const char* w : {"a", "A", "the", "The", "hello", "Hello", "world", "zero", "one", "nineteen", "hundred",
                          "thousand", "million", "billion", "minus", "point", "dollars", "percent", "don't"})
        EXPECT_FALSE(dictionary.Lookup(w).empty()) << w;
    EXPECT_EQ(dictionary.Lookup("HELLO"), "");
    EXPECT_EQ(dictionary.Lookup("qzxqzxqzx"), "");
}

// What tells thirteen from thirty: the -teen numbers are stressed on their
// ending, the -ty numbers on their first syllable.
TEST(EnglishDictionary, BuiltDictionaryStressesTeenNumbersOnTheEnding) {
    if (!std::filesystem::exists(VORSAN_BUILT_ENGLISH_DAT)) GTEST_SKIP() << "english.dat not built";
    const EnglishDictionary dictionary(VORSAN_BUILT_ENGLISH_DAT);
    for (const char* w : {"thirteen", "fourteen", "fifteen", "sixteen", "seventeen", "eighteen", "nineteen",
                          "nineteenth"})
        EXPECT_NE(dictionary.Lookup(w).find("'i:"), std::string::npos) << w << ": " << dictionary.Lookup(w);
    for (const char* w : {"thirty", "forty", "ninety"}) EXPECT_EQ(dictionary.Lookup(w).find("'i"), std::string::npos) << w;
    EXPECT_EQ(dictionary.Lookup("springsteen").find("'i:"), std::string::npos); // not a number
}

// Unstressed ER keeps its r colour (the vowel of "bird", not a schwa), and
// the function words take the weak forms the source lexicon gives them.
TEST(EnglishDictionary, BuiltDictionaryHasRColouredErAndWeakFunctionWords) {
    if (!std::filesystem::exists(VORSAN_BUILT_ENGLISH_DAT)) GTEST_SKIP() << "english.dat not built";
    const EnglishDictionary dictionary(VORSAN_BUILT_ENGLISH_DAT);
    const std::pair<const char*, const char*> words[] = {
        {"water", "w'O:t3:"}, {"rider", "r'aId3:"}, {"lawyer", "l'O:j3:"}, {"her", "h3:"}, {"were", "w3:"},
        {"and", "@nd"},       {"of", "@v"},         {"to", "t@"},          {"for", "f3:"},  {"the", "D@"},
        {"bird", "b'3:d"},    {"about", "@b'aUt"},
    };
    for (const auto& [word, pronunciation] : words) EXPECT_EQ(dictionary.Lookup(word), pronunciation) << word;
}

} // namespace
} // namespace vorsan
