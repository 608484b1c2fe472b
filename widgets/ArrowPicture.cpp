// Code-drawn arrow pictures.
#include "ArrowPicture.h"

#include <QColor>

#include "DevicePixels.h"

QImage ArrowPicture(ArrowDirection direction, double ratio) {
  const int rows = std::max(ToDevice(kArrowRows, ratio), 1);
  const int width = 2 * rows - 1;
  QImage picture(width, rows, QImage::Format_ARGB32);
  picture.fill(Qt::transparent);
  const QRgb black = qRgb(0, 0, 0);
  for (int step = 0; step < rows; ++step) {  // step 0 is the tip
    const int y = direction == ArrowDirection::kUp ? step : rows - 1 - step;
    for (int x = rows - 1 - step; x <= rows - 1 + step; ++x) picture.setPixel(x, y, black);
  }
  picture.setDevicePixelRatio(ratio);
  return picture;
}
