// The named values of the printed form 369: what identifies the declaration and the taxpayer,
// and the amounts of the liquidation and the determination.
#include <chrono>

#include "app/context.h"
#include "app/cuit.h"
#include "calc/determination.h"
#include "data/values/error.h"
#include "data/values/text.h"
#include "generation/declaration_records.h"
#include "generation/form_totals.h"
#include "generation/verification_number.h"
#include "host/orel.h"
#include "model/section_object.h"
#include "model/tables/tables.h"

namespace kapred {

namespace {

std::string formula(const std::string& prefix, const std::string& value) {
    return prefix + value + "'";
}

void store(FormulaList& formulas, int& index, const std::string& prefix, const std::string& value) {
    ++index;
    if (formulas.size() <= static_cast<std::size_t>(index)) {
        formulas.resize(static_cast<std::size_t>(index) + 1);
    }
    formulas[static_cast<std::size_t>(index)] = formula(prefix, value);
}

// A date of the header as "dd/mm/yyyy"; empty when it holds none.
std::string dateText(const Variant& value) {
    const auto date = value.toDate();
    return date ? formatDate(DateTime{date->day}) : std::string();
}

// The time of a date and time as "HHMMSS"; empty when it holds none.
std::string formulaTime(const Variant& value) {
    const auto stamp = value.toDate();
    return stamp ? formatCompactTime(*stamp) : std::string();
}

// Figures that depend on a rate no row of the rate tables gave are not printed as if valid.
void requireRate(const BLiquidacion& liquidation) {
    if (const auto problem = liquidation.rateProblem()) {
        throw Error(err::kNoCurrentRecord, "PrepararFomulario", *problem);
    }
}

}  // namespace

std::string sFormatoImporte(const Variant& amount, NumberFormat format) {
    if (amount.isNull() || amount.isEmpty()) {
        return {};
    }
    const auto value = amount.toCurrency(format);
    return value ? formatAmount(*value, 2, true, format) : std::string();
}

std::string sSeleccionFormulario(const Context& context) {
    using Header = tables::DDJJ;
    return "{DDJJ.CUIT} = " + currentHeaderValue(context, Header::CUIT).toText() +
           " and {DDJJ.CodDJ} = " + currentHeaderValue(context, Header::CodDJ).toText();
}

NamedValue splitFormula(const std::string& formula) {
    const auto equals = formula.find('=');
    if (equals == std::string::npos) {
        return {trimmed(formula), {}};
    }
    std::string value = trimmed(std::string_view(formula).substr(equals + 1));
    if (value.size() >= 2 && value.front() == '\'' && value.back() == '\'') {
        value = value.substr(1, value.size() - 2);
    }
    return {trimmed(std::string_view(formula).substr(0, equals)), value};
}

void BPrintDDJJ::PrepararFomulario(FormulaList& formulas) {
    using Header = tables::DDJJ;
    formulas.clear();
    index_ = -1;
    const Variant cuit = currentHeaderValue(context_, Header::CUIT);
    store(formulas, index_, "Cuit = '", cuit.toText());
    store(formulas, index_, "PeriodoDesde = '", dateText(currentHeaderValue(context_, Header::fPeriodoFiscalDesde)));
    store(formulas, index_, "PeriodoHasta = '", dateText(currentHeaderValue(context_, Header::fPeriodoFiscalHasta)));
    store(formulas, index_, "Secuencia = '", currentHeaderValue(context_, Header::CODIGO_T_SECUENCIAS).toText());
    store(formulas, index_, "Version= '", currentHeaderValue(context_, Header::sVersionEXE).toText());
    store(formulas, index_, "Magic1 = '", formatNumeroMagico(CalcularNumeroMagico(context_)));
    store(formulas, index_, "Hora = '", formulaTime(currentHeaderValue(context_, Header::hora)));
    BOrel host(context_);
    store(formulas, index_, "denominacion = '", host.ObtenerDescripcionContribuyente(Cuit(cuit.toText())));
    store(formulas, index_, "Domicilio = '", host.ObtenerDomicilio(Cuit(cuit.toText())));
    BPrintF530C(context_).GetCampos(formulas, index_);
}

void BPrintF530C::GetCampos(FormulaList& formulas, int& index) {
    const NumberFormat format = context_.numberFormat();
    const auto money = [&](const char* prefix, Currency amount) {
        store(formulas, index, prefix, sFormatoImporte(Variant(amount), format));
    };
    BLiquidacion liquidation(context_);
    liquidation.CalculateLocalTotals(kPrimaryKey);
    requireRate(liquidation);
    money("ccActivoComputable = '", liquidation.g_BActivoComputable->ccActivoComputable());
    money("ccPasivoAlCierre = '", liquidation.ccPasivoAlCierre());
    money("ccCapitalAlCierre = '", liquidation.ccCapitalAlCierre());
    money("ccDeduccionesAlCierre = '", liquidation.g_BLiqDeduccionesAlCapital->ccDeduccionesAlCierre());
    money("ccCapitalCooperativo = '", liquidation.ccCapitalCooperativo());
    money("ccContribEspecial = '", liquidation.ccContribEspecial());
    BDeterminacion determination(context_);
    determination.CalculateLocalTotals(kListIndex);
    money("ccImportePagoCuenta = '", determination.g_BPagosCuenta->ccImporte());
    money("ccContribucionEspecialFavorREX = '", determination.ccSaldoRexa());
    money("ccContribucionEspecialFavorCon = '", determination.ccSaldoContrib());
}

FormulaList determinationDetail(Context& context) {
    const NumberFormat format = context.numberFormat();
    BDeterminacion determination(context);
    determination.CalculateLocalTotals(kListIndex);
    requireRate(*determination.g_BLiquidacion);
    // The rate is kept as a fraction with four places, so its percentage has two.
    const Currency percent = Currency::fromScaled(determination.g_BLiquidacion->ccAlicuota().scaled() * 100);
    return {
        formula("ccAlicuota = '", formatAmount(percent, 2, true, format) + " %"),
        formula("ccSaldoFavorPeriodoAnt = '",
                sFormatoImporte(Variant(determination.g_BSaldoFavorPeriodoAnt->ccImporte()), format)),
        formula("ccImporteAnticipos = '", sFormatoImporte(Variant(determination.g_BAnticipos->ccImporte()), format))};
}

}  // namespace kapred
