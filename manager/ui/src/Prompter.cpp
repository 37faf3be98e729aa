#include "Prompter.h"

#include <QMessageBox>

namespace vorsan::manager {

void MessageBoxPrompter::message(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QStringLiteral("Tolvane"), text);
}

bool Prompter::ask(QWidget*, const QString&) { return false; }

bool MessageBoxPrompter::ask(QWidget* parent, const QString& question) {
    return QMessageBox::question(parent, QStringLiteral("Tolvane"), question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

bool MessageBoxPrompter::confirmSave(QWidget* parent) {
    return QMessageBox::critical(parent, QStringLiteral("Save confirmation"), QStringLiteral("Save changes to file?"),
                                 QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) == QMessageBox::Ok;
}

} // namespace vorsan::manager
