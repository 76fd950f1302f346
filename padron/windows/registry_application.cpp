#include "windows/registry_application.h"

#include <memory>

#include "data/values/error.h"
#include "registry/padron.h"
#include "ui/application.h"
#include "ui/qt_interface.h"
#include "windows/registry_window.h"

int runRegistryWindow(int argc, char** argv, const std::filesystem::path& programDirectory) {
    using namespace kapred;
    ui::Application application(argc, argv);

    ui::QtUserInterface dialogs;
    std::unique_ptr<padron::Padron> padron;
    try {
        padron = std::make_unique<padron::Padron>(programDirectory, dialogs);
    } catch (const Error& error) {
        MsgError(dialogs, "No se pudo abrir el padrón de contribuyentes: " + error.description());
        return kEndedByFailure;
    }
    padron::RegistryWindow window(*padron);
    window.show();
    const int status = QApplication::exec();
    return status != 0 ? status : window.exitCode();
}
