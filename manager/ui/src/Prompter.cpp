#include "Prompter.h"

#include <QMessageBox>

namespace vorsan::manager {

void MessageBoxPrompter::message(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QStringLiteral("Tolvane"), text);
}

bool MessageBoxPrompter::confirmSave(QWidget* parent) {
    return QMessageBox::critical(parent, QStringLiteral("Save confirmation"), QStringLiteral("Save changes to file?"),
                                 QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) == QMessageBox::Ok;
}

} // namespace vorsan::manager
