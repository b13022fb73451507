#pragma once
// AppIcon: Quenora's application icon, a written page that speaks. Drawn
// with QPainter at each size a window manager asks for, the same picture as
// data/icons/quenora.svg (which the desktop's icon theme gets), so no image
// plug-in is needed to show it.

#include <QIcon>
#include <QImage>

namespace AppIcon {

QIcon icon();
// The picture at size x size pixels on a transparent ground.
QImage render(int size);

} // namespace AppIcon
