// The platform layer with names in Indian scripts: every file operation the
// engine makes keeps such a name intact (on Windows a narrow-string path
// would pass it through the ANSI code page and open another file, or none).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "vorsan/core/CompiledCache.h"
#include "vorsan/core/MappedFile.h"
#include "vorsan/core/Paths.h"
#include "vorsan/core/Platform.h"
#include "vorsan/core/RegularFile.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using vorsan::testing::TempProfile;
namespace fs = std::filesystem;

namespace {
// A file's bytes, read through the system's own (wide, on Windows) path.
std::string bytesAt(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
} // namespace

TEST(Platform, NamesInIndianScriptsSurviveEveryFileOperation) {
    // The profile folder itself is named in Devanagari, as a user's may be.
    TempProfile profile("-प्रयोक्ता");
    EXPECT_EQ(profileFolder(), profile.folder());
    ASSERT_TRUE(fs::is_directory(platform::nativePath(profileFolder())));

    // A name goes to the system and back unchanged, one character per letter.
    const std::string name = profile.folder() + "/नमस्ते-வணக்கம்.txt";
    EXPECT_EQ(platform::utf8Path(platform::nativePath(name)), name);
    EXPECT_EQ(platform::utf8Path(platform::nativePath(name).filename()), "नमस्ते-வணக்கம்.txt");

    // Written under a temporary name, renamed over an older file: the
    // new bytes, and nothing else left in the folder.
    { std::ofstream(platform::nativePath(name), std::ios::binary) << "old"; }
    std::string temp;
    const int fd = platform::createUniqueFile(name + ".", false, temp);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(temp.rfind(name + ".", 0), 0u) << temp;
    ASSERT_TRUE(platform::writeAll(fd, std::string("new\r\nbytes\n\x1a!", 13)));
    ASSERT_TRUE(platform::closeFile(fd));
    ASSERT_TRUE(platform::replaceFile(temp, name));
    EXPECT_EQ(bytesAt(platform::nativePath(name)), std::string("new\r\nbytes\n\x1a!", 13)); // no newline translation
    EXPECT_EQ(std::distance(fs::directory_iterator(profile.path()), fs::directory_iterator()), 1);

    // Read and mapped by that name, byte for byte (and closed again: an
    // open file stays until its last handle goes, on Windows).
    {
        RegularFile file(name);
        ASSERT_TRUE(file.open());
        EXPECT_EQ(file.size(), 13u);
        std::string read;
        ASSERT_TRUE(file.readAll(read, 100));
        EXPECT_EQ(read, std::string("new\r\nbytes\n\x1a!", 13));
        const MappedFile mapped(name);
        ASSERT_TRUE(mapped.mapped());
        EXPECT_EQ(mapped.bytes(), read);
        EXPECT_EQ(compiledcache::readFile(name).value_or(""), read);
        std::FILE* f = platform::openFile(name, "rb");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }

    // The same name in another script is another file, not this one.
    EXPECT_EQ(RegularFile(profile.folder() + "/नमस्ते-வணக்கம.txt").state(), RegularFile::State::Missing);
    EXPECT_TRUE(platform::removeFile(name));
    EXPECT_EQ(RegularFile(name).state(), RegularFile::State::Missing);
    EXPECT_FALSE(platform::replaceFile(temp, name));

    // Environment values in any script, set and removed.
    platform::setEnvironment("VORSAN_TEST_VALUE", "மொழி भाषा");
    EXPECT_EQ(platform::environment("VORSAN_TEST_VALUE").value_or(""), "மொழி भाषा");
    platform::setEnvironment("VORSAN_TEST_VALUE", std::nullopt);
    EXPECT_FALSE(platform::environment("VORSAN_TEST_VALUE"));

    // The running program's own file is known (the data folder is found from it).
    const fs::path self = platform::moduleFile(reinterpret_cast<const void*>(&bytesAt));
    EXPECT_TRUE(fs::is_regular_file(self)) << platform::utf8Path(self);
    EXPECT_TRUE(platform::isAbsolutePath(platform::utf8Path(self)));
}
