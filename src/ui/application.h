#pragma once

#include <QApplication>

class QTranslator;

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

// What every run of the windows needs besides: the icon theme, the toolkit's own texts in Spanish
// and the help key.
void prepareApplication(QApplication& application);

// The toolkit's own texts (file and print dialogs, input boxes, message box buttons, context
// menus) in Spanish, as the rest of the program, whatever language the desktop session has.
// Returns the installed translation, owned by the application; nothing when it is not installed.
QTranslator* installToolkitTranslation(QApplication& application);

}  // namespace kapred::ui
