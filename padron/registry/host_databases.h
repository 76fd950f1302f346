#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "data/engine/engine.h"

namespace kapred::padron {

// The registry's two databases, in the parent of Kapred's program directory: the taxpayers
// (rexa.mdb) and the reference lists (sistema.mdb).
struct HostDatabases {
    std::shared_ptr<db::Database> taxpayers;
    std::shared_ptr<db::Database> reference;
};

// The first start: makes the folder and creates in it whichever of the two databases is missing,
// with its tables (and, in sistema.mdb, the reference lists), readable by its owner only. A file
// appears at its name only once complete, and a name already taken (a file, a folder or a link,
// even one that points nowhere) is left as it is. Returns the files created; raises Error when
// one cannot be made.
std::vector<std::filesystem::path> createHostDatabases(db::Engine& engine, const std::filesystem::path& folder);

// Opens both databases of the folder; raises Error, with the file named, when one cannot be used.
HostDatabases openHostDatabases(db::Engine& engine, const std::filesystem::path& folder);

}  // namespace kapred::padron
