// A program killed outright in the middle of its work: every row it had committed is there at the
// next start.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "data/app_database.h"
#include "data/engine/recordset.h"
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
            (void)::write(progress[1], &id, sizeof id);
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
