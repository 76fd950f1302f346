#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "data/engine/database.h"
#include "data/engine/dialect.h"
#include "data/engine/engine.h"
#include "data/engine/recordset.h"
#include "data/engine/schema.h"
#include "data/values/error.h"
#include "data/values/variant.h"
#include "support/program_dir.h"
#include "support/temp_dir.h"

namespace kapred::db {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::writeBytes;

constexpr const char* kLocale = ";LANGID=0x0409;CP=1252;COUNTRY=0;PWD=secret";
constexpr const char* kConnect = ";PWD=secret";

Currency cur(std::int64_t scaled) {
    return Currency::fromScaled(scaled);
}
Variant lng(std::int32_t value) {
    return Variant(value);
}

template <typename Call>
long errorNumber(Call call) {
    try {
        call();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

// A field with the properties the program gives its own tables: numbers default to 0, texts
// to the empty text and accept it, dates have no default.
FieldDef field(const std::string& name, DataType type, int size = 0, bool required = false) {
    FieldDef f;
    f.name = name;
    f.type = type;
    f.size = storageSize(type, size);
    f.required = required;
    if (type == DataType::Text) {
        f.attributes = kVariableField;
        f.allowZeroLength = true;
        f.defaultValue = std::string();
    } else {
        f.attributes = kFixedField;
        if (type != DataType::Date) {
            f.defaultValue = "0";
        }
    }
    return f;
}

// The table most tests work on: one row per ID.
TableDef movimientos(int nameSize = 10) {
    TableDef table;
    table.name = "Movimientos";
    table.fields = {field("CUIT", DataType::Double),       field("CodDJ", DataType::Long),
                    field("ID", DataType::Long),           field("iCant", DataType::Integer),
                    field("cImporte", DataType::Currency), field("cOtro", DataType::Currency),
                    field("fFecha", DataType::Date),       field("sNombre", DataType::Text, nameSize, true),
                    field("codigo", DataType::Text, 5),    field("bActivo", DataType::Boolean)};
    table.indexes = {IndexDef{"PK", {"ID"}, true, true, true, false, false}};
    return table;
}

struct Row {
    std::int32_t id;
    std::string nombre;
    std::string codigo;
    Variant fecha;
    Currency importe;
    bool activo;
};

void addRows(Database& database, const std::vector<Row>& rows) {
    auto rs = database.openRecordset("SELECT * FROM Movimientos");
    for (const auto& row : rows) {
        rs->addNew();
        rs->setValue("CUIT", 20123456789.0);
        rs->setValue("CodDJ", lng(1));
        rs->setValue("ID", lng(row.id));
        rs->setValue("sNombre", row.nombre);
        rs->setValue("codigo", row.codigo);
        rs->setValue("fFecha", row.fecha);
        rs->setValue("cImporte", row.importe);
        rs->setValue("bActivo", row.activo);
        rs->update();
    }
}

// The name and amount of generated row n, so that a row read back can be checked whole.
std::string generatedName(int n) {
    std::string name = "fila " + std::to_string(n) + " ";
    name.resize(60, static_cast<char>('a' + n % 26));
    return name;
}
Currency generatedAmount(int n) {
    return cur(12500LL * n);
}  // n x 1,25

void addGeneratedRows(Database& database, int count) {
    Transaction transaction(database);
    auto rs = database.openRecordset("SELECT * FROM Movimientos");
    for (int n = 1; n <= count; ++n) {
        rs->addNew();
        rs->setValue("ID", lng(n));
        rs->setValue("sNombre", generatedName(n));
        rs->setValue("cImporte", generatedAmount(n));
        rs->update();
    }
    transaction.commit();
}

long countRows(Database& database, const std::string& table) {
    auto rs = database.openRecordset("SELECT count(*) AS n FROM " + table);
    return rs->value("n").longValue();
}

std::vector<long> column(Database& database, const std::string& sql, const std::string& name) {
    std::vector<long> values;
    auto rs = database.openRecordset(sql);
    while (!rs->eof()) {
        values.push_back(static_cast<long>(*rs->value(name).toDouble()));
        rs->moveNext();
    }
    return values;
}

std::string randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (auto& byte : bytes) {
        byte = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

std::vector<std::string> directoryNames(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Checks that the rows of a table filled by addGeneratedRows are whole and numbered 1, 2, 3... as written.
long checkGeneratedRows(Database& database) {
    auto rs = database.openRecordset("SELECT * FROM Movimientos ORDER BY ID");
    long n = 0;
    while (!rs->eof()) {
        ++n;
        EXPECT_EQ(rs->value("ID"), lng(static_cast<std::int32_t>(n)));
        EXPECT_EQ(rs->value("sNombre"), Variant(generatedName(static_cast<int>(n))));
        EXPECT_EQ(rs->value("cImporte"), Variant(generatedAmount(static_cast<int>(n))));
        rs->moveNext();
    }
    return n;
}

class EngineTest : public ::testing::Test {
protected:
    fs::path file(const std::string& name) const { return dir / name; }
    std::shared_ptr<Database> create(const std::string& name) {
        return engine.defaultWorkspace().createDatabase(file(name), kLocale);
    }
    std::shared_ptr<Database> open(const std::string& name, const char* connect = kConnect) {
        return engine.openDatabase(file(name), false, false, connect);
    }
    // A closed database holding the table and the given number of generated rows.
    void createFilled(const std::string& name, int rows) {
        auto database = create(name);
        database->appendTableDef(movimientos(60));
        addGeneratedRows(*database, rows);
        database->close();
    }

    test::TempDir dir;
    Engine engine;
};

// ---------------------------------------------------------------------------------------------
// Creating and opening files

TEST_F(EngineTest, CreateAndOpenCheckPasswordAndKindOfFile) {
    auto created = create("a.mdb");
    EXPECT_EQ(created->name(), file("a.mdb").string());
    created->appendTableDef(movimientos());
    created->close();
    EXPECT_EQ(errorNumber([&] { created->execute("DELETE * FROM Movimientos"); }), err::kObjectClosed);

    // The right password opens it, with or without the locale part.
    auto reopened = open("a.mdb");
    EXPECT_TRUE(reopened->hasTable("Movimientos"));
    reopened->close();
    EXPECT_TRUE(open("a.mdb", kLocale)->hasTable("movimientos"));

    EXPECT_EQ(errorNumber([&] { open("a.mdb", ";PWD=Secret"); }), err::kInvalidPassword);
    EXPECT_EQ(errorNumber([&] { open("a.mdb", ";PWD=other"); }), err::kInvalidPassword);
    EXPECT_EQ(errorNumber([&] { open("a.mdb", ""); }), err::kInvalidPassword);

    EXPECT_EQ(errorNumber([&] { open("missing.mdb"); }), err::kFileNotFound);

    writeBytes(file("random.mdb"), randomBytes(8192, 7));
    EXPECT_EQ(errorNumber([&] { open("random.mdb"); }), err::kUnrecognisedFormat);

    std::string text;
    for (int i = 0; i < 100; ++i) {
        text += "Esto es un archivo de texto, no una base de datos.\n";
    }
    writeBytes(file("texto.mdb"), text);
    EXPECT_EQ(errorNumber([&] { open("texto.mdb"); }), err::kUnrecognisedFormat);

    // A database of the same engine that this program did not create is not one of ours.
    sqlite3* foreign = nullptr;
    ASSERT_EQ(sqlite3_open(file("ajena.db").c_str(), &foreign), SQLITE_OK);
    sqlite3_exec(foreign, "CREATE TABLE x (a INTEGER); INSERT INTO x VALUES (1);", nullptr, nullptr, nullptr);
    sqlite3_close(foreign);
    EXPECT_EQ(errorNumber([&] { open("ajena.db"); }), err::kUnrecognisedFormat);

    // Creating over an existing file refuses and leaves that file alone.
    const std::string before = readBytes(file("a.mdb"));
    EXPECT_EQ(errorNumber([&] { create("a.mdb"); }), err::kDatabaseExists);
    EXPECT_EQ(errorNumber([&] { create("texto.mdb"); }), err::kDatabaseExists);
    EXPECT_EQ(readBytes(file("a.mdb")), before);
    EXPECT_EQ(readBytes(file("texto.mdb")), text);

    // A database without a password opens only without one.
    engine.defaultWorkspace().createDatabase(file("libre.mdb"), ";LANGID=0x0409;CP=1252;COUNTRY=0")->close();
    EXPECT_NO_THROW(open("libre.mdb", "")->close());
    EXPECT_EQ(errorNumber([&] { open("libre.mdb"); }), err::kInvalidPassword);
}

TEST_F(EngineTest, WorkspacesListAndCloseTheirDatabases) {
    ASSERT_EQ(engine.workspaces().size(), 1u);  // the default one is always there
    Workspace& generar = engine.createWorkspace("Generar", "Admin", "");
    EXPECT_EQ(engine.workspaces().size(), 2u);
    EXPECT_EQ(generar.name(), "Generar");
    auto created = generar.createDatabase(file("w.mdb"), kLocale);
    created->appendTableDef(movimientos());
    ASSERT_EQ(generar.databases().size(), 1u);
    EXPECT_EQ(generar.databases()[0], created);
    engine.closeWorkspace(generar);
    EXPECT_FALSE(created->isOpen());
    EXPECT_EQ(engine.workspaces().size(), 1u);

    // Read-only: reading works, writing is refused.
    auto reader = engine.openDatabase(file("w.mdb"), false, true, kConnect);
    auto writer = open("w.mdb");
    EXPECT_EQ(engine.defaultWorkspace().databases().size(), 2u);
    writer->execute("INSERT INTO Movimientos (ID, sNombre) VALUES (1, 'uno')");
    EXPECT_EQ(countRows(*reader, "Movimientos"), 1);
    EXPECT_EQ(errorNumber([&] { reader->execute("DELETE * FROM Movimientos"); }), err::kReadOnly);
    EXPECT_EQ(countRows(*writer, "Movimientos"), 1);

    // Closing a database takes it out of its workspace's list.
    reader->close();
    EXPECT_EQ(engine.defaultWorkspace().databases().size(), 1u);
    engine.closeWorkspace(engine.defaultWorkspace());
    EXPECT_FALSE(writer->isOpen());
    EXPECT_EQ(engine.workspaces().size(), 1u);
    EXPECT_TRUE(engine.defaultWorkspace().databases().empty());
}

TEST_F(EngineTest, TruncatedDatabaseIsDamaged) {
    createFilled("t.mdb", 1500);
    const auto size = fs::file_size(file("t.mdb"));
    ASSERT_GT(size, 16u * 4096u);  // the rows span many pages
    fs::resize_file(file("t.mdb"), size / 2);
    EXPECT_EQ(errorNumber([&] { open("t.mdb"); }), err::kCannotOpen);
}

// ---------------------------------------------------------------------------------------------
// Table definitions

TEST_F(EngineTest, TableDefinitionsReadBackAsAppended) {
    {
        auto database = create("d.mdb");
        TableDef cabecera;
        cabecera.name = "Cabecera";
        cabecera.fields = {field("CUIT", DataType::Double), field("CodDJ", DataType::Long, 0, true),
                           field("hora", DataType::Date, 0, true)};
        cabecera.indexes = {IndexDef{"PK", {"CUIT", "CodDJ"}, true, true, true, false, false}};
        database->appendTableDef(cabecera);

        TableDef detalle = movimientos();
        detalle.indexes = {IndexDef{"IDX_LIST", {"CUIT", "CodDJ"}, false, false, false, false, false},
                           IndexDef{"PK", {"CUIT", "CodDJ", "ID"}, true, true, true, false, false},
                           IndexDef{"IDX_NOMBRE", {"sNombre", "iCant"}, false, true, false, false, false}};
        database->appendTableDef(detalle);
        EXPECT_EQ(errorNumber([&] { database->appendTableDef(detalle); }), 3010);

        // A table whose index names a missing field is not created at all.
        TableDef broken;
        broken.name = "Rota";
        broken.fields = {field("ID", DataType::Long)};
        broken.indexes = {IndexDef{"PK", {"ID", "Nada"}, true, true, true, false, false}};
        EXPECT_EQ(errorNumber([&] { database->appendTableDef(broken); }), err::kItemNotFound);
        EXPECT_FALSE(database->hasTable("Rota"));
        broken.fields.clear();
        broken.indexes.clear();
        EXPECT_EQ(errorNumber([&] { database->appendTableDef(broken); }), 3264);

        database->appendRelation(
            RelationDef{"Relacion0", "Cabecera", "Movimientos", kRelationDontEnforce, {{"CUIT", "CUIT"}}});
        database->appendRelation(
            RelationDef{"Relacion1", "cabecera", "movimientos", 0, {{"CUIT", "CUIT"}, {"CodDJ", "CodDJ"}}});
        EXPECT_EQ(
            errorNumber([&] {
                database->appendRelation(RelationDef{"Relacion0", "Cabecera", "Movimientos", 0, {{"CUIT", "CUIT"}}});
            }),
            3012);
        EXPECT_EQ(errorNumber([&] {
                      database->appendRelation(
                          RelationDef{"Relacion9", "Cabecera", "Movimientos", 0, {{"CUIT", "NoExiste"}}});
                  }),
                  err::kItemNotFound);
        database->close();
    }

    // Everything is read back from the file, not from what this session remembers.
    auto database = open("d.mdb");
    const auto tables = database->tableDefs();
    std::vector<std::string> local;
    for (const auto& table : tables) {
        if (table.attributes == 0) {
            local.push_back(table.name);
        }
    }
    EXPECT_EQ(local, (std::vector<std::string>{"Cabecera", "Movimientos"}));
    EXPECT_GT(tables.size(), local.size());  // the bookkeeping tables are there, marked

    const TableDef& def = database->tableDef("MOVIMIENTOS");
    EXPECT_EQ(def.name, "Movimientos");
    EXPECT_EQ(def.attributes, 0);
    ASSERT_EQ(def.fields.size(), 10u);

    struct Expected {
        const char* name;
        DataType type;
        int size;
        long attributes;
        std::optional<std::string> defaultValue;
        bool required;
        bool allowZeroLength;
    };
    const Expected expected[] = {
        {"CUIT", DataType::Double, 8, kFixedField, "0", false, false},
        {"CodDJ", DataType::Long, 4, kFixedField, "0", false, false},
        {"ID", DataType::Long, 4, kFixedField, "0", false, false},
        {"iCant", DataType::Integer, 2, kFixedField, "0", false, false},
        {"cImporte", DataType::Currency, 8, kFixedField, "0", false, false},
        {"cOtro", DataType::Currency, 8, kFixedField, "0", false, false},
        {"fFecha", DataType::Date, 8, kFixedField, std::nullopt, false, false},
        {"sNombre", DataType::Text, 10, kVariableField, "", true, true},
        {"codigo", DataType::Text, 5, kVariableField, "", false, true},
        {"bActivo", DataType::Boolean, 1, kFixedField, "0", false, false},
    };
    for (std::size_t i = 0; i < def.fields.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        const FieldDef& f = def.fields[i];
        EXPECT_EQ(f.name, expected[i].name);
        EXPECT_EQ(static_cast<int>(f.type), static_cast<int>(expected[i].type));
        EXPECT_EQ(f.size, expected[i].size);
        EXPECT_EQ(f.attributes, expected[i].attributes);
        EXPECT_EQ(f.defaultValue, expected[i].defaultValue);
        EXPECT_EQ(f.required, expected[i].required);
        EXPECT_EQ(f.allowZeroLength, expected[i].allowZeroLength);
        EXPECT_TRUE(f.validationRule.empty());
    }
    EXPECT_EQ(def.field("cimporte"), &def.fields[4]);
    EXPECT_EQ(def.field("nada"), nullptr);

    ASSERT_EQ(def.indexes.size(), 3u);
    EXPECT_EQ(def.indexes[0].name, "IDX_LIST");
    EXPECT_EQ(def.indexes[0].fields, (std::vector<std::string>{"CUIT", "CodDJ"}));
    EXPECT_FALSE(def.indexes[0].primary || def.indexes[0].unique || def.indexes[0].required);
    EXPECT_EQ(def.indexes[1].name, "PK");
    EXPECT_EQ(def.indexes[1].fields, (std::vector<std::string>{"CUIT", "CodDJ", "ID"}));
    EXPECT_TRUE(def.indexes[1].primary && def.indexes[1].unique && def.indexes[1].required);
    EXPECT_FALSE(def.indexes[1].ignoreNulls || def.indexes[1].clustered);
    EXPECT_EQ(def.indexes[2].name, "IDX_NOMBRE");
    EXPECT_EQ(def.indexes[2].fields, (std::vector<std::string>{"sNombre", "iCant"}));
    EXPECT_TRUE(def.indexes[2].unique);
    EXPECT_FALSE(def.indexes[2].primary || def.indexes[2].required);
    EXPECT_EQ(def.index("pk"), &def.indexes[1]);

    const TableDef& head = database->tableDef("Cabecera");
    ASSERT_EQ(head.fields.size(), 3u);
    EXPECT_TRUE(head.fields[1].required);
    EXPECT_TRUE(head.fields[2].required);
    EXPECT_FALSE(head.fields[2].defaultValue);

    const auto relations = database->relations();
    ASSERT_EQ(relations.size(), 2u);
    EXPECT_EQ(relations[0].name, "Relacion0");
    EXPECT_EQ(relations[0].table, "Cabecera");
    EXPECT_EQ(relations[0].foreignTable, "Movimientos");
    EXPECT_EQ(relations[0].attributes, kRelationDontEnforce);
    EXPECT_EQ(relations[0].fields, (std::vector<std::pair<std::string, std::string>>{{"CUIT", "CUIT"}}));
    EXPECT_EQ(relations[1].name, "Relacion1");
    EXPECT_EQ(relations[1].table, "Cabecera");  // the table's own spelling
    EXPECT_EQ(relations[1].attributes, 0);
    EXPECT_EQ(relations[1].fields,
              (std::vector<std::pair<std::string, std::string>>{{"CUIT", "CUIT"}, {"CodDJ", "CodDJ"}}));

    EXPECT_FALSE(database->hasTable("Nada"));
    EXPECT_EQ(errorNumber([&] { database->tableDef("Nada"); }), err::kItemNotFound);
}

// ---------------------------------------------------------------------------------------------
// Recordsets

class RecordsetTest : public EngineTest {
protected:
    void SetUp() override {
        database = create("r.mdb");
        database->appendTableDef(movimientos());
        addRows(*database, {{1, "uno", "1", Variant("01/02/2004"), cur(15000), true},
                            {2, "dos", "2", Variant("02/02/2004"), cur(25000), false},
                            {3, "tres", "3", Variant("03/02/2004"), cur(35000), true},
                            {4, "cuatro", "4", Variant::null(), cur(-5000), false},
                            {5, "cinco", "5", Variant("05/02/2004"), cur(123456789), true}});
    }
    std::shared_ptr<Database> database;
};

TEST_F(RecordsetTest, EmptySetHasNoCurrentRow) {
    auto rs = database->openRecordset("SELECT * FROM Movimientos WHERE ID > 100");
    EXPECT_EQ(rs->recordCount(), 0);
    EXPECT_TRUE(rs->bof());
    EXPECT_TRUE(rs->eof());
    EXPECT_EQ(errorNumber([&] { rs->moveFirst(); }), err::kNoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { rs->moveLast(); }), err::kNoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { rs->moveNext(); }), err::kNoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { rs->movePrevious(); }), err::kNoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { rs->value("ID"); }), err::kNoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { rs->edit(); }), err::kNoCurrentRecord);
    rs->findFirst("ID = 1");
    EXPECT_TRUE(rs->noMatch());

