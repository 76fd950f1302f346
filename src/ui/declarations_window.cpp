#include "ui/declarations_window.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStyle>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "data/validation.h"
#include "model/declaration_list.h"
#include "model/declaration_ops.h"
#include "model/sections.h"
#include "model/tables/tables.h"
#include "ui/copy_window.h"
#include "ui/generate_window.h"
#include "ui/help.h"
#include "ui/import_window.h"
#include "ui/input_widgets.h"
#include "ui/print_window.h"
#include "ui/review_windows.h"
#include "ui/screen_print.h"
#include "ui/section_windows.h"
#include "ui/system_tables_window.h"
#include "ui/window_routines.h"
#include "ui/work_papers_window.h"

namespace kapred::ui {

namespace {

constexpr int kCodeRole = Qt::UserRole;

using HeaderTable = tables::DDJJ;

// A column's input: the kind of control followed by the column, which is how the form transfer
// finds it.
QString inputName(const char* kind, const tables::Column& column) {
    return QLatin1String(kind) + QString::fromLatin1(column.name.data(), static_cast<qsizetype>(column.name.size()));
}

// The fields that name an existing declaration and so cannot change once it is saved.
const QStringList kKeyControls{
    inputName("txt", HeaderTable::lPeriodo), inputName("dbc", HeaderTable::CODIGO_T_SECUENCIAS),
    inputName("txt", HeaderTable::fPeriodoFiscalDesde), inputName("txt", HeaderTable::fPeriodoFiscalHasta),
    inputName("txt", HeaderTable::iEjercicioEconomico)};

struct TreeNode {
    std::string_view key;  // the window it opens
    const char* text;
};
constexpr TreeNode kNodes[] = {
    {"Activo", "Activo"},           {tables::Pasivo::table, "Pasivo"},
    {"Liquidacion", "Liquidación"}, {"Determinacion", "Determinación de la Contribución Especial a Ingresar"},
    {"TS", "Tablas del Sistema"},
};

QString dateText(const std::optional<DateTime>& date) {
    return date ? QString::fromStdString(formatDate(*date)) : QString();
}

QString isoText(const std::optional<DateTime>& date) {
    return date ? QString::fromStdString(toIso(*date)) : QString();
}

QPushButton* commandButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

frmDDJJ::frmDDJJ(Context& context, QtUserInterface& ui, QWidget* parent) : QWidget(parent), context_(context), ui_(ui) {
    setObjectName(QStringLiteral("frmDDJJ"));
    setWindowTitle(QStringLiteral("Declaración Jurada"));
    setHelpContext(*this, kHelpDeclarations);
    buildControls();
    shadeReadOnly(*this);
}

void frmDDJJ::buildControls() {
    auto* select = new QGroupBox(QStringLiteral("Seleccionar"), this);
    list_ = new QTableView(select);
    list_->setObjectName(QStringLiteral("dbgDDJJ"));
    list_->setAccessibleName(QStringLiteral("Declaraciones juradas del contribuyente"));
    rows_ = new QStandardItemModel(0, 6, list_);
    rows_->setHorizontalHeaderLabels({QStringLiteral("Período"), QStringLiteral("Secuencia"), QStringLiteral("Tipo"),
                                      QStringLiteral("Desde"), QStringLiteral("Hasta"), QStringLiteral("Ejerc.")});
    rows_->setSortRole(kSortRole);
    list_->setModel(rows_);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSortingEnabled(true);
    list_->sortByColumn(0, Qt::AscendingOrder);
    list_->verticalHeader()->hide();
    list_->horizontalHeader()->setStretchLastSection(false);
    list_->setAlternatingRowColors(true);
    (new QVBoxLayout(select))->addWidget(list_);
    connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, guarded(ui_, [this] {
                if (mode_ == QLatin1String("C") || mode_ == QLatin1String("E")) {
                    loadSelected();
                }
            }));

