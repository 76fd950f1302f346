#include "data/engine/dialect.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>

#include "data/values/datetime.h"

namespace kapred::db {

bool isWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

namespace {

// Keywords are ASCII; this is much cheaper than the locale's conversion.
char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Calls visit(position) for every character outside literals and bracketed names, with the
// parenthesis depth at that point.
template <typename Visit>
void scanTopLevel(std::string_view sql, Visit visit) {
    int depth = 0;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'' || c == '"') {
            const auto close = sql.find(c, i + 1);
            i = close == std::string_view::npos ? sql.size() : close;
        } else if (c == '[') {
            const auto close = sql.find(']', i + 1);
            i = close == std::string_view::npos ? sql.size() : close;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')') {
            --depth;
        } else if (!visit(i, depth)) {
            return;
        }
    }
}

bool keywordAt(std::string_view sql, std::size_t at, std::string_view keyword) {
    if (at + keyword.size() > sql.size()) {
        return false;
    }
    for (std::size_t k = 0; k < keyword.size(); ++k) {
        if (upperAscii(sql[at + k]) != keyword[k]) {
            return false;
        }
    }
    const bool startsWord = at == 0 || !isWordChar(sql[at - 1]);
    const bool endsWord = at + keyword.size() == sql.size() || !isWordChar(sql[at + keyword.size()]);
    return startsWord && endsWord;
}

// Latin-1 letters in UTF-8 are two bytes, C3 followed by 80-BF; upper and lower case differ by
// 0x20 in the second byte (except the multiplication and division signs).
std::string changeCase(std::string_view text, bool upper) {
    std::string result(text);
    for (std::size_t i = 0; i < result.size(); ++i) {
        auto c = static_cast<unsigned char>(result[i]);
        if (c < 0x80) {
            result[i] = static_cast<char>(upper ? std::toupper(c) : std::tolower(c));
        } else if (c == 0xC3 && i + 1 < result.size()) {
            auto next = static_cast<unsigned char>(result[i + 1]);
            if (upper && next >= 0xA0 && next <= 0xBE && next != 0xB7) {
                result[i + 1] = static_cast<char>(next - 0x20);
            } else if (!upper && next >= 0x80 && next <= 0x9E && next != 0x97) {
                result[i + 1] = static_cast<char>(next + 0x20);
            }
            ++i;
        }
    }
    return result;
}

// A piece of a statement: a word, a bracketed name (without its brackets), a quoted text or one
// punctuation character.
struct Token {
    enum class Kind { Word, Bracketed, Text, Punctuation } kind;
    std::string text;

    bool isName() const { return kind == Kind::Word || kind == Kind::Bracketed; }
    bool isWord(std::string_view keyword) const {
        return kind == Kind::Word && text.size() == keyword.size() &&
               std::equal(text.begin(), text.end(), keyword.begin(),
                          [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; });
    }
};

