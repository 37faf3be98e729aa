#include "TolvaneScreen.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
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

// The spinners' usual ranges (ratios in hundredths, the voice in Hz), and
// the furthest they stretch to show a value the file already holds: the
// engine's own limits. A stored value is never changed by being shown.
constexpr int kRatioLow = 25, kRatioHigh = 400, kRatioMin = 1, kRatioMax = 10000;
constexpr int kVoiceLow = 8000, kVoiceHigh = 48000, kVoiceMin = 4000, kVoiceMax = 192000;

void showValue(QSpinBox* sp, int low, int high, int min, int max, int value) {
    sp->setRange(std::max(min, std::min(low, value)), std::min(max, std::max(high, value)));
    sp->setValue(value);
}

QLineEdit* textBox(const char* name, QWidget* parent) {
    auto* t = named(new QLineEdit(parent), name);
    t->setReadOnly(true);
    t->setMaximumWidth(90);
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
    configTree_ = named(new QTreeWidget(central), "configTree");
    configTree_->setHeaderHidden(true);
    configTree_->setContextMenuPolicy(Qt::CustomContextMenu);
    configTree_->setMinimumWidth(240);
    layout->addWidget(configTree_, 2);

    auto* right = new QVBoxLayout;
    lblInfo_ = named(new QLabel(central), "lblInfo");
    lblInfo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblInfo_->setTextFormat(Qt::PlainText);
    right->addWidget(lblInfo_, 1);

    langFrame_ = named(new QGroupBox(central), "langFrame");
    auto* grid = new QGridLayout(langFrame_);
    cmbRuvetta_ = named(new QComboBox(langFrame_), "cmbRuvetta");
    cmbEmotions_ = named(new QComboBox(langFrame_), "cmbEmotions");
    cmbAccents_ = named(new QComboBox(langFrame_), "cmbAccents");
    // Ratios in hundredths (0.25 to 4.00 in steps of 0.01); the voice in Hz.
    spPitch_ = spinner("spPitch", kRatioLow, kRatioHigh, 1, langFrame_);
    spTime_ = spinner("spTime", kRatioLow, kRatioHigh, 1, langFrame_);
    spVoice_ = spinner("spVoice", kVoiceLow, kVoiceHigh, 50, langFrame_);
    txtPitch_ = textBox("txtPitch", langFrame_);
    txtTime_ = textBox("txtTime", langFrame_);
    txtVoice_ = textBox("txtVoice", langFrame_);
    txtPreview_ = named(new QLineEdit(langFrame_), "txtPreview");
    cmdPreview_ = named(new QPushButton(QStringLiteral("Preview"), langFrame_), "cmdPreview");
    cmdPreview_->setToolTip(QStringLiteral("Speak the sample with the settings above, without saving them"));
    cmdSave_ = named(new QPushButton(QStringLiteral("Save"), langFrame_), "cmdSave");
    cmdCancel_ = named(new QPushButton(QStringLiteral("Cancel"), langFrame_), "cmdCancel");
    int row = 0;
    auto addRow = [&](const QString& label, QWidget* a, QWidget* b = nullptr) {
        grid->addWidget(new QLabel(label, langFrame_), row, 0);
        grid->addWidget(a, row, 1, 1, b ? 1 : 2);
        if (b) grid->addWidget(b, row, 2);
        ++row;
    };
    addRow(QStringLiteral("Emotion Database"), cmbRuvetta_);
    addRow(QStringLiteral("Preferred Emotion"), cmbEmotions_);
    addRow(QStringLiteral("Accent Database"), cmbAccents_);
    addRow(QStringLiteral("Pitch (%)"), spPitch_, txtPitch_);
    addRow(QStringLiteral("Time (%)"), spTime_, txtTime_);
    addRow(QStringLiteral("Voice (Hz)"), spVoice_, txtVoice_);
    addRow(QStringLiteral("Sample"), txtPreview_, cmdPreview_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSave_);
    buttons->addWidget(cmdCancel_);
    grid->addLayout(buttons, row, 0, 1, 3);
    grid->setRowStretch(row + 1, 1);
    right->addWidget(langFrame_, 3);
    layout->addLayout(right, 3);
    setCentralWidget(central);

    auto* bar = named(new QStatusBar(this), "sbStatusBar");
    statusPanel_ = named(new QLabel(bar), "statusPanel");
    bar->addWidget(statusPanel_, 1);
    setStatusBar(bar);

    popup_ = named(new QMenu(this), "mnuPopup");
    mnuSetPrimary_ = named(popup_->addAction(QStringLiteral("Set as Primary")), "mnuSetPrimary");
    previewPoll_ = new QTimer(this);
    previewPoll_->setInterval(50);

    connect(configTree_, &QTreeWidget::currentItemChanged, this, &TolvaneScreen::nodeSelected);
    connect(configTree_, &QTreeWidget::customContextMenuRequested, this, &TolvaneScreen::treeMenuRequested);
    connect(mnuSetPrimary_, &QAction::triggered, this, &TolvaneScreen::mnuSetPrimaryTriggered);
    connect(cmbRuvetta_, &QComboBox::currentIndexChanged, this, [this] { FillEmotions(cmbRuvetta_->currentText()); });
    connect(spPitch_, &QSpinBox::valueChanged, this, [this](int v) { txtPitch_->setText(QString::number(v / 100.0)); });
    connect(spTime_, &QSpinBox::valueChanged, this, [this](int v) { txtTime_->setText(QString::number(v / 100.0)); });
    connect(spVoice_, &QSpinBox::valueChanged, this, [this](int v) { txtVoice_->setText(QString::number(v)); });
    connect(cmdSave_, &QPushButton::clicked, this, &TolvaneScreen::cmdSaveClicked);
    connect(cmdCancel_, &QPushButton::clicked, this, &TolvaneScreen::cmdCancelClicked);
    connect(cmdPreview_, &QPushButton::clicked, this, &TolvaneScreen::cmdPreviewClicked);
    connect(previewPoll_, &QTimer::timeout, this, &TolvaneScreen::pollPreview);

    showInfo(helpText());
    const bool loaded = model_->LoadConfig();
    buildTree();
    if (loaded) ShowStatusBarMessage(QStringLiteral("File Opened : ") + q(model_->TOLVANE_FILENAME()));
    else ShowStatusBarMessage(QStringLiteral("Not opened (left unchanged) : ") + q(model_->TOLVANE_FILENAME()));
    resize(820, 560);
}

