#include "ui/screen_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kapred::ui {

namespace {
// The window manager's title bar and borders, which the window's own size does not include.
constexpr QSize kFrame(16, 48);
}  // namespace

QSize largestWindowSize(const QRect& available) {
    return (available.size() - kFrame).expandedTo(QSize(1, 1));
}

void resizeWithinScreen(QWidget& window, QSize wanted) {
    const QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        wanted = wanted.boundedTo(largestWindowSize(screen->availableGeometry()));
    }
    window.resize(wanted);
}

}  // namespace kapred::ui
