#include "app/repair.h"

#include "data/app_database.h"
#include "data/values/error.h"

namespace kapred {

namespace fs = std::filesystem;

namespace {

void tellFailure(Context& context, const fs::path& path, const std::exception& failure) {
    const auto* error = dynamic_cast<const Error*>(&failure);
    MsgError(context.ui, "No se pudo verificar o reparar la base de datos " + path.string() + ": " +
                             (error != nullptr ? error->description() : std::string(failure.what())));
}

}  // namespace

bool RepairIfDamaged(Context& context, const fs::path& path) {
    db::Database* database = context.g_dbAplicativo.get();
    if (database == nullptr || !database->isOpen() || fs::path(database->name()) != path) {
        return true;
    }
    try {
        if (!database->passesQuickCheck()) {
            tellRepair(context.ui, path, repairOpenDatabase(context.engine, *database));
        }
        return true;
    } catch (const std::exception& failure) {
        tellFailure(context, path, failure);
        return false;
    }
}

bool RepairMenuCommand(Context& context) {
    const fs::path path = context.appDatabasePath();
    try {
        db::Database& database = *context.g_dbAplicativo;
        if (database.passesQuickCheck()) {
            MsgInformacion(context.ui, "La base de datos " + path.string() + " está sana: no hay nada que reparar.");
            return true;
        }
        const std::string question = "La base de datos " + path.string() +
                                     " está dañada.\r"
                                     "Se reconstruirá con todo lo que se pueda leer de ella, y el archivo dañado "
                                     "se conservará aparte.\r"
                                     "¿Desea Ud. repararla ahora?";
        if (!context.ui.askYesNo(MessageIcon::Question, "Confirmación", question)) {
            return false;
        }
        tellRepair(context.ui, path, repairOpenDatabase(context.engine, database));
        return true;
    } catch (const std::exception& failure) {
        tellFailure(context, path, failure);
        return false;
    }
}

}  // namespace kapred
