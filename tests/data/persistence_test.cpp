// The generic persistence the section objects save through: numbering, exact sums, finds that
// miss, keys that exist, values that cannot be stored, and quotes in text keys.
#include "data/persistence.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "data/app_database.h"
#include "data/engine/progress_hook.h"
#include "data/validation.h"
#include "support/checks.h"
#include "support/program_dir.h"

namespace kapred {
namespace {

using test::scaled;

class Persistence : public ::testing::Test {
protected:
    Persistence() {
        dir.addEmptyAppDatabase();
        database = engine.openDatabase(dir.appDatabase(), false, false, kConnect);
    }

    std::unique_ptr<BusinessObject> advance(int id = 0, const Variant& amount = Variant("0")) {
        auto row = std::make_unique<BusinessObject>(std::make_unique<EAnticipos>(key));
        row->Entity->SetFieldValue("ID", Variant(std::int32_t{id}));
        row->Entity->SetFieldValue("fFecha", Variant("15/03/2004"));
        row->Entity->SetFieldValue("cImporte", amount);
        return row;
    }
    bool saveAdvance(int id, const char* amount) { return bGenericSave(*database, *advance(id, Variant(amount))); }
    long stored(const std::string& table) { return test::countRows(*database, table); }

    test::ProgramDir dir;
    db::Engine engine;
    std::shared_ptr<db::Database> database;
    Variant codDJ{std::int32_t{20040}};
    DeclarationKeySource key = [this] { return std::make_pair(Variant(20123456789.0), codDJ); };
};

TEST_F(Persistence, AFilterWithoutAnyIndexFieldIsRefusedNotWidened) {
    auto row = advance();
    try {
        const SqlText filter = sGetFieldsToFilter("NOEXISTE", *row->Entity, *database);
        FAIL() << filter.text;
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), 1);
        EXPECT_EQ(error.source(), "sGetFieldsToFilter");
        EXPECT_EQ(error.description(), "No se puede realizar un where con este campo");
    }
    // A query over such an index is refused instead of reading every row of the table.
    EXPECT_THROW(OpenEntityRecordset(*database, *row->Entity, "NOEXISTE", "Select  * "), Error);
}

TEST_F(Persistence, RowsAreNumberedPerDeclarationAndSummedExactly) {
    EXPECT_EQ(lGetNextId(*database, *advance()->Entity, "IDX_LIST", "ID"), 1);
    ASSERT_TRUE(saveAdvance(1, "0,10"));
    ASSERT_TRUE(saveAdvance(2, "0,20"));
    ASSERT_TRUE(saveAdvance(5, "1.234.567.890,05"));
    auto probe = advance();
    EXPECT_EQ(lGetNextId(*database, *probe->Entity, "IDX_LIST", "ID"), 6);
    const Variant total = OpenSumRecordset(*database, "IDX_LIST", *probe)->Fields().value("cImporte1");
    ASSERT_EQ(total.type(), Variant::Type::Currency);
    EXPECT_EQ(total.currency(), scaled(12345678903500));  // 1.234.567.890,35

    // Another declaration's list is numbered on its own, and deleting a list takes its rows only.
    codDJ = Variant(std::int32_t{20041});
    EXPECT_EQ(lGetNextId(*database, *advance()->Entity, "IDX_LIST", "ID"), 1);
    ASSERT_TRUE(saveAdvance(1, "3"));
    codDJ = Variant(std::int32_t{20040});
    ASSERT_TRUE(bGenericDelete(*database, *advance(), "IDX_LIST"));
    EXPECT_EQ(stored("Anticipos"), 1);
    EXPECT_EQ(stored("Anticipos WHERE CodDJ = 20041"), 1);
}

TEST_F(Persistence, DeletingAListTakesAllItsRowsAndOnlyThem) {
    struct Case {
        const char* others;  // rows of other lists, or nothing
        long left;
    };
    const Case cases[] = {
        {nullptr, 0},
        {"(20123456789, 20041, 1, 3), (20123456789, 20041, 2, 4)", 2},  // another declaration
        {"(30501234563, 20040, 1, 3)", 1},                              // another taxpayer, same code
        {"(20123456789, 20039, 1, 3)", 1},                              // before it in the index
    };
    for (const auto& c : cases) {
        database->execute("DELETE * FROM Anticipos");
        for (int id = 1; id <= 3; ++id) {
            ASSERT_TRUE(saveAdvance(id, "10"));
        }
        if (c.others != nullptr) {
            database->execute(std::string("INSERT INTO Anticipos (CUIT, CodDJ, ID, cImporte) VALUES ") + c.others);
        }
        // The deletion ticks a progress hook while it runs (a window repaints in it).
        long ticks = 0;
        {
            const db::ProgressHook hook(*database, 1, [&ticks] { ++ticks; });
            ASSERT_TRUE(bGenericDelete(*database, *advance(), "IDX_LIST"));
        }
        EXPECT_GT(ticks, 0) << c.left;
        EXPECT_EQ(stored("Anticipos WHERE CUIT = 20123456789 AND CodDJ = 20040"), 0) << c.left;
        EXPECT_EQ(stored("Anticipos"), c.left);
        // Once the hook is gone, statements run without it.
        const long before = ticks;
        database->execute("DELETE * FROM Anticipos");
        EXPECT_EQ(ticks, before);
    }
}

