// Mapping phoneme text from one voice database to another: substitution
// with duration percentages, context rules by priority, the canonical line
// form, refusals, and calls from several threads. (Arbitrary bytes are the
// accent_map fuzz target's.)
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "AccentFixtures.h"

using namespace vorsan;
using namespace vorsan::accenttest;
using vorsan::testing::messageOf;
using vorsan::testing::TempProfile;

namespace {

// Source phonemes a b t k m n g e i o u w _; a splits into e and i (its
// second entry is ignored), m and n and g scale their duration; t and k have
// context rules; the target inventory types e (first entry), i and o as vowels.
const char* const kMapping =
    "<mapping><fromPhonem fromPhonemName='a'><toPhonem toPhonemName='e' toPhonemDuration='60'/>"
    "<toPhonem toPhonemName='i' toPhonemDuration='50'/></fromPhonem>"
    "<fromPhonem fromPhonemName='a'><toPhonem toPhonemName='X' toPhonemDuration='100'/></fromPhonem>"
    "<fromPhonem fromPhonemName='b'/>"
    "<fromPhonem fromPhonemName='m'><toPhonem toPhonemName='m' toPhonemDuration='33'/></fromPhonem>"
    "<fromPhonem fromPhonemName='n'><toPhonem toPhonemName='n' toPhonemDuration='50'/></fromPhonem>"
    "<fromPhonem fromPhonemName='g'><toPhonem toPhonemName='g' toPhonemDuration='1000'/></fromPhonem>"
    "<fromPhonem fromPhonemName='z'><toPhonem toPhonemName='e' toPhonemDuration='100'/></fromPhonem></mapping>";
const char* const kRules =
    "<dbrules><Sound soundName='t'>"
    "<Priority priorityName='2'><Rule ruleName='t+e'><Phonem PhonemName='th' PhonemDuration='100'/></Rule></Priority>"
    "<Priority priorityName='1'><Rule ruleName='t+V'><Phonem PhonemName='T' PhonemDuration='80'/>"
    "<Phonem PhonemName='h' PhonemDuration='20'/></Rule>"
    "<Rule ruleName='t+C'><Phonem PhonemName='tC' PhonemDuration='100'/></Rule></Priority>"
    "<Priority priorityName='3'><Rule ruleName='t+u'><Phonem PhonemName='never' PhonemDuration='100'/></Rule>"
    "</Priority></Sound><Sound soundName='k'><Priority priorityName='2'><Rule ruleName='k+e'/></Priority>"
    "<Priority priorityName='1'><Rule ruleName='k+V'><Phonem PhonemName='K' PhonemDuration='100'/></Rule></Priority>"
    "</Sound></dbrules>";
const char* const kTargetInventory =
    "<toMbrolaPhone><Sound mbrolaType='V' mbrolaPhonem='e' mbrolaUsage='as in bed'/>"
    "<Sound mbrolaType='v' mbrolaPhonem='i' mbrolaUsage=''/><Sound mbrolaType='Vowel' mbrolaPhonem='o' mbrolaUsage=''/>"
    "<Sound mbrolaType='C' mbrolaPhonem='u' mbrolaUsage=''/><Sound mbrolaType='' mbrolaPhonem='b' mbrolaUsage=''/>"
    "<Sound mbrolaType='C' mbrolaPhonem='e' mbrolaUsage='repeated'/></toMbrolaPhone>";

const std::string kParts = std::string(kFileInfo) + std::string(kMbrolaInfo);

std::unique_ptr<AccentDatabase> standardDatabase(const TempProfile& dir) {
    return loadAccent(dir, kParts + kMapping + kRules + sourceInventory("a b t k m n g e i o u w _") + kTargetInventory);
}

// The mapped text, or "error: " and the message.
std::string mapped(const AccentDatabase& db, const std::string& text) {
    try {
        return db.mapPhonemes(text);
    } catch (const MException& e) {
        return "error: " + e.message();
    }
}

} // namespace

