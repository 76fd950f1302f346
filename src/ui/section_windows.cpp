#include "ui/section_windows.h"

#include <algorithm>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "calc/computed_windows.h"
#include "data/validation.h"
#include "data/values/numeric_text.h"
#include "model/tables/captions.h"
#include "ui/help.h"
#include "ui/input_widgets.h"
#include "ui/list_rows_model.h"
#include "ui/screen_print.h"
#include "ui/window_routines.h"

namespace kapred::ui {

namespace {

// The deletion of a list runs in the handler of its button, a million rows in a second or two:
// the window repaints meanwhile, under the wait cursor, and the user's input waits until the
// deletion ends, so that neither a second deletion nor the closing of the window starts amid it.
bool deleteListRepainting(SectionObject& object) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    return deleteListRows(object, [] { QApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
}

// The figures of a computed window, in frames, with the windows their detail buttons open.
struct FigureRow {
    const char* figure;
    std::string_view detail;  // empty: no detail button
};
struct FigureFrame {
    const char* caption;
    std::vector<FigureRow> rows;
};
struct ComputedLayout {
    const char* name;
    int help;
    std::vector<FigureFrame> frames;
    bool printable;
};

const std::vector<ComputedLayout>& computedLayouts() {
    using namespace tables;
    static const std::vector<ComputedLayout> layouts{
        {"Activo",
         6,
         {{nullptr,
           {{"ccActivoComputable", ActivoComputable::table},
            {"ccActivoNoComputable", ActivoNoComputable::table},
            {"ccActivo", {}}}}},
         true},
        {"Liquidacion",
         15,
         {{"Determinación del Capital Computable",
           {{"ccActivoComputable", {}}, {"ccPasivoAlCierre", {}}, {"ccCapitalAlCierre", {}}}},
          {"Determinación de la Contribución Especial ",
           {{"ccDeduccionesAlCierre", LiqDeduccionesAlCapital::table},
            {"ccCapitalCooperativo", {}},
            {"ccAlicuota", {}},
            {"ccContribEspecial", {}}}}},
         true},
        {"Determinacion",
         21,
         {{nullptr,
           {{"ccSaldoFavorPeriodoAnt", SaldoFavorPeriodoAnt::table},
            {"ccPagosCuenta", PagosCuenta::table},
            {"ccAnticipos", Anticipos::table},
            {"ccContribEspecial", {}},
            {"ccSaldoRexa", {}},
            {"ccSaldoContrib", {}}}}},
         false},
    };
    return layouts;
}

QString label(const std::string& entity, const std::string& field) {
    QString caption = QString::fromStdString(fieldLabel(entity, field).value_or(field)).remove(QLatin1Char('&'));
    return caption.trimmed() + QLatin1Char(':');
}

int amountWidth(const QWidget& widget) {
    return widget.fontMetrics().horizontalAdvance(QStringLiteral("-99.999.999.999,99")) + 20;
}

NumberEdit* totalBox(const std::string& total, QWidget* parent) {
    auto* box = new NumberEdit(QStringLiteral("txt") + QString::fromStdString(total), 2, parent);
    box->setFixedWidth(amountWidth(*box));
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    QFont bold = box->font();
    bold.setBold(true);
    box->setFont(bold);
    return box;
}

QPushButton* commandButton(const char* name, const char* caption, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

// The detail button that opens another section's window.
QToolButton* detailButton(const std::string& window, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QStringLiteral("imgDetail"));
    button->setIcon(QIcon::fromTheme(QStringLiteral("go-next"), parent->style()->standardIcon(QStyle::SP_ArrowRight)));
    const QString caption = QString::fromStdString(windowCaption(window).value_or(window)).trimmed();
    // The button names the window it opens: a line may have two.
    button->setText(caption);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setToolTip(QStringLiteral("Abrir \"%1\"").arg(caption));
    button->setAccessibleName(button->toolTip());
    return button;
}

}  // namespace

bool openSectionWindow(Context& context, QtUserInterface& ui, const std::string& name, QWidget* parent) {
    for (const auto& computed : computedLayouts()) {
        if (computed.name == name) {
            frmCalculo window(context, ui, name, parent);
            window.exec();
            return true;
        }
    }
    const auto section = findSection(name);
    if (!section) {
        return false;
    }
    frmSeccion window(context, ui, *section, parent);
    window.InicializeObjects();
    window.exec();
    return true;
}

frmSeccion::frmSeccion(Context& context, QtUserInterface& ui, const SectionInfo& section, QWidget* parent)
    : QDialog(parent), context_(context), ui_(ui), section_(section) {
    setObjectName(QStringLiteral("frm") + QString::fromStdString(section.name));
    setWindowTitle(QString::fromStdString(section.caption).trimmed());
    setHelpContext(*this, section.description->help);
    buildGrid();
    buildInputs();
    buildButtons();
    DressButtonBar(*this);
    alignForms(*this);
    shadeReadOnly(*this);
    // Laid out once, here: nothing the window shows later changes its size.
    adjustSize();
    fitTitle(*this);
}

QWidget* frmSeccion::inputFor(const SectionField& field, QWidget* parent) {
    const QString name = QString::fromStdString(field.name);
    const bool insuranceFlag = section_.name == tables::Pasivo::table &&
                               std::ranges::any_of(tables::Pasivo::insuranceAmounts,
                                                   [&field](const auto& pair) { return pair.flag.name == field.name; });
    if (insuranceFlag) {
        auto* list = new QComboBox(parent);
        list->setObjectName(QStringLiteral("cbo") + name);
        list->addItem(QStringLiteral("NO"), 0);
        list->addItem(QStringLiteral("SI"), 1);
        connect(list, &QComboBox::currentIndexChanged, this,
                guarded(ui_, [this, list] { applyInsuranceChoice(list); }));
        return list;
    }
    switch (field.type) {
        case db::DataType::Date: {
            // As wide as a date, like the amount beside it: not the whole row.
            auto* date = new DateEdit(QStringLiteral("txt") + name, parent);
            date->setFixedWidth(date->fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000")) + 20);
            return date;
        }
        case db::DataType::Currency: {
            auto* amount = new NumberEdit(QStringLiteral("txt") + name, 2, parent);
            amount->setFixedWidth(amountWidth(*amount));
            return amount;
        }
        case db::DataType::Integer:
        case db::DataType::Long: {
            auto* number = new NumberEdit(QStringLiteral("txt") + name, 0, parent);
            number->setMaximumWidth(number->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 20);
            return number;
        }
        default:
            return new QLineEdit(parent);
    }
}

void frmSeccion::addDetail(QWidget* beside, const std::string& window) {
    auto* row = beside->parentWidget();
    auto* button = detailButton(window, row);
    connect(button, &QToolButton::clicked, this, guarded(ui_, [this, window] {
                openSectionWindow(context_, ui_, window, this);
                showTotals();
            }));
    if (auto* form = qobject_cast<QFormLayout*>(row->layout())) {
        int index = -1;
        QFormLayout::ItemRole role;
        form->getWidgetPosition(beside, &index, &role);
        form->removeWidget(beside);
        auto* pair = new QWidget(row);
        auto* line = new QHBoxLayout(pair);
        line->setContentsMargins(0, 0, 0, 0);
        beside->setParent(pair);
        line->addWidget(beside);
        line->addWidget(button);
        line->addStretch();
        form->setWidget(index, QFormLayout::FieldRole, pair);
    }
}

void frmSeccion::buildInputs() {
    const SectionDescription& layout = *section_.description;
    const auto fieldNamed = [this](const tables::Column& column) {
        for (const auto& field : section_.fields) {
            if (field.name == column.name) {
                return field;
            }
        }
        return SectionField{std::string(column.name), std::string(column.name), column.type};
    };
    const auto fillForm = [&](QFormLayout* form, QWidget* parent, const std::vector<tables::Column>& fields) {
        for (const auto& column : fields) {
            form->addRow(label(section_.name, std::string(column.name)), inputFor(fieldNamed(column), parent));
        }
    };

    auto* entries = new QGroupBox(QStringLiteral(" Datos a Cargar "), this);
    auto* entriesLayout = new QVBoxLayout(entries);
    if (layout.pages.empty()) {
        auto* form = new QFormLayout;
        for (const auto& field : section_.fields) {
            form->addRow(label(section_.name, field.name), inputFor(field, entries));
        }
        entriesLayout->addLayout(form);
    } else {
        pages_ = new QTabWidget(entries);
        pages_->setObjectName(QStringLiteral("tabPaginas"));
        for (const auto& page : layout.pages) {
            auto* sheet = new QWidget(pages_);
            auto* sheetLayout = new QVBoxLayout(sheet);
            for (const auto& frame : page.frames) {
                // Every frame, captioned or not, nests its form alike: the inputs of all the pages
                // then line up.
                auto* holder = new QGroupBox(qtText(frame.caption), sheet);
                auto* form = new QFormLayout(holder);
                fillForm(form, holder, frame.fields);
                if (!frame.subtotal.empty()) {
                    form->addRow(QStringLiteral("Subtotal:"), totalBox(std::string(frame.subtotal), holder));
                }
                sheetLayout->addWidget(holder);
            }
            sheetLayout->addStretch();
            pages_->addTab(sheet, qtText(page.caption));
        }
        entriesLayout->addWidget(pages_);
        // The first input of the second page brings its page forward when it gets the focus.
        const tables::Column& firstOfSecond = layout.pages[1].frames.front().fields.front();
        if (auto* first = findChild<QWidget*>(QStringLiteral("txt") + qtText(firstOfSecond.name))) {
            first->installEventFilter(this);
        }
    }

    if (!layout.totals.empty()) {
        auto* totals = new QWidget(entries);
        auto* form = new QFormLayout(totals);
        form->setContentsMargins(0, 6, 0, 0);
        for (const auto total : layout.totals) {
            form->addRow(label(section_.name, std::string(total)), totalBox(std::string(total), totals));
        }
        entriesLayout->addWidget(totals);
        for (const auto& detail : layout.details) {
            if (auto* box = findChild<QWidget*>(QStringLiteral("txt") + qtText(detail.beside))) {
                addDetail(box, std::string(detail.window));
            }
        }
    }
    static_cast<QVBoxLayout*>(this->layout())->insertWidget(grid_ != nullptr ? 1 : 0, entries, 1);
}

void frmSeccion::buildGrid() {
    auto* layout = new QVBoxLayout(this);
    if (section_.kind() != SectionKind::List) {
        return;
    }
    auto* select = new QGroupBox(QStringLiteral(" Seleccionar "), this);
    grid_ = new QTableView(select);
    grid_->setObjectName(QStringLiteral("dbg") + QString::fromStdString(section_.name));
    rows_ = new ListRowsModel(grid_);
    grid_->setModel(rows_);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setSortingEnabled(true);
    grid_->sortByColumn(0, Qt::AscendingOrder);
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->setAlternatingRowColors(true);
    grid_->setMinimumHeight(180);
    // The columns as wide as their longest possible content from the start: rows coming and
    // going never resize the window.
    const QFontMetrics metrics = grid_->fontMetrics();
    const int padding = 4 * grid_->style()->pixelMetric(QStyle::PM_HeaderMargin) + 16;
    int width = 2 * grid_->frameWidth() + grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QStringList widest{QStringLiteral("Nº 00000"), QStringLiteral("00/00/0000"),
                             QStringLiteral("-99.999.999.999,99")};
    for (int column = 0; column < widest.size(); ++column) {
        const int needed = metrics.horizontalAdvance(widest[column]) + padding;
        grid_->setColumnWidth(column, needed);
        width += needed;
    }
    grid_->setMinimumWidth(width);
    (new QVBoxLayout(select))->addWidget(grid_);
    layout->addWidget(select, 2);
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, guarded(ui_, [this] {
                if (mode_ != QLatin1String("A")) {
                    loadRow();
                }
            }));
}

void frmSeccion::buildButtons() {
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("picMant"));
    auto* buttons = new QHBoxLayout(bar);
    buttons->setContentsMargins(0, 0, 0, 0);
    const bool list = section_.kind() == SectionKind::List;
    struct Command {
        const char* name;
        const char* caption;
        std::function<void()> action;
    };
    std::vector<Command> commands{
        {"cmdNew", "Nuevo (Ctrl+N)", [this] { cmdNew_Click(); }},
        {"cmdEdit", "Modificar (Ctrl+M)", [this] { cmdEdit_Click(); }},
        {"cmdDelete", "Eliminar (Ctrl+E)", [this] { cmdDelete_Click(); }},
    };
    if (list) {
        commands.push_back({"cmdDeleteAll", "Eliminar Todos (Ctrl+T)", [this] { cmdDeleteAll_Click(); }});
    }
    commands.push_back({"cmdOk", "Aceptar (Ctrl+A)", [this] { cmdOk_Click(); }});
    commands.push_back({"cmdCancel", "Cancelar (Ctrl+C)", [this] { cmdCancel_Click(); }});
    commands.push_back({"cmdPrint", "Imprimir (Ctrl+I)", [this] { cmdPrint_Click(); }});
    commands.push_back({"cmdExit", "Salir (Ctrl+S)", [this] { reject(); }});
    for (const auto& command : commands) {
        auto* button = commandButton(command.name, command.caption, bar);
        connect(button, &QPushButton::clicked, this, guarded(ui_, command.action));
        buttons->addWidget(button);
    }
    buttons->addStretch();
    layout()->addWidget(bar);
}

void frmSeccion::InicializeObjects() {
    mode_ = QStringLiteral("C");
    object_ = createSection(context_, section_.name);
    ClearControls(*this);
    if (grid_ != nullptr) {
        refreshGrid(0);
    } else if (object_->bFind()) {
        ShowEntity(*this, section_.description->columns, *object_->Entity);
    }
    showBrowsing();
    showTotals();
}

int frmSeccion::rowCount() const {
    return rows_ != nullptr ? rows_->rowCount() : 0;
}

bool frmSeccion::hasRecords() const {
    if (grid_ != nullptr) {
        return rows_->rowCount() > 0;
    }
    return object_->g_bEdit;
}

long frmSeccion::selectedId() const {
    const QModelIndex current = grid_->currentIndex();
    return current.isValid() ? rows_->idAt(current.row()) : 0;
}

void frmSeccion::refreshGrid(long selectId) {
    const QSignalBlocker quiet(grid_->selectionModel());
    rows_->setRows(listRows(context_, *object_));
    const int found = rows_->rowOf(selectId);
    const int target = found >= 0 ? found : (rows_->rowCount() > 0 ? 0 : -1);
    if (target >= 0) {
        grid_->setCurrentIndex(rows_->index(target, 0));
        loadRow();
    }
}

bool frmSeccion::selectRow(long id) {
    const int row = grid_ != nullptr ? rows_->rowOf(id) : -1;
    if (row < 0) {
        return false;
    }
    grid_->setCurrentIndex(rows_->index(row, 0));
    loadRow();
    return true;
}

void frmSeccion::loadRow() {
    ClearControls(*this);
    const bool found = grid_ != nullptr ? selectedId() > 0 && findListRow(*object_, selectedId()) : object_->bFind();
    if (found) {
        ShowEntity(*this, section_.description->columns, *object_->Entity);
    }
}

void frmSeccion::showTotals() {
    object_->CalculateLocalTotals(grid_ != nullptr ? kListIndex : kPrimaryKey);
    for (const auto& figure : object_->totals()) {
        if (auto* box = findChild<NumberEdit*>(QStringLiteral("txt") + QString::fromStdString(figure.name))) {
            box->setAmount(figure.amount);
        }
    }
    // The liabilities' totals read their row again, which puts the saved values back.
    if (mode_ == QLatin1String("C") || mode_ == QLatin1String("E")) {
        loadRow();
    }
}

void frmSeccion::showBrowsing() {
    SetButtonsState(*this, kBrowsing, hasRecords(), grid_ == nullptr);
    EnableInputs(kBrowsing, *this, true);
    // Browsing, the inputs take no focus: the first command offered does.
    focusFirstButton(*this);
}

void frmSeccion::showEditing() {
    SetButtonsState(*this, kEditing, hasRecords(), grid_ == nullptr);
    EnableInputs(kEditing, *this, false);
    for (auto* list : findChildren<QComboBox*>()) {
        applyInsuranceChoice(list);
    }
}

void frmSeccion::applyInsuranceChoice(QComboBox* list) {
    for (const auto& [flag, amountColumn] : tables::Pasivo::insuranceAmounts) {
        if (list->objectName() != QStringLiteral("cbo") + qtText(flag.name)) {
            continue;
        }
        auto* amount = findChild<NumberEdit*>(QStringLiteral("txt") + qtText(amountColumn.name));
        if (amount == nullptr || mode_ == QLatin1String("C")) {
            return;
        }
        const bool yes = list->currentData().toInt() == 1;
        if (list->currentIndex() < 0) {
            amount->clear();
        } else if (!yes) {
            amount->setText(QStringLiteral("0"));
        }
        amount->setReadOnly(!yes);
        amount->setFocusPolicy(yes ? Qt::StrongFocus : Qt::NoFocus);
    }
}

void frmSeccion::cmdNew_Click() {
    mode_ = QStringLiteral("A");
    ClearControls(*this);
    // The yes/no lists start at NO.
    for (auto* list : findChildren<QComboBox*>()) {
        list->setCurrentIndex(0);
    }
    showEditing();
    if (pages_ != nullptr) {
        pages_->setCurrentIndex(0);
    }
}

void frmSeccion::cmdEdit_Click() {
    if (!hasRecords()) {
        return;
    }
    mode_ = QStringLiteral("E");
    object_->EDIT();
    showEditing();
}

void frmSeccion::cmdOk_Click() {
    if (mode_ == QLatin1String("C")) {
        return;
    }
    const EntryValues values = ReadControls(*this, section_.description->columns);
    const bool adding = mode_ == QLatin1String("A");
    const int code = object_->Aceptar(adding ? EntryMode::Adding : EntryMode::Modifying, values);
    if (code != 0) {
        ShowInconsistencies(ui_, *object_, code, context_.numberFormat());
        FocusFirstListed(*this, *object_);
        return;
    }
    mode_ = QStringLiteral("E");
    if (grid_ != nullptr) {
        refreshGrid(
            static_cast<long>(object_->Entity->vGetFieldValue(tables::ListSection::ID).toWholeNumber().value_or(0)));
    }
    showBrowsing();
    showTotals();
}

void frmSeccion::cmdCancel_Click() {
    mode_ = QStringLiteral("C");
    loadRow();
    showBrowsing();
}

void frmSeccion::cmdDelete_Click() {
    if (!hasRecords() || !ui_.askYesNo(MessageIcon::Question, "Confirmar!", "Desea eliminar el Registro Actual?")) {
        return;
    }
    if (grid_ != nullptr) {
        findListRow(*object_, selectedId());
    }
    if (!object_->bDelete(kPrimaryKey)) {
        MsgError(ui_, "No se pudo eliminar el registro. " + failureReasons(*object_));
    }
    mode_ = QStringLiteral("C");
    ClearControls(*this);
    if (grid_ != nullptr) {
        refreshGrid(0);
    }
    showBrowsing();
    showTotals();
}

void frmSeccion::cmdDeleteAll_Click() {
    if (!hasRecords() || !ui_.askYesNo(MessageIcon::Question, "Confirmar!", "Desea Eliminar Todos los Registros ?")) {
        return;
    }
    if (!deleteListRepainting(*object_)) {
        MsgError(ui_, "No se pudieron eliminar los registros. " + failureReasons(*object_));
    }
    mode_ = QStringLiteral("C");
    ClearControls(*this);
    refreshGrid(0);
    showBrowsing();
    showTotals();
}

void frmSeccion::cmdPrint_Click() {
    ImprimirPantalla(context_, *this);
}

void frmSeccion::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        // Cancelar while it is offered (editing), otherwise Salir.
        auto* cancel = findChild<QPushButton*>(QStringLiteral("cmdCancel"));
        if (cancel != nullptr && cancel->isVisibleTo(this)) {
            cmdCancel_Click();
        } else {
            reject();
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmSeccion::keyReleaseEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::ControlModifier && HandleCtrlKey(*this, event->key())) {
        return;
    }
    QDialog::keyReleaseEvent(event);
}

