#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "data/values/currency.h"

namespace kapred {

// The separators with which the program reads and writes numbers while it runs.
struct NumberFormat {
    char decimal = ',';
    char thousands = '.';
};

// The single definition of "numeric text": optional blanks around, an optional sign (blanks may
// follow it), digits with optional thousands separators in correct groups of three, and an
// optional decimal separator followed by digits. "1.234,5" and "-12" are numeric with the
// program's separators; "1234.5" (a wrongly grouped number) and "1e5" are not.
struct DecimalText {
    bool negative = false;
    std::string integerDigits;   // without separators, may be empty (",5")
    std::string fractionDigits;  // may be empty
};

std::optional<DecimalText> parseDecimalText(std::string_view text, NumberFormat format = {});
bool isNumeric(std::string_view text, NumberFormat format = {});
// Exact reading, rounded to four places; nothing when not numeric or out of range.
std::optional<Currency> parseCurrency(std::string_view text, NumberFormat format = {});
std::optional<double> parseDouble(std::string_view text, NumberFormat format = {});

// An amount with the given decimals and, when asked, thousands separators ("1.234,50").
std::string formatAmount(Currency value, int decimals = 2, bool grouping = true, NumberFormat format = {});
// A double the way the program shows it: up to 15 significant digits, no grouping, the
// program's decimal separator, no trailing zeros ("1234,5", "0,015").
std::string formatDouble(double value, NumberFormat format = {});

}  // namespace kapred
