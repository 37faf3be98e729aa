// The class registry's store on POSIX systems: the user's registry file and
// the system's.
#include "ClassStore.h"
#include "vorsan/automation/Registry.h"

namespace vorsan::registry {

namespace {

class FileStore final : public ClassStore {
public:
    explicit FileStore(std::string path) : path_(std::move(path)) {}
    bool load() { return file_.load(path_); }

    std::optional<std::string> value(std::string_view key, std::string_view name) const override {
        return file_.value(key, name);
    }
    void setValue(std::string_view key, std::string_view name, std::string_view value) override {
        file_.setValue(key, name, value);
    }
    void removeTree(std::string_view key) override { file_.removeTree(key); }
    bool commit() override { return file_.save(path_); }

private:
    std::string path_;
    RegistryFile file_;
};

} // namespace

std::unique_ptr<ClassStore> registrationStore() {
    auto store = std::make_unique<FileStore>(registrationTargetPath());
    if (!store->load()) return nullptr;
    return store;
}

std::optional<std::string> storedValue(std::string_view key, std::string_view name) {
    for (const std::string& path : {userRegistryPath(), systemRegistryPath()}) {
        RegistryFile file;
        if (!file.load(path)) continue;
        if (auto v = file.value(key, name)) return v;
    }
    return std::nullopt;
}

} // namespace vorsan::registry
