// A program killed outright in the middle of its work: every row it had committed is there at the
// next start.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "app/backup.h"
#include "app/startup.h"
#include "data/app_database.h"
#include "data/engine/database.h"
#include "data/engine/recordset.h"
#include "support/checks.h"
#include "support/cli_run.h"
#include "support/disk_faults.h"
#include "support/program_dir.h"
#include "support/scripted_ui.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;

// A child process that runs body and never returns into the test runner.
template <typename Body>
pid_t spawn(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        body();
        ::_exit(0);
    }
    return pid;
}

// Calls that give a file a new name.
bool renamesOrLinks(unsigned long long call) {
    const unsigned long long calls[] = {SYS_renameat, SYS_renameat2, SYS_linkat,
#ifdef SYS_rename
                                        SYS_rename, SYS_link
#endif
    };
    return std::find(std::begin(calls), std::end(calls), call) != std::end(calls);
}

// Runs body in a traced child and kills it as soon as the step-th call that renames or links a
// file has returned (or, with `before`, as soon as it is made); false when the child ended before.
template <typename Body>
bool killedAtRenameStep(Body body, int step, bool before = false) {
    const pid_t child = spawn([&] {
        ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        ::raise(SIGSTOP);
        body();
    });
    int status = 0;
    ::waitpid(child, &status, 0);
    ::ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
    unsigned long long call = 0;
    for (int seen = 0;;) {
        ::ptrace(PTRACE_SYSCALL, child, nullptr, nullptr);
        if (::waitpid(child, &status, 0) != child || !WIFSTOPPED(status)) {
            return false;
        }
        __ptrace_syscall_info info{};
        if (::ptrace(PTRACE_GET_SYSCALL_INFO, child, sizeof info, &info) <= 0) {
            continue;
        }
        if (info.op == PTRACE_SYSCALL_INFO_ENTRY) {
            call = info.entry.nr;
        }
        const bool at = before ? info.op == PTRACE_SYSCALL_INFO_ENTRY : info.op == PTRACE_SYSCALL_INFO_EXIT;
        if (at && renamesOrLinks(call) && ++seen == step) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return true;
        }
    }
}

TEST(Process, AKillAtEveryStepOfARepairLeavesTheRowsToTheNextStart) {
    test::ProgramDir dir;
    dir.addEmptyAppDatabase(2000);
    // The file lost its last quarter: the repair keeps the rows of the rest.
    fs::resize_file(dir.appDatabase(), fs::file_size(dir.appDatabase()) * 3 / 4);
    const std::string damaged = test::readBytes(dir.appDatabase());
    const auto start = [&] {
        test::ScriptedUi ui;
        StartupObserver quiet;
        Context context(dir.home(), "20-12345678-9", ui);
        Main(context, quiet);
        const long rows = test::countRows(*context.g_dbAplicativo, "Anticipos");
        Shutdown(context, quiet);
        return rows;
    };
    const long repaired = start();
    ASSERT_GT(repaired, 0);

    int step = 1;
    for (;; ++step) {
        test::writeBytes(dir.appDatabase(), damaged);
        if (!killedAtRenameStep(
                [&] {
                    db::Engine engine;
                    RepairDatabaseFile(engine, dir.appDatabase());
                },
                step)) {
            break;
        }
        EXPECT_EQ(start(), repaired) << "killed after step " << step;
    }
    EXPECT_GT(step, 1);
}

