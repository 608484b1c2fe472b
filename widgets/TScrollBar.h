// The scroll bar that reports user actions as scroll notifications: a
// QScrollBar whose arrow, trough, thumb, key and wheel actions reach OnScroll
// before they move anything, and whose Position changes reach OnChange.
//
// Every action sends one or more notifications and ends with exactly one
// scEndScroll: at the release of the mouse button or of the key (an
// auto-repeated key or a held arrow sends several, then one end). For each
// notification the bar computes the new position from Position, clamps it to
// Min .. Max, calls OnScroll with Position still holding the old value, then
// takes the (possibly handler-changed) value through SetPosition. A drag sends
// scTrack per move, then scPosition with the final thumb position and the end.
//
// A mouse action cut short by a hide or a disable, and a key action cut short
// by a loss of focus, end there with their notifications. An owner that
// deletes the bar's window while it is shown clears OnScroll and OnChange
// first: an action in progress would otherwise end inside that deletion.
#pragma once

#include <QRect>
#include <QScrollBar>
#include <QStyle>
#include <functional>

#include "NotifyEvent.h"

enum class TScrollCode {
  scLineUp,
  scLineDown,
  scPageUp,
  scPageDown,
  scPosition,
  scTrack,
  scTop,
  scBottom,
  scEndScroll
};

// ScrollPos is the new position the notification proposes; the handler may
// change it, and the bar then takes that value (clamped to Min .. Max).
using TScrollEvent = std::function<void(QObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

// Horizontal; takes the focus by Tab and by click; no context menu (its
// actions would move the bar without notifications).
class TScrollBar : public QScrollBar {
 public:
  explicit TScrollBar(QWidget* parent = nullptr);

  int Position() const { return FPosition; }
  int Min() const { return FMin; }
  int Max() const { return FMax; }
  int SmallChange() const { return FSmallChange; }
  int LargeChange() const { return FLargeChange; }

  // Clamped to Min .. Max; an unchanged value does nothing, a new one moves
  // the thumb before OnChange runs.
  void SetPosition(int value);
  // A Min above Max raises Max to it, a Max below Min lowers Min to it; a
  // Position left outside the new range moves in and raises OnChange.
  void SetMin(int value);
  void SetMax(int value);
  // Steps below 1 count as 1. LargeChange does not size the thumb: the thumb
  // always has the style's standard (minimum) length.
  void SetSmallChange(int value);
  void SetLargeChange(int value);

  // Where a part of the bar (an arrow, the trough on either side, the thumb)
  // is drawn for the current Position.
  QRect PartRect(QStyle::SubControl part) const;

  TScrollEvent OnScroll;
  TNotifyEvent OnChange;

 protected:
  void initStyleOption(QStyleOptionSlider* option) const override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // The notification for one of Qt's slider actions, run from inside
  // QAbstractSlider::triggerAction: after Qt has proposed a thumb position and
  // before it applies one.
  void NotifyAction(int action);
  // One notification: compute, clamp, OnScroll, SetPosition.
  void Scroll(TScrollCode code, int trackPosition = 0);
  int ProposedPosition(TScrollCode code, int trackPosition) const;
  // Qt's value and thumb back on Position, whatever Qt proposed.
  void ShowPosition();
  void ApplyRange();
  void Change();
  void EndMouseAction();
  void EndKeyAction();

  int FMin = 0;
  int FMax = 100;
  int FPosition = 0;
  int FSmallChange = 1;
  int FLargeChange = 1;

  // Run-time state of the action in progress.
  bool FMouseAction = false;
  bool FEndsWithPosition = false;  // the thumb was held or placed: scPosition before the end
  int FActionKey = 0;              // the key whose action runs, 0 when none
  int FWheelRemainder = 0;
};
