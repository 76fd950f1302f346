// kapred-cli's print commands: checked here like any other command line, then carried out whole by
// kapred-cli-print, which alone links the print layer and so Qt's GUI module.
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "cli/commands.h"
#include "cli/output.h"
#include "cli/print_command_line.h"
#include "data/engine/files.h"

namespace kapred::cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* kPrintingProgram = "kapred-cli-print";

// Where the installation puts it (KAPRED_PRINTING_FROM_BIN, from the folder of the programs) or, in
// the build tree and a portable installation, beside this program.
fs::path printingProgram() {
    std::error_code error;
    const fs::path folder = fs::read_symlink("/proc/self/exe", error).parent_path();
    const fs::path installed = (folder / KAPRED_PRINTING_FROM_BIN).lexically_normal();
    return fs::exists(installed, error) ? installed : folder / kPrintingProgram;
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
