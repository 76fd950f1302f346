#pragma once

#include <string>
#include <string_view>

#include "generation/form_totals.h"
#include "import/import_formats.h"

namespace kapred {

// The printed import format: its one formula, "Formula = '" + the format's name + "'", and the
// positions it lists, "{importacion_desdehasta.codigo_import} = " section " and
// {importacion_desdehasta.IdFormato} = " format.
FormulaList formatPrintFormulas(const ImportFormat& format);
std::string sSeleccionFormato(const ImportFormat& format);

// The lines of the printed format, one per field of its section (the entity `entityName`) in field
// order: the field's caption as its entry window shows it, with the format's note on how the value
// is written ("(1 sí, 0 no)") when it has one, Desde, Hasta (empty for a field without a
// position) and "Sí" or "No" for "Se importa".
std::vector<std::vector<std::string>> formatPrintRows(const FieldGrid& grid, std::string_view entityName);

}  // namespace kapred
