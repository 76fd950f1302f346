// The database engine: files it refuses, table definitions read back, recordsets and their
// ends, the program's SQL dialect, transactions, and what a crash, a compaction or a repair
// leaves of the saved rows.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "data/engine/dialect.h"
#include "data/engine/engine.h"
#include "data/engine/schema.h"
#include "support/checks.h"
#include "support/program_dir.h"
#include "support/temp_dir.h"

namespace kapred::db {
namespace {

namespace fs = std::filesystem;
using test::errorNumber;
using test::readBytes;
using test::scaled;
using test::writeBytes;

constexpr const char* kLocale = ";LANGID=0x0409;CP=1252;COUNTRY=0;PWD=secret";
constexpr const char* kConnect = ";PWD=secret";

Variant lng(std::int32_t value) {
    return Variant(value);
}

// A field with the properties the program gives its own tables: numbers default to 0, texts
// to the empty text and accept it, dates have no default.
FieldDef field(const std::string& name, DataType type, int size = 0, bool required = false) {
    FieldDef f;
    f.name = name;
    f.type = type;
    f.size = storageSize(type, size);
    f.required = required;
    f.attributes = type == DataType::Text ? kVariableField : kFixedField;
    f.allowZeroLength = type == DataType::Text;
    if (type != DataType::Date) {
        f.defaultValue = type == DataType::Text ? "" : "0";
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

// Generated row n, so that a row read back can be checked whole: a name of 60 characters and
// n x 1,25.
std::string generatedName(int n) {
    std::string name = "fila " + std::to_string(n) + " ";
    name.resize(60, static_cast<char>('a' + n % 26));
    return name;
}

// Checks that the rows of a filled table are whole and numbered 1, 2, 3... as written.
long checkGeneratedRows(Database& database) {
    auto rs = database.openRecordset("SELECT * FROM Movimientos ORDER BY ID");
    long n = 0;
    for (; !rs->eof(); rs->moveNext()) {
        ++n;
        EXPECT_EQ(rs->value("ID"), lng(static_cast<std::int32_t>(n)));
        EXPECT_EQ(rs->value("sNombre"), Variant(generatedName(static_cast<int>(n))));
        EXPECT_EQ(rs->value("cImporte"), Variant(scaled(12500LL * n)));
    }
    return n;
}

std::vector<long> column(Database& database, const std::string& sql, const std::string& name = "ID") {
    std::vector<long> values;
    for (auto rs = database.openRecordset(sql); !rs->eof(); rs->moveNext()) {
        values.push_back(static_cast<long>(*rs->value(name).toDouble()));
    }
    return values;
}

std::string randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<char>(generator() & 0xFF); });
    return bytes;
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
        Transaction transaction(*database);
        auto rs = database->openRecordset("SELECT * FROM Movimientos");
        for (int n = 1; n <= rows; ++n) {
            rs->addNew();
            rs->setValue("ID", lng(n));
            rs->setValue("sNombre", generatedName(n));
            rs->setValue("cImporte", scaled(12500LL * n));
            rs->update();
        }
        transaction.commit();
        database->close();
    }

    test::TempDir dir;
    Engine engine;
};

// ---- Files -----------------------------------------------------------------------------------

