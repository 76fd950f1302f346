#include "model/assets.h"

namespace kapred {

namespace {

std::vector<SectionObject::Interval> amountIntervals(std::initializer_list<const char*> fields) {
    std::vector<SectionObject::Interval> result;
    for (const char* field : fields) {
        result.push_back({field, Currency(), maximumAmount()});
    }
    return result;
}

}  // namespace

BActivoComputable::BActivoComputable(Context& context)
    : SectionObject(context, std::make_unique<EActivoComputable>(currentDeclarationKey(context))) {}

std::vector<SectionObject::Interval> BActivoComputable::intervals() const {
    // Securities may be negative; every other asset may not.
    auto result =
        amountIntervals({"cDineroEfectivoNac", "cDineroEfectivoExt", "cDepositosNac", "cDepositosExt", "cCreditosNac",
                         "cCreditosExt", "cIntereses", "cTitulosPublicos", "cParticipacionesCapital", "cBienesCambio",
                         "cBienesAdquiridos", "cBienesElaborados", "cBienesEnCurso", "cInmueblesNoBienesCambio",
                         "cInmueblesActForestales", "cBienesInmateriales", "cOtrosBienes"});
    result[7].minimum = minimumAmount();
    return result;
}

void BActivoComputable::CalculateLocalTotals(const std::string&) {
    bFind();
    ccDineroEfectivo_ = amount("cDineroEfectivoNac") + amount("cDineroEfectivoExt");
    ccDepositos_ = amount("cDepositosNac") + amount("cDepositosExt");
    ccCreditos_ = amount("cCreditosNac") + amount("cCreditosExt");
    ccInmuebles_ = amount("cInmueblesNoBienesCambio") + amount("cInmueblesActForestales");
    ccBienesMueblesAmortizables_ = amount("cBienesAdquiridos") + amount("cBienesElaborados") + amount("cBienesEnCurso");
    ccActivoComputable_ = ccDineroEfectivo_ + ccDepositos_ + ccCreditos_ + amount("cIntereses") +
                          amount("cTitulosPublicos") + amount("cParticipacionesCapital") + amount("cBienesCambio") +
                          ccBienesMueblesAmortizables_ + ccInmuebles_ + amount("cBienesInmateriales") +
                          amount("cOtrosBienes");
}

BActivoExento::BActivoExento(Context& context)
    : SectionObject(context, std::make_unique<EActivoExento>(currentDeclarationKey(context))) {}

std::vector<SectionObject::Interval> BActivoExento::intervals() const {
    return amountIntervals({"cBienesTierraDelFuego", "cAccionesParticipaciones", "cCuotasSociales"});
}

void BActivoExento::CalculateLocalTotals(const std::string&) {
    bFind();
    ccActivoExento_ = amount("cBienesTierraDelFuego") + amount("cAccionesParticipaciones") + amount("cCuotasSociales");
}

BActivoNoComputable::BActivoNoComputable(Context& context)
    : SectionObject(context, std::make_unique<EActivoNoComputable>(currentDeclarationKey(context))) {}

std::vector<SectionObject::Interval> BActivoNoComputable::intervals() const {
    return amountIntervals({"cBienesExterior"});
}

void BActivoNoComputable::CalculateExternalTotals(const std::string& indexName) {
    g_BActivoExento = std::make_unique<BActivoExento>(context_);
    g_BActivoExento->CalculateLocalTotals(indexName);
}

void BActivoNoComputable::CalculateLocalTotals(const std::string& indexName) {
    bFind();
    ccActivoNoComputable_ = amount("cBienesExterior");
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
