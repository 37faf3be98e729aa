#pragma once
// The master configuration file (tolvane.xml) read into plain records: from
// its compiled copy when one was made from the file's present bytes, so that
// a start needs no XML parsing (and no XML library set-up), else from the XML.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorsan::configfile {

// One entry of the file, in the file's order.
struct Item {
    enum class Kind : uint8_t { Language, Emotion, Accent, Primary, ChooseBySentence };
    Kind kind = Kind::Language;
    std::string location;                 // a file's location, or the primary language's name
    std::optional<float> pitch, time;     // a language's voice settings, when the file gives them
    std::optional<int32_t> voice;
    std::string emotionDatabase, accentDatabase;
    std::u16string mood;
    bool on = true;                       // ChooseBySentence
    // A language's "Rhythm": how the built-in English times its phones
    // ("natural"; absent or anything else: the phone table).
    bool naturalRhythm = false;
};

// Raises the loading messages of the configuration file (a DOCTYPE, a value
// out of range, "Not a Tolvane file", ...). The caller has checked that the
// file can be read.
std::vector<Item> read(const std::string& path);

} // namespace vorsan::configfile
