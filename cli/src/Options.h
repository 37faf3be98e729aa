#pragma once
// Command-line options of the vorsan program.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vorsan::cli {

struct Options {
    std::string command;                  // phonemes, speak, tofile, mood, accent, languages, ...
    std::vector<std::string> arguments;   // positional arguments after the command
    std::vector<std::string> languageFiles, emotionFiles, accentFiles;
    bool useConfig = false;               // --config: load tolvane.xml even with files given
    std::string primary;
    bool primaryGiven = false;
    // Per-language settings, applied in the order given: (kind, language, value).
    struct Setting {
        std::string kind, language, value;
    };
    std::vector<Setting> settings;
    std::string textFile;                 // --file
    bool withEmotion = false, withAccent = false, transcription = false;
    std::string fileType = "wave";
    bool typeGiven = false;               // -t given (else the type follows -o's suffix)
    std::string output;                   // -o: name for the written file(s)
    float rate = 1.0f;                    // -r: speaking rate over the configuration's
    uint32_t jitter = 0;                  // --jitter: seed of a duration perturbation (0: none)
    bool quiet = false;
    bool help = false;
    bool version = false;
};

// Parses argv; throws std::invalid_argument with a message for bad usage.
Options parseOptions(int argc, char** argv);

extern const char* const kUsage;

} // namespace vorsan::cli
