#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/context.h"
#include "data/business_object.h"
#include "data/engine/database.h"

namespace kapred {

// Index names passed to the totals and the deletes: the row of the current declaration, or
// every row of it (for the header, every declaration of the taxpayer).
inline constexpr const char* kPrimaryKey = "PK";
inline constexpr const char* kListIndex = "IDX_LIST";

// The largest amount a field accepts, and its negative.
Variant maximumAmount();
Variant minimumAmount();

// The contract every section object offers, in its slot order. Validation never raises: what
// fails is recorded in the inconsistency list and told by the code iValidateBusinessRules
// returns (0 valid, 1 data type, 2 interval, 4 business rule).
class SectionObject : public BusinessObject {
public:
    SectionObject(Context& context, std::unique_ptr<EntityBase> entity);

    virtual bool bConsistir() { return false; }
    virtual void CalculateExternalTotals(const std::string& /*indexName*/) {}
    virtual void CalculateLocalTotals(const std::string& /*indexName*/) {}
    virtual bool isEnabled() { return true; }
    virtual bool bSave();
    virtual int iValidateBusinessRules();
    virtual bool bValidateInterval();
    virtual bool bValidateDataType();
    virtual bool bFind();
    virtual void EDIT() { g_bEdit = true; }
    virtual bool bDelete(const std::string& indexName);
    virtual void AddNew();

    struct Interval {
        std::string field;
        Variant minimum;
        Variant maximum;
    };

protected:
    // The field intervals, both ends included, in field order.
    virtual std::vector<Interval> intervals() const { return {}; }
    // The section's own rules; a failure is recorded under the key "x" and gives false.
    virtual bool businessRulesPass() { return true; }
    // Runs each interval through the single-field check; all run even after a failure.
    bool checkIntervals();

    // The amount of a field of the entity (0 for anything that is not one).
    Currency amount(const std::string& field) const;

    Context& context_;
    db::Database& database() const { return *context_.g_dbAplicativo; }
};

// The objects that only add up other sections (the asset summary, the liquidation, the
// determination): the same contract, with no row of their own to find or reset.
class ComputedObject : public ModelObject {
public:
    explicit ComputedObject(Context& context) : context_(context) {}
    bool bConsistir() { return false; }
    bool isEnabled() { return true; }
    bool bFind() { return false; }
    void Reset() {}

protected:
    Context& context_;
};

// A value of the current declaration's header (Empty when there is none).
Variant currentHeaderValue(const Context& context, const std::string& field);
// The command line's CUIT as the tables keep it, a number (0 when there is none).
Variant commandLineCuitValue(const Context& context);
// The key source that makes section entities follow the current declaration.
DeclarationKeySource currentDeclarationKey(Context& context);

}  // namespace kapred
