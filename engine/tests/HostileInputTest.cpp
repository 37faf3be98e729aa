// Hostile and broken inputs: attack files of every data kind are refused
// with a message naming the file; stopped and failed conversions leave no
// file passing for speech; no phone, however long, holds unbounded audio.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "AudioAnalysis.h"
#include "EngineFixtures.h"
#include "vorsan/core/Paths.h"
#include "vorsan/core/Platform.h"
#include "vorsan/core/Text.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/synth/AudioSink.h"
#include "vorsan/synth/SynthChannel.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;

namespace {

// One data kind: where its file lives, its root element, a good document,
// how the engine loads it (the failure message or "no failure"), and
// out-of-range edits of its numeric fields.
struct Edit {
    std::string from, to; // text in the good document, its replacement
    std::string mentioned; // what the message must quote
};
struct DataKind {
    const char* name;
    std::string file; // relative to the profile folder
    std::string root;
    std::string good;
    std::function<std::string(const std::string& path)> load;
    std::vector<Edit> outOfRange;
};

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

const std::string kVoice = R"(<SynthVoice name="atk">
  <Festival voice="kal_diphone" index="group/kallpc16k.group" rate="16000" pause="pau" default="ax-ax" gain="2.6" pitch="105"/>
  <Phone name="_" voice="pau"/><Phone name="aI" voice="aa 60 iy 40"/>
  <Fallback left="*" right="*" insert="pau" share="20"/>
</SynthVoice>)";

std::vector<DataKind> dataKinds(const TempProfile& profile) {
    auto engineLoad = [](auto add) {
        return [add](const std::string& path) {
            return messageOf([&] {
                SpeechEngine engine;
                add(engine, path);
            });
        };
    };
    std::vector<Edit> moods;
    for (const char* setting : {"AverageBaseFrequency rate=\"100\"", "Range rate=\"100\"", "Vairability rate=\"100\"",
                                "StressedAVRF rate=\"100\"", "Jitter rate=\"0\"", "Vowels rate=\"100\"",
                                "Liquides rate=\"100\"", "Nasals rate=\"100\"", "FricativeVoiced rate=\"100\"",
                                "FricativeVoiceless rate=\"100\"", "PlosiveVoiced rate=\"100\"",
                                "PlosiveVoiceless rate=\"100\"", "Silence rate=\"100\""}) {
        std::string s = setting;
        moods.push_back({s, s.substr(0, s.find('"') + 1) + "-1\"", s.substr(0, s.find(' ')) + "', attribute 'rate': value '-1'"});
    }
    moods.insert(moods.end(), {{"SpeechRate rate=\"100\"", "SpeechRate rate=\"2147483647\"", "'2147483647'"},
                               {"PhraseContour contour=\"Raising\" rate=\"0\"", "PhraseContour contour=\"Raising\" rate=\"-5\"", "'-5'"},
                               {"gradient=\"0\"", "gradient=\"-1\"", "'gradient': value '-1'"},
                               {"Stressed rate=\"100\"", "Stressed rate=\"\"", "'' is not a number"},
                               {"NonStressed rate=\"100\"", "NonStressed rate=\"1001\"", "'1001'"}});
    const std::string configLanguage =
        "<PelmiraFile name=\"x\"><location>" + profile.write("hi.xml", hindiRuleFile()) +
        "</location><Voice>22050</Voice><Pitch>0.9</Pitch><Time>1.1</Time></PelmiraFile>";
    return {
        {"rule", "attack.xml", "Rule_Base", hindiRuleFile(),
         engineLoad([](SpeechEngine& e, const std::string& p) { e.addLanguageDatabase(p); }),
         {{"Duration=\"80\"", "Duration=\"2147483647\"", "element 'Phonem', attribute 'Duration': value '2147483647'"},
          {"duration=\"80\"", "duration=\"80 -1\"", "element 'Character', attribute 'duration': value '-1'"},
          {"pause=\"300\"", "pause=\"10001\"", "'pause': value '10001'"},
          {"Duration=\"60\"", "Duration=\"\"", "'' is not a number"}}},
        {"emotion", "attack.xml", "MoodBase", emotionFile(),
         engineLoad([](SpeechEngine& e, const std::string& p) { e.addEmotionDatabase(p); }), moods},
        {"accent", "attack.xml", "dbMapper", accentFile(),
         engineLoad([](SpeechEngine& e, const std::string& p) { e.addAccentDatabase(p); }),
         {{"toPhonemDuration=\"100\"", "toPhonemDuration=\"2147483647\"", "'2147483647'"},
          {"<Voice>22050", "<Voice>-1", "element 'Voice': value '-1'"},
          {"<Pitch>1.25", "<Pitch>0", "element 'Pitch': value '0'"},
          {"<Time>0.8", "<Time>1e30", "'1e30'"},
          {"<dbrules>", "<dbrules><Sound soundName=\"k\"><Priority priorityName=\"1\"><Rule ruleName=\"r\">"
                        "<Phonem PhonemName=\"k\" PhonemDuration=\"-100\"/></Rule></Priority></Sound>", "'PhonemDuration': value '-100'"}}},
        {"configuration", "tolvane.xml", "ZenloraConfig",
         "<ZenloraConfig><Pelmira>" + configLanguage + "</Pelmira></ZenloraConfig>",
         engineLoad([](SpeechEngine& e, const std::string&) { e.loadConfiguration(); }),
         {{"<Voice>22050", "<Voice>99999999", "'99999999'"},
          {"<Pitch>0.9", "<Pitch>-2", "element 'Pitch': value '-2'"},
          {"<Time>1.1", "<Time>nan", "element 'Time': value 'nan'"}}},
        {"voice", "Speechfiles/Voices/atk.xml", "SynthVoice", kVoice,
         [](const std::string&) {
             synth::SynthChannel channel;
             return channel.setDatabase("atk") == 0 ? std::string("no failure") : std::string(channel.lastError());
         },
         {{"rate=\"16000\"", "rate=\"2147483647\"", "'2147483647'"},
          {"gain=\"2.6\"", "gain=\"NaN\"", "bad gain 'NaN'"},
          {"gain=\"2.6\"", "gain=\"0\"", "bad gain '0'"},
          {"pitch=\"105\"", "pitch=\"\"", "'' is not a number"},
          {"share=\"20\"", "share=\"-3\"", "'-3'"},
          // Shares that would overflow and wrap round to 100.
          {"aa 60 iy 40", "aa 2147483647 iy 2147483647 ax 102", "bad share '2147483647'"}}},
    };
}

