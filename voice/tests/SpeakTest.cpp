// The system voice speaking through a recording output site: created by
// ProgID with the engine's server registered, the way a client of the
// speech API meets it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "AudioAnalysis.h"
#include "TestSite.h"
#include "VoiceChecks.h"
#include "vorsan/automation/Creation.h"
#include "vorsan/automation/ErrorInfo.h"
#include "vorsan/automation/Interfaces.h"
#include "vorsan/core/PhonemeText.h"
#include "vorsan/core/Text.h"
#include "vorsan/testing/TestSupport.h"
#include "vorsan/voice/Sapi.h"
#include "vorsan/voice/VoiceToken.h"

using namespace vorsan;
using namespace vorsan::sapi;
using namespace vorsan::testing;

namespace {

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

    // A voice with a token of the language (hexadecimal identifiers).
    ComPtr<ISpTTSEngine> voice(std::u16string language = u"439") {
        ComPtr<ISpTTSEngine> v;
        EXPECT_EQ(createInstance(kProgIdNimbrel22Independent, IID_ISpTTSEngine, v), S_OK);
        ComPtr<ISpObjectWithToken> withToken;
        EXPECT_EQ(v.as(IID_ISpObjectWithToken, withToken), S_OK);
        ComPtr<ISpObjectToken> token(new VoiceToken(u"Nimbrel22", u"Nimbrel22", {{u"Language", language}}));
        EXPECT_EQ(withToken->SetObjectToken(token.get()), S_OK);
        return v;
    }

    TempProfile profile;
};

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

    // Fragments that name no language are spoken in the token's.
    ComPtr<ISpTTSEngine> sanskrit = voice(u"44F;439");
    TestSite byToken, named;
    spoken(*sanskrit.get(), Fragments().add(text), byToken);
    spoken(*sanskrit.get(), Fragments().add(text).language(0x0439), named);
    EXPECT_EQ(byToken.samples(), added.samples());
    EXPECT_EQ(named.samples(), hindi.samples());
}

TEST_F(Voice, FormatSilenceBookmarksAndSentences) {
    ComPtr<ISpTTSEngine> v = voice();
    checkFormatSilenceAndBookmark(*v.get());

    TestSite one;
    const auto words = spoken(*v.get(), Fragments().add(u"Hello"), one);
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].id, SPEI_SENTENCE_BOUNDARY);
    EXPECT_EQ(words[1].id, SPEI_WORD_BOUNDARY);
    EXPECT_EQ(words[1].l, 0);
    EXPECT_EQ(words[1].w, 5u);
    EXPECT_GT(seconds(one.bytes()), 0.3);

    // Sentence ends of both scripts, each sentence's place in the text.
    TestSite sentences;
    Fragments text;
    text.add(u"Hello. How are you? Fine! नमस्ते दोस्त। धन्यवाद॥");
    spoken(*v.get(), text, sentences);
    EXPECT_EQ(sentenceOpenings(text, sentences), (std::vector<std::u16string>{u"Hel", u"How", u"Fin", u"नमस", u"धन्"}));
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
    PhonemeRecordList phones;
    phones.read(phonemes.utf8());
    for (const PhonemeRecord& p : phones) {
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
    // A megabyte of text: the first audio comes at once (nothing is cut off
    // or replaced for its length).
    ComPtr<ISpTTSEngine> v = voice();
    checkAbortsAndSpeaksBesideAnother(*v.get(), [&] { return voice(); }, 1u << 20);
}

namespace {

// A request spoken to a site with the given rate and volume.
std::unique_ptr<TestSite> siteWith(LONG rate, uint16_t volume) {
    auto site = std::make_unique<TestSite>();
    site->setRate(rate);
    site->setVolume(volume);
    return site;
}

// The part of a language's entry in tolvane.xml from its name on, edited:
// the first `from` after the name replaced by `to`.
std::string editedEntry(std::string xml, const std::string& language, const std::string& from, const std::string& to) {
    const std::size_t entry = xml.find("name=\"" + language + "\"");
    const std::size_t at = xml.find(from, entry);
    if (entry == std::string::npos || at == std::string::npos) ADD_FAILURE() << from << " not in " << language;
    else xml.replace(at, from.size(), to);
    return xml;
}

std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// What the code under test writes on standard error while it lives (the
// voice's library reports there on its own).
class StderrCapture {
public:
    explicit StderrCapture(std::filesystem::path file) : file_(std::move(file)) {
        std::fflush(stderr);
        saved_ = dup(2);
        const int fd = open(file_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, 2);
        close(fd);
    }
    ~StderrCapture() { restore(); }
    std::string text() {
        restore();
        return readFile(file_);
    }

private:
    void restore() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        dup2(saved_, 2);
        close(saved_);
        saved_ = -1;
    }
    std::filesystem::path file_;
    int saved_ = -1;
};

} // namespace

