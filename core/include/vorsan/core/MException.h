#pragma once
// The engine's one exception type: a single 8-bit (UTF-8) message.
// It deliberately does not derive from std::exception, so the XML guard can
// tell the engine's own failures apart from the standard library's.
#include <string>
#include <utility>

namespace vorsan {

class MException {
public:
    explicit MException(std::string message) : message_(std::move(message)) {}
    const std::string& message() const noexcept { return message_; }

private:
    std::string message_;
};

} // namespace vorsan
