#include "app/cuit.h"

#include <regex>

#include "data/values/text.h"

namespace kapred {

namespace {

// Substrings that, like the old platform's, never fail on a short text.
std::string left(const std::string& text, std::size_t count) {
    return text.substr(0, count);
}
std::string mid(const std::string& text, std::size_t start, std::size_t count) {
    return start - 1 < text.size() ? text.substr(start - 1, count) : std::string();
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
        return hasDash ? text : left(text, 2) + "-" + mid(text, 3, 8) + "-" + lastCharacters(text, 1);
    }
    return hasDash ? left(text, 2) + mid(text, 4, 8) + lastCharacters(text, 1) : text;
}

std::optional<std::string> commandLineCuit(std::string_view commandLine) {
    static const std::regex pattern(R"(\d{11}|\d{2}-\d{8}-\d)");
    const std::string text = trimmed(commandLine);
    if (!std::regex_match(text, pattern)) {
        return std::nullopt;
    }
    return sFormatCuit(text, false);
}

}  // namespace kapred
