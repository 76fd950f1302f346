#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace kapred::ui {

// Gives a window the size it wants, or less where the screen's free area (without the desktop's
// panels) is smaller, leaving room for the window manager's frame: on a small screen the window's
// buttons stay on the screen and its contents scroll or shrink instead.
void resizeWithinScreen(QWidget& window, QSize wanted);

// The largest size a window may take on that free area, its frame left out.
QSize largestWindowSize(const QRect& available);

}  // namespace kapred::ui
