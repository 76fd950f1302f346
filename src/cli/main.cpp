// kapred-cli: the program without windows, for scripts, batch work and tests. It runs the same
// start-up and exit as the desktop program, works through the same business objects and shows
// the same messages. kapred-cli-print is this program with the print commands carried out in it.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <set>

#include "app/compaction.h"
#include "app/cuit.h"
#include "app/repair.h"
#include "cli/cli_interface.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "cli/parser_messages.h"
#include "data/values/error.h"

namespace {

namespace fs = std::filesystem;
using namespace kapred;
using namespace kapred::cli;

// Reports the start-up on standard error (only for the status command; the others keep quiet).
class TextObserver : public StartupObserver {
public:
    explicit TextObserver(bool verbose) : verbose_(verbose) {}
    void databaseCreated(const fs::path& path) override {
        if (verbose_) {
            std::cerr << "Base de datos creada: " << path.string() << "\n";
        }
    }
    void databaseCopied(const fs::path& path) override {
        if (verbose_) {
            std::cerr << "Tablas del sistema copiadas de la instalación: " << path.string() << "\n";
        }
    }
    void databaseOpened(const std::string& handle, const fs::path& path) override {
        if (verbose_) {
            std::cerr << "Abierta la base de datos " << whatItHolds(handle) << ": " << path.string() << "\n";
        }
    }
    void showStartupMessage(BCMsgIni& message) override {
        if (verbose_) {
            std::cerr << message.NombreAplicativo() << ": " << message.Mensaje() << "\n";
        }
    }

private:
    // The program's handle of each database, told by what the database holds.
    static std::string whatItHolds(const std::string& handle) {
        static const std::pair<const char*, const char*> contents[] = {{"g_dbAplicativo", "de las declaraciones"},
                                                                       {"g_dbTablas", "de las tablas del sistema"},
                                                                       {"g_dbOrel", "de los contribuyentes"},
                                                                       {"g_dbSistema", "de las tablas de referencia"}};
        for (const auto& [name, holds] : contents) {
            if (handle == name) {
                return holds;
            }
        }
        return handle;
    }