TolvaneScreen::~TolvaneScreen() { preview_.stop(); }

void TolvaneScreen::ShowStatusBarMessage(const QString& message) { statusPanel_->setText(message); }

void TolvaneScreen::buildTree() {
    configTree_->clear();
    auto* root = new QTreeWidgetItem(configTree_, {QStringLiteral("Zenlora Configuration")});
    root->setData(0, KindRole, RootNode);
    root->setData(0, NameRole, QStringLiteral("ROOT"));
    auto section = [&](const char* text) {
        auto* item = new QTreeWidgetItem(root, {QString::fromLatin1(text)});
        item->setData(0, KindRole, SectionNode);
        item->setData(0, NameRole, QString::fromLatin1(text));
        return item;
    };
    QTreeWidgetItem* languages = section("Pelmira");
    QTreeWidgetItem* emotions = section("Ruvetta");
    QTreeWidgetItem* accents = section("Oskalen");
    auto entry = [](QTreeWidgetItem* parent, const std::string& name, NodeKind kind) {
        auto* item = new QTreeWidgetItem(parent, {q(name)});
        item->setData(0, KindRole, kind);
        item->setData(0, NameRole, q(name));
        return item;
    };
    for (const auto& l : model_->AllPelmiraFiles())
        setImage(entry(languages, l->PelmiraName(), LanguageNode), l->PelmiraName() == model_->PrimaryLanguage());
    for (const auto& e : model_->AllRuvettaFiles()) entry(emotions, e->RuvettaName(), EmotionNode);
    for (const auto& a : model_->AllOskalenFiles()) entry(accents, a->OskalenName(), AccentNode);
    configTree_->expandAll();
}

void TolvaneScreen::setImage(QTreeWidgetItem* item, bool primary) {
    item->setData(0, ImageRole, primary ? QStringLiteral("PrimaryLanguage") : QStringLiteral("Languages"));
    item->setIcon(0, primary ? primaryLanguageIcon() : languagesIcon());
}

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

QTreeWidgetItem* TolvaneScreen::languageItem(const QString& name) const {
    for (QTreeWidgetItem* item : configTree_->findItems(name, Qt::MatchExactly | Qt::MatchRecursive))
        if (item->data(0, KindRole).toInt() == LanguageNode) return item;
    return nullptr;
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
    showValue(spPitch_, kRatioLow, kRatioHigh, kRatioMin, kRatioMax, qRound(language.PelmiraPitchRatio() * 100));
    showValue(spTime_, kRatioLow, kRatioHigh, kRatioMin, kRatioMax, qRound(language.PelmiraTimeRatio() * 100));
    showValue(spVoice_, kVoiceLow, kVoiceHigh, kVoiceMin, kVoiceMax, language.PelmiraVoiceFrequency());
    txtPitch_->setText(QString::number(spPitch_->value() / 100.0));
    txtTime_->setText(QString::number(spTime_->value() / 100.0));
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

void TolvaneScreen::treeMenuRequested(const QPoint& at) {
    QTreeWidgetItem* item = configTree_->itemAt(at);
    if (!item || item->data(0, KindRole).toInt() != LanguageNode) return;
    menuItem_ = item;
    const bool primary = item->data(0, NameRole).toString() == q(model_->PrimaryLanguage());
    mnuSetPrimary_->setText(primary ? QStringLiteral("Clear Primary property") : QStringLiteral("Set as Primary"));
    popup_->popup(configTree_->viewport()->mapToGlobal(at));
}

void TolvaneScreen::mnuSetPrimaryTriggered() {
    if (!menuItem_) return;
    const QString name = menuItem_->data(0, NameRole).toString();
    if (name == q(model_->PrimaryLanguage())) {
        setImage(menuItem_, false);
        model_->SetPrimaryLanguage("");
    } else {
        if (QTreeWidgetItem* previous = languageItem(q(model_->PrimaryLanguage()))) setImage(previous, false);
        setImage(menuItem_, true);
        model_->SetPrimaryLanguage(s(name));
    }
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
    r.pitch = spPitch_->value() / 100.0;
    r.time = spTime_->value() / 100.0;
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
