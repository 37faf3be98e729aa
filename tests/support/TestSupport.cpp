#include "vorsan/testing/TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace vorsan::testing {

namespace fs = std::filesystem;

TempProfile::TempProfile() {
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path p = fs::temp_directory_path() / ("vorsan-test-" + std::to_string(rd()));
        if (fs::create_directory(p)) {
            dir_ = p;
            break;
        }
    }
    if (dir_.empty()) throw std::runtime_error("cannot create a temporary profile folder");
    if (const char* old = std::getenv("USERPROFILE")) {
        hadProfile_ = true;
        oldProfile_ = old;
    }
    setenv("USERPROFILE", dir_.c_str(), 1);
}

TempProfile::~TempProfile() {
    if (hadProfile_) setenv("USERPROFILE", oldProfile_.c_str(), 1);
    else unsetenv("USERPROFILE");
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
}

std::string TempProfile::write(const std::string& relative, std::string_view content) const {
    fs::path p = dir_ / relative;
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return p.string();
}

std::string sourcePath(const std::string& relative) { return std::string(VORSAN_SOURCE_DIR) + "/" + relative; }

struct CoutCapture::Impl {
    std::ostringstream buffer;
    std::streambuf* old = nullptr;
};

CoutCapture::CoutCapture() : impl_(new Impl) { impl_->old = std::cout.rdbuf(impl_->buffer.rdbuf()); }
CoutCapture::~CoutCapture() {
    std::cout.rdbuf(impl_->old);
    delete impl_;
}
std::string CoutCapture::text() const { return impl_->buffer.str(); }

} // namespace vorsan::testing