bool frmSeccion::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && pages_ != nullptr) {
        pages_->setCurrentIndex(1);
    }
    return QDialog::eventFilter(watched, event);
}

bool frmSeccion::focusNextPrevChild(bool next) {
    // Tab from the last input of a page goes on to the first of the next one, Shift+Tab from the
    // first back to the last of the one before: the pages read as one form.
    if (pages_ != nullptr && focusWidget() != nullptr && pages_->currentWidget()->isAncestorOf(focusWidget())) {
        const int page = pages_->currentIndex();
        const QList<QWidget*> here = tabStops(*this, *pages_->currentWidget());
        const int further = page + (next ? 1 : -1);
        if (!here.isEmpty() && focusWidget() == (next ? here.back() : here.front()) && further >= 0 &&
            further < pages_->count()) {
            const QList<QWidget*> there = tabStops(*this, *pages_->widget(further));
            if (!there.isEmpty()) {
                pages_->setCurrentIndex(further);
                (next ? there.front() : there.back())->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
                return true;
            }
        }
    }
    return QDialog::focusNextPrevChild(next);
}

void frmSeccion::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    prepareKeyboard(*this);
}

void frmCalculo::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    prepareKeyboard(*this);
}

frmCalculo::frmCalculo(Context& context, QtUserInterface& ui, const std::string& name, QWidget* parent)
    : QDialog(parent), context_(context), ui_(ui), name_(name), rateProblem_(new QLabel(this)) {
    setObjectName(QStringLiteral("frm") + QString::fromStdString(name));
    setWindowTitle(QString::fromStdString(windowCaption(name).value_or(name)).trimmed());
    auto* layout = new QVBoxLayout(this);
    const ComputedLayout* shape = nullptr;
    for (const auto& candidate : computedLayouts()) {
        if (candidate.name == name) {
            shape = &candidate;
        }
    }
    setHelpContext(*this, shape != nullptr ? shape->help : kHelpContents);
    for (const auto& frame : shape != nullptr ? shape->frames : std::vector<FigureFrame>{}) {
        QWidget* holder =
            frame.caption != nullptr ? new QGroupBox(QString::fromUtf8(frame.caption), this) : new QWidget(this);
        new QFormLayout(holder);
        for (const auto& row : frame.rows) {
            addFigureRow(holder, row.figure, std::string(row.detail));
        }
        layout->addWidget(holder);
    }
    rateProblem_->setObjectName(QStringLiteral("lblAlicuota"));
    rateProblem_->setWordWrap(true);
    rateProblem_->setStyleSheet(QStringLiteral("color: #b00020;"));
    rateProblem_->hide();
    layout->addWidget(rateProblem_);

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("picMant"));
    auto* buttons = new QHBoxLayout(bar);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch();
    if (shape != nullptr && shape->printable) {
        auto* print = commandButton("cmdPrint", "Imprimir (Ctrl+I)", bar);
        connect(print, &QPushButton::clicked, this, guarded(ui_, [this] { ImprimirPantalla(context_, *this); }));
        buttons->addWidget(print);
    }
    auto* exit = commandButton("cmdExit", "Salir (Ctrl+S)", bar);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(exit);
    layout->addWidget(bar);
    DressButtonBar(*this);
    alignForms(*this);
    shadeReadOnly(*this);
    showFigures();
    adjustSize();
    fitTitle(*this);
}

