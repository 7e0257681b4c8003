#pragma once
// A window's size on the screen it opens on: the size it would like, never larger than the
// screen's available area with the window frame around it, centred there.

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace platform {

// The inner geometry of a window of the wanted size with the given frame on an available area.
QRect fittedGeometry(const QRect& available, const QSize& wanted, const QMargins& frame);

// Places a window on its screen so; before the window was shown its frame is estimated.
void fitOnScreen(QWidget& window, const QSize& wanted);

} // namespace platform
