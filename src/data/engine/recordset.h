#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/engine/parameters.h"
#include "data/engine/schema.h"
#include "data/values/variant.h"

struct sqlite3_stmt;

namespace kapred::db {

class Database;

struct FieldInfo {
    std::string name;
    DataType type = DataType::Text;
    int size = 0;
    std::string table;   // base table, empty for computed columns
    std::string column;  // column of the base table
};

// The rows of one statement, read when it is opened. A dynaset over the plain columns of one
// table can be changed through Edit/AddNew and Update; anything else behaves as a snapshot.
class Recordset {
public:
    enum class EditMode { None, Edit, AddNew };

    Recordset(Database& database, std::vector<FieldInfo> fields, std::vector<std::vector<Variant>> rows,
              std::vector<long long> rowIds, bool updatable);
    // A recordset only for adding rows: it keeps none of the rows it adds, so that one such
    // recordset can add any number of them.
    static std::unique_ptr<Recordset> forAppending(Database& database, std::vector<FieldInfo> fields);

    const std::vector<FieldInfo>& fields() const { return fields_; }
    long recordCount() const { return static_cast<long>(rows_.size()); }
    bool bof() const { return rows_.empty() || position_ < 0; }
    bool eof() const { return rows_.empty() || position_ >= static_cast<long>(rows_.size()); }
    bool updatable() const { return updatable_; }
    EditMode editMode() const { return editMode_; }

    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    // Moves to the first row that meets the criteria (a WHERE condition over the columns, its
    // values given as parameters); noMatch() tells whether there was none, in which case the
    // position does not change.
    void findFirst(std::string_view criteria, const Parameters& parameters = {});
    bool noMatch() const { return noMatch_; }

    // The value of a column in the current row, or in the row being edited or added.
    Variant value(std::string_view fieldName) const;
    Variant value(std::size_t index) const;
    void setValue(std::string_view fieldName, const Variant& value);
    // By position, for a caller that walks the fields in order.
    void setValue(std::size_t index, const Variant& value);
    std::size_t fieldIndex(std::string_view fieldName) const;  // raises 3265

    void addNew();
    void edit();
    void update();
    void cancelUpdate();
    void close();

private:
    const std::vector<Variant>& currentRow() const;
    // The definition of each field of the base table (null for computed columns), read once.
    const FieldDef* definition(std::size_t index);
    void requireUpdatable() const;
    void requireOpen() const;

    Database* database_;
    std::vector<FieldInfo> fields_;
    std::vector<std::vector<Variant>> rows_;
    std::vector<long long> rowIds_;
    bool updatable_;
    long position_ = 0;
    bool noMatch_ = false;
    EditMode editMode_ = EditMode::None;
    std::vector<Variant> buffer_;
    std::vector<bool> changed_;
    std::vector<const FieldDef*> definitions_;
    unsigned long definitionsVersion_ = 0;
    bool keepsAdded_ = true;
    std::string insertSql_;  // the statement that adds a row, written with the definitions
};

// The rows of a statement read one at a time as the caller moves forward, so that a pass over a
// large table holds one row however many there are. Until it is closed (or destroyed) the
// statement keeps the database's read lock.
class ForwardRecordset {
public:
    // Takes over the statement, bound and not yet stepped; typeKnown tells which fields already
    // have their type (a computed column takes the type of the first value it shows).
    ForwardRecordset(sqlite3_stmt* statement, std::vector<FieldInfo> fields, std::vector<bool> typeKnown);
    ~ForwardRecordset();
    ForwardRecordset(const ForwardRecordset&) = delete;
    ForwardRecordset& operator=(const ForwardRecordset&) = delete;

    const std::vector<FieldInfo>& fields() const { return fields_; }
    bool eof() const { return statement_ == nullptr; }
    void moveNext();
    Variant value(std::string_view fieldName) const;
    // By position, for a pass that looks each column up once (fieldIndex) rather than per row.
    const Variant& value(std::size_t index) const;
    std::size_t fieldIndex(std::string_view fieldName) const;  // raises 3265
    void close();

private:
    sqlite3_stmt* statement_;
    std::vector<FieldInfo> fields_;
    std::vector<bool> typeKnown_;
    std::vector<Variant> row_;
};

// The current row of a statement, from its column firstColumn on, as values of the fields' types;
// a field whose type is not known yet takes the type of its first value that is not Null.
std::vector<Variant> readRow(sqlite3_stmt* statement, int firstColumn, std::vector<FieldInfo>& fields,
                             std::vector<bool>& typeKnown);
// The same into a row that keeps its storage from one row to the next.
void readRowInto(sqlite3_stmt* statement, int firstColumn, std::vector<FieldInfo>& fields, std::vector<bool>& typeKnown,
                 std::vector<Variant>& row);

}  // namespace kapred::db
