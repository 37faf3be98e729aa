#include "vorsan/synth/PartialFiles.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <iterator>

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

int add(const std::string& path) {
    if (path.size() >= sizeof Slot::path) return -1;
    for (int i = 0; i < static_cast<int>(std::size(slots)); ++i) {
        Slot& s = slots[i];
        int expected = Free;
        if (!s.state.compare_exchange_strong(expected, Filled)) continue;
        std::memcpy(s.path, path.c_str(), path.size() + 1);
        s.state.store(Listed);
        return i;
    }
    return -1;
}

// Only the thread that listed a file drops it, by its place: no thread reads
// another's name (only the signal handler does, as the process ends).
void drop(int place) {
    if (place >= 0 && place < static_cast<int>(std::size(slots))) slots[place].state.store(Free);
}

void removeAllNow() noexcept {
    for (Slot& s : slots)
        if (s.state.load() == Listed) std::remove(s.path);
}

} // namespace vorsan::synth::partial
