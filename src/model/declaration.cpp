#include "model/declaration.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "data/engine/dialect.h"
#include "data/engine/recordset.h"
#include "data/persistence.h"
#include "data/validation.h"
#include "data/values/error.h"

namespace kapred {

namespace {

using std::chrono::days;
using std::chrono::year_month_day;

// One calendar year later, 29 February becoming 28 February, less one day: the last day of a
// regular fiscal year that starts on the given date.
DateTime endOfRegularYear(const DateTime& start) {
    const year_month_day date = start.date();
    year_month_day nextYear = date + std::chrono::years(1);
    if (!nextYear.ok()) {
        nextYear = year_month_day(nextYear.year(), nextYear.month(), std::chrono::day(28));
    }
    return DateTime{std::chrono::sys_days(nextYear) - days(1)};
}

int yearOf(const DateTime& value) {
    return static_cast<int>(value.date().year());
}

}  // namespace

BDDJJ* currentHeader(const Context& context) {
    return dynamic_cast<BDDJJ*>(context.currentDeclaration.get());
}

std::string programVersionText() {
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d%03d", KAPRED_VERSION_MAJOR % 100, KAPRED_VERSION_MINOR % 100,
                  KAPRED_VERSION_PATCH % 1000);
    return text;
}

std::string versionDisplayText(const std::string& stored) {
    if (stored.size() != 7 || !std::all_of(stored.begin(), stored.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return stored;
    }
    return std::to_string(std::stoi(stored.substr(0, 2))) + "." + std::to_string(std::stoi(stored.substr(2, 2))) + "." +
           std::to_string(std::stoi(stored.substr(4, 3)));
}

std::string declarationCodeText(const Variant& period, const Variant& sequence, NumberFormat format) {
    const auto part = [format](const Variant& value) {
        const auto number = value.toWholeNumber(format);
        if (number && std::abs(*number) < 1000000000) {
            return std::to_string(*number);
        }
        return value.toText(format);
    };
    return part(period) + part(sequence);
}

BDDJJ::BDDJJ(Context& context)
    : SectionObject(context, std::make_unique<EDDJJ>()),
      secuencias_(context.g_dbTablas->openRecordset("SELECT * FROM T_SECUENCIAS")) {
    Reset();
}

void BDDJJ::Reset() {
    Entity->Reset();
    Entity->SetFieldValue(tables::DDJJ::CUIT, commandLineCuitValue(context_));
}

bool BDDJJ::bSave() {
    g_vecErroresInconsistencia.clear();
    return SectionObject::bSave();
}

std::vector<SectionObject::Interval> BDDJJ::intervals() const {
    using tables::DDJJ;
    return {
        {DDJJ::iTipoEjercicioFiscal, std::int32_t{1}, std::int32_t{2}},
        {DDJJ::lPeriodo, std::int32_t{1986}, std::int32_t{2022}},
        {DDJJ::fPeriodoFiscalDesde, DateTime::fromDate(1985, 10, 15), DateTime::fromDate(2022, 12, 31)},
        {DDJJ::fPeriodoFiscalHasta, DateTime::fromDate(1986, 10, 15), DateTime::fromDate(2022, 12, 31)},
        {DDJJ::iEjercicioEconomico, std::int32_t{1}, std::int32_t{99}},
        {DDJJ::CODIGO_T_SECUENCIAS, std::int32_t{0}, std::int32_t{99}},
    };
}

void BDDJJ::assignEntryValues(const EntryValues& values) {
    if (!g_bEdit) {
        SectionObject::assignEntryValues(values);
        return;
    }
    for (const auto& [field, value] : values) {
        if (db::equalsIgnoreCase(field, tables::DDJJ::iTipoEjercicioFiscal)) {
            Entity->SetFieldValue(field, value);
        }
    }
}

bool BDDJJ::bValidateInterval() {
    return checkIntervals();
}

void BDDJJ::CompleteNewHeader() {
    if (g_bEdit) {
        return;
    }
    using tables::DDJJ;
    const NumberFormat format = context_.numberFormat();
    Entity->SetFieldValue(DDJJ::CodDJ,
                          Variant(declarationCodeText(Entity->vGetFieldValue(DDJJ::lPeriodo),
                                                      Entity->vGetFieldValue(DDJJ::CODIGO_T_SECUENCIAS), format)));
    Entity->SetFieldValue(DDJJ::CUIT, commandLineCuitValue(context_));
    Entity->SetFieldValue(DDJJ::hora, Variant(context_.clock()));
    Entity->SetFieldValue(DDJJ::sVersion, Variant("1"));
    Entity->SetFieldValue(DDJJ::sVersionEXE, Variant(programVersionText()));
}

bool BDDJJ::dateRulesPass() {
    using tables::DDJJ;
    const NumberFormat format = context_.numberFormat();
    const auto from = Entity->vGetFieldValue(DDJJ::fPeriodoFiscalDesde).toDate();
    const auto to = Entity->vGetFieldValue(DDJJ::fPeriodoFiscalHasta).toDate();
    const auto period = Entity->vGetFieldValue(DDJJ::lPeriodo).toWholeNumber(format);
    const auto kind = Entity->vGetFieldValue(DDJJ::iTipoEjercicioFiscal).toWholeNumber(format);
    if (!from || !to || !period || !kind) {
        return true;  // the type and interval checks have already refused such values
    }
    const int year = static_cast<int>(*period);
    bool passed = true;
    const auto fail = [&](const char* message) {
        AddInconsistencyToObject(*this, "x", message);
        passed = false;
    };
    if (to->day < from->day) {
        fail("El Período Hasta debe ser mayor al Período Desde.");
    }
    if (*kind == 1) {
        if (to->day != endOfRegularYear(*from).day) {
            fail("Por tratarse de ejercicio Regular, el Período Desde y Hasta debe comprender un año.");
        }
    } else if (yearOf(*from) != year && yearOf(*from) != year - 1) {
        fail(
            "Por tratarse de ejercicio Irregular, el Año del Período Desde debe ser igual al Período Fiscal o a "
            "Período Fiscal - 1.");
    }
    if (yearOf(*to) != year) {
        fail("El Año del Período Hasta debe ser igual al Período Fiscal (AAAA).");
    }
    return passed;
}

int BDDJJ::iValidateBusinessRules() {
    g_vecErroresInconsistencia.clear();
    CompleteNewHeader();
    if (!bValidateDataType()) {
        return kTypeError;
    }
    if (!bValidateInterval()) {
        return kRangeError;
    }
    return dateRulesPass() ? 0 : kRuleError;
}

bool BDDJJ::bDeleteDeclaration() {
    const SqlText where{" Where cuit=? AND coddj=?",
                        {Entity->vGetFieldValue(tables::DDJJ::CUIT), Entity->vGetFieldValue(tables::DDJJ::CodDJ)}};
    try {
        db::Transaction transaction(database());
        for (const auto& table : database().tableDefs()) {
            if (table.attributes == 0) {
                deleteRows(database(), table.name, where,
                           {std::string(tables::DDJJ::CUIT.name), std::string(tables::DDJJ::CodDJ.name)});
            }
        }
        transaction.commit();
    } catch (const Error&) {
        return false;
    }
    return bDelete(kPrimaryKey);
}

}  // namespace kapred
