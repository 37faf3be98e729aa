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
    std::string w = "w";
    w += static_cast<char>('a' + i % 26);
    w += std::to_string(i * 7);
    return w;
}

TEST(EnglishDictionary, HalvingSearchFindsEveryRecordAndNothingElse) {
    testing::TempProfile profile;
    for (int size : {1, 2, 3, 4, 5, 7, 8, 16, 17, 31, 100, 257}) {
        DictionaryEntries entries;
        for (int i = 0; i < size; ++i) entries.emplace_back(word(i), "p'" + std::to_string(i));
        const std::string path = profile.write("dict" + std::to_string(size) + ".dat",
                                               testing::dictionaryBytes(entries));
        const EnglishDictionary dictionary(path);
        ASSERT_TRUE(dictionary.isOpen());
        EXPECT_EQ(dictionary.recordCount(), static_cast<std::size_t>(size));
        for (int i = 0; i < size; ++i) EXPECT_EQ(dictionary.Lookup(word(i)), "p'" + std::to_string(i)) << size;
        // Before the first, after the last, between records, and prefixes.
        EXPECT_EQ(dictionary.Lookup("a"), "");
        EXPECT_EQ(dictionary.Lookup("zzz"), "");
        EXPECT_EQ(dictionary.Lookup("wa0x"), "");
        EXPECT_EQ(dictionary.Lookup("w"), "");
        EXPECT_EQ(dictionary.Lookup("wa"), "");
    }
}

TEST(EnglishDictionary, LookupIsCaseSensitiveAndNeedsALeadingLetter) {
    testing::TempProfile profile;
    const std::string path = testing::writeDictionary(
        profile, {{"hello", "h@l'@U"}, {"Paris", "p'&rIs"}, {"don't", "d'@Unt"}, {"'bout", "b'aUt"}, {"x", "'eks"}});
    const EnglishDictionary dictionary(path);
    EXPECT_EQ(dictionary.Lookup("hello"), "h@l'@U");
    EXPECT_EQ(dictionary.Lookup("Hello"), "");
    EXPECT_EQ(dictionary.Lookup("Paris"), "p'&rIs");
    EXPECT_EQ(dictionary.Lookup("paris"), "");
    EXPECT_EQ(dictionary.Lookup("don't"), "d'@Unt");
    EXPECT_EQ(dictionary.Lookup("'bout"), ""); // only words starting with a letter are looked up
    EXPECT_EQ(dictionary.Lookup("x"), "'eks");
    EXPECT_EQ(dictionary.Lookup(""), "");
    EXPECT_EQ(dictionary.Lookup(std::string("x\0", 2)), "");
    EXPECT_EQ(dictionary.Lookup(std::string(5000, 'h')), "");
}

TEST(EnglishDictionary, UnusableFilesAreReportedOnceAndFindNothing) {
    testing::TempProfile profile;
    const std::string good = testing::dictionaryBytes({{"hello", "h@l'@U"}, {"world", "w'3:ld"}});
    struct Case {
        const char* name;
        std::string content;
        const char* message;
    };
    const Case cases[] = {
        {"truncated", good.substr(0, good.size() - 7), "Error while reading dictionary file"},
        {"longer", good + "x", "Error while reading dictionary file"},
        {"empty", "", "Error while reading dictionary file"},
        {"missing", "", "Error while opening dictionary file."},
    };
    for (const Case& c : cases) {
        const std::string path = std::string(c.name) == "missing"
                                     ? (profile.path() / "nowhere" / "english.dat").string()
                                     : profile.write(std::string(c.name) + ".dat", c.content);
        testing::CoutCapture capture;
        EnglishDictionary dictionary(path);
        for (int i = 0; i < 50; ++i) EXPECT_EQ(dictionary.Lookup("hello"), "") << c.name;
        EXPECT_FALSE(dictionary.open());
        const std::string said = capture.text();
        EXPECT_EQ(said.find(c.message), 0u) << c.name << ": " << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << c.name << ": " << said;
    }
    // A folder in place of the file.
    std::filesystem::create_directories(profile.path() / "folder.dat");
    testing::CoutCapture capture;
    EnglishDictionary folder((profile.path() / "folder.dat").string());
    EXPECT_EQ(folder.Lookup("hello"), "");
    EXPECT_EQ(capture.text(), "Error while opening dictionary file.\n");
}

TEST(EnglishDictionary, AFileInstalledLaterIsPickedUp) {
    testing::TempProfile profile;
    const std::string path = (profile.path() / "Speechfiles/English/english.dat").string();
    testing::CoutCapture capture;
    EnglishDictionary dictionary(path);
    EXPECT_EQ(dictionary.Lookup("hello"), "");
    testing::writeDictionary(profile, {{"hello", "h@l'@U"}});
    EXPECT_TRUE(dictionary.open());
    EXPECT_EQ(dictionary.Lookup("hello"), "h@l'@U");
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

} // namespace
} // namespace vorsan
