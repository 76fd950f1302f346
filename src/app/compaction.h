#pragma once

#include <filesystem>

#include "app/context.h"

namespace kapred {

// The compaction of the main menu: closes the databases and compacts the file through the work
// file SBaseAux.mdb of the program directory, which replaces it in one atomic rename; a damaged
// file is repaired instead (told to the user). True when it succeeded; a failure is told to the
// user and leaves the database as it was.
bool CompactoBaseDatos(Context& context, const std::filesystem::path& path);

// Asks first; on No nothing happens (nothing). On Yes it compacts and gives the program's end: 0
// compacted, kEndedByFailure when the compaction failed (told, the database as it was).
[[nodiscard]] ProgramEnding CompactMenuCommand(Context& context);

}  // namespace kapred
