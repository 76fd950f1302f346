// The shared window routines: button states, the transfer between controls and the entity, the
// Ctrl+letter handler.
#include "ui/window_routines.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "data/app_database.h"
#include "ui/input_widgets.h"

namespace kapred {
namespace {

using ui::kBrowsing;
using ui::kEditing;

TEST(ButtonStates, FollowTheModeTheRecordsAndTheSingleRow) {
    struct Case {
        const char* button;
        int mode;
        bool hasRecords;
        bool singleRow;
        std::optional<bool> visible;
    };
    const Case cases[] = {
        {"cmdOk", kEditing, false, false, true},      {"cmdCancel", kEditing, true, true, true},
        {"cmdOk", kBrowsing, true, false, false},     {"cmdNew", kEditing, false, false, false},
        {"cmdNew", kBrowsing, true, false, true},     {"cmdNew", kBrowsing, true, true, false},
        {"cmdNew", kBrowsing, false, true, true},     {"cmdExit", kBrowsing, false, false, true},
        {"cmdImport", kBrowsing, false, false, true}, {"cmdExport", kBrowsing, false, true, true},
        {"cmdExit", kEditing, true, false, false},    {"cmdDelete", kBrowsing, false, false, false},
        {"cmdDelete", kBrowsing, true, false, true},  {"cmdDeleteAll", kBrowsing, true, false, true},
        {"cmdPrint", kBrowsing, false, false, false}, {"cmdQuery", kEditing, true, false, false},
        {"cmdCopy", kBrowsing, true, true, true},     {"cmdNuevo", kBrowsing, true, false, std::nullopt},
        {"cmdOk", 2, true, false, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ui::standardButtonVisible(QLatin1String(c.button), c.mode, c.hasRecords, c.singleRow), c.visible)
            << c.button << " mode " << c.mode << " records " << c.hasRecords << " single " << c.singleRow;
    }
}

// A header window's inputs, named after the columns of the declarations table, and an amount.
struct EntryWindow {
    EntryWindow() {
        for (QWidget* control : std::initializer_list<QWidget*>{amount, date, whole, text, kind}) {
            control->setParent(&window);
        }
        text->setObjectName(QStringLiteral("txtsFormulario"));
        kind->setObjectName(QStringLiteral("cboiTipoEjercicioFiscal"));
        kind->addItem(QStringLiteral("Regular"), 1);
        kind->addItem(QStringLiteral("Irregular"), 2);
    }

    QWidget window;
    ui::NumberEdit* amount = new ui::NumberEdit(QStringLiteral("txtcDeudas"), 2);
    ui::DateEdit* date = new ui::DateEdit(QStringLiteral("txtfPeriodoFiscalDesde"));
    ui::NumberEdit* whole = new ui::NumberEdit(QStringLiteral("txtlPeriodo"), 0);
    QLineEdit* text = new QLineEdit;
    QComboBox* kind = new QComboBox;
    std::span<const tables::Column> header = tables::DDJJ::columns;
    std::span<const tables::Column> liabilities = tables::Pasivo::columns;
};

TEST(FormTransfer, EntityToWindowShowsTheProgramsFormsAndEmptiesTheInitialValues) {
    EntryWindow entry;
    EDDJJ entity;
    entity.SetFieldValue("fPeriodoFiscalDesde", Variant(DateTime::fromDate(2004, 12, 31)));
    entity.SetFieldValue("lPeriodo", Variant(std::int32_t{2004}));
    entity.SetFieldValue("sFormulario", Variant("369"));
    entity.SetFieldValue("iTipoEjercicioFiscal", Variant(std::int16_t{2}));
    ui::ShowEntity(entry.window, entry.header, entity);
    EXPECT_EQ(entry.date->text(), QStringLiteral("31/12/2004"));
    EXPECT_EQ(entry.whole->text(), QStringLiteral("2004"));
    EXPECT_EQ(entry.text->text(), QStringLiteral("369"));
    EXPECT_EQ(entry.kind->currentText(), QStringLiteral("Irregular"));

    EPasivo liabilities({});
    liabilities.SetFieldValue("cDeudas", Variant(Currency::fromScaled(12345000)));  // 1.234,50
    ui::ShowEntity(entry.window, entry.liabilities, liabilities);
    EXPECT_EQ(entry.amount->text(), QStringLiteral("1.234,50"));

    // A new entity: 01/01/1800, the number 0 and the amount 0 show empty; an unknown item
    // selects nothing.
    EDDJJ fresh;
    fresh.SetFieldValue("iTipoEjercicioFiscal", Variant(std::int16_t{7}));
    ui::ShowEntity(entry.window, entry.header, fresh);
    ui::ShowEntity(entry.window, entry.liabilities, EPasivo({}));
    EXPECT_EQ(entry.date->displayText().remove(QLatin1Char('/')).trimmed(), QString());  // no digit shown
    EXPECT_EQ(entry.whole->text(), QString());
    EXPECT_EQ(entry.amount->text(), QString());
    EXPECT_EQ(entry.kind->currentIndex(), -1);
}

TEST(FormTransfer, WindowToEntityGivesWhatWasTypedForEachFieldWithAControl) {
    EntryWindow entry;
    entry.date->setText(QStringLiteral("15/01/2005"));
    entry.whole->setText(QStringLiteral(" 2004 "));
    entry.text->setText(QStringLiteral("369"));
    entry.kind->setCurrentIndex(0);
    const EntryValues values = ui::ReadControls(entry.window, entry.header);
    // In the table's order; the fields without a control are left out.
    const std::pair<const char*, Variant> expected[] = {{"iTipoEjercicioFiscal", Variant("1")},
                                                        {"lPeriodo", Variant("2004")},
                                                        {"fPeriodoFiscalDesde", Variant("15/01/2005")},
                                                        {"sFormulario", Variant("369")}};
    ASSERT_EQ(values.size(), std::size(expected));
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i].field, expected[i].first);
        EXPECT_EQ(values[i].value, expected[i].second) << values[i].field;
    }
    entry.amount->setText(QStringLiteral("1.234,5"));
    const EntryValues amounts = ui::ReadControls(entry.window, entry.liabilities);
    ASSERT_EQ(amounts.size(), 1u);
    EXPECT_EQ(amounts[0].value, Variant("1.234,5"));
}

