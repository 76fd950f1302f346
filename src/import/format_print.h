#pragma once

#include <string>

#include "generation/form_totals.h"
#include "import/import_formats.h"

namespace kapred {

// The printed import format: its one formula, "Formula = '" + the format's name + "'", and the
// positions it lists, "{importacion_desdehasta.codigo_import} = " section " and
// {importacion_desdehasta.IdFormato} = " format.
FormulaList formatPrintFormulas(const ImportFormat& format);
std::string sSeleccionFormato(const ImportFormat& format);

// The lines of the printed format, one per field of its section in field order: the caption,
// Desde, Hasta (empty for a field without a position) and "Sí" or "No" for "Se importa".
std::vector<std::vector<std::string>> formatPrintRows(const FieldGrid& grid);

}  // namespace kapred
