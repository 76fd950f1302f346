#include "data/values/variant.h"

#include <cmath>

#include "data/values/error.h"

namespace kapred {

namespace {

template <typename T>
const T& get(const std::variant<std::monostate, Variant::NullTag, std::int16_t, std::int32_t, Currency, double,
                                DateTime, std::string, bool>& value) {
    if (const T* held = std::get_if<T>(&value)) {
        return *held;
    }
    raiseTypeMismatch("Variant");
}

}  // namespace

bool Variant::isNumber() const {
    switch (type()) {
        case Type::Integer:
        case Type::Long:
        case Type::Currency:
        case Type::Double:
        case Type::Boolean:
            return true;
        default:
            return false;
    }
}

std::int16_t Variant::integer() const {
    return get<std::int16_t>(value_);
}
std::int32_t Variant::longValue() const {
    return get<std::int32_t>(value_);
}
Currency Variant::currency() const {
    return get<Currency>(value_);
}
double Variant::doubleValue() const {
    return get<double>(value_);
}
const DateTime& Variant::date() const {
    return get<DateTime>(value_);
}
const std::string& Variant::text() const {
    return get<std::string>(value_);
}
bool Variant::boolean() const {
    return get<bool>(value_);
}

std::optional<Currency> Variant::toCurrency(NumberFormat format) const {
    switch (type()) {
        case Type::Empty:
            return Currency();
        case Type::Integer:
            return Currency::fromUnits(integer());
        case Type::Long:
            return Currency::fromUnits(longValue());
        case Type::Currency:
            return currency();
        case Type::Double:
            return Currency::fromDouble(doubleValue());
        case Type::Boolean:
            return Currency::fromUnits(boolean() ? -1 : 0);
        case Type::Text:
            return parseCurrency(text(), format);
        case Type::Date:
            return Currency::fromDouble(toSerial(date()));
        case Type::Null:
            break;
    }
    return std::nullopt;
}

std::optional<double> Variant::toDouble(NumberFormat format) const {
    switch (type()) {
        case Type::Empty:
            return 0.0;
        case Type::Integer:
            return integer();
        case Type::Long:
            return longValue();
        case Type::Currency:
            return currency().toDouble();
        case Type::Double:
            return doubleValue();
        case Type::Boolean:
            return boolean() ? -1.0 : 0.0;
        case Type::Text:
            return parseDouble(text(), format);
        case Type::Date:
            return toSerial(date());
        case Type::Null:
            break;
    }
    return std::nullopt;
}

std::optional<long long> Variant::toWholeNumber(NumberFormat format) const {
    const auto number = toDouble(format);
    // Beyond 2^53 a double no longer tells whole numbers apart.
    constexpr double kLargest = 9007199254740992.0;
    if (!number || std::trunc(*number) != *number || std::fabs(*number) > kLargest) {
        return std::nullopt;
    }
    return static_cast<long long>(*number);
}

std::optional<DateTime> Variant::toDate() const {
    switch (type()) {
        case Type::Date:
            return date();
        case Type::Text:
            return parseDate(text());
        case Type::Integer:
        case Type::Long:
        case Type::Currency:
        case Type::Double:
            return fromSerial(*toDouble());
        default:
            return std::nullopt;
    }
}

std::string Variant::toText(NumberFormat format) const {
    switch (type()) {
        case Type::Empty:
        case Type::Null:
            return {};
        case Type::Integer:
            return std::to_string(integer());
        case Type::Long:
            return std::to_string(longValue());
        case Type::Currency: {
            std::string text = currency().toPlainString();
            if (const auto point = text.find('.'); point != std::string::npos) {
                text[point] = format.decimal;
            }
            return text;
        }
        case Type::Double:
            return formatDouble(doubleValue(), format);
        case Type::Date:
            return formatDate(date());
        case Type::Text:
            return text();
        case Type::Boolean:
            return boolean() ? "Verdadero" : "Falso";
    }
    return {};
}

const char* typeName(Variant::Type type) {
    switch (type) {
        case Variant::Type::Empty:
            return "Empty";
        case Variant::Type::Null:
            return "Null";
        case Variant::Type::Integer:
            return "Integer";
        case Variant::Type::Long:
            return "Long";
        case Variant::Type::Currency:
            return "Currency";
        case Variant::Type::Double:
            return "Double";
        case Variant::Type::Date:
            return "Date";
        case Variant::Type::Text:
            return "String";
        case Variant::Type::Boolean:
            return "Boolean";
    }
    return "";
}

std::ostream& operator<<(std::ostream& out, const Variant& value) {
    return out << typeName(value.type()) << "(" << value.toText() << ")";
}

}  // namespace kapred
