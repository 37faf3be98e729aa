// Our diphone renderer against Festival's back end: the same plans rendered
// both ways for every shipped voice must sound the same to a listener (equal
// lengths, the same pitch, transparent spectra); and damaged voice data is
// refused rather than read past its end.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <fstream>
#include <map>
#include <numbers>
#include <random>
#include <sstream>
#include <thread>

#include "AudioAnalysis.h"
#include "FestivalEngine.h"
#include "renderer/DiphoneRenderer.h"
#include "vorsan/core/MException.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan::synth;
using namespace vorsan::testing;

namespace {

// Log-spectral distance (dB) of two 512-sample frames, Hann-windowed, over
// the bins either spectrum makes audible (within 60 dB of its loudest bin).
double logSpectralDistance(const int16_t* a, const int16_t* b) {
    constexpr std::size_t n = 512;
    std::vector<std::complex<double>> fa(n), fb(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / n);
        fa[i] = a[i] * w;
        fb[i] = b[i] * w;
    }
    // Radix-2 FFT, in place.
    for (auto* f : {&fa, &fb}) {
        auto& x = *f;
        for (std::size_t i = 1, j = 0; i < n; ++i) {
            std::size_t bit = n >> 1;
            for (; j & bit; bit >>= 1) j ^= bit;
            j ^= bit;
            if (i < j) std::swap(x[i], x[j]);
        }
        for (std::size_t len = 2; len <= n; len <<= 1) {
            const auto step = std::polar(1.0, -2 * std::numbers::pi / static_cast<double>(len));
            for (std::size_t i = 0; i < n; i += len) {
                std::complex<double> w = 1;
                for (std::size_t k = 0; k < len / 2; ++k, w *= step) {
                    const auto u = x[i + k], v = x[i + k + len / 2] * w;
                    x[i + k] = u + v;
                    x[i + k + len / 2] = u - v;
                }
            }
        }
    }
    double peak = 0;
    for (std::size_t k = 0; k <= n / 2; ++k) peak = std::max({peak, std::norm(fa[k]), std::norm(fb[k])});
    const double floor = peak * 1e-6 + 1e-9;
    double sum = 0;
    for (std::size_t k = 0; k <= n / 2; ++k) {
        const double d = 10 * std::log10((std::norm(fa[k]) + floor) / (std::norm(fb[k]) + floor));
        sum += d * d;
    }
    return std::sqrt(sum / (n / 2 + 1));
}

Audio asAudio(const std::vector<int16_t>& s, int rate) {
    Audio a;
    a.rate = rate;
    for (int16_t v : s) a.samples.push_back(static_cast<float>(v) / 32768.0f);
    return a;
}

// Random phoneme text in the voice's phones: durations from a few ms to
// seconds, pitch targets from low to high.
std::string randomText(std::mt19937& rng, const std::vector<std::string>& phones) {
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::ostringstream text;
    for (int i = pick(1, 10); i > 0; --i) {
        text << phones[static_cast<std::size_t>(pick(0, static_cast<int>(phones.size()) - 1))] << ' '
             << (pick(0, 20) == 0 ? pick(300, 1500) : pick(5, 250));
        for (int t = pick(0, 3); t > 0; --t) text << ' ' << pick(0, 100) << ' ' << pick(60, 400);
        text << '\n';
    }
    return text.str();
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kCasesPerVoice = 8;
constexpr std::size_t kWordStride = 80;
#else
constexpr int kCasesPerVoice = 75;
constexpr std::size_t kWordStride = 8;
#endif

// Every kWordStride-th word of the pronunciation lists of the languages
// spoken with this voice, as phoneme text with a falling pitch.
std::vector<std::string> listedWords(const std::string& voice) {
    const std::map<std::string, std::vector<const char*>> lists = {
        {"in1", {"Hindi", "Gujarati"}}, {"mr1", {"Marathi"}}, {"tl1", {"Telugu", "Kannada", "Tamil"}}};
    std::vector<std::string> texts;
    const auto it = lists.find(voice);
    if (it == lists.end()) return texts;
    for (const char* language : it->second) {
        std::ifstream in(vorsan::testing::sourcePath(std::string("data/pronunciation/") + language + ".tsv"));
        std::string line;
        for (std::size_t n = 0; std::getline(in, line);) {
            const auto tab = line.find('\t');
            if (line.empty() || line[0] == '#' || tab == std::string::npos || n++ % kWordStride) continue;
            std::istringstream phones(line.substr(tab + 1));
            std::string text = "_ 60\n", phone;
            for (int pitch = 140; phones >> phone; pitch -= 6) text += phone + " 95 50 " + std::to_string(pitch) + "\n";
            texts.push_back(text + "_ 60\n");
        }
    }
    return texts;
}

struct Tally {
    int cases = 0, pitched = 0, frames = 0, over2dB = 0, clipped = 0;
    double lsdSum = 0, worstLsd = 0;
};

} // namespace

