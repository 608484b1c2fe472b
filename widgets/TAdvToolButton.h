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
  ColorNumber Color() const { return FColor; }
  ColorNumber ColorHot() const { return FColorHot; }
  ColorNumber ColorDown() const { return FColorDown; }
  ColorNumber ColorChecked() const { return FColorChecked; }

  // Every setter takes any value, compares, stores and asks for a repaint
  // where the face may change.
  void SetCaption(const QString& caption);
  // Any value; non-zero makes the button a toggle of that group. A down
  // button moved to group 0 comes up; moved to another group, it brings that
  // group's down button up.
  void SetGroupIndex(int group);
  void SetAllowAllUp(bool allow) { FAllowAllUp = allow; }
  // In a group, going down brings the group's other buttons up; a down button
  // comes up only when AllowAllUp. Outside a group Down stays false.
  void SetDown(bool down);
  // A button that is not flat is never hot.
  void SetFlat(bool flat);
  void SetColor(ColorNumber color);
  void SetColorHot(ColorNumber color);
  void SetColorDown(ColorNumber color);
  void SetColorChecked(ColorNumber color);

  // Runs OnClick.
  void Click();
  // What a completed click does, for a request that comes without the mouse
  // (an assistive tool's press): a toggle flips Down, then OnClick runs.
  // Nothing while disabled.
  void Press();
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
  // Every change of Down goes through here: assistive tools hear of it.
  void StoreDown(bool down);
  void CompleteClick();
  void ShowFaceOfState();
  void SetFaceColor(ColorNumber& field, ColorNumber color);

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
