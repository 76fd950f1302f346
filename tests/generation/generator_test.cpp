// The whole generation: the file against one written by hand from the record tables, its
// encryption and delivery, and every way it can fail without costing the user a file. What the
// command line tells of it is in cli/cases/generate.test.
#include "generation/generator.h"

#include <gtest/gtest.h>

#include "generation/delivery.h"
#include "generation/verification_number.h"
#include "generation_fixture.h"
#include "model/declaration_ops.h"
#include "support/disk_faults.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;
using test::FailingSync;
using test::filesIn;
using test::FileSizeLimit;
using test::linesOf;
using test::readBytes;
using test::writeBytes;

// The hand-written file of the declaration below (tests/generation/data/declaracion_20040.txt),
// with the version of the running program in record 01: the file was written for 1.0.0.
std::string expectedFile() {
    std::string bytes = readBytes(test::generationDataDir() / "declaracion_20040.txt");
    char version[16];
    std::snprintf(version, sizeof version, "%02d%02d%03d", KAPRED_VERSION_MINOR, KAPRED_VERSION_MAJOR,
                  KAPRED_VERSION_PATCH);
    bytes.replace(bytes.find('\n') + 1 + 50, 7, version);
    return bytes;
}

class Generator : public test::Generation {
protected:
    // 2004, regular, original, stamped 10:20:30. Computable assets 810.000 (cash 150.000 and
    // 10.000, deposits 200.000, receivables 40.000 and 5.000, interest 1.234,50, inventory
    // 80.000, acquired goods 20.000, real estate 300.000, others 3.765,50), exempt 90.000,
    // non-computable 100.000; liabilities 200.000 of a capitalisation-insurance cooperative;
    // deductions 40.000; previous balance 1.160 of 2003; one advance of 3.000 on 15/02/2005; no
    // payment on account; the taxpayer's fiscal address in the host. Liabilities at close
    // 810.000 × 200.000 ÷ 1.000.000 = 162.000, capital 608.000, contribution 2 % = 12.160,
    // to pay 12.160 - 1.160 - 3.000 = 8.000.
    void buildHandMadeDeclaration() {
        program.createDeclaration();
        program.setSection<BActivoComputable>({{"cDineroEfectivoNac", Variant("150.000")},
                                               {"cDineroEfectivoExt", Variant("10.000")},
                                               {"cDepositosNac", Variant("200.000")},
                                               {"cCreditosNac", Variant("40.000")},
                                               {"cCreditosExt", Variant("5.000")},
                                               {"cIntereses", Variant("1.234,5")},
                                               {"cBienesCambio", Variant("80.000")},
                                               {"cBienesAdquiridos", Variant("20.000")},
                                               {"cInmueblesNoBienesCambio", Variant("300.000")},
                                               {"cOtrosBienes", Variant("3.765,50")}});
        program.setSection<BActivoExento>(
            {{"cAccionesParticipaciones", Variant("50.000")}, {"cCuotasSociales", Variant("40.000")}});
        program.setSection<BActivoNoComputable>({{"cBienesExterior", Variant("100.000")}});
        program.setSection<BPasivo>({{"iCooperativaSegurosCapitalizacion", Variant("1")},
                                     {"cDeudas", Variant("150.000")},
                                     {"cProvisiones", Variant("30.000")},
                                     {"cBeneficios", Variant("20.000")}});
        program.setSection<BLiqDeduccionesAlCapital>({{"cReembolsoGastos", Variant("10.000")},
                                                      {"cGratificacioneAlPersonal", Variant("5.000")},
                                                      {"cRetornoExcedente", Variant("25.000")}});
        program.setSection<BSaldoFavorPeriodoAnt>({{"lPeriodo", Variant("2003")}, {"cImporte", Variant("1.160")}});
        program.addRow<BAnticipos>("15/02/2005", "3.000");
        showTaxpayer();
    }

    fs::path delivered(const fs::path& folder) const { return folder / "035132F0369.B64"; }

