// sd_vorsan driven over pipes as speech-dispatcher drives it, with the
// shipped data installed in a temporary profile (nothing registered).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <span>
#include <thread>

#include "AudioAnalysis.h"
#include "ModuleProcess.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;

namespace {

class Module : public ModuleTest {};

bool wellFormed(const std::string& line) {
    return line.size() >= 4 && std::isdigit(static_cast<unsigned char>(line[0])) &&
           std::isdigit(static_cast<unsigned char>(line[1])) && std::isdigit(static_cast<unsigned char>(line[2])) &&
           (line[3] == ' ' || line[3] == '-');
}

std::set<unsigned> ratesOf(const ModuleProcess::Message& m) { return {m.rates.begin(), m.rates.end()}; }

// Where the engine itself says each word of the text starts (seconds, by
// the word's place in the text), with the configuration of the current
// profile and `preferred` reading its script: its word starts, run by run,
// over the audio of the runs before.
struct EngineSpeech {
    std::map<std::size_t, double> starts; // seconds, by the word's offset in the text
    std::set<unsigned> rates;             // of its runs
};
EngineSpeech engineSpeech(const std::u16string& text, const std::string& preferred) {
    struct Counter final : synth::AudioSink {
        double seconds = 0, runStart = 0;
        int32_t rate = 16000;
        std::set<unsigned> rates;
        void beginRun(int32_t r) override {
            rate = r;
            rates.insert(static_cast<unsigned>(r));
            runStart = seconds;
        }
        void write(std::span<const int16_t> s) override { seconds += static_cast<double>(s.size()) / rate; }
    } counter;
    SpeechEngine engine;
    engine.loadConfiguration();
    engine.setPreferredLanguage(preferred);
    EngineSpeech out;
    engine.renderText(text, true, true, counter, [&](const std::vector<SpeechEngine::WordStart>& words) {
        for (const auto& w : words) out.starts[w.offset] = counter.runStart + static_cast<double>(w.sample) / counter.rate;
    });
    out.rates = counter.rates;
    return out;
}

} // namespace

