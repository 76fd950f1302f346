// A program started on a fresh home with the scripted dialogs, for window tests; the 2004
// original declaration is added and made current as the declarations window does.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/startup.h"
#include "calc/registry.h"
#include "model/declaration.h"
#include "scripted_qt_ui.h"
#include "support/header_input.h"
#include "support/program_dir.h"

namespace kapred::test {

class StartedProgram : public ::testing::Test {
protected:
    StartedProgram() : context(dir.home(), "20-12345678-9", ui) {
        Main(context, quiet);
        registerBusinessObjects(context);
    }

    void addDeclaration(const HeaderInput& input = {}) {
        auto header = std::make_shared<BDDJJ>(context);
        ASSERT_EQ(header->Aceptar(EntryMode::Adding, typedHeader(input)), 0);
        context.currentDeclaration = header;
    }

    ProgramDir dir;
    ScriptedQtUi ui;
    Context context;
    StartupObserver quiet;
};

}  // namespace kapred::test
