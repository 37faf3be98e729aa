// The pitch-synchronous steps done on our side of Festival: target marks,
// frame map and filled unit marks, on hostile inputs.
#include <gtest/gtest.h>

#include <cmath>

#include "PitchMarks.h"

using namespace vorsan::synth;

TEST(PitchMarks, MarksRiseOnePeriodApartWithinTheVoicesRange) {
    auto marks = placePitchmarks([](double t) { return t < 0.5 ? 100.0 : 200.0; }, 1.0);
    ASSERT_FALSE(marks.empty());
    EXPECT_NEAR(marks.front(), 0.01, 1e-9);
    EXPECT_GE(marks.back(), 1.0);
    EXPECT_LT(marks[marks.size() - 2], 1.0) << "stops at the first mark past the end";
    EXPECT_NEAR(static_cast<double>(marks.size()), 50 + 100, 2);

    // Pitch outside the range, zero, negative or not a number is held inside it.
    for (double hz : {0.0, -50.0, 5.0, 5000.0, std::nan("")}) {
        auto m = placePitchmarks([hz](double) { return hz; }, 0.5);
        ASSERT_GE(m.size(), 2u) << hz;
        for (std::size_t i = 1; i < m.size(); ++i) {
            const double period = m[i] - m[i - 1];
            EXPECT_GE(period, 1.0 / kMaxVoicePitch - 1e-12) << hz;
            EXPECT_LE(period, 1.0 / kMinVoicePitch + 1e-12) << hz;
        }
    }
    EXPECT_TRUE(placePitchmarks([](double) { return 100.0; }, 0).empty());
}

TEST(PitchMarks, LongGapsInAUnitGetExtraMarks) {
    // Regularly marked: unchanged.
    auto same = fillMarkGaps({0.005, 0.010, 0.015});
    EXPECT_EQ(same.times, (std::vector<double>{0.005, 0.010, 0.015}));
    EXPECT_EQ(same.index, (std::vector<std::size_t>{0, 1, 2}));

    // A quarter-second gap (as in the NSK voices' kh-pau) and a long first
    // period are split into steps no longer than the fill spacing.
    const std::vector<double> sparse{0.05, 0.06, 0.30, 0.31};
    auto filled = fillMarkGaps(sparse);
    double previous = 0;
    for (double t : filled.times) {
        EXPECT_GT(t, previous);
        EXPECT_LE(t - previous, kFillSpacing + 1e-9);
        previous = t;
    }
    ASSERT_EQ(filled.index.size(), sparse.size());
    for (std::size_t j = 0; j < sparse.size(); ++j) EXPECT_EQ(filled.times[filled.index[j]], sparse[j]);
    ASSERT_EQ(filled.from.size(), filled.times.size());
    for (std::size_t i = 0; i < filled.times.size(); ++i) {
        ASSERT_LT(filled.from[i], sparse.size());
        EXPECT_LE(std::abs(sparse[filled.from[i]] - filled.times[i]), 0.121) << "coefficients come from the nearer end";
    }
}

TEST(PitchMarks, UnusableDiphoneDataIsRecognised) {
    // (Marks going back and a boundary past the marks: see the diphone index test.)
    EXPECT_TRUE(usableDiphone({0.01, 0.02, 0.02, 0.03}, 0)) << "a repeated mark is harmless";
    EXPECT_FALSE(usableDiphone({0.01}, 0));
    EXPECT_FALSE(usableDiphone({0.01, 0.02}, -1));
    EXPECT_FALSE(usableDiphone({0.0, 0.01}, 0));
    EXPECT_FALSE(usableDiphone({0.01, std::nan("")}, 0));
    EXPECT_FALSE(usableDiphone({0.01, 1e9}, 0));
}

