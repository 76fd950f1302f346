#pragma once

#include <optional>
#include <string_view>

namespace kapred::padron {

// The check digit of a CUIT by the modulo-11 rule: the first ten digits are weighted 5, 4, 3, 2,
// 7, 6, 5, 4, 3, 2 from the left, and the digit is 11 less the remainder of the sum divided by 11
// (0 when that gives 11). Ten digits whose rule gives 10 have no check digit: no CUIT starts so.
std::optional<int> cuitCheckDigit(std::string_view tenDigits);

// Eleven digits whose last one is the check digit of the first ten.
bool hasValidCheckDigit(std::string_view elevenDigits);

}  // namespace kapred::padron
