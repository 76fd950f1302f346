// kapred-tour: opens every window of the desktop program on demo data in a fresh installation and
// saves a picture of each, for people to look at (scripts/screenshots.sh runs it).
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMdiArea>
#include <QPainter>
#include <QPdfWriter>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>

#include "app/startup.h"
#include "calc/registry.h"
#include "data/validation.h"
#include "generation/declaration_check.h"
#include "generation/work_papers.h"
#include "import/import_engine.h"
#include "import/import_formats.h"
#include "model/declaration.h"
#include "model/declaration_ops.h"
#include "model/sections.h"
#include "scripted_qt_ui.h"
#include "support/header_input.h"
#include "support/program_dir.h"
#include "support/temp_dir.h"
#include "ui/application.h"
#include "ui/copy_window.h"
#include "ui/declarations_window.h"
#include "ui/error_message.h"
#include "ui/generate_window.h"
#include "ui/help.h"
#include "ui/import_fields_window.h"
#include "ui/import_window.h"
#include "ui/main_window.h"
#include "ui/print_window.h"
#include "ui/qt_interface.h"
#include "ui/review_windows.h"
#include "ui/screen_print.h"
#include "ui/section_windows.h"
#include "ui/startup_windows.h"
#include "ui/system_tables_window.h"
#include "ui/wait_window.h"
#include "ui/work_papers_window.h"
#include "windows/registry_window.h"
#include "windows/taxpayer_form.h"

namespace {

using namespace kapred;

QString g_folder;

void shoot(QWidget& window, const char* name) {
    window.show();
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
    }
    // A window larger than the screen's free area hides its buttons off the screen.
    if (const QScreen* screen = window.screen();
        screen != nullptr && (window.frameGeometry().width() > screen->availableGeometry().width() ||
                              window.frameGeometry().height() > screen->availableGeometry().height())) {
        std::cerr << name << ": " << window.frameGeometry().width() << "x" << window.frameGeometry().height()
                  << " no cabe en la pantalla de " << screen->availableGeometry().width() << "x"
                  << screen->availableGeometry().height() << "\n";
    }
    const QString path = g_folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png");
    if (!window.grab().save(path)) {
        std::cerr << "No se pudo guardar " << path.toStdString() << "\n";
    }
    std::cout << path.toStdString() << "\n";
}

// The program's message box for what the core last told the scripted interface, as the user
// sees it.
void shootLastMessage(const test::WatchedUi& told, const char* name) {
    QTimer::singleShot(0, [name] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            shoot(*box, name);
            box->close();
        }
    });
    ui::QtUserInterface shown;
    const auto& last = told.script.shown.back();
    shown.showMessage(last.icon, last.title, last.text);
}

// The demo declaration: the worked example of the liquidation, with an advance and a payment.
void fillDemoDeclaration(Context& context) {
    auto header = std::make_shared<BDDJJ>(context);
    header->Aceptar(EntryMode::Adding, test::typedHeader());
    context.currentDeclaration = header;
    const std::pair<const char*, EntryValues> sections[] = {
        {"ActivoComputable", {{"cDineroEfectivoNac", Variant("600.000")}}},
        {"ActivoExento", {{"cCuotasSociales", Variant("200.000")}}},
        {"ActivoNoComputable", {{"cBienesExterior", Variant("200.000")}}},
        {"Pasivo", {{"cDeudas", Variant("100.000")}}},
    };
    for (const auto& [name, values] : sections) {
        acceptSingleRow(*createSection(context, name), values);
    }
    createSection(context, "Anticipos")
        ->Aceptar(EntryMode::Adding, {{"fFecha", Variant("15/01/2005")}, {"cImporte", Variant("3.000")}});
}

}  // namespace

