#include "data/engine/storage.h"

#include "data/values/text.h"

#include <sqlite3.h>

#include <cmath>

#include "data/engine/dialect.h"
#include "data/values/error.h"

namespace kapred::db {

namespace {

[[noreturn]] void conversionError(const FieldDef& field) {
    throw Error(err::kConversion, "Field", "Error de conversión de tipo de datos en el campo '" + field.name + "'.");
}

[[noreturn]] void overflowError(const FieldDef& field) {
    throw Error(err::kNumericOverflowInField, "Field", "Desbordamiento numérico en el campo '" + field.name + "'.");
}

// Whole numbers round half to even, as the old platform converted to integers.
std::int64_t wholeNumber(const FieldDef& field, double value, std::int64_t low, std::int64_t high) {
    if (!std::isfinite(value)) {
        overflowError(field);
    }
    const double rounded = std::nearbyint(value);
    if (rounded < static_cast<double>(low) || rounded > static_cast<double>(high)) {
        overflowError(field);
    }
    return static_cast<std::int64_t>(rounded);
}

}  // namespace

std::size_t characterCount(const std::string& text) {
    std::size_t count = 0;
    for (char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

Variant readColumn(sqlite3_stmt* statement, int column, DataType type) {
    const int storage = sqlite3_column_type(statement, column);
    if (storage == SQLITE_NULL) {
        return Variant::null();
    }
    const auto text = [&] {
        return std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                           static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
    };
    const bool isNumber = storage == SQLITE_INTEGER || storage == SQLITE_FLOAT;
    switch (type) {
        case DataType::Boolean:
            return Variant(sqlite3_column_int64(statement, column) != 0);
        case DataType::Integer:
        case DataType::Long: {
            if (storage == SQLITE_FLOAT) {
                return Variant(sqlite3_column_double(statement, column));
            }
            if (storage != SQLITE_INTEGER) {
                return Variant(text());
            }
            const auto whole = sqlite3_column_int64(statement, column);
            if (type == DataType::Integer && whole >= INT16_MIN && whole <= INT16_MAX) {
                return Variant(static_cast<std::int16_t>(whole));
            }
            if (whole >= INT32_MIN && whole <= INT32_MAX) {
                return Variant(static_cast<std::int32_t>(whole));
            }
            return Variant(static_cast<double>(whole));
        }
        case DataType::Currency:
            if (storage == SQLITE_INTEGER) {
                return Variant(Currency::fromScaled(sqlite3_column_int64(statement, column)));
            }
            if (storage == SQLITE_FLOAT) {
                const double scaled = std::round(sqlite3_column_double(statement, column));
                if (std::fabs(scaled) < 9.2e18) {
                    return Variant(Currency::fromScaled(static_cast<std::int64_t>(scaled)));
                }
                return Variant(sqlite3_column_double(statement, column) / Currency::kScale);
            }
            return Variant(text());
        case DataType::Double:
            return isNumber ? Variant(sqlite3_column_double(statement, column)) : Variant(text());
        case DataType::Date: {
            if (isNumber) {
                if (auto date = fromSerial(sqlite3_column_double(statement, column))) {
                    return Variant(*date);
                }
                return Variant(sqlite3_column_double(statement, column));
            }
            const std::string stored = text();
            if (auto date = fromIso(stored)) {
                return Variant(*date);
            }
            return Variant(stored);
        }
        case DataType::Text:
        case DataType::Memo:
            return Variant(text());
    }
    return Variant(text());
}

StoredValue toStored(const FieldDef& field, const Variant& value, bool insistOnRequired) {
    if (value.isNull() || value.isEmpty()) {
        if (field.required && insistOnRequired) {
            throw Error(err::kRequiredNull, "Field",
                        "El campo '" + field.name +
                            "' no puede contener un valor nulo porque la propiedad Required para "
                            "este campo está establecida a True. Escriba un valor en este campo.");
        }
        return std::monostate{};
    }
    switch (field.type) {
        case DataType::Boolean: {
            if (value.type() == Variant::Type::Boolean) {
                return std::int64_t{value.boolean() ? 1 : 0};
            }
            const auto number = value.toDouble();
            if (!number) {
                conversionError(field);
            }
            return std::int64_t{*number != 0.0 ? 1 : 0};
        }
        case DataType::Integer:
        case DataType::Long: {
            const auto number = value.toDouble();
            if (!number) {
                conversionError(field);
            }
            return field.type == DataType::Integer ? wholeNumber(field, *number, INT16_MIN, INT16_MAX)
                                                   : wholeNumber(field, *number, INT32_MIN, INT32_MAX);
        }
        case DataType::Currency: {
            // A text that reads as an amount is numeric: only a refusal asks why.
            const auto amount = value.toCurrency();
            if (!amount && value.type() == Variant::Type::Text && !isNumeric(value.text())) {
                conversionError(field);
            }
            if (!amount) {
                overflowError(field);
            }
            return amount->scaled();
        }
        case DataType::Double: {
            const auto number = value.toDouble();
            if (!number) {
                conversionError(field);
            }
            return *number;
        }
        case DataType::Date: {
            const auto date = value.toDate();
            if (!date) {
                conversionError(field);
            }
            return toIso(*date);
        }
        case DataType::Text:
        case DataType::Memo: {
            std::string text = value.toText();
            if (!isValidUtf8(text)) {
                throw Error(err::kConversion, "Field",
                            "El campo '" + field.name + "' no admite ese texto: tiene bytes que no forman caracteres.");
            }
            if (text.empty() && !field.allowZeroLength) {
                throw Error(err::kZeroLength, "Field",
                            "El campo '" + field.name + "' no puede ser una cadena de longitud cero.");
            }
            if (field.type == DataType::Text && field.size > 0 &&
                characterCount(text) > static_cast<std::size_t>(field.size)) {
                throw Error(err::kFieldTooSmall, "Field",
                            "El campo es demasiado pequeño para aceptar la cantidad de datos que "
                            "intentó agregar. Intente insertar o pegar menos datos.");
            }
            return text;
        }
    }
    return std::monostate{};
}

StoredValue toComparable(const Variant& value) {
    switch (value.type()) {
        case Variant::Type::Empty:
        case Variant::Type::Null:
            return std::monostate{};
        case Variant::Type::Integer:
            return std::int64_t{value.integer()};
        case Variant::Type::Long:
            return std::int64_t{value.longValue()};
        case Variant::Type::Boolean:
            return std::int64_t{value.boolean() ? 1 : 0};
        case Variant::Type::Currency:
            if (value.currency().scaled() % Currency::kScale == 0) {
                return value.currency().scaled() / Currency::kScale;
            }
            return value.currency().toDouble();
        case Variant::Type::Double:
            return value.doubleValue();
        case Variant::Type::Date:
            return toIso(value.date());
        case Variant::Type::Text:
            return value.text();
    }
    return std::monostate{};
}

Variant heldValue(const FieldDef& field, const StoredValue& stored) {
    if (const auto* whole = std::get_if<std::int64_t>(&stored)) {
        switch (field.type) {
            case DataType::Boolean:
                return Variant(*whole != 0);
            case DataType::Integer:
                return Variant(static_cast<std::int16_t>(*whole));
            case DataType::Long:
                return Variant(static_cast<std::int32_t>(*whole));
            case DataType::Currency:
                return Variant(Currency::fromScaled(*whole));
            default:
                return Variant(static_cast<double>(*whole));
        }
    }
    if (const auto* number = std::get_if<double>(&stored)) {
        return Variant(*number);
    }
    if (const auto* text = std::get_if<std::string>(&stored)) {
        if (field.type == DataType::Date) {
            if (auto date = fromIso(*text)) {
                return Variant(*date);
            }
        }
        return Variant(*text);
    }
    return Variant::null();
}

std::optional<Variant> defaultValueOf(const FieldDef& field) {
    if (!field.defaultValue) {
        return std::nullopt;
    }
    // Numeric defaults are kept as the engine wrote them: a decimal point, no grouping.
    const NumberFormat kept{'.', ','};
    const Variant text(*field.defaultValue);
    std::optional<Variant> value;
    switch (field.type) {
        case DataType::Text:
        case DataType::Memo:
            value = text;
            break;
        case DataType::Date:
            if (auto date = text.toDate()) {
                value = Variant(*date);
            }
            break;
        case DataType::Currency:
            if (auto amount = text.toCurrency(kept)) {
                value = Variant(*amount);
            }
            break;
        default:
            if (auto number = text.toDouble(kept)) {
                value = Variant(*number);
            }
    }
    if (!value) {
        return std::nullopt;
    }
    return heldValue(field, toStored(field, *value, false));
}

void bindValue(sqlite3_stmt* statement, int parameter, const StoredValue& value) {
    if (const auto* whole = std::get_if<std::int64_t>(&value)) {
        sqlite3_bind_int64(statement, parameter, *whole);
    } else if (const auto* number = std::get_if<double>(&value)) {
        sqlite3_bind_double(statement, parameter, *number);
    } else if (const auto* text = std::get_if<std::string>(&value)) {
        sqlite3_bind_text(statement, parameter, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
    } else {
        sqlite3_bind_null(statement, parameter);
    }
}

std::string defaultLiteral(const FieldDef& field) {
    if (!field.defaultValue) {
        return {};
    }
    std::string value = *field.defaultValue;
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    switch (field.type) {
        case DataType::Text:
        case DataType::Memo:
        case DataType::Date:
            return quoteText(value);
        default: {
            FieldDef plain;
            plain.name = field.name;
            plain.type = field.type;
            const auto stored = toStored(plain, Variant(value));
            if (const auto* whole = std::get_if<std::int64_t>(&stored)) {
                return std::to_string(*whole);
            }
            if (const auto* number = std::get_if<double>(&stored)) {
                char buffer[40];
                std::snprintf(buffer, sizeof buffer, "%.17g", *number);
                return buffer;
            }
            return {};
        }
    }
}

}  // namespace kapred::db
