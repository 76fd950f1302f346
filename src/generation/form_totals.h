#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "data/values/numeric_text.h"
#include "data/values/variant.h"

namespace kapred {

struct Context;

// The named values a printed report is filled with, each "name = 'value'" (indexes 0, 1, 2 ...).
using FormulaList = std::vector<std::string>;

// The printed form 369 of the current declaration. Its totals also go into the declaration
// file, as the records 90 of its nine boxes.
class BPrintDDJJ {
public:
    explicit BPrintDDJJ(Context& context) : context_(context) {}

    // Computes a fresh liquidation ("PK") and determination ("IDX_LIST") and writes the nine
    // records 90, each the box's code, its amount and a line feed, without a length check.
    // Returns 9. A database error raises.
    long sGenerarRegistrointerfaceF369(std::ostream& file);

    // The 18 values of the printed form: the identification of the declaration and of the
    // taxpayer (0 to 8), then the amounts of BPrintF530C (9 to 17). The list is replaced. Raises
    // when the database fails, the verification number cannot be computed or no rate covers the
    // start of the fiscal year (the amounts would not be the declaration's).
    void PrepararFomulario(FormulaList& formulas);

private:
    Context& context_;
    int index_ = -1;
};

// The amounts of the printed form: the liquidation's boxes and the determination's balances.
class BPrintF530C {
public:
    explicit BPrintF530C(Context& context) : context_(context) {}

    // Stores the nine amounts at the indexes after `index`, which ends at the last one stored.
    void GetCampos(FormulaList& formulas, int& index);

private:
    Context& context_;
};

// What the form prints besides its formula list, so that the balance can be followed on the page:
// "ccAlicuota" the rate as a percentage ("2,00 %"), "ccSaldoFavorPeriodoAnt" the balance in
// favour from the previous period and "ccImporteAnticipos" the advances, each "name = 'value'".
// Raises as PrepararFomulario.
FormulaList determinationDetail(Context& context);

// An amount as the form prints it, mask "###,###,###,###,##0.00" with the program's separators:
// 1.234.567,50, a negative one with its minus sign. Anything that is not an amount (a Null, a
// text that is no number) gives the empty text.
std::string sFormatoImporte(const Variant& amount, NumberFormat format = {});

// The rows of the declaration table the form is printed from: "{DDJJ.CUIT} = " CUIT " and
// {DDJJ.CodDJ} = " code of the current declaration.
std::string sSeleccionFormulario(const Context& context);

// The name and the value of a formula "name = 'value'" (blanks around the name dropped); the
// whole text as the name and an empty value when it has no equals sign.
struct NamedValue {
    std::string name;
    std::string value;
};
NamedValue splitFormula(const std::string& formula);

}  // namespace kapred
