#include "model/assets.h"

namespace kapred {

BActivoComputable::BActivoComputable(Context& context)
    : SectionObject(context, std::make_unique<EActivoComputable>(currentDeclarationKey(context))) {}

std::vector<SectionObject::Interval> BActivoComputable::intervals() const {
    using AC = tables::ActivoComputable;
    // Securities may be negative; every other asset may not.
    auto result = amountIntervals(AC::columns);
    for (auto& interval : result) {
        if (interval.field.name == AC::cTitulosPublicos.name) {
            interval.minimum = minimumAmount();
        }
    }
    return result;
}

void BActivoComputable::CalculateLocalTotals(const std::string&) {
    using AC = tables::ActivoComputable;
    bFind();
    ccDineroEfectivo_ = amount(AC::cDineroEfectivoNac) + amount(AC::cDineroEfectivoExt);
    ccDepositos_ = amount(AC::cDepositosNac) + amount(AC::cDepositosExt);
    ccCreditos_ = amount(AC::cCreditosNac) + amount(AC::cCreditosExt);
    ccInmuebles_ = amount(AC::cInmueblesNoBienesCambio) + amount(AC::cInmueblesActForestales);
    ccBienesMueblesAmortizables_ =
        amount(AC::cBienesAdquiridos) + amount(AC::cBienesElaborados) + amount(AC::cBienesEnCurso);
    ccActivoComputable_ = ccDineroEfectivo_ + ccDepositos_ + ccCreditos_ + amount(AC::cIntereses) +
                          amount(AC::cTitulosPublicos) + amount(AC::cParticipacionesCapital) +
                          amount(AC::cBienesCambio) + ccBienesMueblesAmortizables_ + ccInmuebles_ +
                          amount(AC::cBienesInmateriales) + amount(AC::cOtrosBienes);
}

BActivoExento::BActivoExento(Context& context)
    : SectionObject(context, std::make_unique<EActivoExento>(currentDeclarationKey(context))) {}

std::vector<SectionObject::Interval> BActivoExento::intervals() const {
    return amountIntervals(tables::ActivoExento::columns);
}

void BActivoExento::CalculateLocalTotals(const std::string&) {
    using AE = tables::ActivoExento;
    bFind();
    ccActivoExento_ =
        amount(AE::cBienesTierraDelFuego) + amount(AE::cAccionesParticipaciones) + amount(AE::cCuotasSociales);
}

BActivoNoComputable::BActivoNoComputable(Context& context)
    : SectionObject(context, std::make_unique<EActivoNoComputable>(currentDeclarationKey(context))) {}

std::vector<SectionObject::Interval> BActivoNoComputable::intervals() const {
    return amountIntervals(tables::ActivoNoComputable::columns);
}

void BActivoNoComputable::CalculateExternalTotals(const std::string& indexName) {
    g_BActivoExento = std::make_unique<BActivoExento>(context_);
    g_BActivoExento->CalculateLocalTotals(indexName);
}

void BActivoNoComputable::CalculateLocalTotals(const std::string& indexName) {
    bFind();
    ccActivoNoComputable_ = amount(tables::ActivoNoComputable::cBienesExterior);
    CalculateExternalTotals(indexName);
}

void BActivo::CalculateExternalTotals(const std::string& indexName) {
    g_BActivoComputable = std::make_unique<BActivoComputable>(context_);
    g_BActivoExento = std::make_unique<BActivoExento>(context_);
    g_BActivoNoComputable = std::make_unique<BActivoNoComputable>(context_);
    g_BActivoComputable->CalculateLocalTotals(indexName);
    g_BActivoExento->CalculateLocalTotals(indexName);
    g_BActivoNoComputable->CalculateLocalTotals(indexName);
}

void BActivo::CalculateLocalTotals(const std::string& indexName) {
    CalculateExternalTotals(indexName);
    ccActivo_ = g_BActivoComputable->ccActivoComputable() +
                (g_BActivoExento->ccActivoExento() + g_BActivoNoComputable->ccActivoNoComputable());
}

std::vector<Figure> BActivoComputable::totals() const {
    return {{"ccDineroEfectivo", ccDineroEfectivo_},
            {"ccDepositos", ccDepositos_},
            {"ccCreditos", ccCreditos_},
            {"ccInmuebles", ccInmuebles_},
            {"ccBienesMueblesAmortizables", ccBienesMueblesAmortizables_},
            {"ccActivoComputable", ccActivoComputable_}};
}

std::vector<Figure> BActivoExento::totals() const {
    return {{"ccActivoExento", ccActivoExento_}};
}

std::vector<Figure> BActivoNoComputable::totals() const {
    return {{"ccActivoNoComputable", ccActivoNoComputable_},
            {"ccActivoExento", g_BActivoExento ? g_BActivoExento->ccActivoExento() : Currency()}};
}

std::vector<Figure> BActivo::figures() const {
    if (!g_BActivoComputable || !g_BActivoExento || !g_BActivoNoComputable) {
        return {};
    }
    return {{"ccActivoComputable", g_BActivoComputable->ccActivoComputable()},
            {"ccActivoNoComputable", g_BActivoNoComputable->ccActivoNoComputable() + g_BActivoExento->ccActivoExento()},
            {"ccActivo", ccActivo_}};
}

}  // namespace kapred