    // A row added to an empty set becomes its current row.
    rs->addNew();
    rs->setValue("ID", lng(200));
    rs->setValue("sNombre", "nuevo");
    rs->update();
    EXPECT_EQ(rs->recordCount(), 1);
    EXPECT_FALSE(rs->eof());
    EXPECT_EQ(rs->value("ID"), lng(200));
}

TEST_F(RecordsetTest, MovesThroughRowsAndStopsAtTheEnds) {
    auto rs = database->openRecordset("SELECT * FROM Movimientos ORDER BY ID");
    EXPECT_EQ(rs->recordCount(), 5);
    EXPECT_FALSE(rs->bof());
    EXPECT_FALSE(rs->eof());
    EXPECT_EQ(rs->value("ID"), lng(1));

    rs->moveNext();
    EXPECT_EQ(rs->value("sNombre"), Variant("dos"));
    rs->moveLast();
    EXPECT_EQ(rs->value("ID"), lng(5));
    EXPECT_EQ(rs->recordCount(), 5);
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
    EXPECT_FALSE(rs->bof());
    EXPECT_EQ(errorNumber([&] { rs->value("ID"); }), err::kNoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { rs->moveNext(); }), err::kNoCurrentRecord);
    rs->movePrevious();
    EXPECT_EQ(rs->value("ID"), lng(5));

    rs->moveFirst();
    EXPECT_EQ(rs->value("ID"), lng(1));
    rs->movePrevious();
    EXPECT_TRUE(rs->bof());
    EXPECT_FALSE(rs->eof());
    EXPECT_EQ(errorNumber([&] { rs->movePrevious(); }), err::kNoCurrentRecord);
    rs->moveNext();
    EXPECT_EQ(rs->value("ID"), lng(1));

    // Every row once, in order, with the values of their types.
    rs->moveFirst();
    std::vector<long> ids;
    while (!rs->eof()) {
        ids.push_back(rs->value("ID").longValue());
        rs->moveNext();
    }
    EXPECT_EQ(ids, (std::vector<long>{1, 2, 3, 4, 5}));
    rs->moveLast();
    EXPECT_EQ(rs->value("cImporte"), Variant(cur(123456789)));
    EXPECT_EQ(rs->value("fFecha"), Variant(DateTime::fromDate(2004, 2, 5)));
    EXPECT_EQ(rs->value("bActivo"), Variant(true));
    EXPECT_EQ(rs->value("CUIT"), Variant(20123456789.0));
    EXPECT_EQ(rs->value("iCant"), Variant(std::int16_t{0}));  // its default
    rs->movePrevious();
    EXPECT_TRUE(rs->value("fFecha").isNull());
    EXPECT_EQ(rs->value("bActivo"), Variant(false));

    // Fields by name without regard to case; an unknown name is not in the collection.
    EXPECT_EQ(rs->value("SNOMBRE"), Variant("cuatro"));
    EXPECT_EQ(rs->value("id"), lng(4));
    EXPECT_EQ(errorNumber([&] { rs->value("Nada"); }), err::kItemNotFound);
    EXPECT_EQ(errorNumber([&] { rs->fieldIndex("Nada"); }), err::kItemNotFound);
    rs->edit();
    EXPECT_EQ(errorNumber([&] { rs->setValue("Nada", lng(1)); }), err::kItemNotFound);
    rs->cancelUpdate();

    // Once closed the recordset is no longer valid.
    rs->close();
    EXPECT_EQ(errorNumber([&] { rs->moveFirst(); }), err::kObjectClosed);
}

