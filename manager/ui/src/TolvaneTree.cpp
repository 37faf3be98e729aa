// The window's tree: its nodes with what they tell a screen reader, the
// primary language's image, and the language's pop-up menu.
#include <QMenu>
#include <QTreeWidget>

#include "Icons.h"
#include "TolvaneScreen.h"

namespace vorsan::manager {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QString& q) { return q.toStdString(); }

} // namespace

QString TolvaneScreen::accessibleNodeName(NodeKind kind, const QString& text, bool primary) {
    switch (kind) {
    case LanguageNode: return text + (primary ? QStringLiteral(", primary language") : QStringLiteral(", language"));
    case EmotionNode: return text + QStringLiteral(", emotion database");
    case AccentNode: return text + QStringLiteral(", accent database");
    case SectionNode:
        if (text == QLatin1String("Pelmira")) return text + QStringLiteral(", language databases");
        if (text == QLatin1String("Ruvetta")) return text + QStringLiteral(", emotion databases");
        return text + QStringLiteral(", accent databases");
    case RootNode: break;
    }
    return text;
}

void TolvaneScreen::buildTree() {
    configTree_->clear();
    auto node = [](QTreeWidgetItem* item, NodeKind kind, const QString& name, const QString& description) {
        item->setData(0, KindRole, kind);
        item->setData(0, NameRole, name);
        item->setData(0, Qt::AccessibleTextRole, accessibleNodeName(kind, item->text(0)));
        item->setData(0, Qt::AccessibleDescriptionRole, description);
        // Only nodes with children show (and report) an expanded state.
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
        if (kind != RootNode && kind != SectionNode) item->setFlags(item->flags() | Qt::ItemNeverHasChildren);
        return item;
    };
    auto* root = node(new QTreeWidgetItem(configTree_, {QStringLiteral("Zenlora Configuration")}), RootNode,
                      QStringLiteral("ROOT"), QStringLiteral("The configuration in ") + q(model_->TOLVANE_FILENAME()));
    auto section = [&](const char* text, const char* description) {
        const QString name = QString::fromLatin1(text);
        return node(new QTreeWidgetItem(root, {name}), SectionNode, name, QString::fromLatin1(description));
    };
    QTreeWidgetItem* languages = section("Pelmira", "The language rule databases");
    QTreeWidgetItem* emotions = section("Ruvetta", "The emotion databases");
    QTreeWidgetItem* accents = section("Oskalen", "The accent databases");
    auto entry = [&](QTreeWidgetItem* parent, const std::string& name, NodeKind kind, const QString& description) {
        return node(new QTreeWidgetItem(parent, {q(name)}), kind, q(name), description);
    };
    for (const auto& l : model_->AllPelmiraFiles())
        setImage(
            entry(languages, l->PelmiraName(), LanguageNode, QStringLiteral("Voice ") + q(l->PelmiraMbrolaDatabase())),
            l->PelmiraName() == model_->PrimaryLanguage());
    for (const auto& e : model_->AllRuvettaFiles()) {
        QStringList moods;
        for (const std::string& mood : e->RuvettaMoods()) moods << q(mood);
        entry(emotions, e->RuvettaName(), EmotionNode,
              QStringLiteral("For voice ") + q(e->RuvettaMbrolaDatabase()) + QStringLiteral("; moods ") +
                  moods.join(QStringLiteral(", ")));
    }
    for (const auto& a : model_->AllOskalenFiles())
        entry(accents, a->OskalenName(), AccentNode,
              QStringLiteral("From voice ") + q(a->FromMbrolaDatabase()) + QStringLiteral(" to voice ") +
                  q(a->ToMbrolaDatabase()));
    for (QTreeWidgetItem* item : {root, languages, emotions, accents})
        if (item->childCount() > 0) item->setExpanded(true);
    configTree_->setCurrentItem(root);
}

void TolvaneScreen::setImage(QTreeWidgetItem* item, bool primary) {
    item->setData(0, ImageRole, primary ? QStringLiteral("PrimaryLanguage") : QStringLiteral("Languages"));
    item->setIcon(0, primary ? primaryLanguageIcon() : languagesIcon());
    item->setData(0, Qt::AccessibleTextRole, accessibleNodeName(LanguageNode, item->text(0), primary));
}

QTreeWidgetItem* TolvaneScreen::languageItem(const QString& name) const {
    for (QTreeWidgetItem* item : configTree_->findItems(name, Qt::MatchExactly | Qt::MatchRecursive))
        if (item->data(0, KindRole).toInt() == LanguageNode) return item;
    return nullptr;
}

void TolvaneScreen::treeMenuRequested(const QPoint& at) {
    if (QTreeWidgetItem* item = configTree_->itemAt(at)) openTreeMenu(item, at);
}

// The pop-up menu of a language node; `inViewport` is where it opens. A real
// menu, so screen readers announce it and its item.
void TolvaneScreen::openTreeMenu(QTreeWidgetItem* item, const QPoint& inViewport) {
    if (item->data(0, KindRole).toInt() != LanguageNode) return;
    menuItem_ = item;
    const QString name = item->data(0, NameRole).toString();
    const bool primary = name == q(model_->PrimaryLanguage());
    mnuSetPrimary_->setText(primary ? QStringLiteral("Clear Primary property") : QStringLiteral("Set as Primary"));
    popup_->setAccessibleName(name + QStringLiteral(" menu"));
    popup_->popup(configTree_->viewport()->mapToGlobal(inViewport));
    popup_->setActiveAction(mnuSetPrimary_); // Enter chooses it; a screen reader reads it
}

void TolvaneScreen::mnuSetPrimaryTriggered() {
    if (!menuItem_) return;
    const QString name = menuItem_->data(0, NameRole).toString();
    if (name == q(model_->PrimaryLanguage())) {
        setImage(menuItem_, false);
        model_->SetPrimaryLanguage("");
        ShowStatusBarMessage(QStringLiteral("No primary language"));
    } else {
        if (QTreeWidgetItem* previous = languageItem(q(model_->PrimaryLanguage()))) setImage(previous, false);
        setImage(menuItem_, true);
        model_->SetPrimaryLanguage(s(name));
        ShowStatusBarMessage(name + QStringLiteral(" is the primary language"));
    }
}

} // namespace vorsan::manager
