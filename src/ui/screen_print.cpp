#include "ui/screen_print.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

#include "app/context.h"
#include "data/user_interface.h"
#include "generation/work_papers.h"

namespace kapred::ui {

namespace {

constexpr const char* kPrintErrorTitle = "Error al imprimir";

void printFailed(Context& context, const std::string& text) {
    context.ui.showMessage(MessageIcon::Critical, kPrintErrorTitle, text);
}

}  // namespace

QImage windowPicture(QWidget& window) {
    QApplication::processEvents();
    QImage picture = window.grab().toImage();
    // The button panel at the window's foot is left out: what is printed is the data.
    const QWidget* panel = window.findChild<QWidget*>(QStringLiteral("picMant"));
    if (panel != nullptr && panel->isVisible()) {
        const int top = panel->mapTo(&window, QPoint(0, 0)).y();
        const auto height = static_cast<int>(top * picture.devicePixelRatio());
        const bool atFoot = top + panel->height() + window.height() / 10 >= window.height();
        if (atFoot && height > 0 && height < picture.height()) {
            picture = picture.copy(0, 0, picture.width(), height);
        }
    }
    picture.setDevicePixelRatio(1);
    return picture;
}

int drawScreenPrint(QPainter& painter, QPagedPaintDevice& device, const std::vector<std::string>& header,
                    const QImage& picture) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(12);
    painter.setFont(font);
    const QFontMetrics metrics(font, &device);
    const int margin = static_cast<int>(device.width() / 20 * 1.2);
    int y = margin;
    const QString indent(10, QLatin1Char(' '));
    for (const std::string& line : header) {
        y += metrics.lineSpacing();
        painter.drawText(margin, y, indent + QString::fromStdString(line));
    }
    y += metrics.lineSpacing();
    // The picture's pixels at the screen's size on paper: 96 to the inch.
    const double dotsPerPixel = device.logicalDpiX() / 96.0;
    QSizeF size(picture.width() * dotsPerPixel, picture.height() * dotsPerPixel);
    const double printable = device.width() - 2.0 * margin;
    if (size.width() > printable) {
        size *= printable / size.width();
    }
    painter.drawImage(QRectF(QPointF(margin, y), size), picture);
    return static_cast<int>(size.width());
}

void ImprimirPantalla(Context& context, QWidget& window) {
    if (!context.ui.askYesNo(MessageIcon::Question, "Atención", "Imprimir la pantalla actual")) {
        return;
    }
    const QImage picture = windowPicture(window);
    const QPrinterInfo printerInfo = QPrinterInfo::defaultPrinter();
    if (printerInfo.isNull()) {
        printFailed(context, "No hay instalada ninguna impresora predeterminada.");
        return;
    }
    QPrinter printer(printerInfo, QPrinter::HighResolution);
    printer.setDocName(QString::fromUtf8("Kapred - Pantalla"));
    QPainter painter;
    if (!painter.begin(&printer)) {
        printFailed(context,
                    std::string("No pudo realizar la impresión. Por favor, revise ") + "el estado de la impresora.");
        return;
    }
    drawScreenPrint(painter, printer, screenPrintHeader(context), picture);
    if (!painter.end()) {
        printFailed(context,
                    std::string("No pudo realizar la impresión. Por favor, revise ") + "el estado de la impresora.");
    }
}

}  // namespace kapred::ui
