// Data files that are not regular files: a device reports size 0 and never
// ends, a FIFO blocks the open and every read, a folder cannot be read. Every
// way the engine reads a data file must refuse them at once (a hang here is
// the fault: the test's time limit ends it).
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "vorsan/core/CompiledCache.h"
#include "vorsan/core/MappedFile.h"
#include "vorsan/core/RegularFile.h"
#include "vorsan/core/Xml.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using vorsan::testing::messageOf;
using vorsan::testing::TempProfile;
namespace fs = std::filesystem;

TEST(RegularFile, DevicesFifosAndFoldersAreRefusedEverywhereAtOnce) {
    TempProfile dir;
    const std::string folder = (dir.path() / "folder.xml").string();
    fs::create_directories(folder);
#ifdef _WIN32
    // The null device, under its plain name and its device path.
    const std::vector<std::string> notRegular = {"NUL", "\\\\.\\NUL", folder};
    const std::vector<std::string> missing = {(dir.path() / "none.xml").string()};
#else
    const std::string fifo = (dir.path() / "fifo.xml").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string loop = (dir.path() / "loop.xml").string();
    fs::create_symlink("loop.xml", loop);
    const std::vector<std::string> notRegular = {"/dev/zero", "/dev/null", fifo, folder};
    const std::vector<std::string> missing = {loop, (dir.path() / "none.xml").string()};
#endif
    for (const std::string& path : notRegular) {
        EXPECT_EQ(RegularFile(path).state(), RegularFile::State::NotRegular) << path;
        EXPECT_FALSE(xml::isReadableFile(path)) << path;
        EXPECT_EQ(messageOf([&] { xml::checkSize(path, xml::kMaxXmlBytes); }), notRegularMessage(path));
        EXPECT_EQ(messageOf([&] { xml::parseFile(path, {}, [](const xml::DOMElement&) {}); }),
                  "File '" + path + "' is not a regular file");
        EXPECT_FALSE(compiledcache::stampFile(path)) << path;
        EXPECT_FALSE(compiledcache::readFile(path)) << path;
        EXPECT_FALSE(MappedFile(path).mapped()) << path;
    }
    // Missing names and loops of links are simply not there.
    for (const std::string& path : missing) {
        EXPECT_EQ(RegularFile(path).state(), RegularFile::State::Missing) << path;
        EXPECT_FALSE(xml::isReadableFile(path));
        EXPECT_EQ(messageOf([&] { xml::checkSize(path, 10); }), "no failure");
    }

#ifndef _WIN32 // symbolic links need a privilege on Windows
    // A link to a regular file is that file.
    const std::string real = dir.write("real.xml", "<R n='1'/>");
    const std::string link = (dir.path() / "link.xml").string();
    fs::create_symlink(real, link);
    EXPECT_TRUE(xml::isReadableFile(link));
    EXPECT_EQ(compiledcache::readFile(link).value_or(""), "<R n='1'/>");
    EXPECT_EQ(messageOf([&] { xml::parseFile(link, {}, [](const xml::DOMElement&) {}); }), "no failure");
#endif
}

TEST(RegularFile, ReadsStopOnePastTheLimitWhateverTheReportedSize) {
    TempProfile dir;
    const std::string path = dir.write("ten.txt", "0123456789");
    std::string bytes;
    RegularFile whole(path);
    ASSERT_TRUE(whole.open());
    EXPECT_EQ(whole.size(), 10u);
    ASSERT_TRUE(whole.readAll(bytes, 10));
    EXPECT_EQ(bytes, "0123456789");
    RegularFile limited(path);
    ASSERT_TRUE(limited.readAll(bytes, 4));
    EXPECT_EQ(bytes, "01234"); // one past the limit: the caller knows it is too large
    // A file that grew after its size was taken is still read only to the
    // limit and one byte more.
    RegularFile grown(path);
    dir.write("ten.txt", std::string(100000, 'x'));
    ASSERT_TRUE(grown.readAll(bytes, 50000));
    EXPECT_EQ(bytes.size(), 50001u);
    RegularFile later(path);
    ASSERT_TRUE(later.readAll(bytes, 1u << 20));
    EXPECT_EQ(bytes.size(), 100000u);
}
