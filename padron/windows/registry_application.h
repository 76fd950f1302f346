#pragma once

#include <filesystem>

// The window "Contribuyentes": opens the registry of the program directory and runs until the
// user leaves. Returns the program's exit status.
int runRegistryWindow(int argc, char** argv, const std::filesystem::path& programDirectory);
