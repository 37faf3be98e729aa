// The engine's lock and condition on the system's slim reader/writer lock
// and condition variable (exclusive use only).
#include "vorsan/core/Sync.h"

#include <windows.h>

#include <system_error>

namespace vorsan {

namespace {
PSRWLOCK srw(void*& slot) { return reinterpret_cast<PSRWLOCK>(&slot); }
PCONDITION_VARIABLE cv(void*& slot) { return reinterpret_cast<PCONDITION_VARIABLE>(&slot); }
static_assert(sizeof(SRWLOCK) == sizeof(void*) && sizeof(CONDITION_VARIABLE) == sizeof(void*));
} // namespace

void Mutex::lock() { ::AcquireSRWLockExclusive(srw(lock_)); }
void Mutex::unlock() { ::ReleaseSRWLockExclusive(srw(lock_)); }
bool Mutex::try_lock() { return ::TryAcquireSRWLockExclusive(srw(lock_)) != 0; }

void ConditionVariable::notify_one() noexcept { ::WakeConditionVariable(cv(condition_)); }
void ConditionVariable::notify_all() noexcept { ::WakeAllConditionVariable(cv(condition_)); }

bool ConditionVariable::sleep(std::unique_lock<Mutex>& lock, unsigned long ms) {
    if (::SleepConditionVariableSRW(cv(condition_), srw(lock.mutex()->lock_), ms, 0)) return true;
    if (::GetLastError() == ERROR_TIMEOUT) return false;
    throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), "SleepConditionVariableSRW");
}

} // namespace vorsan
