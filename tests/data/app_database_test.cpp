// The program's own database file: its password, the scrambled header, a file that is missing,
// damaged or not a database at all, and the compaction at exit.
#include "data/app_database.h"

#include <gtest/gtest.h>

#include "support/checks.h"
#include "support/program_dir.h"
#include "support/scripted_ui.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::writeBytes;

class AppDatabase : public ::testing::Test {
protected:
    test::ProgramDir dir;
    db::Engine engine;
    test::ScriptedUi ui;
};

TEST_F(AppDatabase, ANewDatabaseIsProtectedByThePasswordAndEnforcesNoRelation) {
    CreateAppDatabase(engine, dir.home());
    EXPECT_FALSE(fs::exists(dir.home() / "Kapred.mdb.nueva"));
    EXPECT_EQ(fs::status(dir.appDatabase()).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(test::errorNumber([&] { engine.openDatabase(dir.appDatabase(), false, false, ";PWD=otra"); }), 3031);
    // A section row needs no header row.
    auto database = engine.openDatabase(dir.appDatabase(), false, false, kConnect);
    EXPECT_EQ(database->execute("INSERT INTO Pasivo (CUIT, CodDJ) VALUES (20123456789, 20040)"), 1);
}

TEST_F(AppDatabase, TheHeaderToggleTouchesFortyBytesAndOpensPlainAndScrambledFiles) {
    dir.addEmptyAppDatabase();
    const std::string original = readBytes(dir.appDatabase());
    ToggleDatabaseHeader(dir.appDatabase());
    const std::string scrambled = readBytes(dir.appDatabase());
    ASSERT_EQ(scrambled.size(), original.size());
    int changed = 0;
    for (std::size_t i = 0; i < original.size(); ++i) {
        if (original[i] != scrambled[i]) {
            ++changed;
            EXPECT_EQ(i % 10, 0u) << "byte " << i + 1 << " changed";
            EXPECT_LE(i, 390u);
        }
    }
    EXPECT_EQ(changed, 40);

    // Scrambled, as it is between runs: one toggle opens it, and it is closed plain.
    auto database = OpenAppDatabase(engine, ui, dir.appDatabase(), true, kConnect);
    ASSERT_TRUE(database);
    database->execute("INSERT INTO Pasivo (CUIT, CodDJ, cDeudas) VALUES (20123456789, 20040, CCur(10.5))");
    database->close();
    // A plain file (the first toggle fails, the second restores it) keeps its row.
    database = OpenAppDatabase(engine, ui, dir.appDatabase(), true, kConnect);
    ASSERT_TRUE(database);
    EXPECT_EQ(database->openRecordset("SELECT cDeudas FROM Pasivo")->value("cDeudas").currency(), test::scaled(105000));
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(AppDatabase, AMissingFileIsToldAndRandomBytesGiveNothing) {
    EXPECT_THROW(OpenAppDatabase(engine, ui, dir.appDatabase(), true, kConnect), ProgramEnd);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(ui.shown[0].title, "Error!");
    EXPECT_EQ(ui.shown[0].text,
              "No se encuentra la base de datos , por favor reinstale el sistema o consulte a su proveedor.");

    std::string noise(8192, '\0');
    for (std::size_t i = 0; i < noise.size(); ++i) {
        noise[i] = static_cast<char>((i * 7919 + 13) % 251);
    }
    writeBytes(dir.appDatabase(), noise);
    EXPECT_EQ(OpenAppDatabase(engine, ui, dir.appDatabase(), true, kConnect), nullptr);
    EXPECT_THROW(RepairDatabaseFile(engine, dir.appDatabase()), Error);
    EXPECT_EQ(readBytes(dir.appDatabase()), noise);
}

TEST_F(AppDatabase, ATruncatedFileIsRepairedOrRefusedButNeverLost) {
    dir.addEmptyAppDatabase(400);
    const std::string whole = readBytes(dir.appDatabase());
    const std::string truncated = whole.substr(0, whole.size() / 2);
    writeBytes(dir.appDatabase(), truncated);
    auto database = OpenAppDatabase(engine, ui, dir.appDatabase(), true, kConnect);
    if (database) {
        // Rebuilt from what could be read; the damaged original is kept beside it.
        EXPECT_EQ(readBytes(dir.home() / "Kapred.mdb.danado"), truncated);
        EXPECT_LE(test::countRows(*database, "Anticipos"), 400);
    } else {
        EXPECT_EQ(readBytes(dir.appDatabase()), truncated);
    }
}

TEST_F(AppDatabase, TheExitCompactsOnlyOnceAQuarterOfTheFileLiesFree) {
    dir.addEmptyAppDatabase();
    auto database = engine.openDatabase(dir.appDatabase(), false, false, kConnect);
    {
        db::Transaction rows(*database);
        for (int id = 1; id <= 3000; ++id) {
            database->execute("INSERT INTO Anticipos (CUIT, CodDJ, ID, cImporte) VALUES (20123456789, 20040, " +
                              std::to_string(id) + ", 12345678)");
        }
        rows.commit();
    }
    const std::pair<const char*, bool> steps[] = {{"DELETE * FROM Anticipos WHERE ID > 2900", false},
                                                  {"DELETE * FROM Anticipos WHERE ID > 100", true}};
    for (const auto& [statement, worth] : steps) {
        database->execute(statement);
        EXPECT_EQ(worthCompactingAtExit(*database), worth) << statement;
    }
}

TEST_F(AppDatabase, ADamagedFileStoredScrambledIsRepairedAndEveryReplacementKeepsTheMode) {
    dir.addEmptyAppDatabase(2000);
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(dir.appDatabase(), mode);
    fs::resize_file(dir.appDatabase(), fs::file_size(dir.appDatabase()) * 3 / 4);
    ToggleDatabaseHeader(dir.appDatabase());
    const std::string damaged = readBytes(dir.appDatabase());

    auto database = OpenAppDatabase(engine, ui, dir.appDatabase(), true, kConnect);
    ASSERT_TRUE(database);
    const long rows = test::countRows(*database, "Anticipos");
    EXPECT_GT(rows, 0);
    EXPECT_EQ(readBytes(dir.home() / "Kapred.mdb.danado"), damaged);
    EXPECT_EQ(fs::status(dir.appDatabase()).permissions(), mode);
    CierroBases(engine);
    EXPECT_TRUE(CompactarBase(engine, ui, dir.appDatabase()));
    EXPECT_EQ(fs::status(dir.appDatabase()).permissions(), mode);

    // A repair killed between its last two steps by an earlier version left the rebuilt file
    // under its work name and none at the database's: the next start takes it.
    fs::rename(dir.appDatabase(), dir.home() / "Kapred.mdb.reparando");
    EXPECT_TRUE(useLeftoverRepair(dir.appDatabase()));
    EXPECT_EQ(test::countRows(*engine.openDatabase(dir.appDatabase(), false, false, kConnect), "Anticipos"), rows);
}

TEST_F(AppDatabase, CompactionKeepsTheRowsAndAFailedOneLeavesTheFile) {
    dir.addEmptyAppDatabase();
    engine.openDatabase(dir.appDatabase(), false, false, kConnect)
        ->execute(
            "INSERT INTO DDJJ (CUIT, CodDJ, lPeriodo, CODIGO_T_SECUENCIAS, hora) "
            "VALUES (20123456789, 20040, 2004, 0, '2004-05-01 10:00:00')");
    CierroBases(engine);
    writeBytes(dir.home() / "Kapred.bak", "stale work file of an earlier run");
    CompactarBase(engine, ui, dir.appDatabase());
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_FALSE(fs::exists(dir.home() / "Kapred.bak"));
    auto database = engine.openDatabase(dir.appDatabase(), false, false, kConnect);
    EXPECT_EQ(database->openRecordset("SELECT * FROM DDJJ")->value("CodDJ").longValue(), 20040);
    database->close();

    writeBytes(dir.appDatabase(), "not a database at all");
    CompactarBase(engine, ui, dir.appDatabase());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].title, "Error");
    EXPECT_EQ(readBytes(dir.appDatabase()), "not a database at all");
    EXPECT_FALSE(fs::exists(dir.home() / "Kapred.bak"));
}

TEST_F(AppDatabase, CloseAllClosesEveryWorkspaceAndTheSystemDatabaseIsNamedByTheVersion) {
    dir.addEmptyAppDatabase();
    auto own = engine.openDatabase(dir.appDatabase(), false, false, kConnect);
    auto host =
        engine.createWorkspace("Otro", "Admin", "").openDatabase(dir.root() / "rexa.mdb", false, false, kConnect);
    EXPECT_TRUE(CierroBases(engine));
    EXPECT_FALSE(own->isOpen() || host->isOpen());
    EXPECT_EQ(engine.workspaces().size(), 1u);
    EXPECT_EQ(sSystemDatabaseName(2, 3, 15), "Si020315.mdb");
    EXPECT_EQ(sSystemDatabaseName(), "Si010000.mdb");
}

}  // namespace
}  // namespace kapred