TEST_F(EngineTest, FilesThatAreNotOursOrNotWholeAreRefused) {
    create("a.mdb")->appendTableDef(movimientos());
    std::string text;
    for (int i = 0; i < 100; ++i) {
        text += "Esto es un archivo de texto, no una base de datos.\n";
    }
    writeBytes(file("texto.mdb"), text);
    writeBytes(file("random.mdb"), randomBytes(8192, 7));
    // A database of the same engine that this program did not create is not one of ours.
    sqlite3* foreign = nullptr;
    ASSERT_EQ(sqlite3_open(file("ajena.db").c_str(), &foreign), SQLITE_OK);
    sqlite3_exec(foreign, "CREATE TABLE x (a INTEGER); INSERT INTO x VALUES (1);", nullptr, nullptr, nullptr);
    sqlite3_close(foreign);
    createFilled("t.mdb", 1500);
    ASSERT_GT(fs::file_size(file("t.mdb")), 16u * 4096u);  // the rows span many pages
    fs::resize_file(file("t.mdb"), fs::file_size(file("t.mdb")) / 2);

    const struct {
        const char* name;
        const char* connect;
        long error;
    } cases[] = {
        {"a.mdb", ";PWD=Secret", err::kInvalidPassword},
        {"a.mdb", ";PWD=other", err::kInvalidPassword},
        {"a.mdb", "", err::kInvalidPassword},
        {"missing.mdb", kConnect, err::kFileNotFound},
        {"random.mdb", kConnect, err::kUnrecognisedFormat},
        {"texto.mdb", kConnect, err::kUnrecognisedFormat},
        {"ajena.db", kConnect, err::kUnrecognisedFormat},
        {"t.mdb", kConnect, err::kCannotOpen},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(errorNumber([&] { open(c.name, c.connect); }), c.error) << c.name << " " << c.connect;
    }
    // The right password opens it, with or without the locale part.
    EXPECT_TRUE(open("a.mdb")->hasTable("Movimientos"));
    EXPECT_TRUE(open("a.mdb", kLocale)->hasTable("movimientos"));

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

TEST_F(EngineTest, AClosedWorkspaceClosesItsDatabasesAndReadOnlyIsRespected) {
    Workspace& generar = engine.createWorkspace("Generar", "Admin", "");
    auto created = generar.createDatabase(file("w.mdb"), kLocale);
    created->appendTableDef(movimientos());
    engine.closeWorkspace(generar);
    EXPECT_EQ(errorNumber([&] { created->execute("DELETE * FROM Movimientos"); }), err::kObjectClosed);

    auto reader = engine.openDatabase(file("w.mdb"), false, true, kConnect);
    open("w.mdb")->execute("INSERT INTO Movimientos (ID, sNombre) VALUES (1, 'uno')");
    EXPECT_EQ(test::countRows(*reader, "Movimientos"), 1);
    EXPECT_EQ(errorNumber([&] { reader->execute("DELETE * FROM Movimientos"); }), err::kReadOnly);
}

// ---- Table definitions -----------------------------------------------------------------------

TEST_F(EngineTest, TableDefinitionsAreReadBackFromTheFile) {
    TableDef detalle = movimientos();
    detalle.indexes = {IndexDef{"IDX_LIST", {"CUIT", "CodDJ"}, false, false, false, false, false},
                       IndexDef{"PK", {"CUIT", "CodDJ", "ID"}, true, true, true, false, false},
                       IndexDef{"IDX_NOMBRE", {"sNombre", "iCant"}, false, true, false, false, false}};
    {
        auto database = create("d.mdb");
        TableDef cabecera;
        cabecera.name = "Cabecera";
        cabecera.fields = {field("CUIT", DataType::Double), field("hora", DataType::Date, 0, true)};
        database->appendTableDef(cabecera);
        database->appendTableDef(detalle);
        EXPECT_EQ(errorNumber([&] { database->appendTableDef(detalle); }), 3010);
        // A table whose index names a missing field is not created at all.
        TableDef broken;
        broken.name = "Rota";
        broken.fields = {field("ID", DataType::Long)};
        broken.indexes = {IndexDef{"PK", {"ID", "Nada"}, true, true, true, false, false}};
        EXPECT_EQ(errorNumber([&] { database->appendTableDef(broken); }), err::kItemNotFound);
        EXPECT_FALSE(database->hasTable("Rota"));

        database->appendRelation(
            RelationDef{"Relacion0", "cabecera", "movimientos", kRelationDontEnforce, {{"CUIT", "CUIT"}}});
        database->close();
    }

    // Everything comes from the file, not from what this session remembers.
    auto database = open("d.mdb");
    std::vector<std::string> local;
    for (const auto& table : database->tableDefs()) {
        if (table.attributes == 0) {
            local.push_back(table.name);
        }
    }
    EXPECT_EQ(local, (std::vector<std::string>{"Cabecera", "Movimientos"}));  // the engine's own are marked
    const TableDef& def = database->tableDef("MOVIMIENTOS");
    ASSERT_EQ(def.fields.size(), detalle.fields.size());
    for (std::size_t i = 0; i < def.fields.size(); ++i) {
        const FieldDef& read = def.fields[i];
        const FieldDef& written = detalle.fields[i];
        SCOPED_TRACE(written.name);
        EXPECT_EQ(read.name, written.name);
        EXPECT_EQ(read.type, written.type);
        EXPECT_EQ(read.size, written.size);
        EXPECT_EQ(read.attributes, written.attributes);
        EXPECT_EQ(read.defaultValue, written.defaultValue);
        EXPECT_EQ(read.required, written.required);
        EXPECT_EQ(read.allowZeroLength, written.allowZeroLength);
    }
    ASSERT_EQ(def.indexes.size(), detalle.indexes.size());
    for (std::size_t i = 0; i < def.indexes.size(); ++i) {
        const IndexDef& read = def.indexes[i];
        const IndexDef& written = detalle.indexes[i];
        EXPECT_EQ(read.name, written.name);
        EXPECT_EQ(read.fields, written.fields);
        EXPECT_EQ(std::tie(read.primary, read.unique, read.required),
                  std::tie(written.primary, written.unique, written.required))
            << written.name;
    }
    EXPECT_EQ(def.field("cimporte"), &def.fields[4]);
    EXPECT_EQ(def.index("pk"), &def.indexes[1]);
    EXPECT_TRUE(database->tableDef("Cabecera").fields[1].required);

    const auto relations = database->relations();
    ASSERT_EQ(relations.size(), 1u);
    EXPECT_EQ(relations[0].table, "Cabecera");  // the table's own spelling
    EXPECT_EQ(relations[0].foreignTable, "Movimientos");
    EXPECT_EQ(relations[0].attributes, kRelationDontEnforce);
    EXPECT_EQ(errorNumber([&] { database->tableDef("Nada"); }), err::kItemNotFound);
}

// ---- Recordsets ------------------------------------------------------------------------------

class RecordsetTest : public EngineTest {
protected:
    void SetUp() override {
        database = create("r.mdb");
        database->appendTableDef(movimientos());
        addRows(*database, {{1, "uno", "1", Variant("01/02/2004"), scaled(15000), true},
                            {2, "dos", "2", Variant("02/02/2004"), scaled(25000), false},
                            {3, "tres", "3", Variant("03/02/2004"), scaled(35000), true},
                            {4, "cuatro", "4", Variant::null(), scaled(-5000), false},
                            {5, "cinco", "5", Variant("05/02/2004"), scaled(123456789), true}});
    }
    std::shared_ptr<Database> database;
};

TEST_F(RecordsetTest, AnEmptySetHasNoCurrentRowUntilOneIsAdded) {
    auto rs = database->openRecordset("SELECT * FROM Movimientos WHERE ID > 100");
    EXPECT_EQ(rs->recordCount(), 0);
    EXPECT_TRUE(rs->bof() && rs->eof());
    const std::vector<std::function<void()>> moves{[&] { rs->moveFirst(); }, [&] { rs->moveLast(); },
                                                   [&] { rs->moveNext(); },  [&] { rs->movePrevious(); },
                                                   [&] { rs->value("ID"); }, [&] { rs->edit(); }};
    for (const auto& move : moves) {
        EXPECT_EQ(errorNumber(move), err::kNoCurrentRecord);
    }
    rs->findFirst("ID = 1");
    EXPECT_TRUE(rs->noMatch());
    rs->addNew();
    rs->setValue("ID", lng(200));
    rs->setValue("sNombre", "nuevo");
    rs->update();
    EXPECT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->value("ID"), lng(200));
}

