// The copy of the current declaration to a later sequence of its period: the start of a
// rectification.
#pragma once

#include <QDialog>

#include "app/context.h"
#include "ui/qt_interface.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;

namespace kapred::ui {

class frmCopiaDJ : public QDialog {
    Q_OBJECT
public:
    frmCopiaDJ(Context& context, QtUserInterface& ui, QWidget* parent = nullptr);

    void cmdOk_Click();

protected:
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void showProgress(double percent);

    Context& context_;
    QtUserInterface& ui_;
    QComboBox* sequence_;
    QLineEdit* period_;
    QProgressBar* progress_;
    QLabel* percent_;
};

}  // namespace kapred::ui
