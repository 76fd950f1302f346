#pragma once

#include <functional>

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

// The scripted interface, with a look at the windows at the moment a message is shown.
class WatchedUi : public ScriptedQtUi {
public:
    void showMessage(MessageIcon icon, const std::string& title, const std::string& text) override {
        if (onMessage) {
            onMessage();
        }
        ScriptedQtUi::showMessage(icon, title, text);
    }
    std::function<void()> onMessage;
};

}  // namespace kapred::test
