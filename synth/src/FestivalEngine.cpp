#include "FestivalEngine.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <sstream>

#include "vorsan/core/MException.h"

// Festival's headers are old-style and pull in much of the speech tools.
#include <festival.h>
#include <intonation.h>
#include <modules.h>

namespace vorsan::synth {

namespace {

// Heap of the Scheme interpreter, in cells: enough for our short utterances;
// Festival's default costs hundreds of megabytes and a slow start.
constexpr int kHeapCells = 500000;

// The back end's steps, without any of the voice's text-processing hooks:
// diphone selection, concatenation, pitch from the targets, pitch marks,
// mapping and LPC resynthesis.
const char* kSynthesiseDefinition =
    "(define (vorsan_synthesise utt pm_end)"
    "  (us_get_diphones utt)"
    "  (us_unit_concat utt)"
    "  (targets_to_f0 utt)"
    "  (us_f0_to_pitchmarks utt 'f0 'TargetCoef pm_end)"
    "  (us_mapping utt 'segment_single)"
    "  (us_generate_wave utt 'lpc 'analysis_period)"
    "  utt)";

// Collects what Festival writes to std::cerr while it works (it reports
// missing diphones there) and hands other text on to the real stream.
class CerrCapture {
public:
    CerrCapture() : old_(std::cerr.rdbuf(buffer_.rdbuf())) {}
    ~CerrCapture() { std::cerr.rdbuf(old_); }
    CerrCapture(const CerrCapture&) = delete;
    CerrCapture& operator=(const CerrCapture&) = delete;

