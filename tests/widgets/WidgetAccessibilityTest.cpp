// What a screen reader finds in the self-drawn controls, asked in process
// through Qt's accessibility framework: roles, values and ranges that follow
// the user's input, requests that go through the controls' own setters, the
// mute button's checked state and press action, and the change notices.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QTest>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <utility>
#include <vector>

#include "TAdvSpinEdit.h"
#include "TAdvToolButton.h"
#include "TVrTrackBar.h"
#include "WidgetAccessibility.h"
#include "WidgetTestSupport.h"

namespace {

using namespace widget_test;

// Records the notices the controls send while it lives. They are taken from
// the controls' sink, not from a Qt update handler: the offscreen platform
// has no assistive tool listening, so Qt would drop them before any handler.
class NoticeRecorder {
 public:
  struct Notice {
    QObject* object;
    QAccessible::Event type;
    QVariant value;       // of a value change
    bool checkedChanged;  // of a state change
  };

  NoticeRecorder() : FPrevious(SetAccessibilityNoticeSink(&Record)) { Notices().clear(); }
  ~NoticeRecorder() { SetAccessibilityNoticeSink(FPrevious); }
  NoticeRecorder(const NoticeRecorder&) = delete;
  NoticeRecorder& operator=(const NoticeRecorder&) = delete;

  std::vector<double> ValuesOf(const QObject* object) const {
    std::vector<double> values;
    for (const Notice& n : Notices()) {
      if (n.object == object && n.type == QAccessible::ValueChanged) values.push_back(n.value.toDouble());
    }
    return values;
  }
  int CheckedChangesOf(const QObject* object) const {
    int count = 0;
    for (const Notice& n : Notices()) count += n.object == object && n.checkedChanged ? 1 : 0;
    return count;
  }

 private:
  static std::vector<Notice>& Notices() {
    static std::vector<Notice> notices;
    return notices;
  }
  static void Record(QAccessibleEvent* event) {
    Notice notice{event->object(), event->type(), QVariant(), false};
    if (event->type() == QAccessible::ValueChanged) {
      notice.value = static_cast<QAccessibleValueChangeEvent*>(event)->value();
    } else if (event->type() == QAccessible::StateChanged) {
      notice.checkedChanged = static_cast<QAccessibleStateChangeEvent*>(event)->changedStates().checked;
    }
    Notices().push_back(notice);
  }

  AccessibilityNoticeSink FPrevious;
};

QAccessibleInterface& InterfaceOf(QWidget& widget) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&widget);
  if (accessible == nullptr) throw std::runtime_error("no accessibility interface");
  return *accessible;
}

QAccessibleValueInterface* ValueOf(QWidget& widget) { return InterfaceOf(widget).valueInterface(); }

// --- The controls with a value ------------------------------------------------

enum class Control { GeneratorSlider, MasterSlider, FrequencyBox };

std::ostream& operator<<(std::ostream& out, Control control) {
  const char* names[] = {"GeneratorSlider", "MasterSlider", "FrequencyBox"};
  return out << names[static_cast<int>(control)];
}

struct ValueExpectations {
  QAccessible::Role role;
  bool focusable;
  double start, minimum, maximum, step;
  double afterUpKey;
  double asked, stored;  // a request the control does not take as it is
};

// One control set up as the window sets it up, on a group box surface, with
// its change event counted.
class ValueControlTest : public testing::TestWithParam<Control> {
 protected:
  void SetUp() override {
    group = MakeGroupSurface();
    if (GetParam() == Control::FrequencyBox) {
      MakeFrequencyBox();
    } else {
      MakeSlider(GetParam() == Control::GeneratorSlider ? 32767 : 100,
                 GetParam() == Control::GeneratorSlider ? 16384 : 50, GetParam() == Control::GeneratorSlider ? 10 : 5);
    }
    group->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(group.get()));
  }

  void MakeSlider(int maxValue, int position, int frequency) {
    auto* slider = MakeLevelSlider(group.get(), maxValue, position, frequency);
    slider->OnChange = [this](QObject*) { ++changes; };
    control = slider;
  }

  void MakeFrequencyBox() {
    auto* spin = new TAdvSpinEdit(group.get());
    spin->setGeometry(3, 32, 81, 21);
    spin->SetPrecision(3);
    spin->SetMinValue(1);
    spin->SetFloatValue(110.0L);
    spin->SetIncrementFloat(0.1);
    spin->OnChange = [this](QObject*) { ++changes; };
    control = spin;
  }

  static ValueExpectations Expected() {
    constexpr double kLowest = std::numeric_limits<double>::lowest();
    constexpr double kHighest = std::numeric_limits<double>::max();
    switch (GetParam()) {
      case Control::GeneratorSlider: return {QAccessible::Slider, false, 16384, 0, 32767, 10, 16394, 1e12, 32767};
      case Control::MasterSlider: return {QAccessible::Slider, false, 50, 0, 100, 5, 55, -7.6, 0};
      case Control::FrequencyBox:
        return {QAccessible::SpinBox, true, 110, kLowest, kHighest, 0.1, 110.1, 440.12345, 440.123};
    }
    return {};
  }

  double Current() { return ValueOf(*control)->currentValue().toDouble(); }

  std::unique_ptr<QWidget> group;
  QWidget* control = nullptr;
  int changes = 0;
};

