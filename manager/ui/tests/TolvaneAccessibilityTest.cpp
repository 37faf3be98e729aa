// The manager's window as a screen reader and a keyboard user meet it: what
// Qt's accessibility interfaces report for every control, tree node, the
// pop-up menu and the message boxes, and the window driven by keys alone.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <map>
#include <set>

#include "Prompter.h"
#include "TolvaneScreen.h"
#include "TolvaneTestSupport.h"

using namespace vorsan::manager;
using namespace vorsan::manager::testing;

namespace {

// Turns accessibility on as far as the offscreen platform lets it (events
// reach a platform bridge only under a real desktop session), and makes the
// application.
void listen() {
    app();
    QAccessible::setActive(true);
}

QString name(QAccessibleInterface* i) { return i->text(QAccessible::Name); }

// Every accessible object below `i` that is shown and takes the focus.
void focusable(QAccessibleInterface* i, std::vector<QAccessibleInterface*>& out) {
    for (int c = 0; c < i->childCount(); ++c) {
        QAccessibleInterface* child = i->child(c);
        if (!child || child->state().invisible) continue;
        if (child->state().focusable) out.push_back(child);
        focusable(child, out);
    }
}

// The tree's nodes as the screen reader sees them, by accessible name.
std::map<QString, QAccessibleInterface*> treeNodes(TolvaneScreen& screen) {
    QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(find<QTreeWidget>(screen, "configTree"));
    EXPECT_EQ(tree->role(), QAccessible::Tree);
    std::map<QString, QAccessibleInterface*> nodes;
    for (int c = 0; c < tree->childCount(); ++c)
        if (QAccessibleInterface* child = tree->child(c); child && child->role() == QAccessible::TreeItem)
            nodes[name(child)] = child;
    return nodes;
}

QWidget* focused() { return QApplication::focusWidget(); }

void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(focused(), static_cast<Qt::Key>(key), modifiers);
}

// The window shown, active, with the keyboard's focus where it starts.
struct ActiveScreen {
    SetUpProfile setup;
    RecordingPrompter prompter;
    TolvaneScreen screen{prompter};
    ActiveScreen() {
        screen.show();
        screen.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&screen));
    }
};

} // namespace

