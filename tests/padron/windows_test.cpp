// The registry's windows on the offscreen platform: what the taxpayer form saves, what it refuses
// and where it puts the focus then, the list's search and commands, and Kapred started from it.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

#include "registry/padron.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "windows/registry_window.h"
#include "windows/taxpayer_form.h"

namespace kapred::padron {
namespace {

namespace fs = std::filesystem;

template <typename Control>
Control* control(QWidget& in, const char* name) {
    auto* found = in.findChild<Control*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Types key by key; the test library has keys only for ASCII, so the rest goes in as typed text.
void typeInto(QWidget& input, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClick(&input, c.toLatin1());
        } else {
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(&input, &key);
        }
    }
}

void type(QWidget& in, const char* name, const QString& text) {
    auto* line = control<QLineEdit>(in, name);
    line->clear();
    typeInto(*line, text);
}

void choose(QWidget& in, const char* name, const QString& entry) {
    auto* combo = control<QComboBox>(in, name);
    const int index = combo->findText(entry);
    ASSERT_GE(index, 0) << entry.toStdString();
    combo->setCurrentIndex(index);
}

// Agregar on a list of the form: a new row, its first cell being edited.
void addRow(QWidget& in, const char* table) {
    QTest::mouseClick(control<QPushButton>(in, (std::string(table) + "Add").c_str()), Qt::LeftButton);
}

// Writes into a cell through the editor the list gives it, as the user does.
void editCell(QTableWidget& table, int row, int column, const std::function<void(QWidget&)>& write) {
    table.setCurrentCell(row, column);
    // Agregar leaves the new row's first cell open.
    if (table.indexWidget(table.model()->index(row, column)) == nullptr) {
        table.editItem(table.item(row, column));
    }
    QWidget* editor = table.indexWidget(table.model()->index(row, column));
    ASSERT_NE(editor, nullptr);
    write(*editor);
    emit table.itemDelegate()->commitData(editor);
    emit table.itemDelegate()->closeEditor(editor);
}

void writeCell(QTableWidget& table, int row, int column, const QString& text) {
    editCell(table, row, column, [&](QWidget& editor) { typeInto(editor, text); });
}

void chooseCell(QTableWidget& table, int row, int column, const QString& entry) {
    editCell(table, row, column, [&](QWidget& editor) {
        auto& combo = dynamic_cast<QComboBox&>(editor);
        ASSERT_GE(combo.findText(entry), 0) << entry.toStdString();
        combo.setCurrentIndex(combo.findText(entry));
    });
}

std::string readText(const fs::path& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class PadronWindows : public ::testing::Test {
protected:
    PadronWindows() : home(root.path() / "Kapred") {
        fs::create_directories(home);
        run = std::make_unique<Padron>(home, ui);
    }

    static Taxpayer taxpayer(const std::string& cuit, const std::string& name, const std::string& locality) {
        Taxpayer entry;
        entry.cuit = cuit;
        entry.descrip = name;
        entry.formaJuridica = kCooperativeLegalForm;
        entry.domicilioFiscal.localidad = locality;
        return entry;
    }

    // A program for Abrir Kapred: a shell script with that body.
    fs::path script(const std::string& body) const {
        const fs::path path = root.path() / "kapred";
        {
            std::ofstream out(path);
            out << "#!/bin/sh\n" << body << "\n";
        }
        fs::permissions(path, fs::perms::owner_all);
        return path;
    }

    // Waits for the Kapred the window started and lets the window hear how it ended.
    static void waitForKapred(RegistryWindow& window) {
        auto* process = window.findChild<QProcess*>();
        ASSERT_NE(process, nullptr);
        // A program that cannot start ends the wait at once, unfinished.
        process->waitForFinished(10000);
        ASSERT_EQ(process->state(), QProcess::NotRunning);
        QCoreApplication::processEvents();
    }

    test::TempDir root;
    fs::path home;
    test::ScriptedUi ui;
    std::unique_ptr<Padron> run;
};

TEST_F(PadronWindows, TheFormSavesWhatWasTypedOnEveryTab) {
    TaxpayerForm form(*run, std::nullopt);
    form.show();
    // Typing starts in the CUIT, not on the tabs.
    EXPECT_EQ(form.focusWidget(), control<QWidget>(form, "txtcuit"));
    EXPECT_EQ(control<QComboBox>(form, "cboformaJuridica")->currentText(), QStringLiteral("Cooperativa"));

    type(form, "txtcuit", QStringLiteral("30712345671"));
    type(form, "txtdescrip", QStringLiteral("Cooperativa de Trabajo Ñandú Ltda."));
    control<QSpinBox>(form, "txtmescierreejcom")->setValue(6);
    control<QCheckBox>(form, "chkempProm")->setChecked(true);
    type(form, "txtactividadPrincipal", QStringLiteral("12a3456"));  // the letter is not taken
    auto* activities = control<QTableWidget>(form, "grdactividadesSecundarias");
    addRow(form, "grdactividadesSecundarias");
    writeCell(*activities, 0, 0, QStringLiteral("654321"));

    type(form, "txtcalle", QStringLiteral("Av. San Martín"));
    type(form, "txtnro", QStringLiteral("1234"));
    type(form, "txtpiso", QStringLiteral("2"));
    type(form, "txtlocalidad", QStringLiteral("Paraná"));
    choose(form, "cbocodprov", QStringLiteral("Entre Ríos"));
    choose(form, "cbotipobarrio", QStringLiteral("Barrio abierto"));
    type(form, "txtcodpostal", QStringLiteral("E3100"));

    // A row left blank is not an address.
    auto* addresses = control<QTableWidget>(form, "grdotrosDomicilios");
    addRow(form, "grdotrosDomicilios");
    addRow(form, "grdotrosDomicilios");
    writeCell(*addresses, 1, 0, QStringLiteral("Ruta 12"));
    writeCell(*addresses, 1, 9, QStringLiteral("Oro Verde"));
    chooseCell(*addresses, 1, 11, QStringLiteral("Entre Ríos"));

    auto* persons = control<QTableWidget>(form, "grdresponsables");
    addRow(form, "grdresponsables");
    writeCell(*persons, 0, 0, QStringLiteral("Gómez, Ana"));
    writeCell(*persons, 0, 1, QStringLiteral("20123456"));
    chooseCell(*persons, 0, 2, QStringLiteral("Bolivia"));

    QTest::mouseClick(control<QPushButton>(form, "cmdOk"), Qt::LeftButton);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{});
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.savedCuit(), "30712345671");

