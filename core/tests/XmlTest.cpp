#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

#include "vorsan/core/MException.h"
#include "vorsan/core/Xml.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using vorsan::testing::DiagnosticCapture;
using vorsan::testing::messageOf;
using vorsan::testing::TempProfile;

namespace {
// Parses the file reading every child's integer attribute "n"; the failure
// message, or "no failure". (The element, text and attribute helpers are
// exercised by every loader's tests.)
std::string failMessage(const std::string& path) {
    return messageOf([&] {
        xml::parseFile(path, {}, [](const xml::DOMElement& root) {
            for (const auto* e : xml::childElements(root)) xml::parseInt(xml::attr(*e, u"n"));
        });
    });
}
} // namespace

TEST(Xml, GuardTranslatesLibraryFailuresAndRefusesDoctypes) {
    TempProfile dir;
    {
        DiagnosticCapture out;
        std::string msg = failMessage(dir.write("bad.xml", "<R><A></R>"));
        EXPECT_NE(msg, "no failure");
        EXPECT_EQ(out.text().rfind("XMLException during parsing: '", 0), 0u);
        EXPECT_NE(out.text().find(msg), std::string::npos);
    }
    DiagnosticCapture quiet;
    const std::string bomb = "<?xml version='1.0'?><!DOCTYPE R [<!ENTITY a 'aaaaaaaaaa'>"
                             "<!ENTITY b '&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;'><!ENTITY c '&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;'>"
                             "<!ENTITY d '&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;'>]><R>&d;&d;&d;</R>";
    const std::string refused[] = {
        "<R><A n='x'/></R>", // the library's number-format error
        "",
        std::string("\0\xFF\xFEgarbage", 10),
        // No DOCTYPE at all, so nothing is fetched or expanded.
        "<!DOCTYPE R SYSTEM 'http://127.0.0.1:1/x.dtd'><R/>",
        bomb,
        "<!DOCTYPE R [<!ENTITY x SYSTEM 'file:///etc/passwd'>]><R>&x;</R>",
    };
    for (const std::string& text : refused) EXPECT_NE(failMessage(dir.write("f.xml", text)), "no failure") << text;
    // The loader's own MException passes unchanged.
    EXPECT_EQ(messageOf([&] {
                  xml::parseFile(dir.write("ok.xml", "<R/>"), {}, [](const xml::DOMElement&) { throw MException("mine"); });
              }),
              "mine");
}

TEST(Xml, RefusesWhatCostsTooMuchAndSaysWhere) {
    TempProfile dir;
    DiagnosticCapture quiet;
    std::string nested, attributes = "<R";
    for (int i = 0; i < 100000; ++i) nested += "<a>";
    for (int i = 0; i < 100000; ++i) attributes += " a" + std::to_string(i) + "='1'";
    attributes += "/>";
    const std::pair<std::string, std::string> refused[] = {
        {"<R>\n<A>\n", "line 3, column 1: "},                         // cut short: line and column
        {"<R>\n<!-- <x a='1' b='2'> -->\n<!DOCTYPE R>", "line 3: a DOCTYPE"}, // comments skipped
        {nested, "nested more than 32 deep"},
        {attributes, "more than 64 attributes"},
        {"<R><A n=''/></R>", "'' is not a number"},
    };
    for (const auto& [text, what] : refused) {
        const std::string path = dir.write("f.xml", text);
        const std::string msg = failMessage(path);
        EXPECT_EQ(msg.rfind("'" + path + "'", 0), 0u) << msg;
        EXPECT_NE(msg.find(what), std::string::npos) << msg;
    }
    // The limits leave room for what the formats use.
    std::string fine = "<R>";
    for (int i = 0; i < 30; ++i) fine += "<a x='1' y='2' z='3'>";
    for (int i = 0; i < 30; ++i) fine += "</a>";
    const std::string finePath = dir.write("f.xml", fine + "</R>");
    EXPECT_EQ(messageOf([&] { xml::parseFile(finePath, {}, [](const xml::DOMElement&) {}); }), "no failure");
    // A file larger than its kind allows is refused before it is read.
    const std::string big = dir.write("big.xml", "<R/>");
    std::filesystem::resize_file(big, 2000);
    EXPECT_EQ(messageOf([&] { xml::parseFile(big, {}, [](const xml::DOMElement&) {}, 1000); }),
              "File '" + big + "' is 2000 bytes, more than the 1000 allowed for its kind");
    // Values outside a field's range name the element, the attribute and the value.
    const std::string ranged = dir.write("r.xml", "<R><Phonem Duration='10001'/></R>");
    EXPECT_EQ(messageOf([&] {
                  xml::parseFile(ranged, {}, [](const xml::DOMElement& root) {
                      xml::intIn(*xml::childElements(root)[0], u"Duration", 0, 10000);
                  });
              }),
              "'" + ranged + "': element 'Phonem', attribute 'Duration': value '10001' is outside 0 to 10000");
}

TEST(Xml, ParsesFromManyThreadsAtOnce) {
    TempProfile dir;
    auto path = dir.write("t.xml", "<R><A n='1'/><A n='2'/></R>");
    std::vector<std::thread> threads;
    std::atomic<int> total{0};
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 50; ++i)
                xml::parseFile(path, {}, [&](const xml::DOMElement& root) {
                    for (const auto* e : xml::childElements(root)) total += xml::parseInt(xml::attr(*e, u"n"));
                });
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(total.load(), 8 * 50 * 3);
}
