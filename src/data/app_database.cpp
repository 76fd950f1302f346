#include "data/app_database.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "data/engine/files.h"
#include "data/values/error.h"

namespace kapred {

namespace fs = std::filesystem;

namespace {

constexpr unsigned char kHeaderKey = 0xA5;
constexpr const char* kLocale = ";LANGID=0x0409;CP=1252;COUNTRY=0";
constexpr long kEncryptOption = 2;

// Puts a finished work file in place of the file in one rename, so that a failure at any
// moment leaves either the old file or the new one, never none.
void replaceWith(const fs::path& work, const fs::path& path) {
    fs::rename(work, path);
    db::syncDirectory(path.parent_path());
}

// The file begins with the engine's signature only once unscrambled.
bool storedScrambled(const fs::path& path) {
    const db::FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    std::string first(db::kFileSignature.size(), '\0');
    if (!file.valid() || ::pread(file.get(), first.data(), first.size(), 0) != static_cast<ssize_t>(first.size()) ||
        first == db::kFileSignature) {
        return false;
    }
    for (std::size_t at = 0; at < first.size(); at += 10) {
        first[at] = static_cast<char>(static_cast<unsigned char>(first[at]) ^ kHeaderKey);
    }
    return first == db::kFileSignature;
}

}  // namespace

db::KnownSchema appSchema() {
    return {std::string(kLocale) + kConnect, kEncryptOption, appTableDefs(), appRelations()};
}

void CreateAppDatabase(db::Engine& engine, const fs::path& appPath) {
    const fs::path path = appPath / kAppDatabaseFile;
    const fs::path work = appPath / (std::string(kAppDatabaseFile) + ".nueva");
    std::error_code ignored;
    fs::remove(work, ignored);
    db::Workspace& workspace = engine.createWorkspace("Generar", "Admin", "");
    try {
        const db::KnownSchema schema = appSchema();
        auto database = workspace.createDatabase(work, schema.locale, schema.options);
        for (const auto& table : schema.tables) {
            database->appendTableDef(table);
        }
        for (const auto& relation : schema.relations) {
            database->appendRelation(relation);
        }
        database->close();
        engine.closeWorkspace(workspace);
    } catch (...) {
        engine.closeWorkspace(workspace);
        fs::remove(work, ignored);
        throw;
    }
    if (!db::syncFile(work)) {
        const int number = errno;
        fs::remove(work, ignored);
        throw Error(err::kCannotWrite, "CreateAppDatabase",
                    "No se pudo escribir la base de datos " + path.string() + ": " + db::systemError(number) + ".");
    }
    replaceWith(work, path);
}

void ToggleDatabaseHeader(const fs::path& path, bool durable) {
    const db::FileHandle file(::open(path.c_str(), O_RDWR | O_CLOEXEC));
    if (!file.valid()) {
        const int number = errno;
        throw Error(number == ENOENT ? err::kNoSuchFile : err::kPathAccess, "ToggleDatabaseHeader",
                    "No se puede usar el archivo '" + path.string() + "': " + db::systemError(number) + ".");
    }
    char bytes[400] = {};
    const ssize_t length = ::pread(file.get(), bytes, sizeof bytes, 0);
    for (ssize_t at = 0; at < length && at <= 390; at += 10) {
        bytes[at] = static_cast<char>(static_cast<unsigned char>(bytes[at]) ^ kHeaderKey);
    }
    if (length < 0 || ::pwrite(file.get(), bytes, static_cast<std::size_t>(length), 0) != length ||
        (durable && !db::syncData(file.get()))) {
        throw Error(err::kDeviceIo, "ToggleDatabaseHeader",
                    "Error de E/S en el archivo '" + path.string() + "': " + db::systemError(errno) + ".");
    }
}

db::RepairReport RepairDatabaseFile(db::Engine& engine, const fs::path& path) {
    const db::KnownSchema schema = appSchema();
    if (!storedScrambled(path)) {
        return engine.repairDatabase(path, {}, &schema);
    }
    // Scrambled, the file reads as no database at all: the rows are read from a plain copy,
    // and the damaged original is kept as it was.
    const fs::path plain = path.string() + ".plano";
    std::error_code ignored;
    try {
        db::FileHandle copy = db::createWorkFile(plain);
        if (!copy.valid() || !db::copyInto(path, copy.get()) || !copy.close()) {
            throw Error(err::kCannotOpen, "RepairDatabase",
                        "No se pudo copiar '" + path.string() + "': " + db::systemError(errno) + ".");
        }
        ToggleDatabaseHeader(plain);
        db::RepairReport report = engine.repairDatabase(path, plain, &schema);
        fs::remove(plain, ignored);
        return report;
    } catch (...) {
        fs::remove(plain, ignored);
        throw;
    }
}

db::RepairReport repairOpenDatabase(db::Engine& engine, db::Database& database) {
    db::RepairReport report = RepairDatabaseFile(engine, database.name());
    try {
        database.reopen(kConnect);
    } catch (...) {
        // Still open, it would write into the damaged original kept aside.
        database.close();
        throw;
    }
    return report;
}

void tellRepair(UserInterface& ui, const fs::path& path, const db::RepairReport& report) {
    std::string text = "La base de datos " + path.string() +
                       " estaba dañada y se reparó: se reconstruyó con todo lo que se pudo leer de ella.";
    if (report.bookkeepingDamaged) {
        text += " La descripción de sus tablas estaba dañada y se rehízo con la del programa.";
    }
    if (report.losses.empty()) {
        text += " No se perdió ninguna fila.";
    }
    for (const auto& loss : report.losses) {
        text += !loss.rows        ? " No se pudieron leer algunas filas (no se sabe cuántas)"
                : *loss.rows == 1 ? std::string(" No se pudo leer 1 fila")
                                  : " No se pudieron leer " + std::to_string(*loss.rows) + " filas";
        text += " de la tabla " + loss.table + ".";
    }
    text += " El archivo dañado se conserva como " + report.kept.string() + ".";
    ui.showMessage(report.losses.empty() ? MessageIcon::Information : MessageIcon::Exclamation,
                   "Reparación de la Base de Datos", text);
}

std::shared_ptr<db::Database> OpenAppDatabase(db::Engine& engine, UserInterface& ui, const fs::path& path,
                                              bool unscramble, const std::string& connect) {
    if (!fs::exists(path)) {
        ui.showMessage(MessageIcon::Critical, "Error!",
                       "No se encuentra la base de datos , por favor reinstale el sistema o consulte a su "
                       "proveedor.");
        throw ProgramEnd(kEndedByFailure);
    }
    // 1: the file was toggled once; 3: toggled back after that failed; 0: no toggle left to try.
    int attempt = 0;
    bool repaired = false;
    if (unscramble) {
        ToggleDatabaseHeader(path, false);
        attempt = 1;
    }
    for (;;) {
        try {
            return engine.openDatabase(path, false, false, connect);
        } catch (const Error& error) {
            // Only a file whose bytes are at fault is repaired; what else is in the way is told.
            if (error.number() == err::kNoAccess) {
                if (attempt == 1) {
                    ToggleDatabaseHeader(path, false);
                }
                throw;
            }
            if (repaired) {
                // The file is no longer the one found: saying it was left unchanged would be untrue.
                throw Error(
                    error.number(), "OpenAppDatabase",
                    "La base de datos " + path.string() + " se reparó, pero no se puede abrir: " + error.description());
            }
            if (error.number() != err::kCannotOpen && error.number() != err::kUnrecognisedFormat) {
                return nullptr;
            }
            if (attempt == 1) {
                ToggleDatabaseHeader(path, false);
                attempt = 3;
            } else if (attempt == 3) {
                attempt = 0;
                try {
                    tellRepair(ui, path, RepairDatabaseFile(engine, path));
                } catch (const Error&) {
                    return nullptr;
                } catch (const fs::filesystem_error&) {
                    return nullptr;
                }
                repaired = true;
            } else {
                return nullptr;
            }
        }
    }
}

bool useLeftoverRepair(const fs::path& path) {
    const fs::path rebuilt = path.string() + ".reparando";
    std::error_code error;
    if (!fs::exists(path, error) && fs::is_regular_file(fs::symlink_status(rebuilt, error))) {
        fs::rename(rebuilt, path, error);
        return !error;
    }
    // Beside the database, the work files of a repair are unfinished: the repair starts over.
    fs::remove(rebuilt, error);
    fs::remove(path.string() + ".plano", error);
    return false;
}

bool CierroBases(db::Engine& engine) {
    try {
        // Closing a workspace other than the default one removes it from the list.
        while (engine.workspaces().size() > 1) {
            engine.closeWorkspace(*engine.workspaces().back());
        }
        engine.closeWorkspace(engine.defaultWorkspace());
        return true;
    } catch (const Error&) {
        return false;
    }
}

std::optional<db::RepairReport> compactThrough(db::Engine& engine, const fs::path& path, const fs::path& work) {
    try {
        {
            // A damaged file cannot be compacted; the repair rewrites it whole instead.
            db::Workspace scratch(engine, "Verificar", "admin");
            const bool sound = scratch.openDatabase(path, false, true, kConnect)->passesQuickCheck();
            scratch.close();
            if (!sound) {
                return RepairDatabaseFile(engine, path);
            }
        }
        // A work file left by an interrupted run would block the compaction for good.
        fs::remove(work);
        engine.compactDatabase(path, work, kConnect);
        replaceWith(work, path);
        return std::nullopt;
    } catch (...) {
        std::error_code ignored;
        fs::remove(work, ignored);
        fs::remove(work.string() + "-journal", ignored);
        throw;
    }
}

std::string compactionFailure(const std::exception& failure) {
    if (const auto* error = dynamic_cast<const Error*>(&failure)) {
        return error->description();
    }
    if (const auto* fileError = dynamic_cast<const fs::filesystem_error*>(&failure)) {
        return "No se pudo reemplazar la base de datos por su copia compactada: " +
               db::systemError(fileError->code().value()) + ".";
    }
    return failure.what();
}

bool worthCompactingAtExit(db::Database& database) {
    return database.freePageShare() >= kExitCompactionFreeShare;
}

namespace {

fs::path exitCompactionWork(const fs::path& path) {
    const std::string text = path.string();
    return text.substr(0, text.size() >= 4 ? text.size() - 4 : 0) + ".bak";
}

}  // namespace

void removeCompactionLeftovers(const fs::path& path) {
    std::error_code ignored;
    for (const fs::path& work : {path.parent_path() / kCompactWorkFile, exitCompactionWork(path)}) {
        fs::remove(work, ignored);
        fs::remove(work.string() + "-journal", ignored);
    }
}

bool CompactarBase(db::Engine& engine, UserInterface& ui, const fs::path& path) {
    const fs::path work = exitCompactionWork(path);
    try {
        if (const auto repair = compactThrough(engine, path, work)) {
            tellRepair(ui, path, *repair);
        }
        return true;
    } catch (const std::exception& failure) {
        ui.showMessage(MessageIcon::Critical, "Error", compactionFailure(failure));
        return false;
    }
}

std::string sSystemDatabaseName(int major, int minor, int revision) {
    char name[32];
    std::snprintf(name, sizeof name, "Si%02d%02d%02d.mdb", major % 100, minor % 100, revision % 100);
    return name;
}

}  // namespace kapred
