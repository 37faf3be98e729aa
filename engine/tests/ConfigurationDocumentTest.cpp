// tolvane.xml edited through its document: what a program writes is what the
// engine then loads, both layouts save byte-stably, and what the code does
// not know about survives.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "EngineFixtures.h"
#include "vorsan/core/Text.h"
#include "vorsan/core/Xml.h"
#include "vorsan/engine/ConfigurationDocument.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::testing;
namespace cf = vorsan::configfile;
using Layout = cf::Document::Layout;

namespace {

std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The first element child of this name.
xercesc::DOMElement& first(const xercesc::DOMElement& parent, std::u16string_view name) {
    auto* e = const_cast<xercesc::DOMElement*>(xml::firstChildNamed(parent, name));
    if (!e) throw std::runtime_error("no element " + utf16ToUtf8(name));
    return *e;
}

} // namespace

TEST(ConfigurationDocument, EditsInPlaceReachTheEngineAndKeepTheRest) {
    TempProfile profile;
    const std::string hindi = profile.write("Speechfiles/Pelmira/hi.xml", hindiRuleFile("Hindi", "en1"));
    const std::string emotion = profile.write("Speechfiles/Ruvetta/hi.xml", emotionFile("Hindi", "en1"));
    const std::string path = profile.folder() + "/tolvane.xml";
    // Hand-written: repeated children (the last counts), comments, an
    // unknown element and attribute, white space of its own (attributes in
    // the order the XML library writes them).
    profile.write("tolvane.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
                                 "<ZenloraConfig>\n  <!-- mine -->\n  <Pelmira>\n"
                                 "    <PelmiraFile Dialect=\"Standard\" name=\"Hindi\" own=\"1\">\n"
                                 "      <location>" + hindi + "</location>\n"
                                 "      <Pitch>9</Pitch> <Pitch> 1.2 </Pitch>\n      <Voice>8000</Voice>\n"
                                 "      <Voice>22050</Voice>\n      <Mine>kept</Mine>\n"
                                 "      <RuvettaRef name=\"Hindi_en1\" preferredEmotion=\"Happy\"/>\n"
                                 "      <RuvettaRef name=\"Hindi_en1\" preferredEmotion=\"Sad\"/>\n"
                                 "    </PelmiraFile>\n  </Pelmira>\n"
                                 "  <Ruvetta><RuvettaFile MbrolaDatabase=\"en1\" location=\"" + emotion +
                                 "\" name=\"Hindi_en1\"/></Ruvetta>\n"
                                 "  <PrimaryLanguage>Tamil</PrimaryLanguage>\n  <PrimaryLanguage>Hindi</PrimaryLanguage>\n"
                                 "</ZenloraConfig>\n");
    const std::string original = slurp(path);

    // Saved as read, untouched: the same bytes.
    cf::Document doc = cf::Document::load(path, Layout::asRead);
    ASSERT_TRUE(doc.isConfiguration());
    ASSERT_EQ(doc.save(path), "");
    EXPECT_EQ(slurp(path), original);

    // Both readings see what the engine uses: the last of each child.
    xercesc::DOMElement& entry = first(first(doc.root(), u"Pelmira"), u"PelmiraFile");
    cf::Language edited = cf::readLanguage(entry, cf::Numbers::asWritten);
    EXPECT_EQ(edited.pitch, 1.2);
    EXPECT_EQ(edited.voice, 22050);
    EXPECT_EQ(edited.mood, u"Sad");
    EXPECT_EQ(cf::readLanguage(entry, cf::Numbers::forSynthesis).pitch, static_cast<double>(1.2f));
    SpeechEngine engine;
    ASSERT_TRUE(engine.loadConfiguration());
    EXPECT_FLOAT_EQ(engine.pitch("Hindi"), 1.2f);
    EXPECT_EQ(engine.voiceFrequency("Hindi"), 22050);
    EXPECT_EQ(engine.activeMood("Hindi"), u"Sad");
    EXPECT_EQ(engine.primaryLanguage(), "Hindi");

    // What is written is what the engine loads next.
    edited.pitch = 0.5;
    edited.time = 1.5;
    edited.voice = 11025;
    edited.mood = u"Angry";
    cf::writeLanguage(entry, edited);
    doc.setPrimary("");
    ASSERT_EQ(doc.save(path), "");
    ASSERT_TRUE(engine.loadConfiguration());
    EXPECT_FLOAT_EQ(engine.pitch("Hindi"), 0.5f);
    EXPECT_FLOAT_EQ(engine.time("Hindi"), 1.5f);
    EXPECT_EQ(engine.voiceFrequency("Hindi"), 11025);
    EXPECT_EQ(engine.activeMood("Hindi"), u"Angry");
    EXPECT_EQ(engine.primaryLanguage(), "");
    const std::string saved = slurp(path);
    for (const char* kept : {"<!-- mine -->", "own=\"1\"", "<Mine>kept</Mine>", "<Pitch>9</Pitch> <Pitch>0.5</Pitch>",
                             "<PrimaryLanguage>Tamil</PrimaryLanguage>\n  <PrimaryLanguage/>", "<Time>1.5</Time>"})
        EXPECT_NE(saved.find(kept), std::string::npos) << kept;

    // A value the synthesiser cannot take is written as it is (an editor
    // shows it) and refused, by name, when the engine loads it.
    edited.voice = 100;
    cf::writeLanguage(entry, edited);
    ASSERT_EQ(doc.save(path), "");
    EXPECT_EQ(cf::readLanguage(entry, cf::Numbers::asWritten).voice, 100);
    DiagnosticCapture quiet;
    EXPECT_NE(messageOf([&] { engine.loadConfiguration(); }).find("element 'Voice': value '100' is outside 4000 to"),
              std::string::npos);
}

