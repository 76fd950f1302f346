#include "calc/determination.h"

#include <gtest/gtest.h>

#include "model/declaration_ops.h"
#include "support/opened_program.h"

namespace kapred {
namespace {

Currency pesos(std::int64_t units, std::int64_t cents = 0) {
    return Currency::fromScaled(units * 10000 + cents * 100);
}

// The declaration of 2004 (a regular year, first economic year) with a taxable capital of
// 1.000.000 at 1,5 %: a contribution of 15.000 as long as the threshold allows it.
class Determination : public ::testing::Test {
protected:
    Determination() {
        program.createDeclaration();
        program.setSection<BActivoComputable>({{"cOtrosBienes", Variant("1.000.000")}});
        program.setContributionRate("T_ALICUOTAS_Y_TOPES", "1.5", "15000");
    }

    std::unique_ptr<BDeterminacion> determine() {
        auto determination = std::make_unique<BDeterminacion>(program.context);
        determination->CalculateLocalTotals(kListIndex);
        return determination;
    }

    test::OpenedProgram program;
};

TEST_F(Determination, CreditsAreSubtractedFromTheContribution) {
    program.setSection<BSaldoFavorPeriodoAnt>({{"lPeriodo", Variant("2003")}, {"cImporte", Variant("2.000")}});
    BAnticipos advances(program.context);
    program.addRow(advances, "15/01/2005", "3.000");
    program.addRow(advances, "31/05/2005", "1.000");
    program.addRow<BPagosCuenta>("31/12/2004", "4.000");

    const auto determination = determine();
    EXPECT_EQ(determination->g_BLiquidacion->ccContribEspecial(), pesos(15000));
    EXPECT_EQ(determination->g_BSaldoFavorPeriodoAnt->ccImporte(), pesos(2000));
    EXPECT_EQ(determination->g_BAnticipos->ccImporte(), pesos(4000));
    EXPECT_EQ(determination->g_BPagosCuenta->ccImporte(), pesos(4000));
    EXPECT_EQ(determination->ccSaldoRexa(), pesos(5000));
    EXPECT_EQ(formatAmount(determination->ccSaldoRexa()), "5.000,00");
    EXPECT_EQ(determination->ccSaldoContrib(), Currency());
    EXPECT_FALSE(determination->rateProblem().has_value());

    // Another declaration's credits do not count.
    test::HeaderInput next;
    next.period = "2005";
    next.from = "01/01/2005";
    next.to = "31/12/2005";
    program.createDeclaration(next);
    program.addRow<BAnticipos>("15/01/2006", "9.999");
    program.setSection<BSaldoFavorPeriodoAnt>({{"lPeriodo", Variant("2004")}, {"cImporte", Variant("5.000")}});
    ASSERT_TRUE(loadDeclaration(program.context, Variant(std::int32_t{20040})));
    EXPECT_EQ(determine()->ccSaldoRexa(), pesos(5000));
}

TEST_F(Determination, NoContributionLeavesTheAdvancesInFavourOfTheTaxpayer) {
    program.setContributionRate("T_ALICUOTAS_Y_TOPES", "1.5", "20000");
    program.addRow<BAnticipos>("15/01/2005", "3.000");
    const auto determination = determine();
    EXPECT_EQ(determination->g_BLiquidacion->ccContribEspecial(), Currency());
    EXPECT_EQ(determination->ccSaldoRexa(), Currency());
    EXPECT_EQ(determination->ccSaldoContrib(), pesos(3000));
}

TEST_F(Determination, CreditsEqualToTheContributionLeaveNothingEitherWay) {
    program.setSection<BSaldoFavorPeriodoAnt>({{"lPeriodo", Variant("2003")}, {"cImporte", Variant("5.000,50")}});
    program.addRow<BAnticipos>("15/01/2005", "9.999,50");
    const auto determination = determine();
    EXPECT_EQ(determination->ccSaldoRexa(), Currency());
    EXPECT_EQ(determination->ccSaldoContrib(), Currency());

    // One cent more in favour of the taxpayer.
    program.addRow<BPagosCuenta>("30/12/2004", "0,01");
    const auto over = determine();
    EXPECT_EQ(over->ccSaldoRexa(), Currency());
    EXPECT_EQ(over->ccSaldoContrib(), pesos(0, 1));
}

TEST_F(Determination, WithoutCreditsTheWholeContributionIsToPay) {
    BDeterminacion determination(program.context);
    EXPECT_EQ(determination.ccSaldoRexa(), Currency());  // before any calculation
    EXPECT_EQ(determination.ccSaldoContrib(), Currency());
    determination.CalculateLocalTotals(kListIndex);
    EXPECT_EQ(determination.ccSaldoRexa(), determination.g_BLiquidacion->ccContribEspecial());
    EXPECT_EQ(determination.ccSaldoRexa(), pesos(15000));
    EXPECT_EQ(determination.ccSaldoContrib(), Currency());
}

TEST_F(Determination, MissingRateReachesTheDetermination) {
    program.addRow<BAnticipos>("15/01/2005", "3.000");
    program.context.g_dbTablas->execute("DELETE * FROM T_ALICUOTAS_Y_TOPES");
    std::unique_ptr<BDeterminacion> determination;
    ASSERT_NO_THROW(determination = determine());
    ASSERT_TRUE(determination->rateProblem().has_value());
    EXPECT_NE(determination->rateProblem()->find("T_ALICUOTAS_Y_TOPES"), std::string::npos);
    EXPECT_EQ(determination->ccSaldoRexa(), Currency());
    EXPECT_EQ(determination->ccSaldoContrib(), pesos(3000));
}

}  // namespace
}  // namespace kapred
