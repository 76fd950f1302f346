// A program started on a fresh home with the scripted dialogs, for window tests; the 2004
// original declaration is added and made current as the declarations window does.
#pragma once

#include <gtest/gtest.h>

#include <QWidget>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "app/startup.h"
#include "calc/registry.h"
#include "model/declaration.h"
#include "scripted_qt_ui.h"
#include "support/header_input.h"
#include "support/program_dir.h"

namespace kapred::test {

// The window's child of that name; a test that looks for a missing one fails.
template <typename Control>
Control* control(QWidget& in, const char* name) {
    auto* found = in.findChild<Control*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// The names of the files in a folder, sorted.
inline std::vector<std::string> namesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

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
    WatchedUi ui;
    Context context;
    StartupObserver quiet;
};

}  // namespace kapred::test
