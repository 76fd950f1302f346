// The section windows on a declaration: the buttons of a single-row window, a refused amount,
// the liabilities' yes/no lists, a list window's rows, and the liquidation's deductions.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "app/startup.h"
#include "calc/registry.h"
#include "data/engine/recordset.h"
#include "model/declaration.h"
#include "scripted_qt_ui.h"
#include "support/header_input.h"
#include "support/program_dir.h"
#include "ui/section_windows.h"

namespace kapred {
namespace {

class SectionWindows : public ::testing::Test {
protected:
    SectionWindows() : context(dir.home(), "20-12345678-9", ui) {
        Main(context, quiet);
        registerBusinessObjects(context);
        auto header = std::make_shared<BDDJJ>(context);
        const int code = header->Aceptar(EntryMode::Adding, test::typedHeader());
        EXPECT_EQ(code, 0);
        context.currentDeclaration = header;
    }

    std::unique_ptr<ui::frmSeccion> open(const char* section) {
        auto window = std::make_unique<ui::frmSeccion>(context, ui, *findSection(context, section));
        window->InicializeObjects();
        return window;
    }

    bool visible(QWidget& window, const char* button) {
        auto* found = window.findChild<QPushButton*>(QLatin1String(button));
        return found != nullptr && found->isVisibleTo(&window);
    }

    QLineEdit* input(QWidget& window, const char* name) { return window.findChild<QLineEdit*>(QLatin1String(name)); }

    long rows(const std::string& table) { return test::countRows(context, table); }

