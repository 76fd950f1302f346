#include "app/cuit.h"

#include <algorithm>
#include <regex>

namespace kapred {

namespace {

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// Substrings that, like the old platform's, never fail on a short text.
std::string left(const std::string& text, std::size_t count) {
    return text.substr(0, count);
}
std::string mid(const std::string& text, std::size_t start, std::size_t count) {
    return start - 1 < text.size() ? text.substr(start - 1, count) : std::string();
}
std::string right(const std::string& text, std::size_t count) {
    return text.substr(text.size() - std::min(count, text.size()));
}

}  // namespace

std::string sFormatCuit(std::optional<std::string_view> value, bool withDashes) {
    if (!value) {
        return {};
    }
    const std::string text(*value);
    if (trimmed(text).size() > 13) {
        return text;
    }
    const bool hasDash = text.find('-') != std::string::npos;
    if (withDashes) {
        return hasDash ? text : left(text, 2) + "-" + mid(text, 3, 8) + "-" + right(text, 1);
    }
    return hasDash ? left(text, 2) + mid(text, 4, 8) + right(text, 1) : text;
}

std::optional<std::string> commandLineCuit(std::string_view commandLine) {
    static const std::regex pattern(R"(\d{11}|\d{2}-\d{8}-\d)");
    const std::string text(trimmed(commandLine));
    if (!std::regex_match(text, pattern)) {
        return std::nullopt;
    }
    return sFormatCuit(text, false);
}

}  // namespace kapred