TEST(TolvaneScreenAccessibility, EveryControlIsNamedDescribedAndLabelled) {
    listen();
    ActiveScreen w;
    TolvaneScreen& screen = w.screen;
    // At start only the tree and the help take the focus; the help is read
    // as it is shown.
    std::vector<QAccessibleInterface*> controls;
    focusable(QAccessible::queryAccessibleInterface(&screen), controls);
    std::set<QObject*> objects;
    for (QAccessibleInterface* c : controls) objects.insert(c->object());
    EXPECT_TRUE(objects.count(find<QTreeWidget>(screen, "configTree")));
    EXPECT_TRUE(objects.count(find<QLabel>(screen, "lblInfo")));
    EXPECT_EQ(name(QAccessible::queryAccessibleInterface(find<QLabel>(screen, "lblInfo"))), TolvaneScreen::helpText());

    select(screen, "Hindi");
    controls.clear();
    focusable(QAccessible::queryAccessibleInterface(&screen), controls);
    QStringList names;
    for (QAccessibleInterface* c : controls) {
        auto* widget = qobject_cast<QWidget*>(c->object());
        if (!widget) { // a tree node: named by what it is
            EXPECT_FALSE(name(c).isEmpty());
            continue;
        }
        const std::string id = widget->objectName().toStdString();
        EXPECT_FALSE(name(c).isEmpty()) << id;
        // Qt on Linux names a list by its current choice and leaves its
        // purpose to the label relation, which screen readers speak first.
        const QString purpose = qobject_cast<QComboBox*>(widget) ? widget->accessibleName() : name(c);
        names << purpose;
        EXPECT_FALSE(c->text(QAccessible::Description).isEmpty()) << id;
        if (qobject_cast<QPushButton*>(widget)) {
            EXPECT_EQ(purpose, QString(static_cast<QPushButton*>(widget)->text()).remove('&')) << id;
            continue;
        }
        // One visible label belongs to the control, says what its accessible
        // name says, and is reported as its label (Qt's item views report no
        // relations; their name carries the label's words).
        std::vector<const QLabel*> labels;
        for (const QLabel* l : screen.findChildren<QLabel*>())
            if (l->buddy() == widget) labels.push_back(l);
        ASSERT_EQ(labels.size(), 1u) << id;
        EXPECT_EQ(QString(labels[0]->text()).remove('&'), purpose) << id;
        if (qobject_cast<QTreeWidget*>(widget)) continue;
        bool reported = false;
        for (const auto& [other, relation] : c->relations(QAccessible::Label))
            reported = reported || other->object() == labels[0];
        EXPECT_TRUE(reported) << id;
    }
    EXPECT_EQ(names,
              QStringList({"Configuration", "Emotion database", "Preferred mood", "Accent database", "Pitch ratio",
                           "Time ratio", "Voice frequency", "Sample sentence", "Preview", "Save", "Cancel"}));

    // Values are spoken with their meaning: ratios as ratios, the voice in Hz,
    // the lists' current choices.
    auto value = [&](QWidget* wgt) { return QAccessible::queryAccessibleInterface(wgt)->text(QAccessible::Value); };
    auto* pitch = find<QDoubleSpinBox>(screen, "spPitch");
    EXPECT_EQ(value(pitch), "0.75");
    EXPECT_DOUBLE_EQ(QAccessible::queryAccessibleInterface(pitch)->valueInterface()->currentValue().toDouble(), 0.75);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(pitch)->role(), QAccessible::SpinBox);
    EXPECT_EQ(value(find<QDoubleSpinBox>(screen, "spTime")), "0.75");
    EXPECT_EQ(value(find<QSpinBox>(screen, "spVoice")), "16000 Hz");
    EXPECT_EQ(value(find<QComboBox>(screen, "cmbRuvetta")), "Hindi_in1");
    EXPECT_EQ(value(find<QComboBox>(screen, "cmbEmotions")), "Neutral");
    EXPECT_EQ(value(find<QComboBox>(screen, "cmbAccents")), "in1_TO_in1");
    pitch->stepBy(5);
    EXPECT_EQ(value(pitch), "0.80");
    EXPECT_EQ(find<QLineEdit>(screen, "txtPitch")->text(), "0.8"); // what will be written

    // The frame is announced by the language's name.
    EXPECT_EQ(name(QAccessible::queryAccessibleInterface(find<QWidget>(screen, "langFrame"))),
              "Pelmira Configuration for Hindi");
}

TEST(TolvaneScreenAccessibility, TreeNodesSayWhatTheyAreAndLeavesDoNotExpand) {
    listen();
    SetUpProfile setup;
    setup.edit("</Oskalen>\n</ZenloraConfig>",
               "</Oskalen>\n  <PrimaryLanguage>Tamil</PrimaryLanguage>\n</ZenloraConfig>");
    RecordingPrompter prompter;
    TolvaneScreen screen(prompter);
    screen.show();
    const auto nodes = treeNodes(screen);
    const ConfigManager& model = screen.model();
    std::size_t leaves = 0;
    for (const auto& [text, node] : nodes) {
        const std::string id = text.toStdString();
        EXPECT_FALSE(node->text(QAccessible::Description).isEmpty()) << id;
        const bool leaf = text.endsWith(", language") || text.endsWith(", primary language") ||
                          text.endsWith(", emotion database") || text.endsWith(", accent database");
        if (leaf) {
            ++leaves;
            EXPECT_FALSE(node->state().expandable) << id;
            EXPECT_FALSE(node->state().expanded) << id;
        } else {
            EXPECT_TRUE(node->state().expandable) << id;
            EXPECT_TRUE(node->state().expanded) << id;
        }
    }
    EXPECT_EQ(leaves, model.AllPelmiraFiles().size() + model.AllRuvettaFiles().size() + model.AllOskalenFiles().size());
    for (const char* expected :
         {"Zenlora Configuration", "Pelmira, language databases", "Ruvetta, emotion databases",
          "Oskalen, accent databases", "Hindi, language", "Tamil, primary language",
          "English (United States), language", "Hindi_in1, emotion database", "in1_TO_en1, accent database"})
        EXPECT_TRUE(nodes.count(QString::fromUtf8(expected))) << expected;
    EXPECT_EQ(nodes.at("Hindi_in1, emotion database")->text(QAccessible::Description),
              "For voice in1; moods Neutral, Happy, Sad, Angry, Fear, Bored");
    EXPECT_EQ(nodes.at("in1_TO_en1, accent database")->text(QAccessible::Description), "From voice in1 to voice en1");

    // The window opens on the root, which the screen reader hears as focused.
    EXPECT_TRUE(nodes.at("Zenlora Configuration")->state().focused);
    EXPECT_EQ(find<QLabel>(screen, "lblInfo")->text(), TolvaneScreen::helpText());
}

