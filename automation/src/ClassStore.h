#pragma once
// Where class registrations are kept: the registry files on POSIX systems
// (FileRegistry.cpp), the Windows registry's Software\Classes on Windows
// (WindowsRegistry.cpp). Keys and value names as in the Windows registry;
// "@" names a key's default value. No COM-shaped types here, so that the
// Windows store can include the system's headers.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vorsan::registry {

class ClassStore {
public:
    virtual ~ClassStore() = default;
    virtual std::optional<std::string> value(std::string_view key, std::string_view name) const = 0;
    virtual void setValue(std::string_view key, std::string_view name, std::string_view value) = 0;
    // Removes the key and every key below it.
    virtual void removeTree(std::string_view key) = 0;
    // Makes the changes lasting; false when they could not be written.
    virtual bool commit() = 0;
};

// The store registration writes to: on POSIX systems the user's file unless
// $VORSAN_REGISTRY_SCOPE is "system"; on Windows the machine's keys unless it
// is "user". nullptr when it cannot be read.
std::unique_ptr<ClassStore> registrationStore();

// A value from the user's store, else the machine's.
std::optional<std::string> storedValue(std::string_view key, std::string_view name);

} // namespace vorsan::registry