    bool verbose_;
};

// The host always gives the CUIT; on the command line a missing or malformed one is a mistake of
// the command line, told with the way to give it.
std::optional<std::string> sCuitMistake(const std::string& cuit) {
    if (commandLineCuit(cuit)) {
        return std::nullopt;
    }
    return (cuit.empty() ? std::string("Falta el CUIT del contribuyente") : "El CUIT \"" + cuit + "\" no es válido") +
           ": indíquelo con --cuit, 11 dígitos con o sin guiones (por ejemplo --cuit 20-12345678-9).";
}

// The commands that concern no taxpayer: they run without a CUIT, and without the host's data
// even when one is given.
bool concernsNoTaxpayer(const CLI::App& command) {
    static const std::set<std::string> names{"sections",      "fields",        "formats",       "format-new",
                                             "format-rename", "format-delete", "format-fields", "format-set",
                                             "format-print",  "tables",        "inspect",       "repair"};
    return names.count(command.get_name()) != 0;
}

std::string sVersion() {
    return "kapred-cli " + std::to_string(KAPRED_VERSION_MAJOR) + "." + std::to_string(KAPRED_VERSION_MINOR) + "." +
           std::to_string(KAPRED_VERSION_PATCH);
}

void addProgramCommands(CLI::App& app, std::vector<Command>& commands, Options& options) {
    commands.push_back({app.add_subcommand("status", "Inicia el sistema, informa lo abierto y sale normalmente"),
                        [](Session& session) {
                            const Context& context = session.context();
                            if (usingJson()) {
                                print({{"Sistema", kMainCaption},
                                       {"CUIT", sFormatCuit(context.cuit(), true)},
                                       {"Directorio", context.appPath.string()}});
                            } else {
                                std::cout << kMainCaption << " - CUIT " << sFormatCuit(context.cuit(), true) << "\n";
                            }
                            return 0;
                        }});
    auto* message = app.add_subcommand("message", "Mensaje de inicio");
    message->add_flag("--off", options.messageOff, "No mostrar más el mensaje de inicio")->required();
    commands.push_back({message, [](Session& session) {
                            switchOffStartupMessage(session.context());
                            tellDone("El mensaje de inicio no se mostrará más.");
                            return 0;
                        }});
    commands.push_back({app.add_subcommand("compact", "Compacta la base de datos; el sistema se cierra después"),
                        [](Session& session) {
                            const ProgramEnding end = CompactMenuCommand(session.context());
                            if (!end) {
                                return 0;
                            }
                            session.ended();
                            if (*end == 0) {
                                tellDone("Base de datos compactada; el sistema se cerró.");
                            }
                            return *end;
                        }});
    commands.push_back({app.add_subcommand("repair",
                                           "Verifica la base de datos y, si está dañada, la repara conservando el "
                                           "original dañado"),
                        [](Session& session) { return RepairMenuCommand(session.context()) ? 0 : kExitFailure; }});
}

int run(int argc, char** argv) {
    CLI::App app{
        "Kapred sin ventanas: declaraciones juradas de la contribución especial sobre el capital "
        "de las cooperativas.",
        "kapred-cli"};
    app.footer(
        "Importes 1.234,50 y fechas dd/mm/aaaa; con --json, importes \"1234.50\" y fechas aaaa-mm-dd.\n"
        "Los datos salen por la salida estándar; los mensajes, preguntas y errores, por la de error.\n"
        "Donde se lee o escribe un archivo, - es la entrada o la salida estándar.\n"
        "Salida: 0 hecho; 1, 2 o 4 validación rechazada; 2 también línea de comandos no válida;\n"
        "3 otra falla o pregunta respondida No; 5 importación con líneas rechazadas; 130 Ctrl+C.\n"
        "\n"
        "Ejemplos:\n"
        "  export KAPRED_CUIT=30-71234567-1\n"
        "  kapred-cli new --period 2004 --sequence 0 --kind 1 --from 01/01/2004 --to 31/12/2004 \\\n"
        "      --economic-year 1\n"
        "  kapred-cli import 20040 --format 3 --file /usr/share/doc/kapred/ejemplos/anticipos.txt\n"
        "  kapred-cli --json liquidation 20040\n"
        "  kapred-cli print 20040 --pdf F369.pdf\n"
        "\n"
        "Cada comando tiene su ayuda: kapred-cli COMANDO --help. El manual: man kapred-cli.");
    addProgramOptions(app, sVersion());
    Options options;
    app.add_option("--cuit", options.cuit,
                   "CUIT del contribuyente (11 dígitos, con o sin guiones; por omisión KAPRED_CUIT)")
        ->type_name("CUIT");
    app.add_option("--home", options.home,
                   "Directorio del programa (por omisión KAPRED_HOME, si no ~/.local/share/kapred/Kapred)")
        ->type_name("CARPETA");
    auto* yesFlag = app.add_flag("--yes", options.yes, "Responder Sí a toda pregunta");
    app.add_flag("--no", options.no, "Responder No a toda pregunta")->excludes(yesFlag);
    app.add_flag("--json", options.json, "Resultados en JSON");
    app.require_subcommand(1);
    app.fallthrough();

    std::vector<Command> commands;
    addProgramCommands(app, commands, options);
    addDeclarationCommands(app, commands);
    addSectionCommands(app, commands);
    addImportCommands(app, commands);
    addGenerateCommands(app, commands);
    addInspectCommands(app, commands);
    addBackupCommands(app, commands);
#ifdef KAPRED_WITH_PRINT
    addPrintCommands(app, commands);
#endif

    useSpanishHelp(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& done) {
        return app.exit(done);
    } catch (const CLI::ParseError& error) {
        return commandLineMistake(app, error, argc, argv);
    }

    std::optional<bool> answer;
    if (options.yes || options.no) {
        answer = options.yes;
    }
    useJson(options.json);
    CliInterface ui(answer);
    const bool status = app.got_subcommand("status");
    TextObserver observer(status);
    if (const char* cuit = std::getenv("KAPRED_CUIT"); options.cuit.empty() && cuit != nullptr) {
        options.cuit = cuit;
    }
    const auto parsed = std::find_if(commands.begin(), commands.end(),
                                     [](const Command& command) { return command.subcommand->parsed(); });
    const Serving serving =
        parsed != commands.end() && concernsNoTaxpayer(*parsed->subcommand) ? Serving::ProgramAlone : Serving::Taxpayer;
    if (const auto mistake = sCuitMistake(options.cuit); mistake && serving == Serving::Taxpayer) {
        tellError(*mistake);
        return kExitUsage;
    }
    try {
        if (parsed != commands.end() && parsed->handOff) {
            return parsed->handOff(argv);
        }
        Session session(programDirectory(options.home), options.cuit, ui, observer, serving);
        for (const auto& command : commands) {
            if (command.subcommand->parsed()) {
                int result = command.run(session);
                // A question no one could answer, or one the user answered No, is not a success.
                if (result == 0 && (ui.unanswered() || ui.refused())) {
                    std::cerr << "No se hizo nada." << std::endl;
                    result = kExitFailure;
                }
                return session.finish(result);
            }
        }
    } catch (const ProgramEnd& end) {
        return end.exitCode();
    } catch (const CommandFailure& failure) {
        tellError(failure.what());
        return failure.exitCode();
    } catch (const Error& error) {
        tellError(error.description());
        return kExitFailure;
    } catch (const std::exception& error) {
        tellError(error.what());
        return kExitFailure;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return finishOutput(run(argc, argv));
}
