// The print window: the preview of a report, with Imprimir (the printer dialog), saving as PDF
// and Salir; and the commands that open it for the form 369, the work papers and an import
// format.
#pragma once

#include <QDialog>

#include <functional>
#include <memory>

#include "print/reports.h"

class QPrinter;
class QPrintPreviewWidget;
class QPushButton;

namespace kapred {
struct Context;
}

namespace kapred::ui {

class QtUserInterface;

class frmImpresion : public QDialog {
    Q_OBJECT
public:
    frmImpresion(Context& context, print::PrintJob job, QWidget* parent = nullptr);
    ~frmImpresion() override;

    QPrintPreviewWidget* preview() const { return preview_; }
    int pageCount() const;

    void cmdImprimir_Click();
    void cmdPDF_Click();

protected:
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void paint(QPrinter* printer);

    Context& context_;
    print::PrintJob job_;
    std::unique_ptr<QPrinter> printer_;
    QPrintPreviewWidget* preview_;
};

// Imprimir Formulario: the wait window "Confeccionando impresión de Declaración Jurada", then the
// preview of the current declaration's form 369. A failure (no rate for the fiscal year, the
// verification-number library missing) is told and nothing opens.
void printDeclarationForm(Context& context, QWidget* parent);

// Opens the preview of a job built by `make`; a failure while building it is told.
void showPrintJob(Context& context, const std::function<print::PrintJob()>& make, QWidget* parent);

}  // namespace kapred::ui
