#pragma once
// The window shown while the manager starts. It may close once its timer
// has run out or the user pressed Escape.
#include <QTimer>
#include <QWidget>

namespace vorsan::manager {

class PSplash : public QWidget {
    Q_OBJECT
public:
    explicit PSplash(int delayMs = 3000, QWidget* parent = nullptr);
    bool ReadyToClose() const { return ready_; }

signals:
    void readyToClose();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void becomeReady();

    QTimer* tmrDelay_;
    bool ready_ = false;
};

} // namespace vorsan::manager
