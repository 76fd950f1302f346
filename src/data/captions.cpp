#include "data/captions.h"

#include <algorithm>
#include <cctype>

namespace kapred {

namespace {

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
         "frmActivo",
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
        {"ActivoComputable",
         "frmActivoComputable",
         "Activo Computable",
         {
             {"cDineroEfectivoNac", "Dinero en Efectivo en Moneda Nacional"},
             {"cDineroEfectivoExt", "Dinero en Efectivo en Moneda Extranjera"},
             {"cDepositosNac", "Depósitos en Moneda Nacional"},
             {"cDepositosExt", "Depósitos en Moneda Extranjera"},
             {"cCreditosNac", "Créditos en Moneda Nacional"},
             {"cCreditosExt", "Créditos en Moneda Extranjera"},
             {"cIntereses", "Intereses y Actualizaciones"},
             {"cTitulosPublicos", "Títulos Públicos, Acciones y demás Títulos Valores"},
             {"cParticipacionesCapital", "Participaciones en el Capital de Sociedades"},
             {"cBienesCambio", "Bienes de Cambio"},
             {"cBienesAdquiridos", "Bienes Adquiridos"},
             {"cBienesElaborados", "Bienes Elaborados, Fabricados o Construidos"},
             {"cBienesEnCurso", "Bienes en Curso de Elaboración"},
             {"cInmueblesNoBienesCambio", "Inmuebles que no son Bienes de Cambio"},
             {"cInmueblesActForestales", "Inmuebles destinados a Actividades Forestales, Frutícolas o Similares"},
             {"cBienesInmateriales", "Bienes Inmateriales"},
             {"cOtrosBienes", "Otros Bienes"},
             {"ccDineroEfectivo", "Dinero en Efectivo"},
             {"ccDepositos", "Depósitos"},
             {"ccCreditos", "Créditos"},
             {"ccInmuebles", "Inmuebles Neto de Amortización"},
             {"ccBienesMueblesAmortizables", "Bienes Muebles Amortizables Neto de Amortización"},
             {"ccActivoComputable", "Total Activo Computable"},
         }},

        {"ActivoExento",
         "frmActivoExento",
         "Activo Exento",
         {
             {"cBienesTierraDelFuego", "Bienes situados en Tierra del Fuego, Antártida e Islas del Atlántico Sur"},
             {"cAccionesParticipaciones", "Acciones y Participaciones en Capital de entidades"},
             {"cCuotasSociales", "Cuotas sociales de cooperativas"},
             {"ccActivoExento", "Total del Activo Exento"},
         }},

        // The exempt total shown here is that of the window's exempt-asset object.
        {"ActivoNoComputable",
         "frmActivoNoComputable",
         "Activo No Computable",
         {
             {"cBienesExterior", "Bienes situados en el Exterior con carácter permanente"},
             {"ccActivoExento", " Total Activo Exento"},
         }},

        // The row number is not shown as an input.
        {"Anticipos",
         "frmAnticipos",
         "Anticipos Ingresados",
         {
             {"fFecha", "Fecha"},
             {"cImporte", "Importe"},
             {"ccImporte", "Total Anticipos"},
         }},

        // The declarations window. Establishment, form, versions and time are kept by the
        // program and never shown.
        {"DDJJ",
         "frmDDJJ",
         "Declaración Jurada",
         {
             {"iTipoEjercicioFiscal", "Tipo de Ejercicio Fiscal "},
             {"lPeriodo", "Período Fiscal (AAAA)"},
             {"fPeriodoFiscalDesde", "Período Fiscal - Desde"},
             {"fPeriodoFiscalHasta", "Periodo Fiscal - Hasta"},
             {"iEjercicioEconomico", "Ejercicio Económico Nº"},
             {"CODIGO_T_SECUENCIAS", "Secuencia de Presentación"},
         }},