// Transparency is judged as in speech coding (Paliwal and Atal's criterion
// for LPC spectra): an average log-spectral distance of at most 1 dB, under
// 2 % of frames above 2 dB and none above 4 dB cannot be heard. Pitch must
// agree within 1 % as the tests' tracker measures it, lengths to the sample.
TEST(DiphoneRenderer, SoundsLikeFestivalsBackEndInEveryVoice) {
    if (FestivalEngine::pluginCandidates().empty())
        GTEST_SKIP() << "built without Festival's back end (VORSAN_FESTIVAL=OFF)";
    TempProfile profile;
    // Festival's collector scans this thread's stack from its outermost frame.
    std::thread([] {
        volatile int outermost = 0;
        FestivalEngine::instance().anchor(const_cast<int*>(&outermost));
        std::mt19937 rng(1919);
        const std::vector<std::string> shared = {
            "_ 100\nkh 80\n_ 100\n", "aa 150 50 110\nkh 80\n", "b 60 31 300\na 2600 57 300\nuu 60 15 300\n",
            "N 400 \ntS 400 72 143 22 349\naI 400 \n_ 5 80 125 68 300 99 541 28 136\nk 120 25 337 54 324 39 531\n"};
        for (const char* name : {"en1", "in1", "mr1", "tl1"}) {
            const std::string path = voiceDatabasePath(name);
            ASSERT_FALSE(path.empty()) << name;
            const VoiceDatabase voice = loadVoiceDatabase(path, name);
            const auto ours = renderer::loadRenderVoice(voice);
            const LoadedVoice& theirs = FestivalEngine::instance().load(voice);
            std::vector<std::string> phones;
            for (const auto& [phone, parts] : voice.phones) phones.push_back(phone);
            std::vector<std::string> fixed = shared;
            const auto words = listedWords(name);
            fixed.insert(fixed.end(), words.begin(), words.end());
            Tally tally;
            for (int c = 0; c < kCasesPerVoice + static_cast<int>(fixed.size()); ++c) {
                const std::string text = c < static_cast<int>(fixed.size()) ? fixed[static_cast<std::size_t>(c)]
                                                                          : randomText(rng, phones);
                PlanSettings settings;
                settings.pitchRatio = std::uniform_real_distribution<float>(0.6f, 1.6f)(rng);
                settings.durationRatio = std::uniform_real_distribution<float>(0.5f, 2.0f)(rng);
                SegmentPlan plan;
                try {
                    plan = buildSegmentPlan(text, voice, ours->index, settings);
                } catch (const vorsan::MException&) {
                    continue; // a phone of the fixed texts this voice lacks
                }
                plan.keepReleases = false; // Festival scales every segment evenly
                std::vector<int16_t> a, b, piece;
                for (const PlanPiece& p : plan.pieces) {
                    renderer::renderPiece(*ours, voice, plan, p, piece);
                    a.insert(a.end(), piece.begin(), piece.end());
                    piece = FestivalEngine::instance().synthesise(theirs, voice, plan, p);
                    b.insert(b.end(), piece.begin(), piece.end());
                }
                ++tally.cases;
                ASSERT_EQ(a.size(), static_cast<std::size_t>(plan.totalSamples)) << name << ": " << text;
                ASSERT_EQ(b.size(), a.size()) << name << ": " << text;
                const Audio audioA = asAudio(a, settings.voiceFrequency), audioB = asAudio(b, settings.voiceFrequency);
                bool overflowed = false;
                for (std::size_t at = 0; at + 512 <= a.size(); at += 256) {
                    if (rms(audioB, static_cast<double>(at) / 16000, static_cast<double>(at + 512) / 16000) < 0.003)
                        continue; // silence either way
                    // Where the output overflows, Festival's sums and samples wrap around
                    // while ours saturate: such frames are counted, not judged by spectrum.
                    const auto full = [at](const std::vector<int16_t>& x) {
                        return std::any_of(x.begin() + static_cast<std::ptrdiff_t>(at),
                                           x.begin() + static_cast<std::ptrdiff_t>(at + 512),
                                           [](int16_t v) { return v <= -32767 || v == 32767; });
                    };
                    double lsd = std::equal(a.begin() + static_cast<std::ptrdiff_t>(at),
                                                  a.begin() + static_cast<std::ptrdiff_t>(at + 512),
                                                  b.begin() + static_cast<std::ptrdiff_t>(at))
                                           ? 0.0
                                           : logSpectralDistance(&a[at], &b[at]);
                    if (lsd > 2 && (full(a) || full(b))) {
                        ++tally.clipped;
                        overflowed = true;
                        continue;
                    }
                    ++tally.frames;
                    tally.lsdSum += lsd;
                    tally.over2dB += lsd > 2;
                    tally.worstLsd = std::max(tally.worstLsd, lsd);
                    EXPECT_LE(lsd, 4.0) << name << " (pitch " << settings.pitchRatio << ", time "
                                        << settings.durationRatio << "): " << text << " at sample " << at;
                }
                if (overflowed) continue;
                const auto pitchA = medianPitch(audioA, 0, audioA.seconds());
                const auto pitchB = medianPitch(audioB, 0, audioB.seconds());
                EXPECT_EQ(pitchA.has_value(), pitchB.has_value()) << name << ": " << text;
                if (pitchA && pitchB) {
                    ++tally.pitched;
                    EXPECT_NEAR(*pitchA, *pitchB, 0.01 * *pitchB) << name << ": " << text;
                }
            }
            EXPECT_GE(tally.cases, kCasesPerVoice + static_cast<int>(words.size())) << name;
            EXPECT_GT(tally.pitched, tally.cases / 3) << name << ": too few voiced cases to judge pitch";
            ASSERT_GT(tally.frames, 0) << name;
            EXPECT_LE(tally.lsdSum / tally.frames, 1.0) << name;
            EXPECT_LE(tally.over2dB, tally.frames / 50) << name;
            EXPECT_LE(tally.clipped, tally.frames / 50) << name;
            std::cerr << name << ": " << tally.cases << " texts, " << tally.pitched << " pitched, " << tally.frames
                      << " frames (" << tally.clipped << " overflowing), mean LSD " << tally.lsdSum / tally.frames
                      << " dB, worst " << tally.worstLsd << " dB\n";
        }
    }).join();
}

