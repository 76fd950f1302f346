// Statements that differ only in their values share one prepared statement: each must still get
// its own rows, and an ordering by column number must stay one. One text given other values is
// another statement, also for the totals a read pass keeps.
#include "data/engine/statement_cache.h"

#include <gtest/gtest.h>

#include <optional>

#include "data/engine/database.h"
#include "data/engine/engine.h"
#include "data/engine/recordset.h"
#include "support/temp_dir.h"

namespace kapred::db {
namespace {

// A table T of a whole number ID and a text sNombre in a fresh database.
class StatementReuse : public ::testing::Test {
protected:
    StatementReuse() : database(engine.defaultWorkspace().createDatabase(dir.path() / "t.mdb", ";PWD=x")) {
        TableDef table;
        table.name = "T";
        table.fields.resize(2);
        table.fields[0].name = "ID";
        table.fields[0].type = DataType::Long;
        table.fields[1].name = "sNombre";
        table.fields[1].size = 20;
        table.fields[1].allowZeroLength = true;
        database->appendTableDef(table);
    }

    test::TempDir dir;
    Engine engine;
    std::shared_ptr<Database> database;
};

TEST_F(StatementReuse, StatementsThatDifferOnlyInValuesGiveEachTheirOwnRows) {
    for (int i = 1; i <= 5; ++i) {
        database->execute("INSERT INTO T (ID, sNombre) VALUES (" + std::to_string(i) + ", 'n" + std::to_string(i) +
                          "')");
    }
    for (int i = 1; i <= 5; ++i) {
        auto rows = database->openRecordset("SELECT * FROM T WHERE ID = " + std::to_string(i));
        ASSERT_EQ(rows->recordCount(), 1);
        EXPECT_EQ(rows->value("sNombre"), Variant("n" + std::to_string(i)));
        rows->edit();
        rows->setValue("sNombre", Variant("O'B" + std::to_string(i)));
        rows->update();
    }
    EXPECT_EQ(database->execute("DELETE * FROM T WHERE sNombre = 'O''B2' OR sNombre = 'O''B4'"), 2);
    auto ordered = database->openRecordset("SELECT ID FROM T ORDER BY 1 DESC");
    ASSERT_EQ(ordered->recordCount(), 3);
    EXPECT_EQ(ordered->value("ID"), Variant(std::int32_t{5}));
}

TEST_F(StatementReuse, OneTextWithOtherValuesGivesEachItsOwnTotal) {
    for (int i = 1; i <= 4; ++i) {
        database->execute("INSERT INTO T (ID) VALUES (?)", {i});
    }
    for (const bool inPass : {false, true}) {
        std::optional<ReadTransaction> pass;
        if (inPass) {
            pass.emplace(*database);
        }
        for (int i = 0; i <= 4; ++i) {
            auto total = database->openRecordset("SELECT count(*) AS n FROM T WHERE ID <= ?", {i});
            EXPECT_EQ(total->value("n"), Variant(std::int32_t{i})) << inPass;
        }
    }
}

}  // namespace
}  // namespace kapred::db
