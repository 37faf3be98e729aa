#include "vorsan/core/PhonemeText.h"

#include <algorithm>
#include <charconv>

#include "vorsan/core/PhoneLines.h"
#include "vorsan/core/Text.h"

namespace vorsan {

namespace {
void appendInt(std::string& out, int64_t value) {
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, r.ptr);
}
} // namespace

bool isVoicedSoundClass(int32_t c) { return c == 0 || c == 2 || c == 3 || c == 4 || c == 5 || c == 7; }

void PhonemeRecord::setPitches(const std::vector<int32_t>& values) {
    pitches.resize(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) pitches[i] = std::clamp(values[i], kPitchFloor, kPitchCeiling);
}


PhonemeRecord pauseRecord(int32_t ms, LineForm form) {
    PhonemeRecord r;
    r.name.assign(1, '_');
    r.duration = ms;
    r.form = form;
    return r;
}

void PhonemeRecordList::read(std::string_view text, const SoundClassMap* sounds) {
    records_.clear();
    std::vector<std::string_view> tokens;
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
        for (; k + 1 < tokens.size(); k += 2) {
            r.positions.push_back(readLeadingInt(tokens[k]));
            r.pitches.push_back(readLeadingInt(tokens[k + 1]));
        }
        records_.push_back(std::move(r));
    }
    if (sounds) classify(*sounds);
}

void PhonemeRecordList::classify(const SoundClassMap& sounds) {
    for (PhonemeRecord& r : records_) {
        int64_t sum = 0;
        for (int32_t p : r.pitches) sum += p;
        const auto n = static_cast<int64_t>(r.pitches.size());
        r.meanPitch = n == 0 ? 0.0 : static_cast<double>(sum / n);
        r.setPitches(r.pitches);
        auto it = sounds.find(r.name);
        r.soundType = it == sounds.end() ? -1 : it->second;
        r.voiced = it != sounds.end() && isVoicedSoundClass(it->second);
    }
}

void PhonemeRecordList::writeTo(std::string& out) const {
    for (const auto& r : records_) {
        out.append(r.name);
        if (r.name.size() < r.nameWidth) out.append(r.nameWidth - r.name.size(), ' ');
        out.push_back(' ');
        if (r.form == LineForm::Word) continue;
        appendInt(out, r.duration);
        const char* space = r.form == LineForm::Full ? " " : "";
        out.append(space);
        for (std::size_t i = 0; i < r.pitches.size() && i < r.positions.size(); ++i) {
            if (r.form == LineForm::Short) out.push_back(' ');
            appendInt(out, r.positions[i]);
            out.push_back(' ');
            appendInt(out, r.pitches[i]);
            out.append(space);
        }
        out.append(r.blankLineAfter ? "\n \n" : "\n");
    }
}

std::string PhonemeRecordList::write() const {
    std::string out;
    out.reserve(records_.size() * 24);
    writeTo(out);
    return out;
}

void PhonemeRecordList::makeFull() {
    for (PhonemeRecord& r : records_) {
        r.form = LineForm::Full;
        r.nameWidth = 0;
        r.blankLineAfter = false;
    }
}

void PhonemeRecordList::append(PhonemeRecordList&& more) {
    if (records_.empty()) records_ = std::move(more.records_);
    else records_.insert(records_.end(), std::make_move_iterator(more.records_.begin()),
                         std::make_move_iterator(more.records_.end()));
}

} // namespace vorsan
