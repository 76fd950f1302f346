// The start-up and the exit in process: the order of the steps, a second copy, a program
// directory that cannot be used, damaged or missing files, and the compaction from the menu.
#include "app/startup.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/compaction.h"
#include "app/instance_lock.h"
#include "data/app_database.h"
#include "data/engine/recordset.h"
#include "support/disk_faults.h"
#include "support/program_dir.h"
#include "support/scripted_ui.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;

// Remembers what the start-up showed, in order.
class RecordingObserver : public StartupObserver {
public:
    void databaseCreated(const fs::path& path) override { events.push_back("creada " + path.filename().string()); }
    void databaseOpened(const std::string& handle, const fs::path&) override { events.push_back(handle); }
    void showSplash() override { events.push_back("splash"); }
    void showStartupMessage(BCMsgIni&) override { events.push_back("mensaje"); }
    void showMainWindow() override { events.push_back("principal"); }
    void closeWindows() override { events.push_back("cerrar"); }

    std::vector<std::string> events;
};

UserLocale pointDecimalUser() {
    return UserLocale{"en_US", {".", ",", ".", ","}};
}

class Startup : public ::testing::Test {
protected:
    std::unique_ptr<Context> context(const std::string& commandLine = "20-12345678-9") {
        return std::make_unique<Context>(dir.home(), commandLine, ui, RegionalSettings(pointDecimalUser()));
    }

    test::ProgramDir dir;
    test::ScriptedUi ui;
    RecordingObserver observer;
};

TEST_F(Startup, FirstStartCreatesOpensInOrderAndExitScrambles) {
    auto first = context();
    Main(*first, observer);
    EXPECT_EQ(observer.events, (std::vector<std::string>{"creada Kapred.mdb", "g_dbAplicativo", "g_dbTablas",
                                                         "g_dbOrel", "g_dbSistema", "splash", "mensaje", "principal"}));
    EXPECT_TRUE(first->g_dbAplicativo->isOpen());
    EXPECT_EQ(first->regional.current().decimal, ",");
    EXPECT_EQ(first->cuit(), "20123456789");
    EXPECT_TRUE(ui.shown.empty());

    observer.events.clear();
    Shutdown(*first, observer);
    EXPECT_EQ(observer.events, (std::vector<std::string>{"cerrar"}));
    EXPECT_FALSE(first->g_dbAplicativo->isOpen());
    EXPECT_EQ(first->regional.current().decimal, ".");
    EXPECT_FALSE(fs::exists(dir.home() / "Kapred.bak"));
    // Scrambled on disk: the SQLite signature is no longer at the start.
    EXPECT_NE(test::readBytes(dir.appDatabase()).substr(0, 6), "SQLite");

    // The next start unscrambles it with a single toggle and creates nothing.
    observer.events.clear();
    auto second = context("20123456789");
    Main(*second, observer);
    EXPECT_EQ(observer.events.front(), "g_dbAplicativo");
    EXPECT_EQ(test::readBytes(dir.appDatabase()).substr(0, 6), "SQLite");
    Shutdown(*second, observer);
}

TEST_F(Startup, ASecondCopyIsRefusedAndAKilledCopyLeavesNoStaleLock) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        InstanceLock lock;
        const char flag = lock.acquire(dir.home()) ? 'y' : 'n';
        if (::write(ready[1], &flag, 1) != 1) {
            ::_exit(1);
        }
        ::pause();
        ::_exit(0);
    }
    char flag = 0;
    const bool holding = ::read(ready[0], &flag, 1) == 1 && flag == 'y';
    bool refused = false;
    try {
        Main(*context(), observer);
    } catch (const ProgramEnd&) {
        refused = true;
    }
    // The kernel drops the lock of a copy that was killed; killed before any check can end the test.
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    ASSERT_TRUE(holding);
    EXPECT_TRUE(refused);
    EXPECT_EQ(ui.messages(),
              std::vector<std::string>{"Información: El sistema Kapred ya se está ejecutando en este equipo!"});
    ui.shown.clear();
    auto third = context();
    Main(*third, observer);
    EXPECT_TRUE(ui.shown.empty());
    Shutdown(*third, observer);
}

TEST_F(Startup, UnusableProgramDirectoryIsToldAsSuchNotAsASecondCopy) {
    test::writeBytes(dir.home() / "Kapred.txt", "x");
    fs::create_directories(dir.root() / "Bloqueo" / "Kapred.lock");
    const std::pair<fs::path, std::string> cases[] = {
        {dir.home() / "Kapred.txt" / "Kapred", "no es un directorio"},
        {dir.home() / "Kapred.txt", "no es un directorio"},
        {dir.root() / "Bloqueo", "su archivo de bloqueo Kapred.lock es una carpeta"},
        {dir.root() / "Enlace", "su archivo de bloqueo Kapred.lock es un enlace simbólico, que el programa no sigue"}};
    // A link at the lock's name, to nothing: following it would create a file elsewhere.
    fs::create_directories(dir.root() / "Enlace");
    fs::create_symlink(dir.root() / "ajeno", dir.root() / "Enlace" / "Kapred.lock");
    for (const auto& [home, reason] : cases) {
        ui.shown.clear();
        Context run(home, "20-12345678-9", ui, RegionalSettings(pointDecimalUser()));
        try {
            Main(run, observer);
            FAIL() << "started in " << home;
        } catch (const ProgramEnd& end) {
            EXPECT_EQ(end.exitCode(), kEndedByFailure);
        }
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].title, "Error");
        EXPECT_EQ(ui.shown[0].text,
                  "No se puede usar el directorio del programa " + home.string() + ": " + reason + ".");
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir.root() / "ajeno")));
}

