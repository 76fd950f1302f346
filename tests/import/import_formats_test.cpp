// Import formats: the shipped tables, the name rules, the standard formats' refusals, the field
// grid and its three position checks.
#include "import/import_formats.h"

#include <gtest/gtest.h>

#include <map>

#include "data/engine/recordset.h"
#include "import/import_fixture.h"

namespace kapred {
namespace {

using test::ImportFixture;
using test::kAdvancesSection;

class ImportFormats : public ImportFixture {
protected:
    long countRows(const std::string& sql) {
        return static_cast<long>(context().g_dbTablas->openRecordset(sql)->value("n").toDouble().value_or(-1));
    }
    std::string nameOf(long id) { return findFormat(context(), id).value_or(ImportFormat{}).name; }

    // A grid of the given (label, Desde, Hasta) rows, as the configuration screen holds them.
    static std::vector<FieldPosition> grid(
        std::initializer_list<std::tuple<const char*, const char*, const char*>> rows) {
        std::vector<FieldPosition> result;
        for (const auto& [label, from, to] : rows) {
            FieldPosition row;
            row.label = label;
            row.from = from;
            row.to = to;
            result.push_back(row);
        }
        return result;
    }
    static std::string problem(const std::vector<FieldPosition>& rows) {
        const auto found = checkPositions(rows);
        return found ? std::to_string(found->row) + ": " + found->message : "ok";
    }
};

TEST_F(ImportFormats, TheShippedSectionsAreTheFiveImportableOnes) {
    const auto sections = importSections(context());
    std::vector<std::string> entities;
    for (const auto& section : sections) {
        entities.push_back(std::to_string(section.code) + " " + section.entityName);
    }
    EXPECT_EQ(entities, (std::vector<std::string>{"1 ActivoComputable", "2 Pasivo", "3 Anticipos", "4 PagosCuenta",
                                                  "5 ActivoExento"}));
}

// Every importable field is a column of its section's table, of the kind tipo_campo says, and
// the standard formats place every field of their section, one after the other from column 1.
TEST_F(ImportFormats, TheShippedFieldsAndStandardFormatsMatchTheSections) {
    const std::map<db::DataType, int> kindOf{
        {db::DataType::Currency, 1}, {db::DataType::Date, 3}, {db::DataType::Integer, 4}};
    const std::map<long, long> expectedLength{{1, 255}, {2, 77}, {3, 25}, {4, 25}, {5, 45}};
    for (const auto& section : importSections(context())) {
        const db::TableDef& table = context().g_dbAplicativo->tableDef(section.entityName);
        const auto formats = formatsOfSection(context(), section.code);
        ASSERT_EQ(formats.size(), 1u) << section.entityName;
        const FieldGrid fields = fieldGrid(context(), formats.front());
        std::size_t next = 1;
        for (const auto& row : fields.rows) {
            const db::FieldDef* column = table.field(row.fieldName);
            ASSERT_NE(column, nullptr) << row.fieldName;
            EXPECT_EQ(kindOf.at(column->type), row.fieldType) << row.fieldName;
            EXPECT_EQ(row.from, std::to_string(next)) << row.fieldName;
            EXPECT_EQ(row.to, std::to_string(next + static_cast<std::size_t>(row.proposedWidth) - 1)) << row.fieldName;
            EXPECT_EQ(row.imported, true);
            next += static_cast<std::size_t>(row.proposedWidth);
        }
        // Every column of the table but the key and the row number is importable.
        std::size_t importable = 0;
        for (const auto& column : table.fields) {
            importable += column.name != "CUIT" && column.name != "CodDJ" && column.name != "ID";
        }
        EXPECT_EQ(fields.rows.size(), importable) << section.entityName;
        EXPECT_EQ(recordLength(context(), formats.front().id, section.code), expectedLength.at(section.code));
        EXPECT_FALSE(formats.front().pointDecimal());
    }
    EXPECT_TRUE(findFormat(context(), 4)->standard());
    EXPECT_FALSE(findFormat(context(), 5)->standard());
}

TEST_F(ImportFormats, ANewFormatTakesTheNextNumberAndTheTrimmedName) {
    const auto id = createFormat(context(), 3, "  Mi formato de anticipos \t");
    ASSERT_EQ(id, 6);
    const auto format = findFormat(context(), 6);
    EXPECT_EQ(format->name, "Mi formato de anticipos");
    EXPECT_EQ(format->section, 3);
    EXPECT_FALSE(format->decimalSeparator.has_value());
    EXPECT_EQ(createFormat(context(), 1, "Otro"), 7);
    EXPECT_TRUE(program.ui.shown.empty());
    ASSERT_EQ(formatsOfSection(context(), 3).size(), 2u);
    EXPECT_EQ(formatsOfSection(context(), 3)[1].name, "Mi formato de anticipos");
}

TEST_F(ImportFormats, NamesAreUniqueWhateverTheLetterCase) {
    ASSERT_TRUE(createFormat(context(), 3, "ABC"));
    EXPECT_EQ(createFormat(context(), 3, "abc"), std::nullopt);
    EXPECT_EQ(createFormat(context(), 1, " Abc "), std::nullopt);
    EXPECT_EQ(createFormat(context(), 3, "estándar anticipos"), std::nullopt);
    EXPECT_EQ(createFormat(context(), 3, "   "), std::nullopt);
    EXPECT_EQ(messages(), (std::vector<std::string>{"Error: El Nombre de Formato especificado ya se encuentra cargado.",
                                                    "Error: El Nombre de Formato especificado ya se encuentra cargado.",
                                                    "Error: El Nombre de Formato especificado ya se encuentra cargado.",
                                                    "Error: El nombre del formato no es válido."}));
    EXPECT_EQ(countRows("select count(*) as n from Importacion_Formatos"), 6);
}

TEST_F(ImportFormats, RenamingMayChangeTheCaseOfItsOwnNameOnly) {
    const long abc = *createFormat(context(), 3, "ABC");
    const long other = *createFormat(context(), 3, "Otro");
    EXPECT_TRUE(renameFormat(context(), abc, "abc"));
    EXPECT_EQ(nameOf(abc), "abc");
    EXPECT_FALSE(renameFormat(context(), other, "ABC"));
    EXPECT_FALSE(renameFormat(context(), other, ""));
    EXPECT_TRUE(renameFormat(context(), other, " Nuevo "));
    EXPECT_EQ(nameOf(other), "Nuevo");
    EXPECT_EQ(messages(), (std::vector<std::string>{"Error: El nombre de formato especificado ya se encuentra cargado.",
                                                    "Error: El nombre del formato no es válido."}));
}

TEST_F(ImportFormats, StandardFormatsCanBeNeitherEditedNorDeleted) {
    for (long id = 1; id <= 4; ++id) {
        const std::string name = nameOf(id);
        EXPECT_FALSE(renameFormat(context(), id, "Cambiado"));
        EXPECT_EQ(deleteFormat(context(), id), DeleteOutcome::Refused);
        EXPECT_EQ(nameOf(id), name);
    }
    ASSERT_EQ(program.ui.shown.size(), 8u);
    EXPECT_EQ(program.ui.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(messages()[0], "Información: Los Formatos Estándar no pueden ser editados!");
    EXPECT_EQ(messages()[1], "Información: Los Formatos Estándar no pueden ser eliminados!");
    EXPECT_TRUE(program.ui.asked.empty());
    EXPECT_EQ(countRows("select count(*) as n from Importacion_DesdeHasta where IdFormato <= 4"), 17 + 7 + 2 + 2);
}

TEST_F(ImportFormats, DeletingAsksFirstAndTakesThePositionsAlong) {
    const long id = advancesFormat("Borrable", "1", "10", "11", "25");
    ASSERT_EQ(id, 6);
    program.ui.answers = {false};
    EXPECT_EQ(deleteFormat(context(), id), DeleteOutcome::Declined);
    ASSERT_EQ(program.ui.asked.size(), 1u);
    EXPECT_EQ(program.ui.asked[0].title, "Advertencia");
    EXPECT_EQ(program.ui.asked[0].text, "¿Confirma la eliminación del Formato de Importación seleccionado?");
    EXPECT_EQ(countRows("select count(*) as n from Importacion_DesdeHasta where IdFormato = 6"), 2);

    program.ui.answers = {true};
    EXPECT_EQ(deleteFormat(context(), id), DeleteOutcome::Deleted);
    EXPECT_FALSE(findFormat(context(), id));
    EXPECT_EQ(countRows("select count(*) as n from Importacion_DesdeHasta where IdFormato = 6"), 0);
    // Format 5 comes with the program but is no standard format: it may go.
    program.ui.answers = {true};
    EXPECT_EQ(deleteFormat(context(), 5), DeleteOutcome::Deleted);
}

TEST_F(ImportFormats, QuotesInNamesAreTextNotStatements) {
    const auto id = createFormat(context(), 3, "O'Brien");
    ASSERT_TRUE(id);
    EXPECT_EQ(nameOf(*id), "O'Brien");
    EXPECT_EQ(findFormatByName(context(), "o'brien")->id, *id);
    EXPECT_EQ(countFormatsNamed(context(), "O'BRIEN"), 1);
    EXPECT_EQ(createFormat(context(), 3, "o'BRIEN"), std::nullopt);
    EXPECT_TRUE(renameFormat(context(), *id, "O'Brien's' OR ''='"));
    EXPECT_EQ(nameOf(*id), "O'Brien's' OR ''='");
    EXPECT_EQ(findFormatByName(context(), "o'brien's' or ''='")->id, *id);
    program.ui.answers = {true};
    EXPECT_EQ(deleteFormat(context(), *id), DeleteOutcome::Deleted);
    EXPECT_EQ(countRows("select count(*) as n from Importacion_Formatos"), 5);
    EXPECT_EQ(messages(),
              std::vector<std::string>{"Error: El Nombre de Formato especificado ya se encuentra cargado."});
}

TEST_F(ImportFormats, ANameLongerThanTheTableKeepsIsRefused) {
    EXPECT_EQ(createFormat(context(), 3, std::string(51, 'x')), std::nullopt);
    EXPECT_EQ(messages(),
              std::vector<std::string>{"Error: El nombre del formato no puede tener más de 50 caracteres."});
    EXPECT_EQ(createFormat(context(), 3, std::string(50, 'x')), 6);
}

TEST_F(ImportFormats, EveryFieldMustBeDelimitedFirst) {
    EXPECT_EQ(problem(grid({{"Fecha", "1", "10"}, {"Importe", "", "25"}})),
              "1: El concepto Importe debe delimitarse correctamente.");
    EXPECT_EQ(problem(grid({{"Fecha", "0", "10"}, {"Importe", "11", "25"}})),
              "0: El concepto Fecha debe delimitarse correctamente.");
    EXPECT_EQ(problem(grid({{"Fecha", "1", "00"}, {"Importe", "11", "25"}})),
              "0: El concepto Fecha debe delimitarse correctamente.");
    // The first rule runs over every row before the second looks at any.
    EXPECT_EQ(problem(grid({{"Fecha", "10", "1"}, {"Importe", "11", ""}})),
              "1: El concepto Importe debe delimitarse correctamente.");
}

TEST_F(ImportFormats, HastaMayNotBeBelowDesde) {
    EXPECT_EQ(problem(grid({{"Fecha", "1", "10"}, {"Importe", "25", "11"}})),
              "1: El concepto Importe\n\rno puede tener el valor Hasta menor que el valor Desde.");
    EXPECT_EQ(problem(grid({{"Fecha", "7", "7"}})), "ok");
}

TEST_F(ImportFormats, OverlapsAreFieldsThatEndInsideAnother) {
    // The first ends inside the second.
    EXPECT_EQ(problem(grid({{"A", "1", "10"}, {"B", "10", "15"}})), "0: El concepto A se superpone con B.");
    EXPECT_EQ(problem(grid({{"A", "10", "15"}, {"B", "1", "10"}})), "1: El concepto B se superpone con A.");
    EXPECT_EQ(problem(grid({{"A", "1", "10"}, {"B", "11", "15"}})), "ok");
    // The same Hasta is not reported.
    EXPECT_EQ(problem(grid({{"A", "1", "10"}, {"B", "5", "10"}})), "ok");
    // A field inside another is reported when the inner one is taken as A.
    EXPECT_EQ(problem(grid({{"Fuera", "1", "10"}, {"Dentro", "3", "5"}})),
              "1: El concepto Dentro se superpone con Fuera.");
}

TEST_F(ImportFormats, TypingDesdeProposesHastaFromTheFieldWidth) {
    EXPECT_EQ(proposedTo("15", 10), "24");
    EXPECT_EQ(proposedTo("1", 15), "15");
    EXPECT_EQ(proposedTo("", 10), "");
    EXPECT_EQ(typedDigits("1a5b"), "15");
    EXPECT_EQ(typedDigits("abc"), "");
    EXPECT_EQ(proposedTo("abc", 10), "");
}

TEST_F(ImportFormats, SavingReplacesThePositionsAndTheDecimalSign) {
    const long id = advancesFormat("Anticipos propios", "1", "10", "11", "25");
    FieldGrid grid = fieldGrid(context(), *findFormat(context(), id));
    EXPECT_EQ(grid.rows[0].label, "Fecha del anticipo");
    EXPECT_EQ(grid.rows[0].from + "-" + grid.rows[0].to, "1-10");
    EXPECT_EQ(grid.rows[1].from + "-" + grid.rows[1].to, "11-25");
    EXPECT_TRUE(grid.rows[0].imported);  // required
    EXPECT_FALSE(grid.point);
    EXPECT_EQ(findFormat(context(), id)->decimalSeparator, 1);

    grid.rows[0].from = "16";
    grid.rows[0].to = "25";
    grid.rows[1].from = "1";
    grid.rows[1].to = "15";
    grid.point = true;
    ASSERT_EQ(savePositions(context(), grid), SaveOutcome::Saved);
    const FieldGrid saved = fieldGrid(context(), *findFormat(context(), id));
    EXPECT_EQ(saved.rows[0].from + "-" + saved.rows[0].to, "16-25");
    EXPECT_EQ(saved.rows[1].from + "-" + saved.rows[1].to, "1-15");
    EXPECT_TRUE(saved.point);
    EXPECT_EQ(findFormat(context(), id)->decimalSeparator, 0);
    EXPECT_EQ(countRows("select count(*) as n from Importacion_DesdeHasta where IdFormato = " + std::to_string(id)), 2);
    EXPECT_EQ(recordLength(context(), id, kAdvancesSection), 25);
}

TEST_F(ImportFormats, ARefusedGridLeavesTheStoredPositions) {
    const long id = advancesFormat("Anticipos propios", "1", "10", "11", "25");
    FieldGrid grid = fieldGrid(context(), *findFormat(context(), id));
    grid.rows[1].from = "5";
    grid.rows[1].to = "30";
    grid.point = true;
    EXPECT_EQ(savePositions(context(), grid), SaveOutcome::Refused);
    EXPECT_EQ(messages(), std::vector<std::string>{"Error: El concepto Fecha del anticipo se superpone con Importe del "
                                                   "anticipo."});
    const FieldGrid kept = fieldGrid(context(), *findFormat(context(), id));
    EXPECT_EQ(kept.rows[1].from + "-" + kept.rows[1].to, "11-25");
    EXPECT_FALSE(kept.point);
}

TEST_F(ImportFormats, TheFormatsThatComeWithTheProgramKeepTheirPositions) {
    for (long id : {3L, 5L}) {
        FieldGrid grid = fieldGrid(context(), *findFormat(context(), id));
        grid.rows[0].to = grid.rows[0].from;
        grid.rows[1].from = std::to_string(std::stol(grid.rows[0].from) + 1);
        grid.point = true;
        EXPECT_EQ(savePositions(context(), grid), SaveOutcome::NotSaved) << id;
        const FieldGrid kept = fieldGrid(context(), *findFormat(context(), id));
        EXPECT_EQ(kept.rows[0].to, id == 3 ? "10" : "15");
        EXPECT_FALSE(kept.point);
    }
    EXPECT_TRUE(program.ui.shown.empty());
}

}  // namespace
}  // namespace kapred
