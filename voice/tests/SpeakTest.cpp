// The system voice speaking through a recording output site: created by
// ProgID with the engine's server registered, the way a client of the
// speech API meets it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "AudioAnalysis.h"
#include "TestSite.h"
#include "vorsan/automation/Creation.h"
#include "vorsan/automation/ErrorInfo.h"
#include "vorsan/automation/Interfaces.h"
#include "vorsan/core/PhoneLines.h"
#include "vorsan/core/Text.h"
#include "vorsan/testing/TestSupport.h"
#include "vorsan/voice/Sapi.h"
#include "vorsan/voice/VoiceToken.h"

using namespace vorsan;
using namespace vorsan::sapi;
using namespace vorsan::testing;

namespace {

constexpr double kBytesPerSecond = 44100.0;

class Voice : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("VORSAN_SYSTEM_REGISTRY", (profile.path() / "etc-registry").c_str(), 1);
        // The user's data and configuration, as the setup gives them.
        ASSERT_EQ(std::system(("bash " + sourcePath("data/tolvane/install.sh") + " >/dev/null").c_str()), 0);
        ASSERT_EQ(registerServerLibrary(VORSAN_COM_LIBRARY), S_OK);
        ASSERT_EQ(registerServerLibrary(NIMBREL22_LIBRARY), S_OK);
    }
    void TearDown() override { unsetenv("VORSAN_SYSTEM_REGISTRY"); }

    ComPtr<ISpTTSEngine> voice() {
        ComPtr<ISpTTSEngine> v;
        EXPECT_EQ(createInstance(kProgIdNimbrel22Independent, IID_ISpTTSEngine, v), S_OK);
        ComPtr<ISpObjectWithToken> withToken;
        EXPECT_EQ(v.as(IID_ISpObjectWithToken, withToken), S_OK);
        ComPtr<ISpObjectToken> token(new VoiceToken(u"Nimbrel22", u"Nimbrel22", {{u"Language", u"hi"}}));
        EXPECT_EQ(withToken->SetObjectToken(token.get()), S_OK);
        return v;
    }

    static HRESULT speak(ISpTTSEngine& v, Fragments& f, TestSite& site) {
        return v.Speak(0, SPDFID_WaveFormatEx, nullptr, f.first(), &site);
    }
    static std::vector<TestSite::Event> spoken(ISpTTSEngine& v, Fragments f, TestSite& site) {
        EXPECT_EQ(speak(v, f, site), S_OK);
        return site.events();
    }

    TempProfile profile;
};

double seconds(std::size_t bytes) { return static_cast<double>(bytes) / kBytesPerSecond; }

} // namespace

TEST_F(Voice, LanguageIdentifierChoosesALanguageAddedByFile) {
    // Hindi's rules as Sanskrit (code sa), spoken at twice Hindi's time
    // ratio: the voice knows it by the identifier its code gives, with no
    // table of its own.
    addLanguageToConfiguration(profile, "Sanskrit", renamedLanguageFile(profile, "newPelmiraHindi.xml", "Sanskrit", "sa"),
                               "in1", 1.5f);

    ComPtr<ISpTTSEngine> v = voice();
    const std::u16string text = u"नमस्ते दुनिया, आज मौसम अच्छा है।";
    TestSite hindi, added, again;
    spoken(*v.get(), Fragments().add(text).language(0x0439), hindi);
    spoken(*v.get(), Fragments().add(text).language(0x044F), added);
    spoken(*v.get(), Fragments().add(text).language(0x0439), again);
    ASSERT_GT(hindi.bytes(), 0u);
    EXPECT_GT(seconds(added.bytes()), 1.6 * seconds(hindi.bytes()));
    EXPECT_EQ(again.bytes(), hindi.bytes()); // Hindi again for Hindi
}

