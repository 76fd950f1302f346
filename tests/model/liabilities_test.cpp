#include "model/liabilities.h"

#include <gtest/gtest.h>

#include "data/validation.h"
#include "model/declaration_ops.h"
#include "support/opened_program.h"

namespace kapred {
namespace {

using Lines = std::vector<std::string>;

Currency pesos(std::int64_t units, std::int64_t cents = 0) {
    return Currency::fromScaled(units * 10000 + cents * 100);
}

test::HeaderInput yearEnding(const std::string& period, const std::string& from, const std::string& to) {
    test::HeaderInput input;
    input.period = period;
    input.from = from;
    input.to = to;
    return input;
}

class Liabilities : public ::testing::Test {
protected:
    Lines lines(const SectionObject& object, int kind) {
        return BuildInconsistencyLines(object, kind, program.context.numberFormat());
    }

    // Validates a new row of the list with the typed values, without saving it.
    int validateRow(BListSection& list, const std::string& date, const std::string& amount) {
        list.AddNew();
        list.Entity->SetFieldValue("fFecha", Variant(date));
        list.Entity->SetFieldValue("cImporte", Variant(amount));
        return list.iValidateBusinessRules();
    }

    Currency total(BListSection&& list) {
        list.CalculateLocalTotals(kListIndex);
        return list.ccImporte();
    }

