// The positions of an import format: one grid row per field of its section, where the user types
// the columns each field takes in the file. The same window, in its second mode, shows the error
// file of the last import.
#pragma once

#include <QDialog>

#include <filesystem>

#include "app/context.h"
#include "import/import_formats.h"

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QTableWidgetItem;

namespace kapred::ui {

class frmImportar_ConfigurarCampos : public QDialog {
    Q_OBJECT
public:
    explicit frmImportar_ConfigurarCampos(Context& context, QWidget* parent = nullptr);

    // true: only the error file and Salir; false: the grid, the decimal sign and the three buttons.
    void HabilitarVentana(bool TipoRTF);
    // One row per field of the format's section, with the positions the format stores.
    void Refrescar_Tabla(const ImportFormat& format);
    // The error file of the last import, for the error mode.
    void loadErrorFile(const std::filesystem::path& file);

    void cmdOk_Click();
    void cmdPrint_Click();

    // The grid as the user left it.
    FieldGrid typedGrid() const;
    QTableWidget* grid() const { return grilla_; }

private:
    void Cargar_Grilla();
    void cellChanged(QTableWidgetItem* item);
    // Moves the current cell after Enter or an arrow key ended an edit.
    void moveAfterEdit(int key);

    Context& context_;
    FieldGrid fields_;
    QSize gridWanted_;  // the grid with every field and the longest concept in view
    QLabel* lblNombreF_;
    QLabel* lblSeccion_;
    QLabel* fixedNote_;
    QTableWidget* grilla_;
    QGroupBox* fraSeparador_;
    QRadioButton* chkPunto_;
    QRadioButton* chkComa_;
    QPlainTextEdit* RTFBox_;
    QWidget* gridPart_;  // what the grid mode shows
    QPushButton* cmdOk_;
    QPushButton* cmdPrint_;
    QPushButton* cmdExit_;
};

}  // namespace kapred::ui
