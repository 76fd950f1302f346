// The screen print of an entry window or of the declarations window: a picture of the window on
// paper under a short header that identifies the declaration.
#pragma once

#include <string>
#include <vector>

class QImage;
class QPainter;
class QPagedPaintDevice;
class QWidget;

namespace kapred {
struct Context;
}

namespace kapred::ui {

// Asks "Imprimir la pantalla actual" and, on Yes, prints the window without its button panel
// (picMant) on the default printer. A missing printer or a failed print is told under "Error al
// imprimir".
void ImprimirPantalla(Context& context, QWidget& window);

// The window's picture without its button panel (picMant), at its size on the screen.
QImage windowPicture(QWidget& window);

// Draws the header, each line indented by ten blanks, and the picture under it on the device's
// current page: at its own size when it fits between the margins (a twentieth of the width and
// a fifth more on each side), else scaled down to that width keeping its proportions. Gives the
// picture's width on the page, in the device's units.
int drawScreenPrint(QPainter& painter, QPagedPaintDevice& device, const std::vector<std::string>& header,
                    const QImage& picture);

}  // namespace kapred::ui
