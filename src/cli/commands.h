#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <string>
#include <vector>

#include "cli/session.h"

namespace kapred::cli {

struct Options {
    std::string cuit;
    std::string home;
    bool yes = false;
    bool no = false;
    bool json = false;
    bool messageOff = false;  // message --off
};

// A subcommand and what it does once the program has started; returns the exit status. A command
// that another program carries out has handOff instead, which gives that program the command line
// as it came before this one opens anything; it returns only when that program cannot start.
struct Command {
    CLI::App* subcommand;
    std::function<int(Session&)> run;
    std::function<int(char** argv)> handOff = nullptr;
};

// The header of a declaration and the taxpayer's line.
int showDeclaration(Session& session, const std::string& code);

void addDeclarationCommands(CLI::App& app, std::vector<Command>& commands);
void addSectionCommands(CLI::App& app, std::vector<Command>& commands);
void addImportCommands(CLI::App& app, std::vector<Command>& commands);
void addGenerateCommands(CLI::App& app, std::vector<Command>& commands);
// kapred-cli hands the print commands to kapred-cli-print, the same program with the print layer,
// so that only a run that prints loads Qt's GUI module and what it brings (fonts, text shaping).
void addPrintCommands(CLI::App& app, std::vector<Command>& commands);
void addInspectCommands(CLI::App& app, std::vector<Command>& commands);
void addBackupCommands(CLI::App& app, std::vector<Command>& commands);

// generate --dry-run: the file built and read back, neither encrypted nor delivered.
// The plain copy is written to plainCopy and named as shownCopy.
int generateDryRun(Session& session, const std::string& code, const std::string& plainCopy,
                   const std::string& shownCopy);

}  // namespace kapred::cli
