#pragma once

#include <filesystem>

#include "app/context.h"

namespace kapred {

// The compaction of the main menu: closes the databases and compacts the file through the work
// file SBaseAux.mdb of the program directory, which replaces it in one atomic rename; a damaged
// file is repaired instead (told to the user). True when it succeeded; a failure is told to the
// user and leaves the database as it was.
bool CompactoBaseDatos(Context& context, const std::filesystem::path& path);

// Asks first; on No nothing happens (false). On Yes it compacts and the program ends at once,
// without the closing steps of a normal exit (raises ProgramEnd).
bool CompactMenuCommand(Context& context);

}  // namespace kapred
