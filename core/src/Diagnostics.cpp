#include "vorsan/core/Diagnostics.h"

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

namespace vorsan {

namespace {

std::mutex& sinkMutex() {
    static std::mutex m;
    return m;
}

std::shared_ptr<const DiagnosticSink>& currentSink() {
    static std::shared_ptr<const DiagnosticSink> sink;
    return sink;
}

void toStandardError(std::string_view line) {
    std::string text(line);
    text += '\n';
    std::fwrite(text.data(), 1, text.size(), stderr);
}

} // namespace

DiagnosticSink setDiagnosticSink(DiagnosticSink sink) {
    auto next = sink ? std::make_shared<const DiagnosticSink>(std::move(sink)) : nullptr;
    std::lock_guard lock(sinkMutex());
    auto previous = std::exchange(currentSink(), std::move(next));
    return previous ? *previous : DiagnosticSink{};
}

void diagnose(std::string_view line) {
    std::shared_ptr<const DiagnosticSink> sink;
    {
        std::lock_guard lock(sinkMutex());
        sink = currentSink();
    }
    // Each line is whole: a sink's caller never sees the line end.
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    if (sink) (*sink)(line);
    else toStandardError(line);
}

} // namespace vorsan