std::vector<Token> tokenize(std::string_view sql) {
    std::vector<Token> tokens;
    for (std::size_t i = 0; i < sql.size();) {
        const char c = sql[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (isWordChar(c)) {
            const std::size_t start = i;
            while (i < sql.size() && isWordChar(sql[i])) {
                ++i;
            }
            tokens.push_back({Token::Kind::Word, std::string(sql.substr(start, i - start))});
        } else if (c == '[' || c == '\'' || c == '"') {
            const char close = c == '[' ? ']' : c;
            const auto end = std::min(sql.find(close, i + 1), sql.size());
            tokens.push_back(
                {c == '[' ? Token::Kind::Bracketed : Token::Kind::Text, std::string(sql.substr(i + 1, end - i - 1))});
            i = end + 1;
        } else {
            tokens.push_back({Token::Kind::Punctuation, std::string(1, c)});
            ++i;
        }
    }
    return tokens;
}

// DISTINCT? FUNCTION ( [table .] column ) [[AS] alias]
std::optional<AggregateItem> aggregateItem(const std::vector<Token>& tokens) {
    std::size_t i = 0;
    if (i < tokens.size() && (tokens[i].isWord("DISTINCT") || tokens[i].isWord("ALL"))) {
        ++i;
    }
    if (i + 1 >= tokens.size() || tokens[i].kind != Token::Kind::Word || tokens[i + 1].text != "(") {
        return std::nullopt;
    }
    AggregateItem item{lowerCase(tokens[i].text), {}, {}};
    if (item.function != "sum" && item.function != "max" && item.function != "min" && item.function != "first" &&
        item.function != "last" && item.function != "count") {
        return std::nullopt;
    }
    i += 2;
    if (i + 2 < tokens.size() && tokens[i].isName() && tokens[i + 1].text == ".") {
        item.table = tokens[i].text;
        i += 2;
    }
    if (i + 1 >= tokens.size() || !(tokens[i].isName() || tokens[i].text == "*") || tokens[i + 1].text != ")") {
        return std::nullopt;
    }
    item.column = tokens[i].text;
    i += 2;
    if (i < tokens.size() && tokens[i].isWord("AS")) {
        ++i;
    }
    if (i < tokens.size() && tokens[i].isName()) {
        ++i;
    }
    return i == tokens.size() ? std::optional<AggregateItem>(item) : std::nullopt;
}

std::string quoted(std::string_view text, char quote) {
    std::string result(1, quote);
    for (char c : text) {
        result += c;
        if (c == quote) {
            result += quote;
        }
    }
    return result + quote;
}

const char* textArgument(sqlite3_value* value) {
    return reinterpret_cast<const char*>(sqlite3_value_text(value));
}

void sqlUpper(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_text(context, upperCase(textArgument(argv[0])).c_str(), -1, SQLITE_TRANSIENT);
}

void sqlLower(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_text(context, lowerCase(textArgument(argv[0])).c_str(), -1, SQLITE_TRANSIENT);
}

void sqlVal(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_double(context, val(textArgument(argv[0])));
}

// CCur(number): the exact amount as the engine stores it, in ten-thousandths.
void sqlCCur(sqlite3_context* context, int, sqlite3_value** argv) {
    switch (sqlite3_value_type(argv[0])) {
        case SQLITE_NULL:
            sqlite3_result_null(context);
            return;
        case SQLITE_INTEGER:
            sqlite3_result_int64(context, sqlite3_value_int64(argv[0]) * 10000);
            return;
        default: {
            const double scaled = std::round(val(textArgument(argv[0])) * 10000.0);
            sqlite3_result_int64(context, static_cast<sqlite3_int64>(scaled));
        }
    }
}

// Format(date, mask) for the date masks the program uses: yyyy, yy, mm, dd, m, d.
void sqlFormat(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    std::optional<DateTime> date;
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
        const std::string text = textArgument(argv[0]);
        date = fromIso(text);
        if (!date) {
            date = parseDate(text);
        }
        if (!date) {
            sqlite3_result_text(context, text.c_str(), -1, SQLITE_TRANSIENT);
            return;
        }
    } else {
        date = fromSerial(sqlite3_value_double(argv[0]));
    }
    if (!date) {
        sqlite3_result_null(context);
        return;
    }
    const std::string mask = upperCase(textArgument(argv[1]));
    const auto ymd = date->date();
    const int y = static_cast<int>(ymd.year());
    const auto m = static_cast<unsigned>(ymd.month());
    const auto d = static_cast<unsigned>(ymd.day());
    std::string out;
    char buffer[8];
    for (std::size_t i = 0; i < mask.size();) {
        if (mask.compare(i, 4, "YYYY") == 0) {
            std::snprintf(buffer, sizeof buffer, "%04d", y);
            i += 4;
        } else if (mask.compare(i, 2, "YY") == 0) {
            std::snprintf(buffer, sizeof buffer, "%02d", y % 100);
            i += 2;
        } else if (mask.compare(i, 2, "MM") == 0 || mask.compare(i, 2, "DD") == 0) {
            std::snprintf(buffer, sizeof buffer, "%02u", mask[i] == 'M' ? m : d);
            i += 2;
        } else if (mask[i] == 'M' || mask[i] == 'D') {
            std::snprintf(buffer, sizeof buffer, "%u", mask[i] == 'M' ? m : d);
            i += 1;
        } else {
            buffer[0] = mask[i];
            buffer[1] = '\0';
            i += 1;
        }
        out += buffer;
    }
    sqlite3_result_text(context, out.c_str(), -1, SQLITE_TRANSIENT);
}

}  // namespace

std::string quoteName(std::string_view name) {
    return quoted(name, '"');
}
std::string quoteText(std::string_view text) {
    return quoted(text, '\'');
}

std::string upperCase(std::string_view text) {
    return changeCase(text, true);
}
std::string lowerCase(std::string_view text) {
    return changeCase(text, false);
}

