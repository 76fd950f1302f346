// The generate dialog: the user chooses the folder that receives the declaration file and starts
// the generation, whose progress it shows; and the wait window that opens it.
#pragma once

#include <QDialog>
#include <QStringList>

#include <string>

#include "app/context.h"
#include "generation/generator.h"

class QComboBox;
class QFileSystemModel;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeView;

namespace kapred::ui {

inline constexpr const char* kGenerationWait = "Consistiendo Declaración Jurada";
inline constexpr const char* kEncryptionIdle = "Generación de Archivo: Inactiva.";
inline constexpr const char* kNewFolderTitle = "Nueva Carpeta";
inline constexpr const char* kNewFolderPrompt = "Ingrese el nombre para la Carpeta Nueva";

class DriveFolders;

// Where the desktop mounts the user's removable media, one folder per medium named after its
// label: /media/USER and /run/media/USER.
QStringList removableMediaRoots();

// One generator for the dialog's whole life: once it has encrypted the file, a further Aceptar
// copies that same file to the folder chosen then.
class frmGenerar : public QDialog, public GenerationEvents {
    Q_OBJECT
public:
    // The drive list offers the home folder and each medium mounted in a folder of mediaRoots.
    explicit frmGenerar(Context& context, QWidget* parent = nullptr,
                        const QStringList& mediaRoots = removableMediaRoots());

    void cmdOk_Click();
    // Removes the intermediate files of the generation and closes.
    void cmdCancel_Click();
    // Asks for a name and creates that folder inside the chosen one, which it then chooses.
    void cmdCarpeta_Click();
    void LimpiarFormulario();

    // The generator's events, shown at once although no event loop runs during the generation.
    void Progreso(double percent, long step, long steps) override;
    void ProgresoCopia(double percent) override;
    void EstadoEncriptacion(const std::string& state) override;

    // Shows the folder in the list, on its drive, and chooses it; false when no drive of the list
    // holds it.
    bool selectFolder(const QString& path);
    // The chosen folder; empty when none is.
    const QString& folderPath() const { return folderPath_; }
    BGenerarDJs& generator() { return generator_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void fillDrives(const QStringList& mediaRoots);
    void Drive_Change(int index);
    void showDrive(int index);
    void Folder_Change();
    void showChosen();
    int driveOf(const QString& path) const;
    void setStateColour(const QColor& colour);

    Context& context_;
    BGenerarDJs generator_;
    QString folderPath_;
    int shownDrive_ = -1;
    bool generating_ = false;
    bool rowsLeaving_ = false;

    QGroupBox* folderFrame_ = nullptr;
    QComboBox* drive_ = nullptr;
    QTreeView* folder_ = nullptr;
    QFileSystemModel* files_ = nullptr;
    DriveFolders* folders_ = nullptr;
    QLineEdit* txtDir_ = nullptr;
    QProgressBar* proBar_ = nullptr;
    QLabel* lblPorciento_ = nullptr;
    QLabel* lblGenFile_ = nullptr;
    QProgressBar* proBarCopia_ = nullptr;
    QLabel* lblPorcientoCopia_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// "Generar" of the declarations window: the wait window with kGenerationWait, which opens the
// generate dialog for the current declaration once it has appeared.
void startGeneration(Context& context, QWidget* parent);

}  // namespace kapred::ui
