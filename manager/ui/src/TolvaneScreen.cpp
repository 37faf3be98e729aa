#include "TolvaneScreen.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>

#include "Icons.h"
#include "vorsan/core/MException.h"
#include "vorsan/engine/SpeechEngine.h"

namespace vorsan::manager {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QString& q) { return q.toStdString(); }

template <typename T>
T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QSpinBox* spinner(const char* name, int low, int high, int step, QWidget* parent) {
    auto* sp = named(new QSpinBox(parent), name);
    sp->setRange(low, high);
    sp->setSingleStep(step);
    return sp;
}

// The accessible name (what a screen reader says the control is, the same
// words as its label) and description (what it does).
void describe(QWidget* w, const char* name, const char* description) {
    w->setAccessibleName(QString::fromUtf8(name));
    w->setAccessibleDescription(QString::fromUtf8(description));
}

// A visible label with a mnemonic (Alt+letter) that gives `control` the
// focus; screen readers report it as the control's label.
QLabel* buddyLabel(const char* text, QWidget* control, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setBuddy(control);
    return label;
}

// The spinners' usual ranges (ratios, the voice in Hz), and the furthest
// they stretch to show a value the file already holds: the engine's own
// limits. A stored value is never changed by being shown.
constexpr double kRatioLow = 0.25, kRatioHigh = 4.0, kRatioMin = 0.01, kRatioMax = 100.0;
constexpr int kVoiceLow = 8000, kVoiceHigh = 48000, kVoiceMin = 4000, kVoiceMax = 192000;

QDoubleSpinBox* ratioSpinner(const char* name, QWidget* parent) {
    auto* sp = named(new QDoubleSpinBox(parent), name);
    sp->setDecimals(2);
    sp->setRange(kRatioLow, kRatioHigh);
    sp->setSingleStep(0.01);
    return sp;
}

template <typename Box, typename T>
void showValue(Box* sp, T low, T high, T min, T max, T value) {
    sp->setRange(std::max(min, std::min(low, value)), std::min(max, std::max(high, value)));
    sp->setValue(value);
}

// A read-only box with the value as it will be written; the spinner beside
// it already speaks the value, so Tab passes it by.
QLineEdit* textBox(const char* name, const char* accessibleName, QWidget* parent) {
    auto* t = named(new QLineEdit(parent), name);
    t->setReadOnly(true);
    t->setFocusPolicy(Qt::NoFocus);
    t->setMaximumWidth(90);
    t->setAccessibleName(QString::fromUtf8(accessibleName));
    return t;
}

} // namespace

QString sampleSentence(const PelmiraConfig& language) {
    try {
        const LanguageDescription d = language.PelmiraFileLocation().empty()
                                          ? SpeechEngine::describeBuiltInEnglish()
                                          : SpeechEngine::describeLanguageFile(language.PelmiraFileLocation());
        return QString::fromStdU16String(d.sample);
    } catch (const MException&) {
        return {};
    }
}

QString TolvaneScreen::helpText() {
    return QStringLiteral(
        "Tolvane is the configuration tool for automating the \n"
        "use of Vorsan for the end-users. \n"
        "Once all the language specific rule database, emotion database \n"
        "and accent database are set, Tolvane stores all these settings \n"
        "in the user's home directory in a file called tolvane.xml.\n"
        "Any end-user application which uses Vorsan as speech engine \n"
        "can be directed to use the settings \n"
        "and information available in tolvane.xml.\n"
        "\n"
        "Pelmira - Language Database\n"
        "Ruvetta - Emotion Database\n"
        "Oskalen - Accent Database");
}

