// The main window: the declarations window inside, the menu, the taxpayer line in the status
// bar, and the end of the program however the window is closed.
#pragma once

#include <QMainWindow>

#include <chrono>

#include "app/startup.h"
#include "ui/qt_interface.h"

class QLabel;
class QMdiArea;

namespace kapred::ui {

class frmDDJJ;

class frmPrincipal : public QMainWindow {
    Q_OBJECT
public:
    frmPrincipal(Context& context, QtUserInterface& ui, StartupObserver& observer);

    // Sets the caption, shows the window and opens the declarations window inside it.
    void Inicializar();
    frmDDJJ* declarations() const { return declarations_; }
    QMdiArea* area() const { return area_; }
    // The exit code the program ends with.
    int exitCode() const { return exitCode_; }

    // How long the closing window shows before the closing steps run.
    std::chrono::milliseconds closingPause{2000};

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
    void compactDatabase();
    void restore();
    // Ends the program at once, without the closing steps, when a command says so.
    void endWith(ProgramEnding end);

    Context& context_;
    QtUserInterface& ui_;
    StartupObserver& observer_;
    QMdiArea* area_;
    QLabel* taxpayer_;
    frmDDJJ* declarations_ = nullptr;
    bool ended_ = false;
    int exitCode_ = 0;
};

}  // namespace kapred::ui
