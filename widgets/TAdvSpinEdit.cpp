// The spin box: reading and writing the number text, steps, the typed
// character filter, the paste trial, focus and layout.
#include "TAdvSpinEdit.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <optional>

#include "Alerts.h"
#include "NumberSyntax.h"
#include "RegionalSettings.h"
#include "SteadyLook.h"
#include "TAdvSpinButton.h"
#include "WidgetAccessibility.h"

namespace {

constexpr int kFrame = 2;  // the edit's border; the arrows sit inside it
constexpr int kWheelNotch = 120;
constexpr char16_t kBackspace = 0x08;
constexpr char16_t kEscape = 0x1B;
constexpr char16_t kCarriageReturn = 0x0D;
constexpr char16_t kCtrlA = 0x01, kCtrlC = 0x03, kCtrlV = 0x16, kCtrlX = 0x18, kCtrlZ = 0x1A;

std::u16string ToU16(const QString& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), text.size());
}

bool IsBlank(const QString& text) {
  for (QChar c : text) {
    if (c.unicode() > u' ') return false;
  }
  return true;
}

// ASCII digits, and beyond ASCII every digit, letter-number or other number
// except the vulgar fractions.
bool IsNumberCharacter(QChar c) {
  if (c >= u'0' && c <= u'9') return true;
  if (c.unicode() <= 0x7F || (c.unicode() >= 0xBC && c.unicode() <= 0xBE)) return false;
  const QChar::Category category = c.category();
  return category == QChar::Number_DecimalDigit || category == QChar::Number_Letter || category == QChar::Number_Other;
}

// The character a key press types, control characters included (Ctrl+V is
// U+0016 whatever the platform puts into the event's text).
std::optional<QChar> TypedCharacter(const QKeyEvent& event) {
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  if ((modifiers & Qt::ControlModifier) != 0 && (modifiers & Qt::AltModifier) == 0 && event.key() >= Qt::Key_A &&
      event.key() <= Qt::Key_Z) {
    return QChar(static_cast<char16_t>(event.key() - Qt::Key_A + 1));
  }
  if (event.key() == Qt::Key_Backspace) return QChar(kBackspace);
  if (event.key() == Qt::Key_Escape) return QChar(kEscape);
  const QString text = event.text();
  if (text.size() == 1 && text[0].unicode() >= u' ' && text[0].unicode() != 0x7F &&
      (modifiers & (Qt::ControlModifier | Qt::AltModifier)) == 0) {
    return text[0];
  }
  return std::nullopt;
}

// A step the value can take: a negative one would turn the arrows round, and
// one that is not finite would leave text that reads as no number.
bool IsUsableStep(double step) { return std::isfinite(step) && step >= 0; }

bool IsEnumerator(TLabelPosition position) {
  return position == TLabelPosition::lpLeftTop || position == TLabelPosition::lpTopCenter;
}

}  // namespace

TAdvSpinEdit::TAdvSpinEdit(QWidget* parent) : QLineEdit(parent), FButton(new TAdvSpinButton(this)) {
  AttachAccessibility(*this);
  setText(QStringLiteral("0"));
  setTextMargins(0, 0, kArrowWidth, 0);
  setAcceptDrops(false);  // text arrives by typing or by the checked paste only
  KeepLookWhenDisabled(*this);
  HideFocusFrame(*this);
  FButton->OnArrowPress = [this](QObject*) { ArrowPressed(); };
  FButton->OnUpClick = [this](QObject*) { StepUp(); };
  FButton->OnDownClick = [this](QObject*) { StepDown(); };
  connect(this, &QLineEdit::textChanged, this, [this] {
    NotifyValueChanged(*this, static_cast<double>(FloatValue()));
    if (OnChange) OnChange(this);
  });
  PlaceButton();
}

// --- The value --------------------------------------------------------------

long double TAdvSpinEdit::FloatValue() const {
  const QString current = text();
  if (IsBlank(current)) return 0.0L;
  const std::optional<long double> value = ParseNumber(ToU16(current), Regional().decimalSeparator);
  return value ? *value : static_cast<long double>(FMinValue);
}

void TAdvSpinEdit::SetFloatValue(long double value) {
  if (!std::isfinite(value)) return;
  const QString formatted = QString::fromStdU16String(FormatFixed(value, FPrecision, Regional().decimalSeparator));
  if (formatted != text()) setText(formatted);
}

void TAdvSpinEdit::SetPrecision(int precision) { FPrecision = std::clamp(precision, 0, kMaxPrecision); }

void TAdvSpinEdit::SetIncrementFloat(double step) {
  if (IsUsableStep(step)) FIncrementFloat = step;
}

void TAdvSpinEdit::SetIncrementFloatPage(double step) {
  if (IsUsableStep(step)) FIncrementFloatPage = step;
}

// --- Selection --------------------------------------------------------------

TAdvSpinEdit::Selection TAdvSpinEdit::CurrentSelection() const {
  if (hasSelectedText()) return {selectionStart(), static_cast<int>(selectedText().size())};
  return {cursorPosition(), 0};
}