TEST(PitchMarks, FrameMapStaysInsideTheSourceWhateverTheSegments) {
    const std::vector<double> source{0.01, 0.02, 0.03, 0.04, 0.05, 0.06};
    // Two segments: the first stretched tenfold, the second as recorded.
    auto marks = placePitchmarks([](double) { return 100.0; }, 0.35);
    auto map = mapPitchmarks(source, {0.03, 0.06}, {0.30, 0.33}, marks);
    ASSERT_FALSE(map.empty());
    EXPECT_LT(map.size(), marks.size()) << "marks after the last segment get no frame";
    for (std::size_t i = 1; i < map.size(); ++i) EXPECT_GE(map[i], map[i - 1]);
    EXPECT_LE(map[map.size() / 2], 2) << "the stretched segment repeats its own frames";
    EXPECT_GE(map.back(), 4) << "the last segment ends on the last frames";

    // Segments that take no time, run backwards, or claim more source than
    // there is still give indices inside the source.
    const std::vector<std::vector<double>> sourceEnds{{0, 0, 0}, {0.5, 0.2, 9.0}, {-1, 0.03, 0.06}};
    const std::vector<std::vector<double>> targetEnds{{0, 0, 0.2}, {0.1, 0.05, 0.3}, {0.1, 0.1, 0.1}};
    for (const auto& se : sourceEnds)
        for (const auto& te : targetEnds)
            for (int index : mapPitchmarks(source, se, te, marks)) {
                EXPECT_GE(index, 0);
                EXPECT_LT(index, static_cast<int>(source.size()));
            }
    EXPECT_TRUE(mapPitchmarks({}, {0.1}, {0.1}, marks).empty());
    EXPECT_TRUE(mapPitchmarks(source, {}, {}, marks).empty());
}

TEST(PitchMarks, AShortenedStopKeepsItsReleaseAndLosesClosure) {
    // Marks 10 ms apart. A vowel (0-0.1 s), then a stop: 100 ms of closure,
    // a 20 ms burst, 60 ms of aspiration (0.1-0.28 s), then a pause's noise.
    std::vector<double> marks;
    std::vector<float> energy;
    for (int i = 0; i < 40; ++i) {
        marks.push_back(0.005 + 0.01 * i);
        energy.push_back(i < 10 ? 100.0f : i < 20 ? 3.0f : i < 22 ? 150.0f : i < 28 ? 40.0f : 5.0f);
    }
    const std::vector<double> source{0.1, 0.28, 0.4};
    const auto lengths = [](const std::vector<double>& ends, std::size_t k) {
        return ends[k] - (k == 0 ? 0.0 : ends[k - 1]);
    };

    // The stop said in 130 ms: the closure gives up what it must, and the
    // burst and aspiration keep their recorded 80 ms.
    SegmentEnds cut = splitAtClosures(marks, energy, source, {0.1, 0.23, 0.3});
    ASSERT_EQ(cut.source.size(), 5u) << "the stop's closure, release and aspiration are runs of their own";
    EXPECT_NEAR(cut.source[1], 0.2, 1e-9);
    EXPECT_NEAR(lengths(cut.target, 1), 0.05, 1e-9) << "the closure takes the whole change";
    EXPECT_NEAR(lengths(cut.target, 2), 0.02, 1e-9) << "the burst as recorded";
    EXPECT_NEAR(lengths(cut.target, 3), 0.06, 1e-9) << "the aspiration as recorded";
    EXPECT_NEAR(cut.target.back(), 0.3, 1e-12);

    // Said in 60 ms: the closure is at its floor (30 %), the aspiration
    // shrinks, the burst still keeps its length.
    cut = splitAtClosures(marks, energy, source, {0.1, 0.16, 0.3});
    ASSERT_EQ(cut.source.size(), 5u);
    EXPECT_NEAR(lengths(cut.target, 1), kQuietFloor * 0.1, 1e-9);
    EXPECT_NEAR(lengths(cut.target, 2), 0.02, 1e-9);
    EXPECT_NEAR(cut.target[3], 0.16, 1e-9) << "the segment still ends where the text puts it";

    // Lengthened, or with nothing loud enough to be a release (the pause's
    // noise against the vowel), segments are scaled evenly: the ends are the
    // given ones.
    for (const std::vector<double>& target : {std::vector<double>{0.1, 0.4, 0.5}, std::vector<double>{0.05, 0.1, 0.15}}) {
        std::vector<float> quietStop = energy;
        if (target[1] < 0.2)
            for (std::size_t i = 10; i < 28; ++i) quietStop[i] = std::min(quietStop[i], 20.0f);
        cut = splitAtClosures(marks, quietStop, source, target);
        EXPECT_EQ(cut.source, source);
        EXPECT_EQ(cut.target, target);
    }
    // Whatever the ends, the finer ones never go back and end where asked.
    for (const std::vector<double>& target : {std::vector<double>{0.1, 0.1, 0.1}, std::vector<double>{0.2, 0.205, 0.3}}) {
        cut = splitAtClosures(marks, energy, source, target);
        for (std::size_t i = 1; i < cut.target.size(); ++i) EXPECT_GE(cut.target[i], cut.target[i - 1]);
        EXPECT_EQ(cut.target.back(), target.back());
    }
}
