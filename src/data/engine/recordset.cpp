#include "data/engine/recordset.h"

#include <sqlite3.h>

#include <optional>

#include "data/engine/database.h"
#include "data/engine/dialect.h"
#include "data/engine/statement_cache.h"
#include "data/engine/storage.h"
#include "data/values/error.h"

namespace kapred::db {

namespace {

[[noreturn]] void noCurrentRecord() {
    throw Error(err::kNoCurrentRecord, "Recordset", "No hay un registro activo.");
}

std::size_t indexOf(const std::vector<FieldInfo>& fields, std::string_view fieldName) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (equalsIgnoreCase(fields[i].name, fieldName)) {
            return i;
        }
    }
    throw Error(err::kItemNotFound, "Fields", "Elemento no encontrado en esta colección.");
}

}  // namespace

void readRowInto(sqlite3_stmt* statement, int firstColumn, std::vector<FieldInfo>& fields, std::vector<bool>& typeKnown,
                 std::vector<Variant>& row) {
    row.clear();
    for (std::size_t f = 0; f < fields.size(); ++f) {
        const int column = static_cast<int>(f) + firstColumn;
        if (!typeKnown[f] && sqlite3_column_type(statement, column) != SQLITE_NULL) {
            const int storage = sqlite3_column_type(statement, column);
            fields[f].type = storage == SQLITE_INTEGER ? DataType::Long
                             : storage == SQLITE_FLOAT ? DataType::Double
                                                       : DataType::Text;
            typeKnown[f] = true;
        }
        row.push_back(readColumn(statement, column, fields[f].type));
    }
}

std::vector<Variant> readRow(sqlite3_stmt* statement, int firstColumn, std::vector<FieldInfo>& fields,
                             std::vector<bool>& typeKnown) {
    std::vector<Variant> row;
    row.reserve(fields.size());
    readRowInto(statement, firstColumn, fields, typeKnown, row);
    return row;
}

ForwardRecordset::ForwardRecordset(sqlite3_stmt* statement, std::vector<FieldInfo> fields, std::vector<bool> typeKnown)
    : statement_(statement), fields_(std::move(fields)), typeKnown_(std::move(typeKnown)) {
    moveNext();
}

ForwardRecordset::~ForwardRecordset() {
    close();
}

void ForwardRecordset::moveNext() {
    if (statement_ == nullptr) {
        noCurrentRecord();
    }
    const int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) {
        readRowInto(statement_, 0, fields_, typeKnown_, row_);
        return;
    }
    sqlite3* connection = sqlite3_db_handle(statement_);
    close();
    if (rc != SQLITE_DONE) {
        raiseSqliteError(connection, rc, "MoveNext");
    }
}

Variant ForwardRecordset::value(std::string_view fieldName) const {
    return value(fieldIndex(fieldName));
}

const Variant& ForwardRecordset::value(std::size_t index) const {
    if (statement_ == nullptr) {
        noCurrentRecord();
    }
    return row_.at(index);
}

std::size_t ForwardRecordset::fieldIndex(std::string_view fieldName) const {
    return indexOf(fields_, fieldName);
}

void ForwardRecordset::close() {
    sqlite3_finalize(statement_);
    statement_ = nullptr;
    row_.clear();
}

Recordset::Recordset(Database& database, std::vector<FieldInfo> fields, std::vector<std::vector<Variant>> rows,
                     std::vector<long long> rowIds, bool updatable)
    : database_(&database),
      fields_(std::move(fields)),
      rows_(std::move(rows)),
      rowIds_(std::move(rowIds)),
      updatable_(updatable) {}

std::unique_ptr<Recordset> Recordset::forAppending(Database& database, std::vector<FieldInfo> fields) {
    auto recordset = std::make_unique<Recordset>(database, std::move(fields), std::vector<std::vector<Variant>>{},
                                                 std::vector<long long>{}, true);
    recordset->keepsAdded_ = false;
    return recordset;
}

void Recordset::requireOpen() const {
    if (database_ == nullptr || !database_->isOpen()) {
        throw Error(err::kObjectClosed, "Recordset", "El objeto no es válido o ya no está establecido.");
    }
}

