#include "data/engine/engine.h"

#include <fcntl.h>
#include <sodium.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <fstream>
#include <functional>
#include <limits>
#include <regex>

#include "data/engine/dialect.h"
#include "data/engine/files.h"
#include "data/values/error.h"

namespace kapred::db {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFormatName = "kapred-db-1";

const char* const kBookkeeping[] = {
    "CREATE TABLE kp_meta (name TEXT PRIMARY KEY, value TEXT)",
    "CREATE TABLE kp_fields (tbl TEXT NOT NULL, fld TEXT NOT NULL, attributes INTEGER, "
    "allow_zero_length INTEGER, required INTEGER, validation_rule TEXT, validation_text TEXT, "
    "foreign_name TEXT, PRIMARY KEY (tbl, fld))",
    "CREATE TABLE kp_indexes (tbl TEXT NOT NULL, idx TEXT NOT NULL, is_primary INTEGER, "
    "is_required INTEGER, ignore_nulls INTEGER, is_clustered INTEGER, PRIMARY KEY (tbl, idx))",
    "CREATE TABLE kp_relations (name TEXT PRIMARY KEY, tbl TEXT, foreign_tbl TEXT, attributes "
    "INTEGER, fields TEXT)",
};

std::string toHex(const unsigned char* bytes, std::size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (std::size_t i = 0; i < size; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 0x0F];
    }
    return hex;
}

// The password is kept as a salted hash: enough for the access check it is, and the password
// itself is not readable from the file.
std::string passwordDigest(const std::string& salt, const std::string& password) {
    std::array<unsigned char, crypto_generichash_BYTES> digest{};
    const std::string input = salt + ":" + password;
    crypto_generichash(digest.data(), digest.size(), reinterpret_cast<const unsigned char*>(input.data()), input.size(),
                       nullptr, 0);
    return toHex(digest.data(), digest.size());
}

void exec(sqlite3* connection, const std::string& sql, const char* source) {
    const int rc = sqlite3_exec(connection, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        raiseSqliteError(connection, rc, source);
    }
}

std::optional<std::string> metaValue(sqlite3* connection, const char* name) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(connection, "SELECT value FROM kp_meta WHERE name = ?1", -1, &statement, nullptr) !=
        SQLITE_OK) {
        return std::nullopt;
    }
    sqlite3_bind_text(statement, 1, name, -1, SQLITE_STATIC);
    std::optional<std::string> value;
    if (sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0) != nullptr) {
        value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    }
    sqlite3_finalize(statement);
    return value;
}

void setMeta(sqlite3* connection, const char* name, const std::string& value) {
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(connection, "INSERT OR REPLACE INTO kp_meta (name, value) VALUES (?1, ?2)", -1,
                                &statement, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_bind_text(statement, 1, name, -1, SQLITE_STATIC);
        sqlite3_bind_text(statement, 2, value.c_str(), -1, SQLITE_TRANSIENT);
        rc = sqlite3_step(statement);
        rc = rc == SQLITE_DONE ? SQLITE_OK : rc;
    }
    sqlite3_finalize(statement);
    if (rc != SQLITE_OK) {
        raiseSqliteError(connection, rc, "CreateDatabase");
    }
}

[[noreturn]] void damaged(const fs::path& path) {
    throw Error(err::kCannotOpen, "OpenDatabase",
                "No se puede abrir la base de datos '" + path.string() +
                    "'. Puede que no sea una base de datos reconocida por su aplicación o que el "
                    "archivo esté dañado.");
}

[[noreturn]] void unrecognised(const fs::path& path) {
    throw Error(err::kUnrecognisedFormat, "OpenDatabase",
                "Formato de base de datos no reconocido '" + path.string() + "'.");
}

// A file shorter than the pages its header counts has lost its end.
bool truncated(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    unsigned char header[100] = {};
    if (!file.read(reinterpret_cast<char*>(header), sizeof header)) {
        return true;
    }
    const auto be32 = [&](int at) {
        return (std::uint32_t{header[at]} << 24) | (std::uint32_t{header[at + 1]} << 16) |
               (std::uint32_t{header[at + 2]} << 8) | std::uint32_t{header[at + 3]};
    };
    std::uint32_t pageSize = (std::uint32_t{header[16]} << 8) | header[17];
    if (pageSize == 1) {
        pageSize = 65536;
    }
    // The page count is only trustworthy when the header says it is current.
    if (be32(24) != be32(92)) {
        return false;
    }
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    return !ec && size < std::uint64_t{be32(28)} * pageSize;
}

