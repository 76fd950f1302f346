#include "data/engine/statement_cache.h"

#include <sqlite3.h>

#include "data/values/error.h"

namespace kapred::db {

namespace {

constexpr std::size_t kMostStatements = 256;

}  // namespace

sqlite3_stmt* StatementCache::find(const std::string& sql) {
    if (const auto found = statements_.find(sql); found != statements_.end()) {
        return found->second;
    }
    if (statements_.size() >= kMostStatements) {
        clear();
    }
    sqlite3_stmt* statement = nullptr;
    if (const int rc = sqlite3_prepare_v2(connection_, sql.c_str(), -1, &statement, nullptr); rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        // A write refused for now (see Database::guardFirstWrite) may pass the next time.
        if (rc == SQLITE_AUTH) {
            return nullptr;
        }
        statement = nullptr;
    }
    statements_.emplace(sql, statement);
    return statement;
}

void StatementCache::clear() {
    for (auto& [text, statement] : statements_) {
        sqlite3_finalize(statement);
    }
    statements_.clear();
}

void bindParameters(sqlite3_stmt* statement, const Parameters& values, const std::string& source, int firstMark) {
    const int marks = sqlite3_bind_parameter_count(statement);
    if (marks != firstMark - 1 + static_cast<int>(values.size())) {
        throw Error(err::kProgram, source,
                    "La instrucción SQL tiene " + std::to_string(marks - firstMark + 1) +
                        " valores por indicar y se dieron " + std::to_string(values.size()) + ".");
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        bindValue(statement, firstMark + static_cast<int>(i), values[i].stored());
    }
}

StatementUse::StatementUse(sqlite3_stmt* statement, const Parameters& values, const std::string& source)
    : statement_(statement) {
    bindParameters(statement_, values, source);
}

StatementUse::~StatementUse() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

}  // namespace kapred::db
