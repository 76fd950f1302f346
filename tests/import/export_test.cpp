// The export: each kind of field at its width, the decimal sign, the file, and a file written
// with a standard format read back into another declaration.
#include "import/export.h"

#include <gtest/gtest.h>

#include "import/import_fixture.h"
#include "model/assets.h"
#include "model/liabilities.h"
#include "support/disk_faults.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;
using test::ImportFixture;
using Rows = std::vector<std::vector<std::string>>;

TEST(ExportFields, EachKindAtItsWidthAndNeverCut) {
    const std::pair<std::optional<std::string>, std::optional<std::string>> written[] = {
        // Amounts carry a sign place and two decimals, the third rounded away from zero.
        {exportField(Currency::fromScaled(-125000), kAmountField, 8, ","), "-0012,50"},
        {exportField(Currency::fromScaled(125000), kAmountField, 8, "."), "00012.50"},
        {exportField(Currency(), kAmountField, 15, ","), "000000000000,00"},
        {exportField(Currency::fromScaled(12345), kAmountField, 6, ","), "001,23"},
        {exportField(Currency::fromScaled(-12350), kAmountField, 6, ","), "-01,24"},
        {exportField(Variant("1.234,5"), kAmountField, 15, ","), "000000001234,50"},
        {exportField(Variant::null(), kAmountField, 6, ","), "000,00"},
        {exportField(Currency::fromUnits(123456), kAmountField, 9, ","), std::nullopt},
        {exportField(Currency::fromUnits(12345), kAmountField, 9, ","), "012345,00"},
        // Dates, blank for the entity's initial date or none.
        {exportField(DateTime::fromDate(2005, 1, 5), kDateField, 12, ","), "05/01/2005  "},
        {exportField(DateTime::fromDate(1800, 1, 1), kDateField, 10, ","), "          "},
        {exportField(Variant::null(), kDateField, 10, ","), "          "},
        {exportField(DateTime::fromDate(2005, 1, 5), kDateField, 8, ","), std::nullopt},
        {exportField(std::int16_t{-7}, kWholeField, 3, ","), "-07"},
        {exportField(Variant::null(), kWholeField, 3, ","), "000"},
        {exportField(std::int32_t{1234}, kWholeField, 3, ","), std::nullopt},
        {exportField(true, kFlagField, 1, ","), "1"},
        {exportField(Variant::null(), kFlagField, 1, ","), "0"},
        // Texts go out in Windows-1252: one byte per character.
        {exportField(Variant("Ñandú"), kTextField, 8, ","),
         "\xD1"
         "and\xFA   "},
        {exportField(Variant("Ñandú"), kTextField, 4, ","), std::nullopt},
        // The decimal sign changes the first separator only.
        {CambiaSignoDecimal("1,234,50", "."), "1.234,50"},
        {CambiaSignoDecimal("0001234.50", ","), "0001234,50"},
        {CambiaSignoDecimal("0001234,50", ""), "0001234,50"},
    };
    for (const auto& [result, expected] : written) {
        EXPECT_EQ(result, expected);
    }
    EXPECT_EQ(exportDecimalSign(0) + exportDecimalSign(1) + exportDecimalSign(std::nullopt), ".,,");
}

class Export : public ImportFixture {
protected:
    void advances() {
        BAnticipos list(context());
        program.addRow(list, "15/01/2005", "1.234,5");
        program.addRow(list, "20/02/2005", "0,01");
    }
};

TEST_F(Export, ACancelledExportKeepsTheOldFile) {
    advances();
    const auto target = files / "cancelado.txt";
    test::writeBytes(target, "anterior");
    program.ui.answers = {true};
    std::atomic<bool> cancel{true};
    const auto result = Exportar(context(), test::kAdvancesFormat, target, &cancel);
    tell(program.ui, result);
    EXPECT_EQ(result.outcome, ExportOutcome::Cancelled);
    EXPECT_EQ(test::readBytes(target), "anterior");
    EXPECT_EQ(program.ui.messages(),
              std::vector<std::string>{"Información: Exportación ha sido cancelada por el Usuario."});
}

