// Toggle button faces and mouse handling.
#include "TAdvToolButton.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

#include "WidgetAccessibility.h"

namespace {

constexpr QSize kNewSize(22, 23);

}  // namespace

TAdvToolButton::TAdvToolButton(QWidget* parent) : QWidget(parent) {
  AttachAccessibility(*this);
  resize(kNewSize);
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(true);
}

void TAdvToolButton::SetCaption(const QString& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  update();
}

void TAdvToolButton::SetFlat(bool flat) {
  if (flat == FFlat) return;
  FFlat = flat;
  if (!flat) FMouseInControl = false;
  update();
}

void TAdvToolButton::SetFaceColor(ColorNumber& field, ColorNumber color) {
  if (color == field) return;
  field = color;
  update();
}

void TAdvToolButton::SetColor(ColorNumber color) { SetFaceColor(FColor, color); }
void TAdvToolButton::SetColorHot(ColorNumber color) { SetFaceColor(FColorHot, color); }
void TAdvToolButton::SetColorDown(ColorNumber color) { SetFaceColor(FColorDown, color); }
void TAdvToolButton::SetColorChecked(ColorNumber color) { SetFaceColor(FColorChecked, color); }

void TAdvToolButton::SetGroupIndex(int group) {
  if (group == FGroupIndex) return;
  FGroupIndex = group;
  if (!FDown) return;
  if (group != 0) {
    BringGroupUp();  // one down button per group
    return;
  }
  StoreDown(false);  // a plain button never stays down
  if (FState == TButtonState::bsExclusive) FState = TButtonState::bsUp;
  update();
}

void TAdvToolButton::SetDown(bool down) {
  if (FGroupIndex == 0) return;  // a plain button never stays down
  if (down == FDown || (FDown && !FAllowAllUp)) return;
  StoreDown(down);
  if (down) {
    if (FState == TButtonState::bsUp) update();
    FState = TButtonState::bsExclusive;
    BringGroupUp();
  } else {
    FState = TButtonState::bsUp;
    repaint();
  }
}

void TAdvToolButton::BringGroupUp() {
  if (parentWidget() == nullptr) return;
  // dynamic_cast, not findChildren: without Q_OBJECT the class shares
  // QWidget's meta-object, so findChildren<TAdvToolButton*> returns every
  // widget of the parent.
  for (QObject* child : parentWidget()->children()) {
    auto* other = dynamic_cast<TAdvToolButton*>(child);
    if (other == nullptr || other == this || other->FGroupIndex != FGroupIndex || !other->FDown) continue;
    // Another button of the group comes up even where it may not on its own.
    other->StoreDown(false);
    other->FState = TButtonState::bsUp;
    other->repaint();
  }
}

void TAdvToolButton::StoreDown(bool down) {
  if (down == FDown) return;
  FDown = down;
  NotifyCheckedChanged(*this);
}

void TAdvToolButton::Click() {
  if (OnClick) OnClick(this);
}

bool TAdvToolButton::OwnEnabled() const {
  return parentWidget() != nullptr ? isEnabledTo(parentWidget()) : isEnabled();
}

bool TAdvToolButton::Inside(const QPoint& point) const {
  return point.x() >= 0 && point.x() < width() && point.y() >= 0 && point.y() <= height();
}

void TAdvToolButton::RefreshHover() {
  if (!FFlat || !isEnabled()) return;
  FMouseInControl = QApplication::widgetAt(QCursor::pos()) == this;
  update();
}

void TAdvToolButton::enterEvent(QEnterEvent*) {
  if (!FFlat || FMouseInControl || !isEnabled() || QWidget::mouseGrabber() != nullptr) return;
  FMouseInControl = true;
  update();
}

void TAdvToolButton::leaveEvent(QEvent*) {
  if (!isEnabled() || !FMouseInControl) return;
  FMouseInControl = false;
  update();
}

void TAdvToolButton::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) {
    if (!OwnEnabled()) {
      FState = TButtonState::bsDisabled;
      FDragging = false;
    } else if (FState == TButtonState::bsDisabled) {
      FState = FDown && FGroupIndex != 0 ? TButtonState::bsExclusive : TButtonState::bsUp;
    }
    RefreshHover();
    repaint();
  }
  QWidget::changeEvent(event);
}

void TAdvToolButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !isEnabled()) return;
  if (!FDown) {
    FState = TButtonState::bsDown;
    update();
  }
  FDragging = true;
}

void TAdvToolButton::mouseMoveEvent(QMouseEvent* event) {
  if (!FDragging) {
    if (!FMouseInControl) RefreshHover();
    return;
  }
  TButtonState wanted = FDown ? TButtonState::bsExclusive : TButtonState::bsUp;
  if (Inside(event->position().toPoint())) wanted = FDown ? TButtonState::bsExclusive : TButtonState::bsDown;
  if (wanted != FState) {
    FState = wanted;
    update();
  }
}

void TAdvToolButton::mouseReleaseEvent(QMouseEvent* event) {
  if (!FDragging) return;
  FDragging = false;
  if (Inside(event->position().toPoint())) {
    CompleteClick();
  } else {
    ShowFaceOfState();
  }
  RefreshHover();  // one more repaint, after OnClick has returned
}

void TAdvToolButton::Press() {
  if (isEnabled()) CompleteClick();
}

void TAdvToolButton::CompleteClick() {
  if (FGroupIndex != 0) {
    SetDown(!FDown);
    if (FDown) repaint();
  } else {
    ShowFaceOfState();
  }
  Click();  // after Down changed and the new face is on the screen
}

// Released outside, or a plain button: back to the face of its state.
void TAdvToolButton::ShowFaceOfState() {
  FState = FDown ? TButtonState::bsExclusive : TButtonState::bsUp;
  repaint();
}

void TAdvToolButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const bool enabled = OwnEnabled();
  const bool hot = FMouseInControl && enabled;
  // The outermost ring is never painted: the parent shows there.
  const QRect face = rect().adjusted(1, 1, -1, -1);
  if (!hot) {
    painter.fillRect(face, ToQColor(FColor));
  } else {
    painter.fillRect(face, ToQColor(FState == TButtonState::bsDown ? FColorDown : FColorHot));
  }
  if (FState == TButtonState::bsExclusive && !hot) painter.fillRect(face, ToQColor(FColorChecked));
  const QRect captionArea = face.adjusted(1, 1, -1, -1);
  painter.setFont(font());
  if (enabled) {
    painter.setPen(ToQColor(clWindowText));
    painter.drawText(captionArea, Qt::AlignCenter, FCaption);
  } else {
    painter.setPen(ToQColor(clBtnHighlight));
    painter.drawText(captionArea.translated(1, 1), Qt::AlignCenter, FCaption);
    painter.setPen(ToQColor(clBtnShadow));
    painter.drawText(captionArea, Qt::AlignCenter, FCaption);
  }
}
