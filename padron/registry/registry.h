#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/engine/database.h"
#include "registry/taxpayer.h"

namespace kapred::padron {

// A save the registry refused; nothing was written.
class Refused : public std::runtime_error {
public:
    explicit Refused(Refusal refusal) : std::runtime_error(refusal.message), refusal_(std::move(refusal)) {}
    const Refusal& refusal() const { return refusal_; }

private:
    Refusal refusal_;
};

// The taxpayers of rexa.mdb and the reference lists of sistema.mdb: reads them, checks a
// taxpayer's values against the columns and the lists, and writes each change as one
// transaction.
class Registry {
public:
    Registry(db::Database& taxpayers, db::Database& reference) : taxpayers_(taxpayers), reference_(reference) {}

    // Every taxpayer, in the order of their CUIT.
    std::vector<TaxpayerLine> list();
    // The taxpayer of that CUIT (eleven digits), when registered.
    std::optional<Taxpayer> find(const std::string& cuit);

    // The first value the registry would refuse, in the form's reading order, or nothing. A new
    // taxpayer's CUIT must have its check digit and not be registered yet; a registered one keeps
    // the CUIT it has.
    std::optional<Refusal> check(const Taxpayer& taxpayer, bool adding);
    // Register, change or remove a taxpayer; add and modify raise Refused.
    void add(const Taxpayer& taxpayer);
    void modify(const Taxpayer& taxpayer);
    // False when the CUIT is not registered.
    bool remove(const std::string& cuit);

    std::vector<CodeName> provinces();
    std::vector<CodeName> neighbourhoodTypes();
    std::vector<CodeName> legalForms();
    std::vector<CodeName> countries();
    // The longest text a column holds, from its definition (255 when it sets none).
    std::size_t width(const std::string& table, const std::string& column);

private:
    std::vector<CodeName> referenceList(const std::string& table);
    // The host number of a CUIT, 0 when it is not registered.
    long number(const std::string& cuit);
    void writeRows(long ncontrib, const Taxpayer& taxpayer);
    void deleteRows(long ncontrib);

    db::Database& taxpayers_;
    db::Database& reference_;
};

}  // namespace kapred::padron
