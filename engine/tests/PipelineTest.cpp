// Text to phoneme text and speech: runs of each language, the mood and accent
// stages, hostile text, and speech streamed sentence by sentence.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <set>
#include <span>
#include <vector>

#include "AudioAnalysis.h"
#include "EngineFixtures.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;

namespace {
struct HindiEngine {
    TempProfile profile;
    SpeechEngine engine;
    HindiEngine() { engine.addLanguageDatabase(profile.write("hi.xml", hindiRuleFile("Hindi", "in1"))); }
};
} // namespace

TEST(Pipeline, CutsMixedTextIntoLanguageRuns) {
    HindiEngine h;
    SpeechEngine& e = h.engine;
    using Runs = std::vector<std::string>;
    auto runs = [&](std::u16string_view text) { // the voice of each run, in order
        Runs voices;
        for (const auto& c : e.convertTextToPhoneme(text, false, false, false)) voices.push_back(c.mbrolaDatabase);
        return voices;
    };
    EXPECT_EQ(runs(u""), Runs{});
    EXPECT_EQ(runs(u" \u00A0中文 😀 ∑ …!? "), Runs{}); // nothing any language can say
    // Digits, symbols and punctuation that no language claims are read by the
    // run before them, at the start by the run after them, alone by English.
    // Characters of no loaded language are skipped one by one, so they take
    // nothing with them.
    EXPECT_EQ(runs(u"12, 34 .!"), Runs{"en1"});
    EXPECT_EQ(runs(u"12 中文"), Runs{"en1"});
    EXPECT_EQ(runs(u"12, कमल"), Runs{"in1"});
    EXPECT_EQ(runs(u"中文 12 कमल ₹ 12 中文 12"), Runs{"in1"});
    EXPECT_EQ(runs(u"कमल one कमल two"), (Runs{"in1", "en1", "in1", "en1"}));
    const std::string alone = e.convertTextToPhoneme(u"It costs", false, false, false).at(0).phoneString;
    for (const char16_t* text : {u"It costs ₹500.", u"It costs \u20AC500.", u"It costs 中500.", u"It costs 😀500."}) {
        const ChunkList c = e.convertTextToPhoneme(text, false, false, false);
        ASSERT_EQ(c.size(), 1u);
        EXPECT_GT(phonemeSeconds(c[0].phoneString), phonemeSeconds(alone) + 0.5) << "the amount is said";
    }
    // The run's text keeps every offset: the word after a skipped character
    // is marked where it stands.
    const ChunkList marked = e.convertTextToPhoneme(u"中 Hello 中 world 中 कमल 中 नमक", false, false, false);
    ASSERT_EQ(marked.size(), 2u);
    std::vector<std::size_t> offsets;
    for (const SpeechChunk& c : marked)
        for (const WordMark& w : c.words) offsets.push_back(w.offset);
    EXPECT_EQ(offsets, (std::vector<std::size_t>{2, 10, 18, 24}));

    // An English word with the space after it, then the Devanagari word at
    // its language's settings.
    ChunkList two = e.convertTextToPhoneme(u"Hello कमल", false, false, false);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].mbrolaDatabase, "en1");
    EXPECT_FLOAT_EQ(two[1].pitch, 0.75f);
    EXPECT_EQ(two[1].phoneString.rfind("_ 200\n", 0), 0u);
    EXPECT_NE(two[1].phoneString.find("m "), std::string::npos);
    // With a primary language everything is one run of it.
    e.setPrimaryLanguage("Hindi");
    EXPECT_EQ(runs(u"Hello कमल"), Runs{"in1"});
}

