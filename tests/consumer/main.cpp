// vorsan-consumer OUTDIR: speaks "Hello world." and, when the configuration
// loads Hindi, a Hindi sentence into WAVE files OUTDIR/english.wav and
// OUTDIR/hindi.wav, and prints their paths. Loads the user's tolvane.xml when
// there is one (written from the installation's by vorsan-user-setup), else
// runs with the built-in English only.
#include <cstdio>
#include <filesystem>
#include <string>

#include "vorsan/core/MException.h"
#include "vorsan/engine/SpeechEngine.h"

namespace {

// The engine's file names are ASCII here (a temporary folder).
std::string narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

// Converts the text into one WAVE file named OUTDIR/NAME.wav.
bool speak(vorsan::SpeechEngine& engine, const std::u16string& text, const std::filesystem::path& out) {
    const vorsan::StringList files = engine.convertTextToSoundFile(text, false, false, vorsan::kSoundWAVE);
    if (files.size() != 1) {
        std::fprintf(stderr, "vorsan-consumer: %zu sound files for one run of text\n", files.size());
        return false;
    }
    std::filesystem::copy_file(narrow(files.front()), out, std::filesystem::copy_options::overwrite_existing);
    std::printf("%s\n", out.c_str());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vorsan-consumer OUTDIR\n");
        return 2;
    }
    const std::filesystem::path outDir = argv[1];
    try {
        vorsan::SpeechEngine engine;
        if (std::filesystem::exists(engine.configurationPath())) engine.loadConfiguration();
        if (!speak(engine, u"Hello world.", outDir / "english.wav")) return 1;
        if (engine.languageSupported("Hindi") &&
            !speak(engine, u"नमस्ते, आज मौसम बहुत अच्छा है।", outDir / "hindi.wav"))
            return 1;
    } catch (const vorsan::MException& e) {
        std::fprintf(stderr, "vorsan-consumer: %s\n", e.message().c_str());
        return 1;
    }
    return 0;
}
