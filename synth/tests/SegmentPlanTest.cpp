// The timeline, pitch and fallback plan built from phoneme text, checked
// against a small made-up diphone index (no Festival involved).
#include <gtest/gtest.h>

#include <atomic>

#include "SegmentPlan.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::synth;
using vorsan::testing::TempProfile;

namespace {

struct Fixture {
    TempProfile profile;
    VoiceDatabase voice;
    DiphoneIndex index;

    Fixture() {
        std::string names;
        // Every pair of pau, a, b, i except b-i and i-pau; c only after a.
        for (const char* l : {"pau", "a", "b", "i"})
            for (const char* r : {"pau", "a", "b", "i"})
                if (std::string(l) + r != "bi" && std::string(l) + r != "ipau") names += std::string(l) + "-" + r + " 0 0 0\n";
        names += "a-c 0 0 0\nc-pau 0 0 0\n";
        index = DiphoneIndex::read(profile.write("i.group", "EST_File index\nEST_Header_End\n" + names));
        voice.name = "t";
        voice.nativeRate = 16000;
        voice.pausePhone = "pau";
        voice.defaultPitch = 100;
        voice.phones["_"] = {{"pau", 100}};
        voice.phones["A"] = {{"a", 100}};
        voice.phones["ai"] = {{"a", 75}, {"i", 25}};
        Fallback insertA;
        insertA.left = {"b"};
        insertA.right = {"i"};
        insertA.insert = "a";
        insertA.share = 20;
        voice.fallbacks.push_back(insertA);
    }
    SegmentPlan plan(const std::string& text, PlanSettings s = {}) { return buildSegmentPlan(text, voice, index, s); }
};

} // namespace

TEST(SegmentPlan, TimelineAndPitchFollowTheTextRatioAndRate) {
    Fixture f;
    // Contour mark, missing trailing space, a line without targets, a pause
    // in short form and a zero-length word boundary.
    SegmentPlan p = f.plan("2 A 100 50 200 \nb 50\n_ 0\n_ 25\nai 200 0 100 \n", {1.0f, 2.0f, 16000});
    ASSERT_EQ(p.segments.size(), 5u);
    EXPECT_EQ(p.segments[2].phone, "pau");
    EXPECT_EQ(p.segments[3].phone, "a"); // ai: 75 % a, 25 % i
    EXPECT_EQ(p.segments[3].end - p.segments[3].start, 4800);
    EXPECT_EQ(p.totalSamples, 375 * 2 * 16);
    ASSERT_EQ(p.targets.size(), 2u);
    EXPECT_DOUBLE_EQ(p.targets[0].at, 1600);
    // Targets out of order within a phone are sorted and clamped; a text
    // without any has the voice's own pitch times the ratio.
    SegmentPlan q = f.plan("A 100 80 900 20 30 \n");
    ASSERT_EQ(q.targets.size(), 2u);
    EXPECT_DOUBLE_EQ(q.targets[0].hz, 50);
    EXPECT_DOUBLE_EQ(q.targets[1].hz, 500);
    EXPECT_DOUBLE_EQ(f.plan("A 100 \n", {2.0f, 1.0f, 16000}).pitchAt(0), 200);

    // Many short phones, read in several blocks: boundaries never drift from
    // the running total, and no line is lost or split at a block edge.
    std::string many;
    for (int i = 0; i < 5000; ++i) many += "A 7 50 " + std::to_string(100 + i % 7) + " \n";
    SegmentPlan manyPlan = f.plan(many, {1.0f, 1.0f, 22050});
    EXPECT_EQ(manyPlan.totalSamples, 771750);
    EXPECT_EQ(manyPlan.segments.size(), 5000u);
    EXPECT_EQ(manyPlan.targets.size(), 5000u);
    std::atomic<bool> stop{true};
    EXPECT_TRUE(buildSegmentPlan(many, f.voice, f.index, {}, &stop).pieces.empty());
}

TEST(SegmentPlan, MissingDiphonesAreMendedOrListed) {
    Fixture f;
    // b-i is missing: the fallback inserts a, taking 20 % of b.
    SegmentPlan p = f.plan("b 100 \ni 100 \n");
    ASSERT_EQ(p.segments.size(), 3u);
    EXPECT_EQ(p.segments[1].phone, "a");
    EXPECT_EQ(p.segments[0].end, 1280);
    EXPECT_EQ(p.segments[1].end, 1600);
    EXPECT_TRUE(p.missing.empty());
    // i-pau is missing and nothing covers it: listed once.
    SegmentPlan q = f.plan("i 100 \n_ 100 \ni 100 \n_ 100 \n");
    EXPECT_EQ(q.missing, std::vector<std::string>{"i-pau"});
    // A renaming fallback changes only that diphone's name.
    Fallback rename;
    rename.left = {"i"};
    rename.leftAs = "a";
    f.voice.fallbacks.push_back(rename);
    SegmentPlan r = f.plan("i 100 \n_ 100 \n");
    EXPECT_TRUE(r.missing.empty());
    EXPECT_EQ(r.segments[0].asLeft, "a");
    EXPECT_EQ(r.segments[0].phone, "i");
    // A phone of the voice itself passes as it is.
    EXPECT_EQ(f.plan("c 50 \n").segments[0].phone, "c");
}

TEST(SegmentPlan, PiecesEndAtPausesAndCoverEverything) {
    Fixture f;
    std::string text;
    for (int i = 0; i < 40; ++i) text += "A 100 \nb 100 \n_ 100 \n"; // 12 s with a pause every 0.3 s
    for (int i = 0; i < 100; ++i) text += "A 100 \n";               // 10 s without any
    SegmentPlan p = f.plan(text);
    ASSERT_GT(p.pieces.size(), 6u);
    std::size_t next = 0;
    for (const PlanPiece& piece : p.pieces) {
        EXPECT_EQ(piece.first, next);
        EXPECT_LT(piece.first, piece.last);
        const int64_t length = p.segments[piece.last - 1].end - p.segments[piece.first].start;
        EXPECT_LE(length, static_cast<int64_t>(kMaxPieceSeconds * 16000) + 1600);
        if (piece.last <= 120) {
            EXPECT_EQ(p.segments[piece.last - 1].phone, "pau");
        }
        next = piece.last;
    }
    EXPECT_EQ(next, p.segments.size());
    EXPECT_TRUE(f.plan("").pieces.empty());
    EXPECT_TRUE(f.plan("\n \n_ 0 \n").segments.empty());
}