TEST_F(RecordsetTest, MovesThroughRowsAndStopsAtTheEnds) {
    auto rs = database->openRecordset("SELECT * FROM Movimientos ORDER BY ID");
    EXPECT_EQ(rs->recordCount(), 5);
    EXPECT_EQ(rs->value("ID"), lng(1));
    rs->moveLast();
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
    EXPECT_FALSE(rs->bof());
    EXPECT_EQ(errorNumber([&] { rs->value("ID"); }), err::kNoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { rs->moveNext(); }), err::kNoCurrentRecord);
    rs->movePrevious();
    EXPECT_EQ(rs->value("ID"), lng(5));
    rs->moveFirst();
    rs->movePrevious();
    EXPECT_TRUE(rs->bof());
    EXPECT_FALSE(rs->eof());
    EXPECT_EQ(errorNumber([&] { rs->movePrevious(); }), err::kNoCurrentRecord);
    rs->moveNext();
    EXPECT_EQ(rs->value("ID"), lng(1));

    // Every row once, in order, with the values of their types.
    std::vector<long> ids;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        ids.push_back(rs->value("ID").longValue());
    }
    EXPECT_EQ(ids, (std::vector<long>{1, 2, 3, 4, 5}));
    rs->moveLast();
    EXPECT_EQ(rs->value("cImporte"), Variant(scaled(123456789)));
    EXPECT_EQ(rs->value("fFecha"), Variant(DateTime::fromDate(2004, 2, 5)));
    EXPECT_EQ(rs->value("bActivo"), Variant(true));
    EXPECT_EQ(rs->value("CUIT"), Variant(20123456789.0));
    EXPECT_EQ(rs->value("iCant"), Variant(std::int16_t{0}));  // its default
    rs->movePrevious();
    EXPECT_TRUE(rs->value("fFecha").isNull());
    // Fields by name without regard to case; an unknown name is not in the collection.
    EXPECT_EQ(rs->value("SNOMBRE"), Variant("cuatro"));
    EXPECT_EQ(errorNumber([&] { rs->value("Nada"); }), err::kItemNotFound);
    rs->close();
    EXPECT_EQ(errorNumber([&] { rs->moveFirst(); }), err::kObjectClosed);
}

TEST_F(RecordsetTest, AForwardPassGivesEveryRowOnceWithItsType) {
    auto rs = database->openForwardOnly("SELECT ID, fFecha, cImporte, ID * 2 AS doble FROM Movimientos ORDER BY ID");
    std::vector<Variant> seen;
    for (; !rs->eof(); rs->moveNext()) {
        seen.insert(seen.end(), {rs->value("id"), rs->value("fFecha"), rs->value("cImporte"), rs->value("doble")});
    }
    ASSERT_EQ(seen.size(), 20u);
    EXPECT_EQ(seen[0], lng(1));
    EXPECT_EQ(seen[1], Variant(DateTime::fromDate(2004, 2, 1)));
    EXPECT_EQ(seen[14], Variant(scaled(-5000)));
    EXPECT_TRUE(seen[13].isNull());
    EXPECT_EQ(seen[19].toWholeNumber(), 10);
    EXPECT_EQ(errorNumber([&] { rs->value("ID"); }), err::kNoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { rs->moveNext(); }), err::kNoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { database->openForwardOnly("SELECT * FROM Movimientos")->value("Nada"); }),
              err::kItemNotFound);
    EXPECT_TRUE(database->openForwardOnly("SELECT * FROM Movimientos WHERE ID > 100")->eof());
}

