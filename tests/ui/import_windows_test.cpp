// The import window and the positions window on a started program with a 2004 declaration.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

#include "data/engine/recordset.h"
#include "data/values/datetime.h"
#include "data/values/numeric_text.h"
#include "import/import_formats.h"
#include "model/sections.h"
#include "started_program.h"
#include "ui/declarations_window.h"
#include "ui/import_fields_window.h"
#include "ui/import_window.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;

constexpr long kAdvances = 3;  // the section and its standard format
constexpr long kComputable = 1;
constexpr long kLiabilities = 2;

// Acts on the next modal window once it is open: a run repaints, and so lets timers fire, before
// it opens one.
void whenModalOpens(std::function<void(QWidget&)> act, int tries = 300) {
    QTimer::singleShot(5, [act = std::move(act), tries]() mutable {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            act(*modal);
        } else if (tries > 0) {
            whenModalOpens(std::move(act), tries - 1);
        }
    });
}

using test::control;

class ImportWindows : public test::StartedProgram {
protected:
    // The import window on the section's standard format, reading or writing that file.
    std::unique_ptr<ui::frmImportar> importWindow(long section, const fs::path& file) {
        auto window = std::make_unique<ui::frmImportar>(context, ui);
        EXPECT_TRUE(window->selectSection(section));
        EXPECT_TRUE(window->selectFormat(section));
        window->askPath = [file](ui::frmImportar::FileUse) { return QString::fromStdString(file.string()); };
        return window;
    }

    // The positions window of a new format of the section.
    std::unique_ptr<ui::frmImportar_ConfigurarCampos> fieldsWindow(long section) {
        const auto id = createFormat(context, section, "Propio " + std::to_string(++formatsMade));
        auto window = std::make_unique<ui::frmImportar_ConfigurarCampos>(context);
        window->Refrescar_Tabla(*findFormat(context, *id));
        window->HabilitarVentana(false);
        window->show();
        return window;
    }

    // The advances stored in the declaration, as "date amount".
    std::vector<std::string> advances() {
        auto rows = context.g_dbAplicativo->openRecordset(
            "SELECT fFecha, cImporte FROM Anticipos WHERE CodDJ = 20040 ORDER BY ID");
        std::vector<std::string> texts;
        for (rows->eof() ? void() : rows->moveFirst(); !rows->eof(); rows->moveNext()) {
            texts.push_back(formatDate(rows->value("fFecha").toDate().value()) + " " +
                            formatAmount(rows->value("cImporte").toCurrency().value(), 2));
        }
        return texts;
    }

    fs::path write(const std::string& name, const std::string& bytes) {
        test::writeBytes(dir.root() / name, bytes);
        return dir.root() / name;
    }

    int formatsMade = 0;
};

TEST_F(ImportWindows, TypingADesdeKeepsItsDigitsAndProposesTheHasta) {
    struct Case {
        long section;
        int row;
        const char* typed;
        const char* from;
        const char* to;
    };
    const Case cases[] = {
        {kAdvances, 0, "15", "15", "24"},   // the date, proposed length 10
        {kAdvances, 1, "11", "11", "25"},   // the amount, 15
        {kAdvances, 0, "1a5", "15", "24"},  // letters are ignored
        {kAdvances, 0, "abc", "", ""},      // nothing typed, nothing proposed
        {kLiabilities, 0, "3", "3", "3"},   // a yes/no answer, 1
    };
    for (const auto& c : cases) {
        auto window = fieldsWindow(c.section);
        QTableWidget* grid = window->grid();
        grid->setCurrentCell(c.row, 1);
        grid->editItem(grid->item(c.row, 1));
        auto* editor = grid->findChild<QLineEdit*>(QStringLiteral("txtdato"));
        ASSERT_NE(editor, nullptr) << c.typed;
        QTest::keyClicks(editor, QLatin1String(c.typed));
        QTest::keyClick(editor, Qt::Key_Return);
        EXPECT_EQ(grid->item(c.row, 1)->text(), QLatin1String(c.from)) << c.typed;
        EXPECT_EQ(grid->item(c.row, 2)->text(), QLatin1String(c.to)) << c.typed;
        // Enter goes on to the Hasta of the same field.
        EXPECT_EQ(grid->currentRow(), c.row);
        EXPECT_EQ(grid->currentColumn(), 2);
    }
}

