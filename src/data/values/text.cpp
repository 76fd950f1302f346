#include "data/values/text.h"

#include <algorithm>

namespace kapred {

namespace {

constexpr std::string_view kBlanks = " \t\r\n";

}  // namespace

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(kBlanks) - first + 1));
}

std::string padLeft(std::string_view text, std::size_t width, char fill) {
    std::string padded(width > text.size() ? width - text.size() : 0, fill);
    return padded.append(text);
}

std::string padRight(std::string_view text, std::size_t width, char fill) {
    std::string padded(text);
    if (padded.size() < width) {
        padded.append(width - padded.size(), fill);
    }
    return padded;
}

std::string lastCharacters(std::string_view text, std::size_t count) {
    return std::string(text.substr(text.size() - std::min(count, text.size())));
}

}  // namespace kapred
