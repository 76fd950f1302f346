#include "model/declaration.h"

#include <gtest/gtest.h>

#include "data/engine/recordset.h"
#include "data/persistence.h"
#include "data/validation.h"
#include "model/assets.h"
#include "support/opened_program.h"

namespace kapred {
namespace {

using Lines = std::vector<std::string>;

const char* const kHastaBeforeDesde = "El Período Hasta debe ser mayor al Período Desde.";
const char* const kRegularSpansAYear =
    "Por tratarse de ejercicio Regular, el Período Desde y Hasta debe comprender un año.";
const char* const kIrregularStartYear =
    "Por tratarse de ejercicio Irregular, el Año del Período Desde debe ser igual al Período "
    "Fiscal o a Período "
    "Fiscal - 1.";
const char* const kHastaYear = "El Año del Período Hasta debe ser igual al Período Fiscal (AAAA).";

test::HeaderInput regular(const std::string& period, const std::string& from, const std::string& to) {
    test::HeaderInput input;
    input.period = period;
    input.from = from;
    input.to = to;
    return input;
}

test::HeaderInput irregular(const std::string& period, const std::string& from, const std::string& to) {
    test::HeaderInput input = regular(period, from, to);
    input.kind = "2";
    return input;
}

class DeclarationHeader : public ::testing::Test {
protected:
    // A new header with the typed values, validated as the declarations window does on Aceptar.
    int validateNew(const test::HeaderInput& input) {
        header = std::make_unique<BDDJJ>(program.context);
        header->AddNew();
        for (const auto& [field, value] : test::OpenedProgram::headerValues(input)) {
            header->Entity->SetFieldValue(field, value);
        }
        return header->iValidateBusinessRules();
    }

    Lines lines(int kind) { return BuildInconsistencyLines(*header, kind, program.context.numberFormat()); }

    std::string stored(const std::string& field, long codDJ) {
        auto rows =
            program.context.g_dbAplicativo->openRecordset("SELECT * FROM DDJJ WHERE CodDJ = " + std::to_string(codDJ));
        return rows->eof() ? "(ninguna)" : rows->value(field).toText(program.context.numberFormat());
    }