    // The one list of the generation, which must be the only thing told.
    std::vector<std::string> listed() const {
        EXPECT_EQ(program.ui.inconsistencies.size(), 1u) << told();
        EXPECT_TRUE(program.ui.shown.empty()) << told();
        return program.ui.inconsistencies.empty() ? std::vector<std::string>{} : program.ui.inconsistencies[0].lines;
    }
};

TEST_F(Generator, HandMadeDeclarationGivesTheHandWrittenFile) {
    buildHandMadeDeclaration();
    test::TempDir plain;
    auto generator = newGenerator(destination.path());
    generator->plainCopy = (plain / "presentado.txt").string();
    ASSERT_EQ(generator->GenerarDJs(), GenerationOutcome::Delivered) << told();

    const std::string expected = expectedFile();
    EXPECT_EQ(generator->recordCount(), 69);
    EXPECT_EQ(generator->temporaryFile(), (windowsDir() / "TP035132.CIG").string());
    // The records, the file handed to the encryption and what the agency decrypts.
    EXPECT_EQ(readBytes(generator->temporaryFile()), expected.substr(expected.find('\n') + 1));
    EXPECT_EQ(readBytes(plain / "presentado.txt"), expected);
    EXPECT_EQ(readBytes(windowsDir() / "035132F0369.txt"), expected);
    EXPECT_EQ(decrypted(delivered(destination.path())), expected);
    EXPECT_EQ(filesIn(destination.path()), std::vector<std::string>{"035132F0369.B64"});
    // The header file is gone once encrypted; the encrypted file stays until the clean-up.
    EXPECT_FALSE(fs::exists(windowsDir() / "TP035132.cab"));
    EXPECT_EQ(readBytes(windowsDir() / "035132F0369.B64"), readBytes(delivered(destination.path())));
    EXPECT_TRUE(program.ui.inconsistencies.empty());
    // The message names the delivered file.
    EXPECT_EQ(
        program.ui.messages("Información!"),
        std::vector<std::string>{"El Archivo correspondiente al F.369 ha sido generado correctamente!\nArchivo: " +
                                 (destination.path() / "035132F0369.B64").string()});
}

TEST_F(Generator, TheHeaderCountsTheRecordsThatFollowAndNoLineHasACarriageReturn) {
    program.createDeclaration();
    test::TempDir plain;
    auto generator = newGenerator(destination.path());
    generator->plainCopy = (plain / "plano.txt").string();
    ASSERT_EQ(generator->GenerarDJs(), GenerationOutcome::Delivered);
    // Without the address (the taxpayer was not shown) and without payments: 67 records.
    EXPECT_EQ(linesOf(readBytes(plain / "plano.txt")).front(), "HEAD10 01 01 000067");
    EXPECT_EQ(readBytes(plain / "plano.txt").find('\r'), std::string::npos);

    program.addRow<BPagosCuenta>("30/06/2004", "100");
    program.addRow<BPagosCuenta>("31/12/2004", "200");
    showTaxpayer();
    generator = newGenerator(plain.path());
    generator->plainCopy = (plain / "plano.txt").string();
    program.ui.answers = {true};
    ASSERT_EQ(generator->GenerarDJs(), GenerationOutcome::Delivered) << told();
    EXPECT_EQ(linesOf(readBytes(plain / "plano.txt")).front(), "HEAD10 01 01 000070");
}

TEST_F(Generator, ProgressOfTheRecordsTheEncryptionAndTheCopy) {
    buildHandMadeDeclaration();
    ASSERT_EQ(newGenerator(destination.path())->GenerarDJs(), GenerationOutcome::Delivered);
    const std::vector<double> percents{100.0 / 12, 200.0 / 12, 25,         400.0 / 12, 500.0 / 12,
                                       50,         700.0 / 12, 800.0 / 12, 100};
    ASSERT_EQ(events->progress.size(), percents.size());
    for (std::size_t i = 0; i < percents.size(); ++i) {
        EXPECT_NEAR(events->progress[i], percents[i], 1e-9) << i;
    }
    EXPECT_EQ(events->steps, (std::vector<long>{1, 2, 3, 4, 5, 6, 7, 8, 12}));
    EXPECT_EQ(events->totals, std::vector<long>(9, 12));
    EXPECT_EQ(program.ui.progress, events->progress);
    EXPECT_EQ(events->encryption, (std::vector<std::string>{"Generación de Archivo: Trabajando...",
                                                            "Generación de Archivo: Terminado..."}));
    // One event per block of 1024 bytes, the last at 100, then 0 once the success was told.
    const auto size = fs::file_size(delivered(destination.path()));
    ASSERT_EQ(events->copy.size(), (size + 1023) / 1024 + 1);
    EXPECT_EQ(events->copy[events->copy.size() - 2], 100);
    EXPECT_EQ(events->copy.back(), 0);
}

