// What the liquidation does where its rule leaves a gap: a zero total of assets to share the
// liabilities by, and a missing rate. Its worked figures are in cli/cases/liquidation.test.
#include "calc/liquidation.h"

#include <gtest/gtest.h>

#include "model/sections.h"
#include "support/checks.h"
#include "support/opened_program.h"

namespace kapred {
namespace {

using test::pesos;

class Liquidation : public ::testing::Test {
protected:
    Liquidation() { program.createDeclaration(); }

    std::unique_ptr<BLiquidacion> liquidate() {
        auto liquidation = std::make_unique<BLiquidacion>(program.context);
        liquidation->CalculateLocalTotals(kPrimaryKey);
        return liquidation;
    }

    test::OpenedProgram program;
};

TEST_F(Liquidation, AZeroTotalOfAssetsSharesNothingAndEveryLiabilityCounts) {
    // Securities of -300.000 bring the computable assets to -200.000 and the total to 0.
    program.setSection<BActivoComputable>(
        {{"cDineroEfectivoNac", Variant("100.000")}, {"cTitulosPublicos", Variant("-300.000")}});
    program.setSection<BActivoExento>({{"cCuotasSociales", Variant("150.000")}});
    program.setSection<BActivoNoComputable>({{"cBienesExterior", Variant("50.000")}});
    program.setSection<BPasivo>({{"cDeudas", Variant("80.000")}});
    auto liquidation = liquidate();
    EXPECT_EQ(liquidation->g_BActivo->ccActivo(), Currency());
    EXPECT_EQ(liquidation->ccPasivoAlCierre(), pesos(80000));
    EXPECT_EQ(liquidation->ccCapitalAlCierre(), -pesos(280000));
    EXPECT_EQ(liquidation->ccContribEspecial(), Currency());

    // A total of 0,0001 would give 1.000.000 of debts a share too large for an amount.
    program.setSection<BActivoNoComputable>({{"cBienesExterior", Variant("50.000,0001")}});
    program.setSection<BPasivo>({{"cDeudas", Variant("1.000.000")}});
    ASSERT_NO_THROW(liquidation = liquidate());
    EXPECT_EQ(liquidation->ccPasivoAlCierre(), pesos(1000000));
    EXPECT_EQ(liquidation->ccCapitalAlCierre(), -pesos(1200000));
}

TEST_F(Liquidation, AMissingRateNamesItsTableAndTheStartOfTheYear) {
    test::HeaderInput later;
    later.period = "2005";
    later.from = "01/07/2004";
    later.to = "30/06/2005";
    later.economicYear = "3";
    program.createDeclaration(later);
    program.context.g_dbTablas->execute("UPDATE T_ALICUOTAS_Y_TOPES_2 SET VigenciaHasta = '2004-06-30'");
    auto liquidation = liquidate();
    ASSERT_TRUE(liquidation->rateProblem().has_value());
    EXPECT_NE(liquidation->rateProblem()->find("T_ALICUOTAS_Y_TOPES_2 para el ejercicio que comienza el 01/07/2004"),
              std::string::npos)
        << *liquidation->rateProblem();

    // A missing rate of the deductions is told by the liquidation too, once the declaration has
    // pay to disabled staff that it applies to.
    program.context.g_dbTablas->execute("UPDATE T_ALICUOTAS_Y_TOPES_2 SET VigenciaHasta = '2099-12-31'");
    program.context.g_dbTablas->execute("DELETE * FROM T_DEDUC_DISCAPACITADO");
    program.setSection<BActivoComputable>({{"cOtrosBienes", Variant("100.000")}});
    EXPECT_FALSE(liquidate()->rateProblem().has_value());
    program.setSection<BLiqDeduccionesAlCapital>({{"cTotalRetribucionesLey23427", Variant("1.000")}});
    liquidation = liquidate();
    ASSERT_TRUE(liquidation->rateProblem().has_value());
    EXPECT_NE(liquidation->rateProblem()->find("T_DEDUC_DISCAPACITADO"), std::string::npos);
}

TEST_F(Liquidation, TheDeductionsAreDeletedAtACapitalAtCloseOf0OrLessAndTheirTotalGivenBack) {
    struct Case {
        const char* debts;
        Currency capital;
        std::optional<Currency> deleted;
    };
    const Case cases[] = {
        {"1.000,01", -Currency::fromScaled(100), pesos(250)},
        {"1.000", Currency(), pesos(250)},
        {"999,99", Currency::fromScaled(100), std::nullopt},
    };
    program.setSection<BActivoComputable>({{"cOtrosBienes", Variant("1.000")}});
    program.setSection<BPasivo>({{"cDeudas", Variant("2.000")}});
    BLiquidacion withoutDeductions(program.context);
    EXPECT_EQ(calculateLiquidationForDisplay(withoutDeductions), std::nullopt);
    for (const auto& test : cases) {
        program.setSection<BPasivo>({{"cDeudas", Variant(test.debts)}});
        program.setSection<BLiqDeduccionesAlCapital>(
            {{"cReembolsoGastos", Variant("200")}, {"cRetornoExcedente", Variant("50")}});
        BLiquidacion liquidation(program.context);
        EXPECT_EQ(calculateLiquidationForDisplay(liquidation), test.deleted) << test.debts;
        EXPECT_EQ(liquidation.ccCapitalAlCierre(), test.capital) << test.debts;
        EXPECT_EQ(declarationHasRows(program.context, "LiqDeduccionesAlCapital"), !test.deleted) << test.debts;
    }
}

}  // namespace
}  // namespace kapred
