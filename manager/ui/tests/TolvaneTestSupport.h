#pragma once
// What the manager's window tests share: the application on the offscreen
// platform, a prompter that records instead of asking, a profile set up by
// the setup script, and finding the window's controls and nodes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTreeWidget>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Prompter.h"
#include "TolvaneScreen.h"
#include "vorsan/testing/TestSupport.h"

namespace vorsan::manager::testing {

inline QApplication& app() {
    static int argc = 1;
    static char name[] = "tolvane_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen"); // no display needed
        return new QApplication(argc, argv);
    }();
    return *a;
}

struct RecordingPrompter : Prompter {
    std::vector<std::string> messages;
    int asked = 0;
    bool answer = false;
    void message(QWidget*, const QString& text) override { messages.push_back(text.toStdString()); }
    bool confirmSave(QWidget*) override {
        ++asked;
        return answer;
    }
};

inline std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A profile set up by the setup script, optionally with its tolvane.xml edited.
struct SetUpProfile {
    vorsan::testing::TempProfile profile;
    std::filesystem::path config = profile.path() / "tolvane.xml";
    SetUpProfile() {
        app();
        EXPECT_EQ(
            std::system(("bash '" + vorsan::testing::sourcePath("data/tolvane/install.sh") + "' >/dev/null").c_str()),
            0);
    }
    void edit(const std::string& from, const std::string& to) const {
        std::string text = slurp(config);
        auto at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        profile.write("tolvane.xml", text.replace(at, from.size(), to));
    }
};

template <typename T>
T* find(QWidget& w, const char* name) {
    T* c = w.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

inline QTreeWidgetItem* node(TolvaneScreen& s, const QString& text) {
    auto items = find<QTreeWidget>(s, "configTree")->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    EXPECT_FALSE(items.isEmpty()) << text.toStdString();
    return items.value(0);
}

inline void select(TolvaneScreen& s, const QString& text) {
    find<QTreeWidget>(s, "configTree")->setCurrentItem(node(s, text));
}

} // namespace vorsan::manager::testing
