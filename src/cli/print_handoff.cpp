// kapred-cli's print commands: checked here like any other command line, then carried out whole by
// kapred-cli-print, which alone links the print layer and so Qt's GUI module.
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "app/installation.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "cli/print_command_line.h"
#include "data/engine/files.h"

namespace kapred::cli {

namespace {

// The same command line, program name included, so that the printing program tells what this one
// would; it inherits the standard streams and its exit status is the run's.
int handOff(char** argv) {
    const std::filesystem::path program = installation().printing / "kapred-cli-print";
    ::execv(program.c_str(), argv);
    const int error = errno;
    tellError("No se puede iniciar el programa de impresión " + program.string() + ": " + db::systemError(error) +
              ". Vuelva a instalar Kapred.");
    return kExitFailure;
}

}  // namespace

void addPrintCommands(CLI::App& app, std::vector<Command>& commands) {
    const PrintCommandLine line = addPrintCommandLine(app);
    // The parser writes the arguments, so they live as long as the commands, though only the
    // printing program reads them.
    for (CLI::App* subcommand : {line.form, line.paper, line.format}) {
        commands.push_back({subcommand, nullptr, [arguments = line.arguments](char** argv) { return handOff(argv); }});
    }
}

}  // namespace kapred::cli
