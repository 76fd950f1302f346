#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "data/engine/engine.h"

namespace kapred::padron {

// How many declarations Kapred keeps for the CUIT (eleven digits) in the program directory's
// database; 0 when there is no database yet. Read from a private copy, so that Kapred's file is
// never touched, whether Kapred runs or not. Raises Error when the database cannot be read.
long declarationsOf(db::Engine& engine, const std::filesystem::path& programDirectory, const std::string& cuit);

// Kapred started as the host starts it: the desktop program with the CUIT as its command line
// and KAPRED_HOME naming its program directory.
struct KapredStart {
    std::filesystem::path program;
    std::vector<std::string> arguments;
    std::filesystem::path home;
};
KapredStart kapredStart(const std::filesystem::path& program, const std::string& cuit,
                        const std::filesystem::path& programDirectory);

// The desktop program installed beside the running one.
std::filesystem::path kapredBeside();

}  // namespace kapred::padron
