// The declaration file read back through the record tables: the hand-written file of the
// generation tests is sound and decodes to its figures; copies with one fault each name that
// fault. Also the receipt of a delivery, whose hash must be what sha256sum says of the file.
#include "generation/file_inspector.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "generation/delivery_receipts.h"
#include "generation_fixture.h"
#include "model/assets.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;

class Inspector : public test::Generation {
protected:
    std::string handWritten = test::readBytes(test::generationDataDir() / "declaracion_20040.txt");

    // The file with one line (counting from 1) replaced.
    std::string withLine(std::size_t number, const std::function<std::string(std::string)>& change) const {
        std::vector<std::string> lines = test::linesOf(handWritten);
        lines[number - 1] = change(lines[number - 1]);
        std::string text;
        for (const auto& line : lines) {
            text += line.empty() ? "" : line + "\n";
        }
        return text;
    }

    FileInspection inspect(const std::string& bytes) {
        FileInspection inspection = inspectDeclarationFile(bytes);
        checkVerificationNumber(program.context, inspection);
        return inspection;
    }
};

const InspectedField& fieldOf(const InspectedRecord& record, const std::string& caption) {
    static const InspectedField none;
    for (const auto& field : record.fields) {
        if (field.caption == caption) {
            return field;
        }
    }
    return none;
}

TEST_F(Inspector, TheHandWrittenFileIsSoundAndDecodesToItsFigures) {
    const FileInspection inspection = inspect(handWritten);
    EXPECT_EQ(inspection.faults, std::vector<std::string>{});
    ASSERT_EQ(inspection.records.size(), 69u);
    EXPECT_EQ(inspection.header, "HEAD10 01 01 000069");
    EXPECT_EQ(fieldOf(inspection.records[0], "CUIT").value, "20-12345678-9");
    EXPECT_EQ(fieldOf(inspection.records[0], "Hora de la declaración").value, "10:20:30");
    EXPECT_EQ(fieldOf(inspection.records[1], "Ejercicio fiscal hasta").value, "31/12/2004");
    // Computable assets, item 1000: the interest of 1.234,50, columns 12 to 26.
    const InspectedRecord& interest = inspection.records[16];
    EXPECT_EQ(interest.figure, "Intereses y Actualizaciones");
    EXPECT_EQ(fieldOf(interest, "Importe").value, "1.234,50");
    EXPECT_EQ(fieldOf(interest, "Importe").from, 12);
    EXPECT_EQ(fieldOf(interest, "Importe").to, 26);
    EXPECT_EQ(fieldOf(inspection.records.back(), "Saldo a pagar").value, "8.000,00");
}

TEST_F(Inspector, EachFaultOfFormIsNamed) {
    struct Case {
        std::string file;
        std::string fault;
    };
    std::string withoutAnItem = handWritten;
    withoutAnItem.erase(withoutAnItem.find("0400100020"), 137);
    const Case cases[] = {
        {withoutAnItem, "La cabecera declara 69 registros y el archivo tiene 68."},
        {withLine(3, [](std::string line) { return line + " "; }),
         "Línea 3: el registro 02 tiene 22 caracteres y debe tener 21."},
        {withLine(3, [](std::string line) { return "03" + line.substr(2); }),
         "Línea 3: registro de tipo desconocido \"03\"."},
        {withLine(5, [&](const std::string&) { return test::linesOf(handWritten)[2]; }),
         "Línea 5: el registro 02 está fuera de orden: va antes de los registros 04."},
        {withLine(3, [](std::string line) { return line.replace(11, 8, "20041331"); }),
         "Línea 3: el campo Ejercicio fiscal hasta del registro 02 (columnas 12 a 19) no es válido: \"20041331\"."},
        {withLine(2, [](std::string line) { return line.replace(29, 6, "035133"); }),
         "Línea 2: el número de verificación 035133 no corresponde a los datos del archivo (corresponde 035132)."},
        {handWritten.substr(0, handWritten.size() - 1), "Línea 70: falta el salto de línea final."},
    };
    for (const Case& each : cases) {
        const FileInspection inspection = inspect(each.file);
        ASSERT_FALSE(inspection.faults.empty()) << each.fault;
        EXPECT_EQ(inspection.faults.front(), each.fault);
    }
}

// The generation ends each of the 70 lines with a line feed alone and writes no blank line: a
// carriage return is named on every line it ends, the header's included, and a blank line is
// named and is no record.
TEST_F(Inspector, LineEndsTheGenerationNeverWritesAreNamed) {
    std::string crlf;
    std::string blankAfterEach;
    std::vector<std::string> returns;
    std::vector<std::string> blanks;
    for (const std::string& line : test::linesOf(handWritten)) {
        crlf += line + "\r\n";
        blankAfterEach += line + "\n\n";
        returns.push_back("Línea " + std::to_string(returns.size() + 1) + ": termina en un retorno de carro.");
        blanks.push_back("Línea " + std::to_string(2 * blanks.size() + 2) +
                         ": está en blanco; cada línea debe llevar un registro.");
    }
    ASSERT_EQ(returns.size(), 70u);
    EXPECT_EQ(inspect(crlf).faults, returns);
    const FileInspection spaced = inspect(blankAfterEach);
    EXPECT_EQ(spaced.faults, blanks);
    EXPECT_EQ(spaced.records.size(), 69u);
}

TEST_F(Inspector, ADeliveryLeavesAReceiptWithTheHashOfTheDeliveredFile) {
    // A receipts table of before the declaration's period, sequence and balance were kept.
    program.context.g_dbAplicativo->execute(
        "CREATE TABLE kp_Entregas (ID LONG NOT NULL, CUIT DOUBLE, CodDJ LONG, horaDJ DATETIME, sArchivo TEXT(255), "
        "sCarpeta TEXT(255), dTamano DOUBLE, sSha256 TEXT(64), sNumeroVerificacion TEXT(6), fEntrega DATETIME)");
    program.createDeclaration();
    // 2 % of 100.000 is due.
    program.setSection<BActivoComputable>({{"cDineroEfectivoNac", Variant("100.000")}});
    auto generator = newGenerator(destination.path());
    ASSERT_EQ(GenerarEnDestino(*generator, destination.path().string()), GenerationOutcome::Delivered) << told();
    const fs::path delivered = destination.path() / generator->encryptedFile();

    std::string sha256sum(64, '\0');
    FILE* pipe = ::popen(("sha256sum '" + delivered.string() + "'").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    ASSERT_EQ(std::fread(sha256sum.data(), 1, sha256sum.size(), pipe), 64u);
    ::pclose(pipe);

    const auto receipts = entregas(program.context);
    ASSERT_EQ(receipts.size(), 1u);
    EXPECT_EQ(receipts[0].sha256, sha256sum);
    EXPECT_EQ(receipts[0].size, fs::file_size(delivered));
    EXPECT_EQ(receipts[0].fileName, generator->encryptedFile());
    EXPECT_EQ(receipts[0].verificationNumber + "F0369.B64", generator->encryptedFile());
    EXPECT_FALSE(receipts[0].declarationDeleted);
    EXPECT_EQ(receipts[0].period, 2004);
    EXPECT_EQ(receipts[0].sequence, 0);
    EXPECT_EQ(receipts[0].balance, Currency::fromUnits(2000));
}

}  // namespace
}  // namespace kapred
