// One statement text given other values is another statement, also for the totals a read pass
// keeps.
#include "data/engine/statement_cache.h"

#include <gtest/gtest.h>

#include <optional>

#include "data/engine/database.h"
#include "data/engine/engine.h"
#include "data/engine/recordset.h"
#include "support/temp_dir.h"

namespace kapred::db {
namespace {

TEST(StatementReuse, OneTextWithOtherValuesGivesEachItsOwnTotal) {
    test::TempDir dir;
    Engine engine;
    auto database = engine.defaultWorkspace().createDatabase(dir.path() / "t.mdb", ";PWD=x");
    TableDef table;
    table.name = "T";
    table.fields.resize(1);
    table.fields[0].name = "ID";
    table.fields[0].type = DataType::Long;
    database->appendTableDef(table);
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
