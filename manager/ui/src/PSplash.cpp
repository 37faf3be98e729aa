#include "PSplash.h"

#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "Icons.h"

namespace vorsan::manager {

PSplash::PSplash(int delayMs, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), tmrDelay_(new QTimer(this)) {
    setObjectName(QStringLiteral("PSplash"));
    auto* layout = new QVBoxLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(applicationIcon().pixmap(96, 96));
    icon->setAlignment(Qt::AlignCenter);
    auto* title = new QLabel(QStringLiteral("<h1>Tolvane</h1><p>Configuration manager for Vorsan</p>"
                                            "<p>Pelmira · Ruvetta · Oskalen</p>"),
                             this);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);
    layout->addWidget(title);
    resize(360, 240);
    tmrDelay_->setObjectName(QStringLiteral("tmrDelay"));
    tmrDelay_->setSingleShot(true);
    connect(tmrDelay_, &QTimer::timeout, this, &PSplash::becomeReady);
    tmrDelay_->start(delayMs);
}

void PSplash::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) becomeReady();
    else QWidget::keyPressEvent(event);
}

void PSplash::becomeReady() {
    tmrDelay_->stop();
    if (ready_) return;
    ready_ = true;
    emit readyToClose();
}

} // namespace vorsan::manager
