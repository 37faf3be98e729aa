// The compiled copies of rule files: made on the first load, used on later
// ones, the same database as the XML gives, and never trusted when stale,
// damaged or half written.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "../src/RuleCache.h"
#include "LanguageTestFiles.h"
#include "vorsan/language/LanguageRuleBase.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using vorsan::testing::TempProfile;
namespace fs = std::filesystem;

namespace {

std::string bytesOf(const std::string& path) { return rulecache::readFile(path).value_or("(unreadable)"); }

void overwrite(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::size_t filesIn(const fs::path& dir) {
    std::error_code ec;
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir, ec), fs::directory_iterator()));
}

} // namespace

TEST(RuleCache, ShippedFilesLoadTheSameFromTheirCopy) {
    TempProfile profile;
    fs::create_directories(profile.path() / "Speechfiles"); // a set-up user's data folder
    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(vorsan::testing::sourcePath("data/pelmira")))
        if (e.path().extension() == ".xml") files.push_back(e.path().string());
    ASSERT_GE(files.size(), 2u);
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const auto fromXml = LanguageRuleBase::load(file);
        ASSERT_TRUE(fs::is_regular_file(rulecache::cachePath(file)));
        const auto fromCache = LanguageRuleBase::load(file);
        // The copy's tables are decoded on first use, once, whichever thread
        // asks first.
        std::vector<std::vector<PhonemeUnit>> words(3);
        std::vector<std::thread> threads;
        for (auto& w : words) threads.emplace_back([&w, &fromCache] { w = fromCache->convertWord(u"नमस्ते१२३"); });
        for (auto& t : threads) t.join();
        for (const auto& w : words) EXPECT_EQ(w, fromXml->convertWord(u"नमस्ते१२३"));
        EXPECT_TRUE(fromCache->parts() == fromXml->parts());
    }
    // The copy is what the second load reads: a valid copy made for the
    // present bytes of one file but holding another file's tables is taken.
    const auto other = LanguageRuleBase::load(files[1]);
    overwrite(rulecache::cachePath(files[0]), rulecache::encode(other->parts(), bytesOf(files[0])));
    EXPECT_TRUE(LanguageRuleBase::load(files[0])->parts() == other->parts());
    // Two files of one name in different folders have copies of their own.
    const std::string copy = profile.write("elsewhere/" + fs::path(files[0]).filename().string(), bytesOf(files[0]));
    EXPECT_NE(rulecache::cachePath(copy), rulecache::cachePath(files[0]));
}

// A rule file is hashed piece by piece through a small buffer, never held
// whole: the stamp must be the hash of the whole bytes, whatever the size
// (pieces end on and off the hash's 32-byte blocks and the buffer's ends).
TEST(RuleCache, FileStampIsTheHashOfTheWholeFile) {
    TempProfile profile;
    std::string bytes;
    uint32_t x = 12345;
    for (std::size_t size : {0u, 31u, 32u, 33u, 65535u, 65536u, 65573u, 200001u}) {
        while (bytes.size() < size) bytes += static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
        const std::string part = bytes.substr(0, size);
        const auto stamp = compiledcache::stampFile(profile.write("stamped.bin", part));
        ASSERT_TRUE(stamp) << size;
        EXPECT_TRUE(*stamp == compiledcache::stampOf(part)) << size;
    }
    EXPECT_FALSE(compiledcache::stampFile((profile.path() / "no such file").string()));
}

TEST(RuleCache, RebuiltAfterAnEditOrDamage) {
    TempProfile profile;
    const std::string xml = testfiles::hindiFile();
    const std::string path = profile.write("Speechfiles/Pelmira/hindi.xml", xml);
    const std::string cache = rulecache::cachePath(path);
    const auto reference = LanguageRuleBase::load(path);
    const std::string good = bytesOf(cache);
    ASSERT_GT(good.size(), 1000u);

    // An edit that keeps the size and the time still reaches the database.
    const auto time = fs::last_write_time(path);
    std::string edited = xml;
    edited.replace(edited.find("duration='120'"), 14, "duration='130'");
    overwrite(path, edited);
    fs::last_write_time(path, time);
    EXPECT_EQ(LanguageRuleBase::load(path)->characters()->vowels.at(u"आ").phones.at(0).duration, 130);
    EXPECT_TRUE(bytesOf(cache) != good);
    overwrite(path, xml);
    EXPECT_TRUE(LanguageRuleBase::load(path)->parts() == reference->parts());
    EXPECT_TRUE(bytesOf(cache) == good);

    std::string flipped = good, otherVersion = good, garbage(good.size(), '\x5a');
    flipped[good.size() / 2] ^= 0x10;
    otherVersion[8] ^= 0x01; // the format version follows the 8-byte magic
    for (const std::string& damaged :
         {good.substr(0, good.size() / 2), good.substr(0, 20), std::string(), flipped, otherVersion, garbage,
          good + "tail"}) {
        overwrite(cache, damaged);
        EXPECT_TRUE(LanguageRuleBase::load(path)->parts() == reference->parts());
        EXPECT_TRUE(bytesOf(cache) == good) << "not rebuilt from " << damaged.size() << " bytes";
    }

    // A copy damaged after a load but before the language's first use: the
    // tables, read from the copy only then, come from the rule file instead.
    const auto early = LanguageRuleBase::load(path);
    overwrite(cache, good.substr(0, good.size() / 2));
    EXPECT_TRUE(early->parts() == reference->parts());
    overwrite(cache, good);

    // A file broken after its copy was made fails as it always did.
    overwrite(path, "<Rule_Base><Language></Rule_Base>");
    vorsan::testing::DiagnosticCapture quiet;
    EXPECT_NE(vorsan::testing::messageOf([&] { LanguageRuleBase::load(path); }, "loaded"), "loaded");
    EXPECT_TRUE(bytesOf(cache) == good);
    // Broken files get no copy; a folder that cannot hold copies changes nothing.
    const std::string broken = profile.write("broken.xml", "<Rule_Base><Language></Rule_Base>");
    EXPECT_NE(vorsan::testing::messageOf([&] { LanguageRuleBase::load(broken); }, "loaded"), "loaded");
    EXPECT_FALSE(fs::exists(rulecache::cachePath(broken)));
    overwrite(path, xml);
    fs::remove_all(fs::path(cache).parent_path());
    profile.write("Speechfiles/Cache", "a file where the folder belongs");
    EXPECT_TRUE(LanguageRuleBase::load(path)->parts() == reference->parts());
}

TEST(RuleCache, ConcurrentBuildersLeaveOneValidCopy) {
    TempProfile profile;
    fs::create_directories(profile.path() / "Speechfiles"); // a set-up user's data folder
    const std::string path = vorsan::testing::sourcePath("data/pelmira/PelmiraMarathi.xml");
    std::vector<std::unique_ptr<LanguageRuleBase>> loaded(4);
    std::vector<std::thread> threads;
    for (auto& slot : loaded) threads.emplace_back([&slot, &path] { slot = LanguageRuleBase::load(path); });
    for (auto& t : threads) t.join();
    const std::string cache = rulecache::cachePath(path);
    EXPECT_EQ(filesIn(fs::path(cache).parent_path()), 1u); // no temporary file left behind
    const auto xml = rulecache::readFile(path);
    const auto cached = rulecache::decode(bytesOf(cache), *xml);
    ASSERT_TRUE(cached.has_value());
    for (const auto& base : loaded) EXPECT_TRUE(base && base->parts() == *cached);
}
