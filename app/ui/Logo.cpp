#include "Logo.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace infil::ui {

Logo::Logo(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(64, 64);
    setToolTip(QStringLiteral("INFIL"));
}

void Logo::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal side = std::min(width(), height()) - 2;
    p.translate((width() - side) / 2, (height() - side) / 2);
    p.scale(side / 100.0, side / 100.0);

    // A rounded badge: sky above, three layers of ground below.
    QPainterPath badge;
    badge.addRoundedRect(QRectF(0, 0, 100, 100), 14, 14);
    p.setClipPath(badge);
    QLinearGradient sky(0, 0, 0, 55);
    sky.setColorAt(0, QColor(0xd8, 0xec, 0xfa));
    sky.setColorAt(1, QColor(0xf4, 0xfa, 0xff));
    p.fillRect(QRectF(0, 0, 100, 100), sky);
    const QColor layers[] = {QColor(0x7a, 0xa3, 0x4a), QColor(0xb0, 0x86, 0x55), QColor(0xd9, 0xbf, 0x86)};
    const qreal tops[] = {58, 66, 80};
    for (int i = 0; i < 3; ++i) {
        QPainterPath ground;
        ground.moveTo(0, tops[i]);
        ground.cubicTo(30, tops[i] - 4, 65, tops[i] + 4, 100, tops[i] - 1);
        ground.lineTo(100, 100);
        ground.lineTo(0, 100);
        ground.closeSubpath();
        p.fillPath(ground, layers[i]);
    }

    // Water seeping down through the layers.
    p.setPen(QPen(QColor(0x2a, 0x7f, 0xc9), 2.2, Qt::DashLine, Qt::RoundCap));
    for (const qreal x : {40.0, 50.0, 60.0})
        p.drawLine(QPointF(x, 64), QPointF(x, 94));

    // The drop.
    QPainterPath drop;
    drop.moveTo(50, 8);
    drop.cubicTo(58, 22, 68, 32, 68, 42);
    drop.cubicTo(68, 53, 60, 60, 50, 60);
    drop.cubicTo(40, 60, 32, 53, 32, 42);
    drop.cubicTo(32, 32, 42, 22, 50, 8);
    QLinearGradient water(32, 10, 68, 60);
    water.setColorAt(0, QColor(0x6c, 0xb8, 0xf0));
    water.setColorAt(1, QColor(0x1c, 0x5f, 0xa8));
    p.setPen(Qt::NoPen);
    p.fillPath(drop, water);
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawEllipse(QRectF(40, 36, 7, 11));

    p.setClipping(false);
    p.setPen(QPen(QColor(0x1c, 0x5f, 0xa8), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(badge);
}

} // namespace infil::ui