TEST_P(ValueControlTest, RoleRangeAndFocusabilityAsTheControlHasThem) {
  const ValueExpectations expected = Expected();
  QAccessibleInterface& accessible = InterfaceOf(*control);
  EXPECT_EQ(accessible.role(), expected.role);
  // The keyboard reaches the spin boxes only: the sliders are no tab stops.
  EXPECT_EQ(accessible.state().focusable, expected.focusable);
  QAccessibleValueInterface* value = accessible.valueInterface();
  ASSERT_NE(value, nullptr);
  EXPECT_DOUBLE_EQ(value->currentValue().toDouble(), expected.start);
  EXPECT_EQ(value->minimumValue().toDouble(), expected.minimum);
  EXPECT_EQ(value->maximumValue().toDouble(), expected.maximum);
  EXPECT_DOUBLE_EQ(value->minimumStepSize().toDouble(), expected.step);
}

TEST_P(ValueControlTest, ValueFollowsTheKeyboardAndEachChangeIsAnnounced) {
  NoticeRecorder notices;
  QTest::keyClick(control, Qt::Key_Up);
  EXPECT_DOUBLE_EQ(Current(), Expected().afterUpKey);
  EXPECT_EQ(InterfaceOf(*control).text(QAccessible::Value).toDouble(), Expected().afterUpKey);
  const std::vector<double> announced = notices.ValuesOf(control);
  ASSERT_EQ(announced.size(), 1u);
  EXPECT_DOUBLE_EQ(announced[0], Expected().afterUpKey);
}

TEST_P(ValueControlTest, SetCurrentValueGoesThroughTheControlsSetter) {
  NoticeRecorder notices;
  ValueOf(*control)->setCurrentValue(Expected().asked);
  EXPECT_DOUBLE_EQ(Current(), Expected().stored);
  EXPECT_EQ(changes, 1);  // as a move by the user
  EXPECT_EQ(notices.ValuesOf(control).size(), 1u);
}

TEST_P(ValueControlTest, RequestsThatAreNoNumberChangeNothing) {
  const double before = Current();
  for (const QVariant& bad : {QVariant(), QVariant(QStringLiteral("loud")), QVariant(std::nan(""))}) {
    ValueOf(*control)->setCurrentValue(bad);
    EXPECT_EQ(Current(), before) << bad.toString().toStdString();
  }
  EXPECT_EQ(changes, 0);
}

TEST_P(ValueControlTest, DisabledControlTakesNoRequest) {
  group->setEnabled(false);
  const double before = Current();
  ValueOf(*control)->setCurrentValue(Expected().asked);
  EXPECT_EQ(Current(), before);
  EXPECT_EQ(changes, 0);
}

INSTANTIATE_TEST_SUITE_P(Controls, ValueControlTest,
                         testing::Values(Control::GeneratorSlider, Control::MasterSlider, Control::FrequencyBox),
                         testing::PrintToStringParamName());

// QWidget's constructor already asks for the interface of a child of a
// disabled parent, before the control is built; the window's generator
// groups start disabled.
TEST(DisabledGroupAccessibility, ControlsBuiltThereAnswerWithTheirOwnInterfaces) {
  auto group = MakeGroupSurface();
  group->setEnabled(false);
  const std::pair<QWidget*, QAccessible::Role> controls[] = {
      {new TVrTrackBar(group.get()), QAccessible::Slider},
      {new TAdvToolButton(group.get()), QAccessible::Button},
      {new TAdvSpinEdit(group.get()), QAccessible::SpinBox},
  };
  for (const auto& [control, role] : controls) {
    EXPECT_EQ(InterfaceOf(*control).role(), role);
    EXPECT_TRUE(InterfaceOf(*control).state().disabled);
  }
}

// --- The slider alone -----------------------------------------------------------

TEST(SliderAccessibility, ValueFollowsAMouseClickAndTheRangeFollowsItsSetters) {
  auto group = MakeGroupSurface();
  auto* slider = new TVrTrackBar(group.get());
  slider->setGeometry(16, 51, 57, 190);
  slider->SetOrientation(TVrOrientation::voVertical);
  group->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(group.get()));
  NoticeRecorder notices;
  // A click on the top of the gutter makes the thumb jump to the maximum.
  QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier, QPoint(28, 12));
  QAccessibleValueInterface* value = ValueOf(*slider);
  EXPECT_EQ(value->currentValue().toInt(), 100);
  EXPECT_EQ(notices.ValuesOf(slider), std::vector<double>{100});

  slider->SetMinValue(20);
  slider->SetMaxValue(60);  // moves the position in, with its notice
  EXPECT_EQ(value->minimumValue().toInt(), 20);
  EXPECT_EQ(value->maximumValue().toInt(), 60);
  EXPECT_EQ(notices.ValuesOf(slider), (std::vector<double>{100, 60}));
  slider->SetMinValue(80);  // above the maximum: the position can only be 60
  EXPECT_EQ(value->minimumValue().toInt(), 60);

  slider->SetTabStop(true);
  EXPECT_TRUE(InterfaceOf(*slider).state().focusable);
}