// A long list moves the progress within its step: 10.000 advances, told after 4.096 and 8.192 rows
// between the payments' step (4 of 12) and the advances' (5 of 12).
TEST_F(Generator, ALongListTellsItsProgressWithinItsStep) {
    buildHandMadeDeclaration();
    db::Transaction rows(*program.context.g_dbAplicativo);
    for (int id = 2; id <= 10000; ++id) {
        program.context.g_dbAplicativo->execute(
            "INSERT INTO Anticipos (CUIT, CodDJ, ID, fFecha, cImporte) VALUES "
            "(20123456789, 20040, " +
            std::to_string(id) + ", '2005-03-01', CCur(1))");
    }
    rows.commit();
    ASSERT_EQ(newGenerator(destination.path())->GenerarDJs(), GenerationOutcome::Delivered) << told();
    const std::vector<double> percents{
        100.0 / 12, 200.0 / 12, 25, 400.0 / 12, (4 + 0.4096) * 100 / 12, (4 + 0.8192) * 100 / 12, 500.0 / 12, 50};
    ASSERT_GE(events->progress.size(), percents.size());
    for (std::size_t i = 0; i < percents.size(); ++i) {
        EXPECT_NEAR(events->progress[i], percents[i], 1e-9) << i;
    }
    EXPECT_EQ(std::vector<long>(events->steps.begin(), events->steps.begin() + 7),
              (std::vector<long>{1, 2, 3, 4, 4, 4, 5}));
}

TEST_F(Generator, TheSameDeclarationGivesTheSameFileAndASecondOkOnlyCopiesIt) {
    buildHandMadeDeclaration();
    EXPECT_EQ(CalcularNumeroMagico(program.context), "035132");
    auto generator = newGenerator(destination.path());
    ASSERT_EQ(generator->GenerarDJs(), GenerationOutcome::Delivered);
    const std::string records = readBytes(generator->temporaryFile());
    test::TempDir other;
    ASSERT_EQ(newGenerator(other.path())->GenerarDJs(), GenerationOutcome::Delivered);
    EXPECT_EQ(readBytes(generator->temporaryFile()), records);
    EXPECT_EQ(decrypted(delivered(other.path())), decrypted(delivered(destination.path())));

    // Nothing is generated or encrypted again: every encryption gives other bytes.
    fs::remove(generator->temporaryFile());
    const auto progressSoFar = events->progress.size();
    test::TempDir third;
    generator->Destino = third.path().string();
    ASSERT_EQ(generator->GenerarDJs(), GenerationOutcome::Delivered);
    EXPECT_FALSE(fs::exists(generator->temporaryFile()));
    EXPECT_EQ(events->progress.size(), progressSoFar);
    EXPECT_EQ(readBytes(delivered(third.path())), readBytes(delivered(other.path())));
}

