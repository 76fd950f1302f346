#include "app/user_files.h"

#include "app/instance_lock.h"
#include "data/app_database.h"

namespace kapred {

namespace fs = std::filesystem;

namespace {

// Two names of one file: the same path once links are resolved, or the same file on disk.
bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    const fs::path first = fs::weakly_canonical(a, error);
    const fs::path second = error ? fs::path() : fs::weakly_canonical(b, error);
    if (!error && first == second) {
        return true;
    }
    return fs::equivalent(a, b, error) && !error;
}

}  // namespace

bool isProgramFile(const Context& context, const fs::path& path) {
    const fs::path host = context.hostDirectory();
    for (const fs::path& database : {context.appDatabasePath(), context.systemDatabasePath(), host / kHostTaxpayerFile,
                                     host / kHostReferenceFile}) {
        if (sameFile(path, database) || sameFile(path, database.string() + "-journal")) {
            return true;
        }
    }
    return sameFile(path, context.appPath / kLockFile);
}

FileChoice chooseUserFile(Context& context, const fs::path& path) {
    if (isProgramFile(context, path)) {
        MsgError(context.ui, "No se puede escribir en " + path.string() +
                                 ": es un archivo del sistema Kapred y no se reemplaza. Elija otro nombre.");
        return FileChoice::Forbidden;
    }
    std::error_code error;
    if (!fs::exists(fs::symlink_status(path, error))) {
        return FileChoice::Write;
    }
    return context.ui.askYesNo(MessageIcon::Question, "Confirmar!",
                               "El archivo " + path.string() + " ya existe. ¿Desea reemplazarlo?")
               ? FileChoice::Write
               : FileChoice::Kept;
}

}  // namespace kapred
