#include "support/cli_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "support/scoped_env.h"

extern char** environ;

namespace kapred::test {

namespace {

// The words of a command line, split at blanks outside single or double quotes.
std::vector<std::string> splitWords(const std::string& line) {
    std::vector<std::string> words;
    bool inWord = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == ' ') {
            inWord = false;
            continue;
        }
        if (!inWord) {
            words.emplace_back();
            inWord = true;
        }
        if (line[i] == '\'' || line[i] == '"') {
            const auto close = std::min(line.find(line[i], i + 1), line.size());
            words.back() += line.substr(i + 1, close - i - 1);
            i = close;
        } else {
            words.back() += line[i];
        }
    }
    return words;
}

// Runs the program, started directly, without a shell, and with none of the folders or the
// taxpayer the environment might name.
CliResult run(std::vector<std::string> words, const ProgramDir& dir, const std::string& arguments,
              const Streams& streams) {
    const ScopedEnv home("KAPRED_HOME", std::nullopt), windows("KAPRED_WINDIR", std::nullopt),
        system("KAPRED_SYSDIR", std::nullopt), cuit("KAPRED_CUIT", std::nullopt);
    for (auto& word : splitWords(arguments)) {
        words.push_back(std::move(word));
    }
    std::vector<char*> argv;
    for (auto& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    const std::string errFile = (dir.root() / "stderr.txt").string();
    CliResult result{-1, {}, {}};
    int out[2];
    posix_spawn_file_actions_t actions;
    pid_t child = -1;
    if (::pipe(out) != 0 || posix_spawn_file_actions_init(&actions) != 0) {
        return result;
    }
    const std::string input = streams.input.empty() ? "/dev/null" : streams.input.string();
    const std::string output = streams.output.string();
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, input.c_str(), O_RDONLY, 0);
    if (output.empty()) {
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const bool spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    char buffer[4096];
    for (ssize_t n = 0; spawned && (n = ::read(out[0], buffer, sizeof buffer)) > 0;) {
        result.out.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    int status = 0;
    if (spawned && ::waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        result.status = WEXITSTATUS(status);
    }
    result.err = readBytes(errFile);
    return result;
}

CliResult runCliAt(const std::string& program, const ProgramDir& dir, const std::string& arguments,
                   const Streams& streams = {}) {
    std::vector<std::string> words{program, "--home", dir.home().string()};
    if (arguments.find("--cuit") == std::string::npos) {
        words.insert(words.end(), {"--cuit", "20-12345678-9"});
    }
    return run(std::move(words), dir, arguments, streams);
}

}  // namespace

CliResult runCli(const ProgramDir& dir, const std::string& arguments) {
    return runCliAt(KAPRED_CLI_PATH, dir, arguments);
}

CliResult runCli(const ProgramDir& dir, const std::string& arguments, const Streams& streams) {
    return runCliAt(KAPRED_CLI_PATH, dir, arguments, streams);
}

CliResult runLaidOutCli(const ProgramDir& dir, const std::string& arguments) {
    return runLaidOutCli(dir, arguments, {});
}

CliResult runLaidOutCli(const ProgramDir& dir, const std::string& arguments, const Streams& streams) {
    return runCliAt(std::string(KAPRED_DEMO_DIR) + "/Kapred/kapred-cli", dir, arguments, streams);
}

CliResult runPadron(const ProgramDir& dir, const std::string& arguments) {
    return runPadron(dir, arguments, {});
}

CliResult runPadron(const ProgramDir& dir, const std::string& arguments, const Streams& streams) {
    return run({KAPRED_PADRON_PATH, "--home", dir.home().string()}, dir, arguments, streams);
}

}  // namespace kapred::test