TEST_F(Generator, AWrongRecordLengthStopsWithTheMessageOfItsRecordType) {
    buildHandMadeDeclaration();
    program.context.g_dbAplicativo->execute("UPDATE ActivoComputable SET cOtrosBienes = CCur(10000000000000)");
    auto generator = newGenerator(destination.path());
    EXPECT_EQ(generator->GenerarDJs(), GenerationOutcome::NotGenerated);
    const std::vector<std::string> message04{
        "El largo del registro Número 04 es incorrecto. Este error se puede producir porque algún de los importes "
        "del registro supera el largo permitido."};
    EXPECT_EQ(listed(), message04);
    EXPECT_EQ(program.ui.inconsistencies[0].title, "Inconsistencias en la Generación de la DJ!");
    EXPECT_EQ(generator->generationInconsistencies(), message04);
    EXPECT_EQ(events->steps, (std::vector<long>{1, 2}));
    // Nothing encrypted, nothing delivered; only the temporary file stays.
    EXPECT_TRUE(filesIn(destination.path()).empty());
    EXPECT_TRUE(events->encryption.empty());
    for (const auto& name : filesIn(windowsDir())) {
        EXPECT_TRUE(name.starts_with("TP")) << name;
    }

    // A record 02 too long stops right after record 01.
    program.context.g_dbAplicativo->execute("UPDATE DDJJ SET iEjercicioEconomico = 100");
    ASSERT_TRUE(loadDeclaration(program.context, Variant(std::int32_t{20040})));
    program.ui.inconsistencies.clear();
    events->steps.clear();
    generator = newGenerator(destination.path());
    EXPECT_EQ(generator->GenerarDJs(), GenerationOutcome::NotGenerated);
    EXPECT_EQ(events->steps, std::vector<long>{1});
    EXPECT_EQ(listed().at(0).substr(0, 40), "El largo del registro Número 02 es inco");
    const auto lines = linesOf(readBytes(generator->temporaryFile()));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(0, 2), "01");
}

TEST_F(Generator, AValueThatCannotBeWrittenOrAMissingRateTellsWhatFailed) {
    buildHandMadeDeclaration();
    program.context.g_dbAplicativo->execute("UPDATE Anticipos SET fFecha = NULL");
    EXPECT_EQ(newGenerator(destination.path())->GenerarDJs(), GenerationOutcome::NotGenerated);
    EXPECT_EQ(listed(), std::vector<std::string>{
                            "No se pudo generar el archivo de la Declaración Jurada: Uso no válido de Null."});

    // No rate for the start of the year: the liquidation's figures would not be valid.
    program.context.g_dbAplicativo->execute("UPDATE Anticipos SET fFecha = '2005-02-15'");
    program.context.g_dbTablas->execute("DELETE * FROM T_ALICUOTAS_Y_TOPES");
    program.ui.inconsistencies.clear();
    EXPECT_EQ(newGenerator(destination.path())->GenerarDJs(), GenerationOutcome::NotGenerated);
    EXPECT_NE(listed().at(0).find("No hay una alícuota vigente en la tabla T_ALICUOTAS_Y_TOPES"), std::string::npos);
    EXPECT_TRUE(filesIn(destination.path()).empty());
}

TEST_F(Generator, FilesThatCannotBeWrittenEndTheGenerationAndDeliverNothing) {
    buildHandMadeDeclaration();
    // Something that is not a file holds the temporary file's name.
    fs::create_directories(windowsDir() / "TP035132.CIG");
    EXPECT_EQ(newGenerator(destination.path())->GenerarDJs(), GenerationOutcome::NotGenerated);
    EXPECT_TRUE(
        listed().at(0).starts_with("No se pudo crear el archivo temporal " + (windowsDir() / "TP035132.CIG").string()));
    EXPECT_TRUE(events->progress.empty());

    fs::remove(windowsDir() / "TP035132.CIG");
    fs::create_directories(windowsDir() / "TP035132.cab" / "ocupado");
    program.ui.inconsistencies.clear();
    EXPECT_EQ(newGenerator(destination.path())->GenerarDJs(), GenerationOutcome::NotGenerated);
    EXPECT_TRUE(listed().at(0).starts_with("No se pudo armar el archivo de cabecera"));
    EXPECT_TRUE(fs::exists(windowsDir() / "TP035132.cab" / "ocupado"));
    fs::remove_all(windowsDir() / "TP035132.cab");

    // The disk fills up while the records are written.
    program.ui.inconsistencies.clear();
    {
        const FileSizeLimit limit(4096);
        EXPECT_EQ(newGenerator(destination.path())->GenerarDJs(), GenerationOutcome::NotGenerated);
    }
    EXPECT_EQ(listed(), std::vector<std::string>{"No se pudo generar el archivo de la Declaración Jurada: No se pudo "
                                                 "escribir el archivo temporal " +
                                                 (windowsDir() / "TP035132.CIG").string() +
                                                 ": el archivo superó el tamaño permitido."});
    // A readable copy that cannot be written stops before the encryption.
    program.ui.inconsistencies.clear();
    auto generator = newGenerator(destination.path());
    generator->plainCopy = (destination / "no existe" / "plano.txt").string();
    EXPECT_EQ(generator->GenerarDJs(), GenerationOutcome::NotGenerated);
    EXPECT_EQ(program.ui.messages("Error").size(), 1u);
    // Nothing of the failed steps was handed to the encryption or delivered.
    EXPECT_FALSE(fs::exists(windowsDir() / "035132F0369.txt"));
    EXPECT_FALSE(fs::exists(windowsDir() / "035132F0369.B64"));
    EXPECT_TRUE(filesIn(destination.path()).empty());
}

