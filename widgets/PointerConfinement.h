// Keeps the mouse pointer inside one widget's rectangle while a drag lasts.
// On X11 the server confines it (a pointer grab with a confine window, so it
// never gets out). On Wayland a client may not move the pointer, and the
// press's implicit grab already keeps the moves coming to the widget, so the
// pointer is left free there. Elsewhere every move that got out is warped
// back inside.
#pragma once

#include <QPoint>
#include <QString>

class QWidget;

class PointerConfinement {
 public:
  // Confines the pointer to `widget`'s client area; `widget` must outlive
  // the confinement.
  void Confine(QWidget& widget);
  void Release();
  // Where the pointer is warped: puts a pointer at `global` that has left
  // the widget back on its nearest inside point.
  void KeepInside(const QPoint& global);

 private:
  QWidget* FWidget = nullptr;
  bool FServerConfines = false;
  bool FWarps = false;
};

// The name of the platform plugin in use, QGuiApplication::platformName() by
// default: it decides how the pointer is confined. A test reports another
// here; nullptr brings the default back. Returns the source replaced. Window
// thread only.
using PlatformNameSource = QString (*)();
PlatformNameSource SetPlatformNameSource(PlatformNameSource source);
