// The section windows on a declaration: the buttons of a single-row window, a refused amount,
// the liabilities' yes/no lists, a list window's rows, the liquidation's deductions; what the
// boxes show after Modificar and Eliminar, the grids' order, the read-only look, the layout, and
// the system tables.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>

#include "data/engine/recordset.h"
#include "model/declaration.h"
#include "started_program.h"
#include "ui/input_widgets.h"
#include "ui/section_windows.h"
#include "ui/system_tables_window.h"

namespace kapred {
namespace {

class SectionWindows : public test::StartedProgram {
protected:
    SectionWindows() { addDeclaration(); }

    std::unique_ptr<ui::frmSeccion> open(const char* section) {
        auto window = std::make_unique<ui::frmSeccion>(context, ui, *findSection(section));
        window->InicializeObjects();
        return window;
    }

    bool visible(QWidget& window, const char* button) {
        auto* found = window.findChild<QPushButton*>(QLatin1String(button));
        return found != nullptr && found->isVisibleTo(&window);
    }

    QLineEdit* input(QWidget& window, const char* name) { return window.findChild<QLineEdit*>(QLatin1String(name)); }

    long rows(const std::string& table) { return test::countRows(context, table); }
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

// The single-row sections, each with amounts that no rule refuses.
struct SingleRow {
    const char* section;
    std::vector<const char*> amounts;
};
const SingleRow kSingleRows[] = {
    {"ActivoComputable", {"cDineroEfectivoNac", "cBienesAdquiridos", "cOtrosBienes"}},
    {"ActivoExento", {"cBienesTierraDelFuego", "cAccionesParticipaciones", "cCuotasSociales"}},
    {"ActivoNoComputable", {"cBienesExterior"}},
    {"Pasivo", {"cDeudas", "cProvisiones", "cBeneficios"}},
    {"LiqDeduccionesAlCapital", {"cReembolsoGastos", "cRetornoExcedente"}},
};

EntryValues amountsOf(const SingleRow& row, const char* amount) {
    EntryValues values;
    for (const char* field : row.amounts) {
        values.push_back({field, Variant(amount)});
    }
    return values;
}

TEST_F(SectionWindows, ModificarThenAceptarWithNothingChangedIsTaken) {
    for (const auto& row : kSingleRows) {
        // One amount typed; the others stay 0, which the boxes show empty.
        ASSERT_EQ(acceptSingleRow(*createSection(context, row.section), {{row.amounts[0], Variant("1.000")}}), 0);
        auto window = open(row.section);
        window->cmdEdit_Click();
        window->cmdOk_Click();
        EXPECT_TRUE(ui.script.inconsistencies.empty()) << row.section;
        EXPECT_FALSE(visible(*window, "cmdOk")) << row.section;
        ui.script.inconsistencies.clear();
    }
}

TEST_F(SectionWindows, EliminarAndNuevoLeaveNoDeletedValueInTheBoxes) {
    const auto showing = [](QWidget& window, const QString& text) {
        QStringList boxes;
        for (auto* box : window.findChildren<QLineEdit*>()) {
            if (box->text() == text) {
                boxes << box->objectName();
            }
        }
        return boxes.join(QLatin1Char(' ')).toStdString();
    };
    for (const auto& row : kSingleRows) {
        ASSERT_EQ(acceptSingleRow(*createSection(context, row.section), amountsOf(row, "1.234,56")), 0);
        auto window = open(row.section);
        ui.script.answers = {true};
        window->cmdDelete_Click();
        EXPECT_EQ(showing(*window, QStringLiteral("1.234,56")), "") << row.section << " after Eliminar";
        window->cmdNew_Click();
        EXPECT_EQ(showing(*window, QStringLiteral("1.234,56")), "") << row.section << " after Nuevo";
    }
}

TEST_F(SectionWindows, TheListGridsSortNumbersDatesAndAmountsByValue) {
    const std::pair<const char*, const char*> advances[] = {
        {"15/01/2005", "99"},  {"02/03/2005", "4.500,25"}, {"10/01/2005", "1.000"}, {"01/02/2005", "10"},
        {"05/01/2005", "100"}, {"06/01/2005", "5"},        {"07/01/2005", "20"},    {"08/01/2005", "3"},
        {"09/01/2005", "2"},   {"11/01/2005", "1"}};
    for (const auto& [date, amount] : advances) {
        ASSERT_EQ(createSection(context, "Anticipos")
                      ->Aceptar(EntryMode::Adding, {{"fFecha", Variant(date)}, {"cImporte", Variant(amount)}}),
                  0);
    }
    auto window = open("Anticipos");
    auto* grid = window->findChild<QTableView*>(QStringLiteral("dbgAnticipos"));
    const auto column = [grid](int c) {
        QStringList texts;
        for (int r = 0; r < grid->model()->rowCount(); ++r) {
            texts << grid->model()->index(r, c).data().toString();
        }
        return texts.join(QLatin1Char(' ')).toStdString();
    };
    struct Case {
        int column;
        Qt::SortOrder order;
        std::string shown;
    };
    const Case cases[] = {
        {0, Qt::AscendingOrder, "1 2 3 4 5 6 7 8 9 10"},
        {0, Qt::DescendingOrder, "10 9 8 7 6 5 4 3 2 1"},
        {1, Qt::AscendingOrder,
         "05/01/2005 06/01/2005 07/01/2005 08/01/2005 09/01/2005 10/01/2005 11/01/2005 15/01/2005 01/02/2005 "
         "02/03/2005"},
        {2, Qt::AscendingOrder, "1,00 2,00 3,00 5,00 10,00 20,00 99,00 100,00 1.000,00 4.500,25"},
    };
    for (const auto& c : cases) {
        grid->sortByColumn(c.column, c.order);
        EXPECT_EQ(column(c.column), c.shown) << "column " << c.column;
    }
}

TEST_F(SectionWindows, ReadOnlyBoxesLookReadOnly) {
    auto window = open("ActivoExento");
    window->show();
    // The colour inside a box, left of any right-aligned amount.
    const auto inside = [](QLineEdit* box) {
        return box->grab().toImage().pixelColor(box->width() / 4, box->height() / 2);
    };
    auto* amount = input(*window, "txtcCuotasSociales");
    auto* total = input(*window, "txtccActivoExento");
    ASSERT_TRUE(amount->isReadOnly());
    const QColor readOnly = inside(amount);
    EXPECT_EQ(inside(total), readOnly);
    window->cmdNew_Click();
    ASSERT_FALSE(amount->isReadOnly());
    EXPECT_NE(inside(amount), readOnly);
    EXPECT_EQ(inside(total), readOnly);
}

TEST_F(SectionWindows, EveryWindowFitsTheScreenShowsItsTitleAndKeepsItsSize) {
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const auto check = [&](QWidget& window) {
        const std::string name = window.objectName().toStdString();
        window.show();
        QApplication::processEvents();
        EXPECT_LE(window.frameGeometry().width(), 1280) << name;
        EXPECT_LE(window.frameGeometry().height(), 720) << name;
        // The title whole, with room for the title bar's own buttons.
        EXPECT_GE(window.width(), QFontMetrics(titleFont).horizontalAdvance(window.windowTitle()) + 100) << name;
        for (auto* button : window.findChildren<QPushButton*>()) {
            if (button->isVisibleTo(&window)) {
                EXPECT_TRUE(window.rect().contains(QRect(button->mapTo(&window, QPoint()), button->size())))
                    << name << " " << button->objectName().toStdString();
            }
        }
    };
    for (const auto& section : declarationSections()) {
        check(*open(section.name.c_str()));
    }
    for (const char* name : {"Activo", "Liquidacion", "Determinacion"}) {
        ui::frmCalculo window(context, ui, name);
        check(window);
    }
    ui::frmTablasSistema tables(context);
    check(tables);

    // A list window is as wide without rows, after its first row, and opened with rows.
    auto empty = open("PagosCuenta");
    empty->show();
    const int width = empty->width();
    empty->cmdNew_Click();
    input(*empty, "txtfFecha")->setText(QStringLiteral("15/01/2005"));
    input(*empty, "txtcImporte")->setText(QStringLiteral("4.500.000,25"));
    empty->cmdOk_Click();
    QApplication::processEvents();
    EXPECT_EQ(empty->width(), width);
    auto filled = open("PagosCuenta");
    filled->show();
    QApplication::processEvents();
    EXPECT_EQ(filled->width(), width);
}

TEST_F(SectionWindows, TheAmountsOfEveryPageLineUp) {
    auto window = open("ActivoComputable");
    window->show();
    auto* pages = window->findChild<QTabWidget*>();
    ASSERT_EQ(pages->count(), 2);
    std::set<int> lefts;
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        QApplication::processEvents();
        for (auto* box : pages->widget(page)->findChildren<ui::NumberEdit*>()) {
            lefts.insert(box->mapTo(window.get(), QPoint()).x());
        }
    }
    EXPECT_EQ(lefts.size(), 1u);
}

TEST_F(SectionWindows, TheSystemTablesShowCaptionsAndWholeEntries) {
    ui::frmTablasSistema tables(context);
    tables.show();
    QApplication::processEvents();
    const std::vector<std::string> headings[] = {
        {"Código", "Vigencia Desde", "Vigencia Hasta", "Alícuota (%)", "Tope en Pesos"},
        {"Código", "Vigencia Desde", "Vigencia Hasta", "Alícuota (%)"},
        {"Código", "Descripción"},
    };
    QTreeWidgetItem* root = tables.tree()->topLevelItem(0);
    ASSERT_EQ(root->childCount(), 3);
    for (int i = 0; i < root->childCount(); ++i) {
        tables.tree()->setCurrentItem(root->child(i));
        std::vector<std::string> shown;
        for (int c = 0; c < tables.grid()->model()->columnCount(); ++c) {
            shown.push_back(tables.grid()->model()->headerData(c, Qt::Horizontal).toString().toStdString());
        }
        EXPECT_EQ(shown, headings[i]);
    }
    EXPECT_LE(static_cast<QAbstractItemView*>(tables.tree())->sizeHintForColumn(0), tables.tree()->viewport()->width());
}

}  // namespace
}  // namespace kapred
