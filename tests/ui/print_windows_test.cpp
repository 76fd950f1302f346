// The print window, the work-papers window and the screen print, on a started program.
#include <gtest/gtest.h>

#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QTreeWidget>

#include "generation/work_papers.h"
#include "model/declaration.h"
#include "started_program.h"
#include "support/scoped_env.h"
#include "ui/print_window.h"
#include "ui/screen_print.h"
#include "ui/work_papers_window.h"

namespace kapred {
namespace {

class PrintWindows : public test::StartedProgram {
protected:
    PrintWindows() { addDeclaration({.sequence = "2"}); }

    test::ScopedEnv layouts{"KAPRED_REPORTSDIR", KAPRED_REPORTS_SOURCE};
};

TEST_F(PrintWindows, WorkPapersAskForANodeAndTheRootPrintsAllFive) {
    ui::frmPapelesdeTrabajo papers(context);
    QTreeWidgetItem* root = papers.tree()->topLevelItem(0);
    ASSERT_EQ(root->childCount(), 5);
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(root->child(4)->text(0), QStringLiteral("Pagos a Cuenta"));
    papers.cmdPrint_Click();
    EXPECT_EQ(ui.script.messages(),
              std::vector<std::string>{"Información: Por favor, seleccione un elemento del árbol"});

    ui::frmImpresion all(context, print::workPaperJob(context, std::nullopt));
    all.preview()->updatePreview();
    EXPECT_EQ(all.pageCount(), 5);
    ui::frmImpresion one(context, print::workPaperJob(context, findWorkPaper("pasivo")));
    one.preview()->updatePreview();
    EXPECT_EQ(one.pageCount(), 1);
}

TEST_F(PrintWindows, PrintingWithoutAPrinterPointsToThePdf) {
    if (!QPrinterInfo::availablePrinterNames().isEmpty()) {
        GTEST_SKIP() << "this machine has a printer";
    }
    ui::frmImpresion form(context, print::workPaperJob(context, findWorkPaper("pasivo")));
    form.cmdImprimir_Click();
    EXPECT_EQ(ui.script.messages("Error al imprimir"),
              std::vector<std::string>{"No hay instalada ninguna impresora predeterminada.\n"
                                       "Para guardar la impresión en un archivo use «Guardar como PDF...»."});
}

TEST_F(PrintWindows, ScreenPrintHeaderAndAPictureNoWiderThanThePaper) {
    EXPECT_EQ(screenPrintHeader(context),
              (std::vector<std::string>{"", "REXA - Ka.Pr.Ed | Papeles de trabajo", "CUIT        : 20123456789",
                                        "Período    : 2004", "Secuencia: Rectificativa 2", "_______________"}));
    QPdfWriter writer(QString::fromStdString((dir.root() / "pantalla.pdf").string()));
    QPainter painter(&writer);
    // The margins take a twentieth of the width and a fifth more on each side.
    const int printable = writer.width() - 2 * static_cast<int>(writer.width() / 20 * 1.2);
    QImage wide(4000, 300, QImage::Format_RGB32);
    EXPECT_EQ(ui::drawScreenPrint(painter, writer, {}, wide), printable);
    QImage narrow(96, 10, QImage::Format_RGB32);
    EXPECT_EQ(ui::drawScreenPrint(painter, writer, {}, narrow), writer.logicalDpiX());
}

}  // namespace
}  // namespace kapred
