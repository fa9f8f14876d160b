#include "platform/qt/QtFonts.h"

namespace cibrano {

QStringList sansSerifSubstitutes() {
    return {"Liberation Sans", "DejaVu Sans", "Arial", "Helvetica"};
}

void installFontSubstitutes() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QFont::insertSubstitutions("MS Sans Serif", sansSerifSubstitutes());
    QFont::insertSubstitutions("System", sansSerifSubstitutes());
}

QFont msSansSerif(int pixelHeight, bool bold) {
    installFontSubstitutes();
    QFont font("MS Sans Serif");
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace cibrano
