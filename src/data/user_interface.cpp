#include "data/user_interface.h"

namespace kapred {

void MsgInformacion(UserInterface& ui, const std::string& text) {
    ui.showMessage(MessageIcon::Information, "Información", text);
}

bool MsgError(UserInterface& ui, const std::string& text) {
    ui.showMessage(MessageIcon::Critical, "Error", text);
    return true;
}

bool MsgAdvertencia(UserInterface& ui, const std::string& text) {
    return ui.askYesNo(MessageIcon::Question, "Advertencia", text);
}

}  // namespace kapred