TEST(TolvaneScreenAccessibility, MenuKeyOpensTheAnnouncedLanguageMenu) {
    listen();
    ActiveScreen w;
    TolvaneScreen& screen = w.screen;
    auto* tree = find<QTreeWidget>(screen, "configTree");
    auto* menu = find<QMenu>(screen, "mnuPopup");
    EXPECT_EQ(focused(), tree);      // the keyboard starts in the tree
    // Typing finds the node (the letters count as one search however slowly
    // a sanitizer build types them).
    QApplication::setKeyboardInputInterval(60000);
    QTest::keyClicks(tree, "Hindi");
    ASSERT_EQ(tree->currentItem()->text(0), "Hindi");

    press(Qt::Key_Menu);
    ASSERT_EQ(QApplication::activePopupWidget(), menu);
    QAccessibleInterface* popup = QAccessible::queryAccessibleInterface(menu);
    EXPECT_EQ(popup->role(), QAccessible::PopupMenu);
    EXPECT_EQ(name(popup), "Hindi menu");
    ASSERT_EQ(popup->childCount(), 1);
    EXPECT_EQ(popup->child(0)->role(), QAccessible::MenuItem);
    EXPECT_EQ(name(popup->child(0)), "Set as Primary");
    EXPECT_TRUE(popup->child(0)->state().focused); // read out as the menu opens
    QTest::keyClick(menu, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !menu->isVisible(); }));
    EXPECT_EQ(screen.model().PrimaryLanguage(), "Hindi");
    EXPECT_EQ(focused(), tree);
    EXPECT_EQ(find<QLabel>(screen, "statusPanel")->text(), "Hindi is the primary language");
    EXPECT_TRUE(treeNodes(screen).count("Hindi, primary language"));

    // Shift+F10 does the same; Escape leaves the menu without a change.
    press(Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_EQ(QApplication::activePopupWidget(), menu);
    EXPECT_EQ(name(QAccessible::queryAccessibleInterface(menu)->child(0)), "Clear Primary property");
    QTest::keyClick(menu, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !menu->isVisible(); }));
    EXPECT_EQ(screen.model().PrimaryLanguage(), "Hindi");
    press(Qt::Key_Menu);
    QTest::keyClick(menu, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !menu->isVisible(); }));
    EXPECT_EQ(screen.model().PrimaryLanguage(), "");
    EXPECT_TRUE(treeNodes(screen).count("Hindi, language"));

    // Nodes that are not languages have no menu.
    select(screen, "Ruvetta");
    press(Qt::Key_Menu);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST(TolvaneScreenAccessibility, MessageBoxesAreAlertsWithTheirText) {
    listen();
    struct Seen {
        QAccessible::Role role{};
        QString description;
        QMessageBox::Icon icon{};
    };
    // Answers the box that is up with `key` once it is shown, noting what a
    // screen reader was given.
    auto answer = [](Seen& seen, Qt::Key key) {
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, poll, [poll, &seen, key] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) return;
            QAccessibleInterface* i = QAccessible::queryAccessibleInterface(box);
            seen = {i->role(), i->text(QAccessible::Description), box->icon()};
            QTest::keyClick(box, key);
            poll->deleteLater();
        });
        poll->start(10);
    };
    QWidget parent;
    MessageBoxPrompter prompter;
    Seen seen;
    answer(seen, Qt::Key_Return);
    prompter.message(&parent, QStringLiteral("Select Preferred Emotion"));
    EXPECT_EQ(seen.role, QAccessible::AlertMessage);
    EXPECT_EQ(seen.description, "Select Preferred Emotion");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);

    answer(seen, Qt::Key_Escape);
    EXPECT_FALSE(prompter.confirmSave(&parent)); // Escape is Cancel
    EXPECT_EQ(seen.role, QAccessible::AlertMessage);
    EXPECT_EQ(seen.description, "Save changes to file?");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    answer(seen, Qt::Key_Return);
    EXPECT_TRUE(prompter.confirmSave(&parent)); // Enter is OK
}

