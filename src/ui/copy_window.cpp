#include "ui/copy_window.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/cuit.h"
#include "data/values/numeric_text.h"
#include "model/declaration_list.h"
#include "model/declaration_ops.h"
#include "model/tables/tables.h"
#include "ui/help.h"
#include "ui/input_widgets.h"
#include "ui/window_routines.h"

namespace kapred::ui {

namespace {

QString percentText(double percent) {
    return QString::fromStdString(formatAmount(Currency::fromDouble(percent).value_or(Currency()), 2)) +
           QStringLiteral(" %");
}

}  // namespace

frmCopiaDJ::frmCopiaDJ(Context& context, QtUserInterface& ui, QWidget* parent)
    : QDialog(parent),
      context_(context),
      ui_(ui),
      sequence_(new QComboBox(this)),
      period_(new NumberEdit(QStringLiteral("txtperiodoDestino"), 0, this)),
      progress_(new QProgressBar(this)),
      percent_(new QLabel(this)) {
    setObjectName(QStringLiteral("frmCopiaDJ"));
    setWindowTitle(QStringLiteral("Copia de Declaración Jurada"));
    setHelpContext(*this, kHelpCopy);
    const BDDJJ& origin = *currentHeader(context_);
    const EntityBase& header = *origin.Entity;
    using H = tables::DDJJ;

    auto* originFrame = new QGroupBox(QStringLiteral(" Origen "), this);
    auto* originText = new QLabel(
        QStringLiteral("Período %1 - %2 - Ejercicio %3")
            .arg(QString::fromStdString(header.vGetFieldValue(H::lPeriodo).toText()),
                 QString::fromStdString(sequenceDescription(header.vGetFieldValue(H::CODIGO_T_SECUENCIAS))),
                 header.vGetFieldValue(H::iTipoEjercicioFiscal).toWholeNumber() == 1 ? QStringLiteral("Regular")
                                                                                     : QStringLiteral("Irregular")),
        originFrame);
    originText->setObjectName(QStringLiteral("lblOrigen"));
    (new QVBoxLayout(originFrame))->addWidget(originText);

    auto* destination = new QGroupBox(QStringLiteral(" Destino "), this);
    auto* form = new QFormLayout(destination);
    sequence_->setObjectName(QStringLiteral("dbcCODIGO_T_SECUENCIAS"));
    for (const auto& sequence : presentationSequences(*currentHeader(context_))) {
        sequence_->addItem(QString::fromStdString(sequence.description), QVariant::fromValue(sequence.code));
    }
    sequence_->setCurrentIndex(-1);
    period_->setMaxLength(4);
    period_->setMaximumWidth(period_->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
    auto* cuit = new QLabel(QString::fromStdString(sFormatCuit(context_.cuit(), true) + " - " + taxpayerName(context_)),
                            destination);
    cuit->setObjectName(QStringLiteral("lblCuitDest"));
    cuit->setWordWrap(true);
    form->addRow(QStringLiteral("Secuencia:"), sequence_);
    form->addRow(QStringLiteral("Período (AAAA):"), period_);
    form->addRow(QStringLiteral("C.U.I.T o C.U.I.L.:"), cuit);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);

    progress_->setObjectName(QStringLiteral("proBar"));
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    percent_->setObjectName(QStringLiteral("lblPorciento"));
    percent_->setText(percentText(0));
    percent_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(progress_, 1);
    progressRow->addWidget(percent_);

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(QStringLiteral("Aceptar (Ctrl+A)"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdAceptar"));
    auto* cancel = buttons->addButton(QStringLiteral("Cancelar (Ctrl+C)"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancelar"));
    connect(ok, &QPushButton::clicked, this, guarded(ui_, [this] { cmdOk_Click(); }));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(originFrame);
    layout->addWidget(destination);
    layout->addLayout(progressRow);
    layout->addWidget(buttons);
    setMinimumWidth(560);
    adjustSize();
    CenterWindow(*this);
}

void frmCopiaDJ::showProgress(double percent) {
    progress_->setValue(static_cast<int>(percent));
    percent_->setText(percentText(percent));
}

void frmCopiaDJ::cmdOk_Click() {
    const QVariant sequence = sequence_->currentIndex() >= 0 ? sequence_->currentData() : QVariant();
    CopyOutcome outcome;
    {
        ProgressShown shown(ui_, [this](double percent) { showProgress(percent); });
        outcome = copyDeclaration(context_, period_->text().trimmed().toStdString(),
                                  sequence.isValid() ? sequence.toString().toStdString() : std::string());
    }
    showProgress(0);
    if (outcome == CopyOutcome::Copied) {
        accept();
    }
}

void frmCopiaDJ::keyReleaseEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::ControlModifier && HandleCtrlKey(*this, event->key())) {
        return;
    }
    QDialog::keyReleaseEvent(event);
}

}  // namespace kapred::ui
