// How logical pixels land on device pixels when a screen has more (or fewer)
// device pixels than logical ones: the one rule by which the self-drawn
// controls and the chart paint their off-screen pictures at the screen's
// resolution. At a ratio of 1 every function gives back what it is given.
#pragma once

#include <QRect>
#include <QSize>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "Rounding.h"

// Larger ratios are taken as 1: a picture 16 times the control's size in
// each direction is the most a paint allocates.
inline constexpr double kMaxPaintRatio = 16.0;

// The ratio a widget's off-screen picture is painted at: its device pixel
// ratio, or 1 when that is no usable number.
inline double PaintRatio(const QWidget& widget) {
  const double ratio = widget.devicePixelRatioF();
  return std::isfinite(ratio) && ratio > 0.0 && ratio <= kMaxPaintRatio ? ratio : 1.0;
}

// The device pixel nearest a logical coordinate (ties to even), and so a
// logical length's device length when it starts at 0.
inline int ToDevice(int logical, double ratio) {
  return ratio == 1.0 ? logical : RoundToInt(double(logical) * ratio);
}

// A rectangle whose edges are the device pixels nearest its logical edges:
// rectangles that meet still meet, and one inside another stays inside.
inline QRect ToDevice(const QRect& logical, double ratio) {
  const int left = ToDevice(logical.left(), ratio), top = ToDevice(logical.top(), ratio);
  const int right = ToDevice(logical.left() + logical.width(), ratio);
  const int bottom = ToDevice(logical.top() + logical.height(), ratio);
  return QRect(left, top, right - left, bottom - top);
}

inline QSize ToDevice(const QSize& logical, double ratio) {
  return QSize(ToDevice(logical.width(), ratio), ToDevice(logical.height(), ratio));
}

// How many device pixels thick a line of one logical pixel is drawn: the
// whole number nearest the ratio, at least 1. Every such line gets the same
// thickness, so a row of them looks even at any ratio.
inline int DeviceLineWidth(double ratio) { return std::max(1, RoundToInt(ratio)); }
