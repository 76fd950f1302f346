#pragma once

#include "app/context.h"
#include "data/engine/recordset.h"
#include "support/scripted_ui.h"
#include "ui/qt_interface.h"

namespace kapred::test {

// The desktop program's interface with the dialogs replaced by a script: messages and lists are
// recorded, questions answered from the script; progress still reaches the window.
class ScriptedQtUi : public ui::QtUserInterface {
public:
    void showMessage(MessageIcon icon, const std::string& title, const std::string& text) override {
        script.showMessage(icon, title, text);
    }
    bool askYesNo(MessageIcon icon, const std::string& title, const std::string& text) override {
        return script.askYesNo(icon, title, text);
    }
    void showInconsistencies(const std::string& title, const std::vector<std::string>& lines) override {
        script.showInconsistencies(title, lines);
    }

    ScriptedUi script;
};

// The rows of a table of the program's database, with an optional condition ("DDJJ WHERE ...").
inline long countRows(Context& context, const std::string& tableAndCondition) {
    return static_cast<long>(context.g_dbAplicativo->openRecordset("SELECT count(*) AS n FROM " + tableAndCondition)
                                 ->value("n")
                                 .toWholeNumber()
                                 .value_or(-1));
}

}  // namespace kapred::test
