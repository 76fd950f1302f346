#include "ui/review_windows.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <fstream>
#include <iterator>

#include "app/backup.h"
#include "calc/declaration_diff.h"
#include "data/values/error.h"
#include "data/values/numeric_text.h"
#include "generation/declaration_check.h"
#include "generation/delivery_receipts.h"
#include "generation/file_inspector.h"
#include "model/declaration_list.h"
#include "model/tables/tables.h"
#include "print/reports.h"
#include "ui/fixed_font.h"
#include "ui/help.h"
#include "ui/print_window.h"
#include "ui/qt_interface.h"
#include "ui/screen_fit.h"

namespace kapred::ui {

namespace {

// A declaration file is some tens of kilobytes; anything far larger is not one.
constexpr qint64 kLargestFile = 16 * 1024 * 1024;

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

QTableWidget* newTable(const QStringList& headers, QWidget* parent) {
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->setVisible(false);
    table->setAlternatingRowColors(true);
    return table;
}

void setCell(QTableWidget* table, int row, int column, const QString& value, bool amount = false) {
    auto* item = new QTableWidgetItem(value);
    if (amount) {
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    table->setItem(row, column, item);
}

QDialogButtonBox* closeButton(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("&Cerrar"));
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("cmdCerrar"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

std::string failureText(const std::exception& failure) {
    const auto* error = dynamic_cast<const Error*>(&failure);
    return error != nullptr ? error->description() : std::string(failure.what());
}

}  // namespace

void verifyDeclaration(Context& context) {
    if (!context.currentDeclaration) {
        MsgInformacion(context.ui, "Por favor, primero cargue una Declaración Jurada antes de proceder.");
        return;
    }
    const DeclarationCheck check = VerificarDJ(context);
    if (check.lines().empty()) {
        context.ui.showMessage(MessageIcon::Information, kCheckTitle,
                               "La Declaración Jurada no tiene inconsistencias: se puede generar.");
        return;
    }
    context.ui.showInconsistencies(kCheckTitle, check.lines());
}

frmInspector::frmInspector(Context& context, QWidget* parent)
    : QDialog(parent),
      context_(context),
      file_(new QLabel(QStringLiteral("Ningún archivo abierto"), this)),
      records_(new QTreeWidget(this)),
      faults_(new QListWidget(this)) {
    setObjectName(QStringLiteral("frmInspector"));
    setWindowTitle(QStringLiteral("Inspector del Archivo de la Declaración Jurada"));
    setHelpContext(*this, kHelpInspector);
    file_->setObjectName(QStringLiteral("lblArchivo"));
    file_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* choose = new QPushButton(QStringLiteral("&Abrir Archivo..."), this);
    choose->setObjectName(QStringLiteral("cmdAbrir"));
    connect(choose, &QPushButton::clicked, this, guarded(context_.ui, [this] { this->choose(); }));
    auto* top = new QHBoxLayout;
    top->addWidget(file_, 1);
    top->addWidget(choose);

    records_->setObjectName(QStringLiteral("tvwRegistros"));
    records_->setHeaderLabels({QStringLiteral("Registro / Campo"), QStringLiteral("Columnas"), QStringLiteral("Texto"),
                               QStringLiteral("Valor")});
    records_->setAccessibleName(QStringLiteral("Registros del archivo"));
    records_->setAlternatingRowColors(true);
    records_->setFont(fixedPitchFont());
    auto* faultsFrame = new QGroupBox(QStringLiteral("Faltas de forma"), this);
    faults_->setObjectName(QStringLiteral("lstFaltas"));
    faults_->setAccessibleName(QStringLiteral("Faltas de forma"));
    (new QVBoxLayout(faultsFrame))->addWidget(faults_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(records_, 3);
    layout->addWidget(faultsFrame, 1);
    layout->addWidget(closeButton(this));
    resizeWithinScreen(*this, QSize(980, 640));
}

void frmInspector::choose() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Abrir archivo de la declaración"),
                                                      QString::fromStdString(context_.appPath.string()),
                                                      QStringLiteral("Archivos de texto (*.txt);;Todos (*)"));
    if (!path.isEmpty()) {
        open(path);
    }
}

void frmInspector::open(const QString& path) {
    QFile input(path);
    if (!QFileInfo(path).isFile() || input.size() > kLargestFile || !input.open(QIODevice::ReadOnly)) {
        MsgError(context_.ui, "No se puede leer el archivo " + path.toStdString() + " como declaración del F.369.");
        return;
    }
    const QByteArray bytes = input.readAll();
    FileInspection inspection = inspectDeclarationFile(std::string_view(bytes.constData(), bytes.size()));
    checkVerificationNumber(context_, inspection);
    file_->setText(path);
    records_->clear();
    new QTreeWidgetItem(records_, {QStringLiteral("Línea 1: cabecera"), {}, text(inspection.header), {}});
    for (const InspectedRecord& record : inspection.records) {
        QString caption = QStringLiteral("Línea %1: registro %2").arg(record.line).arg(text(record.type));
        if (!record.figure.empty()) {
            caption += QStringLiteral(" (%1)").arg(text(record.figure));
        }
        auto* node = new QTreeWidgetItem(records_, {caption});
        node->setToolTip(0, caption);
        for (const InspectedField& field : record.fields) {
            auto* leaf =
                new QTreeWidgetItem(node, {text(field.caption), QStringLiteral("%1-%2").arg(field.from).arg(field.to),
                                           QLatin1Char('"') + text(field.raw) + QLatin1Char('"'),
                                           field.value == field.raw ? QString() : text(field.value)});
            leaf->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        }
    }
    if (!inspection.records.empty()) {
        records_->topLevelItem(1)->setExpanded(true);
    }
    for (int column = 0; column < 4; ++column) {
        records_->resizeColumnToContents(column);
    }
    // Long labels of the records 04 give way to the text and value, which must be read whole.
    records_->setColumnWidth(0, std::min(records_->columnWidth(0), 380));
    faults_->clear();
    for (const std::string& fault : inspection.faults) {
        faults_->addItem(text(fault));
    }
    if (inspection.sound()) {
        faults_->addItem(QStringLiteral("El archivo no tiene faltas de forma."));
    }
}

frmDiferencias::frmDiferencias(Context& context, QWidget* parent)
    : QDialog(parent),
      context_(context),
      first_(new QComboBox(this)),
      second_(new QComboBox(this)),
      table_(newTable({QStringLiteral("Sección"), QStringLiteral("Dato"), QStringLiteral("Primera"),
                       QStringLiteral("Segunda"), QStringLiteral("Diferencia")},
                      this)),
      summary_(new QLabel(this)) {
    setObjectName(QStringLiteral("frmDiferencias"));
    setWindowTitle(QStringLiteral("Comparar Declaraciones Juradas"));
    setHelpContext(*this, kHelpDiff);
    first_->setObjectName(QStringLiteral("cboPrimera"));
    second_->setObjectName(QStringLiteral("cboSegunda"));
    for (const DeclarationSummary& each : taxpayerDeclarations(context_)) {
        const QString code = QString::number(each.code);
        const QString caption =
            QStringLiteral("%1 - Período %2 - %3").arg(code, QString::number(each.period), text(each.sequenceName));
        first_->addItem(caption, code);
        second_->addItem(caption, code);
    }
    // The usual comparison: the original and the declaration in front.
    if (context_.currentDeclaration) {
        const QString current = text(currentHeaderValue(context_, tables::DDJJ::CodDJ).toText());
        second_->setCurrentIndex(std::max(0, second_->findData(current)));
    }
    auto* choice = new QGroupBox(QStringLiteral(" Declaraciones "), this);
    auto* form = new QFormLayout(choice);
    form->addRow(QStringLiteral("&Primera:"), first_);
    form->addRow(QStringLiteral("&Segunda:"), second_);
    auto* compareButton = new QPushButton(QStringLiteral("C&omparar"), this);
    compareButton->setObjectName(QStringLiteral("cmdComparar"));
    compareButton->setDefault(true);
    connect(compareButton, &QPushButton::clicked, this, guarded(context_.ui, [this] { compare(); }));
    auto* compareRow = new QHBoxLayout;
    compareRow->addWidget(compareButton);
    compareRow->addStretch();
    form->addRow(QString(), compareRow);

    table_->setObjectName(QStringLiteral("grdDiferencias"));
    table_->setAccessibleName(QStringLiteral("Diferencias"));
    summary_->setObjectName(QStringLiteral("lblResumen"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(choice);
    layout->addWidget(table_, 1);
    layout->addWidget(summary_);
    layout->addWidget(closeButton(this));
    resizeWithinScreen(*this, QSize(920, 560));
}

void frmDiferencias::compare() {
    const QString first = first_->currentData().toString();
    const QString second = second_->currentData().toString();
    const DeclarationDiff diff =
        compareDeclarations(context_, Variant(first.toStdString()), Variant(second.toStdString()));
    table_->setRowCount(0);
    if (diff.refusal) {
        summary_->clear();
        MsgError(context_.ui, *diff.refusal);
        return;
    }
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Sección"), QStringLiteral("Dato"), first, second, QStringLiteral("Diferencia")});
    table_->setRowCount(static_cast<int>(diff.differences.size()));
    int row = 0;
    for (const FigureDifference& each : diff.differences) {
        const bool amount = each.difference.has_value();
        setCell(table_, row, 0, text(each.section));
        setCell(table_, row, 1, text(each.item));
        setCell(table_, row, 2, text(each.first), amount);
        setCell(table_, row, 3, text(each.second), amount);
        setCell(table_, row, 4, amount ? text(formatAmount(*each.difference)) : QString(), true);
        ++row;
    }
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setStretchLastSection(true);
    summary_->setText(diff.differences.empty()
                          ? QStringLiteral("Las declaraciones %1 y %2 no difieren.").arg(first, second)
                          : QStringLiteral("%1 datos difieren.").arg(diff.differences.size()));
}

frmEntregas::frmEntregas(Context& context, QWidget* parent)
    : QDialog(parent),
      table_(newTable({QStringLiteral("DJ"), QStringLiteral("Fecha y hora"), QStringLiteral("Archivo"),
                       QStringLiteral("Carpeta"), QStringLiteral("Tamaño"), QStringLiteral("Nº verificación"),
                       QStringLiteral("Estado"), QStringLiteral("SHA-256")},
                      this)) {
    setObjectName(QStringLiteral("frmEntregas"));
    setWindowTitle(QStringLiteral("Entregas Realizadas"));
    setHelpContext(*this, kHelpDeliveries);
    table_->setObjectName(QStringLiteral("grdEntregas"));
    table_->setAccessibleName(QStringLiteral("Entregas realizadas"));
    const auto receipts = entregas(context);
    table_->setRowCount(static_cast<int>(receipts.size()));
    int row = 0;
    for (const DeliveryReceipt& receipt : receipts) {
        setCell(table_, row, 0, QString::number(receipt.codDJ));
        setCell(table_, row, 1, text(Variant(receipt.deliveredAt).toText()));
        setCell(table_, row, 2, text(receipt.fileName));
        setCell(table_, row, 3, text(receipt.folder));
        table_->item(row, 3)->setToolTip(text(receipt.folder));
        setCell(table_, row, 4, QString::number(receipt.size), true);
        setCell(table_, row, 5, text(receipt.verificationNumber));
        setCell(table_, row, 6,
                receipt.declarationDeleted ? QStringLiteral("Declaración eliminada") : QStringLiteral("Guardada"));
        setCell(table_, row, 7, text(receipt.sha256));
        table_->item(row, 7)->setFont(fixedPitchFont());
        ++row;
    }
    table_->resizeColumnsToContents();
    // A long folder gives way to the hash, which must be read whole; the folder shows on hover.
    table_->setColumnWidth(3, std::min(table_->columnWidth(3), 220));
    table_->setWordWrap(false);
    table_->setTextElideMode(Qt::ElideMiddle);
    auto* note = new QLabel(receipts.empty() ? QStringLiteral("No hay entregas registradas.")
                                             : QStringLiteral("El SHA-256 identifica el archivo encriptado entregado: "
                                                              "coincide con el que calcula sha256sum."),
                            this);
    note->setObjectName(QStringLiteral("lblNota"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_, 1);
    layout->addWidget(note);
    auto* buttons = closeButton(this);
    auto* printButton = buttons->addButton(QStringLiteral("&Imprimir Comprobante"), QDialogButtonBox::ActionRole);
    printButton->setObjectName(QStringLiteral("cmdPrint"));
    printButton->setEnabled(false);
    connect(table_, &QTableWidget::itemSelectionChanged, printButton,
            [this, printButton] { printButton->setEnabled(table_->currentRow() >= 0); });
    connect(printButton, &QPushButton::clicked, this, guarded(context.ui, [this, &context, receipts] {
                const int chosen = table_->currentRow();
                if (chosen >= 0 && chosen < static_cast<int>(receipts.size())) {
                    const DeliveryReceipt receipt = receipts[static_cast<std::size_t>(chosen)];
                    showPrintJob(
                        context, [&context, receipt] { return print::receiptJob(context, receipt); }, this);
                }
            }));
    layout->addWidget(buttons);
    if (!receipts.empty()) {
        table_->selectRow(0);  // a receipt chosen, so Imprimir Comprobante is ready
    }
    resizeWithinScreen(*this, QSize(1280, 420));
}

void backupCommand(Context& context, QWidget* parent) {
    // The program asks itself before it replaces a file, so the dialog does not.
    const QString path = QFileDialog::getSaveFileName(
        parent, QString::fromUtf8(kBackupTitle), QDir::home().filePath(QStringLiteral("kapred-copia.kbk")),
        QStringLiteral("Copias de Kapred (*.kbk);;Todos (*)"), nullptr, QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty()) {
        return;
    }
    if (CopiaDeSeguridad(context, path.toStdString())) {
        context.ui.showMessage(MessageIcon::Information, "Información",
                               "La copia de seguridad se escribió y se verificó en " + path.toStdString() + ".");
    }
}

ProgramEnding restoreCommand(Context& context, QWidget* parent) {
    const QString path = QFileDialog::getOpenFileName(parent, QString::fromUtf8(kRestoreTitle), QDir::homePath(),
                                                      QStringLiteral("Copias de Kapred (*.kbk);;Todos (*)"));
    if (!path.isEmpty()) {
        try {
            return Restaurar(context, path.toStdString());
        } catch (const std::exception& failure) {
            MsgError(context.ui, "No se pudo restaurar la copia: " + failureText(failure));
        }
    }
    return std::nullopt;
}

}  // namespace kapred::ui
