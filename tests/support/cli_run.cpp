#include "support/cli_run.h"

#include <sys/wait.h>

#include <cstdio>

namespace kapred::test {

CliResult runCli(const ProgramDir& dir, const std::string& arguments) {
    const auto errFile = dir.root() / "stderr.txt";
    const std::string command = std::string("env -u KAPRED_WINDIR -u KAPRED_SYSDIR -u KAPRED_HOME '") +
                                KAPRED_CLI_PATH + "' --home '" + dir.home().string() + "' " +
                                (arguments.find("--cuit") == std::string::npos ? "--cuit 20-12345678-9 " : "") +
                                arguments + " 2>'" + errFile.string() + "' </dev/null";
    CliResult result{-1, {}, {}};
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        result.out += buffer;
    }
    const int status = pipe != nullptr ? ::pclose(pipe) : -1;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = readBytes(errFile);
    return result;
}

}  // namespace kapred::test
