#pragma once

class QApplication;
class QObject;

namespace kapred::ui {

// What every run of the windows needs: the program's name, the icon theme to fall back on when
// the desktop names none, and F1 opening the help of the focused window.
void prepareApplication(QApplication& application);

}  // namespace kapred::ui
