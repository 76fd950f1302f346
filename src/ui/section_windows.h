// The windows of a declaration's sections: one entry window per section that holds data (a single
// row, or a list of rows in a grid), and the three windows that only show computed figures (the
// asset summary, the liquidation and the determination), whose detail buttons open the section
// windows behind their figures.
#pragma once

#include <QDialog>

#include <memory>
#include <string>

#include "app/context.h"
#include "model/sections.h"
#include "ui/qt_interface.h"

class QComboBox;
class QLabel;
class QTabWidget;
class QTableView;

namespace kapred::ui {

class ListRowsModel;

// Opens the window of a section ("Pasivo", "Anticipos"...) or of a computed window ("Activo",
// "Liquidacion", "Determinacion") for the current declaration, modally. False for a name that has
// no window.
bool openSectionWindow(Context& context, QtUserInterface& ui, const std::string& name, QWidget* parent);

// The entry window of one section, through its business object.
class frmSeccion : public QDialog {
    Q_OBJECT
public:
    frmSeccion(Context& context, QtUserInterface& ui, const SectionInfo& section, QWidget* parent = nullptr);

    // Mode "C", the object made, the declaration's row (or the grid's) loaded, the totals shown.
    void InicializeObjects();

    void cmdNew_Click();
    void cmdEdit_Click();
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdDelete_Click();
    void cmdDeleteAll_Click();
    void cmdPrint_Click();

    // "C" browsing, "A" adding, "E" modifying or just saved.
    const QString& mode() const { return mode_; }
    SectionObject& object() { return *object_; }
    // The rows the grid of a list window shows.
    int rowCount() const;
    // Selects the grid's row of that number and loads it.
    bool selectRow(long id);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    // The first input of a second page brings its page forward when it gets the focus.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Tab runs through the pages in reading order.
    bool focusNextPrevChild(bool next) override;
    // The access keys, once the window knows its top-level window.
    void showEvent(QShowEvent* event) override;

private:
    void buildInputs();
    void buildGrid();
    void buildButtons();
    QWidget* inputFor(const SectionField& field, QWidget* parent);
    void addDetail(QWidget* beside, const std::string& window);
    void showTotals();
    void showBrowsing();
    void showEditing();
    void loadRow();
    void refreshGrid(long selectId);
    long selectedId() const;
    bool hasRecords() const;
    // Liabilities: an insurance amount follows its yes/no list.
    void applyInsuranceChoice(QComboBox* list);

    Context& context_;
    QtUserInterface& ui_;
    SectionInfo section_;
    std::unique_ptr<SectionObject> object_;
    QString mode_ = QStringLiteral("C");
    QTabWidget* pages_ = nullptr;
    QTableView* grid_ = nullptr;
    ListRowsModel* rows_ = nullptr;
};

// A window of computed figures: the asset summary, the liquidation or the determination.
class frmCalculo : public QDialog {
    Q_OBJECT
public:
    frmCalculo(Context& context, QtUserInterface& ui, const std::string& name, QWidget* parent = nullptr);

    // Computes the figures afresh and shows them (the liquidation may delete the deductions row).
    void showFigures();
    QLabel* rateProblem() const { return rateProblem_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void addFigureRow(QWidget* frame, const std::string& figure, const std::string& detail);

    Context& context_;
    QtUserInterface& ui_;
    std::string name_;
    QLabel* rateProblem_;
};

}  // namespace kapred::ui
