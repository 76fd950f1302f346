#include "import/import_formats.h"

#include <cctype>

#include "data/engine/dialect.h"
#include "data/engine/recordset.h"
#include "data/engine/storage.h"
#include "data/values/error.h"
#include "data/values/text.h"
#include "model/declaration.h"
#include "model/tables/tables.h"

namespace kapred {

namespace {

// The largest position a column of Importacion_DesdeHasta holds.
constexpr long kLargestPosition = 32767;

ImportFormat formatOf(const db::Recordset& rows) {
    ImportFormat format;
    format.id = rows.value("IdFormato").toWholeNumber().value_or(0);
    format.name = rows.value("nombre").toText();
    format.section = rows.value("tipo_tabla").toWholeNumber().value_or(0);
    const Variant separator = rows.value("Separador_Decimal");
    if (!separator.isNull() && !separator.isEmpty()) {
        format.decimalSeparator = static_cast<int>(separator.toWholeNumber().value_or(0));
    }
    return format;
}

std::vector<ImportFormat> readFormats(Context& context, const std::string& sql, const db::Parameters& values = {}) {
    auto rows = context.g_dbTablas->openRecordset(sql, values);
    std::vector<ImportFormat> formats;
    for (long r = 0; r < rows->recordCount(); ++r) {
        r == 0 ? rows->moveFirst() : rows->moveNext();
        formats.push_back(formatOf(*rows));
    }
    return formats;
}

// The longest name the format table keeps, in characters.
std::size_t nameCapacity(Context& context) {
    const db::FieldDef* field = context.g_dbTablas->tableDef("Importacion_Formatos").field("nombre");
    return field != nullptr && field->size > 0 ? static_cast<std::size_t>(field->size) : 50;
}

// The typed name made ready to keep, or nothing after telling the user why it cannot be.
std::optional<std::string> acceptableName(Context& context, const std::string& typedName) {
    std::string name = trimmed(typedName);
    // Bytes that form no character, or characters that steer the display, would break or forge
    // every later listing of the formats.
    if (name.empty() || !isPlainText(name)) {
        MsgError(context.ui, kInvalidFormatName);
        return std::nullopt;
    }
    if (const std::size_t capacity = nameCapacity(context); db::characterCount(name) > capacity) {
        MsgError(context.ui,
                 "El nombre del formato no puede tener más de " + std::to_string(capacity) + " caracteres.");
        return std::nullopt;
    }
    return name;
}

void databaseFailure(Context& context, const std::string& what, const Error& error) {
    MsgError(context.ui, what + ": " + error.description());
}

// A position as typed: its number, or 0 when it is empty, not a number or out of range (so
// that the first check reports it).
long positionValue(const std::string& typed) {
    if (typed.empty() || typed.size() > 9) {
        return 0;
    }
    long value = 0;
    for (char c : typed) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return 0;
        }
        value = value * 10 + (c - '0');
    }
    return value > kLargestPosition ? 0 : value;
}

}  // namespace

std::vector<ImportSection> importSections(Context& context) {
    auto list = context.g_dbTablas->openRecordset("select  * from Importacion_CodigoImport");
    auto tables = context.g_dbTablas->openRecordset("select * from Importacion_CodigoTabla");
    std::vector<ImportSection> sections;
    for (long r = 0; r < list->recordCount(); ++r) {
        r == 0 ? list->moveFirst() : list->moveNext();
        ImportSection section;
        section.code = list->value("Codigo_Tabla").toWholeNumber().value_or(0);
        section.description = list->value("Descripcion").toText();
        tables->findFirst("Codigo_Tabla = ?", {section.code});
        if (!tables->noMatch()) {
            section.entityName = tables->value("Nombre_Tabla").toText();
        }
        sections.push_back(std::move(section));
    }
    std::stable_sort(sections.begin(), sections.end(),
                     [](const ImportSection& a, const ImportSection& b) { return a.code < b.code; });
    return sections;
}

