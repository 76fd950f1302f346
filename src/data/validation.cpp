#include "data/validation.h"

#include "data/windows1252.h"

#include <chrono>
#include <cmath>
#include <optional>

#include "data/engine/storage.h"
#include "data/values/error.h"
#include "model/tables/captions.h"

namespace kapred {

namespace {

using db::DataType;

[[noreturn]] void unknownType(const char* source) {
    throw Error(err::kProgram, source, "Tipo de dato desconocido");
}

bool isNumericValue(const Variant& value, NumberFormat format) {
    switch (value.type()) {
        case Variant::Type::Integer:
        case Variant::Type::Long:
        case Variant::Type::Currency:
        case Variant::Type::Double:
        case Variant::Type::Boolean:
            return true;
        case Variant::Type::Text:
            return isNumeric(value.text(), format);
        default:
            return false;
    }
}

// The value as a date: a date, a dd/mm/yyyy text, or the empty text, which the program stores
// as the date serial 1.
std::optional<DateTime> asDate(const Variant& value) {
    if (value.type() == Variant::Type::Text && value.text().empty()) {
        return fromSerial(1);
    }
    if (value.type() == Variant::Type::Date || value.type() == Variant::Type::Text) {
        return value.toDate();
    }
    return std::nullopt;
}

bool between(double value, double low, double high) {
    return low <= value && value <= high;
}

// The text of a bound or value as the messages show it.
std::string shown(const Variant& value, NumberFormat format) {
    return value.toText(format);
}

// The day of a value that is a date of the years 0 to 9999: days of those years order as their
// yyyymmdd texts do, without writing the texts.
std::optional<std::chrono::sys_days> orderedDay(const Variant& value) {
    const auto date = asDate(value);
    if (!date) {
        return std::nullopt;
    }
    const int year = static_cast<int>(date->date().year());
    if (year < 0 || year > 9999) {
        return std::nullopt;
    }
    return date->day;
}

std::string yyyymmdd(const Variant& value) {
    const auto date = asDate(value);
    if (!date) {
        return value.toText();
    }
    const std::string iso = toIso(*date);
    return iso.substr(0, 4) + iso.substr(5, 2) + iso.substr(8, 2);
}

// The value in the column's own type, when it is a text that reads as the amount or the date the
// column asks for: such a text passes the type check, and the checks and the save that follow
// take the value read here. An empty date stays a text, which a date asked for within bounds
// refuses.
std::optional<Variant> typedValue(const Variant& value, DataType type, NumberFormat format) {
    if (value.type() != Variant::Type::Text || value.text().empty()) {
        return std::nullopt;
    }
    if (type == DataType::Currency) {
        if (const auto amount = parseCurrency(value.text(), format)) {
            return Variant(*amount);
        }
    } else if (type == DataType::Date) {
        if (const auto date = value.toDate()) {
            return Variant(*date);
        }
    }
    return std::nullopt;
}

}  // namespace

bool ValidateValueFromDatabaseType(const Variant& value, DataType type, NumberFormat format) {
    switch (type) {
        case DataType::Double:
        case DataType::Currency:
            return isNumericValue(value, format);
        case DataType::Date:
            if (value.type() == Variant::Type::Text && value.text().empty()) {
                return true;
            }
            return (value.type() == Variant::Type::Date || value.type() == Variant::Type::Text) &&
                   value.toDate().has_value();
        case DataType::Integer:
        case DataType::Long: {
            if (!isNumericValue(value, format)) {
                return false;
            }
            // Whole when the value, as an amount, equals its integer part; a number too large
            // for an amount is judged on its own digits.
            if (const auto amount = value.toCurrency(format)) {
                return amount->scaled() % Currency::kScale == 0;
            }
            const double number = value.toDouble(format).value_or(0.5);
            return std::trunc(number) == number;
        }
        case DataType::Text:
        case DataType::Memo:
            // Text reaches the single-byte files unchanged, or not at all.
            return !value.isNull() && !value.isEmpty() && fitsWindows1252(value.toText(format));
        default:
            unknownType("ValidateValueFromDatabaseType");
    }
}

bool bValidateIntervalFromDatabaseType(const Variant& value, DataType type, NumberFormat format) {
    switch (type) {
        case DataType::Double: {
            const auto number = value.toDouble(format);
            return number && -1e16 < *number && *number < 1e16;
        }
        case DataType::Currency: {
            // An amount must also fit the exact amount type, or it could never be stored. A text
            // that reads as one lies well within the bounds below, so it is read once.
            if (value.type() == Variant::Type::Text) {
                return value.toCurrency(format).has_value();
            }
            const auto number = value.toDouble(format);
            return number && -1e16 < *number && *number < 1e16 && value.toCurrency(format).has_value();
        }
        case DataType::Date: {
            const auto date = asDate(value);
            return date && DateTime::fromDate(1800, 1, 1) <= *date && date->day <= DateTime::fromDate(2010, 12, 31).day;
        }
        case DataType::Integer: {
            const auto number = value.toDouble(format);
            return number && between(*number, -32768, 32767);
        }
        case DataType::Long: {
            const auto number = value.toDouble(format);
            return number && between(*number, -99999999, 99999999);
        }
        case DataType::Text:
        case DataType::Memo:
            return db::characterCount(value.toText(format)) <= 256;
        default:
            unknownType("bValidateIntervalFromDatabaseType");
    }
}

Variant vGetBoundFromDatabaseType(DataType type, int which) {
    const auto pick = [which](Variant maximum, Variant minimum, Variant byDefault) {
        return which == kBoundMaximum ? maximum : which == kBoundMinimum ? minimum : byDefault;
    };
    switch (type) {
        case DataType::Double:
        case DataType::Currency:
            return pick(99999999999.99, -99999999999.99, 0.0);
        case DataType::Date:
            return pick("20101231", "19800101", "19800101");
        case DataType::Integer:
            return pick(std::int32_t{32767}, std::int32_t{-32768}, std::int32_t{0});
        case DataType::Long:
            return pick(std::int32_t{99999999}, std::int32_t{-99999999}, std::int32_t{0});
        case DataType::Text:
        case DataType::Memo:
            return pick(std::int32_t{255}, std::int32_t{0}, std::int32_t{255});
        default:
            unknownType("bValidateIntervalFromDatabaseType");
    }
}

std::string sDataTypeName(DataType type) {
    switch (type) {
        case DataType::Integer:
        case DataType::Long:
            return sGetStringConComilla("Entero", 2);
        case DataType::Currency:
        case DataType::Double:
            return sGetStringConComilla("Numérico", 2);
        case DataType::Date:
            return sGetStringConComilla("Fecha", 2);
        case DataType::Text:
            return sGetStringConComilla("Texto", 2);
        default:
            return {};
    }
}

bool bValidateDataTypeGeneric(BusinessObject& object, db::Database& database, NumberFormat format) {
    InconsistencyList list;
    const auto& fields = database.tableDef(object.Entity->sEntityName()).fields;
    for (std::size_t position = 0; position < fields.size(); ++position) {
        const auto& field = fields[position];
        const Variant& value = object.Entity->vGetFieldValue(field.name, position);
        if (auto typed = typedValue(value, field.type, format)) {
            object.Entity->SetTypedValue(field.name, position, std::move(*typed));
        } else if (!ValidateValueFromDatabaseType(value, field.type, format)) {
            AddInconsistency(list, field.name, sDataTypeName(field.type));
        }
    }
    object.g_vecErroresInconsistencia = list;
    return list.isNull();
}

bool bValidateIntervalGeneric(BusinessObject& object, db::Database& database, NumberFormat format) {
    InconsistencyList list;
    const auto& fields = database.tableDef(object.Entity->sEntityName()).fields;
    for (std::size_t position = 0; position < fields.size(); ++position) {
        const auto& field = fields[position];
        if (!bValidateIntervalFromDatabaseType(object.Entity->vGetFieldValue(field.name, position), field.type,
                                               format)) {
            AddInconsistency(list, field.name,
                             shown(vGetBoundFromDatabaseType(field.type, kBoundMinimum), format) + " y " +
                                 shown(vGetBoundFromDatabaseType(field.type, kBoundMaximum), format));
        }
    }
    object.g_vecErroresInconsistencia = list;
    return list.isNull();
}

bool bValidateInterval(BusinessObject& object, db::Database& database, const std::string& fieldName,
                       const Variant& minimum, const Variant& maximum, NumberFormat format) {
    const db::FieldDef* field = database.tableDef(object.Entity->sEntityName()).field(fieldName);
    if (field == nullptr) {
        AddInconsistencyToObject(object, fieldName, "El campo '" + fieldName + "' no existe.");
        return false;
    }
    const Variant& value = object.Entity->vGetFieldValue(fieldName);
    bool passed = false;
    std::string ending;
    switch (field->type) {
        case DataType::Integer:
        case DataType::Long:
        case DataType::Currency:
        case DataType::Double: {
            const auto number = value.toCurrency(format);
            const auto low = minimum.toCurrency(format);
            const auto high = maximum.toCurrency(format);
            passed = number && low && high && *low <= *number && *number <= *high;
            break;
        }
        case DataType::Date: {
            // An empty date would be stored as the date serial 1 (31/12/1899), inside any interval
            // that starts before it; a date asked for within bounds has to be given.
            const bool empty = value.type() == Variant::Type::Text && value.text().empty();
            const auto day = orderedDay(value);
            const auto low = orderedDay(minimum);
            const auto high = orderedDay(maximum);
            if (day && low && high) {
                passed = !empty && *low <= *day && *day <= *high;
            } else {
                const std::string text = yyyymmdd(value);
                passed = !empty && yyyymmdd(minimum) <= text && text <= yyyymmdd(maximum);
            }
            break;
        }
        case DataType::Text: {
            const auto length = static_cast<double>(db::characterCount(value.toText(format)));
            const auto low = minimum.toDouble(format);
            const auto high = maximum.toDouble(format);
            passed = low && high && *low <= length && length <= *high;
            ending = " caracteres.";
            break;
        }
        default:
            throw Error(err::kProgram, "bValidateInterval",
                        "Tipo de datos desconocido, para el campo '" + fieldName + "'");
    }
    if (!passed) {
        AddInconsistencyToObject(object, fieldName,
                                 shown(minimum, format) + " y " + shown(maximum, format) + " " + ending);
    }
    return passed;
}

void AddInconsistency(InconsistencyList& list, const std::string& fieldName, const std::string& message) {
    list.add(fieldName, message);
}

void AddInconsistencyToObject(BusinessObject& object, const std::string& fieldName, const std::string& message) {
    AddInconsistency(object.g_vecErroresInconsistencia, fieldName, message);
}

void UpdateVectorInconsistencias(BusinessObject& object, const std::string& message) {
    object.g_vecErroresInconsistencia.addLine(message);
}

std::vector<std::string> BuildInconsistencyLines(const BusinessObject& object, int kind, NumberFormat format) {
    std::vector<std::string> lines;
    const std::string& entityName = object.Entity->sEntityName();
    for (const auto& entry : object.g_vecErroresInconsistencia.entries()) {
        if (kind != kTypeError && kind != kRangeError) {
            lines.push_back(entry.message);
            continue;
        }
        std::string label = fieldLabel(entityName, entry.field).value_or(entry.field);
        std::erase(label, '&');
        std::string attempted;
        try {
            attempted = object.Entity->sEnteredText(entry.field, format);
        } catch (const Error&) {
            // An entry about no field of the entity shows no attempted value.
        }
        lines.push_back("El campo '" + label + "'" +
                        (kind == kTypeError ? " debe ser : " : " debe estar comprendido entre : ") + entry.message +
                        ". Intento de ingreso :" + attempted);
    }
    return lines;
}

void ShowInconsistencies(UserInterface& ui, const BusinessObject& object, int kind, NumberFormat format) {
    const std::string caption = windowCaption(object.Entity->sEntityName()).value_or(object.Entity->sEntityName());
    ui.showInconsistencies(" Pantalla " + caption, BuildInconsistencyLines(object, kind, format));
}

std::string sGetStringConComilla(const std::string& text, int mode) {
    switch (mode) {
        case 0:
            return "\"" + text;
        case 1:
            return text + "\"";
        case 2:
            return "\"" + text + "\"";
        default:
            throw Error(err::kInvalidArguments, "sGetStringConComilla",
                        "Se está llamando a  getstringconcomilla"
                        "con valores de parámetros incorrectos");
    }
}

}  // namespace kapred
