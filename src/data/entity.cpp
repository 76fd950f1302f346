#include "data/entity.h"

#include "data/app_database.h"
#include "data/values/error.h"

namespace kapred {

namespace {

// The columns of each table, taken once from the program's schema.
const db::TableDef& tableOf(const std::string& tableName) {
    static const std::vector<db::TableDef> tables = appTableDefs();
    for (const auto& table : tables) {
        if (table.name == tableName) {
            return table;
        }
    }
    throw Error(err::kProgram, "EntityBase", "No existe la tabla '" + tableName + "'");
}

Variant initialValue(db::DataType type) {
    switch (type) {
        case db::DataType::Date:
            return DateTime::fromDate(1800, 1, 1);
        case db::DataType::Text:
        case db::DataType::Memo:
            return std::string();
        default:
            return std::int16_t{0};
    }
}

}  // namespace

EntityBase::EntityBase(std::string_view tableName, DeclarationKeySource currentKey)
    : tableName_(tableName), currentKey_(std::move(currentKey)) {
    Reset();
}

void EntityBase::Reset() {
    const auto& columns = tableOf(tableName_).fields;
    if (fields_.Count() == 0) {
        for (const auto& field : columns) {
            fields_.AddElement(field.name, initialValue(field.type));
        }
    } else {
        // The keys stay those of the table: only the values go back.
        for (std::size_t i = 0; i < columns.size(); ++i) {
            fields_.SetAt(i, initialValue(columns[i].type));
        }
    }
    if (currentKey_) {
        auto [cuit, codDJ] = currentKey_();
        SetFieldValue(tables::DeclarationKey::CUIT, std::move(cuit));
        SetFieldValue(tables::DeclarationKey::CodDJ, std::move(codDJ));
    }
}

}  // namespace kapred
