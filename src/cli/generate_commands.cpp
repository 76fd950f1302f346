// Commands of the declaration file: generate it and deliver it to a folder, as the generate
// dialog's Aceptar does, and remove the generation's intermediate files, as its Cancelar does.
#include <filesystem>
#include <iostream>
#include <memory>
#include <system_error>

#include "cli/commands.h"
#include "cli/output.h"
#include "generation/directories.h"
#include "generation/generator.h"

namespace kapred::cli {

namespace {

namespace fs = std::filesystem;

struct GenerateArguments {
    std::string code;
    std::string destination;
    std::string plainCopy;
};

int generate(Session& session, const GenerateArguments& arguments, const Options& options) {
    session.declaration(arguments.code);
    BGenerarDJs generator(session.context());
    // The dialog's pause before the temporary file is opened changes nothing in the file; a
    // script has no window to let appear.
    generator.openingPause = std::chrono::milliseconds(0);
    if (!arguments.plainCopy.empty()) {
        generator.plainCopy = fs::absolute(arguments.plainCopy).string();
    }
    switch (GenerarEnDestino(generator, arguments.destination)) {
        case GenerationOutcome::Delivered: {
            nlohmann::ordered_json result;
            result["Archivo"] = (fs::path(generator.Destino) / generator.encryptedFile()).string();
            result["Registros"] = generator.recordCount();
            if (!generator.plainCopy.empty()) {
                result["Copia legible"] = generator.plainCopy;
            }
            print(result, options.json);
            return 0;
        }
        case GenerationOutcome::ReplaceRefused:
            std::cerr << "No se entregó el archivo: " << generator.keptFile() << " ya existe y no se reemplazó."
                      << std::endl;
            return kExitFailure;
        case GenerationOutcome::NotGenerated:
        case GenerationOutcome::NotEncrypted:
        case GenerationOutcome::NotCopied:
        case GenerationOutcome::NoDestination:
        case GenerationOutcome::NoComponent:
            break;
    }
    return kExitFailure;
}

int clean(Session& session) {
    Context& context = session.context();
    if (!BGenerarDJs(context).EliminarTemporales()) {
        MsgError(context.ui, "No se pudieron eliminar todos los archivos intermedios de " + DirWindows(context) + ".");
        return kExitFailure;
    }
    std::cout << "Archivos intermedios eliminados de " << DirWindows(context) << "\n";
    return 0;
}

}  // namespace

void addGenerateCommands(CLI::App& app, std::vector<Command>& commands, const Options& options) {
    auto arguments = std::make_shared<GenerateArguments>();
    auto* generateCommand = app.add_subcommand(
        "generate", "Genera el archivo encriptado del F.369 de una declaración y lo copia al destino");
    generateCommand->add_option("DJ", arguments->code, "Código de la declaración (período y secuencia, p. ej. 20040)")
        ->required();
    generateCommand->add_option("--dest", arguments->destination, "Carpeta de destino de la presentación");
    generateCommand->add_option("--keep-plain", arguments->plainCopy,
                                "Escribe también en este archivo, legible, lo que se entrega a la encriptación");
    commands.push_back(
        {generateCommand, [arguments, &options](Session& session) { return generate(session, *arguments, options); }});

    commands.push_back({app.add_subcommand("clean", "Elimina los archivos intermedios de la generación"),
                        [](Session& session) { return clean(session); }});
}

}  // namespace kapred::cli
