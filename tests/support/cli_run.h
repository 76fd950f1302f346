#pragma once

#include <filesystem>
#include <string>

#include "support/program_dir.h"

namespace kapred::test {

struct CliResult {
    int status;
    std::string out;
    std::string err;
};

// Where a run's standard input comes from (no input when empty) and where its standard output
// goes (gathered into CliResult::out when empty).
struct Streams {
    std::filesystem::path input;
    std::filesystem::path output;
};

// Runs kapred-cli on the installation as the host starts it, for the demo taxpayer unless the
// arguments name a CUIT, with no input and without the folders the environment might name;
// gives its exit status and both outputs.
CliResult runCli(const ProgramDir& dir, const std::string& arguments);
CliResult runCli(const ProgramDir& dir, const std::string& arguments, const Streams& streams);

// Runs kapred-cli the same way from the demo installation, where the templates lie beside it: a
// program directory that lacks the system tables gets them copied at the start.
CliResult runLaidOutCli(const ProgramDir& dir, const std::string& arguments);
CliResult runLaidOutCli(const ProgramDir& dir, const std::string& arguments, const Streams& streams);

// Runs kapred-padron on the installation the same way, its --home naming the program directory
// (the registry's databases are in its parent).
CliResult runPadron(const ProgramDir& dir, const std::string& arguments);
CliResult runPadron(const ProgramDir& dir, const std::string& arguments, const Streams& streams);

// The command that makes the regular 2004 original, declaration 20040.
inline constexpr const char* kNewOriginal2004 =
    "new --period 2004 --sequence 0 --kind 1 --from 01/01/2004 --to 31/12/2004 --economic-year 1";

}  // namespace kapred::test
