#include "Prompter.h"

#include <QMessageBox>

namespace vorsan::manager {

namespace {

// A modal box whose text a screen reader announces with it: message boxes
// are alerts to assistive technology, and the description repeats the text
// for readers that speak only the alert's own name and description.
int showBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
        QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, title, text, buttons, parent);
    box.setObjectName(QStringLiteral("tolvaneMessage"));
    box.setDefaultButton(defaultButton);
    box.setAccessibleDescription(text);
    return box.exec();
}

} // namespace

// Every message reports something refused or failed, hence the warning icon.
void MessageBoxPrompter::message(QWidget* parent, const QString& text) {
    showBox(parent, QMessageBox::Warning, QStringLiteral("Tolvane"), text, QMessageBox::Ok, QMessageBox::Ok);
}

bool Prompter::ask(QWidget*, const QString&) { return false; }

bool MessageBoxPrompter::ask(QWidget* parent, const QString& question) {
    return showBox(parent, QMessageBox::Question, QStringLiteral("Tolvane"), question,
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

bool MessageBoxPrompter::confirmSave(QWidget* parent) {
    return showBox(parent, QMessageBox::Critical, QStringLiteral("Save confirmation"),
                   QStringLiteral("Save changes to file?"), QMessageBox::Ok | QMessageBox::Cancel,
                   QMessageBox::Ok) == QMessageBox::Ok;
}

} // namespace vorsan::manager
