#include "data/persistence.h"

#include <gtest/gtest.h>

#include "data/app_database.h"
#include "data/validation.h"
#include "data/values/error.h"
#include "support/program_dir.h"

namespace kapred {
namespace {

class Persistence : public ::testing::Test {
protected:
    Persistence() {
        CreateAppDatabase(engine, dir.home());
        database = engine.openDatabase(dir.appDatabase(), false, false, kConnect);
    }

    std::unique_ptr<BusinessObject> advance() {
        return std::make_unique<BusinessObject>(std::make_unique<EAnticipos>(key));
    }

    long countRows(const std::string& table) {
        return database->openRecordset("SELECT count(*) AS n FROM " + table)->value("n").longValue();
    }

    bool saveAdvance(int id, const char* amount) {
        auto row = advance();
        row->Entity->SetFieldValue("ID", Variant(std::int32_t{id}));
        row->Entity->SetFieldValue("fFecha", Variant("15/03/2004"));
        row->Entity->SetFieldValue("cImporte", Variant(amount));
        return bGenericSave(*database, *row);
    }

    test::ProgramDir dir;
    db::Engine engine;
    std::shared_ptr<db::Database> database;
    Variant codDJ{std::int32_t{20040}};
    DeclarationKeySource key = [this] { return std::make_pair(Variant(20123456789.0), codDJ); };
};

TEST_F(Persistence, FilterAndSelectTexts) {
    auto row = advance();
    row->Entity->SetFieldValue("CodDJ", Variant(std::int32_t{1}));
    row->Entity->SetFieldValue("ID", Variant(std::int32_t{3}));
    EXPECT_EQ(sGetFieldsToFilter("PK", *row->Entity, *database), " Where CUIT =20123456789 AND CodDJ = 1 AND ID = 3 ");
    EXPECT_EQ(sGetFieldsToFilter("IDX_LIST", *row->Entity, *database), " Where CUIT =20123456789 AND CodDJ = 1 ");
    EXPECT_EQ(sBuildSelect(*database, *row->Entity, "PK", "Select  * ", ""),
              "Select  *  FROM Anticipos Where CUIT =20123456789 AND CodDJ = 1 AND ID = 3 ");
    EXPECT_EQ(sBuildSelect(*database, *row->Entity, "IDX_LIST", "Select  * ", "ID"),
              "Select  *  FROM Anticipos Where CUIT =20123456789 AND CodDJ = 1  ORDER BY ID");
    EXPECT_EQ(sBuildSelect(*database, *row->Entity, "", "DELETE *", "ID"), "DELETE * FROM Anticipos");

    // An amount in a key column goes in with a decimal point.
    row->Entity->SetFieldValue("CUIT", Variant("1234,5"));
    EXPECT_EQ(sGetFieldsToFilter("IDX_LIST", *row->Entity, *database), " Where CUIT =1234.5 AND CodDJ = 1 ");

    EXPECT_TRUE(IsFieldInIndex(*database, "Anticipos", "PK", "id"));
    EXPECT_FALSE(IsFieldInIndex(*database, "Anticipos", "IDX_LIST", "ID"));
    EXPECT_FALSE(IsFieldInIndex(*database, "Anticipos", "NOEXISTE", "ID"));
}

TEST_F(Persistence, FilterWithoutAnyIndexFieldIsRefusedNotWidened) {
    auto row = advance();
    try {
        const std::string filter = sGetFieldsToFilter("NOEXISTE", *row->Entity, *database);
        FAIL() << filter;
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), 1);
        EXPECT_EQ(error.source(), "sGetFieldsToFilter");
        EXPECT_EQ(error.description(), "No se puede realizar un where con este campo");
    }
    // A query over such an index is refused instead of reading every row of the table.
    EXPECT_THROW(OpenEntityRecordset(*database, *row->Entity, "NOEXISTE", "Select  * "), Error);
}

TEST_F(Persistence, SumSelectTakesOnlyAmountColumnsOutsideTheIndex) {
    EXPECT_EQ(sBuildSumSelect(*database, "PK", "Pasivo"),
              " Select SUM(cDeudas ) AS cDeudas1,SUM(cProvisiones ) AS cProvisiones1,SUM(cReservasTecnicas ) AS "
              "cReservasTecnicas1,SUM(cFondosBeneficioSeguroVida ) AS cFondosBeneficioSeguroVida1,SUM(cBeneficios "
              ") AS cBeneficios1");
    EXPECT_EQ(sBuildSumSelect(*database, "IDX_LIST", "Anticipos"), " Select SUM(cImporte ) AS cImporte1");
}

