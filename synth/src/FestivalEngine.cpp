#include "FestivalEngine.h"


#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "FestivalBackEnd.h"
#include "vorsan/core/MException.h"
#include "vorsan/core/Paths.h"
#include "vorsan/core/Platform.h"

// Where the plugin lies; the build defines these (synth/CMakeLists.txt,
// cmake/Install.cmake). VORSAN_FESTIVAL_PLUGIN undefined: this build has no
// Festival back end.
// - VORSAN_FESTIVAL_PLUGIN: the plugin in the build tree, used by a program
//   or library running from inside VORSAN_FESTIVAL_BUILD_DIR;
// - VORSAN_FESTIVAL_FROM_BIN / _FROM_LIB / _FROM_PYTHON: the installed
//   plugin's folder relative to the installed programs, libraries and the
//   Python package's native module, so a moved installation finds it;
// - VORSAN_FESTIVAL_INSTALL_DIRS: absolute installed folders (':'-separated),
//   for programs installed elsewhere (the speech-dispatcher module).
#ifndef VORSAN_FESTIVAL_BUILD_DIR
#define VORSAN_FESTIVAL_BUILD_DIR ""
#endif
#ifndef VORSAN_FESTIVAL_FROM_BIN
#define VORSAN_FESTIVAL_FROM_BIN ""
#endif
#ifndef VORSAN_FESTIVAL_FROM_LIB
#define VORSAN_FESTIVAL_FROM_LIB ""
#endif
#ifndef VORSAN_FESTIVAL_FROM_PYTHON
#define VORSAN_FESTIVAL_FROM_PYTHON ""
#endif
#ifndef VORSAN_FESTIVAL_FROM_PRIVATE
#define VORSAN_FESTIVAL_FROM_PRIVATE ""
#endif
#ifndef VORSAN_FESTIVAL_INSTALL_DIRS
#define VORSAN_FESTIVAL_INSTALL_DIRS ""
#endif

namespace vorsan::synth {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPluginFile = "libvorsan_festival.so";

bool exists(const std::string& p) {
    std::error_code ec;
    return fs::exists(platform::nativePath(p), ec);
}

} // namespace

std::vector<std::string> FestivalEngine::pluginCandidates() {
#ifndef VORSAN_FESTIVAL_PLUGIN
    return {};
#else
    std::vector<std::string> out;
    const auto add = [&out](const fs::path& p) {
        const std::string s = platform::utf8Path(p.lexically_normal());
        if (std::find(out.begin(), out.end(), s) == out.end()) out.push_back(s);
    };
    // Given explicitly (tests, a plugin kept elsewhere).
    if (std::string v = platform::environment("VORSAN_FESTIVAL_PLUGIN").value_or(""); !v.empty()) return {v};
    // Installed: the private library folder at its place relative to the
    // module in the installation layout, then the folders the build was
    // configured to install into; from the build tree, the plugin built there.
    const InstallationPlaces places =
        installationPlaces(VORSAN_FESTIVAL_BUILD_DIR,
                           {VORSAN_FESTIVAL_FROM_BIN, VORSAN_FESTIVAL_FROM_LIB, VORSAN_FESTIVAL_FROM_PYTHON,
                            VORSAN_FESTIVAL_FROM_PRIVATE},
                           VORSAN_FESTIVAL_INSTALL_DIRS);
    if (places.inBuildTree) return {VORSAN_FESTIVAL_PLUGIN};
    for (const auto* list : {&places.fromModule, &places.configured})
        for (const std::string& dir : *list) add(platform::nativePath(dir) / kPluginFile);
    // The one that exists first; the others stay for the message.
    const auto found = std::find_if(out.begin(), out.end(), [](const std::string& p) { return exists(p); });
    if (found != out.end()) std::rotate(out.begin(), found, found + 1);
    return out;
#endif
}

FestivalBackEnd& FestivalEngine::backEnd() {
    if (backEnd_) return *backEnd_;
    const std::vector<std::string> candidates = pluginCandidates();
    if (candidates.empty())
        throw MException("this build of Vorsan has no Festival back end (configured with VORSAN_FESTIVAL=OFF)");
    const std::string& path = candidates.front();
    if (!exists(path)) {
        std::string tried;
        for (const auto& c : candidates) tried += (tried.empty() ? "" : ", ") + c;
        throw MException("Festival's back end is not installed: no plugin " + std::string(kPluginFile) +
                         " (looked for " + tried + ")");
    }
    // Kept loaded for the rest of the process, as Festival's state is.
    std::string why;
    void* library = platform::loadLibrary(path, why);
    if (!library) throw MException("cannot load Festival's back end plugin " + path + ": " + why);
    auto entry = reinterpret_cast<VorsanFestivalEntry>(platform::librarySymbol(library, VORSAN_FESTIVAL_ENTRY));
    FestivalBackEnd* backEnd = entry ? entry(kFestivalBackEndVersion) : nullptr;
    if (!backEnd) {
        platform::unloadLibrary(library);
        throw MException("Festival's back end plugin " + path + " does not fit this build of Vorsan (" +
                         (entry ? "another interface version" : "no entry point " VORSAN_FESTIVAL_ENTRY) + ")");
    }
    if (anchor_) backEnd->anchor(anchor_);
    backEnd_ = backEnd;
    return *backEnd_;
}

void FestivalEngine::anchor(void* outermostFrame) {
    anchor_ = outermostFrame;
    if (backEnd_) backEnd_->anchor(anchor_);
}

FestivalEngine& FestivalEngine::instance() {
    static FestivalEngine* engine = new FestivalEngine; // lives as long as Festival does
    return *engine;
}

void FestivalEngine::start() { backEnd().start(); }

const LoadedVoice& FestivalEngine::load(const VoiceDatabase& voice) {
    FestivalBackEnd& festival = backEnd();
    festival.start();
    const std::string indexPath = diphoneIndexPath(voice);
    const std::string key = indexPath + "|" + voice.defaultDiphone;
    if (auto it = voices_.find(key); it != voices_.end()) {
        if (it->second->nativeRate != voice.nativeRate)
            throw MException("voice '" + voice.name + "' declares a native rate of " + std::to_string(voice.nativeRate) +
                             " Hz but its Festival voice speaks at " + std::to_string(it->second->nativeRate) + " Hz");
        return *it->second;
    }
    auto loaded = std::make_unique<LoadedVoice>();
    loaded->index = DiphoneIndex::read(indexPath, true);
    if (auto dash = voice.defaultDiphone.find('-');
        dash == std::string::npos ||
        !loaded->index.has(voice.defaultDiphone.substr(0, dash), voice.defaultDiphone.substr(dash + 1)))
        throw MException("voice '" + voice.name + "': default diphone '" + voice.defaultDiphone + "' is not in the voice");
    loaded->handle = "vorsan_voice_" + std::to_string(++handles_);
    LoadedVoice& kept = *voices_.emplace(key, std::move(loaded)).first->second;
    kept.nativeRate = -1;
    try {
        kept.nativeRate = festival.load(voice, kept.handle, indexPath);
    } catch (...) {
        voices_.erase(key);
        throw;
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

std::vector<int16_t> FestivalEngine::synthesise(const LoadedVoice& loaded, const VoiceDatabase& voice,
                                                const SegmentPlan& plan, const PlanPiece& piece) {
    return backEnd().synthesise(loaded.handle, loaded.nativeRate, voice, plan, piece,
                                [&plan](double at) { return plan.pitchAt(at); });
}

} // namespace vorsan::synth
