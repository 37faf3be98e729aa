// The manager's offer to set up a new user, and the window it then opens on.
#include <gtest/gtest.h>
#include <QApplication>

#include <filesystem>
#include <string>
#include <vector>

#include "FirstUse.h"
#include "TolvaneScreen.h"
#include "vorsan/engine/UserData.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan;
using namespace vorsan::manager;
namespace fs = std::filesystem;

namespace {

QApplication& application() {
    static int argc = 1;
    static char name[] = "tolvane_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *a;
}

struct AnsweringPrompter : Prompter {
    bool answer = false;
    std::vector<std::string> questions, messages;
    void message(QWidget*, const QString& text) override { messages.push_back(text.toStdString()); }
    bool confirmSave(QWidget*) override { return false; }
    bool ask(QWidget*, const QString& question) override {
        questions.push_back(question.toStdString());
        return answer;
    }
};

bool mentions(const std::vector<std::string>& lines, const std::string& part) {
    for (const auto& l : lines)
        if (l.find(part) != std::string::npos) return true;
    return false;
}

} // namespace

TEST(FirstUse, ANewUserIsOfferedTheSetUpAndTheWindowThenHasTheLanguages) {
    application();
    vorsan::testing::TempProfile profile;
    vorsan::testing::DiagnosticCapture log;
    const std::string installation = builtInInstallationFolder();
    ASSERT_FALSE(installation.empty());

    // Declined: nothing is made, and the window says what is missing.
    AnsweringPrompter no;
    EXPECT_EQ(offerUserSetUp(no, nullptr, installation), SetUpOffer::declined);
    ASSERT_EQ(no.questions.size(), 1u);
    EXPECT_NE(no.questions[0].find(profile.path().string()), std::string::npos);
    EXPECT_NE(no.questions[0].find(installation), std::string::npos);
    EXPECT_FALSE(fs::exists(profile.path() / "tolvane.xml") || fs::exists(profile.path() / "Speechfiles"));
    {
        TolvaneScreen screen(no);
        EXPECT_TRUE(mentions(no.messages, "folder not found"));
    }
    // No installation to set up from: nothing asked.
    EXPECT_EQ(offerUserSetUp(no, nullptr, ""), SetUpOffer::noInstallation);
    EXPECT_EQ(no.questions.size(), 1u);

    // Accepted: the user's copy is made, said once, and the window opens on
    // it without a complaint.
    AnsweringPrompter yes;
    yes.answer = true;
    EXPECT_EQ(offerUserSetUp(yes, nullptr, installation), SetUpOffer::setUp);
    EXPECT_TRUE(fs::is_regular_file(profile.path() / "Speechfiles/Pelmira/newPelmiraHindi.xml"));
    EXPECT_NE(log.text().find("tolvane: set up " + profile.path().string() + " from " + installation), std::string::npos);
    {
        TolvaneScreen screen(yes);
        EXPECT_EQ(yes.messages, std::vector<std::string>{});
    }
    EXPECT_EQ(offerUserSetUp(yes, nullptr, installation), SetUpOffer::notNeeded);
    EXPECT_EQ(yes.questions.size(), 1u);

    // A set-up that fails is explained to the user.
    vorsan::testing::TempProfile other;
    EXPECT_EQ(offerUserSetUp(yes, nullptr, (other.path() / "nowhere").string()), SetUpOffer::failed);
    EXPECT_TRUE(mentions(yes.messages, "nowhere/tolvane.xml is missing or does not load"));
}
