#pragma once

#include <filesystem>

#include "app/context.h"

namespace kapred {

// Before a command reads a whole database (a backup): when `path` is the program's own open
// database and the quick check finds it damaged, repairs it and tells the user, the program
// going on with the rebuilt file. Other files are left to the command. False when the check or
// the repair failed (told to the user).
bool RepairIfDamaged(Context& context, const std::filesystem::path& path);

// "Reparar Base de Datos" of the main menu and the command line's repair: checks the program's
// database; a sound one is told so; a damaged one is repaired once the user agrees, and the
// program goes on with the rebuilt file. True when the database is sound or was repaired.
bool RepairMenuCommand(Context& context);

}  // namespace kapred