TEST_F(Persistence, NextIdAndExactSums) {
    auto probe = advance();
    EXPECT_EQ(lGetNextId(*database, *probe->Entity, "IDX_LIST", "ID"), 1);
    ASSERT_TRUE(saveAdvance(1, "0,10"));
    ASSERT_TRUE(saveAdvance(2, "0,20"));
    ASSERT_TRUE(saveAdvance(5, "1.234.567.890,05"));
    EXPECT_EQ(lGetNextId(*database, *probe->Entity, "IDX_LIST", "ID"), 6);

    auto sums = OpenSumRecordset(*database, "IDX_LIST", *probe);
    const Variant total = sums->Fields().value("cImporte1");
    ASSERT_EQ(total.type(), Variant::Type::Currency);
    EXPECT_EQ(total.currency(), Currency::fromScaled(12345678903500));  // 1.234.567.890,35

    // Another declaration's list is numbered on its own.
    codDJ = Variant(std::int32_t{20041});
    auto other = advance();
    EXPECT_EQ(lGetNextId(*database, *other->Entity, "IDX_LIST", "ID"), 1);
}

TEST_F(Persistence, SaveFindModifyDelete) {
    ASSERT_TRUE(saveAdvance(1, "1.500,25"));
    auto row = advance();
    row->Entity->SetFieldValue("ID", Variant(std::int32_t{1}));
    ASSERT_TRUE(bGenericFind(*database, *row));
    EXPECT_TRUE(row->g_bEdit);
    EXPECT_EQ(row->Entity->vGetFieldValue("cImporte"), Variant(Currency::fromScaled(15002500)));
    EXPECT_EQ(row->Entity->vGetFieldValue("fFecha"), Variant(DateTime::fromDate(2004, 3, 15)));

    row->Entity->SetFieldValue("cImporte", Variant("2.000"));
    row->Entity->SetFieldValue("fFecha", Variant(""));  // an empty date is stored as the date serial 1
    ASSERT_TRUE(bGenericSave(*database, *row));
    auto again = advance();
    again->Entity->SetFieldValue("ID", Variant(std::int32_t{1}));
    ASSERT_TRUE(bGenericFind(*database, *again));
    EXPECT_EQ(again->Entity->vGetFieldValue("cImporte"), Variant(Currency::fromUnits(2000)));
    EXPECT_EQ(again->Entity->vGetFieldValue("fFecha"), Variant(DateTime::fromDate(1899, 12, 31)));
    EXPECT_EQ(countRows("Anticipos"), 1);

    ASSERT_TRUE(bGenericDelete(*database, *again, "PK"));
    EXPECT_FALSE(again->g_bEdit);
    EXPECT_EQ(again->Entity->vGetFieldValue("ID"), Variant(std::int16_t{0}));
    EXPECT_EQ(countRows("Anticipos"), 0);
}

TEST_F(Persistence, FindOfAMissingRowResetsTheEntity) {
    auto row = advance();
    row->Entity->SetFieldValue("ID", Variant(std::int32_t{9}));
    row->Entity->SetFieldValue("cImporte", Variant("5"));
    row->g_bEdit = true;
    EXPECT_FALSE(bGenericFind(*database, *row));
    EXPECT_EQ(row->Entity->vGetFieldValue("cImporte"), Variant(std::int16_t{0}));
    EXPECT_EQ(row->Entity->vGetFieldValue("ID"), Variant(std::int16_t{0}));
    EXPECT_TRUE(row->g_bEdit);  // left as it was
}

TEST_F(Persistence, NewRowOverAnExistingKeyChangesNothing) {
    ASSERT_TRUE(saveAdvance(1, "10"));
    auto duplicate = advance();
    duplicate->Entity->SetFieldValue("ID", Variant(std::int32_t{1}));
    duplicate->Entity->SetFieldValue("cImporte", Variant("99"));
    EXPECT_FALSE(bGenericSave(*database, *duplicate));
    ASSERT_EQ(duplicate->g_vecErroresInconsistencia.size(), 1u);
    EXPECT_EQ(duplicate->g_vecErroresInconsistencia.entries()[0].field, "");
    EXPECT_EQ(duplicate->g_vecErroresInconsistencia.entries()[0].message,
              "El registro que intenta ingresar, ya se encuentra en la base de datos.");
    EXPECT_EQ(BuildInconsistencyLines(*duplicate, kRuleError),
              std::vector<std::string>{"El registro que intenta ingresar, ya se encuentra en la base de datos."});
    auto rows = database->openRecordset("SELECT cImporte FROM Anticipos");
    ASSERT_EQ(rows->recordCount(), 1);
    EXPECT_EQ(rows->value("cImporte"), Variant(Currency::fromUnits(10)));
}

