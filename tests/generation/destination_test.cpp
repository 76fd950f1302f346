// The generate dialog's choice of the destination: a drive that cannot be read and the folder it
// creates inside the chosen one.
#include <gtest/gtest.h>

#include "generation_fixture.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;

class Destination : public test::Generation {
protected:
    BGenerarDJs generator{program.context};
};

TEST_F(Destination, ADriveThatCannotBeListedIsNotReady) {
    EXPECT_TRUE(bUnidadLista(program.ui, destination.path()));
    EXPECT_TRUE(program.ui.shown.empty());

    // A medium pulled out after the drives were listed: its mount point is gone.
    EXPECT_FALSE(bUnidadLista(program.ui, destination / "pendrive"));
    ASSERT_EQ(program.ui.shown.size(), 1u);
    EXPECT_EQ(program.ui.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(program.ui.shown[0].title, "Error");
    EXPECT_EQ(program.ui.shown[0].text, "La Unidad a la que intenta acceder no esta lista.");
}

TEST_F(Destination, ANewFolderIsCreatedOnlyRightInsideTheChosenOne) {
    const auto created = CrearCarpeta(generator, destination.path(), "Presentación 2004");
    ASSERT_TRUE(created.has_value());
    EXPECT_EQ(*created, destination / "Presentación 2004");
    EXPECT_TRUE(fs::is_directory(destination / "Presentación 2004"));
    EXPECT_TRUE(program.ui.inconsistencies.empty());

    fs::create_directory(destination / "otra");
    test::writeBytes(destination / "archivo", "x");
    const struct {
        const char* name;
        const char* why;
    } refused[] = {
        {"Presentación 2004", "there already"},
        {"archivo", "a file of that name"},
        {"   ", "blank"},
        {"..", "the parent"},
        {"otra/dentro", "inside another folder"},
    };
    generator.g_vecErroresInconsistencia.addLine("un mensaje anterior");
    for (const auto& refusal : refused) {
        program.ui.inconsistencies.clear();
        EXPECT_FALSE(CrearCarpeta(generator, destination.path(), refusal.name).has_value()) << refusal.why;
        ASSERT_EQ(program.ui.inconsistencies.size(), 1u) << refusal.why;
        EXPECT_EQ(program.ui.inconsistencies[0].title, "Inconsistencia - Pantalla  Generar Archivo ");
        EXPECT_EQ(program.ui.inconsistencies[0].lines,
                  std::vector<std::string>{"El Sistema no ha podido crear la carpeta, ingrese otro nombre de carpeta"})
            << refusal.why;
    }
    EXPECT_EQ(generator.ErroresInconsistencia().size(), 1u);
    EXPECT_EQ(test::filesIn(destination.path()), (std::vector<std::string>{"Presentación 2004", "archivo", "otra"}));
    EXPECT_TRUE(test::filesIn(destination / "otra").empty());

    // No folder chosen, or one that is no longer there: nothing is created anywhere.
    program.ui.inconsistencies.clear();
    const fs::path workingFolder = fs::current_path();
    fs::current_path(destination.path());
    EXPECT_FALSE(CrearCarpeta(generator, "", "Nueva").has_value());
    fs::current_path(workingFolder);
    EXPECT_FALSE(CrearCarpeta(generator, destination / "quitada", "Nueva").has_value());
    EXPECT_EQ(program.ui.inconsistencies.size(), 2u);
    EXPECT_EQ(test::filesIn(destination.path()), (std::vector<std::string>{"Presentación 2004", "archivo", "otra"}));
}

}  // namespace
}  // namespace kapred
