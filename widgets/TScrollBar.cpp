// The scroll bar's notifications: Qt's slider actions, keys and wheel turned
// into scroll codes, and the end of every mouse or key action.
#include "TScrollBar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionSlider>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>

namespace {

constexpr int kWheelNotch = 120;

// The keys are mapped here rather than left to QAbstractSlider, whose
// directions follow orientation and inversion settings.
std::optional<TScrollCode> CodeForKey(int key) {
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up: return TScrollCode::scLineUp;
    case Qt::Key_Right:
    case Qt::Key_Down: return TScrollCode::scLineDown;
    case Qt::Key_PageUp: return TScrollCode::scPageUp;
    case Qt::Key_PageDown: return TScrollCode::scPageDown;
    case Qt::Key_Home: return TScrollCode::scTop;
    case Qt::Key_End: return TScrollCode::scBottom;
    default: return std::nullopt;
  }
}

}  // namespace

TScrollBar::TScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
  setFocusPolicy(Qt::StrongFocus);
  setContextMenuPolicy(Qt::NoContextMenu);
  setRange(FMin, FMax);
  setSingleStep(FSmallChange);
  setPageStep(FLargeChange);
  setValue(FPosition);
  connect(this, &QAbstractSlider::actionTriggered, this, &TScrollBar::NotifyAction);
  // Whatever else sets Qt's value (accessibility, for one) goes through
  // SetPosition, so Position and OnChange never miss a move.
  connect(this, &QAbstractSlider::valueChanged, this, [this](int value) {
    if (value != FPosition) SetPosition(value);
  });
}

// --- Properties -------------------------------------------------------------

void TScrollBar::SetPosition(int value) {
  value = std::clamp(value, FMin, FMax);
  if (value == FPosition) return;
  FPosition = value;  // before setValue, which reports back through valueChanged
  ShowPosition();
  Change();
}

void TScrollBar::Change() {
  if (OnChange) OnChange(this);
}

void TScrollBar::ShowPosition() { setValue(FPosition); }

void TScrollBar::SetMin(int value) {
  if (value == FMin) return;
  FMin = value;
  FMax = std::max(FMax, FMin);
  ApplyRange();
}

void TScrollBar::SetMax(int value) {
  if (value == FMax) return;
  FMax = value;
  FMin = std::min(FMin, FMax);
  ApplyRange();
}

void TScrollBar::ApplyRange() {
  const int old = FPosition;
  FPosition = std::clamp(FPosition, FMin, FMax);
  setRange(FMin, FMax);
  ShowPosition();
  if (FPosition != old) Change();
}

void TScrollBar::SetSmallChange(int value) {
  value = std::max(value, 1);
  if (value == FSmallChange) return;
  FSmallChange = value;
  setSingleStep(value);
}

void TScrollBar::SetLargeChange(int value) {
  value = std::max(value, 1);
  if (value == FLargeChange) return;
  FLargeChange = value;
  setPageStep(value);
}

QRect TScrollBar::PartRect(QStyle::SubControl part) const {
  QStyleOptionSlider option;
  initStyleOption(&option);
  return style()->subControlRect(QStyle::CC_ScrollBar, &option, part, this);
}

void TScrollBar::initStyleOption(QStyleOptionSlider* option) const {
  QScrollBar::initStyleOption(option);
  // Styles size the thumb from the page step; with none they draw their
  // standard (minimum) thumb. Drawing, hit tests and the drag's pixel to value
  // mapping all read this option, so they agree on the thumb.
  option->pageStep = 0;
}

// --- Notifications ----------------------------------------------------------

void TScrollBar::NotifyAction(int action) {
  switch (action) {
    case SliderSingleStepSub: Scroll(TScrollCode::scLineUp); break;
    case SliderSingleStepAdd: Scroll(TScrollCode::scLineDown); break;
    case SliderPageStepSub: Scroll(TScrollCode::scPageUp); break;
    case SliderPageStepAdd: Scroll(TScrollCode::scPageDown); break;
    case SliderToMinimum: Scroll(TScrollCode::scTop); break;
    case SliderToMaximum: Scroll(TScrollCode::scBottom); break;
    case SliderMove:
      // A drag, or a style placing the thumb under the pointer (a middle
      // click, a held trough reaching the pointer): both are confirmed by
      // scPosition when the button is released.
      FEndsWithPosition = true;
      Scroll(TScrollCode::scTrack, sliderPosition());
      break;
    default: break;
  }
}