std::vector<std::pair<std::string, std::string>> attacks(const std::string& root, const std::string& good) {
    std::string nested = "<" + root + ">", attributes = "<" + root;
    for (int i = 0; i < 100000; ++i) nested += "<a>";
    for (int i = 0; i < 100000; ++i) attributes += " a" + std::to_string(i) + "='1'";
    std::string laughs = "<!DOCTYPE " + root + " [<!ENTITY a 'aaaaaaaaaa'>";
    for (char e = 'b'; e <= 'j'; ++e) {
        laughs += std::string("<!ENTITY ") + e + " '";
        for (int i = 0; i < 10; ++i) laughs += std::string("&") + static_cast<char>(e - 1) + ";";
        laughs += "'>";
    }
    laughs += "]><" + root + ">&j;</" + root + ">";
    std::string badUtf8 = good;
    badUtf8.insert(good.find('>', good.find("<" + root)) + 1, "\xC3\x28\xFF");
    return {
        {"DOCTYPE", "<!DOCTYPE " + root + " SYSTEM 'http://127.0.0.1:1/x.dtd'><" + root + "/>"},
        {"external entity", "<!DOCTYPE " + root + " [<!ENTITY x SYSTEM 'file:///etc/passwd'>]><" + root + ">&x;</" +
                                root + ">"},
        {"billion laughs", laughs},
        {"100k nesting", nested + "</a>"},
        {"100k attributes", attributes + "/>"},
        {"truncated", good.substr(0, good.size() / 2)},
        {"invalid UTF-8", badUtf8},
        {"50 MB", good}, // padded below
    };
}

} // namespace

TEST(HostileInput, AttackFilesOfEveryKindAreRefusedNamingTheFile) {
    TempProfile profile;
    DiagnosticCapture quiet;
    for (const DataKind& kind : dataKinds(profile)) {
        const std::string path = profile.folder() + "/" + kind.file;
        profile.write(kind.file, kind.good);
        ASSERT_EQ(kind.load(path), "no failure") << kind.name;
        auto refused = [&](const std::string& attack, const std::string& text, const std::string& mentions) {
            profile.write(kind.file, text);
            if (attack == "50 MB") std::filesystem::resize_file(path, 50u << 20);
            const std::string message = kind.load(path);
            EXPECT_NE(message, "no failure") << kind.name << ": " << attack;
            EXPECT_NE(message.find(path), std::string::npos) << kind.name << ": " << attack << ": " << message;
            EXPECT_NE(message.find(mentions), std::string::npos) << kind.name << ": " << attack << ": " << message;
        };
        for (const auto& [attack, text] : attacks(kind.root, kind.good)) refused(attack, text, "");
        // Each numeric field out of its range: the message names the value.
        for (const Edit& edit : kind.outOfRange) refused(edit.to, replaced(kind.good, edit.from, edit.to), edit.mentioned);
    }
}

