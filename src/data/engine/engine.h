#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/engine/database.h"
#include "data/engine/files.h"

namespace kapred::db {

class Engine;

// The first bytes of every database file of this engine.
inline constexpr std::string_view kFileSignature{"SQLite format 3\0", 16};

// The schema a file of known contents is rebuilt with when its own description of its tables may
// be damaged: the tables, relations and the settings createDatabase takes.
struct KnownSchema {
    std::string locale;  // with ";PWD=" and the password every open must give
    long options = 0;
    std::vector<TableDef> tables;
    std::vector<RelationDef> relations;
};

// Rows of one table that a repair could not carry over.
struct TableLoss {
    std::string table;
    std::optional<long> rows;  // nothing when they cannot be counted
};

// What a repair did: where the damaged original is kept and what could not be read.
struct RepairReport {
    std::filesystem::path kept;
    // Tables in the file's order; with a known schema, the engine's bookkeeping tables are left
    // out, as they are made anew.
    std::vector<TableLoss> losses;
    // With a known schema: the engine's bookkeeping tables could not be read whole.
    bool bookkeepingDamaged = false;
};

// A session of the engine: the databases opened or created in it.
class Workspace {
public:
    Workspace(Engine& engine, std::string name, std::string user);

    const std::string& name() const { return name_; }
    const std::string& user() const { return user_; }

    // Creates a new database file; the locale string may carry ";PWD=" with the password that
    // every later open must give. Raises 3204 when the file exists.
    std::shared_ptr<Database> createDatabase(const std::filesystem::path& path, std::string_view locale,
                                             long options = 0);
    // Opens a database created by this engine. Raises 3024 for a missing file, 3343 for a file
    // that is not such a database, 3049 for a damaged one and 3031 for a wrong password.
    std::shared_ptr<Database> openDatabase(const std::filesystem::path& path, bool exclusive, bool readOnly,
                                           std::string_view connect);
    const std::vector<std::shared_ptr<Database>>& databases() const { return databases_; }
    void close();

private:
    friend class Database;
    void forget(const Database* database);

    Engine& engine_;
    std::string name_;
    std::string user_;
    std::vector<std::shared_ptr<Database>> databases_;
};

class Engine {
public:
    Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Workspace 0 is the default one and is always there.
    const std::vector<std::shared_ptr<Workspace>>& workspaces() const { return workspaces_; }
    Workspace& defaultWorkspace() { return *workspaces_.front(); }
    Workspace& createWorkspace(const std::string& name, const std::string& user, const std::string& password);
    void closeWorkspace(Workspace& workspace);

    std::shared_ptr<Database> openDatabase(const std::filesystem::path& path, bool exclusive, bool readOnly,
                                           std::string_view connect) {
        return defaultWorkspace().openDatabase(path, exclusive, readOnly, connect);
    }

    // Writes a compacted copy of source to target (which must not exist), with the source's
    // permissions, checking the source's password. The source is left as it was; a failure
    // leaves no target behind.
    void compactDatabase(const std::filesystem::path& source, const std::filesystem::path& target,
                         std::string_view sourceConnect);
    // Rebuilds every readable row of a damaged file (read from `readable`, a readable form of
    // it, when given) into a new file with the file's permissions, which takes its place in one
    // rename, and keeps the damaged original beside it. Rows keep their identities, so that a
    // database reopened on the new file still finds them. With a known schema the new file gets
    // that schema and bookkeeping, and the rows of its tables by field name; without one, the
    // file's own. Raises 3049 or 3343 when nothing can be read; the file is then left untouched.
    RepairReport repairDatabase(const std::filesystem::path& path, const std::filesystem::path& readable = {},
                                const KnownSchema* schema = nullptr);

private:
    // Writes every readable row of source into a new file `work`; the report lacks `kept`.
    RepairReport rebuildInto(const std::filesystem::path& source, const std::filesystem::path& work,
                             const KnownSchema* schema);

    std::vector<std::shared_ptr<Workspace>> workspaces_;
};

// A connection to a database created by this engine, checked as Workspace::openDatabase checks it.
sqlite3* openCheckedConnection(const std::filesystem::path& path, bool exclusive, bool readOnly,
                               std::string_view connect);

// The password of a connect string (";PWD=secret"), empty when there is none.
std::string passwordOf(std::string_view connect);

}  // namespace kapred::db
