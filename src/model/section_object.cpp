#include "model/section_object.h"

#include "data/persistence.h"
#include "data/validation.h"
#include "model/declaration.h"

namespace kapred {

// 99.999.999.999,99 in ten-thousandths: the two last places are zero, or amounts up to
// 99.999.999.999,9999 would pass and the messages would show that bound.
Variant maximumAmount() {
    return Currency::fromScaled(999999999999900);
}
Variant minimumAmount() {
    return Currency::fromScaled(-999999999999900);
}

Variant currentHeaderValue(const Context& context, std::string_view field) {
    if (!context.currentDeclaration) {
        return {};
    }
    return context.currentDeclaration->Entity->vGetFieldValue(field);
}

Variant commandLineCuitValue(const Context& context) {
    return Variant(parseDouble(context.cuit()).value_or(0.0));
}

DeclarationKeySource currentDeclarationKey(Context& context) {
    return [&context] {
        if (!context.currentDeclaration) {
            return std::make_pair(Variant(std::int16_t{0}), Variant(std::int16_t{0}));
        }
        const auto& header = *context.currentDeclaration->Entity;
        return std::make_pair(header.vGetFieldValue(tables::DDJJ::CUIT), header.vGetFieldValue(tables::DDJJ::CodDJ));
    };
}

SectionObject::SectionObject(Context& context, std::unique_ptr<EntityBase> entity)
    : BusinessObject(std::move(entity)), context_(context) {}

bool SectionObject::bSave() {
    return bGenericSave(database(), *this, context_.numberFormat());
}

bool SectionObject::bFind() {
    return bGenericFind(database(), *this, context_.numberFormat());
}

bool SectionObject::bDelete(const std::string& indexName) {
    return bGenericDelete(database(), *this, indexName, context_.numberFormat());
}

void SectionObject::AddNew() {
    Reset();
    g_bEdit = false;
}

bool SectionObject::bValidateDataType() {
    return bValidateDataTypeGeneric(*this, database(), context_.numberFormat());
}

bool SectionObject::bValidateInterval() {
    // The column check records what it finds, but only the section's own intervals decide.
    bValidateIntervalGeneric(*this, database(), context_.numberFormat());
    return checkIntervals();
}

bool SectionObject::checkIntervals() {
    bool passed = true;
    for (const auto& interval : intervals()) {
        passed = kapred::bValidateInterval(*this, database(), std::string(interval.field.name), interval.minimum,
                                           interval.maximum, context_.numberFormat()) &&
                 passed;
    }
    return passed;
}

std::vector<SectionObject::Interval> SectionObject::amountIntervals(std::span<const tables::Column> columns) {
    std::vector<Interval> result;
    for (const auto& column : columns) {
        if (column.type == db::DataType::Currency) {
            result.push_back({column, Currency(), maximumAmount()});
        }
    }
    return result;
}

int SectionObject::iValidateBusinessRules() {
    g_vecErroresInconsistencia.clear();
    if (!bValidateDataType()) {
        return kTypeError;
    }
    if (!bValidateInterval()) {
        return kRangeError;
    }
    if (!businessRulesPass()) {
        return kRuleError;
    }
    return 0;
}

void SectionObject::assignEntryValues(const EntryValues& values) {
    for (const auto& [field, value] : values) {
        Entity->SetFieldValue(field, value);
    }
}

int SectionObject::Aceptar(EntryMode mode, const EntryValues& values) {
    if (mode == EntryMode::Adding) {
        AddNew();
    }
    assignEntryValues(values);
    const int code = iValidateBusinessRules();
    if (code != 0) {
        return code;
    }
    if (!bSave()) {
        if (g_vecErroresInconsistencia.isNull()) {
            AddInconsistencyToObject(*this, "", std::string(kSaveFailed) + ".");
        }
        return kRuleError;
    }
    return 0;
}

Currency SectionObject::amount(std::string_view field) const {
    return Entity->vGetFieldValue(field).toCurrency(context_.numberFormat()).value_or(Currency());
}

}  // namespace kapred
