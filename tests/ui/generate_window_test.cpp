// The generate dialog on a started program: the progress it shows, the file it delivers, its
// refusals, the folder it creates, what Cancelar removes, and the road from the declarations
// window through the wait window.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QInputDialog>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <functional>
#include <optional>

#include "generation/agency_interface.h"
#include "generation/directories.h"
#include "started_program.h"
#include "support/scoped_env.h"
#include "ui/declarations_window.h"
#include "ui/generate_window.h"

namespace kapred {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

using test::control;
using test::namesIn;

class GenerateWindow : public test::StartedProgram {
protected:
    static QString text(QWidget& in, const char* name) { return control<QLabel>(in, name)->text(); }

    // Every value a progress bar takes.
    static std::shared_ptr<std::vector<int>> valuesOf(QProgressBar* bar) {
        auto values = std::make_shared<std::vector<int>>();
        QObject::connect(bar, &QProgressBar::valueChanged, [values](int value) { values->push_back(value); });
        return values;
    }

    static QString native(const fs::path& path) { return QString::fromStdString(path.string()); }

    fs::path windowsDir() const { return DirWindows(context); }

    // A declaration to generate and an empty folder to deliver it to.
    fs::path declarationAndFolder() {
        addDeclaration();
        const fs::path folder = dir.root() / "Presentaciones";
        fs::create_directory(folder);
        return folder;
    }

