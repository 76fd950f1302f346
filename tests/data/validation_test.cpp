#include "data/validation.h"

#include <gtest/gtest.h>

#include "data/app_database.h"
#include "data/values/error.h"
#include "support/program_dir.h"
#include "support/scripted_ui.h"

namespace kapred {
namespace {

using db::DataType;

DeclarationKeySource currentDeclaration() {
    return [] { return std::make_pair(Variant(20123456789.0), Variant(std::int32_t{20040})); };
}

class Validation : public ::testing::Test {
protected:
    Validation() {
        CreateAppDatabase(engine, dir.home());
        database = engine.openDatabase(dir.appDatabase(), false, false, kConnect);
    }

    test::ProgramDir dir;
    db::Engine engine;
    std::shared_ptr<db::Database> database;
    BusinessObject advance{std::make_unique<EAnticipos>(currentDeclaration())};
    BusinessObject liabilities{std::make_unique<EPasivo>(currentDeclaration())};
    BusinessObject header{std::make_unique<EDDJJ>()};
};

TEST(TypeCheck, NumbersDatesAndTexts) {
    EXPECT_TRUE(ValidateValueFromDatabaseType(Variant("1.234,50"), DataType::Currency));
    EXPECT_TRUE(ValidateValueFromDatabaseType(Variant(Currency::fromUnits(3)), DataType::Double));
    EXPECT_FALSE(ValidateValueFromDatabaseType(Variant(""), DataType::Currency));
    EXPECT_FALSE(ValidateValueFromDatabaseType(Variant("12a"), DataType::Currency));
    EXPECT_FALSE(ValidateValueFromDatabaseType(Variant("1234.5"), DataType::Currency));
    EXPECT_FALSE(ValidateValueFromDatabaseType(Variant::null(), DataType::Currency));
    EXPECT_FALSE(ValidateValueFromDatabaseType(Variant(), DataType::Double));

    EXPECT_FALSE(ValidateValueFromDatabaseType(Variant(1.5), DataType::Integer));
    EXPECT_FALSE(ValidateValueFromDatabaseType(Variant("1,5"), DataType::Long));
    EXPECT_TRUE(ValidateValueFromDatabaseType(Variant(std::int32_t{32768}), DataType::Integer));
    EXPECT_TRUE(ValidateValueFromDatabaseType(Variant("2.004"), DataType::Long));
    EXPECT_TRUE(ValidateValueFromDatabaseType(Variant(1e20), DataType::Long));  // whole, if too large

    EXPECT_TRUE(ValidateValueFromDatabaseType(Variant(""), DataType::Date));
    EXPECT_TRUE(ValidateValueFromDatabaseType(Variant("29/02/2004"), DataType::Date));
    EXPECT_FALSE(ValidateValueFromDatabaseType(Variant("31/02/2004"), DataType::Date));
    EXPECT_FALSE(ValidateValueFromDatabaseType(Variant::null(), DataType::Date));

    EXPECT_TRUE(ValidateValueFromDatabaseType(Variant(""), DataType::Text));
    EXPECT_FALSE(ValidateValueFromDatabaseType(Variant(), DataType::Text));
    EXPECT_FALSE(ValidateValueFromDatabaseType(Variant::null(), DataType::Text));
    try {
        ValidateValueFromDatabaseType(Variant(true), DataType::Boolean);
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), 1);
        EXPECT_EQ(error.source(), "ValidateValueFromDatabaseType");
        EXPECT_EQ(error.description(), "Tipo de dato desconocido");
    }
}

TEST(RangeCheck, BoundsOfEachType) {
    EXPECT_TRUE(bValidateIntervalFromDatabaseType(Variant(std::int32_t{32767}), DataType::Integer));
    EXPECT_FALSE(bValidateIntervalFromDatabaseType(Variant(std::int32_t{32768}), DataType::Integer));
    EXPECT_TRUE(bValidateIntervalFromDatabaseType(Variant("-99.999.999"), DataType::Long));
    EXPECT_FALSE(bValidateIntervalFromDatabaseType(Variant("100.000.000"), DataType::Long));

    EXPECT_TRUE(bValidateIntervalFromDatabaseType(Variant(DateTime::fromDate(2010, 12, 31)), DataType::Date));
    EXPECT_TRUE(bValidateIntervalFromDatabaseType(Variant(DateTime::fromDate(1800, 1, 1)), DataType::Date));
    EXPECT_FALSE(bValidateIntervalFromDatabaseType(Variant(DateTime::fromDate(2011, 1, 1)), DataType::Date));
    EXPECT_FALSE(bValidateIntervalFromDatabaseType(Variant(DateTime::fromDate(1799, 12, 31)), DataType::Date));

    EXPECT_TRUE(bValidateIntervalFromDatabaseType(Variant(std::string(256, 'x')), DataType::Text));
    EXPECT_FALSE(bValidateIntervalFromDatabaseType(Variant(std::string(257, 'x')), DataType::Text));
    EXPECT_TRUE(bValidateIntervalFromDatabaseType(Variant(std::string(256 * 2, '\xC3')), DataType::Text) == false);

    EXPECT_TRUE(bValidateIntervalFromDatabaseType(Variant("99.999.999.999,99"), DataType::Currency));
    EXPECT_TRUE(bValidateIntervalFromDatabaseType(Variant(9.9e15), DataType::Double));
    EXPECT_FALSE(bValidateIntervalFromDatabaseType(Variant(1e16), DataType::Double));
    // Below 10^16 but beyond what an amount can hold: refused rather than failing at the save.
    EXPECT_FALSE(bValidateIntervalFromDatabaseType(Variant("1.000.000.000.000.000"), DataType::Currency));
    EXPECT_FALSE(bValidateIntervalFromDatabaseType(Variant::null(), DataType::Currency));
}

