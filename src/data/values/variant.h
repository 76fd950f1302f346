#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <variant>

#include "data/values/currency.h"
#include "data/values/datetime.h"
#include "data/values/numeric_text.h"

namespace kapred {

// A value as it arrives from a window, a file or a database field. It is judged by the type of
// the column it is meant for; the conversions below are the only ones the program makes.
class Variant {
public:
    enum class Type { Empty, Null, Integer, Long, Currency, Double, Date, Text, Boolean };
    struct NullTag {
        friend bool operator==(NullTag, NullTag) = default;
    };

    Variant() = default;
    static Variant null() { return Variant(Storage(NullTag{})); }
    Variant(std::int16_t value) : value_(value) {}
    Variant(std::int32_t value) : value_(value) {}
    Variant(kapred::Currency value) : value_(value) {}
    Variant(double value) : value_(value) {}
    Variant(const DateTime& value) : value_(value) {}
    Variant(std::string value) : value_(std::move(value)) {}
    Variant(const char* value) : value_(std::string(value)) {}
    Variant(bool value) : value_(value) {}

    Type type() const { return static_cast<Type>(value_.index()); }
    bool isEmpty() const { return type() == Type::Empty; }
    bool isNull() const { return type() == Type::Null; }
    bool isNumber() const;  // Integer, Long, Currency, Double or Boolean

    // Typed access; raise error 13 when the value holds another type.
    std::int16_t integer() const;
    std::int32_t longValue() const;
    kapred::Currency currency() const;
    double doubleValue() const;
    const DateTime& date() const;
    const std::string& text() const;
    bool boolean() const;

    // Conversions. Empty counts as zero or the empty text; Null converts to nothing. Text is read
    // with the program's separators; a Boolean True is -1 as on the old platform.
    std::optional<kapred::Currency> toCurrency(NumberFormat format = {}) const;
    std::optional<double> toDouble(NumberFormat format = {}) const;
    std::optional<DateTime> toDate() const;
    // A number without a fraction; nothing for anything else (2,5, letters, Null).
    std::optional<long long> toWholeNumber(NumberFormat format = {}) const;
    // The value as the program shows it: "1234,5", "31/12/2004", "Verdadero"; Empty and Null
    // give the empty text.
    std::string toText(NumberFormat format = {}) const;

    friend bool operator==(const Variant&, const Variant&) = default;

private:
    using Storage = std::variant<std::monostate, NullTag, std::int16_t, std::int32_t, kapred::Currency, double,
                                 DateTime, std::string, bool>;
    explicit Variant(Storage value) : value_(std::move(value)) {}
    Storage value_;
};

const char* typeName(Variant::Type type);
// Type and text, for diagnostics: Currency(1234,5).
std::ostream& operator<<(std::ostream& out, const Variant& value);

}  // namespace kapred
