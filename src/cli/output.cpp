#include "cli/output.h"

#include <iostream>

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

}  // namespace

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
        return value.get<std::string>();
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
                out << indent << name << ":\n";
                printText(member, indent + "  ", out);
            } else {
                out << indent << name << ": " << asText(member) << "\n";
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
        out << result.dump(2) << std::endl;
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
