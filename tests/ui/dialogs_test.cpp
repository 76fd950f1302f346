// What every dialog owes the user whatever the desktop: the toolkit's own texts in Spanish, and
// a size that keeps its buttons on the smallest screen it is made for.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTranslator>

#include <functional>
#include <memory>

#include "model/declaration.h"
#include "print/reports.h"
#include "started_program.h"
#include "support/scoped_env.h"
#include "ui/application.h"
#include "ui/error_message.h"
#include "ui/generate_window.h"
#include "ui/help.h"
#include "ui/import_fields_window.h"
#include "ui/import_window.h"
#include "ui/print_window.h"
#include "ui/review_windows.h"

namespace kapred {
namespace {

TEST(ToolkitTexts, AreSpanishInAnEnglishSession) {
    test::ScopedEnv lang{"LANG", "en_US.UTF-8"};
    test::ScopedEnv all{"LC_ALL", "en_US.UTF-8"};
    test::ScopedEnv language{"LANGUAGE", "en"};
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTranslator* toolkit = ui::installToolkitTranslation(*qApp);
    ASSERT_NE(toolkit, nullptr);

    // Their texts without the access keys' marks.
    const auto plain = [](QString text) { return text.section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&')); };
    QMessageBox box(QMessageBox::Information, QStringLiteral("Kapred"), QStringLiteral("Listo"), QMessageBox::Ok);
    EXPECT_EQ(plain(box.button(QMessageBox::Ok)->text()), QStringLiteral("Aceptar"));
    QLineEdit edit;
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList entries;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            entries << plain(action->text());
        }
    }
    EXPECT_EQ(entries, (QStringList{QStringLiteral("Deshacer"), QStringLiteral("Rehacer"), QStringLiteral("Cortar"),
                                    QStringLiteral("Copiar"), QStringLiteral("Pegar"), QStringLiteral("Borrar"),
                                    QStringLiteral("Seleccionar todo")}));

    QApplication::removeTranslator(toolkit);
    delete toolkit;
    QLocale::setDefault(before);
}

class DialogSizes : public test::StartedProgram {
protected:
    DialogSizes() { addDeclaration(); }

    test::ScopedEnv layouts{"KAPRED_REPORTSDIR", KAPRED_REPORTS_SOURCE};
};

TEST_F(DialogSizes, EveryDialogFitsTheScreenWithItsButtons) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(screen.size(), QSize(1280, 720)) << "the tests' screen";
    struct Case {
        const char* name;
        std::function<std::unique_ptr<QWidget>()> open;
    };
    const Case dialogs[] = {
        {"preview", [this] { return std::make_unique<ui::frmImpresion>(context, print::formJob(context)); }},
        {"generate", [this] { return std::make_unique<ui::frmGenerar>(context); }},
        {"import", [this] { return std::make_unique<ui::frmImportar>(context, ui); }},
        {"error summary",
         [this] {
             auto summary = std::make_unique<ui::frmImportar_ConfigurarCampos>(context);
             summary->HabilitarVentana(true);
             return summary;
         }},
        {"inconsistencies",
         [] {
             return std::make_unique<ui::frmErrorMessage>(QStringLiteral("Inconsistencias"),
                                                          std::vector<std::string>(40, "Una inconsistencia."));
         }},
        {"help", [] { return std::make_unique<ui::HelpWindow>(ui::kHelpDeclarations); }},
        {"inspector", [this] { return std::make_unique<ui::frmInspector>(context); }},
        {"comparison", [this] { return std::make_unique<ui::frmDiferencias>(context); }},
        {"receipts", [this] { return std::make_unique<ui::frmEntregas>(context); }},
    };
    for (const auto& dialog : dialogs) {
        const auto window = dialog.open();
        window->show();
        QApplication::processEvents();
        // The window manager's frame comes on top of the window's own size.
        EXPECT_LE(window->width() + 16, screen.width()) << dialog.name;
        EXPECT_LE(window->height() + 48, screen.height()) << dialog.name;
        for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
            if (button->isVisibleTo(window.get()) && qobject_cast<const QPushButton*>(button) != nullptr) {
                const QRect shown(button->mapTo(window.get(), QPoint(0, 0)), button->size());
                EXPECT_TRUE(window->rect().contains(shown))
                    << dialog.name << ": " << button->text().toStdString() << " outside the window";
            }
        }
        window->hide();
    }
}

}  // namespace
}  // namespace kapred
