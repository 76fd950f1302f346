#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace kapred::cli {

// Exit status of a command line that cannot be understood (unknown command or option, missing or
// malformed argument), as other Linux programs give it.
inline constexpr int kExitUsage = 2;

// The help in Spanish: headings, labels and value names.
void useSpanishHelp(CLI::App& app);

// The options every program of the project has, in Spanish: --help and -V, --version (which shows
// `version`), and the hidden --manual-roff that writes the program's part of its manual page; grouped under "Opciones"
// with the options added after this call.
void addProgramOptions(CLI::App& app, const std::string& version);

// A parser error as the user reads it, in Spanish.
std::string sParserMessage(const CLI::ParseError& error);

// Tells a command line that cannot be understood (as a JSON object when --json is among the
// arguments), with the way to the help, and gives its exit status. A word where the command goes
// that names none is told as such, with the nearest command when one is a few letters away.
int commandLineMistake(const CLI::App& app, const CLI::ParseError& error, int argc, char** argv);

}  // namespace kapred::cli
