#pragma once

#include <optional>
#include <string>
#include <vector>

#include "data/values/currency.h"
#include "data/values/variant.h"

namespace kapred {

struct Context;

// Two declarations of one period (an original and a rectification, or two rectifications)
// compared section by section and figure by figure.

struct FigureDifference {
    std::string section;  // the caption of the section or computed window
    std::string item;     // the field's caption, the total's name, or "Fila n: ..." in a list
    std::string first;    // as the windows show it; empty when the first declaration lacks it
    std::string second;
    std::optional<Currency> difference;  // second minus first, for amounts
};

struct DeclarationDiff {
    std::optional<std::string> refusal;         // why the two cannot be compared
    std::vector<FigureDifference> differences;  // only what differs, in the declaration's order
};

// Compares the declarations of those codes. The current declaration is the same afterwards.
// Nothing is written: the liquidation is computed without the window's clean-up.
DeclarationDiff compareDeclarations(Context& context, const Variant& first, const Variant& second);

}  // namespace kapred
