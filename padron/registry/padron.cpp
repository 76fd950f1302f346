#include "registry/padron.h"

#include "app/cuit.h"
#include "data/app_database.h"
#include "data/values/error.h"
#include "registry/host_databases.h"
#include "registry/kapred_link.h"

namespace kapred::padron {

Padron::Padron(const std::filesystem::path& programDirectory, UserInterface& ui)
    : context_(std::make_unique<Context>(programDirectory, "", ui)) {
    created_ = createHostDatabases(context_->engine, context_->hostDirectory());
    if (const auto resumed = resumeRestore(backupContents())) {
        MsgInformacion(ui, *resumed);
    }
    HostDatabases databases = openHostDatabases(context_->engine, context_->hostDirectory());
    context_->g_dbOrel = databases.taxpayers;
    context_->g_dbSistema = databases.reference;
    registry_ = std::make_unique<Registry>(*context_->g_dbOrel, *context_->g_dbSistema);
}

bool Padron::eliminar(const std::string& cuit) {
    const auto taxpayer = registry_->find(cuit);
    if (!taxpayer) {
        MsgError(context_->ui, "El contribuyente " + sFormatCuit(commandLineCuit(cuit).value_or(cuit), true) +
                                   " no está registrado.");
        return false;
    }
    const std::string dashed = sFormatCuit(taxpayer->cuit, true);
    std::string kept;
    try {
        const long declarations = declarationsOf(context_->engine, programDirectory(), taxpayer->cuit);
        if (declarations == 1) {
            kept = "Kapred guarda 1 declaración jurada de este contribuyente; se conserva en Kapred.\r";
        } else if (declarations > 1) {
            kept = "Kapred guarda " + std::to_string(declarations) +
                   " declaraciones juradas de este contribuyente; se conservan en Kapred.\r";
        }
    } catch (const Error& error) {
        kept = "No se pudo saber cuántas declaraciones juradas guarda Kapred de este contribuyente (" +
               error.description() + "); las que haya se conservan en Kapred.\r";
    }
    if (!context_->ui.askYesNo(
            MessageIcon::Question, "Confirmar!",
            kept + "¿Desea eliminar del padrón el contribuyente " + dashed + " " + taxpayer->descrip + "?")) {
        return false;
    }
    return registry_->remove(taxpayer->cuit);
}

BackupContents Padron::backupContents() const {
    const auto folder = context_->hostDirectory();
    return {{{"padron", folder / kHostTaxpayerFile}, {"referencias", folder / kHostReferenceFile}},
            folder,
            "la carpeta del padrón",
            "contribs",
            "la copia no contiene contribuyentes",
            "Los contribuyentes y las tablas de referencia",
            "el padrón"};
}

}  // namespace kapred::padron
