// kapred-padron: the taxpayer registry. Without a command it opens the window "Contribuyentes";
// with one it works on the command line, with the conventions of kapred-cli.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>

#include "app/context.h"
#include "cli/cli_interface.h"
#include "cli/output.h"
#include "cli/parser_messages.h"
#include "commands/commands.h"
#include "data/values/error.h"
#ifdef KAPRED_PADRON_WINDOWS
#include "windows/registry_application.h"
#endif

namespace {

using namespace kapred;
using namespace kapred::padron;

std::string sVersion() {
    return "kapred-padron " + std::to_string(KAPRED_VERSION_MAJOR) + "." + std::to_string(KAPRED_VERSION_MINOR) + "." +
           std::to_string(KAPRED_VERSION_PATCH);
}

int run(int argc, char** argv) {
    CLI::App app{"Padrón de contribuyentes de Kapred: registra las cooperativas y abre Kapred para cada una.",
                 "kapred-padron"};
    app.footer(
        "Sin comando abre la ventana Contribuyentes.\n"
        "El padrón (rexa.mdb y sistema.mdb) está en la carpeta padre del directorio del programa.\n"
        "Los datos salen por la salida estándar; los mensajes, preguntas y errores, por la de error.\n"
        "Salida: 0 hecho; 2 línea de comandos o valor no válido; 3 otra falla o pregunta respondida No.\n"
        "\n"
        "Ejemplos:\n"
        "  kapred-padron add 30-71234567-1 --nombre \"Cooperativa de Trabajo Horizonte Ltda.\" \\\n"
        "      --actividad 011111 --calle \"Bv. Santa Fe\" --numero 1250 --localidad Rafaela \\\n"
        "      --provincia 82 --codigo-postal S2300ABC\n"
        "  kapred-padron --json show 30-71234567-1\n"
        "  kapred-padron open 30-71234567-1\n"
        "\n"
        "Cada comando tiene su ayuda: kapred-padron COMANDO --help. El manual: man kapred-padron.");
    cli::addProgramOptions(app, sVersion());
    std::string home;
    bool yes = false;
    bool no = false;
    bool json = false;
    app.add_option("--home", home,
                   "Directorio del programa Kapred (por omisión KAPRED_HOME, si no ~/.local/share/kapred/Kapred); "
                   "el padrón está en su carpeta padre")
        ->type_name("CARPETA");
    auto* yesFlag = app.add_flag("--yes", yes, "Responder Sí a toda pregunta");
    app.add_flag("--no", no, "Responder No a toda pregunta")->excludes(yesFlag);
    app.add_flag("--json", json, "Resultados en JSON");
    app.require_subcommand(0, 1);
    app.fallthrough();

    std::vector<Command> commands;
    addTaxpayerCommands(app, commands);
    addBackupCommands(app, commands);
    cli::useSpanishHelp(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& done) {
        return app.exit(done);
    } catch (const CLI::ParseError& error) {
        return cli::commandLineMistake(app, error, argc, argv);
    }
    const std::filesystem::path programDirectory = kapred::programDirectory(home);
    if (app.get_subcommands().empty()) {
#ifdef KAPRED_PADRON_WINDOWS
        return runRegistryWindow(argc, argv, programDirectory);
#else
        std::cout << app.help();
        return 0;
#endif
    }

    std::optional<bool> answer;
    if (yes || no) {
        answer = yes;
    }
    cli::useJson(json);
    cli::CliInterface ui(answer);
    try {
        Padron padron(programDirectory, ui);
        for (const auto& command : commands) {
            if (command.subcommand->parsed()) {
                const int result = command.run(padron);
                // A question no one could answer, or one the user answered No, is not a success.
                if (result == 0 && (ui.unanswered() || ui.refused())) {
                    std::cerr << "No se hizo nada." << std::endl;
                    return kEndedByFailure;
                }
                return result;
            }
        }
    } catch (const Refused& refused) {
        cli::tellError(refused.what());
        return kExitRefused;
    } catch (const ProgramEnd& end) {
        return end.exitCode();
    } catch (const Error& error) {
        cli::tellError(error.description());
        return kEndedByFailure;
    } catch (const std::exception& error) {
        cli::tellError(error.what());
        return kEndedByFailure;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return cli::finishOutput(run(argc, argv));
}