TEST(HostileInput, StoppedAndFailedConversionsLeaveNoFilePassingForSpeech) {
    TempProfile profile;
    const std::string folder = profile.path().string() + "/";
    // A stale file of the second run's name is neither listed nor touched.
    profile.write("temp2.wav", "stale");
    SpeechEngine engine;
    engine.addLanguageDatabase(profile.write("hi.xml", hindiRuleFile("Hindi", "en1")));
    engine.setChunkObserver([&](std::size_t run, std::size_t) {
        if (run == 1) engine.stopSpeaking();
    });
    EXPECT_EQ(engine.convertTextToSoundFile(u"Hello world. कमल नमक. Good day.", false, false, kSoundWAVE),
              StringList{utf8ToUtf16(folder + "temp1.wav")});
    EXPECT_TRUE(engine.stopped());
    EXPECT_EQ(std::filesystem::file_size(folder + "temp2.wav"), 5u);
    EXPECT_FALSE(std::filesystem::exists(folder + "temp3.wav"));

    // A conversion failing at its second run takes back the first run's file.
    std::filesystem::remove(folder + "temp1.wav");
    SpeechEngine failing;
    failing.addLanguageDatabase(profile.write("broken.xml", hindiRuleFile("Hindi", "no-such-voice")));
    const std::string message =
        messageOf([&] { failing.convertTextToSoundFile(u"Hello world. कमल नमक", false, false, kSoundWAVE); });
    EXPECT_EQ(message.rfind("Error in setting Mbrola database: no voice database named 'no-such-voice'", 0), 0u)
        << message;
    EXPECT_FALSE(std::filesystem::exists(folder + "temp1.wav"));
}

namespace {
// Counts what the synthesiser hands over, keeping no samples.
struct CountingSink final : synth::AudioSink {
    int32_t rate = 0;
    std::size_t total = 0, largest = 0;
    void beginRun(int32_t r) override { rate = r; }
    void write(std::span<const int16_t> s) override {
        total += s.size();
        largest = std::max(largest, s.size());
    }
};
} // namespace

TEST(HostileInput, APhoneOfAnyLengthHoldsBoundedAudio) {
    TempProfile profile;
    synth::SynthChannel channel;
    ASSERT_EQ(channel.setDatabase("en1"), 0);
    CountingSink sink;
    // 2^31-1 ms asked for: spoken as ten seconds at most, in pieces.
    PhonemeRecordList phones;
    phones.read("_ 100 \n@ 2147483647 50 120 \n_ 4000 \n_ 4000 \n");
    ASSERT_EQ(channel.render(phones, sink), 0);
    ASSERT_EQ(channel.waitForEnd(), 0) << channel.lastError();
    EXPECT_NEAR(static_cast<double>(sink.total) / sink.rate, 18.1, 0.05);
    EXPECT_LE(static_cast<double>(sink.largest) / sink.rate, 10.2);
}

TEST(HostileInput, DataFilesThatAreDevicesFifosOrFoldersAreRefusedAtOnce) {
    // A device reports size 0 and never ends, a FIFO without a writer
    // blocks an ordinary open: each load must fail at once (a hang is the
    // fault), naming the file.
    TempProfile profile;
    DiagnosticCapture quiet;
    for (const DataKind& kind : dataKinds(profile)) {
        const std::string name = profile.folder() + "/" + kind.file;
        const std::filesystem::path path = vorsan::platform::nativePath(name);
        std::filesystem::create_directories(path.parent_path());
        const std::vector<std::pair<std::string, std::function<void()>>> makers = {
#ifndef _WIN32 // FIFOs and devices behind links are POSIX's
            {"FIFO", [&] { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }},
            {"link to /dev/zero", [&] { std::filesystem::create_symlink("/dev/zero", path); }},
#endif
            {"folder", [&] { std::filesystem::create_directories(path / "inside"); }},
        };
        for (const auto& [what, make] : makers) {
            std::filesystem::remove_all(path);
            make();
            const std::string message = kind.load(name);
            EXPECT_NE(message, "no failure") << kind.name << ": " << what;
            // A voice is looked up by name: one that is not a regular file
            // is not there.
            const std::string named = kind.name == std::string("voice") ? "no voice database named 'atk'" : name;
            EXPECT_NE(message.find(named), std::string::npos) << kind.name << ": " << what << ": " << message;
        }
        std::filesystem::remove_all(path);
    }
}

