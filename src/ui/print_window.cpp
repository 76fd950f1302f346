#include "ui/print_window.h"

#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "app/context.h"
#include "data/user_interface.h"
#include "data/values/error.h"
#include "ui/help.h"
#include "ui/qt_interface.h"
#include "ui/screen_fit.h"
#include "ui/wait_window.h"
#include "ui/window_routines.h"

namespace kapred::ui {

namespace {

QPushButton* barButton(const char* name, const QString& caption, QWidget* bar) {
    auto* button = new QPushButton(caption, bar);
    button->setObjectName(QLatin1String(name));
    bar->layout()->addWidget(button);
    return button;
}

// Every page as drawn on a sheet, whatever margins the printer would keep.
void fullSheet(QPrinter& printer, const print::PrintJob& job) {
    printer.setFullPage(true);
    const auto& layout = job.reports.front().layout;
    printer.setPageLayout(QPageLayout(QPageSize(QSizeF(layout.pageWidth, layout.pageHeight), QPageSize::Millimeter),
                                      QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    printer.setDocName(QString::fromStdString(job.title));
}

}  // namespace

frmImpresion::frmImpresion(Context& context, print::PrintJob job, QWidget* parent)
    : QDialog(parent), context_(context), job_(std::move(job)), printer_(std::make_unique<QPrinter>()) {
    setObjectName(QStringLiteral("frmImpresion"));
    setWindowTitle(QStringLiteral("Impresión - ") + QString::fromStdString(job_.title));
    setHelpContext(*this, kHelpPrint);
    fullSheet(*printer_, job_);
    printer_->setOutputFormat(QPrinter::PdfFormat);  // the preview never needs a printer

    preview_ = new QPrintPreviewWidget(printer_.get(), this);
    preview_->setObjectName(QStringLiteral("crReport"));
    connect(preview_, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* printer) { runGuarded(context_.ui, [&] { paint(printer); }); });

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("picMant"));
    auto* buttons = new QHBoxLayout(bar);
    buttons->setContentsMargins(0, 0, 0, 0);
    auto* fit = barButton("cmdAjustar", QStringLiteral("Página entera"), bar);
    auto* width = barButton("cmdAncho", QStringLiteral("Ancho de página"), bar);
    buttons->addStretch();
    auto* pdf = barButton("cmdPDF", QStringLiteral("Guardar como PDF..."), bar);
    auto* printButton = barButton("cmdImprimir", QStringLiteral("Imprimir..."), bar);
    auto* exit = barButton("cmdSalir", QStringLiteral("Salir"), bar);
    printButton->setIcon(QIcon::fromTheme(QStringLiteral("document-print")));
    pdf->setIcon(QIcon::fromTheme(QStringLiteral("document-save-as")));
    exit->setIcon(QIcon::fromTheme(QStringLiteral("application-exit")));
    printButton->setDefault(true);
    connect(fit, &QPushButton::clicked, preview_, &QPrintPreviewWidget::fitInView);
    connect(width, &QPushButton::clicked, preview_, &QPrintPreviewWidget::fitToWidth);
    connect(printButton, &QPushButton::clicked, this, guarded(context_.ui, [this] { cmdImprimir_Click(); }));
    connect(pdf, &QPushButton::clicked, this, guarded(context_.ui, [this] { cmdPDF_Click(); }));
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(preview_, 1);
    layout->addWidget(bar);
    resizeWithinScreen(*this, QSize(860, 940));
    preview_->fitToWidth();
}

frmImpresion::~frmImpresion() = default;

int frmImpresion::pageCount() const {
    return preview_->pageCount();
}

void frmImpresion::paint(QPrinter* printer) {
    QPainter painter(printer);
    print::renderJob(job_, painter, *printer);
}

void frmImpresion::cmdImprimir_Click() {
    // Without a printer the system's dialog offers only a file, which the window saves better.
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        context_.ui.showMessage(MessageIcon::Critical, "Error al imprimir",
                                "No hay instalada ninguna impresora predeterminada.\n"
                                "Para guardar la impresión en un archivo use «Guardar como PDF...».");
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    fullSheet(printer, job_);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Imprimir"));
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    paint(&printer);
    QApplication::restoreOverrideCursor();
}

void frmImpresion::cmdPDF_Click() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString name = QString::fromStdString(job_.title).replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString file = QFileDialog::getSaveFileName(
        this, QStringLiteral("Guardar como PDF"), folder + QLatin1Char('/') + name + QStringLiteral(".pdf"),
        QStringLiteral("Documentos PDF (*.pdf)"), nullptr, QFileDialog::DontConfirmOverwrite);
    if (file.isEmpty()) {
        return;
    }
    // The core asks before it replaces a file.
    if (print::savePdf(context_, job_, file.toStdString())) {
        MsgInformacion(context_.ui, "Se guardó el archivo " + file.toStdString() + ".");
    }
}

void frmImpresion::keyReleaseEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::ControlModifier && HandleCtrlKey(*this, event->key())) {
        return;
    }
    QDialog::keyReleaseEvent(event);
}

void showPrintJob(Context& context, const std::function<print::PrintJob()>& make, QWidget* parent) {
    std::optional<print::PrintJob> job;
    try {
        job = make();
    } catch (const Error& error) {
        MsgError(context.ui, error.description());
        return;
    }
    frmImpresion window(context, std::move(*job), parent);
    window.exec();
}

void printDeclarationForm(Context& context, QWidget* parent) {
    frmPrintCrystal wait(
        QStringLiteral("Confeccionando impresión de Declaración Jurada"),
        [&context](QWidget& waitWindow) {
            showPrintJob(
                context, [&context] { return print::formJob(context); }, &waitWindow);
        },
        parent);
    wait.exec();
}

}  // namespace kapred::ui
