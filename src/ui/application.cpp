#include "ui/application.h"

#include <QApplication>
#include <QIcon>
#include <QStandardPaths>

#include "ui/help.h"

namespace kapred::ui {

void prepareApplication(QApplication& application) {
    QApplication::setApplicationName(QStringLiteral("Kapred"));
    QApplication::setApplicationDisplayName(QStringLiteral("Kapred"));
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
    application.installEventFilter(new HelpKey(&application));
}

}  // namespace kapred::ui