// A restore killed before or after any of its renames: the next start has either all the previous
// data or all the restored data, never a mix nor an empty database, and says when it finished
// the restore.
TEST(Process, ARestoreKilledAtAnyStepIsFinishedOrNeverBegunAtTheNextStart) {
    test::ProgramDir dir;
    const fs::path backup = dir.root() / "copia.kbk";
    ASSERT_EQ(test::runCli(dir, test::kNewOriginal2004).status, 0);
    ASSERT_EQ(test::runCli(dir, "format-new --section 3 Propio").status, 0);
    ASSERT_EQ(test::runCli(dir, "backup --to " + backup.string()).status, 0);
    // After the backup: a second declaration, the format renamed.
    ASSERT_EQ(test::runCli(dir, "copy 20040 --period 2004 --sequence 1").status, 0);
    ASSERT_EQ(test::runCli(dir, "format-rename Propio Cambiado").status, 0);
    const std::string previous = test::readBytes(dir.appDatabase());
    const std::string previousTables = test::readBytes(dir.home() / "Si010000.mdb");

    int restored = 0;
    int kept = 0;
    for (const bool before : {true, false}) {
        for (int step = 1;; ++step) {
            const bool killed = killedAtRenameStep(
                [&] {
                    test::ScriptedUi ui;
                    ui.answers = {true};
                    StartupObserver quiet;
                    Context context(dir.home(), "20-12345678-9", ui);
                    Main(context, quiet);
                    // The restore ends the program: the next start works on the restored data.
                    static_cast<void>(Restaurar(context, backup));
                },
                step, before);
            const auto declarations = test::runCli(dir, "declarations");
            const auto formats = test::runCli(dir, "formats --section 3");
            const bool isRestored = declarations.out.find("CodDJ: 20041") == std::string::npos;
            const std::string where = std::string(before ? "before" : "after") + " step " + std::to_string(step);
            ASSERT_NE(declarations.out.find("CodDJ: 20040"), std::string::npos) << where << declarations.err;
            EXPECT_NE(formats.out.find(isRestored ? "Propio" : "Cambiado"), std::string::npos) << where;
            const bool told = declarations.err.find("se completó ahora") != std::string::npos;
            if (killed) {
                EXPECT_EQ(told, isRestored) << where << declarations.err;
            }
            (isRestored ? restored : kept) += 1;
            test::writeBytes(dir.appDatabase(), previous);
            test::writeBytes(dir.home() / "Si010000.mdb", previousTables);
            if (!killed) {
                break;
            }
        }
    }
    EXPECT_GT(restored, 2);
    EXPECT_GT(kept, 0);
}

// The command run while no file can grow past `bytes`, as when the disk fills.
test::CliResult runOnFullDisk(const test::ProgramDir& dir, rlim_t bytes, const std::string& arguments,
                              test::CliResult (*run)(const test::ProgramDir&, const std::string&) = test::runCli) {
    const test::FileSizeLimit limit(bytes);
    return run(dir, arguments);
}

long storedAdvances(const test::ProgramDir& dir) {
    db::Engine engine;
    test::ScriptedUi ui;
    return test::countRows(*OpenAppDatabase(engine, ui, dir.appDatabase(), true, kConnect), "Anticipos");
}

// The system tables copied at the first start find the disk full: told in Spanish, naming the
// file, and no half copy is left.
TEST(Process, AFullDiskAtTheFirstStartIsToldInSpanish) {
    test::ProgramDir dir;
    fs::remove(dir.home() / sSystemDatabaseName());
    const auto start = runOnFullDisk(dir, 4096, "declarations", test::runLaidOutCli);
    EXPECT_NE(start.status, 0);
    EXPECT_NE(start.err.find("No se puede usar el directorio del programa " + dir.home().string() +
                             ": no se pudo copiar en él " + sSystemDatabaseName() +
                             ": el archivo superó el tamaño permitido."),
              std::string::npos)
        << start.err;
    for (const auto& entry : fs::directory_iterator(dir.home())) {
        EXPECT_FALSE(entry.path().filename().string().starts_with(sSystemDatabaseName())) << entry.path();
    }
}

