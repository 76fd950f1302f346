#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "data/engine/storage.h"

namespace kapred::db {

// A value bound to one "?" of a statement, so that no value is ever written into the statement's
// text: whole numbers, numbers with a fraction and texts as they are; a Variant as a criteria
// expression compares it (amounts in units as a number in the text would be, not in the
// ten-thousandths a currency column keeps; dates as ISO text; Null and Empty as Null).
class Parameter {
public:
    template <std::integral Whole>
    Parameter(Whole whole) : value_(static_cast<std::int64_t>(whole)) {}
    Parameter(double number) : value_(number) {}
    Parameter(std::string text) : value_(std::move(text)) {}
    Parameter(const char* text) : value_(std::string(text)) {}
    Parameter(const Variant& value) : value_(toComparable(value)) {}

    const StoredValue& stored() const { return value_; }
    friend bool operator<(const Parameter& a, const Parameter& b) { return a.value_ < b.value_; }

private:
    StoredValue value_;
};

// The values of a statement's "?" marks, in the order the marks appear.
using Parameters = std::vector<Parameter>;

}  // namespace kapred::db
