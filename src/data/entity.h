#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/dictionary.h"
#include "model/tables/tables.h"

namespace kapred {

// The key of the declaration being worked on (CUIT, CodDJ), from which section entities take
// their own key whenever they are reset.
using DeclarationKeySource = std::function<std::pair<Variant, Variant>()>;

// One row of a table of the program's database held in memory: a dictionary of its columns in
// table order. Columns start at 0 (numbers and amounts), 01/01/1800 (dates) or the empty text.
class EntityBase {
public:
    virtual ~EntityBase() = default;

    void SetFieldValue(std::string_view fieldName, Variant value);
    // Replaces the text a column holds by the same value in the column's own type, read once so
    // that the checks and the save that follow need not read it again; the text is kept for the
    // messages, which show what was given. position is the column's, as for vGetFieldValue.
    void SetTypedValue(std::string_view fieldName, std::size_t position, Variant typed);
    // The column's value as it was given: the text a typed value was read from, or the value's
    // own text.
    std::string sEnteredText(std::string_view fieldName, NumberFormat format = {}) const;
    const Variant& vGetFieldValue(std::string_view fieldName) const { return fields_.vGetElement(fieldName); }
    // The same for a caller that walks the table's columns in order: position is the column's.
    const Variant& vGetFieldValue(std::string_view fieldName, std::size_t position) const {
        return fields_.vGetElement(fieldName, position);
    }
    // Every column back to its initial value; a section entity then takes the key of the
    // current declaration.
    void Reset();
    const std::string& sEntityName() const { return tableName_; }
    const BDictionary& fields() const { return fields_; }
    // Changes whenever a value of the entity changes; never the same for two states of any two
    // entities, so that whoever works something out from the values knows when to do it again.
    std::uint64_t revision() const { return revision_; }

protected:
    EntityBase(std::string_view tableName, DeclarationKeySource currentKey);

private:
    std::string tableName_;
    DeclarationKeySource currentKey_;
    BDictionary fields_;
    // The texts typed values were read from, by column position.
    std::vector<std::pair<std::size_t, std::string>> enteredTexts_;
    std::uint64_t revision_ = 0;
};

// The declaration header: its key is its own.
class EDDJJ : public EntityBase {
public:
    EDDJJ() : EntityBase(tables::DDJJ::table, {}) {}
};

// The sections, keyed by the current declaration.
class EActivoComputable : public EntityBase {
public:
    explicit EActivoComputable(DeclarationKeySource key)
        : EntityBase(tables::ActivoComputable::table, std::move(key)) {}
};
class EActivoExento : public EntityBase {
public:
    explicit EActivoExento(DeclarationKeySource key) : EntityBase(tables::ActivoExento::table, std::move(key)) {}
};
class EActivoNoComputable : public EntityBase {
public:
    explicit EActivoNoComputable(DeclarationKeySource key)
        : EntityBase(tables::ActivoNoComputable::table, std::move(key)) {}
};
class EAnticipos : public EntityBase {
public:
    explicit EAnticipos(DeclarationKeySource key) : EntityBase(tables::Anticipos::table, std::move(key)) {}
};
class ELiqDeduccionesAlCapital : public EntityBase {
public:
    explicit ELiqDeduccionesAlCapital(DeclarationKeySource key)
        : EntityBase(tables::LiqDeduccionesAlCapital::table, std::move(key)) {}
};
class EPagosCuenta : public EntityBase {
public:
    explicit EPagosCuenta(DeclarationKeySource key) : EntityBase(tables::PagosCuenta::table, std::move(key)) {}
};
class EPasivo : public EntityBase {
public:
    explicit EPasivo(DeclarationKeySource key) : EntityBase(tables::Pasivo::table, std::move(key)) {}
};
class ESaldoFavorPeriodoAnt : public EntityBase {
public:
    explicit ESaldoFavorPeriodoAnt(DeclarationKeySource key)
        : EntityBase(tables::SaldoFavorPeriodoAnt::table, std::move(key)) {}
};

}  // namespace kapred
