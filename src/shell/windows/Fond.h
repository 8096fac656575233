// The background of the program's windows: a vertical gradient, light for the work area and its forms, dark
// for the button bar.
#pragma once

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QRect>

namespace kip::ui {

inline const QColor FondClairHaut(0xe6, 0xec, 0xf3);
inline const QColor FondClairBas(0xd3, 0xdc, 0xe7);

inline void peindreFond(QPainter& p, const QRect& zone, const QColor& haut = FondClairHaut,
                        const QColor& bas = FondClairBas)
{
    QLinearGradient fond(0, zone.top(), 0, zone.bottom() + 1);
    fond.setColorAt(0, haut);
    fond.setColorAt(1, bas);
    p.fillRect(zone, fond);
}

} // namespace kip::ui
