// The backup in process, where the command line cannot reach: a disk that cannot keep the file,
// and a backup killed half-way. What the command line tells of it is in cli/cases/backup.test.
#include "app/backup.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/startup.h"
#include "support/cli_run.h"
#include "support/disk_faults.h"
#include "support/opened_program.h"
#include "support/program_dir.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;

class NoWindows : public StartupObserver {};

class Backup : public ::testing::Test {
protected:
    Backup() : run(std::make_unique<Context>(dir.home(), "20-12345678-9", ui, RegionalSettings())) {
        Main(*run, observer);
    }

    // The hidden files beside `target` that a backup to it writes before it takes its name.
    std::vector<std::string> besideTarget(const fs::path& target) const {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(target.parent_path())) {
            if (entry.path().filename().string().starts_with("." + target.filename().string() + ".")) {
                found.push_back(entry.path().filename().string());
            }
        }
        return found;
    }

    // The backup to `target` run by a child process, killed as it flushes the file beside the
    // target: the moment when every work file of the backup is on the disk.
    void killedBackup(const fs::path& target) {
        const pid_t child = ::fork();
        if (child == 0) {
            const test::FailingSync killed("." + target.filename().string() + ".", true);
            CopiaDeSeguridad(*run, target);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_EQ(WEXITSTATUS(status), 9);
        ASSERT_EQ(besideTarget(target).size(), 1u);
        ASSERT_TRUE(fs::exists(dir.home() / "Copia.datos.tmp"));
    }

    test::ProgramDir dir;
    test::TempDir folder;
    test::ScriptedUi ui;
    NoWindows observer;
    std::unique_ptr<Context> run;
};

TEST_F(Backup, ABackupTheDiskCannotKeepIsToldAndKeepsTheOldFile) {
    const fs::path target = folder / "copia.bak";
    test::writeBytes(target, "anterior");
    ui.answers = {true};
    {
        const test::FailingSync failing(".copia.bak.");
        EXPECT_FALSE(CopiaDeSeguridad(*run, target));
    }
    const auto errors = ui.messages("Error");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].starts_with("No se pudo hacer la copia de seguridad en " + target.string() +
                                      ": no se pudo escribir " + (folder / ".copia.bak.").string()))
        << errors[0];
    EXPECT_TRUE(
        errors[0].ends_with(": no queda espacio en el disco. El archivo que ya estaba allí se conserva sin "
                            "cambios."))
        << errors[0];
    EXPECT_EQ(test::readBytes(target), "anterior");
    EXPECT_TRUE(besideTarget(target).empty());
    EXPECT_FALSE(fs::exists(dir.home() / "Copia.datos.tmp"));
    EXPECT_FALSE(fs::exists(dir.home() / "Copia.tablas.tmp"));

    // A copy of a database that cannot be kept ends the backup with one period.
    ui.shown.clear();
    ui.answers = {true};
    {
        const test::FailingSync failing("Copia.tablas.tmp");
        EXPECT_FALSE(CopiaDeSeguridad(*run, target));
    }
    EXPECT_EQ(
        ui.messages("Error"),
        std::vector<std::string>{"No se pudo hacer la copia de seguridad en " + target.string() +
                                 ": No se pudo escribir el archivo " + (dir.home() / "Copia.tablas.tmp").string() +
                                 ": no queda espacio en el disco. El archivo que ya estaba allí se conserva sin "
                                 "cambios."});
    EXPECT_EQ(test::readBytes(target), "anterior");
    EXPECT_FALSE(fs::exists(dir.home() / "Copia.datos.tmp"));
}

// A backup killed half-way leaves its work files; the next backup, to whatever target, and the
// next start remove them, and nothing of the user's beside them.
TEST_F(Backup, TheWorkFilesOfAKilledBackupGoAtTheNextBackupOrStart) {
    test::writeBytes(folder / ".otra.bak.ABCDEF", "del usuario");
    killedBackup(folder / "copia.bak");
    EXPECT_TRUE(CopiaDeSeguridad(*run, folder / "otra.bak"));
    EXPECT_TRUE(besideTarget(folder / "copia.bak").empty());
    EXPECT_FALSE(fs::exists(dir.home() / "Copia.datos.tmp"));
    EXPECT_FALSE(backupFault(folder / "otra.bak", programBackup(*run)).has_value());

    killedBackup(folder / "copia.bak");
    Shutdown(*run, observer);
    run = std::make_unique<Context>(dir.home(), "20-12345678-9", ui, RegionalSettings());
    Main(*run, observer);
    EXPECT_TRUE(besideTarget(folder / "copia.bak").empty());
    EXPECT_FALSE(fs::exists(dir.home() / "Copia.datos.tmp"));
    EXPECT_FALSE(fs::exists(dir.home() / "Copia.tablas.tmp"));
    EXPECT_EQ(test::readBytes(folder / ".otra.bak.ABCDEF"), "del usuario");
    Shutdown(*run, observer);
}

// Restores the backup in a program started afresh, answering Yes, at the tests' fixed moment;
// gives what the user was told.
std::vector<std::string> restoreAtTheSameMoment(const test::ProgramDir& dir, const fs::path& backup) {
    test::ScriptedUi ui;
    ui.answers = {true};
    StartupObserver quiet;
    Context context(dir.home(), "20-12345678-9", ui);
    context.clock = test::fixedNow;
    Main(context, quiet);
    EXPECT_EQ(Restaurar(context, backup), 0);
    return ui.messages("Información");
}

TEST(Restore, TwoRestoresInTheSameSecondKeepBothPreviousCopies) {
    const test::ProgramDir dir;
    const fs::path backup = dir.root() / "copia.kbk";
    ASSERT_EQ(test::runCli(dir, test::kNewOriginal2004).status, 0);
    ASSERT_EQ(test::runCli(dir, "backup --to " + backup.string()).status, 0);

    restoreAtTheSameMoment(dir, backup);
    const fs::path first = dir.home() / "Kapred.mdb.antes-de-restaurar-20050310-102030";
    ASSERT_TRUE(fs::exists(first));
    const std::string keptFirst = test::readBytes(first);

    const auto told = restoreAtTheSameMoment(dir, backup);
    EXPECT_EQ(test::readBytes(first), keptFirst);
    EXPECT_TRUE(fs::exists(dir.home() / "Kapred.mdb.antes-de-restaurar-20050310-102030-2"));
    EXPECT_TRUE(fs::exists(dir.home() / "Si010000.mdb.antes-de-restaurar-20050310-102030-2"));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("con la terminación .antes-de-restaurar-20050310-102030-2."), std::string::npos) << told[0];
}

}  // namespace
}  // namespace kapred