TEST_F(RecordsetTest, FindFirstMeetsCriteriaOrLeavesThePosition) {
    auto rs = database->openRecordset("SELECT * FROM Movimientos ORDER BY ID");
    // Amounts compare in units, dates through Format, Booleans with True.
    const std::pair<const char*, std::int32_t> found[] = {
        {"ID = 3", 3},
        {"[sNombre] = 'cinco'", 5},
        {"cImporte = 2.5", 2},
        {"cImporte < 0", 4},
        {"cImporte > 1000", 5},
        {"Format(fFecha,'YYYYMMDD') = '20040203'", 3},
        {"bActivo = True AND id > 1", 3},
        {"ucase(sNombre) = 'DOS'", 2},
        {"fFecha IS NULL", 4},
    };
    for (const auto& [criteria, id] : found) {
        rs->moveLast();  // the first match counts, not the next one after the current row
        rs->findFirst(criteria);
        EXPECT_FALSE(rs->noMatch()) << criteria;
        EXPECT_EQ(rs->value("ID"), lng(id)) << criteria;
    }
    rs->findFirst("ID = 99");
    EXPECT_TRUE(rs->noMatch());
    EXPECT_EQ(rs->value("ID"), lng(4));
}

TEST_F(RecordsetTest, AddNewEditUpdateAndCancel) {
    auto rs = database->openRecordset("SELECT * FROM Movimientos");
    rs->addNew();
    // A new row starts with the fields' defaults, each of its field's type.
    EXPECT_EQ(rs->value("cImporte"), Variant(scaled(0)));
    EXPECT_EQ(rs->value("iCant"), Variant(std::int16_t{0}));
    EXPECT_EQ(rs->value("bActivo"), Variant(false));
    EXPECT_EQ(rs->value("codigo"), Variant(""));
    EXPECT_TRUE(rs->value("fFecha").isNull());
    rs->setValue("ID", lng(6));
    rs->setValue("sNombre", "seis");
    rs->setValue("cImporte", "1.234,5");   // typed text, the program's separators
    rs->setValue("fFecha", "29/02/2004");  // typed text
    rs->setValue("iCant", 7.0);            // a Double into an Integer field
    EXPECT_EQ(rs->value("cImporte"), Variant(scaled(12345000)));
    rs->update();
    EXPECT_EQ(rs->recordCount(), 6);

    rs = database->openRecordset("SELECT * FROM Movimientos WHERE ID = 6");
    EXPECT_EQ(rs->value("cImporte"), Variant(scaled(12345000)));
    EXPECT_EQ(rs->value("fFecha"), Variant(DateTime::fromDate(2004, 2, 29)));
    EXPECT_EQ(rs->value("iCant"), Variant(std::int16_t{7}));

    // Edit changes the current row only; CancelUpdate forgets the changes.
    rs = database->openRecordset("SELECT * FROM Movimientos");
    rs->findFirst("ID = 2");
    rs->edit();
    rs->setValue("cImporte", "-0,0001");
    rs->update();
    EXPECT_EQ(rs->value("cImporte"), Variant(scaled(-1)));
    rs->edit();
    rs->setValue("sNombre", "nunca");
    rs->cancelUpdate();
    EXPECT_EQ(errorNumber([&] { rs->update(); }), err::kNotAnUpdate);
    EXPECT_EQ(errorNumber([&] { rs->setValue("sNombre", "x"); }), err::kNotAnUpdate);
    EXPECT_EQ(database->openRecordset("SELECT * FROM Movimientos WHERE ID = 2")->value("sNombre"), Variant("dos"));

    // An aliased column of one table can still be changed.
    rs = database->openRecordset("SELECT ID, sNombre AS nombre FROM Movimientos WHERE ID = 3");
    rs->edit();
    rs->setValue("nombre", "TRES");
    rs->update();
    EXPECT_EQ(database->openRecordset("SELECT * FROM Movimientos WHERE ID = 3")->value("sNombre"), Variant("TRES"));
}

TEST_F(RecordsetTest, RefusesValuesTheFieldCannotHold) {
    auto rs = database->openRecordset("SELECT * FROM Movimientos");
    rs->addNew();
    const struct {
        const char* field;
        Variant value;
        long error;
    } refused[] = {
        {"sNombre", Variant("12345678901"), err::kFieldTooSmall},  // eleven characters in ten
        {"codigo", Variant("123456"), err::kFieldTooSmall},
        {"cImporte", Variant("abc"), err::kConversion},
        {"cImporte", Variant("1234.5"), err::kConversion},
        {"ID", Variant("x"), err::kConversion},
        {"fFecha", Variant("31/02/2004"), err::kConversion},
        {"iCant", lng(40000), err::kNumericOverflowInField},
        {"Nada", lng(1), err::kItemNotFound},
    };
    for (const auto& r : refused) {
        EXPECT_EQ(errorNumber([&] { rs->setValue(r.field, r.value); }), r.error) << r.field << " " << r.value;
    }
    // The length counts characters, not bytes.
    rs->setValue("sNombre", "añoñañoñañ");
    rs->setValue("ID", lng(10));
    rs->update();

    // A key that exists, or Null in a required field: the update fails and nothing is stored.
    rs->addNew();
    rs->setValue("ID", lng(3));
    rs->setValue("sNombre", "otro");
    EXPECT_EQ(errorNumber([&] { rs->update(); }), err::kDuplicateKey);
    rs->cancelUpdate();
    rs->findFirst("ID = 3");
    rs->edit();
    rs->setValue("ID", lng(4));
    EXPECT_EQ(errorNumber([&] { rs->update(); }), err::kDuplicateKey);
    rs->cancelUpdate();
    rs->addNew();
    rs->setValue("ID", lng(9));
    rs->setValue("sNombre", Variant::null());
    EXPECT_EQ(errorNumber([&] { rs->update(); }), err::kRequiredNull);
    rs->cancelUpdate();
    EXPECT_EQ(column(*database, "SELECT ID FROM Movimientos ORDER BY ID"), (std::vector<long>{1, 2, 3, 4, 5, 10}));

    // What is not the plain rows of one table cannot be changed.
    for (const char* sql : {"SELECT a.ID, b.sNombre FROM Movimientos AS a INNER JOIN Movimientos AS b ON a.ID = b.ID",
                            "SELECT bActivo, count(*) AS n FROM Movimientos GROUP BY bActivo"}) {
        auto view = database->openRecordset(sql);
        EXPECT_EQ(errorNumber([&] { view->edit(); }), err::kReadOnly) << sql;
    }
    auto snapshot = database->openRecordset("SELECT * FROM Movimientos", RecordsetType::Snapshot);
    EXPECT_EQ(errorNumber([&] { snapshot->addNew(); }), err::kReadOnly);

    // Nothing works on a closed database.
    database->close();
    EXPECT_EQ(errorNumber([&] { rs->moveFirst(); }), err::kObjectClosed);
    EXPECT_EQ(errorNumber([&] { database->openRecordset("SELECT * FROM Movimientos"); }), err::kObjectClosed);
}

