// The list operations' exact arithmetic at their boundaries.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "PitchLists.h"

using namespace vorsan;

TEST(PitchLists, ArithmeticAtTheEdges) {
    std::vector<int32_t> v{100, 300, 500};
    pitch::scale(v, 4294967196u); // a rate of -100 read as unsigned
    EXPECT_EQ(v, (std::vector<int32_t>{500, 500, 500}));
    v = {100, 200};
    pitch::scale(v, 58);
    EXPECT_EQ(v, (std::vector<int32_t>{57, 115}));

    // Spread takes the rate's low 16 bits as signed: 65736 acts as 200.
    v = {150, 250};
    pitch::spread(v, 65736, 200.0);
    EXPECT_EQ(v, (std::vector<int32_t>{100, 300}));
    v = {100, 300};
    pitch::spread(v, 0, 200.5); // shrinking ends within 1 Hz of the centre, never past it
    EXPECT_EQ(v, (std::vector<int32_t>{200, 201}));
    v = {100, 300};
    pitch::spread(v, 100, 4294967000.0); // huge centre: no overflow, still in range
    EXPECT_EQ(v, (std::vector<int32_t>{100, 300}));
    pitch::spread(v, 32767, 4294967000.0);
    EXPECT_EQ(v, (std::vector<int32_t>{50, 50}));

    v = {100, 100, 100, 100};
    pitch::ramp(v, 100, 4294967295);
    EXPECT_EQ(v, (std::vector<int32_t>{100, 500, 500, 500}));
    v = {100, 100, 100};
    pitch::ramp(v, 400, 50);
    EXPECT_EQ(v, (std::vector<int32_t>{400, 284, 168}));
    std::vector<int32_t> none;
    pitch::ramp(none, 100, 200);
    EXPECT_EQ(pitch::mean(none), 0.0);

    EXPECT_EQ(pitch::scaleDuration(75, 50), 37);
    // 32-bit unsigned product and division with defined wrap-around:
    // the result is defined for every input.
    EXPECT_EQ(pitch::scaleDuration(-75, 50), static_cast<int32_t>((4294967221u * 50u) / 100u));
    EXPECT_EQ(pitch::scaleDuration(std::numeric_limits<int32_t>::min(), 4294967295u), 21474836);
    EXPECT_EQ(pitch::clampToRange(std::numeric_limits<double>::infinity()), 500);
    EXPECT_EQ(pitch::clampToRange(-std::numeric_limits<double>::infinity()), 50);
    EXPECT_EQ(pitch::clampToRange(std::nan("")), 50);
}
