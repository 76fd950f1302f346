// The windows of the start and the end of a run: the splash (also the about box), the start-up
// message and the closing window.
#pragma once

#include <QDialog>

#include <chrono>
#include <functional>

#include "app/startup.h"

class QCheckBox;
class QLabel;

namespace kapred::ui {

// The splash. At start-up it tells "Inicializando Sistema...", after a second "Cargando
// contribuyente..." and closes two seconds later; as the about box it waits for a click on it.
class frmSplash : public QDialog {
    Q_OBJECT
public:
    explicit frmSplash(bool startupMode, QWidget* parent = nullptr,
                       std::chrono::milliseconds firstStep = std::chrono::milliseconds(1000),
                       std::chrono::milliseconds secondStep = std::chrono::milliseconds(2000));
    QLabel* status() const { return status_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool startupMode_;
    QLabel* status_;
};

// The start-up message, with the box that switches it off for every later start.
class frmInicioMensaje : public QDialog {
    Q_OBJECT
public:
    explicit frmInicioMensaje(BCMsgIni& message, QWidget* parent = nullptr);
    QCheckBox* dontShowAgain() const { return dontShowAgain_; }

private:
    void start();

    BCMsgIni& message_;
    QCheckBox* dontShowAgain_;
};

// The closing window: shown while the program closes its databases, compacts and scrambles the
// file (the `shutdown` it is given), after letting itself be seen for a moment.
class frmCerrar : public QDialog {
    Q_OBJECT
public:
    frmCerrar(std::function<void()> shutdown, QWidget* parent = nullptr,
              std::chrono::milliseconds pause = std::chrono::milliseconds(2000));

protected:
    // Neither Escape nor the close box may skip the closing steps.
    void reject() override {}
};

// The start-up steps shown with these windows.
class WindowedStartup : public StartupObserver {
public:
    void showSplash() override;
    void showStartupMessage(BCMsgIni& message) override;
};

}  // namespace kapred::ui
