// The synthesiser never hands Festival something it cannot take: inputs that
// used to corrupt memory, and random phoneme text in every shipped voice,
// each batch in a child process so that a crash fails the test instead of
// killing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <random>
#include <set>
#include <sstream>

#include "AudioAnalysis.h"
#include "FestivalEngine.h"
#include "vorsan/synth/Mbrola.h"
#include "vorsan/synth/SynthReport.h"
#include "vorsan/synth/VoiceDatabase.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan::testing;
using namespace vorsan::synth;

namespace {

struct Request {
    const char* database;
    float pitch = 1.0f;
    float time = 1.0f;
    int32_t frequency = 16000;
};

// Writes the text to a WAVE file; MBR_WaitForEnd's result, or -1 if refused.
int32_t speak(const std::string& text, const std::string& path, const Request& r) {
    if (MBR_SetDatabase(r.database) || MBR_SetPitchRatio(r.pitch) || MBR_SetDurationRatio(r.time) ||
        MBR_SetVoiceFreq(r.frequency))
        return -1;
    if (MBR_Play(text.c_str(), MBR_FLAG_WAVE, path.c_str(), nullptr) != 0) return -1;
    return MBR_WaitForEnd();
}

Audio spoken(const TempProfile& p, const std::string& text, const Request& r) {
    const std::string path = (p.path() / "robust.wav").string();
    EXPECT_EQ(speak(text, path, r), 0) << MBR_LastError() << "\n" << text;
    return readAudio(path);
}

double peak(const Audio& a) {
    float m = 0;
    for (float s : a.samples) m = std::max(m, std::abs(s));
    return m;
}

} // namespace

TEST(SynthRobust, LongVoicedPhonesAcrossAHardPieceCut) {
    TempProfile p;
    // A vowel longer than the longest piece, and one cut right after.
    for (const char* text : {"b 60 31 300\na 2600 57 300\nuu 60 15 300\n",
                             "b 60 31 300\na 1200 57 300\na 1200\na 1200\nuu 60 15 300\n"}) {
        for (const char* db : {"in1", "tl1"}) {
            Audio a = spoken(p, text, {db});
            const double seconds = std::string(text).find("2600") != std::string::npos ? 2.72 : 3.72;
            EXPECT_NEAR(a.seconds(), seconds, 0.001) << db << ": " << text;
            EXPECT_GT(rms(a, 2.4, 2.6), 0.02) << db << ": the vowel goes on through the cut";
            auto f0 = medianPitch(a, 0.5, 2.0);
            ASSERT_TRUE(f0) << db;
            EXPECT_NEAR(*f0, 300, 15) << db;
        }
    }
}

TEST(SynthRobust, SparselyMarkedDiphonesSoundLikeTheirNeighbours) {
    // The NSK voices' kh-pau leaves a quarter second between two pitch marks;
    // its frame, spread over every output period, overran the output signal
    // and came out as a loud burst when it did not crash.
    TempProfile p;
    const std::pair<const char*, const char*> pairs[] = {{"kh 80\n", "k 80\n"},
                                                         {"x 80\n", "k 80\n"},
                                                         {"_ 100\nkh 80\n_ 100\n", "_ 100\nk 80\n_ 100\n"},
                                                         {"aa 150 50 110\nkh 80\n", "aa 150 50 110\nk 80\n"}};
    for (int round = 0; round < 3; ++round)
        for (const auto& [sparse, plain] : pairs)
            EXPECT_LT(peak(spoken(p, sparse, {"in1"})), 2.5 * peak(spoken(p, plain, {"in1"}))) << sparse;
}

TEST(SynthRobust, HighPitchRightAfterAPauseCut) {
    // Targets above what Festival's own pitch-mark step accepts, on the
    // first phone of a piece.
    TempProfile p;
    const std::string text = "N 400 \ntS 400 72 143 22 349\naI 400 \n_ 5 80 125 68 300 99 541 28 136\n"
                             "k 120 25 337 54 324 39 531\n";
    for (float ratio : {1.0f, 2.0f}) {
        Audio a = spoken(p, text, {"en1", ratio});
        EXPECT_NEAR(a.seconds(), 1.325, 0.001);
    }
}

TEST(SynthRobust, ShippedVoicesKeepAlmostAllTheirDiphones) {
    TempProfile p;
    for (const char* name : {"en1", "in1", "mr1", "tl1"}) {
        const std::string path = voiceDatabasePath(name);
        if (path.empty()) continue;
        const VoiceDatabase voice = loadVoiceDatabase(path, name);
        const DiphoneIndex all = DiphoneIndex::read(diphoneIndexPath(voice));
        const LoadedVoice& loaded = FestivalEngine::instance().load(voice);
        EXPECT_GE(loaded.index.size() + 8, all.size()) << name << " lost more than a few diphones as damaged";
        EXPECT_TRUE(loaded.index.has(voice.pausePhone, voice.pausePhone)) << name;
    }
}

