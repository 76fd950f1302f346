// The import run beyond cli/cases/import*.test: the shipped samples, every kind of line end, the
// progress, cancellation, an error file that cannot be written or is a planted link, and no
// current declaration.
#include "import/import_engine.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "calc/registry.h"
#include "import/import_fixture.h"
#include "model/liabilities.h"
#include "support/disk_faults.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;
using test::ImportFixture;
using Rows = std::vector<std::vector<std::string>>;
using test::kAdvancesSection;

std::string crlf(std::initializer_list<std::string> lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

class ImportEngine : public ImportFixture {
protected:
    // An import of those lines cancelled as the second line's object is made: the first line is
    // read, the second not.
    ImportResult cancelledAtTheSecondLine(const std::string& name, std::initializer_list<std::string> lines) {
        context().factory.registerBusiness("Anticipos", [this] {
            cancel_ = true;
            return std::make_unique<BAnticipos>(context());
        });
        return importFile(context(), test::kAdvancesFormat, file(name, crlf(lines)), &cancel_);
    }

private:
    std::atomic<bool> cancel_{false};
};

TEST_F(ImportEngine, TheSampleFileOfEachStandardFormatImports) {
    const std::filesystem::path samples = std::filesystem::path(KAPRED_RESOURCES_DIR) / "samples";
    const std::pair<long, const char*> samplesOf[] = {{1, "activo_computable.txt"},
                                                      {2, "pasivo.txt"},
                                                      {3, "anticipos.txt"},
                                                      {4, "pagos_cuenta.txt"},
                                                      {5, "activo_exento.txt"}};
    for (const auto& [format, name] : samplesOf) {
        const auto run = importBytes(format, test::readBytes(samples / name));
        EXPECT_EQ(run.state, ImportRun::State::Finished) << name;
        EXPECT_EQ(run.errors, 0) << name << "\n" << run.errorFile;
    }
    EXPECT_EQ(
        rows("ActivoComputable"),
        (Rows{{"cDineroEfectivoNac=125000,5", "cDineroEfectivoExt=3200", "cDepositosNac=48750,25", "cDepositosExt=0",
               "cCreditosNac=210000", "cCreditosExt=15300,8", "cIntereses=1250", "cTitulosPublicos=0",
               "cParticipacionesCapital=75000", "cBienesCambio=320500", "cBienesAdquiridos=98000",
               "cBienesElaborados=12000", "cBienesEnCurso=0", "cInmueblesNoBienesCambio=450000",
               "cInmueblesActForestales=0", "cBienesInmateriales=5000", "cOtrosBienes=2345,67"}}));
    EXPECT_EQ(rows("Pasivo"), (Rows{{"iCooperativaSegurosCapitalizacion=1", "iCooperativaAseguradoresVida=0",
                                     "cDeudas=180000", "cProvisiones=12500", "cReservasTecnicas=40000",
                                     "cFondosBeneficioSeguroVida=0", "cBeneficios=3750,5"}}));
    EXPECT_EQ(rows("Anticipos"), (Rows{{"ID=1", "fFecha=15/01/2005", "cImporte=1500"},
                                       {"ID=2", "fFecha=15/02/2005", "cImporte=1500"},
                                       {"ID=3", "fFecha=15/03/2005", "cImporte=2250,5"}}));
    EXPECT_EQ(rows("PagosCuenta"),
              (Rows{{"ID=1", "fFecha=30/06/2004", "cImporte=4000"}, {"ID=2", "fFecha=30/09/2004", "cImporte=1000"}}));
    EXPECT_EQ(rows("ActivoExento"),
              (Rows{{"cBienesTierraDelFuego=10000", "cAccionesParticipaciones=25000", "cCuotasSociales=7500"}}));
}

TEST_F(ImportEngine, LineEndsOfEveryKindAndALastLineWithoutOne) {
    importBytes(test::kAdvancesFormat, "15/01/2005000000000001,00\n15/01/2005000000000002,00\n");
    importBytes(test::kAdvancesFormat, "15/01/2005000000000003,00\r15/01/2005000000000004,00\r");
    const auto unended = importBytes(test::kAdvancesFormat, "15/01/2005000000000005,00\r\n15/01/2005000000000006,00");
    EXPECT_EQ(unended.linesRead, 2);
    EXPECT_EQ(unended.errors, 0);
    Rows expected;
    for (int i = 1; i <= 6; ++i) {
        expected.push_back({"ID=" + std::to_string(i), "fFecha=15/01/2005", "cImporte=" + std::to_string(i)});
    }
    EXPECT_EQ(rows("Anticipos"), expected);
}

TEST_F(ImportEngine, TheProgressFollowsTheLinesReadAgainstTheEstimate) {
    // 9 records of 40 characters plus CR LF: 378 bytes, 9 lines estimated. The columns between
    // the two fields are not read.
    const long format = advancesFormat("Cuarenta", "1", "10", "26", "40");
    std::string bytes;
    for (int i = 1; i <= 9; ++i) {
        bytes += "15/01/2005" + std::string(15, 'x') + "00000000000" + std::to_string(i) + ",00\r\n";
    }
    ASSERT_EQ(bytes.size(), 378u);
    ImportRun run(context());
    const auto result = importBytes(format, bytes, &run);
    EXPECT_EQ(run.estimatedLines(), 9);
    EXPECT_EQ(result.errors, 0);
    EXPECT_EQ(rows("Anticipos").size(), 9u);
    EXPECT_EQ(program.ui.progress, (std::vector<double>{100, 0}));
    EXPECT_EQ(program.ui.messages(), std::vector<std::string>{"Información: El Proceso ha finalizado correctamente!"});

    // 20 records of 25: 540 bytes / 25 = 21,6, 22 lines estimated; line k shows k x 100 / 22.
    std::string longer;
    for (int i = 1; i <= 20; ++i) {
        longer += crlf({"15/01/2005000000000001,00"});
    }
    program.ui.progress.clear();
    ImportRun second(context());
    importBytes(test::kAdvancesFormat, longer, &second);
    EXPECT_EQ(second.estimatedLines(), 22);
    EXPECT_EQ(program.ui.progress, (std::vector<double>{5,  9,  14, 18, 23, 27, 32, 36, 41, 45,  50,
                                                        55, 59, 64, 68, 73, 77, 82, 86, 91, 100, 0}));
    EXPECT_EQ(roundedQuotient(378, 40), 9u);
    EXPECT_EQ(roundedQuotient(50, 20), 2u);
    EXPECT_EQ(roundedQuotient(70, 20), 4u);
    EXPECT_EQ(roundedQuotient(10, 20), 0u);
}

// Advances on which Cancel is pressed while the fifth line is being validated.
class CancellingAdvances : public BAnticipos {
public:
    CancellingAdvances(Context& context, ImportRun& run, int& lines) : BAnticipos(context), run_(run), lines_(lines) {}
    int iValidateBusinessRules() override {
        if (++lines_ == 5) {
            run_.cancel();
        }
        return BAnticipos::iValidateBusinessRules();
    }

private:
    ImportRun& run_;
    int& lines_;
};

TEST_F(ImportEngine, CancellingAfterLineFiveKeepsTheRowsSavedAndWritesNoSummary) {
    ImportRun run(context());
    int lines = 0;
    context().factory.registerBusiness("Anticipos",
                                       [&] { return std::make_unique<CancellingAdvances>(context(), run, lines); });
    std::string bytes = crlf({"15/01/2005000000000001,00", "15/01/2005000000000abc,00"});
    for (int i = 3; i <= 20; ++i) {
        bytes += crlf({"15/01/2005000000000" + std::to_string(100 + i) + ",00"});
    }
    run.setBatchSize(3);
    const auto result = importBytes(test::kAdvancesFormat, bytes, &run);
    EXPECT_FALSE(result.result);
    EXPECT_EQ(result.state, ImportRun::State::Cancelled);
    EXPECT_EQ(lines, 5);
    // Lines 1, 3, 4 and 5 were stored; the second was refused and logged; no summary follows.
    EXPECT_EQ(rows("Anticipos"), (Rows{{"ID=1", "fFecha=15/01/2005", "cImporte=1"},
                                       {"ID=2", "fFecha=15/01/2005", "cImporte=103"},
                                       {"ID=3", "fFecha=15/01/2005", "cImporte=104"},
                                       {"ID=4", "fFecha=15/01/2005", "cImporte=105"}}));
    EXPECT_EQ(
        result.errorFile,
        "Error en la línea 2 : El campo 'Importe' debe ser : \"Numérico\". Intento de ingreso :000000000abc,00\n");
    EXPECT_EQ(program.ui.messages(), std::vector<std::string>{});
}

TEST_F(ImportEngine, ACancelledImportIsToldAsSuch) {
    const auto stopped =
        cancelledAtTheSecondLine("corto.txt", {"15/01/2005000000000001,00", "15/01/2005000000000002,00"});
    tell(program.ui, stopped);
    EXPECT_EQ(stopped.outcome, ImportOutcome::Cancelled);
    EXPECT_EQ(stopped.linesRead, 1);
    // The first line stayed; the user keeps it.
    ASSERT_EQ(program.ui.asked.size(), 1u);
    EXPECT_EQ(program.ui.asked[0].text,
              "La Importación ha sido cancelada por el Usuario. Quedaron guardadas en la "
              "declaración 1 fila del archivo.\n¿Desea eliminar las filas guardadas por "
              "esta importación?");
    EXPECT_EQ(program.ui.messages(), std::vector<std::string>{});
    EXPECT_EQ(stopped.stored(), 1);
}

TEST_F(ImportEngine, TheErrorFileIsShownBeforeTheEndIsToldUnlessTheRunWasCancelled) {
    std::vector<std::filesystem::path> shownFiles;
    std::vector<std::vector<std::string>> toldBefore;  // the messages already shown at that moment
    const ErrorFileShown show = [&](const std::filesystem::path& errors) {
        shownFiles.push_back(errors);
        toldBefore.push_back(program.ui.messages());
    };
    tell(program.ui,
         importFile(context(), test::kAdvancesFormat, file("limpio.txt", crlf({"15/01/2005000000000001,00"}))), show);
    EXPECT_TRUE(shownFiles.empty());

    program.ui.shown.clear();
    tell(program.ui,
         importFile(context(), test::kAdvancesFormat,
                    file("con_error.txt", crlf({"15/01/2005000000000001,00", "15/01/2005000000000abc,00"}))),
         show);
    ASSERT_EQ(shownFiles.size(), 1u);
    EXPECT_EQ(shownFiles[0], context().appPath / "ErroresImportacion.txt");
    EXPECT_EQ(toldBefore[0], std::vector<std::string>{});
    EXPECT_EQ(program.ui.messages(), std::vector<std::string>{"Información: La Importación ha finalizado con errores!\n"
                                                              "Cantidad de Registros Procesados: 2\n"
                                                              "Cantidad de Registros correctos cargados: 1\n"
                                                              "Cantidad de Registros con errores: 1"});

    // The first line is refused and the run is cancelled at the second.
    const auto stopped =
        cancelledAtTheSecondLine("cancelado.txt", {"15/01/2005000000000abc,00", "15/01/2005000000000002,00"});
    tell(program.ui, stopped, show);
    EXPECT_EQ(stopped.outcome, ImportOutcome::Cancelled);
    EXPECT_EQ(stopped.errors, 1);
    EXPECT_EQ(shownFiles.size(), 1u);
}

TEST_F(ImportEngine, AnErrorFileThatCannotBeWrittenIsToldWithWhy) {
    ImportRun run(context());
    run.LimpiarImportacion();
    run.formatId = test::kAdvancesFormat;
    run.importCode = kAdvancesSection;
    run.inputPath = file("a.txt", crlf({"15/01/2005000000000abc,00"}));
    run.errorFileName = kImportErrorFile;
    {
        const test::FileSizeLimit limit(16);
        EXPECT_TRUE(run.ImportarArchivo());
    }
    tell(program.ui, run.outcome());
    EXPECT_EQ(run.errors(), 1);
    EXPECT_EQ(
        program.ui.messages(),
        std::vector<std::string>{"Error: No se pudo escribir el archivo de errores " + run.errorFilePath().string() +
                                 ": el archivo superó el tamaño permitido; lo que contiene está incompleto."});
}

// The error file holds the user's values: it is the user's alone, and a link planted at its name
// (to a file or to nothing) is replaced, never followed.
TEST_F(ImportEngine, TheErrorFileIsTheUsersAloneAndFollowsNoLink) {
    const auto errorFile = context().appPath / kImportErrorFile;
    const auto elsewhere = files / "ajeno.txt";
    const mode_t mask = ::umask(022);
    for (const bool dangling : {false, true}) {
        SCOPED_TRACE(dangling ? "enlace a nada" : "enlace a un archivo");
        std::error_code ignored;
        fs::remove(elsewhere, ignored);
        fs::remove(errorFile, ignored);
        if (!dangling) {
            test::writeBytes(elsewhere, "intacto");
        }
        fs::create_symlink(elsewhere, errorFile);
        EXPECT_EQ(importBytes(test::kAdvancesFormat, crlf({"15/01/2005000000000abc,00"})).errors, 1);
        EXPECT_FALSE(fs::is_symlink(errorFile));
        EXPECT_EQ(fs::status(errorFile).permissions(), fs::perms::owner_read | fs::perms::owner_write);
        if (dangling) {
            EXPECT_FALSE(fs::exists(fs::symlink_status(elsewhere)));
        } else {
            EXPECT_EQ(test::readBytes(elsewhere), "intacto");
        }
    }
    ::umask(mask);
}

TEST_F(ImportEngine, AFormatNamedWithBytesThatAreNoCharactersIsRefused) {
    EXPECT_FALSE(createFormat(context(), test::kAdvancesSection, "Mi \xFF formato"));
    EXPECT_EQ(program.ui.messages(), std::vector<std::string>{std::string("Error: ") + kInvalidFormatName});
}

TEST_F(ImportEngine, NothingIsImportedWithoutADeclaration) {
    program.makeCurrent(std::make_shared<BDDJJ>(context()));
    const auto result =
        importFile(context(), test::kAdvancesFormat, file("a.txt", crlf({"15/01/2005000000000001,00"})));
    tell(program.ui, result);
    EXPECT_EQ(result.outcome, ImportOutcome::Failed);
    EXPECT_EQ(program.countRows("Anticipos"), 0);
    EXPECT_EQ(program.ui.messages(), std::vector<std::string>{"Error: No hay una Declaración Jurada seleccionada."});
}

}  // namespace
}  // namespace kapred
