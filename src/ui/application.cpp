#include "ui/application.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>

#include "ui/help.h"
#include "ui/qt_interface.h"

namespace kapred::ui {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    prepareApplication(*this);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    // Slots catch their own errors; this is for the handlers of events (keys, closing, painting).
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        QtUserInterface dialogs;
        endOrTellFailure(dialogs);
        return false;
    }
}

void prepareApplication(QApplication& application) {
    QApplication::setApplicationName(QStringLiteral("Kapred"));
    QApplication::setApplicationDisplayName(QStringLiteral("Kapred"));
    // Both programs are the one desktop entry: the window is matched to it by this name (Wayland)
    // and by its class "Kapred", the application's name (the entry's StartupWMClass on X11).
    QGuiApplication::setDesktopFileName(QStringLiteral("io.kapred.Kapred"));
    // Outside a desktop session (a bare X server, the offscreen platform) no theme is named, or
    // only the bare "hicolor" one.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor")) {
        QStringList paths = QIcon::themeSearchPaths();
        for (const QString& folder : QStandardPaths::locateAll(
                 QStandardPaths::GenericDataLocation, QStringLiteral("icons"), QStandardPaths::LocateDirectory)) {
            if (!paths.contains(folder)) {
                paths << folder;
            }
        }
        QIcon::setThemeSearchPaths(paths);
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    }
    installToolkitTranslation(application);
    application.installEventFilter(new HelpKey(&application));
}

QTranslator* installToolkitTranslation(QApplication& application) {
    // Loaded by its name, not by the session's locale, which may well be English.
    auto* toolkit = new QTranslator(&application);
    if (!toolkit->load(QStringLiteral("qtbase_es"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QApplication::installTranslator(toolkit)) {
        delete toolkit;
        return nullptr;
    }
    return toolkit;
}

}  // namespace kapred::ui