TEST_F(Module, StartUpVoicesSettingsAndSmallMessages) {
    ModuleProcess m;
    m.start();
    m.send("LIST VOICES\n");
    const auto voices = m.reply();
    EXPECT_EQ(voices.back(), "200 OK VOICE LIST SENT");
    for (const char* v : {"200-Hindi\thi\tnone", "200-Hindi (Happy)\thi\tHappy", "200-Marathi\tmr\tnone",
                          "200-Tamil\tta\tnone", "200-Telugu\tte\tnone", "200-Kannada\tkn\tnone",
                          "200-Gujarati\tgu\tnone", "200-English (United States)\ten\tnone"})
        EXPECT_NE(std::find(voices.begin(), voices.end(), v), voices.end()) << v;

    m.send("DEBUG ON " + (profile.path() / "debug.log").string() + "\n");
    EXPECT_EQ(m.reply().back(), "200 OK DEBUGGING ON");
    m.send("DEBUG OFF\n");
    EXPECT_EQ(m.reply().back(), "200 OK DEBUGGING OFF");
    m.send("NONSENSE\n");
    EXPECT_EQ(m.reply().back(), "300 ERR UNKNOWN COMMAND");

    const auto empty = m.speak("<speak></speak>", "language=en\n");
    EXPECT_EQ(empty.events, (std::vector<std::string>{"701 BEGIN", "702 END"}));

    // A character, a Devanagari akshara, a key with a modifier.
    const auto letter = m.speak("a", {}, "CHAR");
    const auto akshara = m.speak("क", {}, "CHAR");
    const auto key = m.speak("shift_a", {}, "KEY");
    EXPECT_EQ(letter.end, "702 END");
    EXPECT_GT(letter.seconds(), 0.1);
    EXPECT_GT(akshara.seconds(), 0.1);
    EXPECT_GT(key.seconds(), letter.seconds() + 0.1);

    // Punctuation names are said in the "all" mode only.
    const auto unnamed = m.speak("<speak>Yes, ^home.</speak>", "punctuation_mode=none\n");
    const auto named = m.speak("<speak>Yes, ^home.</speak>", "punctuation_mode=all\n");
    // Named, the symbols are words of their own: as long as the text with
    // the names written out, and longer than the unnamed text.
    const auto written = m.speak("<speak>Yes comma  caret home dot.</speak>", "punctuation_mode=none\n");
    EXPECT_NEAR(named.seconds(), written.seconds(), 0.01);
    EXPECT_GT(named.seconds(), unnamed.seconds() + 0.2);
    m.speak("<speak></speak>", "punctuation_mode=none\n");

    // A data line "." is sent as "..": the message goes on after it.
    const auto stuffed = m.speak("<speak>Hello\n.\n<mark name=\"after\"/>world.</speak>");
    EXPECT_EQ(stuffed.marks.size(), 1u);
    EXPECT_EQ(stuffed.end, "702 END");

    // Settings: blocks are partial, each value stays until it is named again.
    // Marathi reads Devanagari with its own voice (and its ratios are its
    // language's, which rate and pitch scale).
    const std::string text = "<speak>मेरे पास दो सौ रुपये हैं और आज मौसम अच्छा है।</speak>";
    const auto hindi = m.speak(text, "language=hi\n");
    const auto plain = m.speak(text, "language=mr\n");
    const auto slow = m.speak(text, "rate=-50\n");
    const auto slowHigh = m.speak(text, "pitch=50\n");
    const auto quiet = m.speak(text, "rate=0\npitch=0\nvolume=-50\n");
    const auto back = m.speak(text, "volume=0\n");
    EXPECT_GT(plain.seconds(), 1.0);
    EXPECT_NE(plain.samples, hindi.samples);
    EXPECT_GT(slow.seconds(), plain.seconds() * 1.4);
    EXPECT_NEAR(slowHigh.seconds(), slow.seconds(), slow.seconds() * 0.05); // rate kept; pitch: the test below
    const double level = rms(audioOf(plain), 0, plain.seconds());
    EXPECT_NEAR(rms(audioOf(quiet), 0, quiet.seconds()), level / 2, level * 0.05);
    EXPECT_EQ(back.samples, plain.samples);

    // A mood variant differs from the language's plain voice.
    const auto sad = m.speak(text, "language=hi\nsynthesis_voice=Hindi (Sad)\n");
    EXPECT_GT(sad.seconds(), 1.0);
    EXPECT_NE(sad.samples, hindi.samples);
    EXPECT_EQ(m.quit(), 0);
}

TEST_F(Module, MarksArriveInOrderInsideTheirWordsAudio) {
    ModuleProcess m;
    m.start();
    // As Orca sends it: a mark before every word, the server's mark after the
    // full stop, escaped text.
    const std::u16string text = u"Good morning to you & me. नमस्ते दुनिया यह परीक्षा है।";
    const std::string ssml =
        "<speak><mark name=\"0:4\"/>Good <mark name=\"5:12\"/>morning <mark name=\"13:15\"/>to <mark name=\"16:19\"/>you "
        "&amp; <mark name=\"22:24\"/>me.<mark name=\"__spd_1\"/> <mark name=\"26:32\"/>नमस्ते <mark name=\"33:39\"/>दुनिया "
        "<mark name=\"40:42\"/>यह <mark name=\"43:50\"/>परीक्षा <mark name=\"51:53\"/>है।</speak>";
    const auto marked = m.speak(ssml, "language=hi\n");
    const auto plain = m.speak("<speak>Good morning to you &amp; me. नमस्ते दुनिया यह परीक्षा है।</speak>");
    ASSERT_EQ(marked.end, "702 END");
    EXPECT_TRUE(marked.sizesMatch);
    const EngineSpeech engine = engineSpeech(text, "Hindi");
    EXPECT_EQ(ratesOf(marked), engine.rates); // as the engine makes it, no conversion
    // Marks do not cut the utterance: it lasts as long as without them.
    EXPECT_NEAR(marked.seconds(), plain.seconds(), 0.03);

    std::vector<std::string> names;
    for (const auto& [name, at] : marked.marks) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"0:4", "5:12", "13:15", "16:19", "22:24", "__spd_1", "26:32", "33:39",
                                               "40:42", "43:50", "51:53"}));
    // Each word mark ("from:to" in the text) at the start the engine gives
    // its word ("&" is a word of its own, without a mark).
    const std::map<std::size_t, double>& starts = engine.starts;
    ASSERT_EQ(starts.size(), 11u);
    std::vector<double> markSeconds;
    for (const auto& [name, at] : marked.marks) {
        if (name == "__spd_1") continue;
        markSeconds.push_back(marked.secondsAt(at));
        const auto word = starts.find(std::stoul(name));
        ASSERT_NE(word, starts.end()) << name;
        EXPECT_NEAR(markSeconds.back(), word->second, 0.020) << name;
    }
    EXPECT_EQ(markSeconds.size(), 10u);
    EXPECT_TRUE(std::is_sorted(markSeconds.begin(), markSeconds.end()));
    EXPECT_EQ(m.quit(), 0);
}

