#pragma once

namespace kapred::padron {

// The SQL that makes the registry's databases, built into the program from padron/sql.
extern const char* const kTaxpayerTablesScript;  // rexa.sql: the tables, no rows
extern const char* const kReferenceListsScript;  // sistema.sql: the tables and their lists

}  // namespace kapred::padron
