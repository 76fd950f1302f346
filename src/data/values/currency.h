#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

namespace kapred {

// An exact amount of money: a signed 64-bit count of ten-thousandths. Sums are exact and
// overflow raises error 6; products and ratios round to four places. Two-decimal rounding,
// used for amounts read from reference tables or apportioned by a ratio, is roundTo(2).
// Every rounding here rounds a tie (a following digit of exactly 5) away from zero, the
// commercial rule an accountant expects: 0,125 becomes 0,13 and -0,125 becomes -0,13.
class Currency {
public:
    static constexpr std::int64_t kScale = 10000;

    constexpr Currency() = default;

    static constexpr Currency fromScaled(std::int64_t scaled) { return Currency(scaled); }
    // Whole units; raises error 6 outside the range.
    static Currency fromUnits(std::int64_t units);
    // Rounds to four places; nothing for NaN, infinities and values outside the range.
    static std::optional<Currency> fromDouble(double value);

    static Currency max() { return Currency(INT64_MAX); }
    static Currency min() { return Currency(INT64_MIN); }

    constexpr std::int64_t scaled() const { return scaled_; }
    double toDouble() const { return static_cast<double>(scaled_) / kScale; }
    bool isZero() const { return scaled_ == 0; }

    Currency roundTo(int decimals) const;
    // value × numerator ÷ denominator from the exact product, rounded once to the given places
    // (at most four): a share apportioned by a ratio gets no rounding of its own on the way.
    // A zero denominator raises error 11, a result outside the range error 6.
    static Currency mulDiv(Currency value, Currency numerator, Currency denominator, int decimals);

    Currency operator-() const;
    Currency& operator+=(Currency other);
    Currency& operator-=(Currency other);
    friend Currency operator+(Currency a, Currency b) { return a += b; }
    friend Currency operator-(Currency a, Currency b) { return a -= b; }
    // Product of two amounts (or an amount and a rate), rounded to four places.
    friend Currency operator*(Currency a, Currency b);
    // Quotient rounded to four places; division by zero raises error 11.
    friend Currency operator/(Currency a, Currency b);

    friend constexpr auto operator<=>(Currency, Currency) = default;

    // Plain text with '.' as decimal point and only the decimals needed ("1234.5", "-0.0001").
    std::string toPlainString() const;

private:
    constexpr explicit Currency(std::int64_t scaled) : scaled_(scaled) {}
    std::int64_t scaled_ = 0;
};

// The plain text, for diagnostics: 1234.5.
std::ostream& operator<<(std::ostream& out, Currency value);

}  // namespace kapred
