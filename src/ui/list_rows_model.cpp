#include "ui/list_rows_model.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <utility>

#include "data/values/numeric_text.h"

namespace kapred::ui {

ListRowsModel::ListRowsModel(QObject* parent) : QAbstractTableModel(parent) {}

void ListRowsModel::setRows(const std::vector<ListRow>& rows) {
    beginResetModel();
    rows_.clear();
    rows_.reserve(rows.size());
    for (const auto& row : rows) {
        rows_.push_back({row.id, row.date.toDate(), row.amount});
    }
    const auto byId = [](const Row& a, const Row& b) { return a.id < b.id; };
    if (!std::is_sorted(rows_.begin(), rows_.end(), byId)) {
        std::stable_sort(rows_.begin(), rows_.end(), byId);
    }
    shown_.resize(rows_.size());
    std::iota(shown_.begin(), shown_.end(), 0);
    order();
    endResetModel();
}

long ListRowsModel::idAt(int row) const {
    return row >= 0 && row < rowCount() ? rows_[static_cast<std::size_t>(shown_[static_cast<std::size_t>(row)])].id : 0;
}

int ListRowsModel::rowOf(long id) const {
    for (std::size_t r = 0; r < shown_.size(); ++r) {
        if (rows_[static_cast<std::size_t>(shown_[r])].id == id) {
            return static_cast<int>(r);
        }
    }
    return -1;
}

int ListRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int ListRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant ListRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    const Row& row = rows_[static_cast<std::size_t>(shown_[static_cast<std::size_t>(index.row())])];
    switch (index.column()) {
        case 0:
            return QString::number(row.id);
        case 1:
            return row.date ? QString::fromStdString(formatDate(*row.date)) : QString();
        case 2:
            return QString::fromStdString(formatAmount(row.amount, 2));
        default:
            return {};
    }
}

QVariant ListRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        return QStringList{QStringLiteral("Nº"), QStringLiteral("Fecha"), QStringLiteral("Importe")}.value(section);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

void ListRowsModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount()) {
        return;
    }
    sortColumn_ = column;
    sortOrder_ = order;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The selection and the current cell follow their rows.
    const QModelIndexList before = persistentIndexList();
    std::vector<int> moved;
    moved.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before) {
        moved.push_back(shown_[static_cast<std::size_t>(index.row())]);
    }
    this->order();
    if (!before.isEmpty()) {
        std::vector<int> placeOf(rows_.size());
        for (std::size_t r = 0; r < shown_.size(); ++r) {
            placeOf[static_cast<std::size_t>(shown_[r])] = static_cast<int>(r);
        }
        QModelIndexList after;
        after.reserve(before.size());
        for (qsizetype i = 0; i < before.size(); ++i) {
            after.push_back(
                this->index(placeOf[static_cast<std::size_t>(moved[static_cast<std::size_t>(i)])], before[i].column()));
        }
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

std::int64_t ListRowsModel::key(const Row& row, int column) const {
    switch (column) {
        case 0:
            return row.id;
        case 1:
            return row.date ? std::int64_t{row.date->day.time_since_epoch().count()} * 86400 + row.date->time.count()
                            : std::numeric_limits<std::int64_t>::min();
        default:
            return row.amount.scaled();
    }
}

void ListRowsModel::order() {
    // The keys beside their rows, in one block: the sort then reads memory in order.
    std::vector<std::pair<std::int64_t, int>> keyed;
    keyed.reserve(shown_.size());
    for (const int r : shown_) {
        keyed.emplace_back(key(rows_[static_cast<std::size_t>(r)], sortColumn_), r);
    }
    const bool ascending = sortOrder_ == Qt::AscendingOrder;
    std::stable_sort(keyed.begin(), keyed.end(), [ascending](const auto& a, const auto& b) {
        return ascending ? a.first < b.first : b.first < a.first;
    });
    for (std::size_t r = 0; r < keyed.size(); ++r) {
        shown_[r] = keyed[r].second;
    }
}

}  // namespace kapred::ui
