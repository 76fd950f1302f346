#pragma once

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "app/context.h"
#include "data/values/variant.h"
#include "import/run_outcome.h"

namespace kapred {

// Replaces the first comma by a point when the sign is ".", the first point by a comma when it
// is ","; any other sign (the empty one included) leaves the text as it is.
std::string CambiaSignoDecimal(std::string text, std::string_view sign);

// The decimal sign a format's amounts are written with. The format's decimal separator decides:
// a user who chose the point gets "1234.50", and the same format reads the point back
// (import_engine.h); any other choice, or none, keeps the program's comma.
std::string exportDecimalSign(const std::optional<int>& decimalSeparator);

// Kinds of field (tipo_campo) and how each is written at its width.
inline constexpr int kAmountField = 1;  // "-" or "0", then the absolute value with two decimals,
                                        // zeros on the left: -12,5 in 8 is "-0012,50"
inline constexpr int kTextField = 2;    // left-aligned, blanks on the right
inline constexpr int kDateField = 3;    // dd/mm/yyyy, blanks on the right; 01/01/1800 or none: blanks
inline constexpr int kWholeField = 4;   // zeros on the left; none: zeros
inline constexpr int kFlagField = 5;    // "1" for true, "0" otherwise
// The kind's name as the user reads it: "importe", "texto", "fecha", "número entero", "marca".
std::string fieldTypeName(int fieldType);

// One value of a row written for a field of that kind and width (in Windows-1252 bytes), with the
// decimal sign given for amounts; nothing when the value does not fit the width (it is never cut).
std::optional<std::string> exportField(const Variant& value, int fieldType, std::size_t width,
                                       std::string_view decimalSign, NumberFormat format = {});

enum class ExportOutcome {
    Exported,
    Cancelled,
    Failed,
    Kept,  // a file was there and the user kept it: nothing was written
};

struct ExportResult : RunOutcome {
    ExportOutcome outcome = ExportOutcome::Failed;
    long rows = 0;  // rows written
};

// Writes the rows of the format's section of the current declaration to a text file, one line
// per row, every field at its own columns (the columns no field covers are blanks), Windows-1252
// with carriage return and line feed. A file already there is replaced only when the user agrees,
// and never one of the program's own files. The new file is written beside its final name and
// put in place at the end, so that a failed or cancelled export leaves the file that was there.
// Returns what to tell of the end ("Exportación Finalizada con Exito", the cancellation, or the
// failure as an error); the question before replacing a file is asked during the run. The cancel
// flag is looked at between rows.
ExportResult Exportar(Context& context, long formatId, const std::filesystem::path& file,
                      const std::atomic<bool>* cancel = nullptr);

}  // namespace kapred
