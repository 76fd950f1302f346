// kapred: the desktop program, started by the host with the taxpayer's CUIT.
#include <QApplication>
#include <QStringList>

#include "app/startup.h"
#include "calc/registry.h"
#include "ui/application.h"
#include "ui/main_window.h"
#include "ui/qt_interface.h"
#include "ui/startup_windows.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    kapred::ui::prepareApplication(application);

    // The host passes the CUIT as the whole command line.
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    kapred::ui::QtUserInterface ui;
    kapred::Context context(kapred::programDirectory(), arguments.join(QLatin1Char(' ')).toStdString(), ui);
    kapred::ui::WindowedStartup observer;
    try {
        kapred::Main(context, observer);
    } catch (const kapred::ProgramEnd& end) {
        return end.exitCode();
    }
    kapred::registerBusinessObjects(context);

    kapred::ui::frmPrincipal window(context, ui, observer);
    window.Inicializar();
    const int status = QApplication::exec();
    return status != 0 ? status : window.exitCode();
}
