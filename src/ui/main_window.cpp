#include "ui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>

#include "app/compaction.h"
#include "app/repair.h"
#include "data/values/error.h"
#include "ui/declarations_window.h"
#include "ui/help.h"
#include "ui/review_windows.h"
#include "ui/screen_fit.h"
#include "ui/startup_windows.h"

namespace kapred::ui {

frmPrincipal::frmPrincipal(Context& context, QtUserInterface& ui, StartupObserver& observer)
    : context_(context), ui_(ui), observer_(observer), area_(new QMdiArea(this)), taxpayer_(new QLabel(this)) {
    setObjectName(QStringLiteral("frmPrincipal"));
    setWindowTitle(QString::fromLatin1(kMainCaption));
    setHelpContext(*this, kHelpContents);
    area_->setObjectName(QStringLiteral("mdiArea"));
    area_->setBackground(palette().window());
    setCentralWidget(area_);
    taxpayer_->setObjectName(QStringLiteral("lblInfo"));
    taxpayer_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusBar()->addWidget(taxpayer_, 1);
    buildMenu();
    resizeWithinScreen(*this, QSize(1180, 720));
}

void frmPrincipal::buildMenu() {
    struct Item {
        const char* name;
        const char* caption;
        std::function<void()> action;
    };
    const auto menu = [this](const char* name, const char* caption, const std::vector<Item>& items) {
        QMenu* shown = menuBar()->addMenu(QString::fromUtf8(caption));
        shown->setObjectName(QLatin1String(name));
        for (const auto& item : items) {
            if (item.caption == nullptr) {
                shown->addSeparator()->setObjectName(QLatin1String(item.name));
                continue;
            }
            QAction* action = shown->addAction(QString::fromUtf8(item.caption));
            action->setObjectName(QLatin1String(item.name));
            connect(action, &QAction::triggered, this, guarded(ui_, item.action));
        }
    };
    const auto declarations = [this](void (frmDDJJ::*command)()) {
        return [this, command] {
            if (declarations_ != nullptr) {
                (declarations_->*command)();
            }
        };
    };
    menu("mnuArchivo", "&Archivo", {{"mnuSalir", "&Salir", [this] { close(); }}});
    menu("mnuMant", "&Mantenimiento",
         {{"mnuagregar", "&Nuevo", declarations(&frmDDJJ::cmdNew_Click)},
          {"mnuEliminar", "&Eliminar", declarations(&frmDDJJ::cmdDelete_Click)},
          {"mnuCopiar", "Co&piar", declarations(&frmDDJJ::cmdCopy_Click)},
          {"mnuConsultar", "&Consultar", declarations(&frmDDJJ::cmdQuery_Click)},
          {"Sep1", nullptr, {}},
          {"mnuImprimirFormulario", "Imprimir &Formulario", declarations(&frmDDJJ::cmdForm_Click)},
          {"mnuGenerar", "&Generar Declaración Jurada", declarations(&frmDDJJ::cmdGenerate_Click)},
          {"mnuVerificar", "&Verificar Declaración Jurada", [this] { verifyDeclaration(context_); }},
          {"mnuInspeccionar", "Inspeccionar Arc&hivo del F.369...", [this] { frmInspector(context_, this).exec(); }},
          {"mnuComparar", "Comparar &Declaraciones...", [this] { frmDiferencias(context_, this).exec(); }},
          {"mnuEntregas", "En&tregas Realizadas...", [this] { frmEntregas(context_, this).exec(); }},
          {"Sep3", nullptr, {}},
          {"mnuImportar", "Impo&rtación / Exportación de Datos", declarations(&frmDDJJ::cmdImport_Click)},
          {"SepImpo", nullptr, {}},
          {"mnuCopiaSeguridad", "Copia de &Seguridad...", [this] { backupCommand(context_, this); }},
          {"mnuRestaurar", "Restaur&ar...", [this] { restore(); }},
          {"mnuCompactar", "Compactar &Base de Datos", [this] { compactDatabase(); }},
          {"mnuReparar", "Reparar Base de Dat&os", [this] { RepairMenuCommand(context_); }}});
    menu("mnuAyuda", "A&yuda",
         {{"mnuContenido", "&Contenido", [this] { showHelp(kHelpContents, this); }},
          {"Sep2", nullptr, {}},
          {"mnuAbout", "&Acerca De...", [this] {
               frmSplash about(false, this);
               about.exec();
           }}});
}

void frmPrincipal::Inicializar() {
    setWindowTitle(QString::fromLatin1(kMainCaption));
    show();
    declarations_ = new frmDDJJ(context_, ui_);
    connect(declarations_, &frmDDJJ::taxpayerLine, taxpayer_, &QLabel::setText);
    QMdiSubWindow* child = area_->addSubWindow(declarations_);
    child->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint);
    declarations_->InicializeObjects();
    child->showMaximized();
}

void frmPrincipal::compactDatabase() {
    // The compaction ends the program at once, without the closing steps.
    endWith(CompactMenuCommand(context_));
}

void frmPrincipal::restore() {
    // A restore ends the program at once: the closing steps would write the data it replaced.
    endWith(restoreCommand(context_, this));
}

void frmPrincipal::endWith(ProgramEnding end) {
    if (end) {
        ended_ = true;
        exitCode_ = *end;
        QApplication::exit(exitCode_);
    }
}

void frmPrincipal::closeEvent(QCloseEvent* event) {
    if (!ended_) {
        ended_ = true;
        frmCerrar closing(
            [this] {
                try {
                    if (!Shutdown(context_, observer_)) {
                        exitCode_ = kEndedByFailure;
                    }
                } catch (const std::exception& failure) {
                    const auto* error = dynamic_cast<const Error*>(&failure);
                    MsgError(ui_, "Error al cerrar el sistema: " +
                                      (error != nullptr ? error->description() : std::string(failure.what())));
                    exitCode_ = kEndedByFailure;
                }
            },
            this, closingPause);
        closing.exec();
    }
    event->accept();
}

}  // namespace kapred::ui
