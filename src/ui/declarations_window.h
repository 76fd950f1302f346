// The declarations window: the taxpayer's declarations, the header of the selected one, the tree
// of its sections and the commands over whole declarations.
#pragma once

#include <QWidget>

#include "app/context.h"
#include "ui/qt_interface.h"

class QComboBox;
class QPushButton;
class QStandardItemModel;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace kapred::ui {

class frmDDJJ : public QWidget {
    Q_OBJECT
public:
    frmDDJJ(Context& context, QtUserInterface& ui, QWidget* parent = nullptr);

    // Prepares the window for the taxpayer: a fresh current declaration, the lists, the first
    // declaration selected, the tree.
    void InicializeObjects();

    // The commands, also called by the main window's menu.
    void cmdNew_Click();
    void cmdEdit_Click();
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdDelete_Click();
    void cmdCopy_Click();
    void cmdPrint_Click();
    void cmdForm_Click();
    void cmdGenerate_Click();
    void cmdImport_Click();
    void cmdQuery_Click();

    // "C" browsing, "A" adding, "E" modifying.
    const QString& mode() const { return mode_; }
    int declarationCount() const;
    // Selects the declaration of that code in the list (and loads it); false when it is not there.
    bool selectDeclaration(long codDJ);
    QTreeWidget* tree() const { return tree_; }
    // Opens the window of a node of the tree, as a double-click does.
    void openNode(QTreeWidgetItem* node);

signals:
    // The line that describes the taxpayer, for the main window's status bar.
    void taxpayerLine(const QString& line);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    // The access keys, once the window is in the main window, whose menus keep theirs.
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void fillLists();
    void refreshList(long selectCode);
    void loadSelected();
    void FillTree();
    void showBrowsing();
    void showEditing(bool keyFieldsLocked);
    long selectedCode() const;

    Context& context_;
    QtUserInterface& ui_;
    QString mode_ = QStringLiteral("C");
    QTableView* list_ = nullptr;
    QStandardItemModel* rows_ = nullptr;
    QComboBox* kinds_ = nullptr;
    QComboBox* sequences_ = nullptr;
    QTreeWidget* tree_ = nullptr;
};

// The texts of a node's image in the sections tree ("full" or "empty" for the liabilities).
inline constexpr int kNodeImageRole = Qt::UserRole + 1;

}  // namespace kapred::ui
