// The accessibility interfaces of the self-drawn controls and the factory that
// hands them to Qt. Every request an assistive tool makes goes through the
// control's own setters, with their clamping, validation and change events,
// and only where a user could act: never on a disabled control.
#include "WidgetAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QVariant>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

#include "Rounding.h"
#include "TAdvSpinEdit.h"
#include "TAdvToolButton.h"
#include "TVrTrackBar.h"

namespace {

// A number from whatever an assistive tool sends: nothing for what is no
// number (text that does not parse, NaN).
std::optional<double> NumberFrom(const QVariant& value) {
  bool ok = false;
  const double number = value.toDouble(&ok);
  if (!ok || std::isnan(number)) return std::nullopt;
  return number;
}

// --- Level slider -------------------------------------------------------------

class TrackBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit TrackBarAccessible(TVrTrackBar* slider) : QAccessibleWidget(slider, QAccessible::Slider) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QString text(QAccessible::Text type) const override {
    if (type == QAccessible::Value) return QString::number(Slider().Position());
    return QAccessibleWidget::text(type);
  }

  QVariant currentValue() const override { return Slider().Position(); }
  // Rounded to the nearest whole value (saturating); SetPosition clamps it.
  void setCurrentValue(const QVariant& value) override {
    const std::optional<double> number = NumberFrom(value);
    if (number && Slider().isEnabled()) Slider().SetPosition(RoundToInt(*number));
  }
  // With MinValue above MaxValue, Position can only be MaxValue.
  QVariant minimumValue() const override { return std::min(Slider().MinValue(), Slider().MaxValue()); }
  QVariant maximumValue() const override { return Slider().MaxValue(); }
  // The step of the keys and the wheel.
  QVariant minimumStepSize() const override { return Slider().Frequency(); }

 private:
  TVrTrackBar& Slider() const { return *static_cast<TVrTrackBar*>(widget()); }
};

// --- Toggle button ------------------------------------------------------------

class ToolButtonAccessible : public QAccessibleWidget {
 public:
  explicit ToolButtonAccessible(TAdvToolButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

  QString text(QAccessible::Text type) const override {
    const QString text = QAccessibleWidget::text(type);
    if (type == QAccessible::Name && text.isEmpty()) return Button().Caption();
    return text;
  }

  // Only a button with a group stays down.
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = Button().GroupIndex() != 0;
    state.checked = Button().Down();
    return state;
  }

  QStringList actionNames() const override { return QStringList(pressAction()) + QAccessibleWidget::actionNames(); }
  void doAction(const QString& name) override {
    if (name == pressAction()) {
      Button().Press();
    } else {
      QAccessibleWidget::doAction(name);
    }
  }

 private:
  TAdvToolButton& Button() const { return *static_cast<TAdvToolButton*>(widget()); }
};

// --- Spin box -----------------------------------------------------------------

// Its text is readable and selectable, but not writable through this
// interface: an assistive tool changes the number through the value, which
// keeps the box's rules for what its text may hold.
class SpinEditAccessible : public QAccessibleWidget, public QAccessibleValueInterface, public QAccessibleTextInterface {
 public:
  explicit SpinEditAccessible(TAdvSpinEdit* spin) : QAccessibleWidget(spin, QAccessible::SpinBox) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QString text(QAccessible::Text type) const override {
    if (type == QAccessible::Value) return Spin().text();
    return QAccessibleWidget::text(type);
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = !Spin().isReadOnly();
    state.selectableText = true;
    return state;
  }

  // The value interface. The box has no range of its own: any double.
  QVariant currentValue() const override { return static_cast<double>(Spin().FloatValue()); }
  // SetFloatValue ignores what is not finite.
  void setCurrentValue(const QVariant& value) override {
    const std::optional<double> number = NumberFrom(value);
    if (number && Spin().isEnabled() && !Spin().isReadOnly()) Spin().SetFloatValue(*number);
  }
  QVariant minimumValue() const override { return std::numeric_limits<double>::lowest(); }
  QVariant maximumValue() const override { return std::numeric_limits<double>::max(); }
  QVariant minimumStepSize() const override { return Spin().IncrementFloat(); }

