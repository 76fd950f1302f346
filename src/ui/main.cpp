// kapred: the desktop program, started by the host with the taxpayer's CUIT.
#include <QApplication>
#include <QStringList>

#include "app/startup.h"
#include "calc/registry.h"
#include "data/values/error.h"
#include "ui/application.h"
#include "ui/main_window.h"
#include "ui/qt_interface.h"
#include "ui/startup_windows.h"

int main(int argc, char** argv) {
    kapred::ui::Application application(argc, argv);

    // The host passes the CUIT as the whole command line.
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    kapred::ui::QtUserInterface ui;
    try {
        kapred::Context context(kapred::programDirectory(), arguments.join(QLatin1Char(' ')).toStdString(), ui);
        kapred::ui::WindowedStartup observer;
        kapred::Main(context, observer);
        kapred::registerBusinessObjects(context);

        kapred::ui::frmPrincipal window(context, ui, observer);
        window.Inicializar();
        const int status = QApplication::exec();
        return status != 0 ? status : window.exitCode();
    } catch (const kapred::ProgramEnd& end) {
        return end.exitCode();
    } catch (const std::exception& failure) {
        const auto* error = dynamic_cast<const kapred::Error*>(&failure);
        kapred::MsgError(ui, "No se pudo iniciar el sistema Kapred: " +
                                 (error != nullptr ? error->description() : std::string(failure.what())));
        return kapred::kEndedByFailure;
    }
}
