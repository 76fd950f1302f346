#pragma once

#include <CLI/CLI.hpp>

#include <memory>
#include <string>

namespace kapred::cli {

struct PrintArguments {
    std::string code;
    std::string section;
    std::string format;
    std::string pdf;
};

// The print commands as the command line knows them: their names, arguments and help, the same in
// kapred-cli, which hands them to the printing program, and in that program, which runs them.
struct PrintCommandLine {
    CLI::App* form;
    CLI::App* paper;
    CLI::App* format;
    std::shared_ptr<PrintArguments> arguments;
};

PrintCommandLine addPrintCommandLine(CLI::App& app);

}  // namespace kapred::cli