TEST_F(Voice, FormatSilenceBookmarksAndSentences) {
    ComPtr<ISpTTSEngine> v = voice();
    GUID format{};
    WAVEFORMATEX* wave = nullptr;
    ASSERT_EQ(v->GetOutputFormat(nullptr, nullptr, &format, &wave), S_OK);
    EXPECT_TRUE(format == SPDFID_WaveFormatEx && wave->nSamplesPerSec == 22050u && wave->wBitsPerSample == 16 &&
                wave->nChannels == 1 && wave->nAvgBytesPerSec == 44100u);
    CoTaskMemFree(wave);

    TestSite empty;
    EXPECT_TRUE(spoken(*v.get(), Fragments().add(u""), empty).empty());
    EXPECT_EQ(empty.bytes(), 0u);
    EXPECT_EQ(v->Speak(0, SPDFID_WaveFormatEx, nullptr, nullptr, &empty), E_INVALIDARG);

    TestSite silence; // 1000 ms of silence: 44100 bytes of zeros
    spoken(*v.get(), Fragments().add(u"", SPVA_Silence, 1000), silence);
    const auto quiet = silence.samples();
    EXPECT_EQ(silence.bytes(), 44100u);
    EXPECT_TRUE(std::all_of(quiet.begin(), quiet.end(), [](int16_t s) { return s == 0; }));

    TestSite one;
    const auto words = spoken(*v.get(), Fragments().add(u"Hello"), one);
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].id, SPEI_SENTENCE_BOUNDARY);
    EXPECT_EQ(words[1].id, SPEI_WORD_BOUNDARY);
    EXPECT_EQ(words[1].l, 0);
    EXPECT_EQ(words[1].w, 5u);
    EXPECT_GT(seconds(one.bytes()), 0.3);

    // A bookmark rides with the word after it and has no audio of its own.
    TestSite marked, plain;
    spoken(*v.get(), Fragments().add(u"Hello ").add(u"42", SPVA_Bookmark).add(u" world."), marked);
    spoken(*v.get(), Fragments().add(u"Hello world."), plain);
    const auto marks = marked.events(SPEI_TTS_BOOKMARK);
    const auto markedWords = marked.events(SPEI_WORD_BOUNDARY);
    ASSERT_EQ(marks.size(), 1u);
    ASSERT_EQ(markedWords.size(), 2u);
    EXPECT_EQ(marks[0].text, u"42");
    EXPECT_EQ(marks[0].w, 42u);
    EXPECT_EQ(marks[0].offset, markedWords[1].offset);
    EXPECT_GT(markedWords[1].offset, markedWords[0].offset);
    EXPECT_NEAR(seconds(marked.bytes()), seconds(plain.bytes()), 0.15);

    // Sentence ends of both scripts, each sentence's place in the text.
    TestSite sentences;
    Fragments text;
    text.add(u"Hello. How are you? Fine! नमस्ते दोस्त। धन्यवाद॥");
    spoken(*v.get(), text, sentences);
    std::vector<std::u16string> firstWords;
    for (const auto& e : sentences.events(SPEI_SENTENCE_BOUNDARY))
        firstWords.push_back(text.text().substr(static_cast<std::size_t>(e.l), e.w).substr(0, 3));
    EXPECT_EQ(firstWords, (std::vector<std::u16string>{u"Hel", u"How", u"Fin", u"नमस", u"धन्"}));
}

