#include "import/format_print.h"

#include "data/values/text.h"
#include "model/tables/captions.h"

namespace kapred {

FormulaList formatPrintFormulas(const ImportFormat& format) {
    return {"Formula = '" + format.name + "'"};
}

std::string sSeleccionFormato(const ImportFormat& format) {
    return "{importacion_desdehasta.codigo_import} = " + std::to_string(format.section) +
           " and {importacion_desdehasta.IdFormato} = " + std::to_string(format.id);
}

namespace {

// The caption of the entry window, and the note between parentheses that closes the format's own
// description of the field.
std::string printedCaption(const FieldPosition& field, std::string_view entityName) {
    const auto caption = fieldLabel(entityName, field.fieldName);
    if (!caption) {
        return field.label;
    }
    const auto note = field.label.rfind(" (");
    const bool noted = note != std::string::npos && field.label.ends_with(')');
    return trimmed(*caption) + (noted ? field.label.substr(note) : std::string());
}

}  // namespace

std::vector<std::vector<std::string>> formatPrintRows(const FieldGrid& grid, std::string_view entityName) {
    std::vector<std::vector<std::string>> rows;
    for (const FieldPosition& field : grid.rows) {
        rows.push_back({printedCaption(field, entityName), field.from, field.to, field.imported ? "Sí" : "No"});
    }
    return rows;
}

}  // namespace kapred
