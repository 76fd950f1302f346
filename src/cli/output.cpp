#include "cli/output.h"

#include <iostream>

#include "data/values/text.h"

namespace kapred::cli {

namespace {
bool jsonOutput = false;
bool asideOutput = false;
constexpr NumberFormat kJsonNumbers{'.', ','};

// ISO 8601: "2004-12-31", or "2004-12-31T10:30:00" with a time.
std::string isoDate(const DateTime& value) {
    std::string text = toIso(value);
    if (text.size() > 10) {
        text[10] = 'T';
    }
    return text;
}

std::string escapedControls(std::string_view text, bool keepLineFeeds) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string shownText;
    shownText.reserve(text.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = bytes[at] < 0x80 ? 1 : utf8SequenceLength(bytes + at, text.size() - at);
        if (length == 0) {
            shownText += std::string("\\x") + kDigits[bytes[at] >> 4] + kDigits[bytes[at] & 15];
            ++at;
            continue;
        }
        const char32_t character = utf8Character(bytes + at, length);
        if (!isControlCharacter(character) || (keepLineFeeds && character == '\n')) {
            shownText.append(text.substr(at, length));
        } else if (character == '\n' || character == '\r' || character == '\t') {
            shownText += character == '\n' ? "\\n" : character == '\r' ? "\\r" : "\\t";
        } else {
            shownText += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4) {
                shownText += kDigits[(character >> shift) & 15];
            }
        }
        at += length;
    }
    return shownText;
}

}  // namespace

std::string printable(std::string_view text) {
    return escapedControls(text, false);
}

std::string printableLines(std::string_view text) {
    return escapedControls(text, true);
}

void useJson(bool json) {
    jsonOutput = json;
}

bool usingJson() {
    return jsonOutput;
}

nlohmann::ordered_json shown(Currency amount) {
    return jsonOutput ? formatAmount(amount, 2, false, kJsonNumbers) : formatAmount(amount, 2);
}

nlohmann::ordered_json shown(const Variant& value) {
    switch (value.type()) {
        case Variant::Type::Null:
        case Variant::Type::Empty:
            return nullptr;
        case Variant::Type::Integer:
            return value.integer();
        case Variant::Type::Long:
            return value.longValue();
        case Variant::Type::Currency:
            return shown(value.currency());
        case Variant::Type::Boolean:
            return value.boolean();
        case Variant::Type::Date:
            return jsonOutput ? isoDate(value.date()) : value.toText();
        case Variant::Type::Double:
            return jsonOutput ? formatDouble(value.toDouble().value_or(0), kJsonNumbers) : value.toText();
        default:
            return value.toText();
    }
}

namespace {

std::string asText(const nlohmann::ordered_json& value) {
    if (value.is_string()) {
        return printable(value.get<std::string>());
    }
    if (value.is_null()) {
        return "";
    }
    return value.dump();
}

void printText(const nlohmann::ordered_json& value, const std::string& indent, std::ostream& out) {
    if (value.is_object()) {
        for (const auto& [name, member] : value.items()) {
            if (member.is_structured()) {
                out << indent << printable(name) << ":\n";
                printText(member, indent + "  ", out);
            } else {
                out << indent << printable(name) << ": " << asText(member) << "\n";
            }
        }
    } else if (value.is_array()) {
        for (const auto& element : value) {
            printText(element, indent, out);
            if (element.is_structured()) {
                out << "\n";
            }
        }
    } else {
        out << indent << asText(value) << "\n";
    }
}

}  // namespace

void resultsAside() {
    asideOutput = true;
}

void print(const nlohmann::ordered_json& result) {
    std::ostream& out = asideOutput ? std::cerr : std::cout;
    if (jsonOutput) {
        // JSON escapes the C0 controls itself; the rest are escaped the same way, which JSON
        // reads back as the same characters. Its own line feeds lay out the members.
        out << printableLines(result.dump(2)) << std::endl;
    } else {
        printText(result, "", out);
        out << std::flush;
    }
}

void tellDone(const std::string& message, nlohmann::ordered_json result) {
    if (jsonOutput) {
        result["Mensaje"] = message;
        print(result);
    } else {
        std::cerr << message << std::endl;
    }
}

}  // namespace kapred::cli
