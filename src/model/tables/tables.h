#pragma once

#include <span>
#include <string_view>

#include "data/engine/schema.h"

// The tables of a declaration, each column declared once. Code names a column through its
// table's constant (Pasivo::cDeudas), so that a misspelt name fails to compile; the names are
// those of the database, the import layouts and the help.
namespace kapred::tables {

struct Column {
    std::string_view name;
    db::DataType type;
    bool required = false;
    int size = 0;  // a text's greatest length

    // Where the engine or an entity takes a column by its name.
    constexpr operator std::string_view() const { return name; }
};

// Every table of a declaration starts with the declaration's key.
struct DeclarationKey {
    static constexpr Column CUIT{"CUIT", db::DataType::Double};
    static constexpr Column CodDJ{"CodDJ", db::DataType::Long, true};
};

// The declaration header.
struct DDJJ : DeclarationKey {
    static constexpr std::string_view table = "DDJJ";
    static constexpr Column iTipoEjercicioFiscal{"iTipoEjercicioFiscal", db::DataType::Integer};
    static constexpr Column lPeriodo{"lPeriodo", db::DataType::Long, true};
    static constexpr Column fPeriodoFiscalDesde{"fPeriodoFiscalDesde", db::DataType::Date};
    static constexpr Column fPeriodoFiscalHasta{"fPeriodoFiscalHasta", db::DataType::Date};
    static constexpr Column iEjercicioEconomico{"iEjercicioEconomico", db::DataType::Integer};
    static constexpr Column CODIGO_T_SECUENCIAS{"CODIGO_T_SECUENCIAS", db::DataType::Long, true};
    static constexpr Column iEstablecimiento{"iEstablecimiento", db::DataType::Integer};
    static constexpr Column sFormulario{"sFormulario", db::DataType::Text, false, 4};
    static constexpr Column sVersion{"sVersion", db::DataType::Text, false, 5};
    static constexpr Column sVersionEXE{"sVersionEXE", db::DataType::Text, false, 7};
    static constexpr Column hora{"hora", db::DataType::Date, true};
    static constexpr Column columns[] = {CUIT,
                                         CodDJ,
                                         iTipoEjercicioFiscal,
                                         lPeriodo,
                                         fPeriodoFiscalDesde,
                                         fPeriodoFiscalHasta,
                                         iEjercicioEconomico,
                                         CODIGO_T_SECUENCIAS,
                                         iEstablecimiento,
                                         sFormulario,
                                         sVersion,
                                         sVersionEXE,
                                         hora};
};

struct ActivoComputable : DeclarationKey {
    static constexpr std::string_view table = "ActivoComputable";
    static constexpr Column cDineroEfectivoNac{"cDineroEfectivoNac", db::DataType::Currency};
    static constexpr Column cDineroEfectivoExt{"cDineroEfectivoExt", db::DataType::Currency};
    static constexpr Column cDepositosNac{"cDepositosNac", db::DataType::Currency};
    static constexpr Column cDepositosExt{"cDepositosExt", db::DataType::Currency};
    static constexpr Column cCreditosNac{"cCreditosNac", db::DataType::Currency};
    static constexpr Column cCreditosExt{"cCreditosExt", db::DataType::Currency};
    static constexpr Column cIntereses{"cIntereses", db::DataType::Currency};
    static constexpr Column cTitulosPublicos{"cTitulosPublicos", db::DataType::Currency};
    static constexpr Column cParticipacionesCapital{"cParticipacionesCapital", db::DataType::Currency};
    static constexpr Column cBienesCambio{"cBienesCambio", db::DataType::Currency};
    static constexpr Column cBienesAdquiridos{"cBienesAdquiridos", db::DataType::Currency};
    static constexpr Column cBienesElaborados{"cBienesElaborados", db::DataType::Currency};
    static constexpr Column cBienesEnCurso{"cBienesEnCurso", db::DataType::Currency};
    static constexpr Column cInmueblesNoBienesCambio{"cInmueblesNoBienesCambio", db::DataType::Currency};
    static constexpr Column cInmueblesActForestales{"cInmueblesActForestales", db::DataType::Currency};
    static constexpr Column cBienesInmateriales{"cBienesInmateriales", db::DataType::Currency};
    static constexpr Column cOtrosBienes{"cOtrosBienes", db::DataType::Currency};
    static constexpr Column columns[] = {CUIT,
                                         CodDJ,
                                         cDineroEfectivoNac,
                                         cDineroEfectivoExt,
                                         cDepositosNac,
                                         cDepositosExt,
                                         cCreditosNac,
                                         cCreditosExt,
                                         cIntereses,
                                         cTitulosPublicos,
                                         cParticipacionesCapital,
                                         cBienesCambio,
                                         cBienesAdquiridos,
                                         cBienesElaborados,
                                         cBienesEnCurso,
                                         cInmueblesNoBienesCambio,
                                         cInmueblesActForestales,
                                         cBienesInmateriales,
                                         cOtrosBienes};
};

struct ActivoExento : DeclarationKey {
    static constexpr std::string_view table = "ActivoExento";
    static constexpr Column cBienesTierraDelFuego{"cBienesTierraDelFuego", db::DataType::Currency};
    static constexpr Column cAccionesParticipaciones{"cAccionesParticipaciones", db::DataType::Currency};
    static constexpr Column cCuotasSociales{"cCuotasSociales", db::DataType::Currency};
    static constexpr Column columns[] = {CUIT, CodDJ, cBienesTierraDelFuego, cAccionesParticipaciones, cCuotasSociales};
};

struct ActivoNoComputable : DeclarationKey {
    static constexpr std::string_view table = "ActivoNoComputable";
    static constexpr Column cBienesExterior{"cBienesExterior", db::DataType::Currency};
    static constexpr Column columns[] = {CUIT, CodDJ, cBienesExterior};
};

struct Pasivo : DeclarationKey {
    static constexpr std::string_view table = "Pasivo";
    // Yes (1) or no (0): each lets the amount of its kind of insurer be declared.
    static constexpr Column iCooperativaSegurosCapitalizacion{"iCooperativaSegurosCapitalizacion",
                                                              db::DataType::Integer};
    static constexpr Column iCooperativaAseguradoresVida{"iCooperativaAseguradoresVida", db::DataType::Integer};
    static constexpr Column cDeudas{"cDeudas", db::DataType::Currency};
    static constexpr Column cProvisiones{"cProvisiones", db::DataType::Currency};
    static constexpr Column cReservasTecnicas{"cReservasTecnicas", db::DataType::Currency};
    static constexpr Column cFondosBeneficioSeguroVida{"cFondosBeneficioSeguroVida", db::DataType::Currency};
    static constexpr Column cBeneficios{"cBeneficios", db::DataType::Currency};
    // Each yes/no answer with the amount it lets be declared.
    struct InsuranceAmount {
        Column flag;
        Column amount;
    };
    static constexpr InsuranceAmount insuranceAmounts[] = {
        {iCooperativaSegurosCapitalizacion, cReservasTecnicas},
        {iCooperativaAseguradoresVida, cFondosBeneficioSeguroVida},
    };
    static constexpr Column columns[] = {CUIT,
                                         CodDJ,
                                         iCooperativaSegurosCapitalizacion,
                                         iCooperativaAseguradoresVida,
                                         cDeudas,
                                         cProvisiones,
                                         cReservasTecnicas,
                                         cFondosBeneficioSeguroVida,
                                         cBeneficios};
};

// Advances and payments on account: numbered rows, several per declaration.
struct ListSection : DeclarationKey {
    static constexpr Column ID{"ID", db::DataType::Long};
    static constexpr Column fFecha{"fFecha", db::DataType::Date};
    static constexpr Column cImporte{"cImporte", db::DataType::Currency};
    static constexpr Column columns[] = {CUIT, CodDJ, ID, fFecha, cImporte};
};
struct Anticipos : ListSection {
    static constexpr std::string_view table = "Anticipos";
};
struct PagosCuenta : ListSection {
    static constexpr std::string_view table = "PagosCuenta";
};

struct SaldoFavorPeriodoAnt : DeclarationKey {
    static constexpr std::string_view table = "SaldoFavorPeriodoAnt";
    static constexpr Column lPeriodo{"lPeriodo", db::DataType::Long};
    static constexpr Column cImporte{"cImporte", db::DataType::Currency};
    static constexpr Column columns[] = {CUIT, CodDJ, lPeriodo, cImporte};
};

struct LiqDeduccionesAlCapital : DeclarationKey {
    static constexpr std::string_view table = "LiqDeduccionesAlCapital";
    static constexpr Column cReembolsoGastos{"cReembolsoGastos", db::DataType::Currency};
    static constexpr Column cGratificacioneAlPersonal{"cGratificacioneAlPersonal", db::DataType::Currency};
    static constexpr Column cRetornoExcedente{"cRetornoExcedente", db::DataType::Currency};
    static constexpr Column cTotalRetribucionesLey23427{"cTotalRetribucionesLey23427", db::DataType::Currency};
    static constexpr Column columns[] = {
        CUIT, CodDJ, cReembolsoGastos, cGratificacioneAlPersonal, cRetornoExcedente, cTotalRetribucionesLey23427};
};

// The shipped system tables the program reads: rates and thresholds by period of validity, the
// kinds of presentation.
struct RateTable {
    static constexpr Column VigenciaDesde{"VigenciaDesde", db::DataType::Date, true};
    static constexpr Column VigenciaHasta{"VigenciaHasta", db::DataType::Date, true};
    static constexpr Column alicuota{"alicuota", db::DataType::Double};
};
// The contribution's rate and threshold: one table for the first fiscal year, one for the others.
struct T_ALICUOTAS_Y_TOPES : RateTable {
    static constexpr std::string_view table = "T_ALICUOTAS_Y_TOPES";
    static constexpr std::string_view laterYears = "T_ALICUOTAS_Y_TOPES_2";
    static constexpr Column CODIGO_T_ALICUOTAS_Y_TOPES{"CODIGO_T_ALICUOTAS_Y_TOPES", db::DataType::Long, true};
    static constexpr Column TopeEnPesos{"TopeEnPesos", db::DataType::Currency};
};
// The deduction for salaries paid to disabled staff.
struct T_DEDUC_DISCAPACITADO : RateTable {
    static constexpr std::string_view table = "T_DEDUC_DISCAPACITADO";
    static constexpr Column CODIGO_T_DEDUC_DISCAPACITADO{"CODIGO_T_DEDUC_DISCAPACITADO", db::DataType::Long, true};
};
struct T_SECUENCIAS {
    static constexpr std::string_view table = "T_SECUENCIAS";
    static constexpr Column CODIGO_T_SECUENCIAS{"CODIGO_T_SECUENCIAS", db::DataType::Long, true};
    static constexpr Column DESCRIPCION{"DESCRIPCION", db::DataType::Text, false, 50};
};

}  // namespace kapred::tables
