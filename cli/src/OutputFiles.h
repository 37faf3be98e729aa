#pragma once
// Delivering the engine's per-run sound files under the name the user chose.
#include <string>

#include "vorsan/core/PhonemeText.h"

namespace vorsan::cli {

// One file is moved to `output`. Several files (one per language run) are
// joined into `output` when they share their sample rate and format, which
// is what a listener expects of one name; otherwise they become
// `output` with -1, -2 ... before the extension. Returns the paths written.
StringList deliverOutputs(const StringList& written, const std::string& output);

} // namespace vorsan::cli
