// Colour numbers to toolkit colours.
#include "Colors.h"

QColor ToQColor(ColorNumber color) {
  switch (color) {
    case clWindowText: return QColor(0, 0, 0);
    case clBtnFace: return QColor(240, 240, 240);
    case clBtnShadow: return QColor(160, 160, 160);
    case clBtnHighlight: return QColor(255, 255, 255);
    default: return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
  }
}
