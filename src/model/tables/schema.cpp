#include "model/tables/schema.h"

#include <span>

#include "model/tables/tables.h"

namespace kapred {

namespace {

using db::DataType;
using db::FieldDef;
using db::IndexDef;
using db::TableDef;
using namespace tables;

// Numbers and dates have a fixed size and numbers default to 0; texts have a variable size,
// accept the empty text and default to it; dates have no default.
FieldDef field(const Column& column) {
    FieldDef f;
    f.name = column.name;
    f.type = column.type;
    f.size = db::storageSize(column.type, column.size);
    f.required = column.required;
    if (column.type == DataType::Text) {
        f.attributes = db::kVariableField;
        f.allowZeroLength = true;
        f.defaultValue.emplace();
    } else {
        f.attributes = db::kFixedField;
        if (column.type != DataType::Date) {
            f.defaultValue = "0";
        }
    }
    return f;
}

std::vector<std::string> names(std::initializer_list<Column> columns) {
    std::vector<std::string> list;
    for (const auto& column : columns) {
        list.emplace_back(column.name);
    }
    return list;
}

IndexDef primaryKey(std::initializer_list<Column> columns) {
    return IndexDef{"PK", names(columns), true, true, true, false, false};
}

IndexDef listIndex(std::initializer_list<Column> columns) {
    return IndexDef{"IDX_LIST", names(columns), false, false, false, false, false};
}

TableDef table(std::string_view name, std::span<const Column> columns, std::vector<IndexDef> indexes) {
    TableDef def;
    def.name = name;
    for (const auto& column : columns) {
        def.fields.push_back(field(column));
    }
    def.indexes = std::move(indexes);
    return def;
}

// A section with one row per declaration.
template <typename Section>
TableDef singleRow() {
    return table(Section::table, Section::columns, {primaryKey({Section::CUIT, Section::CodDJ})});
}

// Advances and payments on account: listed by declaration, numbered within it.
template <typename Section>
TableDef list() {
    return table(
        Section::table, Section::columns,
        {listIndex({Section::CUIT, Section::CodDJ}), primaryKey({Section::CUIT, Section::CodDJ, Section::ID})});
}

}  // namespace

std::vector<TableDef> appTableDefs() {
    return {
        singleRow<ActivoComputable>(),
        singleRow<ActivoExento>(),
        singleRow<ActivoNoComputable>(),
        list<Anticipos>(),
        table(DDJJ::table, DDJJ::columns, {listIndex({DDJJ::CUIT}), primaryKey({DDJJ::CUIT, DDJJ::CodDJ})}),
        singleRow<LiqDeduccionesAlCapital>(),
        list<PagosCuenta>(),
        singleRow<Pasivo>(),
        singleRow<SaldoFavorPeriodoAnt>(),
    };
}

std::vector<db::RelationDef> appRelations() {
    const std::string_view foreignTables[] = {
        ActivoComputable::table, ActivoExento::table,         ActivoNoComputable::table,      Anticipos::table,
        PagosCuenta::table,      SaldoFavorPeriodoAnt::table, LiqDeduccionesAlCapital::table, Pasivo::table};
    std::vector<db::RelationDef> relations;
    for (std::size_t i = 0; i < std::size(foreignTables); ++i) {
        relations.push_back(db::RelationDef{"Relacion" + std::to_string(i),
                                            std::string(DDJJ::table),
                                            std::string(foreignTables[i]),
                                            db::kRelationDontEnforce,
                                            {{std::string(DDJJ::CUIT.name), std::string(DDJJ::CUIT.name)}}});
    }
    return relations;
}

}  // namespace kapred