// ---- The program's SQL dialect ---------------------------------------------------------------

class DialectTest : public EngineTest {
protected:
    void SetUp() override {
        database = create("q.mdb");
        database->appendTableDef(movimientos());
        addRows(*database, {{1, "ana", "007", Variant("31/12/2003"), scaled(1000), true},
                            {2, "Beto", "12", Variant("01/01/2004"), scaled(2000), false},
                            {3, "carla", "x5", Variant("02/01/2004"), scaled(9223372036854775), true},
                            {4, "josé", " 3 4", Variant::null(), scaled(-1), false}});
    }
    std::shared_ptr<Database> database;
};

TEST_F(DialectTest, StatementsAsTheProgramWritesThem) {
    const std::pair<const char*, std::vector<long>> queries[] = {
        {"SELECT * FROM Movimientos WHERE [ID] = 2", {2}},
        {"SELECT [ID], [sNombre] FROM [Movimientos] WHERE [sNombre] = 'Beto'", {2}},
        // The list windows' query: two blanks after Select, a bracketed order column.
        {"Select  *  FROM Movimientos Where CUIT =20123456789 AND CodDJ = 1  Order By [ID] desc", {4, 3, 2, 1}},
        // Format with the date mask, between single or double quotes.
        {"SELECT ID FROM Movimientos WHERE Format(fFecha,'YYYYMMDD') <= '20040101' ORDER BY ID", {1, 2}},
        {"SELECT ID FROM Movimientos WHERE Format(fFecha,\"YYYYMMDD\") > '20040101' ORDER BY ID", {3}},
        {"SELECT ID FROM Movimientos WHERE FORMAT(fFecha,'YYYYMMDD') <='20040101' AND "
         "FORMAT(fFecha,'YYYYMMDD') >='20031231' ORDER BY ID",
         {1, 2}},
        // ucase, also of accented letters.
        {"SELECT ID FROM Movimientos WHERE ucase(sNombre) = 'BETO'", {2}},
        {"SELECT ID FROM Movimientos WHERE ucase(sNombre) = 'JOSÉ'", {4}},
        // A Boolean column compared with True and False.
        {"SELECT ID FROM Movimientos WHERE ID > 0 And bActivo = True ORDER BY ID", {1, 3}},
        {"SELECT ID FROM Movimientos WHERE bActivo = False ORDER BY ID", {2, 4}},
        {"select count(*) as ID from Movimientos where ucase(sNombre) = 'ANA'", {1}},
        {"Select Max(ID) As ID  FROM Movimientos Where  ID < 3 ", {2}},
        {"SELECT count(*) AS ID FROM Movimientos WHERE ID > 100", {0}},
        // A table name alone opens the whole table.
        {"Movimientos", {1, 2, 3, 4}},
    };
    for (const auto& [sql, ids] : queries) {
        EXPECT_EQ(column(*database, sql), ids) << sql;
    }
    auto formatted = database->openRecordset(
        "SELECT Format(fFecha,'YYYYMMDD') AS a, Format(fFecha,'dd/mm/yyyy') AS b FROM Movimientos WHERE ID = 1");
    EXPECT_EQ(formatted->value("a"), Variant("20031231"));
    EXPECT_EQ(formatted->value("b"), Variant("31/12/2003"));
    // val over a text column: leading digits, blanks skipped, 0 when there are none.
    EXPECT_EQ(column(*database, "Select val(codigo)as cod, sNombre from Movimientos ORDER BY ID", "cod"),
              (std::vector<long>{7, 12, 0, 34}));
    EXPECT_EQ(database->openRecordset("Select val(codigo) as v from Movimientos")->value("v").type(),
              Variant::Type::Double);
    EXPECT_TRUE(database->openRecordset("Select Max(ID) As m FROM Movimientos WHERE ID > 100")->value("m").isNull());

    // DELETE *, and how many rows each statement changed.
    EXPECT_EQ(database->execute("DELETE * FROM Movimientos WHERE ID = 4"), 1);
    EXPECT_EQ(database->execute("Delete * from Movimientos Where cuit=20123456789 AND coddj=1 AND ID > 2"), 1);
    EXPECT_EQ(database->execute("delete * from Movimientos where ID = 99"), 0);
    EXPECT_EQ(database->execute("UPDATE Movimientos SET sNombre = \"Z\" WHERE ID >= 1"), 2);
    EXPECT_EQ(column(*database, "SELECT ID FROM Movimientos WHERE sNombre = 'Z' ORDER BY ID"),
              (std::vector<long>{1, 2}));

    // A statement the engine cannot read is an error, not a crash.
    EXPECT_NE(errorNumber([&] { database->openRecordset("SELECT FROM WHERE"); }), 0);
    EXPECT_NE(errorNumber([&] { database->execute("DELETE * FROM NoExiste"); }), 0);
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
    EXPECT_EQ(column(*database, "SELECT ID FROM Movimientos WHERE sNombre = " + quoteText("O'Brien")),
              std::vector<long>{1});
    EXPECT_TRUE(column(*database, "SELECT ID FROM Movimientos WHERE sNombre = " + quoteText("x' OR 'a'='a")).empty());
}

