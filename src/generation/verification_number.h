#pragma once

#include <cstdint>
#include <string>

#include "data/values/currency.h"
#include "data/values/numeric_text.h"
#include "data/values/variant.h"

namespace kapred {

struct Context;

// What the verification number of a declaration is computed from.
struct DatosNumeroMagico {
    Variant cuit;        // `CUIT` of the declaration's header, a number without dashes
    Variant codDJ;       // `CodDJ` of the header
    Currency saldoRexa;  // `ccSaldoRexa` of a BDeterminacion totalled with "IDX_LIST"
    Variant hora;        // `hora` of the header: a date and time, of which the time is used
};

// The six-digit verification number of a declaration: the CUIT and the declaration code as
// numbers, the amount to pay and the time stamp "HHMMSS" as a number (14:30:25 is 143025),
// handed to NumeroMagico. A value that cannot be taken as a number (a Null, a text) raises.
std::string CalcularNumeroMagico(const Context& context, const DatosNumeroMagico& datos);
// The verification number of the current declaration: its header's values and the amount to
// pay of a fresh BDeterminacion totalled with "IDX_LIST". Raises as the one above, or when the
// database fails.
std::string CalcularNumeroMagico(Context& context);

// What the current declaration's file is made from: its verification number as the file names
// it (formatNumeroMagico) and the balances of its determination totalled with "IDX_LIST".
// Raises as CalcularNumeroMagico.
struct CifrasDeclaracion {
    std::string numeroVerificacion;
    Currency saldoRexa;
    Currency saldoContrib;
};
CifrasDeclaracion CalcularCifrasDeclaracion(Context& context);

// Calls the verification-number library of the system directory with the four values as 15-digit
// texts (the third with 2 implied decimals) and forms the number from its result. A missing
// or foreign library, or one without the entry, raises an Error that names it.
std::string NumeroMagico(const Context& context, Currency p1, double p2, double p3, double p4);

// The number from the library's 16-bit result and the time stamp: the result taken unsigned
// (-1 is 65535) as six digits, whose first digit, always 0, is replaced by the fourth
// character of the time stamp's text without leading zeros (143025 gives 0, 93025 gives 2). A
// stamp of three digits or fewer has no fourth character: the number then has five digits.
std::string FormarNumeroMagico(std::int16_t result, double p4);

// The fixed-width digits handed to the library: the value times 10 to the power of `decimals`,
// rounded to a whole number, with leading zeros to `length` digits (a larger value comes out
// longer; a length of 0 gives the digits alone). A value that is not numeric (Null, a date, a
// text that is not a number) or is negative counts as 0. Never fails.
std::string FormatoInterfaz(const Variant& value, int length, int decimals, NumberFormat format = {});

}  // namespace kapred