TolvaneScreen::TolvaneScreen(Prompter& prompter, PreviewOutput previewOutput, QWidget* parent)
    : QMainWindow(parent), prompter_(prompter), preview_(std::move(previewOutput)) {
    setObjectName(QStringLiteral("TolvaneScreen"));
    setWindowTitle(QStringLiteral("Tolvane"));
    setWindowIcon(applicationIcon());
    model_ = std::make_unique<ConfigManager>([this](const std::string& m) { prompter_.message(this, q(m)); });

    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    auto* left = new QVBoxLayout;
    configTree_ = named(new QTreeWidget(central), "configTree");
    configTree_->setHeaderHidden(true);
    configTree_->setContextMenuPolicy(Qt::CustomContextMenu);
    configTree_->setMinimumWidth(240);
    describe(configTree_, "Configuration",
             "Languages, emotion databases and accent databases. On a language, the Menu key or Shift+F10 "
             "sets or clears the primary language, and Enter moves to its settings.");
    configTree_->installEventFilter(this);
    left->addWidget(buddyLabel("Con&figuration", configTree_, central));
    left->addWidget(configTree_, 1);
    layout->addLayout(left, 2);

    auto* right = new QVBoxLayout;
    lblInfo_ = named(new QLabel(central), "lblInfo");
    lblInfo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblInfo_->setTextFormat(Qt::PlainText);
    // Reachable with Tab, so a screen reader reads the help and the details
    // of the selected database; its name is its text.
    lblInfo_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    lblInfo_->setAccessibleDescription(QStringLiteral("Help, or the details of the selected database"));
    right->addWidget(lblInfo_, 1);
    buildLanguageFrame(central);
    right->addWidget(langFrame_, 3);
    layout->addLayout(right, 3);
    setCentralWidget(central);

    auto* bar = named(new QStatusBar(this), "sbStatusBar");
    statusPanel_ = named(new QLabel(bar), "statusPanel");
    statusPanel_->setAccessibleDescription(QStringLiteral("Status"));
    bar->addWidget(statusPanel_, 1);
    setStatusBar(bar);

    popup_ = named(new QMenu(this), "mnuPopup");
    mnuSetPrimary_ = named(popup_->addAction(QStringLiteral("Set as Primary")), "mnuSetPrimary");
    previewPoll_ = new QTimer(this);
    previewPoll_->setInterval(50);

    connect(configTree_, &QTreeWidget::currentItemChanged, this, &TolvaneScreen::nodeSelected);
    connect(configTree_, &QTreeWidget::customContextMenuRequested, this, &TolvaneScreen::treeMenuRequested);
    // Enter on a language goes on to its settings.
    connect(configTree_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (item->data(0, KindRole).toInt() == LanguageNode && langFrame_->isVisible())
            cmbRuvetta_->setFocus(Qt::TabFocusReason);
    });
    connect(mnuSetPrimary_, &QAction::triggered, this, &TolvaneScreen::mnuSetPrimaryTriggered);
    connect(cmbRuvetta_, &QComboBox::currentIndexChanged, this, [this] { FillEmotions(cmbRuvetta_->currentText()); });
    connect(spPitch_, &QDoubleSpinBox::valueChanged, this,
            [this](double v) { txtPitch_->setText(QString::number(v)); });
    connect(spTime_, &QDoubleSpinBox::valueChanged, this, [this](double v) { txtTime_->setText(QString::number(v)); });
    connect(spVoice_, &QSpinBox::valueChanged, this, [this](int v) { txtVoice_->setText(QString::number(v)); });
    connect(cmdSave_, &QPushButton::clicked, this, &TolvaneScreen::cmdSaveClicked);
    connect(cmdCancel_, &QPushButton::clicked, this, &TolvaneScreen::cmdCancelClicked);
    connect(cmdPreview_, &QPushButton::clicked, this, &TolvaneScreen::cmdPreviewClicked);
    connect(previewPoll_, &QTimer::timeout, this, &TolvaneScreen::pollPreview);

    showInfo(helpText());
    const bool loaded = model_->LoadConfig();
    buildTree();
    orderTabs();
    configTree_->setFocus(); // where the window starts, on the root node
    if (loaded) ShowStatusBarMessage(QStringLiteral("File Opened : ") + q(model_->TOLVANE_FILENAME()));
    else ShowStatusBarMessage(QStringLiteral("Not opened (left unchanged) : ") + q(model_->TOLVANE_FILENAME()));
    resize(820, 580);
}

