#include "app/compaction.h"

#include "data/app_database.h"

namespace kapred {

namespace fs = std::filesystem;

bool CompactoBaseDatos(Context& context, const fs::path& path) {
    context.engine.closeWorkspace(context.engine.defaultWorkspace());
    try {
        if (const auto repair = compactThrough(context.engine, path, context.appPath / kCompactWorkFile)) {
            tellRepair(context.ui, path, *repair);
        }
        // The program ends with its databases closed and whole: the next start need not check them.
        context.instanceLock.markFinished();
        return true;
    } catch (const std::exception& failure) {
        MsgError(context.ui, "No se pudo compactar la base de datos: " + compactionFailure(failure));
        return false;
    }
}

ProgramEnding CompactMenuCommand(Context& context) {
    const std::string question =
        "Realice una Copia de Seguridad antes de proceder.\r"
        "Luego de Compactar la Base de Datos el Sistema se cerrará.\r"
        "Este proceso puede demorar varios minutos, dependiendo del tamaño de su Base de Datos\r"
        "y las características de su equipo\r"
        "¿Desea Ud. compactar ahora?";
    if (!context.ui.askYesNo(MessageIcon::Question, "Confirmación", question)) {
        return std::nullopt;
    }
    return CompactoBaseDatos(context, context.appDatabasePath()) ? 0 : kEndedByFailure;
}

}  // namespace kapred