void TAdvSpinEdit::Select(Selection selection) {
  const int length = static_cast<int>(text().size());
  const int start = std::clamp(selection.start, 0, length);
  const int extent = std::clamp(selection.length, 0, length - start);
  if (extent > 0) {
    setSelection(start, extent);
  } else {
    deselect();
    setCursorPosition(start);
  }
}

// --- Steps ------------------------------------------------------------------

void TAdvSpinEdit::Step(double increment, bool extendSelection) {
  const Selection before = CurrentSelection();
  const QString old = text();
  SetFloatValue(FloatValue() + increment);
  const QString now = text();
  Selection after = before;
  // Keep the caret on the same digit when a minus sign came or went.
  if (old.contains(u'-') && !now.contains(u'-')) --after.start;
  if (!old.contains(u'-') && now.contains(u'-')) ++after.start;
  Select(after);
  if (extendSelection && now.size() != old.size()) {
    after.start = std::clamp(after.start, 0, static_cast<int>(now.size()));
    Select({after.start, static_cast<int>(now.size()) - after.start});
  }
}

void TAdvSpinEdit::StepUp() {
  Step(FIncrementFloat, true);
  if (OnUpClick) OnUpClick(this);
}

void TAdvSpinEdit::StepDown() {
  Step(-FIncrementFloat, false);
  if (OnDownClick) OnDownClick(this);
}

// --- Keys and typed characters ---------------------------------------------

void TAdvSpinEdit::keyPressEvent(QKeyEvent* event) {
  const Selection before = CurrentSelection();
  const bool control = (event->modifiers() & Qt::ControlModifier) != 0;
  const auto restoreAfter = [&](auto&& action) {
    action();
    Select(before);
    event->accept();
  };
  switch (event->key()) {
    case Qt::Key_Up: return restoreAfter([this] { StepUp(); });
    case Qt::Key_Down: return restoreAfter([this] { StepDown(); });
    case Qt::Key_PageUp: return restoreAfter([this] { SetFloatValue(FloatValue() + FIncrementFloatPage); });
    case Qt::Key_PageDown: return restoreAfter([this] { SetFloatValue(FloatValue() - FIncrementFloatPage); });
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return restoreAfter([&] {
        if (control) QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier));
      });
    case Qt::Key_Delete:
      if (event->modifiers() == Qt::NoModifier) return restoreAfter([&] { QLineEdit::keyPressEvent(event); });
      break;
    default: break;
  }
  if (const std::optional<QChar> character = TypedCharacter(*event)) {
    TypeCharacter(*character);
    event->accept();
    return;
  }
  if (event->matches(QKeySequence::Paste)) {  // Shift+Insert
    TryPaste(QClipboard::Clipboard);
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void TAdvSpinEdit::TypeCharacter(QChar character) {
  if (character == u'+' || character == u'-') {
    // Signs never change the text; they only beep where every character
    // would be refused.
    QChar empty(u'\0');
    bool refused = !AcceptsChar(empty);
    QChar minus(u'-');
    if (!refused && character == u'-') refused = !AcceptsChar(minus);
    if (refused) Alerts().Beep();
    return;
  }
  if (character == kCarriageReturn) return;
  if (!AcceptsChar(character)) {
    Alerts().Beep();
    return;
  }
  switch (character.unicode()) {
    case kBackspace: backspace(); break;
    case kCtrlA: selectAll(); break;
    case kCtrlC: copy(); break;
    case kCtrlV: TryPaste(QClipboard::Clipboard); break;
    case kCtrlX: cut(); break;
    case kCtrlZ: undo(); break;
    default:
      if (character.unicode() >= u' ') insert(QString(character));
      break;
  }
}

bool TAdvSpinEdit::AcceptsChar(QChar& character) {
  const RegionalSettings& regional = Regional();
  const char16_t c = character.unicode();
  const bool acceptable = c == regional.decimalSeparator || c == regional.thousandsSeparator ||
                          IsNumberCharacter(character) || c == u'+' || c == u'-' || (c < u' ' && c != kCarriageReturn);
  if (!acceptable) return false;
  if (c == kEscape || c == kCarriageReturn || c == kBackspace) return true;
  if (c == regional.thousandsSeparator) character = QChar(regional.decimalSeparator);
  const QString current = text();
  const int separatorAt = static_cast<int>(current.indexOf(QChar(regional.decimalSeparator))) + 1;  // 1-based, 0: none
  if (character == QChar(regional.decimalSeparator)) {
    const bool wholeTextSelected = selectedText().size() == current.size();
    if (!wholeTextSelected && separatorAt > 0) return false;
  }
  // All decimals present and the caret right of the separator: nothing more.
  if (separatorAt > 0 && !hasSelectedText() && cursorPosition() >= separatorAt &&
      current.size() >= separatorAt + FPrecision) {
    return false;
  }
  return true;
}

// --- Clipboard --------------------------------------------------------------

void TAdvSpinEdit::TryPaste(QClipboard::Mode mode) {
  const QString pasted = QApplication::clipboard()->text(mode);
  if (pasted.isEmpty()) return;
  const Selection selection = CurrentSelection();
  QString result = text();
  result.replace(selection.start, selection.length, pasted);
  if (!ParseNumber(ToU16(result), Regional().decimalSeparator)) return;  // silently refused
  insert(pasted);
  if (selection.length > 0) Select({selection.start, static_cast<int>(pasted.size())});
}

void TAdvSpinEdit::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton && QApplication::clipboard()->supportsSelection()) {
    TryPaste(QClipboard::Selection);
    event->accept();
    return;
  }
  QLineEdit::mouseReleaseEvent(event);
}