// SQLite never opens a journal through a link, and then cannot open the database at all: the
// user is told what is in the way, and that the database itself is untouched.
void refuseUnusableJournal(const fs::path& path) {
    const fs::path journal = path.string() + "-journal";
    struct stat status {};
    if (::lstat(journal.c_str(), &status) != 0 || S_ISREG(status.st_mode)) {
        return;
    }
    throw Error(err::kNoAccess, "OpenDatabase",
                "No se puede abrir la base de datos '" + path.string() + "': su diario '" + journal.string() + "' " +
                    (S_ISLNK(status.st_mode) ? "es un enlace simbólico" : "no es un archivo común") +
                    ", que el programa no usa. La base de datos no se modificó; quite ese diario y vuelva a "
                    "intentarlo.");
}

sqlite3* openConnection(const fs::path& path, bool readOnly) {
    sqlite3* connection = nullptr;
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(path.c_str(), &connection, flags, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(connection);
        if (rc == SQLITE_CANTOPEN) {
            throw Error(err::kFileNotFound, "OpenDatabase", "No se encuentra el archivo '" + path.string() + "'.");
        }
        damaged(path);
    }
    sqlite3_extended_result_codes(connection, 1);
    sqlite3_busy_timeout(connection, 5000);
    sqlite3_db_config(connection, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    registerFunctions(connection);
    return connection;
}

// Reads the first page (which also rolls back a transaction left by a crash) and tells what kind
// of file this is.
void checkReadable(sqlite3* connection, const fs::path& path) {
    const int rc = sqlite3_exec(connection, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if ((rc & 0xFF) == SQLITE_NOTADB) {
        unrecognised(path);
    }
    if (rc != SQLITE_OK || truncated(path)) {
        damaged(path);
    }
}

void applyDurability(sqlite3* connection) {
    exec(connection, "PRAGMA journal_mode = DELETE", "OpenDatabase");
    exec(connection, "PRAGMA synchronous = FULL", "OpenDatabase");
}

}  // namespace

std::string passwordOf(std::string_view connect) {
    static const std::regex pwd(R"((?:^|;)\s*PWD\s*=([^;]*))", std::regex::icase);
    const std::string text(connect);
    std::smatch match;
    return std::regex_search(text, match, pwd) ? match[1].str() : std::string();
}

Workspace::Workspace(Engine& engine, std::string name, std::string user)
    : engine_(engine), name_(std::move(name)), user_(std::move(user)) {}

std::shared_ptr<Database> Workspace::createDatabase(const fs::path& path, std::string_view locale, long options) {
    // A new database is its owner's alone; it is made only where nothing is, never through a link.
    FileHandle created(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!created.valid() && (errno == EEXIST || errno == ELOOP)) {
        throw Error(err::kDatabaseExists, "CreateDatabase", "La base de datos ya existe.");
    }
    sqlite3* connection = nullptr;
    const int rc =
        created.valid() && created.close()
            ? sqlite3_open_v2(path.c_str(), &connection, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr)
            : SQLITE_CANTOPEN;
    if (rc != SQLITE_OK) {
        std::error_code ignored;
        fs::remove(path, ignored);
        sqlite3_close_v2(connection);
        throw Error(err::kInvalidPath, "CreateDatabase",
                    "'" + path.parent_path().string() + "' no es una ruta válida.");
    }
    sqlite3_extended_result_codes(connection, 1);
    sqlite3_db_config(connection, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    registerFunctions(connection);
    try {
        applyDurability(connection);
        exec(connection, "BEGIN", "CreateDatabase");
        for (const char* sql : kBookkeeping) {
            exec(connection, sql, "CreateDatabase");
        }
        std::array<unsigned char, 16> saltBytes{};
        randombytes_buf(saltBytes.data(), saltBytes.size());
        const std::string salt = toHex(saltBytes.data(), saltBytes.size());
        setMeta(connection, "format", kFormatName);
        setMeta(connection, "salt", salt);
        setMeta(connection, "password", passwordDigest(salt, passwordOf(locale)));
        setMeta(connection, "locale", std::string(locale.substr(0, locale.find(";PWD"))));
        setMeta(connection, "options", std::to_string(options));
        exec(connection, "COMMIT", "CreateDatabase");
    } catch (...) {
        sqlite3_close_v2(connection);
        fs::remove(path);
        throw;
    }
    auto database = std::make_shared<Database>(connection, path.string(), this);
    databases_.push_back(database);
    return database;
}

sqlite3* openCheckedConnection(const fs::path& path, bool exclusive, bool readOnly, std::string_view connect) {
    if (!fs::exists(path)) {
        throw Error(err::kFileNotFound, "OpenDatabase", "No se encuentra el archivo '" + path.string() + "'.");
    }
    refuseUnusableJournal(path);
    sqlite3* connection = openConnection(path, readOnly);
    try {
        checkReadable(connection, path);
        if (!readOnly) {
            applyDurability(connection);
        }
        const auto format = metaValue(connection, "format");
        if (!format || *format != kFormatName) {
            unrecognised(path);
        }
        const auto salt = metaValue(connection, "salt").value_or("");
        if (metaValue(connection, "password") != passwordDigest(salt, passwordOf(connect))) {
            throw Error(err::kInvalidPassword, "OpenDatabase", "No es una contraseña válida.");
        }
        if (exclusive) {
            exec(connection, "PRAGMA locking_mode = EXCLUSIVE", "OpenDatabase");
        }
    } catch (...) {
        sqlite3_close_v2(connection);
        throw;
    }
    return connection;
}

std::shared_ptr<Database> Workspace::openDatabase(const fs::path& path, bool exclusive, bool readOnly,
                                                  std::string_view connect) {
    auto database =
        std::make_shared<Database>(openCheckedConnection(path, exclusive, readOnly, connect), path.string(), this);
    databases_.push_back(database);
    return database;
}

void Workspace::forget(const Database* database) {
    std::erase_if(databases_, [&](const auto& held) { return held.get() == database; });
}

void Workspace::close() {
    // Closing a database removes it from the list: work on a copy.
    const auto open = databases_;
    for (const auto& database : open) {
        database->close();
    }
    databases_.clear();
}

Engine::Engine() {
    if (sodium_init() < 0) {
        throw Error(err::kEngineStart, "Engine", "No se pudo iniciar la biblioteca criptográfica.");
    }
    workspaces_.push_back(std::make_shared<Workspace>(*this, "#Default Workspace#", "admin"));
}

Workspace& Engine::createWorkspace(const std::string& name, const std::string& user, const std::string&) {
    workspaces_.push_back(std::make_shared<Workspace>(*this, name, user));
    return *workspaces_.back();
}

void Engine::closeWorkspace(Workspace& workspace) {
    workspace.close();
    // The default workspace stays available, as it always is.
    if (&workspace != workspaces_.front().get()) {
        std::erase_if(workspaces_, [&](const auto& held) { return held.get() == &workspace; });
    }
}

void Engine::compactDatabase(const fs::path& source, const fs::path& target, std::string_view sourceConnect) {
    // The copy replaces the source: it gets the source's permissions, and is made only where
    // nothing is, never through a link.
    FileHandle created(
        ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, replacementMode(source)));
    if (!created.valid() && (errno == EEXIST || errno == ELOOP)) {
        throw Error(err::kDatabaseExists, "CompactDatabase", "La base de datos ya existe.");
    }
    const auto removeTarget = [&] {
        std::error_code ignored;
        fs::remove(target, ignored);
        fs::remove(target.string() + "-journal", ignored);
    };
    if (!created.valid() || ::fchmod(created.get(), replacementMode(source)) != 0 || !created.close()) {
        const int number = errno;
        removeTarget();
        throw Error(err::kInvalidPath, "CompactDatabase",
                    "No se puede crear el archivo " + target.string() + ": " + systemError(number) + ".");
    }
    try {
        Workspace scratch(*this, "Compactar", "admin");
        auto database = scratch.openDatabase(source, false, false, sourceConnect);
        sqlite3_stmt* statement = nullptr;
        int rc = sqlite3_prepare_v2(database->handle(), "VACUUM INTO ?1", -1, &statement, nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_bind_text(statement, 1, target.c_str(), -1, SQLITE_TRANSIENT);
            rc = sqlite3_step(statement);
            rc = rc == SQLITE_DONE ? SQLITE_OK : rc;
        }
        sqlite3_finalize(statement);
        if (rc != SQLITE_OK) {
            raiseSqliteError(database->handle(), rc, "CompactDatabase");
        }
        scratch.close();
    } catch (...) {
        removeTarget();
        throw;
    }
    if (!syncFile(target)) {
        const int number = errno;
        removeTarget();
        throw Error(err::kInvalidPath, "CompactDatabase",
                    "No se pudo escribir el archivo " + target.string() + ": " + systemError(number) + ".");
    }
}

namespace {

// A statement that finalizes itself; null when SQLite refused the text.
class Prepared {
public:
    Prepared(sqlite3* connection, const std::string& sql) {
        sqlite3_prepare_v2(connection, sql.c_str(), -1, &statement_, nullptr);
    }
    ~Prepared() { sqlite3_finalize(statement_); }
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;
    sqlite3_stmt* get() const { return statement_; }

private:
    sqlite3_stmt* statement_ = nullptr;
};

constexpr sqlite3_int64 kLastRowId = std::numeric_limits<sqlite3_int64>::max();

// Whether a seek to the first row from `rowid` on reads every page it passes (also when no row is
// there).
bool seekReads(sqlite3_stmt* probe, sqlite3_int64 rowid) {
    sqlite3_reset(probe);
    sqlite3_bind_int64(probe, 1, rowid);
    const int rc = sqlite3_step(probe);
    return rc == SQLITE_ROW || rc == SQLITE_DONE;
}

// The first rowid after `unreadable` that a seek reaches again: the step doubles until a seek
// reads, then halves back to the first rowid past the damaged pages. Nothing when none is reached
// up to the largest rowid. Readable rows between two damaged stretches closer than the last step
// may be passed over; a table damaged that much has lost the order of its pages anyway.
std::optional<sqlite3_int64> reachableAfter(sqlite3_stmt* probe, sqlite3_int64 unreadable) {
    sqlite3_int64 reached = 0;
    for (sqlite3_int64 step = 1;; step = step > kLastRowId / 2 ? kLastRowId : step * 2) {
        if (unreadable == kLastRowId) {
            return std::nullopt;
        }
        const sqlite3_int64 at = unreadable > kLastRowId - step ? kLastRowId : unreadable + step;
        if (seekReads(probe, at)) {
            reached = at;
            break;
        }
        unreadable = at;
    }
    while (reached - unreadable > 1) {
        const sqlite3_int64 middle = unreadable + (reached - unreadable) / 2;
        (seekReads(probe, middle) ? reached : unreadable) = middle;
    }
    return reached;
}

// Reads every row of the table that damaged pages leave readable, in rowid order, going on past
// them; `take` gets each row with its rowid first. False when some row could not be read.
bool readTable(sqlite3* from, const std::string& table, const std::function<void(sqlite3_stmt*)>& take) {
    const std::string quoted = quoteName(table);
    const Prepared read(from, "SELECT rowid, * FROM " + quoted + " WHERE rowid >= ?1 ORDER BY rowid");
    const Prepared probe(from, "SELECT rowid FROM " + quoted + " WHERE rowid >= ?1 ORDER BY rowid LIMIT 1");
    if (read.get() == nullptr || probe.get() == nullptr) {
        return false;
    }
    bool whole = true;
    std::optional<sqlite3_int64> next = std::numeric_limits<sqlite3_int64>::min();
    while (next) {
        sqlite3_reset(read.get());
        sqlite3_bind_int64(read.get(), 1, *next);
        // The row after the last one read is the one that failed; passing it makes progress.
        sqlite3_int64 failed = *next;
        int rc = SQLITE_OK;
        while ((rc = sqlite3_step(read.get())) == SQLITE_ROW) {
            take(read.get());
            const sqlite3_int64 rowid = sqlite3_column_int64(read.get(), 0);
            failed = rowid == kLastRowId ? kLastRowId : rowid + 1;
        }
        if (rc == SQLITE_DONE) {
            break;
        }
        whole = false;
        next = reachableAfter(probe.get(), failed);
    }
    return whole;
}

// How many rows the table holds as one of its indexes counts them, when one reads whole.
std::optional<long> indexedCount(sqlite3* from, const std::string& table) {
    std::vector<std::string> indexes;
    {
        const Prepared list(from, "SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1");
        sqlite3_bind_text(list.get(), 1, table.c_str(), -1, SQLITE_TRANSIENT);
        while (list.get() != nullptr && sqlite3_step(list.get()) == SQLITE_ROW) {
            indexes.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(list.get(), 0)));
        }
    }
    for (const auto& index : indexes) {
        const Prepared count(from, "SELECT count(*) FROM " + quoteName(table) + " INDEXED BY " + quoteName(index));
        if (count.get() != nullptr && sqlite3_step(count.get()) == SQLITE_ROW) {
            return static_cast<long>(sqlite3_column_int64(count.get(), 0));
        }
    }
    return std::nullopt;
}

