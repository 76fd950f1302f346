#pragma once

#include <vector>

#include "data/engine/schema.h"

namespace kapred {

// The schema of the program's own database, table by table in creation order, then the
// relations Relacion0 to Relacion7.
std::vector<db::TableDef> appTableDefs();
std::vector<db::RelationDef> appRelations();

}  // namespace kapred