    auto* entries = new QGroupBox(QStringLiteral("Datos a cargar"), this);
    auto* form = new QFormLayout(entries);
    kinds_ = new QComboBox(entries);
    kinds_->setObjectName(inputName("cbo", HeaderTable::iTipoEjercicioFiscal));
    sequences_ = new QComboBox(entries);
    sequences_->setObjectName(inputName("dbc", HeaderTable::CODIGO_T_SECUENCIAS));
    auto* period = new NumberEdit(inputName("txt", HeaderTable::lPeriodo), 0, entries);
    period->setMaxLength(4);
    auto* from = new DateEdit(inputName("txt", HeaderTable::fPeriodoFiscalDesde), entries);
    auto* to = new DateEdit(inputName("txt", HeaderTable::fPeriodoFiscalHasta), entries);
    auto* economicYear = new NumberEdit(inputName("txt", HeaderTable::iEjercicioEconomico), 0, entries);
    economicYear->setMaxLength(2);
    for (QLineEdit* line : {static_cast<QLineEdit*>(period), static_cast<QLineEdit*>(from), static_cast<QLineEdit*>(to),
                            static_cast<QLineEdit*>(economicYear)}) {
        line->setMaximumWidth(line->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 16);
    }
    form->addRow(QStringLiteral("Período Fiscal (AAAA):"), period);
    form->addRow(QStringLiteral("Secuencia de Presentación:"), sequences_);
    form->addRow(QStringLiteral("Tipo de Ejercicio Fiscal:"), kinds_);
    form->addRow(QStringLiteral("Período Fiscal - Desde:"), from);
    form->addRow(QStringLiteral("Período Fiscal - Hasta:"), to);
    form->addRow(QStringLiteral("Ejercicio Económico Nº:"), economicYear);

