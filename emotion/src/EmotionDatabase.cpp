#include "vorsan/emotion/EmotionDatabase.h"

#include "vorsan/core/MException.h"

namespace vorsan {

std::string EmotionDatabase::key() const { return language_.LanguageName + "_" + language_.MbrolaDatabase; }

bool EmotionDatabase::hasEmotion(std::string_view name) const {
    return !name.empty() && emotions_.find(name) != emotions_.end();
}

const EmotionProfile* EmotionDatabase::findEmotion(std::string_view name) const {
    auto it = emotions_.find(name);
    return it == emotions_.end() ? nullptr : &it->second;
}

std::vector<std::string> EmotionDatabase::emotionNames() const {
    std::vector<std::string> names;
    names.reserve(emotions_.size());
    for (const auto& [name, profile] : emotions_) names.push_back(name);
    return names;
}

std::string EmotionDatabase::applyEmotion(std::string_view phonemeText, std::string_view emotion) {
    if (phonemeText.empty() || emotion.empty()) return {};
    PhonemeRecordList phones;
    phones.read(phonemeText);
    applyEmotion(phones, emotion);
    return phones.write();
}

void EmotionDatabase::applyEmotion(PhonemeRecordList& phones, std::string_view emotion) {
    if (emotion.empty()) return;
    const EmotionProfile* profile = findEmotion(emotion);
    if (!profile) throw MException("Emotion not found");
    if (!phones.empty()) modifier_.apply(phones, *profile, sounds_);
}

} // namespace vorsan
