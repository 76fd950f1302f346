#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace kapred::db {

// The statements the program writes follow the old engine's dialect. translate() turns one into
// what SQLite runs: "DELETE * FROM" loses its star and text between double quotes becomes a
// single-quoted literal. Square brackets, True and the aggregates are understood as they are;
// Format, ucase, lcase, val and CCur are functions registered on every connection.
std::string translate(std::string_view sql);
void registerFunctions(sqlite3* connection);

// For each item of the statement's select list, the aggregate over a single column that it is
// ("SUM(cImporte ) AS cImporte1"), so that the result keeps the column's type. Items that are
// something else, or statements whose list cannot be read, give nothing.
struct AggregateItem {
    std::string function;  // in lower case: sum, max, min, first, last, count
    std::string table;     // when the column was qualified
    std::string column;
};
std::vector<std::optional<AggregateItem>> selectAggregates(std::string_view sql);
// A character of a name, a keyword or a number: letter, digit or underscore.
bool isWordChar(char c);
// Whether the statement starts with the keyword (blanks before it allowed, any case).
bool startsWithKeyword(std::string_view sql, std::string_view keyword);
// Where the keyword first appears outside literals, names and parentheses (npos when nowhere).
std::size_t topLevelKeyword(std::string_view sql, std::string_view keyword);
inline bool hasTopLevelKeyword(std::string_view sql, std::string_view keyword) {
    return topLevelKeyword(sql, keyword) != std::string_view::npos;
}

// Tables named after FROM and JOIN.
std::vector<std::string> statementTables(std::string_view sql);

// A name between double quotes and a text between single quotes, with their own quote
// characters doubled, so that no value changes the statement it is put into.
std::string quoteName(std::string_view name);
std::string quoteText(std::string_view text);

// Old-platform functions, exposed for the values that the program computes itself.
double val(std::string_view text);
std::string upperCase(std::string_view text);
std::string lowerCase(std::string_view text);

}  // namespace kapred::db