void TolvaneScreen::buildLanguageFrame(QWidget* parent) {
    langFrame_ = named(new QGroupBox(parent), "langFrame");
    langFrame_->installEventFilter(this);
    auto* grid = new QGridLayout(langFrame_);
    cmbRuvetta_ = named(new QComboBox(langFrame_), "cmbRuvetta");
    describe(cmbRuvetta_, "Emotion database",
             "The emotion database that gives the language its moods; only those made for its voice are offered");
    cmbEmotions_ = named(new QComboBox(langFrame_), "cmbEmotions");
    describe(cmbEmotions_, "Preferred mood", "The mood the language speaks in, one of the emotion database's");
    cmbAccents_ = named(new QComboBox(langFrame_), "cmbAccents");
    describe(cmbAccents_, "Accent database",
             "The accent database that carries the language's sounds over to another voice; empty for none");
    // Ratios as ratios (0.25 to 4.00 in steps of 0.01), so they are shown
    // and spoken as the file holds them; the voice in Hz.
    spPitch_ = ratioSpinner("spPitch", langFrame_);
    describe(spPitch_, "Pitch ratio", "Pitch as a ratio of the voice's own: 1.00 unchanged, 0.75 lower, 1.50 higher");
    spTime_ = ratioSpinner("spTime", langFrame_);
    describe(spTime_, "Time ratio", "Length of the speech as a ratio: 1.00 unchanged, 1.50 slower, 0.75 faster");
    spVoice_ = spinner("spVoice", kVoiceLow, kVoiceHigh, 50, langFrame_);
    spVoice_->setSuffix(QStringLiteral(" Hz"));
    describe(spVoice_, "Voice frequency", "The voice's sampling frequency in hertz; the voice's own is usually 16000");
    txtPitch_ = textBox("txtPitch", "Pitch ratio to save", langFrame_);
    txtTime_ = textBox("txtTime", "Time ratio to save", langFrame_);
    txtVoice_ = textBox("txtVoice", "Voice frequency to save", langFrame_);
    txtPreview_ = named(new QLineEdit(langFrame_), "txtPreview");
    describe(txtPreview_, "Sample sentence", "The sentence Preview speaks; edit it as you like. Enter speaks it");
    cmdPreview_ = named(new QPushButton(QStringLiteral("&Preview"), langFrame_), "cmdPreview");
    describe(cmdPreview_, "Preview", "Speak the sample with the settings above, without saving them");
    cmdPreview_->setToolTip(cmdPreview_->accessibleDescription());
    cmdSave_ = named(new QPushButton(QStringLiteral("&Save"), langFrame_), "cmdSave");
    cmdSave_->setDefault(true);
    describe(cmdSave_, "Save", "Apply these settings to the language; tolvane.xml is written when Tolvane closes. "
                               "Enter in the settings does the same");
    cmdCancel_ = named(new QPushButton(QStringLiteral("&Cancel"), langFrame_), "cmdCancel");
    describe(cmdCancel_, "Cancel", "Put back the language's settings and return to the tree. Escape does the same");
    int row = 0;
    auto addRow = [&](const char* label, QWidget* a, QWidget* b = nullptr) {
        grid->addWidget(buddyLabel(label, a, langFrame_), row, 0);
        grid->addWidget(a, row, 1, 1, b ? 1 : 2);
        if (b) grid->addWidget(b, row, 2);
        ++row;
    };
    addRow("&Emotion database", cmbRuvetta_);
    addRow("Preferred m&ood", cmbEmotions_);
    addRow("&Accent database", cmbAccents_);
    addRow("Pi&tch ratio", spPitch_, txtPitch_);
    addRow("Ti&me ratio", spTime_, txtTime_);
    addRow("&Voice frequency", spVoice_, txtVoice_);
    addRow("Samp&le sentence", txtPreview_, cmdPreview_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSave_);
    buttons->addWidget(cmdCancel_);
    grid->addLayout(buttons, row, 0, 1, 3);
    grid->setRowStretch(row + 1, 1);
}

