#include "IconeCalendrier.h"

#include <QPainter>
#include <QPixmap>

namespace kip {

QIcon iconeCalendrier()
{
    const QColor encre(0x2c, 0x3e, 0x50);
    QPixmap image(32, 32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(encre, 1.5));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(3, 6, 26, 23), 2, 2);
    p.setBrush(QColor(0xc0, 0x39, 0x2b));
    p.drawRect(QRectF(3, 6, 26, 7));
    p.setPen(QPen(encre, 2));
    p.drawLine(QPointF(10, 3), QPointF(10, 9));
    p.drawLine(QPointF(22, 3), QPointF(22, 9));
    p.setPen(Qt::NoPen);
    p.setBrush(encre);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            p.drawRect(QRectF(6 + c * 6, 16 + r * 4, 3, 2.5));
    p.end();
    return QIcon(image);
}

} // namespace kip
