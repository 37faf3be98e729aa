#include <gtest/gtest.h>

#include <cmath>

#include "vorsan/core/PhonemeText.h"

using namespace vorsan;

// What the reader makes of each kind of line, classified for the mood, seen
// through the canonical form it writes back (name, duration, targets with
// pitches clamped to 50..500), the leading contour mark it keeps and the
// mean of the raw pitches of the last line.
TEST(PhonemeText, ReadsEveryLineShapeAndWritesItCanonically) {
    struct Case {
        const char* text;
        const char* written;
        int32_t mark;
        double mean;
    } cases[] = {
        {"a 120 50 180 \n", "a 120 50 180 \n", 0, 180},
        {"2 a 120 50 180", "a 120 50 180 \n", 2, 180}, // a leading mark is kept, not written
        {"7 a 120 50 180", "a 120 50 180 \n", 0, 180}, // a mark outside 1..3 is dropped
        {"a 100 10 30 90 900 \n", "a 100 10 50 90 500 \n", 0, 465}, // clamped, mean of the raw values
        {"_ 200\n", "_ 200 \n", 0, 0},
        // An odd token count makes the first token the mark: fields shift.
        {"a\n", " 0 \n", 0, 0},
        {"a 120 50 180 70\n", "120 50 180 70 \n", 0, 70},
        {"a\t100 20 200", "20 200 \n", 0, 0}, // a tab does not cut tokens
        // Blank lines are skipped; numbers are read up to their first non-digit.
        {"\n   \n  a 50\r\n\n b 60 x 7y \n", "a 50 \nb 60 0 50 \n", 0, 7},
        // Huge numbers saturate instead of overflowing.
        {"a 99999999999999999999 -5 -99999999999999 \n", "a 2147483647 -5 50 \n", 0, NAN},
    };
    const SoundClassMap none;
    for (const Case& c : cases) {
        PhonemeRecordList list;
        list.read(c.text, &none);
        EXPECT_EQ(list.write(), c.written) << c.text;
        ASSERT_FALSE(list.empty()) << c.text;
        EXPECT_EQ(list[0].contourMark, c.mark) << c.text;
        if (!std::isnan(c.mean)) {
            EXPECT_DOUBLE_EQ(list[list.size() - 1].meanPitch, c.mean) << c.text;
        }
    }
    // Thousands of targets on one line are all kept. (Arbitrary bytes are the
    // phoneme_text fuzz target's.)
    PhonemeRecordList list;
    std::string many = "a 100";
    for (int i = 0; i < 5000; ++i) many += " 1 100";
    list.read(many);
    EXPECT_EQ(list[0].pitches.size(), 5000u);
}

TEST(PhonemeText, SoundTableSetsClassAndVoicing) {
    SoundClassMap sounds{{"a", 0}, {"p", 8}, {"m", 4}};
    PhonemeRecordList list;
    list.read("a 10\np 10\nm 10\nq 10\n", &sounds);
    const std::pair<int32_t, bool> expected[] = {{0, true}, {8, false}, {4, true}, {-1, false}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(list[i].soundType, expected[i].first) << list[i].name;
        EXPECT_EQ(list[i].voiced, expected[i].second) << list[i].name;
    }
}

// Records print as the front end that made them wrote its text (the engine
// prints them only where a caller asks for phoneme text, which must not
// change), values as given; the mood and the accent print full lines.
TEST(PhonemeText, PrintsEveryRecordInTheFormItWasMadeIn) {
    PhonemeRecordList list;
    list.push_back(pauseRecord(200, LineForm::Short));
    PhonemeRecord cell;
    cell.name = "h";
    cell.nameWidth = 2;
    cell.duration = 57;
    cell.positions = {50};
    cell.pitches = {106};
    list.push_back(cell);
    list.push_back(pauseRecord(0, LineForm::Word));
    PhonemeRecord closing = pauseRecord(100);
    closing.blankLineAfter = true;
    list.push_back(closing);
    EXPECT_EQ(list.write(), "_ 200\nh  57 50 106 \n_ _ 100 \n \n");
    list.makeFull();
    EXPECT_EQ(list.write(), "_ 200 \nh 57 50 106 \n_ 0 \n_ 100 \n");

    // Read without a sound table, values stay as written (an accent passes
    // them on; only the mood and the synthesiser keep pitches in bounds).
    const std::string raw = "b 9000 10 600 90 -5 \n_ 200 \n";
    list.read(raw);
    EXPECT_EQ(list.write(), raw);
    list.classify({});
    EXPECT_EQ(list.write(), "b 9000 10 500 90 50 \n_ 200 \n");
    EXPECT_DOUBLE_EQ(list[0].meanPitch, 297);

    PhonemeRecordList more;
    more.read("a 10 \n");
    list.append(std::move(more));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[2].name, "a");
}