TEST(ConfigurationDocument, IndentedLayoutIsStableAndNewEntriesJoinIt) {
    TempProfile profile;
    const std::string path = profile.folder() + "/tolvane.xml";
    cf::Document made = cf::Document::create();
    made.section(cf::names::languages)
        .appendChild(cf::newLanguage(made.dom(), {"English (United States)", "US", "", "en1", 1.0, 1.0, 16000,
                                                  "", "", u"", {}}));
    made.section(cf::names::accents).appendChild(cf::newAccent(made.dom(), {"a_TO_b", "/x/a.xml", "a", "b"}));
    made.setPrimary("English (United States)");
    ASSERT_EQ(made.save(path), "");
    const std::string first = slurp(path);
    EXPECT_EQ(first, "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
                     "<ZenloraConfig>\n\n"
                     "  <!--Zenlora config file-->\n\n"
                     "  <Pelmira>\n"
                     "    <PelmiraFile Dialect=\"US\" name=\"English (United States)\">\n"
                     "      <location/>\n"
                     "      <MbrolaDatabase>en1</MbrolaDatabase>\n"
                     "      <Pitch>1.0</Pitch>\n"
                     "      <Time>1.0</Time>\n"
                     "      <Voice>16000</Voice>\n"
                     "      <RuvettaRef name=\"\" preferredEmotion=\"\"/>\n"
                     "      <OskalenRef name=\"\"/>\n"
                     "    </PelmiraFile>\n"
                     "  </Pelmira>\n\n"
                     "  <Ruvetta/>\n\n"
                     "  <Oskalen>\n"
                     "    <OskalenFile fromMbroladb=\"a\" location=\"/x/a.xml\" name=\"a_TO_b\" toMbroladb=\"b\"/>\n"
                     "  </Oskalen>\n\n"
                     "  <PrimaryLanguage>English (United States)</PrimaryLanguage>\n\n"
                     "</ZenloraConfig>\n");

    // Read back and saved again, with an entry added: the old part is as it
    // was, the new entry indented like the rest.
    cf::Document again = cf::Document::load(path, Layout::indented);
    ASSERT_EQ(again.save(path), "");
    EXPECT_EQ(slurp(path), first);
    again.section(cf::names::emotions).appendChild(cf::newEmotion(again.dom(), {"E_en1", "/x/e.xml", "en1"}));
    ASSERT_EQ(again.save(path), "");
    EXPECT_NE(slurp(path).find("  <Ruvetta>\n    <RuvettaFile MbrolaDatabase=\"en1\" location=\"/x/e.xml\" "
                               "name=\"E_en1\"/>\n  </Ruvetta>\n"),
              std::string::npos)
        << slurp(path);

    // A file that does not parse is refused, naming it.
    profile.write("tolvane.xml", "<ZenloraConfig><Pelmira>");
    DiagnosticCapture quiet;
    EXPECT_NE(messageOf([&] { cf::Document::load(path, Layout::indented); }).find(path), std::string::npos);
}
