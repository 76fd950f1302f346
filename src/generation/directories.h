#pragma once

#include <filesystem>
#include <string>

namespace kapred {

struct Context;

// The Windows directory: the program's private work folder, where every intermediate file of a
// generation lives. KAPRED_WINDIR when set, else the folder "windows" of the program directory;
// created when missing. The text ends in "/"; it is empty when the folder cannot be created.
std::string DirWindows(const std::filesystem::path& programDirectory);
std::string DirWindows(const Context& context);

// The system directory, where the agency's libraries and public key are installed: KAPRED_SYSDIR
// when set, else the folder "sistema" of the program directory when it has one (a portable
// installation), else the installation's own (see app/installation.h). The text ends in "/". The
// folder is never created here: a missing one simply holds no library.
std::string DirWinSystem(const std::filesystem::path& programDirectory);
std::string DirWinSystem(const Context& context);

}  // namespace kapred