void frmCalculo::addFigureRow(QWidget* frame, const std::string& figure, const std::string& detail) {
    auto* form = static_cast<QFormLayout*>(frame->layout());
    auto* box = totalBox(figure, frame);
    if (detail.empty()) {
        form->addRow(label(name_, figure), box);
        return;
    }
    auto* pair = new QWidget(frame);
    auto* line = new QHBoxLayout(pair);
    line->setContentsMargins(0, 0, 0, 0);
    box->setParent(pair);
    line->addWidget(box);
    auto* button = detailButton(detail, pair);
    // The asset summary's non-computable line opens the exempt assets as well.
    line->addWidget(button);
    connect(button, &QToolButton::clicked, this, guarded(ui_, [this, detail] {
                openSectionWindow(context_, ui_, detail, this);
                showFigures();
            }));
    if (name_ == "Activo" && detail == tables::ActivoNoComputable::table) {
        const std::string exemptWindow(tables::ActivoExento::table);
        auto* exempt = detailButton(exemptWindow, pair);
        connect(exempt, &QToolButton::clicked, this, guarded(ui_, [this, exemptWindow] {
                    openSectionWindow(context_, ui_, exemptWindow, this);
                    showFigures();
                }));
        line->addWidget(exempt);
    }
    line->addStretch();
    form->addRow(label(name_, figure), pair);
}

void frmCalculo::showFigures() {
    const auto computed = computeWindowFigures(context_, name_);
    if (!computed) {
        return;
    }
    bool capitalAboveZero = true;
    for (const auto& figure : computed->figures) {
        if (auto* box = findChild<NumberEdit*>(QStringLiteral("txt") + QString::fromStdString(figure.name))) {
            box->setAmount(figure.amount);
        }
        if (figure.name == "ccCapitalAlCierre") {
            capitalAboveZero = figure.amount > Currency();
        }
    }
    // With no capital at close the deductions do not apply: their window cannot be opened.
    if (name_ == "Liquidacion") {
        for (auto* detail : findChildren<QToolButton*>(QStringLiteral("imgDetail"))) {
            detail->setEnabled(capitalAboveZero);
        }
    }
    rateProblem_->setText(QString::fromStdString(computed->rateProblem.value_or("")));
    rateProblem_->setVisible(computed->rateProblem.has_value());
    if (computed->notice) {
        MsgInformacion(ui_, *computed->notice);
    }
}

}  // namespace kapred::ui
