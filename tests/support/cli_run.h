#pragma once

#include <string>

#include "support/program_dir.h"

namespace kapred::test {

struct CliResult {
    int status;
    std::string out;
    std::string err;
};

// Runs kapred-cli on the installation as the host starts it, for the demo taxpayer unless the
// arguments name a CUIT, with no input and without the folders the environment might name;
// gives its exit status and both outputs.
CliResult runCli(const ProgramDir& dir, const std::string& arguments);

}  // namespace kapred::test
