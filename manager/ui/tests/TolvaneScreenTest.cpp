// The manager's window on the offscreen platform, driven through its named
// controls: the splash, what each kind of node shows, editing and its
// refusals, the primary language, closing, and the preview's speech (written
// to files here, measured as a listener would hear it).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QDoubleSpinBox>
#include <QGlyphRun>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTextLayout>
#include <QTreeWidget>

#include <atomic>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "AudioAnalysis.h"
#include "PSplash.h"
#include "TolvaneScreen.h"
#include "TolvaneTestSupport.h"

using namespace vorsan;
using namespace vorsan::manager;
using namespace vorsan::testing;
using namespace vorsan::manager::testing;
namespace fs = std::filesystem;

namespace {

QStringList items(QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
    return out;
}

void choose(QComboBox* box, const QString& text) { box->setCurrentIndex(box->findText(text)); }

void screenshot(QWidget& w, const char* name) {
    QDir().mkpath(QStringLiteral(TOLVANE_SCREENSHOT_DIR));
    // Painted straight into an opaque image: no format conversion, which Qt
    // would spread over its own thread pool.
    QImage image(w.size(), QImage::Format_RGB32);
    w.render(&image);
    EXPECT_TRUE(image.save(QStringLiteral(TOLVANE_SCREENSHOT_DIR "/") + QString::fromLatin1(name) + ".png"));
}

QString status(TolvaneScreen& s) { return find<QLabel>(s, "statusPanel")->text(); }

// Right-clicks the node and chooses the pop-up menu's item; returns its text.
QString primaryMenu(TolvaneScreen& s, const QString& text) {
    auto* tree = find<QTreeWidget>(s, "configTree");
    const QPoint at = tree->visualItemRect(node(s, text)).center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, tree->viewport()->mapToGlobal(at));
    QApplication::sendEvent(tree->viewport(), &click);
    QAction* item = s.findChild<QAction*>(QStringLiteral("mnuSetPrimary"));
    const QString caption = item->text();
    item->trigger();
    return caption;
}

// Whether every character of the text has a glyph in the font or in the
// fonts Qt falls back on (glyph 0 is the empty box of a missing character).
bool drawable(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    for (const QGlyphRun& run : runs)
        for (quint32 glyph : run.glyphIndexes())
            if (glyph == 0) return false;
    return !runs.isEmpty();
}

QString image(TolvaneScreen& s, const QString& text) { return node(s, text)->data(0, TolvaneScreen::ImageRole).toString(); }

} // namespace

TEST(TolvaneScreen, SplashClosesOnEscapeAndOnItsTimer) {
    app();
    PSplash byKey(60000);
    byKey.show();
    EXPECT_FALSE(byKey.ReadyToClose());
    QTest::keyClick(&byKey, Qt::Key_Escape);
    EXPECT_TRUE(byKey.ReadyToClose());
    PSplash byTimer(30);
    EXPECT_TRUE(QTest::qWaitFor([&] { return byTimer.ReadyToClose(); }, 5000));
    EXPECT_FALSE(byTimer.findChild<QTimer*>(QStringLiteral("tmrDelay"))->isActive());
}

