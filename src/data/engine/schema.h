#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kapred::db {

// Type codes of the database engine; the validation switches on them.
enum class DataType : int {
    Boolean = 1,
    Integer = 3,
    Long = 4,
    Currency = 5,
    Double = 7,
    Date = 8,
    Text = 10,
    Memo = 12,
};

// Field attributes.
inline constexpr long kFixedField = 1;
inline constexpr long kVariableField = 2;
// Table attribute of the engine's own bookkeeping tables; ordinary local tables have 0.
inline constexpr long kSystemObject = static_cast<long>(0x80000002L);
// Relation attribute: referential integrity is not enforced.
inline constexpr long kRelationDontEnforce = 2;

struct FieldDef {
    std::string name;
    DataType type = DataType::Text;
    int size = 0;  // characters for text, bytes otherwise
    long attributes = 0;
    std::optional<std::string> defaultValue;  // as the engine keeps it: "0", "" ...
    bool required = false;
    bool allowZeroLength = false;
    std::string validationRule;
    std::string validationText;
    std::string foreignName;
};

struct IndexDef {
    std::string name;
    std::vector<std::string> fields;
    bool primary = false;
    bool unique = false;
    bool required = false;
    bool ignoreNulls = false;
    bool clustered = false;
};

struct TableDef {
    std::string name;
    long attributes = 0;
    std::vector<FieldDef> fields;
    std::vector<IndexDef> indexes;

    // Field or index by name, compared without regard to case; null when absent.
    const FieldDef* field(std::string_view fieldName) const;
    const IndexDef* index(std::string_view indexName) const;
};

struct RelationDef {
    std::string name;
    std::string table;         // primary table
    std::string foreignTable;  // the table that refers to it
    long attributes = 0;
    std::vector<std::pair<std::string, std::string>> fields;  // primary field, foreign field
};

// Size in bytes of the fixed-size types; text fields give their declared length.
int storageSize(DataType type, int declaredSize);
// The type code behind a declared column type ("CURRENCY", "TEXT(4)", "LONG"...), and back.
DataType typeFromDeclaration(std::string_view declaration, int* size = nullptr);
std::string declarationOf(const FieldDef& field);

bool equalsIgnoreCase(std::string_view a, std::string_view b);

// Orders names without regard to case, so that maps find a name however it is written.
struct IgnoreCaseLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

}  // namespace kapred::db
