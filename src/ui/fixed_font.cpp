#include "ui/fixed_font.h"

#include <QFontDatabase>
#include <QStringList>

namespace kapred::ui {

namespace {
// Installed with the package; the desktop's own monospace family may not be one (with Noto fonts
// it names a family that fontconfig does not mark as fixed-pitch).
constexpr const char* kPackagedFamily = "DejaVu Sans Mono";
}  // namespace

QFont fixedPitchFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (QFontDatabase::hasFamily(QLatin1String(kPackagedFamily))) {
        font.setFamilies(QStringList{QString::fromLatin1(kPackagedFamily)});
    }
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

}  // namespace kapred::ui
