#include "vorsan/emotion/EmotionProfile.h"

namespace vorsan {

SoundClass soundClassFromName(std::u16string_view name) {
    if (name == u"LongVowel") return SoundClass::LongVowel;
    if (name == u"ShortVowel") return SoundClass::ShortVowel;
    if (name == u"Liquide") return SoundClass::Liquide;
    if (name == u"Nasal") return SoundClass::Nasal;
    // Semivowels are treated as voiced fricatives throughout.
    if (name == u"FricativeVoiced" || name == u"SemiVowel") return SoundClass::FricativeVoiced;
    if (name == u"FricativeVoiceless") return SoundClass::FricativeVoiceless;
    if (name == u"PlosiveVoiced") return SoundClass::PlosiveVoiced;
    if (name == u"PlosiveVoiceless") return SoundClass::PlosiveVoiceless;
    if (name == u"Silence") return SoundClass::Silence;
    return SoundClass::Unknown;
}

Contour contourFromText(std::u16string_view text) {
    if (text == u"Flat") return Contour::Flat;
    if (text == u"Raising") return Contour::Raising;
    if (text == u"Falling") return Contour::Falling;
    return Contour::Invalid;
}

EmotionProfile EmotionProfile::neutral(std::string name) {
    EmotionProfile p;
    p.name = std::move(name);
    for (auto& s : p.settings) s.rate = 100;
    p[PhraseContour].rate = 0;
    p[PhraseContour].contour = Contour::Raising;
    p[PitchContourStressed].contour = Contour::Raising;
    p[PitchContourStressed].gradient = 0;
    p[Jitter].rate = 0;
    return p;
}

} // namespace vorsan
