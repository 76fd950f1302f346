#include "data/app_database.h"

#include <gtest/gtest.h>

#include "data/engine/recordset.h"
#include "data/values/error.h"
#include "support/program_dir.h"
#include "support/scripted_ui.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;
using db::DataType;

class AppDatabase : public ::testing::Test {
protected:
    std::shared_ptr<db::Database> createAndOpen() {
        CreateAppDatabase(engine, dir.home());
        return engine.openDatabase(dir.appDatabase(), false, false, kConnect);
    }

    test::ProgramDir dir;
    db::Engine engine;
    test::ScriptedUi ui;
};

struct ExpectedField {
    const char* name;
    DataType type;
    bool required;
};

void expectFields(const db::TableDef& table, const std::vector<ExpectedField>& expected) {
    ASSERT_EQ(table.fields.size(), expected.size()) << table.name;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& field = table.fields[i];
        SCOPED_TRACE(table.name + "." + field.name);
        EXPECT_EQ(field.name, expected[i].name);
        EXPECT_EQ(field.type, expected[i].type);
        EXPECT_EQ(field.required, expected[i].required);
        if (field.type == DataType::Text) {
            EXPECT_EQ(field.attributes, 2);
            EXPECT_TRUE(field.allowZeroLength);
            EXPECT_EQ(field.defaultValue, std::optional<std::string>(""));
        } else {
            EXPECT_EQ(field.attributes, 1);
            if (field.type == DataType::Date) {
                EXPECT_FALSE(field.defaultValue.has_value());
            } else {
                EXPECT_EQ(field.defaultValue, std::optional<std::string>("0"));
            }
        }
        EXPECT_TRUE(field.validationRule.empty());
    }
}

std::vector<ExpectedField> keyed(std::vector<ExpectedField> rest) {
    std::vector<ExpectedField> fields{{"CUIT", DataType::Double, false}, {"CodDJ", DataType::Long, true}};
    fields.insert(fields.end(), rest.begin(), rest.end());
    return fields;
}

std::vector<ExpectedField> amounts(std::initializer_list<const char*> names) {
    std::vector<ExpectedField> fields;
    for (const char* name : names) {
        fields.push_back({name, DataType::Currency, false});
    }
    return keyed(fields);
}

void expectPrimaryKey(const db::IndexDef& index, std::vector<std::string> fields) {
    EXPECT_EQ(index.name, "PK");
    EXPECT_EQ(index.fields, fields);
    EXPECT_TRUE(index.primary);
    EXPECT_TRUE(index.unique);
    EXPECT_TRUE(index.required);
    EXPECT_FALSE(index.ignoreNulls);
    EXPECT_FALSE(index.clustered);
}

void expectListIndex(const db::IndexDef& index, std::vector<std::string> fields) {
    EXPECT_EQ(index.name, "IDX_LIST");
    EXPECT_EQ(index.fields, fields);
    EXPECT_FALSE(index.primary);
    EXPECT_FALSE(index.unique);
}