TEST(RangeCheck, BoundsAndTypeNamesAsMessagesShowThem) {
    EXPECT_EQ(vGetBoundFromDatabaseType(DataType::Currency, kBoundMaximum).toText(), "99999999999,99");
    EXPECT_EQ(vGetBoundFromDatabaseType(DataType::Double, kBoundMinimum).toText(), "-99999999999,99");
    EXPECT_EQ(vGetBoundFromDatabaseType(DataType::Date, kBoundMinimum), Variant("19800101"));
    EXPECT_EQ(vGetBoundFromDatabaseType(DataType::Date, kBoundMaximum), Variant("20101231"));
    EXPECT_EQ(vGetBoundFromDatabaseType(DataType::Text, kBoundDefault).toText(), "255");
    EXPECT_EQ(vGetBoundFromDatabaseType(DataType::Long, kBoundMinimum).toText(), "-99999999");
    EXPECT_THROW(vGetBoundFromDatabaseType(DataType::Boolean, kBoundMaximum), Error);

    EXPECT_EQ(sDataTypeName(DataType::Integer), "\"Entero\"");
    EXPECT_EQ(sDataTypeName(DataType::Long), "\"Entero\"");
    EXPECT_EQ(sDataTypeName(DataType::Currency), "\"Numérico\"");
    EXPECT_EQ(sDataTypeName(DataType::Date), "\"Fecha\"");
    EXPECT_EQ(sDataTypeName(DataType::Text), "\"Texto\"");
    EXPECT_EQ(sDataTypeName(DataType::Boolean), "");

    EXPECT_EQ(sGetStringConComilla("a", 0), "\"a");
    EXPECT_EQ(sGetStringConComilla("a", 1), "a\"");
    EXPECT_EQ(sGetStringConComilla("a", 2), "\"a\"");
    try {
        sGetStringConComilla("a", 3);
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), 0x80040000L);
        EXPECT_EQ(error.description(), "Se está llamando a  getstringconcomillacon valores de parámetros incorrectos");
    }
}

TEST_F(Validation, TypeErrorSentenceNamesTheLabel) {
    advance.Entity->SetFieldValue("cImporte", Variant(""));
    advance.Entity->SetFieldValue("fFecha", Variant("31/02/2004"));
    EXPECT_FALSE(bValidateDataTypeGeneric(advance, *database));
    ASSERT_EQ(advance.g_vecErroresInconsistencia.size(), 2u);
    EXPECT_EQ(advance.g_vecErroresInconsistencia.entries()[0].field, "fFecha");
    EXPECT_EQ(BuildInconsistencyLines(advance, kTypeError),
              (std::vector<std::string>{
                  "El campo 'Fecha' debe ser : \"Fecha\". Intento de ingreso :31/02/2004",
                  "El campo 'Importe' debe ser : \"Numérico\". Intento de ingreso :",
              }));

    test::ScriptedUi ui;
    ShowInconsistencies(ui, advance, kTypeError);
    ASSERT_EQ(ui.inconsistencies.size(), 1u);
    EXPECT_EQ(ui.inconsistencies[0].title, " Pantalla Anticipos Ingresados");
    EXPECT_EQ(ui.inconsistencies[0].lines.size(), 2u);

    // A new run starts a new list.
    advance.Entity->Reset();
    EXPECT_TRUE(bValidateDataTypeGeneric(advance, *database));
    EXPECT_TRUE(advance.g_vecErroresInconsistencia.isNull());
}

