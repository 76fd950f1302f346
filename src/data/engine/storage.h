#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "data/engine/schema.h"
#include "data/values/variant.h"

struct sqlite3_stmt;

namespace kapred::db {

// A value in the form SQLite keeps it: Null, an integer, a double or a text.
using StoredValue = std::variant<std::monostate, std::int64_t, double, std::string>;

// How each type is kept: Boolean 1/0, Integer and Long as integers, Currency as a count of
// ten-thousandths, Double as a double, Date as ISO text ("2004-12-31" or with " hh:mm:ss"),
// Text as UTF-8.
Variant readColumn(sqlite3_stmt* statement, int column, DataType type);

// The stored form of a value written into a field. Raises the engine's errors: 3421 for a value
// that cannot become the field's type, 3349 for a number too large for it, 3163 for a text
// longer than the field, 3315 for an empty text where none is allowed, 3314 for a Null in a
// required field.
StoredValue toStored(const FieldDef& field, const Variant& value, bool insistOnRequired = true);

// The value as the field holds it once stored, so that a field reads back with its own type after
// an assignment: "1.234,5" put into a currency field reads back as the amount 1234,5.
Variant heldValue(const FieldDef& field, const StoredValue& stored);
// The field's default as a value of its type; nothing when it has none.
std::optional<Variant> defaultValueOf(const FieldDef& field);

// The value as a criteria expression compares it: amounts in units, not ten-thousandths.
StoredValue toComparable(const Variant& value);

void bindValue(sqlite3_stmt* statement, int parameter, const StoredValue& value);

// The SQL literal of a field's default value ("0", "''"), empty when it has none.
std::string defaultLiteral(const FieldDef& field);

// Characters of a UTF-8 text.
std::size_t characterCount(const std::string& text);

}  // namespace kapred::db