TEST(Process, AFullDiskIsToldByTheImportWithItsRowsAndFailsTheExitWithoutAJournal) {
    test::ProgramDir dir;
    ASSERT_EQ(test::runCli(dir, test::kNewOriginal2004).status, 0);
    std::string lines;
    for (int i = 0; i < 5000; ++i) {
        lines += "15/01/2005000000000001,00\r\n";
    }
    test::writeBytes(dir.root() / "anticipos.txt", lines);
    const auto import = runOnFullDisk(dir, fs::file_size(dir.appDatabase()) + 96 * 1024,
                                      "import 20040 --format 3 --file " + (dir.root() / "anticipos.txt").string());
    const long stored = storedAdvances(dir);
    EXPECT_LT(stored, 5000);
    EXPECT_EQ(import.status, 3);
    EXPECT_NE(import.err.find("Error: La Importación se detuvo en la línea "), std::string::npos) << import.err;
    EXPECT_NE(import.err.find("Quedaron guardadas " + std::to_string(stored) + " filas"), std::string::npos)
        << import.err;

    // Rows of another declaration added and deleted leave enough free pages for the exit to
    // compact; the disk then has room for half of the compacted copy only.
    const auto used = fs::file_size(dir.appDatabase());
    {
        db::Engine engine;
        test::ScriptedUi ui;
        auto database = OpenAppDatabase(engine, ui, dir.appDatabase(), true, kConnect);
        db::Transaction filler(*database);
        for (int id = 1; id <= 20000; ++id) {
            database->execute("INSERT INTO Anticipos (CUIT, CodDJ, ID, cImporte) VALUES (20123456789, 20041, " +
                              std::to_string(id) + ", 1)");
        }
        database->execute("DELETE * FROM Anticipos WHERE CodDJ = 20041");
        filler.commit();
    }
    const auto listed = runOnFullDisk(dir, used / 2, "declarations");
    EXPECT_EQ(listed.status, 3);
    EXPECT_NE(listed.err.find("Error"), std::string::npos);
    for (const auto& entry : fs::directory_iterator(dir.home())) {
        EXPECT_EQ(entry.path().string().find("journal"), std::string::npos) << entry.path();
        EXPECT_NE(entry.path().extension(), ".bak");
    }
    EXPECT_EQ(storedAdvances(dir), stored);
}

TEST(Process, RowsCommittedBeforeAKillSurviveIt) {
    test::ProgramDir dir;
    dir.addEmptyAppDatabase();
    int progress[2];
    ASSERT_EQ(::pipe(progress), 0);
    const pid_t writer = spawn([&] {
        db::Engine engine;
        test::ScriptedUi ui;
        auto database = OpenAppDatabase(engine, ui, dir.appDatabase(), true, kConnect);
        for (int id = 1; database && id < 1000000; ++id) {
            // Each row is its own transaction; its number is reported once committed.
            database->execute(
                "INSERT INTO Anticipos (CUIT, CodDJ, ID, fFecha, cImporte) VALUES (20123456789, "
                "20040, " +
                std::to_string(id) + ", '2004-03-01', CCur(" + std::to_string(id) + ".25))");
            // The parent gone, there is no one left to tell.
            if (::write(progress[1], &id, sizeof id) != static_cast<ssize_t>(sizeof id)) {
                break;
            }
        }
    });
    ::close(progress[1]);
    int committed = 0;
    int id = 0;
    while (committed < 60 && ::read(progress[0], &id, sizeof id) == sizeof id) {
        committed = id;
    }
    ::kill(writer, SIGKILL);
    ::waitpid(writer, nullptr, 0);
    ::close(progress[0]);
    ASSERT_GE(committed, 60);

    // The next start finds the file plain (killed while running) and every reported row.
    db::Engine engine;
    test::ScriptedUi ui;
    auto database = OpenAppDatabase(engine, ui, dir.appDatabase(), true, kConnect);
    ASSERT_TRUE(database);
    auto rows = database->openRecordset("SELECT count(*) AS n, SUM(cImporte) AS total FROM Anticipos WHERE ID <= " +
                                        std::to_string(committed));
    EXPECT_EQ(rows->value("n").longValue(), committed);
    // 1,25 + 2,25 + ... + n,25 = n(n+1)/2 + 0,25 n
    const std::int64_t n = committed;
    EXPECT_EQ(rows->value("total").currency(), Currency::fromScaled(n * (n + 1) / 2 * 10000 + n * 2500));
}

}  // namespace
}  // namespace kapred
