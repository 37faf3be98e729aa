#include "Options.h"

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
  -t, --type TYPE        tofile: wave (default), aiff or au
  -o, --output PATH      tofile: write the speech to PATH (the runs of several
                         languages are joined into it; runs of different sample
                         rates become PATH with -1, -2 ... before the extension)
  -r, --rate R           speak/tofile -o: speaking rate over the configuration's,
                         0.25 to 4 (2: twice as fast; pauses and vowels
                         shorten more than consonants, so fast speech stays clear)
      --file FILE        read the text from FILE
  -q, --quiet            no progress bar
  -h, --help             this help

Exit status: 0 on success, 1 when the engine reports an error (its message is
printed on standard error), 2 on wrong usage.
)USAGE";

namespace {
std::pair<std::string, std::string> splitSetting(const std::string& flag, const std::string& v) {
    auto eq = v.rfind('=');
    if (eq == std::string::npos || eq == 0) throw std::invalid_argument(flag + " needs LANG=VALUE, got '" + v + "'");
    return {v.substr(0, eq), v.substr(eq + 1)};
}

// A numeric setting is checked as the text given, before it is converted to
// the engine's type (a voice of 2147483647 Hz does not fit an int32 once it
// has been through a float), and the refusal quotes that text.
void checkNumber(const std::string& flag, const std::string& v) {
    const bool voice = flag == "--voice";
    const double lo = voice ? 4000 : 0.001, hi = voice ? 192000 : 100;
    std::size_t used = 0;
    double number = 0;
    try {
        number = std::stod(v, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != v.size() || !(number >= lo && number <= hi))
        throw std::invalid_argument(flag + (voice ? " needs a frequency from 4000 to 192000 Hz" : " needs a ratio from 0.001 to 100") +
                                    ", got '" + v + "'");
}
} // namespace

Options parseOptions(int argc, char** argv) {
    Options o;
    auto value = [&](int& i, const std::string& flag) -> std::string {
        if (i + 1 >= argc) throw std::invalid_argument(flag + " needs a value");
        return argv[++i];
    };
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "-h" || a == "--help") o.help = true;
        else if (a == "-l" || a == "--language") o.languageFiles.push_back(value(i, a));
        else if (a == "-e" || a == "--emotion-file") o.emotionFiles.push_back(value(i, a));
        else if (a == "-a" || a == "--accent-file") o.accentFiles.push_back(value(i, a));
        else if (a == "--config") o.useConfig = true;
        else if (a == "-p" || a == "--primary") {
            o.primary = value(i, a);
            o.primaryGiven = true;
        } else if (a == "--pitch" || a == "--time" || a == "--voice" || a == "--mood" || a == "--emotion-db" ||
                   a == "--accent-db") {
            auto [lang, v] = splitSetting(a, value(i, a));
            if (a == "--pitch" || a == "--time" || a == "--voice") checkNumber(a, v);
            o.settings.push_back({a.substr(2), lang, v});
        } else if (a == "-E" || a == "--with-emotion") o.withEmotion = true;
        else if (a == "-A" || a == "--with-accent") o.withAccent = true;
        else if (a == "-T" || a == "--transcription") o.transcription = true;
        else if (a == "-t" || a == "--type") o.fileType = value(i, a);
        else if (a == "-o" || a == "--output") o.output = value(i, a);
        else if (a == "--file") o.textFile = value(i, a);
        else if (a == "-r" || a == "--rate") {
            const std::string v = value(i, a);
            std::size_t used = 0;
            try {
                o.rate = std::stof(v, &used);
            } catch (const std::exception&) {
                used = 0;
            }
            if (used != v.size() || !(o.rate >= 0.25f && o.rate <= 4.0f))
                throw std::invalid_argument(a + " needs a rate from 0.25 to 4, got '" + v + "'");
        }
        else if (a == "-q" || a == "--quiet") o.quiet = true;
        else if (a.size() > 1 && a[0] == '-' && a != "-" && o.command.empty())
            throw std::invalid_argument("unknown option " + a);
        else if (o.command.empty()) o.command = a;
        else o.arguments.push_back(a);
    }
    if (!o.help && o.command.empty()) throw std::invalid_argument("no command given");
    return o;
}

} // namespace vorsan::cli
