// Fuzz target: the master configuration file tolvane.xml loaded by the
// engine from a temporary profile folder, then the loaded engine queried and
// asked for phoneme text. The profile's Speechfiles hold a small rule file,
// a shipped emotion file and a shipped accent file; the process works in the
// profile folder, so locations may be relative ("Speechfiles/...").
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/engine/SpeechEngine.h"

namespace {

// The process changes folder below; corpus folders and input files named on
// the command line are made absolute first so that libFuzzer still finds them.
void makePathArgumentsAbsolute(int argc, char** argv) {
    static std::vector<std::string> absolute;
    absolute.reserve(static_cast<std::size_t>(argc));
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-') continue;
        absolute.push_back(std::filesystem::absolute(argv[i]).string());
        argv[i] = absolute.back().data();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    namespace f = vorsan::fuzz;
    makePathArgumentsAbsolute(*argc, *argv);
    const std::string& profile = f::tempFolder();
    f::writeTemp("Speechfiles/Pelmira/small-hindi.xml",
                 f::readFile(std::string(VORSAN_FUZZ_CORPUS_DIR) + "/rule_file/small-hindi.xml"));
    f::writeTemp("Speechfiles/Ruvetta/Hindi_in1.xml", f::readFile(f::dataFile("ruvetta/Hindi_in1.xml")));
    f::writeTemp("Speechfiles/Oskalen/in1toin1.xml", f::readFile(f::dataFile("oskalen/in1toin1.xml")));
    f::writeTemp("Speechfiles/Oskalen/in1toen1.xml", f::readFile(f::dataFile("oskalen/in1toen1.xml")));
    setenv("USERPROFILE", profile.c_str(), 1);
    if (chdir(profile.c_str()) != 0) f::fail("the profile folder can be entered");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    vorsan::fuzz::writeTemp("tolvane.xml", std::string_view(reinterpret_cast<const char*>(data), size));
    vorsan::SpeechEngine engine;
    try {
        engine.loadConfiguration();
    } catch (const vorsan::MException&) {
        if (engine.configuredFromFile()) vorsan::fuzz::fail("a failed load leaves the engine unlocked");
        return 0;
    }
    for (const auto& name16 : engine.allSupportedLanguages()) {
        const std::string name = vorsan::utf16ToUtf8(name16);
        try {
            (void)engine.emotionSet(name);
            (void)engine.accentSet(name);
            (void)engine.allMoodsInDatabase(name);
            (void)engine.suitableEmotionDatabase(name);
            (void)engine.suitableAccentDatabase(name);
        } catch (const vorsan::MException&) {
        }
    }
    for (bool onlyTranscription : {false, true}) {
        try {
            (void)engine.convertTextToPhoneme(u"कमल नमक १२, कितना? Hello world 42.", true, true, onlyTranscription);
        } catch (const vorsan::MException&) {
        }
    }
    engine.unloadConfiguration();
    if (engine.configuredFromFile()) vorsan::fuzz::fail("unloading unlocks the engine");
    return 0;
}
