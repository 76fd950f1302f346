#include "calc/determination.h"

namespace kapred {

void BDeterminacion::CalculateExternalTotals(const std::string& indexName) {
    g_BPagosCuenta = std::make_unique<BPagosCuenta>(context_);
    g_BAnticipos = std::make_unique<BAnticipos>(context_);
    g_BSaldoFavorPeriodoAnt = std::make_unique<BSaldoFavorPeriodoAnt>(context_);
    g_BLiquidacion = std::make_unique<BLiquidacion>(context_);
    g_BPagosCuenta->CalculateLocalTotals(indexName);
    g_BAnticipos->CalculateLocalTotals(indexName);
    g_BSaldoFavorPeriodoAnt->CalculateLocalTotals(indexName);
    g_BLiquidacion->CalculateLocalTotals(indexName);
}

void BDeterminacion::CalculateLocalTotals(const std::string& indexName) {
    CalculateExternalTotals(indexName);
    const Currency credits =
        g_BSaldoFavorPeriodoAnt->ccImporte() + g_BAnticipos->ccImporte() + g_BPagosCuenta->ccImporte();
    balance_ = g_BLiquidacion->ccContribEspecial() - credits;
}

Currency BDeterminacion::ccSaldoRexa() const {
    return balance_ > Currency() ? balance_ : Currency();
}

Currency BDeterminacion::ccSaldoContrib() const {
    return balance_ < Currency() ? -balance_ : Currency();
}

std::vector<Figure> BDeterminacion::figures() const {
    if (!g_BSaldoFavorPeriodoAnt || !g_BPagosCuenta || !g_BAnticipos || !g_BLiquidacion) {
        return {};
    }
    return {{"ccSaldoFavorPeriodoAnt", g_BSaldoFavorPeriodoAnt->ccImporte()},
            {"ccPagosCuenta", g_BPagosCuenta->ccImporte()},
            {"ccAnticipos", g_BAnticipos->ccImporte()},
            {"ccContribEspecial", g_BLiquidacion->ccContribEspecial()},
            {"ccSaldoRexa", ccSaldoRexa()},
            {"ccSaldoContrib", ccSaldoContrib()}};
}

}  // namespace kapred
