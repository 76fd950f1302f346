#include "calc/liquidation.h"

#include <gtest/gtest.h>

#include "support/opened_program.h"

namespace kapred {
namespace {

Currency pesos(std::int64_t units, std::int64_t cents = 0) {
    return Currency::fromScaled(units * 10000 + cents * 100);
}

class Liquidation : public ::testing::Test {
protected:
    Liquidation() { program.createDeclaration(); }

    std::unique_ptr<BLiquidacion> liquidate(const std::string& indexName = kPrimaryKey) {
        auto liquidation = std::make_unique<BLiquidacion>(program.context);
        liquidation->CalculateLocalTotals(indexName);
        return liquidation;
    }

    test::OpenedProgram program;
};

TEST_F(Liquidation, WithOnlyComputableAssetsEveryLiabilityCounts) {
    program.setSection<BActivoComputable>({{"cDineroEfectivoNac", Variant("333.333,33")}});
    program.setSection<BPasivo>({{"cDeudas", Variant("12.345,67")}, {"cProvisiones", Variant("0,01")}});
    const auto liquidation = liquidate();
    EXPECT_EQ(liquidation->ccPasivoAlCierre(), pesos(12345, 68));
    EXPECT_EQ(liquidation->ccCapitalAlCierre(), pesos(320987, 65));
    EXPECT_EQ(liquidation->ccCapitalCooperativo(), pesos(320987, 65));
    // The shipped rate of the first economic year: 2 %, due from 1.000.
    EXPECT_EQ(liquidation->ccAlicuota(), Currency::fromScaled(200));
    EXPECT_EQ(liquidation->topeEnPesos(), pesos(1000));
    EXPECT_EQ(liquidation->ccContribEspecial(), Currency::fromScaled(64197530));  // 6.419,753
    EXPECT_FALSE(liquidation->rateProblem().has_value());
}

TEST_F(Liquidation, LiabilitiesAreApportionedToTheComputableAssets) {
    // Computable 600.000, exempt 200.000, non-computable 200.000, liabilities 100.000.
    program.setSection<BActivoComputable>({{"cDineroEfectivoNac", Variant("100.000")},
                                           {"cDepositosExt", Variant("150.000")},
                                           {"cCreditosNac", Variant("50.000")},
                                           {"cBienesCambio", Variant("300.000")}});
    program.setSection<BActivoExento>(
        {{"cBienesTierraDelFuego", Variant("150.000")}, {"cCuotasSociales", Variant("50.000")}});
    program.setSection<BActivoNoComputable>({{"cBienesExterior", Variant("200.000")}});
    program.setSection<BPasivo>({{"cDeudas", Variant("60.000")}, {"cProvisiones", Variant("40.000")}});

    const auto liquidation = liquidate();
    EXPECT_EQ(liquidation->g_BActivo->ccActivo(), pesos(1000000));
    EXPECT_EQ(liquidation->ccPasivoAlCierre(), pesos(60000));
    EXPECT_EQ(formatAmount(liquidation->ccPasivoAlCierre()), "60.000,00");
    EXPECT_EQ(liquidation->ccCapitalAlCierre(), pesos(540000));
    EXPECT_EQ(liquidation->ccCapitalCooperativo(), pesos(540000));
    EXPECT_EQ(liquidation->ccContribEspecial(), pesos(10800));  // 2 % of 540.000

    // The determination computes over every row of the declaration and gets the same figures.
    const auto overTheList = liquidate(kListIndex);
    EXPECT_EQ(overTheList->ccPasivoAlCierre(), pesos(60000));
    EXPECT_EQ(overTheList->ccContribEspecial(), pesos(10800));
}

TEST_F(Liquidation, ApportionedLiabilitiesAreRoundedToCents) {
    // 100.000 × 10.000 ÷ 133.333 = 7.500,01875...
    program.setSection<BActivoComputable>({{"cOtrosBienes", Variant("100.000")}});
    program.setSection<BActivoExento>({{"cCuotasSociales", Variant("33.333")}});
    program.setSection<BPasivo>({{"cDeudas", Variant("10.000")}});
    EXPECT_EQ(liquidate()->ccPasivoAlCierre(), pesos(7500, 2));
}

TEST_F(Liquidation, ApportionedLiabilitiesAreRoundedOnceFromTheExactShare) {
    struct Case {
        const char* debts;
        Currency liabilities;
    };
    // Computable 1, non-computable 2: the share is a third of the debts.
    const Case cases[] = {
        {"0,0149", Currency()},  // 0,004966...: rounded to 0,0050 first it would take a cent
        {"0,015", pesos(0, 1)},  // 0,005 exactly goes away from zero
    };
    program.setSection<BActivoComputable>({{"cOtrosBienes", Variant("1")}});
    program.setSection<BActivoNoComputable>({{"cBienesExterior", Variant("2")}});
    for (const Case& c : cases) {
        program.setSection<BPasivo>({{"cDeudas", Variant(c.debts)}});
        const auto liquidation = liquidate();
        EXPECT_EQ(liquidation->ccPasivoAlCierre(), c.liabilities) << c.debts;
        EXPECT_EQ(liquidation->ccCapitalAlCierre(), pesos(1) - c.liabilities) << c.debts;
    }
}

TEST_F(Liquidation, TaxableCapitalIsNeverNegativeButCapitalAtCloseMayBe) {
    program.setSection<BActivoComputable>({{"cOtrosBienes", Variant("100.000")}});
    program.setSection<BPasivo>({{"cDeudas", Variant("150.000")}});
    program.setSection<BLiqDeduccionesAlCapital>({{"cReembolsoGastos", Variant("10.000")}});
    auto liquidation = liquidate();
    EXPECT_EQ(liquidation->ccCapitalCooperativo(), Currency());
    EXPECT_EQ(liquidation->ccContribEspecial(), Currency());
    EXPECT_EQ(liquidation->ccCapitalAlCierre(), -pesos(50000));

    // Liabilities below the assets, deductions taking the rest: capital at close stays positive.
    program.setSection<BPasivo>({{"cDeudas", Variant("60.000")}});
    program.setSection<BLiqDeduccionesAlCapital>(
        {{"cReembolsoGastos", Variant("10.000")}, {"cTotalRetribucionesLey23427", Variant("50.000")}});
    liquidation = liquidate();
    EXPECT_EQ(liquidation->g_BLiqDeduccionesAlCapital->ccDeduccionesAlCierre(), pesos(45000));
    EXPECT_EQ(liquidation->ccCapitalAlCierre(), pesos(40000));
    EXPECT_EQ(liquidation->ccCapitalCooperativo(), Currency());
    EXPECT_EQ(liquidation->ccContribEspecial(), Currency());
}

TEST_F(Liquidation, ContributionBelowTheThresholdIsNotDue) {
    program.setSection<BActivoComputable>({{"cOtrosBienes", Variant("1.000.000")}});
    program.setContributionRate("T_ALICUOTAS_Y_TOPES", "1.5", "20000");
    auto liquidation = liquidate();
    EXPECT_EQ(liquidation->ccCapitalCooperativo(), pesos(1000000));
    EXPECT_EQ(liquidation->ccAlicuota(), Currency::fromScaled(150));  // 0,015
    EXPECT_EQ(liquidation->topeEnPesos(), pesos(20000));
    EXPECT_EQ(liquidation->ccContribEspecial(), Currency());

    program.setContributionRate("T_ALICUOTAS_Y_TOPES", "1.5", "15000");
    EXPECT_EQ(liquidate()->ccContribEspecial(), pesos(15000));
    program.setContributionRate("T_ALICUOTAS_Y_TOPES", "1.5", "15000.01");
    EXPECT_EQ(liquidate()->ccContribEspecial(), Currency());
    // The threshold is not subtracted from a contribution above it.
    program.setContributionRate("T_ALICUOTAS_Y_TOPES", "1.5", "100");
    EXPECT_EQ(liquidate()->ccContribEspecial(), pesos(15000));
}

TEST_F(Liquidation, EconomicYearChoosesTheRateTable) {
    program.setContributionRate("T_ALICUOTAS_Y_TOPES", "1", "100");
    program.setContributionRate("T_ALICUOTAS_Y_TOPES_2", "3", "300");
    program.setSection<BActivoComputable>({{"cOtrosBienes", Variant("100.000")}});
    auto first = liquidate();
    EXPECT_EQ(first->ccAlicuota(), Currency::fromScaled(100));
    EXPECT_EQ(first->topeEnPesos(), pesos(100));
    EXPECT_EQ(first->ccContribEspecial(), pesos(1000));

    const std::pair<const char*, const char*> laterYears[] = {{"2005", "2"}, {"2006", "99"}};
    for (const auto& [period, year] : laterYears) {
        test::HeaderInput later;
        later.period = period;
        later.from = "01/01/" + later.period;
        later.to = "31/12/" + later.period;
        later.economicYear = year;
        program.createDeclaration(later);
        program.setSection<BActivoComputable>({{"cOtrosBienes", Variant("100.000")}});
        auto following = liquidate();
        EXPECT_EQ(following->ccAlicuota(), Currency::fromScaled(300)) << year;
        EXPECT_EQ(following->topeEnPesos(), pesos(300)) << year;
        EXPECT_EQ(following->ccContribEspecial(), pesos(3000)) << year;
    }
}

TEST_F(Liquidation, MissingRateIsToldAndTheContributionIsNotPresentedAsValid) {
    program.setSection<BActivoComputable>({{"cOtrosBienes", Variant("1.000.000")}});
    // Only the row of the austral years is left: nothing covers a year starting 01/01/2004.
    program.context.g_dbTablas->execute("DELETE * FROM T_ALICUOTAS_Y_TOPES WHERE VigenciaHasta > '1992-01-01'");
    BLiquidacion liquidation(program.context);
    EXPECT_FALSE(liquidation.rateProblem().has_value());
    ASSERT_NO_THROW(liquidation.CalculateLocalTotals(kPrimaryKey));
    EXPECT_EQ(liquidation.ccCapitalCooperativo(), pesos(1000000));
    EXPECT_EQ(liquidation.ccAlicuota(), Currency());
    EXPECT_EQ(liquidation.ccContribEspecial(), Currency());
    EXPECT_FALSE(liquidation.GetAlicuotaYTope());
    const auto problem = liquidation.rateProblem();
    ASSERT_TRUE(problem.has_value());
    EXPECT_NE(problem->find("T_ALICUOTAS_Y_TOPES"), std::string::npos) << *problem;
    EXPECT_NE(problem->find("01/01/2004"), std::string::npos) << *problem;

    // A problem with the deduction rate is told by the liquidation too.
    program.context.g_dbTablas->execute(
        "INSERT INTO T_ALICUOTAS_Y_TOPES (CODIGO_T_ALICUOTAS_Y_TOPES, VigenciaDesde, "
        "VigenciaHasta, alicuota, TopeEnPesos) VALUES (9, '1992-01-01', "
        "'2099-12-31', 2.0, CCur(1000))");
    program.context.g_dbTablas->execute("DELETE * FROM T_DEDUC_DISCAPACITADO");
    program.setSection<BLiqDeduccionesAlCapital>({{"cTotalRetribucionesLey23427", Variant("1.000")}});
    liquidation.CalculateLocalTotals(kPrimaryKey);
    EXPECT_EQ(liquidation.ccContribEspecial(), pesos(20000));
    ASSERT_TRUE(liquidation.rateProblem().has_value());
    EXPECT_NE(liquidation.rateProblem()->find("T_DEDUC_DISCAPACITADO"), std::string::npos);
}

TEST_F(Liquidation, MissingRateOfLaterYearsNamesItsTable) {
    test::HeaderInput later;
    later.period = "2005";
    later.from = "01/07/2004";
    later.to = "30/06/2005";
    later.economicYear = "3";
    program.createDeclaration(later);
    program.context.g_dbTablas->execute(
        "UPDATE T_ALICUOTAS_Y_TOPES_2 SET VigenciaHasta = '2004-06-30' "
        "WHERE VigenciaHasta > '2004-06-30'");
    const auto problem = liquidate()->rateProblem();
    ASSERT_TRUE(problem.has_value());
    EXPECT_NE(problem->find("T_ALICUOTAS_Y_TOPES_2"), std::string::npos) << *problem;
    EXPECT_NE(problem->find("01/07/2004"), std::string::npos) << *problem;
}

TEST_F(Liquidation, AssetsOutsideTheComputableOnesWithAZeroTotalShareNothing) {
    // Securities of -300.000 bring the computable assets to -200.000 and the total to 0.
    program.setSection<BActivoComputable>(
        {{"cDineroEfectivoNac", Variant("100.000")}, {"cTitulosPublicos", Variant("-300.000")}});
    program.setSection<BActivoExento>({{"cCuotasSociales", Variant("150.000")}});
    program.setSection<BActivoNoComputable>({{"cBienesExterior", Variant("50.000")}});
    program.setSection<BPasivo>({{"cDeudas", Variant("80.000")}});
    std::unique_ptr<BLiquidacion> liquidation;
    ASSERT_NO_THROW(liquidation = liquidate());
    EXPECT_EQ(liquidation->g_BActivo->ccActivo(), Currency());
    EXPECT_EQ(liquidation->ccPasivoAlCierre(), pesos(80000));
    EXPECT_EQ(liquidation->ccCapitalAlCierre(), -pesos(280000));
    EXPECT_EQ(liquidation->ccCapitalCooperativo(), Currency());
    EXPECT_EQ(liquidation->ccContribEspecial(), Currency());

    // A total of 0,0001 would give 1.000.000 of debts a share too large for an amount: every
    // liability counts, as with a zero total.
    program.setSection<BActivoNoComputable>({{"cBienesExterior", Variant("50.000,0001")}});
    program.setSection<BPasivo>({{"cDeudas", Variant("1.000.000")}});
    ASSERT_NO_THROW(liquidation = liquidate());
    EXPECT_EQ(liquidation->ccPasivoAlCierre(), pesos(1000000));
    EXPECT_EQ(liquidation->ccCapitalAlCierre(), -pesos(1200000));
}

TEST_F(Liquidation, NothingSavedGivesZeros) {
    BLiquidacion liquidation(program.context);
    EXPECT_EQ(liquidation.ccPasivoAlCierre(), Currency());  // before any calculation
    liquidation.CalculateLocalTotals(kPrimaryKey);
    EXPECT_EQ(liquidation.ccPasivoAlCierre(), Currency());
    EXPECT_EQ(liquidation.ccCapitalAlCierre(), Currency());
    EXPECT_EQ(liquidation.ccContribEspecial(), Currency());
    EXPECT_FALSE(liquidation.bConsistir());
    EXPECT_TRUE(liquidation.isEnabled());
    EXPECT_FALSE(liquidation.bFind());
}

}  // namespace
}  // namespace kapred
