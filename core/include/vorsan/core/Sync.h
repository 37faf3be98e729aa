#pragma once
// The lock and the condition the engine's threads hand work over with.
//
// On POSIX systems these are the standard library's. On Windows the
// standard library of MinGW-w64 builds them on semaphores and events, so
// every contended lock and every wake-up is a call into the kernel (under
// Wine a round trip to its server, several per sentence); the system's own
// slim reader/writer lock and condition variable wait in user space until
// they really must sleep. Same interface as std::mutex and
// std::condition_variable for the parts the engine uses.
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace vorsan {

#ifdef _WIN32

class Mutex {
public:
    Mutex() = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;
    void lock();
    void unlock();
    bool try_lock();

private:
    friend class ConditionVariable;
    void* lock_ = nullptr; // an SRWLOCK, whose initial state is all zero
};

class ConditionVariable {
public:
    ConditionVariable() = default;
    ConditionVariable(const ConditionVariable&) = delete;
    ConditionVariable& operator=(const ConditionVariable&) = delete;
    void notify_one() noexcept;
    void notify_all() noexcept;

    void wait(std::unique_lock<Mutex>& lock) { sleep(lock, kForever); }
    template <class Predicate>
    void wait(std::unique_lock<Mutex>& lock, Predicate ready) {
        while (!ready()) wait(lock);
    }
    template <class Rep, class Period>
    std::cv_status wait_for(std::unique_lock<Mutex>& lock, const std::chrono::duration<Rep, Period>& time) {
        return sleep(lock, milliseconds(time)) ? std::cv_status::no_timeout : std::cv_status::timeout;
    }
    template <class Rep, class Period, class Predicate>
    bool wait_for(std::unique_lock<Mutex>& lock, const std::chrono::duration<Rep, Period>& time, Predicate ready) {
        const auto deadline = std::chrono::steady_clock::now() + time;
        while (!ready()) {
            const auto left = deadline - std::chrono::steady_clock::now();
            if (left <= left.zero()) return ready();
            sleep(lock, milliseconds(left));
        }
        return true;
    }

private:
    static constexpr unsigned long kForever = 0xFFFFFFFFul;
    // Rounded up, so a short wait never becomes a busy loop of zero waits.
    template <class Rep, class Period>
    static unsigned long milliseconds(const std::chrono::duration<Rep, Period>& time) {
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(time).count();
        return ms <= 0 ? 0ul : ms >= static_cast<long long>(kForever) ? kForever - 1 : static_cast<unsigned long>(ms);
    }
    // False when the time ran out.
    bool sleep(std::unique_lock<Mutex>& lock, unsigned long ms);
    void* condition_ = nullptr; // a CONDITION_VARIABLE, likewise all zero at first
};

#else

using Mutex = std::mutex;
using ConditionVariable = std::condition_variable;

#endif

} // namespace vorsan
