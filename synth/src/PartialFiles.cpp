#include "vorsan/synth/PartialFiles.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iterator>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <pthread.h>
#endif

#include "vorsan/core/Platform.h"

namespace vorsan::synth::partial {

namespace {
// A slot is Free, Creating (its file being made by one thread), or Listed.
// Only Listed slots are read by the handler, and a slot's name is written
// before it is listed, so the handler never sees half a name.
enum : int { Free, Creating, Listed };
struct Slot {
    std::atomic<int> state{Free};
    char path[4096];
};
// One per file being written at once: a conversion writes one file at a
// time, so a few engines in one process fit easily.
Slot slots[32];

// Claims a free slot (marks it Creating); null when all are taken.
Slot* claim() {
    for (Slot& s : slots) {
        int expected = Free;
        if (s.state.compare_exchange_strong(expected, Creating)) return &s;
    }
    return nullptr;
}

// Lists a claimed slot under the name.
int list(Slot& slot, const std::string& name) {
    std::memcpy(slot.path, name.c_str(), name.size() + 1);
    slot.state.store(Listed);
    return static_cast<int>(&slot - slots);
}
} // namespace

// The signals that end a conversion, held back from the creating thread
// while a slot is Creating: the handler then runs on another thread, which
// waits for the slot (removeAllNow), or on this one once the file is listed.
class HeldSignals {
public:
#ifndef _WIN32
    HeldSignals() {
        sigset_t held;
        sigemptyset(&held);
        for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&held, sig);
        pthread_sigmask(SIG_BLOCK, &held, &before_);
    }
    ~HeldSignals() { pthread_sigmask(SIG_SETMASK, &before_, nullptr); }

private:
    sigset_t before_;
#endif
};

int create(const std::string& prefix, std::string& name, int& place, std::string* why) {
    place = -1;
    [[maybe_unused]] const HeldSignals held;
    Slot* slot = claim();
    const int fd = platform::createUniqueFile(prefix, true, name, why);
    if (!slot) return fd;
    if (fd < 0 || name.size() >= sizeof Slot::path) {
        slot->state.store(Free);
        return fd;
    }
    place = list(*slot, name);
    return fd;
}

int add(const std::string& path) {
    if (path.size() >= sizeof Slot::path) return -1;
    Slot* slot = claim();
    return slot ? list(*slot, path) : -1;
}

// Only the thread that listed a file drops it, by its place: no thread reads
// another's name (only the signal handler does, as the process ends).
void drop(int place) {
    if (place >= 0 && place < static_cast<int>(std::size(slots))) slots[place].state.store(Free);
}

void removeAllNow() noexcept {
    for (Slot& s : slots) {
        // A file being made by another thread is listed within moments
        // (that thread holds the signals back meanwhile): wait up to a
        // second for it.
        for (int waits = 0; s.state.load() == Creating && waits < 1000; ++waits) {
#ifdef _WIN32
            ::Sleep(1);
#else
            const timespec ms{0, 1000000};
            nanosleep(&ms, nullptr);
#endif
        }
        if (s.state.load() == Listed) std::remove(s.path);
    }
}

} // namespace vorsan::synth::partial
