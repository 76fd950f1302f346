#include "cli/output.h"

#include <iostream>
#include <optional>
#include <sstream>

#include "data/user_interface.h"
#include "data/values/text.h"

namespace kapred::cli {

namespace {
bool jsonOutput = false;
bool asideOutput = false;
constexpr NumberFormat kJsonNumbers{'.', ','};

// With JSON, what the run tells on standard error until finishOutput writes its object.
struct ErrorReport {
    std::stringbuf told;
    std::streambuf* standardError = nullptr;
    std::optional<std::string> error;
    std::optional<nlohmann::ordered_json> result;
};
ErrorReport report;

// "Tipo de Ejercicio Fiscal" -> "TipoDeEjercicioFiscal"; a name without spaces stays as it is.
std::string joinedName(const std::string& name) {
    std::string joined;
    bool wordStart = false;
    for (const char character : name) {
        if (character == ' ') {
            wordStart = true;
        } else {
            joined += wordStart && character >= 'a' && character <= 'z' ? static_cast<char>(character - 'a' + 'A')
                                                                        : character;
            wordStart = false;
        }
    }
    return joined;
}

nlohmann::ordered_json withJoinedNames(const nlohmann::ordered_json& value) {
    if (value.is_object()) {
        nlohmann::ordered_json joined = nlohmann::ordered_json::object();
        for (const auto& [name, member] : value.items()) {
            joined[joinedName(name)] = withJoinedNames(member);
        }
        return joined;
    }
    if (value.is_array()) {
        nlohmann::ordered_json joined = nlohmann::ordered_json::array();
        for (const auto& element : value) {
            joined.push_back(withJoinedNames(element));
        }
        return joined;
    }
    return value;
}

// JSON escapes the C0 controls itself; the rest are escaped the same way, which JSON reads back
// as the same characters. Its own line feeds lay out the members.
void writeJson(std::ostream& out, const nlohmann::ordered_json& value) {
    out << printableLines(value.dump(2)) << std::endl;
}

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
    if (json && report.standardError == nullptr) {
        report.standardError = std::cerr.rdbuf(&report.told);
    }
}

std::ostream& terminalPrompt() {
    static std::ostream prompt(nullptr);
    prompt.rdbuf(report.standardError != nullptr ? report.standardError : std::cerr.rdbuf());
    return prompt;
}

void tellError(const std::string& message) {
    if (jsonOutput && !report.error) {
        report.error = message;
    } else {
        std::cerr << "Error: " << printableLines(message) << std::endl;
    }
}

int finishOutput(int status) {
    if (!std::cout.flush()) {
        tellError("No se pudo escribir la salida estándar.");
        status = status == 0 ? kEndedByFailure : status;
    }
    if (report.standardError == nullptr) {
        return status;
    }
    std::cerr.rdbuf(report.standardError);
    report.standardError = nullptr;
    nlohmann::ordered_json lines = nlohmann::ordered_json::array();
    std::istringstream told(report.told.str());
    for (std::string line; std::getline(told, line);) {
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    if (status != 0 || report.error || report.result || !lines.empty()) {
        nlohmann::ordered_json shownReport{{"Estado", status}};
        if (report.error) {
            shownReport["Error"] = *report.error;
        }
        if (report.result) {
            shownReport["Resultado"] = *report.result;
        }
        shownReport["Mensajes"] = lines;
        writeJson(std::cerr, shownReport);
    }
    return status;
}

nlohmann::ordered_json shownYesNo(bool value) {
    if (jsonOutput) {
        return value;
    }
    return value ? "Sí" : "No";
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
    if (jsonOutput && asideOutput) {
        report.result = withJoinedNames(result);
    } else if (jsonOutput) {
        writeJson(out, withJoinedNames(result));
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
