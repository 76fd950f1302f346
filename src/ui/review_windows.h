// The windows that look at a declaration before and after it is delivered (the check, the file
// inspector, the comparison of two declarations, the delivery receipts) and the backup and
// restore of the program's data.
#pragma once

#include <QDialog>

#include "app/context.h"

class QComboBox;
class QLabel;
class QListWidget;
class QTableWidget;
class QTreeWidget;

namespace kapred::ui {

// Help context numbers of these windows (40 describes the check, 44 the backup and restore).
inline constexpr int kHelpInspector = 41;
inline constexpr int kHelpDiff = 42;
inline constexpr int kHelpDeliveries = 43;

// "Verificar" of the current declaration: the findings in the inconsistency viewer, or a message
// that there are none.
void verifyDeclaration(Context& context);

// The file inspector: a declaration file record by record, field by field, with its faults.
class frmInspector : public QDialog {
    Q_OBJECT
public:
    explicit frmInspector(Context& context, QWidget* parent = nullptr);
    // Reads the file and shows it; a file that cannot be read is told under "Error".
    void open(const QString& path);
    QTreeWidget* records() const { return records_; }
    QListWidget* faults() const { return faults_; }

private:
    void choose();

    Context& context_;
    QLabel* file_;
    QTreeWidget* records_;
    QListWidget* faults_;
};

// Two declarations of one period compared: only what differs, with both values and the difference.
class frmDiferencias : public QDialog {
    Q_OBJECT
public:
    explicit frmDiferencias(Context& context, QWidget* parent = nullptr);
    // Compares the two declarations chosen; a refusal is told under "Error".
    void compare();
    QComboBox* first() const { return first_; }
    QComboBox* second() const { return second_; }
    QTableWidget* table() const { return table_; }

private:
    Context& context_;
    QComboBox* first_;
    QComboBox* second_;
    QTableWidget* table_;
    QLabel* summary_;
};

// The receipts of the delivered files.
class frmEntregas : public QDialog {
    Q_OBJECT
public:
    explicit frmEntregas(Context& context, QWidget* parent = nullptr);
    QTableWidget* table() const { return table_; }

private:
    QTableWidget* table_;
};

// The menu's "Copia de Seguridad": asks for the file and writes the backup.
void backupCommand(Context& context, QWidget* parent);
// The menu's "Restaurar": asks for the file and restores it; the program's end once restored.
[[nodiscard]] ProgramEnding restoreCommand(Context& context, QWidget* parent);

}  // namespace kapred::ui
