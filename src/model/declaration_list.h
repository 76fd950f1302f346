#pragma once

#include <optional>
#include <string>
#include <vector>

#include "data/values/datetime.h"
#include "model/declaration.h"

namespace kapred {

// A declaration of the taxpayer as the lists of declarations show it.
struct DeclarationSummary {
    long long code = 0;
    long long period = 0;
    long long sequence = 0;
    std::string sequenceName;    // "Original", "Rectificativa 1"...
    std::string fiscalYearKind;  // "Regular" or "Irregular"; empty for any other code
    std::optional<DateTime> from;
    std::optional<DateTime> to;
    long long economicYear = 0;
};
// The taxpayer's declarations, by code.
std::vector<DeclarationSummary> taxpayerDeclarations(Context& context);

// A sequence of presentation, as the lists to choose one offer it.
struct PresentationSequence {
    long long code = 0;
    std::string description;
};
// The sequences the header offers, in the table's order.
std::vector<PresentationSequence> presentationSequences(BDDJJ& header);

}  // namespace kapred
