// The liabilities, the lists of advances and payments, the previous balance and the deductions as
// objects: what their windows rely on beyond the sentences and figures of cli/cases.
#include "model/liabilities.h"

#include <gtest/gtest.h>

#include "data/validation.h"
#include "support/checks.h"
#include "support/opened_program.h"

namespace kapred {
namespace {

using test::pesos;

class Liabilities : public ::testing::Test {
protected:
    Liabilities() { program.createDeclaration(); }

    template <typename List>
    Currency total() {
        List list(program.context);
        list.CalculateLocalTotals(kListIndex);
        return list.ccImporte();
    }

    test::OpenedProgram program;
};

TEST_F(Liabilities, ListRowsAreNumberedWithinTheDeclarationAndNumbersAreNotReused) {
    BAnticipos advances(program.context);
    EXPECT_EQ(program.addRow(advances, "10/01/2005", "1.000"), 1);
    EXPECT_EQ(program.addRow(advances, "11/01/2005", "2.000,50"), 2);
    // The object that deleted the largest number never gives it again; a fresh one starts from
    // the stored maximum.
    advances.Entity->SetFieldValue("ID", Variant(std::int32_t{2}));
    ASSERT_TRUE(advances.bFind());
    ASSERT_TRUE(advances.bDelete(kPrimaryKey));
    EXPECT_EQ(program.addRow(advances, "12/01/2005", "3.000"), 3);
    EXPECT_EQ(BAnticipos(program.context).nextId(), 4);
    EXPECT_EQ(total<BAnticipos>(), pesos(4000));

    // Each list and each declaration is numbered on its own.
    EXPECT_EQ(program.addRow<BPagosCuenta>("01/12/2004", "5"), 1);
    test::HeaderInput next;
    next.period = "2005";
    next.from = "01/01/2005";
    next.to = "31/12/2005";
    program.createDeclaration(next);
    EXPECT_EQ(program.addRow<BAnticipos>("10/01/2006", "7"), 1);
    EXPECT_EQ(total<BAnticipos>(), pesos(7));
}

TEST_F(Liabilities, AnAdvanceIsDatedWithinTheLimitOfTheHeaderAsItIsNow) {
    const auto dated = [](const char* date) {
        return EntryValues{{"fFecha", Variant(date)}, {"cImporte", Variant("1")}};
    };
    // The year ends 31/12/2004: advances up to the end of May; the message shows the date as typed.
    BAnticipos advances(program.context);
    EXPECT_EQ(advances.Aceptar(EntryMode::Adding, dated("31/05/2005")), 0);
    ASSERT_EQ(advances.Aceptar(EntryMode::Adding, dated("1/6/2005")), kRangeError);
    EXPECT_EQ(
        BuildInconsistencyLines(advances, kRangeError),
        std::vector<std::string>{
            "El campo 'Fecha' debe estar comprendido entre : 01/01/1800 y 31/05/2005 . Intento de ingreso :1/6/2005"});
    // The same object follows the header when its end changes.
    program.context.currentDeclaration->Entity->SetFieldValue("fPeriodoFiscalHasta",
                                                              Variant(DateTime::fromDate(2005, 6, 30)));
    EXPECT_EQ(advances.Aceptar(EntryMode::Adding, dated("30/11/2005")), 0);
    EXPECT_EQ(advances.Aceptar(EntryMode::Adding, dated("01/12/2005")), kRangeError);
}

TEST_F(Liabilities, ListTotalsAreRoundedToCents) {
    program.addRow<BPagosCuenta>("01/03/2004", "0,0025");
    program.addRow<BPagosCuenta>("01/04/2004", "0,0025");
    program.addRow<BPagosCuenta>("01/05/2004", "10");
    EXPECT_EQ(total<BPagosCuenta>(), pesos(10, 1));
}

TEST_F(Liabilities, ThePreviousBalanceScreenAlsoShowsTheCredits) {
    program.setSection<BSaldoFavorPeriodoAnt>({{"lPeriodo", Variant("2003")}, {"cImporte", Variant("2.000")}});
    program.addRow<BAnticipos>("01/02/2005", "30");
    program.addRow<BPagosCuenta>("01/02/2004", "40");
    BSaldoFavorPeriodoAnt balance(program.context);
    balance.CalculateExternalTotals(kListIndex);
    EXPECT_EQ(balance.g_BAnticipos->ccImporte(), pesos(30));
    EXPECT_EQ(balance.g_BPagosCuenta->ccImporte(), pesos(40));
}

TEST_F(Liabilities, InsuranceAmountAtNoIsRefusedAsARule) {
    BPasivo refused(program.context);
    EXPECT_EQ(acceptSingleRow(refused, {{"iCooperativaSegurosCapitalizacion", Variant("0")},
                                        {"cReservasTecnicas", Variant("3.000")}}),
              kRuleError);
    EXPECT_EQ(program.countRows("Pasivo"), 0);
}

TEST_F(Liabilities, DeductionRateMissingForTheStartOfTheYearIsToldNotHidden) {
    program.setSection<BLiqDeduccionesAlCapital>(
        {{"cReembolsoGastos", Variant("100")}, {"cTotalRetribucionesLey23427", Variant("1.000")}});
    program.context.g_dbTablas->execute("UPDATE T_DEDUC_DISCAPACITADO SET VigenciaDesde = '2005-01-01'");
    BLiqDeduccionesAlCapital deductions(program.context);
    deductions.CalculateLocalTotals(kPrimaryKey);
    EXPECT_EQ(deductions.ccDeduccionesAlCierre(), pesos(100));
    ASSERT_TRUE(deductions.rateProblem().has_value());
    EXPECT_NE(deductions.rateProblem()->find("T_DEDUC_DISCAPACITADO para el ejercicio que comienza el 01/01/2004"),
              std::string::npos)
        << *deductions.rateProblem();

    // Once a row covers the date again, the problem is gone.
    program.context.g_dbTablas->execute("UPDATE T_DEDUC_DISCAPACITADO SET VigenciaDesde = '1985-10-15'");
    deductions.CalculateLocalTotals(kPrimaryKey);
    EXPECT_EQ(deductions.ccDeduccionPorRetribucion(), pesos(700));
    EXPECT_FALSE(deductions.rateProblem().has_value());
}

}  // namespace
}  // namespace kapred