TEST_F(Module, StopEndsAtOnceAndTheNextMessageSpeaks) {
    ModuleProcess m;
    m.start();
    std::string longText = "<speak>";
    for (int i = 0; i < 40; ++i) longText += "This is one of many sentences in a long text. ";
    // The long message is under way once its first audio has begun.
    const auto startLong = [&] {
        m.send("SPEAK\n" + longText + "</speak>\n.\n");
        EXPECT_EQ(m.reply().back(), "202 OK RECEIVING MESSAGE");
        EXPECT_EQ(m.reply().back(), "200 OK SPEAKING");
        EXPECT_EQ(m.line(), "701 BEGIN");
        EXPECT_EQ(m.line(), "705-bits=16");
    };
    // STOP ends it (how fast is measured by speechd_bench).
    startLong();
    m.send("STOP\n");
    std::string l;
    while ((l = m.line()) != "703 STOP" && l[0] != '<') {}
    EXPECT_EQ(l, "703 STOP");

    // Nothing of the stopped message follows; the next one is spoken whole.
    const auto next = m.speak("<speak>Yes.</speak>");
    EXPECT_EQ(next.events.front(), "701 BEGIN");
    EXPECT_EQ(next.end, "702 END");
    EXPECT_GT(next.seconds(), 0.2);
    EXPECT_LT(next.seconds(), 2.0);

    // A message sent while another is spoken ends that one first: its
    // 703 STOP comes before the new message's replies, nothing of it after.
    startLong();
    m.send("SPEAK\n<speak>Yes.</speak>\n.\n");
    std::string last;
    while ((l = m.line()) != "202 OK RECEIVING MESSAGE" && l[0] != '<') last = l;
    EXPECT_EQ(last, "703 STOP");
    EXPECT_EQ(m.reply().back(), "200 OK SPEAKING");
    const auto replaced = m.events();
    EXPECT_EQ(replaced.events.front(), "701 BEGIN");
    EXPECT_EQ(replaced.end, "702 END");
    EXPECT_EQ(replaced.samples.size(), next.samples.size());
    EXPECT_EQ(m.quit(), 0);
}

TEST_F(Module, AMessageTooLongInAnyOfItsLinesIsRefusedWhole) {
    ModuleProcess m;
    m.start();
    const auto refused = [&](const std::string& message) {
        m.send("SPEAK\n" + message + ".\n");
        EXPECT_EQ(m.reply().back(), "202 OK RECEIVING MESSAGE");
        EXPECT_EQ(m.reply().back(), "301 ERROR CANT SPEAK");
    };
    // One line of 2 MB: nothing of it is spoken (no 701 BEGIN), where the
    // part kept of it had been spoken before.
    refused("<speak>" + std::string(2u << 20, 'a') + " and the end.</speak>\n");
    // 20 MB in one line and 20 MB in lines of 1 KB: both over the limit.
    refused(std::string(20u << 20, 'b') + "\n");
    std::string lines;
    for (std::size_t i = 0; i < 20u << 10; ++i) lines += std::string(1023, 'c') + "\n";
    refused(lines);
    // A message that fits after them is spoken whole.
    const auto next = m.speak("<speak>Yes.</speak>");
    EXPECT_EQ(next.events.front(), "701 BEGIN");
    EXPECT_EQ(next.end, "702 END");
    EXPECT_GT(next.seconds(), 0.2);
    EXPECT_EQ(m.quit(), 0);
}

