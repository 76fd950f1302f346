#include "ui/import_window.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include "import/export.h"
#include "import/import_engine.h"
#include "import/import_formats.h"
#include "model/declaration_ops.h"
#include "model/tables/tables.h"
#include "ui/help.h"
#include "ui/import_fields_window.h"
#include "ui/screen_fit.h"
#include "ui/window_routines.h"

namespace kapred::ui {

namespace {

constexpr int kIdRole = Qt::UserRole;

enum Column { kNumber, kName, kSign, kLength };

QString declarationText(const Context& context) {
    const EntityBase& header = *context.currentDeclaration->Entity;
    return QStringLiteral("Período %1 - %2")
        .arg(QString::fromStdString(header.vGetFieldValue(tables::DDJJ::lPeriodo).toText()),
             QString::fromStdString(sequenceDescription(header.vGetFieldValue(tables::DDJJ::CODIGO_T_SECUENCIAS))));
}

std::filesystem::path localPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

}  // namespace

frmImportar::frmImportar(Context& context, QtUserInterface& ui, QWidget* parent)
    : QDialog(parent),
      context_(context),
      ui_(ui),
      ComboTipo_(new QComboBox(this)),
      Grdimport_(new QTableView(this)),
      formats_(new QStandardItemModel(0, 4, this)),
      txtformato_(new QLineEdit(this)),
      optImp_(new QRadioButton(QStringLiteral("&Importar un archivo a la declaración"), this)),
      optExp_(new QRadioButton(QStringLiteral("E&xportar los datos de la declaración"), this)),
      FraOperacion_(new QGroupBox(QStringLiteral("Operación"), this)),
      Progreso_(new QProgressBar(this)),
      picMant_(new QWidget(this)) {
    setObjectName(QStringLiteral("frmImportar"));
    setWindowTitle(QStringLiteral("Formatos de Importación"));
    setHelpContext(*this, kHelpImport);
    askPath = [this](FileUse use) { return chooseFile(use); };

    auto* declaration = new QLabel(declarationText(context_), this);
    declaration->setObjectName(QStringLiteral("lblDeclaracion"));
    ComboTipo_->setObjectName(QStringLiteral("ComboTipo"));
    for (const auto& section : importSections(context_)) {
        ComboTipo_->addItem(QString::fromStdString(section.description), QVariant::fromValue(section.code));
    }
    auto* top = new QFormLayout;
    top->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    top->addRow(QStringLiteral("Declaración Jurada:"), declaration);
    top->addRow(QStringLiteral("&Sección:"), ComboTipo_);

    auto* formatsFrame = new QGroupBox(QStringLiteral("Formatos de la sección"), this);
    Grdimport_->setObjectName(QStringLiteral("Grdimport"));
    Grdimport_->setAccessibleName(QStringLiteral("Formatos de la sección"));
    formats_->setHorizontalHeaderLabels({QStringLiteral("Nº"), QStringLiteral("Nombre"),
                                         QStringLiteral("Separador decimal"), QStringLiteral("Largo de registro")});
    formats_->setSortRole(kSortRole);
    Grdimport_->setModel(formats_);
    Grdimport_->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grdimport_->setSelectionMode(QAbstractItemView::SingleSelection);
    Grdimport_->setSortingEnabled(true);
    Grdimport_->sortByColumn(kNumber, Qt::AscendingOrder);
    Grdimport_->verticalHeader()->hide();
    Grdimport_->setAlternatingRowColors(true);
    Grdimport_->horizontalHeader()->setSectionResizeMode(kName, QHeaderView::Stretch);
    Grdimport_->horizontalHeader()->setHighlightSections(false);
    txtformato_->setObjectName(QStringLiteral("txtformato"));
    txtformato_->setReadOnly(true);
    auto* nameRow = new QFormLayout;
    nameRow->addRow(QStringLiteral("&Nombre del formato:"), txtformato_);
    auto* formatsLayout = new QVBoxLayout(formatsFrame);
    formatsLayout->addWidget(Grdimport_, 1);
    formatsLayout->addLayout(nameRow);

    FraOperacion_->setObjectName(QStringLiteral("FraOperacion"));
    optImp_->setObjectName(QStringLiteral("optImp"));
    optExp_->setObjectName(QStringLiteral("optExp"));
    optImp_->setChecked(true);
    auto* options = new QVBoxLayout(FraOperacion_);
    options->addWidget(optImp_);
    options->addWidget(optExp_);

    Progreso_->setObjectName(QStringLiteral("Progreso"));
    Progreso_->setAccessibleName(QStringLiteral("Avance"));
    Progreso_->setRange(0, 100);
    Progreso_->setValue(0);
    Progreso_->setFormat(QStringLiteral("%p %"));
    auto* progressRow = new QFormLayout;
    progressRow->addRow(QStringLiteral("Avance:"), Progreso_);

    picMant_->setObjectName(QStringLiteral("picMant"));
    auto* buttons = new QHBoxLayout(picMant_);
    buttons->setContentsMargins(0, 0, 0, 0);
    const std::pair<const char*, const char*> commands[] = {
        {"cmdNew", "Nuevo"},  {"cmdEdit", "Modificar"},  {"cmdDelete", "Eliminar"}, {"cmdDetail", "Detallar"},
        {"cmdOk", "Aceptar"}, {"cmdCancel", "Cancelar"}, {"cmdImport", "Importar"}, {"cmdExit", "Salir"},
    };
    const std::function<void()> actions[] = {
        [this] { cmdNew_Click(); },    [this] { cmdEdit_Click(); }, [this] { cmdDelete_Click(); },
        [this] { cmdDetail_Click(); }, [this] { cmdOk_Click(); },   [this] { cmdCancel_Click(); },
        [this] { cmdImport_Click(); }, [this] { reject(); },
    };
    for (std::size_t i = 0; i < std::size(commands); ++i) {
        auto* button = new QPushButton(QString::fromUtf8(commands[i].second), picMant_);
        button->setObjectName(QLatin1String(commands[i].first));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, guarded(ui_, actions[i]));
        if (button->objectName() == QLatin1String("cmdImport")) {
            // The run and the exit stand apart from the commands over formats.
            buttons->addStretch();
            cmdImport_ = button;
        } else if (button->objectName() == QLatin1String("cmdCancel")) {
            cmdCancel_ = button;
        } else if (button->objectName() == QLatin1String("cmdOk")) {
            // Enter in the name box accepts it.
            button->setDefault(true);
        }
        buttons->addWidget(button);
    }
    DressButtonBar(*this);