int TScrollBar::ProposedPosition(TScrollCode code, int trackPosition) const {
  long long proposed = FPosition;
  switch (code) {
    case TScrollCode::scLineUp: proposed -= FSmallChange; break;
    case TScrollCode::scLineDown: proposed += FSmallChange; break;
    case TScrollCode::scPageUp: proposed -= FLargeChange; break;
    case TScrollCode::scPageDown: proposed += FLargeChange; break;
    case TScrollCode::scPosition:
    case TScrollCode::scTrack: proposed = trackPosition; break;
    case TScrollCode::scTop: proposed = FMin; break;
    case TScrollCode::scBottom: proposed = FMax; break;
    case TScrollCode::scEndScroll: break;
  }
  return static_cast<int>(std::clamp<long long>(proposed, FMin, FMax));
}

void TScrollBar::Scroll(TScrollCode code, int trackPosition) {
  int position = ProposedPosition(code, trackPosition);
  if (OnScroll) OnScroll(this, code, position);
  SetPosition(position);
  // Inside triggerAction Qt applies its own proposal next; a handler that
  // kept or changed the position must win over it.
  ShowPosition();
}

// --- Mouse ------------------------------------------------------------------

void TScrollBar::mousePressEvent(QMouseEvent* event) {
  if (FMouseAction) {  // another button during an action: still the same action
    QScrollBar::mousePressEvent(event);
    return;
  }
  FEndsWithPosition = false;
  QScrollBar::mousePressEvent(event);
  // QScrollBar starts an action with a repeat (arrows, trough) or a held
  // thumb; any other press (another button, an empty range) does nothing.
  FMouseAction = isSliderDown() || repeatAction() != SliderNoAction;
  if (isSliderDown()) FEndsWithPosition = true;
}

void TScrollBar::mouseReleaseEvent(QMouseEvent* event) {
  QScrollBar::mouseReleaseEvent(event);
  if (event->buttons() == Qt::NoButton) EndMouseAction();
}

void TScrollBar::EndMouseAction() {
  if (!std::exchange(FMouseAction, false)) return;
  // After a hide the thumb may still count as held; releasing it moves
  // nothing, since Qt's position is Position.
  setSliderDown(false);
  if (std::exchange(FEndsWithPosition, false)) Scroll(TScrollCode::scPosition, sliderPosition());
  Scroll(TScrollCode::scEndScroll);
}

// A hidden or disabled bar gets no release: its action ends here.
void TScrollBar::hideEvent(QHideEvent* event) {
  QScrollBar::hideEvent(event);
  EndMouseAction();
}

void TScrollBar::changeEvent(QEvent* event) {
  QScrollBar::changeEvent(event);
  if (event->type() == QEvent::EnabledChange && !isEnabled()) EndMouseAction();
}

// --- Keys and wheel ---------------------------------------------------------

void TScrollBar::keyPressEvent(QKeyEvent* event) {
  const std::optional<TScrollCode> code = CodeForKey(event->key());
  if (!code) {
    event->ignore();
    return;
  }
  // A second key pressed while the first is held starts an action of its own.
  if (event->key() != FActionKey) {
    EndKeyAction();
    FActionKey = event->key();
  }
  Scroll(*code);
  event->accept();
}

void TScrollBar::keyReleaseEvent(QKeyEvent* event) {
  // Auto-repeat sends releases too; only the real one ends the action.
  if (event->isAutoRepeat() || event->key() != FActionKey) {
    event->ignore();
    return;
  }
  EndKeyAction();
  event->accept();
}

void TScrollBar::EndKeyAction() {
  if (std::exchange(FActionKey, 0) != 0) Scroll(TScrollCode::scEndScroll);
}

void TScrollBar::focusOutEvent(QFocusEvent* event) {
  EndKeyAction();  // the key's release goes to the next focus
  QScrollBar::focusOutEvent(event);
}

void TScrollBar::wheelEvent(QWheelEvent* event) {
  // A notch (120) is one line, toward Min when the wheel turns away from the
  // user or tilts left, and a complete action of its own. A part of a notch
  // waits for the rest.
  const QPoint angle = event->angleDelta();
  FWheelRemainder += std::abs(angle.x()) > std::abs(angle.y()) ? angle.x() : angle.y();
  for (; FWheelRemainder >= kWheelNotch; FWheelRemainder -= kWheelNotch) {
    Scroll(TScrollCode::scLineUp);
    Scroll(TScrollCode::scEndScroll);
  }
  for (; FWheelRemainder <= -kWheelNotch; FWheelRemainder += kWheelNotch) {
    Scroll(TScrollCode::scLineDown);
    Scroll(TScrollCode::scEndScroll);
  }
  event->accept();
}