  // The text interface, offsets in UTF-16 units as the edit counts them.
  void selection(int index, int* start, int* end) const override {
    *start = *end = 0;
    if (index != 0 || !Spin().hasSelectedText()) return;
    *start = Spin().selectionStart();
    *end = Spin().selectionEnd();
  }
  int selectionCount() const override { return Spin().hasSelectedText() ? 1 : 0; }
  void addSelection(int start, int end) override { setSelection(0, start, end); }
  void removeSelection(int index) override {
    if (index == 0) Spin().deselect();
  }
  void setSelection(int index, int start, int end) override {
    if (index == 0) Spin().setSelection(start, end - start);
  }
  int cursorPosition() const override { return Spin().cursorPosition(); }
  void setCursorPosition(int position) override { Spin().setCursorPosition(position); }
  QString text(int start, int end) const override {
    return start >= 0 && end >= start ? Spin().text().mid(start, end - start) : QString();
  }
  int characterCount() const override { return static_cast<int>(Spin().text().size()); }
  // The edit keeps the layout of its text to itself: no rectangle.
  QRect characterRect(int) const override { return QRect(); }
  int offsetAtPoint(const QPoint& point) const override { return Spin().cursorPositionAt(Spin().mapFromGlobal(point)); }
  // The number always fits the box.
  void scrollToSubstring(int, int) override {}
  // One run without attributes.
  QString attributes(int, int* start, int* end) const override {
    *start = 0;
    *end = characterCount();
    return QString();
  }

 private:
  TAdvSpinEdit& Spin() const { return *static_cast<TAdvSpinEdit*>(widget()); }
};

// Qt asks every factory for each class of an object's meta-object chain; our
// controls have no meta-object of their own, so the object's type decides.
QAccessibleInterface* CreateInterface(const QString& /*className*/, QObject* object) {
  if (auto* slider = dynamic_cast<TVrTrackBar*>(object)) return new TrackBarAccessible(slider);
  if (auto* button = dynamic_cast<TAdvToolButton*>(object)) return new ToolButtonAccessible(button);
  if (auto* spin = dynamic_cast<TAdvSpinEdit*>(object)) return new SpinEditAccessible(spin);
  return nullptr;
}

bool IsOurs(QAccessibleInterface& accessible) {
  return dynamic_cast<TrackBarAccessible*>(&accessible) != nullptr ||
         dynamic_cast<ToolButtonAccessible*>(&accessible) != nullptr ||
         dynamic_cast<SpinEditAccessible*>(&accessible) != nullptr;
}

AccessibilityNoticeSink gNoticeSink = nullptr;

void Deliver(QAccessibleEvent& notice) {
  if (gNoticeSink != nullptr) {
    gNoticeSink(&notice);
  } else {
    QAccessible::updateAccessibility(&notice);
  }
}

}  // namespace

AccessibilityNoticeSink SetAccessibilityNoticeSink(AccessibilityNoticeSink sink) {
  return std::exchange(gNoticeSink, sink);
}

void AttachAccessibility(QWidget& control) {
  static const bool registered = [] {
    QAccessible::installFactory(&CreateInterface);
    return true;
  }();
  (void)registered;
  QAccessibleInterface* current = QAccessible::queryAccessibleInterface(&control);
  if (current != nullptr && !IsOurs(*current)) {
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(current));
  }
}

void NotifyValueChanged(QObject& control, const QVariant& value) {
  QAccessibleValueChangeEvent notice(&control, value);
  Deliver(notice);
}

void NotifyCheckedChanged(QObject& control) {
  QAccessible::State changed;
  changed.checked = true;
  QAccessibleStateChangeEvent notice(&control, changed);
  Deliver(notice);
}
