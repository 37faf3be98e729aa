// The list operations' exact arithmetic at their boundaries.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "PitchLists.h"

using namespace vorsan;
using List = std::vector<int32_t>;

TEST(PitchLists, ArithmeticAtTheEdges) {
    auto after = [](List v, const std::function<void(std::span<int32_t>)>& op) {
        op(v);
        return v;
    };
    // A rate of -100 read as unsigned; products truncate.
    EXPECT_EQ(after({100, 300, 500}, [](auto v) { pitch::scale(v, 4294967196u); }), (List{500, 500, 500}));
    EXPECT_EQ(after({100, 200}, [](auto v) { pitch::scale(v, 58); }), (List{57, 115}));
    // Spread takes the rate's low 16 bits as signed: 65736 acts as 200;
    // shrinking ends within 1 Hz of the centre, never past it; a huge centre
    // neither overflows nor leaves the range.
    EXPECT_EQ(after({150, 250}, [](auto v) { pitch::spread(v, 65736, 200.0); }), (List{100, 300}));
    EXPECT_EQ(after({100, 300}, [](auto v) { pitch::spread(v, 0, 200.5); }), (List{200, 201}));
    EXPECT_EQ(after({100, 300}, [](auto v) { pitch::spread(v, 100, 4294967000.0); }), (List{100, 300}));
    EXPECT_EQ(after({100, 300}, [](auto v) { pitch::spread(v, 32767, 4294967000.0); }), (List{50, 50}));
    EXPECT_EQ(after({100, 100, 100, 100}, [](auto v) { pitch::ramp(v, 100, 4294967295); }), (List{100, 500, 500, 500}));
    EXPECT_EQ(after({100, 100, 100}, [](auto v) { pitch::ramp(v, 400, 50); }), (List{400, 284, 168}));
    EXPECT_EQ(after({}, [](auto v) { pitch::ramp(v, 100, 200); }), List{});
    EXPECT_EQ(pitch::mean(List{}), 0.0);

    // 32-bit unsigned product and division with defined wrap-around: the
    // result is defined for every input.
    EXPECT_EQ(pitch::scaleDuration(75, 50), 37);
    EXPECT_EQ(pitch::scaleDuration(-75, 50), static_cast<int32_t>((4294967221u * 50u) / 100u));
    EXPECT_EQ(pitch::scaleDuration(std::numeric_limits<int32_t>::min(), 4294967295u), 21474836);
    EXPECT_EQ(pitch::clampToRange(std::numeric_limits<double>::infinity()), 500);
    EXPECT_EQ(pitch::clampToRange(-std::numeric_limits<double>::infinity()), 50);
    EXPECT_EQ(pitch::clampToRange(std::nan("")), 50);
}
