// vorsan: a thin command-line client of the speech engine.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "Options.h"
#include "Progress.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Platform.h"
#include "vorsan/core/Text.h"
#include "vorsan/engine/SpeechEngine.h"
#include "vorsan/engine/UserData.h"

using namespace vorsan;
using vorsan::cli::Options;

namespace {

// The program's results go to standard output; the engine's diagnostic lines
// (which it writes to std::cout) are sent to standard error instead, so a
// script reading the results never sees them.
std::ostream* results = &std::cout;

std::string readAll(std::istream& in) { return std::string(std::istreambuf_iterator<char>(in), {}); }

std::string inputText(const Options& o) {
    if (!o.textFile.empty()) {
        std::ifstream in(platform::nativePath(o.textFile), std::ios::binary);
        if (!in) throw MException("Cannot read text file '" + o.textFile + "'");
        return readAll(in);
    }
    if (!o.arguments.empty() && !(o.arguments.size() == 1 && o.arguments[0] == "-")) {
        std::string text;
        for (const auto& a : o.arguments) text += (text.empty() ? "" : " ") + a;
        return text;
    }
    return readAll(std::cin);
}

float toFloat(const std::string& s, const std::string& what) {
    try {
        std::size_t used = 0;
        float v = std::stof(s, &used);
        if (used == s.size()) return v;
    } catch (const std::exception&) {
    }
    throw std::invalid_argument(what + " needs a number, got '" + s + "'");
}

bool givenFiles(const Options& o) {
    return !o.languageFiles.empty() || !o.emotionFiles.empty() || !o.accentFiles.empty();
}

void prepareEngine(SpeechEngine& engine, const Options& o) {
    bool files = givenFiles(o);
    if (o.useConfig || (!files && std::filesystem::exists(platform::nativePath(engine.configurationPath())))) engine.loadConfiguration();
    for (const auto& f : o.languageFiles) engine.addLanguageDatabase(f);
    for (const auto& f : o.emotionFiles) engine.addEmotionDatabase(f);
    for (const auto& f : o.accentFiles) engine.addAccentDatabase(f);
    for (const auto& s : o.settings) {
        if (s.kind == "pitch") engine.setPitch(s.language, toFloat(s.value, "--pitch"));
        else if (s.kind == "time") engine.setTime(s.language, toFloat(s.value, "--time"));
        else if (s.kind == "voice") engine.setVoiceFrequency(s.language, static_cast<int32_t>(toFloat(s.value, "--voice")));
        else if (s.kind == "emotion-db") engine.setEmotionDatabase(s.language, s.value);
        else if (s.kind == "accent-db") engine.setAccentDatabase(s.language, s.value);
        else if (s.kind == "mood") engine.setActiveMood(s.language, utf8ToUtf16(s.value));
    }
    if (o.primaryGiven) engine.setPrimaryLanguage(o.primary);
}

void printList(const StringList& list) {
    for (const auto& s : list) *results << utf16ToUtf8(s) << "\n";
}

int16_t fileTypeOf(const std::string& t) {
    if (t == "wave" || t == "wav") return kSoundWAVE;
    if (t == "aiff") return kSoundAIFF;
    if (t == "au") return kSoundAU;
    throw std::invalid_argument("unknown file type '" + t + "' (wave, aiff or au)");
}

int run(const Options& o) {
    // A user who has no configuration yet gets one, with their own copy of
    // the installation's databases, the first time it would be loaded (before
    // the engine starts, so it finds the user's dictionary too).
    if (o.useConfig || !givenFiles(o)) setUpNewUser("vorsan");
    SpeechEngine engine;
    prepareEngine(engine, o);
    const std::string& c = o.command;
    if (c == "languages") {
        std::string primary = engine.primaryLanguage();
        for (const auto& l : engine.allSupportedLanguages()) {
            std::string name = utf16ToUtf8(l);
            *results << (name == primary ? "* " : "  ") << name << "\n";
        }
    } else if (c == "emotions") {
        printList(engine.allEmotionDatabases());
    } else if (c == "accents") {
        printList(engine.allAccentDatabases());
    } else if (c == "moods") {
        if (o.arguments.size() != 1) throw std::invalid_argument("moods needs one LANGUAGE");
        printList(engine.allMoodsInDatabase(o.arguments[0]));
    } else if (c == "settings") {
        if (o.arguments.size() != 1) throw std::invalid_argument("settings needs one LANGUAGE");
        const std::string& l = o.arguments[0];
        *results << "dialect: " << engine.dialect(l) << "\ndatabase: " << engine.mbrolaDatabase(l)
                  << "\npitch: " << engine.pitch(l) << "\ntime: " << engine.time(l)
                  << "\nvoice: " << engine.voiceFrequency(l) << "\nemotion database: " << engine.emotionDatabase(l)
                  << "\naccent database: " << engine.accentDatabase(l) << "\n";
    } else if (c == "phonemes") {
        std::u16string text = utf8ToUtf16(inputText(o));
        for (const auto& chunk : engine.convertTextToPhoneme(text, o.withEmotion, o.withAccent, o.transcription)) {
            *results << "; database " << chunk.mbrolaDatabase << " pitch " << chunk.pitch << " time " << chunk.time
                      << " voice " << chunk.voiceFrequency << "\n"
                      << chunk.phoneString;
            if (!chunk.phoneString.empty() && chunk.phoneString.back() != '\n') *results << "\n";
        }
    } else if (c == "speak" || c == "tofile") {
        std::u16string text = utf8ToUtf16(inputText(o));
        cli::Progress progress(!o.quiet && platform::isTerminal(stderr), text.size(), engine);
        if (c == "speak") {
            cli::speakWithProgress(engine, text, o.withEmotion, o.withAccent, progress, o.rate);
        } else {
            int16_t type = fileTypeOf(o.fileType);
            const StringList files =
                cli::writeWithProgress(engine, text, o.withEmotion, o.withAccent, type, o.output, progress, o.rate);
            if (files.empty() && !engine.stopped() && !text.empty())
                throw MException("The text has nothing to speak (no part of it belongs to a loaded language)");
            printList(files);
        }
    } else if (c == "mood") {
        if (o.arguments.size() != 2) throw std::invalid_argument("mood needs MOOD and DATABASE");
        *results << engine.applyMood(readAll(std::cin), utf8ToUtf16(o.arguments[0]), o.arguments[1]);
    } else if (c == "accent") {
        if (o.arguments.size() != 1) throw std::invalid_argument("accent needs DATABASE");
        SpeechChunk chunk = engine.changeAccent(readAll(std::cin), o.arguments[0]);
        *results << "; database " << chunk.mbrolaDatabase << " pitch " << chunk.pitch << " time " << chunk.time
                  << " voice " << chunk.voiceFrequency << "\n"
                  << chunk.phoneString;
    } else {
        throw std::invalid_argument("unknown command '" + c + "'");
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // Arguments and standard streams as UTF-8 on every system (Windows hands
    // a program its arguments and console in UTF-16).
    platform::useUtf8StandardStreams();
    std::vector<std::string> arguments = platform::programArguments(argc, argv);
    std::vector<char*> argumentPointers;
    for (std::string& a : arguments) argumentPointers.push_back(a.data());
    argumentPointers.push_back(nullptr);
    Options o;
    try {
        o = cli::parseOptions(static_cast<int>(arguments.size()), argumentPointers.data());
    } catch (const std::invalid_argument& e) {
        std::cerr << "vorsan: " << e.what() << "\nTry 'vorsan --help'.\n";
        return 2;
    }
    if (o.help) {
        std::cout << cli::kUsage;
        return 0;
    }
    std::ostream out(std::cout.rdbuf());
    results = &out;
    std::cout.rdbuf(std::cerr.rdbuf());
    try {
        const int status = run(o);
        // Results that never reached their reader are a failure, not success
        // (a full disk, a closed pipe): the final flush is checked too.
        out.flush();
        if (!out || std::fflush(stdout) != 0 || std::ferror(stdout))
            throw MException(std::string("cannot write the results: ") + std::strerror(errno ? errno : EIO));
        return status;
    } catch (const MException& e) {
        std::cerr << "vorsan: " << e.message() << "\n";
        return 1;
    } catch (const std::invalid_argument& e) {
        std::cerr << "vorsan: " << e.what() << "\nTry 'vorsan --help'.\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "vorsan: " << e.what() << "\n";
        return 1;
    }
}
