#include "model/assets.h"

#include <gtest/gtest.h>

#include "data/validation.h"
#include "model/declaration_ops.h"
#include "support/opened_program.h"

namespace kapred {
namespace {

using Lines = std::vector<std::string>;

const char* const kComputableFields[] = {"cDineroEfectivoNac",
                                         "cDineroEfectivoExt",
                                         "cDepositosNac",
                                         "cDepositosExt",
                                         "cCreditosNac",
                                         "cCreditosExt",
                                         "cIntereses",
                                         "cTitulosPublicos",
                                         "cParticipacionesCapital",
                                         "cBienesCambio",
                                         "cBienesAdquiridos",
                                         "cBienesElaborados",
                                         "cBienesEnCurso",
                                         "cInmueblesNoBienesCambio",
                                         "cInmueblesActForestales",
                                         "cBienesInmateriales",
                                         "cOtrosBienes"};

Currency pesos(std::int64_t units, std::int64_t cents = 0) {
    return Currency::fromScaled(units * 10000 + cents * 100);
}

class Assets : public ::testing::Test {
protected:
    Assets() { program.createDeclaration(); }

    Lines lines(const SectionObject& object, int kind) {
        return BuildInconsistencyLines(object, kind, program.context.numberFormat());
    }

    test::OpenedProgram program;
};

TEST_F(Assets, NoSavedRowGivesZeroTotalsAndTheCurrentKey) {
    BActivoComputable computable(program.context);
    computable.Entity->SetFieldValue("cOtrosBienes", Variant("5"));
    computable.CalculateLocalTotals(kPrimaryKey);
    EXPECT_EQ(computable.ccDineroEfectivo(), Currency());
    EXPECT_EQ(computable.ccDepositos(), Currency());
    EXPECT_EQ(computable.ccCreditos(), Currency());
    EXPECT_EQ(computable.ccInmuebles(), Currency());
    EXPECT_EQ(computable.ccBienesMueblesAmortizables(), Currency());
    EXPECT_EQ(computable.ccActivoComputable(), Currency());
    EXPECT_FALSE(computable.g_bEdit);
    EXPECT_EQ(computable.Entity->vGetFieldValue("CUIT").toText(), "20123456789");
    EXPECT_EQ(computable.Entity->vGetFieldValue("CodDJ").toText(), "20040");
    EXPECT_EQ(computable.Entity->vGetFieldValue("cOtrosBienes").toText(), "0");

    BActivoNoComputable outside(program.context);
    outside.CalculateLocalTotals(kPrimaryKey);
    EXPECT_EQ(outside.ccActivoNoComputable(), Currency());
    ASSERT_NE(outside.g_BActivoExento, nullptr);
    EXPECT_EQ(outside.g_BActivoExento->ccActivoExento(), Currency());
}

TEST_F(Assets, TotalsAddTheirFieldsExactly) {
    program.setSection<BActivoComputable>({{"cDineroEfectivoNac", Variant("1")},
                                           {"cDineroEfectivoExt", Variant("2")},
                                           {"cDepositosNac", Variant("10")},
                                           {"cDepositosExt", Variant("20")},
                                           {"cCreditosNac", Variant("100")},
                                           {"cCreditosExt", Variant("200")},
                                           {"cIntereses", Variant("1.000")},
                                           {"cTitulosPublicos", Variant("2.000")},
                                           {"cParticipacionesCapital", Variant("3.000")},
                                           {"cBienesCambio", Variant("4.000")},
                                           {"cBienesAdquiridos", Variant("10.000")},
                                           {"cBienesElaborados", Variant("20.000")},
                                           {"cBienesEnCurso", Variant("30.000")},
                                           {"cInmueblesNoBienesCambio", Variant("100.000")},
                                           {"cInmueblesActForestales", Variant("200.000")},
                                           {"cBienesInmateriales", Variant("400.000")},
                                           {"cOtrosBienes", Variant("500.000,01")}});
    BActivoComputable computable(program.context);
    computable.CalculateLocalTotals(kPrimaryKey);
    EXPECT_TRUE(computable.g_bEdit);
    EXPECT_EQ(computable.ccDineroEfectivo(), pesos(3));
    EXPECT_EQ(computable.ccDepositos(), pesos(30));
    EXPECT_EQ(computable.ccCreditos(), pesos(300));
    EXPECT_EQ(computable.ccBienesMueblesAmortizables(), pesos(60000));
    EXPECT_EQ(computable.ccInmuebles(), pesos(300000));
    EXPECT_EQ(computable.ccActivoComputable(), pesos(1270333, 1));

    program.setSection<BActivoExento>({{"cBienesTierraDelFuego", Variant("150")},
                                       {"cAccionesParticipaciones", Variant("30,5")},
                                       {"cCuotasSociales", Variant("20")}});
    BActivoExento exempt(program.context);
    exempt.CalculateLocalTotals(kPrimaryKey);
    EXPECT_EQ(exempt.ccActivoExento(), pesos(200, 50));

    // The non-computable screen also shows the exempt total.
    program.setSection<BActivoNoComputable>({{"cBienesExterior", Variant("7.000")}});
    BActivoNoComputable outside(program.context);
    outside.CalculateLocalTotals(kPrimaryKey);
    EXPECT_EQ(outside.ccActivoNoComputable(), pesos(7000));
    EXPECT_EQ(outside.g_BActivoExento->ccActivoExento(), pesos(200, 50));

    BActivo summary(program.context);
    summary.CalculateLocalTotals(kPrimaryKey);
    EXPECT_EQ(summary.ccActivo(), pesos(1277533, 51));
}

TEST_F(Assets, SummaryAddsTheSectionsEvenWhenOneWasNeverSaved) {
    program.setSection<BActivoComputable>({{"cBienesCambio", Variant("1.000")}});
    program.setSection<BActivoNoComputable>({{"cBienesExterior", Variant("250")}});
    BActivo summary(program.context);
    summary.CalculateLocalTotals(kPrimaryKey);
    EXPECT_EQ(summary.ccActivo(), pesos(1250));
    EXPECT_EQ(summary.g_BActivoComputable->ccActivoComputable(), pesos(1000));
    EXPECT_EQ(summary.g_BActivoExento->ccActivoExento(), Currency());
    EXPECT_EQ(summary.g_BActivoNoComputable->ccActivoNoComputable(), pesos(250));

    // Another declaration's assets are not counted.
    test::HeaderInput other;
    other.period = "2005";
    other.from = "01/01/2005";
    other.to = "31/12/2005";
    program.createDeclaration(other);
    program.setSection<BActivoExento>({{"cCuotasSociales", Variant("9.999")}});
    ASSERT_TRUE(loadDeclaration(program.context, Variant(std::int32_t{20040})));
    summary.CalculateLocalTotals(kPrimaryKey);
    EXPECT_EQ(summary.ccActivo(), pesos(1250));
}

TEST_F(Assets, SecuritiesMayBeNegativeAndNoOtherAssetMay) {
    BActivoComputable computable(program.context);
    computable.Entity->SetFieldValue("cDineroEfectivoNac", Variant("5.000"));
    computable.Entity->SetFieldValue("cTitulosPublicos", Variant("-1.000"));
    ASSERT_EQ(computable.iValidateBusinessRules(), 0);
    ASSERT_TRUE(computable.bSave());
    computable.CalculateLocalTotals(kPrimaryKey);
    EXPECT_EQ(computable.ccActivoComputable(), pesos(4000));

    EXPECT_EQ(program.countRows("ActivoComputable"), 1);
    for (const char* field : kComputableFields) {
        if (std::string(field) == "cTitulosPublicos") {
            continue;
        }
        BActivoComputable other(program.context);
        other.bFind();
        other.Entity->SetFieldValue(field, Variant("-0,01"));
        EXPECT_EQ(other.iValidateBusinessRules(), kRangeError) << field;
        ASSERT_EQ(other.g_vecErroresInconsistencia.size(), 1u) << field;
        EXPECT_EQ(other.g_vecErroresInconsistencia.entries()[0].field, field);
    }
    BActivoComputable negative(program.context);
    negative.Entity->SetFieldValue("cOtrosBienes", Variant("-1"));
    EXPECT_EQ(negative.iValidateBusinessRules(), kRangeError);
    EXPECT_EQ(lines(negative, kRangeError), Lines{"El campo 'Otros Bienes' debe estar comprendido "
                                                  "entre : 0 y 99999999999,99 . Intento de ingreso "
                                                  ":-1"});
    negative.Entity->SetFieldValue("cOtrosBienes", Variant("0"));
    negative.Entity->SetFieldValue("cTitulosPublicos", Variant("-100.000.000.000"));
    EXPECT_EQ(negative.iValidateBusinessRules(), kRangeError);
    EXPECT_EQ(lines(negative, kRangeError),
              Lines{"El campo 'Títulos Públicos, Acciones y demás Títulos Valores' debe estar "
                    "comprendido entre : "
                    "-99999999999,99 y 99999999999,99 . Intento de ingreso :-100.000.000.000"});

    BActivoExento exempt(program.context);
    exempt.Entity->SetFieldValue("cCuotasSociales", Variant("-5"));
    EXPECT_EQ(exempt.iValidateBusinessRules(), kRangeError);
    BActivoNoComputable outside(program.context);
    outside.Entity->SetFieldValue("cBienesExterior", Variant("-5"));
    EXPECT_EQ(outside.iValidateBusinessRules(), kRangeError);
    EXPECT_EQ(program.countRows("ActivoExento") + program.countRows("ActivoNoComputable"), 0);
}

TEST_F(Assets, LargestAmountInEveryFieldPassesAndAddsUpExactly) {
    BActivoComputable computable(program.context);
    for (const char* field : kComputableFields) {
        computable.Entity->SetFieldValue(field, Variant("99.999.999.999,99"));
    }
    ASSERT_EQ(computable.iValidateBusinessRules(), 0);
    ASSERT_TRUE(computable.bSave());
    computable.CalculateLocalTotals(kPrimaryKey);
    EXPECT_EQ(computable.ccDineroEfectivo(), pesos(199999999999, 98));
    EXPECT_EQ(computable.ccBienesMueblesAmortizables(), pesos(299999999999, 97));
    // 17 fields of 99.999.999.999,99.
    EXPECT_EQ(computable.ccActivoComputable(), pesos(1699999999999, 83));

    // Half a cent above the largest amount is already too much.
    computable.Entity->SetFieldValue("cOtrosBienes", Variant("99.999.999.999,995"));
    EXPECT_EQ(computable.iValidateBusinessRules(), kRangeError);
    computable.Entity->SetFieldValue("cTitulosPublicos", Variant("-99.999.999.999,995"));
    EXPECT_EQ(computable.iValidateBusinessRules(), kRangeError);
    EXPECT_EQ(computable.g_vecErroresInconsistencia.size(), 2u);
    computable.Entity->SetFieldValue("cOtrosBienes", Variant("0"));
    computable.Entity->SetFieldValue("cTitulosPublicos", Variant("-99.999.999.999,99"));
    EXPECT_EQ(computable.iValidateBusinessRules(), 0);

    computable.Entity->SetFieldValue("cIntereses", Variant("100.000.000.000"));
    EXPECT_EQ(computable.iValidateBusinessRules(), kRangeError);
    EXPECT_EQ(lines(computable, kRangeError),
              Lines{"El campo 'Intereses y Actualizaciones' debe estar comprendido entre : 0 y "
                    "99999999999,99 . "
                    "Intento de ingreso :100.000.000.000"});
}

TEST_F(Assets, LettersInAnAmountAreATypeError) {
    BActivoComputable computable(program.context);
    computable.Entity->SetFieldValue("cDepositosNac", Variant("12a"));
    computable.Entity->SetFieldValue("cDineroEfectivoExt", Variant(""));
    computable.Entity->SetFieldValue("cCreditosNac",
                                     Variant("1234.5"));  // a point is not the decimal sign
    EXPECT_EQ(computable.iValidateBusinessRules(), kTypeError);
    EXPECT_EQ(lines(computable, kTypeError),
              (Lines{"El campo 'Dinero en Efectivo en Moneda Extranjera' debe ser : \"Numérico\". "
                     "Intento de ingreso :",
                     "El campo 'Depósitos en Moneda Nacional' debe ser : \"Numérico\". Intento de "
                     "ingreso :12a",
                     "El campo 'Créditos en Moneda Nacional' debe ser : \"Numérico\". Intento de "
                     "ingreso :1234.5"}));
    EXPECT_EQ(program.countRows("ActivoComputable"), 0);

    // Shown in the section's error window.
    ShowInconsistencies(program.ui, computable, kTypeError, program.context.numberFormat());
    ASSERT_EQ(program.ui.inconsistencies.size(), 1u);
    EXPECT_EQ(program.ui.inconsistencies[0].title, " Pantalla Activo Computable");
}

TEST_F(Assets, SectionRowsFollowTheContract) {
    BActivoExento exempt(program.context);
    EXPECT_FALSE(exempt.bConsistir());
    EXPECT_TRUE(exempt.isEnabled());
    EXPECT_FALSE(exempt.bFind());
    EXPECT_FALSE(exempt.g_bEdit);
    exempt.Entity->SetFieldValue("cCuotasSociales", Variant("10"));
    ASSERT_EQ(exempt.iValidateBusinessRules(), 0);
    ASSERT_TRUE(exempt.bSave());
    EXPECT_TRUE(exempt.g_bEdit);

    // A second new row for the same declaration is refused and changes nothing.
    BActivoExento second(program.context);
    second.AddNew();
    second.Entity->SetFieldValue("cCuotasSociales", Variant("99"));
    ASSERT_EQ(second.iValidateBusinessRules(), 0);
    EXPECT_FALSE(second.bSave());
    EXPECT_EQ(lines(second, kRuleError),
              Lines{"El registro que intenta ingresar, ya se encuentra en la base de datos."});

    BActivoExento reader(program.context);
    ASSERT_TRUE(reader.bFind());
    EXPECT_TRUE(reader.g_bEdit);
    reader.CalculateLocalTotals(kPrimaryKey);
    EXPECT_EQ(reader.ccActivoExento(), pesos(10));

    // Modifying the row updates it.
    reader.Entity->SetFieldValue("cAccionesParticipaciones", Variant("5"));
    ASSERT_EQ(reader.iValidateBusinessRules(), 0);
    ASSERT_TRUE(reader.bSave());
    EXPECT_EQ(program.countRows("ActivoExento"), 1);
    reader.CalculateLocalTotals(kPrimaryKey);
    EXPECT_EQ(reader.ccActivoExento(), pesos(15));

    ASSERT_TRUE(reader.bDelete(kPrimaryKey));
    EXPECT_FALSE(reader.g_bEdit);
    EXPECT_EQ(reader.Entity->vGetFieldValue("CodDJ").toText(), "20040");
    EXPECT_EQ(program.countRows("ActivoExento"), 0);
}

}  // namespace
}  // namespace kapred