void TAdvSpinEdit::contextMenuEvent(QContextMenuEvent* event) {
  QPointer<QMenu> menu = createStandardContextMenu();
  for (QAction* action : menu->actions()) {
    if (action->objectName() != QLatin1String("edit-paste")) continue;
    disconnect(action, &QAction::triggered, nullptr, nullptr);
    connect(action, &QAction::triggered, this, [this] { TryPaste(QClipboard::Clipboard); });
  }
  menu->exec(event->globalPos());
  delete menu;
}

// --- Focus and wheel --------------------------------------------------------

void TAdvSpinEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  const Qt::FocusReason reason = event->reason();
  // A click into the text leaves the caret where clicked; any other way in
  // (keyboard, an arrow) selects the whole text. A press on the arrows also
  // gives the focus "by mouse", so that case is settled by whichever of the
  // two receives the press.
  FMouseEntryPending = reason == Qt::MouseFocusReason;
  if (reason != Qt::MouseFocusReason && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
    selectAll();
  }
}

void TAdvSpinEdit::mousePressEvent(QMouseEvent* event) {
  FMouseEntryPending = false;
  QLineEdit::mousePressEvent(event);
}

void TAdvSpinEdit::ArrowPressed() {
  if (!hasFocus() && (focusPolicy() & Qt::ClickFocus) != 0) {
    setFocus(Qt::OtherFocusReason);
  } else if (FMouseEntryPending) {
    selectAll();
  }
  FMouseEntryPending = false;
}

void TAdvSpinEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason) return;
  if (!text().isEmpty()) SetFloatValue(FloatValue());  // the standard form; empty stays empty
}

void TAdvSpinEdit::wheelEvent(QWheelEvent* event) {
  FWheelRemainder += event->angleDelta().y();
  for (; FWheelRemainder >= kWheelNotch; FWheelRemainder -= kWheelNotch) StepUp();
  for (; FWheelRemainder <= -kWheelNotch; FWheelRemainder += kWheelNotch) StepDown();
  event->accept();
}

// --- Layout -----------------------------------------------------------------

void TAdvSpinEdit::SetLabelCaption(const QString& caption) {
  if (FLabel == nullptr) {
    FLabel = new QLabel(parentWidget());
    FLabel->setBuddy(this);
    FLabel->setFont(font());
    FLabel->installEventFilter(this);  // placed again whenever its size changes
    connect(this, &QObject::destroyed, FLabel, &QObject::deleteLater);
    if (isVisible()) FLabel->show();
  }
  FLabel->setText(caption);
  FLabel->adjustSize();
  PlaceLabel();
}

void TAdvSpinEdit::SetLabelPosition(TLabelPosition position) {
  if (!IsEnumerator(position) || position == FLabelPosition) return;
  FLabelPosition = position;
  PlaceLabel();
}

void TAdvSpinEdit::SetLabelMargin(int margin) {
  margin = std::clamp(margin, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  if (margin == FLabelMargin) return;
  FLabelMargin = margin;
  PlaceLabel();
}

void TAdvSpinEdit::PlaceLabel() {
  if (FLabel == nullptr) return;
  const int top = y() - FLabel->height() - FLabelMargin;
  const int left = FLabelPosition == TLabelPosition::lpTopCenter ? x() + (width() - FLabel->width()) / 2 : x();
  FLabel->move(left, top);
}

void TAdvSpinEdit::PlaceButton() {
  FButton->setGeometry(width() - kFrame - kArrowWidth, kFrame, kArrowWidth, height() - 2 * kFrame);
}

void TAdvSpinEdit::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  PlaceButton();
  PlaceLabel();
}

void TAdvSpinEdit::moveEvent(QMoveEvent* event) {
  QLineEdit::moveEvent(event);
  PlaceLabel();
}

void TAdvSpinEdit::changeEvent(QEvent* event) {
  QLineEdit::changeEvent(event);
  if (event->type() == QEvent::FontChange && FLabel != nullptr) {
    FLabel->setFont(font());
    FLabel->adjustSize();
    PlaceLabel();
  }
}

void TAdvSpinEdit::showEvent(QShowEvent* event) {
  QLineEdit::showEvent(event);
  PlaceButton();
  PlaceLabel();
}

bool TAdvSpinEdit::eventFilter(QObject* watched, QEvent* event) {
  if (watched == FLabel && event->type() == QEvent::Resize) PlaceLabel();
  return QLineEdit::eventFilter(watched, event);
}

void TAdvSpinEdit::setVisible(bool visible) {
  QLineEdit::setVisible(visible);
  if (FLabel != nullptr) FLabel->setVisible(visible);
}
