#include <gtest/gtest.h>

#include "vorsan/core/PhonemeText.h"

using namespace vorsan;

TEST(PhonemeText, ReadsAndWritesTheCanonicalLine) {
    PhonemeRecordList list;
    list.read("a 120 50 180 \n");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].name, "a");
    EXPECT_EQ(list[0].duration, 120);
    EXPECT_EQ(list[0].positions, std::vector<int32_t>{50});
    EXPECT_EQ(list[0].pitches, std::vector<int32_t>{180});
    EXPECT_EQ(list.write(), "a 120 50 180 \n");

    // A leading contour mark is kept in memory and dropped on writing.
    list.read("2 a 120 50 180");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].contourMark, 2);
    EXPECT_EQ(list.write(), "a 120 50 180 \n");

    // A mark outside 1..3 is read but not kept.
    list.read("7 a 120 50 180");
    EXPECT_EQ(list[0].contourMark, 0);
}

TEST(PhonemeText, ClampsPitchButMeansTheRawValues) {
    PhonemeRecordList list;
    list.read("a 100 10 30 90 900 \n");
    EXPECT_EQ(list[0].pitches, (std::vector<int32_t>{50, 500}));
    EXPECT_DOUBLE_EQ(list[0].meanPitch, 465.0);
    list.read("_ 200\n");
    EXPECT_DOUBLE_EQ(list[0].meanPitch, 0.0);
}

TEST(PhonemeText, OddTokenCountsShiftTheFields) {
    PhonemeRecordList list;
    // One token: it is the contour mark; no name, no duration.
    list.read("a\n");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].name, "");
    EXPECT_EQ(list[0].duration, 0);
    EXPECT_EQ(list.write(), " 0 \n");
    // A missing last pitch: the name becomes the mark, the duration the name.
    list.read("a 120 50 180 70\n");
    EXPECT_EQ(list[0].name, "120");
    EXPECT_EQ(list[0].duration, 50);
    EXPECT_EQ(list[0].positions, std::vector<int32_t>{180});
    EXPECT_EQ(list[0].pitches, std::vector<int32_t>{70});
}

TEST(PhonemeText, BlankLinesTabsAndCarriageReturns) {
    PhonemeRecordList list;
    list.read("\n   \n  a 50\r\n\n b 60 x 7y \n");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, "a");
    EXPECT_EQ(list[0].duration, 50); // "50\r" reads its leading digits
    EXPECT_EQ(list[1].positions, std::vector<int32_t>{0});
    EXPECT_EQ(list[1].pitches, std::vector<int32_t>{50}); // 7 clamped up
    list.read("a\t100 20 200");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].name, "20"); // "a\t100" is one token, so the count is odd
}

TEST(PhonemeText, HostileNumbersAndJunkNeverFail) {
    PhonemeRecordList list;
    list.read("a 99999999999999999999 -5 -99999999999999 \n");
    EXPECT_EQ(list[0].duration, 2147483647);
    EXPECT_EQ(list[0].pitches, std::vector<int32_t>{50});
    std::string junk;
    for (int i = 0; i < 4096; ++i) junk.push_back(static_cast<char>(i * 37 % 256));
    list.read(junk);
    list.write();
    std::string many = "a 100";
    for (int i = 0; i < 5000; ++i) many += " 1 100";
    list.read(many);
    EXPECT_EQ(list[0].pitches.size(), 5000u);
}

TEST(PhonemeText, SoundTableSetsClassAndVoicing) {
    SoundClassMap sounds{{"a", 0}, {"p", 8}, {"m", 4}};
    PhonemeRecordList list;
    list.read("a 10\np 10\nm 10\nq 10\n", &sounds);
    EXPECT_TRUE(list[0].voiced);
    EXPECT_FALSE(list[1].voiced);
    EXPECT_EQ(list[1].soundType, 8);
    EXPECT_TRUE(list[2].voiced);
    EXPECT_EQ(list[3].soundType, -1);
    EXPECT_FALSE(list[3].voiced);
}