std::optional<ImportSection> importSection(Context& context, long code) {
    for (auto& section : importSections(context)) {
        if (section.code == code) {
            return section;
        }
    }
    return std::nullopt;
}

std::vector<ImportFormat> formatsOfSection(Context& context, long sectionCode) {
    return readFormats(context, "select * from Importacion_Formatos where tipo_tabla = ?", {sectionCode});
}

std::vector<ImportFormat> allFormats(Context& context) {
    return readFormats(context, "select * from Importacion_Formatos order by IdFormato");
}

std::optional<ImportFormat> findFormat(Context& context, long id) {
    auto formats = readFormats(context, "select * from Importacion_Formatos where IdFormato = ?", {id});
    if (formats.empty()) {
        return std::nullopt;
    }
    return formats.front();
}

std::optional<ImportFormat> findFormatByName(Context& context, const std::string& name) {
    auto formats = readFormats(context, "select * from Importacion_Formatos where ucase(nombre) = ? order by IdFormato",
                               {db::upperCase(trimmed(name))});
    if (formats.empty()) {
        return std::nullopt;
    }
    return formats.front();
}

std::optional<ImportFormat> findFormatByNumberOrName(Context& context, const std::string& given) {
    if (const auto number = Variant(trimmed(given)).toWholeNumber(); number && *number > 0) {
        if (auto format = findFormat(context, static_cast<long>(*number))) {
            return format;
        }
    }
    return findFormatByName(context, given);
}

long countFormatsNamed(Context& context, const std::string& name) {
    auto count = context.g_dbTablas->openRecordset(
        "select count(*) as dato from Importacion_formatos where ucase(nombre) = ?", {db::upperCase(name)});
    return count->value("dato").toWholeNumber().value_or(0);
}

std::optional<long> createFormat(Context& context, long sectionCode, const std::string& typedName) {
    try {
        const auto name = acceptableName(context, typedName);
        if (!name) {
            return std::nullopt;
        }
        if (!importSection(context, sectionCode)) {
            MsgError(context.ui, "La sección " + std::to_string(sectionCode) + " no admite formatos de importación.");
            return std::nullopt;
        }
        if (countFormatsNamed(context, *name) > 0) {
            MsgError(context.ui, kNewNameTaken);
            return std::nullopt;
        }
        auto largest = context.g_dbTablas->openRecordset("select max(idformato) as dato from importacion_formatos");
        const long id = largest->value("dato").toWholeNumber().value_or(0) + 1;
        auto rows = context.g_dbTablas->openRecordset("select * from Importacion_Formatos where IdFormato = ?", {id});
        rows->addNew();
        rows->setValue("IdFormato", Variant(static_cast<std::int32_t>(id)));
        rows->setValue("nombre", Variant(*name));
        rows->setValue("tipo_tabla", Variant(static_cast<std::int32_t>(sectionCode)));
        rows->update();
        return id;
    } catch (const Error& error) {
        databaseFailure(context, "No se pudo crear el formato", error);
        return std::nullopt;
    }
}

bool mayEditFormat(Context& context, const ImportFormat& format) {
    if (format.standard()) {
        MsgInformacion(context.ui, kStandardNotEditable);
        return false;
    }
    return true;
}

bool renameFormat(Context& context, long formatId, const std::string& typedName) {
    try {
        const auto format = findFormat(context, formatId);
        if (!format) {
            MsgError(context.ui, "No existe el formato " + std::to_string(formatId) + ".");
            return false;
        }
        if (!mayEditFormat(context, *format)) {
            return false;
        }
        const auto name = acceptableName(context, typedName);
        if (!name) {
            return false;
        }
        // Only the letter case of its own name may change without looking for others.
        if (db::upperCase(*name) != db::upperCase(format->name) && countFormatsNamed(context, *name) > 0) {
            MsgError(context.ui, kRenameTaken);
            return false;
        }
        auto rows =
            context.g_dbTablas->openRecordset("select * from Importacion_Formatos where IdFormato = ?", {formatId});
        rows->edit();
        rows->setValue("nombre", Variant(*name));
        rows->update();
        return true;
    } catch (const Error& error) {
        databaseFailure(context, "No se pudo cambiar el nombre del formato", error);
        return false;
    }
}

