#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "generation/form_totals.h"
#include "model/tables/tables.h"

namespace kapred {

struct Context;

// A work paper: the listing of one section of the current declaration, as the work-papers
// window offers it.
struct WorkPaperKind {
    std::string_view key;         // the node's key: its section's table
    std::string_view text;        // the node's text: "Activo Exento"
    std::string_view reportFile;  // the layout it prints with: "rptactexento"
    std::string_view title;       // the value of the formula "titulo"
};

inline constexpr WorkPaperKind kWorkPapers[] = {
    {tables::ActivoExento::table, "Activo Exento", "rptactexento", "Activo Exento"},
    {tables::ActivoComputable::table, "Activo Computable", "rptactivocomp", "Activo Computable"},
    {tables::Pasivo::table, "Pasivo", "rptpasivo", "Pasivo"},
    {tables::Anticipos::table, "Anticipos", "rptanticipos", "Anticipos"},
    {tables::PagosCuenta::table, "Pagos a Cuenta", "rptpagoscta", "Pagos a Cuenta"},
};

// The root of the work papers' tree and the name the papers print as the application's.
inline constexpr std::string_view kWorkPapersRootKey = "DJ";
inline constexpr std::string_view kWorkPapersRootText = "Consulta de Datos Ingresados";
inline constexpr std::string_view kNombreAplicativo = "Kapredia";

// The work paper of a node's key, compared in lower case; nothing for the root or an unknown key.
std::optional<WorkPaperKind> findWorkPaper(std::string_view key);

// The rows of the declaration table a work paper prints: "{DDJJ.CUIT}=" CUIT " AND
// {DDJJ.CODDJ}=" code of the current declaration.
std::string sSeleccionPapeles(const Context& context);

// The two formulas of a work paper: "NombreAplicativo = 'Kapredia'" and "titulo = '" title "'".
FormulaList papelesFormulas(const WorkPaperKind& paper);

// What a report prints besides its named values: rows of columns and the totals under them, and
// each row's amount when the rows add up to the total.
struct ReportRows {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::vector<std::string>> totals;
    std::vector<Currency> amounts;
};

// The section's data of the current declaration. A one-row section gives one row per field
// (its caption and its value, amounts as the form prints them, the yes/no lists as "Sí" or "No")
// and its totals with their captions (a section with subtotals gives its rows a third, empty cell,
// so that the totals stand in a column of their own); a list section gives its rows by date, those of one date by
// number (number, date, amount), with their amounts, and its total. A section without data gives no rows and zero
// totals. Raises when the section's business object is not registered.
ReportRows workPaperRows(Context& context, const WorkPaperKind& paper);

// The lines a screen print puts above the window's picture: the application's line, the CUIT, the
// period and the sequence ("Original", or "Rectificativa " and the sequence's number), then a
// line of 15 underscores.
std::vector<std::string> screenPrintHeader(const Context& context);

}  // namespace kapred
