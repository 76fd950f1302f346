#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/engine/parameters.h"
#include "data/engine/recordset.h"
#include "data/engine/schema.h"
#include "data/values/variant.h"

struct sqlite3;
struct sqlite3_stmt;

namespace kapred::db {

class ForwardRecordset;
class Recordset;
class StatementCache;
class Workspace;

enum class RecordsetType { Dynaset = 2, Snapshot = 4 };

// An open database file. Statements are written in the program's dialect (see dialect.h);
// table definitions, indexes and relations are read back as the engine kept them. Closing the
// database (or its workspace) leaves this object in place; any further use raises error 3420.
class Database {
public:
    Database(sqlite3* connection, std::string path, Workspace* workspace);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const std::string& name() const { return path_; }
    bool isOpen() const { return connection_ != nullptr; }
    void close();

    // Runs one statement; returns the number of rows it changed. Every statement takes its values
    // as parameters, one for each "?" of its text in order, never written into the text.
    long execute(std::string_view sql, const Parameters& parameters = {});
    std::unique_ptr<Recordset> openRecordset(std::string_view sql, const Parameters& parameters,
                                             RecordsetType type = RecordsetType::Dynaset);
    std::unique_ptr<Recordset> openRecordset(std::string_view sql, RecordsetType type = RecordsetType::Dynaset) {
        return openRecordset(sql, {}, type);
    }
    // The statement's rows read one at a time, forward only, for a pass over many rows.
    std::unique_ptr<ForwardRecordset> openForwardOnly(std::string_view sql, const Parameters& parameters = {});
    // A dynaset over every column of the table with no row, for adding rows: the same as
    // "SELECT * FROM table WHERE 0 = 1", taken from the table definition without a statement.
    // It keeps none of the rows it adds (see Recordset::forAppending).
    std::unique_ptr<Recordset> openForAppend(std::string_view tableName);
    // What a new row of the table holds before anything is set: each field's default as a value
    // of its type (nothing for a field without one), in field order.
    const std::vector<std::optional<Variant>>& newRowValues(std::string_view tableName);

    // Every table, the engine's own bookkeeping tables included (those have non-zero attributes).
    std::vector<TableDef> tableDefs();
    // One table; raises 3265 when there is none of that name.
    const TableDef& tableDef(std::string_view tableName);
    bool hasTable(std::string_view tableName);
    void appendTableDef(const TableDef& table);
    std::vector<RelationDef> relations();
    void appendRelation(const RelationDef& relation);

    // Runs a script of SQLite's own dialect (several statements) in one transaction, as the
    // shipped databases are built; raises with SQLite's message, naming the source.
    void executeScript(const std::string& sql, const std::string& source);

    void beginTrans();
    void commitTrans();
    void rollback();

    // True while SQLite holds a transaction open; false once it rolled one back by itself (a
    // full disk, for instance), whatever this object's own count says.
    bool inTransaction();

    // The share of the file's pages that hold nothing (0 to 1): what a compaction gives back.
    double freePageShare();
    // SQLite's quick check: every page of every table and index reads and is in order. It reads
    // the whole file once, but compares no index with its table.
    bool passesQuickCheck();
    // Opens the file at this database's name anew, once another file took its place (a repair):
    // this object, and recordsets that refer to it, go on with the new file. Not during a
    // transaction; raises as an open does, leaving this database as it was.
    void reopen(std::string_view connect);
    // Runs guard once, before the first statement that may change the file is prepared; while it
    // returns false no such statement is prepared (error 3043) and it is asked again the next time.
    void guardFirstWrite(std::function<bool()> guard);

    sqlite3* handle();  // raises 3420 once closed
    // Changes whenever table definitions read before may have changed, so that whoever keeps
    // pointers into them knows to read them again.
    unsigned long schemaVersion() const { return schemaVersion_; }
    // Unique to this object among every database opened in the process, so that whoever keeps a
    // recordset past the database's life can tell whether it still belongs to the one at hand.
    std::uint64_t serial() const { return serial_; }
    // A prepared statement for a text of SQLite's own dialect, kept for reuse; raises the engine
    // error when SQLite refuses the text. Use it through StatementUse.
    sqlite3_stmt* prepared(const std::string& sql, const std::string& source);
    void detachFromWorkspace() { workspace_ = nullptr; }

private:
    static int authorize(void* self, int action, const char*, const char*, const char*, const char*);
    void installWriteGuard();
    friend class Transaction;
    friend class ReadTransaction;
    // What a read-only statement of at most one row (a sum, a count) gave earlier in the same
    // read pass, while nothing has been written since; nothing otherwise.
    struct PassResult {
        std::vector<FieldInfo> fields;
        std::vector<std::vector<Variant>> rows;
    };
    using PassKey = std::pair<std::string, Parameters>;  // statement text and values
    const PassResult* passResult(const PassKey& statement);
    std::vector<std::string> tableNames();
    TableDef readTableDef(const std::string& tableName);
    // The fields of a prepared statement from its column firstField on; false when one of them is
    // not a plain column of a table.
    bool describeColumns(sqlite3_stmt* statement, int firstField, const std::string& translated,
                         std::vector<FieldInfo>& fields, std::vector<bool>& typeKnown);

    sqlite3* connection_;
    std::unique_ptr<StatementCache> statements_;
    std::string path_;
    Workspace* workspace_;
    std::map<std::string, TableDef, IgnoreCaseLess> tableCache_;
    // The definition asked for last, valid while the schema version it was read at holds.
    const TableDef* lastTable_ = nullptr;
    unsigned long lastTableVersion_ = 0;
    std::map<std::string, bool> readOnlyShapes_;
    std::map<std::string, std::vector<std::optional<Variant>>, IgnoreCaseLess> newRowValues_;  // by table
    int transactionDepth_ = 0;
    unsigned long schemaVersion_ = 0;
    std::uint64_t serial_;
    bool rollbackOnly_ = false;
    bool readPass_ = false;
    std::map<PassKey, PassResult> passResults_;
    long long passChanges_ = 0;
    unsigned long passSchema_ = 0;
    std::function<bool()> writeGuard_;  // empty once it passed
};

// Rows that belong together: commits explicitly, rolls back when left without commit. A
// transaction opened inside another joins it; a rollback of the inner one dooms the outer one.
class Transaction {
public:
    explicit Transaction(Database& database);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& database_;
    bool done_ = false;
};

// Many reads under one lock: the statements inside share one read transaction instead of each
// taking the file's lock and checking it anew, and a total asked for again is not summed again. Inside a transaction
// already it adds nothing; a transaction begun inside it writes and commits as usual, which also ends the read. Meant
// for passes that read: a failure to commit a write made under it outside a transaction is lost.
class ReadTransaction {
public:
    explicit ReadTransaction(Database& database);
    ~ReadTransaction();
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

private:
    Database& database_;
    bool began_ = false;
};

// The engine's own bookkeeping tables ("kp_" and a name), as against the tables of the data.
bool isBookkeeping(std::string_view table);

// Raises the engine error that matches an SQLite result code.
[[noreturn]] void raiseSqliteError(sqlite3* connection, int code, const std::string& source);

}  // namespace kapred::db
