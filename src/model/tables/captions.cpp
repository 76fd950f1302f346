#include "model/tables/captions.h"

#include <algorithm>
#include <cctype>

#include "model/tables/tables.h"

namespace kapred {

namespace {

using namespace tables;

// Field and total names are plain ASCII identifiers.
bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

const WindowCaptions* findWindow(std::string_view entityName) {
    const auto& catalogue = captionCatalogue();
    const auto it = std::ranges::find(catalogue, entityName, &WindowCaptions::entityName);
    return it == catalogue.end() ? nullptr : &*it;
}

}  // namespace

// One block per window, in the order of the object factory. Within a block the entity's columns
// come first, in column order, then the totals the window shows. Texts are exactly as the user
// sees them, blanks at either end included. Columns that the window shows without a caption of
// their own (or does not show at all) have no entry.
const std::vector<WindowCaptions>& captionCatalogue() {
    static const std::vector<WindowCaptions> catalogue{
        // Asset summary: only totals. The middle box shows the non-computable and the exempt
        // assets added together; it carries the name of the first of the two.
        {"Activo",
         " Activo",
         {
             {"ccActivoComputable", " Total Activo Computable"},
             {"ccActivoNoComputable", " Total Activo No Computable +  Activo Exento"},
             {"ccActivo", " Total Activo"},
         }},

        // Computable assets. The national and foreign amounts of cash, deposits and receivables,
        // the two kinds of real estate and the depreciable movables stand in frames headed
        // "Dinero en Efectivo", "Depósitos", "Créditos", "Inmuebles Neto de Amortización" and
        // "Bienes Muebles Amortizables Neto de Amortización"; each label within a frame names its
        // amount in full, so that a message about it says which one it is.
        {ActivoComputable::table,
         "Activo Computable",
         {
             {ActivoComputable::cDineroEfectivoNac, "Dinero en Efectivo en Moneda Nacional"},
             {ActivoComputable::cDineroEfectivoExt, "Dinero en Efectivo en Moneda Extranjera"},
             {ActivoComputable::cDepositosNac, "Depósitos en Moneda Nacional"},
             {ActivoComputable::cDepositosExt, "Depósitos en Moneda Extranjera"},
             {ActivoComputable::cCreditosNac, "Créditos en Moneda Nacional"},
             {ActivoComputable::cCreditosExt, "Créditos en Moneda Extranjera"},
             {ActivoComputable::cIntereses, "Intereses y Actualizaciones"},
             {ActivoComputable::cTitulosPublicos, "Títulos Públicos, Acciones y demás Títulos Valores"},
             {ActivoComputable::cParticipacionesCapital, "Participaciones en el Capital de Sociedades"},
             {ActivoComputable::cBienesCambio, "Bienes de Cambio"},
             {ActivoComputable::cBienesAdquiridos, "Bienes Adquiridos"},
             {ActivoComputable::cBienesElaborados, "Bienes Elaborados, Fabricados o Construidos"},
             {ActivoComputable::cBienesEnCurso, "Bienes en Curso de Elaboración"},
             {ActivoComputable::cInmueblesNoBienesCambio, "Inmuebles que no son Bienes de Cambio"},
             {ActivoComputable::cInmueblesActForestales,
              "Inmuebles destinados a Actividades Forestales, Frutícolas o Similares"},
             {ActivoComputable::cBienesInmateriales, "Bienes Inmateriales"},
             {ActivoComputable::cOtrosBienes, "Otros Bienes"},
             {"ccDineroEfectivo", "Dinero en Efectivo"},
             {"ccDepositos", "Depósitos"},
             {"ccCreditos", "Créditos"},
             {"ccInmuebles", "Inmuebles Neto de Amortización"},
             {"ccBienesMueblesAmortizables", "Bienes Muebles Amortizables Neto de Amortización"},
             {"ccActivoComputable", "Total Activo Computable"},
         }},

        {ActivoExento::table,
         "Activo Exento",
         {
             {ActivoExento::cBienesTierraDelFuego,
              "Bienes situados en Tierra del Fuego, Antártida e Islas del Atlántico Sur"},
             {ActivoExento::cAccionesParticipaciones, "Acciones y Participaciones en Capital de entidades"},
             {ActivoExento::cCuotasSociales, "Cuotas sociales de cooperativas"},
             {"ccActivoExento", "Total del Activo Exento"},
         }},

        // The exempt total shown here is that of the window's exempt-asset object.
        {ActivoNoComputable::table,
         "Activo No Computable",
         {
             {ActivoNoComputable::cBienesExterior, "Bienes situados en el Exterior con carácter permanente"},
             {"ccActivoExento", " Total Activo Exento"},
         }},

        // The row number is not shown as an input.
        {Anticipos::table,
         "Anticipos Ingresados",
         {
             {Anticipos::fFecha, "Fecha"},
             {Anticipos::cImporte, "Importe"},
             {"ccImporte", "Total Anticipos"},
         }},

        // The declarations window. Establishment, form, versions and time are kept by the
        // program and never shown.
        {DDJJ::table,
         "Declaración Jurada",
         {
             {DDJJ::iTipoEjercicioFiscal, "Tipo de Ejercicio Fiscal "},
             {DDJJ::lPeriodo, "Período Fiscal (AAAA)"},
             {DDJJ::fPeriodoFiscalDesde, "Período Fiscal - Desde"},
             {DDJJ::fPeriodoFiscalHasta, "Periodo Fiscal - Hasta"},
             {DDJJ::iEjercicioEconomico, "Ejercicio Económico Nº"},
             {DDJJ::CODIGO_T_SECUENCIAS, "Secuencia de Presentación"},
         }},

        // Computed figures only; the rate is shown as a percentage.
        {"Liquidacion",
         "Liquidación",
         {
             {"ccActivoComputable", "Activo Computable al Cierre del Ejercicio"},
             {"ccPasivoAlCierre", "Pasivo al Cierre del Ejercicio"},
             {"ccCapitalAlCierre", "Capital al Cierre del Ejercicio"},
             {"ccDeduccionesAlCierre", "Deducciones al Capital al Cierre del Ejercicio"},
             {"ccCapitalCooperativo", "Capital Cooperativo Imponible"},
             {"ccAlicuota", "Alícuota (%)"},
             {"ccContribEspecial", "Contribución Especial Determinada"},
         }},

        {LiqDeduccionesAlCapital::table,
         "Deducciones al Capital al Cierre del Ejercicio",
         {
             {LiqDeduccionesAlCapital::cReembolsoGastos,
              "Reembolso de Gastos y Retribuciones de Consejeros y Síndicos"},
             {LiqDeduccionesAlCapital::cGratificacioneAlPersonal, "Gratificaciones y Asignaciones al Personal"},
             {LiqDeduccionesAlCapital::cRetornoExcedente, "Retornos de Excedentes Distribuidos"},
             {LiqDeduccionesAlCapital::cTotalRetribucionesLey23427,
              "Total de Retribuciones abonadas a Personal Discapacitado Ley 23427 Art. 23"},
             {"ccDeduccionPorRetribucion",
              "Deducción por Retribuciones abonadas a perosnal Discapacitados Ley 23427 Art. 23"},
             {"ccDeduccionesAlCierre", "Total de Deducciones al Capital al Cierre del Ejercicio"},
         }},

        {PagosCuenta::table,
         "Pagos a Cuenta ",
         {
             {PagosCuenta::fFecha, "Fecha"},
             {PagosCuenta::cImporte, "Importe"},
             {"ccImporte", "Total Pagos a Cuenta"},
         }},

        {Pasivo::table,
         "Pasivo",
         {
             {Pasivo::iCooperativaSegurosCapitalizacion, "Cooperativa de Seguros de Capitalización"},
             {Pasivo::iCooperativaAseguradoresVida, "Cooperativa Aseguradores de vida de Seguros de Capitalización"},
             {Pasivo::cDeudas, "Deudas en Moneda Nacional y Extranjera"},
             {Pasivo::cProvisiones, "Previsiones"},
             {Pasivo::cReservasTecnicas, "Reservas Técnicas"},
             {Pasivo::cFondosBeneficioSeguroVida, "Fondos de Beneficio de Seguros de vida"},
             {Pasivo::cBeneficios, "Beneficios Percibidos por Adelantado a Devengar en Ejercicios Futuros"},
             {"ccPasivo", "Total del Pasivo"},
         }},

        {SaldoFavorPeriodoAnt::table,
         "Saldo a Favor Períodos Anteriores",
         {
             {SaldoFavorPeriodoAnt::lPeriodo, "Período (AAAA)"},
             {SaldoFavorPeriodoAnt::cImporte, "Importe"},
         }},

        // The previous balance, the payments and the advances are all totals named ccImporte of
        // their own section objects; here each is named after its section so that the three
        // boxes can be told apart. The contribution is that of the liquidation.
        {"Determinacion",
         "Determinación de la Contribución Especial a Ingresar",
         {
             {"ccSaldoFavorPeriodoAnt", "Saldo a Favor Período Anterior"},
             {"ccPagosCuenta", "Total Pagos a Cuenta"},
             {"ccAnticipos", "Total Anticipos"},
             {"ccContribEspecial", "Contribución Especial Determinado"},
             {"ccSaldoRexa", "A favor de Rexa"},
             {"ccSaldoContrib", "A Favor del Contribuyente"},
         }},

        // The system tables the viewer shows, each under the entry of the viewer's tree; their
        // code columns show as "Código". The rates are percentages.
        {T_ALICUOTAS_Y_TOPES::table,
         "Tabla de Alicuotas y Topes",
         {
             {T_ALICUOTAS_Y_TOPES::CODIGO_T_ALICUOTAS_Y_TOPES, "Código"},
             {T_ALICUOTAS_Y_TOPES::VigenciaDesde, "Vigencia Desde"},
             {T_ALICUOTAS_Y_TOPES::VigenciaHasta, "Vigencia Hasta"},
             {T_ALICUOTAS_Y_TOPES::alicuota, "Alícuota (%)"},
             {T_ALICUOTAS_Y_TOPES::TopeEnPesos, "Tope en Pesos"},
         }},
        {T_DEDUC_DISCAPACITADO::table,
         "Deducción s/Remuneraciones abonadas a Personal Discapacitado",
         {
             {T_DEDUC_DISCAPACITADO::CODIGO_T_DEDUC_DISCAPACITADO, "Código"},
             {T_DEDUC_DISCAPACITADO::VigenciaDesde, "Vigencia Desde"},
             {T_DEDUC_DISCAPACITADO::VigenciaHasta, "Vigencia Hasta"},
             {T_DEDUC_DISCAPACITADO::alicuota, "Alícuota (%)"},
         }},
        {T_SECUENCIAS::table,
         "Secuencias",
         {
             {T_SECUENCIAS::CODIGO_T_SECUENCIAS, "Código"},
             {T_SECUENCIAS::DESCRIPCION, "Descripción"},
         }},
    };
    return catalogue;
}

std::optional<std::string> windowCaption(std::string_view entityName) {
    if (const WindowCaptions* window = findWindow(entityName)) {
        return std::string(window->caption);
    }
    return std::nullopt;
}

std::optional<std::string> fieldLabel(std::string_view entityName, std::string_view fieldName) {
    const WindowCaptions* window = findWindow(entityName);
    if (window == nullptr) {
        return std::nullopt;
    }
    for (const auto& label : window->labels) {
        if (sameNameIgnoringCase(label.name, fieldName)) {
            return std::string(label.caption);
        }
    }
    return std::nullopt;
}

}  // namespace kapred
