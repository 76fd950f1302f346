#pragma once

#include <memory>
#include <optional>
#include <string>

#include "calc/liquidation.h"

namespace kapred {

// What remains to pay: the contribution less the previous balance in favour, the advances and
// the payments on account, split into a balance in favour of the agency and one in favour of
// the taxpayer.
class BDeterminacion : public ComputedObject {
public:
    explicit BDeterminacion(Context& context) : ComputedObject(context) {}

    void CalculateExternalTotals(const std::string& indexName);
    void CalculateLocalTotals(const std::string& indexName);

    // The amount to pay; 0 unless the balance is positive.
    Currency ccSaldoRexa() const;
    // The balance in favour of the taxpayer as a positive amount; 0 unless it is negative.
    Currency ccSaldoContrib() const;
    std::vector<Figure> figures() const override;
    std::optional<std::string> rateProblem() const {
        return g_BLiquidacion ? g_BLiquidacion->rateProblem() : std::nullopt;
    }

    std::unique_ptr<BPagosCuenta> g_BPagosCuenta;
    std::unique_ptr<BAnticipos> g_BAnticipos;
    std::unique_ptr<BSaldoFavorPeriodoAnt> g_BSaldoFavorPeriodoAnt;
    std::unique_ptr<BLiquidacion> g_BLiquidacion;

private:
    Currency balance_;
};

}  // namespace kapred