TEST_F(Persistence, SaveFindModifyAndDelete) {
    ASSERT_TRUE(saveAdvance(1, "1.500,25"));
    auto row = advance(1);
    ASSERT_TRUE(bGenericFind(*database, *row));
    EXPECT_TRUE(row->g_bEdit);
    EXPECT_EQ(row->Entity->vGetFieldValue("cImporte"), Variant(scaled(15002500)));
    row->Entity->SetFieldValue("cImporte", Variant("2.000"));
    row->Entity->SetFieldValue("fFecha", Variant(""));  // an empty date is stored as the date serial 1
    ASSERT_TRUE(bGenericSave(*database, *row));
    auto again = advance(1);
    ASSERT_TRUE(bGenericFind(*database, *again));
    EXPECT_EQ(again->Entity->vGetFieldValue("cImporte"), Variant(Currency::fromUnits(2000)));
    EXPECT_EQ(again->Entity->vGetFieldValue("fFecha"), Variant(DateTime::fromDate(1899, 12, 31)));
    ASSERT_TRUE(bGenericDelete(*database, *again, "PK"));
    EXPECT_FALSE(again->g_bEdit);
    EXPECT_EQ(stored("Anticipos"), 0);

    // A find that misses resets the entity and leaves the mode alone.
    auto missing = advance(9, Variant("5"));
    missing->g_bEdit = true;
    EXPECT_FALSE(bGenericFind(*database, *missing));
    EXPECT_EQ(missing->Entity->vGetFieldValue("cImporte"), Variant(std::int16_t{0}));
    EXPECT_TRUE(missing->g_bEdit);
}

TEST_F(Persistence, OneObjectAddingRowsInTurnWritesEachIntoTheDatabaseItIsSavedIn) {
    auto row = advance();
    const auto add = [&row](db::Database& into, int id) {
        row->Reset();
        row->g_bEdit = false;
        row->Entity->SetFieldValue("ID", Variant(std::int32_t{id}));
        row->Entity->SetFieldValue("cImporte", Variant("7"));
        return bGenericSave(into, *row);
    };
    ASSERT_TRUE(add(*database, 1));
    EXPECT_FALSE(add(*database, 1));  // refused as a duplicate, and the next row still goes in
    ASSERT_TRUE(add(*database, 2));
    database->close();
    std::filesystem::copy_file(dir.appDatabase(), dir.home() / "Otra.mdb");
    database = engine.openDatabase(dir.appDatabase(), false, false, kConnect);
    auto other = engine.openDatabase(dir.home() / "Otra.mdb", false, false, kConnect);
    ASSERT_TRUE(add(*other, 3));
    ASSERT_TRUE(add(*database, 4));
    EXPECT_EQ(test::countRows(*other, "Anticipos"), 3);
    EXPECT_EQ(stored("Anticipos"), 3);
    EXPECT_EQ(stored("Anticipos WHERE ID = 4"), 1);
}

TEST_F(Persistence, ANewRowOverAnExistingKeyOrWithAnUnstorableValueChangesNothing) {
    ASSERT_TRUE(saveAdvance(1, "10"));
    auto duplicate = advance(1, Variant("99"));
    EXPECT_FALSE(bGenericSave(*database, *duplicate));
    EXPECT_EQ(BuildInconsistencyLines(*duplicate, kRuleError),
              std::vector<std::string>{"El registro que intenta ingresar, ya se encuentra en la base de datos."});
    EXPECT_EQ(database->openRecordset("SELECT cImporte FROM Anticipos")->value("cImporte"),
              Variant(Currency::fromUnits(10)));
    for (const Variant& bad : {Variant("12a"), Variant::null(), Variant("9.999.999.999.999.999")}) {
        auto row = advance(2, bad);
        EXPECT_FALSE(bGenericSave(*database, *row)) << bad;
        EXPECT_FALSE(row->g_bEdit);
    }
    EXPECT_EQ(stored("Anticipos"), 1);
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
    EXPECT_EQ(OpenEntityRecordset(*database, *header.Entity, "FORMULARIO", "Select  * ")->RecordCount(), 1);
    header.Entity->SetFieldValue("sFormulario", Variant("x' OR '1'='1"));
    EXPECT_EQ(OpenEntityRecordset(*database, *header.Entity, "FORMULARIO", "Select  * ")->RecordCount(), 0);
    EXPECT_TRUE(bGenericDelete(*database, header, "FORMULARIO"));
    EXPECT_EQ(stored("DDJJ"), 1);
}

TEST(GridOrder, AHeadingClickedTwiceTurnsTheOrder) {
    GridOrder order;
    EXPECT_EQ(order.click("fFecha"), "Up");
    EXPECT_EQ(order.column() + " " + order.direction(), "[fFecha] asc");
    EXPECT_EQ(order.click("fFecha"), "Down");
    EXPECT_EQ(order.direction(), "desc");
    EXPECT_EQ(order.click("cImporte"), "Up");
    EXPECT_EQ(order.click("fFecha"), "Up");
}

}  // namespace
}  // namespace kapred