TEST_F(AppDatabase, CreatedSchemaReadsBackTableByTable) {
    auto database = createAndOpen();
    std::vector<std::string> localTables;
    for (const auto& table : database->tableDefs()) {
        if (table.attributes == 0) {
            localTables.push_back(table.name);
        }
    }
    EXPECT_EQ(localTables,
              (std::vector<std::string>{"ActivoComputable", "ActivoExento", "ActivoNoComputable", "Anticipos", "DDJJ",
                                        "LiqDeduccionesAlCapital", "PagosCuenta", "Pasivo", "SaldoFavorPeriodoAnt"}));

    expectFields(database->tableDef("ActivoComputable"),
                 amounts({"cDineroEfectivoNac", "cDineroEfectivoExt", "cDepositosNac", "cDepositosExt", "cCreditosNac",
                          "cCreditosExt", "cIntereses", "cTitulosPublicos", "cParticipacionesCapital", "cBienesCambio",
                          "cBienesAdquiridos", "cBienesElaborados", "cBienesEnCurso", "cInmueblesNoBienesCambio",
                          "cInmueblesActForestales", "cBienesInmateriales", "cOtrosBienes"}));
    expectFields(database->tableDef("ActivoExento"),
                 amounts({"cBienesTierraDelFuego", "cAccionesParticipaciones", "cCuotasSociales"}));
    expectFields(database->tableDef("ActivoNoComputable"), amounts({"cBienesExterior"}));
    expectFields(
        database->tableDef("LiqDeduccionesAlCapital"),
        amounts({"cReembolsoGastos", "cGratificacioneAlPersonal", "cRetornoExcedente", "cTotalRetribucionesLey23427"}));
    for (const char* list : {"Anticipos", "PagosCuenta"}) {
        expectFields(database->tableDef(list), keyed({{"ID", DataType::Long, false},
                                                      {"fFecha", DataType::Date, false},
                                                      {"cImporte", DataType::Currency, false}}));
    }
    expectFields(database->tableDef("DDJJ"), keyed({{"iTipoEjercicioFiscal", DataType::Integer, false},
                                                    {"lPeriodo", DataType::Long, true},
                                                    {"fPeriodoFiscalDesde", DataType::Date, false},
                                                    {"fPeriodoFiscalHasta", DataType::Date, false},
                                                    {"iEjercicioEconomico", DataType::Integer, false},
                                                    {"CODIGO_T_SECUENCIAS", DataType::Long, true},
                                                    {"iEstablecimiento", DataType::Integer, false},
                                                    {"sFormulario", DataType::Text, false},
                                                    {"sVersion", DataType::Text, false},
                                                    {"sVersionEXE", DataType::Text, false},
                                                    {"hora", DataType::Date, true}}));
    expectFields(database->tableDef("Pasivo"), keyed({{"iCooperativaSegurosCapitalizacion", DataType::Integer, false},
                                                      {"iCooperativaAseguradoresVida", DataType::Integer, false},
                                                      {"cDeudas", DataType::Currency, false},
                                                      {"cProvisiones", DataType::Currency, false},
                                                      {"cReservasTecnicas", DataType::Currency, false},
                                                      {"cFondosBeneficioSeguroVida", DataType::Currency, false},
                                                      {"cBeneficios", DataType::Currency, false}}));
    expectFields(database->tableDef("SaldoFavorPeriodoAnt"),
                 keyed({{"lPeriodo", DataType::Long, false}, {"cImporte", DataType::Currency, false}}));

    const auto& header = database->tableDef("DDJJ");
    EXPECT_EQ(header.field("sFormulario")->size, 4);
    EXPECT_EQ(header.field("sVersion")->size, 5);
    EXPECT_EQ(header.field("sVersionEXE")->size, 7);
    EXPECT_EQ(header.field("CUIT")->size, 8);
    EXPECT_EQ(header.field("CodDJ")->size, 4);
    EXPECT_EQ(header.field("iEjercicioEconomico")->size, 2);
}

TEST_F(AppDatabase, IndexesAndRelations) {
    auto database = createAndOpen();
    for (const char* single : {"ActivoComputable", "ActivoExento", "ActivoNoComputable", "LiqDeduccionesAlCapital",
                               "Pasivo", "SaldoFavorPeriodoAnt"}) {
        SCOPED_TRACE(single);
        const auto& table = database->tableDef(single);
        ASSERT_EQ(table.indexes.size(), 1u);
        expectPrimaryKey(table.indexes[0], {"CUIT", "CodDJ"});
    }
    for (const char* list : {"Anticipos", "PagosCuenta"}) {
        SCOPED_TRACE(list);
        const auto& table = database->tableDef(list);
        ASSERT_EQ(table.indexes.size(), 2u);
        expectListIndex(table.indexes[0], {"CUIT", "CodDJ"});
        expectPrimaryKey(table.indexes[1], {"CUIT", "CodDJ", "ID"});
    }
    const auto& header = database->tableDef("DDJJ");
    ASSERT_EQ(header.indexes.size(), 2u);
    expectListIndex(header.indexes[0], {"CUIT"});
    expectPrimaryKey(header.indexes[1], {"CUIT", "CodDJ"});

    const auto relations = database->relations();
    const char* foreign[] = {"ActivoComputable", "ActivoExento",         "ActivoNoComputable",      "Anticipos",
                             "PagosCuenta",      "SaldoFavorPeriodoAnt", "LiqDeduccionesAlCapital", "Pasivo"};
    ASSERT_EQ(relations.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(relations[i].name, "Relacion" + std::to_string(i));
        EXPECT_EQ(relations[i].table, "DDJJ");
        EXPECT_EQ(relations[i].foreignTable, foreign[i]);
        EXPECT_EQ(relations[i].attributes, db::kRelationDontEnforce);
        ASSERT_EQ(relations[i].fields.size(), 1u);
        EXPECT_EQ(relations[i].fields[0], (std::pair<std::string, std::string>{"CUIT", "CUIT"}));
    }
}

