// Backup and restore of the program's data: the declarations, their delivery receipts and the
// import formats, in one file.
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "app/backup.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "cli/standard_stream.h"

namespace kapred::cli {

namespace {

namespace fs = std::filesystem;

// "-" sends the copy to standard output once it is written and verified; the results are told
// aside.
int backup(Session& session, const std::string& target) {
    std::optional<StandardStreamFile> standardOutput;
    if (target == "-") {
        standardOutput.emplace(session.context());
    }
    const fs::path path = standardOutput ? standardOutput->path() : fs::absolute(target);
    if (!CopiaDeSeguridad(session.context(), path)) {
        std::cerr << "No se escribió la copia de seguridad." << std::endl;
        return kExitFailure;
    }
    const std::string shown = standardOutput ? target : path.string();
    if (standardOutput) {
        standardOutput->toStandardOutput();
        resultsAside();
    }
    tellDone("Copia de seguridad escrita y verificada: " + shown, {{"Archivo", shown}});
    return 0;
}

// "-" reads the copy from standard input, whole, before anything is checked.
int restore(Session& session, const std::string& source) {
    std::optional<StandardStreamFile> standardInput;
    if (source == "-") {
        standardInput.emplace(session.context());
        standardInput->fromStandardInput();
    }
    const ProgramEnding end =
        Restaurar(session.context(), standardInput ? standardInput->path() : fs::absolute(source));
    if (!end) {
        return kExitFailure;
    }
    session.ended();
    return *end;
}

}  // namespace

void addBackupCommands(CLI::App& app, std::vector<Command>& commands) {
    auto target = std::make_shared<std::string>();
    auto* backupCommand =
        app.add_subcommand("backup", "Copia de seguridad de las declaraciones y los formatos de importación");
    backupCommand->add_option("--to", *target, "Archivo de la copia")->type_name("ARCHIVO")->required();
    commands.push_back({backupCommand, [target](Session& session) { return backup(session, *target); }});

    auto source = std::make_shared<std::string>();
    auto* restoreCommand =
        app.add_subcommand("restore", "Restaura una copia de seguridad; los datos actuales se conservan aparte");
    restoreCommand->add_option("ARCHIVO", *source, "Archivo de la copia")->required();
    commands.push_back({restoreCommand, [source](Session& session) { return restore(session, *source); }});
}

}  // namespace kapred::cli