TEST_F(RecordsetTest, FindFirstMeetsCriteriaOrLeavesThePosition) {
    auto rs = database->openRecordset("SELECT * FROM Movimientos ORDER BY ID");
    rs->findFirst("ID = 3");
    EXPECT_FALSE(rs->noMatch());
    EXPECT_EQ(rs->value("sNombre"), Variant("tres"));

    rs->findFirst("[sNombre] = 'cinco'");
    EXPECT_FALSE(rs->noMatch());
    EXPECT_EQ(rs->value("ID"), lng(5));

    rs->findFirst("ID = 99");
    EXPECT_TRUE(rs->noMatch());
    EXPECT_EQ(rs->value("ID"), lng(5));

    // Amounts compare in units, dates through Format, Booleans with True.
    rs->findFirst("cImporte = 2.5");
    EXPECT_FALSE(rs->noMatch());
    EXPECT_EQ(rs->value("ID"), lng(2));
    rs->findFirst("cImporte < 0");
    EXPECT_EQ(rs->value("ID"), lng(4));
    rs->findFirst("cImporte > 1000");
    EXPECT_EQ(rs->value("ID"), lng(5));
    rs->findFirst("Format(fFecha,'YYYYMMDD') = '20040203'");
    EXPECT_EQ(rs->value("ID"), lng(3));
    rs->findFirst("bActivo = True AND id > 1");
    EXPECT_EQ(rs->value("ID"), lng(3));
    rs->findFirst("ucase(sNombre) = 'DOS'");
    EXPECT_EQ(rs->value("ID"), lng(2));
    rs->findFirst("fFecha IS NULL");
    EXPECT_EQ(rs->value("ID"), lng(4));

    // The first match counts, not the next one after the current row.
    rs->moveLast();
    rs->findFirst("ID >= 2");
    EXPECT_EQ(rs->value("ID"), lng(2));
}

