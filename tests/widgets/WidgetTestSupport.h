// Helpers for driving a widget with the mouse and the wheel and reading its
// pixels.
#pragma once

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>
#include <memory>

#include "Colors.h"
#include "TVrTrackBar.h"

namespace widget_test {

// A group box's surface: the window's face colour, 88 by 263 pixels.
inline std::unique_ptr<QWidget> MakeGroupSurface() {
  auto group = std::make_unique<QWidget>();
  QPalette palette = group->palette();
  palette.setColor(QPalette::Window, ToQColor(clBtnFace));
  group->setPalette(palette);
  group->resize(88, 263);
  return group;
}

// A level slider as the window lays out a generator's: vertical, 57 x 190
// at (16, 51) of its group, with a 5-pixel gutter.
inline TVrTrackBar* MakeLevelSlider(QWidget* group, int maxValue, int position, int frequency) {
  auto* slider = new TVrTrackBar(group);
  slider->BeginLoading();
  slider->setGeometry(16, 51, 57, 190);
  slider->SetMaxValue(maxValue);
  slider->SetPosition(position);
  slider->SetOrientation(TVrOrientation::voVertical);
  slider->SetFrequency(frequency);
  slider->SetGutterWidth(5);
  slider->EndLoading();
  return slider;
}

inline QImage Pixels(QWidget& widget) { return widget.grab().toImage().convertToFormat(QImage::Format_RGB32); }

inline QColor PixelAt(const QImage& image, int x, int y) { return QColor(image.pixel(x, y)); }

inline QColor Rgb(int r, int g, int b) { return QColor(r, g, b); }

// A move with the left button held, delivered to the widget wherever the
// point is, as the implicit grab of a press does.
inline void DragTo(QWidget& widget, QPoint point) {
  QMouseEvent move(QEvent::MouseMove, point, widget.mapToGlobal(point), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &move);
}

inline void HoverTo(QWidget& widget, QPoint point) {
  QMouseEvent move(QEvent::MouseMove, point, widget.mapToGlobal(point), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &move);
}

inline void Wheel(QWidget& widget, int delta) {
  const QPoint inside(widget.width() / 2, widget.height() / 2);
  QWheelEvent wheel(inside, widget.mapToGlobal(inside), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(&widget, &wheel);
}

}  // namespace widget_test
