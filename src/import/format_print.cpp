#include "import/format_print.h"

namespace kapred {

FormulaList formatPrintFormulas(const ImportFormat& format) {
    return {"Formula = '" + format.name + "'"};
}

std::string sSeleccionFormato(const ImportFormat& format) {
    return "{importacion_desdehasta.codigo_import} = " + std::to_string(format.section) +
           " and {importacion_desdehasta.IdFormato} = " + std::to_string(format.id);
}

std::vector<std::vector<std::string>> formatPrintRows(const FieldGrid& grid) {
    std::vector<std::vector<std::string>> rows;
    for (const FieldPosition& field : grid.rows) {
        rows.push_back({field.label, field.from, field.to, field.imported ? "Sí" : "No"});
    }
    return rows;
}

}  // namespace kapred