TEST_F(DialectTest, ParametersAreValuesThatPassTheDialectUntouched) {
    // The marks stay where they stand; a "?" between quotes or brackets is no mark.
    EXPECT_EQ(translate("SELECT [a?] FROM T WHERE b = ? AND c = \"?\" AND d = '?'"),
              "SELECT [a?] FROM T WHERE b = ? AND c = '?' AND d = '?'");
    const struct {
        const char* sql;
        Parameters values;
        std::vector<long> ids;
    } cases[] = {
        {"SELECT ID FROM Movimientos WHERE sNombre = ?", {"Beto"}, {2}},
        {"SELECT ID FROM Movimientos WHERE sNombre = ?", {"x' OR 'a'='a"}, {}},
        {"SELECT ID FROM Movimientos WHERE ucase(sNombre) = ? AND ID > ?", {"JOSÉ", 1}, {4}},
        {"SELECT ID FROM Movimientos WHERE Format(fFecha,'YYYYMMDD') = ?", {"20040101"}, {2}},
        {"SELECT ID FROM Movimientos WHERE ID IN (?, ?) ORDER BY ID", {Variant(std::int32_t{3}), 1LL}, {1, 3}},
        {"SELECT ID FROM Movimientos WHERE sNombre <> \"?\" AND ID = ?", {2}, {2}},
    };
    for (const auto& c : cases) {
        std::vector<long> ids;
        for (auto rows = database->openRecordset(c.sql, c.values); !rows->eof(); rows->moveNext()) {
            ids.push_back(static_cast<long>(*rows->value("ID").toWholeNumber()));
        }
        EXPECT_EQ(ids, c.ids) << c.sql;
    }

    // A value that reads as SQL is written, found and read as the value it is.
    const std::string name = "x' OR 1=1";
    EXPECT_EQ(database->execute("UPDATE Movimientos SET sNombre = ? WHERE ID = ?", {name, 3}), 1);
    auto pass = database->openForwardOnly("SELECT ID, sNombre FROM Movimientos WHERE sNombre = ?", {name});
    ASSERT_FALSE(pass->eof());
    EXPECT_EQ(pass->value("ID"), lng(3));
    pass->moveNext();
    EXPECT_TRUE(pass->eof());
    auto rows = database->openRecordset("SELECT * FROM Movimientos ORDER BY ID");
    rows->findFirst("sNombre = ? OR ID = ?", {name, 99});
    EXPECT_EQ(rows->value("ID"), lng(3));

    // Fewer or more values than marks are refused, not run with a mark left Null.
    for (const Parameters& values : {Parameters{}, Parameters{1, 2}}) {
        EXPECT_EQ(errorNumber([&] { database->openRecordset("SELECT ID FROM Movimientos WHERE ID = ?", values); }),
                  err::kProgram);
        EXPECT_EQ(errorNumber([&] { database->execute("DELETE * FROM Movimientos WHERE ID > ?", values); }),
                  err::kProgram);
        EXPECT_EQ(errorNumber([&] { rows->findFirst("ID = ?", values); }), err::kProgram);
    }
    EXPECT_EQ(column(*database, "SELECT ID FROM Movimientos ORDER BY ID"), (std::vector<long>{1, 2, 3, 4}));
}

