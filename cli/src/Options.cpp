#include "Options.h"

#include <getopt.h>

#include <stdexcept>

namespace vorsan::cli {

const char* const kUsage = R"USAGE(vorsan - speak Indian-language and English text

Usage: vorsan [options] <command> [arguments]

Commands:
  phonemes [TEXT]        print each run's voice database, ratios and phoneme text
  speak [TEXT]           speak the text on the sound device
  tofile [TEXT]          write the speech to sound files and print their paths:
                         without -o, temp1.wav, temp2.wav ... (one per language
                         run) in the profile folder. Those names are shared by
                         every program using that folder: one speaking at the
                         same time may replace them. Use -o for a file of your own.
  mood MOOD DATABASE     apply a mood to phoneme text read from standard input
  accent DATABASE        map phoneme text from standard input with an accent database
  languages              list the loaded languages (primary marked with *)
  emotions               list the loaded emotion databases
  accents                list the loaded accent databases
  moods LANGUAGE         list the moods of a language's emotion database
  settings LANGUAGE      show a language's dialect, database and voice settings

TEXT is the command's arguments joined by spaces; without them the text comes
from --file or from standard input ("-" also reads standard input). Text is UTF-8.

Databases (default: the configuration file tolvane.xml in the profile folder,
$USERPROFILE or else $HOME; a profile without one is first set up from the
installation, as vorsan-user-setup does, and the program says so once):
  -l, --language FILE    add a language rule file (repeatable)
  -e, --emotion-file FILE add an emotion file (repeatable)
  -a, --accent-file FILE add an accent file (repeatable)
      --config           load tolvane.xml before adding the files above
                         (configuration and single files exclude each other:
                         a loaded configuration locks adding)

Settings (LANG is a language name such as Hindi or "English (United States)"):
  -p, --primary LANG     speak all text as this language ("" clears)
      --pitch LANG=R     pitch ratio          --time LANG=R   duration ratio
      --voice LANG=HZ    voice frequency      --mood LANG=MOOD active mood
      --emotion-db LANG=DB  emotion database  --accent-db LANG=DB accent database

Speech options:
  -E, --with-emotion     apply the language's active mood
  -A, --with-accent      map through the language's accent database
  -T, --transcription    phonemes: transcription only (no emotion)
  -t, --type TYPE        tofile: wave, aiff or au (default: from the -o name's
                         suffix, .wav .aiff .aif .au .snd, else wave)
  -o, --output PATH      tofile: write the speech to PATH (the runs of several
                         languages are joined into it, at the first run's sample
                         rate); "-o -" writes the sound file to standard output
  -r, --rate R           speak/tofile -o: speaking rate over the configuration's,
                         0.25 to 4 (2: twice as fast; pauses and vowels
                         shorten more than consonants, so fast speech stays clear)
      --jitter SEED      tofile -o: every phone's duration changed at random by up
                         to a tenth, the same for the same SEED (1 to 4294967295);
                         for measuring how a listener's score depends on chance
      --file FILE        read the text from FILE
  -q, --quiet            no progress bar
  -h, --help             this help
      --version          the program's version

Options may follow the command; "--" ends them (for text that begins with "-").
Short options may be bundled (-qE) and long ones given as --name=value.

Exit status: 0 on success, 1 when the engine reports an error (its message is
printed on standard error), 2 on wrong usage, 128+N when ended by signal N
(130 for SIGINT, 143 for SIGTERM: the file being written is removed and a file
already there under the -o name is left as it was).
)USAGE";