    const auto saved = run->registry().find("30-71234567-1");
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->descrip, "Cooperativa de Trabajo Ñandú Ltda.");
    EXPECT_EQ(saved->mescierreejcom, 6);
    EXPECT_EQ(saved->formaJuridica, 7);
    EXPECT_TRUE(saved->empProm);
    EXPECT_EQ(saved->actividadPrincipal, "123456");
    EXPECT_EQ(saved->actividadesSecundarias, std::vector<std::string>{"654321"});
    const Address& fiscal = saved->domicilioFiscal;
    EXPECT_EQ(fiscal.calle, "Av. San Martín");
    EXPECT_EQ(fiscal.nro, "1234");
    EXPECT_EQ(fiscal.piso, "2");
    EXPECT_EQ(fiscal.localidad, "Paraná");
    EXPECT_EQ(fiscal.codprov, 30);
    EXPECT_EQ(fiscal.tipobarrio, 1);
    EXPECT_EQ(fiscal.codpostal, "E3100");
    EXPECT_EQ(fiscal.sector, "");
    ASSERT_EQ(saved->otrosDomicilios.size(), 1u);
    EXPECT_EQ(saved->otrosDomicilios[0].calle, "Ruta 12");
    EXPECT_EQ(saved->otrosDomicilios[0].localidad, "Oro Verde");
    EXPECT_EQ(saved->otrosDomicilios[0].codprov, 30);
    EXPECT_EQ(saved->otrosDomicilios[0].tipobarrio, std::nullopt);
    ASSERT_EQ(saved->responsables.size(), 1u);
    EXPECT_EQ(saved->responsables[0].apeNomTitular, "Gómez, Ana");
    EXPECT_EQ(saved->responsables[0].nroDocum, "20123456");
    EXPECT_EQ(saved->responsables[0].paisTitular, 68);
}

