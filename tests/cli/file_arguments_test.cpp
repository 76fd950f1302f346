// What the command line tells when the file it is given cannot be what it expects, and what it
// prints before a failure.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "data/app_database.h"
#include "data/engine/database.h"
#include "support/cli_run.h"
#include "support/program_dir.h"
#include "support/scripted_ui.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;

// A folder, a device or a pipe where a file is expected is named as what it is, never as a
// missing file, and nothing waits on the pipe.
TEST(FileArguments, AFolderADeviceOrAPipeIsToldAsSuch) {
    test::ProgramDir dir;
    ASSERT_EQ(test::runCli(dir, test::kNewOriginal2004).status, 0);
    const fs::path pipe = dir.root() / "tuberia";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::pair<fs::path, std::string> given[] = {{dir.root(), "es una carpeta, no un archivo"},
                                                      {"/dev/null", "es un dispositivo, no un archivo"},
                                                      {pipe, "es una tubería, no un archivo"}};
    for (const auto& [path, why] : given) {
        const std::pair<std::string, std::string> commands[] = {
            {"import 20040 --format 3 --file " + path.string(),
             "No se puede importar " + path.string() + ": " + why + "."},
            {"restore " + path.string(),
             "No se puede restaurar " + path.string() + ": " + why + ". No se modificó ningún dato."},
            {"inspect " + path.string(), "No se puede inspeccionar " + path.string() + ": " + why + "."}};
        for (const auto& [arguments, expected] : commands) {
            const auto result = test::runCli(dir, arguments);
            EXPECT_NE(result.status, 0) << arguments;
            EXPECT_NE(result.err.find(expected), std::string::npos) << arguments << "\n" << result.err;
        }
    }
}

// The count of the rows to delete is printed only once known: a failure to read them is told on
// a line of its own.
TEST(FileArguments, AFailureToCountTheRowsToDeleteIsToldOnALineOfItsOwn) {
    test::ProgramDir dir;
    ASSERT_EQ(test::runCli(dir, test::kNewOriginal2004).status, 0);
    ASSERT_EQ(test::runCli(dir, "add-row 20040 Anticipos fFecha=15/01/2005 cImporte=3.000").status, 0);
    {
        db::Engine engine;
        test::ScriptedUi ui;
        OpenAppDatabase(engine, ui, dir.appDatabase(), true, kConnect)
            ->execute("ALTER TABLE Anticipos RENAME COLUMN cImporte TO cOtro");
    }
    const auto result = test::runCli(dir, "delete-all 20040 Anticipos --yes");
    EXPECT_NE(result.status, 0);
    EXPECT_TRUE(result.err.starts_with("Error: ")) << result.err;
    EXPECT_EQ(result.err.find("Se eliminarán"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace kapred