TEST_F(Module, ABrokenLanguageFileNeverReachesTheProtocol) {
    // Hindi's rule file is broken: its loader's diagnostics go to standard
    // error, the protocol stays clean, and the module keeps serving.
    const auto rules = profile.path() / "Speechfiles" / "Pelmira" / "newPelmiraHindi.xml";
    ASSERT_TRUE(std::filesystem::exists(rules));
    profile.write("Speechfiles/Pelmira/newPelmiraHindi.xml", "<?xml version=\"1.0\"?><Rule_Base><broken");
    ModuleProcess m;
    m.start();
    const auto hindi = m.speak("<speak>नमस्ते दुनिया।</speak>", "language=hi\n");
    const auto english = m.speak("<speak>Still speaking.</speak>", "language=en\n");
    for (const auto& e : hindi.events) EXPECT_TRUE(e == "audio" || e.starts_with("mark") || wellFormed(e)) << e;
    EXPECT_TRUE(hindi.end == "702 END" || hindi.end == "703 STOP");
    EXPECT_EQ(english.end, "702 END");
    EXPECT_GT(english.seconds(), 0.5);
    EXPECT_NE(m.errors().find("newPelmiraHindi"), std::string::npos) << m.errors();
    EXPECT_EQ(m.quit(), 0);
}

TEST_F(Module, RateAndPitchChangeTheSpeechAndMarksStayInside) {
    ModuleProcess m;
    m.start();
    const std::string text =
        "<speak><mark name=\"a\"/>मेरे पास दो सौ <mark name=\"b\"/>रुपये हैं और आज मौसम <mark name=\"c\"/>अच्छा है।"
        "<mark name=\"end\"/></speak>";
    const auto plain = m.speak(text, "language=hi\n");
    const auto fast = m.speak(text, "rate=100\n");
    const auto slow = m.speak(text, "rate=-100\n");
    const auto high = m.speak(text, "rate=0\npitch=100\n");
    const auto low = m.speak(text, "pitch=-100\n");
    // The engine's own rate, no conversion.
    for (const auto* msg : {&plain, &fast, &slow, &high, &low}) {
        EXPECT_EQ(msg->end, "702 END");
        EXPECT_EQ(ratesOf(*msg), ratesOf(plain));
        EXPECT_TRUE(msg->sizesMatch);
        // Every mark in order, inside the audio (the first after the
        // sentence's opening pause); the last one after all of it.
        std::vector<std::string> names;
        for (const auto& [name, at] : msg->marks) names.push_back(name);
        EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "c", "end"}));
        ASSERT_EQ(msg->marks.size(), 4u);
        EXPECT_GT(msg->marks[0].second, 0u);
        EXPECT_LT(msg->marks[0].second, msg->marks[1].second);
        EXPECT_LT(msg->marks[1].second, msg->marks[2].second);
        EXPECT_LT(msg->marks[2].second, msg->samples.size());
        EXPECT_EQ(msg->marks[3].second, msg->samples.size());
    }
    ASSERT_GT(plain.seconds(), 1.0);
    EXPECT_LE(fast.seconds(), plain.seconds() * 0.35);
    EXPECT_GE(slow.seconds(), plain.seconds() * 1.8);
    // The mark before the middle of the sentence keeps its share of it.
    for (const auto* msg : {&fast, &slow}) {
        const double share = static_cast<double>(msg->marks[2].second) / msg->samples.size();
        EXPECT_NEAR(share, static_cast<double>(plain.marks[2].second) / plain.samples.size(), 0.08);
    }
    // Pitch changes, length stays.
    EXPECT_NEAR(high.seconds(), plain.seconds(), plain.seconds() * 0.05);
    EXPECT_NEAR(low.seconds(), plain.seconds(), plain.seconds() * 0.05);
    const auto pitchPlain = medianPitch(audioOf(plain), 0, plain.seconds());
    const auto pitchHigh = medianPitch(audioOf(high), 0, high.seconds());
    const auto pitchLow = medianPitch(audioOf(low), 0, low.seconds());
    ASSERT_TRUE(pitchPlain && pitchHigh && pitchLow);
    EXPECT_GE(*pitchHigh, *pitchPlain * 1.4);
    EXPECT_LE(*pitchLow, *pitchPlain * 0.75);
    EXPECT_EQ(m.quit(), 0);
}

