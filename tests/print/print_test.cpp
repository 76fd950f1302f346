// The printed form, work papers and import format, read back from their PDF files: each value
// beside its caption, in reading order, on the pages the layout gives it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "calc/registry.h"
#include "generation/form_totals.h"
#include "model/assets.h"
#include "model/liabilities.h"
#include "print/reports.h"
#include "support/cli_run.h"
#include "support/opened_program.h"
#include "support/scoped_env.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;

std::string commandOutput(const std::string& command) {
    std::string text;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            text.append(buffer, n);
        }
        ::pclose(pipe);
    }
    return text;
}

// The text of the PDF's pages as poppler lays it out, pages separated by form feeds.
std::string pdfText(const fs::path& file) {
    return commandOutput("pdftotext -layout '" + file.string() + "' -");
}

int pdfPages(const fs::path& file) {
    const std::string info = commandOutput("pdfinfo '" + file.string() + "'");
    const auto at = info.find("Pages:");
    return at == std::string::npos ? 0 : std::stoi(info.substr(at + 6));
}

// The line of the text that holds the caption, with runs of blanks made one.
std::string lineWith(const std::string& text, const std::string& caption) {
    const auto at = text.find(caption);
    if (at == std::string::npos) {
        return "(sin " + caption + ")";
    }
    const auto start = text.rfind('\n', at) + 1;
    std::string line = text.substr(start, text.find('\n', at) - start);
    std::string squeezed;
    for (char c : line) {
        if (c != ' ' || (!squeezed.empty() && squeezed.back() != ' ')) {
            squeezed += c;
        }
    }
    while (!squeezed.empty() && squeezed.back() == ' ') {
        squeezed.pop_back();
    }
    return squeezed;
}

// Whether a line of the text, with runs of blanks made one, is the expected one.
bool hasLine(const std::string& text, const std::string& expected) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        if (lineWith(text.substr(start, end - start), expected.substr(0, expected.find(' '))) == expected) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

class Printouts : public ::testing::Test {
protected:
    Printouts() { registerBusinessObjects(program.context); }

    fs::path pdf(const std::string& name) const { return program.dir.root() / (name + ".pdf"); }

    test::ScopedEnv layouts{"KAPRED_REPORTSDIR", std::string(KAPRED_RESOURCES_DIR) + "/reports"};
    test::OpenedProgram program;
};

TEST_F(Printouts, FormOnOnePageWithEachAmountInItsBox) {
    program.createDeclaration();
    program.setSection<BActivoComputable>({{"cDineroEfectivoNac", Variant("1.234.567,50")}});
    program.setSection<BPasivo>({{"iCooperativaSegurosCapitalizacion", Variant("0")},
                                 {"iCooperativaAseguradoresVida", Variant("0")},
                                 {"cDeudas", Variant("2.000.000")}});
    program.addRow<BPagosCuenta>("30/06/2004", "750,25");
    ASSERT_TRUE(print::savePdf(program.context, print::formJob(program.context), pdf("f369")));
    EXPECT_EQ(pdfPages(pdf("f369")), 1);
    const std::string text = pdfText(pdf("f369"));
    // Liabilities above the assets: the capital at close is negative and nothing is due, so the
    // payment comes back to the taxpayer.
    EXPECT_EQ(lineWith(text, "Activo computable"), "Activo computable 1.234.567,50");
    EXPECT_EQ(lineWith(text, "Pasivo al cierre"), "Pasivo al cierre del ejercicio 2.000.000,00");
    EXPECT_EQ(lineWith(text, "Capital al cierre"), "Capital al cierre del ejercicio -765.432,50");
    EXPECT_EQ(lineWith(text, "Contribución especial determinada"), "Contribución especial determinada 0,00");
    EXPECT_EQ(lineWith(text, "Pagos a cuenta"), "Pagos a cuenta 750,25");
    EXPECT_EQ(lineWith(text, "Saldo a favor del contribuyente"), "Saldo a favor del contribuyente 750,25");
    // Each box holds the amount of its record 90 in the declaration file ("1" first: negative).
    std::ostringstream records;
    BPrintDDJJ(program.context).sGenerarRegistrointerfaceF369(records);
    const std::pair<const char*, const char*> boxes[] = {
        {"9004000", "Activo computable"},
        {"9004010", "Pasivo al cierre del ejercicio"},
        {"9004020", "Capital al cierre del ejercicio"},
        {"9004150", "Deducciones al capital al cierre del ejercicio"},
        {"9004200", "Capital cooperativo"},
        {"9004220", "Contribución especial determinada"},
        {"9004320", "Pagos a cuenta"},
        {"9004330", "Saldo a favor de Rexa (importe a ingresar)"},
        {"9004340", "Saldo a favor del contribuyente"},
    };
    const auto lines = test::linesOf(records.str());
    ASSERT_EQ(lines.size(), std::size(boxes));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(lines[i].substr(0, 7), boxes[i].first);
        const Currency magnitude = Currency::fromScaled(std::stoll(lines[i].substr(8)) * 100);
        const Currency amount = lines[i][7] == '1' ? -magnitude : magnitude;
        EXPECT_EQ(lineWith(text, boxes[i].second), std::string(boxes[i].second) + " " + formatAmount(amount)) << i;
    }
    // The identification in reading order: CUIT, name, address, period, sequence.
    const auto cuit = text.find("20-12345678-9");
    const auto name = text.find("Cooperativa Agrícola Ganadera La Esperanza Ltda.");
    const auto address = text.find("Calle: Bv. Santa Fe Nro: 1250");
    const auto from = text.find("01/01/2004");
    const auto to = text.find("31/12/2004");
    ASSERT_NE(to, std::string::npos) << text;
    EXPECT_TRUE(cuit < name && name < address && address < from && from < to) << text;
    EXPECT_NE(text.find("Original"), std::string::npos);
    EXPECT_NE(text.find("Página 1 de 1"), std::string::npos);
}