TEST_F(PadronWindows, ARefusedValueKeepsTheFormOpenWithTheFocusOnIt) {
    TaxpayerForm form(*run, std::nullopt);
    form.show();
    auto* ok = control<QPushButton>(form, "cmdOk");
    auto* tabs = control<QTabWidget>(form, "tabs");

    type(form, "txtcuit", QStringLiteral("30-71234567-2"));
    type(form, "txtdescrip", QStringLiteral("Cooperativa Eléctrica"));
    tabs->setCurrentIndex(1);
    QTest::mouseClick(ok, Qt::LeftButton);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].title, "Error");
    EXPECT_EQ(ui.shown[0].text, "CUIT: 30-71234567-2 no es un CUIT válido: su dígito verificador no corresponde.");
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(form.focusWidget(), control<QWidget>(form, "txtcuit"));

    type(form, "txtcuit", QStringLiteral("30-71234567-1"));
    type(form, "txtdescrip", QStringLiteral("   "));
    QTest::mouseClick(ok, Qt::LeftButton);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].text, "Razón social: falta el nombre del contribuyente.");
    EXPECT_EQ(form.focusWidget(), control<QWidget>(form, "txtdescrip"));

    // The second person's row is the first one given: the message counts persons, the focus
    // goes to the row on screen.
    type(form, "txtdescrip", QStringLiteral("Cooperativa Eléctrica"));
    auto* persons = control<QTableWidget>(form, "grdresponsables");
    addRow(form, "grdresponsables");
    addRow(form, "grdresponsables");
    writeCell(*persons, 1, 1, QStringLiteral("20123456"));
    tabs->setCurrentIndex(0);
    QTest::mouseClick(ok, Qt::LeftButton);
    ASSERT_EQ(ui.shown.size(), 3u);
    EXPECT_EQ(ui.shown[2].text, "Apellido y nombre del responsable 1: falta el apellido y nombre.");
    EXPECT_EQ(tabs->currentIndex(), 3);
    EXPECT_EQ(form.focusWidget(), persons);
    EXPECT_EQ(persons->currentRow(), 1);
    EXPECT_EQ(persons->currentColumn(), 0);

    EXPECT_TRUE(form.isVisible());
    EXPECT_NE(form.result(), QDialog::Accepted);
    EXPECT_TRUE(run->registry().list().empty());
}

TEST_F(PadronWindows, ModifyingKeepsTheCuitAndSavesTheChange) {
    Taxpayer registered = taxpayer("30712345671", "Cooperativa Agrícola", "Rafaela");
    registered.responsables.push_back({"Pérez, Juan", "20111222", 32});
    run->registry().add(registered);

    TaxpayerForm form(*run, run->registry().find("30712345671"));
    form.show();
    auto* cuit = control<QLineEdit>(form, "txtcuit");
    EXPECT_EQ(cuit->text(), QStringLiteral("30-71234567-1"));
    EXPECT_TRUE(cuit->isReadOnly());
    EXPECT_EQ(form.focusWidget(), control<QWidget>(form, "txtdescrip"));
    EXPECT_EQ(control<QTableWidget>(form, "grdresponsables")->item(0, 2)->text(), QStringLiteral("Argentina"));
    type(form, "txtdescrip", QStringLiteral("Cooperativa Agrícola Ganadera"));
    type(form, "txtlocalidad", QStringLiteral("Sunchales"));
    QTest::mouseClick(control<QPushButton>(form, "cmdOk"), Qt::LeftButton);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{});
    EXPECT_EQ(form.result(), QDialog::Accepted);

    const auto saved = run->registry().find("30712345671");
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->descrip, "Cooperativa Agrícola Ganadera");
    EXPECT_EQ(saved->domicilioFiscal.localidad, "Sunchales");
    ASSERT_EQ(saved->responsables.size(), 1u);
    EXPECT_EQ(saved->responsables[0].paisTitular, 32);
}

