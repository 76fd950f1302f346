#pragma once

#include <memory>
#include <optional>
#include <string>

#include "model/assets.h"
#include "model/liabilities.h"

namespace kapred {

// The special contribution of the current declaration, recomputed from its saved sections on
// every calculation: the liabilities attributable to the computable assets, the capital at
// close, the taxable cooperative capital, the rate and the contribution with its threshold.
class BLiquidacion : public ComputedObject {
public:
    explicit BLiquidacion(Context& context) : ComputedObject(context) {}

    void CalculateExternalTotals(const std::string& indexName);
    void CalculateLocalTotals(const std::string& indexName);

    Currency ccContribEspecial() const { return ccContribEspecial_; }
    Currency ccCapitalCooperativo() const { return ccCapitalCooperativo_; }
    Currency ccCapitalAlCierre() const { return ccCapitalAlCierre_; }
    // Reads the rate and threshold in force when the fiscal year starts, from the table of the
    // first economic year or of the later ones. False when no row covers that date.
    bool GetAlicuotaYTope();
    Currency ccAlicuota() const { return ccAlicuota_; }
    Currency topeEnPesos() const { return tope_; }
    Currency ccPasivoAlCierre() const;
    // The window's figures, the rate as a percentage (1,5 for 1,5 %).
    std::vector<Figure> figures() const override;

    // Why the figures that depend on a rate are not valid, when a rate table had no row for
    // the start of the fiscal year; nothing when they are.
    std::optional<std::string> rateProblem() const;

    std::unique_ptr<BLiqDeduccionesAlCapital> g_BLiqDeduccionesAlCapital;
    std::unique_ptr<BActivo> g_BActivo;
    std::unique_ptr<BActivoComputable> g_BActivoComputable;
    std::unique_ptr<BActivoNoComputable> g_BActivoNoComputable;
    std::unique_ptr<BPasivo> g_BPasivo;

private:
    Currency ccContribEspecial_;
    Currency ccCapitalCooperativo_;
    Currency ccCapitalAlCierre_;
    Currency ccAlicuota_;
    Currency tope_;
    std::optional<std::string> rateProblem_;
};

// The liquidation as its window shows it: when the capital at close is 0 or less the deductions
// have nothing to reduce, so the declaration's deductions row is deleted and the liquidation
// computed again. The total of the deductions deleted, when a row was; nothing otherwise.
std::optional<Currency> calculateLiquidationForDisplay(BLiquidacion& liquidation);

}  // namespace kapred