TEST(Pipeline, DevanagariSentencesAreMarathiOrHindiByTheirWords) {
    HindiEngine h;
    SpeechEngine& e = h.engine;
    e.addLanguageDatabase(h.profile.write("mr.xml", hindiRuleFile("Marathi", "mr1")));
    using Runs = std::vector<std::string>;
    auto runs = [&](std::u16string_view text) {
        Runs voices;
        for (const auto& c : e.convertTextToPhoneme(text, false, false, false)) voices.push_back(c.mbrolaDatabase);
        return voices;
    };
    // Marathi word forms and letters against Hindi ones, sentence by
    // sentence; the Latin word inside a Marathi sentence stays English; text
    // that shows neither is Hindi, as before.
    EXPECT_EQ(runs(u"माझ्याकडे 45 आंबे आहेत. मेरे पास 45 आम हैं।"), (Runs{"mr1", "in1"}));
    EXPECT_EQ(runs(u"मी Google वापरतो. शाळा"), (Runs{"mr1", "en1", "mr1"}));
    EXPECT_EQ(runs(u"कमल नमक। मुलांना 3.5 लिटर दूध हवे"), (Runs{"in1", "mr1"}));
    // A language the caller prefers for the script decides alone; one
    // preferred for another script changes nothing here.
    e.setPreferredLanguage("English (United States)");
    EXPECT_EQ(runs(u"मी Google वापरतो."), (Runs{"mr1", "en1", "mr1"}));
    e.setPreferredLanguage("Hindi");
    EXPECT_EQ(runs(u"मी Google वापरतो."), (Runs{"in1", "en1", "in1"}));
}

TEST(Pipeline, MoodAndAccentStagesAndTheirFailures) {
    HindiEngine h;
    SpeechEngine& e = h.engine;
    std::string emo = e.addEmotionDatabase(h.profile.write("emo.xml", emotionFile("Hindi", "in1", "200")));
    std::string acc = e.addAccentDatabase(h.profile.write("acc.xml", accentFile("in1", "en1")));
    std::string plain = e.convertTextToPhoneme(u"कमल", true, true, false)[0].phoneString;

    e.setEmotionDatabase("Hindi", emo);
    e.setActiveMood("Hindi", u"Sad");
    SpeechChunk slow = e.convertTextToPhoneme(u"कमल", true, false, false)[0];
    EXPECT_NE(slow.phoneString, plain);
    EXPECT_EQ(slow.phoneString.rfind("_ 400 \n", 0), 0u); // the initial pause doubled
    // Transcription-only requests ignore the mood.
    EXPECT_EQ(e.convertTextToPhoneme(u"कमल", true, false, true)[0].phoneString, plain);

    e.setAccentDatabase("Hindi", acc);
    SpeechChunk accented = e.convertTextToPhoneme(u"कमल", false, true, false)[0];
    EXPECT_EQ(accented.mbrolaDatabase, "en1");
    EXPECT_EQ(accented.voiceFrequency, 22050);
    EXPECT_NE(accented.phoneString.find("g "), std::string::npos);

    // An accent that fails (a phone missing from its inventory) leaves the
    // chunk as it was; so does a mood missing from the database.
    std::string badAcc = R"(<dbMapper><File_Information/><Mbrola_Information><fromMbroladb>in1</fromMbroladb>
      <toMbroladb>xx</toMbroladb></Mbrola_Information><mapping/><dbrules/></dbMapper>)";
    e.removeAccentDatabase(acc);
    e.setAccentDatabase("Hindi", e.addAccentDatabase(h.profile.write("bad.xml", badAcc)));
    SpeechChunk kept = e.convertTextToPhoneme(u"कमल", false, true, false)[0];
    EXPECT_EQ(kept.mbrolaDatabase, "in1");
    EXPECT_EQ(kept.phoneString, plain);
}

TEST(Pipeline, HostileTextGoesThroughWithoutFailing) {
    HindiEngine h;
    std::u16string text;
    for (int i = 0; i < 20000; ++i) text += static_cast<char16_t>((i * 7919) % 0xFFFF + 1);
    text += u"\xD800 \xDC00 कमल";
    ChunkList chunks = h.engine.convertTextToPhoneme(text, true, true, false);
    EXPECT_FALSE(chunks.empty());
    std::u16string longRun(200000, u'क');
    EXPECT_EQ(h.engine.convertTextToPhoneme(longRun, false, false, false).size(), 1u);
}

namespace {
// Records what the engine streams: every run of speech and its samples.
struct RecordingSink : synth::AudioSink {
    std::vector<int16_t> samples;
    std::vector<int32_t> runRates;
    std::function<void()> onFirstWrite;
    void beginRun(int32_t rate) override { runRates.push_back(rate); }
    void write(std::span<const int16_t> s) override {
        if (samples.empty() && onFirstWrite) onFirstWrite();
        samples.insert(samples.end(), s.begin(), s.end());
    }
};

} // namespace

