// kapred-cli: the program without windows, for scripts, batch work and tests. It runs the same
// start-up and exit as the desktop program and shows the same messages.
#include <CLI/CLI.hpp>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "app/compaction.h"
#include "app/cuit.h"
#include "app/startup.h"
#include "cli/cli_interface.h"
#include "data/values/error.h"

namespace {

namespace fs = std::filesystem;
using namespace kapred;

// The program directory: --home, else KAPRED_HOME, else the executable's folder.
fs::path programDirectory(const std::string& home) {
    if (!home.empty()) {
        return fs::absolute(home);
    }
    if (const char* variable = std::getenv("KAPRED_HOME"); variable != nullptr && *variable != '\0') {
        return fs::absolute(variable);
    }
    return fs::read_symlink("/proc/self/exe").parent_path();
}

// Reports the start-up in text.
class TextObserver : public StartupObserver {
public:
    void databaseCreated(const fs::path& path) override {
        std::cout << "Base de datos creada: " << path.string() << "\n";
    }
    void databaseOpened(const std::string& handle, const fs::path& path) override {
        std::cout << "Abierta " << handle << ": " << path.string() << "\n";
    }
    void showStartupMessage(BCMsgIni& message) override {
        std::cout << message.NombreAplicativo() << ": " << message.Mensaje() << "\n";
    }
};

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Kapred sin ventanas: declaraciones juradas de la contribución especial sobre el capital "
                 "de las cooperativas."};
    std::string cuit;
    std::string home;
    bool yes = false;
    bool no = false;
    app.add_option("--cuit", cuit, "CUIT del contribuyente (11 dígitos, con o sin guiones)");
    app.add_option("--home", home, "Directorio del programa (por omisión KAPRED_HOME o el del ejecutable)");
    auto* yesFlag = app.add_flag("--yes", yes, "Responder Sí a toda pregunta");
    app.add_flag("--no", no, "Responder No a toda pregunta")->excludes(yesFlag);
    app.require_subcommand(1);

    auto* status = app.add_subcommand("status", "Inicia el sistema, informa lo abierto y sale normalmente");
    auto* message = app.add_subcommand("message", "Mensaje de inicio");
    bool messageOff = false;
    message->add_flag("--off", messageOff, "No mostrar más el mensaje de inicio")->required();
    auto* compact = app.add_subcommand("compact", "Compacta la base de datos; el sistema se cierra después");

    CLI11_PARSE(app, argc, argv);

    std::optional<bool> answer;
    if (yes || no) {
        answer = yes;
    }
    cli::CliInterface ui(answer);
    TextObserver observer;
    try {
        Context context(programDirectory(home), cuit, ui);
        Main(context, observer);
        if (status->parsed()) {
            std::cout << kMainCaption << " - CUIT " << sFormatCuit(context.cuit(), true) << "\n";
        } else if (message->parsed()) {
            BCMsgIni(*context.g_dbTablas).NoMostrarMas();
            std::cout << "El mensaje de inicio no se mostrará más.\n";
        } else if (compact->parsed()) {
            CompactMenuCommand(context);
        }
        Shutdown(context, observer);
    } catch (const ProgramEnd& end) {
        return end.exitCode();
    } catch (const Error& error) {
        std::cerr << "Error: " << error.description() << "\n";
        return 1;
    } catch (const std::exception& error) {
        std::cerr << "Error: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