TEST_F(Voice, SiteRateVolumeAndFragmentPitchApplyToEveryRequestAccentIncluded) {
    // Hindi as shipped is spoken through an accent (in1_TO_in1) that brings
    // ratios of its own: the site's rate and volume apply over it all the same.
    ComPtr<ISpTTSEngine> v = voice();
    const std::u16string text = u"मेरे पास दो सौ रुपये हैं और आज मौसम अच्छा है।";
    const auto say = [&](LONG rate, uint16_t volume, LONG rateAdj = 0, LONG pitchAdj = 0) {
        auto site = siteWith(rate, volume);
        spoken(*v.get(), Fragments().adjust(rateAdj, pitchAdj).add(text).language(0x0439), *site);
        return site;
    };
    const auto plain = say(0, 100);
    const auto fast = say(10, 100);
    const auto slow = say(-10, 100);
    const auto again = say(0, 100);
    const auto quiet = say(0, 50);
    const auto summed = say(5, 100, 5); // the site's rate and the fragment's add up
    const auto high = say(0, 100, 0, 10);
    const double plainSeconds = seconds(plain->bytes());
    ASSERT_GT(plainSeconds, 1.0);
    EXPECT_GE(plainSeconds / seconds(fast->bytes()), 2.5);
    EXPECT_GE(seconds(slow->bytes()) / plainSeconds, 1.8);
    EXPECT_EQ(again->samples(), plain->samples()); // each request reads the site again
    EXPECT_EQ(summed->samples(), fast->samples());
    // Every word still has its event, in order, inside the faster audio.
    const auto fastWords = fast->events(SPEI_WORD_BOUNDARY);
    EXPECT_EQ(fastWords.size(), plain->events(SPEI_WORD_BOUNDARY).size());
    for (std::size_t i = 1; i < fastWords.size(); ++i) EXPECT_GT(fastWords[i].offset, fastWords[i - 1].offset);
    EXPECT_LT(fastWords.back().offset, fast->bytes());

    const double level = rms(audioOf(*plain), 0, plainSeconds);
    EXPECT_EQ(quiet->bytes(), plain->bytes());
    EXPECT_NEAR(rms(audioOf(*quiet), 0, plainSeconds), level / 2, level * 0.05);

    EXPECT_NEAR(seconds(high->bytes()), plainSeconds, plainSeconds * 0.05);
    const auto pitchPlain = medianPitch(audioOf(*plain), 0, plainSeconds);
    const auto pitchHigh = medianPitch(audioOf(*high), 0, seconds(high->bytes()));
    ASSERT_TRUE(pitchPlain && pitchHigh);
    EXPECT_GE(*pitchHigh, *pitchPlain * 1.4);

    // Changes the site announces while the voice speaks: the volume at once
    // (after the piece being written), the rate from the next sentence on.
    const std::u16string two = u"मेरे पास दो सौ रुपये हैं। और आज मौसम बहुत अच्छा है।";
    TestSite steady, faster, muted;
    spoken(*v.get(), Fragments().add(two).language(0x0439), steady);
    faster.onFirstWrite = [&] { faster.setRate(10); };
    spoken(*v.get(), Fragments().add(two).language(0x0439), faster);
    muted.onFirstWrite = [&] { muted.setVolume(0); };
    spoken(*v.get(), Fragments().add(two).language(0x0439), muted);
    const auto secondSentence = [](const TestSite& s) {
        const auto sentences = s.events(SPEI_SENTENCE_BOUNDARY);
        return sentences.size() == 2 ? seconds(s.bytes() - sentences[1].offset) : 0.0;
    };
    ASSERT_GT(secondSentence(steady), 0.5);
    EXPECT_LE(secondSentence(faster), secondSentence(steady) / 2.5);
    EXPECT_EQ(muted.bytes(), steady.bytes());
    const auto mutedSamples = muted.samples();
    EXPECT_TRUE(std::all_of(mutedSamples.begin() + 22050 / 5, mutedSamples.end(), [](int16_t s) { return s == 0; }));
}

