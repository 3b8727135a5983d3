#include "platform/ui/UiFont.h"

QFont UiFont(int pointSize, bool proportional) {
    QFont font(proportional ? QStringLiteral("IPAPGothic") : QStringLiteral("IPAGothic"));
    font.setStyleHint(proportional ? QFont::SansSerif : QFont::Monospace);
    font.setPointSize(pointSize);
    return font;
}
