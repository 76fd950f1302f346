#include "cli/session.h"

#include <iostream>

#include "app/cuit.h"
#include "data/validation.h"
#include "model/declaration_ops.h"
#include "model/registry.h"

namespace kapred::cli {

Session::Session(const std::filesystem::path& home, const std::string& cuit, UserInterface& ui,
                 StartupObserver& observer)
    : context_(std::make_unique<Context>(home, cuit, ui)), observer_(observer) {
    Main(*context_, observer_);
    running_ = true;
    registerBusinessObjects(*context_);
    context_->currentDeclaration = std::make_shared<BDDJJ>(*context_);
}

Session::~Session() {
    if (!running_) {
        return;
    }
    try {
        Shutdown(*context_, observer_);
    } catch (const std::exception& error) {
        std::cerr << "Error al cerrar el sistema: " << error.what() << std::endl;
    }
}

BDDJJ& Session::declaration(const std::string& code) {
    const auto number = parseDouble(code);
    if (!number || !loadDeclaration(*context_, Variant(static_cast<std::int32_t>(*number)))) {
        throw CommandFailure("No existe la Declaración Jurada " + code + " del contribuyente " +
                             sFormatCuit(context_->cuit(), true) + ".");
    }
    return *context_->currentDeclaration;
}

int acceptEntry(Context& context, SectionObject& object) {
    int code = object.iValidateBusinessRules();
    if (code == 0 && !object.bSave()) {
        code = kRuleError;
        if (object.g_vecErroresInconsistencia.isNull()) {
            AddInconsistencyToObject(object, "", "No se pudo grabar el registro en la base de datos.");
        }
    }
    if (code != 0) {
        ShowInconsistencies(context.ui, object, code, context.numberFormat());
    }
    return code;
}

}  // namespace kapred::cli