    test::ProgramDir dir;
    test::ScriptedQtUi ui;
    StartupObserver quiet;
    Context context;
};

TEST_F(SectionWindows, ASingleRowWindowOffersNewOnlyWhileItsRowIsMissing) {
    auto window = open("ActivoExento");
    EXPECT_TRUE(visible(*window, "cmdNew"));
    EXPECT_FALSE(visible(*window, "cmdEdit"));
    window->cmdNew_Click();
    input(*window, "txtcCuotasSociales")->setText(QStringLiteral("1.500,25"));
    window->cmdOk_Click();
    EXPECT_FALSE(visible(*window, "cmdNew"));
    EXPECT_TRUE(visible(*window, "cmdEdit"));
    EXPECT_EQ(input(*window, "txtccActivoExento")->text(), QStringLiteral("1.500,25"));

    ui.script.answers = {true};
    window->cmdDelete_Click();
    EXPECT_TRUE(visible(*window, "cmdNew"));
    EXPECT_EQ(rows("ActivoExento"), 0);
    EXPECT_EQ(input(*window, "txtccActivoExento")->text(), QStringLiteral("0,00"));
}

TEST_F(SectionWindows, ANegativeAmountKeepsTheWindowEditingAndStoresNothing) {
    auto window = open("Pasivo");
    window->cmdNew_Click();
    input(*window, "txtcDeudas")->setText(QStringLiteral("-5"));
    window->cmdOk_Click();
    ASSERT_EQ(ui.script.inconsistencies.size(), 1u);
    EXPECT_EQ(ui.script.inconsistencies[0].title, " Pantalla Pasivo");
    EXPECT_EQ(ui.script.inconsistencies[0].lines,
              std::vector<std::string>{"El campo 'Deudas en Moneda Nacional y Extranjera' debe estar comprendido "
                                       "entre : 0 y 99999999999,99 . Intento de ingreso :-5"});
    EXPECT_EQ(window->mode(), QStringLiteral("A"));
    EXPECT_TRUE(visible(*window, "cmdOk"));
    EXPECT_EQ(rows("Pasivo"), 0);
}

TEST_F(SectionWindows, NoInTheInsuranceListsSetsTheirAmountsToZeroReadOnly) {
    auto window = open("Pasivo");
    window->cmdNew_Click();
    auto* reserves = input(*window, "txtcReservasTecnicas");
    auto* capitalisation = window->findChild<QComboBox*>(QStringLiteral("cboiCooperativaSegurosCapitalizacion"));
    EXPECT_EQ(capitalisation->currentText(), QStringLiteral("NO"));
    EXPECT_TRUE(reserves->isReadOnly());
    capitalisation->setCurrentIndex(capitalisation->findData(1));
    EXPECT_FALSE(reserves->isReadOnly());
    reserves->setText(QStringLiteral("7.000"));
    capitalisation->setCurrentIndex(capitalisation->findData(0));
    EXPECT_EQ(reserves->text(), QStringLiteral("0"));
    EXPECT_TRUE(reserves->isReadOnly());
    input(*window, "txtcDeudas")->setText(QStringLiteral("100"));
    window->cmdOk_Click();
    EXPECT_TRUE(ui.script.inconsistencies.empty());
    EXPECT_EQ(input(*window, "txtccPasivo")->text(), QStringLiteral("100,00"));
}

TEST_F(SectionWindows, AListWindowAddsModifiesAndDeletesItsRows) {
    auto window = open("Anticipos");
    EXPECT_EQ(window->rowCount(), 0);
    for (const char* amount : {"1.000", "2.500,50"}) {
        window->cmdNew_Click();
        input(*window, "txtfFecha")->setText(QStringLiteral("15/01/2005"));
        input(*window, "txtcImporte")->setText(QLatin1String(amount));
        window->cmdOk_Click();
    }
    EXPECT_EQ(window->rowCount(), 2);
    EXPECT_EQ(input(*window, "txtccImporte")->text(), QStringLiteral("3.500,50"));

    ASSERT_TRUE(window->selectRow(1));
    window->cmdEdit_Click();
    input(*window, "txtcImporte")->setText(QStringLiteral("1.500"));
    window->cmdOk_Click();
    EXPECT_EQ(window->rowCount(), 2);
    EXPECT_EQ(input(*window, "txtccImporte")->text(), QStringLiteral("4.000,50"));

    ui.script.answers = {true};
    window->cmdDeleteAll_Click();
    EXPECT_EQ(ui.script.asked.back().text, "Desea Eliminar Todos los Registros ?");
    EXPECT_EQ(window->rowCount(), 0);
    EXPECT_EQ(rows("Anticipos"), 0);
    EXPECT_TRUE(visible(*window, "cmdNew"));
    EXPECT_FALSE(visible(*window, "cmdDeleteAll"));
}

TEST_F(SectionWindows, TheLiquidationDropsTheDeductionsWhenThereIsNoCapitalAtCloseAndSaysSo) {
    struct Case {
        const char* debts;
        const char* capital;
        const char* told;  // nothing when the deductions stay
    };
    const Case cases[] = {
        {"1.000,01", "-0,01",
         "El Capital al Cierre del Ejercicio es de -0,01: sin capital no corresponden Deducciones al Capital. Se "
         "eliminaron las deducciones cargadas en la declaración, por un total de 200,00."},
        {"1.000", "0,00",
         "El Capital al Cierre del Ejercicio es de 0,00: sin capital no corresponden Deducciones al Capital. Se "
         "eliminaron las deducciones cargadas en la declaración, por un total de 200,00."},
        {"999,99", "0,01", nullptr},
    };
    acceptSingleRow(*createSection(context, "ActivoComputable"), {{"cOtrosBienes", Variant("1.000")}});
    for (const auto& test : cases) {
        ui.script.shown.clear();
        acceptSingleRow(*createSection(context, "Pasivo"), {{"cDeudas", Variant(test.debts)}});
        acceptSingleRow(*createSection(context, "LiqDeduccionesAlCapital"), {{"cRetornoExcedente", Variant("200")}});
        ASSERT_EQ(rows("LiqDeduccionesAlCapital"), 1);

        ui::frmCalculo liquidation(context, ui, "Liquidacion");
        const bool dropped = test.told != nullptr;
        EXPECT_EQ(rows("LiqDeduccionesAlCapital"), dropped ? 0 : 1) << test.capital;
        EXPECT_EQ(ui.script.messages(), dropped ? std::vector<std::string>{std::string("Información: ") + test.told}
                                                : std::vector<std::string>{})
            << test.capital;
        EXPECT_EQ(input(liquidation, "txtccCapitalAlCierre")->text(), QString::fromUtf8(test.capital));
        EXPECT_EQ(input(liquidation, "txtccDeduccionesAlCierre")->text(),
                  dropped ? QStringLiteral("0,00") : QStringLiteral("200,00"));
        auto* detail = liquidation.findChild<QToolButton*>(QStringLiteral("imgDetail"));
        ASSERT_NE(detail, nullptr);
        EXPECT_EQ(detail->isEnabled(), !dropped) << test.capital;
    }
}

}  // namespace
}  // namespace kapred
