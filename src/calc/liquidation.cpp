#include "calc/liquidation.h"

#include "data/engine/recordset.h"
#include "data/values/error.h"
#include "model/sections.h"

namespace kapred {

void BLiquidacion::CalculateExternalTotals(const std::string& indexName) {
    g_BLiqDeduccionesAlCapital = std::make_unique<BLiqDeduccionesAlCapital>(context_);
    g_BActivo = std::make_unique<BActivo>(context_);
    g_BActivoComputable = std::make_unique<BActivoComputable>(context_);
    g_BActivoNoComputable = std::make_unique<BActivoNoComputable>(context_);
    g_BPasivo = std::make_unique<BPasivo>(context_);
    g_BLiqDeduccionesAlCapital->CalculateLocalTotals(indexName);
    g_BActivo->CalculateLocalTotals(indexName);
    g_BActivoComputable->CalculateLocalTotals(indexName);
    g_BActivoNoComputable->CalculateLocalTotals(indexName);
    g_BPasivo->CalculateLocalTotals(indexName);
}

Currency BLiquidacion::ccPasivoAlCierre() const {
    if (!g_BPasivo || !g_BActivo || !g_BActivoComputable || !g_BActivoNoComputable) {
        return Currency();
    }
    const Currency outside =
        g_BActivoNoComputable->ccActivoNoComputable() + g_BActivoNoComputable->g_BActivoExento->ccActivoExento();
    const Currency total = g_BActivo->ccActivo();
    // With nothing outside the computable assets, or no total to share the liabilities by (the
    // securities can bring it to zero), every liability counts against the computable assets.
    if (outside.isZero() || total.isZero()) {
        return g_BPasivo->ccPasivo();
    }
    // Computed exactly and rounded once to cents: a rounding on the way can add a cent. A share
    // too large for an amount (a total brought near zero) counts every liability, as a zero total.
    try {
        return Currency::mulDiv(g_BActivoComputable->ccActivoComputable(), g_BPasivo->ccPasivo(), total, 2);
    } catch (const Error& error) {
        if (error.number() != err::kOverflow) {
            throw;
        }
        return g_BPasivo->ccPasivo();
    }
}

std::vector<Figure> BLiquidacion::figures() const {
    if (!g_BActivoComputable || !g_BLiqDeduccionesAlCapital) {
        return {};
    }
    return {{"ccActivoComputable", g_BActivoComputable->ccActivoComputable()},
            {"ccPasivoAlCierre", ccPasivoAlCierre()},
            {"ccCapitalAlCierre", ccCapitalAlCierre_},
            {"ccDeduccionesAlCierre", g_BLiqDeduccionesAlCapital->ccDeduccionesAlCierre()},
            {"ccCapitalCooperativo", ccCapitalCooperativo_},
            {"ccAlicuota", ccAlicuota_ * Currency::fromUnits(100)},
            {"ccContribEspecial", ccContribEspecial_}};
}

bool BLiquidacion::GetAlicuotaYTope() {
    const NumberFormat format = context_.numberFormat();
    using tables::T_ALICUOTAS_Y_TOPES;
    const bool firstYear =
        currentHeaderValue(context_, tables::DDJJ::iEjercicioEconomico).toDouble(format).value_or(0) == 1;
    const std::string table(firstYear ? T_ALICUOTAS_Y_TOPES::table : T_ALICUOTAS_Y_TOPES::laterYears);
    const std::string start = fiscalYearStartText(context_);
    auto rates = context_.g_dbTablas->openRecordset("SELECT * FROM " + table +
                                                        "  WHERE FORMAT(VigenciaDesde,'YYYYMMDD') <=?"
                                                        " AND FORMAT(VigenciaHasta,'YYYYMMDD') >=?",
                                                    {start, start});
    if (rates->recordCount() == 0) {
        ccAlicuota_ = Currency();
        tope_ = Currency();
        rateProblem_ = missingRateMessage(context_, table);
        return false;
    }
    rateProblem_.reset();
    rates->moveFirst();
    const auto rate = rates->value(T_ALICUOTAS_Y_TOPES::alicuota).toCurrency();
    ccAlicuota_ = rate ? rate->roundTo(2) / Currency::fromUnits(100) : Currency();
    const auto threshold = rates->value(T_ALICUOTAS_Y_TOPES::TopeEnPesos).toCurrency();
    tope_ = threshold ? threshold->roundTo(2) : Currency();
    return true;
}

void BLiquidacion::CalculateLocalTotals(const std::string& indexName) {
    CalculateExternalTotals(indexName);
    const Currency computable = g_BActivoComputable->ccActivoComputable();
    const Currency liabilities = ccPasivoAlCierre();
    ccCapitalCooperativo_ = computable - liabilities - g_BLiqDeduccionesAlCapital->ccDeduccionesAlCierre();
    if (ccCapitalCooperativo_ < Currency()) {
        ccCapitalCooperativo_ = Currency();
    }
    ccCapitalAlCierre_ = computable - liabilities;
    GetAlicuotaYTope();
    const Currency contribution = ccCapitalCooperativo_ * ccAlicuota_;
    ccContribEspecial_ = contribution >= tope_ ? contribution : Currency();
}

std::optional<std::string> BLiquidacion::rateProblem() const {
    if (rateProblem_) {
        return rateProblem_;
    }
    if (g_BLiqDeduccionesAlCapital) {
        return g_BLiqDeduccionesAlCapital->rateProblem();
    }
    return std::nullopt;
}

std::optional<Currency> calculateLiquidationForDisplay(BLiquidacion& liquidation) {
    liquidation.CalculateLocalTotals(kPrimaryKey);
    if (liquidation.ccCapitalAlCierre() > Currency() ||
        !declarationHasRows(liquidation.g_BLiqDeduccionesAlCapital->context(),
                            std::string(tables::LiqDeduccionesAlCapital::table))) {
        return std::nullopt;
    }
    const Currency typed = liquidation.g_BLiqDeduccionesAlCapital->ccDeduccionesAlCierre();
    const bool deleted = liquidation.g_BLiqDeduccionesAlCapital->bDelete(kPrimaryKey);
    liquidation.CalculateLocalTotals(kPrimaryKey);
    return deleted ? std::optional<Currency>(typed) : std::nullopt;
}

}  // namespace kapred