TEST_F(RecordsetTest, AddNewEditUpdateAndCancel) {
    auto rs = database->openRecordset("SELECT * FROM Movimientos");
    rs->addNew();
    // A new row starts with the fields' defaults, each of its field's type.
    EXPECT_EQ(rs->value("cImporte"), Variant(cur(0)));
    EXPECT_EQ(rs->value("iCant"), Variant(std::int16_t{0}));
    EXPECT_EQ(rs->value("ID"), lng(0));
    EXPECT_EQ(rs->value("CUIT"), Variant(0.0));
    EXPECT_EQ(rs->value("bActivo"), Variant(false));
    EXPECT_EQ(rs->value("codigo"), Variant(""));
    EXPECT_TRUE(rs->value("fFecha").isNull());
    rs->setValue("ID", lng(6));
    rs->setValue("sNombre", "seis");
    rs->setValue("cImporte", "1.234,5");   // typed text, the program's separators
    rs->setValue("fFecha", "29/02/2004");  // typed text
    rs->setValue("iCant", 7.0);            // a Double into an Integer field
    rs->setValue("bActivo", true);
    // An assigned value reads back as the field holds it.
    EXPECT_EQ(rs->value("cImporte"), Variant(cur(12345000)));
    EXPECT_EQ(rs->value("fFecha"), Variant(DateTime::fromDate(2004, 2, 29)));
    EXPECT_EQ(rs->value("iCant"), Variant(std::int16_t{7}));
    rs->update();
    EXPECT_EQ(rs->recordCount(), 6);
    EXPECT_EQ(rs->editMode(), Recordset::EditMode::None);

    rs = database->openRecordset("SELECT * FROM Movimientos WHERE ID = 6");
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->value("cImporte"), Variant(cur(12345000)));
    EXPECT_EQ(rs->value("cOtro"), Variant(cur(0)));
    EXPECT_EQ(rs->value("fFecha"), Variant(DateTime::fromDate(2004, 2, 29)));
    EXPECT_EQ(rs->value("iCant"), Variant(std::int16_t{7}));
    EXPECT_EQ(rs->value("bActivo"), Variant(true));
    EXPECT_EQ(rs->value("codigo"), Variant(""));
    EXPECT_EQ(rs->value("CUIT"), Variant(0.0));

    // Edit changes the current row only; the value reads back with the field's type.
    rs = database->openRecordset("SELECT * FROM Movimientos");
    rs->findFirst("ID = 2");
    rs->edit();
    EXPECT_EQ(rs->editMode(), Recordset::EditMode::Edit);
    rs->setValue("sNombre", "dos bis");
    rs->setValue("cImporte", "-0,0001");
    EXPECT_EQ(rs->value("sNombre"), Variant("dos bis"));
    rs->update();
    EXPECT_EQ(rs->value("sNombre"), Variant("dos bis"));
    EXPECT_EQ(rs->value("cImporte"), Variant(cur(-1)));

    // CancelUpdate forgets the changes.
    rs->edit();
    rs->setValue("sNombre", "nunca");
    rs->cancelUpdate();
    EXPECT_EQ(rs->value("sNombre"), Variant("dos bis"));
    EXPECT_EQ(errorNumber([&] { rs->update(); }), err::kNotAnUpdate);
    EXPECT_EQ(errorNumber([&] { rs->setValue("sNombre", "x"); }), err::kNotAnUpdate);
    rs->addNew();
    rs->setValue("ID", lng(50));
    rs->cancelUpdate();

    rs = database->openRecordset("SELECT sNombre, cImporte, fFecha FROM Movimientos ORDER BY ID");
    std::vector<std::string> names;
    while (!rs->eof()) {
        names.push_back(rs->value("sNombre").text());
        rs->moveNext();
    }
    EXPECT_EQ(names, (std::vector<std::string>{"uno", "dos bis", "tres", "cuatro", "cinco", "seis"}));
    rs->findFirst("sNombre = 'dos bis'");
    EXPECT_EQ(rs->value("cImporte"), Variant(cur(-1)));
    EXPECT_EQ(rs->value("fFecha"), Variant(DateTime::fromDate(2004, 2, 2)));  // not touched

    // A date with a time keeps it; a serial number is a date.
    rs = database->openRecordset("SELECT * FROM Movimientos");
    rs->findFirst("ID = 2");
    rs->edit();
    DateTime stamped = DateTime::fromDate(2004, 12, 31);
    stamped.time = std::chrono::hours(23) + std::chrono::minutes(59) + std::chrono::seconds(58);
    rs->setValue("fFecha", stamped);
    rs->update();
    rs->findFirst("ID = 1");
    rs->edit();
    rs->setValue("fFecha", 1.0);
    rs->update();
    rs = database->openRecordset("SELECT ID, fFecha FROM Movimientos WHERE ID <= 2 ORDER BY ID");
    EXPECT_EQ(rs->value("fFecha"), Variant(DateTime::fromDate(1899, 12, 31)));
    rs->moveNext();
    EXPECT_EQ(rs->value("fFecha"), Variant(stamped));

    // An aliased column of one table can still be changed.
    rs = database->openRecordset("SELECT ID, sNombre AS nombre FROM Movimientos WHERE ID = 3");
    rs->edit();
    rs->setValue("nombre", "TRES");
    rs->update();
    EXPECT_EQ(database->openRecordset("SELECT * FROM Movimientos WHERE ID = 3")->value("sNombre"), Variant("TRES"));
}

