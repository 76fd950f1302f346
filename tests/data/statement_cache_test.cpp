#include "data/engine/statement_cache.h"

#include <gtest/gtest.h>

#include "data/engine/engine.h"
#include "data/engine/recordset.h"
#include "support/temp_dir.h"

namespace kapred::db {
namespace {

TEST(LiftLiterals, ValuesBecomeParametersNamesAndOrderingStay) {
    const auto lifted = liftLiterals(
        "SELECT * FROM T WHERE CUIT =20123456789 AND cod = 'O''B' AND x > 1.5 "
        "AND [c1] = 2 AND Ley23427 = 3 ORDER BY 1");
    EXPECT_EQ(lifted.text,
              "SELECT * FROM T WHERE CUIT =?1 AND cod = ?2 AND x > ?3 AND [c1] = ?4 AND Ley23427 = ?5 "
              "ORDER BY 1");
    ASSERT_EQ(lifted.values.size(), 5u);
    EXPECT_EQ(lifted.values[0], StoredValue(std::int64_t{20123456789}));
    EXPECT_EQ(lifted.values[1], StoredValue(std::string("O'B")));
    EXPECT_EQ(lifted.values[2], StoredValue(1.5));

    EXPECT_EQ(liftLiterals("CREATE TABLE T (a LONG DEFAULT 0)").text, "CREATE TABLE T (a LONG DEFAULT 0)");
    EXPECT_EQ(liftLiterals("SELECT count(*) FROM T GROUP BY 1").text, "SELECT count(*) FROM T GROUP BY 1");
    EXPECT_EQ(liftLiterals("SELECT * FROM T WHERE a IN (SELECT b FROM U ORDER BY 2) AND c = 3").text,
              "SELECT * FROM T WHERE a IN (SELECT b FROM U ORDER BY ?1) AND c = ?2");
}

TEST(StatementReuse, StatementsThatDifferOnlyInValuesGiveEachTheirOwnRows) {
    test::TempDir dir;
    Engine engine;
    auto database = engine.defaultWorkspace().createDatabase(dir.path() / "t.mdb", ";PWD=x");
    TableDef table;
    table.name = "T";
    FieldDef id;
    id.name = "ID";
    id.type = DataType::Long;
    FieldDef name;
    name.name = "sNombre";
    name.size = 20;
    name.allowZeroLength = true;
    table.fields = {id, name};
    database->appendTableDef(table);
    for (int i = 1; i <= 5; ++i) {
        database->execute("INSERT INTO T (ID, sNombre) VALUES (" + std::to_string(i) + ", 'n" + std::to_string(i) +
                          "')");
    }
    for (int i = 1; i <= 5; ++i) {
        auto rows = database->openRecordset("SELECT * FROM T WHERE ID = " + std::to_string(i));
        ASSERT_EQ(rows->recordCount(), 1);
        EXPECT_EQ(rows->value("sNombre"), Variant("n" + std::to_string(i)));
        rows->edit();
        rows->setValue("sNombre", Variant("m" + std::to_string(i)));
        rows->update();
    }
    EXPECT_EQ(database->execute("DELETE * FROM T WHERE sNombre = 'm2' OR sNombre = 'm4'"), 2);
    auto ordered = database->openRecordset("SELECT ID FROM T ORDER BY 1 DESC");
    ASSERT_EQ(ordered->recordCount(), 3);
    EXPECT_EQ(ordered->value("ID"), Variant(std::int32_t{5}));
}

}  // namespace
}  // namespace kapred::db
