#include "model/liabilities.h"

#include <algorithm>
#include <iterator>

#include "data/engine/dialect.h"
#include "data/engine/recordset.h"
#include "data/persistence.h"
#include "data/validation.h"
#include "model/declaration.h"
#include "model/tables/captions.h"

namespace kapred {

namespace {

using std::chrono::months;
using std::chrono::year_month_day;

std::optional<DateTime> headerDate(const Context& context, std::string_view field) {
    return currentHeaderValue(context, field).toDate();
}

bool given(const EntryValues& values, std::string_view field) {
    return std::any_of(values.begin(), values.end(),
                       [field](const EntryValue& value) { return db::equalsIgnoreCase(value.field, field); });
}

}  // namespace

std::string fiscalYearStartText(const Context& context) {
    const auto start = headerDate(context, tables::DDJJ::fPeriodoFiscalDesde);
    if (!start) {
        return {};
    }
    const std::string iso = toIso(*start);
    return iso.substr(0, 4) + iso.substr(5, 2) + iso.substr(8, 2);
}

std::string missingRateMessage(const Context& context, std::string_view table) {
    const auto start = headerDate(context, tables::DDJJ::fPeriodoFiscalDesde);
    return "No hay una alícuota vigente en la tabla " + std::string(table) + " para el ejercicio que comienza el " +
           (start ? formatDate(*start) : std::string("(sin fecha)")) +
           ": los importes que dependen de ella no son válidos.";
}

BPasivo::BPasivo(Context& context)
    : SectionObject(context, std::make_unique<EPasivo>(currentDeclarationKey(context))) {}

std::vector<SectionObject::Interval> BPasivo::intervals() const {
    // The yes/no answers first, then the amounts.
    std::vector<Interval> result;
    for (const auto& [flag, amountField] : tables::Pasivo::insuranceAmounts) {
        result.push_back({flag, std::int32_t{0}, std::int32_t{1}});
    }
    std::ranges::move(amountIntervals(tables::Pasivo::columns), std::back_inserter(result));
    return result;
}

bool BPasivo::isInsuranceKind(std::string_view flag) const {
    return Entity->vGetFieldValue(flag).toWholeNumber(context_.numberFormat()) != 0;
}

void BPasivo::assignEntryValues(const EntryValues& values) {
    SectionObject::assignEntryValues(values);
    // Answering NO empties the kind's amount, as the window does when NO is chosen; an amount
    // typed together with the NO is left for the rule below to refuse.
    for (const auto& [flag, amountField] : tables::Pasivo::insuranceAmounts) {
        if (!isInsuranceKind(flag) && !given(values, amountField)) {
            Entity->SetFieldValue(amountField, Variant("0"));
        }
    }
}

bool BPasivo::businessRulesPass() {
    using tables::Pasivo;
    const auto label = [](const tables::Column& field) {
        return fieldLabel(Pasivo::table, field).value_or(std::string(field.name));
    };
    bool passed = true;
    for (const auto& [flag, amountField] : Pasivo::insuranceAmounts) {
        if (!isInsuranceKind(flag) && !amount(amountField).isZero()) {
            AddInconsistencyToObject(*this, "x",
                                     "El importe de \"" + label(amountField) + "\" solo puede cargarse cuando \"" +
                                         label(flag) + "\" es SI.");
            passed = false;
        }
    }
    return passed;
}

std::vector<Figure> BPasivo::totals() const {
    return {{"ccPasivo", ccPasivo_}};
}

void BPasivo::CalculateLocalTotals(const std::string&) {
    using tables::Pasivo;
    bFind();
    ccPasivo_ = amount(Pasivo::cDeudas) + amount(Pasivo::cProvisiones) + amount(Pasivo::cReservasTecnicas) +
                amount(Pasivo::cFondosBeneficioSeguroVida) + amount(Pasivo::cBeneficios);
}

BListSection::BListSection(Context& context, std::unique_ptr<EntityBase> entity)
    : SectionObject(context, std::move(entity)) {
    nextId_ =
        lGetNextId(database(), *Entity, kListIndex, std::string(tables::ListSection::ID.name), context_.numberFormat());
}

std::vector<SectionObject::Interval> BListSection::intervals() const {
    const std::uint64_t header = context_.currentDeclaration ? context_.currentDeclaration->Entity->revision() : 0;
    if (!limit_ || limit_->first != header) {
        limit_.emplace(header, limitDate());
    }
    using tables::ListSection;
    return {{ListSection::fFecha, DateTime::fromDate(1800, 1, 1), limit_->second},
            {ListSection::cImporte, Currency(), maximumAmount()}};
}

bool BListSection::bSave() {
    if (g_bEdit) {
        return SectionObject::bSave();
    }
    Entity->SetFieldValue(tables::ListSection::ID, Variant(static_cast<std::int32_t>(nextId_)));
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
    const auto end = headerDate(context_, tables::DDJJ::fPeriodoFiscalHasta);
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
    return headerDate(context_, tables::DDJJ::fPeriodoFiscalHasta).value_or(DateTime::fromDate(1800, 1, 1));
}

BSaldoFavorPeriodoAnt::BSaldoFavorPeriodoAnt(Context& context)
    : SectionObject(context, std::make_unique<ESaldoFavorPeriodoAnt>(currentDeclarationKey(context))) {}

std::vector<SectionObject::Interval> BSaldoFavorPeriodoAnt::intervals() const {
    using tables::SaldoFavorPeriodoAnt;
    const auto period =
        currentHeaderValue(context_, tables::DDJJ::lPeriodo).toDouble(context_.numberFormat()).value_or(0);
    return {{SaldoFavorPeriodoAnt::lPeriodo, std::int32_t{0}, static_cast<std::int32_t>(period)},
            {SaldoFavorPeriodoAnt::cImporte, Currency(), maximumAmount()}};
}

bool BSaldoFavorPeriodoAnt::businessRulesPass() {
    const NumberFormat format = context_.numberFormat();
    const auto period = Entity->vGetFieldValue(tables::SaldoFavorPeriodoAnt::lPeriodo).toDouble(format).value_or(0);
    const auto declared = currentHeaderValue(context_, tables::DDJJ::lPeriodo).toDouble(format).value_or(0);
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
    ccImporte_ = amount(tables::SaldoFavorPeriodoAnt::cImporte);
}

BLiqDeduccionesAlCapital::BLiqDeduccionesAlCapital(Context& context)
    : SectionObject(context, std::make_unique<ELiqDeduccionesAlCapital>(currentDeclarationKey(context))) {}

std::vector<SectionObject::Interval> BLiqDeduccionesAlCapital::intervals() const {
    return amountIntervals(tables::LiqDeduccionesAlCapital::columns);
}

Currency BLiqDeduccionesAlCapital::cGetAlicuota() {
    const std::string start = fiscalYearStartText(context_);
    auto rates = context_.g_dbTablas->openRecordset(
        "SELECT   alicuota FROM T_DEDUC_DISCAPACITADO   WHERE FORMAT(VigenciaDesde,'YYYYMMDD') <=?"
        " AND FORMAT(VigenciaHasta,'YYYYMMDD') >=?",
        {start, start});
    if (rates->recordCount() == 0) {
        rateProblem_ = missingRateMessage(context_, tables::T_DEDUC_DISCAPACITADO::table);
        return Currency();
    }
    rateProblem_.reset();
    rates->moveFirst();
    const auto rate = rates->value(tables::T_DEDUC_DISCAPACITADO::alicuota).toCurrency();
    return rate ? rate->roundTo(2) / Currency::fromUnits(100) : Currency();
}

void BLiqDeduccionesAlCapital::CalculateLocalTotals(const std::string&) {
    using LDC = tables::LiqDeduccionesAlCapital;
    bFind();
    ccDeduccionesAlCierre_ =
        amount(LDC::cReembolsoGastos) + amount(LDC::cGratificacioneAlPersonal) + amount(LDC::cRetornoExcedente);
    ccDeduccionPorRetribucion_ = amount(LDC::cTotalRetribucionesLey23427) * cGetAlicuota();
    ccDeduccionesAlCierre_ += ccDeduccionPorRetribucion_;
    // Without pay to disabled staff no figure depends on that rate.
    if (amount(LDC::cTotalRetribucionesLey23427).isZero()) {
        rateProblem_.reset();
    }
}

}  // namespace kapred