TEST_F(Generator, WithoutTheVerificationLibraryNothingIsGenerated) {
    buildHandMadeDeclaration();
    fs::remove(program.dir.systemDir() / agency::kVerificationLibrary);
    EXPECT_EQ(newGenerator(destination.path())->GenerarDJs(), GenerationOutcome::NotGenerated);
    // One place tells what happened: the list, naming the missing library.
    const std::string line = listed().at(0);
    EXPECT_TRUE(line.starts_with("No se pudo calcular el Número de Verificación de la Declaración Jurada: ")) << line;
    EXPECT_NE(line.find(agency::kVerificationLibrary), std::string::npos) << line;
    EXPECT_TRUE(line.ends_with(" No se generó el archivo.")) << line;
    EXPECT_TRUE(!fs::exists(windowsDir()) || filesIn(windowsDir()).empty());
}

TEST_F(Generator, AnEncryptionLibraryMissingOrFailingDeliversNothing) {
    buildHandMadeDeclaration();
    const fs::path library = program.dir.systemDir() / agency::kEncryptionLibrary;
    const fs::path key = program.dir.systemDir() / agency::kAgencyKeyFile;
    const std::string keyText = readBytes(key);
    writeBytes(delivered(destination.path()), "presentación anterior");

    // No key: the library refuses.
    fs::remove(key);
    auto generator = newGenerator(destination.path());
    EXPECT_EQ(generator->GenerarDJs(), GenerationOutcome::NotEncrypted);
    ASSERT_EQ(program.ui.messages("Error").size(), 1u);
    EXPECT_TRUE(program.ui.messages("Error")[0].starts_with(
        "El componente de encriptación no pudo generar el archivo (resultado 2"));
    EXPECT_EQ(events->encryption, std::vector<std::string>{"Generación de Archivo: Trabajando..."});
    EXPECT_FALSE(fs::exists(windowsDir() / "TP035132.cab"));
    EXPECT_FALSE(fs::exists(windowsDir() / "035132F0369.B64"));

    // The library vanished after the component check.
    writeBytes(key, keyText);
    const std::string libraryBytes = readBytes(library);
    fs::remove(library);
    EXPECT_EQ(generator->GenerarDJs(), GenerationOutcome::NotEncrypted);
    ASSERT_EQ(program.ui.messages("Error").size(), 2u);
    EXPECT_NE(program.ui.messages("Error")[1].find(agency::kEncryptionLibrary), std::string::npos);
    EXPECT_EQ(readBytes(delivered(destination.path())), "presentación anterior");
    EXPECT_TRUE(program.ui.messages("Información!").empty());

    // A failed encryption leaves nothing to copy: the next attempt generates everything again.
    writeBytes(library, libraryBytes);
    program.ui.answers = {true};
    EXPECT_EQ(generator->GenerarDJs(), GenerationOutcome::Delivered);
    EXPECT_EQ(decrypted(delivered(destination.path())), expectedFile());
}