TEST(Pipeline, SpeechStreamsSentenceBySentenceWithTheSameSamples) {
    TempProfile profile;
    SpeechEngine engine; // the test language spoken with the English voice, so every run is at one rate
    engine.addLanguageDatabase(profile.write("hi.xml", hindiRuleFile("Hindi", "en1")));
    const std::u16string text = u"Good morning. How are you? कमल नमक। कमल, नमक। I am fine! Thank you.";

    // Phoneme text: the sentences put together are the run's conversion.
    const ChunkList chunks = engine.convertTextToPhoneme(text, false, false, false);
    ASSERT_EQ(chunks.size(), 3u);

    RecordingSink streamed;
    ASSERT_TRUE(engine.renderText(text, false, false, streamed));
    EXPECT_GE(streamed.runRates.size(), 6u) << "one run of speech per sentence";
    const std::string whole = (profile.path() / "whole.wav").string();
    ASSERT_TRUE(engine.convertTextToNamedFile(text, false, false, kSoundWAVE, whole));
    const Audio file = readAudio(whole);
    EXPECT_TRUE(std::equal(streamed.samples.begin(), streamed.samples.end(), file.samples.begin(), file.samples.end(),
                           [](int16_t s, float f) { return static_cast<float>(s) / 32768.0f == f; }));
    double seconds = 0;
    for (const auto& c : chunks) seconds += phonemeSeconds(c.phoneString) * c.time;
    EXPECT_NEAR(static_cast<double>(streamed.samples.size()) / 16000.0, seconds, 0.01);

    // A long text's first audio comes before the rest is converted: stopping
    // at the first samples takes a small part of converting the whole, for
    // one long run of English, of the test language, and runs that change
    // with every sentence.
    for (const std::u16string sentence : {u"This is one more sentence of a very long text. ", u"कमल नमक, कमल नमक। ",
                                          u"Good morning. कमल नमक। "}) {
        std::u16string longText;
        while (longText.size() < 600000) longText += sentence;
        const auto t0 = std::chrono::steady_clock::now();
        const ChunkList all = engine.convertTextToPhoneme(longText, false, false, false);
        const auto convertAll = std::chrono::steady_clock::now() - t0;
        RecordingSink first;
        first.onFirstWrite = [&] { engine.stopSpeaking(); };
        const auto t1 = std::chrono::steady_clock::now();
        EXPECT_FALSE(engine.renderText(longText, false, false, first));
        EXPECT_LT((std::chrono::steady_clock::now() - t1) * 4, convertAll);
        EXPECT_EQ(first.runRates.size(), 1u);
        if (sentence[0] == u'क') {
            // The long run is read in pieces but stays one run, with one
            // opening pause.
            ASSERT_EQ(all.size(), 1u);
            EXPECT_EQ(all[0].phoneString.rfind("_ 200\n"), 0u);
        }
    }

    // Text without a sentence end is spoken in pieces, not held whole.
    RecordingSink pieces;
    std::u16string endless;
    for (int i = 0; i < 3000; ++i) endless += u"कमल ";
    ASSERT_TRUE(engine.renderText(endless, false, false, pieces));
    EXPECT_GT(pieces.runRates.size(), 4u);

    // A thousand sentences in one process: the synthesiser goes on speaking
    // after its interpreter has collected its garbage many times.
    std::u16string many;
    for (int i = 0; i < 1000; ++i) many += u"One more short sentence. ";
    RecordingSink all;
    EXPECT_TRUE(engine.renderText(many, false, false, all));
    EXPECT_GE(all.runRates.size(), 1000u);
}

