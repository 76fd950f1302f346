#pragma once

#include <string>
#include <unordered_map>

#include "data/engine/parameters.h"

struct sqlite3;
struct sqlite3_stmt;

namespace kapred::db {

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

// Binds the values to the statement's marks from firstMark on. A statement with another number of
// marks is a fault of the program that wrote it: it raises rather than run with a mark unbound.
void bindParameters(sqlite3_stmt* statement, const Parameters& values, const std::string& source, int firstMark = 1);

// Use of a cached statement: bound on entry (or by the user), reset and unbound when done, so
// that the statement never holds the database between uses.
class StatementUse {
public:
    explicit StatementUse(sqlite3_stmt* statement) : statement_(statement) {}
    StatementUse(sqlite3_stmt* statement, const Parameters& values, const std::string& source);
    ~StatementUse();
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;
    sqlite3_stmt* get() const { return statement_; }

private:
    sqlite3_stmt* statement_;
};

}  // namespace kapred::db
