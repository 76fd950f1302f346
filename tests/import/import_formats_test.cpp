// Import formats beyond what cli/cases/formats.test shows: the name rules, the three position
// checks of the grid, and what saving a grid replaces.
#include "import/import_formats.h"

#include <gtest/gtest.h>

#include "import/import_fixture.h"
#include "support/checks.h"

namespace kapred {
namespace {

using test::ImportFixture;
using test::kAdvancesSection;

class ImportFormats : public ImportFixture {
protected:
    long positionRows(long id) {
        return test::countRows(*context().g_dbTablas, "Importacion_DesdeHasta WHERE IdFormato = " + std::to_string(id));
    }
    std::string nameOf(long id) { return findFormat(context(), id).value_or(ImportFormat{}).name; }
};

TEST_F(ImportFormats, NamesAreTrimmedUniqueWhateverTheCaseAndAtMostFiftyCharacters) {
    EXPECT_EQ(createFormat(context(), 3, "  Mi formato \t"), 6);
    EXPECT_EQ(nameOf(6), "Mi formato");
    EXPECT_EQ(createFormat(context(), 1, "Otro"), 7);
    for (const std::string& refused :
         {std::string(" mi FORMATO "), std::string("estándar anticipos"), std::string("   "), std::string(51, 'x')}) {
        EXPECT_EQ(createFormat(context(), 3, refused), std::nullopt) << refused;
    }
    EXPECT_EQ(messages(),
              (std::vector<std::string>{"Error: El Nombre de Formato especificado ya se encuentra cargado.",
                                        "Error: El Nombre de Formato especificado ya se encuentra cargado.",
                                        "Error: El nombre del formato no es válido.",
                                        "Error: El nombre del formato no puede tener más de 50 caracteres."}));
    EXPECT_EQ(createFormat(context(), 3, std::string(50, 'x')), 8);

    // A format may change the case of its own name, not take another's.
    EXPECT_TRUE(renameFormat(context(), 6, "MI FORMATO"));
    EXPECT_FALSE(renameFormat(context(), 7, "mi formato"));
    EXPECT_TRUE(renameFormat(context(), 7, " Nuevo "));
    EXPECT_EQ(nameOf(6) + "/" + nameOf(7), "MI FORMATO/Nuevo");
}

TEST_F(ImportFormats, DeletingAsksFirstAndTakesThePositionsAlong) {
    const long id = advancesFormat("Borrable", "1", "10", "11", "25");
    program.ui.answers = {false, true, true};
    EXPECT_EQ(deleteFormat(context(), id), DeleteOutcome::Declined);
    EXPECT_EQ(positionRows(id), 2);
    EXPECT_EQ(deleteFormat(context(), id), DeleteOutcome::Deleted);
    EXPECT_FALSE(findFormat(context(), id));
    EXPECT_EQ(positionRows(id), 0);
    // Format 5 comes with the program but is no standard format: it may go.
    EXPECT_EQ(deleteFormat(context(), 5), DeleteOutcome::Deleted);
}

// A grid of (label, Desde, Hasta) rows, as the configuration screen holds them.
std::string problem(std::initializer_list<std::tuple<const char*, const char*, const char*>> rows) {
    std::vector<FieldPosition> grid;
    for (const auto& [label, from, to] : rows) {
        FieldPosition row;
        row.label = label;
        row.from = from;
        row.to = to;
        grid.push_back(row);
    }
    const auto found = checkPositions(grid);
    return found ? std::to_string(found->row) + ": " + found->message : "ok";
}

TEST(PositionChecks, DelimitedThenHastaNotBelowDesdeThenNoOverlap) {
    // The first rule runs over every row before the second looks at any.
    EXPECT_EQ(problem({{"Fecha", "1", "10"}, {"Importe", "", "25"}}),
              "1: El concepto Importe debe delimitarse correctamente.");
    EXPECT_EQ(problem({{"Fecha", "0", "10"}, {"Importe", "11", "25"}}),
              "0: El concepto Fecha debe delimitarse correctamente.");
    EXPECT_EQ(problem({{"Fecha", "1", "00"}}), "0: El concepto Fecha debe delimitarse correctamente.");
    EXPECT_EQ(problem({{"Fecha", "10", "1"}, {"Importe", "11", ""}}),
              "1: El concepto Importe debe delimitarse correctamente.");
    EXPECT_EQ(problem({{"Fecha", "1", "10"}, {"Importe", "25", "11"}}),
              "1: El concepto Importe\n\rno puede tener el valor Hasta menor que el valor Desde.");
    EXPECT_EQ(problem({{"Fecha", "7", "7"}}), "ok");
    // Fields overlap when one ends inside another; the same Hasta is not reported.
    EXPECT_EQ(problem({{"A", "1", "10"}, {"B", "10", "15"}}), "0: El concepto A se superpone con B.");
    EXPECT_EQ(problem({{"A", "10", "15"}, {"B", "1", "10"}}), "1: El concepto B se superpone con A.");
    EXPECT_EQ(problem({{"A", "1", "10"}, {"B", "11", "15"}}), "ok");
    EXPECT_EQ(problem({{"A", "1", "10"}, {"B", "5", "10"}}), "ok");
    EXPECT_EQ(problem({{"Fuera", "1", "10"}, {"Dentro", "3", "5"}}), "1: El concepto Dentro se superpone con Fuera.");

    // Typing Desde proposes Hasta from the field's width; only digits are kept.
    EXPECT_EQ(proposedTo("15", 10), "24");
    EXPECT_EQ(proposedTo("", 10), "");
    EXPECT_EQ(proposedTo("abc", 10), "");
    EXPECT_EQ(typedDigits("1a5b"), "15");
}

TEST_F(ImportFormats, SavingReplacesThePositionsAndTheDecimalSignAndARefusedGridKeepsThem) {
    const long id = advancesFormat("Propio", "1", "10", "11", "25");
    FieldGrid grid = fieldGrid(context(), *findFormat(context(), id));
    EXPECT_EQ(findFormat(context(), id)->decimalSeparator, 1);
    grid.rows[0].from = "16";
    grid.rows[0].to = "25";
    grid.rows[1].from = "1";
    grid.rows[1].to = "15";
    grid.point = true;
    ASSERT_EQ(savePositions(context(), grid), SaveOutcome::Saved);
    FieldGrid saved = fieldGrid(context(), *findFormat(context(), id));
    EXPECT_EQ(saved.rows[0].from + "-" + saved.rows[0].to + " " + saved.rows[1].from + "-" + saved.rows[1].to,
              "16-25 1-15");
    EXPECT_EQ(findFormat(context(), id)->decimalSeparator, 0);
    EXPECT_EQ(positionRows(id), 2);

    saved.rows[1].to = "20";
    saved.point = false;
    EXPECT_EQ(savePositions(context(), saved), SaveOutcome::Refused);
    const FieldGrid kept = fieldGrid(context(), *findFormat(context(), id));
    EXPECT_EQ(kept.rows[1].to, "15");
    EXPECT_TRUE(kept.point);
}

}  // namespace
}  // namespace kapred
