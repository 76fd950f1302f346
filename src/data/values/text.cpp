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

std::string withLineFeeds(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            result += text[i];
        } else if (i + 1 == text.size() || text[i + 1] != '\n') {
            result += '\n';
        }
    }
    return result;
}

}  // namespace kapred
