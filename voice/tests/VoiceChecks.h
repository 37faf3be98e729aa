#pragma once
// What every test of the system voice checks of a voice, however it was
// made: by ProgID with our own registry (POSIX systems) or, as the speech
// API makes it, from a voice token in the Windows registry by COM.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "AudioAnalysis.h"
#include "TestSite.h"
#include "vorsan/voice/Sapi.h"

namespace vorsan::testing {

// The voice's declared format: 22050 Hz, 16 bits, mono.
inline constexpr double kBytesPerSecond = 44100.0;
inline double seconds(std::size_t bytes) { return static_cast<double>(bytes) / kBytesPerSecond; }

inline HRESULT speak(sapi::ISpTTSEngine& v, Fragments& f, TestSite& site) {
    return v.Speak(0, sapi::SPDFID_WaveFormatEx, nullptr, f.first(), &site);
}
inline std::vector<TestSite::Event> spoken(sapi::ISpTTSEngine& v, Fragments f, TestSite& site) {
    EXPECT_EQ(speak(v, f, site), S_OK);
    return site.events();
}

inline Audio audioOf(const TestSite& site) {
    Audio a;
    a.rate = 22050;
    for (int16_t s : site.samples()) a.samples.push_back(s / 32768.0f);
    return a;
}

// The format the voice declares, an empty request and one without
// fragments, a second of silence, and a bookmark that rides with the word
// after it and has no audio of its own.
inline void checkFormatSilenceAndBookmark(sapi::ISpTTSEngine& v) {
    using namespace sapi;
    GUID format{};
    WAVEFORMATEX* wave = nullptr;
    ASSERT_EQ(v.GetOutputFormat(&SPDFID_WaveFormatEx, nullptr, &format, &wave), S_OK);
    EXPECT_TRUE(format == SPDFID_WaveFormatEx);
    EXPECT_TRUE(wave->wFormatTag == 1 && wave->nSamplesPerSec == 22050u && wave->wBitsPerSample == 16 &&
                wave->nChannels == 1 && wave->nAvgBytesPerSec == 44100u && wave->nBlockAlign == 2 && wave->cbSize == 0);
    CoTaskMemFree(wave);

    TestSite empty;
    EXPECT_EQ(v.Speak(0, SPDFID_WaveFormatEx, nullptr, nullptr, &empty), E_INVALIDARG);
    EXPECT_TRUE(spoken(v, Fragments().add(u""), empty).empty());
    EXPECT_EQ(empty.bytes(), 0u);

    TestSite silence; // 1000 ms of silence: 44100 bytes of zeros
    spoken(v, Fragments().add(u"", SPVA_Silence, 1000), silence);
    const auto quiet = silence.samples();
    EXPECT_EQ(silence.bytes(), 44100u);
    EXPECT_TRUE(std::all_of(quiet.begin(), quiet.end(), [](int16_t s) { return s == 0; }));

    TestSite marked, plain;
    spoken(v, Fragments().add(u"Hello ").add(u"42", SPVA_Bookmark).add(u" world."), marked);
    spoken(v, Fragments().add(u"Hello world."), plain);
    const auto marks = marked.events(SPEI_TTS_BOOKMARK);
    const auto words = marked.events(SPEI_WORD_BOUNDARY);
    ASSERT_EQ(marks.size(), 1u);
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(marks[0].text, u"42");
    EXPECT_EQ(marks[0].w, 42u);
    EXPECT_EQ(marks[0].offset, words[1].offset);
    EXPECT_GT(words[1].offset, words[0].offset);
    EXPECT_EQ(words[1].l, 9); // "world" in the caller's text
    EXPECT_EQ(words[1].w, 5u);
    EXPECT_GT(seconds(plain.bytes()), 0.3);
    EXPECT_NEAR(seconds(marked.bytes()), seconds(plain.bytes()), 0.15);
}

// The first sentence's opening letters of each sentence event.
inline std::vector<std::u16string> sentenceOpenings(const Fragments& text, const TestSite& site) {
    std::vector<std::u16string> out;
    for (const auto& e : site.events(sapi::SPEI_SENTENCE_BOUNDARY))
        out.push_back(text.text().substr(static_cast<std::size_t>(e.l), e.w).substr(0, 3));
    return out;
}

// A long text (repeated up to `length` characters): an abort after two
// seconds of audio ends the request within the piece being written (100 ms
// of audio) with no event beyond the audio written; an abort from another
// thread while audio is being written. The voice then goes on serving, and
// it and another voice (made by `another` once it has spoken) speak at once
// on threads of their own, as the speech API calls them, each whole.
template <typename MakeVoice>
void checkAbortsAndSpeaksBesideAnother(sapi::ISpTTSEngine& v, MakeVoice another, std::size_t length) {
    std::u16string longText;
    while (longText.size() < length) longText += u"This is one of many sentences in a long text. ";
    TestSite big;
    big.abortAfter = 2 * 44100;
    const auto events = spoken(v, Fragments().add(longText), big);
    EXPECT_LE(big.bytes(), 2 * 44100u + 4410u);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front().l, 0);
    EXPECT_EQ(events.size(), big.eventsAtAbort());
    for (const auto& e : events) EXPECT_LE(e.offset, big.bytes());

    TestSite aborted;
    std::thread aborter;
    aborted.onFirstWrite = [&] { aborter = std::thread([&] { aborted.abort(); }); };
    EXPECT_EQ(speak(v, Fragments().add(longText), aborted), S_OK);
    aborter.join();
    EXPECT_LT(seconds(aborted.bytes()), 10.0);

    TestSite alone;
    spoken(v, Fragments().add(u"Yes. नमस्ते।"), alone);
    EXPECT_GT(alone.bytes(), 10000u);
    auto other = another();
    ASSERT_TRUE(other);
    // The other voice's first sentence: it decodes its languages' tables
    // while the first voice speaks.
    TestSite a, b;
    std::thread ta([&] { spoken(v, Fragments().add(u"Yes. नमस्ते।"), a); });
    std::thread tb([&] { spoken(*other.get(), Fragments().add(u"Yes. नमस्ते।"), b); });
    ta.join();
    tb.join();
    EXPECT_EQ(a.samples(), alone.samples());
    EXPECT_EQ(b.samples(), alone.samples());
}

} // namespace vorsan::testing