TEST_F(Export, AnExportTheDiskCannotKeepIsToldAndKeepsTheOldFile) {
    advances();
    const auto target = files / "exportado.txt";
    test::writeBytes(target, "anterior");
    program.ui.answers = {true};
    {
        const test::FailingSync failing(".exportado.txt.");
        const auto result = Exportar(context(), test::kAdvancesFormat, target);
        tell(program.ui, result);
        EXPECT_EQ(result.outcome, ExportOutcome::Failed);
    }
    const auto errors = program.ui.messages("Error");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].ends_with(": no se pudo escribir el archivo: no queda espacio en el disco")) << errors[0];
    EXPECT_EQ(test::readBytes(target), "anterior");
    for (const auto& entry : fs::directory_iterator(files.path())) {
        EXPECT_FALSE(entry.path().filename().string().starts_with(".exportado.txt.")) << entry.path();
    }
}

// A file there is replaced only when the user agrees, keeping its mode, and never one of the
// program's own; a hidden file an interrupted export left beside it goes.
TEST_F(Export, AFileThereIsReplacedOnlyWhenTheUserAgreesAndNeverOneOfTheProgram) {
    advances();
    const auto mine = file("mio.txt", "anterior");
    const auto mode = fs::perms::owner_read | fs::perms::owner_write;
    fs::permissions(mine, mode);
    const auto leftover = file(".mio.txt.Ab12Cd", "restos");
    const fs::path home = program.dir.home();
    struct Case {
        fs::path target;
        bool answer;
        ExportOutcome outcome;
    };
    for (const auto& [target, answer, outcome] :
         {Case{mine, false, ExportOutcome::Kept}, Case{home / "Kapred.mdb", true, ExportOutcome::Failed},
          Case{home / "Si010000.mdb", true, ExportOutcome::Failed}, Case{mine, true, ExportOutcome::Exported}}) {
        const std::string before = test::readBytes(target);
        program.ui.answers = {answer};
        EXPECT_EQ(Exportar(context(), test::kAdvancesFormat, target).outcome, outcome) << target;
        EXPECT_EQ(test::readBytes(target), outcome == ExportOutcome::Exported
                                               ? "15/01/2005000000001234,50\r\n20/02/2005000000000000,01\r\n"
                                               : before);
    }
    EXPECT_EQ(fs::status(mine).permissions(), mode);
    EXPECT_FALSE(fs::exists(leftover));
}

// Rows of every importable section written with the standard formats and read back into the
// rectification give the same rows.
TEST_F(Export, AFileExportedWithAStandardFormatImportsBackWithTheSameRows) {
    program.setSection<BActivoComputable>({{"cDineroEfectivoNac", Variant("1.000,50")},
                                           {"cTitulosPublicos", Variant("-200")},
                                           {"cOtrosBienes", Variant("99.999.999.999,99")}});
    program.setSection<BActivoExento>({{"cCuotasSociales", Variant("300,25")}});
    program.setSection<BPasivo>({{"iCooperativaAseguradoresVida", Variant("1")},
                                 {"cDeudas", Variant("500")},
                                 {"cFondosBeneficioSeguroVida", Variant("12,34")}});
    advances();
    BPagosCuenta payments(context());
    program.addRow(payments, "15/12/2004", "100");
    program.addRow(payments, "31/12/2004", "110,10");

    const std::pair<long, const char*> sections[] = {{test::kComputableFormat, "ActivoComputable"},
                                                     {test::kLiabilitiesFormat, "Pasivo"},
                                                     {test::kAdvancesFormat, "Anticipos"},
                                                     {test::kPaymentsFormat, "PagosCuenta"},
                                                     {test::kExemptFormat, "ActivoExento"}};
    for (const auto& [format, table] : sections) {
        ASSERT_EQ(Exportar(context(), format, files / table).outcome, ExportOutcome::Exported) << table;
    }
    EXPECT_EQ(test::readBytes(files / "Pasivo"),
              "01000000000500,00000000000000,00000000000000,00000000000012,34000000000000,00\r\n");

    test::HeaderInput rectification;
    rectification.sequence = "1";
    program.createDeclaration(rectification);
    for (const auto& [format, table] : sections) {
        const auto result = importFile(context(), format, files / table);
        EXPECT_EQ(result.outcome, ImportOutcome::Finished) << table;
        EXPECT_EQ(result.errors, 0) << table << "\n" << test::readBytes(result.errorFile);
        EXPECT_EQ(rows(table, 20041), rows(table, 20040)) << table;
        EXPECT_FALSE(rows(table, 20041).empty()) << table;
    }
}

}  // namespace
}  // namespace kapred
