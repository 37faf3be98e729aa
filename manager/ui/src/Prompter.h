#pragma once
// The window's questions and messages. The program shows them as modal
// message boxes; tests give a prompter that records them and answers at once.
#include <QString>

class QWidget;

namespace vorsan::manager {

class Prompter {
public:
    virtual ~Prompter() = default;
    // A message the user must acknowledge.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // "Save changes to file?": true for OK, false for Cancel.
    virtual bool confirmSave(QWidget* parent) = 0;
    // A question answered Yes (true) or No; a prompter that does not ask
    // answers No.
    virtual bool ask(QWidget* parent, const QString& question);
};

class MessageBoxPrompter final : public Prompter {
public:
    void message(QWidget* parent, const QString& text) override;
    bool confirmSave(QWidget* parent) override;
    bool ask(QWidget* parent, const QString& question) override;
};

} // namespace vorsan::manager
