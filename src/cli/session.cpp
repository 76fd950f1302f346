#include "cli/session.h"

#include <iostream>

#include "app/cuit.h"
#include "calc/registry.h"
#include "model/declaration_ops.h"

namespace kapred::cli {

Session::Session(const std::filesystem::path& home, const std::string& cuit, UserInterface& ui,
                 StartupObserver& observer, Serving serving)
    : context_(std::make_unique<Context>(home, cuit, ui)), observer_(observer) {
    Main(*context_, observer_, serving);
    running_ = true;
    registerBusinessObjects(*context_);
    context_->currentDeclaration = std::make_shared<BDDJJ>(*context_);
}

Session::~Session() {
    finish(0);
}

int Session::finish(int status) {
    if (!running_) {
        return status;
    }
    running_ = false;
    try {
        if (Shutdown(*context_, observer_)) {
            return status;
        }
    } catch (const std::exception& error) {
        std::cerr << "Error al cerrar el sistema: " << error.what() << std::endl;
    }
    return status == 0 ? kExitFailure : status;
}

BDDJJ& Session::declaration(const std::string& code) {
    const auto number = Variant(code).toWholeNumber();
    if (!number || *number <= 0 || *number > 2147483647 ||
        !loadDeclaration(*context_, Variant(static_cast<std::int32_t>(*number)))) {
        throw CommandFailure("No existe la Declaración Jurada " + code + " del contribuyente " +
                             sFormatCuit(context_->cuit(), true) + ".");
    }
    return *currentHeader(*context_);
}

}  // namespace kapred::cli