TEST_F(Voice, WordEventsSitWhereTheirWordsStart) {
    ComPtr<ISpTTSEngine> v = voice();
    const std::u16string hindi = u"मेरे पास दो सौ रुपये हैं और आज मौसम अच्छा है।";
    TestSite site;
    spoken(*v.get(), Fragments().add(hindi), site);
    const auto events = site.events(SPEI_WORD_BOUNDARY);

    // Where each word starts by the engine's own phoneme text: after each
    // word boundary "_", at the time ratio of the language.
    ComPtr<IVorsanAPI> engine;
    ASSERT_EQ(createInstance(kProgIdVorsanAPI, IID_IVorsanAPI, engine), S_OK);
    engine->LoadConfiguration();
    ComPtr<IPhonemeList> list;
    Bstr text(hindi);
    ASSERT_EQ(engine->ConvertTextToPhoneme(text.get(), 1, 1, 0, list.put()), S_OK);
    ComPtr<IPhoneme> chunk;
    ASSERT_EQ(list->Item(0, chunk.put()), S_OK);
    Bstr phonemes;
    float time = 1;
    chunk->get_PhoneString(phonemes.put());
    chunk->get_Time(&time);
    std::vector<double> starts;
    double ms = 0;
    bool atBoundary = false;
    std::string tail;
    const std::string phonemeText = phonemes.utf8();
    LineCursor lines(phonemeText);
    for (std::string_view line; lines.next(line);) {
        if (isBlankLine(line)) continue;
        const PhoneLine p = cutPhoneLine(line, tail);
        const bool boundary = p.name == "_";
        if (!boundary && (atBoundary || starts.empty())) starts.push_back(ms * time / 1000.0);
        atBoundary = boundary;
        ms += p.duration;
    }
    ASSERT_EQ(events.size(), 11u);
    ASSERT_EQ(starts.size(), events.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        EXPECT_NEAR(seconds(events[i].offset), starts[i], 0.010) << "word " << i;
        if (i > 0) {
            EXPECT_GT(events[i].offset, events[i - 1].offset);
        }
    }

    // Three scripts in one request, every word with its event, and as long
    // as the engine's own sound files of the same text (each run at its
    // voice's rate) once converted to 22050 Hz.
    const std::u16string three = u"Good morning. नमस्ते दोस्त। வணக்கம் நண்பரே.";
    TestSite mixed;
    spoken(*v.get(), Fragments().add(three), mixed);
    EXPECT_EQ(mixed.events(SPEI_WORD_BOUNDARY).size(), 6u);
    ComPtr<IMStringList> files;
    Bstr threeText(three);
    ASSERT_EQ(engine->ConvertTextToSoundFile(threeText.get(), 1, 1, kFileTypeWAVE, files.put()), S_OK);
    LONG count = 0;
    files->get_Count(&count);
    double fileSeconds = 0;
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IMString> name;
        Bstr path;
        files->Item(i, name.put());
        name->get_Name(path.put());
        fileSeconds += readAudio(path.utf8()).seconds();
    }
    EXPECT_EQ(count, 3);
    EXPECT_NEAR(seconds(mixed.bytes()), fileSeconds, 0.01);
}

TEST_F(Voice, AbortsPromptlyAndServesTheNextRequestAndTwoVoicesSpeakAtOnce) {
    ComPtr<ISpTTSEngine> v = voice();
    // A megabyte of text: the first audio comes at once (nothing is cut off
    // or replaced for its length), and an abort after two seconds of audio
    // ends the request within the piece being written.
    std::u16string longText;
    while (longText.size() < (1u << 20)) longText += u"This is one of many sentences in a very long text. ";
    TestSite big;
    big.abortAfter = 2 * 44100;
    const auto events = spoken(*v.get(), Fragments().add(longText), big);
    EXPECT_LE(big.bytes(), 2 * 44100u + 4410u);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front().l, 0);

    // An abort from another thread while audio is being written.
    TestSite aborted;
    std::thread aborter;
    aborted.onFirstWrite = [&] { aborter = std::thread([&] { aborted.abort(); }); };
    EXPECT_EQ(speak(*v.get(), Fragments().add(longText), aborted), S_OK);
    aborter.join();
    EXPECT_LT(seconds(aborted.bytes()), 10.0);

    // The voice goes on serving; two voices speak at once, each whole.
    TestSite alone;
    spoken(*v.get(), Fragments().add(u"Yes. नमस्ते।"), alone);
    EXPECT_GT(alone.bytes(), 10000u);
    ComPtr<ISpTTSEngine> other = voice();
    TestSite a, b;
    std::thread ta([&] { spoken(*v.get(), Fragments().add(u"Yes. नमस्ते।"), a); });
    std::thread tb([&] { spoken(*other.get(), Fragments().add(u"Yes. नमस्ते।"), b); });
    ta.join();
    tb.join();
    EXPECT_EQ(a.samples(), alone.samples());
    EXPECT_EQ(b.samples(), alone.samples());
}
