#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/context.h"
#include "data/business_object.h"
#include "data/engine/database.h"
#include "model/tables/tables.h"

namespace kapred {

// Index names passed to the totals and the deletes: the row of the current declaration, or
// every row of it (for the header, every declaration of the taxpayer).
inline constexpr const char* kPrimaryKey = "PK";
inline constexpr const char* kListIndex = "IDX_LIST";

// The largest amount a field accepts, and its negative.
Variant maximumAmount();
Variant minimumAmount();

// A figure a window shows: the getter that gives it and its amount.
struct Figure {
    std::string name;  // "ccPasivo"
    Currency amount;
};

// A value typed into an entry window, by the field it goes into.
struct EntryValue {
    std::string field;
    Variant value;
};
using EntryValues = std::vector<EntryValue>;

// Whether Aceptar adds a row or saves the changes of the row being modified.
enum class EntryMode { Adding, Modifying };

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

    // The totals the section's window shows, in its order, as the last CalculateLocalTotals
    // left them.
    virtual std::vector<Figure> totals() const { return {}; }

    // Aceptar of the entry window: a fresh row first when adding, then the typed values into
    // the entity, the validation and the save. Gives the validation's code, or kRuleError for a
    // save the database refused; the inconsistency list holds the reasons either way.
    int Aceptar(EntryMode mode, const EntryValues& values);

    Context& context() const { return context_; }

    struct Interval {
        tables::Column field;
        Variant minimum;
        Variant maximum;
    };

protected:
    // The field intervals, both ends included, in field order.
    virtual std::vector<Interval> intervals() const { return {}; }
    // Zero to the largest amount for each amount column of a table, in the table's order.
    static std::vector<Interval> amountIntervals(std::span<const tables::Column> columns);
    // The section's own rules; a failure is recorded under the key "x" and gives false.
    virtual bool businessRulesPass() { return true; }
    // Puts the typed values into the entity; a section whose inputs depend on each other
    // completes what the window would have set by itself.
    virtual void assignEntryValues(const EntryValues& values);
    // Runs each interval through the single-field check; all run even after a failure.
    bool checkIntervals();

    // The amount of a field of the entity (0 for anything that is not one).
    Currency amount(std::string_view field) const;

    Context& context_;
    db::Database& database() const { return *context_.g_dbAplicativo; }
};

// The objects that only add up other sections (the asset summary, the liquidation, the
// determination): the same contract, with no row of their own to find or reset.
class ComputedObject : public ModelObject {
public:
    explicit ComputedObject(Context& context) : context_(context) {}
    // The figures the object's window shows, in its order, as the last calculation left them.
    virtual std::vector<Figure> figures() const = 0;
    bool bConsistir() { return false; }
    bool isEnabled() { return true; }
    bool bFind() { return false; }
    void Reset() {}

protected:
    Context& context_;
};

// A value of the current declaration's header (Empty when there is none).
Variant currentHeaderValue(const Context& context, std::string_view field);
// The command line's CUIT as the tables keep it, a number (0 when there is none).
Variant commandLineCuitValue(const Context& context);
// The key source that makes section entities follow the current declaration.
DeclarationKeySource currentDeclarationKey(Context& context);

}  // namespace kapred
