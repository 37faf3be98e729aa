#include "vorsan/emotion/ProsodyModifier.h"

#include <cmath>

#include "PitchLists.h"
#include "vorsan/core/MException.h"

namespace vorsan {

namespace {

bool isVowel(const PhonemeRecord& r) {
    return r.soundType == static_cast<int32_t>(SoundClass::LongVowel) ||
           r.soundType == static_cast<int32_t>(SoundClass::ShortVowel);
}

bool hasClass(const PhonemeRecord& r, SoundClass c) { return r.soundType == static_cast<int32_t>(c); }

// Record selectors of the duration settings (flag: forPhraseAndWordAlso).
bool anyRecord(const PhonemeRecord&, bool) { return true; }
bool stressedRecord(const PhonemeRecord& r, bool flag) {
    return r.contourMark == StressFull || (flag && r.contourMark == StressPitch);
}
bool nonStressedRecord(const PhonemeRecord& r, bool flag) {
    return r.contourMark != StressFull && !(flag && r.contourMark == StressPitch);
}
template <SoundClass C>
bool ofClass(const PhonemeRecord& r, bool) { return hasClass(r, C); }
bool vowelRecord(const PhonemeRecord& r, bool) { return isVowel(r); }

} // namespace

int32_t ProsodyModifier::classAverageDuration(SoundClass c) const {
    const auto i = static_cast<int32_t>(c);
    return i >= 0 && i < kSoundClassCount ? classAverage_[static_cast<std::size_t>(i)] : 0;
}

int32_t ProsodyModifier::classCount(SoundClass c) const {
    const auto i = static_cast<int32_t>(c);
    return i >= 0 && i < kSoundClassCount ? classCount_[static_cast<std::size_t>(i)] : 0;
}

void ProsodyModifier::classify(std::string_view phonemeText, const SoundClassMap& sounds) {
    records_.read(phonemeText, &sounds);
    assignRolesAndStatistics();
    markStress();
}

void ProsodyModifier::assignRolesAndStatistics() {
    classAverage_.fill(0);
    classCount_.fill(0);
    std::array<int64_t, kSoundClassCount> totals{};
    // The running pitch sum is unsigned 32-bit with defined wrap-around: a
    // negative mean pitch read from the text is added modulo 2^32.
    uint32_t pitchSum = 0;
    const std::size_t n = records_.size();
    for (std::size_t i = 0; i < n; ++i) {
        PhonemeRecord& r = records_[i];
        int32_t role;
        if (i == 0) {
            role = r.voiced ? RoleStart : RoleOutside;
        } else {
            PhonemeRecord& before = records_[i - 1];
            const int32_t prev = before.emotionValue;
            if (i == n - 1) {
                role = !r.voiced ? RoleOutside : (prev == RoleStart || prev == RoleMiddle) ? RoleEnd : RoleSingle;
            } else if (!r.voiced) {
                role = RoleOutside;
            } else {
                const PhonemeRecord& next = records_[i + 1];
                if (prev == RoleOutside || prev == RoleEnd || prev == RoleSingle) {
                    role = next.voiced ? RoleStart : RoleSingle;
                } else if (prev == RoleStart) {
                    if (!next.voiced) {
                        role = RoleEnd;
                    } else if (isVowel(r)) {
                        role = isVowel(next) ? RoleEnd : RoleMiddle;
                    } else if (isVowel(next)) {
                        // A consonant before a vowel opens the next syllable.
                        before.emotionValue = RoleSingle;
                        role = RoleStart;
                    } else {
                        role = RoleEnd;
                    }
                } else { // prev is RoleMiddle
                    if (isVowel(next)) {
                        before.emotionValue = RoleEnd;
                        role = RoleStart;
                    } else {
                        role = RoleEnd;
                    }
                }
            }
        }
        r.emotionValue = role;

        pitchSum += static_cast<uint32_t>(static_cast<int32_t>(r.meanPitch));
        if (r.soundType >= 0 && r.soundType < kSoundClassCount && r.soundType != 1) {
            const auto slot = static_cast<std::size_t>(r.soundType);
            ++classCount_[slot];
            totals[slot] += r.duration;
        }
    }
    for (std::size_t c = 0; c < classAverage_.size(); ++c)
        if (classCount_[c] != 0) classAverage_[c] = static_cast<int32_t>(totals[c] / classCount_[c]);
    utteranceMean_ = n == 0 ? 0.0 : static_cast<double>(pitchSum / n);
}

void ProsodyModifier::markStress() {
    const double meanPitch = std::trunc(utteranceMean_);
    for (auto& r : records_) {
        if (!isVowel(r)) continue;
        if (meanPitch >= r.meanPitch)
            r.contourMark = StressWeak;
        else if (static_cast<uint32_t>(r.duration) >
                 static_cast<uint32_t>(classAverage_[static_cast<std::size_t>(r.soundType)]))
            r.contourMark = StressFull;
        else
            r.contourMark = StressPitch;
    }
}

void ProsodyModifier::gather(std::size_t first, std::size_t last) {
    scratch_.clear();
    for (std::size_t i = first; i <= last; ++i)
        scratch_.insert(scratch_.end(), records_[i].pitches.begin(), records_[i].pitches.end());
}

void ProsodyModifier::giveBack(std::size_t first, std::size_t last) {
    std::size_t k = 0;
    for (std::size_t i = first; i <= last; ++i)
        for (auto& v : records_[i].pitches) v = scratch_[k++];
}

void ProsodyModifier::apply(PhonemeRecordList& phones, const EmotionProfile& profile, const SoundClassMap& sounds) {
    records_ = std::move(phones);
    records_.classify(sounds);
    assignRolesAndStatistics();
    markStress();
    reshape(profile);
    records_.makeFull();
    phones = std::move(records_);
    records_.clear();
}

void ProsodyModifier::reshape(const EmotionProfile& profile) {
    using S = EmotionProfile;

    const EmotionSetting& contour = profile[S::PitchContourStressed];
    if (contour.gradient != 0 || contour.contour == Contour::Flat) contourStressed(contour);
    if (profile[S::StressedAVRF].rate != 100) scaleStressed(static_cast<uint32_t>(profile[S::StressedAVRF].rate));
    if (profile[S::Vairability].rate != 100) spreadSyllables(profile[S::Vairability].rate);
    if (profile[S::PhraseContour].rate != 0) phraseContour(profile[S::PhraseContour]);
    if (const int32_t rate = profile[S::Range].rate; rate != 100)
        for (auto& r : records_) pitch::spread(r.pitches, rate, utteranceMean_);
    if (const int32_t rate = profile[S::AverageBaseFrequency].rate; rate != 100)
        for (auto& r : records_) pitch::scale(r.pitches, static_cast<uint32_t>(rate));
    if (const int32_t rate = profile[S::Jitter].rate; rate != 0)
        for (auto& r : records_)
            if (r.voiced) pitch::jitter(r.pitches, rate);

    struct DurationSetting {
        S::Setting setting;
        bool (*selects)(const PhonemeRecord&, bool);
    };
    static constexpr DurationSetting kDurations[] = {
        {S::SpeechRate, anyRecord},
        {S::Stressed, stressedRecord},
        {S::NonStressed, nonStressedRecord},
        {S::Vowels, vowelRecord},
        {S::Liquides, ofClass<SoundClass::Liquide>},
        {S::Nasals, ofClass<SoundClass::Nasal>},
        {S::FricativeVoiced, ofClass<SoundClass::FricativeVoiced>},
        {S::FricativeVoiceless, ofClass<SoundClass::FricativeVoiceless>},
        {S::PlosiveVoiced, ofClass<SoundClass::PlosiveVoiced>},
        {S::PlosiveVoiceless, ofClass<SoundClass::PlosiveVoiceless>},
        {S::Silence, ofClass<SoundClass::Silence>},
    };
    for (const auto& d : kDurations) {
        const EmotionSetting& s = profile[d.setting];
        if (s.rate != 100) scaleDurations(static_cast<uint32_t>(s.rate), d.selects, s.forPhraseAndWordAlso);
    }
}

void ProsodyModifier::scaleDurations(uint32_t rate, bool (*selects)(const PhonemeRecord&, bool), bool flag) {
    for (auto& r : records_)
        if (selects(r, flag)) r.duration = pitch::scaleDuration(r.duration, rate);
}

} // namespace vorsan
