// The printed form, work papers and import format, read back from their PDF files: each value
// beside its caption, in reading order, on the pages the layout gives it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
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

// The text with every run of blanks made one.
std::string squeezed(const std::string& text) {
    std::string result;
    for (char c : text) {
        if (c != ' ' || (!result.empty() && result.back() != ' ')) {
            result += c;
        }
    }
    return result;
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

// The words of the first page that lie whole between two heights of the sheet, in millimetres
// from its top, joined by blanks in reading order.
std::string wordsBetween(const fs::path& file, double top, double bottom) {
    const std::string boxes = commandOutput("pdftotext -f 1 -l 1 -bbox '" + file.string() + "' -");
    constexpr double kPointsPerMm = 72 / 25.4;
    std::string words;
    for (std::size_t at = boxes.find("<word "); at != std::string::npos; at = boxes.find("<word ", at + 1)) {
        const auto number = [&](const char* name) {
            return std::stod(boxes.substr(boxes.find(name, at) + std::strlen(name) + 2)) / kPointsPerMm;
        };
        const auto open = boxes.find('>', at) + 1;
        if (number("yMin") >= top && number("yMax") <= bottom) {
            words += (words.empty() ? "" : " ") + boxes.substr(open, boxes.find("</word>", at) - open);
        }
    }
    return words;
}

class Printouts : public ::testing::Test {
protected:
    Printouts() { registerBusinessObjects(program.context); }

    fs::path pdf(const std::string& name) const { return program.dir.root() / (name + ".pdf"); }

    // A new declaration with this cash and these debts, of a cooperative of no insurance kind.
    void declarationWith(const char* cash, const char* debts) {
        program.createDeclaration();
        program.setSection<BActivoComputable>({{"cDineroEfectivoNac", Variant(cash)}});
        program.setSection<BPasivo>({{"iCooperativaSegurosCapitalizacion", Variant("0")},
                                     {"iCooperativaAseguradoresVida", Variant("0")},
                                     {"cDeudas", Variant(debts)}});
    }

    test::ScopedEnv layouts{"KAPRED_REPORTSDIR", std::string(KAPRED_RESOURCES_DIR) + "/reports"};
    test::OpenedProgram program;
};

TEST_F(Printouts, FormOnOnePageWithEachAmountInItsBox) {
    declarationWith("1.234.567,50", "2.000.000");
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
        {"9004200", "Capital cooperativo imponible"},
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

TEST_F(Printouts, FormBalanceFollowsFromItsBoxes) {
    declarationWith("1.000.000", "100.000");
    program.setSection<BSaldoFavorPeriodoAnt>({{"lPeriodo", Variant("2003")}, {"cImporte", Variant("2.500")}});
    BAnticipos advances(program.context);
    program.addRow(advances, "15/01/2005", "3.000");
    program.addRow(advances, "15/02/2005", "1.500");
    program.addRow<BPagosCuenta>("30/06/2004", "2.000");
    ASSERT_TRUE(print::savePdf(program.context, print::formJob(program.context), pdf("f369")));
    const std::string text = pdfText(pdf("f369"));
    // 1.000.000 - 100.000 = 900.000 taxable, 2 % of it is 18.000; less 2.500 + 4.500 + 2.000 of
    // credits leaves 9.000 to pay. Each box in the order the balance is computed.
    const std::pair<const char*, const char*> boxes[] = {
        {"Activo computable", "1.000.000,00"},
        {"Pasivo al cierre del ejercicio", "100.000,00"},
        {"Capital al cierre del ejercicio", "900.000,00"},
        {"Deducciones al capital al cierre del ejercicio", "0,00"},
        {"Capital cooperativo imponible", "900.000,00"},
        {"Alícuota", "2,00 %"},
        {"Contribución especial determinada", "18.000,00"},
        {"Saldo a favor del período anterior", "2.500,00"},
        {"Anticipos", "4.500,00"},
        {"Pagos a cuenta", "2.000,00"},
        {"Saldo a favor de Rexa (importe a ingresar)", "9.000,00"},
        {"Saldo a favor del contribuyente", "0,00"},
    };
    std::size_t previous = 0;
    for (const auto& [caption, amount] : boxes) {
        const std::string line = std::string(caption) + " " + amount;
        EXPECT_TRUE(hasLine(text, line)) << line << "\n" << text;
        const auto at = text.find(" " + std::string(caption));
        EXPECT_LT(previous, at) << caption;
        previous = at;
    }
    // The sequence once, the version as people read it.
    EXPECT_EQ(text.find("Original"), text.rfind("Original"));
    EXPECT_NE(text.find("1.0.0"), std::string::npos);
    EXPECT_EQ(text.find("0100000"), std::string::npos);
}

TEST_F(Printouts, BoxesPrintALongAddressWholeWithinTheirFrame) {
    program.createDeclaration();
    const std::string street = "Avenida Intendente Francisco Rabanal 40";  // 40 characters with the blank
    const std::string locality = "Villa General Belgrano de Calamuchita Ca";
    ASSERT_EQ(street.size() + 1, 40u);
    program.context.g_dbOrel->execute("UPDATE domicilio SET calle = '" + street + " ', localidad = '" + locality +
                                      "', piso = '12', Dtoofloc = 'B', codpostal = 'X5194ABC'");
    ASSERT_TRUE(print::savePdf(program.context, print::formJob(program.context), pdf("f369")));
    // The frame of the fiscal address runs from 66,5 to 80,5 mm; its caption takes the top 4 mm.
    const std::string address = wordsBetween(pdf("f369"), 66.5, 80.5);
    for (const std::string& part :
         std::vector<std::string>{"Domicilio fiscal", "Calle: " + street, "Nro: 1250", "Piso: 12", "Dto/of/loc: B",
                                  "Localidad: " + locality, "C.P.: X5194ABC"}) {
        EXPECT_NE(address.find(part), std::string::npos) << part << "\n" << address;
    }
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

TEST_F(Printouts, LongListNumbersItsPagesAndCarriesItsSubtotal) {
    program.createDeclaration();
    BAnticipos advances(program.context);
    for (int row = 0; row < 500; ++row) {
        program.addRow(advances, "15/01/2005", "10");
    }
    ASSERT_TRUE(print::savePdf(program.context, print::workPaperJob(program.context, findWorkPaper("anticipos")),
                               pdf("anticipos")));
    const int pages = pdfPages(pdf("anticipos"));
    // 34 lines a page, of which the subtotals take one at the foot of every page but the last
    // and one at the head of every page but the first: 33 rows, then 32 on each of 14 pages,
    // and the last 19 rows with the total on the 16th.
    ASSERT_EQ(pages, 16);
    const std::string text = pdfText(pdf("anticipos"));
    std::size_t page = 0;
    int rows = 0;
    for (int number = 1; number <= pages; ++number) {
        const std::size_t end = text.find('\f', page);
        const std::string sheet = text.substr(page, end - page);
        EXPECT_NE(sheet.find("Anticipos · Página " + std::to_string(number) + " de 16"), std::string::npos) << number;
        EXPECT_EQ(sheet.find("Total Anticipos") != std::string::npos, number == pages) << number;
        rows += number == 1 ? 33 : number < pages ? 32 : 19;
        if (number > 1) {
            EXPECT_EQ(lineWith(sheet, "De transporte"),
                      "De transporte " + formatAmount(Currency::fromUnits(10 * (rows - (number < pages ? 32 : 19)))));
        }
        if (number < pages) {
            EXPECT_EQ(lineWith(sheet, "Transporte"), "Transporte " + formatAmount(Currency::fromUnits(10 * rows)))
                << number;
        } else {
            EXPECT_EQ(sheet.find("\nTransporte"), std::string::npos);
        }
        page = end + 1;
    }
    EXPECT_EQ(rows, 500);
    EXPECT_EQ(lineWith(text, "Total Anticipos"), "Total Anticipos 5.000,00");
    EXPECT_TRUE(hasLine(text, "500 15/01/2005 10,00"));
    EXPECT_NE(text.find("Kapredia"), std::string::npos);
}

TEST_F(Printouts, AllFiveWorkPapersNumberTheWholePrintAndListByDate) {
    program.createDeclaration();
    // Forty payments entered from the latest to the earliest: number n of n pesos dated
    // n days before 29 February.
    BPagosCuenta payments(program.context);
    for (int number = 1; number <= 40; ++number) {
        const int day = 60 - number;  // 29/02 is day 60 of 2004, counted from 1 January
        const std::string date = day > 31 ? (day - 31 < 10 ? "0" : "") + std::to_string(day - 31) + "/02/2004"
                                          : (day < 10 ? "0" : "") + std::to_string(day) + "/01/2004";
        program.addRow(payments, date, std::to_string(number));
    }
    ASSERT_TRUE(print::savePdf(program.context, print::workPaperJob(program.context, std::nullopt), pdf("papeles")));
    ASSERT_EQ(pdfPages(pdf("papeles")), 6);
    const std::string text = pdfText(pdf("papeles"));
    const char* labels[] = {"Activo Exento · Página 1 de 6",  "Activo Computable · Página 2 de 6",
                            "Pasivo · Página 3 de 6",         "Anticipos · Página 4 de 6",
                            "Pagos a Cuenta · Página 5 de 6", "Pagos a Cuenta · Página 6 de 6"};
    std::size_t page = 0;
    for (const char* label : labels) {
        const std::size_t end = text.find('\f', page);
        EXPECT_NE(text.substr(page, end - page).find(label), std::string::npos) << label;
        page = end + 1;
    }
    // By date: the earliest (number 40, 20/01/2004) first; the first page takes 40 down to 8.
    const std::string rows = squeezed(text);
    ASSERT_NE(rows.find(" 40 20/01/2004 40,00"), std::string::npos) << rows;
    EXPECT_LT(rows.find(" 40 20/01/2004 40,00"), rows.find(" 39 21/01/2004 39,00"));
    EXPECT_LT(rows.find(" 8 21/02/2004 8,00"), rows.find("Transporte"));
    EXPECT_LT(rows.find("Transporte"), rows.find(" 7 22/02/2004 7,00"));
    EXPECT_EQ(lineWith(text, "Transporte"), "Transporte 792,00");  // 8 + 9 + ... + 40
    EXPECT_EQ(lineWith(text, "De transporte"), "De transporte 792,00");
    EXPECT_EQ(lineWith(text, "Total Pagos a Cuenta"), "Total Pagos a Cuenta 820,00");
    // A section without rows says so across the table.
    EXPECT_TRUE(hasLine(text, "La declaración no tiene filas cargadas en esta sección.")) << text;
    EXPECT_EQ(lineWith(text, "Cooperativa de Seguros"), "Cooperativa de Seguros de Capitalización No");
}

TEST_F(Printouts, CommandLinePrintsWithoutADisplay) {
    const test::ScopedEnv noDisplay("DISPLAY", std::nullopt);
    // Nor a runtime folder: the toolkit keeps its notes about it to itself.
    const test::ScopedEnv noRuntime("XDG_RUNTIME_DIR", std::nullopt);
    test::runCli(program.dir, test::kNewOriginal2004);
    test::runCli(program.dir, "set 20040 ActivoComputable cOtrosBienes=100.000");
    const fs::path file = pdf("cli");
    auto result = test::runCli(program.dir, "print 20040 --pdf " + file.string());
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
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
    result = test::runCli(program.dir, "workpaper 20040 DJ --pdf " + pdf("papeles").string());
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");

    result = test::runCli(program.dir, "workpaper 20040 Liquidacion --pdf " + pdf("x").string());
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("No hay papel de trabajo de Liquidacion."), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(pdf("x")));

    result = test::runCli(program.dir, "format-print 3 --pdf " + pdf("formato").string());
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string format = pdfText(pdf("formato"));
    EXPECT_EQ(lineWith(format, "Fecha"), "Fecha 1 10 Sí");
    EXPECT_EQ(lineWith(format, "Importe"), "Importe 11 25 Sí");
    result = test::runCli(program.dir, "format-print 2 --pdf " + pdf("pasivo").string());
    ASSERT_EQ(result.status, 0) << result.err;
    // The captions of the entry window.
    const std::string liabilities = pdfText(pdf("pasivo"));
    EXPECT_NE(liabilities.find("Previsiones"), std::string::npos) << liabilities;
    EXPECT_NE(liabilities.find("Beneficios Percibidos por Adelantado"), std::string::npos) << liabilities;
    EXPECT_NE(liabilities.find("Cooperativa de Seguros de Capitalización (1 sí, 0 no)"), std::string::npos);
}

TEST_F(Printouts, AReceiptNamesTheDeclarationItsBalanceAndItsState) {
    struct Case {
        bool deleted;
        std::optional<long> period, sequence;
        std::optional<Currency> balance;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {true,
         2004,
         1,
         Currency::fromUnits(9000),
         {"Declaración eliminada después de la entrega.", "2004", "Rectificativa 1",
          "Saldo a favor de Rexa (importe a ingresar)", "9.000,00"}},
        {false,
         2005,
         0,
         -Currency::fromUnits(1250),
         {"La declaración entregada sigue guardada en el programa.", "2005", "Original",
          "Saldo a favor del contribuyente", "1.250,00"}},
        // A receipt recorded before the declaration's data were kept says so.
        {false, std::nullopt, std::nullopt, std::nullopt, {"No registrado", "No registrada"}},
    };
    for (const Case& each : cases) {
        DeliveryReceipt receipt;
        receipt.codDJ = 20041;
        receipt.fileName = "048311F0369.B64";
        receipt.folder = "/home/contador/Presentaciones";
        receipt.size = 11296;
        receipt.sha256 = "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08";
        receipt.verificationNumber = "048311";
        receipt.declarationDeleted = each.deleted;
        receipt.period = each.period;
        receipt.sequence = each.sequence;
        receipt.balance = each.balance;
        const fs::path file = pdf("comprobante" + std::to_string(&each - cases));
        ASSERT_TRUE(print::savePdf(program.context, print::receiptJob(program.context, receipt), file));
        EXPECT_EQ(pdfPages(file), 1);
        const std::string text = pdfText(file);
        std::vector<std::string> shown{"CUIT 20-12345678-9", "048311F0369.B64", "11.296 bytes", "20041",
                                       "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08"};
        shown.insert(shown.end(), each.shown.begin(), each.shown.end());
        for (const std::string& part : shown) {
            EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
        }
    }
}

}  // namespace
}  // namespace kapred