TEST(AmountInput, AcceptsTheProgramsNumbersAndShowsThemGrouped) {
    ui::NumberEdit amount(QStringLiteral("txtcImporte"), 2);
    QTest::keyClicks(&amount, QStringLiteral("1234567,5"));
    EXPECT_EQ(amount.text(), QStringLiteral("1234567,5"));
    emit amount.editingFinished();
    EXPECT_EQ(amount.text(), QStringLiteral("1.234.567,50"));
    EXPECT_EQ(amount.amount(), Currency::fromScaled(12345675000));
    amount.clear();
    QTest::keyClicks(&amount, QStringLiteral("12a"));  // letters never get in
    EXPECT_EQ(amount.text(), QStringLiteral("12"));
    EXPECT_EQ(amount.alignment() & Qt::AlignRight, Qt::AlignRight);
}

TEST(DateInput, TakesTheDigitsOfADateInItsShapeAndMayStayEmpty) {
    EntryWindow entry;
    QTest::keyClicks(entry.date, QStringLiteral("01012004"));
    EXPECT_EQ(entry.date->text(), QStringLiteral("01/01/2004"));
    entry.date->clear();
    QTest::keyClicks(entry.date, QStringLiteral("ab-"));  // nothing but digits gets in
    const EntryValues values = ui::ReadControls(entry.window, entry.header);
    for (const auto& value : values) {
        if (value.field == "fPeriodoFiscalDesde") {
            EXPECT_EQ(value.value, Variant(""));
        }
    }
}

TEST(CtrlKeys, ActOnlyOnTheirVisibleButtons) {
    QWidget window;
    auto* nuevo = new QPushButton(QStringLiteral("Nuevo"), &window);
    nuevo->setObjectName(QStringLiteral("cmdNuevo"));
    auto* standard = new QPushButton(QStringLiteral("Nuevo (Ctrl+N)"), &window);
    standard->setObjectName(QStringLiteral("cmdNew"));
    QSignalSpy nuevoClicks(nuevo, &QPushButton::clicked);
    QSignalSpy standardClicks(standard, &QPushButton::clicked);

    nuevo->hide();
    EXPECT_FALSE(ui::HandleCtrlKey(window, Qt::Key_N));
    nuevo->show();
    EXPECT_TRUE(ui::HandleCtrlKey(window, Qt::Key_N));
    EXPECT_FALSE(ui::HandleCtrlKey(window, Qt::Key_B));  // no button for B
    EXPECT_EQ(nuevoClicks.count(), 1);
    EXPECT_EQ(standardClicks.count(), 0);  // the standard names never answer a letter
}

}  // namespace
}  // namespace kapred
