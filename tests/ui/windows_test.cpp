// The declarations window, the copy window and the inconsistency viewer on a started program.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "data/engine/recordset.h"
#include "model/sections.h"
#include "started_program.h"
#include "ui/copy_window.h"
#include "ui/declarations_window.h"
#include "ui/error_message.h"
#include "ui/main_window.h"
#include "ui/startup_windows.h"

namespace kapred {
namespace {

using test::control;

class Windows : public test::StartedProgram {
protected:
    Windows() { window.InicializeObjects(); }

    void type(const char* name, const char* text) {
        control<QLineEdit>(window, name)->setText(QString::fromUtf8(text));
    }

    // A 2004 regular declaration typed into the window and accepted.
    void addDeclaration(const char* from = "01/01/2004") {
        window.cmdNew_Click();
        type("txtlPeriodo", "2004");
        type("txtfPeriodoFiscalDesde", from);
        type("txtfPeriodoFiscalHasta", "31/12/2004");
        type("txtiEjercicioEconomico", "1");
        window.cmdOk_Click();
    }

    QString liabilitiesImage() {
        return window.tree()->topLevelItem(0)->child(1)->data(0, ui::kNodeImageRole).toString();
    }

    long storedCount(const std::string& where) { return test::countRows(context, "DDJJ WHERE " + where); }

