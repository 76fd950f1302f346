#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "generation/agency_interface.h"
#include "generation/directories.h"
#include "generation/generator.h"
#include "host/orel.h"
#include "model/assets.h"
#include "model/liabilities.h"
#include "support/opened_program.h"
#include "support/scoped_env.h"
#include "support/sealed_box.h"
#include "support/temp_dir.h"

namespace kapred::test {

namespace fs = std::filesystem;

// The events of a generation, as the generate dialog would receive them.
struct RecordedEvents : GenerationEvents {
    void Progreso(double percent, long step, long stepCount) override {
        progress.push_back(percent);
        steps.push_back(step);
        totals.push_back(stepCount);
    }
    void ProgresoCopia(double percent) override { copy.push_back(percent); }
    void EstadoEncriptacion(const std::string& state) override { encryption.push_back(state); }

    std::vector<double> progress;
    std::vector<long> steps;
    std::vector<long> totals;
    std::vector<double> copy;
    std::vector<std::string> encryption;
};

inline const fs::path& generationDataDir() {
    static const fs::path dir = fs::path(KAPRED_RESOURCES_DIR) / ".." / "tests" / "generation" / "data";
    return dir;
}

inline std::vector<std::string> filesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// An opened program whose agency libraries and work folder are those of its own installation,
// with a destination folder for the delivered file.
class Generation : public ::testing::Test {
protected:
    Generation() { events = std::make_unique<RecordedEvents>(); }

    // A generator as the generate dialog keeps one, without the pause before the temporary file.
    std::unique_ptr<BGenerarDJs> newGenerator(const fs::path& folder) {
        auto generator = std::make_unique<BGenerarDJs>(program.context, events.get());
        generator->openingPause = std::chrono::milliseconds(0);
        generator->Destino = folder.string();
        return generator;
    }

    // Reads the host's activity of the taxpayer, as the declarations window does when it shows
    // a declaration; this stores the host number the address record is read by.
    void showTaxpayer() { BOrel(program.context).ObtenerActividadContribuyente(Cuit(program.context.cuit())); }

    fs::path windowsDir() const { return program.dir.home() / "windows"; }

    std::optional<std::string> decrypted(const fs::path& file) const {
        return openEncryptedFile(file, program.dir.systemDir());
    }

    // Everything the user was told, for the message of a failed expectation.
    std::string told() const {
        std::string text;
        for (const auto& listed : program.ui.inconsistencies) {
            text += listed.title + ": " + ::testing::PrintToString(listed.lines) + "\n";
        }
        return text + ::testing::PrintToString(program.ui.messages());
    }

    ScopedEnv noWindowsOverride{agency::kWindowsDirectoryVariable, std::nullopt};
    ScopedEnv noSystemOverride{agency::kSystemDirectoryVariable, std::nullopt};
    OpenedProgram program;
    TempDir destination;
    std::unique_ptr<RecordedEvents> events;
};

}  // namespace kapred::test
