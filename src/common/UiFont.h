#pragma once

#include <QFont>

// The program's face: Verdana where the system has it, else the system's own
// family (asking for a missing family makes every font variant search fallbacks).
QFont uiFont(int pointSize = 8, bool bold = false);
// The same family at a pixel size.
QFont uiFontPixels(int pixelSize, bool bold = false);
