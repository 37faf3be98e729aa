#pragma once
// The engine's few diagnostic lines (a file that failed to parse, a missing
// dictionary, a diphone no voice has) go to one sink the application
// chooses. By default they go to standard error, one line each; nothing in
// the libraries ever writes to standard output, so a program may speak a
// protocol there (the speech-dispatcher module does).
#include <functional>
#include <string_view>

namespace vorsan {

using DiagnosticSink = std::function<void(std::string_view line)>;

// Replaces the process's sink and returns the previous one. An empty sink
// restores standard error. Safe to call from any thread; a line being
// delivered meanwhile still goes to the old sink.
DiagnosticSink setDiagnosticSink(DiagnosticSink sink);

// Hands one line (without its line end) to the sink.
void diagnose(std::string_view line);

} // namespace vorsan
