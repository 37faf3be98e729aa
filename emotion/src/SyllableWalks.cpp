// The four settings that work syllable by syllable or phrase by phrase:
// the contour over stressed syllables, the stressed pitch level, the
// variability within syllables and the contour over phrases.
#include <cmath>

#include "PitchLists.h"
#include "vorsan/core/MException.h"
#include "vorsan/emotion/ProsodyModifier.h"

namespace vorsan {

namespace {

// Walks the syllables in order. `stressed(record)` raises the stress flag,
// which stays raised (across unvoiced records too) until the next syllable
// end or single voiced phoneme consumes it: then `onSyllable(first, last)`
// or `onSingle(i)` is called. A syllable left open by an unvoiced record
// (only possible for a voiced first record followed by an unvoiced one) is
// left as it is.
template <class Stressed, class OnSyllable, class OnSingle>
void walkSyllables(const PhonemeRecordList& records, Stressed stressed, OnSyllable onSyllable, OnSingle onSingle) {
    bool flag = false;
    bool open = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const PhonemeRecord& r = records[i];
        if (stressed(r)) flag = true;
        switch (r.emotionValue) {
        case RoleStart:
        case RoleMiddle:
            if (!open) {
                open = true;
                start = i;
            }
            break;
        case RoleEnd:
            if (flag) {
                flag = false;
                onSyllable(open ? start : i, i);
            }
            open = false;
            break;
        case RoleSingle:
            if (flag) {
                flag = false;
                onSingle(i);
            }
            open = false;
            break;
        default:
            open = false;
            break;
        }
    }
}

// Shapes the values of one stressed syllable lasting `totalMs` by the
// contour: flat at their mean, or a line from the first value towards that
// value raised (or mirrored downwards) by `gradient` semitones per second.
void shapeContour(std::span<int32_t> values, Contour contour, uint32_t gradient, int64_t totalMs) {
    if (contour != Contour::Flat && contour != Contour::Raising && contour != Contour::Falling)
        throw MException("wrong pitch Contour");
    if (values.empty()) return; // no first value: the syllable stays as it is
    if (contour == Contour::Flat) {
        const auto m = static_cast<int64_t>(pitch::mean(values));
        pitch::ramp(values, m, m);
        return;
    }
    const int64_t f0 = values[0];
    const double exponent = ((static_cast<double>(totalMs) * 0.001) * static_cast<double>(gradient)) * pitch::kSemitone;
    const double raised = static_cast<double>(f0) * std::exp(exponent);
    // Saturate instead of converting an out-of-range (or infinite) double.
    const int64_t e = raised < 4294967295.0 ? static_cast<int64_t>(std::trunc(raised)) : int64_t{4294967295};
    if (contour == Contour::Raising) {
        pitch::ramp(values, f0, e);
    } else {
        // Past an octave the mirrored end point would fall below zero: it
        // stops at the pitch floor.
        const int64_t end = 2 * f0 - e;
        pitch::ramp(values, f0, end < kPitchFloor ? kPitchFloor : end);
    }
}

} // namespace

void ProsodyModifier::contourStressed(const EmotionSetting& s) {
    const auto gradient = static_cast<uint32_t>(s.gradient);
    const bool pitchStressToo = s.forPhraseAndWordAlso;
    walkSyllables(
        records_,
        [&](const PhonemeRecord& r) {
            return r.contourMark == StressFull || (pitchStressToo && r.contourMark == StressPitch);
        },
        [&](std::size_t first, std::size_t last) {
            gather(first, last);
            int64_t total = 0;
            for (std::size_t i = first; i <= last; ++i) total += records_[i].duration;
            shapeContour(scratch_, s.contour, gradient, total);
            giveBack(first, last);
        },
        [&](std::size_t i) { shapeContour(records_[i].pitches, s.contour, gradient, 0); });
}

void ProsodyModifier::scaleStressed(uint32_t rate) {
    walkSyllables(
        records_, [](const PhonemeRecord& r) { return r.contourMark == StressFull; },
        [&](std::size_t first, std::size_t last) {
            gather(first, last);
            pitch::scale(scratch_, rate);
            giveBack(first, last);
        },
        [&](std::size_t i) { pitch::scale(records_[i].pitches, rate); });
}

void ProsodyModifier::spreadSyllables(int32_t rate) {
    walkSyllables(
        records_, [](const PhonemeRecord&) { return true; },
        [&](std::size_t first, std::size_t last) {
            gather(first, last);
            pitch::spread(scratch_, rate, pitch::mean(scratch_));
            giveBack(first, last);
        },
        [&](std::size_t i) {
            auto& values = records_[i].pitches;
            pitch::spread(values, rate, pitch::mean(values));
        });
}

void ProsodyModifier::phraseContour(const EmotionSetting& s) {
    // A phrase runs over the voiced phonemes up to the end of the first
    // syllable (or single) at or after a fully stressed record.
    const auto rate = static_cast<uint32_t>(s.rate);
    bool stressed = false;
    phrase_.clear();
    for (std::size_t i = 0; i < records_.size(); ++i) {
        const PhonemeRecord& r = records_[i];
        if (r.contourMark == StressFull) stressed = true;
        const int32_t role = r.emotionValue;
        if (role == RoleOutside) continue;
        phrase_.push_back(i);
        if ((role != RoleEnd && role != RoleSingle) || !stressed) continue;
        stressed = false;
        if (s.contour != Contour::Raising && s.contour != Contour::Falling)
            throw MException("phraseContour: wrong Contour type");
        const uint64_t step = rate / phrase_.size();
        for (std::size_t k = 0; k < phrase_.size(); ++k) {
            const uint64_t change = static_cast<uint64_t>(k) * step; // below 2^32
            uint32_t percent;
            if (s.contour == Contour::Raising) {
                percent = static_cast<uint32_t>(100u + change); // 32-bit unsigned, wrapping
            } else {
                // Falling by more than 100 % bottoms out at the pitch floor
                // instead of wrapping round to a huge percentage.
                percent = change >= 100u ? 0u : static_cast<uint32_t>(100u - change);
            }
            pitch::scale(records_[phrase_[k]].pitches, percent);
        }
        phrase_.clear();
    }
}

} // namespace vorsan
