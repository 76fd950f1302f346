// The system tables a user may consult: the rates and thresholds, the deduction for disabled
// staff and the sequences.
#pragma once

#include <QDialog>

#include "app/context.h"

class QGroupBox;
class QStandardItemModel;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace kapred::ui {

class frmTablasSistema : public QDialog {
    Q_OBJECT
public:
    explicit frmTablasSistema(Context& context, QWidget* parent = nullptr);

    QTreeWidget* tree() const { return tree_; }
    QTableView* grid() const { return grid_; }
    QGroupBox* frame() const { return frame_; }

private:
    void showTable(QTreeWidgetItem* node);

    Context& context_;
    QTreeWidget* tree_;
    QTableView* grid_;
    QStandardItemModel* rows_;
    QGroupBox* frame_;
};

}  // namespace kapred::ui
