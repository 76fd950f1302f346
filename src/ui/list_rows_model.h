// The rows of a list section as its grid shows them: number, date and amount. The rows are kept
// as values and written as text only for the cells on screen; a sort orders an index by value,
// so that a declaration of a million advances opens and sorts at once.
#pragma once

#include <QAbstractTableModel>

#include <cstdint>
#include <optional>
#include <vector>

#include "data/values/currency.h"
#include "data/values/datetime.h"
#include "model/sections.h"

namespace kapred::ui {

class ListRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ListRowsModel(QObject* parent = nullptr);

    // Shows these rows instead, in the order of the last sort (rows equal in it by number).
    void setRows(const std::vector<ListRow>& rows);
    // The number of the row shown at that place, and the place of the row of that number (-1
    // when none is shown).
    long idAt(int row) const;
    int rowOf(long id) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Stable: rows equal in the column keep the order they had.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    struct Row {
        long id;
        std::optional<DateTime> date;
        Currency amount;
    };
    // What the column sorts by: the number, the day and time (rows without a date first), the
    // amount.
    std::int64_t key(const Row& row, int column) const;
    void order();

    std::vector<Row> rows_;
    std::vector<int> shown_;  // indices into rows_, in the order shown
    int sortColumn_ = 0;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace kapred::ui
