#pragma once
// Book-keeping of the voice's server library for DllCanUnloadNow: its live
// objects (the voice objects and the class factories) and the factory locks.
namespace vorsan::voice {

void objectCreated();
void objectDestroyed();
long liveObjects();
void lockServer(bool lock);
long serverLocks();

} // namespace vorsan::voice