TEST(Pipeline, WordStartsLieWithinTheAudioHoweverLongAPhoneIsAsked) {
    TempProfile profile;
    SpeechEngine engine;
    // A 9 s vowel, which the Sad mood stretches past the longest phone the
    // synthesiser lays out (10 s): the words after it must still start
    // where the audio says, not where the asked durations would put them.
    std::string rules = hindiRuleFile("Hindi", "en1");
    const std::string matra = R"(glyph="ा" phonem="A:" duration="140")";
    rules.replace(rules.find(matra), matra.size(), R"(glyph="ा" phonem="A:" duration="9000")");
    engine.addLanguageDatabase(profile.write("hi.xml", rules));
    engine.setEmotionDatabase("Hindi", engine.addEmotionDatabase(profile.write("emo.xml", emotionFile("Hindi", "en1", "200"))));
    engine.setActiveMood("Hindi", u"Sad");

    const std::u16string text = u"कमल नाम कमल नमक";
    RecordingSink sink;
    std::vector<SpeechEngine::WordStart> starts;
    std::vector<std::size_t> runStarts; // samples before each run
    ASSERT_TRUE(engine.renderText(text, true, false, sink, [&](const std::vector<SpeechEngine::WordStart>& w) {
        runStarts.push_back(sink.samples.size());
        starts.insert(starts.end(), w.begin(), w.end());
    }));
    ASSERT_EQ(runStarts.size(), 1u);
    ASSERT_EQ(starts.size(), 4u);
    const int64_t total = static_cast<int64_t>(sink.samples.size());
    // The long vowel is there, cut to 10 s of phoneme time (7.5 s of audio at
    // the language's time ratio of 0.75).
    EXPECT_GT(total, 16000 * 15 / 2);
    for (std::size_t i = 0; i < starts.size(); ++i) {
        EXPECT_LT(starts[i].sample, total) << "word " << i;
        if (i > 0) {
            EXPECT_GT(starts[i].sample, starts[i - 1].sample) << "word " << i;
        }
    }
    // The word after the long vowel starts after it: its start is within a
    // second of the audio's end (it is the last 3 words' worth of speech).
    EXPECT_GT(starts[2].sample, 16000 * 15 / 2);
    EXPECT_LT(total - starts[2].sample, 16000);
}

TEST(Pipeline, AnAccentThatMakesSeveralPhonesOfOneKeepsEveryWordAtItsFirstPhone) {
    TempProfile profile;
    SpeechEngine engine;
    engine.addLanguageDatabase(profile.write("hi.xml", hindiRuleFile("Hindi", "en1")));
    // Every "m" becomes "m" and a vowel twenty times as long: each word grows
    // by a record and more than a second, so a word placed by its record
    // index before the mapping would start a phone or a second too early.
    std::string accent = accentFile("en1", "en1");
    const std::string mapping = R"(<toPhonem toPhonemName="g" toPhonemDuration="100"/></fromPhonem>)";
    accent.replace(accent.find(mapping), mapping.size(), mapping + R"(<fromPhonem fromPhonemName="m">
        <toPhonem toPhonemName="m" toPhonemDuration="100"/><toPhonem toPhonemName="A:" toPhonemDuration="2000"/>
        </fromPhonem>)");
    engine.setAccentDatabase("Hindi", engine.addAccentDatabase(profile.write("acc.xml", accent)));
    const std::u16string text = u"कमल नमक कमल नमक।";

    // Where each word's first phone begins in the accented phoneme text.
    const SpeechChunk printed = engine.convertTextToPhoneme(text, false, true, false).at(0);
    ASSERT_NE(printed.phoneString.find("A: 1400 "), std::string::npos) << printed.phoneString;
    PhonemeRecordList phones;
    phones.read(printed.phoneString);
    const double samplesPerMs = static_cast<double>(printed.time) * printed.voiceFrequency / 1000.0;
    std::vector<int64_t> expected;
    int64_t ms = 0;
    bool afterPause = true;
    for (const PhonemeRecord& r : phones) {
        if (r.name != "_" && afterPause) expected.push_back(std::llround(static_cast<double>(ms) * samplesPerMs));
        afterPause = r.name == "_";
        ms += std::max(0, r.duration);
    }
    ASSERT_EQ(expected.size(), 4u);

    RecordingSink sink;
    std::vector<SpeechEngine::WordStart> starts;
    ASSERT_TRUE(engine.renderText(text, SpeechEngine::RenderOptions{false, true, 1.0f, 1.0f, 0}, sink,
                                  [&](const std::vector<SpeechEngine::WordStart>& w) {
        starts.insert(starts.end(), w.begin(), w.end());
    }));
    ASSERT_EQ(starts.size(), expected.size());
    const int64_t total = static_cast<int64_t>(sink.samples.size());
    EXPECT_GT(total, static_cast<int64_t>(4 * 1.4 * 0.8 * 22050)); // the four long vowels are heard
    for (std::size_t i = 0; i < starts.size(); ++i) {
        EXPECT_EQ(starts[i].sample, expected[i]) << "word " << i;
        EXPECT_LT(starts[i].sample, total) << "word " << i;
    }
}