TEST_F(Voice, AfterAnAbortOrASkipNoEventForAudioNotWritten) {
    ComPtr<ISpTTSEngine> v = voice();
    Fragments text;
    text.add(u"The first sentence is rather long and has a good many words in it. The second one is short. "
             u"The third one ends it.");
    const auto firstWords = [&](const TestSite& s) {
        std::vector<std::u16string> out;
        for (const auto& e : s.events(SPEI_SENTENCE_BOUNDARY))
            out.push_back(text.text().substr(static_cast<std::size_t>(e.l), 9));
        return out;
    };
    TestSite whole;
    spoken(*v.get(), text, whole);
    const auto allWords = whole.events(SPEI_WORD_BOUNDARY);
    ASSERT_EQ(allWords.size(), 24u);

    // An abort inside a word's audio: nothing follows it, and no event
    // stands beyond the audio written.
    TestSite cut;
    cut.abortAfter = 44100; // a second of the first sentence
    spoken(*v.get(), text, cut);
    EXPECT_EQ(cut.events().size(), cut.eventsAtAbort());
    EXPECT_EQ(cut.bytes(), cut.bytesAtAbort());
    EXPECT_LT(cut.events(SPEI_WORD_BOUNDARY).size(), 14u);
    for (const auto& e : cut.events()) EXPECT_LE(e.offset, cut.bytes());

    // An abort as the second sentence begins: its event is the last, with
    // no audio after it.
    TestSite between;
    between.abortAtSentence = 2;
    spoken(*v.get(), text, between);
    const auto events = between.events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.size(), between.eventsAtAbort());
    EXPECT_EQ(events.back().id, SPEI_SENTENCE_BOUNDARY);
    EXPECT_EQ(events.back().offset, between.bytes());
    EXPECT_EQ(between.events(SPEI_WORD_BOUNDARY).size(), 14u); // the first sentence's words only

    // A skip of two sentences inside the first: the rest of it has no
    // events, the second is passed over, the third is spoken whole.
    TestSite skipped;
    skipped.skipAfter = 44100;
    skipped.skipCount = 2;
    spoken(*v.get(), text, skipped);
    EXPECT_EQ(skipped.skipped(), 2);
    EXPECT_EQ(firstWords(skipped), (std::vector<std::u16string>{u"The first", u"The third"}));
    const auto sentences = skipped.events(SPEI_SENTENCE_BOUNDARY);
    ASSERT_EQ(sentences.size(), 2u);
    EXPECT_LE(sentences[1].offset, 44100u + 4410u);
    std::size_t beforeThird = 0;
    for (const auto& e : skipped.events(SPEI_WORD_BOUNDARY)) {
        if (e.offset < sentences[1].offset) ++beforeThird;
        EXPECT_LE(e.offset, skipped.bytes());
    }
    EXPECT_LT(beforeThird, 14u);
    EXPECT_EQ(skipped.events(SPEI_WORD_BOUNDARY).size(), beforeThird + 5);
}

TEST_F(Voice, EditsOfTheConfigurationApplyFromTheNextRequest) {
    // Hindi without an accent, so its own time ratio is heard.
    const auto config = profile.path() / "tolvane.xml";
    std::string original = readFile(config);
    const std::size_t accent = original.find("<OskalenRef", original.find("name=\"Hindi\""));
    ASSERT_NE(accent, std::string::npos);
    original.erase(accent, original.find("/>", accent) + 2 - accent);
    profile.write("tolvane.xml", original);

    ComPtr<ISpTTSEngine> v = voice();
    const std::u16string text = u"मेरे पास दो सौ रुपये हैं और आज मौसम अच्छा है।";
    const auto say = [&] {
        auto site = std::make_unique<TestSite>();
        spoken(*v.get(), Fragments().add(text).language(0x0439), *site);
        return site;
    };
    const auto before = say();
    profile.write("tolvane.xml", editedEntry(original, "Hindi", "<Time>0.75</Time>", "<Time>1.5</Time>"));
    const auto slower = say();
    ASSERT_GT(seconds(before->bytes()), 1.0);
    EXPECT_GE(seconds(slower->bytes()), 1.7 * seconds(before->bytes()));

    // A broken edit: the voice says why and speaks as before it.
    profile.write("tolvane.xml", "this is not XML");
    std::string reported;
    {
        StderrCapture errors(profile.path() / "stderr.txt");
        const auto broken = say();
        reported = errors.text();
        EXPECT_EQ(broken->samples(), slower->samples());
    }
    EXPECT_NE(reported.find("tolvane.xml"), std::string::npos) << reported;
    EXPECT_NE(reported.find("before"), std::string::npos) << reported;

    profile.write("tolvane.xml", original);
    EXPECT_EQ(say()->samples(), before->samples());
}
