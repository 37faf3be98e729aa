#include <gtest/gtest.h>

#include <atomic>
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
