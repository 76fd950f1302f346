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

namespace fs = std::filesystem;

constexpr const char* kPrintingProgram = "kapred-cli-print";

// Installed under a prefix, in libexec (KAPRED_PRINTING_FROM_BIN from the programs' folder); in a
// portable installation, the build's among them, beside this program like the templates.
fs::path printingProgram() {
    const fs::path folder = fs::read_symlink("/proc/self/exe").parent_path();
    if (installation().templates == folder) {
        return folder / kPrintingProgram;
    }
    return (folder / KAPRED_PRINTING_FROM_BIN).lexically_normal();
}

// The same command line, program name included, so that the printing program tells what this one
// would; it inherits the standard streams and its exit status is the run's.
int handOff(char** argv) {
    const fs::path program = printingProgram();
    ::execv(program.c_str(), argv);
    const int error = errno;
    tellError("No se puede iniciar el programa de impresión " + program.string() + ": " + db::systemError(error) +
              ". Vuelva a instalar Kapred.");
    return kExitFailure;
}

}  // namespace

void addPrintCommands(CLI::App& app, std::vector<Command>& commands) {
    const PrintCommandLine line = addPrintCommandLine(app);
    for (CLI::App* subcommand : {line.form, line.paper, line.format}) {
        commands.push_back({subcommand, nullptr, handOff});
    }
}

}  // namespace kapred::cli
