// Off-screen painting for the self-drawn controls.
#include "TVrCustomImageControl.h"

#include <QPainter>

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
  const QSize size(std::max(width(), 1), std::max(height(), 1));
  if (FBitmapImage.size() != size) FBitmapImage = QImage(size, QImage::Format_RGB32);
  FBitmapImage.fill(Color());
  {
    QPainter painter(&FBitmapImage);
    PaintImage(painter);
  }
  if (width() > 0 && height() > 0) QPainter(this).drawImage(0, 0, FBitmapImage);
}