TEST_F(Generator, AReplacementIsAskedAndARefusalKeepsTheUsersFile) {
    buildHandMadeDeclaration();
    writeBytes(delivered(destination.path()), "mío");
    program.ui.answers = {false};
    auto generator = newGenerator(destination.path());
    EXPECT_EQ(generator->GenerarDJs(), GenerationOutcome::ReplaceRefused);
    ASSERT_EQ(program.ui.asked.size(), 1u);
    EXPECT_EQ(program.ui.asked[0].icon, MessageIcon::Question);
    EXPECT_EQ(program.ui.asked[0].title, "Kapred");
    EXPECT_EQ(readBytes(delivered(destination.path())), "mío");
    EXPECT_TRUE(program.ui.shown.empty());

    program.ui.answers = {true};
    EXPECT_EQ(generator->GenerarDJs(), GenerationOutcome::Delivered);
    EXPECT_EQ(decrypted(delivered(destination.path())), expectedFile());
    EXPECT_EQ(filesIn(destination.path()), std::vector<std::string>{"035132F0369.B64"});
}

// Links planted at the fixed names of the work files are replaced, never followed; the hidden
// file of a copy killed half-way goes at the next generation; a kept copy never replaces one of
// the program's own files.
TEST_F(Generator, WorkFilesFollowNoLinkAndNoCopyReplacesAProgramFile) {
    buildHandMadeDeclaration();
    const fs::path victim = destination / "victima.txt";
    writeBytes(victim, "intacto");
    fs::create_directories(windowsDir());
    for (const char* name : {"TP035132.CIG", "TP035132.cab", "035132F0369.txt"}) {
        fs::create_symlink(victim, windowsDir() / name);
    }
    writeBytes(destination / ".035132F0369.B64.x1Y2z3", "restos");
    const std::string database = readBytes(program.dir.appDatabase());
    auto generator = newGenerator(destination.path());
    generator->plainCopy = program.dir.appDatabase().string();
    program.ui.answers = {true};
    EXPECT_EQ(generator->GenerarDJs(), GenerationOutcome::NotGenerated);
    EXPECT_EQ(readBytes(program.dir.appDatabase()), database);

    generator->plainCopy.clear();
    EXPECT_EQ(generator->GenerarDJs(), GenerationOutcome::Delivered) << told();
    EXPECT_EQ(readBytes(victim), "intacto");
    EXPECT_EQ(filesIn(destination.path()), (std::vector<std::string>{"035132F0369.B64", "victima.txt"}));
}

TEST_F(Generator, AnUnwritableDestinationIsToldAndChangesNothing) {
    buildHandMadeDeclaration();
    const fs::path notAFolder = destination / "carpeta";
    writeBytes(notAFolder, "un archivo");
    auto generator = newGenerator(notAFolder);
    EXPECT_EQ(generator->GenerarDJs(), GenerationOutcome::NotCopied);
    ASSERT_EQ(program.ui.messages("Error").size(), 1u);
    EXPECT_TRUE(program.ui.messages("Error")[0].starts_with("No se pudo copiar el archivo de la Declaración Jurada a " +
                                                            (notAFolder / "035132F0369.B64").string()));
    EXPECT_EQ(readBytes(notAFolder), "un archivo");

    // A folder holds the file's name: replacing it fails and the folder stays whole.
    fs::create_directories(delivered(destination.path()) / "dentro");
    program.ui.answers = {true};
    generator->Destino = destination.path().string();
    EXPECT_EQ(generator->GenerarDJs(), GenerationOutcome::NotCopied);
    EXPECT_TRUE(fs::is_directory(delivered(destination.path()) / "dentro"));
    EXPECT_TRUE(program.ui.messages("Información!").empty());
}