TEST_F(Validation, RangeErrorSentenceGivesTheBounds) {
    liabilities.Entity->SetFieldValue("iCooperativaSegurosCapitalizacion", Variant(std::int32_t{32768}));
    EXPECT_TRUE(bValidateDataTypeGeneric(liabilities, *database));
    EXPECT_FALSE(bValidateIntervalGeneric(liabilities, *database));
    EXPECT_EQ(BuildInconsistencyLines(liabilities, kRangeError),
              std::vector<std::string>{"El campo 'Cooperativa de Seguros de Capitalización' debe estar comprendido "
                                       "entre : -32768 y 32767. Intento de ingreso :32768"});

    liabilities.Entity->Reset();
    liabilities.Entity->SetFieldValue("cDeudas", Variant("10.000.000.000.000.000"));
    EXPECT_FALSE(bValidateIntervalGeneric(liabilities, *database));
    EXPECT_EQ(BuildInconsistencyLines(liabilities, kRangeError),
              std::vector<std::string>{"El campo 'Deudas en Moneda Nacional y Extranjera' debe estar comprendido "
                                       "entre : -99999999999,99 y 99999999999,99. Intento de ingreso "
                                       ":10.000.000.000.000.000"});
}

TEST_F(Validation, DatesOfTheHeaderAndLongTexts) {
    header.Entity->SetFieldValue("fPeriodoFiscalDesde", Variant(DateTime::fromDate(2011, 1, 1)));
    header.Entity->SetFieldValue("sFormulario", Variant(std::string(300, 'a')));
    EXPECT_TRUE(bValidateDataTypeGeneric(header, *database));
    EXPECT_FALSE(bValidateIntervalGeneric(header, *database));
    const auto& entries = header.g_vecErroresInconsistencia.entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].field, "fPeriodoFiscalDesde");
    EXPECT_EQ(entries[0].message, "19800101 y 20101231");
    EXPECT_EQ(entries[1].field, "sFormulario");
    EXPECT_EQ(entries[1].message, "0 y 255");
}

TEST_F(Validation, SingleFieldIntervalsAddToTheList) {
    AddInconsistencyToObject(header, "", "primera");
    header.Entity->SetFieldValue("sFormulario", Variant("abcde"));
    EXPECT_FALSE(
        bValidateInterval(header, *database, "sFormulario", Variant(std::int32_t{1}), Variant(std::int32_t{4})));
    header.Entity->SetFieldValue("lPeriodo", Variant(std::int32_t{1985}));
    EXPECT_FALSE(
        bValidateInterval(header, *database, "lPeriodo", Variant(std::int32_t{1986}), Variant(std::int32_t{2022})));
    EXPECT_TRUE(
        bValidateInterval(header, *database, "lPeriodo", Variant(std::int32_t{1985}), Variant(std::int32_t{1985})));
    header.Entity->SetFieldValue("fPeriodoFiscalDesde", Variant("14/10/1985"));
    EXPECT_FALSE(bValidateInterval(header, *database, "fPeriodoFiscalDesde", Variant(DateTime::fromDate(1985, 10, 15)),
                                   Variant(DateTime::fromDate(2022, 12, 31))));
    EXPECT_FALSE(bValidateInterval(header, *database, "noExiste", Variant(0.0), Variant(1.0)));

    const auto& entries = header.g_vecErroresInconsistencia.entries();
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].message, "primera");
    EXPECT_EQ(entries[1].message, "1 y 4  caracteres.");
    EXPECT_EQ(entries[2].message, "1986 y 2022 ");
    EXPECT_EQ(entries[3].message, "15/10/1985 y 31/12/2022 ");
    EXPECT_EQ(BuildInconsistencyLines(header, kRuleError)[0], "primera");
    EXPECT_EQ(BuildInconsistencyLines(header, kRangeError)[2],
              "El campo 'Período Fiscal (AAAA)' debe estar comprendido entre : 1986 y 2022 . Intento de ingreso :1985");
}

TEST_F(Validation, OneDimensionalListKeepsLinesInOrder) {
    UpdateVectorInconsistencias(header, "uno");
    UpdateVectorInconsistencias(header, "dos");
    EXPECT_EQ(BuildInconsistencyLines(header, kRuleError), (std::vector<std::string>{"uno", "dos"}));
}

TEST_F(Validation, BadValuesNeverCrash) {
    advance.Entity->SetFieldValue("cImporte", Variant::null());
    advance.Entity->SetFieldValue("ID", Variant("x"));
    advance.Entity->SetFieldValue("fFecha", Variant(std::string(300, 'z')));
    EXPECT_FALSE(bValidateDataTypeGeneric(advance, *database));
    EXPECT_EQ(advance.g_vecErroresInconsistencia.size(), 3u);
    EXPECT_FALSE(bValidateIntervalGeneric(advance, *database));
    EXPECT_EQ(BuildInconsistencyLines(advance, kRangeError).size(), 3u);
}

}  // namespace
}  // namespace kapred
