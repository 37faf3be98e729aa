#pragma once
// The sound files this process is writing under a temporary name. A program
// ended by a signal removes them from its handler (removeAllNow allocates
// nothing and takes no lock), so an interrupted conversion leaves neither
// its temporary nor a changed target behind. Only names this process made
// are listed: another process's temporaries are never touched.
#include <string>

namespace vorsan::synth::partial {

// Lists `path` (a file just created); a name that does not fit the fixed
// table is simply not listed.
void add(const std::string& path);
// Takes `path` off the list (renamed into place or removed).
void drop(const std::string& path);
// Removes every listed file. Safe in a signal handler.
void removeAllNow() noexcept;

} // namespace vorsan::synth::partial
