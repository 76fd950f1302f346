#pragma once

#include <functional>
#include <iterator>
#include <ostream>
#include <string>
#include <string_view>

#include "generation/record_layout.h"
#include "model/tables/tables.h"

namespace kapred {

struct Context;
class BListSection;

// The records of the file of form 369, each layout one table. After the header line the file
// holds, in this order: record 01, record 02, the 55 records 04, one record 05 per payment on
// account, one record 06 per advance, the nine records 90, at most one record 91 and record 99.
// Every line ends in one line feed.

// ---- Record 01: identification -------------------------------------------------------------

inline constexpr Field kRecord01Fields[] = {
    field::constant("01", 1, 2),
    field::cuit(tables::DDJJ::CUIT, 3),
    field::number(tables::DDJJ::iEstablecimiento, 14, 2),
    field::constant("154", 16, 3),
    field::constant("019", 19, 3),
    field::number("lPeriodo followed by 00", 22, 6),
    field::number(tables::DDJJ::CODIGO_T_SECUENCIAS, 28, 2),
    field::number("verification number", 30, 6),
    field::constant("0369", 36, 4),
    field::constant("00100", 40, 5),
    field::number("hora as hhmmss", 45, 6),
    field::text("program version: minor, major, revision", 51, 7),
    field::constant("DJ sin plan", 58, 25),
    field::constant("00000", 83, 5),
};
inline constexpr RecordLayout kRecord01{"01", kRecord01Fields};
static_assert(isWellFormed(kRecord01) && kRecord01.length() == 87);

// ---- Record 02: fiscal year -----------------------------------------------------------------

inline constexpr Field kRecord02Fields[] = {
    field::constant("02", 1, 2),
    field::number(tables::DDJJ::iTipoEjercicioFiscal, 3, 1),
    field::date(tables::DDJJ::fPeriodoFiscalDesde, 4),
    field::date(tables::DDJJ::fPeriodoFiscalHasta, 12),
    field::number(tables::DDJJ::iEjercicioEconomico, 20, 2),
};
inline constexpr RecordLayout kRecord02{"02", kRecord02Fields};
static_assert(isWellFormed(kRecord02) && kRecord02.length() == 21);

// ---- Records 04: one amount of the declaration ----------------------------------------------

// clang-format off
inline constexpr Field kRecord04Fields[] = {
    field::constant("04", 1, 2),
    field::text("section code", 3, 5),
    field::text("item code", 8, 4),
    field::amount("amount", 12),
    field::number("quantity", 27, 10),
    field::constant("", 37, 100),
};
// clang-format on
inline constexpr RecordLayout kRecord04{"04", kRecord04Fields};
static_assert(isWellFormed(kRecord04) && kRecord04.length() == 136);

// One record 04: its section and item and the figures of the declaration that its amount and
// quantity carry (an empty name writes 0). Figures of the sections' entities go by the field's
// name; the totals by their getter's name, prefixed by the object when two objects offer the
// same getter.
struct Item04 {
    std::string_view section;
    std::string_view item;
    std::string_view amount;
    std::string_view quantity = {};
};

inline constexpr Item04 kItems04[] = {
    // Asset summary.
    {"00100", "0100", "ccActivoComputable"},
    {"00100", "0200", "ccActivoExento"},
    {"00100", "0300", "ccActivoExento + ccActivoNoComputable"},
    {"00100", "0400", "ccActivo"},
    // Computable assets: the entity's fields and sub-totals in screen order.
    {"00200", "0050", "ccActivoComputable"},
    {"00200", "0100", tables::ActivoComputable::cDineroEfectivoNac},
    {"00200", "0200", tables::ActivoComputable::cDineroEfectivoExt},
    {"00200", "0300", "ccDineroEfectivo"},
    {"00200", "0400", tables::ActivoComputable::cDepositosNac},
    {"00200", "0500", tables::ActivoComputable::cDepositosExt},
    {"00200", "0600", "ccDepositos"},
    {"00200", "0700", tables::ActivoComputable::cCreditosNac},
    {"00200", "0800", tables::ActivoComputable::cCreditosExt},
    {"00200", "0900", "ccCreditos"},
    {"00200", "1000", tables::ActivoComputable::cIntereses},
    {"00200", "1100", tables::ActivoComputable::cTitulosPublicos},
    {"00200", "1200", tables::ActivoComputable::cParticipacionesCapital},
    {"00200", "1300", tables::ActivoComputable::cBienesCambio},
    {"00200", "1400", tables::ActivoComputable::cBienesAdquiridos},
    {"00200", "1500", tables::ActivoComputable::cBienesElaborados},
    {"00200", "1600", tables::ActivoComputable::cBienesEnCurso},
    {"00200", "1700", "ccBienesMueblesAmortizables"},
    {"00200", "1800", tables::ActivoComputable::cInmueblesNoBienesCambio},
    {"00200", "1900", tables::ActivoComputable::cInmueblesActForestales},
    {"00200", "2000", "ccInmuebles"},
    {"00200", "2100", tables::ActivoComputable::cBienesInmateriales},
    {"00200", "2200", tables::ActivoComputable::cOtrosBienes},
    // Exempt assets.
    {"00300", "0100", tables::ActivoExento::cBienesTierraDelFuego},
    {"00300", "0200", tables::ActivoExento::cAccionesParticipaciones},
    {"00300", "0300", tables::ActivoExento::cCuotasSociales},
    {"00300", "0400", "ccActivoExento"},
    // Non-computable and exempt totals.
    {"00400", "0100", "ccActivoNoComputable"},
    {"00400", "0200", "ccActivoExento"},
    // Liabilities.
    {"00500", "0100", "", tables::Pasivo::iCooperativaSegurosCapitalizacion},
    {"00500", "0200", "", tables::Pasivo::iCooperativaAseguradoresVida},
    {"00500", "0300", tables::Pasivo::cDeudas},
    {"00500", "0400", tables::Pasivo::cFondosBeneficioSeguroVida},
    {"00500", "0500", tables::Pasivo::cReservasTecnicas},
    {"00500", "0600", tables::Pasivo::cProvisiones},
    {"00500", "0700", tables::Pasivo::cBeneficios},
    {"00500", "0800", "ccPasivo"},
    // Liquidation.
    {"00600", "0100", "BLiquidacion.ccActivoComputable"},
    {"00600", "0200", "ccPasivoAlCierre"},
    {"00600", "0300", "ccCapitalAlCierre"},
    {"00600", "0400", "BLiquidacion.ccDeduccionesAlCierre"},
    {"00600", "0500", "ccCapitalCooperativo"},
    {"00600", "0600", "ccAlicuota x 100"},
    {"00600", "0700", "ccContribEspecial"},
    // Determination.
    {"00700", "0100", "BPagosCuenta.ccImporte"},
    {"00700", "0200", "BAnticipos.ccImporte"},
    {"00700", "0300", "BSaldoFavorPeriodoAnt.ccImporte"},
    {"00700", "0400", "ccSaldoRexa"},
    {"00700", "0500", "ccSaldoContrib"},
    // Balance in favour from the previous period.
    {"00800", "0100", "", tables::SaldoFavorPeriodoAnt::lPeriodo},
    {"00800", "0200", tables::SaldoFavorPeriodoAnt::cImporte},
};
static_assert(std::size(kItems04) == 55);

// ---- Records 05 and 06: one payment on account, one advance --------------------------------

inline constexpr Field kRecord05Fields[] = {
    field::constant("05", 1, 2),
    field::date(tables::ListSection::fFecha, 3),
    field::amount(tables::ListSection::cImporte, 11),
};
inline constexpr RecordLayout kRecord05{"05", kRecord05Fields};
static_assert(isWellFormed(kRecord05) && kRecord05.length() == 25);

inline constexpr Field kRecord06Fields[] = {
    field::constant("06", 1, 2),
    field::date(tables::ListSection::fFecha, 3),
    field::amount(tables::ListSection::cImporte, 11),
};
inline constexpr RecordLayout kRecord06{"06", kRecord06Fields};
static_assert(isWellFormed(kRecord06) && kRecord06.length() == 25);

// ---- Records 90: the totals of the printed form ---------------------------------------------

inline constexpr Field kRecord90Fields[] = {
    field::text("box code", 1, 7),
    field::amount("amount", 8),
};
inline constexpr RecordLayout kRecord90{"90", kRecord90Fields};
static_assert(isWellFormed(kRecord90) && kRecord90.length() == 22);

// The nine boxes of the form, in file order, and the figure each carries (names as in kItems04).
struct Item90 {
    std::string_view code;
    std::string_view amount;
};

inline constexpr Item90 kItems90[] = {
    {"9004000", "BLiquidacion.ccActivoComputable"},
    {"9004010", "ccPasivoAlCierre"},
    {"9004020", "ccCapitalAlCierre"},
    {"9004150", "BLiquidacion.ccDeduccionesAlCierre"},
    {"9004200", "ccCapitalCooperativo"},
    {"9004220", "ccContribEspecial"},
    {"9004320", "BPagosCuenta.ccImporte"},
    {"9004330", "ccSaldoRexa"},
    {"9004340", "ccSaldoContrib"},
};
static_assert(std::size(kItems90) == 9);

// ---- Record 91: the fiscal address, as the host keeps it ------------------------------------

// Each text field is the host's column in capitals, left-aligned in its width and cut to it; a
// Null column is blank. A Null province is written "00".
// clang-format off
inline constexpr Field kRecord91Fields[] = {
    field::constant("91", 1, 2),
    field::text("calle", 3, 20),
    field::text("nro", 23, 6),
    field::text("sector", 29, 5),
    field::text("torre", 34, 5),
    field::text("piso", 39, 5),
    field::text("Dtoofloc", 44, 5),
    field::text("manzana", 49, 5),
    field::text("barrio", 54, 20),
    field::text("tipoBarrio", 74, 1),
    field::text("localidad", 75, 15),
    field::text("partido", 90, 50),
    field::number("codProv", 140, 2),
    field::text("codPostal", 142, 8),
};
// clang-format on
inline constexpr RecordLayout kRecord91{"91", kRecord91Fields};
static_assert(isWellFormed(kRecord91) && kRecord91.length() == 149);

// ---- Record 99: closing record ---------------------------------------------------------------

inline constexpr Field kRecord99Fields[] = {
    field::constant("99", 1, 2),
    field::constant("154", 3, 3),
    field::amount("ccSaldoRexa", 6),
};
inline constexpr RecordLayout kRecord99{"99", kRecord99Fields};
static_assert(isWellFormed(kRecord99) && kRecord99.length() == 20);

// ---- Writers ---------------------------------------------------------------------------------
//
// Each writes the records of the current declaration to the open file, one write of the record
// and a line feed per record. Records 01 to 06 are cleaned of control characters and checked
// against their layout's length first; one of the wrong length is not written. A database error
// or a value that cannot be formatted (a Null where a number or date is written) raises.

// Record 01; 1 when written, -1 when its length was wrong. The verification number is computed
// afresh.
long tipo01(Context& context, std::ostream& file);
// Record 02; 1 or -1.
long tipo02(Context& context, std::ostream& file);
// The 55 records 04 from fresh section, liquidation and determination objects: 55, or a negative
// number when any record had the wrong length (the others are still written). Raises when no
// rate covers the start of the fiscal year, since the liquidation's figures are then not valid.
long tipo04(Context& context, std::ostream& file);
// The records of the list section's rows of the current declaration (05 for the payments on
// account, 06 for the advances), in the order of their ID: the number written
// (0 without rows), or -1 at the first record of the wrong length (those before it stay
// written). A database error, or a row whose date or amount cannot be written, raises. A
// declaration may hold a million rows: every kRowsPerProgress rows, progress is told the share
// of the rows written so far.
inline constexpr long kRowsPerProgress = 4096;
long sGenerarRegistrointerface(BListSection& section, std::ostream& file,
                               const std::function<void(double)>& progress = {});
// Record 91 of the taxpayer whose host number the context keeps (stored when the declaration
// was loaded), or the empty text when the host has no fiscal address for it.
std::string tipo91(Context& context);
// Record 99: the amount to pay of a fresh determination.
std::string tipo99(Context& context);

// The header line put in front of the records: "HEAD10 ", b and a as two digits each, and the
// number of records that follow as six digits, separated by blanks. A count that does not fit
// in six digits raises error 18 (source "Componente de Generación").
std::string ArmarCabecera(int a, int b, long count);

// The verification number formatted "000000" for the file names: a shorter number gets leading
// zeros; anything else is given back unchanged.
std::string formatNumeroMagico(const std::string& number);

}  // namespace kapred
