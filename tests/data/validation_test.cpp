// Field validation by database type: what each type accepts, its bounds and their wording, and
// the inconsistency list the checks fill. The sentences of each section are in cli/cases.
#include "data/validation.h"

#include <gtest/gtest.h>

#include "data/app_database.h"
#include "support/checks.h"
#include "support/program_dir.h"

namespace kapred {
namespace {

using db::DataType;

TEST(TypeCheck, WhatEachTypeAccepts) {
    const struct {
        Variant value;
        DataType type;
        bool accepted;
    } cases[] = {
        {Variant("1.234,50"), DataType::Currency, true},
        {Variant(Currency::fromUnits(3)), DataType::Double, true},
        {Variant(""), DataType::Currency, false},
        {Variant("12a"), DataType::Currency, false},
        {Variant("1234.5"), DataType::Currency, false},
        {Variant::null(), DataType::Currency, false},
        {Variant(), DataType::Double, false},
        {Variant(1.5), DataType::Integer, false},
        {Variant("1,5"), DataType::Long, false},
        {Variant(std::int32_t{32768}), DataType::Integer, true},
        {Variant("2.004"), DataType::Long, true},
        {Variant(1e20), DataType::Long, true},
        {Variant(""), DataType::Date, true},
        {Variant("29/02/2004"), DataType::Date, true},
        {Variant("31/02/2004"), DataType::Date, false},
        {Variant::null(), DataType::Date, false},
        {Variant(""), DataType::Text, true},
        {Variant(), DataType::Text, false},
        {Variant::null(), DataType::Text, false},
        // Text reaches the single-byte files whole, or is refused.
        {Variant("Ñandú 5 €"), DataType::Text, true},
        {Variant("\xFF"), DataType::Text, false},
        {Variant("Łódź"), DataType::Text, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ValidateValueFromDatabaseType(c.value, c.type), c.accepted) << c.value << " " << int(c.type);
    }
    EXPECT_EQ(test::errorNumber([] { ValidateValueFromDatabaseType(Variant(true), DataType::Boolean); }), 1);
}

TEST(RangeCheck, TheBoundsOfEachTypeAndHowMessagesShowThem) {
    const struct {
        Variant value;
        DataType type;
        bool inRange;
    } cases[] = {
        {Variant(std::int32_t{32767}), DataType::Integer, true},
        {Variant(std::int32_t{32768}), DataType::Integer, false},
        {Variant("-99.999.999"), DataType::Long, true},
        {Variant("100.000.000"), DataType::Long, false},
        {Variant(DateTime::fromDate(2010, 12, 31)), DataType::Date, true},
        {Variant(DateTime::fromDate(1800, 1, 1)), DataType::Date, true},
        {Variant(DateTime::fromDate(2011, 1, 1)), DataType::Date, false},
        {Variant(DateTime::fromDate(1799, 12, 31)), DataType::Date, false},
        {Variant(std::string(256, 'x')), DataType::Text, true},
        {Variant(std::string(257, 'x')), DataType::Text, false},
        {Variant("99.999.999.999,99"), DataType::Currency, true},
        {Variant(9.9e15), DataType::Double, true},
        {Variant(1e16), DataType::Double, false},
        // Below 10^16 but beyond what an amount holds: refused rather than failing at the save.
        {Variant("1.000.000.000.000.000"), DataType::Currency, false},
        {Variant::null(), DataType::Currency, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(bValidateIntervalFromDatabaseType(c.value, c.type), c.inRange) << c.value << " " << int(c.type);
    }
    EXPECT_EQ(vGetBoundFromDatabaseType(DataType::Currency, kBoundMaximum).toText(), "99999999999,99");
    EXPECT_EQ(vGetBoundFromDatabaseType(DataType::Double, kBoundMinimum).toText(), "-99999999999,99");
    EXPECT_EQ(vGetBoundFromDatabaseType(DataType::Date, kBoundMinimum), Variant("19800101"));
    EXPECT_EQ(vGetBoundFromDatabaseType(DataType::Text, kBoundDefault).toText(), "255");
    EXPECT_THROW(vGetBoundFromDatabaseType(DataType::Boolean, kBoundMaximum), Error);
    EXPECT_EQ(sDataTypeName(DataType::Long), "\"Entero\"");
    EXPECT_EQ(sDataTypeName(DataType::Boolean), "");
    EXPECT_EQ(sGetStringConComilla("a", 0) + sGetStringConComilla("a", 1) + sGetStringConComilla("a", 2),
              "\"aa\"\"a\"");
    try {
        sGetStringConComilla("a", 3);
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), 0x80040000L);
        EXPECT_EQ(error.description(), "Se está llamando a  getstringconcomillacon valores de parámetros incorrectos");
    }
}

class Validation : public ::testing::Test {
protected:
    Validation() {
        dir.addEmptyAppDatabase();
        database = engine.openDatabase(dir.appDatabase(), false, false, kConnect);
    }

