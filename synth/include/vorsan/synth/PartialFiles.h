#pragma once
// The sound files this process is writing under a temporary name. A program
// ended by a signal removes them from its handler (removeAllNow allocates
// nothing and takes no lock), so an interrupted conversion leaves neither
// its temporary nor a changed target behind. Only names this process made
// are listed: another process's temporaries are never touched.
#include <string>

namespace vorsan::synth::partial {

// Creates a new file named `prefix` and six characters (readable by all,
// as platform::createUniqueFile) and lists it in the same step: a signal
// that ends the process while it is being made still finds it. Returns the
// open descriptor (-1 on failure, with the reason in `why`), its name in
// `name` and its place in the list in `place`, to be dropped by (-1 when
// the name does not fit the fixed table: it is then simply not listed).
int create(const std::string& prefix, std::string& name, int& place, std::string* why = nullptr);
// Lists `path`, a file of this process's own (made, or about to be made, by
// it under a name no other process takes), and returns its place; -1 when
// the name does not fit the fixed table (it is then simply not listed).
int add(const std::string& path);
// Takes the file at `place` (what add returned) off the list: renamed into
// place or removed. -1 does nothing.
void drop(int place);
// Removes every listed file. Safe in a signal handler.
void removeAllNow() noexcept;

} // namespace vorsan::synth::partial
