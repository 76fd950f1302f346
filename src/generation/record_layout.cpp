#include "generation/record_layout.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/cuit.h"
#include "data/values/error.h"
#include "data/values/text.h"
#include "data/windows1252.h"

namespace kapred {

namespace {

constexpr long kInvalidCall = 5;

// N(w, d) from the rounded digits: the mask of w - d zeros, a point and d zeros, without the
// point. A mask without integer zeros writes no integer digit for a value below one.
std::string numberText(const RoundedDigits& digits, int width, int decimals) {
    const auto integerWidth = static_cast<std::size_t>(width - decimals);
    std::string integer =
        integerWidth == 0 && digits.integer == "0" ? std::string() : padLeft(digits.integer, integerWidth);
    return (digits.negative ? "-" : "") + integer + digits.fraction;
}

// The number's decimal digits with leading zeros to `width`; a longer number is not cut. Written
// by hand: a declaration formats a million of these.
std::string paddedDigits(std::uint64_t number, std::size_t width) {
    char buffer[24];
    char* const end = buffer + sizeof buffer;
    char* begin = end;
    do {
        *--begin = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    const auto length = static_cast<std::size_t>(end - begin);
    std::string text(width > length ? width - length : 0, '0');
    return text.append(begin, length);
}

std::string amountText(bool negative, const RoundedDigits& magnitude) {
    const std::string digits = padLeft(magnitude.integer, 13) + magnitude.fraction;
    return negative ? "1" + lastCharacters(digits, 14) : digits;
}

}  // namespace

Currency amountOf(const Variant& value, NumberFormat format, const char* source) {
    if (value.isNull()) {
        raiseInvalidUseOfNull(source);
    }
    const auto amount = value.toCurrency(format);
    if (!amount) {
        raiseTypeMismatch(source);
    }
    return *amount;
}

RoundedDigits roundDigits(Currency value, int decimals) {
    const Currency rounded = decimals < 4 ? value.roundTo(decimals) : value;
    const std::int64_t scaled = rounded.scaled();
    const std::uint64_t magnitude =
        scaled < 0 ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
    RoundedDigits digits;
    digits.negative = scaled < 0;
    digits.integer = paddedDigits(magnitude / Currency::kScale, 1);
    std::string fourPlaces = paddedDigits(magnitude % Currency::kScale, 4);
    if (decimals > 4) {
        fourPlaces.append(static_cast<std::size_t>(decimals - 4), '0');
    }
    digits.fraction = fourPlaces.substr(0, static_cast<std::size_t>(std::max(decimals, 0)));
    return digits;
}

RoundedDigits roundDigits(double value, int decimals) {
    if (!std::isfinite(value)) {
        throw Error(err::kOverflow, "Format", "Desbordamiento");
    }
    if (const auto amount = Currency::fromDouble(value)) {
        return roundDigits(*amount, decimals);
    }
    // Beyond the amount range no double has a fraction left to round.
    const int places = std::max(decimals, 0);
    const double magnitude = std::fabs(value);
    std::vector<char> buffer(static_cast<std::size_t>(std::snprintf(nullptr, 0, "%.*f", places, magnitude)) + 1);
    std::snprintf(buffer.data(), buffer.size(), "%.*f", places, magnitude);
    const std::string text(buffer.data());
    const auto point = text.find('.');
    RoundedDigits digits;
    digits.negative = value < 0;
    digits.integer = text.substr(0, point);
    digits.fraction = point == std::string::npos ? std::string() : text.substr(point + 1);
    return digits;
}

std::string encodeText(std::string_view text, int width) {
    std::string bytes = toWindows1252(text);
    bytes.resize(static_cast<std::size_t>(std::max(width, 0)), ' ');
    return bytes;
}

std::string encodeNumber(Currency value, int width, int decimals) {
    return numberText(roundDigits(value, decimals), width, decimals);
}

std::string encodeNumber(double value, int width, int decimals) {
    return numberText(roundDigits(value, decimals), width, decimals);
}

std::string encodeAmount(Currency value) {
    // The rounded magnitude in cents is the 13 whole and 2 decimal digits at once.
    const std::int64_t scaled = value.roundTo(2).scaled();
    const std::uint64_t magnitude =
        scaled < 0 ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
    const std::string digits = paddedDigits(magnitude / (Currency::kScale / 100), 15);
    return value < Currency() ? "1" + lastCharacters(digits, 14) : digits;
}

std::string encodeAmount(double value) {
    return amountText(value < 0, roundDigits(value, 2));
}

std::string encodeDate(const DateTime& value) {
    const auto date = value.date();
    const int year = static_cast<int>(date.year());
    const auto month = static_cast<unsigned>(date.month());
    const auto day = static_cast<unsigned>(date.day());
    if (year < 0 || year > 9999) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%04d%02u%02u", year, month, day);
        return buffer;
    }
    // yyyymmdd as one number, its eight digits written by hand.
    char text[8];
    unsigned rest = static_cast<unsigned>(year) * 10000 + month * 100 + day;
    for (int at = 7; at >= 0; --at, rest /= 10) {
        text[at] = static_cast<char>('0' + rest % 10);
    }
    return std::string(text, sizeof text);
}

std::string encodeCuit(std::string_view cuit) {
    return toWindows1252(sFormatCuit(cuit, false));
}

std::string encodeField(const Field& field, const Variant& value, NumberFormat format) {
    switch (field.encoding) {
        case Encoding::Constant:
            return encodeText(field.constant, field.width);
        case Encoding::Text:
            return encodeText(value.toText(format), field.width);
        case Encoding::Number:
            if (value.type() == Variant::Type::Double) {
                return encodeNumber(value.doubleValue(), field.width, field.decimals);
            }
            return encodeNumber(amountOf(value, format, "Format"), field.width, field.decimals);
        case Encoding::Amount:
            if (value.type() == Variant::Type::Double) {
                return encodeAmount(value.doubleValue());
            }
            return encodeAmount(amountOf(value, format, "Format"));
        case Encoding::Date: {
            if (value.isNull()) {
                raiseInvalidUseOfNull("Format");
            }
            const auto date = value.toDate();
            if (!date) {
                raiseTypeMismatch("Format");
            }
            return encodeDate(*date);
        }
        case Encoding::Cuit:
            return encodeCuit(value.toText(format));
    }
    return {};
}

std::string buildRecord(const RecordLayout& layout, std::span<const Variant> values, NumberFormat format) {
    if (values.size() != layout.valueCount()) {
        throw Error(kInvalidCall, "buildRecord",
                    "El registro " + std::string(layout.type) + " lleva " + std::to_string(layout.valueCount()) +
                        " valores y se dieron " + std::to_string(values.size()));
    }
    static const Variant kNone;
    std::string record;
    record.reserve(layout.length());
    std::size_t next = 0;
    for (const Field& each : layout.fields) {
        const Variant& value = each.encoding == Encoding::Constant ? kNone : values[next++];
        record += encodeField(each, value, format);
    }
    return record;
}

void cleanRecord(std::string& record) {
    for (char& each : record) {
        const auto code = static_cast<unsigned char>(each);
        if (code < 32 || (code >= 128 && code <= 159)) {
            each = ' ';
        }
    }
}

bool hasRequiredLength(const RecordLayout& layout, std::string_view record) {
    return record.size() == layout.length();
}

std::optional<std::string> formatRecord(const RecordLayout& layout, std::span<const Variant> values,
                                        NumberFormat format) {
    std::string record = buildRecord(layout, values, format);
    cleanRecord(record);
    if (!hasRequiredLength(layout, record)) {
        return std::nullopt;
    }
    return record;
}

bool writeRecord(std::ostream& out, const RecordLayout& layout, std::span<const Variant> values, NumberFormat format) {
    const auto record = formatRecord(layout, values, format);
    if (!record) {
        return false;
    }
    out.write(record->data(), static_cast<std::streamsize>(record->size()));
    out.put('\n');
    return true;
}

}  // namespace kapred
