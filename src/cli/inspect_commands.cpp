// Commands that look at a declaration before and after it is delivered: the check before
// generating, the dry run of the file, the reading of a declaration file field by field, the
// comparison of two declarations of one period and the receipts of the delivered files.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <system_error>

#include "calc/declaration_diff.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "data/engine/files.h"
#include "data/validation.h"
#include "data/values/numeric_text.h"
#include "generation/declaration_check.h"
#include "generation/delivery_receipts.h"
#include "generation/file_inspector.h"
#include "generation/generator.h"
#include "model/tables/tables.h"

namespace kapred::cli {

namespace {

namespace fs = std::filesystem;

// A declaration file is some tens of kilobytes; anything far larger is not one.
constexpr std::uintmax_t kLargestFile = 16 * 1024 * 1024;

// "-" is standard input, read up to the same size.
std::string readDeclarationFile(const std::string& path) {
    if (path == "-") {
        std::string bytes;
        char buffer[65536];
        while (std::cin.read(buffer, sizeof buffer) || std::cin.gcount() > 0) {
            bytes.append(buffer, static_cast<std::size_t>(std::cin.gcount()));
            if (bytes.size() > kLargestFile) {
                throw CommandFailure("La entrada estándar es demasiado grande para ser una declaración del F.369.");
            }
        }
        if (std::cin.bad()) {
            throw CommandFailure("No se pudo leer la entrada estándar.");
        }
        return bytes;
    }
    if (const auto why = db::whyNotAFile(path)) {
        throw CommandFailure("No se puede inspeccionar " + path + ": " + *why + ".");
    }
    std::error_code error;
    if (fs::file_size(path, error) > kLargestFile || error) {
        throw CommandFailure("El archivo " + path + " es demasiado grande para ser una declaración del F.369.");
    }
    std::ifstream in(path, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad() || !in.is_open()) {
        throw CommandFailure("No se pudo leer el archivo " + path + ".");
    }
    return bytes;
}

nlohmann::ordered_json inspectionJson(const FileInspection& inspection) {
    nlohmann::ordered_json records = nlohmann::ordered_json::array();
    for (const InspectedRecord& record : inspection.records) {
        nlohmann::ordered_json fields = nlohmann::ordered_json::array();
        for (const InspectedField& field : record.fields) {
            fields.push_back({{"Campo", field.caption},
                              {"Desde", field.from},
                              {"Hasta", field.to},
                              {"Texto", field.raw},
                              {"Valor", field.value}});
        }
        nlohmann::ordered_json each = {{"Línea", record.line}, {"Tipo", record.type}};
        if (!record.figure.empty()) {
            each["Cifra"] = record.figure;
        }
        each["Posiciones"] = fields;
        records.push_back(each);
    }
    return {{"Cabecera", inspection.header}, {"Contenido", records}, {"Faltas", inspection.faults}};
}

void printInspection(const FileInspection& inspection) {
    std::cout << "Línea 1: cabecera " << printable(inspection.header) << "\n";
    for (const InspectedRecord& record : inspection.records) {
        std::cout << "Línea " << record.line << ": registro " << printable(record.type);
        if (!record.figure.empty()) {
            std::cout << " (" << record.figure << ")";
        }
        std::cout << "\n";
        for (const InspectedField& field : record.fields) {
            std::cout << "  " << field.caption << " (" << field.from << "-" << field.to << "): \""
                      << printable(field.raw) << "\"";
            if (!field.value.empty() && field.value != field.raw) {
                std::cout << " = " << printable(field.value);
            }
            std::cout << "\n";
        }
    }
    std::cout << std::flush;
}

int inspect(Session& session, const std::string& path) {
    FileInspection inspection = inspectDeclarationFile(readDeclarationFile(path));
    checkVerificationNumber(session.context(), inspection);
    if (usingJson()) {
        print(inspectionJson(inspection));
    } else {
        printInspection(inspection);
    }
    if (!inspection.sound()) {
        session.context().ui.showInconsistencies("Faltas de forma del archivo " + path, inspection.faults);
        return kRuleError;
    }
    return 0;
}

int check(Session& session, const std::string& code) {
    session.declaration(code);
    const DeclarationCheck result = VerificarDJ(session.context());
    nlohmann::ordered_json shownResult;
    // A script gets the declaration's code as the number it is everywhere else.
    if (usingJson()) {
        shownResult[tables::DDJJ::CodDJ.name] = Variant(code).toWholeNumber().value_or(0);
    } else {
        shownResult["Declaración"] = code;
    }
    shownResult["Se puede generar"] = shownYesNo(result.refusals.empty());
    if (result.dryRun.built) {
        shownResult["Registros"] = result.dryRun.recordCount;
        shownResult["Número de verificación"] = result.dryRun.verificationNumber;
    }
    if (usingJson()) {
        shownResult["Impide generar"] = result.refusals;
        shownResult["Advertencias"] = result.warnings;
    }
    print(shownResult);
    if (!result.lines().empty() && !usingJson()) {
        session.context().ui.showInconsistencies(kCheckTitle, result.lines());
    }
    return result.refusals.empty() ? 0 : kRuleError;
}

// A value of the comparison as the chosen output writes it: an amount as any amount, anything
// else as the windows show it, and nothing for what a declaration lacks.
nlohmann::ordered_json diffValue(Session& session, const FigureDifference& each, const std::string& text) {
    if (text.empty()) {
        return nullptr;
    }
    if (each.difference) {
        if (const auto amount = parseCurrency(text, session.context().numberFormat())) {
            return shown(*amount);
        }
    }
    return text;
}

int diff(Session& session, const std::string& first, const std::string& second) {
    const DeclarationDiff result = compareDeclarations(session.context(), Variant(first), Variant(second));
    if (result.refusal) {
        throw CommandFailure(*result.refusal);
    }
    if (usingJson()) {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const FigureDifference& each : result.differences) {
            list.push_back({{"Sección", each.section},
                            {"Dato", each.item},
                            {first, diffValue(session, each, each.first)},
                            {second, diffValue(session, each, each.second)},
                            {"Diferencia", each.difference ? shown(*each.difference) : nullptr}});
        }
        print(list);
        return 0;
    }
    if (result.differences.empty()) {
        std::cout << "Las declaraciones " << first << " y " << second << " no difieren.\n";
    }
    for (const FigureDifference& each : result.differences) {
        std::cout << each.section << " / " << each.item << ": "
                  << (each.first.empty() ? "(no tiene)" : printable(each.first)) << " -> "
                  << (each.second.empty() ? "(no tiene)" : printable(each.second));
        if (each.difference) {
            std::cout << " (diferencia " << formatAmount(*each.difference) << ")";
        }
        std::cout << "\n";
    }
    return 0;
}

int deliveries(Session& session, const std::string& code) {
    std::optional<long> codDJ;
    if (!code.empty()) {
        const auto number = Variant(code).toWholeNumber();
        if (!number) {
            throw CommandFailure("El código de declaración " + code + " no es válido.");
        }
        codDJ = static_cast<long>(*number);
    }
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const DeliveryReceipt& receipt : entregas(session.context(), codDJ)) {
        nlohmann::ordered_json each = {{"DJ", receipt.codDJ},
                                       {"Fecha", shown(Variant(receipt.deliveredAt))},
                                       {"Archivo", receipt.fileName},
                                       {"Carpeta", receipt.folder},
                                       {"Tamaño", receipt.size},
                                       {"SHA-256", receipt.sha256},
                                       {"Número de verificación", receipt.verificationNumber}};
        if (receipt.declarationDeleted) {
            each["Estado"] = "Declaración eliminada";
        }
        list.push_back(each);
    }
    if (list.empty() && !usingJson()) {
        std::cout << "No hay entregas registradas.\n";
    }
    print(list);
    return 0;
}

}  // namespace

