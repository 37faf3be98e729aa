// libvorsan_festival.so: Festival's diphone back end as a plugin, loaded by
// FestivalEngine.cpp only when VORSAN_SYNTH=festival asks for it. The only
// code of the engine built into it is PitchMarks.cpp (pure functions);
// everything else it needs comes through FestivalBackEnd's arguments.
#include "FestivalBackEnd.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "vorsan/core/MException.h"

// Festival's headers are old-style and pull in much of the speech tools.
#include <festival.h>
#include <intonation.h>
#include <modules.h>

#include "PitchMarks.h"

// Where the interpreter's collector starts scanning the C stack.
extern LISP* stack_start_ptr;

// Value types Festival's UniSyn module registers but does not declare in its
// installed headers.
typedef EST_TVector<EST_Wave> EST_WaveVector;
EST_Val est_val(const EST_IVector* v);
EST_WaveVector* wavevector(const EST_Val& v);

namespace vorsan::synth {

namespace {

// Heap of the Scheme interpreter, in cells (32 bytes each), all of it
// touched when the interpreter starts. Without Festival's Scheme library
// about 3,400 cells stay in use, some 40 more per loaded voice, and a piece
// leaves a few dozen cells of garbage for the next collection: this is
// ample. Festival's default costs hundreds of megabytes and a slow start.
constexpr int kHeapCells = 20000;

// The back end's steps, without any of the voice's text-processing hooks,
// in three calls with our own work between them: diphone selection, then
// (after long pitch-mark gaps in the units are filled) concatenation and
// windowing, then (after our pitch marks and frame map are in place)
// overlap-add and LPC resynthesis. Festival's own pitch-mark and mapping
// steps are not used: they read and write past their buffers on inputs as
// ordinary as a long vowel or a sparsely marked diphone.
const char* kUnitsStep = "(us_get_diphones vorsan_utt)";
const char* kConcatStep = "(us_unit_concat vorsan_utt)";
const char* kWaveStep = "(us_generate_wave vorsan_utt 'lpc 'analysis_period)";

bool evaluate(const std::string& expression) { return festival_eval_command(EST_String(expression.c_str())) != 0; }

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

// The wave Festival left in an utterance, or nullptr.
EST_Wave* waveOf(EST_Utterance* u) {
    if (!u->relation_present("Wave")) return nullptr;
    EST_Item* head = u->relation("Wave")->head();
    if (!head || !head->f_present("wave")) return nullptr;
    return wave(head->f("wave"));
}

// The interpreter frees an utterance only when it next collects garbage, which
// with our few allocations is rare: empty it now so its relations and wave do
// not pile up in the meantime.
void release(EST_Utterance* u) {
    utt_cleanup(*u);
    setvar(rintern("vorsan_utt"), NIL, NIL);
}

// Gives the units whose pitch marks leave long gaps extra marks (with the
// coefficients of the nearer original mark), on copies of their tracks: the
// voice's cached tracks stay as they are.
void fillUnitGaps(EST_Utterance* u) {
    if (!u->relation_present("Unit")) return;
    for (EST_Item* unit = u->relation("Unit")->head(); unit; unit = inext(unit)) {
        if (!unit->f_present("coefs")) continue;
        const EST_Track& original = *track(unit->f("coefs"));
        std::vector<double> times(static_cast<std::size_t>(original.num_frames()));
        for (int i = 0; i < original.num_frames(); ++i) times[static_cast<std::size_t>(i)] = original.t(i);
        const FilledMarks filled = fillMarkGaps(times);
        if (filled.times.size() == times.size()) continue;
        auto* copy = new EST_Track(static_cast<int>(filled.times.size()), original.num_channels());
        copy->copy_setup(original);
        for (std::size_t i = 0; i < filled.times.size(); ++i) {
            const int row = static_cast<int>(i);
            copy->t(row) = static_cast<float>(filled.times[i]);
            for (int c = 0; c < original.num_channels(); ++c)
                copy->a_no_check(row, c) = original.a_no_check(static_cast<int>(filled.from[i]), c);
        }
        if (unit->f_present("middle_frame")) {
            const int middle = unit->I("middle_frame");
            if (middle >= 0 && static_cast<std::size_t>(middle) < filled.index.size())
                unit->set("middle_frame", static_cast<int>(filled.index[static_cast<std::size_t>(middle)]));
        }
        unit->set_val("coefs", est_val(copy));
    }
}

// Puts our own target pitch marks and frame map into a concatenated
// utterance, so that the overlap-add that follows stays inside its frames
// and its signal. Returns false when the utterance has nothing to say.
bool placeMarks(EST_Utterance* u, const std::function<double(double)>& hzAt, double keepSeconds) {
    if (!u->relation_present("SourceCoef") || !u->relation("SourceCoef")->head()) return false;
    EST_Item* sourceItem = u->relation("SourceCoef")->head();
    if (!sourceItem->f_present("coefs") || !sourceItem->f_present("frame")) return false;
    const EST_Track& source = *track(sourceItem->f("coefs"));
    const EST_WaveVector& frames = *wavevector(sourceItem->f("frame"));
    const int frameCount = std::min(source.num_frames(), static_cast<int>(frames.length()));
    if (frameCount <= 0) return false;
    const float rate = static_cast<float>(frames(0).sample_rate());
    if (!(rate > 0)) return false;

    std::vector<double> sourceMarks(static_cast<std::size_t>(frameCount));
    int widest = 0;
    for (int i = 0; i < frameCount; ++i) {
        sourceMarks[static_cast<std::size_t>(i)] = source.t(i);
        widest = std::max(widest, frames(i).num_samples());
    }
    std::vector<double> sourceEnds, targetEnds;
    for (EST_Item* seg = u->relation("Segment")->head(); seg; seg = inext(seg)) {
        sourceEnds.push_back(seg->F("source_end", 0.0f));
        targetEnds.push_back(seg->F("end", 0.0f));
    }
    // Marks run on past the last segment by the widest frame, so that every
    // frame placed in the part we keep lies inside the signal the overlap-add
    // allocates (up to the last mark plus half the last frame).
    const double marksEnd = std::max(keepSeconds, targetEnds.empty() ? 0.0 : targetEnds.back()) +
                            static_cast<double>(widest) / rate + 0.01;
    std::vector<double> targetMarks = placePitchmarks(hzAt, marksEnd);
    if (targetMarks.empty()) return false;
    // Festival keeps times as float: round once here so that the checks
    // below see what it will see.
    for (double& t : targetMarks) t = static_cast<float>(t);
    std::vector<int> map = mapPitchmarks(sourceMarks, sourceEnds, targetEnds, targetMarks);
    const auto lastSample = [rate](double t) { return static_cast<long>(std::rint(static_cast<float>(t) * rate)); };
    const long bufferEnd = lastSample(targetMarks.back()) + (frames(frames.length() - 1).num_samples() - 1) / 2;
    std::size_t fitting = 0;
    while (fitting < map.size() &&
           lastSample(targetMarks[fitting]) + (frames(map[fitting]).num_samples() - 1) / 2 + 1 < bufferEnd)
        ++fitting;
    map.resize(fitting);
    if (map.empty()) return false;

    auto* target = new EST_Track(static_cast<int>(targetMarks.size()), source.num_channels());
    for (std::size_t i = 0; i < targetMarks.size(); ++i) target->t(static_cast<int>(i)) = static_cast<float>(targetMarks[i]);
    u->create_relation("TargetCoef");
    u->relation("TargetCoef")->append()->set_val("coefs", est_val(target));
    auto* frameMap = new EST_IVector(static_cast<int>(map.size()));
    for (std::size_t i = 0; i < map.size(); ++i) frameMap->a_no_check(static_cast<int>(i)) = map[i];
    u->create_relation("US_map");
    u->relation("US_map")->append()->set_val("map", est_val(frameMap));
    return true;
}

} // namespace

// The Festival interpreter is global and not thread-safe: one thread (the
// synthesiser's worker) makes every call.
class FestivalPlugin final : public FestivalBackEnd {
public:
    void start() override;
    void anchor(void* outermostFrame) override;
    int32_t load(const VoiceDatabase& voice, const std::string& handle, const std::string& indexPath) override;
    std::vector<int16_t> synthesise(const std::string& handle, int32_t nativeRate, const VoiceDatabase& voice,
                                    const SegmentPlan& plan, const PlanPiece& piece,
                                    const std::function<double(double)>& pitchAt) override;

private:
    void select(const std::string& handle);

