#pragma once

#include <string>
#include <vector>

#include "model/declaration.h"

namespace kapred {

// Makes the declaration of that code the current one, as selecting it in the list of
// declarations does: finds its header and reads the taxpayer's name and main activity from the
// host (which also stores the host's taxpayer number). False when the taxpayer has no such
// declaration; the current declaration is then left as it was.
bool loadDeclaration(Context& context, const Variant& codDJ);

// The taxpayer's declarations, by code, as the declarations window lists them.
std::vector<EDDJJ> declarationsOfTaxpayer(Context& context);

// The kinds of fiscal year a header may have, by their code, and the name of one code (empty
// for any other value).
struct FiscalYearKind {
    int code;
    const char* name;
};
inline constexpr FiscalYearKind kFiscalYearKinds[] = {{1, "Regular"}, {2, "Irregular"}};
std::string fiscalYearKindName(const Variant& kind);

// The taxpayer's name as the host keeps it (empty when the host does not know the CUIT).
std::string taxpayerName(Context& context);

// The line that describes the taxpayer under the main window.
std::string taxpayerLine(Context& context);

// The checks of a copy's destination, in order; empty when the copy may go ahead.
std::vector<std::string> copyEntryErrors(const BDDJJ& origin, const std::string& period, const std::string& sequence,
                                         NumberFormat format = {});

// Copies the current declaration with every row of every section to the same period under a
// later sequence, all in one transaction, telling the progress through the interface. The
// destination checks, an existing destination and a failure are told to the user the way the
// copy window tells them.
enum class CopyOutcome { Copied, Refused, Failed };
CopyOutcome copyDeclaration(Context& context, const std::string& period, const std::string& sequence);

// "Original" for a sequence whose last digit is 0, else "Rectificativa " and that digit.
std::string sequenceDescription(const Variant& sequence);

}  // namespace kapred
