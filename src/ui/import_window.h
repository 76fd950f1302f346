// The import window: the formats of each section, their creation, renaming and deletion, and the
// import of a text file into the current declaration or the export of its rows.
#pragma once

#include <QDialog>

#include <atomic>
#include <filesystem>
#include <functional>

#include "app/context.h"
#include "ui/qt_interface.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStandardItemModel;
class QTableView;

namespace kapred::ui {

class frmImportar : public QDialog {
    Q_OBJECT
public:
    frmImportar(Context& context, QtUserInterface& ui, QWidget* parent = nullptr);

    // Asks for the file to import or to export to; empty when the user gave up. A file dialog in
    // the program directory unless replaced.
    enum class FileUse { Import, Export };
    std::function<QString(FileUse)> askPath;

    void cmdNew_Click();
    void cmdEdit_Click();
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdDelete_Click();
    void cmdDetail_Click();
    void cmdImport_Click();

    // Chooses a section of the list and a format of the grid, as a click does; false when absent.
    bool selectSection(long code);
    bool selectFormat(long id);
    // The format selected in the grid (0: none).
    long selectedFormat() const { return formatId_; }
    bool busy() const { return busy_; }

    // While a name is typed, closing the window gives it up; while an import or export runs, it
    // asks to cancel the run.
    void reject() override;

private:
    enum class Editing { None, NewFormat, NewName };

    long sectionCode() const;
    void refreshFormats(long selectId);
    void formatChosen();
    void showBrowsing();
    void showEditing();
    void setBusy(bool busy);
    void operationChosen();
    void runImport();
    void runExport();
    // Asks for the file, locks the window and shows the job's progress while it runs.
    void runWithProgress(FileUse use, const std::function<void(const std::filesystem::path&)>& run);
    void showErrorSummary(const std::filesystem::path& errorFile);
    QString chooseFile(FileUse use);

    Context& context_;
    QtUserInterface& ui_;
    long formatId_ = 0;
    Editing editing_ = Editing::None;
    bool busy_ = false;
    std::atomic<bool> cancel_{false};
    QComboBox* ComboTipo_;
    QTableView* Grdimport_;
    QStandardItemModel* formats_;
    QLineEdit* txtformato_;
    QRadioButton* optImp_;
    QRadioButton* optExp_;
    QGroupBox* FraOperacion_;
    QProgressBar* Progreso_;
    QWidget* picMant_;
    QPushButton* cmdImport_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace kapred::ui