    ui::frmDDJJ window{context, ui};
};

TEST_F(Windows, ANewDeclarationIsTypedAcceptedAndListed) {
    EXPECT_EQ(window.declarationCount(), 0);
    EXPECT_TRUE(control<QPushButton>(window, "cmdNew")->isVisibleTo(&window));
    EXPECT_FALSE(control<QPushButton>(window, "cmdEdit")->isVisibleTo(&window));
    addDeclaration();
    EXPECT_TRUE(ui.script.inconsistencies.empty());
    EXPECT_EQ(window.declarationCount(), 1);
    EXPECT_EQ(window.mode(), QStringLiteral("E"));
    EXPECT_EQ(storedCount("CodDJ = 20040 AND iTipoEjercicioFiscal = 1"), 1);
    EXPECT_TRUE(control<QLineEdit>(window, "txtlPeriodo")->isReadOnly());
}

TEST_F(Windows, AWrongDateIsListedAndTheWindowStaysInEditing) {
    addDeclaration("01/02/2004");  // a regular year that does not span a year
    ASSERT_EQ(ui.script.inconsistencies.size(), 1u);
    EXPECT_EQ(ui.script.inconsistencies[0].title, " Pantalla Declaración Jurada");
    EXPECT_EQ(ui.script.inconsistencies[0].lines,
              std::vector<std::string>{
                  "Por tratarse de ejercicio Regular, el Período Desde y Hasta debe comprender un año."});
    EXPECT_EQ(window.mode(), QStringLiteral("A"));
    EXPECT_TRUE(control<QPushButton>(window, "cmdOk")->isVisibleTo(&window));
    EXPECT_EQ(storedCount("1 = 1"), 0);
}

TEST_F(Windows, ModifyingChangesOnlyTheKindOfFiscalYear) {
    addDeclaration();
    window.cmdEdit_Click();
    for (const char* name :
         {"txtlPeriodo", "txtfPeriodoFiscalDesde", "txtfPeriodoFiscalHasta", "txtiEjercicioEconomico"}) {
        EXPECT_TRUE(control<QLineEdit>(window, name)->isReadOnly()) << name;
    }
    EXPECT_FALSE(control<QComboBox>(window, "dbcCODIGO_T_SECUENCIAS")->isEnabled());
    auto* kind = control<QComboBox>(window, "cboiTipoEjercicioFiscal");
    EXPECT_TRUE(kind->isEnabled());
    kind->setCurrentIndex(kind->findData(2));
    type("txtfPeriodoFiscalDesde", "01/01/2003");  // whatever reaches a locked field is not taken
    window.cmdOk_Click();
    EXPECT_TRUE(ui.script.inconsistencies.empty());
    EXPECT_EQ(storedCount("CodDJ = 20040 AND iTipoEjercicioFiscal = 2 AND lPeriodo = 2004"), 1);
    EXPECT_EQ(storedCount("Format(fPeriodoFiscalDesde,'YYYYMMDD') = '20040101'"), 1);
}

TEST_F(Windows, DeletingTheDeclarationEmptiesTheLiabilitiesNode) {
    addDeclaration();
    auto liabilities = createSection(context, "Pasivo");
    ASSERT_EQ(acceptSingleRow(*liabilities, {{"cDeudas", Variant("100")}}), 0);
    window.selectDeclaration(20040);
    EXPECT_EQ(liabilitiesImage(), QStringLiteral("full"));

    ui.script.answers = {false};
    window.cmdDelete_Click();
    EXPECT_EQ(window.declarationCount(), 1);
    ui.script.answers = {true};
    window.cmdDelete_Click();
    EXPECT_EQ(ui.script.asked.back().text, "Desea eliminar el Registro Actual?");
    EXPECT_EQ(window.declarationCount(), 0);
    EXPECT_EQ(liabilitiesImage(), QStringLiteral("empty"));
    EXPECT_TRUE(ui.script.shown.empty());
}

TEST_F(Windows, TheCopyRefusesWhatTheCopyCannotBeAndCopiesToALaterSequence) {
    addDeclaration();
    struct Case {
        const char* period;
        int sequenceIndex;  // -1: none chosen
        std::vector<std::string> lines;
    };
    const Case refusals[] = {
        {"", -1, {" Debe ingresar el Periodo de Destino"}},
        {"2004", -1, {" Debe seleccionar una Secuencia de Destino"}},
        {"2003", 1, {" El Período Destino debe ser igual al Período Origen "}},
        {"2004", 0, {" La Declaración Jurada Origen debe ser distinta a la de Destino"}},
    };
    for (const auto& refusal : refusals) {
        ui.script.inconsistencies.clear();
        ui::frmCopiaDJ copy(context, ui);
        control<QLineEdit>(copy, "txtperiodoDestino")->setText(QLatin1String(refusal.period));
        control<QComboBox>(copy, "dbcCODIGO_T_SECUENCIAS")->setCurrentIndex(refusal.sequenceIndex);
        copy.cmdOk_Click();
        ASSERT_EQ(ui.script.inconsistencies.size(), 1u) << refusal.period;
        EXPECT_EQ(ui.script.inconsistencies[0].title, " Inconsistencias al Copiar la Declaración Jurada");
        EXPECT_EQ(ui.script.inconsistencies[0].lines, refusal.lines);
    }

    ui::frmCopiaDJ copy(context, ui);
    control<QLineEdit>(copy, "txtperiodoDestino")->setText(QStringLiteral("2004"));
    control<QComboBox>(copy, "dbcCODIGO_T_SECUENCIAS")->setCurrentIndex(1);
    copy.cmdOk_Click();
    EXPECT_EQ(ui.script.shown.back().text, "La Copia ha finalizado correctamente!.");
    EXPECT_EQ(storedCount("CodDJ = 20041 AND CODIGO_T_SECUENCIAS = 1"), 1);
    EXPECT_EQ(control<QLabel>(copy, "lblPorciento")->text(), QStringLiteral("0,00 %"));
}

TEST_F(Windows, ClosingTheMainWindowRunsTheExitAndScramblesTheDatabase) {
    addDeclaration();
    ui::frmPrincipal main(context, ui, quiet);
    main.closingPause = std::chrono::milliseconds(0);
    main.Inicializar();
    // The maximized declarations window adds its own title, as document windows do.
    EXPECT_EQ(main.windowTitle().toStdString(), "Kapredia v1.0 - [Declaración Jurada]");
    main.close();
    EXPECT_FALSE(context.g_dbAplicativo->isOpen());
    // At rest the file is scrambled: its first bytes are no longer SQLite's header.
    EXPECT_NE(test::readBytes(dir.appDatabase()).substr(0, 15), "SQLite format 3");
    // The next start finds the declaration.
    test::ScriptedQtUi again;
    Context next(dir.home(), "20-12345678-9", again);
    Main(next, quiet);
    registerBusinessObjects(next);
    ui::frmDDJJ reopened(next, again);
    reopened.InicializeObjects();
    EXPECT_EQ(reopened.declarationCount(), 1);
}

// A cooperative just registered has no declaration yet, and sees at once whom the program serves.
TEST_F(Windows, TheTaxpayerLineShowsBeforeAnyDeclaration) {
    ui::frmPrincipal main(context, ui, quiet);
    main.closingPause = std::chrono::milliseconds(0);
    main.Inicializar();
    EXPECT_EQ(control<QLabel>(main, "lblInfo")->text().toStdString(),
              "CUIT: 20-12345678-9 -  Nombre y Apellido : Cooperativa Agrícola Ganadera La Esperanza Ltda. "
              "Actividad: 011111");
    main.close();
}

TEST_F(Windows, TheStartupMessageCanBeSwitchedOffForEveryLaterStart) {
    {
        BCMsgIni message(*context.g_dbTablas);
        ASSERT_TRUE(message.Activo());
        ui::frmInicioMensaje shown(message);
        shown.dontShowAgain()->setChecked(true);
        shown.findChild<QPushButton*>(QStringLiteral("cmdComenzar"))->click();
        EXPECT_EQ(shown.result(), QDialog::Accepted);
    }
    EXPECT_FALSE(BCMsgIni(*context.g_dbTablas).Activo());
}

TEST(Splash, TellsItsTwoStepsThenClosesAndAsTheAboutBoxWaitsForAClick) {
    ui::frmSplash splash(true, nullptr, std::chrono::milliseconds(10), std::chrono::milliseconds(10));
    // Read before the event loop runs: the first step may be over by the time the window shows.
    EXPECT_EQ(splash.status()->text(), QStringLiteral("Inicializando Sistema..."));
    splash.show();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return splash.status()->text() == QStringLiteral("Cargando contribuyente..."); }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !splash.isVisible(); }));

    ui::frmSplash about(false);
    about.show();
    EXPECT_FALSE(about.status()->isVisibleTo(&about));
    QTest::keyClick(&about, Qt::Key_Escape);
    EXPECT_TRUE(about.isVisible());
    QTest::mouseClick(&about, Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
}

TEST(ErrorViewer, CutsEachSentenceAt85CharactersAndShowsItWholeWhenSelected) {
    const std::string longSentence(120, 'x');
    ui::frmErrorMessage viewer(QStringLiteral(" Pantalla Pasivo"), {longSentence, "Corta"});
    QTreeWidgetItem* root = viewer.tree()->topLevelItem(0);
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->text(0), QStringLiteral(" Pantalla Pasivo"));
    EXPECT_EQ(root->child(0)->text(0), QString(85, QLatin1Char('x')) + QStringLiteral("..."));
    EXPECT_EQ(root->child(1)->text(0), QStringLiteral("Corta..."));
    viewer.tree()->setCurrentItem(root->child(0));
    EXPECT_EQ(viewer.description()->toPlainText(), QString::fromStdString(longSentence));
    viewer.tree()->setCurrentItem(root);  // the root leaves the description as it was
    EXPECT_EQ(viewer.description()->toPlainText(), QString::fromStdString(longSentence));
}

}  // namespace
}  // namespace kapred