TEST_F(Generator, TheCopyReportsItsProgressPerBlockAndAFailedOneLeavesTheOldFileWhole) {
    program.createDeclaration();
    auto generator = newGenerator(destination.path());
    fs::create_directories(windowsDir());
    const fs::path source = windowsDir() / "origen.B64";
    writeBytes(source, std::string(2500, 'x'));
    EXPECT_EQ(generator->CopyFile(source.string(), (destination / "copia.B64").string()), 2500u);
    EXPECT_EQ(events->copy, (std::vector<double>{41, 82, 100}));
    EXPECT_EQ(readBytes(destination / "copia.B64"), std::string(2500, 'x'));
    // 66 blocks: one percentage each, however many are read at a time.
    events->copy.clear();
    writeBytes(source, std::string(66 * 1024, 'y'));
    EXPECT_EQ(generator->CopyFile(source.string(), (destination / "grande.B64").string()), 66u * 1024);
    ASSERT_EQ(events->copy.size(), 66u);
    EXPECT_EQ(std::vector<double>(events->copy.end() - 3, events->copy.end()), (std::vector<double>{97, 99, 100}));
    fs::remove(destination / "grande.B64");

    writeBytes(source, std::string(5000, 'n'));
    std::uintmax_t copied = 0;
    {
        const FileSizeLimit limit(2048);
        copied = generator->CopyFile(source.string(), (destination / "copia.B64").string());
    }
    EXPECT_EQ(copied, 0u);
    EXPECT_EQ(readBytes(destination / "copia.B64"), std::string(2500, 'x'));
    EXPECT_EQ(filesIn(destination.path()), std::vector<std::string>{"copia.B64"});

    // An empty source copies nothing and creates nothing.
    writeBytes(source, "");
    EXPECT_EQ(generator->CopyFile(source.string(), (destination / "vacio.B64").string()), 0u);
    EXPECT_FALSE(fs::exists(destination / "vacio.B64"));
}

TEST_F(Generator, ACopyTheDiskCannotKeepIsToldAndLeavesTheOldFileWhole) {
    fs::create_directories(windowsDir());
    const fs::path source = windowsDir() / "origen.B64";
    writeBytes(source, "nuevo");
    writeBytes(destination / "copia.B64", "anterior");
    CopyResult copy;
    {
        const FailingSync failing(".copia.B64.");
        copy = copyIntoPlace(source, destination / "copia.B64");
    }
    EXPECT_EQ(copy.bytes, 0u);
    EXPECT_EQ(copy.error, "No se pudo poner el archivo en el destino " + (destination / "copia.B64").string() +
                              ": no queda espacio en el disco.");
    EXPECT_EQ(readBytes(destination / "copia.B64"), "anterior");
    EXPECT_EQ(filesIn(destination.path()), std::vector<std::string>{"copia.B64"});
}

TEST_F(Generator, TheCleanUpRemovesTheIntermediateFilesOnly) {
    buildHandMadeDeclaration();
    auto generator = newGenerator(destination.path());
    ASSERT_EQ(generator->GenerarDJs(), GenerationOutcome::Delivered);
    for (const char* name : {"tp000001.cig", "otro.B64", "notas.txt"}) {
        writeBytes(windowsDir() / name, "x");
    }
    EXPECT_TRUE(generator->EliminarTemporales());
    EXPECT_EQ(filesIn(windowsDir()), (std::vector<std::string>{"035132F0369.txt", "notas.txt"}));
    EXPECT_EQ(filesIn(destination.path()), std::vector<std::string>{"035132F0369.B64"});
    // Nothing left to remove is no failure.
    EXPECT_TRUE(BGenerarDJs(program.context).EliminarTemporales());
}

TEST(Delivery, AFileIsReplacedOnlyWhenTheUserAgreesAndOnlyFilesAreDeleted) {
    test::TempDir folder;
    test::ScriptedUi ui;
    EXPECT_TRUE(ReemplazarArchivo(ui, folder / "nuevo.B64"));
    EXPECT_TRUE(ui.asked.empty());
    writeBytes(folder / "viejo.B64", "x");
    ui.answers = {false, true};
    EXPECT_FALSE(ReemplazarArchivo(ui, folder / "viejo.B64"));
    EXPECT_TRUE(ReemplazarArchivo(ui, folder / "viejo.B64"));
    // Agreeing does not remove the file: the copy that replaces it does, once complete.
    EXPECT_TRUE(fs::exists(folder / "viejo.B64"));
    EXPECT_TRUE(DeleteArchivo(folder / "viejo.B64"));
    EXPECT_FALSE(DeleteArchivo(folder / "viejo.B64"));
    fs::create_directories(folder / "carpeta");
    EXPECT_FALSE(DeleteArchivo(folder / "carpeta"));
}

}  // namespace
}  // namespace kapred
