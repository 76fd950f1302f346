#include "ui/startup_windows.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/help.h"
#include "ui/qt_interface.h"
#include "ui/window_routines.h"

namespace kapred::ui {

namespace {

QLabel* label(const QString& text, QWidget* parent, int pointSize = 0, bool bold = false) {
    auto* shown = new QLabel(text, parent);
    QFont font = shown->font();
    if (pointSize > 0) {
        font.setPointSize(pointSize);
    }
    font.setBold(bold);
    shown->setFont(font);
    return shown;
}

}  // namespace

frmSplash::frmSplash(bool startupMode, QWidget* parent, std::chrono::milliseconds firstStep,
                     std::chrono::milliseconds secondStep)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint), startupMode_(startupMode) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Acerca de Kapred"));
    setStyleSheet(QStringLiteral(
        "#frmSplash { background: qlineargradient(x1:0, y1:0, x2:1, y2:1, stop:0 #1f4e79, stop:1 #2e75b6); }"
        "#frmSplash QLabel { color: white; }"));

    auto* title = label(QStringLiteral("Kapred"), this, 30, true);
    title->setObjectName(QStringLiteral("lblTitulo"));
    auto* product = label(QStringLiteral("Kapredia"), this, 14);
    product->setObjectName(QStringLiteral("lblProducto"));
    auto* purpose = label(QStringLiteral("Contribución especial sobre el capital de las cooperativas"), this);
    auto* version = label(QStringLiteral(" Versión %1.%2").arg(KAPRED_VERSION_MAJOR).arg(KAPRED_VERSION_MINOR), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* release = label(QStringLiteral(" Release %1").arg(KAPRED_VERSION_PATCH), this);
    release->setObjectName(QStringLiteral("lblRelease"));
    auto* beta = label(QStringLiteral("Beta"), this, 0, true);
    beta->setObjectName(QStringLiteral("lblBeta"));
    status_ = label(QStringLiteral("Inicializando Sistema..."), this);
    status_->setObjectName(QStringLiteral("lblEstado"));

    auto* versions = new QHBoxLayout;
    versions->addWidget(version);
    versions->addWidget(release);
    versions->addStretch();
    versions->addWidget(beta);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 28, 32, 20);
    layout->addWidget(title);
    layout->addWidget(product);
    layout->addWidget(purpose);
    layout->addStretch();
    layout->addLayout(versions);
    layout->addWidget(status_);
    setFixedSize(460, 260);
    CenterWindow(*this);

    if (!startupMode_) {
        status_->hide();
        setToolTip(QStringLiteral("Haga clic para cerrar"));
        return;
    }
    QTimer::singleShot(firstStep, this, [this, secondStep] {
        status_->setText(QStringLiteral("Cargando contribuyente..."));
        QTimer::singleShot(secondStep, this, &QDialog::accept);
    });
}

void frmSplash::mousePressEvent(QMouseEvent*) {
    if (!startupMode_) {
        accept();
    }
}

void frmSplash::keyPressEvent(QKeyEvent* event) {
    event->accept();
}

frmInicioMensaje::frmInicioMensaje(BCMsgIni& message, QWidget* parent)
    : QDialog(parent), message_(message), dontShowAgain_(new QCheckBox(this)) {
    setObjectName(QStringLiteral("frmInicioMensaje"));
    setWindowTitle(QString::fromStdString(message.NombreAplicativo()));
    setHelpContext(*this, kHelpStartupMessage);

    // The program's name with a shadow, as a title.
    auto* name = label(QString::fromStdString(message.NombreAplicativo()), this, 18, true);
    name->setObjectName(QStringLiteral("lblNombreAplicativo"));
    auto* shadow = new QGraphicsDropShadowEffect(name);
    shadow->setOffset(2, 2);
    shadow->setBlurRadius(3);
    shadow->setColor(QColor(0, 0, 0, 110));
    name->setGraphicsEffect(shadow);

    auto* text = new QLabel(QString::fromStdString(message.Mensaje()), this);
    text->setObjectName(QStringLiteral("lblMensaje"));
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);

    dontShowAgain_->setObjectName(QStringLiteral("chkNoMostrar"));
    dontShowAgain_->setText(QStringLiteral("No mostrar esta ventana cada vez que inicia el sistema"));

    auto* buttons = new QDialogButtonBox(this);
    auto* help = buttons->addButton(QStringLiteral("&Ayuda"), QDialogButtonBox::HelpRole);
    help->setObjectName(QStringLiteral("cmdAyuda"));
    auto* begin = buttons->addButton(QStringLiteral("&Comenzar"), QDialogButtonBox::AcceptRole);
    begin->setObjectName(QStringLiteral("cmdComenzar"));
    begin->setDefault(true);
    connect(help, &QPushButton::clicked, this, [this] {
        dontShowAgain_->setFocus();
        showHelp(kHelpStartupMessage, this);
    });
    connect(begin, &QPushButton::clicked, this, guarded([this] { start(); }));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addSpacing(6);
    layout->addWidget(text, 1);
    layout->addSpacing(6);
    layout->addWidget(dontShowAgain_);
    layout->addWidget(buttons);
    setMinimumWidth(520);
    adjustSize();
    CenterWindow(*this);
}

void frmInicioMensaje::start() {
    if (dontShowAgain_->isChecked()) {
        message_.NoMostrarMas();
    }
    accept();
}

frmCerrar::frmCerrar(std::function<void()> shutdown, QWidget* parent, std::chrono::milliseconds pause)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("frmCerrar"));
    setWindowTitle(QString::fromLatin1(kMainCaption));
    auto* caption = label(QString::fromLatin1(kMainCaption), this, 14, true);
    auto* text = label(QStringLiteral("Cerrando el sistema: se guardan y compactan los datos..."), this);
    text->setObjectName(QStringLiteral("lblCerrando"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 20, 28, 20);
    layout->addWidget(caption);
    layout->addWidget(text);
    adjustSize();
    CenterWindow(*this);
    QTimer::singleShot(pause, this, [this, shutdown = std::move(shutdown)] {
        shutdown();
        accept();
    });
}

void WindowedStartup::showSplash() {
    frmSplash splash(true);
    splash.exec();
}

void WindowedStartup::showStartupMessage(BCMsgIni& message) {
    frmInicioMensaje window(message);
    window.exec();
}

}  // namespace kapred::ui