// Tab follows the window's reading order: the tree, the help (when shown),
// then the frame row by row.
void TolvaneScreen::orderTabs() {
    QWidget* const chain[] = {configTree_, lblInfo_, cmbRuvetta_, cmbEmotions_, cmbAccents_, spPitch_,
                              spTime_,     spVoice_, txtPreview_, cmdPreview_,  cmdSave_,    cmdCancel_};
    for (std::size_t i = 0; i + 1 < std::size(chain); ++i) QWidget::setTabOrder(chain[i], chain[i + 1]);
}

TolvaneScreen::~TolvaneScreen() { preview_.stop(); }

void TolvaneScreen::ShowStatusBarMessage(const QString& message) { statusPanel_->setText(message); }

void TolvaneScreen::showInfo(const QString& text) {
    lblInfo_->setText(text);
    lblInfo_->show();
    langFrame_->hide();
}

PelmiraConfig* TolvaneScreen::selectedLanguage() const {
    QTreeWidgetItem* item = configTree_->currentItem();
    if (!item || item->data(0, KindRole).toInt() != LanguageNode) return nullptr;
    return model_->PelmiraConfigRef(s(item->data(0, NameRole).toString()));
}

void TolvaneScreen::nodeSelected() {
    QTreeWidgetItem* item = configTree_->currentItem();
    const int kind = item ? item->data(0, KindRole).toInt() : RootNode;
    const QString name = item ? item->data(0, NameRole).toString() : QString();
    if (kind == LanguageNode && selectedLanguage()) showLanguage(*selectedLanguage());
    else if (kind == EmotionNode) showEmotion(name);
    else if (kind == AccentNode) showAccent(name);
    else showInfo(helpText());
}

void TolvaneScreen::FillRuvetta(const QString& mbrolaDatabase) {
    QSignalBlocker block(cmbRuvetta_);
    cmbRuvetta_->clear();
    cmbRuvetta_->addItem(QString());
    for (const RuvettaConfig* e : model_->SuitableRuvettaFiles(s(mbrolaDatabase))) cmbRuvetta_->addItem(q(e->RuvettaName()));
}

void TolvaneScreen::FillOskalen(const QString& mbrolaDatabase) {
    cmbAccents_->clear();
    cmbAccents_->addItem(QString());
    for (const OskalenConfig* a : model_->SuitableOskalenFiles(s(mbrolaDatabase))) cmbAccents_->addItem(q(a->OskalenName()));
}

void TolvaneScreen::FillEmotions(const QString& emotionDatabase) {
    cmbEmotions_->clear();
    if (const RuvettaConfig* e = model_->RuvettaConfigRef(s(emotionDatabase)))
        for (const std::string& mood : e->RuvettaMoods()) cmbEmotions_->addItem(q(mood));
    cmbEmotions_->setCurrentIndex(-1); // no preferred emotion chosen yet
}

