#include "data/captions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

namespace kapred {
namespace {

struct ExpectedWindow {
    const char* entity;
    const char* window;
    const char* caption;
};

// Every window of the object factory, in its order, with the caption as the user sees it.
TEST(Captions, EveryEntryWindowHasItsCaptionInFactoryOrder) {
    const std::vector<ExpectedWindow> expected{
        {"Activo", "frmActivo", " Activo"},
        {"ActivoComputable", "frmActivoComputable", "Activo Computable"},
        {"ActivoExento", "frmActivoExento", "Activo Exento"},
        {"ActivoNoComputable", "frmActivoNoComputable", "Activo No Computable"},
        {"Anticipos", "frmAnticipos", "Anticipos Ingresados"},
        {"DDJJ", "frmDDJJ", "Declaración Jurada"},
        {"Liquidacion", "frmLiquidacion", "Liquidación"},
        {"LiqDeduccionesAlCapital", "frmLiqDeduccionesAlCapital", "Deducciones al Capital al Cierre del Ejercicio"},
        {"PagosCuenta", "frmPagosCuenta", "Pagos a Cuenta "},
        {"Pasivo", "frmPasivo", "Pasivo"},
        {"SaldoFavorPeriodoAnt", "frmSaldoFavorPeriodoAnt", "Saldo a Favor Períodos Anteriores"},
        {"Determinacion", "frmDeterminacion", "Determinación de la Contribución Especial a Ingresar"},
    };
    const auto& catalogue = captionCatalogue();
    ASSERT_EQ(catalogue.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(catalogue[i].entityName, expected[i].entity);
        EXPECT_EQ(catalogue[i].windowName, expected[i].window);
        EXPECT_EQ(windowCaption(expected[i].entity), std::string(expected[i].caption)) << expected[i].entity;
    }
}

struct ExpectedLabel {
    const char* entity;
    const char* field;
    const char* caption;
};

// Captions as shown, accents, blanks at either end and even a misspelling included: the label
// goes verbatim into the inconsistency sentences.
TEST(Captions, LabelsReadExactlyAsShown) {
    const std::vector<ExpectedLabel> expected{
        {"Activo", "ccActivo", " Total Activo"},
        {"Activo", "ccActivoNoComputable", " Total Activo No Computable +  Activo Exento"},
        {"ActivoComputable", "cBienesAdquiridos", "Bienes Adquiridos"},
        {"ActivoComputable", "ccDepositos", "Depósitos"},
        {"ActivoComputable", "ccInmuebles", "Inmuebles Neto de Amortización"},
        {"ActivoExento", "cBienesTierraDelFuego",
         "Bienes situados en Tierra del Fuego, Antártida e Islas del Atlántico Sur"},
        {"ActivoExento", "ccActivoExento", "Total del Activo Exento"},
        {"ActivoNoComputable", "cBienesExterior", "Bienes situados en el Exterior con carácter permanente"},
        {"ActivoNoComputable", "ccActivoExento", " Total Activo Exento"},
        {"Anticipos", "ccImporte", "Total Anticipos"},
        {"DDJJ", "iTipoEjercicioFiscal", "Tipo de Ejercicio Fiscal "},
        {"DDJJ", "fPeriodoFiscalDesde", "Período Fiscal - Desde"},
        {"DDJJ", "fPeriodoFiscalHasta", "Periodo Fiscal - Hasta"},
        {"DDJJ", "iEjercicioEconomico", "Ejercicio Económico Nº"},
        {"Liquidacion", "ccContribEspecial", "Contribución Especial Determinada"},
        {"Liquidacion", "ccPasivoAlCierre", "Pasivo al Cierre del Ejercicio"},
        {"LiqDeduccionesAlCapital", "ccDeduccionPorRetribucion",
         "Deducción por Retribuciones abonadas a perosnal Discapacitados Ley 23427 Art. 23"},
        {"PagosCuenta", "fFecha", "Fecha"},
        {"PagosCuenta", "ccImporte", "Total Pagos a Cuenta"},
        {"Pasivo", "cReservasTecnicas", "Reservas Técnicas"},
        {"Pasivo", "iCooperativaAseguradoresVida", "Cooperativa Aseguradores de vida de Seguros de Capitalización"},
        {"SaldoFavorPeriodoAnt", "lPeriodo", "Período (AAAA)"},
        {"Determinacion", "ccContribEspecial", "Contribución Especial Determinado"},
        {"Determinacion", "ccSaldoRexa", "A favor de Rexa"},
        {"Determinacion", "ccSaldoContrib", "A Favor del Contribuyente"},
    };
    for (const auto& label : expected) {
        EXPECT_EQ(fieldLabel(label.entity, label.field), std::string(label.caption))
            << label.entity << "." << label.field;
    }
}

TEST(Captions, FieldNamesIgnoreCaseEntityNamesDoNot) {
    EXPECT_EQ(fieldLabel("DDJJ", "LPERIODO"), "Período Fiscal (AAAA)");
    EXPECT_EQ(fieldLabel("DDJJ", "lperiodo"), "Período Fiscal (AAAA)");
    EXPECT_EQ(fieldLabel("DDJJ", "codigo_t_secuencias"), "Secuencia de Presentación");
    EXPECT_EQ(fieldLabel("Pasivo", "CCPASIVO"), "Total del Pasivo");

    EXPECT_EQ(windowCaption("ddjj"), std::nullopt);
    EXPECT_EQ(fieldLabel("pasivo", "ccPasivo"), std::nullopt);
}

TEST(Captions, UnknownWindowOrFieldGivesNothing) {
    EXPECT_EQ(windowCaption(""), std::nullopt);
    EXPECT_EQ(windowCaption("Activos"), std::nullopt);
    EXPECT_EQ(fieldLabel("Activos", "cImporte"), std::nullopt);
    // A near name, and a field that belongs to another window, are not found either.
    EXPECT_EQ(fieldLabel("DDJJ", "lPeriod"), std::nullopt);
    EXPECT_EQ(fieldLabel("DDJJ", "lPeriodoX"), std::nullopt);
    EXPECT_EQ(fieldLabel("Anticipos", "lPeriodo"), std::nullopt);
    EXPECT_EQ(fieldLabel("Pasivo", ""), std::nullopt);
}

std::string lowered(const std::string& text) {
    std::string result = text;
    std::ranges::transform(result, result.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

// A name given twice on one window would hide the second caption from every lookup.
TEST(Captions, NoWindowNamesAFieldTwice) {
    for (const auto& window : captionCatalogue()) {
        std::set<std::string> seen;
        for (const auto& [field, caption] : window.labels) {
            EXPECT_TRUE(seen.insert(lowered(field)).second) << window.windowName << ": " << field;
            EXPECT_FALSE(caption.empty()) << window.windowName << ": " << field;
        }
    }
}

struct Table {
    const char* entity;
    std::vector<const char*> columns;  // after CUIT and CodDJ
};

// The section entities and the header, column by column. The error sentences of every column
// that a window lets the user type name it by its label, so each must have one, except the
// row numbers and the header columns the program keeps itself, which no window shows.
TEST(Captions, EveryTableColumnHasALabelOnItsWindow) {
    const std::vector<Table> tables{
        {"ActivoComputable",
         {"cDineroEfectivoNac", "cDineroEfectivoExt", "cDepositosNac", "cDepositosExt", "cCreditosNac", "cCreditosExt",
          "cIntereses", "cTitulosPublicos", "cParticipacionesCapital", "cBienesCambio", "cBienesAdquiridos",
          "cBienesElaborados", "cBienesEnCurso", "cInmueblesNoBienesCambio", "cInmueblesActForestales",
          "cBienesInmateriales", "cOtrosBienes"}},
        {"ActivoExento", {"cBienesTierraDelFuego", "cAccionesParticipaciones", "cCuotasSociales"}},
        {"ActivoNoComputable", {"cBienesExterior"}},
        {"Anticipos", {"ID", "fFecha", "cImporte"}},
        {"DDJJ",
         {"iTipoEjercicioFiscal", "lPeriodo", "fPeriodoFiscalDesde", "fPeriodoFiscalHasta", "iEjercicioEconomico",
          "CODIGO_T_SECUENCIAS", "iEstablecimiento", "sFormulario", "sVersion", "sVersionEXE", "hora"}},
        {"LiqDeduccionesAlCapital",
         {"cReembolsoGastos", "cGratificacioneAlPersonal", "cRetornoExcedente", "cTotalRetribucionesLey23427"}},
        {"PagosCuenta", {"ID", "fFecha", "cImporte"}},
        {"Pasivo",
         {"iCooperativaSegurosCapitalizacion", "iCooperativaAseguradoresVida", "cDeudas", "cProvisiones",
          "cReservasTecnicas", "cFondosBeneficioSeguroVida", "cBeneficios"}},
        {"SaldoFavorPeriodoAnt", {"lPeriodo", "cImporte"}},
    };
    const std::set<std::string> withoutCaption{
        "Anticipos.ID", "DDJJ.iEstablecimiento", "DDJJ.sFormulario", "DDJJ.sVersion", "DDJJ.sVersionEXE",
        "DDJJ.hora",    "PagosCuenta.ID",
    };
    for (const auto& table : tables) {
        for (const char* column : table.columns) {
            const std::string name = std::string(table.entity) + "." + column;
            if (withoutCaption.contains(name)) {
                EXPECT_EQ(fieldLabel(table.entity, column), std::nullopt) << name;
            } else {
                EXPECT_NE(fieldLabel(table.entity, column), std::nullopt) << name;
            }
        }
    }
}

}  // namespace
}  // namespace kapred