TEST_F(PadronWindows, TheListSearchesAndOffersItsCommandsForAChosenRow) {
    {
        RegistryWindow empty(*run, root.path() / "kapred");
        empty.show();
        EXPECT_EQ(control<QLabel>(empty, "lblAviso")->text(),
                  QStringLiteral("El padrón está vacío. Registre su cooperativa con Nuevo."));
        EXPECT_FALSE(control<QPushButton>(empty, "cmdOpen")->isEnabled());
    }
    run->registry().add(taxpayer("30712345671", "Cooperativa Ñandú", "Paraná"));
    run->registry().add(taxpayer("30501234563", "Mutual Obrera", "Rosario"));
    RegistryWindow window(*run, root.path() / "kapred");
    window.show();
    auto* list = control<QTableView>(window, "grdContribuyentes");
    auto* search = control<QLineEdit>(window, "txtBuscar");
    const auto shown = [&] {
        std::vector<std::string> rows;
        for (int row = 0; row < list->model()->rowCount(); ++row) {
            rows.push_back(list->model()->index(row, 0).data().toString().toStdString() + " " +
                           list->model()->index(row, 3).data().toString().toStdString());
        }
        return rows;
    };
    EXPECT_EQ(shown(), (std::vector<std::string>{"30-50123456-3 Rosario", "30-71234567-1 Paraná"}));
    EXPECT_EQ(window.selectedCuit(), "30501234563");

    search->setText(QStringLiteral("ÑANDU"));
    EXPECT_EQ(shown(), std::vector<std::string>{"30-71234567-1 Paraná"});
    search->setText(QStringLiteral("3050123"));
    EXPECT_EQ(shown(), std::vector<std::string>{"30-50123456-3 Rosario"});
    search->setText(QStringLiteral("30-5012"));
    EXPECT_EQ(shown(), std::vector<std::string>{"30-50123456-3 Rosario"});
    search->setText(QStringLiteral("cooperativa del sur"));
    EXPECT_EQ(shown(), std::vector<std::string>{});
    EXPECT_EQ(control<QLabel>(window, "lblAviso")->text(),
              QStringLiteral("Ningún contribuyente coincide con «cooperativa del sur»."));
    for (const char* name : {"cmdEdit", "cmdDelete", "cmdOpen"}) {
        EXPECT_FALSE(control<QPushButton>(window, name)->isEnabled()) << name;
    }

    search->clear();
    list->selectRow(1);
    EXPECT_TRUE(control<QPushButton>(window, "cmdOpen")->isEnabled());
    ui.answers = {true};
    QTest::mouseClick(control<QPushButton>(window, "cmdDelete"), Qt::LeftButton);
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].text, "¿Desea eliminar del padrón el contribuyente 30-71234567-1 Cooperativa Ñandú?");
    EXPECT_EQ(shown(), std::vector<std::string>{"30-50123456-3 Rosario"});
    EXPECT_FALSE(run->registry().find("30712345671"));
}

TEST_F(PadronWindows, AbrirStartsKapredWithTheCuitAndTellsHowItEnded) {
    run->registry().add(taxpayer("30712345671", "Cooperativa Ñandú", "Paraná"));
    run->registry().add(taxpayer("30501234563", "Mutual Obrera", "Rosario"));
    const fs::path said = root.path() / "said.txt";
    {
        RegistryWindow window(*run, script("printf '%s\\n' \"$#\" \"$@\" \"$KAPRED_HOME\" > '" + said.string() + "'"));
        window.show();
        auto* list = control<QTableView>(window, "grdContribuyentes");
        list->selectRow(1);
        QTest::keyClick(list, Qt::Key_Return);
        waitForKapred(window);
        EXPECT_EQ(readText(said), "1\n30-71234567-1\n" + home.string() + "\n");
        EXPECT_EQ(ui.messages(), std::vector<std::string>{});
    }
    {
        RegistryWindow window(*run, script("exit 4"));
        window.show();
        QTest::mouseClick(control<QPushButton>(window, "cmdOpen"), Qt::LeftButton);
        waitForKapred(window);
        EXPECT_EQ(ui.messages(), std::vector<std::string>{"Error: Kapred terminó con un error (código 4)."});
    }
    ui.shown.clear();
    {
        RegistryWindow window(*run, root.path() / "missing" / "kapred");
        window.show();
        QTest::mouseClick(control<QPushButton>(window, "cmdOpen"), Qt::LeftButton);
        waitForKapred(window);
        EXPECT_EQ(ui.messages(), std::vector<std::string>{"Error: No se pudo iniciar Kapred: no se encuentra " +
                                                          (root.path() / "missing" / "kapred").string() + "."});
    }
}

}  // namespace
}  // namespace kapred::padron