#ifndef _WIN32 // FIFOs, devices and symbolic links as a user makes them on POSIX systems
TEST(HostileInput, OutputNamesThatAreNotRegularFilesAreRefusedAndLinksWrittenThrough) {
    TempProfile profile;
    DiagnosticCapture quiet;
    SpeechEngine engine;
    engine.addLanguageDatabase(profile.write("hi.xml", hindiRuleFile("Hindi", "en1")));
    const auto convert = [&](const std::string& path) {
        return messageOf([&] { engine.convertTextToNamedFile(u"Hello world.", false, false, kSoundWAVE, path); });
    };
    namespace fs = std::filesystem;
    const fs::path fifo = profile.path() / "fifo.wav";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path folder = profile.path() / "folder.wav";
    fs::create_directories(folder);
    const fs::path toFifo = profile.path() / "to-fifo.wav";
    fs::create_symlink(fifo, toFifo);
    // Devices, FIFOs (directly or behind a link) and folders are never
    // replaced by a file.
    for (const fs::path& p : {fs::path("/dev/null"), fifo, folder, toFifo})
        EXPECT_EQ(convert(p.string()), "Writing sound file failed: cannot write '" + p.string() + "': not a regular file");
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fs::is_symlink(toFifo));

    // A dangling link is refused and nothing is made where it points.
    const fs::path dangling = profile.path() / "dangling.wav";
    fs::create_symlink(profile.path() / "elsewhere/gone.wav", dangling);
    EXPECT_EQ(convert(dangling.string()), "Writing sound file failed: cannot write '" + dangling.string() + "': a symbolic link to nothing");
    EXPECT_FALSE(fs::exists(profile.path() / "elsewhere"));

    // A link to a regular file elsewhere stays a link; the file it names
    // gets the speech, and no temporary is left in either folder.
    const fs::path real = profile.path() / "kept/real.wav";
    fs::create_directories(real.parent_path());
    std::ofstream(real) << "old";
    const fs::path link = profile.path() / "out/link.wav";
    fs::create_directories(link.parent_path());
    fs::create_symlink(real, link);
    EXPECT_EQ(convert(link.string()), "no failure");
    EXPECT_TRUE(fs::is_symlink(link));
    const Audio audio = readAudio(real.string());
    EXPECT_GT(audio.seconds(), 0.3) << "speech of 'Hello world.'";
    EXPECT_GT(rms(audio, 0, audio.seconds()), 0.01) << "not silence";
    for (const fs::path& dir : {real.parent_path(), link.parent_path()})
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1) << dir;
}
#endif

TEST(HostileInput, AnUnbrokenTokenReachesTheFrontEndsInBoundedPieces) {
    TempProfile profile;
    SpeechEngine engine; // the built-in English and a Devanagari language
    engine.addLanguageDatabase(profile.write("hi.xml", hindiRuleFile("Hindi", "en1")));
    // A 1 MB Latin token and a Devanagari one of consonants each with its
    // vowel sign: every word the front ends report is a piece of the token no
    // longer than the limit, the pieces follow each other to the token's end,
    // and none begins with a vowel sign parted from its consonant.
    const std::u16string latin(1u << 20, u'a');
    std::u16string devanagari;
    while (devanagari.size() < 30000) devanagari += u"कमा";
    for (const std::u16string& text : {latin, devanagari}) {
        CountingSink sink;
        std::vector<SpeechEngine::WordStart> words;
        ASSERT_TRUE(engine.renderText(text, false, false, sink, [&](const std::vector<SpeechEngine::WordStart>& w) {
            words.insert(words.end(), w.begin(), w.end());
        }));
        ASSERT_GT(words.size(), text.size() / (kLongestToken + kTokenCutReach));
        std::size_t end = 0;
        for (const auto& w : words) {
            EXPECT_LE(w.length, kLongestToken + kTokenCutReach);
            EXPECT_GE(w.offset, end);
            EXPECT_NE(text[w.offset], u'\u093E') << "at " << w.offset;
            end = w.offset + w.length;
        }
        EXPECT_EQ(end, text.size());
        EXPECT_GT(sink.total, 0u);
    }
}
