#include "data/values/numeric_text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace kapred {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Digits with thousands separators, validated group by group.
std::optional<std::string> readGroupedInteger(std::string_view text, char thousands) {
    std::string digits;
    std::size_t groupLength = 0;
    bool grouped = false;
    for (char c : text) {
        if (isDigit(c)) {
            digits += c;
            ++groupLength;
        } else if (c == thousands) {
            // The first group holds 1 to 3 digits, every later group exactly 3.
            if (groupLength == 0 || groupLength > 3 || (grouped && groupLength != 3)) {
                return std::nullopt;
            }
            grouped = true;
            groupLength = 0;
        } else {
            return std::nullopt;
        }
    }
    if (grouped && groupLength != 3) {
        return std::nullopt;
    }
    return digits;
}

}  // namespace

std::optional<DecimalText> parseDecimalText(std::string_view text, NumberFormat format) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    DecimalText result;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        result.negative = text.front() == '-';
        text.remove_prefix(1);
        while (!text.empty() && isBlank(text.front())) {
            text.remove_prefix(1);
        }
    }
    const auto decimalAt = text.find(format.decimal);
    const auto integerPart = text.substr(0, decimalAt);
    auto integerDigits = readGroupedInteger(integerPart, format.thousands);
    if (!integerDigits) {
        return std::nullopt;
    }
    result.integerDigits = std::move(*integerDigits);
    if (decimalAt != std::string_view::npos) {
        for (char c : text.substr(decimalAt + 1)) {
            if (!isDigit(c)) {
                return std::nullopt;
            }
            result.fractionDigits += c;
        }
    }
    if (result.integerDigits.empty() && result.fractionDigits.empty()) {
        return std::nullopt;
    }
    return result;
}

bool isNumeric(std::string_view text, NumberFormat format) {
    return parseDecimalText(text, format).has_value();
}

std::optional<Currency> parseCurrency(std::string_view text, NumberFormat format) {
    const auto parsed = parseDecimalText(text, format);
    if (!parsed) {
        return std::nullopt;
    }
    std::string_view whole = parsed->integerDigits;
    while (whole.size() > 1 && whole.front() == '0') {
        whole.remove_prefix(1);
    }
    if (whole.size() > 16) {
        return std::nullopt;
    }
    __extension__ __int128 scaled = 0;
    for (char c : whole) {
        scaled = scaled * 10 + (c - '0');
    }
    std::string fraction = parsed->fractionDigits;
    fraction.resize(std::max<std::size_t>(fraction.size(), 5), '0');
    for (std::size_t i = 0; i < 4; ++i) {
        scaled = scaled * 10 + (fraction[i] - '0');
    }
    if (fraction[4] >= '5') {
        ++scaled;
    }
    if (parsed->negative) {
        scaled = -scaled;
    }
    if (scaled > INT64_MAX || scaled < INT64_MIN) {
        return std::nullopt;
    }
    return Currency::fromScaled(static_cast<std::int64_t>(scaled));
}

std::optional<double> parseDouble(std::string_view text, NumberFormat format) {
    const auto parsed = parseDecimalText(text, format);
    if (!parsed) {
        return std::nullopt;
    }
    std::string plain = (parsed->integerDigits.empty() ? "0" : parsed->integerDigits);
    if (!parsed->fractionDigits.empty()) {
        plain += '.' + parsed->fractionDigits;
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (ec != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return parsed->negative ? -value : value;
}

std::string formatAmount(Currency value, int decimals, bool grouping, NumberFormat format) {
    const Currency rounded = value.roundTo(decimals);
    std::string plain = rounded.toPlainString();
    const bool negative = !plain.empty() && plain.front() == '-';
    if (negative) {
        plain.erase(0, 1);
    }
    const auto point = plain.find('.');
    std::string whole = plain.substr(0, point);
    std::string fraction = point == std::string::npos ? "" : plain.substr(point + 1);
    fraction.resize(static_cast<std::size_t>(std::max(decimals, 0)), '0');
    if (grouping) {
        for (auto at = static_cast<long>(whole.size()) - 3; at > 0; at -= 3) {
            whole.insert(static_cast<std::size_t>(at), 1, format.thousands);
        }
    }
    std::string text = negative && !rounded.isZero() ? "-" + whole : whole;
    if (!fraction.empty()) {
        text += format.decimal + fraction;
    }
    return text;
}

std::string formatDouble(double value, NumberFormat format) {
    // Whole numbers (a CUIT, a code) are the common case and need no formatting machinery.
    if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
        return std::to_string(static_cast<long long>(value));
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string text = buffer;
    if (text.find_first_of("eE") != std::string::npos) {
        std::snprintf(buffer, sizeof buffer, "%.15f", value);
        text = buffer;
        if (text.find('.') != std::string::npos) {
            while (text.back() == '0') {
                text.pop_back();
            }
            if (text.back() == '.') {
                text.pop_back();
            }
        }
    }
    if (const auto point = text.find('.'); point != std::string::npos) {
        text[point] = format.decimal;
    }
    return text;
}

}  // namespace kapred