    auto* lower = new QHBoxLayout;
    lower->addWidget(FraOperacion_);
    auto* progressBox = new QVBoxLayout;
    progressBox->addStretch();
    progressBox->addLayout(progressRow);
    lower->addLayout(progressBox, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(formatsFrame, 1);
    layout->addLayout(lower);
    layout->addWidget(picMant_);

    connect(ComboTipo_, &QComboBox::currentIndexChanged, this, guarded(ui_, [this] {
                refreshFormats(0);
                showBrowsing();
            }));
    connect(Grdimport_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            guarded(ui_, [this] { formatChosen(); }));
    connect(optImp_, &QRadioButton::toggled, this, guarded(ui_, [this] { operationChosen(); }));
    connect(Grdimport_, &QTableView::activated, this, guarded(ui_, [this] { cmdDetail_Click(); }));

    refreshFormats(0);
    operationChosen();
    showBrowsing();
    resizeWithinScreen(*this, QSize(760, 460));
    CenterWindow(*this);
}

long frmImportar::sectionCode() const {
    return ComboTipo_->currentIndex() >= 0 ? static_cast<long>(ComboTipo_->currentData().toLongLong()) : 0;
}

bool frmImportar::selectSection(long code) {
    const int index = ComboTipo_->findData(QVariant::fromValue(code));
    if (index < 0) {
        return false;
    }
    ComboTipo_->setCurrentIndex(index);
    return true;
}

bool frmImportar::selectFormat(long id) {
    for (int r = 0; r < formats_->rowCount(); ++r) {
        if (formats_->item(r, kNumber)->data(kIdRole).toLongLong() == id) {
            Grdimport_->setCurrentIndex(formats_->index(r, kNumber));
            return true;
        }
    }
    return false;
}

void frmImportar::refreshFormats(long selectId) {
    {
        const QSignalBlocker quiet(Grdimport_->selectionModel());
        formats_->removeRows(0, formats_->rowCount());
        for (const auto& format : formatsOfSection(context_, sectionCode())) {
            const long length = recordLength(context_, format.id, format.section);
            QList<QStandardItem*> row{
                gridCell(QString::number(format.id), QVariant::fromValue(format.id), Qt::AlignRight),
                gridCell(QString::fromStdString(format.name), QString::fromStdString(format.name).toCaseFolded()),
                gridCell(format.pointDecimal() ? QStringLiteral("Punto") : QStringLiteral("Coma"),
                         format.pointDecimal() ? 0 : 1),
                gridCell(length > 0 ? QString::number(length) : QString(), QVariant::fromValue(length), Qt::AlignRight),
            };
            if (length == 0) {
                row.back()->setToolTip(
                    QStringLiteral("El formato todavía no tiene posiciones: defínalas con Detallar."));
            }
            row.front()->setData(QVariant::fromValue(format.id), kIdRole);
            formats_->appendRow(row);
        }
        formats_->sort(Grdimport_->horizontalHeader()->sortIndicatorSection(),
                       Grdimport_->horizontalHeader()->sortIndicatorOrder());
        int target = formats_->rowCount() > 0 ? 0 : -1;
        for (int r = 0; r < formats_->rowCount(); ++r) {
            if (formats_->item(r, kNumber)->data(kIdRole).toLongLong() == selectId) {
                target = r;
            }
        }
        if (target >= 0) {
            Grdimport_->setCurrentIndex(formats_->index(target, kNumber));
        }
    }
    Grdimport_->resizeColumnToContents(kNumber);
    Grdimport_->resizeColumnToContents(kSign);
    Grdimport_->resizeColumnToContents(kLength);
    formatChosen();
}

void frmImportar::formatChosen() {
    const QModelIndex current = Grdimport_->currentIndex();
    if (!current.isValid()) {
        formatId_ = 0;
        txtformato_->clear();
        return;
    }
    formatId_ = static_cast<long>(formats_->item(current.row(), kNumber)->data(kIdRole).toLongLong());
    txtformato_->setText(formats_->item(current.row(), kName)->text());
}

void frmImportar::showBrowsing() {
    editing_ = Editing::None;
    const bool hasFormats = formats_->rowCount() > 0;
    SetButtonsState(*this, kBrowsing, hasFormats, false);
    ComboTipo_->setEnabled(true);
    Grdimport_->setEnabled(true);
    FraOperacion_->setEnabled(true);
    txtformato_->setReadOnly(true);
    cmdImport_->setEnabled(hasFormats);
}

void frmImportar::showEditing() {
    SetButtonsState(*this, kEditing, formats_->rowCount() > 0, false);
    ComboTipo_->setEnabled(false);
    Grdimport_->setEnabled(false);
    FraOperacion_->setEnabled(false);
    txtformato_->setReadOnly(false);
    txtformato_->setFocus();
    txtformato_->selectAll();
}

void frmImportar::setBusy(bool busy) {
    busy_ = busy;
    // Only Cancelar answers while a run goes on: nothing may start another one.
    ComboTipo_->setEnabled(!busy);
    Grdimport_->setEnabled(!busy);
    FraOperacion_->setEnabled(!busy);
    for (QPushButton* button : picMant_->findChildren<QPushButton*>()) {
        button->setEnabled(!busy || button == cmdCancel_);
    }
    if (busy) {
        cmdCancel_->setVisible(true);
        cmdCancel_->setFocus();
    } else {
        showBrowsing();
    }
}

void frmImportar::operationChosen() {
    const bool exporting = optExp_->isChecked();
    cmdImport_->setText(exporting ? QStringLiteral("Exportar") : QStringLiteral("Importar"));
    cmdImport_->setToolTip(exporting ? QStringLiteral("Exportar los datos de la sección a un archivo")
                                     : QStringLiteral("Importar un archivo a la sección"));
    cmdImport_->setAccessibleName(cmdImport_->toolTip());
    cmdImport_->setIcon(
        exporting
            ? QIcon::fromTheme(QStringLiteral("document-save"), style()->standardIcon(QStyle::SP_DialogSaveButton))
            : QIcon::fromTheme(QStringLiteral("document-open"), style()->standardIcon(QStyle::SP_DialogOpenButton)));
}

void frmImportar::cmdNew_Click() {
    editing_ = Editing::NewFormat;
    txtformato_->clear();
    showEditing();
}

void frmImportar::cmdEdit_Click() {
    const auto format = findFormat(context_, formatId_);
    if (!format || !mayEditFormat(context_, *format)) {
        return;
    }
    editing_ = Editing::NewName;
    showEditing();
}

void frmImportar::cmdOk_Click() {
    const std::string typed = txtformato_->text().toStdString();
    if (editing_ == Editing::NewFormat) {
        if (const auto id = createFormat(context_, sectionCode(), typed)) {
            refreshFormats(*id);
            showBrowsing();
            return;
        }
    } else if (editing_ == Editing::NewName) {
        if (renameFormat(context_, formatId_, typed)) {
            refreshFormats(formatId_);
            showBrowsing();
            return;
        }
    } else {
        return;
    }
    txtformato_->setFocus();
}

void frmImportar::cmdCancel_Click() {
    if (busy_) {
        // The run stops at its next line.
        if (ui_.askYesNo(MessageIcon::Question, "Confirmar!", "¿Desea Cancelar el Proceso actual?")) {
            cancel_ = true;
        }
        return;
    }
    formatChosen();
    showBrowsing();
}

void frmImportar::cmdDelete_Click() {
    if (formatId_ != 0 && deleteFormat(context_, formatId_) == DeleteOutcome::Deleted) {
        refreshFormats(0);
        showBrowsing();
    }
}

void frmImportar::cmdDetail_Click() {
    const auto format = findFormat(context_, formatId_);
    if (!format || busy_ || editing_ != Editing::None) {
        return;
    }
    frmImportar_ConfigurarCampos fields(context_, this);
    fields.Refrescar_Tabla(*format);
    fields.HabilitarVentana(false);
    fields.exec();
    refreshFormats(formatId_);
}

void frmImportar::cmdImport_Click() {
    if (busy_ || formatId_ == 0) {
        return;
    }
    optExp_->isChecked() ? runExport() : runImport();
}

void frmImportar::runImport() {
    runWithProgress(FileUse::Import, [this](const std::filesystem::path& file) {
        tell(context_.ui, importFile(context_, formatId_, file, &cancel_),
             [this](const std::filesystem::path& errorFile) { showErrorSummary(errorFile); });
    });
}

void frmImportar::runExport() {
    runWithProgress(FileUse::Export, [this](const std::filesystem::path& file) {
        tell(context_.ui, Exportar(context_, formatId_, file, &cancel_));
    });
}

void frmImportar::runWithProgress(FileUse use, const std::function<void(const std::filesystem::path&)>& run) {
    const QString path = askPath(use);
    if (path.isEmpty()) {
        return;
    }
    Progreso_->setValue(0);
    setBusy(true);
    {
        ProgressShown shown(
            ui_, [this](double percent) { Progreso_->setValue(static_cast<int>(percent)); }, true);
        run(localPath(path));
    }
    cancel_ = false;
    Progreso_->setValue(0);
    setBusy(false);
}

void frmImportar::showErrorSummary(const std::filesystem::path& errorFile) {
    frmImportar_ConfigurarCampos summary(context_, this);
    summary.loadErrorFile(errorFile);
    summary.HabilitarVentana(true);
    summary.exec();
}

QString frmImportar::chooseFile(FileUse use) {
    const bool exporting = use == FileUse::Export;
    QFileDialog dialog(this, exporting ? QStringLiteral("Archivo a exportar") : QStringLiteral("Archivo a importar"),
                       QFile::decodeName(context_.appPath.c_str()), QStringLiteral("Archivos *.txt (*.txt)"));
    if (exporting) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // The export itself asks before it replaces a file, and refuses the program's own.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setDefaultSuffix(QStringLiteral("txt"));
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front();
}

void frmImportar::reject() {
    // Escape and the window's close button come here too: they give up a name being typed, and
    // the window stays while a run goes on.
    if (busy_ || editing_ != Editing::None) {
        cmdCancel_Click();
        return;
    }
    QDialog::reject();
}

}  // namespace kapred::ui
