// A flat, self-drawn button without a window of its own that never takes the
// focus. With a group number and AllowAllUp it is a two-state toggle: every
// completed click flips Down first and then calls OnClick.
#pragma once

#include <QString>
#include <QWidget>

#include "Colors.h"
#include "NotifyEvent.h"

enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

class TAdvToolButton : public QWidget {
 public:
  explicit TAdvToolButton(QWidget* parent = nullptr);

  QString Caption() const { return FCaption; }
  int GroupIndex() const { return FGroupIndex; }
  bool AllowAllUp() const { return FAllowAllUp; }
  bool Down() const { return FDown; }
  bool Flat() const { return FFlat; }
  bool Hot() const { return FMouseInControl; }
  TButtonState State() const { return FState; }
  ColorNumber Color() const { return FColor; }
  ColorNumber ColorHot() const { return FColorHot; }
  ColorNumber ColorDown() const { return FColorDown; }
  ColorNumber ColorChecked() const { return FColorChecked; }

  void SetCaption(const QString& caption);
  void SetGroupIndex(int group) { FGroupIndex = group; }
  void SetAllowAllUp(bool allow) { FAllowAllUp = allow; }
  // In a group, going down brings the group's other buttons up; a down button
  // comes up only when AllowAllUp. Outside a group Down stays false.
  void SetDown(bool down);
  void SetFlat(bool flat);
  // Plain stored colours, read by the next paint.
  void SetColor(ColorNumber color) { FColor = color; }
  void SetColorHot(ColorNumber color) { FColorHot = color; }
  void SetColorDown(ColorNumber color) { FColorDown = color; }
  void SetColorChecked(ColorNumber color) { FColorChecked = color; }

  // Runs OnClick.
  void Click();
  // Hot exactly when the pointer is over the button; asks for a repaint.
  void RefreshHover();

  TNotifyEvent OnClick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // The bottom edge row counts as inside, the right edge column does not.
  bool Inside(const QPoint& point) const;
  bool OwnEnabled() const;
  void BringGroupUp();

  QString FCaption;
  int FGroupIndex = 0;
  bool FDown = false;
  bool FDragging = false;
  bool FAllowAllUp = false;
  bool FFlat = true;
  bool FMouseInControl = false;
  ColorNumber FColor = clBtnFace;
  ColorNumber FColorHot = 0xCAC7C7;
  ColorNumber FColorDown = 0xD8D3D2;
  ColorNumber FColorChecked = clGray;
  TButtonState FState = TButtonState::bsUp;
};
