// Voice types, SSML prosody and punctuation named in the language being
// read, heard through sd_vorsan over its pipes (and the naming also with an
// engine loaded in the test).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>

#include "AudioAnalysis.h"
#include "ModuleProcess.h"
#include "Settings.h"
#include "Spelling.h"
#include "Ssml.h"
#include "SymbolNaming.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;
using vorsan::speechd::Punctuation;

namespace {

class Spoken : public ModuleTest {};

// Seconds at each mark, by name.
std::map<std::string, double> markSeconds(const ModuleProcess::Message& m) {
    std::map<std::string, double> at;
    for (const auto& [name, samples] : m.marks) at[name] = m.secondsAt(samples);
    return at;
}

const std::string kSentence = "<speak>मेरे पास दो सौ रुपये हैं और आज मौसम बहुत अच्छा है।</speak>";

} // namespace

TEST_F(Spoken, EachVoiceTypeMovesPitchAndFormantsAsItsPresetSays) {
    ModuleProcess m;
    m.start();
    const auto male1 = m.speak(kSentence, "language=hi\nvoice_type=MALE1\n");
    ASSERT_EQ(male1.end, "702 END");
    const auto base = medianPitch(audioOf(male1), 0, male1.seconds());
    ASSERT_TRUE(base);
    std::map<std::string, double> pitches;
    for (const speechd::VoiceType type :
         {speechd::VoiceType::Male2, speechd::VoiceType::Male3, speechd::VoiceType::Female1, speechd::VoiceType::Female2,
          speechd::VoiceType::Female3, speechd::VoiceType::ChildMale, speechd::VoiceType::ChildFemale}) {
        const speechd::VoiceTypePreset& preset = speechd::voiceTypePreset(type);
        const auto voice = m.speak(kSentence, std::string("voice_type=") + preset.name + "\n");
        ASSERT_EQ(voice.end, "702 END") << preset.name;
        const auto pitch = medianPitch(audioOf(voice), 0, voice.seconds());
        ASSERT_TRUE(pitch) << preset.name;
        pitches[preset.name] = *pitch / *base;
        // The heard pitch follows the table; the length stays the sentence's.
        EXPECT_NEAR(*pitch / *base, preset.pitch, preset.pitch * 0.1) << preset.name;
        EXPECT_NEAR(voice.seconds(), male1.seconds(), male1.seconds() * 0.03) << preset.name;
        // The formants: the voice's samples are played faster (or slower)
        // by the preset's factor, so they come at that rate.
        ASSERT_FALSE(voice.rates.empty());
        EXPECT_NEAR(voice.rates[0], male1.rates[0] * preset.formants, 1) << preset.name;
    }
    EXPECT_GE(pitches["FEMALE1"], 1.3);
    EXPECT_GE(pitches["CHILD_FEMALE"], 1.7);
    EXPECT_LE(pitches["MALE2"], 0.88);
    // Any case is taken; an unknown type (or NULL) is the configuration's voice.
    const auto lowerCase = m.speak(kSentence, "voice_type=female1\n");
    EXPECT_NEAR(*medianPitch(audioOf(lowerCase), 0, lowerCase.seconds()) / *base, pitches["FEMALE1"], 0.02);
    EXPECT_EQ(m.speak(kSentence, "voice_type=NULL\n").samples, male1.samples);
    EXPECT_EQ(m.speak(kSentence, "voice_type=ROBOT\n").samples, male1.samples);
    // The voice list is the languages and their moods, as before.
    m.send("LIST VOICES\n");
    const auto voices = m.reply();
    EXPECT_EQ(std::count_if(voices.begin(), voices.end(), [](const std::string& v) { return v.find("MALE") != v.npos; }), 0);
    EXPECT_EQ(m.quit(), 0);
}