TEST(ModuleFreshProfile, InitSetsTheUserUpFromTheBuildsInstallationAndSpeaks) {
    // A new user: no registry, no configuration, no data folder. The module
    // needs no registration; it copies the build's installation folder (made
    // by scripts/setup.sh) into the profile, as the system voice does.
    ASSERT_TRUE(std::filesystem::is_regular_file(VORSAN_BUILD_INSTALLATION "/tolvane.xml"))
        << VORSAN_BUILD_INSTALLATION " is made by scripts/setup.sh";
    TempProfile profile;
    setenv("VORSAN_SYSTEM_REGISTRY", (profile.path() / "etc-registry").c_str(), 1);
    {
        ModuleProcess m;
        m.start();
        EXPECT_TRUE(std::filesystem::is_regular_file(profile.path() / "tolvane.xml"));
        EXPECT_TRUE(std::filesystem::is_directory(profile.path() / "Speechfiles" / "Pelmira"));
        m.send("LIST VOICES\n");
        const auto voices = m.reply();
        EXPECT_NE(std::find(voices.begin(), voices.end(), "200-Hindi\thi\tnone"), voices.end()) << m.errors();
        const auto hindi = m.speak("<speak>नमस्ते दुनिया, आज मौसम अच्छा है।</speak>", "language=hi\n");
        EXPECT_EQ(hindi.end, "702 END");
        EXPECT_EQ(ratesOf(hindi), engineSpeech(u"नमस्ते दुनिया, आज मौसम अच्छा है।", "Hindi").rates);
        EXPECT_GT(hindi.seconds(), 1.0);
        const double level = rms(audioOf(hindi), 0, hindi.seconds());
        EXPECT_GT(level, 0.01);
        EXPECT_EQ(m.quit(), 0);
    }
    unsetenv("VORSAN_SYSTEM_REGISTRY");
}

TEST_F(Module, EditsOfTheConfigurationApplyFromTheNextMessage) {
    // Hindi without an accent, so its own time ratio is heard.
    const auto config = profile.path() / "tolvane.xml";
    const auto read = [&] {
        std::ifstream in(config, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    std::string original = read();
    const std::size_t hindi = original.find("name=\"Hindi\"");
    const std::size_t accent = original.find("<OskalenRef", hindi);
    ASSERT_NE(accent, std::string::npos);
    original.erase(accent, original.find("/>", accent) + 2 - accent);
    profile.write("tolvane.xml", original);

    ModuleProcess m;
    m.start();
    const std::string text = "<speak>मेरे पास दो सौ रुपये हैं और आज मौसम अच्छा है।</speak>";
    const auto before = m.speak(text, "language=hi\n");
    std::string slower = original;
    const std::size_t time = slower.find("<Time>0.75</Time>", hindi);
    ASSERT_NE(time, std::string::npos);
    slower.replace(time, 17, "<Time>1.5</Time>");
    profile.write("tolvane.xml", slower);
    const auto after = m.speak(text);
    ASSERT_GT(before.seconds(), 1.0);
    EXPECT_GE(after.seconds(), 1.7 * before.seconds());

    // A broken edit: the next message speaks as before it, and the module
    // says why.
    profile.write("tolvane.xml", "this is not XML");
    const auto broken = m.speak(text);
    EXPECT_EQ(broken.end, "702 END");
    EXPECT_EQ(broken.samples, after.samples);
    EXPECT_NE(m.errors().find("configuration was not loaded"), std::string::npos) << m.errors();

    // A language added by file is offered once a message has been spoken
    // after the edit, and speaks.
    profile.write("tolvane.xml", original);
    addLanguageToConfiguration(profile, "Tulu", renamedLanguageFile(profile, "PelmiraKannada.xml", "Tulu", "tcy"), "in1");
    EXPECT_EQ(m.speak(text).samples, before.samples);
    m.send("LIST VOICES\n");
    const auto voices = m.reply();
    EXPECT_NE(std::find(voices.begin(), voices.end(), "200-Tulu\ttcy\tnone"), voices.end()) << m.errors();
    const auto tulu = m.speak("<speak>ನಮಸ್ಕಾರ, ಇಂದು ಹವಾಮಾನ ತುಂಬಾ ಚೆನ್ನಾಗಿದೆ.</speak>", "language=tcy\n");
    EXPECT_EQ(tulu.end, "702 END");
    EXPECT_GT(tulu.seconds(), 1.0);
    EXPECT_EQ(m.quit(), 0);
}