TEST_F(Printouts, SequenceTwoIsARectification) {
    test::HeaderInput second;
    second.sequence = "2";
    program.createDeclaration(second);
    print::PrintJob job = print::workPaperJob(program.context, findWorkPaper("Pasivo"));
    ASSERT_TRUE(print::savePdf(program.context, job, pdf("pasivo")));
    EXPECT_NE(pdfText(pdf("pasivo")).find("Rectificativa 2"), std::string::npos);
    ASSERT_TRUE(print::savePdf(program.context, print::formJob(program.context), pdf("f369")));
    const std::string form = pdfText(pdf("f369"));
    EXPECT_NE(form.find("Rectificativa 2"), std::string::npos) << form;
    EXPECT_EQ(form.find("Original"), std::string::npos);
}

TEST_F(Printouts, LongListNumbersItsPagesAndTotalsOnTheLast) {
    program.createDeclaration();
    BAnticipos advances(program.context);
    for (int row = 0; row < 500; ++row) {
        program.addRow(advances, "15/01/2005", "10");
    }
    ASSERT_TRUE(print::savePdf(program.context, print::workPaperJob(program.context, findWorkPaper("anticipos")),
                               pdf("anticipos")));
    const int pages = pdfPages(pdf("anticipos"));
    // 34 lines a page: 500 rows and the total take 15 pages.
    ASSERT_EQ(pages, 15);
    const std::string text = pdfText(pdf("anticipos"));
    std::size_t page = 0;
    for (int number = 1; number <= pages; ++number) {
        const std::size_t end = text.find('\f', page);
        const std::string sheet = text.substr(page, end - page);
        EXPECT_NE(sheet.find("Página " + std::to_string(number) + " de 15"), std::string::npos) << number;
        EXPECT_EQ(sheet.find("Total Anticipos") != std::string::npos, number == pages) << number;
        page = end + 1;
    }
    EXPECT_EQ(lineWith(text, "Total Anticipos"), "Total Anticipos 5.000,00");
    EXPECT_TRUE(hasLine(text, "500 15/01/2005 10,00"));
    EXPECT_NE(text.find("Kapredia"), std::string::npos);
}

TEST_F(Printouts, CommandLinePrintsWithoutADisplay) {
    const test::ScopedEnv noDisplay("DISPLAY", std::nullopt);
    test::runCli(program.dir, test::kNewOriginal2004);
    test::runCli(program.dir, "set 20040 ActivoComputable cOtrosBienes=100.000");
    const fs::path file = pdf("cli");
    auto result = test::runCli(program.dir, "print 20040 --pdf " + file.string());
    ASSERT_EQ(result.status, 0) << result.err;
    // 2 % of 100.000.
    EXPECT_EQ(lineWith(pdfText(file), "Contribución especial determinada"),
              "Contribución especial determinada 2.000,00");

    // An existing file is replaced only on Yes.
    result = test::runCli(program.dir, "--no workpaper 20040 ActivoComputable --pdf " + file.string());
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(pdfPages(file), 1);
    EXPECT_EQ(pdfText(file).find("Papeles de Trabajo"), std::string::npos);
    result = test::runCli(program.dir, "--yes workpaper 20040 DJ --pdf " + file.string());
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(pdfPages(file), 5);

    result = test::runCli(program.dir, "workpaper 20040 Liquidacion --pdf " + pdf("x").string());
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("No hay papel de trabajo de Liquidacion."), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(pdf("x")));

    result = test::runCli(program.dir, "format-print 3 --pdf " + pdf("formato").string());
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string format = pdfText(pdf("formato"));
    EXPECT_EQ(lineWith(format, "Fecha del anticipo"), "Fecha del anticipo 1 10 Sí");
    EXPECT_EQ(lineWith(format, "Importe del anticipo"), "Importe del anticipo 11 25 Sí");
}

TEST_F(Printouts, AReceiptShowsTheWholeHashAndADeletedDeclaration) {
    DeliveryReceipt receipt;
    receipt.codDJ = 20041;
    receipt.fileName = "048311F0369.B64";
    receipt.folder = "/home/contador/Presentaciones";
    receipt.size = 11296;
    receipt.sha256 = "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08";
    receipt.verificationNumber = "048311";
    receipt.declarationDeleted = true;
    ASSERT_TRUE(print::savePdf(program.context, print::receiptJob(program.context, receipt), pdf("comprobante")));
    EXPECT_EQ(pdfPages(pdf("comprobante")), 1);
    const std::string text = pdfText(pdf("comprobante"));
    for (const char* shown : {"CUIT 20-12345678-9", "048311F0369.B64", "11.296 bytes", "20041",
                              "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08",
                              "Declaración eliminada después de la entrega."}) {
        EXPECT_NE(text.find(shown), std::string::npos) << shown << "\n" << text;
    }
}

}  // namespace
}  // namespace kapred