    // Diphone complaints go to `missing`; everything else to stderr.
    void sort(std::vector<std::string>& missing) {
        std::cerr.rdbuf(old_);
        std::istringstream lines(buffer_.str());
        for (std::string line; std::getline(lines, line);) {
            if (line.find("diphone") != std::string::npos) {
                // "UniSyn: using default diphone X for a-b"
                auto pos = line.rfind(' ');
                std::string pair = pos == std::string::npos ? line : line.substr(pos + 1);
                if (std::find(missing.begin(), missing.end(), pair) == missing.end()) missing.push_back(pair);
            } else if (!line.empty()) {
                std::cerr << line << '\n';
            }
        }
        buffer_.str({});
        std::cerr.rdbuf(buffer_.rdbuf());
    }

private:
    std::ostringstream buffer_;
    std::streambuf* old_;
};

bool evaluate(const std::string& expression) { return festival_eval_command(EST_String(expression.c_str())) != 0; }

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string seconds(double s) {
    std::ostringstream out;
    out.precision(9);
    out << std::fixed << s;
    return out.str();
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

} // namespace

FestivalEngine& FestivalEngine::instance() {
    static FestivalEngine* engine = new FestivalEngine; // lives as long as Festival does
    return *engine;
}

void FestivalEngine::start() {
    if (started_) return;
    // Without Festival's init files: they would select a default voice with
    // its lexicon (slow, unused here) and read the user's ~/.festivalrc. Only
    // the Scheme library the back end's steps need is loaded.
    festival_initialize(0, kHeapCells);
    if (!evaluate("(load (path-append datadir \"siod.scm\"))") || !evaluate("(require 'cstr)") ||
        !evaluate("(require 'festival)") || !evaluate("(require 'synthesis)") || !evaluate("(require_module 'UniSyn)") || !evaluate(kSynthesiseDefinition) ||
        !evaluate("(begin (set! us_abs_offset 0.0) (set! window_factor 1.0) (set! us_rel_offset 0.0) (set! us_gain 0.9)"
                  " (Param.set 'unisyn.window_name \"hanning\") (Param.set 'unisyn.window_factor 1.0)"
                  " (Parameter.set 'us_sigpr 'lpc))"))
        throw MException("cannot start Festival's diphone synthesiser");
    started_ = true;
}

const LoadedVoice& FestivalEngine::load(const VoiceDatabase& voice) {
    start();
    const std::string indexPath = diphoneIndexPath(voice);
    const std::string key = indexPath + "|" + voice.defaultDiphone;
    if (auto it = voices_.find(key); it != voices_.end()) {
        if (it->second->nativeRate != voice.nativeRate)
            throw MException("voice '" + voice.name + "' declares a native rate of " + std::to_string(voice.nativeRate) +
                             " Hz but its Festival voice speaks at " + std::to_string(it->second->nativeRate) + " Hz");
        return *it->second;
    }
    auto loaded = std::make_unique<LoadedVoice>();
    loaded->index = DiphoneIndex::read(indexPath);
    if (auto dash = voice.defaultDiphone.find('-');
        dash == std::string::npos ||
        !loaded->index.has(voice.defaultDiphone.substr(0, dash), voice.defaultDiphone.substr(dash + 1)))
        throw MException("voice '" + voice.name + "': default diphone '" + voice.defaultDiphone + "' is not in the voice");
    loaded->handle = "vorsan_voice_" + std::to_string(++handles_);
    const std::string init = "(us_diphone_init (list (list 'name " + quoted(loaded->handle) + ") (list 'index_file " +
                             quoted(indexPath) + ") '(grouped \"true\") (list 'default_diphone " +
                             quoted(voice.defaultDiphone) + ")))";
    {
        std::vector<std::string> ignored;
        CerrCapture capture;
        const bool ok = evaluate(init);
        capture.sort(ignored);
        if (!ok) throw MException("cannot load Festival voice '" + voice.festivalVoice + "' from '" + indexPath + "'");
    }
    // Ask the voice for a moment of silence to learn its real sample rate.
    LoadedVoice& kept = *voices_.emplace(key, std::move(loaded)).first->second;
    std::vector<std::string> ignored;
    kept.nativeRate = -1;
    {
        select(kept);
        EST_Utterance* u = new EST_Utterance;
        u->create_relation("Segment");
        u->create_relation("Target");
        EST_Item* pau = add_segment(u, voice.pausePhone.c_str());
        pau->set("end", 0.02f);
        add_target(u, pau, 0.01f, static_cast<float>(voice.defaultPitch));
        setvar(rintern("vorsan_utt"), siod(u), NIL);
        CerrCapture capture;
        const bool ok = evaluate("(vorsan_synthesise vorsan_utt 0.04)");
        capture.sort(ignored);
        EST_Wave* probeWave = ok ? waveOf(u) : nullptr;
        kept.nativeRate = probeWave ? probeWave->sample_rate() : -1;
        release(u);
    }
    if (kept.nativeRate != voice.nativeRate) {
        const int32_t real = kept.nativeRate;
        voices_.erase(key);
        if (real < 0) throw MException("Festival voice '" + voice.festivalVoice + "' does not synthesise");
        throw MException("voice '" + voice.name + "' declares a native rate of " + std::to_string(voice.nativeRate) +
                         " Hz but its Festival voice speaks at " + std::to_string(real) + " Hz");
    }
    return kept;
}

void FestivalEngine::select(const LoadedVoice& loaded) {
    if (selected_ == loaded.handle) return;
    if (!evaluate("(us_db_select " + quoted(loaded.handle) + ")"))
        throw MException("cannot select Festival diphone database '" + loaded.handle + "'");
    selected_ = loaded.handle;
}

std::vector<int16_t> FestivalEngine::synthesise(const LoadedVoice& loaded, const VoiceDatabase& voice,
                                                const SegmentPlan& plan, const PlanPiece& piece,
                                                std::vector<std::string>& missing) {
    select(loaded);
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
    const double rate = loaded.nativeRate;
    auto toSeconds = [&](double samples) { return static_cast<float>((samples - static_cast<double>(origin)) / rate); };

    EST_Utterance* u = new EST_Utterance; // owned by the interpreter once wrapped
    u->create_relation("Segment");
    u->create_relation("Target");
    std::vector<EST_Item*> items;
    items.reserve(list.size());
    for (const PlanSegment& s : list) {
        EST_Item* item = add_segment(u, s.phone.c_str());
        item->set("end", toSeconds(static_cast<double>(s.end)));
        if (!s.asLeft.empty()) item->set("us_diphone_left", s.asLeft.c_str());
        if (!s.asRight.empty()) item->set("us_diphone_right", s.asRight.c_str());
        items.push_back(item);
    }
    // Pitch: the whole text's contour at both ends, and every target between.
    std::size_t owner = 0;
    auto addTarget = [&](double at, double hz) {
        while (owner + 1 < list.size() && static_cast<double>(list[owner].end) < at) ++owner;
        add_target(u, items[owner], toSeconds(at), static_cast<float>(hz));
    };
    addTarget(static_cast<double>(origin), plan.pitchAt(static_cast<double>(origin)));
    auto from = std::upper_bound(plan.targets.begin(), plan.targets.end(), static_cast<double>(origin),
                                 [](double t, const PlanTarget& p) { return t < p.at; });
    for (auto it = from; it != plan.targets.end() && it->at < static_cast<double>(finish); ++it) addTarget(it->at, it->hz);
    addTarget(static_cast<double>(finish), plan.pitchAt(static_cast<double>(finish)));

    LISP wrapped = siod(u);
    setvar(rintern("vorsan_utt"), wrapped, NIL);
    bool ok = false;
    {
        CerrCapture capture;
        ok = evaluate("(vorsan_synthesise vorsan_utt " + seconds(static_cast<double>(finish - origin) / rate + 0.02) + ")");
        capture.sort(missing);
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
