#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace kapred {

// Adds (withDashes) or strips the dashes of a CUIT: 20123456789 <-> 20-12345678-9. A value that,
// trimmed, is longer than 13 characters comes back unchanged, and so does one that already is in
// the requested form. An absent value gives the empty text.
std::string sFormatCuit(std::optional<std::string_view> value, bool withDashes);

// The CUIT the host passed on the command line, as 11 digits without dashes: the whole argument
// text must be 11 digits, or two, eight and one digits separated by dashes. Anything else
// (empty, letters, another length, "1e5") gives nothing.
std::optional<std::string> commandLineCuit(std::string_view commandLine);

// A taxpayer's CUIT: its eleven digits without dashes, as the program's tables keep it. An
// identification, never an amount.
class Cuit {
public:
    explicit Cuit(std::string digits) : digits_(std::move(digits)) {}

    // Two digits, a dash, eight digits, a dash, one digit: how the host's tables write it.
    std::string dashed() const { return sFormatCuit(digits_, true); }

private:
    std::string digits_;
};

}  // namespace kapred