TEST_F(DialectTest, AggregatesOverCurrencyAreExactCurrency) {
    // 922.337.203.685,4775 + 0,1 + 0,2 - 0,0001 = 922.337.203.685,7774: sixteen significant
    // digits that a double cannot hold; 0,1 + 0,2 is exactly 0,3.
    const std::pair<const char*, Variant> sums[] = {
        {"SELECT SUM(cImporte ) AS s FROM Movimientos WHERE ID <= 2", Variant(scaled(3000))},
        {" Select SUM(cImporte ) AS s,SUM(cOtro ) AS cOtro1 FROM Movimientos Where CUIT =20123456789 AND CodDJ = 1 ",
         Variant(scaled(9223372036857774))},
        {"SELECT SUM(Movimientos.cImporte) AS s FROM Movimientos", Variant(scaled(9223372036857774))},
        {"SELECT SUM(m.cImporte) AS s FROM Movimientos AS m WHERE m.ID <= 2", Variant(scaled(3000))},
        {"SELECT Max(cImporte) AS s FROM Movimientos", Variant(scaled(9223372036854775))},
        {"SELECT min(cImporte) AS s FROM Movimientos", Variant(scaled(-1))},
        {"SELECT cImporte AS s FROM Movimientos WHERE ID = 3", Variant(scaled(9223372036854775))},
        {"SELECT Max(m.fFecha) AS s FROM Movimientos AS m", Variant(DateTime::fromDate(2004, 1, 2))},
        // No rows: Null, not zero.
        {"SELECT SUM(cImporte ) AS s FROM Movimientos WHERE ID > 100", Variant::null()},
    };
    for (const auto& [sql, expected] : sums) {
        const Variant value = database->openRecordset(sql)->value("s");
        EXPECT_EQ(value, expected) << sql;
        EXPECT_EQ(value.type(), expected.type()) << sql;
    }
}

// ---- Transactions ----------------------------------------------------------------------------

TEST_F(EngineTest, TransactionsCommitOnlyWhenToldAndNestedOnesJoinTheOuter) {
    auto database = create("x.mdb");
    TableDef table;
    table.name = "T";
    table.fields = {field("ID", DataType::Long)};
    table.indexes = {IndexDef{"PK", {"ID"}, true, true, true, false, false}};
    database->appendTableDef(table);
    const auto insert = [&](int id) { database->execute("INSERT INTO T (ID) VALUES (" + std::to_string(id) + ")"); };
    const auto ids = [&] { return column(*database, "SELECT ID FROM T ORDER BY ID"); };
    {
        Transaction uncommitted(*database);
        insert(1);
    }
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
    {
        Transaction outer(*database);
        Transaction inner(*database);
        insert(4);
        inner.commit();
    }
    EXPECT_EQ(ids(), (std::vector<long>{2, 3}));
    // An inner rollback dooms the outer commit.
    {
        Transaction outer(*database);
        insert(5);
        { Transaction inner(*database); }
        EXPECT_NE(errorNumber([&] { outer.commit(); }), 0);
    }
    // An error half-way leaves nothing of the group behind.
    EXPECT_EQ(errorNumber([&] {
                  Transaction transaction(*database);
                  insert(7);
                  insert(7);
                  transaction.commit();
              }),
              err::kDuplicateKey);
    EXPECT_EQ(ids(), (std::vector<long>{2, 3}));
    // Closing the database inside a transaction loses the transaction, not the file.
    {
        Transaction transaction(*database);
        insert(9);
        database->close();
    }
    EXPECT_EQ(column(*open("x.mdb"), "SELECT ID FROM T ORDER BY ID"), (std::vector<long>{2, 3}));
}

TEST_F(EngineTest, AReadTransactionLetsAWriteInsideItCommitAndKeepsNoStaleTotal) {
    auto database = create("r.mdb");
    database->appendTableDef(movimientos());
    const auto count = [&] {
        return database->openRecordset("SELECT count(*) AS n FROM Movimientos")->value("n").toWholeNumber();
    };
    {
        const ReadTransaction pass(*database);
        EXPECT_EQ(count(), 0);
        addRows(*database, {{1, "uno", "1", Variant("01/02/2004"), scaled(15000), true}});
        EXPECT_EQ(count(), 1);
        {
            Transaction write(*database);
            addRows(*database, {{2, "dos", "2", Variant("02/02/2004"), scaled(25000), false}});
            write.commit();
        }
        EXPECT_EQ(count(), 2);
    }
    database->close();
    EXPECT_EQ(column(*open("r.mdb"), "SELECT ID FROM Movimientos ORDER BY ID"), (std::vector<long>{1, 2}));
}

// The guard of the first write runs once, before anything is changed and never for reads alone;
// while it fails, nothing is written.
TEST_F(EngineTest, TheFirstWriteWaitsForItsGuardAndReadsDoNot) {
    createFilled("g.mdb", 2);
    auto database = open("g.mdb");
    int calls = 0;
    bool ready = false;
    database->guardFirstWrite([&] {
        ++calls;
        return ready;
    });
    EXPECT_EQ(column(*database, "SELECT ID FROM Movimientos ORDER BY ID"), (std::vector<long>{1, 2}));
    {
        const ReadTransaction pass(*database);
        EXPECT_EQ(database->openRecordset("SELECT count(*) AS n FROM Movimientos")->value("n").toWholeNumber(), 2);
    }
    database->tableDef("Movimientos");
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(errorNumber([&] { database->execute("DELETE FROM Movimientos WHERE ID = 1"); }), 3043);
    EXPECT_EQ(errorNumber([&] {
                  addRows(*database, {{3, "tres", "3", Variant("03/02/2004"), scaled(100), true}});
              }),
              3043);
    EXPECT_EQ(column(*database, "SELECT ID FROM Movimientos ORDER BY ID"), (std::vector<long>{1, 2}));
    ready = true;
    const int refused = calls;
    EXPECT_EQ(database->execute("DELETE FROM Movimientos WHERE ID = 1"), 1);
    addRows(*database, {{3, "tres", "3", Variant("03/02/2004"), scaled(100), true}});
    EXPECT_EQ(calls, refused + 1);
    EXPECT_EQ(column(*database, "SELECT ID FROM Movimientos ORDER BY ID"), (std::vector<long>{2, 3}));
}

