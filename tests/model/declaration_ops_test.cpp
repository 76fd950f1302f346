#include "model/declaration_ops.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "data/engine/recordset.h"
#include "model/assets.h"
#include "support/opened_program.h"

namespace kapred {
namespace {

using Lines = std::vector<std::string>;
using Rows = std::vector<std::vector<std::string>>;

const char* const kCopyTitle = " Inconsistencias al Copiar la Declaración Jurada";

const char* const kSectionTables[] = {
    "ActivoComputable",        "ActivoExento",         "ActivoNoComputable", "Pasivo",
    "LiqDeduccionesAlCapital", "SaldoFavorPeriodoAnt", "Anticipos",          "PagosCuenta"};

class DeclarationOps : public ::testing::Test {
protected:
    // The original of 2004 with a row in every section; its advances are numbered 1 and 3 (the
    // second was deleted), its payments 1 and 2.
    void originalWithEverySection() {
        origin = program.createDeclaration();
        program.setSection<BActivoComputable>(
            {{"cDineroEfectivoNac", Variant("1.000,50")}, {"cTitulosPublicos", Variant("-200")}});
        program.setSection<BActivoExento>({{"cCuotasSociales", Variant("300")}});
        program.setSection<BActivoNoComputable>({{"cBienesExterior", Variant("400")}});
        program.setSection<BPasivo>({{"iCooperativaAseguradoresVida", Variant("1")}, {"cDeudas", Variant("500")}});
        program.setSection<BLiqDeduccionesAlCapital>({{"cTotalRetribucionesLey23427", Variant("60")}});
        program.setSection<BSaldoFavorPeriodoAnt>({{"lPeriodo", Variant("2002")}, {"cImporte", Variant("70")}});
        BAnticipos advances(program.context);
        program.addRow(advances, "10/01/2005", "80");
        program.addRow(advances, "11/01/2005", "90");
        program.addRow(advances, "12/01/2005", "95");
        advances.Entity->SetFieldValue("ID", Variant(std::int32_t{2}));
        ASSERT_TRUE(advances.bFind());
        ASSERT_TRUE(advances.bDelete("PK"));
        BPagosCuenta payments(program.context);
        program.addRow(payments, "15/12/2004", "100");
        program.addRow(payments, "16/12/2004", "110");
    }

    // The stored rows of a declaration, every column but the code, as texts.
    Rows rowsOf(const std::string& table, long codDJ) {
        const bool list = table == "Anticipos" || table == "PagosCuenta";
        auto rows = program.context.g_dbAplicativo->openRecordset(
            "SELECT * FROM " + table + " WHERE CodDJ = " + std::to_string(codDJ) + (list ? " ORDER BY ID" : ""));
        Rows result;
        while (!rows->eof()) {
            std::vector<std::string> row;
            for (const auto& field : rows->fields()) {
                if (field.name != "CodDJ") {
                    row.push_back(field.name + "=" + rows->value(field.name).toText());
                }
            }
            result.push_back(row);
            rows->moveNext();
        }
        return result;
    }

    long storedDeclarations() { return program.countRows("DDJJ"); }

