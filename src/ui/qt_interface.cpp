#include "ui/qt_interface.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "data/values/error.h"
#include "ui/error_message.h"

namespace kapred::ui {

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            break;
    }
    return QMessageBox::Information;
}

}  // namespace

void endOrTellFailure(UserInterface& ui) {
    std::string why;
    try {
        throw;
    } catch (const ProgramEnd& end) {
        QCoreApplication::exit(end.exitCode());
        return;
    } catch (const Error& error) {
        why = error.description();
    } catch (const std::exception& failure) {
        why = failure.what();
    } catch (...) {
        why = "se produjo un error inesperado.";
    }
    MsgError(ui, "No se pudo completar la operación: " + why);
}

QWidget* dialogParent() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    return QApplication::activeWindow();
}

void QtUserInterface::showMessage(MessageIcon icon, const std::string& title, const std::string& text) {
    QMessageBox box(boxIcon(icon), QString::fromStdString(title), QString::fromStdString(text), QMessageBox::Ok,
                    dialogParent());
    box.exec();
}

bool QtUserInterface::askYesNo(MessageIcon icon, const std::string& title, const std::string& text) {
    QMessageBox box(boxIcon(icon), QString::fromStdString(title), QString::fromStdString(text), QMessageBox::NoButton,
                    dialogParent());
    auto* yes = box.addButton(QStringLiteral("&Sí"), QMessageBox::YesRole);
    auto* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void QtUserInterface::showInconsistencies(const std::string& title, const std::vector<std::string>& lines) {
    frmErrorMessage viewer(QString::fromStdString(title), lines, dialogParent());
    viewer.exec();
}

void QtUserInterface::showProgress(double percent) {
    if (progress_) {
        progress_(percent);
        // The job runs in the handler that started it: let the window repaint its progress.
        QApplication::processEvents(userInput_ ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    }
}

}  // namespace kapred::ui