// --- Mute button ----------------------------------------------------------------

class MuteAccessibility : public testing::Test {
 protected:
  void SetUp() override {
    group = MakeGroupSurface();
    mute = MakeToggle(QStringLiteral("Mute"));
    mute->OnClick = [this](QObject*) { clicksSeenDown.push_back(mute->Down()); };
    group->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(group.get()));
  }

  TAdvToolButton* MakeToggle(const QString& caption) {
    auto* button = new TAdvToolButton(group.get());
    button->setGeometry(16, 32, 57, 21);
    button->SetCaption(caption);
    button->SetGroupIndex(1);
    button->SetAllowAllUp(true);
    return button;
  }

  void Click() { QTest::mouseClick(mute, Qt::LeftButton, Qt::NoModifier, QPoint(28, 10)); }
  QAccessible::State State() { return InterfaceOf(*mute).state(); }

  std::unique_ptr<QWidget> group;
  TAdvToolButton* mute = nullptr;
  std::vector<bool> clicksSeenDown;
};

TEST_F(MuteAccessibility, CheckableButtonWhoseCheckedStateFollowsDown) {
  NoticeRecorder notices;
  QAccessibleInterface& accessible = InterfaceOf(*mute);
  EXPECT_EQ(accessible.role(), QAccessible::Button);
  EXPECT_EQ(accessible.text(QAccessible::Name), QStringLiteral("Mute"));  // the caption, without a set name
  EXPECT_TRUE(State().checkable);
  EXPECT_FALSE(State().focusable);
  EXPECT_FALSE(State().checked);
  Click();
  EXPECT_TRUE(State().checked);
  EXPECT_EQ(notices.CheckedChangesOf(mute), 1);
  Click();
  EXPECT_FALSE(State().checked);
  EXPECT_EQ(notices.CheckedChangesOf(mute), 2);
}

TEST_F(MuteAccessibility, EveryWayDownChangesIsAnnounced) {
  NoticeRecorder notices;
  mute->SetDown(true);
  EXPECT_EQ(notices.CheckedChangesOf(mute), 1);
  // Another button of the group going down brings this one up.
  TAdvToolButton* other = MakeToggle(QStringLiteral("Other"));
  other->SetDown(true);
  EXPECT_FALSE(State().checked);
  EXPECT_EQ(notices.CheckedChangesOf(mute), 2);
  // Out of its group a button never stays down.
  other->SetGroupIndex(0);
  EXPECT_EQ(notices.CheckedChangesOf(other), 2);
  EXPECT_FALSE(InterfaceOf(*other).state().checkable);
  mute->SetDown(false);  // no change, no notice
  EXPECT_EQ(notices.CheckedChangesOf(mute), 2);
}

TEST_F(MuteAccessibility, PressActionTogglesLikeAClick) {
  QAccessibleActionInterface* actions = InterfaceOf(*mute).actionInterface();
  ASSERT_NE(actions, nullptr);
  EXPECT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
  actions->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_TRUE(State().checked);
  actions->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_FALSE(State().checked);
  EXPECT_EQ(clicksSeenDown, (std::vector<bool>{true, false}));  // Down changed before OnClick, as for a click

  group->setEnabled(false);
  actions->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_FALSE(mute->Down());
  EXPECT_EQ(clicksSeenDown.size(), 2u);
}

// --- The spin box alone ------------------------------------------------------------

TEST(SpinBoxAccessibility, TextIsReadableAndSelectableAndInfinityIsRefused) {
  auto group = MakeGroupSurface();
  auto* spin = new TAdvSpinEdit(group.get());
  spin->setGeometry(3, 32, 81, 21);
  spin->SetPrecision(3);
  spin->SetFloatValue(440.5L);
  QAccessibleInterface& accessible = InterfaceOf(*spin);
  EXPECT_EQ(accessible.text(QAccessible::Value), QStringLiteral("440.500"));
  EXPECT_TRUE(accessible.state().editable);

  QAccessibleTextInterface* text = accessible.textInterface();
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->characterCount(), 7);
  EXPECT_EQ(text->text(0, 7), QStringLiteral("440.500"));
  EXPECT_EQ(text->text(4, 7), QStringLiteral("500"));
  text->setSelection(0, 1, 3);
  EXPECT_EQ(spin->selectedText(), QStringLiteral("40"));
  int start = -1, end = -1;
  text->selection(0, &start, &end);
  EXPECT_EQ(std::pair(start, end), std::pair(1, 3));
  EXPECT_EQ(text->selectionCount(), 1);
  text->removeSelection(0);
  EXPECT_EQ(text->selectionCount(), 0);
  text->setCursorPosition(5);
  EXPECT_EQ(spin->cursorPosition(), 5);

  for (double bad : {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()}) {
    accessible.valueInterface()->setCurrentValue(bad);
    EXPECT_EQ(spin->text(), QStringLiteral("440.500"));
  }
}

}  // namespace
