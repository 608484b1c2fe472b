// Keeps the mouse pointer inside one widget's rectangle while a drag lasts.
// On X11 the server confines it (a pointer grab with a confine window, so it
// never gets out); elsewhere every move that got out is warped back inside.
#pragma once

#include <QPoint>

class QWidget;

class PointerConfinement {
 public:
  // Confines the pointer to `widget`'s client area; `widget` must outlive
  // the confinement.
  void Confine(QWidget& widget);
  void Release();
  // Where the server cannot confine: puts a pointer at `global` that has left
  // the widget back on its nearest inside point.
  void KeepInside(const QPoint& global);

 private:
  QWidget* FWidget = nullptr;
  bool FServerConfines = false;
};
