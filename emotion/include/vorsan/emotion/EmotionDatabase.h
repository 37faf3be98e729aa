#pragma once
// One loaded emotion file: descriptive texts, the language and voice database
// it was made for, the phoneme sound-class table and the named moods, plus
// the modifier that applies a mood to phoneme text.
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vorsan/core/PhonemeText.h"
#include "vorsan/emotion/EmotionProfile.h"
#include "vorsan/emotion/ProsodyModifier.h"

namespace vorsan {

struct EmotionFileInfo {
    std::string Title, Author, LastModifiedBy, Version, Description, Comment, CreatedOn, LastModified;
};

struct EmotionLanguage {
    std::string LanguageName, MbrolaDatabase;
};

class EmotionDatabase {
public:
    // Loads an emotion file; MException on failure (nothing is left behind).
    static std::unique_ptr<EmotionDatabase> load(const std::string& path);

    std::string key() const; // LanguageName + "_" + MbrolaDatabase
    const std::string& languageName() const { return language_.LanguageName; }
    const std::string& mbrolaDatabase() const { return language_.MbrolaDatabase; }
    const EmotionFileInfo& fileInformation() const { return info_; }
    const SoundClassMap& soundClasses() const { return sounds_; }

    bool hasEmotion(std::string_view name) const;
    std::vector<std::string> emotionNames() const; // ascending byte order
    const EmotionProfile* findEmotion(std::string_view name) const; // nullptr when absent

    // Re-shapes phoneme text by the named mood. Empty text or empty name
    // gives an empty text; an unknown name throws "Emotion not found".
    // Not thread-safe per object (reuses working storage).
    std::string applyEmotion(std::string_view phonemeText, std::string_view emotion);
    // The same on records, changed in place (left as they are for an empty
    // name).
    void applyEmotion(PhonemeRecordList& phones, std::string_view emotion);

private:
    EmotionDatabase() = default;
    friend class EmotionFileReader;

    EmotionFileInfo info_;
    EmotionLanguage language_;
    SoundClassMap sounds_;
    std::map<std::string, EmotionProfile, std::less<>> emotions_;
    ProsodyModifier modifier_;
};

} // namespace vorsan
