// Voice database files: format checks, where they are found, and that the
// shipped English voice covers every pair of its phones.
#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "SegmentPlan.h"
#include "vorsan/core/Platform.h"
#include "vorsan/core/MException.h"
#include "vorsan/synth/VoiceDatabase.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::synth;
using vorsan::testing::messageOf;
using vorsan::testing::TempProfile;

namespace {

const char* kEnglishPhones[] = {"p", "b", "t", "d", "k", "m", "n", "l", "r", "f", "v", "s", "z", "h", "w",
                                "g", "tS", "dZ", "N", "T", "D", "S", "Z", "j", "i:", "A:", "O:", "u:", "3:", "I",
                                "e", "{", "V", "Q", "U", "@", "eI", "aI", "OI", "@U", "aU", "I@", "e@", "U@", "_"};

} // namespace

TEST(VoiceDatabase, EnglishVoiceMapsEveryPhoneAndCoversEveryPair) {
    TempProfile profile;
    VoiceDatabase voice = loadVoiceDatabase(vorsan::testing::sourcePath("data/voices/en1.xml"), "en1");
    DiphoneIndex index = DiphoneIndex::read(diphoneIndexPath(voice));
    for (const char* phone : kEnglishPhones) {
        auto it = voice.phones.find(phone);
        ASSERT_NE(it, voice.phones.end()) << phone;
        for (const auto& part : it->second) EXPECT_TRUE(index.hasPhone(part.phone)) << phone << " -> " << part.phone;
    }
    // Every ordered pair, said as two phones, needs no diphone the voice lacks.
    std::vector<std::string> uncovered;
    for (const char* a : kEnglishPhones)
        for (const char* b : kEnglishPhones)
            for (const auto& m : buildSegmentPlan(std::string(a) + " 100 \n" + b + " 100 \n", voice, index, {}).missing)
                uncovered.push_back(std::string(a) + "+" + b + ": " + m);
    EXPECT_TRUE(uncovered.empty()) << uncovered.size() << " uncovered, first: " << uncovered.front();
}

TEST(VoiceDatabase, ReadsPhonesSharesAndFallbacks) {
    TempProfile p;
    std::string path = p.write("v.xml", R"(<SynthVoice>
      <Festival voice="kal_diphone" index="/x/y.group" rate="22050" pause="sil" gain="1.5"/>
      <Phone name="a" voice="aa"/>
      <Phone name="a" voice="ae"/>
      <Phone name="ai" voice="aa 70 iy 30"/>
      <Fallback left="hh w" right="*" insert="ax" share="20"/>
      <Fallback left="*" right="ng" right-as="n"/>
    </SynthVoice>)");
    VoiceDatabase v = loadVoiceDatabase(path, "v");
    EXPECT_EQ(v.phones.at("a")[0].phone, "aa"); // the first entry wins
    ASSERT_EQ(v.phones.at("ai").size(), 2u);
    EXPECT_EQ(v.phones.at("ai")[1].share, 30);
    EXPECT_EQ(v.phones.at("_")[0].phone, "sil");
    ASSERT_NE(v.fallbackFor("w", "t"), nullptr);
    EXPECT_EQ(v.fallbackFor("k", "ng")->rightAs, "n");
    EXPECT_EQ(v.fallbackFor("k", "t"), nullptr);

#ifndef _WIN32 // the locale is made with glibc's localedef
    // A host program whose locale writes a decimal comma still reads "1.5".
    const auto locales = p.path() / "locales";
    std::filesystem::create_directories(locales);
    ASSERT_EQ(std::system(("localedef -i de_DE -f UTF-8 '" + (locales / "de_DE.UTF-8").string() + "'").c_str()), 0);
    vorsan::platform::setEnvironment("LOCPATH", locales.string());
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
    const double gain = loadVoiceDatabase(path, "v").gain;
    std::setlocale(LC_NUMERIC, "C");
    vorsan::platform::setEnvironment("LOCPATH", std::nullopt);
    EXPECT_EQ(gain, 1.5);
#endif

    const std::string festival = R"(<SynthVoice><Festival voice="kal_diphone" index="i" rate="16000" pause="pau"/>)";
    const std::pair<std::string, const char*> faults[] = {
        {"<Other/>", "root element"},
        {"<SynthVoice/>", "no Festival element"},
        {festival + R"(<Phone name="x" voice="a 60 b 30"/></SynthVoice>)", "add up to 90"},
        {festival + R"(<Phone name="x" voice="a 60 b"/></SynthVoice>)", "phone 'x'"},
        {festival + R"(<Fallback left="a" right="b"/></SynthVoice>)", "Fallback"},
        {R"(<SynthVoice><Festival voice="v" index="i" rate="fast" pause="pau"/></SynthVoice>)", ""},
        {"<SynthVoice>", ""},
        {"", ""}};
    for (const auto& [body, says] : faults) {
        const std::string file = p.write("v.xml", "<?xml version=\"1.0\"?>\n" + body);
        const std::string said = messageOf([&] { loadVoiceDatabase(file, "v"); });
        EXPECT_TRUE(said != "no failure" && said.find(says) != std::string::npos) << body << ": " << said;
    }
}

