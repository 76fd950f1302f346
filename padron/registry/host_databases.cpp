#include "registry/host_databases.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "data/app_database.h"
#include "data/engine/files.h"
#include "data/values/error.h"
#include "registry/host_scripts.h"

namespace kapred::padron {

namespace fs = std::filesystem;

namespace {

// Builds the database in a work file beside its name and links it in: the link fails rather than
// replace whatever took the name meanwhile, and an interrupted creation leaves no half database.
bool createDatabase(db::Engine& engine, const fs::path& path, const char* script) {
    const fs::path work = path.parent_path() / ("." + path.filename().string() + ".nuevo");
    std::error_code ignored;
    fs::remove(work, ignored);
    try {
        auto database = engine.defaultWorkspace().createDatabase(work, kConnect);
        database->executeScript(script, path.filename().string());
        database->close();
        if (!db::syncFile(work)) {
            throw Error(err::kPathAccess, "createHostDatabases",
                        "No se pudo grabar en el disco " + path.string() + ": " + db::systemError(errno) + ".");
        }
    } catch (...) {
        fs::remove(work, ignored);
        throw;
    }
    const int linkError = ::link(work.c_str(), path.c_str()) != 0 ? errno : 0;
    fs::remove(work, ignored);
    if (linkError == EEXIST) {
        return false;
    }
    if (linkError != 0) {
        throw Error(err::kPathAccess, "createHostDatabases",
                    "No se puede crear " + path.string() + ": " + db::systemError(linkError) + ".");
    }
    db::syncDirectory(path.parent_path());
    return true;
}

}  // namespace

std::vector<fs::path> createHostDatabases(db::Engine& engine, const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error || !fs::is_directory(folder)) {
        throw Error(err::kPathAccess, "createHostDatabases",
                    "No se puede usar la carpeta " + folder.string() + ": " +
                        (error ? db::systemError(error.value()) : std::string("no es una carpeta")) + ".");
    }
    std::vector<fs::path> created;
    for (const auto& [name, script] :
         {std::pair{kHostTaxpayerFile, kTaxpayerTablesScript}, std::pair{kHostReferenceFile, kReferenceListsScript}}) {
        const fs::path path = folder / name;
        if (!fs::exists(fs::symlink_status(path, error)) && createDatabase(engine, path, script)) {
            created.push_back(path);
        }
    }
    return created;
}

HostDatabases openHostDatabases(db::Engine& engine, const fs::path& folder) {
    const auto open = [&](const fs::path& path) {
        if (fs::is_symlink(path)) {
            throw Error(err::kPathAccess, "openHostDatabases",
                        "No se usa " + path.string() + ": es un enlace simbólico, no la base del padrón.");
        }
        try {
            return engine.openDatabase(path, false, false, kConnect);
        } catch (const Error& failure) {
            throw Error(failure.number(), "openHostDatabases",
                        "No se puede abrir " + path.string() + ": " + failure.description());
        }
    };
    return {open(folder / kHostTaxpayerFile), open(folder / kHostReferenceFile)};
}

}  // namespace kapred::padron
