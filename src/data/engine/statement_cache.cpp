#include "data/engine/statement_cache.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "data/engine/dialect.h"

namespace kapred::db {

namespace {

constexpr std::size_t kMostStatements = 256;

// Where literals stop being lifted: the first ORDER BY or GROUP BY outside parentheses.
std::size_t liftingEnd(std::string_view sql) {
    // Most statements have neither; a quick look spares the full scans.
    const auto mentions = [sql](char lower, char upper) {
        return sql.find(lower) != std::string_view::npos || sql.find(upper) != std::string_view::npos;
    };
    std::size_t end = sql.size();
    if (mentions('Y', 'y')) {
        end = std::min({end, topLevelKeyword(sql, "ORDER"), topLevelKeyword(sql, "GROUP")});
    }
    return end;
}

}  // namespace

LiftedStatement liftLiterals(std::string_view sql) {
    LiftedStatement lifted;
    const bool liftable = startsWithKeyword(sql, "SELECT") || startsWithKeyword(sql, "INSERT") ||
                          startsWithKeyword(sql, "UPDATE") || startsWithKeyword(sql, "DELETE");
    const std::size_t end = liftable ? liftingEnd(sql) : 0;
    lifted.text.reserve(sql.size());
    const auto parameter = [&](StoredValue value) {
        lifted.values.push_back(std::move(value));
        lifted.text += "?" + std::to_string(lifted.values.size());
    };
    for (std::size_t i = 0; i < sql.size();) {
        const char c = sql[i];
        if (c == '[' || c == '"') {
            const char close = c == '[' ? ']' : '"';
            const auto stop = std::min(sql.find(close, i + 1), sql.size() - 1);
            lifted.text.append(sql.substr(i, stop - i + 1));
            i = stop + 1;
        } else if (c == '\'') {
            std::string text;
            std::size_t j = i + 1;
            for (; j < sql.size(); ++j) {
                if (sql[j] == '\'' && j + 1 < sql.size() && sql[j + 1] == '\'') {
                    text += '\'';
                    ++j;
                } else if (sql[j] == '\'') {
                    break;
                } else {
                    text += sql[j];
                }
            }
            if (i < end && j < sql.size()) {
                parameter(text);
            } else {
                lifted.text.append(sql.substr(i, std::min(j, sql.size() - 1) - i + 1));
            }
            i = j + 1;
        } else if (std::isdigit(static_cast<unsigned char>(c)) && (i == 0 || !isWordChar(sql[i - 1])) && i < end) {
            std::size_t j = i;
            while (j < sql.size() && std::isdigit(static_cast<unsigned char>(sql[j]))) {
                ++j;
            }
            bool decimal = false;
            if (j + 1 < sql.size() && sql[j] == '.' && std::isdigit(static_cast<unsigned char>(sql[j + 1]))) {
                decimal = true;
                ++j;
                while (j < sql.size() && std::isdigit(static_cast<unsigned char>(sql[j]))) {
                    ++j;
                }
            }
            const std::string number(sql.substr(i, j - i));
            // A number run into letters ("1e5", "2x") is left for SQLite to judge.
            if ((j < sql.size() && isWordChar(sql[j])) || number.size() > 18) {
                lifted.text += number;
            } else if (decimal) {
                parameter(std::strtod(number.c_str(), nullptr));
            } else {
                parameter(static_cast<std::int64_t>(std::strtoll(number.c_str(), nullptr, 10)));
            }
            i = j;
        } else {
            lifted.text += c;
            ++i;
        }
    }
    return lifted;
}

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

StatementUse::StatementUse(sqlite3_stmt* statement, const std::vector<StoredValue>& values) : statement_(statement) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        bindValue(statement_, static_cast<int>(i + 1), values[i]);
    }
}

StatementUse::~StatementUse() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

}  // namespace kapred::db
