#include "vorsan/core/PhonemeText.h"

#include <algorithm>
#include <charconv>

#include "vorsan/core/PhoneLines.h"
#include "vorsan/core/Text.h"

namespace vorsan {

void appendInt(std::string& out, int64_t value) {
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, r.ptr);
}

void appendPhoneLine(std::string& out, std::string_view name, int32_t duration, std::string_view tail) {
    out.append(name);
    out.push_back(' ');
    appendInt(out, duration);
    out.push_back(' ');
    out.append(tail);
    out.push_back('\n');
}

bool isVoicedSoundClass(int32_t c) { return c == 0 || c == 2 || c == 3 || c == 4 || c == 5 || c == 7; }

void PhonemeRecord::setPitches(const std::vector<int32_t>& values) {
    pitches.resize(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) pitches[i] = std::clamp(values[i], kPitchFloor, kPitchCeiling);
}


void PhonemeRecordList::read(std::string_view text, const SoundClassMap* sounds) {
    records_.clear();
    std::vector<std::string_view> tokens;
    std::vector<int32_t> rawPitches;
    LineCursor lines(text);
    for (std::string_view line; lines.next(line);) {
        tokens.clear();
        for (std::string_view t; nextToken(line, t);) tokens.push_back(t);
        if (tokens.empty()) continue;
        PhonemeRecord r;
        std::size_t k = 0;
        if (tokens.size() % 2 == 1) {
            int32_t mark = readLeadingInt(tokens[k++]);
            if (mark >= 1 && mark <= 3) r.contourMark = mark;
        }
        if (k < tokens.size()) r.name = std::string(tokens[k++]);
        if (k < tokens.size()) r.duration = readLeadingInt(tokens[k++]);
        rawPitches.clear();
        int64_t sum = 0;
        for (; k + 1 < tokens.size(); k += 2) {
            r.positions.push_back(readLeadingInt(tokens[k]));
            int32_t p = readLeadingInt(tokens[k + 1]);
            rawPitches.push_back(p);
            sum += p;
        }
        r.setPitches(rawPitches);
        r.meanPitch = rawPitches.empty() ? 0.0 : static_cast<double>(sum / static_cast<int64_t>(rawPitches.size()));
        if (sounds) {
            auto it = sounds->find(r.name);
            if (it != sounds->end()) {
                r.soundType = it->second;
                r.voiced = isVoicedSoundClass(it->second);
            }
        }
        records_.push_back(std::move(r));
    }
}

std::string PhonemeRecordList::write() const {
    std::string out;
    out.reserve(records_.size() * 24);
    for (const auto& r : records_) {
        out.append(r.name);
        out.push_back(' ');
        appendInt(out, r.duration);
        out.push_back(' ');
        for (std::size_t i = 0; i < r.pitches.size() && i < r.positions.size(); ++i) {
            appendInt(out, r.positions[i]);
            out.push_back(' ');
            appendInt(out, r.pitches[i]);
            out.push_back(' ');
        }
        out.push_back('\n');
    }
    return out;
}

} // namespace vorsan