TEST_F(Spoken, ProsodyChangesOnlyItsPartAndNestedOnesMultiply) {
    ModuleProcess m;
    m.start();
    m.speak("<speak></speak>", "language=hi\n");
    // Three parts between marks: before, the marked one, after. The same
    // markup at 100 % is the measure (the parts are spoken apart either way).
    const auto marked = [&](const std::string& attributes) {
        return m.speak("<speak><mark name=\"a\"/>मेरे पास दो सौ रुपये हैं। <mark name=\"b\"/><prosody " + attributes +
                       ">आज मौसम बहुत अच्छा है।</prosody><mark name=\"c\"/> कल शायद बारिश होगी।<mark name=\"d\"/></speak>");
    };
    const auto plain = marked("rate=\"100%\" pitch=\"+0%\"");
    const auto fast = marked("rate=\"200%\"");
    const auto high = marked("pitch=\"+50%\"");
    const auto slow = marked("rate=\"x-slow\"");
    for (const auto* msg : {&plain, &fast, &high, &slow}) {
        ASSERT_EQ(msg->end, "702 END");
        ASSERT_EQ(msg->marks.size(), 4u);
    }
    const auto p = markSeconds(plain), f = markSeconds(fast), h = markSeconds(high), s = markSeconds(slow);
    const double before = p.at("b") - p.at("a"), part = p.at("c") - p.at("b"), after = p.at("d") - p.at("c");
    ASSERT_GT(part, 0.8);
    // Twice as fast in its part only.
    EXPECT_NEAR((f.at("c") - f.at("b")) / part, 0.5, 0.06);
    EXPECT_NEAR(f.at("b") - f.at("a"), before, before * 0.03);
    EXPECT_NEAR(f.at("d") - f.at("c"), after, after * 0.03);
    EXPECT_NEAR((s.at("c") - s.at("b")) / part, 2.0, 0.2);
    // Half as high again in its part only, at the same length.
    const auto pitchOf = [](const ModuleProcess::Message& msg, double from, double to) {
        const auto f0 = medianPitch(audioOf(msg), from, to);
        return f0 ? *f0 : 0.0;
    };
    EXPECT_NEAR(h.at("c") - h.at("b"), part, part * 0.03);
    EXPECT_GE(pitchOf(high, h.at("b"), h.at("c")), pitchOf(plain, p.at("b"), p.at("c")) * 1.35);
    EXPECT_NEAR(pitchOf(high, h.at("a"), h.at("b")), pitchOf(plain, p.at("a"), p.at("b")),
                pitchOf(plain, p.at("a"), p.at("b")) * 0.03);
    EXPECT_NEAR(pitchOf(high, h.at("c"), h.at("d")), pitchOf(plain, p.at("c"), p.at("d")),
                pitchOf(plain, p.at("c"), p.at("d")) * 0.03);

    // Nested: the inner part is 1.5 x 2 = 3 times as fast and, like the
    // outer one, at half the volume; the text after both is as it was.
    const auto nested = [&](const std::string& outer, const std::string& inner) {
        return m.speak("<speak><prosody " + outer + "><mark name=\"a\"/>मेरे पास दो सौ रुपये हैं। <mark name=\"b\"/><prosody " +
                       inner + ">आज मौसम बहुत अच्छा है।</prosody><mark name=\"c\"/></prosody> कल शायद बारिश होगी।"
                       "<mark name=\"d\"/></speak>");
    };
    const auto one = nested("rate=\"100%\" volume=\"100%\"", "rate=\"100%\"");
    const auto two = nested("rate=\"150%\" volume=\"50%\"", "rate=\"200%\"");
    const auto o = markSeconds(one), t = markSeconds(two);
    ASSERT_EQ(o.size(), 4u);
    ASSERT_EQ(t.size(), 4u);
    EXPECT_NEAR((t.at("b") - t.at("a")) / (o.at("b") - o.at("a")), 1 / 1.5, 0.05);
    EXPECT_NEAR((t.at("c") - t.at("b")) / (o.at("c") - o.at("b")), 1 / 3.0, 0.05);
    EXPECT_NEAR(t.at("d") - t.at("c"), o.at("d") - o.at("c"), (o.at("d") - o.at("c")) * 0.03);
    const double level = rms(audioOf(one), o.at("b"), o.at("c"));
    EXPECT_NEAR(rms(audioOf(two), t.at("b"), t.at("c")), level / 2, level * 0.1);
    EXPECT_NEAR(rms(audioOf(two), t.at("c"), t.at("d")), rms(audioOf(one), o.at("c"), o.at("d")), level * 0.05);
    EXPECT_EQ(m.quit(), 0);
}

