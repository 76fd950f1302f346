// kapred-cli: the program without windows, for scripts, batch work and tests. It runs the same
// start-up and exit as the desktop program, works through the same business objects and shows
// the same messages.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>

#include "app/compaction.h"
#include "app/cuit.h"
#include "cli/cli_interface.h"
#include "cli/commands.h"
#include "data/values/error.h"

namespace {

namespace fs = std::filesystem;
using namespace kapred;
using namespace kapred::cli;

// Reports the start-up in text (only for the status command; the others keep quiet).
class TextObserver : public StartupObserver {
public:
    explicit TextObserver(bool verbose) : verbose_(verbose) {}
    void databaseCreated(const fs::path& path) override {
        if (verbose_) {
            std::cout << "Base de datos creada: " << path.string() << "\n";
        }
    }
    void databaseOpened(const std::string& handle, const fs::path& path) override {
        if (verbose_) {
            std::cout << "Abierta " << handle << ": " << path.string() << "\n";
        }
    }
    void showStartupMessage(BCMsgIni& message) override {
        if (verbose_) {
            std::cout << message.NombreAplicativo() << ": " << message.Mensaje() << "\n";
        }
    }

private:
    bool verbose_;
};

void addProgramCommands(CLI::App& app, std::vector<Command>& commands, Options& options) {
    commands.push_back({app.add_subcommand("status", "Inicia el sistema, informa lo abierto y sale normalmente"),
                        [](Session& session) {
                            std::cout << kMainCaption << " - CUIT " << sFormatCuit(session.context().cuit(), true)
                                      << "\n";
                            return 0;
                        }});
    auto* message = app.add_subcommand("message", "Mensaje de inicio");
    message->add_flag("--off", options.messageOff, "No mostrar más el mensaje de inicio")->required();
    commands.push_back({message, [](Session& session) {
                            BCMsgIni(*session.context().g_dbTablas).NoMostrarMas();
                            std::cout << "El mensaje de inicio no se mostrará más.\n";
                            return 0;
                        }});
    commands.push_back({app.add_subcommand("compact", "Compacta la base de datos; el sistema se cierra después"),
                        [](Session& session) {
                            try {
                                CompactMenuCommand(session.context());
                            } catch (const ProgramEnd&) {
                                session.ended();
                                throw;
                            }
                            return 0;
                        }});
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Kapred sin ventanas: declaraciones juradas de la contribución especial sobre el capital "
        "de las cooperativas."};
    Options options;
    app.add_option("--cuit", options.cuit, "CUIT del contribuyente (11 dígitos, con o sin guiones)");
    app.add_option("--home", options.home, "Directorio del programa (por omisión KAPRED_HOME o el del ejecutable)");
    auto* yesFlag = app.add_flag("--yes", options.yes, "Responder Sí a toda pregunta");
    app.add_flag("--no", options.no, "Responder No a toda pregunta")->excludes(yesFlag);
    app.add_flag("--json", options.json, "Resultados en JSON");
    app.require_subcommand(1);
    app.fallthrough();

    std::vector<Command> commands;
    addProgramCommands(app, commands, options);
    addDeclarationCommands(app, commands, options);
    addSectionCommands(app, commands, options);
    addImportCommands(app, commands, options);
    addGenerateCommands(app, commands, options);
#ifdef KAPRED_WITH_PRINT
    addPrintCommands(app, commands, options);
#endif

    CLI11_PARSE(app, argc, argv);

    std::optional<bool> answer;
    if (options.yes || options.no) {
        answer = options.yes;
    }
    CliInterface ui(answer, options.json);
    const bool status = app.got_subcommand("status");
    TextObserver observer(status);
    try {
        Session session(programDirectory(options.home), options.cuit, ui, observer);
        for (const auto& command : commands) {
            if (command.subcommand->parsed()) {
                return session.finish(command.run(session));
            }
        }
    } catch (const ProgramEnd& end) {
        return end.exitCode();
    } catch (const CommandFailure& failure) {
        std::cerr << "Error: " << failure.what() << std::endl;
        return failure.exitCode();
    } catch (const Error& error) {
        std::cerr << "Error: " << error.description() << std::endl;
        return kExitFailure;
    } catch (const std::exception& error) {
        std::cerr << "Error: " << error.what() << std::endl;
        return kExitFailure;
    }
    return 0;
}