// ---- Crash, compaction and repair ------------------------------------------------------------

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
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(fs::exists(file("k.mdb-journal")));
    ASSERT_NE(readBytes(file("k.mdb")), saved);  // the uncommitted changes reached the file

    // The next open puts the saved rows back.
    auto database = open("k.mdb");
    EXPECT_EQ(checkGeneratedRows(*database), 200);
    database->close();
    EXPECT_FALSE(fs::exists(file("k.mdb-journal")));
}

TEST_F(EngineTest, CompactIntoNewFileKeepsEveryRowAndRefusesToOverwrite) {
    createFilled("c.mdb", 300);
    const std::string source = readBytes(file("c.mdb"));
    engine.compactDatabase(file("c.mdb"), file("c.bak"), kConnect);
    {
        auto compacted = open("c.bak");
        EXPECT_EQ(checkGeneratedRows(*compacted), 300);
        EXPECT_TRUE(compacted->tableDef("Movimientos").index("PK")->primary);
        EXPECT_EQ(compacted->tableDef("Movimientos").field("sNombre")->size, 60);
        compacted->close();
        EXPECT_EQ(errorNumber([&] { open("c.bak", ";PWD=otra"); }), err::kInvalidPassword);
    }
    // An existing target, a wrong password or a missing source write nothing.
    const std::string target = readBytes(file("c.bak"));
    EXPECT_EQ(errorNumber([&] { engine.compactDatabase(file("c.mdb"), file("c.bak"), kConnect); }),
              err::kDatabaseExists);
    EXPECT_EQ(readBytes(file("c.bak")), target);
    EXPECT_EQ(errorNumber([&] { engine.compactDatabase(file("c.mdb"), file("d.bak"), ";PWD=otra"); }),
              err::kInvalidPassword);
    EXPECT_EQ(errorNumber([&] { engine.compactDatabase(file("no.mdb"), file("e.bak"), kConnect); }),
              err::kFileNotFound);
    EXPECT_FALSE(fs::exists(file("d.bak")) || fs::exists(file("e.bak")));
    EXPECT_EQ(readBytes(file("c.mdb")), source);
}

TEST_F(EngineTest, RepairKeepsTheReadableRowsAndTheDamagedOriginal) {
    constexpr int kRows = 1500;
    createFilled("r.mdb", kRows);
    std::string bytes = readBytes(file("r.mdb"));
    std::fill(bytes.begin() + static_cast<long>(bytes.size() / 2), bytes.end(), static_cast<char>(0xA5));
    writeBytes(file("r.mdb"), bytes);
    createFilled("t.mdb", kRows);
    fs::resize_file(file("t.mdb"), fs::file_size(file("t.mdb")) / 2);
    const std::string truncated = readBytes(file("t.mdb"));

    for (const auto& [name, damaged] : {std::pair<std::string, std::string>{"r.mdb", bytes}, {"t.mdb", truncated}}) {
        const fs::path kept = engine.repairDatabase(file(name)).kept;
        EXPECT_EQ(kept.parent_path(), dir.path());
        EXPECT_EQ(readBytes(kept), damaged);
        auto repaired = open(name);
        const long rows = checkGeneratedRows(*repaired);
        EXPECT_GT(rows, kRows / 4) << name;
        EXPECT_LT(rows, kRows) << name;
        EXPECT_TRUE(repaired->tableDef("Movimientos").index("PK")->primary);
    }
    // The repaired file takes new rows, and the unique key still holds.
    auto repaired = open("r.mdb");
    addRows(*repaired, {{kRows + 1, "nueva", "", Variant::null(), scaled(1), true}});
    EXPECT_EQ(errorNumber([&] {
                  addRows(*repaired, {{1, "doble", "", Variant::null(), scaled(1), true}});
              }),
              err::kDuplicateKey);
}

TEST_F(EngineTest, AHealthyDatabaseLosesNothingInARepair) {
    // (What is no database at all is left as it was: see AppDatabase.RandomBytesGiveNothingAndStayUntouched.)
    EXPECT_EQ(errorNumber([&] { engine.repairDatabase(file("no.mdb")); }), err::kFileNotFound);
    createFilled("sana.mdb", 50);
    // Each repair keeps its own original.
    const fs::path first = engine.repairDatabase(file("sana.mdb")).kept;
    const fs::path second = engine.repairDatabase(file("sana.mdb")).kept;
    EXPECT_NE(first, second);
    EXPECT_TRUE(fs::exists(first) && fs::exists(second));
    EXPECT_EQ(checkGeneratedRows(*open("sana.mdb")), 50);
}

}  // namespace
}  // namespace kapred::db
