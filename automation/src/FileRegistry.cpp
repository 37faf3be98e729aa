// The class registry's store on POSIX systems: the user's registry file and
// the system's.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "ClassStore.h"
#include "vorsan/automation/Registry.h"

namespace vorsan::registry {

namespace {

namespace fs = std::filesystem;

// An advisory lock on the lock file beside a registry file, held from before
// it is read until its new version has been renamed into place, so that two
// registrations at once both stay (each reads what the other wrote).
class RegistryLock {
public:
    explicit RegistryLock(const std::string& path) {
        std::error_code ec;
        const fs::path p(path);
        if (p.has_parent_path()) fs::create_directories(p.parent_path(), ec);
        fd_ = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) return;
        while (::flock(fd_, LOCK_EX) != 0)
            if (errno != EINTR) {
                ::close(fd_);
                fd_ = -1;
                return;
            }
    }
    ~RegistryLock() {
        if (fd_ >= 0) ::close(fd_); // closing the descriptor releases the lock
    }
    RegistryLock(const RegistryLock&) = delete;
    RegistryLock& operator=(const RegistryLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// The registry file, locked from before it is read until its new version
// is in place.
class FileStore final : public ClassStore {
public:
    explicit FileStore(std::string path) : path_(std::move(path)), lock_(path_) {}
    bool load() { return lock_.held() && file_.load(path_); }

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
    RegistryLock lock_;
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
