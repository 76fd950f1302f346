// The command line's generate and clean: exit codes, messages and the file at the destination.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "generation/agency_interface.h"
#include "generation_fixture.h"
#include "support/cli_run.h"
#include "support/program_dir.h"
#include "support/sealed_box.h"
#include "support/temp_dir.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;
using test::filesIn;
using test::linesOf;
using test::readBytes;

using Result = test::CliResult;

constexpr const char* kGenerated = "El Archivo correspondiente al F.369 ha sido generado correctamente!";

class GenerateCli : public ::testing::Test {
protected:
    Result run(const std::string& arguments) { return test::runCli(dir, arguments); }

    // A 2004 regular original without any amount.
    void createDeclaration() {
        const Result created =
            run("new --period 2004 --sequence 0 --kind 1 --from 01/01/2004 --to 31/12/2004 "
                "--economic-year 1");
        ASSERT_EQ(created.status, 0) << created.err;
    }

    std::string generate(const std::string& more = {}) {
        return "generate 20040 --dest '" + destination.path().string() + "'" + more;
    }

    std::vector<std::string> delivered() { return filesIn(destination.path()); }

    test::ProgramDir dir;
    test::TempDir destination;
};

TEST_F(GenerateCli, DeliversTheEncryptedFileAndKeepsTheReadableOne) {
    createDeclaration();
    const fs::path plain = destination / "legible.txt";
    const Result result = run(generate(" --keep-plain '" + plain.string() + "'"));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find(std::string("Información!: ") + kGenerated + "\n"), std::string::npos) << result.out;

    // The declaration's verification number names the file and is in record 01.
    const auto names = delivered();
    ASSERT_EQ(names.size(), 2u);
    const std::string encrypted = names[0];
    ASSERT_EQ(encrypted.size(), 15u) << encrypted;
    EXPECT_EQ(encrypted.substr(6), "F0369.B64");
    EXPECT_NE(result.out.find("Archivo: " + (destination / encrypted).string() + "\n"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("Registros: 68\n"), std::string::npos) << result.out;

    const std::string text = readBytes(plain);
    const auto lines = linesOf(text);
    ASSERT_EQ(lines.size(), 69u);
    EXPECT_EQ(lines[0], "HEAD10 01 01 000068");
    EXPECT_EQ(lines[1].substr(29, 6), encrypted.substr(0, 6));
    EXPECT_EQ(lines[67].substr(0, 2), "91");  // the demo taxpayer's fiscal address
    EXPECT_EQ(test::openEncryptedFile(destination / encrypted, dir.systemDir()), text);
}

TEST_F(GenerateCli, DestinationAndLibraryAreCheckedFirst) {
    createDeclaration();
    Result result = run("generate 20040");
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find(" Inconsistencias al Generar la Declaración Jurada\n  Debe "
                              "seleccionar el Destino de la "
                              "Presentación\n"),
              std::string::npos)
        << result.err;

    result = run("generate 20040 --dest '" + (destination / "no-existe").string() + "'");
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("no existe"), std::string::npos) << result.err;

    fs::remove(dir.systemDir() / agency::kEncryptionLibrary);
    result = run(generate());
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("Inconsistencia en la Generación de la DJ\n  Uno de los componentes requeridos para "
                              "este proceso no se encuentra instalado en su Sistema. Por favor, reinstale el "
                              "Aplicativo.\n"),
              std::string::npos)
        << result.err;
    EXPECT_TRUE(delivered().empty());
    EXPECT_EQ(result.out.find(kGenerated), std::string::npos);
}

TEST_F(GenerateCli, ReplacingIsAnsweredByTheFlags) {
    createDeclaration();
    ASSERT_EQ(run(generate()).status, 0);
    const auto names = delivered();
    ASSERT_EQ(names.size(), 1u);
    const fs::path file = destination / names[0];
    test::writeBytes(file, "la de ayer");

    Result result = run(generate(" --no"));
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.out.find("El Archivo ya existe. Reemplazar en el Destino. ¿Desea reemplazarlo?"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.err.find("no se reemplazó"), std::string::npos) << result.err;
    EXPECT_EQ(readBytes(file), "la de ayer");
    EXPECT_EQ(delivered(), names);

    result = run(generate(" --yes"));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find(kGenerated), std::string::npos);
    const auto opened = test::openEncryptedFile(file, dir.systemDir());
    ASSERT_TRUE(opened.has_value());
    EXPECT_EQ(opened->substr(0, 20), "HEAD10 01 01 000068\n");
    EXPECT_EQ(delivered(), names);
}

TEST_F(GenerateCli, CleanRemovesTheIntermediateFiles) {
    createDeclaration();
    ASSERT_EQ(run(generate()).status, 0);
    const fs::path windows = dir.home() / "windows";
    const std::string number = delivered()[0].substr(0, 6);
    EXPECT_EQ(filesIn(windows),
              (std::vector<std::string>{number + "F0369.B64", number + "F0369.txt", "TP" + number + ".CIG"}));
    const Result result = run("clean");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(filesIn(windows), std::vector<std::string>{number + "F0369.txt"});
    EXPECT_EQ(delivered().size(), 1u);

    EXPECT_EQ(run("generate 20050 --dest '" + destination.path().string() + "'").status, 3);
}

}  // namespace
}  // namespace kapred
