// Repairs of the program's own database: damage inside a table's pages or inside the engine's
// description of the tables, found at the start after a run cut short, before a backup or a
// compaction, or when asked for; every readable row kept and the damaged original beside it.
#include <sqlite3.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/backup.h"
#include "app/startup.h"
#include "data/app_database.h"
#include "support/checks.h"
#include "support/cli_run.h"
#include "support/program_dir.h"
#include "support/scripted_ui.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;
using test::readBytes;

constexpr const char* kRepairTitle = "Reparación de la Base de Datos";

struct Page {
    long number;
    long rows;
};

// The pages of a table's tree of one type ("leaf", "internal") in the tree's order, as SQLite's
// own page statistics give them.
std::vector<Page> pagesOf(const fs::path& file, const std::string& table, const char* type) {
    sqlite3* connection = nullptr;
    sqlite3_open_v2(file.c_str(), &connection, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(connection, "SELECT pageno, ncell FROM dbstat WHERE name = ?1 AND pagetype = ?2 ORDER BY path",
                       -1, &statement, nullptr);
    sqlite3_bind_text(statement, 1, table.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(statement, 2, type, -1, SQLITE_STATIC);
    std::vector<Page> pages;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        pages.push_back({static_cast<long>(sqlite3_column_int64(statement, 0)),
                         static_cast<long>(sqlite3_column_int64(statement, 1))});
    }
    sqlite3_finalize(statement);
    sqlite3_close(connection);
    return pages;
}

// Zeroes the middle leaf of the table's tree (its only one, for a table of one page), as a write
// cut short can leave it; gives the rows it held.
long zeroMiddleLeaf(const fs::path& file, const std::string& table) {
    const auto leaves = pagesOf(file, table, "leaf");
    EXPECT_FALSE(leaves.empty()) << table;
    const Page page = leaves[leaves.size() / 2];
    std::string bytes = readBytes(file);
    // The page size is the header's big-endian number at offset 16.
    const long size = (static_cast<unsigned char>(bytes[16]) << 8) | static_cast<unsigned char>(bytes[17]);
    std::fill_n(bytes.begin() + (page.number - 1) * size, size, '\0');
    test::writeBytes(file, bytes);
    return page.rows;
}

std::string repairedMessage(const test::ProgramDir& dir, const std::string& what) {
    return std::string(kRepairTitle) + ": La base de datos " + dir.appDatabase().string() +
           " estaba dañada y se reparó: se reconstruyó con todo lo que se pudo leer de ella. " + what +
           " El archivo dañado se conserva como " + (dir.home() / "Kapred.mdb.danado").string() + ".";
}

// A run that ended without its normal exit: its mark stays in the lock file.
void leaveRunUnfinished(const test::ProgramDir& dir) {
    InstanceLock killed;
    ASSERT_TRUE(killed.acquire(dir.home()));
}

class Repair : public ::testing::Test {
protected:
    // 2,000 advances of declaration 20040 with a page of them zeroed in the middle; gives how many
    // the page held.
    long damageAdvances() {
        dir.addEmptyAppDatabase(2000);
        const long lost = zeroMiddleLeaf(dir.appDatabase(), "Anticipos");
        damaged = readBytes(dir.appDatabase());
        EXPECT_GT(lost, 20);
        return lost;
    }

    fs::path kept() const { return dir.home() / "Kapred.mdb.danado"; }

    // What the repair tells, under its title, of the page of advances it could not read.
    std::string lostAdvances(long lost) const {
        return repairedMessage(dir, "No se pudieron leer " + std::to_string(lost) + " filas de la tabla Anticipos.");
    }

    // Every advance but the page's: the numbers on both sides of it are still there.
    static void expectAdvancesBut(db::Database& database, long lost) {
        EXPECT_EQ(test::countRows(database, "Anticipos"), 2000 - lost);
        auto ends = database.openRecordset("SELECT Min(ID) AS first, Max(ID) AS last FROM Anticipos");
        EXPECT_EQ(ends->value("first").longValue(), 1);
        EXPECT_EQ(ends->value("last").longValue(), 2000);
    }

    long storedAdvances() const {
        db::Engine engine;
        test::ScriptedUi quiet;
        return test::countRows(*OpenAppDatabase(engine, quiet, dir.appDatabase(), true, kConnect), "Anticipos");
    }

    test::ProgramDir dir;
    std::string damaged;
    test::ScriptedUi ui;
    StartupObserver observer;
};

TEST_F(Repair, TheStartAfterARunCutShortRepairsADamagedTableOnceKeepingEveryReadableRow) {
    const long lost = damageAdvances();
    leaveRunUnfinished(dir);
    {
        Context context(dir.home(), "20-12345678-9", ui);
        Main(context, observer);
        EXPECT_EQ(ui.messages(), std::vector<std::string>{lostAdvances(lost)});
        EXPECT_EQ(readBytes(kept()), damaged);
        expectAdvancesBut(*context.g_dbAplicativo, lost);
        context.g_dbAplicativo->execute(
            "INSERT INTO Anticipos (CUIT, CodDJ, ID, cImporte) VALUES (20123456789, 20040, 2001, CCur(1))");
        Shutdown(context, observer);
    }
    // After the normal exit the next start finds nothing to say and keeps no other copy.
    ui.shown.clear();
    Context context(dir.home(), "20-12345678-9", ui);
    Main(context, observer);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(test::countRows(*context.g_dbAplicativo, "Anticipos"), 2000 - lost + 1);
    Shutdown(context, observer);
    EXPECT_FALSE(fs::exists(dir.home() / "Kapred.mdb.danado.1"));
}

TEST_F(Repair, TheRepairCommandAsksRepairsAndThenFindsTheFileSound) {
    // After a normal exit the start does not look: the command does.
    const long lost = damageAdvances();
    const std::string question = "Confirmación: La base de datos " + dir.appDatabase().string() +
                                 " está dañada.\nSe reconstruirá con todo lo que se pueda leer de ella, y el archivo "
                                 "dañado se conservará aparte.\n¿Desea Ud. repararla ahora?\n";
    const struct {
        const char* arguments;
        int status;
        std::string err;
    } runs[] = {
        {"repair --no", 3, question + "-> No\n"},
        {"repair --yes", 0, question + "-> Sí\n" + lostAdvances(lost) + "\n"},
        {"repair --yes", 0,
         "Información: La base de datos " + dir.appDatabase().string() + " está sana: no hay nada que reparar.\n"},
    };
    for (const auto& run : runs) {
        const auto result = test::runCli(dir, run.arguments);
        EXPECT_EQ(result.status, run.status) << run.arguments;
        EXPECT_EQ(result.err, run.err) << run.arguments;
    }
    EXPECT_EQ(readBytes(kept()), damaged);
    EXPECT_FALSE(fs::exists(dir.home() / "Kapred.mdb.danado.1"));
    EXPECT_EQ(storedAdvances(), 2000 - lost);
}

TEST_F(Repair, ABackupOrACompactionRepairsADamagedFileFirst) {
    const long lost = damageAdvances();
    {
        // The backup goes on with the repaired file, and so does the program.
        Context context(dir.home(), "20-12345678-9", ui);
        Main(context, observer);
        EXPECT_TRUE(CopiaDeSeguridad(context, dir.root() / "copia.kbk"));
        EXPECT_EQ(ui.messages(), std::vector<std::string>{lostAdvances(lost)});
        EXPECT_EQ(backupFault(dir.root() / "copia.kbk", programBackup(context)), std::nullopt);
        expectAdvancesBut(*context.g_dbAplicativo, lost);
        Shutdown(context, observer);
    }

    // The compaction, at exit or from the menu, rebuilds a damaged file instead.
    ui.shown.clear();
    fs::remove(kept());
    test::writeBytes(dir.appDatabase(), damaged);
    db::Engine engine;
    EXPECT_TRUE(CompactarBase(engine, ui, dir.appDatabase()));
    EXPECT_EQ(ui.messages(), std::vector<std::string>{lostAdvances(lost)});
    EXPECT_EQ(readBytes(kept()), damaged);
    expectAdvancesBut(*engine.openDatabase(dir.appDatabase(), false, false, kConnect), lost);
}

TEST_F(Repair, DamagedBookkeepingIsMadeAnewFromTheProgramsSchemaOnce) {
    // The engine's settings fail the open itself; its fields are found by the check after a run
    // cut short.
    for (const auto& [table, cutShort] : {std::pair<const char*, bool>{"kp_meta", false}, {"kp_fields", true}}) {
        SCOPED_TRACE(table);
        test::ProgramDir fresh;
        fresh.addEmptyAppDatabase(300);
        zeroMiddleLeaf(fresh.appDatabase(), table);
        const std::string plain = readBytes(fresh.appDatabase());
        ToggleDatabaseHeader(fresh.appDatabase());
        const std::string stored = readBytes(fresh.appDatabase());
        if (cutShort) {
            leaveRunUnfinished(fresh);
        }
        const auto first = test::runCli(fresh, "status");
        EXPECT_EQ(first.status, 0);
        EXPECT_NE(first.err.find(repairedMessage(fresh,
                                                 "La descripción de sus tablas estaba dañada y se rehízo con la "
                                                 "del programa. No se perdió ninguna fila.") +
                                 "\n"),
                  std::string::npos)
            << first.err;
        // Kept as the repair found it: as stored when it failed to open, plain once open.
        EXPECT_EQ(readBytes(fresh.home() / "Kapred.mdb.danado"), cutShort ? plain : stored);

        // The program works on the rebuilt file: a declaration is added and listed.
        EXPECT_EQ(test::runCli(fresh, std::string(test::kNewOriginal2004)).status, 0);
        const auto listed = test::runCli(fresh, "declarations");
        EXPECT_NE(listed.out.find("CodDJ: 20040\n"), std::string::npos) << listed.out << listed.err;
        const auto second = test::runCli(fresh, "status");
        EXPECT_EQ(second.status, 0);
        EXPECT_EQ(second.err.find("dañad"), std::string::npos) << second.err;
        EXPECT_FALSE(fs::exists(fresh.home() / "Kapred.mdb.danado.1"));

        db::Engine engine;
        auto database = OpenAppDatabase(engine, ui, fresh.appDatabase(), true, kConnect);
        ASSERT_TRUE(database);
        EXPECT_EQ(test::countRows(*database, "Anticipos"), 300);
        EXPECT_TRUE(database->tableDef("Anticipos").index("PK")->primary);
        EXPECT_EQ(database->relations().size(), 8u);
    }
}

}  // namespace
}  // namespace kapred
