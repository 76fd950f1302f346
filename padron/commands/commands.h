#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <vector>

#include "registry/padron.h"

namespace kapred::padron {

// Exit status of a value the registry refuses, as a command line that cannot be understood.
inline constexpr int kExitRefused = 2;

// A subcommand and what it does with the open registry; returns the exit status.
struct Command {
    CLI::App* subcommand;
    std::function<int(Padron&)> run;
};

void addTaxpayerCommands(CLI::App& app, std::vector<Command>& commands);
void addBackupCommands(CLI::App& app, std::vector<Command>& commands);

}  // namespace kapred::padron
