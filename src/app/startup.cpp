#include "app/startup.h"

#include "app/backup.h"
#include "app/cuit.h"
#include "app/installation.h"
#include "data/app_database.h"
#include "data/engine/files.h"
#include "data/values/error.h"

namespace kapred {

namespace {

std::shared_ptr<db::Database> openShared(Context& context, StartupObserver& observer, const char* handle,
                                         const std::filesystem::path& path) {
    auto database = context.engine.openDatabase(path, false, false, kConnect);
    observer.databaseOpened(handle, path);
    return database;
}

void openDatabases(Context& context, StartupObserver& observer, Serving serving, bool previousRunUnfinished) {
    const auto appDatabase = context.appDatabasePath();
    if (useLeftoverRepair(appDatabase)) {
        MsgInformacion(context.ui, "Se recuperó la base de datos " + appDatabase.string() +
                                       " de una reparación que no llegó a terminar.");
    }
    if (!std::filesystem::exists(appDatabase)) {
        CreateAppDatabase(context.engine, context.appPath);
        observer.databaseCreated(appDatabase);
    }
    context.g_dbAplicativo = OpenAppDatabase(context.engine, context.ui, appDatabase, true, kConnect);
    if (!context.g_dbAplicativo) {
        // The file is damaged beyond the repair; it stays on disk as it was for the provider.
        context.ui.showMessage(MessageIcon::Critical, "Error!",
                               "No se puede abrir la base de datos " + appDatabase.string() +
                                   ": el archivo está dañado y no pudo repararse. El archivo se conserva "
                                   "sin cambios; consulte a su proveedor.");
        throw ProgramEnd(kEndedByFailure);
    }
    context.g_dbAplicativo->guardFirstWrite([&lock = context.instanceLock] { return lock.makeMarkDurable(); });
    // A run cut short may have left pages half written, which would fail only once read.
    if (previousRunUnfinished && !context.g_dbAplicativo->passesQuickCheck()) {
        tellRepair(context.ui, appDatabase, repairOpenDatabase(context.engine, *context.g_dbAplicativo));
    }
    observer.databaseOpened("g_dbAplicativo", appDatabase);
    context.g_dbTablas = openShared(context, observer, "g_dbTablas", context.systemDatabasePath());
    if (serving == Serving::ProgramAlone) {
        return;
    }
    context.g_dbOrel = openShared(context, observer, "g_dbOrel", context.hostDirectory() / kHostTaxpayerFile);
    context.g_dbSistema = openShared(context, observer, "g_dbSistema", context.hostDirectory() / kHostReferenceFile);
}

// Why the program directory cannot hold the lock file, as the user reads it.
std::string unusableDirectoryReason(std::error_code error) {
    if (error == std::errc::no_such_file_or_directory) {
        return "no existe";
    }
    if (error == std::errc::not_a_directory || error == std::errc::file_exists) {
        return "no es un directorio";
    }
    if (error == std::errc::is_a_directory) {
        return std::string("su archivo de bloqueo ") + kLockFile + " es una carpeta";
    }
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted) {
        return "no tiene permiso para escribir en él";
    }
    if (error == std::errc::too_many_symbolic_link_levels) {
        return std::string("su archivo de bloqueo ") + kLockFile + " es un enlace simbólico, que el programa no sigue";
    }
    return db::systemError(error.value());
}

// Why the program directory could not be prepared: the folder's fault, or the file that could
// not be copied into it (nothing is left of that copy).
std::string preparationFailure(const std::filesystem::filesystem_error& error, const std::filesystem::path& home) {
    if (error.path1().parent_path() != home) {
        return unusableDirectoryReason(error.code());
    }
    return "no se pudo copiar en él " + error.path1().filename().string() + ": " +
           db::systemError(error.code().value());
}

}  // namespace

void Main(Context& context, StartupObserver& observer, Serving serving) {
    try {
        for (const auto& name : prepareProgramDirectory(context.appPath, installation().templates)) {
            observer.databaseCopied(context.appPath / name);
        }
    } catch (const std::filesystem::filesystem_error& error) {
        MsgError(context.ui, "No se puede usar el directorio del programa " + context.appPath.string() + ": " +
                                 preparationFailure(error, context.appPath) + ".");
        throw ProgramEnd(kEndedByFailure);
    }
    if (!context.instanceLock.acquire(context.appPath)) {
        if (const std::error_code error = context.instanceLock.fileError()) {
            MsgError(context.ui, "No se puede usar el directorio del programa " + context.appPath.string() + ": " +
                                     unusableDirectoryReason(error) + ".");
        } else {
            context.ui.showMessage(MessageIcon::Information, "Información", kAlreadyRunning);
        }
        throw ProgramEnd(kEndedByFailure);
    }
    if (const auto resumed = resumeRestore(programBackup(context))) {
        MsgInformacion(context.ui, *resumed);
    }
    // Under the lock no other copy works here: whatever an earlier one left half-done goes.
    removeCompactionLeftovers(context.appDatabasePath());
    removeBackupLeftovers(programBackup(context));
    if (serving == Serving::Taxpayer && !commandLineCuit(context.commandLine)) {
        MsgInformacion(context.ui, kEnterThroughHost);
        throw ProgramEnd(kEndedByFailure);
    }
    try {
        openDatabases(context, observer, serving, context.instanceLock.previousRunUnfinished());
        observer.showSplash();
        {
            BCMsgIni message(*context.g_dbTablas);
            if (message.Activo()) {
                observer.showStartupMessage(message);
            }
        }
        context.regional.SetRegionalSettings();
        observer.showMainWindow();
    } catch (const Error& error) {
        MsgError(context.ui, "No se pudo iniciar el sistema Kapred: " + error.description());
        throw ProgramEnd(kEndedByFailure);
    } catch (const std::filesystem::filesystem_error& error) {
        MsgError(context.ui, "No se pudo iniciar el sistema Kapred: " + db::systemError(error.code().value()) + ".");
        throw ProgramEnd(kEndedByFailure);
    }
}

bool Shutdown(Context& context, StartupObserver& observer) {
    const std::filesystem::path path = context.g_dbAplicativo ? context.g_dbAplicativo->name() : "";
    // A database already closed is compacted as before: its free pages are not known.
    const bool compact =
        !path.empty() && (!context.g_dbAplicativo->isOpen() || worthCompactingAtExit(*context.g_dbAplicativo));
    CierroBases(context.engine);
    context.regional.RestoreRegionalSettings();
    const bool compacted = !compact || CompactarBase(context.engine, context.ui, path);
    observer.closeWindows();
    if (!path.empty()) {
        ToggleDatabaseHeader(path, false);
    }
    context.instanceLock.markFinished();
    context.instanceLock.release();
    return compacted;
}

}  // namespace kapred