    // The user's home folder holds the installation, so the dialog can show the program's folder.
    test::ScopedEnv home{"HOME", dir.root().string()};
    test::ScopedEnv noWindowsOverride{agency::kWindowsDirectoryVariable, std::nullopt};
    test::ScopedEnv noSystemOverride{agency::kSystemDirectoryVariable, std::nullopt};
};

TEST_F(GenerateWindow, AGenerationShowsItsStepsAndDeliversTheEncryptedFile) {
    const fs::path folder = declarationAndFolder();
    ui::frmGenerar dialog(context);
    dialog.generator().openingPause = 0ms;
    EXPECT_EQ(dialog.folderPath(), native(dir.home()));
    ASSERT_TRUE(dialog.selectFolder(native(folder)));
    EXPECT_EQ(control<QLineEdit>(dialog, "txtDir")->text(), native(folder));

    const auto records = valuesOf(control<QProgressBar>(dialog, "proBar"));
    struct Seen {
        QString records, copy, state;
        QColor colour;
        bool okEnabled, folderEnabled;
    };
    std::optional<Seen> atSuccess;
    ui.onMessage = [&] {
        atSuccess = Seen{text(dialog, "lblPorciento"),
                         text(dialog, "lblPorcientoCopia"),
                         text(dialog, "lblGenFile"),
                         control<QLabel>(dialog, "lblGenFile")->palette().color(QPalette::WindowText),
                         control<QPushButton>(dialog, "cmdOk")->isEnabled(),
                         control<QGroupBox>(dialog, "FraFolder")->isEnabled()};
    };
    dialog.cmdOk_Click();

    // Steps 1 to 8 of twelve, then the twelfth; the display is reset once the generation ends.
    EXPECT_EQ(*records, (std::vector<int>{8, 17, 25, 33, 42, 50, 58, 67, 100, 0}));
    ASSERT_EQ(ui.script.shown.size(), 1u);
    EXPECT_EQ(ui.script.shown[0].title, "Información!");
    ASSERT_TRUE(atSuccess.has_value());
    EXPECT_EQ(atSuccess->records, QStringLiteral("100 %"));
    EXPECT_EQ(atSuccess->copy, QStringLiteral("100 %"));
    EXPECT_EQ(atSuccess->state, QStringLiteral("Generación de Archivo: Terminado..."));
    EXPECT_EQ(atSuccess->colour, QColor(Qt::red));
    EXPECT_FALSE(atSuccess->okEnabled);
    EXPECT_FALSE(atSuccess->folderEnabled);

    EXPECT_EQ(text(dialog, "lblPorciento"), QStringLiteral("0,00 %"));
    EXPECT_EQ(text(dialog, "lblPorcientoCopia"), QStringLiteral("0,00 %"));
    EXPECT_EQ(text(dialog, "lblGenFile"), QStringLiteral("Generación de Archivo: Inactiva.    "));
    EXPECT_NE(control<QLabel>(dialog, "lblGenFile")->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_TRUE(control<QPushButton>(dialog, "cmdOk")->isEnabled());
    EXPECT_TRUE(control<QGroupBox>(dialog, "FraFolder")->isEnabled());
    EXPECT_TRUE(ui.script.inconsistencies.empty());

    const auto delivered = namesIn(folder);
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_TRUE(delivered[0].ends_with(".B64")) << delivered[0];
    // The message says where the file is.
    EXPECT_EQ(ui.script.shown[0].text,
              "El Archivo correspondiente al F.369 ha sido generado correctamente!\n"
              "Archivo: " +
                  (folder / delivered[0]).string());

    // Cancelar removes the intermediate files of the work folder, not the delivered file.
    bool intermediate = false;
    for (const auto& name : namesIn(windowsDir())) {
        intermediate = intermediate || name.ends_with(".CIG") || name.ends_with(".B64");
    }
    EXPECT_TRUE(intermediate);
    dialog.cmdCancel_Click();
    for (const auto& name : namesIn(windowsDir())) {
        EXPECT_FALSE(name.ends_with(".CIG") || name.ends_with(".B64")) << name;
    }
    EXPECT_EQ(namesIn(folder), delivered);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(GenerateWindow, TheBarsShowWholePercentagesAndNeverPass100) {
    ui::frmGenerar dialog(context);
    struct Case {
        double percent;
        long step;
        int bar;
        const char* label;
    };
    // In this order: a step of 0 leaves the text of the step before.
    const Case records[] = {
        {100.0 / 12, 1, 8, "8 %"}, {500.0 / 12, 5, 42, "42 %"}, {800.0 / 12, 8, 67, "67 %"},
        {112.5, 12, 100, "100 %"}, {50, 0, 50, "100 %"},
    };
    for (const auto& step : records) {
        dialog.Progreso(step.percent, step.step, 12);
        EXPECT_EQ(control<QProgressBar>(dialog, "proBar")->value(), step.bar) << step.percent;
        EXPECT_EQ(text(dialog, "lblPorciento"), QString::fromUtf8(step.label)) << step.percent;
    }

    // A copy of 2,500 bytes goes in blocks of 1,024: 41, 82 and 100 per cent.
    const fs::path source = dir.root() / "origen.B64";
    const fs::path copy = dir.root() / "copia.B64";
    test::writeBytes(source, std::string(2500, 'x'));
    const auto copies = valuesOf(control<QProgressBar>(dialog, "proBarCopia"));
    EXPECT_EQ(dialog.generator().CopyFile(source.string(), copy.string()), 2500u);
    EXPECT_EQ(*copies, (std::vector<int>{41, 82, 100}));
    EXPECT_EQ(text(dialog, "lblPorcientoCopia"), QStringLiteral("100 %"));
    // After the success message the copy shows 0, which the mask writes as nothing.
    dialog.ProgresoCopia(0);
    EXPECT_EQ(text(dialog, "lblPorcientoCopia"), QStringLiteral(" %"));
    EXPECT_EQ(control<QProgressBar>(dialog, "proBarCopia")->value(), 0);
}

TEST_F(GenerateWindow, AcceptIsRefusedWithoutADestinationOrWithoutTheEncryptionComponent) {
    addDeclaration();
    struct Case {
        const char* what;
        std::function<void(ui::frmGenerar&)> prepare;
        const char* title;
        const char* line;
        bool usableAfter;
    };
    const Case refusals[] = {
        {"no folder chosen",
         [](ui::frmGenerar& dialog) {
             control<QTreeView>(dialog, "Folder")->selectionModel()->clearSelection();
             EXPECT_EQ(control<QLineEdit>(dialog, "txtDir")->text(), QString());
         },
         " Inconsistencias al Generar la Declaración Jurada", "Debe seleccionar el Destino de la Presentación", true},
        {"encryption library missing",
         [this](ui::frmGenerar&) { fs::remove(dir.systemDir() / agency::kEncryptionLibrary); },
         "Inconsistencia en la Generación de la DJ",
         "Uno de los componentes requeridos para este proceso no se encuentra instalado en su Sistema. Por favor, "
         "reinstale el Aplicativo.",
         false},
    };
    for (const auto& refusal : refusals) {
        ui.script.inconsistencies.clear();
        ui::frmGenerar dialog(context);
        dialog.generator().openingPause = 0ms;
        refusal.prepare(dialog);
        dialog.cmdOk_Click();
        ASSERT_EQ(ui.script.inconsistencies.size(), 1u) << refusal.what;
        EXPECT_EQ(ui.script.inconsistencies[0].title, refusal.title);
        EXPECT_EQ(ui.script.inconsistencies[0].lines, std::vector<std::string>{refusal.line});
        // Without the component only Cancelar is left.
        EXPECT_EQ(control<QPushButton>(dialog, "cmdOk")->isEnabled(), refusal.usableAfter) << refusal.what;
        EXPECT_EQ(control<QGroupBox>(dialog, "FraFolder")->isEnabled(), refusal.usableAfter) << refusal.what;
        EXPECT_TRUE(control<QPushButton>(dialog, "cmdCancel")->isEnabled());
        EXPECT_TRUE(namesIn(windowsDir()).empty()) << refusal.what;
        EXPECT_TRUE(ui.script.shown.empty());
    }
}

TEST_F(GenerateWindow, CancelAndEscapeRemoveTheIntermediateFilesTheCloseBoxDoesNot) {
    struct Case {
        const char* how;
        std::function<void(ui::frmGenerar&)> close;
        std::vector<std::string> left;
    };
    const Case closings[] = {
        {"close box", [](ui::frmGenerar& dialog) { dialog.close(); }, {"035132F0369.B64", "TP035132.CIG", "nota.txt"}},
        {"Escape", [](ui::frmGenerar& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); }, {"nota.txt"}},
        {"Cancelar", [](ui::frmGenerar& dialog) { control<QPushButton>(dialog, "cmdCancel")->click(); }, {"nota.txt"}},
    };
    for (const auto& closing : closings) {
        for (const char* name : {"TP035132.CIG", "035132F0369.B64", "nota.txt"}) {
            test::writeBytes(windowsDir() / name, "x");
        }
        ui::frmGenerar dialog(context);
        dialog.show();
        closing.close(dialog);
        EXPECT_FALSE(dialog.isVisible()) << closing.how;
        EXPECT_EQ(namesIn(windowsDir()), closing.left) << closing.how;
    }
}

TEST_F(GenerateWindow, OnlyAceptarOrItsAccessKeyDelivers) {
    const fs::path folder = declarationAndFolder();
    ui::frmGenerar dialog(context);
    dialog.generator().openingPause = 0ms;
    ASSERT_TRUE(dialog.selectFolder(native(folder)));
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    struct Case {
        const char* control;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    // Keys of the folder boxes: selecting their text, Enter on a folder.
    const Case keys[] = {
        {"txtDir", Qt::Key_A, Qt::ControlModifier},    {"txtDir", Qt::Key_Return, Qt::NoModifier},
        {"Folder", Qt::Key_A, Qt::ControlModifier},    {"Folder", Qt::Key_Return, Qt::NoModifier},
        {"Folder", Qt::Key_Enter, Qt::KeypadModifier},
    };
    for (const auto& key : keys) {
        auto* box = control<QWidget>(dialog, key.control);
        box->setFocus();
        QTest::keyClick(box, key.key, key.modifiers);
        EXPECT_TRUE(namesIn(folder).empty()) << key.control << " " << key.key;
        EXPECT_TRUE(ui.script.shown.empty()) << key.control << " " << key.key;
        // Nor does any of them close the dialog.
        EXPECT_TRUE(dialog.isVisible()) << key.control << " " << key.key;
    }
    auto* ok = control<QPushButton>(dialog, "cmdOk");
    EXPECT_EQ(ok->shortcut(), QKeySequence(Qt::ALT | Qt::Key_A));
    ok->click();
    EXPECT_EQ(namesIn(folder).size(), 1u);
    EXPECT_EQ(ui.script.shown.size(), 1u);
}

TEST_F(GenerateWindow, TheDriveListOffersTheMountedMediaByTheirLabelsInFull) {
    const fs::path media = dir.root() / "media" / "ana";
    const fs::path runMedia = dir.root() / "run" / "media" / "ana";
    for (const fs::path& medium : {media / "PENDRIVE DE ANA CON NOMBRE LARGO", media / "KINGSTON",
                                   runMedia / "Disco externo" / "Presentaciones"}) {
        fs::create_directories(medium);
    }
    ui::frmGenerar dialog(context, nullptr, {native(media), native(runMedia), native(dir.root() / "falta")});
    dialog.show();
    QApplication::processEvents();
    auto* drives = control<QComboBox>(dialog, "Drive");
    const auto entry = [](const fs::path& root, const char* name) {
        return QString::fromUtf8(name) + QStringLiteral(" (") + native(root) + QLatin1Char(')');
    };
    QStringList shown;
    for (int index = 0; index < drives->count(); ++index) {
        shown << drives->itemText(index);
        // Every name whole, in the box and in its list.
        const int wanted =
            drives->fontMetrics().horizontalAdvance(drives->itemText(index)) + drives->iconSize().width();
        EXPECT_GE(drives->width(), wanted) << drives->itemText(index).toStdString();
        EXPECT_GE(drives->view()->minimumWidth(), wanted) << drives->itemText(index).toStdString();
    }
    EXPECT_EQ(shown, (QStringList{entry(dir.root(), "Carpeta personal"), entry(media / "KINGSTON", "KINGSTON"),
                                  entry(media / "PENDRIVE DE ANA CON NOMBRE LARGO", "PENDRIVE DE ANA CON NOMBRE LARGO"),
                                  entry(runMedia / "Disco externo", "Disco externo")}));
    drives->setCurrentIndex(3);
    EXPECT_EQ(dialog.folderPath(), native(runMedia / "Disco externo"));
    EXPECT_TRUE(dialog.selectFolder(native(runMedia / "Disco externo" / "Presentaciones")));
}

TEST_F(GenerateWindow, CrearCarpetaCreatesTheFolderInsideTheChosenOneAndChoosesIt) {
    const fs::path parent = dir.root() / "Presentaciones";
    fs::create_directory(parent);
    ui::frmGenerar dialog(context);
    ASSERT_TRUE(dialog.selectFolder(native(parent)));

    struct Case {
        std::optional<QString> answer;  // nothing: the prompt is cancelled
        fs::path chosenAfter;
    };
    const Case answers[] = {
        {QStringLiteral("2004 Original"), parent / "2004 Original"},
        {std::nullopt, parent / "2004 Original"},
        {QString(), parent / "2004 Original"},
        {QStringLiteral("Rectificativa"), parent / "2004 Original" / "Rectificativa"},
    };
    for (const auto& answer : answers) {
        QString title, prompt;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            prompt = box->labelText();
            if (answer.answer) {
                box->setTextValue(*answer.answer);
                box->accept();
            } else {
                box->reject();
            }
        });
        dialog.cmdCarpeta_Click();
        EXPECT_EQ(title, QStringLiteral("Nueva Carpeta"));
        EXPECT_EQ(prompt, QStringLiteral("Ingrese el nombre para la Carpeta Nueva"));
        EXPECT_EQ(dialog.folderPath(), native(answer.chosenAfter));
        EXPECT_EQ(control<QLineEdit>(dialog, "txtDir")->text(), native(answer.chosenAfter));
        EXPECT_TRUE(fs::is_directory(answer.chosenAfter));
    }
    EXPECT_TRUE(ui.script.inconsistencies.empty());

    // A name that is there already is refused and the chosen folder stays.
    ASSERT_TRUE(dialog.selectFolder(native(parent)));
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->setTextValue(QStringLiteral("2004 Original"));
        box->accept();
    });
    dialog.cmdCarpeta_Click();
    ASSERT_EQ(ui.script.inconsistencies.size(), 1u);
    EXPECT_EQ(ui.script.inconsistencies[0].title, "Inconsistencia - Pantalla  Generar Archivo ");
    EXPECT_EQ(ui.script.inconsistencies[0].lines,
              std::vector<std::string>{"El Sistema no ha podido crear la carpeta, ingrese otro nombre de carpeta"});
    EXPECT_EQ(dialog.folderPath(), native(parent));
    EXPECT_EQ(namesIn(parent), std::vector<std::string>{"2004 Original"});
}

