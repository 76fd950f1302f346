#pragma once

#include <map>
#include <memory>
#include <string>

#include "data/business_object.h"
#include "data/engine/database.h"
#include "data/engine/recordset.h"
#include "data/values/numeric_text.h"

namespace kapred {

// A statement, or a part of one, with the values of its "?" marks in order.
struct SqlText {
    std::string text;
    db::Parameters values;
};

// The thin recordset wrapper every generic operation uses.
class NpRecordSet {
public:
    void instance(db::Database& database) { database_ = &database; }
    void OpenRecordSet(const SqlText& sql);

    void MoveNext() { recordset_->moveNext(); }
    void AddNew() { recordset_->addNew(); }
    void EDIT() { recordset_->edit(); }
    void Update() { recordset_->update(); }
    void CancelUpdate() { recordset_->cancelUpdate(); }
    void FindFirst(const std::string& criteria, const db::Parameters& values = {}) {
        recordset_->findFirst(criteria, values);
    }
    bool BOF() const { return recordset_->bof(); }
    // (EOF itself is a macro of the C library.)
    bool EndOfFile() const { return recordset_->eof(); }
    bool NoMatch() const { return recordset_->noMatch(); }
    long RecordCount() const { return recordset_->recordCount(); }
    db::Recordset& Fields() { return *recordset_; }

private:
    db::Database* database_ = nullptr;
    std::unique_ptr<db::Recordset> recordset_;
};

// The index's fields include the field (names compared in lower case).
bool IsFieldInIndex(db::Database& database, const std::string& tableName, const std::string& indexName,
                    const std::string& fieldName);

// selectText + " FROM " + table, then, for a named index, the filter on the entity's values for
// that index's fields and the order.
SqlText sBuildSelect(db::Database& database, const EntityBase& entity, const std::string& indexName,
                     const std::string& selectText, const std::string& orderText, NumberFormat format = {});
// " Where " + one condition per index field in table order ("CUIT = ?"), joined by " AND ", with a
// trailing blank, and the entity's values for them. A number field whose value is no number
// raises error 13. An index that gives no condition raises error 1 rather than leave the statement
// without a filter.
SqlText sGetFieldsToFilter(const std::string& indexName, const EntityBase& entity, db::Database& database,
                           NumberFormat format = {});
// " Select SUM(c ) AS c1,..." over the amount columns that are not in the index.
std::string sBuildSumSelect(db::Database& database, const std::string& indexName, const std::string& tableName);

std::unique_ptr<NpRecordSet> OpenEntityRecordset(db::Database& database, const EntityBase& entity,
                                                 const std::string& indexName, const std::string& selectText,
                                                 NumberFormat format = {});
std::unique_ptr<NpRecordSet> OpenSqlRecordset(db::Database& database, const SqlText& sql);
std::unique_ptr<NpRecordSet> OpenSumRecordset(db::Database& database, const std::string& indexName,
                                              const BusinessObject& object, NumberFormat format = {});

// The next row number of a list: the largest value of the field among the rows sharing the
// index values of the entity, plus 1 (1 for an empty list).
long lGetNextId(db::Database& database, const EntityBase& entity, const std::string& indexName,
                const std::string& fieldName, NumberFormat format = {});

// Find, save and delete the object's row by its primary key "PK". A save or delete the database
// refuses gives false with the reason added to the object's inconsistency list.
bool bGenericFind(db::Database& database, BusinessObject& object, NumberFormat format = {});
bool bGenericSave(db::Database& database, BusinessObject& object, NumberFormat format = {});
bool bGenericDelete(db::Database& database, BusinessObject& object, const std::string& indexName,
                    NumberFormat format = {});
// Deletes the table's rows that meet the condition (" Where ..."), in one transaction. When they
// are all the table's rows the condition is left out: SQLite then drops the table's pages whole
// instead of taking a million rows out one by one (a fraction of a second against seconds).
// `fields` are the condition's fields in the order of an index that starts with them, by which
// that is found out at once.
void deleteRows(db::Database& database, const std::string& tableName, const SqlText& where,
                const std::vector<std::string>& fields);
// Copies every field of the recordset between it and the entity (true: entity to recordset).
bool bGenericAsignEnityToRecordSet(db::Recordset& recordset, EntityBase& entity, bool toRecordset);

inline constexpr const char* kSaveFailed = "No se pudo grabar el registro en la base de datos";
inline constexpr const char* kDuplicateRecord =
    "El registro que intenta ingresar, ya se encuentra en la base de datos.";

// The statements of the list windows' grids, and the order a click on a column heading sets:
// each click toggles that column between "asc" (picture "Up") and "desc" (picture "Down"),
// starting ascending.
SqlText sGridSelect(db::Database& database, const EntityBase& entity, const std::string& indexName,
                    const std::string& orderColumn, const std::string& direction, NumberFormat format = {});
std::string sGridSelectWhere(const std::string& tableName, const std::string& condition, const std::string& order);

class GridOrder {
public:
    // The heading of field was clicked; returns the picture the heading now shows.
    std::string click(const std::string& field);
    const std::string& column() const { return column_; }
    const std::string& direction() const { return direction_; }

private:
    std::map<std::string, std::string> directions_;
    std::string column_;
    std::string direction_ = "asc";
};

}  // namespace kapred
