#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kapred {

// Where the running program's read-only files are. Installed under a prefix, the shipped templates
// (system tables, help, report layouts) are in share/kapred and the agency's libraries in lib/kapred/sistema beside the
// program's bin folder, and the command line's printing program in libexec/kapred (from which
// that program finds the others alike); a portable installation (the one the build lays out) keeps
// them all in the program's own folder, the libraries in its folder "sistema".
struct Installation {
    std::filesystem::path templates;
    std::filesystem::path system;
    std::filesystem::path printing;
};

// The installation of the running executable.
Installation installation();

// The user's writable program directory when neither --home nor KAPRED_HOME names one: the
// folder "kapred/Kapred" under the XDG data home (XDG_DATA_HOME, else ~/.local/share).
std::filesystem::path defaultProgramDirectory();

// The first start: creates the program directory and copies each shipped file it lacks (the
// system tables) from the templates. A file already there, the user's own, is never replaced,
// and a link in its place is never followed. Returns the names copied; throws
// std::filesystem::filesystem_error when the folder cannot be made or a copy cannot be written.
std::vector<std::string> prepareProgramDirectory(const std::filesystem::path& home,
                                                 const std::filesystem::path& templates);

}  // namespace kapred