int generateDryRun(Session& session, const std::string& code, const std::string& plainCopy,
                   const std::string& shownCopy) {
    session.declaration(code);
    const DryRun run = generarEnSeco(session.context(), plainCopy);
    if (!run.built || !run.refusals.empty()) {
        session.context().ui.showInconsistencies(kGenerationInconsistenciesTitle, run.refusals);
        return kExitFailure;
    }
    nlohmann::ordered_json result;
    result["Registros"] = run.recordCount;
    result["Número de verificación"] = run.verificationNumber;
    if (!plainCopy.empty()) {
        result["Copia legible"] = shownCopy;
    }
    result["Resultado"] = "Archivo armado y revisado; no se encriptó ni se entregó.";
    print(result);
    return 0;
}

void addInspectCommands(CLI::App& app, std::vector<Command>& commands) {
    auto file = std::make_shared<std::string>();
    auto* inspectCommand =
        app.add_subcommand("inspect", "Muestra un archivo del F.369 registro por registro y campo por campo");
    inspectCommand->add_option("ARCHIVO", *file, "Archivo de la declaración (sin encriptar)")->required();
    commands.push_back({inspectCommand, [file](Session& session) { return inspect(session, *file); }});

    auto code = std::make_shared<std::string>();
    auto* checkCommand =
        app.add_subcommand("check", "Verifica una declaración: lo que impediría generarla y lo que conviene revisar");
    checkCommand->add_option("DJ", *code, "Código de la declaración (p. ej. 20040)")->required();
    commands.push_back({checkCommand, [code](Session& session) { return check(session, *code); }});

    auto pair = std::make_shared<std::pair<std::string, std::string>>();
    auto* diffCommand = app.add_subcommand("diff", "Compara dos declaraciones del mismo período, cifra por cifra");
    diffCommand->add_option("DJ1", pair->first, "La primera declaración (p. ej. la original 20040)")->required();
    diffCommand->add_option("DJ2", pair->second, "La segunda (p. ej. la rectificativa 20041)")->required();
    commands.push_back({diffCommand, [pair](Session& session) { return diff(session, pair->first, pair->second); }});

    auto receiptsOf = std::make_shared<std::string>();
    auto* deliveriesCommand = app.add_subcommand("deliveries", "Comprobantes de los archivos entregados");
    deliveriesCommand->add_option("DJ", *receiptsOf, "Sólo los de esta declaración");
    commands.push_back(
        {deliveriesCommand, [receiptsOf](Session& session) { return deliveries(session, *receiptsOf); }});
}

}  // namespace kapred::cli
