// Window units of the frame's layout and their size on screen. The layout is given in units (the bar is
// 152 wide, its slots 94 x 18); one unit is drawn as 1.5 pixels, which gives legible buttons at ordinary
// desktop resolutions. The pictures under resources/pictures/ are drawn at this scale.
#pragma once

#include <QRect>

namespace kip::ui {

constexpr double PixelsParUnite = 1.5;

constexpr int px(double unites)
{
    return int(unites * PixelsParUnite + 0.5);
}
inline QRect px(int x, int y, int w, int h)
{
    return QRect(px(x), px(y), px(w), px(h));
}

constexpr int LargeurSommaire = 152; // units
constexpr int NombreEmplacements = 13;

} // namespace kip::ui