int main(int argc, char** argv) {
    // Offscreen, the windows take their sizes on the smallest screen they are made for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" KAPRED_SMALL_SCREEN);
    }
    QApplication application(argc, argv);
    ui::prepareApplication(application);
    g_folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("capturas");
    QDir().mkpath(g_folder);
    if (qEnvironmentVariableIsEmpty("KAPRED_HELPDIR")) {
        qputenv("KAPRED_HELPDIR", KAPRED_HELP_SOURCE);
    }
    if (qEnvironmentVariableIsEmpty("KAPRED_REPORTSDIR")) {
        qputenv("KAPRED_REPORTSDIR", KAPRED_REPORTS_SOURCE);
    }

    test::ProgramDir dir;
    // A home folder of the user with a few folders of their own, for the destination of the file.
    const std::filesystem::path home = dir.root() / "usuario";
    for (const char* folder : {"Descargas", "Documentos", "Escritorio", "Presentaciones/2004"}) {
        std::filesystem::create_directories(home / folder);
    }
    qputenv("HOME", home.string().c_str());
    test::WatchedUi ui;
    Context context(dir.home(), "20-12345678-9", ui);
    StartupObserver quiet;
    Main(context, quiet);
    registerBusinessObjects(context);
    fillDemoDeclaration(context);

    {
        ui::frmSplash splash(true, nullptr, std::chrono::hours(1), std::chrono::hours(1));
        shoot(splash, "01_presentacion");
        ui::frmSplash about(false);
        shoot(about, "02_acerca_de");
        BCMsgIni message(*context.g_dbTablas);
        ui::frmInicioMensaje startupMessage(message);
        shoot(startupMessage, "03_mensaje_de_inicio");
    }

    ui::frmPrincipal main(context, ui, quiet);
    main.Inicializar();
    shoot(main, "04_principal");
    main.declarations()->cmdNew_Click();
    shoot(main, "05_principal_nueva_declaracion");
    main.declarations()->cmdCancel_Click();
    main.declarations()->cmdEdit_Click();
    shoot(main, "06_principal_modificar");
    main.declarations()->cmdCancel_Click();

    {
        BDDJJ wrong(context);
        const int code = wrong.Aceptar(EntryMode::Adding, {{"lPeriodo", Variant("2004")},
                                                           {"CODIGO_T_SECUENCIAS", Variant("1")},
                                                           {"iTipoEjercicioFiscal", Variant("1")},
                                                           {"fPeriodoFiscalDesde", Variant("01/02/2004")},
                                                           {"fPeriodoFiscalHasta", Variant("31/12/2005")},
                                                           {"iEjercicioEconomico", Variant("1")}});
        ui::frmErrorMessage viewer(QStringLiteral(" Pantalla Declaración Jurada"),
                                   BuildInconsistencyLines(wrong, code, context.numberFormat()), &main);
        viewer.tree()->setCurrentItem(viewer.tree()->topLevelItem(0)->child(0));
        shoot(viewer, "07_inconsistencias");
    }
    {
        ui::frmCopiaDJ copy(context, ui, &main);
        shoot(copy, "08_copia");
    }
    {
        ui::frmTablasSistema tables(context, &main);
        shoot(tables, "09_tablas_del_sistema");
    }
    {
        ui::HelpWindow help(ui::kHelpDeclarations, &main);
        shoot(help, "10_ayuda");
    }
    {
        ui::frmCerrar closing([] {}, &main, std::chrono::hours(1));
        shoot(closing, "11_cierre");
    }
    {
        // A user format beside the standard one of the advances, with the point as decimal sign.
        FieldGrid own =
            fieldGrid(context, *findFormat(context, *createFormat(context, 3, "Anticipos del sistema contable")));
        own.rows[0].from = "1";
        own.rows[0].to = "10";
        own.rows[1].from = "11";
        own.rows[1].to = "24";
        own.point = true;
        savePositions(context, own);
        ui::frmImportar formats(context, ui, &main);
        formats.selectSection(3);
        formats.selectFormat(3);
        shoot(formats, "20_formatos_de_importacion");
    }
    {
        // The longest section, every amount placed one after the other.
        const ImportFormat assets = *findFormat(context, *createFormat(context, 1, "Activo del sistema contable"));
        FieldGrid grid = fieldGrid(context, assets);
        for (std::size_t i = 0; i < grid.rows.size(); ++i) {
            grid.rows[i].from = std::to_string(i * 15 + 1);
            grid.rows[i].to = std::to_string(i * 15 + 15);
            grid.rows[i].imported = i % 4 != 3;
        }
        savePositions(context, grid);
        ui::frmImportar_ConfigurarCampos fields(context, &main);
        fields.Refrescar_Tabla(assets);
        fields.HabilitarVentana(false);
        shoot(fields, "21_configuracion_de_campos");
    }
    {
        // A file with a refused amount, a blank line and an advance past its limit.
        const std::filesystem::path file = dir.root() / "anticipos_con_errores.txt";
        test::writeBytes(file, "15/01/2005000000001500,00\r\n15/02/2005000000000abc,00\r\n" + std::string(25, ' ') +
                                   "\r\n15/03/2005000000000250,00\r\n15/07/2005000000000100,00\r\n");
        const ImportResult result = importFile(context, 3, file);
        tell(ui, result);
        ui::frmImportar_ConfigurarCampos summary(context, &main);
        summary.loadErrorFile(result.errorFile);
        summary.HabilitarVentana(true);
        shoot(summary, "22_resumen_de_errores");
        shootLastMessage(ui, "22_importacion_terminada");
    }

    // The section windows, in the order of the declaration, then the computed ones.
    int number = 40;
    for (const auto& section : declarationSections()) {
        ui::frmSeccion window(context, ui, section, &main);
        window.InicializeObjects();
        shoot(window, (std::to_string(number++) + "_" + section.name).c_str());
        if (section.name == "ActivoComputable" || section.name == "Pasivo" || section.name == "Anticipos") {
            window.cmdNew_Click();
            shoot(window, (std::to_string(number++) + "_" + section.name + "_nuevo").c_str());
        }
        if (auto* pages = window.findChild<QTabWidget*>()) {
            pages->setCurrentIndex(1);
            shoot(window, (std::to_string(number++) + "_" + section.name + "_segunda_pagina").c_str());
        }
    }
    for (const char* name : {"Activo", "Liquidacion", "Determinacion"}) {
        ui::frmCalculo window(context, ui, name, &main);
        shoot(window, (std::to_string(number++) + "_" + name).c_str());
    }
    {
        // The screen print of the liabilities window, written to a PDF instead of the printer.
        ui::frmSeccion window(context, ui, *findSection("Pasivo"), &main);
        window.InicializeObjects();
        window.show();
        QPdfWriter writer(g_folder + QStringLiteral("/27_impresion_de_pantalla.pdf"));
        QPainter painter(&writer);
        ui::drawScreenPrint(painter, writer, screenPrintHeader(context), ui::windowPicture(window));
    }
    {
        ui::frmPapelesdeTrabajo papers(context, &main);
        shoot(papers, "28_papeles_de_trabajo");
    }
    {
        ui::frmPrintCrystal wait(
            QStringLiteral("Confeccionando impresión de Declaración Jurada"), [](QWidget&) {}, &main,
            std::chrono::hours(1));
        shoot(wait, "29_espera_impresion");
        ui::frmImpresion preview(context, print::formJob(context), &main);
        shoot(preview, "29_impresion_formulario");
    }
    {
        ui::frmPrintCrystal wait(
            QString::fromUtf8(ui::kGenerationWait), [](QWidget&) {}, &main, std::chrono::hours(1));
        shoot(wait, "30_espera_generacion");
    }
    {
        ui::frmGenerar generate(context, &main);
        shoot(generate, "31_generar");
        generate.selectFolder(QString::fromStdString((home / "Presentaciones" / "2004").string()));
        ui.onMessage = [&generate] { shoot(generate, "32_generar_terminado"); };
        generate.cmdOk_Click();
        ui.onMessage = {};
        shootLastMessage(ui, "32_generar_mensaje");
        generate.cmdCancel_Click();
    }
    {
        // Two media mounted by the desktop, their folders named after their labels.
        const std::filesystem::path media = dir.root() / "media" / "usuario";
        for (const char* medium : {"KAPRED 2004", "PENDRIVE DE LA COOPERATIVA"}) {
            std::filesystem::create_directories(media / medium);
        }
        ui::frmGenerar generate(context, &main, {QString::fromStdString(media.string())});
        generate.show();
        generate.findChild<QComboBox*>(QStringLiteral("Drive"))->showPopup();
        shoot(generate, "31_generar_unidades");
    }
    {
        ui::frmErrorMessage check(QString::fromUtf8(kCheckTitle), VerificarDJ(context).lines(), &main);
        shoot(check, "33_verificar");
        ui::frmEntregas receipts(context, &main);
        shoot(receipts, "34_entregas");
        ui::frmInspector inspector(context, &main);
        for (const auto& entry : std::filesystem::directory_iterator(dir.home() / "windows")) {
            if (entry.path().filename().string().ends_with("F0369.txt")) {
                inspector.open(QString::fromStdString(entry.path().string()));
            }
        }
        shoot(inspector, "35_inspector");
        // The rectification, with one amount changed, against its original.
        copyDeclaration(context, "2004", "1");
        loadDeclaration(context, Variant("20041"));
        acceptSingleRow(*createSection(context, "Pasivo"), {{"cDeudas", Variant("120.000")}});
        ui::frmDiferencias diff(context, &main);
        diff.compare();
        shoot(diff, "36_comparar");
    }
    main.hide();
    {
        // The taxpayer registry, in a folder of its own, with two taxpayers.
        test::TempDir registryRoot;
        padron::Padron registry(registryRoot.path() / "Kapred", ui);
        padron::Taxpayer cooperative;
        cooperative.cuit = "30712345671";
        cooperative.descrip = "Cooperativa de Trabajo Ñandú Ltda.";
        cooperative.formaJuridica = padron::kCooperativeLegalForm;
        cooperative.actividadPrincipal = "123456";
        cooperative.actividadesSecundarias = {"654321"};
        cooperative.domicilioFiscal.calle = "Av. San Martín";
        cooperative.domicilioFiscal.nro = "1234";
        cooperative.domicilioFiscal.localidad = "Paraná";
        cooperative.domicilioFiscal.codprov = 30;
        cooperative.domicilioFiscal.codpostal = "E3100";
        padron::Address branch;
        branch.calle = "Ruta 12";
        branch.localidad = "Oro Verde";
        branch.codprov = 30;
        cooperative.otrosDomicilios = {branch};
        cooperative.responsables = {{"Gómez, Ana", "20123456", 32}};
        registry.registry().add(cooperative);
        padron::Taxpayer mutual;
        mutual.cuit = "30501234563";
        mutual.descrip = "Mutual Obrera de Rosario";
        mutual.formaJuridica = 8;
        mutual.domicilioFiscal.localidad = "Rosario";
        registry.registry().add(mutual);
        padron::RegistryWindow contributors(registry);
        shoot(contributors, "60_padron_contribuyentes");
        padron::TaxpayerForm form(registry, registry.registry().find(cooperative.cuit), &contributors);
        auto* tabs = form.findChild<QTabWidget*>();
        const char* names[] = {"61_contribuyente_datos", "62_contribuyente_domicilio_fiscal",
                               "63_contribuyente_otros_domicilios", "64_contribuyente_responsables"};
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            shoot(form, names[tab]);
        }
    }
    Shutdown(context, quiet);
    return 0;
}
