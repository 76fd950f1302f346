#pragma once

#include <memory>
#include <string>

#include "data/engine/database.h"
#include "data/engine/recordset.h"

namespace kapred {

// The start-up message of the system tables (T_MsConfig): its text, the program's name and
// whether it is still shown at every start.
class BCMsgIni {
public:
    explicit BCMsgIni(db::Database& systemTables);

    const std::string& NombreAplicativo() const { return nombreAplicativo_; }
    const std::string& Mensaje() const { return mensaje_; }
    bool Activo() const { return activo_; }

    // Switches the message off for every later start.
    void NoMostrarMas();

private:
    std::unique_ptr<db::Recordset> recordset_;
    std::string nombreAplicativo_;
    std::string mensaje_;
    bool activo_ = false;
};

struct Context;
// The start-up message switched off for every later start, as its window's check box does.
void switchOffStartupMessage(Context& context);

}  // namespace kapred
