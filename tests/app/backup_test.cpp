#include "app/backup.h"

#include <gtest/gtest.h>

#include "app/startup.h"
#include "support/cli_run.h"
#include "support/opened_program.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;

// Restores the backup in a program started afresh, answering Yes, at the tests' fixed moment;
// gives what the user was told.
std::vector<std::string> restoreAtTheSameMoment(const test::ProgramDir& dir, const fs::path& backup) {
    test::ScriptedUi ui;
    ui.answers = {true};
    StartupObserver quiet;
    Context context(dir.home(), "20-12345678-9", ui);
    context.clock = test::fixedNow;
    Main(context, quiet);
    EXPECT_THROW(Restaurar(context, backup), ProgramEnd);
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