    test::ProgramDir dir;
    db::Engine engine;
    std::shared_ptr<db::Database> database;
    BusinessObject header{std::make_unique<EDDJJ>()};
};

TEST_F(Validation, BoundsListsAndValuesThatNeverCrash) {
    header.Entity->SetFieldValue("fPeriodoFiscalDesde", Variant(DateTime::fromDate(2011, 1, 1)));
    header.Entity->SetFieldValue("sFormulario", Variant(std::string(300, 'a')));
    EXPECT_TRUE(bValidateDataTypeGeneric(header, *database));
    EXPECT_FALSE(bValidateIntervalGeneric(header, *database));
    header.Entity->SetFieldValue("sFormulario", Variant("abcde"));
    EXPECT_FALSE(
        bValidateInterval(header, *database, "sFormulario", Variant(std::int32_t{1}), Variant(std::int32_t{4})));
    header.Entity->SetFieldValue("lPeriodo", Variant(std::int32_t{1985}));
    EXPECT_TRUE(
        bValidateInterval(header, *database, "lPeriodo", Variant(std::int32_t{1985}), Variant(std::int32_t{1985})));
    EXPECT_FALSE(bValidateInterval(header, *database, "noExiste", Variant(0.0), Variant(1.0)));
    std::vector<std::string> messages;
    for (const auto& entry : header.g_vecErroresInconsistencia.entries()) {
        messages.push_back(entry.field + ": " + entry.message);
    }
    EXPECT_EQ(messages, (std::vector<std::string>{"fPeriodoFiscalDesde: 19800101 y 20101231", "sFormulario: 0 y 255",
                                                  "sFormulario: 1 y 4  caracteres.",
                                                  "noExiste: El campo 'noExiste' no existe."}));

    BusinessObject generation{std::make_unique<EDDJJ>()};
    UpdateVectorInconsistencias(generation, "uno");
    UpdateVectorInconsistencias(generation, "dos");
    EXPECT_EQ(BuildInconsistencyLines(generation, kRuleError), (std::vector<std::string>{"uno", "dos"}));

    BusinessObject advance{std::make_unique<EAnticipos>(
        [] { return std::make_pair(Variant(20123456789.0), Variant(std::int32_t{20040})); })};
    advance.Entity->SetFieldValue("cImporte", Variant::null());
    advance.Entity->SetFieldValue("ID", Variant("x"));
    advance.Entity->SetFieldValue("fFecha", Variant(std::string(300, 'z')));
    EXPECT_FALSE(bValidateDataTypeGeneric(advance, *database));
    EXPECT_EQ(advance.g_vecErroresInconsistencia.size(), 3u);
    EXPECT_FALSE(bValidateIntervalGeneric(advance, *database));
    EXPECT_EQ(BuildInconsistencyLines(advance, kRangeError).size(), 3u);
    advance.Entity->Reset();
    EXPECT_TRUE(bValidateDataTypeGeneric(advance, *database));
    EXPECT_TRUE(advance.g_vecErroresInconsistencia.isNull());
}

}  // namespace
}  // namespace kapred
