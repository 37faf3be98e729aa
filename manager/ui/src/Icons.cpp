#include "Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <QtMath>

namespace vorsan::manager {

namespace {

QPixmap canvas(int size) {
    QPixmap p(size, size);
    p.fill(Qt::transparent);
    return p;
}

} // namespace

// The same picture as the installed tolvane.svg (Qt here has no SVG reader).
QIcon applicationIcon() {
    QPixmap p = canvas(128);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    const QColor blue(0x2f, 0x5d, 0x8c), gold(0xf6, 0xb9, 0x1e);
    g.setPen(Qt::NoPen);
    g.setBrush(blue);
    g.drawRoundedRect(6, 6, 116, 116, 22, 22);
    QPainterPath bubble;
    bubble.addRoundedRect(16, 38, 72, 46, 10, 10);
    bubble.addPolygon(QPolygonF({QPointF(34, 82), QPointF(50, 82), QPointF(34, 98)}));
    g.setBrush(Qt::white);
    g.drawPath(bubble.simplified());
    g.setBrush(blue);
    const int bars[][2] = {{52, 16}, {46, 28}, {50, 20}, {55, 10}};
    for (int i = 0; i < 4; ++i) g.drawRoundedRect(30 + 11 * i, bars[i][0], 6, bars[i][1], 3, 3);
    g.setBrush(gold);
    g.drawEllipse(QPointF(98, 36), 14, 14);
    g.setBrush(blue);
    g.drawEllipse(QPointF(98, 36), 5, 5);
    g.setPen(QPen(gold, 6, Qt::SolidLine, Qt::RoundCap));
    g.setBrush(Qt::NoBrush);
    g.drawArc(QRectF(78, 58, 28, 28), 270 * 16, 90 * 16);
    g.drawArc(QRectF(66, 46, 52, 52), 270 * 16, 90 * 16);
    return QIcon(p);
}

QIcon primaryLanguageIcon() {
    QPixmap p = canvas(16);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double r = (i % 2) ? 3.2 : 7.5;
        const double a = -M_PI / 2 + i * M_PI / 5;
        star << QPointF(8 + r * std::cos(a), 8 + r * std::sin(a));
    }
    g.setPen(QPen(QColor(150, 90, 0), 1));
    g.setBrush(QColor(250, 190, 30));
    g.drawPolygon(star);
    return QIcon(p);
}

QIcon languagesIcon() {
    QPixmap p = canvas(16);
    QPainter g(&p);
    g.setPen(QColor(60, 80, 120));
    g.setBrush(QColor(235, 240, 250));
    g.drawRect(3, 1, 10, 14);
    for (int y = 4; y <= 12; y += 3) g.drawLine(5, y, 11, y);
    return QIcon(p);
}

} // namespace vorsan::manager
