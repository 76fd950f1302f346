// A question put to the person at a terminal: an answer other than s or n asks again, and No
// leaves everything as it was, says so and ends with the status of a refused question.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "support/cli_run.h"

namespace kapred {
namespace {

struct TerminalRun {
    int status;
    std::string shown;  // everything the terminal showed, the echoed answers among it
};

// Runs kapred-cli on a pseudo-terminal, which receives the answers as typed lines.
TerminalRun runOnTerminal(const test::ProgramDir& dir, const std::string& command, const std::string& answers) {
    int terminal = -1;
    const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        for (const char* name : {"KAPRED_HOME", "KAPRED_WINDIR", "KAPRED_SYSDIR", "KAPRED_CUIT"}) {
            ::unsetenv(name);
        }
        const std::string home = dir.home().string();
        ::execl(KAPRED_CLI_PATH, "kapred-cli", "--home", home.c_str(), "--cuit", "20-12345678-9", "delete",
                command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    TerminalRun run{-1, {}};
    if (child < 0) {
        return run;
    }
    if (::write(terminal, answers.data(), answers.size()) != static_cast<ssize_t>(answers.size())) {
        return run;
    }
    char buffer[4096];
    for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            break;  // EIO: the program has closed the terminal
        }
        run.shown.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(terminal);
    int status = 0;
    if (::waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        run.status = WEXITSTATUS(status);
    }
    return run;
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

struct TerminalCase {
    std::string answers;
    int status;
    std::size_t questions;
    std::string told;
    bool kept;
};

class TerminalQuestion : public ::testing::TestWithParam<TerminalCase> {};

TEST_P(TerminalQuestion, IsAskedUntilAnsweredAndTheAnswerIsFollowed) {
    const TerminalCase& each = GetParam();
    test::ProgramDir dir;
    ASSERT_EQ(test::runCli(dir, test::kNewOriginal2004).status, 0);
    const TerminalRun run = runOnTerminal(dir, "20040", each.answers);
    SCOPED_TRACE(run.shown);
    EXPECT_EQ(run.status, each.status);
    EXPECT_EQ(occurrences(run.shown, "¿Sí o No? [s/n]"), each.questions);
    EXPECT_NE(run.shown.find(each.told), std::string::npos);
    EXPECT_EQ(test::runCli(dir, "show 20040").status == 0, each.kept);
}

INSTANTIATE_TEST_SUITE_P(Answers, TerminalQuestion,
                         ::testing::Values(TerminalCase{"quizás\nn\n", 3, 2, "Responda s (sí) o n (no).", true},
                                           TerminalCase{"n\n", 3, 1, "No se hizo nada.", true},
                                           TerminalCase{"\nSí\n", 0, 2, "Declaración Jurada 20040 eliminada.", false}));

}  // namespace
}  // namespace kapred
