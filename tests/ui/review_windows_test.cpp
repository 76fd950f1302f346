// The windows that review a declaration: Verificar from the declarations window, the comparison
// of an original with its rectification, and the file inspector on a faulty file.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

#include "generation/declaration_check.h"
#include "model/declaration_ops.h"
#include "model/sections.h"
#include "started_program.h"
#include "ui/declarations_window.h"
#include "ui/review_windows.h"

namespace kapred {
namespace {

class ReviewWindows : public test::StartedProgram {
protected:
    // The declaration of that code made current, with its liabilities.
    void liabilities(const char* code, const char* debts, const char* provisions) {
        ASSERT_TRUE(loadDeclaration(context, Variant(code)));
        ASSERT_EQ(acceptSingleRow(*createSection(context, "Pasivo"),
                                  {{"cDeudas", Variant(debts)}, {"cProvisiones", Variant(provisions)}}),
                  0);
    }

    ui::frmDDJJ window{context, ui};
};

TEST_F(ReviewWindows, VerifyComparesAndInspectsWhatTheCoreFinds) {
    addDeclaration();
    window.InicializeObjects();
    liabilities("20040", "5.000", "1.000");
    window.findChild<QPushButton*>(QStringLiteral("cmdVerificar"))->click();
    ASSERT_EQ(ui.script.inconsistencies.size(), 1u);
    EXPECT_EQ(ui.script.inconsistencies[0].title, kCheckTitle);
    EXPECT_EQ(ui.script.inconsistencies[0].lines,
              std::vector<std::string>{"Advertencia: La declaración no tiene activos: el total del activo es 0,00."});

    ASSERT_EQ(copyDeclaration(context, "2004", "1"), CopyOutcome::Copied);
    liabilities("20041", "4.000", "2.000");
    ui::frmDiferencias diff(context);
    diff.first()->setCurrentIndex(diff.first()->findData(QStringLiteral("20040")));
    diff.second()->setCurrentIndex(diff.second()->findData(QStringLiteral("20041")));
    diff.compare();
    ASSERT_EQ(diff.table()->rowCount(), 2);
    const auto row = [&](int at) {
        QStringList cells;
        for (int column = 0; column < 5; ++column) {
            cells << diff.table()->item(at, column)->text();
        }
        return cells.join(QLatin1Char('|')).toStdString();
    };
    EXPECT_EQ(row(0), "Pasivo|Deudas en Moneda Nacional y Extranjera|5.000,00|4.000,00|-1.000,00");
    EXPECT_EQ(row(1), "Pasivo|Previsiones|1.000,00|2.000,00|1.000,00");

    const auto file = dir.root() / "corto.txt";
    test::writeBytes(file, "HEAD10 01 01 000001\n99154000000000000000\n");
    ui::frmInspector inspector(context);
    inspector.open(QString::fromStdString(file.string()));
    ASSERT_EQ(inspector.faults()->count(), 4);
    EXPECT_EQ(inspector.faults()->item(0)->text(), QStringLiteral("El archivo tiene 0 registros 01 y debe tener 1."));
}

}  // namespace
}  // namespace kapred
