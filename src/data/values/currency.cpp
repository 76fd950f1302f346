#include "data/values/currency.h"

#include <cmath>

#include "data/values/error.h"
#include "data/values/text.h"

namespace kapred {

namespace {

// Products of two scaled amounts need more than 64 bits before they are rounded back.
__extension__ using Wide = __int128;

[[noreturn]] void overflow(const char* source) {
    throw Error(err::kOverflow, source, "Desbordamiento");
}

// Rounds numerator / denominator to the nearest integer, ties away from zero.
std::int64_t divideRounded(Wide numerator, Wide denominator, const char* source) {
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    Wide quotient = numerator / denominator;
    Wide remainder = numerator % denominator;
    if (remainder != 0 && 2 * (remainder < 0 ? -remainder : remainder) >= denominator) {
        quotient += numerator < 0 ? -1 : 1;
    }
    if (quotient > INT64_MAX || quotient < INT64_MIN) {
        overflow(source);
    }
    return static_cast<std::int64_t>(quotient);
}

// The scaled amount of one unit of the last of the given decimal places (1 from four places on).
std::int64_t placeUnit(int decimals) {
    std::int64_t unit = 1;
    for (int i = decimals; i < 4; ++i) {
        unit *= 10;
    }
    return unit;
}

// A whole count of units back to a scaled amount; rounding near either end of the range can
// leave it.
std::int64_t unitsToScaled(std::int64_t units, std::int64_t unit) {
    std::int64_t scaled = 0;
    if (__builtin_mul_overflow(units, unit, &scaled)) {
        overflow("Currency");
    }
    return scaled;
}

}  // namespace

Currency Currency::fromUnits(std::int64_t units) {
    std::int64_t scaled = 0;
    if (__builtin_mul_overflow(units, kScale, &scaled)) {
        overflow("Currency");
    }
    return Currency(scaled);
}

std::optional<Currency> Currency::fromDouble(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    const double scaled = std::round(value * kScale);
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    if (scaled >= 9223372036854775808.0 || scaled < -9223372036854775808.0) {
        return std::nullopt;
    }
    return Currency(static_cast<std::int64_t>(scaled));
}

Currency Currency::roundTo(int decimals) const {
    if (decimals >= 4) {
        return *this;
    }
    const std::int64_t unit = placeUnit(decimals);
    return Currency(unitsToScaled(divideRounded(scaled_, unit, "Currency"), unit));
}

Currency Currency::mulDiv(Currency value, Currency numerator, Currency denominator, int decimals) {
    if (denominator.scaled_ == 0) {
        throw Error(err::kDivisionByZero, "Currency", "División por cero");
    }
    // The scales of the numerator and the denominator cancel out: the quotient of the scaled
    // values is already the scaled result, here counted in units of the last place kept.
    const std::int64_t unit = placeUnit(decimals);
    const Wide product = static_cast<Wide>(value.scaled_) * numerator.scaled_;
    return Currency(
        unitsToScaled(divideRounded(product, static_cast<Wide>(denominator.scaled_) * unit, "Currency"), unit));
}

Currency Currency::operator-() const {
    if (scaled_ == INT64_MIN) {
        overflow("Currency");
    }
    return Currency(-scaled_);
}

// The result goes through a local so that a sum that overflows leaves the amount as it was.
Currency& Currency::operator+=(Currency other) {
    std::int64_t sum = 0;
    if (__builtin_add_overflow(scaled_, other.scaled_, &sum)) {
        overflow("Currency");
    }
    scaled_ = sum;
    return *this;
}

Currency& Currency::operator-=(Currency other) {
    std::int64_t difference = 0;
    if (__builtin_sub_overflow(scaled_, other.scaled_, &difference)) {
        overflow("Currency");
    }
    scaled_ = difference;
    return *this;
}

Currency operator*(Currency a, Currency b) {
    return Currency(divideRounded(static_cast<Wide>(a.scaled_) * b.scaled_, Currency::kScale, "Currency"));
}

Currency operator/(Currency a, Currency b) {
    if (b.scaled_ == 0) {
        throw Error(err::kDivisionByZero, "Currency", "División por cero");
    }
    return Currency(divideRounded(static_cast<Wide>(a.scaled_) * Currency::kScale, b.scaled_, "Currency"));
}

std::string Currency::toPlainString() const {
    const bool negative = scaled_ < 0;
    // Work on the unsigned magnitude so that the most negative value prints too.
    const unsigned long long magnitude =
        negative ? 0ULL - static_cast<unsigned long long>(scaled_) : static_cast<unsigned long long>(scaled_);
    std::string text = std::to_string(magnitude / kScale);
    std::string fraction = padLeft(std::to_string(magnitude % kScale), 4);
    while (!fraction.empty() && fraction.back() == '0') {
        fraction.pop_back();
    }
    if (!fraction.empty()) {
        text += '.' + fraction;
    }
    return negative ? '-' + text : text;
}

std::ostream& operator<<(std::ostream& out, Currency value) {
    return out << value.toPlainString();
}

}  // namespace kapred