TEST_F(Startup, TheLockIsTheUsersAloneWhateverTheCreationMask) {
    const mode_t mask = ::umask(022);
    auto run = context();
    Main(*run, observer);
    ::umask(mask);
    EXPECT_EQ(fs::status(dir.home() / kLockFile).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    Shutdown(*run, observer);
}

// A link at the journal's name is never followed: the start tells so, and leaves the database and
// what the link points to as they were.
TEST_F(Startup, ALinkAtTheJournalIsToldNotTakenForDamage) {
    dir.addEmptyAppDatabase();
    const std::string database = test::readBytes(dir.appDatabase());
    const fs::path journal = dir.appDatabase().string() + "-journal";
    test::writeBytes(dir.root() / "otro", "ajeno");
    for (const fs::path& target : {dir.root() / "otro", dir.root() / "nada"}) {
        SCOPED_TRACE(target.string());
        fs::remove(journal);
        fs::create_symlink(target, journal);
        ui.shown.clear();
        EXPECT_THROW(Main(*context(), observer), ProgramEnd);
        EXPECT_EQ(ui.messages(),
                  std::vector<std::string>{"Error: No se pudo iniciar el sistema Kapred: No se puede abrir la base de "
                                           "datos '" +
                                           dir.appDatabase().string() + "': su diario '" + journal.string() +
                                           "' es un enlace simbólico, que el programa no usa. La base de datos no "
                                           "se modificó; quite ese diario y vuelva a intentarlo."});
        EXPECT_EQ(test::readBytes(dir.appDatabase()), database);
    }
    EXPECT_EQ(test::readBytes(dir.root() / "otro"), "ajeno");
    EXPECT_FALSE(fs::exists(dir.root() / "nada"));
}

// What a compaction or a backup killed half-way left in the program directory goes at the next
// start, and nothing else does.
TEST_F(Startup, TheNextStartRemovesTheWorkFilesOfAKilledCompactionOrBackup) {
    const char* const leftovers[] = {"SBaseAux.mdb", "SBaseAux.mdb-journal", "Kapred.bak", "Copia.datos.tmp",
                                     "Copia.tablas.tmp"};
    for (const char* name : leftovers) {
        test::writeBytes(dir.home() / name, "restos");
    }
    test::writeBytes(dir.home() / "SBaseAux.txt", "del usuario");
    auto run = context();
    Main(*run, observer);
    for (const char* name : leftovers) {
        EXPECT_FALSE(fs::exists(dir.home() / name)) << name;
    }
    EXPECT_EQ(test::readBytes(dir.home() / "SBaseAux.txt"), "del usuario");
    Shutdown(*run, observer);
}

TEST_F(Startup, ACompactionTheDiskCannotKeepIsToldAndKeepsTheDatabase) {
    auto run = context();
    Main(*run, observer);
    CierroBases(run->engine);
    const std::string before = test::readBytes(dir.appDatabase());
    {
        const test::FailingSync failing(kCompactWorkFile);
        EXPECT_FALSE(CompactoBaseDatos(*run, dir.appDatabase()));
    }
    EXPECT_EQ(ui.messages(),
              std::vector<std::string>{"Error: No se pudo compactar la base de datos: No se pudo "
                                       "escribir el archivo " +
                                       (dir.home() / kCompactWorkFile).string() + ": no queda espacio en el disco."});
    EXPECT_EQ(test::readBytes(dir.appDatabase()), before);
    EXPECT_FALSE(fs::exists(dir.home() / kCompactWorkFile));
}

TEST_F(Startup, ADamagedDatabaseIsKeptAndMissingSystemTablesAreTold) {
    const std::string noise(4096, '\x5b');
    test::writeBytes(dir.appDatabase(), noise);
    EXPECT_THROW(Main(*context(), observer), ProgramEnd);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].icon, MessageIcon::Critical);
    EXPECT_NE(ui.shown[0].text.find("dañado"), std::string::npos);
    EXPECT_EQ(test::readBytes(dir.appDatabase()), noise);

    // A folder where the database should be is no missing file.
    fs::remove(dir.appDatabase());
    fs::create_directory(dir.appDatabase());
    ui.shown.clear();
    EXPECT_THROW(Main(*context(), observer), ProgramEnd);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"Error: No se pudo iniciar el sistema Kapred: No se puede usar "
                                                      "el archivo '" +
                                                      dir.appDatabase().string() + "': es una carpeta."});

    fs::remove(dir.appDatabase());
    fs::remove(dir.home() / "Si010000.mdb");
    ui.shown.clear();
    EXPECT_THROW(Main(*context(), observer), ProgramEnd);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].title, "Error");
    EXPECT_NE(ui.shown[0].text.find("Si010000.mdb"), std::string::npos);
}

// The question and the files it removes are in cli/cases/startup.test.
TEST_F(Startup, MenuCompactionEndsWithoutScrambling) {
    auto run = context();
    Main(*run, observer);
    ui.answers = {true};
    EXPECT_EQ(CompactMenuCommand(*run), 0);
    EXPECT_FALSE(run->g_dbAplicativo->isOpen());
    EXPECT_EQ(test::readBytes(dir.appDatabase()).substr(0, 6), "SQLite");
}

}  // namespace
}  // namespace kapred