    bool started_ = false;
    void* anchor_ = nullptr;
    std::string selected_;
};

void FestivalPlugin::anchor(void* outermostFrame) {
    anchor_ = outermostFrame;
    if (started_) stack_start_ptr = static_cast<LISP*>(anchor_);
}

void FestivalPlugin::start() {
    if (started_) return;
    // Without Festival's init files: they would select a default voice with
    // its lexicon (slow, unused here) and read the user's ~/.festivalrc. Nor
    // its Scheme library: the back end's steps are built in, and all they
    // read is set here (the variables, and the parameter set that the
    // library's Param.set would fill).
    festival_initialize(0, kHeapCells);
    // The interpreter's collector marks what the C stack points at, from the
    // frame its start recorded down to the current one. That start must be
    // the outermost frame of the thread that makes every call: recorded
    // deeper, the collector would miss the frames above it and free the
    // expressions being evaluated there.
    if (anchor_) stack_start_ptr = static_cast<LISP*>(anchor_);
    if (!evaluate("(begin us_diphone_init us_db_select us_get_diphones us_unit_concat us_generate_wave"
                  " (set! us_abs_offset 0.0) (set! window_factor 1.0) (set! us_rel_offset 0.0) (set! us_gain 0.9)"
                  " (define Param (feats.make)) (feats.set Param 'unisyn.window_name \"hanning\")"
                  " (feats.set Param 'unisyn.window_factor 1.0) (feats.set Param 'us_sigpr 'lpc))"))
        throw MException("cannot start Festival's diphone synthesiser");
    started_ = true;
}

int32_t FestivalPlugin::load(const VoiceDatabase& voice, const std::string& handle, const std::string& indexPath) {
    start();
    const std::string init = "(us_diphone_init '((name " + quoted(handle) + ") (index_file " + quoted(indexPath) +
                             ") (grouped \"true\") (default_diphone " + quoted(voice.defaultDiphone) + ")))";
    if (!evaluate(init))
        throw MException("cannot load Festival voice '" + voice.festivalVoice + "' from '" + indexPath + "'");
    // Fetch the voice's pause diphone to learn its real sample rate.
    int32_t rate = -1;
    select(handle);
    EST_Utterance* u = new EST_Utterance;
    u->create_relation("Segment");
    add_segment(u, voice.pausePhone.c_str())->set("end", 0.02f);
    add_segment(u, voice.pausePhone.c_str())->set("end", 0.04f);
    setvar(rintern("vorsan_utt"), siod(u), NIL);
    const bool ok = evaluate(kUnitsStep);
    EST_Item* unit = ok && u->relation_present("Unit") ? u->relation("Unit")->head() : nullptr;
    if (unit && unit->f_present("sig")) rate = wave(unit->f("sig"))->sample_rate();
    release(u);
    return rate;
}

void FestivalPlugin::select(const std::string& handle) {
    if (selected_ == handle) return;
    if (!evaluate("(us_db_select " + quoted(handle) + ")"))
        throw MException("cannot select Festival diphone database '" + handle + "'");
    selected_ = handle;
}

std::vector<int16_t> FestivalPlugin::synthesise(const std::string& handle, int32_t nativeRate,
                                                const VoiceDatabase& voice, const SegmentPlan& plan,
                                                const PlanPiece& piece,
                                                const std::function<double(double)>& pitchAt) {
    select(handle);
    const auto& segs = plan.segments;
    const int64_t pieceStart = segs[piece.first].start;
    const int64_t pieceEnd = segs[piece.last - 1].end;
    // One phone of context on each side (a short pause at the ends) gives the
    // piece's outer phones their proper diphones; it is cut off afterwards.
    const int64_t context = std::max<int64_t>(1, plan.voiceFrequency / 12);
    std::vector<PlanSegment> list;
    list.reserve(piece.last - piece.first + 2);
    if (piece.first > 0) {
        PlanSegment prev = segs[piece.first - 1];
        prev.start = std::max(prev.start, pieceStart - context);
        list.push_back(std::move(prev));
    } else {
        list.push_back({voice.pausePhone, {}, {}, pieceStart - context, pieceStart});
    }
    list.insert(list.end(), segs.begin() + static_cast<std::ptrdiff_t>(piece.first),
                segs.begin() + static_cast<std::ptrdiff_t>(piece.last));
    if (piece.last < segs.size()) {
        PlanSegment next = segs[piece.last];
        next.end = std::min(next.end, pieceEnd + context);
        list.push_back(std::move(next));
    } else {
        list.push_back({voice.pausePhone, {}, {}, pieceEnd, pieceEnd + context});
    }
    const int64_t origin = list.front().start;
    const int64_t finish = list.back().end;
    const double rate = nativeRate;
    auto toSeconds = [&](double samples) { return static_cast<float>((samples - static_cast<double>(origin)) / rate); };

    EST_Utterance* u = new EST_Utterance; // owned by the interpreter once wrapped
    u->create_relation("Segment");
    for (const PlanSegment& s : list) {
        EST_Item* item = add_segment(u, s.phone.c_str());
        item->set("end", toSeconds(static_cast<double>(s.end)));
        if (!s.asLeft.empty()) item->set("us_diphone_left", s.asLeft.c_str());
        if (!s.asRight.empty()) item->set("us_diphone_right", s.asRight.c_str());
    }
    // Pitch follows the whole text's contour, so pieces join smoothly.
    const auto hzAt = [&](double t) { return pitchAt(static_cast<double>(origin) + t * rate); };
    const double keep = static_cast<double>(finish - origin) / rate;

    setvar(rintern("vorsan_utt"), siod(u), NIL);
    bool ok = evaluate(kUnitsStep);
    if (ok) {
        fillUnitGaps(u);
        ok = evaluate(kConcatStep) && placeMarks(u, hzAt, keep) && evaluate(kWaveStep);
    }
    EST_Wave* w = ok ? waveOf(u) : nullptr;
    if (!w) {
        release(u);
        throw MException("Festival failed to synthesise with voice '" + voice.name + "'");
    }
    const int64_t count = pieceEnd - pieceStart;
    std::vector<int16_t> out(static_cast<std::size_t>(count), 0);
    const int64_t offset = pieceStart - origin;
    const int64_t available = w->num_samples();
    for (int64_t i = 0; i < count && offset + i < available; ++i) {
        const double v = std::round(w->a_no_check(static_cast<int>(offset + i)) * voice.gain);
        out[static_cast<std::size_t>(i)] = static_cast<int16_t>(std::clamp(v, -32768.0, 32767.0));
    }
    release(u);
    return out;
}

} // namespace vorsan::synth

// The entry point FestivalEngine.cpp looks up (VORSAN_FESTIVAL_ENTRY); the
// plugin's only exported symbol.
extern "C" __attribute__((visibility("default"))) vorsan::synth::FestivalBackEnd*
vorsan_festival_back_end(int version) {
    if (version != vorsan::synth::kFestivalBackEndVersion) return nullptr;
    static auto* plugin = new vorsan::synth::FestivalPlugin; // lives as long as Festival does
    return plugin;
}