namespace {

// Phones of a voice file, the voice's own phones (usable as they are) and a
// name no voice knows.
std::vector<std::string> fuzzPhones(const VoiceDatabase& voice) {
    std::set<std::string> names;
    for (const auto& [name, parts] : voice.phones) names.insert(name);
    const DiphoneIndex index = DiphoneIndex::read(diphoneIndexPath(voice));
    for (const auto& e : index.entries()) names.insert(e.name.substr(0, e.name.find('-')));
    return {names.begin(), names.end()};
}

struct FuzzCase {
    std::string text;
    Request request{""};
    bool unknown = false;
    int64_t frames = 0;
};

FuzzCase makeCase(std::mt19937& rng, const char* database, const std::vector<std::string>& phones) {
    auto uniform = [&rng](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    FuzzCase c;
    c.request = {database, static_cast<float>(uniform(0.3, 3.0)), static_cast<float>(uniform(0.3, 2.0)),
                 std::array<int32_t, 5>{8000, 11025, 16000, 22050, 44100}[static_cast<std::size_t>(pick(0, 4))]};
    int64_t totalMs = 0;
    const int lines = pick(1, 12);
    std::ostringstream text;
    for (int i = 0; i < lines; ++i) {
        std::string phone = phones[static_cast<std::size_t>(pick(0, static_cast<int>(phones.size()) - 1))];
        if (pick(0, 60) == 0) {
            phone = "qq7";
            c.unknown = true;
        }
        const int roll = pick(0, 99);
        const int ms = roll < 5 ? 0 : roll < 75 ? pick(1, 300) : roll < 97 ? pick(300, 2000) : pick(2000, 5000);
        totalMs += ms;
        text << phone << ' ' << ms;
        for (int t = pick(0, 6); t > 0; --t) text << ' ' << pick(0, 100) << ' ' << pick(30, 700);
        text << '\n';
    }
    c.text = text.str();
    const double samplesPerMs = static_cast<double>(c.request.time) * c.request.frequency / 1000.0;
    c.frames = std::llround(static_cast<double>(totalMs) * samplesPerMs);
    return c;
}

// Speaks `count` random texts; any wrong outcome is described on stderr and
// ends the process with status 1.
[[noreturn]] void fuzzBatch(const char* database, unsigned seed, int count) {
    int status = 0;
    {
        TempProfile p;
        const VoiceDatabase voice = loadVoiceDatabase(voiceDatabasePath(database), database);
        const std::vector<std::string> phones = fuzzPhones(voice);
        std::mt19937 rng(seed);
        const std::string path = (p.path() / "fuzz.wav").string();
        for (int i = 0; i < count && status == 0; ++i) {
            const FuzzCase c = makeCase(rng, database, phones);
            // Shown only if the batch fails: the last line names a crashing case.
            std::string oneLine = c.text;
            std::replace(oneLine.begin(), oneLine.end(), '\n', '|');
            std::cerr << "case " << i << " (" << c.request.pitch << ", " << c.request.time << ", "
                      << c.request.frequency << "): " << oneLine << "\n";
            const int32_t result = speak(c.text, path, c.request);
            std::string problem;
            if (c.unknown) {
                if (result == 0 || std::string(MBR_LastError()).find("unknown phone") == std::string::npos)
                    problem = "an unknown phone was not reported: " + std::string(MBR_LastError());
            } else if (result != 0) {
                problem = std::string("failed: ") + MBR_LastError();
            } else {
                const Audio a = readAudio(path);
                if (a.rate != c.request.frequency || std::llabs(static_cast<long long>(a.samples.size()) - c.frames) > 1)
                    problem = "wrong length: " + std::to_string(a.samples.size()) + " samples at " +
                              std::to_string(a.rate) + " Hz, expected " + std::to_string(c.frames);
            }
            if (!problem.empty()) {
                std::cerr << database << " seed " << seed << " case " << i << " (pitch " << c.request.pitch << ", time "
                          << c.request.time << ", " << c.request.frequency << " Hz): " << problem << "\n"
                          << c.text;
                status = 1;
            }
        }
        takeMissingDiphones();
    }
    std::cerr.flush();
    std::_Exit(status);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr int kFuzzCases = 10;
#else
constexpr int kFuzzCases = 100;
#endif

} // namespace

TEST(SynthRobust, RandomPhonemeTextInEveryVoiceNeverCrashes) {
    TempProfile p;
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    unsigned seed = 20240;
    for (const char* database : {"en1", "in1", "mr1", "tl1"}) {
        if (voiceDatabasePath(database).empty()) continue;
        EXPECT_EXIT(fuzzBatch(database, ++seed, kFuzzCases), ::testing::ExitedWithCode(0), "") << database;
    }
}
