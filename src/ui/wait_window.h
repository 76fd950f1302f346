// The small wait window of a print or a generation: it shows what is being prepared and, once it
// has appeared, starts the job (which opens its own windows) and closes when the job ends.
#pragma once

#include <QDialog>

#include <chrono>
#include <functional>

class QLabel;

namespace kapred::ui {

class frmPrintCrystal : public QDialog {
    Q_OBJECT
public:
    frmPrintCrystal(const QString& message, std::function<void(QWidget& waitWindow)> job, QWidget* parent = nullptr,
                    std::chrono::milliseconds pause = std::chrono::milliseconds(300));

    QLabel* message() const { return message_; }

protected:
    void showEvent(QShowEvent* event) override;
    // The job runs to its end: neither Escape nor the close box interrupts it.
    void reject() override {}

private:
    QLabel* message_;
    std::function<void(QWidget&)> job_;
    std::chrono::milliseconds pause_;
    bool started_ = false;
};

}  // namespace kapred::ui