TEST(Pipeline, CallOptionsApplyOverAnAccentsOwnRatios) {
    TempProfile profile;
    SpeechEngine engine;
    engine.addLanguageDatabase(profile.write("hi.xml", hindiRuleFile("Hindi", "en1")));
    // The accent brings ratios of its own (time 0.8, 22050 Hz for Hindi;
    // English stays at the voice's 16000): the call's rate, pitch and output
    // rate must still be heard on top of them.
    engine.setAccentDatabase("Hindi", engine.addAccentDatabase(profile.write("acc.xml", accentFile("en1", "en1"))));
    const std::u16string text = u"Good morning to you. कमल नमक, कमल नमक। Thank you.";
    struct Heard {
        RecordingSink sink;
        std::vector<double> wordSeconds;
        double seconds = 0;
        std::set<int32_t> rates() const { return {sink.runRates.begin(), sink.runRates.end()}; }
    };
    const auto render = [&](float rate, float pitch, int32_t outputRate, std::u16string_view said) {
        Heard h;
        double runStart = 0;
        std::size_t before = 0;
        EXPECT_TRUE(engine.renderText(said, SpeechEngine::RenderOptions{true, true, rate, pitch, outputRate}, h.sink,
                                      [&](const std::vector<SpeechEngine::WordStart>& words) {
            // The previous run ends where this one's samples begin.
            const int32_t runRate = h.sink.runRates.back();
            if (h.sink.runRates.size() > 1)
                runStart += static_cast<double>(h.sink.samples.size() - before) / h.sink.runRates[h.sink.runRates.size() - 2];
            before = h.sink.samples.size();
            for (const auto& w : words) h.wordSeconds.push_back(runStart + static_cast<double>(w.sample) / runRate);
        }));
        h.seconds = runStart + static_cast<double>(h.sink.samples.size() - before) / h.sink.runRates.back();
        return h;
    };
    // Rate and pitch, heard in the accented language alone.
    const auto audioOf = [](const Heard& h) {
        Audio a;
        a.rate = h.sink.runRates.front();
        for (int16_t s : h.sink.samples) a.samples.push_back(static_cast<float>(s) / 32768.0f);
        return a;
    };
    const std::u16string hindi = u"कमल नमक, कमल नमक। नमक कमल।";
    const Heard plain = render(1, 1, 0, hindi), fast = render(2, 1, 0, hindi), low = render(1, 0.7f, 0, hindi);
    EXPECT_EQ(plain.rates(), std::set<int32_t>{22050});
    EXPECT_NEAR(fast.seconds / plain.seconds, 0.5, 0.05);
    EXPECT_NEAR(low.seconds, plain.seconds, 0.01);
    const auto plainPitch = medianPitch(audioOf(plain), 0, plain.seconds);
    const auto lowPitch = medianPitch(audioOf(low), 0, low.seconds);
    ASSERT_TRUE(plainPitch && lowPitch);
    EXPECT_NEAR(*lowPitch / *plainPitch, 0.7, 0.07) << *plainPitch << " Hz, " << *lowPitch << " Hz";

    // Output rate: every run and word start at the rate asked, the same speech.
    const Heard own = render(1, 1, 0, text), first = render(1, 1, SpeechEngine::kFirstRunRate, text),
                fixed = render(1, 1, 44100, text);
    EXPECT_EQ(own.rates(), (std::set<int32_t>{16000, 22050}));
    EXPECT_EQ(fixed.rates(), std::set<int32_t>{44100});
    EXPECT_EQ(first.rates(), std::set<int32_t>{16000});
    for (const Heard* h : {&fixed, &first}) {
        EXPECT_NEAR(h->seconds, own.seconds, 0.01);
        ASSERT_EQ(h->wordSeconds.size(), own.wordSeconds.size());
        for (std::size_t i = 0; i < own.wordSeconds.size(); ++i) EXPECT_NEAR(h->wordSeconds[i], own.wordSeconds[i], 0.002);
    }
    RecordingSink none;
    EXPECT_EQ(messageOf([&] { engine.renderText(text, SpeechEngine::RenderOptions{true, true, 0, 1, 0}, none); }),
              "Invalid speaking rate");
    EXPECT_EQ(messageOf([&] { engine.renderText(text, SpeechEngine::RenderOptions{true, true, 1, 1, 100}, none); }),
              "Invalid output rate");
}
