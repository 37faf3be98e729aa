#include "vorsan/synth/PartialFiles.h"

#include <atomic>
#include <cstdio>
#include <cstring>

namespace vorsan::synth::partial {

namespace {
// A slot is Free, being Filled by one thread, or Listed. Only Listed slots
// are read by the handler, and a slot's name is written before it is
// listed, so the handler never sees half a name.
enum : int { Free, Filled, Listed };
struct Slot {
    std::atomic<int> state{Free};
    char path[4096];
};
// One per file being written at once: a conversion writes one file at a
// time, so a few engines in one process fit easily.
Slot slots[32];
} // namespace

void add(const std::string& path) {
    if (path.size() >= sizeof Slot::path) return;
    for (Slot& s : slots) {
        int expected = Free;
        if (!s.state.compare_exchange_strong(expected, Filled)) continue;
        std::memcpy(s.path, path.c_str(), path.size() + 1);
        s.state.store(Listed);
        return;
    }
}

void drop(const std::string& path) {
    for (Slot& s : slots) {
        if (s.state.load() != Listed || path != s.path) continue;
        int expected = Listed;
        if (s.state.compare_exchange_strong(expected, Filled)) s.state.store(Free);
        return;
    }
}

void removeAllNow() noexcept {
    for (Slot& s : slots)
        if (s.state.load() == Listed) std::remove(s.path);
}

} // namespace vorsan::synth::partial