TEST(DiphoneRenderer, RefusesDamagedVoiceData) {
    TempProfile profile;
    const VoiceDatabase voice = loadVoiceDatabase(voiceDatabasePath("en1"), "en1");
    const std::string real = diphoneIndexPath(voice);
    std::ifstream in(real, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Not a group file at all, and one cut off in its entries: refused whole.
    for (const std::string& text : {std::string("hello\n"), bytes.substr(0, 3000)})
        EXPECT_THROW(renderer::GroupFile(profile.write("bad.group", text)), vorsan::MException);
    // Cut off in its data: the diphones past the cut are unusable, not read
    // past the end; those before it still are.
    const renderer::GroupFile whole(real);
    const renderer::GroupFile cut(profile.write("cut.group", bytes.substr(0, bytes.size() / 2)));
    renderer::Diphone d;
    EXPECT_TRUE(cut.diphone(cut.find("pau-pau"), d));
    EXPECT_EQ(cut.rate(), 16000);
    int lost = 0;
    const DiphoneIndex index = DiphoneIndex::read(real);
    for (const auto& e : index.entries())
        lost += whole.diphone(whole.find(e.name), d) && !cut.diphone(cut.find(e.name), d);
    EXPECT_GT(lost, 100);
    EXPECT_FALSE(cut.diphone(-1, d));
    EXPECT_FALSE(cut.diphone(1 << 20, d));
}
