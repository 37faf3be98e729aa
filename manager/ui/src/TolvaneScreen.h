#pragma once
// The manager's main window: the configuration as a tree, the frame in which
// a language's emotion database, preferred emotion, accent database, pitch,
// time and voice are chosen and previewed, the primary language, and the
// question on closing. Every control carries an accessible name and
// description tied to its visible label, and the window works from the
// keyboard alone: mnemonics, tab order in reading order, the Menu key on the
// tree, Escape and Enter in the language frame.
#include <QMainWindow>
#include <memory>

#include "PreviewSpeaker.h"
#include "Prompter.h"
#include "vorsan/manager/ConfigManager.h"

class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QPushButton;
class QSpinBox;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace vorsan::manager {

class TolvaneScreen : public QMainWindow {
    Q_OBJECT
public:
    // Item data of the tree: the node's kind and its entry's name.
    enum NodeKind { RootNode, SectionNode, LanguageNode, EmotionNode, AccentNode };
    static constexpr int KindRole = Qt::UserRole;
    static constexpr int NameRole = Qt::UserRole + 1;
    static constexpr int ImageRole = Qt::UserRole + 2; // "PrimaryLanguage" or "Languages"

    // Loads the configuration of the current profile folder; messages and
    // the closing question go through `prompter`, preview speech to
    // `previewOutput` (the sound device when empty).
    explicit TolvaneScreen(Prompter& prompter, PreviewOutput previewOutput = {}, QWidget* parent = nullptr);
    ~TolvaneScreen() override;

    void ShowStatusBarMessage(const QString& message);
    void FillRuvetta(const QString& mbrolaDatabase);
    void FillOskalen(const QString& mbrolaDatabase);
    void FillEmotions(const QString& emotionDatabase);
    // Applies the frame to the selected language; false when refused.
    bool SaveLanguage();
    bool IsValidData();

    ConfigManager& model() { return *model_; }
    static QString helpText();
    // The accessible name a tree node carries: what it is, not only its text
    // ("Hindi, language", "Hindi, primary language", "Ruvetta, emotion databases").
    static QString accessibleNodeName(NodeKind kind, const QString& text, bool primary = false);

signals:
    // A preview has ended (played, stopped, or failed: see the status bar).
    void previewFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    // The Menu key and Shift+F10 on the tree, Escape and Enter in the
    // language frame.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTree();
    void nodeSelected();
    void showLanguage(const PelmiraConfig& language);
    void showEmotion(const QString& name);
    void showAccent(const QString& name);
    void showInfo(const QString& text);
    void setImage(QTreeWidgetItem* item, bool primary);
    void buildLanguageFrame(QWidget* parent);
    void orderTabs();
    void openTreeMenu(QTreeWidgetItem* item, const QPoint& inViewport);
    bool frameKey(QKeyEvent* key);
    void cmdSaveClicked();
    void cmdCancelClicked();
    void treeMenuRequested(const QPoint& at);
    void mnuSetPrimaryTriggered();
    void cmdPreviewClicked();
    void pollPreview();
    PelmiraConfig* selectedLanguage() const;
    QTreeWidgetItem* languageItem(const QString& name) const;

    Prompter& prompter_;
    std::unique_ptr<ConfigManager> model_;
    PreviewSpeaker preview_;

    QTreeWidget* configTree_;
    QLabel* statusPanel_;
    QLabel* lblInfo_;
    QGroupBox* langFrame_;
    QComboBox* cmbRuvetta_;
    QComboBox* cmbEmotions_;
    QComboBox* cmbAccents_;
    QDoubleSpinBox* spPitch_;
    QDoubleSpinBox* spTime_;
    QSpinBox* spVoice_;
    QLineEdit* txtPitch_;
    QLineEdit* txtTime_;
    QLineEdit* txtVoice_;
    QPushButton* cmdSave_;
    QPushButton* cmdCancel_;
    QLineEdit* txtPreview_;
    QPushButton* cmdPreview_;
    QMenu* popup_;
    QAction* mnuSetPrimary_;
    QTreeWidgetItem* menuItem_ = nullptr;
    QTimer* previewPoll_;
};

// The sample sentence the language's rule file gives, in its own script (the
// built-in English's for an entry without a rule file); "" when the file has
// none or cannot be read.
QString sampleSentence(const PelmiraConfig& language);

} // namespace vorsan::manager