TEST_F(EngineTest, DefaultsWithDecimalsFillNewRows) {
    auto database = create("v.mdb");
    TableDef table;
    table.name = "Tasas";
    FieldDef tope = field("cTope", DataType::Currency);
    tope.defaultValue = "1,5";
    FieldDef tasa = field("dTasa", DataType::Double);
    tasa.defaultValue = "0,25";
    FieldDef desde = field("fDesde", DataType::Date);
    desde.defaultValue = "01/01/1800";
    table.fields = {field("ID", DataType::Long), tope, tasa, desde};
    database->appendTableDef(table);

    auto rs = database->openRecordset("SELECT * FROM Tasas");
    rs->addNew();
    EXPECT_EQ(rs->value("cTope"), Variant(cur(15000)));
    EXPECT_EQ(rs->value("dTasa"), Variant(0.25));
    EXPECT_EQ(rs->value("fDesde"), Variant(DateTime::fromDate(1800, 1, 1)));
    rs->update();
    rs = database->openRecordset("SELECT * FROM Tasas");
    EXPECT_EQ(rs->value("cTope"), Variant(cur(15000)));
    EXPECT_EQ(rs->value("dTasa"), Variant(0.25));
    EXPECT_EQ(rs->value("fDesde"), Variant(DateTime::fromDate(1800, 1, 1)));
    // A row inserted by a statement gets the same defaults from the engine.
    database->execute("INSERT INTO Tasas (ID) VALUES (2)");
    rs = database->openRecordset("SELECT * FROM Tasas WHERE ID = 2");
    EXPECT_EQ(rs->value("cTope"), Variant(cur(15000)));
    EXPECT_EQ(rs->value("dTasa"), Variant(0.25));
}

TEST_F(RecordsetTest, RefusesValuesTheFieldCannotHold) {
    auto rs = database->openRecordset("SELECT * FROM Movimientos");

    // A key that exists: the update fails and the table keeps its rows.
    rs->addNew();
    rs->setValue("ID", lng(3));
    rs->setValue("sNombre", "otro");
    EXPECT_EQ(errorNumber([&] { rs->update(); }), err::kDuplicateKey);
    rs->cancelUpdate();
    EXPECT_EQ(countRows(*database, "Movimientos"), 5);
    rs->findFirst("ID = 3");
    rs->edit();
    rs->setValue("ID", lng(4));
    EXPECT_EQ(errorNumber([&] { rs->update(); }), err::kDuplicateKey);
    rs->cancelUpdate();
    EXPECT_EQ(column(*database, "SELECT ID FROM Movimientos WHERE sNombre = 'tres'", "ID"), std::vector<long>{3});

    // Null in a required field.
    rs->addNew();
    rs->setValue("ID", lng(9));
    rs->setValue("sNombre", Variant::null());
    EXPECT_EQ(errorNumber([&] { rs->update(); }), err::kRequiredNull);
    rs->cancelUpdate();
    EXPECT_EQ(countRows(*database, "Movimientos"), 5);

    // Text longer than the field; the length counts characters, not bytes.
    rs->addNew();
    EXPECT_EQ(errorNumber([&] { rs->setValue("sNombre", "12345678901"); }), err::kFieldTooSmall);
    EXPECT_EQ(errorNumber([&] { rs->setValue("codigo", "123456"); }), err::kFieldTooSmall);
    rs->setValue("sNombre", "añoñañoñañ");
    rs->setValue("ID", lng(10));
    rs->update();
    EXPECT_EQ(database->openRecordset("SELECT * FROM Movimientos WHERE ID = 10")->value("sNombre"),
              Variant("añoñañoñañ"));

    // Values that are not of the field's type.
    rs->addNew();
    EXPECT_EQ(errorNumber([&] { rs->setValue("cImporte", "abc"); }), err::kConversion);
    EXPECT_EQ(errorNumber([&] { rs->setValue("cImporte", "1234.5"); }), err::kConversion);
    EXPECT_EQ(errorNumber([&] { rs->setValue("ID", "x"); }), err::kConversion);
    EXPECT_EQ(errorNumber([&] { rs->setValue("fFecha", "31/02/2004"); }), err::kConversion);
    EXPECT_EQ(errorNumber([&] { rs->setValue("iCant", lng(40000)); }), err::kNumericOverflowInField);
    rs->cancelUpdate();
    EXPECT_EQ(countRows(*database, "Movimientos"), 6);

    // What is not the plain rows of one table cannot be changed.
    auto snapshot = database->openRecordset("SELECT * FROM Movimientos", RecordsetType::Snapshot);
    EXPECT_FALSE(snapshot->updatable());
    EXPECT_EQ(errorNumber([&] { snapshot->edit(); }), err::kReadOnly);
    EXPECT_EQ(errorNumber([&] { snapshot->addNew(); }), err::kReadOnly);
    auto join = database->openRecordset(
        "SELECT a.ID, b.sNombre FROM Movimientos AS a INNER JOIN Movimientos AS b ON a.ID = b.ID");
    EXPECT_EQ(join->recordCount(), 6);
    EXPECT_EQ(errorNumber([&] { join->edit(); }), err::kReadOnly);
    auto grouped = database->openRecordset("SELECT bActivo, count(*) AS n FROM Movimientos GROUP BY bActivo");
    EXPECT_EQ(errorNumber([&] { grouped->edit(); }), err::kReadOnly);
    EXPECT_EQ(countRows(*database, "Movimientos"), 6);

    // Nothing works on a closed database.
    database->close();
    EXPECT_EQ(errorNumber([&] { rs->moveFirst(); }), err::kObjectClosed);
    EXPECT_EQ(errorNumber([&] { database->openRecordset("SELECT * FROM Movimientos"); }), err::kObjectClosed);
}