    test::OpenedProgram program;
};

TEST_F(Liabilities, AdvancesAreNumberedWithinTheDeclarationAndNumbersAreNotReused) {
    program.createDeclaration();
    BAnticipos advances(program.context);
    EXPECT_EQ(advances.nextId(), 1);
    EXPECT_EQ(total(BAnticipos(program.context)), Currency());

    EXPECT_EQ(program.addRow(advances, "10/01/2005", "1.000"), 1);
    EXPECT_EQ(program.addRow(advances, "11/01/2005", "2.000,50"), 2);
    EXPECT_EQ(program.addRow(advances, "12/01/2005", "3.000"), 3);
    EXPECT_EQ(total(BAnticipos(program.context)), pesos(6000, 50));

    // Modifying a row keeps its number.
    advances.Entity->SetFieldValue("ID", Variant(std::int32_t{1}));
    ASSERT_TRUE(advances.bFind());
    advances.Entity->SetFieldValue("cImporte", Variant("1.500"));
    program.submit(advances);
    EXPECT_EQ(advances.Entity->vGetFieldValue("ID").toText(), "1");
    EXPECT_EQ(program.countRows("Anticipos"), 3);

    advances.Entity->SetFieldValue("ID", Variant(std::int32_t{2}));
    ASSERT_TRUE(advances.bFind());
    ASSERT_TRUE(advances.bDelete(kPrimaryKey));
    EXPECT_EQ(program.countRows("Anticipos"), 2);
    EXPECT_EQ(total(BAnticipos(program.context)), pesos(4500));

    // A new object continues after the largest number stored.
    BAnticipos later(program.context);
    EXPECT_EQ(program.addRow(later, "13/01/2005", "10"), 4);
    later.Entity->SetFieldValue("ID", Variant(std::int32_t{4}));
    ASSERT_TRUE(later.bFind());
    ASSERT_TRUE(later.bDelete(kPrimaryKey));
    // The same object never gives 4 again; a fresh one starts again from the stored maximum.
    EXPECT_EQ(program.addRow(later, "14/01/2005", "20"), 5);
    EXPECT_EQ(BAnticipos(program.context).nextId(), 6);
    EXPECT_EQ(program.addRow(advances, "15/01/2005", "30"), 4);

    // Payments on account are numbered the same way, and each declaration on its own.
    EXPECT_EQ(program.addRow<BPagosCuenta>("01/12/2004", "5"), 1);
    test::HeaderInput next = yearEnding("2005", "01/01/2005", "31/12/2005");
    program.createDeclaration(next);
    EXPECT_EQ(BAnticipos(program.context).nextId(), 1);
    EXPECT_EQ(total(BAnticipos(program.context)), Currency());
    EXPECT_EQ(program.addRow<BAnticipos>("10/01/2006", "7"), 1);
    EXPECT_EQ(program.countRows("Anticipos", 20040), 4);
}

TEST_F(Liabilities, ListTotalsAreRoundedToCents) {
    program.createDeclaration();
    BPagosCuenta payments(program.context);
    program.addRow(payments, "01/03/2004", "0,0025");
    program.addRow(payments, "01/04/2004", "0,0025");
    program.addRow(payments, "01/05/2004", "10");
    EXPECT_EQ(total(BPagosCuenta(program.context)), pesos(10, 1));
}

TEST_F(Liabilities, AdvancesMayBeDatedUpToTheEndOfTheFifthMonthAfterTheYear) {
    program.createDeclaration(yearEnding("2004", "01/01/2004", "31/12/2004"));
    BAnticipos advances(program.context);
    EXPECT_EQ(validateRow(advances, "31/05/2005", "100"), 0);
    EXPECT_EQ(validateRow(advances, "01/06/2005", "100"), kRangeError);
    EXPECT_EQ(lines(advances, kRangeError), Lines{"El campo 'Fecha' debe estar comprendido entre : "
                                                  "01/01/1800 y 31/05/2005 . Intento de ingreso "
                                                  ":01/06/2005"});
    EXPECT_EQ(program.countRows("Anticipos"), 0);
}

TEST_F(Liabilities, AdvanceLimitFollowsTheEndOfTheYear) {
    const auto limitFor = [&](const std::string& period, const std::string& from, const std::string& to,
                              const std::string& sequence) {
        test::HeaderInput input = yearEnding(period, from, to);
        input.sequence = sequence;
        program.createDeclaration(input);
        BAnticipos advances(program.context);
        return advances.limitDate();
    };
    EXPECT_EQ(limitFor("2004", "01/07/2003", "30/06/2004", "1"), DateTime::fromDate(2004, 11, 30));
    // Six months after 31 August is in February, whatever its last day.
    EXPECT_EQ(limitFor("2004", "01/09/2003", "31/08/2004", "2"), DateTime::fromDate(2005, 1, 31));
    EXPECT_EQ(limitFor("2003", "01/01/2003", "31/12/2003", "0"), DateTime::fromDate(2004, 5, 31));

    program.createDeclaration(yearEnding("2004", "01/07/2003", "30/06/2004"));
    BAnticipos advances(program.context);
    EXPECT_EQ(validateRow(advances, "30/11/2004", "1"), 0);
    EXPECT_EQ(validateRow(advances, "01/12/2004", "1"), kRangeError);
}

TEST_F(Liabilities, PaymentsOnAccountMayBeDatedUpToTheEndOfTheYear) {
    program.createDeclaration();
    BPagosCuenta payments(program.context);
    EXPECT_EQ(validateRow(payments, "31/12/2004", "100"), 0);
    EXPECT_EQ(validateRow(payments, "01/01/2005", "100"), kRangeError);
    EXPECT_EQ(lines(payments, kRangeError), Lines{"El campo 'Fecha' debe estar comprendido entre : "
                                                  "01/01/1800 y 31/12/2004 . Intento de ingreso "
                                                  ":01/01/2005"});

    EXPECT_EQ(validateRow(payments, "10/10/2004", "-1"), kRangeError);
    EXPECT_EQ(lines(payments, kRangeError), Lines{"El campo 'Importe' debe estar comprendido entre "
                                                  ": 0 y 99999999999,99 . Intento de ingreso :-1"});
    EXPECT_EQ(validateRow(payments, "10/10/2004", "diez"), kTypeError);
    EXPECT_EQ(lines(payments, kTypeError),
              Lines{"El campo 'Importe' debe ser : \"Numérico\". Intento de ingreso :diez"});
    EXPECT_EQ(validateRow(payments, "31/11/2004", "10"), kTypeError);
    EXPECT_EQ(lines(payments, kTypeError),
              Lines{"El campo 'Fecha' debe ser : \"Fecha\". Intento de ingreso :31/11/2004"});
    EXPECT_EQ(program.countRows("PagosCuenta"), 0);
}

TEST_F(Liabilities, ListRowWithoutADateIsOutsideTheDateInterval) {
    program.createDeclaration();
    BPagosCuenta payments(program.context);
    BAnticipos advances(program.context);
    const std::pair<BListSection*, std::string> lists[] = {{&payments, "31/12/2004"}, {&advances, "31/05/2005"}};
    for (const auto& [list, limit] : lists) {
        EXPECT_EQ(validateRow(*list, "", "1"), kRangeError) << list->Entity->sEntityName();
        EXPECT_EQ(lines(*list, kRangeError), Lines{"El campo 'Fecha' debe estar comprendido entre : 01/01/1800 y " +
                                                   limit + " . Intento de ingreso :"});
    }
}

TEST_F(Liabilities, PreviousBalanceMustBeOfAnEarlierPeriod) {
    program.createDeclaration();
    program.setSection<BSaldoFavorPeriodoAnt>({{"lPeriodo", Variant("2003")}, {"cImporte", Variant("2.000")}});

    BSaldoFavorPeriodoAnt balance(program.context);
    ASSERT_TRUE(balance.bFind());
    balance.Entity->SetFieldValue("lPeriodo", Variant("2004"));
    EXPECT_EQ(balance.iValidateBusinessRules(), kRuleError);
    EXPECT_EQ(lines(balance, kRuleError),
              Lines{"El Período debe ser menor al Período Fiscal de la Declaración Jurada."});

    balance.Entity->SetFieldValue("lPeriodo", Variant("2005"));
    EXPECT_EQ(balance.iValidateBusinessRules(), kRangeError);
    EXPECT_EQ(lines(balance, kRangeError), Lines{"El campo 'Período (AAAA)' debe estar comprendido "
                                                 "entre : 0 y 2004 . Intento de ingreso :2005"});

    balance.Entity->SetFieldValue("lPeriodo", Variant("2003"));
    balance.Entity->SetFieldValue("cImporte", Variant("100.000.000.000"));
    EXPECT_EQ(balance.iValidateBusinessRules(), kRangeError);

    BSaldoFavorPeriodoAnt stored(program.context);
    stored.CalculateLocalTotals(kPrimaryKey);
    EXPECT_EQ(stored.ccImporte(), pesos(2000));
    EXPECT_EQ(stored.Entity->vGetFieldValue("lPeriodo").toText(), "2003");

    // Its screen also shows the advances and payments of the declaration.
    program.addRow<BAnticipos>("01/02/2005", "30");
    program.addRow<BPagosCuenta>("01/02/2004", "40");
    stored.CalculateExternalTotals(kListIndex);
    EXPECT_EQ(stored.g_BAnticipos->ccImporte(), pesos(30));
    EXPECT_EQ(stored.g_BPagosCuenta->ccImporte(), pesos(40));
}

TEST_F(Liabilities, DeductionsTakeTheDisabledStaffPayAtTheRateOfTheYear) {
    program.createDeclaration();
    program.setSection<BLiqDeduccionesAlCapital>({{"cReembolsoGastos", Variant("100")},
                                                  {"cGratificacioneAlPersonal", Variant("200")},
                                                  {"cRetornoExcedente", Variant("300")},
                                                  {"cTotalRetribucionesLey23427", Variant("1.000")}});
    BLiqDeduccionesAlCapital deductions(program.context);
    EXPECT_EQ(deductions.cGetAlicuota(), Currency::fromScaled(7000));  // the shipped 70 %
    deductions.CalculateLocalTotals(kPrimaryKey);
    EXPECT_EQ(deductions.ccDeduccionPorRetribucion(), pesos(700));
    EXPECT_EQ(deductions.ccDeduccionesAlCierre(), pesos(1300));
    EXPECT_FALSE(deductions.rateProblem().has_value());

    // The stored percentage is taken to two decimals.
    program.context.g_dbTablas->execute("UPDATE T_DEDUC_DISCAPACITADO SET alicuota = 33.333");
    deductions.CalculateLocalTotals(kPrimaryKey);
    EXPECT_EQ(deductions.ccDeduccionPorRetribucion(), pesos(333, 30));
    EXPECT_EQ(deductions.ccDeduccionesAlCierre(), pesos(933, 30));

    BLiqDeduccionesAlCapital bad(program.context);
    bad.Entity->SetFieldValue("cRetornoExcedente", Variant("-1"));
    EXPECT_EQ(bad.iValidateBusinessRules(), kRangeError);
    EXPECT_EQ(lines(bad, kRangeError), Lines{"El campo 'Retornos de Excedentes Distribuidos' debe "
                                             "estar comprendido entre : 0 y 99999999999,99 . "
                                             "Intento de ingreso :-1"});
}

TEST_F(Liabilities, DeductionRateMissingForTheStartOfTheYearIsToldNotHidden) {
    program.createDeclaration();
    program.setSection<BLiqDeduccionesAlCapital>(
        {{"cReembolsoGastos", Variant("100")}, {"cTotalRetribucionesLey23427", Variant("1.000")}});
    program.context.g_dbTablas->execute("UPDATE T_DEDUC_DISCAPACITADO SET VigenciaDesde = '2005-01-01'");
    BLiqDeduccionesAlCapital deductions(program.context);
    deductions.CalculateLocalTotals(kPrimaryKey);
    EXPECT_EQ(deductions.ccDeduccionPorRetribucion(), Currency());
    EXPECT_EQ(deductions.ccDeduccionesAlCierre(), pesos(100));
    ASSERT_TRUE(deductions.rateProblem().has_value());
    EXPECT_NE(deductions.rateProblem()->find("T_DEDUC_DISCAPACITADO"), std::string::npos) << *deductions.rateProblem();
    EXPECT_NE(deductions.rateProblem()->find("01/01/2004"), std::string::npos) << *deductions.rateProblem();

    // Once a row covers the date again, the problem is gone.
    program.context.g_dbTablas->execute("UPDATE T_DEDUC_DISCAPACITADO SET VigenciaDesde = '1985-10-15'");
    deductions.CalculateLocalTotals(kPrimaryKey);
    EXPECT_EQ(deductions.ccDeduccionPorRetribucion(), pesos(700));
    EXPECT_FALSE(deductions.rateProblem().has_value());
}

TEST_F(Liabilities, InsuranceAmountsNeedTheirFlagAtYesAndFlagsDoNotEnterTheTotal) {
    program.createDeclaration();
    program.setSection<BPasivo>({{"iCooperativaSegurosCapitalizacion", Variant("1")},
                                 {"iCooperativaAseguradoresVida", Variant("1")},
                                 {"cDeudas", Variant("1.000")},
                                 {"cProvisiones", Variant("2.000")},
                                 {"cReservasTecnicas", Variant("3.000")},
                                 {"cFondosBeneficioSeguroVida", Variant("4.000")},
                                 {"cBeneficios", Variant("5.000,25")}});
    const auto total = [&] {
        BPasivo liabilities(program.context);
        liabilities.CalculateLocalTotals(kPrimaryKey);
        return liabilities.ccPasivo();
    };
    EXPECT_EQ(total(), pesos(15000, 25));

    // NO with an amount typed beside it is refused, and nothing changes.
    BPasivo refused(program.context);
    EXPECT_EQ(acceptSingleRow(refused, {{"iCooperativaSegurosCapitalizacion", Variant("0")},
                                        {"cReservasTecnicas", Variant("3.000")},
                                        {"iCooperativaAseguradoresVida", Variant("0")},
                                        {"cFondosBeneficioSeguroVida", Variant("1")}}),
              kRuleError);
    EXPECT_EQ(lines(refused, kRuleError),
              (Lines{"El importe de \"Reservas Técnicas\" solo puede cargarse cuando \"Cooperativa de Seguros de "
                     "Capitalización\" es SI.",
                     "El importe de \"Fondos de Beneficio de Seguros de vida\" solo puede cargarse cuando "
                     "\"Cooperativa Aseguradores de vida de Seguros de Capitalización\" es SI."}));
    EXPECT_EQ(total(), pesos(15000, 25));

    // NO alone empties the amount it governs, as choosing NO in the window does.
    program.setSection<BPasivo>({{"iCooperativaSegurosCapitalizacion", Variant("0")}});
    EXPECT_EQ(total(), pesos(12000, 25));
    EXPECT_EQ(program.countRows("Pasivo"), 1);

    BPasivo bad(program.context);
    bad.bFind();
    bad.Entity->SetFieldValue("iCooperativaSegurosCapitalizacion", Variant("2"));
    bad.Entity->SetFieldValue("cDeudas", Variant("-1"));
    EXPECT_EQ(bad.iValidateBusinessRules(), kRangeError);
    EXPECT_EQ(lines(bad, kRangeError),
              (Lines{"El campo 'Cooperativa de Seguros de Capitalización' debe estar comprendido entre : 0 "
                     "y 1 . "
                     "Intento de ingreso :2",
                     "El campo 'Deudas en Moneda Nacional y Extranjera' debe estar comprendido entre : 0 y "
                     "99999999999,99 . Intento de ingreso :-1"}));
    bad.Entity->SetFieldValue("iCooperativaSegurosCapitalizacion", Variant("1"));
    bad.Entity->SetFieldValue("cDeudas", Variant("mil"));
    EXPECT_EQ(bad.iValidateBusinessRules(), kTypeError);
    EXPECT_EQ(lines(bad, kTypeError), Lines{"El campo 'Deudas en Moneda Nacional y Extranjera' "
                                            "debe ser : \"Numérico\". Intento de ingreso "
                                            ":mil"});

    EXPECT_EQ(total(), pesos(12000, 25));
}

}  // namespace
}  // namespace kapred
