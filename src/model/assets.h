#pragma once

#include <memory>

#include "model/section_object.h"

namespace kapred {

// Computable assets: cash, deposits and receivables in national and foreign currency,
// securities, holdings, inventory, movables, real estate, intangibles and others.
class BActivoComputable : public SectionObject {
public:
    explicit BActivoComputable(Context& context);
    void CalculateLocalTotals(const std::string& indexName) override;

    Currency ccDineroEfectivo() const { return ccDineroEfectivo_; }
    Currency ccDepositos() const { return ccDepositos_; }
    Currency ccCreditos() const { return ccCreditos_; }
    Currency ccInmuebles() const { return ccInmuebles_; }
    Currency ccBienesMueblesAmortizables() const { return ccBienesMueblesAmortizables_; }
    Currency ccActivoComputable() const { return ccActivoComputable_; }
    std::vector<Figure> totals() const override;

protected:
    std::vector<Interval> intervals() const override;

private:
    Currency ccDineroEfectivo_, ccDepositos_, ccCreditos_, ccInmuebles_, ccBienesMueblesAmortizables_,
        ccActivoComputable_;
};

// Exempt assets: Tierra del Fuego, shares in the capital of entities, cooperative shares.
class BActivoExento : public SectionObject {
public:
    explicit BActivoExento(Context& context);
    void CalculateLocalTotals(const std::string& indexName) override;
    Currency ccActivoExento() const { return ccActivoExento_; }
    std::vector<Figure> totals() const override;

protected:
    std::vector<Interval> intervals() const override;

private:
    Currency ccActivoExento_;
};

// Non-computable assets: those located abroad permanently. Its screen also shows the exempt
// total, computed by its own exempt-asset object.
class BActivoNoComputable : public SectionObject {
public:
    explicit BActivoNoComputable(Context& context);
    void CalculateExternalTotals(const std::string& indexName) override;
    void CalculateLocalTotals(const std::string& indexName) override;
    Currency ccActivoNoComputable() const { return ccActivoNoComputable_; }
    // Its own total and the exempt total its window shows.
    std::vector<Figure> totals() const override;

    std::unique_ptr<BActivoExento> g_BActivoExento;

protected:
    std::vector<Interval> intervals() const override;

private:
    Currency ccActivoNoComputable_;
};

// The asset summary: the three asset sections and their sum. It has no row of its own.
class BActivo : public ComputedObject {
public:
    explicit BActivo(Context& context) : ComputedObject(context) {}
    void CalculateExternalTotals(const std::string& indexName);
    void CalculateLocalTotals(const std::string& indexName);
    Currency ccActivo() const { return ccActivo_; }
    // The window's three: computable, non-computable with exempt, and all assets.
    std::vector<Figure> figures() const override;

    std::unique_ptr<BActivoComputable> g_BActivoComputable;
    std::unique_ptr<BActivoExento> g_BActivoExento;
    std::unique_ptr<BActivoNoComputable> g_BActivoNoComputable;

private:
    Currency ccActivo_;
};

}  // namespace kapred