    test::OpenedProgram program;
    std::unique_ptr<BDDJJ> header;
};

TEST_F(DeclarationHeader, NewHeaderIsCompletedAndItsKeyNeverChanges) {
    ASSERT_EQ(validateNew(regular("2004", "01/01/2004", "31/12/2004")), 0);
    const EntityBase& entity = *header->Entity;
    EXPECT_EQ(entity.vGetFieldValue("CodDJ").toText(), "20040");
    EXPECT_EQ(entity.vGetFieldValue("CUIT").toText(), "20123456789");
    EXPECT_EQ(entity.vGetFieldValue("hora"), Variant(test::fixedNow()));
    EXPECT_EQ(entity.vGetFieldValue("sVersion"), Variant("1"));
    EXPECT_EQ(entity.vGetFieldValue("sVersionEXE").toText().size(), 7u);
    ASSERT_TRUE(header->bSave());
    EXPECT_TRUE(header->g_bEdit);
    EXPECT_EQ(stored("lPeriodo", 20040), "2004");
    EXPECT_EQ(stored("fPeriodoFiscalHasta", 20040), "31/12/2004");
    EXPECT_EQ(stored("hora", 20040), "10/03/2005 10:20:30");

    // Modifying the saved header to another period keeps its code: the row is updated, not moved.
    header->Entity->SetFieldValue("lPeriodo", Variant("2005"));
    header->Entity->SetFieldValue("fPeriodoFiscalDesde", Variant("01/01/2005"));
    header->Entity->SetFieldValue("fPeriodoFiscalHasta", Variant("31/12/2005"));
    ASSERT_EQ(header->iValidateBusinessRules(), 0);
    EXPECT_EQ(header->Entity->vGetFieldValue("CodDJ").toText(), "20040");
    ASSERT_TRUE(header->bSave());
    EXPECT_EQ(program.countRows("DDJJ"), 1);
    EXPECT_EQ(stored("lPeriodo", 20040), "2005");
    EXPECT_EQ(stored("lPeriodo", 20050), "(ninguna)");

    // A rectification of the same period gets its own code.
    ASSERT_EQ(validateNew([] {
                  auto input = regular("2004", "01/01/2004", "31/12/2004");
                  input.sequence = "1";
                  return input;
              }()),
              0);
    EXPECT_EQ(header->Entity->vGetFieldValue("CodDJ").toText(), "20041");
    // A sequence typed with a leading zero or blanks is the same sequence.
    for (const char* typed : {"01", " 1 "}) {
        test::HeaderInput input = regular("2004", "01/01/2004", "31/12/2004");
        input.sequence = typed;
        ASSERT_EQ(validateNew(input), 0) << typed;
        EXPECT_EQ(header->Entity->vGetFieldValue("CodDJ").toText(), "20041") << typed;
    }
}

TEST_F(DeclarationHeader, RegularYearCoversExactlyOneYear) {
    EXPECT_EQ(validateNew(regular("2004", "01/07/2003", "30/06/2004")), 0);
    EXPECT_TRUE(header->g_vecErroresInconsistencia.isNull());
    EXPECT_EQ(validateNew(regular("2004", "01/01/2004", "31/12/2004")), 0);

    EXPECT_EQ(validateNew(regular("2004", "01/07/2003", "01/07/2004")), kRuleError);
    EXPECT_EQ(lines(kRuleError), Lines{kRegularSpansAYear});

    // A year that starts on 29 February ends on 27 February: 28/02 of the next year less one day.
    EXPECT_EQ(validateNew(regular("2005", "29/02/2004", "27/02/2005")), 0);
    EXPECT_EQ(validateNew(regular("2005", "29/02/2004", "28/02/2005")), kRuleError);
    EXPECT_EQ(lines(kRuleError), Lines{kRegularSpansAYear});
    // Starting on 01/03 of a leap year the year ends on the last day of February.
    EXPECT_EQ(validateNew(regular("2004", "01/03/2003", "29/02/2004")), 0);

    // Equal dates pass the first rule and fail the second.
    EXPECT_EQ(validateNew(regular("2004", "01/07/2004", "01/07/2004")), kRuleError);
    EXPECT_EQ(lines(kRuleError), Lines{kRegularSpansAYear});
}

TEST_F(DeclarationHeader, IrregularYearStartsInThePeriodOrTheYearBefore) {
    EXPECT_EQ(validateNew(irregular("2004", "01/03/2003", "31/12/2004")), 0);
    EXPECT_EQ(validateNew(irregular("2004", "01/03/2004", "31/10/2004")), 0);
    EXPECT_EQ(validateNew(irregular("2004", "31/12/2004", "31/12/2004")), 0);

    EXPECT_EQ(validateNew(irregular("2004", "01/03/2002", "31/12/2004")), kRuleError);
    EXPECT_EQ(lines(kRuleError), Lines{kIrregularStartYear});

    // Every rule runs: Hasta before Desde and in another year gives both messages, in order.
    EXPECT_EQ(validateNew(irregular("2004", "01/03/2004", "31/12/2003")), kRuleError);
    EXPECT_EQ(lines(kRuleError), (Lines{kHastaBeforeDesde, kHastaYear}));

    // A regular year closing in another year than the period.
    EXPECT_EQ(validateNew(regular("2004", "01/01/2003", "31/12/2003")), kRuleError);
    EXPECT_EQ(lines(kRuleError), Lines{kHastaYear});
}

TEST_F(DeclarationHeader, OutOfRangeValuesStopBeforeTheDateRules) {
    // The dates would break rule 4, but the date rules never run.
    EXPECT_EQ(validateNew(regular("1985", "01/01/1986", "31/12/1986")), kRangeError);
    EXPECT_EQ(lines(kRangeError), Lines{"El campo 'Período Fiscal (AAAA)' debe estar comprendido "
                                        "entre : 1986 y 2022 . Intento de "
                                        "ingreso :1985"});
    EXPECT_EQ(validateNew(regular("2023", "01/01/2022", "31/12/2022")), kRangeError);
    EXPECT_EQ(lines(kRangeError), Lines{"El campo 'Período Fiscal (AAAA)' debe estar comprendido "
                                        "entre : 1986 y 2022 . Intento de "
                                        "ingreso :2023"});
    EXPECT_EQ(validateNew(regular("1986", "15/10/1985", "14/10/1986")), kRangeError);
    EXPECT_EQ(lines(kRangeError), Lines{"El campo 'Periodo Fiscal - Hasta' debe estar comprendido "
                                        "entre : 15/10/1986 y 31/12/2022 . "
                                        "Intento de ingreso :14/10/1986"});
    EXPECT_EQ(validateNew(regular("1986", "15/10/1985", "15/10/1986")),
              kRuleError);  // in range, a year and a day

    // All six intervals are checked, each failure under its own field, in field order.
    test::HeaderInput input = regular("2022", "14/10/1985", "01/01/2023");
    input.kind = "3";
    input.economicYear = "0";
    input.sequence = "100";
    EXPECT_EQ(validateNew(input), kRangeError);
    EXPECT_EQ(lines(kRangeError), (Lines{"El campo 'Tipo de Ejercicio Fiscal ' debe estar "
                                         "comprendido entre : 1 y 2 . Intento de "
                                         "ingreso :3",
                                         "El campo 'Período Fiscal - Desde' debe estar comprendido "
                                         "entre : 15/10/1985 y 31/12/2022 . "
                                         "Intento de ingreso :14/10/1985",
                                         "El campo 'Periodo Fiscal - Hasta' debe estar comprendido "
                                         "entre : 15/10/1986 y 31/12/2022 . "
                                         "Intento de ingreso :01/01/2023",
                                         "El campo 'Ejercicio Económico Nº' debe estar comprendido "
                                         "entre : 1 y 99 . Intento de ingreso :0",
                                         "El campo 'Secuencia de Presentación' debe estar "
                                         "comprendido entre : 0 y 99 . Intento de "
                                         "ingreso :100"}));
    EXPECT_EQ(program.countRows("DDJJ"), 0);
}

TEST_F(DeclarationHeader, ValuesOfTheWrongTypeGiveCodeOne) {
    test::HeaderInput input = regular("2004", "31/02/2004", "31/12/2004");
    EXPECT_EQ(validateNew(input), kTypeError);
    EXPECT_EQ(lines(kTypeError), Lines{"El campo 'Período Fiscal - Desde' debe ser : \"Fecha\". "
                                       "Intento de ingreso :31/02/2004"});

    input = regular("2004", "01/01/2004", "31/12/2004");
    input.economicYear = "1,5";
    EXPECT_EQ(validateNew(input), kTypeError);
    EXPECT_EQ(lines(kTypeError),
              Lines{"El campo 'Ejercicio Económico Nº' debe ser : \"Entero\". Intento de ingreso :1,5"});

    // Letters in the period also spoil the code built from it.
    input = regular("dos mil cuatro", "01/01/2004", "31/12/2004");
    EXPECT_EQ(validateNew(input), kTypeError);
    const Lines sentences = lines(kTypeError);
    ASSERT_FALSE(sentences.empty());
    EXPECT_EQ(sentences.back(),
              "El campo 'Período Fiscal (AAAA)' debe ser : \"Entero\". Intento de ingreso :dos mil "
              "cuatro");
    EXPECT_EQ(program.countRows("DDJJ"), 0);
}

TEST_F(DeclarationHeader, SecondDeclarationOfAPeriodAndSequenceIsRefused) {
    program.createDeclaration(regular("2004", "01/01/2004", "31/12/2004"));
    test::HeaderInput again = regular("2004", "01/07/2003", "30/06/2004");
    again.economicYear = "7";
    ASSERT_EQ(validateNew(again), 0);
    EXPECT_FALSE(header->bSave());
    EXPECT_FALSE(header->g_bEdit);
    EXPECT_EQ(lines(kRuleError), Lines{"El registro que intenta ingresar, ya se encuentra en la base de datos."});
    EXPECT_EQ(program.countRows("DDJJ"), 1);
    EXPECT_EQ(stored("iEjercicioEconomico", 20040), "1");
    EXPECT_EQ(stored("fPeriodoFiscalDesde", 20040), "01/01/2004");
}

// Every section of a declaration gets at least one row.
void fillEverySection(test::OpenedProgram& program) {
    program.setSection<BActivoComputable>({{"cDineroEfectivoNac", Variant("1.000")}});
    program.setSection<BActivoExento>({{"cCuotasSociales", Variant("300")}});
    program.setSection<BActivoNoComputable>({{"cBienesExterior", Variant("400")}});
    program.setSection<BPasivo>({{"cDeudas", Variant("500")}});
    program.setSection<BLiqDeduccionesAlCapital>({{"cRetornoExcedente", Variant("60")}});
    program.setSection<BSaldoFavorPeriodoAnt>({{"lPeriodo", Variant("2001")}, {"cImporte", Variant("70")}});
    BAnticipos advances(program.context);
    program.addRow(advances, "10/01/2005", "80");
    program.addRow(advances, "11/01/2005", "90");
    program.addRow<BPagosCuenta>("15/12/2004", "100");
}

const char* const kDeclarationTables[] = {
    "DDJJ",       "ActivoComputable",        "ActivoExento",         "ActivoNoComputable",
    "Pasivo",     "LiqDeduccionesAlCapital", "SaldoFavorPeriodoAnt", "Anticipos",
    "PagosCuenta"};

TEST_F(DeclarationHeader, DeletingADeclarationRemovesEveryRowOfItAndNothingElse) {
    program.createDeclaration(regular("2005", "01/01/2005", "31/12/2005"));
    fillEverySection(program);
    auto doomed = program.createDeclaration(regular("2004", "01/01/2004", "31/12/2004"));
    fillEverySection(program);
    // The same code of another taxpayer.
    program.context.g_dbAplicativo->execute("INSERT INTO Pasivo (CUIT, CodDJ, cDeudas) VALUES (30501234563, 20040, 5)");
    for (const char* table : kDeclarationTables) {
        ASSERT_GT(program.countRows(table, 20040), 0) << table;
    }

    ASSERT_TRUE(doomed->bDeleteDeclaration());
    for (const char* table : kDeclarationTables) {
        EXPECT_EQ(program.countRows(table, 20040), 0) << table;
        EXPECT_EQ(program.countRows(table, 20050), std::string(table) == "Anticipos" ? 2 : 1) << table;
    }
    EXPECT_EQ(program.countRows("Pasivo"), 2);
    EXPECT_FALSE(doomed->g_bEdit);
    EXPECT_EQ(doomed->Entity->vGetFieldValue("CodDJ").toText(), "0");
    EXPECT_EQ(doomed->Entity->vGetFieldValue("CUIT").toText(), "20123456789");
}

}  // namespace
}  // namespace kapred
