#include "data/entity.h"

#include <algorithm>
#include <atomic>

#include "data/app_database.h"
#include "data/engine/schema.h"
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

std::uint64_t nextRevision() {
    static std::atomic<std::uint64_t> last{0};
    return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

}  // namespace

EntityBase::EntityBase(std::string_view tableName, DeclarationKeySource currentKey)
    : tableName_(tableName), currentKey_(std::move(currentKey)) {
    Reset();
}

void EntityBase::SetFieldValue(std::string_view fieldName, Variant value) {
    fields_.SetElement(fieldName, std::move(value));
    std::erase_if(enteredTexts_, [&](const auto& entered) {
        return db::equalsIgnoreCase(fields_.pairs()[entered.first].first, fieldName);
    });
    revision_ = nextRevision();
}

void EntityBase::SetTypedValue(std::string_view fieldName, std::size_t position, Variant typed) {
    position = fields_.position(fieldName, position);
    std::string given = fields_.pairs()[position].second.text();
    fields_.SetAt(position, std::move(typed));
    enteredTexts_.emplace_back(position, std::move(given));
    revision_ = nextRevision();
}

std::string EntityBase::sEnteredText(std::string_view fieldName, NumberFormat format) const {
    const Variant& value = vGetFieldValue(fieldName);
    for (const auto& [position, text] : enteredTexts_) {
        if (db::equalsIgnoreCase(fields_.pairs()[position].first, fieldName)) {
            return text;
        }
    }
    return value.toText(format);
}

void EntityBase::Reset() {
    enteredTexts_.clear();
    revision_ = nextRevision();
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
        // The key leads the section tables.
        fields_.SetAt(fields_.position(tables::DeclarationKey::CUIT, 0), std::move(cuit));
        fields_.SetAt(fields_.position(tables::DeclarationKey::CodDJ, 1), std::move(codDJ));
    }
}

}  // namespace kapred