double val(std::string_view text) {
    // Blanks are skipped anywhere; reading stops at the first character that cannot continue
    // the number. The decimal sign is always the point.
    std::string number;
    bool seenPoint = false;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            continue;
        }
        if ((c == '-' || c == '+') && number.empty()) {
            number += c;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            number += c;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
            number += c;
        } else {
            break;
        }
    }
    if (number.empty() || number == "-" || number == "+" || number == "." || number == "-." || number == "+.") {
        return 0.0;
    }
    return std::strtod(number.c_str(), nullptr);
}

std::string translate(std::string_view sql) {
    std::string out;
    out.reserve(sql.size());
    for (std::size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'' || c == '[') {
            const auto close = sql.find(c == '[' ? ']' : '\'', i + 1);
            const auto end = close == std::string_view::npos ? sql.size() : close + 1;
            out.append(sql.substr(i, end - i));
            i = end - 1;
        } else if (c == '"') {
            const auto close = sql.find('"', i + 1);
            const auto end = close == std::string_view::npos ? sql.size() : close;
            out += '\'';
            for (char inner : sql.substr(i + 1, end - i - 1)) {
                out += inner;
                if (inner == '\'') {
                    out += '\'';
                }
            }
            out += '\'';
            i = end;
        } else {
            out += c;
        }
    }
    // "DELETE * FROM": the star goes.
    if (startsWithKeyword(out, "DELETE")) {
        const auto afterDelete = out.find_first_not_of(" \t\r\n", out.find_first_not_of(" \t\r\n") + 6);
        if (afterDelete != std::string::npos && out[afterDelete] == '*') {
            out.erase(afterDelete, 1);
        }
    }
    return out;
}

bool startsWithKeyword(std::string_view sql, std::string_view keyword) {
    const auto first = sql.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && keywordAt(sql, first, keyword);
}

std::size_t topLevelKeyword(std::string_view sql, std::string_view keyword) {
    std::size_t found = std::string_view::npos;
    const char first = keyword.front();
    scanTopLevel(sql, [&](std::size_t i, int depth) {
        // Only word starts can begin the keyword; most characters are passed at a glance.
        if (depth == 0 && upperAscii(sql[i]) == first && keywordAt(sql, i, keyword)) {
            found = i;
        }
        return found == std::string_view::npos;
    });
    return found;
}

void registerFunctions(sqlite3* connection) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(connection, "ucase", 1, flags, nullptr, sqlUpper, nullptr, nullptr);
    sqlite3_create_function(connection, "lcase", 1, flags, nullptr, sqlLower, nullptr, nullptr);
    sqlite3_create_function(connection, "val", 1, flags, nullptr, sqlVal, nullptr, nullptr);
    sqlite3_create_function(connection, "ccur", 1, flags, nullptr, sqlCCur, nullptr, nullptr);
    sqlite3_create_function(connection, "format", 2, flags, nullptr, sqlFormat, nullptr, nullptr);
}

std::vector<std::optional<AggregateItem>> selectAggregates(std::string_view sql) {
    std::size_t listStart = std::string_view::npos;
    std::size_t listEnd = sql.size();
    scanTopLevel(sql, [&](std::size_t i, int depth) {
        if (depth != 0) {
            return true;
        }
        if (listStart == std::string_view::npos && keywordAt(sql, i, "SELECT")) {
            listStart = i + 6;
        } else if (listStart != std::string_view::npos && i >= listStart && keywordAt(sql, i, "FROM")) {
            listEnd = i;
            return false;
        }
        return true;
    });
    std::vector<std::optional<AggregateItem>> items;
    if (listStart == std::string_view::npos) {
        return items;
    }
    std::string_view list = sql.substr(listStart, listEnd - listStart);
    std::vector<std::string_view> parts;
    std::size_t partStart = 0;
    scanTopLevel(list, [&](std::size_t i, int depth) {
        if (depth == 0 && list[i] == ',') {
            parts.push_back(list.substr(partStart, i - partStart));
            partStart = i + 1;
        }
        return true;
    });
    parts.push_back(list.substr(partStart));

    for (auto part : parts) {
        items.push_back(aggregateItem(tokenize(part)));
    }
    return items;
}

std::vector<std::string> statementTables(std::string_view sql) {
    const auto tokens = tokenize(sql);
    std::vector<std::string> tables;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (!tokens[i].isWord("FROM") && !tokens[i].isWord("JOIN")) {
            continue;
        }
        std::size_t next = i + 1;
        while (next < tokens.size() && tokens[next].text == "(") {
            ++next;
        }
        if (next < tokens.size() && tokens[next].isName()) {
            tables.push_back(tokens[next].text);
        }
    }
    return tables;
}

}  // namespace kapred::db
