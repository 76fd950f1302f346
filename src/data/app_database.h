#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "data/engine/engine.h"
#include "data/user_interface.h"
#include "model/tables/schema.h"

namespace kapred {

// Every database of the program is opened with this connect string.
inline constexpr const char* kConnect = ";PWD=qOtLerVamUsX";
inline constexpr const char* kAppDatabaseFile = "Kapred.mdb";
inline constexpr const char* kCompactWorkFile = "SBaseAux.mdb";
inline constexpr const char* kHostTaxpayerFile = "rexa.mdb";
inline constexpr const char* kHostReferenceFile = "sistema.mdb";

// All a new Kapred.mdb is made with, and a repaired one rebuilt with.
db::KnownSchema appSchema();

// Creates Kapred.mdb in the program directory with its whole schema. The file appears at its
// name only once complete, so an interrupted creation never leaves half a database behind.
void CreateAppDatabase(db::Engine& engine, const std::filesystem::path& appPath);

// Opens the program's own database, coping with a file left scrambled or plain and trying one
// repair of a damaged file, which is told to the user. A missing file is told to the user and
// ends the program; a journal that cannot be used raises (3051); a file that cannot be opened nor
// repaired gives nothing (and is left on disk as it was); a repaired file that still does not open
// raises.
std::shared_ptr<db::Database> OpenAppDatabase(db::Engine& engine, UserInterface& ui, const std::filesystem::path& path,
                                              bool unscramble, const std::string& connect);

// Scrambles or unscrambles the file: bytes 1, 11, ..., 391 exclusive-or a fixed key byte. Durable
// waits until the bytes are on disk; the toggles of the opening and of the exit need not, since a
// file found in either form opens, and SQLite's first commit writes that page whole again.
void ToggleDatabaseHeader(const std::filesystem::path& path, bool durable = true);

// Rebuilds the program's damaged database with its whole schema and every row that can be read;
// the damaged original is kept beside it as it was, also when stored scrambled (the rows are
// then read from a plain copy). Raises the engine's error, leaving the file as it was, when
// nothing can be read.
db::RepairReport RepairDatabaseFile(db::Engine& engine, const std::filesystem::path& path);

// Repairs the open program's database (see RepairDatabaseFile) and goes on with the rebuilt file
// in the same object. Raises when the repair fails, the database then being as it was; when the
// rebuilt file, in place already, does not open, the database is closed.
db::RepairReport repairOpenDatabase(db::Engine& engine, db::Database& database);

// Tells the user what a repair of the file did: what could not be read and where the damaged
// original is kept.
void tellRepair(UserInterface& ui, const std::filesystem::path& path, const db::RepairReport& report);

// Puts a rebuilt file that a repair killed before its last rename left under its work name in
// the place of a database that is missing (true); otherwise removes the unfinished work files
// of a repair.
bool useLeftoverRepair(const std::filesystem::path& path);

// Closes every database of every workspace.
bool CierroBases(db::Engine& engine);

// Compacts the file into the work file, which then replaces it in one atomic rename; a stale
// work file is removed first and a failed one is removed after. A file the quick check finds
// damaged is repaired instead (the rebuilt file is compact), and the report returned. Raises
// Error or std::filesystem::filesystem_error, leaving the database as it was.
std::optional<db::RepairReport> compactThrough(db::Engine& engine, const std::filesystem::path& path,
                                               const std::filesystem::path& work);

// Describes a failed compaction for the user.
std::string compactionFailure(const std::exception& failure);

// Whether the compaction at exit pays for rewriting the whole file: only once at least this share
// of its pages lies free. Below that SQLite gives the free pages to new rows anyway, and the exit
// of a large database would otherwise cost as much as copying it.
inline constexpr double kExitCompactionFreeShare = 0.25;
bool worthCompactingAtExit(db::Database& database);

// Removes the work files (and their journals) that a compaction killed half-way left beside the
// database at `path`: the menu's SBaseAux.mdb and the exit's ".bak". Only where no compaction
// can be under way: at the start, under the instance lock.
void removeCompactionLeftovers(const std::filesystem::path& path);

// The compaction at exit: through the work file of the same stem ending ".bak", which then
// replaces the database in one atomic rename. A repair instead is told to the user; a failure
// is told and leaves the database as it was (false).
bool CompactarBase(db::Engine& engine, UserInterface& ui, const std::filesystem::path& path);

// "Si" + two-digit major, minor and revision + ".mdb".
std::string sSystemDatabaseName(int major = KAPRED_VERSION_MAJOR, int minor = KAPRED_VERSION_MINOR,
                                int revision = KAPRED_VERSION_PATCH);

}  // namespace kapred
