// Off-screen painting for the self-drawn controls.
#include "TVrCustomImageControl.h"

#include <QPainter>

#include "DevicePixels.h"

TVrCustomImageControl::TVrCustomImageControl(QWidget* parent) : QWidget(parent) {
  // Every pixel is painted from the off-screen picture.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TVrCustomImageControl::Redraw() {
  if (FLoading || FUpdateCount != 0) return;
  repaint();
}

void TVrCustomImageControl::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) Redraw();
}

void TVrCustomImageControl::EndLoading() {
  FLoading = false;
  Redraw();
}

void TVrCustomImageControl::paintEvent(QPaintEvent*) {
  FPictureRatio = PaintRatio(*this);
  const QSize size = ToDevice(QSize(std::max(width(), 1), std::max(height(), 1)), FPictureRatio).expandedTo(QSize(1, 1));
  if (FBitmapImage.size() != size) FBitmapImage = QImage(size, QImage::Format_RGB32);
  // Painted in device pixels under the painter's own scale, so that parts
  // can reset it to place themselves on device pixels.
  FBitmapImage.setDevicePixelRatio(1.0);
  FBitmapImage.fill(Color());
  {
    QPainter painter(&FBitmapImage);
    if (FPictureRatio != 1.0) painter.scale(FPictureRatio, FPictureRatio);
    PaintImage(painter);
  }
  FBitmapImage.setDevicePixelRatio(FPictureRatio);
  if (width() > 0 && height() > 0) QPainter(this).drawImage(0, 0, FBitmapImage);
}