// ---------------------------------------------------------------------------------------------
// The program's SQL dialect

class DialectTest : public EngineTest {
protected:
    void SetUp() override {
        database = create("q.mdb");
        database->appendTableDef(movimientos());
        addRows(*database, {{1, "ana", "007", Variant("31/12/2003"), cur(1000), true},
                            {2, "Beto", "12", Variant("01/01/2004"), cur(2000), false},
                            {3, "carla", "x5", Variant("02/01/2004"), cur(9223372036854775), true},
                            {4, "josé", " 3 4", Variant::null(), cur(-1), false}});
    }
    std::shared_ptr<Database> database;
};

TEST_F(DialectTest, DeleteStarAndBrackets) {
    EXPECT_EQ(column(*database, "SELECT * FROM Movimientos WHERE [ID] = 2", "ID"), std::vector<long>{2});
    EXPECT_EQ(column(*database, "SELECT [ID], [sNombre] FROM [Movimientos] WHERE [sNombre] = 'Beto'", "ID"),
              std::vector<long>{2});
    // The list windows' query: two blanks after Select, a bracketed order column.
    EXPECT_EQ(column(*database, "Select  *  FROM Movimientos Where CUIT =20123456789 AND CodDJ = 1  Order By [ID] desc",
                     "ID"),
              (std::vector<long>{4, 3, 2, 1}));
    // A table name alone opens the whole table.
    EXPECT_EQ(database->openRecordset("Movimientos")->recordCount(), 4);

    EXPECT_EQ(database->execute("DELETE * FROM Movimientos WHERE ID = 4"), 1);
    EXPECT_EQ(database->execute("Delete * from Movimientos Where cuit=20123456789 AND coddj=1 AND ID > 2"), 1);
    EXPECT_EQ(database->execute("delete * from Movimientos where ID = 99"), 0);
    EXPECT_EQ(column(*database, "SELECT ID FROM Movimientos ORDER BY ID", "ID"), (std::vector<long>{1, 2}));
    EXPECT_EQ(database->execute("UPDATE Movimientos SET sNombre = \"Z\" WHERE ID >= 1"), 2);
    EXPECT_EQ(database->openRecordset("SELECT sNombre FROM Movimientos WHERE ID = 1")->value("sNombre"), Variant("Z"));
    EXPECT_EQ(database->execute("DELETE * FROM Movimientos"), 2);
    EXPECT_EQ(countRows(*database, "Movimientos"), 0);
}