std::vector<std::string> columnsOf(sqlite3* connection, const std::string& table) {
    std::vector<std::string> columns;
    const Prepared info(connection, "SELECT name FROM pragma_table_info(?1)");
    sqlite3_bind_text(info.get(), 1, table.c_str(), -1, SQLITE_TRANSIENT);
    while (info.get() != nullptr && sqlite3_step(info.get()) == SQLITE_ROW) {
        columns.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 0)));
    }
    return columns;
}

// Carries the table's readable rows into the table of that name in target, field by field of the
// same name, each with its rowid; a table target lacks keeps none. Gives what was lost, if any.
std::optional<TableLoss> carryRows(sqlite3* from, sqlite3* target, const std::string& table) {
    const std::vector<std::string> sourceColumns = columnsOf(from, table);
    const std::vector<std::string> targetColumns = columnsOf(target, table);
    std::vector<int> carried;  // columns of the read row, rowid being 0
    std::string names = "rowid";
    std::string marks = "?";
    for (std::size_t column = 0; column < sourceColumns.size(); ++column) {
        if (std::any_of(targetColumns.begin(), targetColumns.end(),
                        [&](const std::string& name) { return equalsIgnoreCase(name, sourceColumns[column]); })) {
            carried.push_back(static_cast<int>(column) + 1);
            names += ", " + quoteName(sourceColumns[column]);
            marks += ", ?";
        }
    }
    const Prepared write(target, targetColumns.empty() ? std::string()
                                                       : "INSERT OR IGNORE INTO " + quoteName(table) + " (" + names +
                                                             ") VALUES (" + marks + ")");
    long read = 0;
    long written = 0;
    const bool whole = readTable(from, table, [&](sqlite3_stmt* row) {
        ++read;
        if (write.get() == nullptr) {
            return;
        }
        sqlite3_reset(write.get());
        sqlite3_bind_value(write.get(), 1, sqlite3_column_value(row, 0));
        for (std::size_t at = 0; at < carried.size(); ++at) {
            sqlite3_bind_value(write.get(), static_cast<int>(at) + 2, sqlite3_column_value(row, carried[at]));
        }
        if (sqlite3_step(write.get()) == SQLITE_DONE && sqlite3_changes(target) == 1) {
            ++written;
        }
    });
    // Past a damaged page, the rows an index still counts; uncounted when no index reads whole.
    const std::optional<long> counted = whole ? std::optional<long>(read) : indexedCount(from, table);
    if (!counted || *counted < written) {
        return TableLoss{table, std::nullopt};
    }
    if (*counted == written) {
        return std::nullopt;
    }
    return TableLoss{table, *counted - written};
}

}  // namespace

