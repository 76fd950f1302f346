#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "data/engine/storage.h"

struct sqlite3;
struct sqlite3_stmt;

namespace kapred::db {

// A statement of the program's dialect with its literal values taken out as parameters, so that
// statements that differ only in their values share one prepared statement. Numbers are left in
// place after ORDER BY and GROUP BY (there a number names a column), and statements other than
// SELECT, INSERT, UPDATE and DELETE are left as they are.
struct LiftedStatement {
    std::string text;
    std::vector<StoredValue> values;
};
LiftedStatement liftLiterals(std::string_view sql);

// Prepared statements by their text, kept for the life of the connection.
class StatementCache {
public:
    explicit StatementCache(sqlite3* connection) : connection_(connection) {}
    ~StatementCache() { clear(); }
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // The statement for that text, ready to bind; nothing when SQLite refuses the text.
    sqlite3_stmt* find(const std::string& sql);
    void clear();

private:
    sqlite3* connection_;
    std::unordered_map<std::string, sqlite3_stmt*> statements_;  // null: refused
};

// Use of a cached statement: bound on entry, reset and unbound when done, so that the
// statement never holds the database between uses.
class StatementUse {
public:
    StatementUse(sqlite3_stmt* statement, const std::vector<StoredValue>& values = {});
    ~StatementUse();
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;
    sqlite3_stmt* get() const { return statement_; }

private:
    sqlite3_stmt* statement_;
};

}  // namespace kapred::db