void Recordset::requireUpdatable() const {
    requireOpen();
    if (!updatable_) {
        throw Error(err::kReadOnly, "Recordset",
                    "No se puede actualizar. La base de datos o el objeto es de sólo lectura.");
    }
}

void Recordset::moveFirst() {
    requireOpen();
    if (rows_.empty()) {
        noCurrentRecord();
    }
    cancelUpdate();
    position_ = 0;
}

void Recordset::moveLast() {
    requireOpen();
    if (rows_.empty()) {
        noCurrentRecord();
    }
    cancelUpdate();
    position_ = static_cast<long>(rows_.size()) - 1;
}

void Recordset::moveNext() {
    requireOpen();
    if (eof()) {
        noCurrentRecord();
    }
    cancelUpdate();
    ++position_;
}

void Recordset::movePrevious() {
    requireOpen();
    if (bof()) {
        noCurrentRecord();
    }
    cancelUpdate();
    --position_;
}

void Recordset::findFirst(std::string_view criteria, const Parameters& parameters) {
    requireOpen();
    // The criteria are judged by SQLite over one row at a time, bound as named columns.
    std::string select;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        select += (i == 0 ? "SELECT ?" : ", ?") + std::to_string(i + 1) + " AS " + quoteName(fields_[i].name);
    }
    if (select.empty()) {
        select = "SELECT 1 AS one";
    }
    // The criteria's own marks follow the columns' numbered ones.
    StatementUse statement(
        database_->prepared("SELECT 1 FROM (" + select + ") WHERE " + translate(criteria), "FindFirst"));
    bindParameters(statement.get(), parameters, "FindFirst", static_cast<int>(fields_.size()) + 1);
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        sqlite3_reset(statement.get());
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            bindValue(statement.get(), static_cast<int>(i + 1), toComparable(rows_[r][i]));
        }
        const int rc = sqlite3_step(statement.get());
        if (rc == SQLITE_ROW) {
            cancelUpdate();
            position_ = static_cast<long>(r);
            noMatch_ = false;
            return;
        }
        if (rc != SQLITE_DONE) {
            raiseSqliteError(database_->handle(), rc, "FindFirst");
        }
    }
    noMatch_ = true;
}

std::size_t Recordset::fieldIndex(std::string_view fieldName) const {
    return indexOf(fields_, fieldName);
}

const FieldDef* Recordset::definition(std::size_t index) {
    if (definitions_.empty() || definitionsVersion_ != database_->schemaVersion()) {
        definitions_.clear();
        insertSql_.clear();
        for (const auto& field : fields_) {
            definitions_.push_back(field.table.empty() ? nullptr
                                                       : database_->tableDef(field.table).field(field.column));
        }
        definitionsVersion_ = database_->schemaVersion();
    }
    return definitions_[index];
}

const std::vector<Variant>& Recordset::currentRow() const {
    if (editMode_ != EditMode::None) {
        return buffer_;
    }
    if (bof() || eof()) {
        noCurrentRecord();
    }
    return rows_[static_cast<std::size_t>(position_)];
}

Variant Recordset::value(std::string_view fieldName) const {
    return value(fieldIndex(fieldName));
}

Variant Recordset::value(std::size_t index) const {
    requireOpen();
    const auto& row = currentRow();
    if (index >= row.size()) {
        throw Error(err::kItemNotFound, "Fields", "Elemento no encontrado en esta colección.");
    }
    return row[index];
}

void Recordset::setValue(std::string_view fieldName, const Variant& newValue) {
    requireOpen();
    setValue(fieldIndex(fieldName), newValue);
}

void Recordset::setValue(std::size_t index, const Variant& newValue) {
    requireOpen();
    if (index >= fields_.size()) {
        throw Error(err::kItemNotFound, "Fields", "Elemento no encontrado en esta colección.");
    }
    if (editMode_ == EditMode::None) {
        throw Error(err::kNotAnUpdate, "Fields", "Update o CancelUpdate sin AddNew o Edit.");
    }
    // The value is checked against the field now, and converted to its type, as the engine did
    // on assignment.
    Variant held = newValue;
    if (const FieldDef* definition = this->definition(index)) {
        // A required field may still be filled in later: only the update insists on it.
        held = heldValue(*definition, toStored(*definition, newValue, false));
    }
    buffer_[index] = std::move(held);
    changed_[index] = true;
}

