// A failure raised under a window's command is told to the user, and the window goes on working.
#include <gtest/gtest.h>

#include <QPushButton>

#include <functional>
#include <stdexcept>
#include <utility>

#include "app/startup.h"
#include "calc/registry.h"
#include "data/values/error.h"
#include "model/declaration.h"
#include "scripted_qt_ui.h"
#include "support/header_input.h"
#include "support/program_dir.h"
#include "ui/declarations_window.h"

namespace kapred {
namespace {

// The scripted dialogs, where the next question raises what `raise` raises instead of being answered.
class RaisingUi : public test::ScriptedQtUi {
public:
    bool askYesNo(MessageIcon icon, const std::string& title, const std::string& text) override {
        if (raise) {
            std::exchange(raise, {})();
        }
        return ScriptedQtUi::askYesNo(icon, title, text);
    }
    std::function<void()> raise;
};

class SlotFailures : public ::testing::Test {
protected:
    SlotFailures() : context(dir.home(), "20-12345678-9", dialogs) {
        Main(context, quiet);
        registerBusinessObjects(context);
    }

    test::ProgramDir dir;
    RaisingUi dialogs;
    Context context;
    StartupObserver quiet;
};

TEST_F(SlotFailures, AFailedCommandIsToldAndTheWindowGoesOn) {
    EXPECT_EQ(std::make_shared<BDDJJ>(context)->Aceptar(EntryMode::Adding, test::typedHeader()), 0);
    ui::frmDDJJ window(context, dialogs);
    window.InicializeObjects();
    auto* remove = window.findChild<QPushButton*>(QStringLiteral("cmdDelete"));
    ASSERT_NE(remove, nullptr);

    dialogs.raise = [] { throw Error(err::kLocked, "DDJJ", "La base de datos está bloqueada."); };
    remove->click();
    dialogs.raise = [] { throw std::runtime_error("sin conexión"); };
    remove->click();
    EXPECT_EQ(dialogs.script.messages(),
              (std::vector<std::string>{"Error: No se pudo completar la operación: La base de datos está bloqueada.",
                                        "Error: No se pudo completar la operación: sin conexión"}));
    EXPECT_EQ(window.declarationCount(), 1);

    dialogs.script.answers = {true};
    remove->click();
    EXPECT_EQ(window.declarationCount(), 0);
}

}  // namespace
}  // namespace kapred
