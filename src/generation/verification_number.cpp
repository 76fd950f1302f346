#include "generation/verification_number.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>

#include "app/context.h"
#include "calc/determination.h"
#include "data/values/error.h"
#include "data/values/text.h"
#include "generation/agency_libraries.h"
#include "generation/declaration_records.h"
#include "generation/directories.h"
#include "generation/record_layout.h"
#include "model/tables/tables.h"

namespace kapred {

namespace {

// The time of day "HHMMSS" read as a number: 14:30:25 is 143025.
Currency timeStampOf(const Variant& value, const char* source) {
    if (value.isNull()) {
        raiseInvalidUseOfNull(source);
    }
    const auto stamp = value.toDate();
    if (!stamp) {
        raiseTypeMismatch(source);
    }
    const std::chrono::hh_mm_ss time(stamp->time);
    return Currency::fromUnits(time.hours().count() * 10000 + time.minutes().count() * 100 + time.seconds().count());
}

bool isNumericValue(const Variant& value, NumberFormat format) {
    if (value.isEmpty() || value.isNumber()) {
        return true;
    }
    return value.type() == Variant::Type::Text && isNumeric(value.text(), format);
}

std::optional<RoundedDigits> nonNegativeDigits(const Variant& value, int decimals, NumberFormat format) {
    if (value.type() == Variant::Type::Double) {
        const double number = value.doubleValue();
        if (!std::isfinite(number) || number < 0) {
            return std::nullopt;
        }
        return roundDigits(number, decimals);
    }
    if (const auto amount = value.toCurrency(format)) {
        if (*amount < Currency()) {
            return std::nullopt;
        }
        return roundDigits(*amount, decimals);
    }
    // A numeric text beyond the amount range.
    const auto number = value.toDouble(format);
    if (!number || !std::isfinite(*number) || *number < 0) {
        return std::nullopt;
    }
    return roundDigits(*number, decimals);
}

}  // namespace

std::string FormatoInterfaz(const Variant& value, int length, int decimals, NumberFormat format) {
    std::string digits = "0";
    if (isNumericValue(value, format)) {
        if (const auto rounded = nonNegativeDigits(value, decimals, format)) {
            digits = rounded->integer + rounded->fraction;
            const auto first = digits.find_first_not_of('0');
            digits = first == std::string::npos ? "0" : digits.substr(first);
        }
    }
    return padLeft(digits, static_cast<std::size_t>(std::max(length, 0)));
}

std::string FormarNumeroMagico(std::int16_t result, double p4) {
    const int unsignedResult = result < 0 ? result + 65536 : result;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%06d", unsignedResult);
    std::string number = buffer;
    if (number.front() == '0') {
        const std::string stamp = formatDouble(p4);
        number = (stamp.size() >= 4 ? stamp.substr(3, 1) : std::string()) + number.substr(1);
    }
    return number;
}

std::string NumeroMagico(const Context& context, Currency p1, double p2, double p3, double p4) {
    try {
        const std::string a1 = FormatoInterfaz(p1, 15, 0);
        const std::string a2 = FormatoInterfaz(p2, 15, 0);
        const std::string a3 = FormatoInterfaz(p3, 15, 2);
        const std::string a4 = FormatoInterfaz(p4, 15, 0);
        const std::int16_t result = CallVerificationLibrary(DirWinSystem(context), a1, a2, a3, a4, "NumeroMagico");
        return FormarNumeroMagico(result, p4);
    } catch (const Error&) {
        throw;
    } catch (const std::exception& error) {
        throw Error(err::kProgram, "NumeroMagico", error.what());
    }
}

std::string CalcularNumeroMagico(const Context& context, const DatosNumeroMagico& datos) {
    const Currency c = amountOf(datos.cuit, {}, "CalcularNumeroMagico");
    const Currency d = amountOf(datos.codDJ, {}, "CalcularNumeroMagico");
    const Currency h = timeStampOf(datos.hora, "CalcularNumeroMagico");
    return NumeroMagico(context, c, d.toDouble(), datos.saldoRexa.toDouble(), h.toDouble());
}

namespace {

// The current declaration's header values and its determination's balances.
struct CurrentFigures {
    DatosNumeroMagico datos;
    Currency saldoContrib;
};

CurrentFigures currentFigures(Context& context) {
    using Header = tables::DDJJ;
    CurrentFigures figures;
    figures.datos.cuit = currentHeaderValue(context, Header::CUIT);
    figures.datos.codDJ = currentHeaderValue(context, Header::CodDJ);
    figures.datos.hora = currentHeaderValue(context, Header::hora);
    BDeterminacion determination(context);
    determination.CalculateLocalTotals(kListIndex);
    figures.datos.saldoRexa = determination.ccSaldoRexa();
    figures.saldoContrib = determination.ccSaldoContrib();
    return figures;
}

}  // namespace

std::string CalcularNumeroMagico(Context& context) {
    return CalcularNumeroMagico(context, currentFigures(context).datos);
}

CifrasDeclaracion CalcularCifrasDeclaracion(Context& context) {
    const CurrentFigures figures = currentFigures(context);
    return {formatNumeroMagico(CalcularNumeroMagico(context, figures.datos)), figures.datos.saldoRexa,
            figures.saldoContrib};
}

}  // namespace kapred
