// Commands of the declaration file: generate it and deliver it to a folder, as the generate
// dialog's Aceptar does, and remove the generation's intermediate files, as its Cancelar does.
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <system_error>

#include "cli/commands.h"
#include "cli/output.h"
#include "cli/standard_stream.h"
#include "generation/directories.h"
#include "generation/generator.h"

namespace kapred::cli {

namespace {

namespace fs = std::filesystem;

struct GenerateArguments {
    std::string code;
    std::string destination;
    std::string plainCopy;
    bool dryRun = false;
};

int deliver(Session& session, const GenerateArguments& arguments, const std::string& plainCopy,
            const std::string& shownCopy) {
    session.declaration(arguments.code);
    BGenerarDJs generator(session.context());
    // The dialog's pause before the temporary file is opened changes nothing in the file; a
    // script has no window to let appear.
    generator.openingPause = std::chrono::milliseconds(0);
    generator.plainCopy = plainCopy;
    switch (GenerarEnDestino(generator, arguments.destination)) {
        case GenerationOutcome::Delivered: {
            nlohmann::ordered_json result;
            result["Archivo"] = (fs::path(generator.Destino) / generator.encryptedFile()).string();
            result["Registros"] = generator.recordCount();
            if (!plainCopy.empty()) {
                result["Copia legible"] = shownCopy;
            }
            print(result);
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

int generate(Session& session, const GenerateArguments& arguments) {
    // "-" sends the plain copy to standard output, once it is whole; the results are told aside.
    std::optional<StandardStreamFile> standardOutput;
    std::string plainCopy = arguments.plainCopy.empty() ? "" : fs::absolute(arguments.plainCopy).string();
    if (arguments.plainCopy == "-") {
        standardOutput.emplace(session.context());
        plainCopy = standardOutput->path().string();
        resultsAside();
    }
    const std::string shownCopy = standardOutput ? arguments.plainCopy : plainCopy;
    const int status = arguments.dryRun ? generateDryRun(session, arguments.code, plainCopy, shownCopy)
                                        : deliver(session, arguments, plainCopy, shownCopy);
    if (status == 0 && standardOutput) {
        standardOutput->toStandardOutput();
    }
    return status;
}

int clean(Session& session) {
    Context& context = session.context();
    if (!BGenerarDJs(context).EliminarTemporales()) {
        MsgError(context.ui, "No se pudieron eliminar todos los archivos intermedios de " + DirWindows(context) + ".");
        return kExitFailure;
    }
    tellDone("Archivos intermedios eliminados de " + DirWindows(context));
    return 0;
}

}  // namespace

void addGenerateCommands(CLI::App& app, std::vector<Command>& commands) {
    auto arguments = std::make_shared<GenerateArguments>();
    auto* generateCommand = app.add_subcommand(
        "generate", "Genera el archivo encriptado del F.369 de una declaración y lo copia al destino");
    generateCommand->add_option("DJ", arguments->code, "Código de la declaración (período y secuencia, p. ej. 20040)")
        ->required();
    generateCommand->add_option("--dest", arguments->destination, "Carpeta de destino de la presentación")
        ->type_name("CARPETA");
    generateCommand
        ->add_option("--keep-plain", arguments->plainCopy,
                     "Escribe también en este archivo (- para la salida estándar), legible, lo que se "
                     "entrega a la encriptación")
        ->type_name("ARCHIVO");
    generateCommand->add_flag("--dry-run", arguments->dryRun, "Arma y revisa el archivo sin encriptarlo ni entregarlo");
    commands.push_back({generateCommand, [arguments](Session& session) { return generate(session, *arguments); }});

    commands.push_back({app.add_subcommand("clean", "Elimina los archivos intermedios de la generación"),
                        [](Session& session) { return clean(session); }});
}

}  // namespace kapred::cli
