// X11 pointer grab with a confine window, nothing on Wayland, or warping as
// the fallback.
#include "PointerConfinement.h"

#include <xcb/xcb.h>

#include <QCursor>
#include <QGuiApplication>
#include <QWidget>
#include <algorithm>

namespace {

QString CurrentPlatformName() { return QGuiApplication::platformName(); }

PlatformNameSource gPlatformName = CurrentPlatformName;

enum class ConfinementWay { ServerGrab, Warp, None };

ConfinementWay WayOnPlatform(const QString& platform) {
  if (platform == QLatin1String("xcb")) return ConfinementWay::ServerGrab;
  // "wayland", "wayland-egl", "wayland-brcm": the protocol gives a client
  // no way to move the pointer, and Qt warns on every attempt.
  if (platform.startsWith(QLatin1String("wayland"))) return ConfinementWay::None;
  return ConfinementWay::Warp;
}

// The connection of the X11 platform actually running, whatever a test
// reports as the platform.
xcb_connection_t* X11Connection() {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->connection() : nullptr;
}

bool GrabConfined(xcb_connection_t* connection, xcb_window_t window) {
  constexpr uint16_t kEvents =
      XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION;
  const auto cookie = xcb_grab_pointer(connection, 1, window, kEvents, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, window,
                                       XCB_NONE, XCB_CURRENT_TIME);
  xcb_grab_pointer_reply_t* reply = xcb_grab_pointer_reply(connection, cookie, nullptr);
  const bool grabbed = reply != nullptr && reply->status == XCB_GRAB_STATUS_SUCCESS;
  free(reply);
  return grabbed;
}

}  // namespace

PlatformNameSource SetPlatformNameSource(PlatformNameSource source) {
  const PlatformNameSource replaced = gPlatformName;
  gPlatformName = source != nullptr ? source : CurrentPlatformName;
  return replaced;
}

void PointerConfinement::Confine(QWidget& widget) {
  FWidget = &widget;
  FServerConfines = false;
  const ConfinementWay way = WayOnPlatform(gPlatformName());
  if (way == ConfinementWay::ServerGrab) {
    if (xcb_connection_t* connection = X11Connection()) {
      FServerConfines = GrabConfined(connection, static_cast<xcb_window_t>(widget.winId()));
    }
  }
  // A grab the X server refused (another client holds the pointer) falls
  // back to warping.
  FWarps = way == ConfinementWay::Warp || (way == ConfinementWay::ServerGrab && !FServerConfines);
}

void PointerConfinement::Release() {
  if (FServerConfines) {
    if (xcb_connection_t* connection = X11Connection()) {
      xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
      xcb_flush(connection);
    }
  }
  FWidget = nullptr;
  FServerConfines = false;
  FWarps = false;
}

void PointerConfinement::KeepInside(const QPoint& global) {
  if (FWidget == nullptr || !FWarps) return;
  const QRect area(FWidget->mapToGlobal(QPoint(0, 0)), FWidget->size());
  const QPoint inside(std::clamp(global.x(), area.left(), area.right()),
                      std::clamp(global.y(), area.top(), area.bottom()));
  if (inside != global) QCursor::setPos(FWidget->screen(), inside);
}