TEST_F(Persistence, ValuesThatCannotBeStoredFailTheSaveAndStoreNothing) {
    for (const Variant& bad : {Variant("12a"), Variant::null(), Variant("9.999.999.999.999.999")}) {
        auto row = advance();
        row->Entity->SetFieldValue("ID", Variant(std::int32_t{1}));
        row->Entity->SetFieldValue("cImporte", bad);
        EXPECT_FALSE(bGenericSave(*database, *row)) << bad;
        EXPECT_FALSE(row->g_bEdit);
    }
    EXPECT_EQ(countRows("Anticipos"), 0);
}

TEST_F(Persistence, ListDeleteTakesEveryRowOfTheDeclarationOnly) {
    ASSERT_TRUE(saveAdvance(1, "1"));
    ASSERT_TRUE(saveAdvance(2, "2"));
    codDJ = Variant(std::int32_t{20041});
    ASSERT_TRUE(saveAdvance(1, "3"));
    codDJ = Variant(std::int32_t{20040});
    auto list = advance();
    ASSERT_TRUE(bGenericDelete(*database, *list, "IDX_LIST"));
    auto rows = database->openRecordset("SELECT CodDJ FROM Anticipos");
    ASSERT_EQ(rows->recordCount(), 1);
    EXPECT_EQ(rows->value("CodDJ"), Variant(std::int32_t{20041}));
}

TEST_F(Persistence, QuotesInTextKeysNeitherBreakNorChangeTheQuery) {
    database->execute("CREATE INDEX \"DDJJ:FORMULARIO\" ON DDJJ (sFormulario)");
    BusinessObject header(std::make_unique<EDDJJ>());
    header.Entity->SetFieldValue("CUIT", Variant(20123456789.0));
    header.Entity->SetFieldValue("CodDJ", Variant(std::int32_t{20040}));
    header.Entity->SetFieldValue("lPeriodo", Variant(std::int32_t{2004}));
    header.Entity->SetFieldValue("hora", Variant(DateTime::fromDate(2004, 5, 1)));
    header.Entity->SetFieldValue("sFormulario", Variant("O'B"));
    ASSERT_TRUE(bGenericSave(*database, header));

    EXPECT_EQ(sGetFieldsToFilter("FORMULARIO", *header.Entity, *database), " Where sFormulario = 'O''B' ");
    auto found = OpenEntityRecordset(*database, *header.Entity, "FORMULARIO", "Select  * ");
    EXPECT_EQ(found->RecordCount(), 1);
    header.Entity->SetFieldValue("sFormulario", Variant("x' OR '1'='1"));
    EXPECT_EQ(OpenEntityRecordset(*database, *header.Entity, "FORMULARIO", "Select  * ")->RecordCount(), 0);
    EXPECT_TRUE(bGenericDelete(*database, header, "FORMULARIO"));
    EXPECT_EQ(countRows("DDJJ"), 1);
}

TEST_F(Persistence, GridStatementsAndHeadingClicks) {
    auto row = advance();
    EXPECT_EQ(sGridSelect(*database, *row->Entity, "IDX_LIST", "[fFecha]", "desc"),
              "Select  *  FROM Anticipos Where CUIT =20123456789 AND CodDJ = 20040  Order By [fFecha] desc");
    EXPECT_EQ(sGridSelectWhere("DDJJ", "CUIT = 20123456789", "lPeriodo"),
              "SELECT * FROM DDJJ WHERE CUIT = 20123456789 ORDER BY lPeriodo");
    ASSERT_TRUE(saveAdvance(1, "1"));
    EXPECT_EQ(
        database->openRecordset(sGridSelect(*database, *row->Entity, "IDX_LIST", "[fFecha]", "desc"))->recordCount(),
        1);

    GridOrder order;
    EXPECT_EQ(order.click("fFecha"), "Up");
    EXPECT_EQ(order.column(), "[fFecha]");
    EXPECT_EQ(order.direction(), "asc");
    EXPECT_EQ(order.click("fFecha"), "Down");
    EXPECT_EQ(order.direction(), "desc");
    EXPECT_EQ(order.click("cImporte"), "Up");
    EXPECT_EQ(order.click("fFecha"), "Up");
}

}  // namespace
}  // namespace kapred
