#include "ui/wait_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QTimer>

#include "app/startup.h"
#include "ui/qt_interface.h"
#include "ui/window_routines.h"

namespace kapred::ui {

frmPrintCrystal::frmPrintCrystal(const QString& message, std::function<void(QWidget&)> job, QWidget* parent,
                                 std::chrono::milliseconds pause)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      message_(new QLabel(message, this)),
      job_(std::move(job)),
      pause_(pause) {
    setObjectName(QStringLiteral("frmPrintCrystal"));
    setWindowTitle(QString::fromLatin1(kMainCaption));
    auto* picture = new QLabel(this);
    picture->setPixmap(
        QIcon::fromTheme(QStringLiteral("appointment-soon"), style()->standardIcon(QStyle::SP_MessageBoxInformation))
            .pixmap(32, 32));
    message_->setObjectName(QStringLiteral("lblMensaje"));
    QFont font = message_->font();
    font.setBold(true);
    message_->setFont(font);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(24, 18, 32, 18);
    layout->setSpacing(16);
    layout->addWidget(picture);
    layout->addWidget(message_, 1);
    adjustSize();
    CenterWindow(*this);
}

void frmPrintCrystal::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (started_) {
        return;
    }
    started_ = true;
    // Once the window has been painted: the user sees what is being prepared before the job's
    // own windows open over it.
    QTimer::singleShot(pause_, this, [this] {
        QtUserInterface dialogs;
        runGuarded(dialogs, [this] { job_(*this); });
        accept();
    });
}

}  // namespace kapred::ui
