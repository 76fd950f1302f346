// Operations on whole declarations: the copy (every row, the row numbers, a failure half-way)
// and loading a declaration. The copy's entry checks are in cli/cases/copy.test.
#include "model/declaration_ops.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "data/engine/recordset.h"
#include "model/assets.h"
#include "support/opened_program.h"

namespace kapred {
namespace {

using Rows = std::vector<std::vector<std::string>>;

const char* const kSectionTables[] = {
    "ActivoComputable",        "ActivoExento",         "ActivoNoComputable", "Pasivo",
    "LiqDeduccionesAlCapital", "SaldoFavorPeriodoAnt", "Anticipos",          "PagosCuenta"};

class DeclarationOps : public ::testing::Test {
protected:
    // The original of 2004 with a row in every section; its advances are numbered 1 and 3.
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
        program.addRow<BPagosCuenta>("15/12/2004", "100");
    }

    // The stored rows of a declaration, every column but the code, as texts.
    Rows rowsOf(const std::string& table, long codDJ) {
        auto rows = program.context.g_dbAplicativo->openRecordset("SELECT * FROM " + table +
                                                                  " WHERE CodDJ = " + std::to_string(codDJ));
        Rows result;
        for (; !rows->eof(); rows->moveNext()) {
            std::vector<std::string> row;
            for (const auto& field : rows->fields()) {
                if (field.name != "CodDJ") {
                    row.push_back(field.name + "=" + rows->value(field.name).toText());
                }
            }
            result.push_back(row);
        }
        return result;
    }

    test::OpenedProgram program;
    std::shared_ptr<BDDJJ> origin;
};

TEST_F(DeclarationOps, CopyTakesEveryRowAndKeepsTheNumbersAndASecondCopyChangesNothing) {
    originalWithEverySection();
    const Rows header = rowsOf("DDJJ", 20040);
    ASSERT_EQ(copyDeclaration(program.context, "2004", "1"), CopyOutcome::Copied);
    for (const char* table : kSectionTables) {
        EXPECT_EQ(rowsOf(table, 20041), rowsOf(table, 20040)) << table;
        EXPECT_FALSE(rowsOf(table, 20041).empty()) << table;
    }
    EXPECT_EQ(rowsOf("Anticipos", 20041).at(1).at(1), "ID=3");
    // The copied header differs from its origin only in the sequence; the origin stays current.
    Rows expected = header;
    std::replace(expected.at(0).begin(), expected.at(0).end(), std::string("CODIGO_T_SECUENCIAS=0"),
                 std::string("CODIGO_T_SECUENCIAS=1"));
    EXPECT_EQ(rowsOf("DDJJ", 20041), expected);
    EXPECT_EQ(rowsOf("DDJJ", 20040), header);
    EXPECT_EQ(program.context.currentDeclaration, origin);
    ASSERT_FALSE(program.ui.progress.empty());
    EXPECT_EQ(program.ui.progress.back(), 100.0);
    EXPECT_TRUE(std::is_sorted(program.ui.progress.begin(), program.ui.progress.end()));

    // The rectification is worked on; copying onto it again is refused and changes nothing.
    program.context.g_dbAplicativo->execute("UPDATE Pasivo SET cDeudas = 999 WHERE CodDJ = 20041");
    const Rows liabilities = rowsOf("Pasivo", 20041);
    EXPECT_EQ(copyDeclaration(program.context, "2004", "1"), CopyOutcome::Refused);
    EXPECT_EQ(rowsOf("Pasivo", 20041), liabilities);
    EXPECT_EQ(program.countRows("Anticipos", 20041), 2);
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
    program.context.g_dbAplicativo->execute("CREATE TRIGGER refuse_copy BEFORE INSERT ON " + last +
                                            " WHEN NEW.CodDJ = 20041 BEGIN SELECT RAISE(ABORT, 'disco lleno'); END");
    EXPECT_EQ(copyDeclaration(program.context, "2004", "1"), CopyOutcome::Failed);
    ASSERT_EQ(program.ui.shown.size(), 1u);
    EXPECT_EQ(program.ui.shown[0].title, "Error");
    for (const char* table : kSectionTables) {
        EXPECT_EQ(program.countRows(table, 20041), 0) << table;
    }
    EXPECT_EQ(program.countRows("DDJJ", 20041), 0);

    // Once the cause is gone the copy goes through.
    program.context.g_dbAplicativo->execute("DROP TRIGGER refuse_copy");
    EXPECT_EQ(copyDeclaration(program.context, "2004", "1"), CopyOutcome::Copied);
    EXPECT_EQ(program.countRows("Anticipos", 20041), 2);
}

TEST_F(DeclarationOps, LoadingADeclarationMakesItCurrentAndReadsTheHostNumber) {
    auto current = program.createDeclaration();
    for (const Variant& code : {Variant(std::int32_t{20049}), Variant("abc"), Variant(""), Variant("20040 OR 1=1")}) {
        EXPECT_FALSE(loadDeclaration(program.context, code)) << code;
    }
    EXPECT_EQ(program.context.currentDeclaration, current);
    EXPECT_EQ(program.context.ncontrib, 0);

    ASSERT_TRUE(loadDeclaration(program.context, Variant("20040")));
    EXPECT_NE(program.context.currentDeclaration, current);
    EXPECT_TRUE(program.context.currentDeclaration->g_bEdit);
    EXPECT_EQ(program.context.ncontrib, 1);  // the demo taxpayer's number in the host
    // Section objects follow the declaration now current.
    EXPECT_EQ(BActivoComputable(program.context).Entity->vGetFieldValue("CodDJ").toText(), "20040");
}

TEST(SequenceDescription, OriginalOrRectificationByTheLastDigit) {
    EXPECT_EQ(sequenceDescription(Variant(std::int32_t{0})), "Original");
    EXPECT_EQ(sequenceDescription(Variant(" 7 ")), "Rectificativa 7");
    EXPECT_EQ(sequenceDescription(Variant(std::int32_t{10})), "Original");
    EXPECT_EQ(sequenceDescription(Variant(std::int32_t{12})), "Rectificativa 2");
}

}  // namespace
}  // namespace kapred
