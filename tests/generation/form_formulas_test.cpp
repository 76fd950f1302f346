// The named values of the printed form and of the work papers, against values worked out by hand
// from the declaration's figures.
#include "generation/form_totals.h"

#include <gtest/gtest.h>

#include "calc/registry.h"
#include "generation/declaration_records.h"
#include "generation/verification_number.h"
#include "generation/work_papers.h"
#include "generation_fixture.h"

namespace kapred {
namespace {

class FormFormulas : public test::Generation {
protected:
    void stampAt(int hours, int minutes, int seconds) {
        program.context.clock = [=] {
            DateTime stamp = DateTime::fromDate(2005, 3, 10);
            stamp.time = std::chrono::hours(hours) + std::chrono::minutes(minutes) + std::chrono::seconds(seconds);
            return stamp;
        };
    }
    FormulaList formulas() {
        FormulaList list{"left over"};
        BPrintDDJJ(program.context).PrepararFomulario(list);
        return list;
    }
};

TEST_F(FormFormulas, EighteenEntriesInOrder) {
    stampAt(9, 5, 7);
    program.createDeclaration();
    program.setSection<BActivoComputable>({{"cOtrosBienes", Variant("1.234.567,50")}});
    program.addRow<BPagosCuenta>("30/06/2004", "500");
    const FormulaList list = formulas();
    ASSERT_EQ(list.size(), 18u);
    const std::string magic = list[5].substr(10, 6);
    // 2 % of 1.234.567,50 is 24.691,35; less the payment of 500 leaves 24.191,35 to pay.
    const FormulaList expected{
        "Cuit = '20123456789'",
        "PeriodoDesde = '01/01/2004'",
        "PeriodoHasta = '31/12/2004'",
        "Secuencia = '0'",
        "Version= '0100000'",
        "Magic1 = '" + formatNumeroMagico(CalcularNumeroMagico(program.context)) + "'",
        "Hora = '090507'",
        "denominacion = 'Cooperativa Agrícola Ganadera La Esperanza Ltda.'",
        "Domicilio = 'Calle: Bv. Santa Fe Nro: 1250 Piso: 1 Dto/of/loc: A Barrio: Barrio abierto Localidad: Rafaela "
        "Provincia: Santa Fe C.P.: S2300ABC'",
        "ccActivoComputable = '1.234.567,50'",
        "ccPasivoAlCierre = '0,00'",
        "ccCapitalAlCierre = '1.234.567,50'",
        "ccDeduccionesAlCierre = '0,00'",
        "ccCapitalCooperativo = '1.234.567,50'",
        "ccContribEspecial = '24.691,35'",
        "ccImportePagoCuenta = '500,00'",
        "ccContribucionEspecialFavorREX = '24.191,35'",
        "ccContribucionEspecialFavorCon = '0,00'",
    };
    EXPECT_EQ(list, expected);
    // The time's leading zero is kept, so its fourth character is the 0 of "090507".
    EXPECT_EQ(magic.size(), 6u);
    EXPECT_EQ(magic[0], '0');

    EXPECT_EQ(sSeleccionFormulario(program.context), "{DDJJ.CUIT} = 20123456789 and {DDJJ.CodDJ} = 20040");
    EXPECT_EQ(sSeleccionPapeles(program.context), "{DDJJ.CUIT}=20123456789 AND {DDJJ.CODDJ}=20040");
}

TEST_F(FormFormulas, NothingDeclaredPaysNothingAndPaymentsComeBack) {
    program.createDeclaration();
    program.addRow<BPagosCuenta>("30/06/2004", "1.500,25");
    const FormulaList list = formulas();
    ASSERT_EQ(list.size(), 18u);
    EXPECT_EQ(list[14], "ccContribEspecial = '0,00'");
    EXPECT_EQ(list[16], "ccContribucionEspecialFavorREX = '0,00'");
    EXPECT_EQ(list[17], "ccContribucionEspecialFavorCon = '1.500,25'");
}

TEST(FormAmounts, MaskWithTheProgramsSeparators) {
    EXPECT_EQ(sFormatoImporte(Variant(*parseCurrency("1234567,5"))), "1.234.567,50");
    EXPECT_EQ(sFormatoImporte(Variant(*parseCurrency("-1234567,5"))), "-1.234.567,50");
    EXPECT_EQ(sFormatoImporte(Variant(Currency())), "0,00");
    EXPECT_EQ(sFormatoImporte(Variant(*parseCurrency("123456789012345,67"))), "123.456.789.012.345,67");
    // What is no amount gives the empty value.
    EXPECT_EQ(sFormatoImporte(Variant::null()), "");
    EXPECT_EQ(sFormatoImporte(Variant(std::string("doce"))), "");

    EXPECT_EQ(splitFormula("Version= '0100000'").name, "Version");
    EXPECT_EQ(splitFormula("Version= '0100000'").value, "0100000");
    EXPECT_EQ(splitFormula("titulo = 'Pagos a Cuenta'").value, "Pagos a Cuenta");
}

TEST(WorkPapers, KeysInAnyCaseAndTheirTwoFormulas) {
    ASSERT_TRUE(findWorkPaper("pagoscuenta"));
    EXPECT_EQ(findWorkPaper("PAGOSCUENTA")->reportFile, "rptpagoscta");
    EXPECT_EQ(findWorkPaper("activocomputable")->reportFile, "rptactivocomp");
    EXPECT_FALSE(findWorkPaper("DJ"));
    EXPECT_EQ(papelesFormulas(*findWorkPaper("PagosCuenta")),
              (FormulaList{"NombreAplicativo = 'Kapredia'", "titulo = 'Pagos a Cuenta'"}));
}

TEST_F(FormFormulas, WorkPaperRowsOfAListAndOfAOneRowSection) {
    registerBusinessObjects(program.context);
    program.createDeclaration();
    program.addRow<BAnticipos>("15/01/2005", "3.000");
    program.addRow<BAnticipos>("15/02/2005", "1.234,56");
    program.addRow<BAnticipos>("15/01/2005", "0,44");
    // By date, those of one date by number, each with its amount.
    const ReportRows advances = workPaperRows(program.context, *findWorkPaper("Anticipos"));
    EXPECT_EQ(advances.rows, (std::vector<std::vector<std::string>>{{"1", "15/01/2005", "3.000,00"},
                                                                    {"3", "15/01/2005", "0,44"},
                                                                    {"2", "15/02/2005", "1.234,56"}}));
    EXPECT_EQ(advances.amounts, (std::vector<Currency>{Currency::fromUnits(3000), Currency::fromScaled(4400),
                                                       Currency::fromScaled(12345600)}));
    EXPECT_EQ(advances.totals, (std::vector<std::vector<std::string>>{{"Total Anticipos", "4.235,00"}}));

    program.setSection<BPasivo>({{"iCooperativaSegurosCapitalizacion", Variant("0")},
                                 {"iCooperativaAseguradoresVida", Variant("0")},
                                 {"cDeudas", Variant("100.000")}});
    const ReportRows liabilities = workPaperRows(program.context, *findWorkPaper("pasivo"));
    ASSERT_EQ(liabilities.rows.size(), 7u);
    EXPECT_EQ(liabilities.rows[0], (std::vector<std::string>{"Cooperativa de Seguros de Capitalización", "No"}));
    EXPECT_EQ(liabilities.rows[2], (std::vector<std::string>{"Deudas en Moneda Nacional y Extranjera", "100.000,00"}));
    EXPECT_EQ(liabilities.totals, (std::vector<std::vector<std::string>>{{"Total del Pasivo", "100.000,00"}}));

    // Subtotals in a column right of the values: each value row has an empty third cell.
    program.setSection<BActivoComputable>(
        {{"cDineroEfectivoNac", Variant("600.000")}, {"cDineroEfectivoExt", Variant("50.000,25")}});
    const ReportRows assets = workPaperRows(program.context, *findWorkPaper("ActivoComputable"));
    EXPECT_EQ(assets.rows[1], (std::vector<std::string>{"Dinero en Efectivo en Moneda Extranjera", "50.000,25", ""}));
    EXPECT_EQ(assets.totals.front(), (std::vector<std::string>{"Dinero en Efectivo", "650.000,25"}));
    EXPECT_EQ(assets.totals.back(), (std::vector<std::string>{"Total Activo Computable", "650.000,25"}));
}

}  // namespace
}  // namespace kapred
