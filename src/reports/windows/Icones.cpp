// Icons drawn with a painter at 32 by 32, so that they scale cleanly to the toolbar's size.
#include "Icones.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace kip {

namespace {

constexpr int Cote = 32;
const QColor Encre(0x2c, 0x3e, 0x50);

QIcon dessiner(const std::function<void(QPainter&)>& trace)
{
    QPixmap image(Cote, Cote);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    trace(p);
    p.end();
    return QIcon(image);
}

} // namespace

QIcon iconeImprimante()
{
    return dessiner([](QPainter& p) {
        p.setPen(QPen(Encre, 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 3, 14, 10)); // the sheet going in
        p.setBrush(QColor(0x9a, 0xa9, 0xb8));
        p.drawRoundedRect(QRectF(3, 11, 26, 12), 3, 3); // the body
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 19, 16, 10)); // the sheet coming out
        p.setPen(QPen(Encre, 1));
        p.drawLine(QPointF(11, 23), QPointF(21, 23));
        p.drawLine(QPointF(11, 26), QPointF(19, 26));
        p.setBrush(QColor(0x2e, 0xcc, 0x71));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(25, 15), 1.5, 1.5);
    });
}

QIcon iconeSortie()
{
    return dessiner([](QPainter& p) {
        p.setPen(QPen(Encre, 1.5));
        p.setBrush(QColor(0xc0, 0x8a, 0x5a));
        p.drawRect(QRectF(5, 3, 14, 26)); // the door
        p.setBrush(Encre);
        p.drawEllipse(QPointF(16, 16), 1.2, 1.2);
        QPen fleche(QColor(0xc0, 0x39, 0x2b), 2.5);
        fleche.setCapStyle(Qt::RoundCap);
        p.setPen(fleche);
        p.drawLine(QPointF(14, 16), QPointF(29, 16));
        p.drawLine(QPointF(24, 11), QPointF(29, 16));
        p.drawLine(QPointF(24, 21), QPointF(29, 16));
    });
}

QIcon iconeLoupe()
{
    return dessiner([](QPainter& p) {
        QPen manche(Encre, 4);
        manche.setCapStyle(Qt::RoundCap);
        p.setPen(manche);
        p.drawLine(QPointF(20, 20), QPointF(28, 28));
        p.setPen(QPen(Encre, 2));
        p.setBrush(QColor(0xd6, 0xea, 0xf8));
        p.drawEllipse(QPointF(13, 13), 9, 9);
        p.setPen(QPen(Encre, 1.8));
        p.drawLine(QPointF(9, 13), QPointF(17, 13));
        p.drawLine(QPointF(13, 9), QPointF(13, 17));
    });
}

} // namespace kip