void Recordset::addNew() {
    requireUpdatable();
    buffer_.assign(fields_.size(), Variant::null());
    changed_.assign(fields_.size(), false);
    const TableDef& table = database_->tableDef(fields_.front().table);
    const auto& defaults = database_->newRowValues(table.name);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const FieldDef* definition = this->definition(i);
        if (definition == nullptr || !definition->defaultValue) {
            continue;
        }
        if (const auto& value = defaults[static_cast<std::size_t>(definition - table.fields.data())]) {
            buffer_[i] = *value;
        }
        changed_[i] = true;
    }
    editMode_ = EditMode::AddNew;
}

void Recordset::edit() {
    requireUpdatable();
    if (bof() || eof()) {
        noCurrentRecord();
    }
    buffer_ = rows_[static_cast<std::size_t>(position_)];
    changed_.assign(fields_.size(), false);
    editMode_ = EditMode::Edit;
}

void Recordset::update() {
    requireUpdatable();
    if (editMode_ == EditMode::None) {
        throw Error(err::kNotAnUpdate, "Update", "Update o CancelUpdate sin AddNew o Edit.");
    }
    const TableDef& table = database_->tableDef(fields_.front().table);
    std::vector<std::size_t> columns;
    std::vector<StoredValue> values;
    columns.reserve(fields_.size());
    values.reserve(fields_.size());
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const FieldDef* definition = this->definition(i);
        if (definition == nullptr) {
            continue;
        }
        const bool write = editMode_ == EditMode::AddNew ? true : changed_[i];
        if (write) {
            columns.push_back(i);
            values.push_back(toStored(*definition, buffer_[i]));
        }
    }
    sqlite3* connection = database_->handle();
    std::string sql;
    if (editMode_ == EditMode::AddNew) {
        // Every column with a definition is written, so the statement is the same for each row.
        if (insertSql_.empty()) {
            std::string names;
            std::string marks;
            for (std::size_t k = 0; k < columns.size(); ++k) {
                names += (k == 0 ? "" : ", ") + quoteName(fields_[columns[k]].column);
                marks += (k == 0 ? "?" : ", ?") + std::to_string(k + 1);
            }
            insertSql_ = columns.empty()
                             ? "INSERT INTO " + quoteName(table.name) + " DEFAULT VALUES"
                             : "INSERT INTO " + quoteName(table.name) + " (" + names + ") VALUES (" + marks + ")";
        }
    } else {
        if (columns.empty()) {
            editMode_ = EditMode::None;
            return;
        }
        std::string assignments;
        for (std::size_t k = 0; k < columns.size(); ++k) {
            assignments +=
                (k == 0 ? "" : ", ") + quoteName(fields_[columns[k]].column) + " = ?" + std::to_string(k + 1);
        }
        sql = "UPDATE " + quoteName(table.name) + " SET " + assignments + " WHERE rowid = ?" +
              std::to_string(columns.size() + 1);
    }
    StatementUse statement(database_->prepared(editMode_ == EditMode::AddNew ? insertSql_ : sql, "Update"));
    for (std::size_t k = 0; k < values.size(); ++k) {
        bindValue(statement.get(), static_cast<int>(k + 1), values[k]);
    }
    if (editMode_ == EditMode::Edit) {
        sqlite3_bind_int64(statement.get(), static_cast<int>(columns.size() + 1),
                           rowIds_[static_cast<std::size_t>(position_)]);
    }
    const int rc = sqlite3_step(statement.get());
    if (rc != SQLITE_DONE) {
        raiseSqliteError(connection, rc, "Update");
    }
    if (editMode_ == EditMode::AddNew) {
        if (keepsAdded_) {
            rows_.push_back(buffer_);
            rowIds_.push_back(sqlite3_last_insert_rowid(connection));
            if (position_ < 0) {
                position_ = 0;
            }
        }
    } else {
        rows_[static_cast<std::size_t>(position_)] = buffer_;
    }
    editMode_ = EditMode::None;
}

void Recordset::cancelUpdate() {
    editMode_ = EditMode::None;
    buffer_.clear();
    changed_.clear();
}

void Recordset::close() {
    cancelUpdate();
    rows_.clear();
    rowIds_.clear();
    database_ = nullptr;
}

}  // namespace kapred::db