TEST(TolvaneScreen, NodesShowTheirTextsAndPrimaryMoves) {
    SetUpProfile setup;
    fs::remove(setup.profile.path() / "Speechfiles/Ruvetta/Marathi_mr1.xml"); // Marathi: nothing suitable left
    RecordingPrompter prompter;
    TolvaneScreen screen(prompter);
    screen.show();
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(status(screen), QStringLiteral("File Opened : ") + QString::fromStdString(setup.config.string()));
    auto* info = find<QLabel>(screen, "lblInfo");
    auto* frame = find<QGroupBox>(screen, "langFrame");
    EXPECT_EQ(info->text(), TolvaneScreen::helpText());
    EXPECT_TRUE(info->text().startsWith("Tolvane is the configuration tool for automating the \nuse of Vorsan"));
    EXPECT_TRUE(info->text().endsWith("Pelmira - Language Database\nRuvetta - Emotion Database\nOskalen - Accent Database"));
    EXPECT_FALSE(frame->isVisible());
    auto* tree = find<QTreeWidget>(screen, "configTree");
    QTreeWidgetItem* root = tree->topLevelItem(0);
    EXPECT_EQ(root->text(0), "Zenlora Configuration");
    ASSERT_EQ(root->childCount(), 3);
    EXPECT_EQ(root->child(0)->text(0) + root->child(1)->text(0) + root->child(2)->text(0), "PelmiraRuvettaOskalen");
    EXPECT_EQ(root->child(0)->childCount(), 7);
    screenshot(screen, "help");

    select(screen, "Hindi");
    EXPECT_TRUE(frame->isVisible());
    EXPECT_FALSE(info->isVisible());
    EXPECT_EQ(frame->title(), "Pelmira Configuration for Hindi");
    auto* ruvetta = find<QComboBox>(screen, "cmbRuvetta");
    auto* emotions = find<QComboBox>(screen, "cmbEmotions");
    auto* accents = find<QComboBox>(screen, "cmbAccents");
    EXPECT_EQ(items(ruvetta), QStringList({"", "Hindi_in1", "Gujarati_in1"}));
    EXPECT_EQ(ruvetta->currentText(), "Hindi_in1");
    EXPECT_EQ(items(emotions), QStringList({"Neutral", "Happy", "Sad", "Angry", "Fear", "Bored"}));
    EXPECT_EQ(emotions->currentText(), "Neutral");
    EXPECT_EQ(items(accents), QStringList({"", "in1_TO_in1", "in1_TO_en1", "in1_TO_tl1"}));
    EXPECT_EQ(accents->currentText(), "in1_TO_in1");
    EXPECT_DOUBLE_EQ(find<QDoubleSpinBox>(screen, "spPitch")->value(), 0.75);
    EXPECT_EQ(find<QLineEdit>(screen, "txtTime")->text(), "0.75");
    EXPECT_EQ(find<QSpinBox>(screen, "spVoice")->value(), 16000);
    find<QDoubleSpinBox>(screen, "spPitch")->setValue(1.2);
    EXPECT_EQ(find<QLineEdit>(screen, "txtPitch")->text(), "1.2");
    EXPECT_EQ(find<QLineEdit>(screen, "txtPreview")->text(), "नमस्ते, आज मौसम बहुत अच्छा है।");
    screenshot(screen, "hindi");
    // Another emotion database: its moods, none chosen; saving is refused.
    choose(ruvetta, "Gujarati_in1");
    EXPECT_EQ(emotions->count(), 6);
    EXPECT_EQ(emotions->currentIndex(), -1);
    find<QPushButton>(screen, "cmdSave")->click();
    EXPECT_EQ(prompter.messages, std::vector<std::string>{"Select Preferred Emotion"});
    find<QPushButton>(screen, "cmdCancel")->click();
    EXPECT_EQ(ruvetta->currentText(), "Hindi_in1");
    EXPECT_DOUBLE_EQ(find<QDoubleSpinBox>(screen, "spPitch")->value(), 0.75);

    select(screen, "Marathi");
    EXPECT_EQ(items(ruvetta), QStringList({""}));
    EXPECT_EQ(items(accents), QStringList({""}));
    EXPECT_EQ(emotions->count(), 0);
    select(screen, "Tamil");
    EXPECT_EQ(find<QLineEdit>(screen, "txtPreview")->text(), "வணக்கம், இன்று வானிலை மிகவும் நன்றாக உள்ளது.");
    screenshot(screen, "tamil");

    select(screen, "Hindi_in1");
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(info->text(), "Applies emotion to Mborla phonemes\n\nEmotion Database : Hindi_in1\n\nMbrola Database : in1"
                            "\n\nAvailable Moods : \n    Neutral\n    Happy\n    Sad\n    Angry\n    Fear\n    Bored");
    screenshot(screen, "emotion");
    select(screen, "in1_TO_en1");
    EXPECT_EQ(info->text(), "Applies accent to Mborla phonemes (Convert phonemes from one Mbrola database to another)"
                            "\n\nAccent Database : in1_TO_en1\n\nFrom Mbrola Database : in1\n\nTo Mbrola Database : en1");
    screenshot(screen, "accent");
    select(screen, "Ruvetta");
    EXPECT_EQ(info->text(), TolvaneScreen::helpText());
    // Every language's sample is drawn in letters, not boxes.
    for (const auto& language : screen.model().AllPelmiraFiles()) {
        const QString sample = sampleSentence(*language);
        EXPECT_FALSE(sample.isEmpty()) << language->PelmiraName();
        EXPECT_TRUE(drawable(sample, find<QLineEdit>(screen, "txtPreview")->font())) << language->PelmiraName();
    }

    // Primary language: set, move, clear.
    EXPECT_EQ(primaryMenu(screen, "Hindi"), "Set as Primary");
    EXPECT_EQ(image(screen, "Hindi"), "PrimaryLanguage");
    EXPECT_EQ(primaryMenu(screen, "Tamil"), "Set as Primary");
    EXPECT_EQ(image(screen, "Hindi"), "Languages");
    EXPECT_EQ(image(screen, "Tamil"), "PrimaryLanguage");
    EXPECT_EQ(screen.model().PrimaryLanguage(), "Tamil");
    EXPECT_EQ(primaryMenu(screen, "Tamil"), "Clear Primary property");
    EXPECT_EQ(image(screen, "Tamil"), "Languages");
    EXPECT_EQ(screen.model().PrimaryLanguage(), "");
}

