#include "import/export.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <system_error>
#include <vector>

#include "app/user_files.h"
#include "data/engine/database.h"
#include "data/engine/files.h"
#include "data/engine/recordset.h"
#include "data/values/error.h"
#include "data/values/text.h"
#include "data/windows1252.h"
#include "import/import_formats.h"
#include "model/declaration.h"
#include "model/section_object.h"
#include "model/tables/tables.h"

namespace kapred {

namespace {

namespace fs = std::filesystem;

// The sections whose rows can be written, and the statement that reads the current
// declaration's rows of each.
constexpr std::string_view kExportableTables[] = {tables::ActivoComputable::table, tables::ActivoExento::table,
                                                  tables::Pasivo::table, tables::Anticipos::table,
                                                  tables::PagosCuenta::table};

bool exportable(const std::string& table) {
    for (const std::string_view name : kExportableTables) {
        if (table == name) {
            return true;
        }
    }
    return false;
}

// A number written at its width: zeros on the left of its digits, after a sign place holding
// "-" for a negative number and `positiveSign` otherwise; with no positive sign a positive
// number has no sign place. Nothing when the digits do not fit.
std::optional<std::string> signedDigits(bool negative, const std::string& digits, std::size_t width,
                                        char positiveSign) {
    const bool signPlace = negative || positiveSign != '\0';
    const std::size_t room = signPlace ? width - std::min<std::size_t>(width, 1) : width;
    if (digits.size() > room || (signPlace && width == 0)) {
        return std::nullopt;
    }
    const std::string number = padLeft(digits, room);
    return signPlace ? std::string(1, negative ? '-' : positiveSign) + number : number;
}

struct Placed {
    std::size_t from = 0;
    std::size_t width = 0;
    std::string fieldName;
    int fieldType = kTextField;
};

}  // namespace

std::string CambiaSignoDecimal(std::string text, std::string_view sign) {
    if (sign == ".") {
        if (const auto at = text.find(','); at != std::string::npos) {
            text[at] = '.';
        }
    } else if (sign == ",") {
        if (const auto at = text.find('.'); at != std::string::npos) {
            text[at] = ',';
        }
    }
    return text;
}

std::string fieldTypeName(int fieldType) {
    switch (fieldType) {
        case kAmountField:
            return "importe";
        case kDateField:
            return "fecha";
        case kWholeField:
            return "número entero";
        case kFlagField:
            return "marca";
        default:
            return "texto";
    }
}

std::string exportDecimalSign(const std::optional<int>& decimalSeparator) {
    return decimalSeparator == 0 ? "." : ",";
}

std::optional<std::string> exportField(const Variant& value, int fieldType, std::size_t width,
                                       std::string_view decimalSign, NumberFormat format) {
    switch (fieldType) {
        case kAmountField: {
            const Currency amount = value.toCurrency(format).value_or(Currency()).roundTo(2);
            const bool negative = amount < Currency();
            const std::string digits = formatAmount(negative ? -amount : amount, 2, false, format);
            const auto written = signedDigits(negative, digits, width, '0');
            if (!written) {
                return std::nullopt;
            }
            return CambiaSignoDecimal(*written, decimalSign);
        }
        case kDateField: {
            const auto date = value.isNull() || value.isEmpty() ? std::nullopt : value.toDate();
            if (!date || date->day == DateTime::fromDate(1800, 1, 1).day) {
                return std::string(width, ' ');
            }
            const auto ymd = date->date();
            char text[16];
            std::snprintf(text, sizeof text, "%02u/%02u/%04d", static_cast<unsigned>(ymd.day()),
                          static_cast<unsigned>(ymd.month()), static_cast<int>(ymd.year()));
            if (std::string(text).size() > width) {
                return std::nullopt;
            }
            return padRight(text, width);
        }
        case kWholeField: {
            if (value.isNull() || value.isEmpty()) {
                return std::string(width, '0');
            }
            const auto number = value.toDouble(format);
            if (!number) {
                return std::nullopt;
            }
            const long long whole = std::llround(*number);
            return signedDigits(whole < 0, std::to_string(whole < 0 ? -whole : whole), width, '\0');
        }
        case kFlagField:
            return padLeft(value.toWholeNumber().value_or(0) != 0 ? "1" : "0", width);
        default: {
            const std::string text = toWindows1252(value.isNull() ? std::string() : value.toText(format));
            if (text.size() > width) {
                return std::nullopt;
            }
            return padRight(text, width);
        }
    }
}

ExportResult Exportar(Context& context, long formatId, const fs::path& file, const std::atomic<bool>* cancel) {
    ExportResult result;
    const auto format = findFormat(context, formatId);
    if (!format) {
        result.fail("No existe el formato " + std::to_string(formatId) + ".");
        return result;
    }
    const auto section = importSection(context, format->section);
    if (!section || !exportable(section->entityName)) {
        result.fail("La sección del formato " + format->name + " no se puede exportar.");
        return result;
    }
    if (!declarationLoaded(context)) {
        result.fail(kNoDeclaration);
        return result;
    }
    fs::path work;
    std::FILE* out = nullptr;
    long row = 0;
    try {
        auto positions = context.g_dbTablas->openRecordset(
            "select * from Importacion_DesdeHasta where IdFormato=? and codigo_import=?",
            {format->id, format->section});
        if (positions->recordCount() == 0) {
            result.fail("El formato " + format->name + " no tiene posiciones definidas.");
            return result;
        }
        std::vector<Placed> placed;
        std::size_t length = 0;
        for (long p = 0; p < positions->recordCount(); ++p) {
            p == 0 ? positions->moveFirst() : positions->moveNext();
            const auto from = positions->value("Desde").toWholeNumber().value_or(0);
            const auto to = positions->value("Hasta").toWholeNumber().value_or(0);
            auto kind = context.g_dbTablas->openRecordset(
                "select nombre_campo,tipo_campo from importacion_campos where idcampo=?",
                {positions->value("IdCampo")});
            if (kind->recordCount() == 0 || from < 1 || to < from) {
                result.fail("El formato " + format->name + " tiene una posición que no corresponde a ningún campo.");
                return result;
            }
            placed.push_back({static_cast<std::size_t>(from), static_cast<std::size_t>(to - from + 1),
                              kind->value("nombre_campo").toText(),
                              static_cast<int>(kind->value("tipo_campo").toWholeNumber().value_or(kTextField))});
            length = std::max(length, static_cast<std::size_t>(to));
        }

        const auto& header = *context.currentDeclaration->Entity;
        const std::string where = " FROM " + section->entityName + " WHERE [CUIT]=? AND [CODDJ]=?";
        const db::Parameters key{header.vGetFieldValue(tables::DDJJ::CUIT), header.vGetFieldValue(tables::DDJJ::CodDJ)};
        // Counted first for the progress, then read forward one row at a time, so that the
        // export of a large section takes no more memory than that of a small one. One read
        // transaction keeps the count and the rows the same.
        const db::ReadTransaction pass(*context.g_dbAplicativo);
        const long count =
            context.g_dbAplicativo->openRecordset("SELECT count(*) AS filas" + where, key, db::RecordsetType::Snapshot)
                ->value("filas")
                .toWholeNumber()
                .value_or(0);
        auto rows = context.g_dbAplicativo->openForwardOnly("SELECT *" + where, key);

        const std::string sign = exportDecimalSign(format->decimalSeparator);
        const NumberFormat numbers = context.numberFormat();
        switch (chooseUserFile(context, file)) {
            case FileChoice::Write:
                break;
            case FileChoice::Kept:
                result.outcome = ExportOutcome::Kept;
                return result;
            case FileChoice::Forbidden:
                return result;
        }
        // A hidden file of an export killed half-way is of no use to anyone.
        const std::string name = file.filename().string();
        db::removeLeftoversBeside(file.has_parent_path() ? file.parent_path() : fs::path("."),
                                  [&](const std::string& leftover) { return leftover == name; });
        db::FileHandle created = db::createBeside(file, work, db::replacementMode(file));
        out = created.valid() ? ::fdopen(created.get(), "wb") : nullptr;
        if (out == nullptr) {
            result.fail("No se puede crear el archivo " + file.string() + ": " + db::systemError(errno) + ".");
            return result;
        }
        created.release();
        int shown = -1;
        for (row = 1; !rows->eof(); ++row) {
            if (cancel != nullptr && cancel->load()) {
                std::fclose(out);
                out = nullptr;
                std::error_code ignored;
                fs::remove(work, ignored);
                result.inform("Exportación ha sido cancelada por el Usuario.");
                result.outcome = ExportOutcome::Cancelled;
                return result;
            }
            std::string line(length, ' ');
            for (const auto& field : placed) {
                const auto text =
                    exportField(rows->value(field.fieldName), field.fieldType, field.width, sign, numbers);
                if (!text) {
                    throw Error(err::kOverflow, "Exportar",
                                "el valor " + rows->value(field.fieldName).toText(numbers) + " del campo " +
                                    field.fieldName + " no cabe en " + std::to_string(field.width) + " posiciones");
                }
                line.replace(field.from - 1, field.width, *text);
            }
            line += "\r\n";
            if (std::fwrite(line.data(), 1, line.size(), out) != line.size()) {
                throw Error(err::kDiskFull, "Exportar", "no se pudo escribir el archivo: " + db::systemError(errno));
            }
            result.rows = row;
            if (const int percent = static_cast<int>(row * 100 / std::max(count, row)); percent != shown) {
                shown = percent;
                context.ui.showProgress(percent);
            }
            rows->moveNext();
        }
        rows->close();
        const bool inPlace = std::fflush(out) == 0 && db::putInPlace(::fileno(out), work, file);
        const int failure = errno;
        std::fclose(out);
        out = nullptr;
        if (!inPlace) {
            throw Error(err::kDiskFull, "Exportar", "no se pudo escribir el archivo: " + db::systemError(failure));
        }
        result.outcome = ExportOutcome::Exported;
        result.inform("Exportación Finalizada con Exito");
        return result;
    } catch (const std::exception& error) {
        if (out != nullptr) {
            std::fclose(out);
        }
        std::error_code ignored;
        if (!work.empty()) {
            fs::remove(work, ignored);
        }
        const auto* raised = dynamic_cast<const Error*>(&error);
        result.fail("Ha ocurrido un error en la línea " + std::to_string(row) + ": " +
                    (raised != nullptr ? raised->description() : std::string(error.what())));
        result.outcome = ExportOutcome::Failed;
        result.rows = 0;
        return result;
    }
}

}  // namespace kapred