    auto* sections = new QGroupBox(QStringLiteral("Secciones de la &declaración"), this);
    tree_ = new QTreeWidget(sections);
    tree_->setObjectName(QStringLiteral("tvwWindows"));
    tree_->setHeaderHidden(true);
    tree_->setAccessibleName(QStringLiteral("Secciones de la declaración"));
    tree_->setToolTip(QStringLiteral("Doble clic (o Intro) para abrir una sección"));
    auto* sectionsLayout = new QVBoxLayout(sections);
    sectionsLayout->addWidget(tree_);
    connect(tree_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* node) { runGuarded(ui_, [&] { openNode(node); }); });
    // Before generating: the check of the declaration, and the file read back field by field.
    auto* review = new QHBoxLayout;
    auto* verify = new QPushButton(QStringLiteral("&Verificar"), sections);
    verify->setObjectName(QStringLiteral("cmdVerificar"));
    verify->setToolTip(QStringLiteral("Lo que impediría generar la declaración y lo que conviene revisar"));
    connect(verify, &QPushButton::clicked, this, guarded(ui_, [this] {
                if (rows_->rowCount() == 0) {
                    MsgInformacion(ui_, "Por favor, primero cargue una Declaración Jurada antes de proceder.");
                    return;
                }
                verifyDeclaration(context_);
            }));
    auto* inspect = new QPushButton(QStringLiteral("Inspeccionar A&rchivo..."), sections);
    inspect->setObjectName(QStringLiteral("cmdInspeccionar"));
    connect(inspect, &QPushButton::clicked, this, guarded(ui_, [this] { frmInspector(context_, this).exec(); }));
    review->addWidget(verify);
    review->addWidget(inspect);
    review->addStretch();
    sectionsLayout->addLayout(review);

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("picMant"));
    auto* buttons = new QHBoxLayout(bar);
    buttons->setContentsMargins(0, 0, 0, 0);
    const std::pair<const char*, const char*> commands[] = {
        {"cmdNew", "Nuevo (Ctrl+N)"},        {"cmdEdit", "Modificar (Ctrl+M)"},
        {"cmdDelete", "Eliminar (Ctrl+E)"},  {"cmdOk", "Aceptar (Ctrl+A)"},
        {"cmdCancel", "Cancelar (Ctrl+C)"},  {"cmdCopy", "Copiar (Ctrl+P)"},
        {"cmdPrint", "Imprimir (Ctrl+I)"},   {"cmdForm", "Imprimir Formulario (Ctrl+F)"},
        {"cmdGenerate", "Generar (Ctrl+G)"}, {"cmdImport", "Importar (Ctrl+R)"},
        {"cmdQuery", "Consultar (Ctrl+C)"},
    };
    const std::function<void()> actions[] = {
        [this] { cmdNew_Click(); },    [this] { cmdEdit_Click(); },   [this] { cmdDelete_Click(); },
        [this] { cmdOk_Click(); },     [this] { cmdCancel_Click(); }, [this] { cmdCopy_Click(); },
        [this] { cmdPrint_Click(); },  [this] { cmdForm_Click(); },   [this] { cmdGenerate_Click(); },
        [this] { cmdImport_Click(); }, [this] { cmdQuery_Click(); },
    };
    for (std::size_t i = 0; i < std::size(commands); ++i) {
        auto* button = commandButton(QLatin1String(commands[i].first), QString::fromUtf8(commands[i].second), bar);
        connect(button, &QPushButton::clicked, this, guarded(ui_, actions[i]));
        buttons->addWidget(button);
    }
    buttons->addStretch();
    DressButtonBar(*this);

    auto* right = new QVBoxLayout;
    right->addWidget(entries);
    right->addWidget(sections, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(select, 3);
    top->addLayout(right, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(bar);

    setTabOrder(list_, period);
    setTabOrder(period, sequences_);
    setTabOrder(sequences_, kinds_);
    setTabOrder(kinds_, from);
    setTabOrder(from, to);
    setTabOrder(to, economicYear);
    // The sections frame, with the tree first in it, follows as built: its access key then
    // leads to the tree.
}

void frmDDJJ::InicializeObjects() {
    mode_ = QStringLiteral("C");
    context_.currentDeclaration = std::make_shared<BDDJJ>(context_);
    fillLists();
    refreshList(0);
    if (rows_->rowCount() == 0) {
        ClearControls(*this);
        // The taxpayer is known before any declaration: a new cooperative sees its name at once.
        emit taxpayerLine(QString::fromStdString(kapred::taxpayerLine(context_)));
    }
    showBrowsing();
    FillTree();
}

void frmDDJJ::fillLists() {
    kinds_->clear();
    for (const auto& kind : kFiscalYearKinds) {
        kinds_->addItem(QString::fromLatin1(kind.name), kind.code);
    }
    sequences_->clear();
    for (const auto& sequence : presentationSequences(*currentHeader(context_))) {
        sequences_->addItem(QString::fromStdString(sequence.description), sequence.code);
    }
}

int frmDDJJ::declarationCount() const {
    return rows_->rowCount();
}

long frmDDJJ::selectedCode() const {
    const QModelIndex current = list_->currentIndex();
    return current.isValid() ? rows_->item(current.row(), 0)->data(kCodeRole).toLongLong() : 0;
}

void frmDDJJ::refreshList(long selectCode) {
    const QSignalBlocker quiet(list_->selectionModel());
    rows_->removeRows(0, rows_->rowCount());
    for (const auto& declaration : taxpayerDeclarations(context_)) {
        const long long code = declaration.code;
        QList<QStandardItem*> row{
            gridCell(QStringLiteral("%1").arg(declaration.period, 4, 10, QLatin1Char('0')), QVariant::fromValue(code),
                     Qt::AlignRight),
            gridCell(QString::fromStdString(declaration.sequenceName), declaration.sequence),
            gridCell(QString::fromStdString(declaration.fiscalYearKind),
                     QString::fromStdString(declaration.fiscalYearKind)),
            gridCell(dateText(declaration.from), isoText(declaration.from), Qt::AlignRight),
            gridCell(dateText(declaration.to), isoText(declaration.to), Qt::AlignRight),
            gridCell(QString::number(declaration.economicYear), QVariant::fromValue(declaration.economicYear),
                     Qt::AlignRight),
        };
        row.front()->setData(QVariant::fromValue(code), kCodeRole);
        rows_->appendRow(row);
    }
    rows_->sort(list_->horizontalHeader()->sortIndicatorSection(), list_->horizontalHeader()->sortIndicatorOrder());
    list_->resizeColumnsToContents();
    const int found = rowOfKey(*rows_, kCodeRole, selectCode);
    const int target = found >= 0 ? found : (rows_->rowCount() > 0 ? 0 : -1);
    if (target >= 0) {
        list_->setCurrentIndex(rows_->index(target, 0));
        loadSelected();
    }
}

bool frmDDJJ::selectDeclaration(long codDJ) {
    const int row = rowOfKey(*rows_, kCodeRole, codDJ);
    if (row < 0) {
        return false;
    }
    list_->setCurrentIndex(rows_->index(row, 0));
    loadSelected();
    return true;
}

void frmDDJJ::loadSelected() {
    const long code = selectedCode();
    if (code == 0 || !loadDeclaration(context_, Variant(static_cast<std::int32_t>(code)))) {
        return;
    }
    ClearControls(*this);
    ShowEntity(*this, HeaderTable::columns, *context_.currentDeclaration->Entity);
    FillTree();
    emit taxpayerLine(QString::fromStdString(kapred::taxpayerLine(context_)));
}

void frmDDJJ::FillTree() {
    if (tree_->topLevelItemCount() == 0) {
        auto* root = new QTreeWidgetItem(tree_, QStringList{QStringLiteral("Declaración Jurada")});
        root->setData(0, kCodeRole, QStringLiteral("DJ"));
        root->setIcon(0, QIcon::fromTheme(QStringLiteral("x-office-document"),
                                          style()->standardIcon(QStyle::SP_FileDialogDetailedView)));
        for (const auto& node : kNodes) {
            auto* child = new QTreeWidgetItem(root, QStringList{QString::fromUtf8(node.text)});
            const QString key = QString::fromLatin1(node.key.data(), static_cast<qsizetype>(node.key.size()));
            child->setData(0, kCodeRole, key);
            const bool tables = key == QLatin1String("TS");
            child->setIcon(0, tables ? QIcon::fromTheme(QStringLiteral("accessories-dictionary"),
                                                        style()->standardIcon(QStyle::SP_DriveHDIcon))
                                     : QIcon::fromTheme(QStringLiteral("dialog-information"),
                                                        style()->standardIcon(QStyle::SP_MessageBoxInformation)));
            child->setData(0, kNodeImageRole, tables ? QStringLiteral("sistema") : QStringLiteral("info"));
        }
        root->setExpanded(true);
    }
    // The liabilities node tells whether the declaration has its liabilities loaded.
    QTreeWidgetItem* liabilities = tree_->topLevelItem(0)->child(1);
    const bool full = rows_->rowCount() > 0 && declarationHasRows(context_, std::string(tables::Pasivo::table));
    const QIcon document =
        QIcon::fromTheme(QStringLiteral("x-office-document"), style()->standardIcon(QStyle::SP_FileIcon));
    liabilities->setIcon(0, full ? document : QIcon(document.pixmap(16, QIcon::Disabled)));
    liabilities->setData(0, kNodeImageRole, full ? QStringLiteral("full") : QStringLiteral("empty"));
    liabilities->setToolTip(0, full ? QStringLiteral("El pasivo está cargado") : QStringLiteral("Sin pasivo cargado"));
}

void frmDDJJ::showBrowsing() {
    const bool hasRecords = rows_->rowCount() > 0;
    SetButtonsState(*this, kBrowsing, hasRecords, false);
    EnableInputs(kBrowsing, *this, true);
    tree_->setEnabled(hasRecords);
    // The inputs, read-only now, let the focus go to the first command offered.
    focusFirstButton(*this);
}

void frmDDJJ::showEditing(bool keyFieldsLocked) {
    SetButtonsState(*this, kEditing, rows_->rowCount() > 0, false);
    EnableInputs(kEditing, *this, false);
    if (keyFieldsLocked) {
        for (const QString& name : kKeyControls) {
            if (auto* control = findChild<QWidget*>(name)) {
                if (auto* line = qobject_cast<QLineEdit*>(control)) {
                    line->setReadOnly(true);
                } else {
                    control->setEnabled(false);
                }
                control->setFocusPolicy(Qt::NoFocus);
            }
        }
        kinds_->setFocus();
    }
}

void frmDDJJ::cmdNew_Click() {
    mode_ = QStringLiteral("A");
    ClearControls(*this);
    kinds_->setCurrentIndex(0);
    showEditing(false);
}

void frmDDJJ::cmdEdit_Click() {
    if (rows_->rowCount() == 0) {
        return;
    }
    mode_ = QStringLiteral("E");
    currentHeader(context_)->EDIT();
    showEditing(true);
}

void frmDDJJ::cmdOk_Click() {
    if (mode_ == QLatin1String("C")) {
        return;
    }
    BDDJJ& header = *currentHeader(context_);
    const EntryValues values = ReadControls(*this, HeaderTable::columns);
    const bool adding = mode_ == QLatin1String("A");
    const int code = header.Aceptar(adding ? EntryMode::Adding : EntryMode::Modifying, values);
    if (code != 0) {
        ShowInconsistencies(ui_, header, code, context_.numberFormat());
        FocusFirstListed(*this, header);
        return;
    }
    const long saved = static_cast<long>(header.Entity->vGetFieldValue(HeaderTable::CodDJ).toWholeNumber().value_or(0));
    mode_ = QStringLiteral("E");
    refreshList(saved);
    showBrowsing();
}

void frmDDJJ::cmdCancel_Click() {
    mode_ = QStringLiteral("C");
    ClearControls(*this);
    if (rows_->rowCount() > 0) {
        loadSelected();
    }
    showBrowsing();
}

void frmDDJJ::cmdDelete_Click() {
    if (rows_->rowCount() == 0 ||
        !ui_.askYesNo(MessageIcon::Question, "Confirmar!", "Desea eliminar el Registro Actual?")) {
        return;
    }
    BDDJJ& header = *currentHeader(context_);
    if (!header.bDeleteDeclaration()) {
        MsgError(ui_, "No se pudo eliminar la Declaración Jurada. " + failureReasons(header));
    }
    ClearControls(*this);
    refreshList(0);
    showBrowsing();
    FillTree();
}

void frmDDJJ::cmdCopy_Click() {
    if (rows_->rowCount() == 0) {
        return;
    }
    const long origin = selectedCode();
    frmCopiaDJ copy(context_, ui_, this);
    copy.exec();
    refreshList(origin);
}

void frmDDJJ::cmdPrint_Click() {
    ImprimirPantalla(context_, *this);
}

void frmDDJJ::cmdForm_Click() {
    // The menu reaches it with no declaration listed: there would be nothing to print.
    if (rows_->rowCount() == 0) {
        MsgInformacion(ui_, "Por favor, primero cargue una Declaración Jurada antes de proceder.");
        return;
    }
    printDeclarationForm(context_, this);
}

void frmDDJJ::cmdGenerate_Click() {
    // The menu reaches it with no declaration listed: there would be nothing to generate.
    if (rows_->rowCount() == 0) {
        MsgInformacion(ui_, "Por favor, primero cargue una Declaración Jurada antes de proceder.");
        return;
    }
    startGeneration(context_, this);
}

void frmDDJJ::cmdImport_Click() {
    if (rows_->rowCount() == 0) {
        MsgInformacion(ui_, "Por favor, primero cargue una Declaración Jurada antes de proceder.");
        return;
    }
    frmImportar formats(context_, ui_, this);
    formats.exec();
    // An import may have filled the liabilities.
    FillTree();
}

void frmDDJJ::cmdQuery_Click() {
    if (rows_->rowCount() == 0) {
        MsgInformacion(ui_, "Por favor, primero cargue una Declaración Jurada antes de proceder.");
        return;
    }
    frmPapelesdeTrabajo papers(context_, this);
    papers.exec();
}

void frmDDJJ::openNode(QTreeWidgetItem* node) {
    if (node == nullptr || node->parent() == nullptr || rows_->rowCount() == 0) {
        return;
    }
    const QString key = node->data(0, kCodeRole).toString();
    if (key == QLatin1String("TS")) {
        frmTablasSistema tables(context_, this);
        tables.exec();
    } else {
        openSectionWindow(context_, ui_, key.toStdString(), this);
    }
    FillTree();
}

void frmDDJJ::keyPressEvent(QKeyEvent* event) {
    // Escape is Cancelar while Cancelar is offered.
    auto* cancel = findChild<QPushButton*>(QStringLiteral("cmdCancel"));
    if (event->key() == Qt::Key_Escape && cancel != nullptr && cancel->isVisibleTo(this)) {
        cmdCancel_Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmDDJJ::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    prepareKeyboard(*this);
}

void frmDDJJ::keyReleaseEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::ControlModifier && HandleCtrlKey(*this, event->key())) {
        return;
    }
    QWidget::keyReleaseEvent(event);
}

}  // namespace kapred::ui
