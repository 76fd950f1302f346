// Backup and restore of the registry's two databases, kept as Kapred keeps its own.
#include <filesystem>
#include <iostream>
#include <memory>

#include "app/backup.h"
#include "cli/output.h"
#include "commands/commands.h"

namespace kapred::padron {

namespace fs = std::filesystem;

void addBackupCommands(CLI::App& app, std::vector<Command>& commands) {
    auto target = std::make_shared<std::string>();
    auto* backup = app.add_subcommand("backup", "Copia de seguridad de los contribuyentes y las tablas de referencia");
    backup->add_option("--to", *target, "Archivo de la copia")->type_name("ARCHIVO")->required();
    commands.push_back(
        {backup, [target](Padron& padron) {
             const fs::path path = fs::absolute(*target);
             if (!CopiaDeSeguridad(padron.context(), path, padron.backupContents())) {
                 std::cerr << "No se escribió la copia de seguridad." << std::endl;
                 return kEndedByFailure;
             }
             cli::tellDone("Copia de seguridad escrita y verificada: " + path.string(), {{"Archivo", path.string()}});
             return 0;
         }});

    auto source = std::make_shared<std::string>();
    auto* restore =
        app.add_subcommand("restore", "Restaura una copia de seguridad; los datos actuales se conservan aparte");
    restore->add_option("ARCHIVO", *source, "Archivo de la copia")->required();
    commands.push_back({restore, [source](Padron& padron) {
                            return Restaurar(padron.context(), fs::absolute(*source), padron.backupContents())
                                .value_or(kEndedByFailure);
                        }});
}

}  // namespace kapred::padron
