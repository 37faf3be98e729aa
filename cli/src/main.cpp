// vorsan: a thin command-line client of the speech engine.
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
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
#include "vorsan/synth/PartialFiles.h"

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

constexpr int16_t kNoSuffixType = -1;

// The type a file name's suffix stands for, kNoSuffixType for none.
int16_t fileTypeOfName(const std::string& name) {
    std::string suffix = std::filesystem::path(name).extension().string();
    for (char& ch : suffix) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (suffix == ".wav") return kSoundWAVE;
    if (suffix == ".aiff" || suffix == ".aif") return kSoundAIFF;
    if (suffix == ".au" || suffix == ".snd") return kSoundAU;
    return kNoSuffixType;
}

// -t when given, else what -o's suffix says, else WAVE; a suffix that says
// otherwise than -t is refused rather than giving a file its name belies.
int16_t outputType(const Options& o) {
    const int16_t bySuffix = o.output.empty() || o.output == "-" ? kNoSuffixType : fileTypeOfName(o.output);
    if (!o.typeGiven) return bySuffix != kNoSuffixType ? bySuffix : kSoundWAVE;
    const int16_t chosen = fileTypeOf(o.fileType);
    if (bySuffix != kNoSuffixType && bySuffix != chosen)
        throw std::invalid_argument("-t " + o.fileType + " contradicts the suffix of '" + o.output + "'");
    return chosen;
}

// A name for the file that "-o -" copies to standard output, in the
// temporary folder; random, so processes never share one.
std::string standardOutputFile() {
    std::random_device random;
    char name[40];
    std::snprintf(name, sizeof name, "vorsan-%08x%08x.snd", random(), random());
    return platform::utf8Path(std::filesystem::temp_directory_path() / name);
}

// Writes the speech to a file, then copies it to standard output (a sound
// file's header is completed after its samples, which a pipe cannot take).
StringList writeToStandardOutput(SpeechEngine& engine, std::u16string_view text, const Options& o, int16_t type,
                                 cli::Progress& progress) {
    const std::string path = standardOutputFile();
    struct Cleanup {
        const std::string& path;
        int listed;
        ~Cleanup() {
            synth::partial::drop(listed);
            platform::removeFile(path);
        }
    } cleanup{path, synth::partial::add(path)};
    const StringList files =
        cli::writeWithProgress(engine, text, o.withEmotion, o.withAccent, type, path, progress, o.rate, o.jitter);
    if (files.empty()) return files;
    std::ifstream in(platform::nativePath(path), std::ios::binary);
    if (!in || !(*results << in.rdbuf())) throw MException("cannot write the sound file to standard output");
    return files;
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
        // Gathered first: an unknown language must not leave half a list
        // on standard output before its error.
        std::ostringstream settings;
        settings << "dialect: " << engine.dialect(l) << "\ndatabase: " << engine.mbrolaDatabase(l)
                 << "\npitch: " << engine.pitch(l) << "\ntime: " << engine.time(l)
                 << "\nvoice: " << engine.voiceFrequency(l) << "\nemotion database: " << engine.emotionDatabase(l)
                 << "\naccent database: " << engine.accentDatabase(l) << "\n";
        *results << settings.str();
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
            const int16_t type = outputType(o);
            if (o.output == "-") {
                writeToStandardOutput(engine, text, o, type, progress);
                return 0;
            }
            const StringList files =
                cli::writeWithProgress(engine, text, o.withEmotion, o.withAccent, type, o.output, progress, o.rate, o.jitter);
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

const int kEndingSignals[] = {SIGINT, SIGTERM,
#ifdef SIGHUP
                               SIGHUP
#endif
};

extern "C" void endBySignal(int sig) {
    synth::partial::removeAllNow();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
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
    if (o.version) {
        std::cout << "vorsan " << VORSAN_VERSION << "\n";
        return 0;
    }
    // A signal during a conversion removes the file being written, then
    // ends the program as the signal would have.
    for (int sig : kEndingSignals) std::signal(sig, endBySignal);
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
