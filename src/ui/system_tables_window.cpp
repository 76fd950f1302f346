#include "ui/system_tables_window.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStyle>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "data/values/numeric_text.h"
#include "model/system_tables.h"
#include "model/tables/captions.h"
#include "ui/help.h"
#include "ui/qt_interface.h"
#include "ui/window_routines.h"

namespace kapred::ui {

namespace {

constexpr int kTableRole = Qt::UserRole;

QStandardItem* cell(const Variant& value) {
    auto* item = new QStandardItem;
    item->setEditable(false);
    if (const auto amount = value.type() == Variant::Type::Currency ? value.toCurrency() : std::nullopt) {
        item->setText(QString::fromStdString(formatAmount(*amount, 2)));
    } else {
        item->setText(QString::fromStdString(value.toText()));
    }
    if (value.isNumber()) {
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    return item;
}

}  // namespace

frmTablasSistema::frmTablasSistema(Context& context, QWidget* parent)
    : QDialog(parent),
      context_(context),
      tree_(new QTreeWidget(this)),
      grid_(new QTableView(this)),
      rows_(new QStandardItemModel(this)),
      frame_(new QGroupBox(this)) {
    setObjectName(QStringLiteral("frmTablasSistema"));
    setWindowTitle(QStringLiteral("Tablas del Sistema"));
    setHelpContext(*this, kHelpSystemTables);

    tree_->setObjectName(QStringLiteral("tvwTablas"));
    tree_->setHeaderHidden(true);
    tree_->setAccessibleName(QStringLiteral("Tablas del Sistema"));
    auto* root = new QTreeWidgetItem(tree_, QStringList{QStringLiteral("Tablas del Sistema")});
    root->setData(0, kTableRole, QStringLiteral("r"));
    root->setIcon(0, QIcon::fromTheme(QStringLiteral("folder"), style()->standardIcon(QStyle::SP_DirIcon)));
    QTreeWidgetItem* first = nullptr;
    for (const auto& entry : consultableSystemTables()) {
        auto* node = new QTreeWidgetItem(root, QStringList{QString::fromStdString(entry.caption)});
        node->setData(0, kTableRole, QString::fromStdString(entry.table));
        node->setIcon(
            0, QIcon::fromTheme(QStringLiteral("x-office-spreadsheet"), style()->standardIcon(QStyle::SP_FileIcon)));
        first = first != nullptr ? first : node;
    }
    root->setExpanded(true);
    // Every entry shows whole.
    const int treeWidth = static_cast<QAbstractItemView*>(tree_)->sizeHintForColumn(0) + 2 * tree_->frameWidth() + 8;
    tree_->setMinimumWidth(treeWidth);
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* node, QTreeWidgetItem*) { runGuarded(context_.ui, [&] { showTable(node); }); });

    grid_->setObjectName(QStringLiteral("dbgTabla"));
    grid_->setModel(rows_);
    grid_->verticalHeader()->hide();
    grid_->setAlternatingRowColors(true);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    (new QVBoxLayout(frame_))->addWidget(grid_);

    auto* split = new QSplitter(this);
    split->addWidget(tree_);
    split->addWidget(frame_);
    split->setChildrenCollapsible(false);
    split->setSizes({treeWidth, 560});

    auto* buttons = new QDialogButtonBox(this);
    auto* exit = buttons->addButton(QStringLiteral("&Salir"), QDialogButtonBox::RejectRole);
    exit->setObjectName(QStringLiteral("cmdSalir"));
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addWidget(buttons);
    resize(treeWidth + 600, 420);
    CenterWindow(*this);
    tree_->setCurrentItem(first);
}

void frmTablasSistema::showTable(QTreeWidgetItem* node) {
    // The root names no table: the grid stays as it was.
    if (node == nullptr || node->data(0, kTableRole).toString() == QLatin1String("r")) {
        return;
    }
    const auto view = systemTable(context_, node->data(0, kTableRole).toString().toStdString());
    if (!view) {
        return;
    }
    rows_->clear();
    const std::string table = node->data(0, kTableRole).toString().toStdString();
    QStringList headings;
    for (const auto& column : view->columns) {
        headings << QString::fromStdString(fieldLabel(table, column).value_or(column));
    }
    rows_->setHorizontalHeaderLabels(headings);
    for (const auto& row : view->rows) {
        QList<QStandardItem*> cells;
        for (const auto& value : row) {
            cells << cell(value);
        }
        rows_->appendRow(cells);
    }
    grid_->resizeColumnsToContents();
    frame_->setTitle(QString::fromStdString(view->caption));
}

}  // namespace kapred::ui
