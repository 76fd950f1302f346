// The import commands of the command line: formats, positions, import and export, with their
// messages and exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "support/cli_run.h"
#include "support/program_dir.h"

namespace kapred {
namespace {

using Result = test::CliResult;

class ImportCli : public ::testing::Test {
protected:
    Result run(const std::string& arguments) { return test::runCli(dir, arguments); }

    std::string path(const std::string& name, const std::string& bytes) {
        const auto file = dir.root() / name;
        test::writeBytes(file, bytes);
        return "'" + file.string() + "'";
    }

    void createDeclaration() {
        const Result created =
            run("new --period 2004 --sequence 0 --kind 1 --from 01/01/2004 --to 31/12/2004 --economic-year 1");
        ASSERT_EQ(created.status, 0) << created.err;
    }

    test::ProgramDir dir;
};

TEST_F(ImportCli, AFormatNamedWithAQuoteIsCreatedAndPlaced) {
    Result created = run("format-new --section 3 \"O'Brien\"");
    EXPECT_EQ(created.status, 0) << created.err;
    EXPECT_EQ(created.out, "Formato 6 creado.\n");

    Result again = run("format-new --section 3 \"o'brien\"");
    EXPECT_EQ(again.status, 3);
    EXPECT_EQ(again.err, "Error: El Nombre de Formato especificado ya se encuentra cargado.\n");

    Result overlap = run("format-set \"O'BRIEN\" fFecha=1-12 cImporte=11-25");
    EXPECT_EQ(overlap.status, 3);
    EXPECT_EQ(overlap.err, "Error: El concepto Fecha del anticipo se superpone con Importe del anticipo.\n");

    Result placed = run("format-set \"O'BRIEN\" fFecha=1 cImporte=11-25 --point --json");
    ASSERT_EQ(placed.status, 0) << placed.err;
    const auto grid = nlohmann::json::parse(placed.out);
    EXPECT_EQ(grid["Largo de registro"], 25);
    EXPECT_EQ(grid["Separador decimal"], "punto");
    EXPECT_EQ(grid["Campos"][0]["Hasta"], "10");  // 1 + LongitudP 10 - 1
    EXPECT_EQ(grid["Campos"][1]["Desde"], "11");
}

TEST_F(ImportCli, AFormatNamedWithAQuoteIsRenamedAndDeleted) {
    ASSERT_EQ(run("format-new --section 3 \"O'Brien\"").status, 0);
    Result renamed = run("format-rename \"o'brien\" \"O'Neil\"");
    EXPECT_EQ(renamed.status, 0) << renamed.err;
    Result deleted = run("--yes format-delete \"o'neil\"");
    EXPECT_EQ(deleted.status, 0) << deleted.err;
    EXPECT_NE(deleted.out.find("Advertencia: ¿Confirma la eliminación del Formato de Importación seleccionado?"),
              std::string::npos);

    const auto formats = nlohmann::json::parse(run("formats --section 3 --json").out);
    ASSERT_EQ(formats.size(), 1u);
    EXPECT_EQ(formats[0]["Nombre"], "Estándar Anticipos");
}

TEST_F(ImportCli, StandardFormatsAreRefused) {
    Result standard = run("--yes format-delete 3");
    EXPECT_EQ(standard.status, 3);
    EXPECT_EQ(standard.out, "Información: Los Formatos Estándar no pueden ser eliminados!\n");
    Result renamed = run("format-rename 2 Otro");
    EXPECT_EQ(renamed.status, 3);
    EXPECT_EQ(renamed.out, "Información: Los Formatos Estándar no pueden ser editados!\n");
    Result positions = run("format-set 5 cBienesTierraDelFuego=1-15");
    EXPECT_EQ(positions.status, 3);
    EXPECT_NE(positions.err.find("no se grabó nada"), std::string::npos);
    Result missing = run("format-fields Ninguno");
    EXPECT_EQ(missing.status, 3);
    EXPECT_EQ(missing.err, "Error: No existe el formato Ninguno.\n");
}

TEST_F(ImportCli, ImportTellsTheSummaryAndTheErrorFile) {
    createDeclaration();
    const std::string errors = (dir.home() / "ErroresImportacion.txt").string();
    Result clean = run("import 20040 --format 3 --file " +
                       path("a.txt", "15/01/2005000000001234,50\r\n15/02/2005000000000100,00\r\n"));
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(clean.out,
              "Información: El Proceso ha finalizado correctamente!\n"
              "Información: La Importación ha finalizado correctamente!\n"
              "Importación finalizada.\n"
              "Cantidad de Registros Procesados: 2\n"
              "Cantidad de Registros correctos cargados: 2\n"
              "Cantidad de Registros con errores: 0\n"
              "Archivo de errores: " +
                  errors + "\n");

    Result refused = run("import 20040 --format \"estándar anticipos\" --file " +
                         path("b.txt", "15/03/2005000000000001,00\r\n31/02/2004000000000001,00\r\n"));
    EXPECT_EQ(refused.status, 5) << refused.err;
    EXPECT_NE(refused.out.find("Cantidad de Registros con errores: 1\n"), std::string::npos);
    EXPECT_NE(test::readBytes(errors).find("Error en la línea 2 : El campo 'Fecha' debe ser"), std::string::npos);

    Result export_ = run("export 20040 --format 3 --file '" + (dir.root() / "salida.txt").string() + "'");
    EXPECT_EQ(export_.status, 0) << export_.err;
    EXPECT_EQ(test::readBytes(dir.root() / "salida.txt"),
              "15/01/2005000000001234,50\r\n15/02/2005000000000100,00\r\n15/03/2005000000000001,00\r\n");
}

TEST_F(ImportCli, AFileThatCannotBeImportedEndsWithoutSuccess) {
    createDeclaration();
    Result empty = run("import 20040 --format 3 --file " + path("vacio.txt", ""));
    EXPECT_EQ(empty.status, 3);
    EXPECT_EQ(empty.out, "Información: No existen datos para importar. Verifique el archivo de Importación.\n");

    Result badlyBuilt = run("import 20040 --format 3 --file " + path("largo.txt", std::string(3000, '0')));
    EXPECT_EQ(badlyBuilt.status, 3);
    EXPECT_EQ(badlyBuilt.err, "Error: El Archivo de Importación se encuentra mal confeccionado!\n");
    EXPECT_EQ(badlyBuilt.out, "");

    Result noDeclaration = run("import 20050 --format 3 --file " + path("x.txt", "x\r\n"));
    EXPECT_EQ(noDeclaration.status, 3);
}

}  // namespace
}  // namespace kapred
