#pragma once

#include <nlohmann/json.hpp>

#include <string>

#include "data/values/variant.h"

namespace kapred::cli {

// A value as the program writes it: amounts "1.234,50", dates dd/mm/yyyy, numbers and texts as
// they are, Null as null.
nlohmann::ordered_json shown(const Variant& value);
nlohmann::ordered_json shown(Currency amount);

// Prints a result: as JSON when asked, else as text, one "name: value" line per member and a
// block per element of a list.
void print(const nlohmann::ordered_json& result, bool json);

}  // namespace kapred::cli
