#include "data/persistence.h"

#include "data/engine/dialect.h"
#include "data/validation.h"
#include "data/values/error.h"

namespace kapred {

namespace {

using db::DataType;

bool hasRow(const NpRecordSet& recordset) {
    return !(recordset.BOF() && recordset.EndOfFile());
}

// The object's recordset for new rows, opened anew when the database or its tables changed.
db::Recordset& appender(db::Database& database, BusinessObject& object) {
    auto& kept = object.appender;
    if (!kept.recordset || kept.database != database.serial() || kept.schemaVersion != database.schemaVersion() ||
        !database.isOpen()) {
        kept.recordset = database.openForAppend(object.Entity->sEntityName());
        kept.database = database.serial();
        kept.schemaVersion = database.schemaVersion();
    }
    return *kept.recordset;
}

}  // namespace

void NpRecordSet::OpenRecordSet(const SqlText& sql) {
    if (database_ == nullptr) {
        throw Error(err::kObjectNotSet, "NpRecordSet", "Variable de objeto o bloque With no establecido");
    }
    recordset_ = database_->openRecordset(sql.text, sql.values);
}

bool IsFieldInIndex(db::Database& database, const std::string& tableName, const std::string& indexName,
                    const std::string& fieldName) {
    const db::IndexDef* index = database.tableDef(tableName).index(indexName);
    if (index == nullptr) {
        return false;
    }
    for (const auto& name : index->fields) {
        if (db::equalsIgnoreCase(name, fieldName)) {
            return true;
        }
    }
    return false;
}

SqlText sBuildSelect(db::Database& database, const EntityBase& entity, const std::string& indexName,
                     const std::string& selectText, const std::string& orderText, NumberFormat format) {
    SqlText sql{selectText + " FROM " + entity.sEntityName(), {}};
    if (!indexName.empty()) {
        sql = sGetFieldsToFilter(indexName, entity, database, format);
        sql.text = selectText + " FROM " + entity.sEntityName() + sql.text;
        if (!orderText.empty()) {
            sql.text += " ORDER BY " + orderText;
        }
    }
    return sql;
}

namespace {

// The value of a number field as its condition compares it; a text is read with the program's
// separators.
db::Parameter numberOf(const std::string& fieldName, const Variant& value, NumberFormat format) {
    if (value.isNumber()) {
        return value;
    }
    const auto number = value.isEmpty() ? std::nullopt : value.toDouble(format);
    if (!number) {
        throw Error(err::kTypeMismatch, "sGetFieldsToFilter",
                    "El valor del campo '" + fieldName + "' no es un número.");
    }
    return *number;
}

}  // namespace

SqlText sGetFieldsToFilter(const std::string& indexName, const EntityBase& entity, db::Database& database,
                           NumberFormat format) {
    const std::string start = " Where ";
    SqlText where{start, {}};
    const std::string& table = entity.sEntityName();
    for (const auto& field : database.tableDef(table).fields) {
        if (!IsFieldInIndex(database, table, indexName, field.name)) {
            continue;
        }
        const Variant& value = entity.vGetFieldValue(field.name);
        switch (field.type) {
            case DataType::Text:
                where.text += field.name + " = ? AND ";
                where.values.emplace_back(value.toText(format));
                break;
            case DataType::Double:
            case DataType::Currency:
            case DataType::Integer:
            case DataType::Long:
                where.text += field.name + " = ? AND ";
                where.values.push_back(numberOf(field.name, value, format));
                break;
            case DataType::Date:
                // The date goes in as a text, which Format reads back as a date.
                where.text += "Format(" + field.name + ",\"YYYYMMDD\") = FORMAT(?,\"YYYYMMDD\") AND ";
                where.values.emplace_back(value.toText(format));
                break;
            default:
                // No condition can be written on this column; it is left out of the filter.
                break;
        }
    }
    // Without a condition the cut below would leave " Wh", which the engine reads as an alias
    // of the table: the statement would cover every row.
    if (where.text == start) {
        throw Error(err::kProgram, "sGetFieldsToFilter", "No se puede realizar un where con este campo");
    }
    where.text.resize(where.text.size() - 4);
    return where;
}

std::string sBuildSumSelect(db::Database& database, const std::string& indexName, const std::string& tableName) {
    std::string select = " Select ";
    for (const auto& field : database.tableDef(tableName).fields) {
        if (IsFieldInIndex(database, tableName, indexName, field.name) || field.name.empty() ||
            field.name.front() != 'c' || db::lowerCase(field.name).find("cuit") != std::string::npos) {
            continue;
        }
        select += "SUM(" + field.name + " ) AS " + field.name + "1,";
    }
    select.pop_back();
    return select;
}

std::unique_ptr<NpRecordSet> OpenSqlRecordset(db::Database& database, const SqlText& sql) {
    auto recordset = std::make_unique<NpRecordSet>();
    recordset->instance(database);
    recordset->OpenRecordSet(sql);
    return recordset;
}

std::unique_ptr<NpRecordSet> OpenEntityRecordset(db::Database& database, const EntityBase& entity,
                                                 const std::string& indexName, const std::string& selectText,
                                                 NumberFormat format) {
    return OpenSqlRecordset(database, sBuildSelect(database, entity, indexName, selectText, "", format));
}

std::unique_ptr<NpRecordSet> OpenSumRecordset(db::Database& database, const std::string& indexName,
                                              const BusinessObject& object, NumberFormat format) {
    const std::string& table = object.Entity->sEntityName();
    SqlText sum = sGetFieldsToFilter(indexName, *object.Entity, database, format);
    sum.text = sBuildSumSelect(database, indexName, table) + " FROM " + table + sum.text;
    return OpenSqlRecordset(database, sum);
}

long lGetNextId(db::Database& database, const EntityBase& entity, const std::string& indexName,
                const std::string& fieldName, NumberFormat format) {
    auto recordset =
        OpenEntityRecordset(database, entity, indexName, "Select Max(" + fieldName + ") As Result ", format);
    const Variant result = recordset->Fields().value("Result");
    return result.isNull() ? 1 : result.toWholeNumber().value_or(0) + 1;
}

bool bGenericAsignEnityToRecordSet(db::Recordset& recordset, EntityBase& entity, bool toRecordset) {
    try {
        const auto& fields = recordset.fields();
        for (std::size_t position = 0; position < fields.size(); ++position) {
            const auto& field = fields[position];
            if (!toRecordset) {
                entity.SetFieldValue(field.name, recordset.value(field.name));
                continue;
            }
            const Variant& value = entity.vGetFieldValue(field.name, position);
            const bool emptyText = value.type() == Variant::Type::Text && value.text().empty();
            switch (field.type) {
                case DataType::Double:
                case DataType::Currency:
                case DataType::Long:
                case DataType::Integer:
                    if (value.isNull()) {
                        return false;  // a Null is no number
                    }
                    recordset.setValue(position, emptyText || value.isEmpty() ? Variant(0.0) : value);
                    break;
                case DataType::Date:
                    recordset.setValue(position, emptyText ? Variant(*fromSerial(1)) : value);
                    break;
                default:
                    recordset.setValue(position, value);
            }
        }
        return true;
    } catch (const Error&) {
        return false;
    }
}

bool bGenericFind(db::Database& database, BusinessObject& object, NumberFormat format) {
    try {
        auto recordset = OpenEntityRecordset(database, *object.Entity, "PK", "Select  * ", format);
        if (hasRow(*recordset)) {
            object.g_bEdit = bGenericAsignEnityToRecordSet(recordset->Fields(), *object.Entity, false);
            return object.g_bEdit;
        }
        object.Reset();
        return false;
    } catch (const Error&) {
        return false;
    }
}

bool bGenericSave(db::Database& database, BusinessObject& object, NumberFormat format) {
    try {
        // A new row needs no look-up first: the unique primary key refuses a key that is already
        // there, and that refusal is told as the duplicate, with nothing written.
        std::unique_ptr<db::Recordset> found;
        if (object.g_bEdit) {
            const SqlText select = sBuildSelect(database, *object.Entity, "PK", "Select  * ", "", format);
            found = database.openRecordset(select.text, select.values);
        }
        db::Recordset& recordset = object.g_bEdit ? *found : appender(database, object);
        if (object.g_bEdit) {
            recordset.edit();
        } else {
            recordset.addNew();
        }
        if (!bGenericAsignEnityToRecordSet(recordset, *object.Entity, true)) {
            recordset.cancelUpdate();
            object.g_bEdit = false;
            AddInconsistencyToObject(object, "",
                                     std::string(kSaveFailed) + ": un valor no puede guardarse en su campo.");
            return false;
        }
        try {
            recordset.update();
        } catch (const Error& error) {
            if (!object.g_bEdit && error.number() == err::kDuplicateKey) {
                AddInconsistencyToObject(object, "", kDuplicateRecord);
            } else {
                AddInconsistencyToObject(object, "", std::string(kSaveFailed) + ": " + error.description());
            }
            return false;
        }
        object.g_bEdit = true;
        return true;
    } catch (const Error& error) {
        AddInconsistencyToObject(object, "", std::string(kSaveFailed) + ": " + error.description());
        return false;
    }
}

bool bGenericDelete(db::Database& database, BusinessObject& object, const std::string& indexName, NumberFormat format) {
    try {
        const std::string& table = object.Entity->sEntityName();
        const db::IndexDef* index = indexName.empty() ? nullptr : database.tableDef(table).index(indexName);
        deleteRows(database, table,
                   indexName.empty() ? SqlText{} : sGetFieldsToFilter(indexName, *object.Entity, database, format),
                   index != nullptr ? index->fields : std::vector<std::string>{});
        object.Reset();
        object.g_bEdit = false;
        return true;
    } catch (const Error& error) {
        AddInconsistencyToObject(object, "", "No se pudo eliminar de la base de datos: " + error.description());
        return false;
    }
}

namespace {

long long countOf(db::Database& database, const std::string& from, const db::Parameters& values = {}) {
    return database.openRecordset("SELECT COUNT(*) AS Records FROM " + from, values)
        ->value("Records")
        .toWholeNumber()
        .value_or(-1);
}

// Every row meets the condition on the fields when the first and the last row in their order both
// do; an index that starts with them finds each of the two at once, where counting would read
// every row. Without fields the rows are counted.
bool everyRowMeets(db::Database& database, const std::string& tableName, const SqlText& where,
                   const std::vector<std::string>& fields) {
    if (where.text.empty()) {
        return true;
    }
    if (fields.empty()) {
        return countOf(database, tableName + where.text, where.values) == countOf(database, tableName);
    }
    std::string columns;
    std::string descending;
    for (const std::string& field : fields) {
        columns += (columns.empty() ? "" : ", ") + field;
        descending += (descending.empty() ? "" : ", ") + field + " DESC";
    }
    const auto endMeets = [&](const std::string& order) {
        return countOf(database,
                       "(SELECT " + columns + " FROM " + tableName + " ORDER BY " + order + " LIMIT 1)" + where.text,
                       where.values) == 1;
    };
    return endMeets(columns) && endMeets(descending);
}

}  // namespace

void deleteRows(db::Database& database, const std::string& tableName, const SqlText& where,
                const std::vector<std::string>& fields) {
    db::Transaction transaction(database);
    if (everyRowMeets(database, tableName, where, fields)) {
        database.execute("DELETE * FROM " + tableName);
    } else {
        database.execute("DELETE * FROM " + tableName + where.text, where.values);
    }
    transaction.commit();
}

SqlText sGridSelect(db::Database& database, const EntityBase& entity, const std::string& indexName,
                    const std::string& orderColumn, const std::string& direction, NumberFormat format) {
    SqlText select = sGetFieldsToFilter(indexName, entity, database, format);
    select.text = "Select  * " + std::string(" FROM ") + entity.sEntityName() + select.text + " Order By " +
                  orderColumn + " " + direction;
    return select;
}

std::string sGridSelectWhere(const std::string& tableName, const std::string& condition, const std::string& order) {
    return "SELECT * FROM " + tableName + " WHERE " + condition + " ORDER BY " + order;
}

std::string GridOrder::click(const std::string& field) {
    auto [entry, added] = directions_.try_emplace(field, "asc");
    if (!added) {
        entry->second = entry->second == "asc" ? "desc" : "asc";
    }
    column_ = "[" + field + "]";
    direction_ = entry->second;
    return direction_ == "asc" ? "Up" : "Down";
}

}  // namespace kapred