    test::OpenedProgram program;
    std::shared_ptr<BDDJJ> origin;
};

TEST_F(DeclarationOps, CopyToARectificationTakesEveryRowAndKeepsTheNumbers) {
    originalWithEverySection();
    const Rows header = rowsOf("DDJJ", 20040);
    ASSERT_EQ(copyDeclaration(program.context, "2004", "1"), CopyOutcome::Copied);

    for (const char* table : kSectionTables) {
        EXPECT_EQ(rowsOf(table, 20041), rowsOf(table, 20040)) << table;
        EXPECT_FALSE(rowsOf(table, 20041).empty()) << table;
    }
    EXPECT_EQ(rowsOf("Anticipos", 20041), (Rows{{"CUIT=20123456789", "ID=1", "fFecha=10/01/2005", "cImporte=80"},
                                                {"CUIT=20123456789", "ID=3", "fFecha=12/01/2005", "cImporte=95"}}));
    EXPECT_EQ(rowsOf("ActivoComputable", 20041).at(0).at(1), "cDineroEfectivoNac=1000,5");

    // The copied header differs from its origin only in the sequence.
    Rows expected = header;
    for (auto& column : expected.at(0)) {
        if (column.starts_with("CODIGO_T_SECUENCIAS=")) {
            column = "CODIGO_T_SECUENCIAS=1";
        }
    }
    EXPECT_EQ(rowsOf("DDJJ", 20041), expected);
    EXPECT_EQ(rowsOf("DDJJ", 20041).at(0).back(), "hora=10/03/2005 10:20:30");
    EXPECT_EQ(rowsOf("DDJJ", 20040), header);  // the origin is left as it was

    ASSERT_EQ(program.ui.shown.size(), 1u);
    EXPECT_EQ(program.ui.shown[0].title, "Información");
    EXPECT_EQ(program.ui.shown[0].text, "La Copia ha finalizado correctamente!.");
    ASSERT_FALSE(program.ui.progress.empty());
    EXPECT_EQ(program.ui.progress.back(), 100.0);
    EXPECT_TRUE(std::is_sorted(program.ui.progress.begin(), program.ui.progress.end()));
    EXPECT_TRUE(program.ui.inconsistencies.empty());
    // The copy does not change the current declaration.
    EXPECT_EQ(program.context.currentDeclaration, origin);
    EXPECT_EQ(origin->Entity->vGetFieldValue("CodDJ").toText(), "20040");

    // A later rectification may start from the first one; a sequence typed "03" is the sequence 3.
    program.makeCurrent(nullptr);
    ASSERT_TRUE(loadDeclaration(program.context, Variant(std::int32_t{20041})));
    ASSERT_EQ(copyDeclaration(program.context, "2004", "03"), CopyOutcome::Copied);
    EXPECT_EQ(rowsOf("Anticipos", 20043), rowsOf("Anticipos", 20040));
    ASSERT_EQ(rowsOf("DDJJ", 20043).size(), 1u);
    EXPECT_EQ(rowsOf("DDJJ", 20043)[0][6], "CODIGO_T_SECUENCIAS=3");
    EXPECT_EQ(storedDeclarations(), 3);
}

TEST_F(DeclarationOps, CopyEntryChecksAreListedTogetherAndNothingIsWritten) {
    originalWithEverySection();
    const auto refused = [&](const std::string& period, const std::string& sequence) {
        program.ui.inconsistencies.clear();
        EXPECT_EQ(copyDeclaration(program.context, period, sequence), CopyOutcome::Refused);
        EXPECT_EQ(storedDeclarations(), 1);
        EXPECT_EQ(program.countRows("Anticipos"), 2);
        EXPECT_TRUE(program.ui.shown.empty());
        if (program.ui.inconsistencies.size() != 1) {
            ADD_FAILURE() << "one list expected for " << period << "/" << sequence;
            return Lines{};
        }
        EXPECT_EQ(program.ui.inconsistencies[0].title, kCopyTitle);
        return program.ui.inconsistencies[0].lines;
    };
    EXPECT_EQ(refused("", ""), Lines{" Debe ingresar el Periodo de Destino"});
    EXPECT_EQ(refused("", "1"), Lines{" Debe ingresar el Periodo de Destino"});
    EXPECT_EQ(refused("2004", ""), Lines{" Debe seleccionar una Secuencia de Destino"});
    EXPECT_EQ(refused("2003", "1"), Lines{" El Período Destino debe ser igual al Período Origen "});
    EXPECT_EQ(refused("2005", "0"), Lines{" El Período Destino debe ser igual al Período Origen "});
    EXPECT_EQ(refused("2004", "0"), Lines{" La Declaración Jurada Origen debe ser distinta a la de Destino"});
    EXPECT_EQ(refused("dos mil", "1"), Lines{" El Período Destino debe ser igual al Período Origen "});

    // From a rectification, a lower sequence is refused.
    ASSERT_EQ(copyDeclaration(program.context, "2004", "2"), CopyOutcome::Copied);
    program.ui.shown.clear();
    ASSERT_TRUE(loadDeclaration(program.context, Variant(std::int32_t{20042})));
    const auto lower = [&] {
        program.ui.inconsistencies.clear();
        EXPECT_EQ(copyDeclaration(program.context, "2004", "1"), CopyOutcome::Refused);
        return program.ui.inconsistencies.empty() ? Lines{} : program.ui.inconsistencies[0].lines;
    }();
    EXPECT_EQ(lower, Lines{" La secuencia Destino debe ser mayor a la secuencia Origen"});
    EXPECT_EQ(storedDeclarations(), 2);

    // The checks on their own.
    EXPECT_EQ(copyEntryErrors(*program.context.currentDeclaration, " 2004 ", " 3 ", program.context.numberFormat()),
              Lines{});
    EXPECT_EQ(copyEntryErrors(*program.context.currentDeclaration, "2004", "2", program.context.numberFormat()),
              Lines{" La Declaración Jurada Origen debe ser distinta a la de Destino"});
}

TEST_F(DeclarationOps, CopyOntoAnExistingDeclarationIsRefused) {
    originalWithEverySection();
    ASSERT_EQ(copyDeclaration(program.context, "2004", "1"), CopyOutcome::Copied);
    // The rectification is worked on before the copy is tried again.
    program.context.g_dbAplicativo->execute("UPDATE Pasivo SET cDeudas = 999 WHERE CodDJ = 20041");
    program.context.g_dbAplicativo->execute("DELETE FROM Anticipos WHERE CodDJ = 20041 AND ID = 3");
    const Rows liabilities = rowsOf("Pasivo", 20041);
    program.ui.shown.clear();
    program.ui.progress.clear();

    EXPECT_EQ(copyDeclaration(program.context, "2004", "1"), CopyOutcome::Refused);
    ASSERT_EQ(program.ui.inconsistencies.size(), 1u);
    EXPECT_EQ(program.ui.inconsistencies[0].title, " Pantalla Declaración Jurada");
    EXPECT_EQ(program.ui.inconsistencies[0].lines, Lines{"La Declaración Jurada a la que intenta copiar ya existe."});
    EXPECT_TRUE(program.ui.shown.empty());
    EXPECT_TRUE(program.ui.progress.empty());
    EXPECT_EQ(rowsOf("Pasivo", 20041), liabilities);
    EXPECT_EQ(program.countRows("Anticipos", 20041), 1);
    EXPECT_EQ(storedDeclarations(), 2);
}

TEST_F(DeclarationOps, CopyThatFailsHalfWayLeavesNoRowBehind) {
    originalWithEverySection();
    // The last table the copy writes refuses the copied row, as a full disk would.
    std::string last;
    for (const auto& table : program.context.g_dbAplicativo->tableDefs()) {
        if (table.attributes == 0) {
            last = table.name;
        }
    }
    ASSERT_FALSE(last.empty());
    program.context.g_dbAplicativo->execute("CREATE TRIGGER refuse_copy BEFORE INSERT ON " + last +
                                            " WHEN NEW.CodDJ = 20041 BEGIN SELECT RAISE(ABORT, 'disco lleno'); END");

    EXPECT_EQ(copyDeclaration(program.context, "2004", "1"), CopyOutcome::Failed);
    ASSERT_EQ(program.ui.shown.size(), 1u);
    EXPECT_EQ(program.ui.shown[0].title, "Error");
    for (const char* table : kSectionTables) {
        EXPECT_EQ(program.countRows(table, 20041), 0) << table;
    }
    EXPECT_EQ(program.countRows("DDJJ", 20041), 0);
    EXPECT_EQ(program.countRows("Anticipos", 20040), 2);

    // Once the cause is gone the copy goes through.
    program.context.g_dbAplicativo->execute("DROP TRIGGER refuse_copy");
    EXPECT_EQ(copyDeclaration(program.context, "2004", "1"), CopyOutcome::Copied);
    EXPECT_EQ(program.countRows("Anticipos", 20041), 2);
}

TEST_F(DeclarationOps, LoadingADeclarationMakesItCurrent) {
    program.createDeclaration();
    test::HeaderInput next;
    next.period = "2005";
    next.from = "01/01/2005";
    next.to = "31/12/2005";
    auto current = program.createDeclaration(next);

    EXPECT_FALSE(loadDeclaration(program.context, Variant(std::int32_t{20049})));
    EXPECT_FALSE(loadDeclaration(program.context, Variant("abc")));
    EXPECT_FALSE(loadDeclaration(program.context, Variant("")));
    EXPECT_FALSE(loadDeclaration(program.context, Variant("20040 OR 1=1")));
    EXPECT_EQ(program.context.currentDeclaration, current);
    EXPECT_EQ(program.context.ncontrib, 0);

    ASSERT_TRUE(loadDeclaration(program.context, Variant("20040")));
    const auto& loaded = *program.context.currentDeclaration;
    EXPECT_NE(program.context.currentDeclaration, current);
    EXPECT_TRUE(loaded.g_bEdit);
    EXPECT_EQ(loaded.Entity->vGetFieldValue("lPeriodo").toText(), "2004");
    EXPECT_EQ(loaded.Entity->vGetFieldValue("fPeriodoFiscalDesde").toText(), "01/01/2004");
    EXPECT_EQ(program.context.ncontrib, 1);  // the demo taxpayer's number in the host

    // Section objects follow the declaration now current.
    BActivoComputable assets(program.context);
    EXPECT_EQ(assets.Entity->vGetFieldValue("CodDJ").toText(), "20040");

    EXPECT_EQ(taxpayerLine(program.context),
              "CUIT: 20-12345678-9 -  Nombre y Apellido : Cooperativa Agrícola Ganadera La "
              "Esperanza Ltda. "
              "Actividad: 011111");
}

TEST(SequenceDescription, OriginalOrRectificationByTheLastDigit) {
    EXPECT_EQ(sequenceDescription(Variant(std::int32_t{0})), "Original");
    EXPECT_EQ(sequenceDescription(Variant(std::int32_t{1})), "Rectificativa 1");
    EXPECT_EQ(sequenceDescription(Variant(" 7 ")), "Rectificativa 7");
    EXPECT_EQ(sequenceDescription(Variant(std::int32_t{10})), "Original");
    EXPECT_EQ(sequenceDescription(Variant(std::int32_t{12})), "Rectificativa 2");
}

}  // namespace
}  // namespace kapred