TEST_F(ImportWindows, ARequiredFieldIsAlwaysImported) {
    struct Case {
        long section;
        int row;
        const char* shown;   // on a new format
        const char* chosen;  // from the list, when the cell opens one
        bool imported;
    };
    const Case cases[] = {
        {kAdvances, 0, "Sí", "No", true},    // the date of an advance is required
        {kComputable, 0, "No", "Sí", true},  // an asset amount may be left out or taken
        {kComputable, 0, "No", "No", false},
    };
    for (const auto& c : cases) {
        auto window = fieldsWindow(c.section);
        QTableWidget* grid = window->grid();
        EXPECT_EQ(grid->item(c.row, 3)->text(), QString::fromUtf8(c.shown));
        grid->setCurrentCell(c.row, 3);
        QTest::keyClick(grid, Qt::Key_F2);
        if (auto* choice = grid->findChild<QComboBox*>(QStringLiteral("ComboOpt"))) {
            choice->setCurrentIndex(choice->findText(QString::fromUtf8(c.chosen)));
            QTest::keyClick(choice, Qt::Key_Return);
        }
        EXPECT_EQ(grid->item(c.row, 3)->text(), c.imported ? QStringLiteral("Sí") : QStringLiteral("No")) << c.section;
        EXPECT_EQ(window->typedGrid().rows[static_cast<std::size_t>(c.row)].imported, c.imported) << c.section;
    }
}

TEST_F(ImportWindows, TheFieldsWindowGoesToTheRowItRefusesAndSavesAGoodGrid) {
    auto window = fieldsWindow(kAdvances);
    QTableWidget* grid = window->grid();
    const char* positions[2][2] = {{"1", "10"}, {"11", "9"}};
    for (int r = 0; r < 2; ++r) {
        grid->item(r, 1)->setText(QLatin1String(positions[r][0]));
        grid->item(r, 2)->setText(QLatin1String(positions[r][1]));
    }
    grid->setCurrentCell(0, 1);
    window->cmdOk_Click();
    EXPECT_EQ(ui.script.messages(),
              std::vector<std::string>{"Error: El concepto Importe del anticipo\n\rno puede tener el valor "
                                       "Hasta menor que el valor Desde."});
    EXPECT_EQ(grid->currentRow(), 1);
    EXPECT_TRUE(window->isVisible());

    grid->item(1, 2)->setText(QStringLiteral("25"));
    control<QRadioButton>(*window, "chkPunto")->setChecked(true);
    window->cmdOk_Click();
    EXPECT_EQ(window->result(), QDialog::Accepted);
    const FieldGrid saved = fieldGrid(context, *findFormat(context, 6));
    EXPECT_EQ(saved.rows[1].from + "-" + saved.rows[1].to, "11-25");
    EXPECT_TRUE(saved.point);
}

TEST_F(ImportWindows, AUserFormatIsCreatedRenamedAndDeleted) {
    addDeclaration();
    ui::frmImportar window(context, ui);
    window.selectSection(kAdvances);
    auto* name = control<QLineEdit>(window, "txtformato");
    window.cmdNew_Click();
    EXPECT_FALSE(name->isReadOnly());
    EXPECT_TRUE(control<QPushButton>(window, "cmdOk")->isVisibleTo(&window));
    name->setText(QStringLiteral("  Mis anticipos "));
    window.cmdOk_Click();
    EXPECT_EQ(window.selectedFormat(), 6);  // one past the largest format
    EXPECT_EQ(name->text(), QStringLiteral("Mis anticipos"));
    EXPECT_TRUE(name->isReadOnly());

    window.cmdEdit_Click();
    name->setText(QStringLiteral("estándar anticipos"));
    window.cmdOk_Click();
    EXPECT_EQ(ui.script.messages(),
              std::vector<std::string>{"Error: El nombre de formato especificado ya se encuentra cargado."});
    EXPECT_FALSE(name->isReadOnly());  // still giving a name
    name->setText(QStringLiteral("MIS ANTICIPOS"));
    window.cmdOk_Click();
    EXPECT_EQ(findFormat(context, 6)->name, "MIS ANTICIPOS");

    ui.script.answers = {true};
    window.cmdDelete_Click();
    EXPECT_EQ(ui.script.asked.back().text, "¿Confirma la eliminación del Formato de Importación seleccionado?");
    EXPECT_FALSE(findFormat(context, 6).has_value());
    EXPECT_EQ(window.selectedFormat(), kAdvances);
}

TEST_F(ImportWindows, AStandardFormatCanBeNeitherRenamedNorDeleted) {
    addDeclaration();
    const std::pair<const char*, const char*> refusals[] = {
        {"cmdEdit", "Información: Los Formatos Estándar no pueden ser editados!"},
        {"cmdDelete", "Información: Los Formatos Estándar no pueden ser eliminados!"},
    };
    for (const auto& [button, message] : refusals) {
        ui.script.shown.clear();
        ui::frmImportar window(context, ui);
        window.selectSection(kAdvances);
        window.selectFormat(kAdvances);
        control<QPushButton>(window, button)->click();
        EXPECT_EQ(ui.script.messages(), std::vector<std::string>{message});
        EXPECT_TRUE(control<QLineEdit>(window, "txtformato")->isReadOnly()) << button;
        EXPECT_EQ(findFormat(context, kAdvances)->name, "Estándar Anticipos");
    }
    EXPECT_TRUE(ui.script.asked.empty());
}

