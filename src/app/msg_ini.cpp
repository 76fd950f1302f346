#include "app/msg_ini.h"

#include "app/context.h"

namespace kapred {

BCMsgIni::BCMsgIni(db::Database& systemTables) : recordset_(systemTables.openRecordset("Select * From T_MsConfig")) {
    recordset_->moveFirst();
    nombreAplicativo_ = recordset_->value("NombreAplicativo").toText();
    mensaje_ = recordset_->value("Mensaje").toText();
    const Variant active = recordset_->value("Activo");
    activo_ = !active.isNull() && active.toDouble().value_or(0) != 0;
}

void BCMsgIni::NoMostrarMas() {
    recordset_->edit();
    recordset_->setValue("Activo", false);
    recordset_->update();
    recordset_->moveFirst();
    activo_ = false;
}

void switchOffStartupMessage(Context& context) {
    BCMsgIni(*context.g_dbTablas).NoMostrarMas();
}

}  // namespace kapred