DeleteOutcome deleteFormat(Context& context, long formatId) {
    try {
        const auto format = findFormat(context, formatId);
        if (!format) {
            MsgError(context.ui, "No existe el formato " + std::to_string(formatId) + ".");
            return DeleteOutcome::Refused;
        }
        if (format->standard()) {
            MsgInformacion(context.ui, kStandardNotDeletable);
            return DeleteOutcome::Refused;
        }
        if (!MsgAdvertencia(context.ui, kConfirmFormatDeletion)) {
            return DeleteOutcome::Declined;
        }
        // The positions and the format go together or not at all.
        db::Transaction transaction(*context.g_dbTablas);
        context.g_dbTablas->execute("delete * from importacion_desdeHasta where idformato = ?", {formatId});
        context.g_dbTablas->execute("delete * from importacion_formatos where idformato = ?", {formatId});
        transaction.commit();
        return DeleteOutcome::Deleted;
    } catch (const Error& error) {
        databaseFailure(context, "No se pudo eliminar el formato", error);
        return DeleteOutcome::Refused;
    }
}

FieldGrid fieldGrid(Context& context, const ImportFormat& format) {
    FieldGrid grid;
    grid.format = format;
    grid.point = format.pointDecimal();
    auto fields = context.g_dbTablas->openRecordset(
        "select * from importacion_campos where codigo_import = ? order by idcampo", {format.section});
    auto stored = context.g_dbTablas->openRecordset(
        "select * from Importacion_desdehasta where codigo_import = ? and idformato = ?", {format.section, format.id});
    for (long r = 0; r < fields->recordCount(); ++r) {
        r == 0 ? fields->moveFirst() : fields->moveNext();
        FieldPosition row;
        row.idCampo = fields->value("IdCampo").toWholeNumber().value_or(0);
        row.label = fields->value("concepto_campo").toText();
        row.fieldName = fields->value("Nombre_Campo").toText();
        row.fieldType = static_cast<int>(fields->value("tipo_campo").toWholeNumber().value_or(2));
        row.required = fields->value("obligatorio").toWholeNumber().value_or(0) != 0;
        row.proposedWidth = static_cast<int>(fields->value("LongitudP").toWholeNumber().value_or(0));
        bool importedFlag = false;
        if (stored->recordCount() > 0) {
            stored->findFirst("IdCampo = ?", {row.idCampo});
            if (!stored->noMatch()) {
                row.from = std::to_string(stored->value("Desde").toWholeNumber().value_or(0));
                row.to = std::to_string(stored->value("Hasta").toWholeNumber().value_or(0));
                importedFlag = stored->value("importa").toWholeNumber().value_or(0) != 0;
            }
        }
        row.imported = row.required || importedFlag;
        grid.rows.push_back(std::move(row));
    }
    return grid;
}

std::string typedDigits(std::string_view typed) {
    std::string digits;
    for (char c : typed) {
        if (c >= '0' && c <= '9') {
            digits += c;
        }
    }
    return digits;
}

std::string proposedTo(std::string_view from, int proposedWidth) {
    const std::string digits = typedDigits(from);
    if (digits.empty() || digits.size() > 9) {
        return {};
    }
    return std::to_string(std::stol(digits) + proposedWidth - 1);
}

