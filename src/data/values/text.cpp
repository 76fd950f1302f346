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

std::size_t utf8SequenceLength(const unsigned char* bytes, std::size_t available) {
    const unsigned char lead = bytes[0];
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (available < length || bytes[1] < low || bytes[1] > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (bytes[i] < 0x80 || bytes[i] > 0xBF) {
            return 0;
        }
    }
    return length;
}

bool isValidUtf8(std::string_view text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = bytes[at] < 0x80 ? 1 : utf8SequenceLength(bytes + at, text.size() - at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

char32_t utf8Character(const unsigned char* bytes, std::size_t length) {
    if (length <= 1) {
        return bytes[0];
    }
    // The lead byte keeps 7 - length bits of the character, each following byte 6.
    auto character = static_cast<char32_t>(bytes[0] & (0x7F >> length));
    for (std::size_t i = 1; i < length; ++i) {
        character = (character << 6) | (bytes[i] & 0x3FU);
    }
    return character;
}

bool isControlCharacter(char32_t character) {
    return character < 0x20 || (character >= 0x7F && character <= 0x9F) || character == 0x061C || character == 0x200E ||
           character == 0x200F || (character >= 0x2028 && character <= 0x202E) ||
           (character >= 0x2066 && character <= 0x2069) || character == 0xFEFF;
}

bool isPlainText(std::string_view text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = bytes[at] < 0x80 ? 1 : utf8SequenceLength(bytes + at, text.size() - at);
        if (length == 0 || isControlCharacter(utf8Character(bytes + at, length))) {
            return false;
        }
        at += length;
    }
    return true;
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
