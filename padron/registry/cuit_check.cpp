#include "registry/cuit_check.h"

#include <array>

namespace kapred::padron {

std::optional<int> cuitCheckDigit(std::string_view tenDigits) {
    constexpr std::array<int, 10> kWeights{5, 4, 3, 2, 7, 6, 5, 4, 3, 2};
    if (tenDigits.size() != kWeights.size()) {
        return std::nullopt;
    }
    int sum = 0;
    for (std::size_t at = 0; at < kWeights.size(); ++at) {
        const char digit = tenDigits[at];
        if (digit < '0' || digit > '9') {
            return std::nullopt;
        }
        sum += (digit - '0') * kWeights[at];
    }
    const int check = 11 - sum % 11;
    if (check == 11) {
        return 0;
    }
    if (check == 10) {
        return std::nullopt;
    }
    return check;
}

bool hasValidCheckDigit(std::string_view elevenDigits) {
    if (elevenDigits.size() != 11) {
        return false;
    }
    const auto check = cuitCheckDigit(elevenDigits.substr(0, 10));
    return check && elevenDigits[10] == static_cast<char>('0' + *check);
}

}  // namespace kapred::padron
