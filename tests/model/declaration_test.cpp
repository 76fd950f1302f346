// The declaration header as an object: what it completes on a new row, the key it keeps, and the
// deletion of a whole declaration. Its rules and sentences are in cli/cases/declarations.test.
#include "model/declaration.h"

#include <gtest/gtest.h>

#include "data/engine/recordset.h"
#include "model/assets.h"
#include "support/opened_program.h"

namespace kapred {
namespace {

class DeclarationHeader : public ::testing::Test {
protected:
    std::string stored(const std::string& field, long codDJ) {
        auto rows =
            program.context.g_dbAplicativo->openRecordset("SELECT * FROM DDJJ WHERE CodDJ = " + std::to_string(codDJ));
        return rows->eof() ? "(ninguna)" : rows->value(field).toText(program.context.numberFormat());
    }

    test::OpenedProgram program;
};

TEST_F(DeclarationHeader, NewHeaderIsStampedAndItsKeyNeverChanges) {
    auto header = program.createDeclaration();
    EXPECT_EQ(stored("hora", 20040), "10/03/2005 10:20:30");
    EXPECT_EQ(stored("sVersionEXE", 20040).size(), 7u);

    // Modifying the saved header to another period keeps its code: the row is updated, not moved.
    header->Entity->SetFieldValue("lPeriodo", Variant("2005"));
    header->Entity->SetFieldValue("fPeriodoFiscalDesde", Variant("01/01/2005"));
    header->Entity->SetFieldValue("fPeriodoFiscalHasta", Variant("31/12/2005"));
    ASSERT_EQ(header->iValidateBusinessRules(), 0);
    ASSERT_TRUE(header->bSave());
    EXPECT_EQ(program.countRows("DDJJ"), 1);
    EXPECT_EQ(stored("lPeriodo", 20040), "2005");
    EXPECT_EQ(stored("lPeriodo", 20050), "(ninguna)");
}

const char* const kDeclarationTables[] = {
    "DDJJ",       "ActivoComputable",        "ActivoExento",         "ActivoNoComputable",
    "Pasivo",     "LiqDeduccionesAlCapital", "SaldoFavorPeriodoAnt", "Anticipos",
    "PagosCuenta"};

// Every section of the current declaration gets a row.
void fillEverySection(test::OpenedProgram& program) {
    program.setSection<BActivoComputable>({{"cDineroEfectivoNac", Variant("1.000")}});
    program.setSection<BActivoExento>({{"cCuotasSociales", Variant("300")}});
    program.setSection<BActivoNoComputable>({{"cBienesExterior", Variant("400")}});
    program.setSection<BPasivo>({{"cDeudas", Variant("500")}});
    program.setSection<BLiqDeduccionesAlCapital>({{"cRetornoExcedente", Variant("60")}});
    program.setSection<BSaldoFavorPeriodoAnt>({{"lPeriodo", Variant("2001")}, {"cImporte", Variant("70")}});
    program.addRow<BAnticipos>("10/01/2005", "80");
    program.addRow<BPagosCuenta>("15/12/2004", "100");
}

TEST_F(DeclarationHeader, DeletingADeclarationRemovesEveryRowOfItAndNothingElse) {
    test::HeaderInput kept;
    kept.period = "2005";
    kept.from = "01/01/2005";
    kept.to = "31/12/2005";
    program.createDeclaration(kept);
    fillEverySection(program);
    auto doomed = program.createDeclaration();
    fillEverySection(program);
    // The same code of another taxpayer.
    program.context.g_dbAplicativo->execute("INSERT INTO Pasivo (CUIT, CodDJ, cDeudas) VALUES (30501234563, 20040, 5)");

    ASSERT_TRUE(doomed->bDeleteDeclaration());
    for (const char* table : kDeclarationTables) {
        EXPECT_EQ(program.countRows(table, 20040), 0) << table;
        EXPECT_EQ(program.countRows(table, 20050), 1) << table;
    }
    EXPECT_EQ(program.countRows("Pasivo"), 2);
    EXPECT_FALSE(doomed->g_bEdit);
}

}  // namespace
}  // namespace kapred