        // Computed figures only; the rate is shown as a percentage.
        {"Liquidacion",
         "frmLiquidacion",
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

        {"LiqDeduccionesAlCapital",
         "frmLiqDeduccionesAlCapital",
         "Deducciones al Capital al Cierre del Ejercicio",
         {
             {"cReembolsoGastos", "Reembolso de Gastos y Retribuciones de Consejeros y Síndicos"},
             {"cGratificacioneAlPersonal", "Gratificaciones y Asignaciones al Personal"},
             {"cRetornoExcedente", "Retornos de Excedentes Distribuidos"},
             {"cTotalRetribucionesLey23427",
              "Total de Retribuciones abonadas a Personal Discapacitado Ley 23427 Art. 23"},
             {"ccDeduccionPorRetribucion",
              "Deducción por Retribuciones abonadas a perosnal Discapacitados Ley 23427 Art. 23"},
             {"ccDeduccionesAlCierre", "Total de Deducciones al Capital al Cierre del Ejercicio"},
         }},

        {"PagosCuenta",
         "frmPagosCuenta",
         "Pagos a Cuenta ",
         {
             {"fFecha", "Fecha"},
             {"cImporte", "Importe"},
             {"ccImporte", "Total Pagos a Cuenta"},
         }},

        {"Pasivo",
         "frmPasivo",
         "Pasivo",
         {
             {"iCooperativaSegurosCapitalizacion", "Cooperativa de Seguros de Capitalización"},
             {"iCooperativaAseguradoresVida", "Cooperativa Aseguradores de vida de Seguros de Capitalización"},
             {"cDeudas", "Deudas en Moneda Nacional y Extranjera"},
             {"cProvisiones", "Previsiones"},
             {"cReservasTecnicas", "Reservas Técnicas"},
             {"cFondosBeneficioSeguroVida", "Fondos de Beneficio de Seguros de vida"},
             {"cBeneficios", "Beneficios Percibidos por Adelantado a Devengar en Ejercicios Futuros"},
             {"ccPasivo", "Total del Pasivo"},
         }},

        {"SaldoFavorPeriodoAnt",
         "frmSaldoFavorPeriodoAnt",
         "Saldo a Favor Períodos Anteriores",
         {
             {"lPeriodo", "Período (AAAA)"},
             {"cImporte", "Importe"},
         }},

        // The previous balance, the payments and the advances are all totals named ccImporte of
        // their own section objects; here each is named after its section so that the three
        // boxes can be told apart. The contribution is that of the liquidation.
        {"Determinacion",
         "frmDeterminacion",
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
        {"T_ALICUOTAS_Y_TOPES",
         "frmTablasSistema",
         "Tabla de Alicuotas y Topes",
         {
             {"CODIGO_T_ALICUOTAS_Y_TOPES", "Código"},
             {"VigenciaDesde", "Vigencia Desde"},
             {"VigenciaHasta", "Vigencia Hasta"},
             {"alicuota", "Alícuota (%)"},
             {"TopeEnPesos", "Tope en Pesos"},
         }},
        {"T_DEDUC_DISCAPACITADO",
         "frmTablasSistema",
         "Deducción s/Remuneraciones abonadas a Personal Discapacitado",
         {
             {"CODIGO_T_DEDUC_DISCAPACITADO", "Código"},
             {"VigenciaDesde", "Vigencia Desde"},
             {"VigenciaHasta", "Vigencia Hasta"},
             {"alicuota", "Alícuota (%)"},
         }},
        {"T_SECUENCIAS",
         "frmTablasSistema",
         "Secuencias",
         {
             {"CODIGO_T_SECUENCIAS", "Código"},
             {"DESCRIPCION", "Descripción"},
         }},
    };
    return catalogue;
}

std::optional<std::string> windowCaption(std::string_view entityName) {
    if (const WindowCaptions* window = findWindow(entityName)) {
        return window->caption;
    }
    return std::nullopt;
}

std::optional<std::string> fieldLabel(std::string_view entityName, std::string_view fieldName) {
    const WindowCaptions* window = findWindow(entityName);
    if (window == nullptr) {
        return std::nullopt;
    }
    for (const auto& [field, caption] : window->labels) {
        if (sameNameIgnoringCase(field, fieldName)) {
            return caption;
        }
    }
    return std::nullopt;
}

}  // namespace kapred