std::optional<PositionProblem> checkPositions(const std::vector<FieldPosition>& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (positionValue(rows[i].from) == 0 || positionValue(rows[i].to) == 0) {
            return PositionProblem{i, "El concepto " + rows[i].label + " debe delimitarse correctamente."};
        }
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (positionValue(rows[i].to) < positionValue(rows[i].from)) {
            return PositionProblem{
                i, "El concepto " + rows[i].label + "\n\r" + "no puede tener el valor Hasta menor que el valor Desde."};
        }
    }
    for (std::size_t a = 0; a < rows.size(); ++a) {
        const long endA = positionValue(rows[a].to);
        for (std::size_t b = 0; b < rows.size(); ++b) {
            if (a == b) {
                continue;
            }
            if (positionValue(rows[b].from) <= endA && positionValue(rows[b].to) > endA) {
                return PositionProblem{a, "El concepto " + rows[a].label + " se superpone con " + rows[b].label + "."};
            }
        }
    }
    return std::nullopt;
}

SaveOutcome savePositions(Context& context, const FieldGrid& grid) {
    if (const auto problem = checkPositions(grid.rows)) {
        MsgError(context.ui, problem->message);
        return SaveOutcome::Refused;
    }
    if (grid.format.fixedPositions()) {
        return SaveOutcome::NotSaved;
    }
    try {
        db::Database& tables = *context.g_dbTablas;
        const long id = grid.format.id;
        const long code = grid.format.section;
        db::Transaction transaction(tables);
        tables.execute("delete * from Importacion_desdehasta where idformato = ? and codigo_import = ?", {id, code});
        auto fields = tables.openRecordset("select * from importacion_campos where codigo_import = ?", {code});
        auto positions = tables.openRecordset(
            "select * from Importacion_DesdeHasta where idformato = ? and codigo_import = ?", {id, code});
        for (const auto& row : grid.rows) {
            fields->findFirst("Codigo_Import = ? and Concepto_Campo = ?", {code, row.label});
            if (fields->noMatch()) {
                MsgError(context.ui, "El concepto " + row.label + " no pertenece a la sección del formato.");
                return SaveOutcome::Failed;
            }
            positions->addNew();
            positions->setValue("IdFormato", Variant(static_cast<std::int32_t>(grid.format.id)));
            positions->setValue("Codigo_Import", Variant(static_cast<std::int32_t>(grid.format.section)));
            positions->setValue("IdCampo", fields->value("IdCampo"));
            positions->setValue("Desde", Variant(static_cast<std::int32_t>(positionValue(row.from))));
            positions->setValue("Hasta", Variant(static_cast<std::int32_t>(positionValue(row.to))));
            positions->setValue("importa", Variant(row.imported));
            positions->update();
        }
        auto format = tables.openRecordset("select * from Importacion_Formatos where IdFormato = ?", {id});
        if (format->recordCount() == 0) {
            MsgError(context.ui, "No existe el formato " + std::to_string(id) + ".");
            return SaveOutcome::Failed;
        }
        format->edit();
        format->setValue("Separador_Decimal", Variant(std::int16_t{grid.point ? std::int16_t{0} : std::int16_t{1}}));
        format->update();
        transaction.commit();
        return SaveOutcome::Saved;
    } catch (const Error& error) {
        databaseFailure(context, "No se pudieron grabar las posiciones del formato", error);
        return SaveOutcome::Failed;
    }
}

bool declarationLoaded(const Context& context) {
    if (!context.currentDeclaration) {
        return false;
    }
    const auto code = context.currentDeclaration->Entity->vGetFieldValue(tables::DDJJ::CodDJ).toWholeNumber();
    return code && *code != 0;
}

long recordLength(Context& context, long formatId, long sectionCode) {
    auto longest = context.g_dbTablas->openRecordset(
        "select max(hasta) as MaxLineFormat from Importacion_DesdeHasta where idformato=? and codigo_import=?",
        {formatId, sectionCode});
    if (longest->recordCount() == 0) {
        return 0;
    }
    return longest->value("MaxLineFormat").toWholeNumber().value_or(0);
}

}  // namespace kapred