TEST(VoiceDatabase, ProfileVoicesComeBeforeShippedOnes) {
    TempProfile p;
    EXPECT_TRUE(std::filesystem::equivalent(voiceDatabasePath("en1"), vorsan::testing::sourcePath("data/voices/en1.xml")));
    std::string own = p.write("Speechfiles/Voices/en1.xml", "<SynthVoice/>");
    EXPECT_EQ(voiceDatabasePath("en1"), own);
    for (const char* name : {"no_such_voice", "../Voices/en1", ""}) EXPECT_EQ(voiceDatabasePath(name), "") << name;
}

TEST(VoiceDatabase, DiphonesWithUnusableDataCountAsMissing) {
    // Pitch-mark tracks as the speech tools store them in a group file:
    // binary, one coefficient channel, breaks.
    auto track = [](const std::vector<float>& times) {
        std::string t = "EST_File Track\nDataType binary\nByteOrder " +
                        std::string(std::endian::native == std::endian::little ? "01" : "10") + "\nNumFrames " +
                        std::to_string(times.size()) + "\nNumChannels 1\nBreaksPresent true\nEST_Header_End\n";
        for (float time : times) {
            const float frame[3] = {time, 1, 0};
            t.append(reinterpret_cast<const char*>(frame), sizeof frame);
        }
        return t;
    };
    std::vector<float> many(3000); // a track longer than one read
    for (std::size_t i = 0; i < many.size(); ++i) many[i] = 0.001f * static_cast<float>(i + 1);
    const std::string good = track({0.01f, 0.02f, 0.03f}), back = track({0.01f, 0.03f, 0.02f}), big = track(many);
    const std::size_t atBack = good.size(), atBig = atBack + back.size(), end = atBig + big.size();
    const std::string entries[] = {
        "pau-a 0 0 1",                                  // usable, but listed again below with bad data
        "a-pau " + std::to_string(atBack) + " 0 1",     // marks going back
        "a-b " + std::to_string(atBig) + " 0 2000",     // usable
        "b-b 0 0 3",                                    // its boundary frame is past the marks
        "b-a " + std::to_string(end) + " 0 1",          // past the end of the file
        "pau-a " + std::to_string(atBack) + " 0 1"};
    std::string file = "EST_File index\nNumEntries 6\nEST_Header_End\n";
    for (const std::string& e : entries) file += e + "\n";
    TempProfile p;
    const std::string path = p.write("g.group", file + good + back + big);

    EXPECT_EQ(DiphoneIndex::read(path).size(), 5u); // the text entries, not the tracks after them
    EXPECT_THROW(DiphoneIndex::read(p.write("empty.group", "EST_File index\nEST_Header_End\n")), MException);
    EXPECT_THROW(DiphoneIndex::read(p.path().string() + "/none"), MException);
    const DiphoneIndex index = DiphoneIndex::read(path, true);
    EXPECT_TRUE(index.has("a", "b"));
    EXPECT_FALSE(index.has("pau", "a"));
    EXPECT_FALSE(index.has("a", "pau"));
    EXPECT_FALSE(index.has("b", "b"));
    EXPECT_FALSE(index.has("b", "a"));
    EXPECT_TRUE(index.hasPhone("pau"));
    EXPECT_EQ(index.size(), 1u);
    EXPECT_EQ(index.entries().size(), 6u);
}
