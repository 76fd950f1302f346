#include "cli/output.h"

#include <iostream>

namespace kapred::cli {

nlohmann::ordered_json shown(Currency amount) {
    return formatAmount(amount, 2);
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

void printText(const nlohmann::ordered_json& value, const std::string& indent) {
    if (value.is_object()) {
        for (const auto& [name, member] : value.items()) {
            if (member.is_structured()) {
                std::cout << indent << name << ":\n";
                printText(member, indent + "  ");
            } else {
                std::cout << indent << name << ": " << asText(member) << "\n";
            }
        }
    } else if (value.is_array()) {
        for (const auto& element : value) {
            printText(element, indent);
            if (element.is_structured()) {
                std::cout << "\n";
            }
        }
    } else {
        std::cout << indent << asText(value) << "\n";
    }
}

}  // namespace

void print(const nlohmann::ordered_json& result, bool json) {
    if (json) {
        std::cout << result.dump(2) << std::endl;
    } else {
        printText(result, "");
        std::cout << std::flush;
    }
}

}  // namespace kapred::cli