RepairReport Engine::rebuildInto(const fs::path& source, const fs::path& work, const KnownSchema* schema) {
    sqlite3* from = openConnection(source, true);
    // A file that lost its end is shorter than the page count in its header, and SQLite refuses
    // to read any of it unless the schema is writable; with it, the pages that remain are read.
    // The connection is read-only, so the damaged file is still never written.
    sqlite3_db_config(from, SQLITE_DBCONFIG_DEFENSIVE, 0, nullptr);
    sqlite3_db_config(from, SQLITE_DBCONFIG_WRITABLE_SCHEMA, 1, nullptr);
    Workspace scratch(*this, "Reparar", "admin");
    sqlite3* target = nullptr;
    auto cleanUp = [&] {
        sqlite3_close_v2(from);
        if (schema == nullptr) {
            sqlite3_close_v2(target);
        }
        scratch.close();
    };
    RepairReport report;
    try {
        // The schema must be readable; rows are taken as far as each table can be read.
        std::vector<std::pair<std::string, std::string>> tables;  // name, CREATE statement
        std::vector<std::string> indexes;
        sqlite3_stmt* listed = nullptr;
        int rc = sqlite3_prepare_v2(from,
                                    "SELECT type, name, sql FROM sqlite_master WHERE sql IS NOT NULL AND "
                                    "name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid",
                                    -1, &listed, nullptr);
        while (rc == SQLITE_OK && (rc = sqlite3_step(listed)) == SQLITE_ROW) {
            const std::string type = reinterpret_cast<const char*>(sqlite3_column_text(listed, 0));
            const std::string name = reinterpret_cast<const char*>(sqlite3_column_text(listed, 1));
            const std::string sql = reinterpret_cast<const char*>(sqlite3_column_text(listed, 2));
            if (type == "table") {
                tables.emplace_back(name, sql);
            } else if (type == "index") {
                indexes.push_back(sql);
            }
            rc = SQLITE_OK;
        }
        sqlite3_finalize(listed);
        if (rc != SQLITE_DONE) {
            if ((rc & 0xFF) == SQLITE_NOTADB) {
                unrecognised(source);
            }
            damaged(source);
        }
        if (std::none_of(tables.begin(), tables.end(), [](const auto& t) { return t.first == "kp_meta"; })) {
            unrecognised(source);
        }

        if (schema != nullptr) {
            std::error_code ignored;
            fs::remove(work, ignored);
            auto rebuilt = scratch.createDatabase(work, schema->locale, schema->options);
            target = rebuilt->handle();
            // The work file is thrown away unless complete, and synced whole once done.
            exec(target, "PRAGMA journal_mode = OFF", "RepairDatabase");
            exec(target, "PRAGMA synchronous = OFF", "RepairDatabase");
            Transaction made(*rebuilt);
            for (const auto& table : schema->tables) {
                rebuilt->appendTableDef(table);
            }
            for (const auto& relation : schema->relations) {
                rebuilt->appendRelation(relation);
            }
            made.commit();
        } else {
            if (!createWorkFile(work).close() ||
                sqlite3_open_v2(work.c_str(), &target, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
                damaged(source);
            }
            exec(target, "PRAGMA journal_mode = OFF", "RepairDatabase");
            for (const auto& [name, sql] : tables) {
                exec(target, sql, "RepairDatabase");
            }
            for (const auto& sql : indexes) {
                exec(target, sql, "RepairDatabase");
            }
        }
        exec(target, "BEGIN", "RepairDatabase");
        for (const auto& [name, sql] : tables) {
            if (schema != nullptr && isBookkeeping(name)) {
                // Made anew from the schema: only whether it reads whole matters.
                report.bookkeepingDamaged = !readTable(from, name, [](sqlite3_stmt*) {}) || report.bookkeepingDamaged;
            } else if (auto loss = carryRows(from, target, name)) {
                report.losses.push_back(std::move(*loss));
            }
        }
        exec(target, "COMMIT", "RepairDatabase");
    } catch (...) {
        cleanUp();
        std::error_code ignored;
        fs::remove(work, ignored);
        throw;
    }
    cleanUp();
    return report;
}

RepairReport Engine::repairDatabase(const fs::path& path, const fs::path& readable, const KnownSchema* schema) {
    if (!fs::exists(path)) {
        throw Error(err::kFileNotFound, "RepairDatabase", "No se encuentra el archivo '" + path.string() + "'.");
    }
    const fs::path work = path.string() + ".reparando";
    RepairReport report = rebuildInto(readable.empty() ? path : readable, work, schema);
    std::error_code error;
    const auto fail = [&](const char* what) {
        const int number = error.value();
        fs::remove(work, error);
        throw Error(err::kCannotOpen, "RepairDatabase",
                    std::string(what) + " '" + path.string() + "': " + systemError(number) + ".");
    };
    fs::permissions(work, static_cast<fs::perms>(replacementMode(path)), error);
    if (!syncFile(work)) {
        error.assign(errno, std::generic_category());
        fail("No se pudo escribir la base reparada de");
    }

    // The damaged original stays beside the rebuilt file under a name of its own: a second name
    // of the same file, so that the rebuilt one then takes its place in one atomic rename and a
    // kill at any moment leaves the database at its name.
    fs::path kept = path.string() + ".danado";
    for (int n = 1; fs::exists(fs::symlink_status(kept, error)); ++n) {
        kept = path.string() + ".danado." + std::to_string(n);
    }
    fs::create_hard_link(path, kept, error);
    if (error) {
        // A medium without hard links gets a copy.
        FileHandle copy(::open(kept.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!copy.valid() || !copyInto(path, copy.get()) || !syncData(copy.get())) {
            const int number = errno;
            copy.close();
            fs::remove(kept, error);
            error.assign(number, std::generic_category());
            fail("No se pudo conservar el original dañado de");
        }
    }
    fs::rename(work, path, error);
    if (error) {
        fail("No se pudo reemplazar");
    }
    syncDirectory(path.parent_path());
    report.kept = kept;
    return report;
}

}  // namespace kapred::db