TEST(PhonemeMapping, SubstitutionContextRulesLineFormAndRefusals) {
    TempProfile dir;
    auto db = standardDatabase(dir);
    const std::pair<const char*, const char*> cases[] = {
        // One source phoneme to two targets, each with the whole tail; the
        // repeated entry for a is ignored.
        {"a 120 0 180", "e 72 0 180 \ni 60 0 180 \n"},
        // Truncation toward zero, also for negative durations; huge ones saturate.
        {"m 100 \nn 75 \nm -100 \n", "m 33 \nn 37 \nm -33 \n"},
        {"n 99999999999999\ng 2147483647\ng -2147483648\n", "n 1073741823 \ng 2147483647 \ng -2147483648 \n"},
        // An entry without target phonemes leaves the phoneme as it is.
        {"b 50 10 100", "b 50 10 100 \n"},
        // Priority 2 names the successor exactly; the successor is the one pass 1 wrote.
        {"t 100 50 120\na 100\n", "th 100 50 120 \ne 60 \ni 50 \n"},
        // Priority 1 by the successor's class: e, i ("v") and o ("Vowel") are vowels.
        {"t 100 50 120\no 10\n", "T 80 50 120 \nh 20 50 120 \no 10 \n"},
        {"t 100\ni 10\n", "T 80 \nh 20 \ni 10 \n"},
        // Consonants: typed "C", typed empty, or missing from the target inventory.
        {"t 100\nu 10\n", "tC 100 \nu 10 \n"},
        {"t 100\nb 10\n", "tC 100 \nb 10 \n"},
        {"t 100\nw 10\n", "tC 100 \nw 10 \n"},
        // An empty priority-2 rule deletes the phone although "k+V" would apply.
        {"k 100\ne 50\n", "e 50 \n"},
        {"k 100\no 50\n", "K 100 \no 50 \n"},
        // No rule for the class: unchanged. The last phone is never rewritten.
        {"k 100\nu 50\n", "k 100 \nu 50 \n"},
        {"e 50\nt 100\n", "e 50 \nt 100 \n"},
        {"k 100\nk 100\ne 5\n", "k 100 \ne 5 \n"},
        // The canonical line form: blanks collapse, numbers read up to their
        // first non-digit (as the mood and the synthesiser read them), tabs and
        // carriage returns are ordinary characters in names.
        {"\n  \n\n", ""},
        {"\t \t\n", "error: Sound does not exist"}, // a phone named by a tab
        {"  b   120  10 100   50 200\n\n \nb 80", "b 120 10 100 50 200 \nb 80 \n"},
        {"b x12 50 100\nb 12ms\nb +7\nb 10\r", "b 0 50 100 \nb 12 \nb 7 \nb 10 \n"},
        {"_ 200\nb 10 50 100\r\n", "_ 200 \nb 10 50 100 \n"},
        // A bad line refuses the whole text. Only the source inventory
        // decides whether a sound exists, even when the mapping has an entry.
        {"a 100\nb\n", "error: Phonem/Duration missing"},
        {"  a   \n", "error: Phonem/Duration missing"},
        {"a 100\nz 100\n", "error: Sound does not exist"},
        {"\ta 100\n", "error: Sound does not exist"},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(mapped(*db, text), expected) << text;

    // One long line of thousands of targets, no line feed: every target kept
    // (a pitch past 32 bits at the largest that holds).
    std::string line = "b 100", expected = "b 100 ";
    for (int i = 0; i < 20000; ++i) {
        line += "  " + std::to_string(i % 100) + " 4294967296999";
        expected += std::to_string(i % 100) + " 2147483647 ";
    }
    EXPECT_EQ(db->mapPhonemes(line), expected + "\n");

    // Without a source inventory no phoneme exists; empty text still maps.
    auto bare = loadAccent(dir, kParts + kMapping + kRules);
    EXPECT_EQ(mapped(*bare, "a 100"), "error: Sound does not exist");
    EXPECT_EQ(mapped(*bare, " \n"), "");
}

TEST(PhonemeMapping, RepeatedElementsAndVowelMarks) {
    TempProfile dir;
    // The second mapping element replaces the first one entirely.
    auto db = loadAccent(dir, kParts +
                                  "<mapping><fromPhonem fromPhonemName='a'><toPhonem toPhonemName='X' "
                                  "toPhonemDuration='100'/></fromPhonem></mapping>"
                                  "<mapping><fromPhonem fromPhonemName='b'><toPhonem toPhonemName='Y' "
                                  "toPhonemDuration='100'/></fromPhonem></mapping>" +
                                  kRules + sourceInventory("a b t y") +
                                  "<toMbrolaPhone><Sound mbrolaType='v' mbrolaPhonem='y' mbrolaUsage=''/>"
                                  "<Sound mbrolaType='C' mbrolaPhonem='y' mbrolaUsage=''/></toMbrolaPhone>");
    EXPECT_EQ(db->mapPhonemes("a 10\nb 10\n"), "a 10 \nY 10 \n");
    // A repeated inventory entry: the first ("v") stays, so y is a vowel.
    EXPECT_EQ(db->mapPhonemes("t 10\ny 10\n"), "T 8 \nh 2 \ny 10 \n");
    // The successor as pass 1 wrote it (Y) is not in the target inventory.
    EXPECT_EQ(db->mapPhonemes("t 10\nb 10\n"), "tC 10 \nY 10 \n");
}

TEST(PhonemeMapping, ConcurrentCallsAgree) {
    TempProfile dir;
    auto db = standardDatabase(dir);
    std::string text;
    for (int i = 0; i < 500; ++i) text += "t 100 50 120\na 120 0 180\nk 90\ne 40\nm 75\n";
    const std::string expected = db->mapPhonemes(text);
    std::vector<std::thread> threads;
    std::vector<int> same(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int r = 0; r < 20; ++r) same[t] += db->mapPhonemes(text) == expected;
        });
    for (auto& th : threads) th.join();
    for (int s : same) EXPECT_EQ(s, 20);
}
