#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "model/tables/tables.h"

namespace kapred {

// The sections of a declaration that hold data, as the windows and the command line offer them.
enum class SectionKind { SingleRow, List };

// How a section's inputs are laid out: frames of fields, with the subtotal a frame shows, on one
// or more pages; the totals under them; and the windows a detail button beside a total opens.
struct SectionFrame {
    std::string_view caption;  // empty: the fields stand on their own
    std::vector<tables::Column> fields;
    std::string_view subtotal;  // empty: none
};
struct SectionPage {
    std::string_view caption;
    std::vector<SectionFrame> frames;
};
struct SectionDetail {
    std::string_view beside;  // the total the button stands beside
    std::string_view window;
};

struct SectionDescription {
    std::string_view name;  // its table, its entity and its business object
    SectionKind kind;
    std::span<const tables::Column> columns;  // the table's, in order
    int help;                                 // the help topic of its window
    std::vector<SectionPage> pages;           // none: every input in one form, in column order
    std::vector<std::string_view> totals;     // the totals its window shows under the inputs
    std::vector<SectionDetail> details;
};

// The eight sections in the order of the declaration: assets, liabilities, advances, payments,
// previous balance, deductions.
const std::vector<SectionDescription>& sectionDescriptions();
// The section of that exact name; nothing when there is none.
const SectionDescription* sectionDescription(std::string_view name);

}  // namespace kapred
