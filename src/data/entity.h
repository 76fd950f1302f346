#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>

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

    void SetFieldValue(std::string_view fieldName, Variant value) { fields_.SetElement(fieldName, std::move(value)); }
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

protected:
    EntityBase(std::string_view tableName, DeclarationKeySource currentKey);

private:
    std::string tableName_;
    DeclarationKeySource currentKey_;
    BDictionary fields_;
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
