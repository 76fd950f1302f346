#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/context.h"
#include "data/values/variant.h"

namespace kapred {

// The system tables a user may consult, in the order the viewer lists them.
struct SystemTableEntry {
    std::string caption;  // the caption of the table's window
    std::string table;
};
const std::vector<SystemTableEntry>& consultableSystemTables();

// One of them, ordered by its code column "CODIGO_" + table; a "CHK" column is not shown.
struct SystemTableView {
    std::string caption;               // "Datos : " + the entry's caption
    std::vector<std::string> columns;  // the code column first, captioned "Código"
    std::vector<std::vector<Variant>> rows;
};
// Nothing for a name that is not one of the consultable tables.
std::optional<SystemTableView> systemTable(Context& context, const std::string& table);

}  // namespace kapred
