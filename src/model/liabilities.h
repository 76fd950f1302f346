#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "model/section_object.h"

namespace kapred {

// Liabilities: two insurance flags and five amounts.
class BPasivo : public SectionObject {
public:
    explicit BPasivo(Context& context);
    void CalculateLocalTotals(const std::string& indexName) override;
    Currency ccPasivo() const { return ccPasivo_; }
    std::vector<Figure> totals() const override;

protected:
    std::vector<Interval> intervals() const override;
    // The technical reserves and the life-insurance benefit funds are carried only by a
    // cooperative of the insurance kind they belong to (its flag at 1, SI).
    bool businessRulesPass() override;
    void assignEntryValues(const EntryValues& values) override;

private:
    bool isInsuranceKind(std::string_view flag) const;
    Currency ccPasivo_;
};

// The rows of a list section (advances, payments on account), numbered 1, 2, 3... within the
// declaration. The next number is taken when the object is created and advances with every
// row it saves, so numbers of deleted rows are never given again by the same object.
class BListSection : public SectionObject {
public:
    bool bSave() override;
    // Sum of the amounts of the rows that match the entity on the index, to two decimals.
    void CalculateLocalTotals(const std::string& indexName) override;
    Currency ccImporte() const { return ccImporte_; }
    std::vector<Figure> totals() const override { return {{"ccImporte", ccImporte_}}; }
    long nextId() const { return nextId_; }

protected:
    BListSection(Context& context, std::unique_ptr<EntityBase> entity);
    std::vector<Interval> intervals() const override;
    // The last date a row of the list may carry.
    virtual DateTime limitDate() const = 0;

private:
    long nextId_ = 1;
    Currency ccImporte_;
    // The limit date with the revision of the declaration's header it was worked out from: rows
    // are checked far more often than the header changes.
    mutable std::optional<std::pair<std::uint64_t, DateTime>> limit_;
};

// Advances: dated up to the last day of the fifth month after the fiscal year ends.
class BAnticipos : public BListSection {
public:
    explicit BAnticipos(Context& context);
    DateTime limitDate() const override;
};

// Payments on account: dated up to the end of the fiscal year.
class BPagosCuenta : public BListSection {
public:
    explicit BPagosCuenta(Context& context);
    DateTime limitDate() const override;
};

// The balance in favour from a previous period, which must be an earlier period.
class BSaldoFavorPeriodoAnt : public SectionObject {
public:
    explicit BSaldoFavorPeriodoAnt(Context& context);
    void CalculateExternalTotals(const std::string& indexName) override;
    void CalculateLocalTotals(const std::string& indexName) override;
    Currency ccImporte() const { return ccImporte_; }
    std::vector<Figure> totals() const override { return {{"ccImporte", ccImporte_}}; }

    std::unique_ptr<BAnticipos> g_BAnticipos;
    std::unique_ptr<BPagosCuenta> g_BPagosCuenta;

protected:
    std::vector<Interval> intervals() const override;
    bool businessRulesPass() override;

private:
    Currency ccImporte_;
};

// Deductions from capital, among them a share of the pay to disabled staff at the rate in
// force when the fiscal year starts.
class BLiqDeduccionesAlCapital : public SectionObject {
public:
    explicit BLiqDeduccionesAlCapital(Context& context);
    void CalculateLocalTotals(const std::string& indexName) override;
    Currency ccDeduccionesAlCierre() const { return ccDeduccionesAlCierre_; }
    Currency ccDeduccionPorRetribucion() const { return ccDeduccionPorRetribucion_; }
    std::vector<Figure> totals() const override {
        return {{"ccDeduccionPorRetribucion", ccDeduccionPorRetribucion_},
                {"ccDeduccionesAlCierre", ccDeduccionesAlCierre_}};
    }
    // The rate (70 % is 0,70); 0 when no row of the rate table covers the start of the year,
    // in which case rateProblem() says so (after a calculation, only when the declaration has
    // pay to disabled staff that the rate applies to).
    Currency cGetAlicuota();
    const std::optional<std::string>& rateProblem() const { return rateProblem_; }

protected:
    std::vector<Interval> intervals() const override;

private:
    Currency ccDeduccionesAlCierre_;
    Currency ccDeduccionPorRetribucion_;
    std::optional<std::string> rateProblem_;
};

// The start of the current declaration's fiscal year as "YYYYMMDD", for the rate look-ups.
std::string fiscalYearStartText(const Context& context);
// A plain sentence for a rate table that has no row for the start of the fiscal year.
std::string missingRateMessage(const Context& context, std::string_view table);

}  // namespace kapred
