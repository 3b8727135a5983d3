#pragma once

#include <QFont>

// The Japanese user-interface font: IPAPGothic (proportional) or IPAGothic (fixed pitch),
// standing in for the Windows Gothic UI fonts. pointSize as in a dialog template.
QFont UiFont(int pointSize, bool proportional = true);