void TolvaneScreen::showLanguage(const PelmiraConfig& language) {
    langFrame_->setTitle(QStringLiteral("Pelmira Configuration for ") + q(language.PelmiraName()));
    const QString mbrola = q(language.PelmiraMbrolaDatabase());
    // A reference the lists would not offer (a hand-edited file) is shown
    // anyway, so saving reports the mismatch instead of dropping it silently.
    auto choose = [](QComboBox* box, const QString& current) {
        QSignalBlocker block(box);
        if (box->findText(current) < 0) box->addItem(current);
        box->setCurrentIndex(box->findText(current));
    };
    FillRuvetta(mbrola);
    choose(cmbRuvetta_, q(language.RuvettaRef()));
    FillEmotions(q(language.RuvettaRef()));
    cmbEmotions_->setCurrentIndex(cmbEmotions_->findText(q(language.PreferredEmotion())));
    FillOskalen(mbrola);
    choose(cmbAccents_, q(language.OskalenRef()));
    showValue(spPitch_, kRatioLow, kRatioHigh, kRatioMin, kRatioMax, language.PelmiraPitchRatio());
    showValue(spTime_, kRatioLow, kRatioHigh, kRatioMin, kRatioMax, language.PelmiraTimeRatio());
    showValue(spVoice_, kVoiceLow, kVoiceHigh, kVoiceMin, kVoiceMax, language.PelmiraVoiceFrequency());
    txtPitch_->setText(QString::number(spPitch_->value()));
    txtTime_->setText(QString::number(spTime_->value()));
    txtVoice_->setText(QString::number(spVoice_->value()));
    txtPreview_->setText(sampleSentence(language));
    txtPreview_->setCursorPosition(0); // the sentence's start in view
    txtPreview_->setPlaceholderText(QStringLiteral("A sentence in ") + q(language.PelmiraName()));
    lblInfo_->hide();
    langFrame_->show();
}

void TolvaneScreen::showEmotion(const QString& name) {
    const RuvettaConfig* e = model_->RuvettaConfigRef(s(name));
    const QString missing = QStringLiteral("NOT AVAILABLE");
    QString moods;
    if (e)
        for (const std::string& mood : e->RuvettaMoods()) moods += QStringLiteral("\n    ") + q(mood);
    if (moods.isEmpty()) moods = QStringLiteral("\n    ") + missing;
    showInfo(QStringLiteral("Applies emotion to Mborla phonemes\n\nEmotion Database : ") + (e ? name : missing) +
             QStringLiteral("\n\nMbrola Database : ") + (e ? q(e->RuvettaMbrolaDatabase()) : missing) +
             QStringLiteral("\n\nAvailable Moods : ") + moods);
}

void TolvaneScreen::showAccent(const QString& name) {
    const OskalenConfig* a = model_->OskalenConfigRef(s(name));
    const QString missing = QStringLiteral("NOT AVAILABLE");
    showInfo(QStringLiteral("Applies accent to Mborla phonemes (Convert phonemes from one Mbrola database to another)"
                            "\n\nAccent Database : ") +
             (a ? name : missing) + QStringLiteral("\n\nFrom Mbrola Database : ") +
             (a ? q(a->FromMbrolaDatabase()) : missing) + QStringLiteral("\n\nTo Mbrola Database : ") +
             (a ? q(a->ToMbrolaDatabase()) : missing));
}

bool TolvaneScreen::IsValidData() {
    const PelmiraConfig* language = selectedLanguage();
    return language && model_->CheckReferences(*language, s(cmbRuvetta_->currentText()), s(cmbAccents_->currentText()));
}

bool TolvaneScreen::SaveLanguage() {
    const PelmiraConfig* language = selectedLanguage();
    if (!language || !IsValidData()) return false;
    LanguageSettings settings;
    settings.pitch = txtPitch_->text().toDouble();
    settings.time = txtTime_->text().toDouble();
    settings.voice = spVoice_->value();
    settings.emotionDatabase = s(cmbRuvetta_->currentText());
    settings.preferredEmotion = cmbEmotions_->currentIndex() >= 0 ? s(cmbEmotions_->currentText()) : std::string();
    settings.accentDatabase = s(cmbAccents_->currentText());
    const std::string name = language->PelmiraName();
    if (!model_->ApplyLanguage(name, settings)) return false;
    ShowStatusBarMessage(q(name) + QStringLiteral(" updated (written to tolvane.xml when Tolvane closes)"));
    return true;
}

void TolvaneScreen::cmdSaveClicked() {
    if (!cmbRuvetta_->currentText().isEmpty() && cmbEmotions_->currentIndex() < 0) {
        prompter_.message(this, QStringLiteral("Select Preferred Emotion"));
        return;
    }
    SaveLanguage();
}