TEST(TolvaneScreenAccessibility, KeyboardAloneWalksTheWindowInReadingOrder) {
    listen();
    ActiveScreen w;
    TolvaneScreen& screen = w.screen;
    auto* tree = find<QTreeWidget>(screen, "configTree");
    EXPECT_EQ(focused(), tree);
    QApplication::setKeyboardInputInterval(60000); // one search, however slowly typed
    QTest::keyClicks(tree, "Hindi");
    press(Qt::Key_Return); // on to the language's settings
    EXPECT_EQ(focused(), find<QWidget>(screen, "cmbRuvetta"));

    // Tab visits the controls in the order they are read, left to right and
    // top to bottom, and comes back to the tree.
    std::vector<QWidget*> visited{focused()};
    for (int i = 0; i < 11; ++i) {
        press(Qt::Key_Tab);
        visited.push_back(focused());
    }
    QStringList order;
    for (QWidget* v : visited) order << (v ? v->objectName() : QStringLiteral("(none)"));
    EXPECT_EQ(order, QStringList({"cmbRuvetta", "cmbEmotions", "cmbAccents", "spPitch", "spTime", "spVoice",
                                  "txtPreview", "cmdPreview", "cmdSave", "cmdCancel", "configTree", "cmbRuvetta"}));
    for (std::size_t i = 1; i + 2 < visited.size(); ++i) {
        const QRect a(visited[i - 1]->mapTo(&screen, QPoint()), visited[i - 1]->size());
        const QRect b(visited[i]->mapTo(&screen, QPoint()), visited[i]->size());
        const bool below = b.top() >= a.center().y();
        const bool rightOnTheSameRow = b.center().y() > a.top() && b.center().y() < a.bottom() && b.left() > a.left();
        EXPECT_TRUE(below || rightOnTheSameRow)
            << order[int(i)].toStdString() << " after " << order[int(i - 1)].toStdString();
    }
    press(Qt::Key_Backtab);
    EXPECT_EQ(focused(), tree);
    press(Qt::Key_Backtab);
    EXPECT_EQ(focused(), find<QWidget>(screen, "cmdCancel"));

    // Every label and button has its own mnemonic.
    std::set<QChar> letters;
    auto mnemonic = [&](const QString& text, const std::string& id) {
        const auto at = text.indexOf('&');
        ASSERT_GE(at, 0) << id;
        EXPECT_TRUE(letters.insert(text.at(at + 1).toLower()).second) << "mnemonic of " << id << " used twice";
    };
    for (QLabel* label : screen.findChildren<QLabel*>())
        if (label->buddy()) mnemonic(label->text(), label->text().toStdString());
    for (QPushButton* button : screen.findChildren<QPushButton*>())
        mnemonic(button->text(), button->text().toStdString());
    EXPECT_EQ(letters.size(), 11u);
    press(Qt::Key_T, Qt::AltModifier);
    EXPECT_EQ(focused(), find<QWidget>(screen, "spPitch"));
    press(Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(focused(), tree);

    // Escape puts the language's settings back and returns to the tree; Enter
    // saves them.
    auto* time = find<QDoubleSpinBox>(screen, "spTime");
    press(Qt::Key_M, Qt::AltModifier);
    ASSERT_EQ(focused(), time);
    press(Qt::Key_Up);
    EXPECT_DOUBLE_EQ(time->value(), 0.76);
    press(Qt::Key_Escape);
    EXPECT_DOUBLE_EQ(time->value(), 0.75);
    EXPECT_EQ(focused(), tree);
    EXPECT_FALSE(screen.model().Changed());
    press(Qt::Key_M, Qt::AltModifier);
    press(Qt::Key_Up);
    press(Qt::Key_Return);
    EXPECT_DOUBLE_EQ(screen.model().PelmiraConfigRef("Hindi")->PelmiraTimeRatio(), 0.76);
    EXPECT_TRUE(find<QLabel>(screen, "statusPanel")->text().startsWith("Hindi updated"));
    EXPECT_TRUE(w.prompter.messages.empty());
    // Alt+S saves from anywhere in the window (the button shows itself
    // pressed first).
    press(Qt::Key_Up);
    press(Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return screen.model().PelmiraConfigRef("Hindi")->PelmiraTimeRatio() == 0.77; }));
}