namespace {
std::pair<std::string, std::string> splitSetting(const std::string& flag, const std::string& v) {
    auto eq = v.rfind('=');
    if (eq == std::string::npos || eq == 0) throw std::invalid_argument(flag + " needs LANG=VALUE, got '" + v + "'");
    return {v.substr(0, eq), v.substr(eq + 1)};
}

// A number is checked as the text given, before it is converted to the
// engine's type (a voice of 2147483647 Hz does not fit an int32 once it has
// been through a float), and the refusal quotes that text.
double numberIn(const std::string& flag, const std::string& v, double lo, double hi, const char* range) {
    std::size_t used = 0;
    double number = 0;
    try {
        number = std::stod(v, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != v.size() || !(number >= lo && number <= hi))
        throw std::invalid_argument(flag + " needs " + range + ", got '" + v + "'");
    return number;
}

void checkNumber(const std::string& flag, const std::string& v) {
    if (flag == "--voice") numberIn(flag, v, 4000, 192000, "a frequency from 4000 to 192000 Hz");
    else numberIn(flag, v, 0.001, 100, "a ratio from 0.001 to 100");
}
} // namespace

namespace {
// Long options; those without a short letter are told apart by these codes.
enum LongOnly { kConfig = 256, kPitch, kTime, kVoice, kMood, kEmotionDb, kAccentDb, kFile, kVersion, kJitter };

const option kLongOptions[] = {
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {"language", required_argument, nullptr, 'l'},
    {"emotion-file", required_argument, nullptr, 'e'},
    {"accent-file", required_argument, nullptr, 'a'},
    {"config", no_argument, nullptr, kConfig},
    {"primary", required_argument, nullptr, 'p'},
    {"pitch", required_argument, nullptr, kPitch},
    {"time", required_argument, nullptr, kTime},
    {"voice", required_argument, nullptr, kVoice},
    {"mood", required_argument, nullptr, kMood},
    {"emotion-db", required_argument, nullptr, kEmotionDb},
    {"accent-db", required_argument, nullptr, kAccentDb},
    {"with-emotion", no_argument, nullptr, 'E'},
    {"with-accent", no_argument, nullptr, 'A'},
    {"transcription", no_argument, nullptr, 'T'},
    {"type", required_argument, nullptr, 't'},
    {"output", required_argument, nullptr, 'o'},
    {"rate", required_argument, nullptr, 'r'},
    {"file", required_argument, nullptr, kFile},
    {"jitter", required_argument, nullptr, kJitter},
    {"quiet", no_argument, nullptr, 'q'},
    {nullptr, 0, nullptr, 0},
};
// '+' would stop at the first word; without it options may follow the
// command ("vorsan tofile -o x.wav Hello"), and "--" ends them. The leading
// ':' makes a missing value its own case, so every message is the program's.
constexpr const char* kShortOptions = ":hl:e:a:p:EATt:o:r:q";

float parseRate(const std::string& flag, const std::string& v) {
    return static_cast<float>(numberIn(flag, v, 0.25, 4, "a rate from 0.25 to 4"));
}

void addSetting(Options& o, const char* kind, const std::string& value) {
    const std::string flag = std::string("--") + kind;
    auto [lang, v] = splitSetting(flag, value);
    if (flag == "--pitch" || flag == "--time" || flag == "--voice") checkNumber(flag, v);
    o.settings.push_back({kind, lang, v});
}

// The option as the user wrote it, for a refusal: the long name when the
// word getopt just read is a long option, else the letter. A value given as
// its own word follows the option's word.
std::string spelled(char** argv, int letter) {
    const char* word = argv[optind - 1];
    if (optarg && optarg == word && optind >= 2) word = argv[optind - 2];
    const std::string w = word;
    if (w.rfind("--", 0) == 0) return w.substr(0, w.find('='));
    return std::string("-") + static_cast<char>(letter);
}

void apply(Options& o, int c, const std::string& v, const std::string& flag) {
    switch (c) {
    case 'h': o.help = true; break;
    case kVersion: o.version = true; break;
    case 'l': o.languageFiles.push_back(v); break;
    case 'e': o.emotionFiles.push_back(v); break;
    case 'a': o.accentFiles.push_back(v); break;
    case kConfig: o.useConfig = true; break;
    case 'p': o.primary = v; o.primaryGiven = true; break;
    case kPitch: addSetting(o, "pitch", v); break;
    case kTime: addSetting(o, "time", v); break;
    case kVoice: addSetting(o, "voice", v); break;
    case kMood: addSetting(o, "mood", v); break;
    case kEmotionDb: addSetting(o, "emotion-db", v); break;
    case kAccentDb: addSetting(o, "accent-db", v); break;
    case 'E': o.withEmotion = true; break;
    case 'A': o.withAccent = true; break;
    case 'T': o.transcription = true; break;
    case 't': o.fileType = v; o.typeGiven = true; break;
    case 'o': o.output = v; break;
    case kFile: o.textFile = v; break;
    case 'r': o.rate = parseRate(flag, v); break;
    case kJitter: o.jitter = static_cast<uint32_t>(numberIn(flag, v, 1, 4294967295.0, "a seed from 1 to 4294967295")); break;
    case 'q': o.quiet = true; break;
    }
}
} // namespace

Options parseOptions(int argc, char** argv) {
    Options o;
    // getopt keeps its place in globals: 0 starts a fresh scan (each call
    // reads its own argument list), and it prints nothing itself.
    optind = 0;
    opterr = 0;
    for (;;) {
        const int c = getopt_long(argc, argv, kShortOptions, kLongOptions, nullptr);
        if (c == -1) break;
        if (c == ':') throw std::invalid_argument(spelled(argv, optopt) + " needs a value");
        if (c == '?') {
            // optopt is the letter of an unknown short option, 0 for an
            // unknown long one (the word just read).
            const std::string word = argv[optind - 1];
            throw std::invalid_argument("unknown option " + (optopt ? std::string("-") + static_cast<char>(optopt)
                                                                    : word.substr(0, word.find('='))));
        }
        apply(o, c, optarg ? optarg : "", spelled(argv, c));
    }
    for (int i = optind; i < argc; ++i) {
        if (o.command.empty()) o.command = argv[i];
        else o.arguments.push_back(argv[i]);
    }
    if (!o.help && !o.version && o.command.empty()) throw std::invalid_argument("no command given");
    return o;
}

} // namespace vorsan::cli