TEST_F(DialectTest, QuotedValuesKeepTheirOwnQuotes) {
    const struct {
        std::string_view raw, text, name;
    } cases[] = {
        {"", "''", "\"\""},
        {"O'Brien", "'O''Brien'", "\"O'Brien\""},
        {"a\"b", "'a\"b'", "\"a\"\"b\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(quoteText(c.raw), c.text);
        EXPECT_EQ(quoteName(c.raw), c.name);
    }
    // A quoted value is one value: it cannot widen the statement it is put into.
    database->execute("UPDATE Movimientos SET sNombre = " + quoteText("O'Brien") + " WHERE ID = 1");
    EXPECT_EQ(column(*database, "SELECT ID FROM Movimientos WHERE sNombre = " + quoteText("O'Brien"), "ID"),
              std::vector<long>{1});
    EXPECT_TRUE(
        column(*database, "SELECT ID FROM Movimientos WHERE sNombre = " + quoteText("x' OR 'a'='a"), "ID").empty());
}

TEST_F(DialectTest, FunctionsOfTheOldEngine) {
    // Format with the date mask, between single or double quotes.
    EXPECT_EQ(
        column(*database, "SELECT ID FROM Movimientos WHERE Format(fFecha,'YYYYMMDD') <= '20040101' ORDER BY ID", "ID"),
        (std::vector<long>{1, 2}));
    EXPECT_EQ(column(*database, "SELECT ID FROM Movimientos WHERE Format(fFecha,\"YYYYMMDD\") > '20040101' ORDER BY ID",
                     "ID"),
              std::vector<long>{3});
    EXPECT_EQ(column(*database,
                     "SELECT ID FROM Movimientos WHERE FORMAT(fFecha,'YYYYMMDD') <='20040101' AND "
                     "FORMAT(fFecha,'YYYYMMDD') >='20031231' ORDER BY ID",
                     "ID"),
              (std::vector<long>{1, 2}));
    auto formatted = database->openRecordset(
        "SELECT Format(fFecha,'YYYYMMDD') AS a, Format(fFecha,'dd/mm/yyyy') AS b "
        "FROM Movimientos WHERE ID = 1");
    EXPECT_EQ(formatted->value("a"), Variant("20031231"));
    EXPECT_EQ(formatted->value("b"), Variant("31/12/2003"));

    // ucase, also of accented letters.
    EXPECT_EQ(column(*database, "SELECT ID FROM Movimientos WHERE ucase(sNombre) = 'BETO'", "ID"),
              std::vector<long>{2});
    EXPECT_EQ(column(*database, "SELECT ID FROM Movimientos WHERE ucase(sNombre) = 'JOSÉ'", "ID"),
              std::vector<long>{4});
    auto counted = database->openRecordset("select count(*) as dato from Movimientos where ucase(sNombre) = 'ANA'");
    EXPECT_EQ(counted->value("dato"), lng(1));

    // val over a text column: leading digits, blanks skipped, 0 when there are none.
    auto values = database->openRecordset("Select val(codigo)as cod, sNombre from Movimientos ORDER BY ID");
    std::vector<double> codes;
    while (!values->eof()) {
        EXPECT_EQ(values->value("cod").type(), Variant::Type::Double);
        codes.push_back(values->value("cod").doubleValue());
        values->moveNext();
    }
    EXPECT_EQ(codes, (std::vector<double>{7, 12, 0, 34}));

    // A Boolean column compared with True and False.
    EXPECT_EQ(column(*database, "SELECT ID FROM Movimientos WHERE ID > 0 And bActivo = True ORDER BY ID", "ID"),
              (std::vector<long>{1, 3}));
    EXPECT_EQ(column(*database, "SELECT ID FROM Movimientos WHERE bActivo = False ORDER BY ID", "ID"),
              (std::vector<long>{2, 4}));

    // Max and count, with and without rows.
    auto next = database->openRecordset("Select Max(ID) As Result  FROM Movimientos Where  ID < 3 ");
    EXPECT_EQ(next->value("Result"), lng(2));
    auto none = database->openRecordset("Select Max(ID) As Result FROM Movimientos WHERE ID > 100");
    EXPECT_EQ(none->recordCount(), 1);
    EXPECT_TRUE(none->value("Result").isNull());
    auto zero = database->openRecordset("SELECT count(*) AS n FROM Movimientos WHERE ID > 100");
    EXPECT_EQ(zero->value("n"), lng(0));

    // A statement the engine cannot read is an error, not a crash.
    EXPECT_NE(errorNumber([&] { database->openRecordset("SELECT FROM WHERE"); }), 0);
    EXPECT_NE(errorNumber([&] { database->execute("DELETE * FROM NoExiste"); }), 0);
}

TEST_F(DialectTest, AggregatesOverCurrencyAreExactCurrency) {
    // 0,1 + 0,2 is exactly 0,3.
    auto small = database->openRecordset("SELECT SUM(cImporte ) AS cImporte1 FROM Movimientos WHERE ID <= 2");
    EXPECT_EQ(small->value("cImporte1").type(), Variant::Type::Currency);
    EXPECT_EQ(small->value("cImporte1"), Variant(cur(3000)));

    // 922.337.203.685,4775 + 0,1 + 0,2 - 0,0001 = 922.337.203.685,7774: sixteen significant
    // digits that a double cannot hold.
    auto all = database->openRecordset(
        " Select SUM(cImporte ) AS cImporte1,SUM(cOtro ) AS cOtro1 FROM Movimientos Where "
        "CUIT =20123456789 AND CodDJ = 1 ");
    EXPECT_EQ(all->value("cImporte1"), Variant(cur(9223372036857774)));
    EXPECT_EQ(all->value("cOtro1"), Variant(cur(0)));

    auto qualified = database->openRecordset("SELECT SUM(Movimientos.cImporte) AS s FROM Movimientos");
    EXPECT_EQ(qualified->value("s"), Variant(cur(9223372036857774)));

    auto extremes =
        database->openRecordset("SELECT Max(cImporte) AS cImporte, min(cImporte) AS menor FROM Movimientos");
    EXPECT_EQ(extremes->value("cImporte"), Variant(cur(9223372036854775)));
    EXPECT_EQ(extremes->value("menor"), Variant(cur(-1)));

    // A column qualified by the table's alias, and a date column.
    auto aliased = database->openRecordset(
        "SELECT SUM(m.cImporte) AS s, Max(m.fFecha) AS ultima FROM Movimientos AS m WHERE m.ID <= 2");
    EXPECT_EQ(aliased->value("s"), Variant(cur(3000)));
    EXPECT_EQ(aliased->value("ultima"), Variant(DateTime::fromDate(2004, 1, 1)));

    // No rows: Null, not zero.
    auto empty = database->openRecordset("SELECT SUM(cImporte ) AS cImporte1 FROM Movimientos WHERE ID > 100");
    EXPECT_TRUE(empty->value("cImporte1").isNull());

    // A plain currency column keeps its type too.
    auto plain = database->openRecordset("SELECT cImporte FROM Movimientos WHERE ID = 3");
    EXPECT_EQ(plain->value("cImporte"), Variant(cur(9223372036854775)));
}

// ---------------------------------------------------------------------------------------------
// Transactions

TEST_F(EngineTest, TransactionsCommitOnlyWhenTold) {
    auto database = create("x.mdb");
    TableDef table;
    table.name = "T";
    table.fields = {field("ID", DataType::Long)};
    table.indexes = {IndexDef{"PK", {"ID"}, true, true, true, false, false}};
    database->appendTableDef(table);
    const auto insert = [&](int id) {
        return database->execute("INSERT INTO T (ID) VALUES (" + std::to_string(id) + ")");
    };
    const auto ids = [&] { return column(*database, "SELECT ID FROM T ORDER BY ID", "ID"); };

    {
        Transaction transaction(*database);
        EXPECT_EQ(insert(1), 1);
    }
    EXPECT_EQ(ids(), std::vector<long>{});

    {
        Transaction transaction(*database);
        insert(1);
        transaction.commit();
    }
    EXPECT_EQ(ids(), std::vector<long>{1});

    // Nested transactions join the outer one.
    {
        Transaction outer(*database);
        {
            Transaction inner(*database);
            insert(2);
            inner.commit();
        }
        insert(3);
        outer.commit();
    }
    EXPECT_EQ(ids(), (std::vector<long>{1, 2, 3}));
    {
        Transaction outer(*database);
        {
            Transaction inner(*database);
            insert(4);
            inner.commit();
        }
    }
    EXPECT_EQ(ids(), (std::vector<long>{1, 2, 3}));

    // An inner rollback dooms the outer commit.
    {
        Transaction outer(*database);
        insert(5);
        {
            Transaction inner(*database);
            insert(6);
        }
        EXPECT_NE(errorNumber([&] { outer.commit(); }), 0);
    }
    EXPECT_EQ(ids(), (std::vector<long>{1, 2, 3}));

    // An error half-way leaves nothing of the group behind; the next group works normally.
    EXPECT_EQ(errorNumber([&] {
                  Transaction transaction(*database);
                  insert(7);
                  insert(7);
                  transaction.commit();
              }),
              err::kDuplicateKey);
    EXPECT_EQ(ids(), (std::vector<long>{1, 2, 3}));
    {
        Transaction transaction(*database);
        insert(8);
        transaction.commit();
    }
    EXPECT_EQ(ids(), (std::vector<long>{1, 2, 3, 8}));

    // Execute tells how many rows changed.
    EXPECT_EQ(database->execute("UPDATE T SET ID = ID + 100 WHERE ID > 2"), 2);
    EXPECT_EQ(database->execute("UPDATE T SET ID = 0 WHERE ID = 55"), 0);

    // Closing the database inside a transaction loses the transaction, not the file.
    {
        Transaction transaction(*database);
        insert(9);
        database->close();
    }
    auto reopened = open("x.mdb");
    EXPECT_EQ(column(*reopened, "SELECT ID FROM T ORDER BY ID", "ID"), (std::vector<long>{1, 2, 103, 108}));
}

// ---------------------------------------------------------------------------------------------
// Compaction and repair

TEST_F(EngineTest, CompactIntoNewFileKeepsEveryRow) {
    createFilled("c.mdb", 300);
    const std::string source = readBytes(file("c.mdb"));

    engine.compactDatabase(file("c.mdb"), file("c.bak"), kConnect);
    EXPECT_EQ(readBytes(file("c.mdb")), source);
    {
        auto compacted = open("c.bak");
        EXPECT_EQ(countRows(*compacted, "Movimientos"), 300);
        // 1,25 x (1 + 2 + ... + 300) = 1,25 x 45.150 = 56.437,5
        auto sum = compacted->openRecordset("SELECT SUM(cImporte) AS s FROM Movimientos");
        EXPECT_EQ(sum->value("s"), Variant(cur(564375000)));
        auto last = compacted->openRecordset("SELECT * FROM Movimientos WHERE ID = 300");
        EXPECT_EQ(last->value("sNombre"), Variant(generatedName(300)));
        const TableDef& def = compacted->tableDef("Movimientos");
        ASSERT_NE(def.index("PK"), nullptr);
        EXPECT_TRUE(def.index("PK")->primary);
        EXPECT_EQ(def.field("sNombre")->size, 60);
        compacted->close();
        EXPECT_EQ(errorNumber([&] { open("c.bak", ";PWD=otra"); }), err::kInvalidPassword);
    }

    // An existing target is refused and left as it was.
    const std::string target = readBytes(file("c.bak"));
    EXPECT_EQ(errorNumber([&] { engine.compactDatabase(file("c.mdb"), file("c.bak"), kConnect); }),
              err::kDatabaseExists);
    EXPECT_EQ(readBytes(file("c.bak")), target);

    // A wrong password writes nothing.
    EXPECT_EQ(errorNumber([&] { engine.compactDatabase(file("c.mdb"), file("d.bak"), ";PWD=otra"); }),
              err::kInvalidPassword);
    EXPECT_FALSE(fs::exists(file("d.bak")));
    EXPECT_EQ(errorNumber([&] { engine.compactDatabase(file("no.mdb"), file("e.bak"), kConnect); }),
              err::kFileNotFound);
    EXPECT_FALSE(fs::exists(file("e.bak")));
    EXPECT_EQ(readBytes(file("c.mdb")), source);
}

TEST_F(EngineTest, KilledWriterLeavesSavedRowsReadable) {
    createFilled("k.mdb", 200);
    const std::string saved = readBytes(file("k.mdb"));

    // A writer changes every saved row and adds many more in one transaction, with so small a
    // cache that the changes reach the file, and dies before it commits.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        try {
            Engine own;
            auto database = own.openDatabase(file("k.mdb"), false, false, kConnect);
            database->execute("PRAGMA cache_size = 5");
            Transaction transaction(*database);
            database->execute("UPDATE Movimientos SET cImporte = 0, sNombre = 'x'");
            for (int n = 1000; n < 2500; ++n) {
                database->execute("INSERT INTO Movimientos (ID, sNombre) VALUES (" + std::to_string(n) + ", '" +
                                  generatedName(n) + "')");
            }
            ::_exit(0);
        } catch (...) {
            ::_exit(2);
        }
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    ASSERT_TRUE(fs::exists(file("k.mdb-journal")));
    ASSERT_NE(readBytes(file("k.mdb")), saved);  // the uncommitted changes reached the file

    // The next open puts the saved rows back.
    auto database = open("k.mdb");
    EXPECT_EQ(checkGeneratedRows(*database), 200);
    database->close();
    EXPECT_FALSE(fs::exists(file("k.mdb-journal")));
}