TEST(TolvaneScreen, MismatchesAndClosing) {
    SetUpProfile setup;
    // Values beyond the spinners' usual ranges are shown and kept as they are.
    setup.edit("<Pitch>0.75</Pitch>\n      <Time>0.75</Time>\n      <Voice>16000</Voice>\n      <RuvettaRef name=\"Hindi_in1\"",
               "<Pitch>5.0</Pitch>\n      <Time>0.75</Time>\n      <Voice>96000</Voice>\n      <RuvettaRef name=\"Hindi_in1\"");
    setup.edit("name=\"Hindi_in1\" preferredEmotion", "name=\"Tamil_tl1\" preferredEmotion");
    setup.edit("<OskalenRef name=\"in1_TO_in1\"", "<OskalenRef name=\"tl1_TO_tl1\"");
    const std::string original = slurp(setup.config);
    {
        RecordingPrompter prompter;
        TolvaneScreen screen(prompter);
        screen.show();
        select(screen, "Hindi");
        auto* ruvetta = find<QComboBox>(screen, "cmbRuvetta");
        EXPECT_EQ(ruvetta->currentText(), "Tamil_tl1"); // shown although it does not fit
        EXPECT_DOUBLE_EQ(find<QDoubleSpinBox>(screen, "spPitch")->value(), 5.0);
        EXPECT_EQ(find<QSpinBox>(screen, "spVoice")->value(), 96000);
        find<QPushButton>(screen, "cmdSave")->click();
        choose(ruvetta, "Hindi_in1");
        choose(find<QComboBox>(screen, "cmbEmotions"), "Sad");
        find<QPushButton>(screen, "cmdSave")->click();
        EXPECT_EQ(prompter.messages, (std::vector<std::string>{"Ruvetta's Mbrola databases doesn't match with Pelmira",
                                                               "Oskalen's Mbrola databases doesn't match with Pelmira"}));
        EXPECT_FALSE(screen.model().Changed());
        choose(find<QComboBox>(screen, "cmbAccents"), "in1_TO_en1");
        find<QDoubleSpinBox>(screen, "spTime")->setValue(1.3);
        find<QPushButton>(screen, "cmdSave")->click();
        EXPECT_EQ(prompter.messages.size(), 2u);
        EXPECT_TRUE(status(screen).startsWith("Hindi updated"));
        // Cancel on closing: the window closes and the file stays as it was.
        EXPECT_TRUE(screen.close());
        EXPECT_EQ(prompter.asked, 1);
        EXPECT_EQ(slurp(setup.config), original);
    }
    {
        RecordingPrompter prompter;
        TolvaneScreen screen(prompter);
        screen.show();
        EXPECT_TRUE(screen.close()); // nothing changed: no question
        EXPECT_EQ(prompter.asked, 0);
    }
    RecordingPrompter prompter;
    prompter.answer = true;
    TolvaneScreen screen(prompter);
    screen.show();
    select(screen, "Hindi");
    choose(find<QComboBox>(screen, "cmbRuvetta"), "");
    choose(find<QComboBox>(screen, "cmbAccents"), "in1_TO_en1");
    find<QDoubleSpinBox>(screen, "spTime")->setValue(1.3);
    find<QPushButton>(screen, "cmdSave")->click();
    primaryMenu(screen, "Hindi");
    // A save that fails keeps the window open and the edits; OK then saves.
    fs::permissions(setup.config, fs::perms::owner_read);
    EXPECT_FALSE(screen.close());
    EXPECT_EQ(prompter.messages.size(), 1u);
    fs::permissions(setup.config, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(screen.close());
    const std::string saved = slurp(setup.config);
    EXPECT_NE(saved.find("<Pitch>5.0</Pitch>\n      <Time>1.3</Time>\n      <Voice>96000</Voice>"), std::string::npos);
    EXPECT_NE(saved.find("<PrimaryLanguage>Hindi</PrimaryLanguage>"), std::string::npos);
    EXPECT_NE(saved.find("<RuvettaRef name=\"\" preferredEmotion=\"\"/>"), std::string::npos);
}

TEST(TolvaneScreen, PreviewSpeaksTheUnsavedSettings) {
    SetUpProfile setup;
    const std::string original = slurp(setup.config);
    std::atomic<int> made{0};
    const fs::path out = setup.profile.path() / "preview";
    fs::create_directories(out);
    RecordingPrompter prompter;
    TolvaneScreen screen(prompter, [&](const std::atomic<bool>*) {
        return std::make_unique<synth::SoundFileSink>((out / (std::to_string(++made) + ".wav")).string(),
                                                      synth::SoundFileType::Wave);
    });
    screen.show();
    select(screen, "Hindi");
    choose(find<QComboBox>(screen, "cmbRuvetta"), "");
    choose(find<QComboBox>(screen, "cmbAccents"), "");
    auto speak = [&](double pitch, double time) {
        find<QDoubleSpinBox>(screen, "spPitch")->setValue(pitch);
        find<QDoubleSpinBox>(screen, "spTime")->setValue(time);
        QSignalSpy finished(&screen, &TolvaneScreen::previewFinished);
        find<QPushButton>(screen, "cmdPreview")->click();
        EXPECT_TRUE(finished.wait(120000));
        EXPECT_EQ(status(screen).toStdString(), "Preview played");
        return readAudio((out / (std::to_string(made) + ".wav")).string());
    };
    const Audio slow = speak(1.2, 1.5);
    const Audio plain = speak(0.75, 0.75);
    EXPECT_NEAR(slow.seconds() / plain.seconds(), 2.0, 0.35) << slow.seconds() << " s against " << plain.seconds();
    const auto high = medianPitch(slow, 0, slow.seconds());
    const auto low = medianPitch(plain, 0, plain.seconds());
    ASSERT_TRUE(high && low);
    EXPECT_NEAR(*high / *low, 1.6, 0.25) << *high << " Hz against " << *low;
    // The preview touched neither the model nor the file.
    EXPECT_FALSE(screen.model().Changed());
    EXPECT_DOUBLE_EQ(screen.model().PelmiraConfigRef("Hindi")->PelmiraPitchRatio(), 0.75);
    EXPECT_EQ(slurp(setup.config), original);

    // A desktop whose language writes a decimal comma (Qt takes it for the
    // whole process) still hears the preview: the voice files' numbers are
    // read with a point. (Tamil: a voice not read before in this process.)
    select(screen, "Tamil");
    choose(find<QComboBox>(screen, "cmbRuvetta"), "");
    choose(find<QComboBox>(screen, "cmbAccents"), "");
    const fs::path locales = setup.profile.path() / "locales";
    fs::create_directories(locales);
    ASSERT_EQ(std::system(("localedef -i de_DE -f UTF-8 '" + (locales / "de_DE.UTF-8").string() + "'").c_str()), 0);
    qputenv("LOCPATH", QByteArray::fromStdString(locales.string()));
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
    char comma[8];
    std::snprintf(comma, sizeof comma, "%.1f", 1.5);
    EXPECT_STREQ(comma, "1,5");
    const Audio german = speak(1.0, 1.0);
    std::setlocale(LC_NUMERIC, "C");
    qunsetenv("LOCPATH");
    EXPECT_GT(german.seconds(), 1.0);

    // Without a sound device the status bar says so.
    qputenv("VORSAN_ALSA_DEVICE", "no_such_device_for_tolvane");
    RecordingPrompter quiet;
    TolvaneScreen device(quiet);
    select(device, "English (United States)");
    QSignalSpy finished(&device, &TolvaneScreen::previewFinished);
    find<QPushButton>(device, "cmdPreview")->click();
    EXPECT_TRUE(finished.wait(120000));
    EXPECT_TRUE(status(device).startsWith("No sound device")) << status(device).toStdString();
    qunsetenv("VORSAN_ALSA_DEVICE");
}
