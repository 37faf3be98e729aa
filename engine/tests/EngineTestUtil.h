#pragma once
#include <functional>
#include <string>

#include "vorsan/core/MException.h"

namespace vorsan::testing {

// The message an operation fails with, or "no failure".
inline std::string messageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const MException& e) {
        return e.message();
    }
    return "no failure";
}

} // namespace vorsan::testing
