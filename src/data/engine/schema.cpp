#include "data/engine/schema.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace kapred::db {

namespace {

// Names are ASCII; a plain comparison is much cheaper than the locale's.
char folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return folded(x) == folded(y); });
}

bool IgnoreCaseLess::operator()(std::string_view a, std::string_view b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return folded(x) < folded(y); });
}

const FieldDef* TableDef::field(std::string_view fieldName) const {
    for (const auto& f : fields) {
        if (equalsIgnoreCase(f.name, fieldName)) {
            return &f;
        }
    }
    return nullptr;
}

const IndexDef* TableDef::index(std::string_view indexName) const {
    for (const auto& i : indexes) {
        if (equalsIgnoreCase(i.name, indexName)) {
            return &i;
        }
    }
    return nullptr;
}

int storageSize(DataType type, int declaredSize) {
    switch (type) {
        case DataType::Boolean:
            return 1;
        case DataType::Integer:
            return 2;
        case DataType::Long:
            return 4;
        case DataType::Currency:
        case DataType::Double:
        case DataType::Date:
            return 8;
        case DataType::Text:
            return declaredSize;
        case DataType::Memo:
            return 0;
    }
    return 0;
}

DataType typeFromDeclaration(std::string_view declaration, int* size) {
    std::string upper;
    for (char c : declaration) {
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    const auto paren = upper.find('(');
    const std::string base = upper.substr(0, paren);
    int length = 0;
    if (paren != std::string::npos) {
        std::from_chars(upper.data() + paren + 1, upper.data() + upper.size(), length);
    }
    auto result = DataType::Text;
    if (base == "BOOLEAN" || base == "BIT" || base == "YESNO") {
        result = DataType::Boolean;
    } else if (base == "SHORT" || base == "SMALLINT") {
        result = DataType::Integer;
    } else if (base == "LONG" || base == "INTEGER" || base == "INT") {
        result = DataType::Long;
    } else if (base == "CURRENCY" || base == "MONEY") {
        result = DataType::Currency;
    } else if (base == "DOUBLE" || base == "REAL" || base == "FLOAT") {
        result = DataType::Double;
    } else if (base == "DATETIME" || base == "DATE") {
        result = DataType::Date;
    } else if (base == "MEMO") {
        result = DataType::Memo;
    } else if (paren == std::string::npos) {
        length = 255;
    }
    if (size != nullptr) {
        *size = storageSize(result, length);
    }
    return result;
}

std::string declarationOf(const FieldDef& field) {
    switch (field.type) {
        case DataType::Boolean:
            return "BOOLEAN";
        case DataType::Integer:
            return "SHORT";
        case DataType::Long:
            return "LONG";
        case DataType::Currency:
            return "CURRENCY";
        case DataType::Double:
            return "DOUBLE";
        case DataType::Date:
            return "DATETIME";
        case DataType::Text:
            return "TEXT(" + std::to_string(field.size > 0 ? field.size : 255) + ")";
        case DataType::Memo:
            return "MEMO";
    }
    return "TEXT(255)";
}

}  // namespace kapred::db