TEST_F(GenerateWindow, GenerarOfTheDeclarationsWindowOpensTheDialogFromTheWaitWindow) {
    ui::frmDDJJ window(context, ui);
    window.InicializeObjects();
    // The menu reaches Generar with no declaration listed.
    window.cmdGenerate_Click();
    ASSERT_EQ(ui.script.shown.size(), 1u);
    EXPECT_EQ(ui.script.shown[0].text, "Por favor, primero cargue una Declaración Jurada antes de proceder.");

    addDeclaration();
    window.InicializeObjects();
    QStringList modals;
    QString message, caption;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || (!modals.isEmpty() && modals.back() == modal->objectName())) {
            return;
        }
        modals << modal->objectName();
        if (modal->objectName() == QLatin1String("frmPrintCrystal")) {
            message = control<QLabel>(*modal, "lblMensaje")->text();
        } else {
            caption = modal->windowTitle();
            control<QPushButton>(*modal, "cmdCancel")->click();
        }
    });
    watch.start();
    window.cmdGenerate_Click();
    watch.stop();
    EXPECT_EQ(modals, (QStringList{QStringLiteral("frmPrintCrystal"), QStringLiteral("frmGenerar")}));
    EXPECT_EQ(message, QStringLiteral("Consistiendo Declaración Jurada"));
    EXPECT_EQ(caption, QStringLiteral(" Generar Archivo "));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace kapred
