#include "model/liabilities.h"

#include <algorithm>

#include "data/captions.h"
#include "data/engine/dialect.h"
#include "data/engine/recordset.h"
#include "data/persistence.h"
#include "data/validation.h"
#include "model/declaration.h"

namespace kapred {

namespace {

using std::chrono::months;
using std::chrono::year_month_day;

std::optional<DateTime> headerDate(const Context& context, const char* field) {
    return currentHeaderValue(context, field).toDate();
}

// An insurance kind the cooperative may be, and the amount that only that kind carries.
struct InsuranceAmount {
    const char* flag;
    const char* amount;
};
constexpr InsuranceAmount kInsuranceAmounts[] = {
    {"iCooperativaSegurosCapitalizacion", "cReservasTecnicas"},
    {"iCooperativaAseguradoresVida", "cFondosBeneficioSeguroVida"},
};

bool given(const EntryValues& values, const char* field) {
    return std::any_of(values.begin(), values.end(),
                       [field](const EntryValue& value) { return db::equalsIgnoreCase(value.field, field); });
}

}  // namespace

std::string fiscalYearStartText(const Context& context) {
    const auto start = headerDate(context, "fPeriodoFiscalDesde");
    if (!start) {
        return {};
    }
    const std::string iso = toIso(*start);
    return iso.substr(0, 4) + iso.substr(5, 2) + iso.substr(8, 2);
}

std::string missingRateMessage(const Context& context, const std::string& table) {
    const auto start = headerDate(context, "fPeriodoFiscalDesde");
    return "No hay una alícuota vigente en la tabla " + table + " para el ejercicio que comienza el " +
           (start ? formatDate(*start) : std::string("(sin fecha)")) +
           ": los importes que dependen de ella no son válidos.";
}

BPasivo::BPasivo(Context& context)
    : SectionObject(context, std::make_unique<EPasivo>(currentDeclarationKey(context))) {}

std::vector<SectionObject::Interval> BPasivo::intervals() const {
    std::vector<Interval> result{{"iCooperativaSegurosCapitalizacion", std::int32_t{0}, std::int32_t{1}},
                                 {"iCooperativaAseguradoresVida", std::int32_t{0}, std::int32_t{1}}};
    for (const char* field :
         {"cDeudas", "cProvisiones", "cReservasTecnicas", "cFondosBeneficioSeguroVida", "cBeneficios"}) {
        result.push_back({field, Currency(), maximumAmount()});
    }
    return result;
}

bool BPasivo::isInsuranceKind(const char* flag) const {
    return Entity->vGetFieldValue(flag).toWholeNumber(context_.numberFormat()) != 0;
}

void BPasivo::assignEntryValues(const EntryValues& values) {
    SectionObject::assignEntryValues(values);
    // Answering NO empties the kind's amount, as the window does when NO is chosen; an amount
    // typed together with the NO is left for the rule below to refuse.
    for (const auto& [flag, amountField] : kInsuranceAmounts) {
        if (!isInsuranceKind(flag) && !given(values, amountField)) {
            Entity->SetFieldValue(amountField, Variant("0"));
        }
    }
}

bool BPasivo::businessRulesPass() {
    bool passed = true;
    for (const auto& [flag, amountField] : kInsuranceAmounts) {
        if (!isInsuranceKind(flag) && !amount(amountField).isZero()) {
            AddInconsistencyToObject(*this, "x",
                                     "El importe de \"" + fieldLabel("Pasivo", amountField).value_or(amountField) +
                                         "\" solo puede cargarse cuando \"" +
                                         fieldLabel("Pasivo", flag).value_or(flag) + "\" es SI.");
            passed = false;
        }
    }
    return passed;
}

std::vector<Figure> BPasivo::totals() const {
    return {{"ccPasivo", ccPasivo_}};
}

void BPasivo::CalculateLocalTotals(const std::string&) {
    bFind();
    ccPasivo_ = amount("cDeudas") + amount("cProvisiones") + amount("cReservasTecnicas") +
                amount("cFondosBeneficioSeguroVida") + amount("cBeneficios");
}

BListSection::BListSection(Context& context, std::unique_ptr<EntityBase> entity)
    : SectionObject(context, std::move(entity)) {
    nextId_ = lGetNextId(database(), *Entity, kListIndex, "ID", context_.numberFormat());
}

std::vector<SectionObject::Interval> BListSection::intervals() const {
    const std::uint64_t header = context_.currentDeclaration ? context_.currentDeclaration->Entity->revision() : 0;
    if (!limit_ || limit_->first != header) {
        limit_.emplace(header, limitDate());
    }
    return {{"fFecha", DateTime::fromDate(1800, 1, 1), limit_->second}, {"cImporte", Currency(), maximumAmount()}};
}

bool BListSection::bSave() {
    if (g_bEdit) {
        return SectionObject::bSave();
    }
    Entity->SetFieldValue("ID", Variant(static_cast<std::int32_t>(nextId_)));
    if (!SectionObject::bSave()) {
        return false;
    }
    ++nextId_;
    return true;
}

void BListSection::CalculateLocalTotals(const std::string& indexName) {
    auto sums = OpenSumRecordset(database(), indexName, *this, context_.numberFormat());
    const auto total = sums->Fields().value("cImporte1").toCurrency();
    ccImporte_ = total ? total->roundTo(2) : Currency();
}

BAnticipos::BAnticipos(Context& context)
    : BListSection(context, std::make_unique<EAnticipos>(currentDeclarationKey(context))) {}

DateTime BAnticipos::limitDate() const {
    // Six months after the end of the year, back to the first of that month, less one day.
    const auto end = headerDate(context_, "fPeriodoFiscalHasta");
    if (!end) {
        return DateTime::fromDate(1800, 1, 1);
    }
    const year_month_day later = end->date() + months(6);
    const year_month_day first{later.year(), later.month(), std::chrono::day(1)};
    return DateTime{std::chrono::sys_days(first) - std::chrono::days(1)};
}

BPagosCuenta::BPagosCuenta(Context& context)
    : BListSection(context, std::make_unique<EPagosCuenta>(currentDeclarationKey(context))) {}

DateTime BPagosCuenta::limitDate() const {
    return headerDate(context_, "fPeriodoFiscalHasta").value_or(DateTime::fromDate(1800, 1, 1));
}

BSaldoFavorPeriodoAnt::BSaldoFavorPeriodoAnt(Context& context)
    : SectionObject(context, std::make_unique<ESaldoFavorPeriodoAnt>(currentDeclarationKey(context))) {}

std::vector<SectionObject::Interval> BSaldoFavorPeriodoAnt::intervals() const {
    const auto period = currentHeaderValue(context_, "lPeriodo").toDouble(context_.numberFormat()).value_or(0);
    return {{"lPeriodo", std::int32_t{0}, static_cast<std::int32_t>(period)},
            {"cImporte", Currency(), maximumAmount()}};
}

bool BSaldoFavorPeriodoAnt::businessRulesPass() {
    const NumberFormat format = context_.numberFormat();
    const auto period = Entity->vGetFieldValue("lPeriodo").toDouble(format).value_or(0);
    const auto declared = currentHeaderValue(context_, "lPeriodo").toDouble(format).value_or(0);
    if (static_cast<long>(period) >= static_cast<long>(declared)) {
        AddInconsistencyToObject(*this, "x", "El Período debe ser menor al Período Fiscal de la Declaración Jurada.");
        return false;
    }
    return true;
}

void BSaldoFavorPeriodoAnt::CalculateExternalTotals(const std::string& indexName) {
    g_BAnticipos = std::make_unique<BAnticipos>(context_);
    g_BPagosCuenta = std::make_unique<BPagosCuenta>(context_);
    g_BAnticipos->CalculateLocalTotals(indexName);
    g_BPagosCuenta->CalculateLocalTotals(indexName);
}

void BSaldoFavorPeriodoAnt::CalculateLocalTotals(const std::string&) {
    bFind();
    ccImporte_ = amount("cImporte");
}

BLiqDeduccionesAlCapital::BLiqDeduccionesAlCapital(Context& context)
    : SectionObject(context, std::make_unique<ELiqDeduccionesAlCapital>(currentDeclarationKey(context))) {}

std::vector<SectionObject::Interval> BLiqDeduccionesAlCapital::intervals() const {
    std::vector<Interval> result;
    for (const char* field :
         {"cReembolsoGastos", "cGratificacioneAlPersonal", "cRetornoExcedente", "cTotalRetribucionesLey23427"}) {
        result.push_back({field, Currency(), maximumAmount()});
    }
    return result;
}

Currency BLiqDeduccionesAlCapital::cGetAlicuota() {
    const std::string start = fiscalYearStartText(context_);
    auto rates = context_.g_dbTablas->openRecordset("SELECT   alicuota FROM T_DEDUC_DISCAPACITADO  " +
                                                    std::string(" WHERE FORMAT(VigenciaDesde,'YYYYMMDD') <='") + start +
                                                    "'" + " AND FORMAT(VigenciaHasta,'YYYYMMDD') >='" + start + "'");
    if (rates->recordCount() == 0) {
        rateProblem_ = missingRateMessage(context_, "T_DEDUC_DISCAPACITADO");
        return Currency();
    }
    rateProblem_.reset();
    rates->moveFirst();
    const auto rate = rates->value("alicuota").toCurrency();
    return rate ? rate->roundTo(2) / Currency::fromUnits(100) : Currency();
}

void BLiqDeduccionesAlCapital::CalculateLocalTotals(const std::string&) {
    bFind();
    ccDeduccionesAlCierre_ =
        amount("cReembolsoGastos") + amount("cGratificacioneAlPersonal") + amount("cRetornoExcedente");
    ccDeduccionPorRetribucion_ = amount("cTotalRetribucionesLey23427") * cGetAlicuota();
    ccDeduccionesAlCierre_ += ccDeduccionPorRetribucion_;
    // Without pay to disabled staff no figure depends on that rate.
    if (amount("cTotalRetribucionesLey23427").isZero()) {
        rateProblem_.reset();
    }
}

}  // namespace kapred