TEST_F(AppDatabase, NewDatabaseIsProtectedByThePassword) {
    CreateAppDatabase(engine, dir.home());
    EXPECT_FALSE(fs::exists(dir.home() / "Kapred.mdb.nueva"));
    try {
        engine.openDatabase(dir.appDatabase(), false, false, ";PWD=otra");
        FAIL() << "a wrong password opened the database";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), 3031);
    }
    // Unenforced relations: a section row needs no header row.
    auto database = engine.openDatabase(dir.appDatabase(), false, false, kConnect);
    EXPECT_EQ(database->execute("INSERT INTO Pasivo (CUIT, CodDJ) VALUES (20123456789, 20040)"), 1);
}

TEST_F(AppDatabase, ToggleTwiceRestoresTheFileAndTouchesOnlyFortyBytes) {
    CreateAppDatabase(engine, dir.home());
    const std::string original = test::readBytes(dir.appDatabase());
    ASSERT_GT(original.size(), 400u);

    ToggleDatabaseHeader(dir.appDatabase());
    const std::string scrambled = test::readBytes(dir.appDatabase());
    ASSERT_EQ(scrambled.size(), original.size());
    int changed = 0;
    for (std::size_t i = 0; i < original.size(); ++i) {
        if (original[i] != scrambled[i]) {
            ++changed;
            EXPECT_EQ(i % 10, 0u) << "byte " << i + 1 << " changed";
            EXPECT_LE(i, 390u);
        }
    }
    EXPECT_EQ(changed, 40);

    ToggleDatabaseHeader(dir.appDatabase());
    EXPECT_EQ(test::readBytes(dir.appDatabase()), original);
}

