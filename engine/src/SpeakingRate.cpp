#include "SpeakingRate.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string_view>

namespace vorsan {

namespace {

enum class PhoneClass { Pause, Vowel, Consonant };

// Phone names of every voice: "_" is a pause; vowels begin with a vowel
// letter (a, aa, ai, e, o, u of the Indian phone set) or are the English
// voice's vowel symbols (@, {, 3:, A:, E, I, O:, Q, U, V).
PhoneClass classOf(std::string_view name) {
    if (name.empty() || name == "_") return PhoneClass::Pause;
    static constexpr std::string_view kVowelStarts = "aeiouAEIOU@{3QV";
    return kVowelStarts.find(name.front()) != std::string_view::npos ? PhoneClass::Vowel : PhoneClass::Consonant;
}

// How much each class follows the rate: its duration is divided by
// rate^exponent, then all by one factor that brings the whole to the rate.
double exponentOf(PhoneClass c) {
    switch (c) {
    case PhoneClass::Pause: return 1.8;
    case PhoneClass::Vowel: return 1.2;
    case PhoneClass::Consonant: return 0.5;
    }
    return 1.0;
}

double shapedDuration(const PhonemeRecord& r, float rate) {
    return std::max(0, r.duration) / std::pow(static_cast<double>(rate), exponentOf(classOf(r.name)));
}

} // namespace

void atSpeakingRate(PhonemeRecordList& phones, float rate) {
    if (rate == 1.0f || !(rate > 0.0f)) return;
    double asked = 0, shaped = 0;
    for (const PhonemeRecord& r : phones) {
        if (r.name.empty()) continue; // holds no phone
        asked += std::max(0, r.duration);
        shaped += shapedDuration(r, rate);
    }
    const double whole = shaped > 0 ? asked / rate / shaped : 1.0;
    double carried = 0; // rounding carried from record to record, so the total stays
    for (PhonemeRecord& r : phones) {
        if (r.name.empty()) continue;
        const double exact = shapedDuration(r, rate) * whole + carried;
        const long ms = std::lround(exact);
        carried = exact - static_cast<double>(ms);
        // A phone stretched past 32 bits lasts the longest a record holds
        // (the synthesiser cuts it much shorter anyway).
        r.duration = static_cast<int32_t>(std::min<long>(ms, std::numeric_limits<int32_t>::max()));
    }
}

void jitterDurations(PhonemeRecordList& phones, uint32_t seed) {
    // The sentence's phones and durations pick the draw along with the seed,
    // so a sentence's change does not depend on the sentences before it.
    uint64_t key = seed;
    for (const PhonemeRecord& r : phones) {
        for (char c : r.name) key = key * 1099511628211ull + static_cast<unsigned char>(c);
        key = key * 1099511628211ull + static_cast<uint32_t>(r.duration);
    }
    std::mt19937_64 draw(key);
    std::uniform_real_distribution<double> factor(0.9, 1.1);
    for (PhonemeRecord& r : phones)
        if (classOf(r.name) != PhoneClass::Pause && r.duration > 0)
            r.duration = static_cast<int32_t>(std::lround(r.duration * factor(draw)));
}

} // namespace vorsan
