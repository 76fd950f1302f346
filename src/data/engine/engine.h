#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/engine/database.h"
#include "data/engine/files.h"

namespace kapred::db {

class Engine;

// The first bytes of every database file of this engine.
inline constexpr std::string_view kFileSignature{"SQLite format 3\0", 16};

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
    // rename, and keeps the damaged original beside it (returned). Raises 3049 or 3343 when
    // nothing can be read; the file is then left untouched.
    std::filesystem::path repairDatabase(const std::filesystem::path& path, const std::filesystem::path& readable = {});

private:
    // Writes every readable row of source into a new file `work`.
    void rebuildInto(const std::filesystem::path& source, const std::filesystem::path& work);

    std::vector<std::shared_ptr<Workspace>> workspaces_;
};

// The password of a connect string (";PWD=secret"), empty when there is none.
std::string passwordOf(std::string_view connect);

}  // namespace kapred::db