TEST_F(AppDatabase, OpensPlainAndScrambledFiles) {
    CreateAppDatabase(engine, dir.home());
    // A new file is plain: the first toggle fails, the second restores it.
    auto database = OpenAppDatabase(engine, ui, dir.appDatabase(), true, kConnect);
    ASSERT_TRUE(database);
    database->execute("INSERT INTO Pasivo (CUIT, CodDJ, cDeudas) VALUES (20123456789, 20040, CCur(10.5))");
    database->close();
    const std::string plain = test::readBytes(dir.appDatabase());

    // Scrambled, as it is between runs: one toggle opens it.
    ToggleDatabaseHeader(dir.appDatabase());
    database = OpenAppDatabase(engine, ui, dir.appDatabase(), true, kConnect);
    ASSERT_TRUE(database);
    auto rows = database->openRecordset("SELECT cDeudas FROM Pasivo");
    ASSERT_EQ(rows->recordCount(), 1);
    EXPECT_EQ(rows->value("cDeudas").currency(), Currency::fromScaled(105000));
    database->close();
    EXPECT_EQ(test::readBytes(dir.appDatabase()), plain);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(AppDatabase, MissingFileIsToldAndEndsTheProgram) {
    EXPECT_THROW(OpenAppDatabase(engine, ui, dir.appDatabase(), true, kConnect), ProgramEnd);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(ui.shown[0].title, "Error!");
    EXPECT_EQ(ui.shown[0].text,
              "No se encuentra la base de datos , por favor reinstale el sistema o consulte a su proveedor.");
}

TEST_F(AppDatabase, RandomBytesGiveNothingAndStayUntouched) {
    std::string noise(8192, '\0');
    for (std::size_t i = 0; i < noise.size(); ++i) {
        noise[i] = static_cast<char>((i * 7919 + 13) % 251);
    }
    test::writeBytes(dir.appDatabase(), noise);
    EXPECT_EQ(OpenAppDatabase(engine, ui, dir.appDatabase(), true, kConnect), nullptr);
    EXPECT_EQ(test::readBytes(dir.appDatabase()), noise);
    EXPECT_NE(RepairDatabaseFile(engine, dir.appDatabase()), 0);
    EXPECT_EQ(test::readBytes(dir.appDatabase()), noise);
}

TEST_F(AppDatabase, TruncatedFileIsRepairedOrRefusedButNeverLost) {
    {
        auto database = createAndOpen();
        db::Transaction transaction(*database);
        for (int i = 1; i <= 400; ++i) {
            database->execute("INSERT INTO Anticipos (CUIT, CodDJ, ID, cImporte) VALUES (20123456789, 20040, " +
                              std::to_string(i) + ", CCur(" + std::to_string(i) + "))");
        }
        transaction.commit();
        database->close();
    }
    const std::string whole = test::readBytes(dir.appDatabase());
    const std::string truncated = whole.substr(0, whole.size() / 2);
    test::writeBytes(dir.appDatabase(), truncated);

    auto database = OpenAppDatabase(engine, ui, dir.appDatabase(), true, kConnect);
    if (database) {
        // Rebuilt from what could be read; the damaged original is kept beside it.
        EXPECT_EQ(test::readBytes(dir.home() / "Kapred.mdb.danado"), truncated);
        auto rows = database->openRecordset("SELECT count(*) AS n FROM Anticipos");
        EXPECT_LE(rows->value("n").longValue(), 400);
    } else {
        EXPECT_EQ(test::readBytes(dir.appDatabase()), truncated);
    }
}

TEST_F(AppDatabase, CompactionKeepsRowsAndGoesThroughBak) {
    {
        auto database = createAndOpen();
        database->execute(
            "INSERT INTO DDJJ (CUIT, CodDJ, lPeriodo, CODIGO_T_SECUENCIAS, hora) "
            "VALUES (20123456789, 20040, 2004, 0, '2004-05-01 10:00:00')");
        database->execute("DELETE * FROM Pasivo");
        database->close();
    }
    test::writeBytes(dir.home() / "Kapred.bak", "stale work file of an earlier run");
    CompactarBase(engine, ui, dir.appDatabase());
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_FALSE(fs::exists(dir.home() / "Kapred.bak"));
    auto database = engine.openDatabase(dir.appDatabase(), false, false, kConnect);
    auto rows = database->openRecordset("SELECT * FROM DDJJ");
    ASSERT_EQ(rows->recordCount(), 1);
    EXPECT_EQ(rows->value("CodDJ").longValue(), 20040);
}

TEST_F(AppDatabase, FailedCompactionIsToldAndLeavesTheFile) {
    test::writeBytes(dir.appDatabase(), "not a database at all");
    CompactarBase(engine, ui, dir.appDatabase());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].title, "Error");
    EXPECT_EQ(ui.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(test::readBytes(dir.appDatabase()), "not a database at all");
    EXPECT_FALSE(fs::exists(dir.home() / "Kapred.bak"));
}

TEST_F(AppDatabase, CloseAllAndSystemDatabaseName) {
    auto own = createAndOpen();
    auto tables = engine.openDatabase(dir.home() / "Si010000.mdb", false, false, kConnect);
    auto& other = engine.createWorkspace("Otro", "Admin", "");
    auto host = other.openDatabase(dir.root() / "rexa.mdb", false, false, kConnect);
    EXPECT_TRUE(CierroBases(engine));
    EXPECT_FALSE(own->isOpen());
    EXPECT_FALSE(tables->isOpen());
    EXPECT_FALSE(host->isOpen());
    EXPECT_EQ(engine.workspaces().size(), 1u);

    EXPECT_EQ(sSystemDatabaseName(2, 3, 15), "Si020315.mdb");
    EXPECT_EQ(sSystemDatabaseName(1, 0, 0), "Si010000.mdb");
    EXPECT_EQ(sSystemDatabaseName(), "Si010000.mdb");
}

}  // namespace
}  // namespace kapred
