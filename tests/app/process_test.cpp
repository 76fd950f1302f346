// The program as a process: exit codes and messages of kapred-cli, a second copy, and a copy
// killed outright in the middle of its work.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/instance_lock.h"
#include "data/app_database.h"
#include "data/engine/recordset.h"
#include "support/program_dir.h"
#include "support/scripted_ui.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int status;
    std::string output;
};

CliRun runCli(const fs::path& home, const std::string& arguments) {
    const std::string command =
        std::string("'") + KAPRED_CLI_PATH + "' --home '" + home.string() + "' " + arguments + " 2>&1 </dev/null";
    CliRun run{-1, {}};
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        run.output += buffer;
    }
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

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

TEST(Process, CommandLineCuitDecidesTheExitStatus) {
    test::ProgramDir dir;
    for (const char* bad : {"", "--cuit abc", "--cuit 201234567890"}) {
        const CliRun run = runCli(dir.home(), std::string(bad) + " status");
        EXPECT_NE(run.status, 0) << bad;
        EXPECT_NE(run.output.find("El ingreso al sistema Kapred debe realizarse a través del Orel."), std::string::npos)
            << run.output;
    }
    const CliRun good = runCli(dir.home(), "--cuit 20-12345678-9 status");
    EXPECT_EQ(good.status, 0) << good.output;
    EXPECT_NE(good.output.find("Base de datos creada"), std::string::npos);
    EXPECT_NE(good.output.find("Kapredia v1.0 - CUIT 20-12345678-9"), std::string::npos);

    const CliRun off = runCli(dir.home(), "--cuit 20123456789 message --off");
    EXPECT_EQ(off.status, 0) << off.output;
    const CliRun quiet = runCli(dir.home(), "--cuit 20123456789 status");
    EXPECT_EQ(quiet.output.find("Bienvenido"), std::string::npos) << quiet.output;
}

TEST(Process, SecondCopyIsRefusedAndAKilledCopyLeavesNoStaleLock) {
    test::ProgramDir dir;
    {
        InstanceLock running;
        ASSERT_TRUE(running.acquire(dir.home()));
        const CliRun refused = runCli(dir.home(), "--cuit 20123456789 status");
        EXPECT_NE(refused.status, 0);
        EXPECT_NE(refused.output.find("El sistema Kapred ya se está ejecutando en este equipo!"), std::string::npos)
            << refused.output;
    }

    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = spawn([&] {
        InstanceLock lock;
        const char flag = lock.acquire(dir.home()) ? 'y' : 'n';
        (void)::write(ready[1], &flag, 1);
        ::pause();
    });
    char flag = 0;
    ASSERT_EQ(::read(ready[0], &flag, 1), 1);
    ASSERT_EQ(flag, 'y');
    EXPECT_NE(runCli(dir.home(), "--cuit 20123456789 status").status, 0);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(runCli(dir.home(), "--cuit 20123456789 status").status, 0);
}

TEST(Process, RowsCommittedBeforeAKillSurviveIt) {
    test::ProgramDir dir;
    {
        db::Engine engine;
        CreateAppDatabase(engine, dir.home());
    }
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