void TolvaneScreen::cmdCancelClicked() {
    if (const PelmiraConfig* language = selectedLanguage()) showLanguage(*language);
    configTree_->setFocus();
}

bool TolvaneScreen::eventFilter(QObject* watched, QEvent* event) {
    if (watched == configTree_) {
        bool menuKey = false;
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
            menuKey = (key->key() == Qt::Key_Menu && modifiers == Qt::NoModifier) ||
                      (key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier);
        } else if (event->type() == QEvent::ContextMenu) {
            // Some platforms turn the Menu key into a context menu event as well.
            menuKey = static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard;
        }
        if (!menuKey) return false;
        QTreeWidgetItem* item = configTree_->currentItem();
        if (item && !popup_->isVisible()) openTreeMenu(item, configTree_->visualItemRect(item).bottomLeft());
        return true;
    }
    if (watched == langFrame_ && event->type() == QEvent::KeyPress) return frameKey(static_cast<QKeyEvent*>(event));
    return QMainWindow::eventFilter(watched, event);
}

// Keys the frame's controls leave unused: Escape puts the language's
// settings back, Enter presses the focused button, speaks the sample from its
// box, and saves from anywhere else.
bool TolvaneScreen::frameKey(QKeyEvent* key) {
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    if (key->key() == Qt::Key_Escape) {
        cmdCancel_->click();
        return true;
    }
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    QWidget* focus = langFrame_->focusWidget();
    if (auto* button = qobject_cast<QPushButton*>(focus)) button->click();
    else if (focus == txtPreview_) cmdPreview_->click();
    else cmdSave_->click();
    return true;
}

void TolvaneScreen::cmdPreviewClicked() {
    const PelmiraConfig* language = selectedLanguage();
    if (!language) return;
    if (txtPreview_->text().trimmed().isEmpty()) {
        ShowStatusBarMessage(QStringLiteral("Type a sentence to preview"));
        return;
    }
    PreviewRequest r;
    r.languageFile = language->PelmiraFileLocation();
    const RuvettaConfig* emotion = model_->RuvettaConfigRef(s(cmbRuvetta_->currentText()));
    if (emotion && cmbEmotions_->currentIndex() >= 0) {
        r.emotionFile = emotion->RuvettaFileLocation();
        r.mood = cmbEmotions_->currentText().toStdU16String();
    }
    if (const OskalenConfig* accent = model_->OskalenConfigRef(s(cmbAccents_->currentText())))
        r.accentFile = accent->OskalenFileLocation();
    r.pitch = spPitch_->value();
    r.time = spTime_->value();
    r.voice = spVoice_->value();
    r.text = txtPreview_->text().toStdU16String();
    preview_.start(std::move(r));
    ShowStatusBarMessage(QStringLiteral("Speaking the preview of ") + q(language->PelmiraName()) + QStringLiteral("…"));
    previewPoll_->start();
}

void TolvaneScreen::pollPreview() {
    std::optional<PreviewResult> r = preview_.takeResult();
    if (!r) return;
    previewPoll_->stop();
    switch (r->kind) {
    case PreviewResult::Played: ShowStatusBarMessage(QStringLiteral("Preview played")); break;
    case PreviewResult::Stopped: ShowStatusBarMessage(QStringLiteral("Preview stopped")); break;
    case PreviewResult::NoDevice:
        ShowStatusBarMessage(QStringLiteral("No sound device: the preview cannot be heard (") + q(r->message) + ")");
        break;
    case PreviewResult::Failed: ShowStatusBarMessage(QStringLiteral("Preview failed: ") + q(r->message)); break;
    }
    emit previewFinished();
}

void TolvaneScreen::closeEvent(QCloseEvent* event) {
    preview_.stop();
    previewPoll_->stop();
    if (model_->Changed() && prompter_.confirmSave(this) && !model_->SaveConfig()) {
        event->ignore(); // the save failed and said why; the edits stay
        return;
    }
    event->accept();
}

} // namespace vorsan::manager