TEST_F(ImportWindows, TheSampleAdvancesAreImportedAndExportedBackAsTheyWere) {
    addDeclaration();
    const fs::path sample = fs::path(KAPRED_SAMPLES_DIR) / "anticipos.txt";
    auto window = importWindow(kAdvances, sample);
    window->cmdImport_Click();
    // One message, with the counts.
    EXPECT_EQ(ui.script.messages(),
              std::vector<std::string>{"Información: La Importación ha finalizado correctamente!\n"
                                       "Cantidad de Registros Procesados: 3\n"
                                       "Cantidad de Registros correctos cargados: 3\n"
                                       "Cantidad de Registros con errores: 0"});
    EXPECT_EQ(advances(),
              (std::vector<std::string>{"15/01/2005 1.500,00", "15/02/2005 1.500,00", "15/03/2005 2.250,50"}));
    EXPECT_FALSE(window->busy());
    EXPECT_EQ(control<QProgressBar>(*window, "Progreso")->value(), 0);
    EXPECT_TRUE(control<QPushButton>(*window, "cmdImport")->isEnabled());

    const fs::path exported = dir.root() / "exportado.txt";
    window->askPath = [&](ui::frmImportar::FileUse) { return QString::fromStdString(exported.string()); };
    control<QRadioButton>(*window, "optExp")->setChecked(true);
    EXPECT_EQ(control<QPushButton>(*window, "cmdImport")->text(), QStringLiteral("Exportar"));
    window->cmdImport_Click();
    EXPECT_EQ(ui.script.messages().back(), "Información: Exportación Finalizada con Exito");
    EXPECT_EQ(test::readBytes(exported), test::readBytes(sample));
}

TEST_F(ImportWindows, ARefusedLineOpensTheErrorSummaryBeforeTheEndIsTold) {
    addDeclaration();
    auto window =
        importWindow(kAdvances, write("con_error.txt", "15/01/2005000000001500,00\r\n15/01/2005000000000abc,00\r\n"));
    bool opened = false;
    whenModalOpens([&](QWidget& summary) {
        opened = true;
        EXPECT_EQ(summary.windowTitle(), QStringLiteral(" Resumen de Errores de Importación "));
        EXPECT_FALSE(control<QTableWidget>(summary, "grilla")->isVisibleTo(&summary));
        EXPECT_FALSE(control<QPushButton>(summary, "cmdOk")->isVisibleTo(&summary));
        EXPECT_EQ(control<QPushButton>(summary, "cmdExit")->toolTip(), QStringLiteral("Salir (Ctrl+S)"));
        auto* box = control<QPlainTextEdit>(summary, "RTFBox");
        EXPECT_TRUE(box->isReadOnly());
        // Every character as wide as the others, so the lines' columns align (some monospaced fonts,
        // Noto Sans Mono among them, do not call themselves fixed-pitch).
        const QFontMetrics metrics(box->font());
        EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('i')), metrics.horizontalAdvance(QLatin1Char('M')));
        EXPECT_TRUE(QFontInfo(box->font()).fixedPitch()) << QFontInfo(box->font()).family().toStdString();
        const QString text = box->toPlainText();
        EXPECT_TRUE(text.contains(QStringLiteral("Error en la línea 2 : "))) << text.toStdString();
        EXPECT_TRUE(
            text.endsWith(QStringLiteral("Cantidad de Registros Procesados: 2\n"
                                         "Cantidad de Registros correctos cargados: 1\n"
                                         "Cantidad de Registros con errores: 1\n")))
            << text.toStdString();
        EXPECT_EQ(ui.script.messages(), std::vector<std::string>{});
        control<QPushButton>(summary, "cmdExit")->click();
    });
    window->cmdImport_Click();
    EXPECT_TRUE(opened);
    EXPECT_EQ(ui.script.messages(), std::vector<std::string>{"Información: La Importación ha finalizado con errores!\n"
                                                             "Cantidad de Registros Procesados: 2\n"
                                                             "Cantidad de Registros correctos cargados: 1\n"
                                                             "Cantidad de Registros con errores: 1"});
    EXPECT_EQ(advances(), std::vector<std::string>{"15/01/2005 1.500,00"});
}

