#pragma once
// Where the configuration manager's messages go: the window shows each one in
// a modal message box, tests collect them. An empty sink drops them.
#include <functional>
#include <string>

namespace vorsan::manager {

using MessageSink = std::function<void(const std::string& message)>;

} // namespace vorsan::manager
