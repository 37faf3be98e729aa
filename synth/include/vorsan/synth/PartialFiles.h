#pragma once
// The sound files this process is writing under a temporary name. A program
// ended by a signal removes them from its handler (removeAllNow allocates
// nothing and takes no lock), so an interrupted conversion leaves neither
// its temporary nor a changed target behind. Only names this process made
// are listed: another process's temporaries are never touched.
#include <string>

namespace vorsan::synth::partial {

// Lists `path` (a file just created) and returns its place in the list, to
// be dropped by; -1 when the name does not fit the fixed table (it is then
// simply not listed).
int add(const std::string& path);
// Takes the file at `place` (what add returned) off the list: renamed into
// place or removed. -1 does nothing.
void drop(int place);
// Removes every listed file. Safe in a signal handler.
void removeAllNow() noexcept;

} // namespace vorsan::synth::partial