TEST_F(ImportWindows, CancelarAsksDuringTheRunTellsTheRowsStoredSoFarAndRemovesThemOnRequest) {
    addDeclaration();
    // An advance typed before the run, which no answer may take away.
    createSection(context, "Anticipos")
        ->Aceptar(EntryMode::Adding, {{"fFecha", Variant("10/01/2005")}, {"cImporte", Variant("7")}});
    std::string bytes;
    for (int i = 0; i < 30; ++i) {
        bytes += "15/01/2005000000000100,00\r\n";
    }
    const fs::path file = write("largo.txt", bytes);
    for (const bool remove : {false, true}) {
        ui.script.asked.clear();
        ui.script.shown.clear();
        const std::size_t before = advances().size();
        auto window = importWindow(kAdvances, file);
        auto* cancel = control<QPushButton>(*window, "cmdCancel");
        ui.script.answers = {false, true, remove};
        std::size_t storedAtYes = 0;
        // The run repaints at every line of this file: the first click is answered No, the second Yes.
        QTimer::singleShot(0, [&] {
            EXPECT_TRUE(window->busy());
            EXPECT_TRUE(cancel->isVisibleTo(window.get()) && cancel->isEnabled());
            EXPECT_FALSE(control<QPushButton>(*window, "cmdImport")->isEnabled());
            EXPECT_FALSE(control<QComboBox>(*window, "ComboTipo")->isEnabled());
            cancel->click();
            QTimer::singleShot(0, [&] {
                storedAtYes = advances().size() - before;
                cancel->click();
            });
        });
        window->cmdImport_Click();
        ASSERT_EQ(ui.script.asked.size(), 3u);
        EXPECT_EQ(ui.script.asked[0].title, "Confirmar!");
        EXPECT_EQ(ui.script.asked[0].text, "¿Desea Cancelar el Proceso actual?");
        EXPECT_GE(storedAtYes, 1u);
        EXPECT_LT(storedAtYes, 30u);
        const std::string rows = storedAtYes == 1 ? "1 fila" : std::to_string(storedAtYes) + " filas";
        EXPECT_EQ(ui.script.asked[2].text,
                  "La Importación ha sido cancelada por el Usuario. Quedaron guardadas en "
                  "la declaración " +
                      rows +
                      " del archivo.\n¿Desea eliminar las filas guardadas por esta "
                      "importación?");
        if (remove) {
            EXPECT_EQ(ui.script.messages(),
                      std::vector<std::string>{"Información: Se eliminaron las filas guardadas por esta "
                                               "importación: " +
                                               std::to_string(storedAtYes) + "."});
            // The advance typed before and those of the first run, which was kept.
            EXPECT_EQ(advances().size(), before);
            EXPECT_EQ(advances().front(), "10/01/2005 7,00");
        } else {
            EXPECT_EQ(ui.script.messages(), std::vector<std::string>{});
            EXPECT_EQ(advances().size(), before + storedAtYes);
        }
        EXPECT_FALSE(window->busy());
        EXPECT_FALSE(cancel->isVisibleTo(window.get()));
    }
}

TEST_F(ImportWindows, TheDeclarationsWindowOpensTheImportWindowOnADeclarationAndRefillsTheTree) {
    ui::frmDDJJ declarations(context, ui);
    declarations.InicializeObjects();
    declarations.cmdImport_Click();
    EXPECT_EQ(
        ui.script.messages(),
        std::vector<std::string>{"Información: Por favor, primero cargue una Declaración Jurada antes de proceder."});

    addDeclaration();
    declarations.InicializeObjects();
    ui.script.shown.clear();
    bool opened = false;
    whenModalOpens([&](QWidget& modal) {
        auto* window = qobject_cast<ui::frmImportar*>(&modal);
        ASSERT_NE(window, nullptr);
        opened = true;
        EXPECT_EQ(window->windowTitle(), QStringLiteral("Formatos de Importación"));
        window->selectSection(kLiabilities);
        window->selectFormat(kLiabilities);
        window->askPath = [](ui::frmImportar::FileUse) {
            return QStringLiteral(KAPRED_SAMPLES_DIR) + QStringLiteral("/pasivo.txt");
        };
        window->cmdImport_Click();
        window->reject();
    });
    declarations.cmdImport_Click();
    EXPECT_TRUE(opened);
    EXPECT_EQ(ui.script.messages().back(),
              "Información: La Importación ha finalizado correctamente!\n"
              "Cantidad de Registros Procesados: 1\n"
              "Cantidad de Registros correctos cargados: 1\n"
              "Cantidad de Registros con errores: 0");
    EXPECT_EQ(declarations.tree()->topLevelItem(0)->child(1)->data(0, ui::kNodeImageRole).toString(),
              QStringLiteral("full"));
}

}  // namespace
}  // namespace kapred