TEST_F(EngineTest, RepairKeepsReadableRowsAndTheDamagedOriginal) {
    constexpr int kRows = 1500;
    createFilled("r.mdb", kRows);
    std::string bytes = readBytes(file("r.mdb"));
    // Overwrite the second half of the file.
    std::fill(bytes.begin() + static_cast<long>(bytes.size() / 2), bytes.end(), static_cast<char>(0xA5));
    writeBytes(file("r.mdb"), bytes);

    const fs::path kept = engine.repairDatabase(file("r.mdb"));
    EXPECT_TRUE(fs::exists(kept));
    EXPECT_EQ(kept.parent_path(), dir.path());
    EXPECT_EQ(readBytes(kept), bytes);

    auto repaired = open("r.mdb");
    const long rows = checkGeneratedRows(*repaired);
    EXPECT_GT(rows, kRows / 4);
    EXPECT_LT(rows, kRows);
    EXPECT_TRUE(repaired->tableDef("Movimientos").index("PK")->primary);
    // The repaired file takes new rows, and the unique key still holds.
    addRows(*repaired, {{kRows + 1, "nueva", "", Variant::null(), cur(1), true}});
    EXPECT_EQ(errorNumber([&] {
                  addRows(*repaired, {{1, "doble", "", Variant::null(), cur(1), true}});
              }),
              err::kDuplicateKey);
}

TEST_F(EngineTest, RepairOfTruncatedFileKeepsItsBeginning) {
    constexpr int kRows = 1500;
    createFilled("t.mdb", kRows);
    fs::resize_file(file("t.mdb"), fs::file_size(file("t.mdb")) / 2);
    const std::string truncated = readBytes(file("t.mdb"));
    ASSERT_EQ(errorNumber([&] { open("t.mdb"); }), err::kCannotOpen);

    const fs::path kept = engine.repairDatabase(file("t.mdb"));
    EXPECT_EQ(readBytes(kept), truncated);
    auto repaired = open("t.mdb");
    const long rows = checkGeneratedRows(*repaired);
    EXPECT_GT(rows, kRows / 4);
    EXPECT_LT(rows, kRows);
}

TEST_F(EngineTest, RepairOfWhatIsNoDatabaseChangesNothing) {
    const std::string garbage = randomBytes(16384, 11);
    writeBytes(file("basura.mdb"), garbage);
    EXPECT_NE(errorNumber([&] { engine.repairDatabase(file("basura.mdb")); }), 0);
    EXPECT_EQ(readBytes(file("basura.mdb")), garbage);
    EXPECT_EQ(directoryNames(dir.path()), std::vector<std::string>{"basura.mdb"});

    EXPECT_EQ(errorNumber([&] { engine.repairDatabase(file("no.mdb")); }), err::kFileNotFound);
    EXPECT_EQ(directoryNames(dir.path()), std::vector<std::string>{"basura.mdb"});

    // A healthy database loses nothing in a repair; each repair keeps its own original.
    createFilled("sana.mdb", 50);
    const fs::path first = engine.repairDatabase(file("sana.mdb"));
    const fs::path second = engine.repairDatabase(file("sana.mdb"));
    EXPECT_NE(first, second);
    EXPECT_TRUE(fs::exists(first));
    EXPECT_TRUE(fs::exists(second));
    EXPECT_EQ(checkGeneratedRows(*open("sana.mdb")), 50);
}

}  // namespace
}  // namespace kapred::db
