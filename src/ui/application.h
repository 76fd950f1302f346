#pragma once

#include <QApplication>

namespace kapred::ui {

// The desktop program's application: the program's name, the icon theme to fall back on when the
// desktop names none, F1 opening the help of the focused window, and an error raised while a
// window handles an event told to the user instead of ending the program.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// What every run of the windows needs besides: the icon theme and the help key.
void prepareApplication(QApplication& application);

}  // namespace kapred::ui
