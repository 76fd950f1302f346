#pragma once

#include <CLI/CLI.hpp>

#include <ostream>

namespace kapred::cli {

// The sections of a manual page a program's own command line defines, in roff: ÓRDENES (each
// command with its arguments and options) and OPCIONES (the program's options), so that the page
// and the program cannot tell different things. The rest of the page is written by hand.
void writeManualSections(const CLI::App& app, std::ostream& out);

}  // namespace kapred::cli
