// Commands over import formats, and the import and export of a section's rows as fixed-width
// text files.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/commands.h"
#include "cli/output.h"
#include "cli/standard_stream.h"
#include "data/engine/schema.h"
#include "generation/directories.h"
#include "import/export.h"
#include "import/import_engine.h"
#include "import/import_formats.h"

namespace kapred::cli {

namespace {

// Exit status of an import whose run ended but left lines unstored, and of one stopped by Ctrl+C.
constexpr int kExitLinesRefused = 5;
constexpr int kExitInterrupted = 130;

// Set by Ctrl+C while an import or export runs; the run looks at it before each line or row.
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

extern "C" void onInterrupt(int) {
    g_interrupted.store(true);
}

// Ctrl+C cancels the run instead of ending the program, while this lives.
class InterruptCancels {
public:
    InterruptCancels() {
        g_interrupted.store(false);
        struct sigaction action {};
        action.sa_handler = onInterrupt;
        sigemptyset(&action.sa_mask);
        installed_ = ::sigaction(SIGINT, &action, &previous_) == 0;
    }
    ~InterruptCancels() {
        if (installed_) {
            ::sigaction(SIGINT, &previous_, nullptr);
        }
    }
    InterruptCancels(const InterruptCancels&) = delete;
    InterruptCancels& operator=(const InterruptCancels&) = delete;

private:
    struct sigaction previous_ {};
    bool installed_ = false;
};

bool allDigits(const std::string& text) {
    return !text.empty() && text.size() <= 9 && text.find_first_not_of("0123456789") == std::string::npos;
}

ImportFormat formatNamed(Context& context, const std::string& given) {
    const auto format = findFormatByNumberOrName(context, given);
    if (!format) {
        throw CommandFailure("No existe el formato " + given + ".");
    }
    return *format;
}

long sectionCode(const std::string& given) {
    if (!allDigits(given)) {
        throw CommandFailure("El código de sección " + given + " no es válido.");
    }
    return std::stol(given);
}

std::string separatorName(const ImportFormat& format) {
    return format.pointDecimal() ? "punto" : "coma";
}

nlohmann::ordered_json formatJson(const ImportFormat& format) {
    return {{"IdFormato", format.id},
            {"Nombre", format.name},
            {"Código de sección", format.section},
            {"Separador decimal", separatorName(format)},
            {"Estándar", shownYesNo(format.standard())}};
}

int listFormats(Session& session, const std::string& section) {
    Context& context = session.context();
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    if (!section.empty()) {
        const long code = sectionCode(section);
        if (!importSection(context, code)) {
            throw CommandFailure("La sección " + section + " no admite formatos de importación.");
        }
        for (const auto& format : formatsOfSection(context, code)) {
            list.push_back(formatJson(format));
        }
        print(list);
        return 0;
    }
    const auto formats = allFormats(context);
    for (const auto& entry : importSections(context)) {
        nlohmann::ordered_json ofSection = nlohmann::ordered_json::array();
        for (const auto& format : formats) {
            if (format.section == entry.code) {
                ofSection.push_back(formatJson(format));
            }
        }
        list.push_back({{"Código de sección", entry.code},
                        {"Descripción", entry.description},
                        {"Entidad", entry.entityName},
                        {"Formatos", ofSection}});
    }
    print(list);
    return 0;
}

// A position as typed, a number once it is one; nothing while the field has none.
nlohmann::ordered_json shownPosition(const std::string& typed) {
    if (typed.empty()) {
        return nullptr;
    }
    const auto number = Variant(typed).toWholeNumber();
    return number ? nlohmann::ordered_json(*number) : nlohmann::ordered_json(typed);
}

void printGrid(Context& context, const FieldGrid& grid) {
    nlohmann::ordered_json fields = nlohmann::ordered_json::array();
    for (const auto& row : grid.rows) {
        fields.push_back({{"Concepto del dato", row.label},
                          {"Campo", row.fieldName},
                          {"Desde", shownPosition(row.from)},
                          {"Hasta", shownPosition(row.to)},
                          {"Se importa", shownYesNo(row.imported)},
                          {"Tipo", fieldTypeName(row.fieldType)},
                          {"LongitudP", row.proposedWidth},
                          {"Obligatorio", shownYesNo(row.required)}});
    }
    print({{"Nombre", grid.format.name},
           {"IdFormato", grid.format.id},
           {"Código de sección", grid.format.section},
           {"Separador decimal", grid.point ? "punto" : "coma"},
           {"Largo de registro", recordLength(context, grid.format.id, grid.format.section)},
           {"Posiciones", fields}});
}

// Puts "field=desde-hasta" (or "field=desde", which takes the field's proposed width) into the
// grid; the field is named by its entity field, its caption (the grid's "Concepto del dato") or
// its number.
void place(FieldGrid& grid, const std::string& assignment) {
    const auto equals = assignment.find('=');
    const std::string name = assignment.substr(0, equals);
    FieldPosition* row = nullptr;
    for (auto& candidate : grid.rows) {
        if (db::equalsIgnoreCase(candidate.fieldName, name) || db::equalsIgnoreCase(candidate.label, name) ||
            std::to_string(candidate.idCampo) == name) {
            row = &candidate;
        }
    }
    if (equals == std::string::npos || row == nullptr) {
        throw CommandFailure("No se reconoce \"" + assignment +
                             "\": se espera campo=desde-hasta con un campo de la "
                             "sección del formato.");
    }
    const std::string range = assignment.substr(equals + 1);
    const auto dash = range.find('-');
    const std::string from = range.substr(0, dash);
    const std::string to = dash == std::string::npos ? proposedTo(from, row->proposedWidth) : range.substr(dash + 1);
    if (!allDigits(from) || !allDigits(to)) {
        throw CommandFailure("La posición \"" + range + "\" de " + row->fieldName +
                             " no es válida: se esperan números de columna, como 1-10.");
    }
    row->from = from;
    row->to = to;
    row->imported = true;
}

int setPositions(Session& session, const std::string& given, const std::vector<std::string>& assignments, bool point,
                 bool comma) {
    Context& context = session.context();
    const ImportFormat format = formatNamed(context, given);
    FieldGrid grid = fieldGrid(context, format);
    for (const auto& assignment : assignments) {
        place(grid, assignment);
    }
    if (point || comma) {
        grid.point = point;
    }
    switch (savePositions(context, grid)) {
        case SaveOutcome::Saved:
            printGrid(context, fieldGrid(context, *findFormat(context, format.id)));
            return 0;
        case SaveOutcome::NotSaved:
            throw CommandFailure("El formato " + format.name +
                                 " viene con el programa: sus posiciones no se modifican y no se grabó nada.");
        case SaveOutcome::Refused:
        case SaveOutcome::Failed:
            break;
    }
    return kExitFailure;
}

void printImport(const ImportResult& result) {
    const char* outcome = result.outcome == ImportOutcome::Cancelled ? "cancelada" : "finalizada";
    if (usingJson()) {
        print({{"Resultado", outcome},
               {"Procesados", result.linesRead},
               {"Correctos", result.stored()},
               {"Con errores", result.errors},
               {"Archivo de errores", result.errorFile.string()}});
        return;
    }
    std::cout << "Importación " << outcome << ".\n"
              << "Cantidad de Registros Procesados: " << result.linesRead << "\n"
              << "Cantidad de Registros correctos cargados: " << result.stored() << "\n"
              << "Cantidad de Registros con errores: " << result.errors << "\n"
              << "Archivo de errores: " << result.errorFile.string() << std::endl;
}

int import(Session& session, const std::string& code, const std::string& given, const std::string& file) {
    session.declaration(code);
    Context& context = session.context();
    const ImportFormat format = formatNamed(context, given);
    std::optional<StandardStreamFile> standardInput;
    if (file == "-") {
        standardInput.emplace(context);
        standardInput->fromStandardInput();
    }
    ImportResult result;
    {
        InterruptCancels interrupt;
        result = importFile(context, format.id, standardInput ? standardInput->path() : std::filesystem::path(file),
                            &g_interrupted);
    }
    tell(context.ui, result);
    switch (result.outcome) {
        case ImportOutcome::Finished:
            printImport(result);
            return result.errors > 0 ? kExitLinesRefused : 0;
        case ImportOutcome::Cancelled:
            printImport(result);
            return kExitInterrupted;
        case ImportOutcome::Failed:
        case ImportOutcome::NoData:
            break;
    }
    return kExitFailure;
}

int exportRows(Session& session, const std::string& code, const std::string& given, const std::string& file) {
    session.declaration(code);
    Context& context = session.context();
    const ImportFormat format = formatNamed(context, given);
    std::optional<StandardStreamFile> standardOutput;
    if (file == "-") {
        standardOutput.emplace(context);
    }
    ExportResult result;
    {
        InterruptCancels interrupt;
        result = Exportar(context, format.id, standardOutput ? standardOutput->path() : std::filesystem::path(file),
                          &g_interrupted);
    }
    tell(context.ui, result);
    switch (result.outcome) {
        case ExportOutcome::Exported:
            if (standardOutput) {
                // Standard output carries the rows themselves, whole; their count is told aside.
                standardOutput->toStandardOutput();
                resultsAside();
            }
            print({{"Filas exportadas", result.rows}, {"Archivo", file}});
            return 0;
        case ExportOutcome::Cancelled:
            return kExitInterrupted;
        case ExportOutcome::Kept:
            std::cerr << "No se exportó: " << file << " ya existe y no se reemplazó." << std::endl;
            return kExitFailure;
        case ExportOutcome::Failed:
            break;
    }
    return kExitFailure;
}

}  // namespace

void addImportCommands(CLI::App& app, std::vector<Command>& commands) {
    auto section = std::make_shared<std::string>();
    auto* list = app.add_subcommand("formats", "Formatos de importación, por sección");
    list->add_option("--section", *section, "Código de la sección (ver la lista sin esta opción)")
        ->type_name("SECCION");
    commands.push_back({list, [section](Session& session) { return listFormats(session, *section); }});

    auto name = std::make_shared<std::string>();
    auto* create = app.add_subcommand("format-new", "Nuevo formato de importación de una sección");
    create->add_option("--section", *section, "Código de la sección que describe el formato")
        ->type_name("SECCION")
        ->required();
    create->add_option("NOMBRE", *name, "Nombre del formato")->required();
    commands.push_back({create, [section, name](Session& session) {
                            const auto id = createFormat(session.context(), sectionCode(*section), *name);
                            if (!id) {
                                return kExitFailure;
                            }
                            tellDone("Formato " + std::to_string(*id) + " creado.", {{"Formato", *id}});
                            return 0;
                        }});

    auto format = std::make_shared<std::string>();
    auto* rename = app.add_subcommand("format-rename", "Cambia el nombre de un formato");
    rename->add_option("FORMATO", *format, "Número o nombre del formato")->required();
    rename->add_option("NOMBRE", *name, "Nombre nuevo")->required();
    commands.push_back({rename, [format, name](Session& session) {
                            const ImportFormat found = formatNamed(session.context(), *format);
                            if (!renameFormat(session.context(), found.id, *name)) {
                                return kExitFailure;
                            }
                            tellDone("Formato " + std::to_string(found.id) + " renombrado.", {{"Formato", found.id}});
                            return 0;
                        }});

    auto* remove = app.add_subcommand("format-delete", "Elimina un formato y sus posiciones");
    remove->add_option("FORMATO", *format, "Número o nombre del formato")->required();
    commands.push_back({remove, [format](Session& session) {
                            const ImportFormat found = formatNamed(session.context(), *format);
                            std::cerr << "Se eliminará el formato " << found.id << " (" << printable(found.name)
                                      << ") con todas sus posiciones." << std::endl;
                            switch (deleteFormat(session.context(), found.id)) {
                                case DeleteOutcome::Deleted:
                                    tellDone("Formato " + std::to_string(found.id) + " eliminado.");
                                    return 0;
                                case DeleteOutcome::Declined:
                                    return 0;
                                case DeleteOutcome::Refused:
                                    break;
                            }
                            return kExitFailure;
                        }});

    auto* fields = app.add_subcommand("format-fields", "Campos de un formato con sus posiciones");
    fields->add_option("FORMATO", *format, "Número o nombre del formato")->required();
    commands.push_back({fields, [format](Session& session) {
                            Context& context = session.context();
                            printGrid(context, fieldGrid(context, formatNamed(context, *format)));
                            return 0;
                        }});

    auto assignments = std::make_shared<std::vector<std::string>>();
    auto point = std::make_shared<bool>(false);
    auto comma = std::make_shared<bool>(false);
    auto* set = app.add_subcommand("format-set", "Graba las posiciones de los campos de un formato");
    set->add_option("FORMATO", *format, "Número o nombre del formato")->required();
    set->add_option("POSICIONES", *assignments, "campo=desde-hasta, o campo=desde (el ancho propuesto del campo)");
    auto* pointFlag = set->add_flag("--point", *point, "Separador decimal: el punto");
    set->add_flag("--comma", *comma, "Separador decimal: la coma")->excludes(pointFlag);
    commands.push_back({set, [format, assignments, point, comma](Session& session) {
                            return setPositions(session, *format, *assignments, *point, *comma);
                        }});

    auto code = std::make_shared<std::string>();
    auto file = std::make_shared<std::string>();
    auto* importCommand = app.add_subcommand(
        "import",
        "Importa un archivo de texto en la sección del formato (Ctrl+C cancela). Salida: 0 sin errores, "
        "5 con líneas no cargadas, 130 cancelada, 3 no se pudo importar");
    importCommand->add_option("DJ", *code, "Código de la declaración")->required();
    importCommand->add_option("--format", *format, "Número o nombre del formato")->type_name("FORMATO")->required();
    importCommand->add_option("--file", *file, "Archivo a importar (- la entrada estándar)")
        ->type_name("ARCHIVO")
        ->required();
    commands.push_back(
        {importCommand, [code, format, file](Session& session) { return import(session, *code, *format, *file); }});

    auto* exportCommand =
        app.add_subcommand("export", "Exporta las filas de la sección del formato a un archivo de texto");
    exportCommand->add_option("DJ", *code, "Código de la declaración")->required();
    exportCommand->add_option("--format", *format, "Número o nombre del formato")->type_name("FORMATO")->required();
    exportCommand->add_option("--file", *file, "Archivo a escribir (- la salida estándar)")
        ->type_name("ARCHIVO")
        ->required();
    commands.push_back(
        {exportCommand, [code, format, file](Session& session) { return exportRows(session, *code, *format, *file); }});
}

}  // namespace kapred::cli