TEST(Ssml, ProsodyValuesAndHostileMarkupReadInOnePass) {
    using speechd::readSsml;
    // Keywords, percentages, changes, semitones, decibels; nesting
    // multiplies; a closing tag returns to the outer values; a value the
    // voice cannot use leaves it as it was.
    const auto pieces = readSsml(
        "<prosody rate=\"x-fast\" pitch=\"+12st\" volume=\"-20dB\">a<prosody rate=\"50%\" pitch=\"-50%\" "
        "volume=\"loud\">b</prosody>c</prosody><prosody rate=\"0%\" pitch=\"200Hz\" volume=\"silent\">d</prosody>e");
    ASSERT_EQ(pieces.size(), 5u);
    const std::map<std::string, speechd::Prosody> expected = {{"a", {2.0, 2.0, 0.1}}, {"b", {1.0, 1.0, 0.14}},
                                                              {"c", {2.0, 2.0, 0.1}}, {"d", {1.0, 1.0, 0.0}},
                                                              {"e", {1.0, 1.0, 1.0}}};
    for (const auto& piece : pieces) {
        const speechd::Prosody& want = expected.at(piece.text);
        EXPECT_NEAR(piece.prosody.rate, want.rate, 1e-9) << piece.text;
        EXPECT_NEAR(piece.prosody.pitch, want.pitch, 1e-9) << piece.text;
        EXPECT_NEAR(piece.prosody.volume, want.volume, 1e-9) << piece.text;
    }
    // Markup that never closes, many times over: all of it is text, read
    // in one pass (the reader never looks for the same '>' or ';' twice).
    std::string hostile;
    for (int i = 0; i < 200000; ++i) hostile += "<a &x";
    const auto text = readSsml(hostile);
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0].text, hostile);
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<prosody rate=\"fast\">";
    deep += "x";
    const auto innermost = readSsml(deep);
    ASSERT_EQ(innermost.size(), 1u);
    EXPECT_EQ(innermost[0].prosody.rate, 5.0); // as fast as the voice goes, no faster
}

TEST_F(Spoken, PunctuationIsNamedInTheLanguageBeingRead) {
    {
        SpeechEngine engine;
        engine.loadConfiguration();
        // Every Indian language's file names the comma; English's has no
        // file, and an unknown language names nothing.
        for (const char* language : {"Hindi", "Marathi", "Gujarati", "Telugu", "Kannada", "Tamil"})
            EXPECT_FALSE(engine.symbolName(language, U',').empty()) << language;
        EXPECT_EQ(engine.symbolName("Hindi", U','), u"अल्पविराम");
        EXPECT_EQ(engine.symbolName(SpeechEngine::kEnglishName, U','), u"");
        EXPECT_EQ(engine.symbolName("Klingon", U','), u"");

        const auto hindi = speechd::symbolNamer(engine, "Hindi");
        const std::string named = speechd::namePunctuation("नमस्ते, दुनिया! (ठीक) है?", Punctuation::All, hindi);
        EXPECT_NE(named.find("नमस्ते अल्पविराम  दुनिया विस्मयादिबोधक चिह्न!"), std::string::npos) << named;
        EXPECT_NE(named.find("प्रश्नचिह्न?"), std::string::npos) << named;
        EXPECT_EQ(named.find("comma"), std::string::npos) << named;
        // The script around the symbol decides: Latin is English, Tamil is
        // Tamil inside a Hindi message; Devanagari is Marathi in a Marathi one.
        EXPECT_NE(speechd::namePunctuation("Yes, no", Punctuation::All, hindi).find("comma"), std::string::npos);
        EXPECT_NE(speechd::namePunctuation("வணக்கம், நண்பரே", Punctuation::All, hindi).find("காற்புள்ளி"),
                  std::string::npos);
        EXPECT_NE(speechd::namePunctuation("नमस्कार, मित्रा", Punctuation::All, speechd::symbolNamer(engine, "Marathi"))
                      .find("स्वल्पविराम"),
                  std::string::npos);
        // A symbol the language has no name for stays English; a character
        // or key on its own is named in the message's language.
        EXPECT_NE(speechd::namePunctuation("क ^ ख", Punctuation::Some, hindi).find("caret"), std::string::npos);
        EXPECT_EQ(speechd::characterText(",", hindi), "अल्पविराम");
        EXPECT_EQ(speechd::keyText("shift_%", hindi), "shift प्रतिशत");
        EXPECT_EQ(speechd::characterText(",", speechd::symbolNamer(engine, "")), "comma");
        EXPECT_EQ(speechd::spelledText("क,ख", hindi), "क, अल्पविराम, ख");
    }
    // Through the module: the Hindi name is spoken (longer than the
    // sentence without the comma, and as long as the sentence with the
    // name written out; a comma itself is only a pause).
    ModuleProcess m;
    m.start();
    const auto all = m.speak("<speak>नमस्ते, आज मौसम अच्छा है।</speak>", "language=hi\npunctuation_mode=all\n");
    const auto bare = m.speak("<speak>नमस्ते आज मौसम अच्छा है।</speak>", "punctuation_mode=none\n");
    const auto written = m.speak("<speak>नमस्ते अल्पविराम  आज मौसम अच्छा है।</speak>", "punctuation_mode=none\n");
    EXPECT_GT(all.seconds(), bare.seconds() + 0.4);
    EXPECT_NEAR(all.seconds(), written.seconds(), 0.05);
    EXPECT_EQ(m.quit(), 0);
}
