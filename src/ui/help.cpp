#include "ui/help.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <cstdlib>

#include "app/installation.h"
#include "ui/screen_fit.h"
#include "ui/window_routines.h"

namespace kapred::ui {

namespace {
constexpr const char* kHelpProperty = "helpContext";
}

std::filesystem::path helpDirectory() {
    if (const char* folder = std::getenv("KAPRED_HELPDIR"); folder != nullptr && *folder != '\0') {
        return folder;
    }
    return installation().templates / "ayuda";
}

void setHelpContext(QWidget& window, int topic) {
    window.setProperty(kHelpProperty, topic);
}

int helpContextOf(const QWidget* widget) {
    for (; widget != nullptr; widget = widget->parentWidget()) {
        // In the main window the topic is that of the active document window.
        if (const auto* area = qobject_cast<const QMdiArea*>(widget); area != nullptr && area->activeSubWindow()) {
            return helpContextOf(area->activeSubWindow()->widget());
        }
        if (const QVariant topic = widget->property(kHelpProperty); topic.isValid()) {
            return topic.toInt();
        }
    }
    return kHelpContents;
}

HelpWindow::HelpWindow(int topic, QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("frmAyuda"));
    setWindowTitle(QStringLiteral("Ayuda de Kapred"));
    setHelpContext(*this, kHelpContents);
    const QString folder = QString::fromStdString(helpDirectory().string());
    browser_->setSearchPaths({folder});
    // Every page takes its look from the one style sheet of the help.
    if (QFile style(folder + QStringLiteral("/estilo.css")); style.open(QIODevice::ReadOnly)) {
        browser_->document()->setDefaultStyleSheet(QString::fromUtf8(style.readAll()));
    }
    browser_->setOpenExternalLinks(false);
    const QString page = QStringLiteral("%1.html").arg(topic);
    if (std::filesystem::exists(helpDirectory() / page.toStdString())) {
        browser_->setSource(QUrl::fromLocalFile(folder + QLatin1Char('/') + page));
    } else {
        browser_->setHtml(QStringLiteral("<h2>Ayuda no disponible</h2><p>No se encontró la página %1 de la ayuda "
                                         "en la carpeta %2. Reinstale el programa.</p>")
                              .arg(page, folder.toHtmlEscaped()));
    }

    auto* buttons = new QDialogButtonBox(this);
    auto* back = buttons->addButton(QStringLiteral("&Atrás"), QDialogButtonBox::ActionRole);
    auto* contents = buttons->addButton(QStringLiteral("&Contenido"), QDialogButtonBox::ActionRole);
    auto* close = buttons->addButton(QStringLiteral("Cerrar"), QDialogButtonBox::RejectRole);
    back->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(contents, &QPushButton::clicked, this,
            [this, folder] { browser_->setSource(QUrl::fromLocalFile(folder + QStringLiteral("/1.html"))); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_);
    layout->addWidget(buttons);
    resizeWithinScreen(*this, QSize(760, 560));
    CenterWindow(*this);
}

void showHelp(int topic, QWidget* parent) {
    HelpWindow help(topic, parent);
    help.exec();
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        QWidget* focus = QApplication::focusWidget();
        QWidget* from = focus != nullptr ? focus : QApplication::activeWindow();
        // The help window's own F1 goes to its contents.
        if (from == nullptr || qobject_cast<HelpWindow*>(from->window()) != nullptr) {
            return QObject::eventFilter(watched, event);
        }
        showHelp(helpContextOf(from), from->window());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kapred::ui
