// The frequency spin box as the window configures it, with the point and
// with the comma as decimal separator: the value in the text, typing, steps,
// pasting, the wheel, the arrows' repeat and the focus rules.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <climits>
#include <functional>
#include <limits>
#include <memory>
#include <ostream>
#include <vector>

#include "AlertRecorder.h"
#include "RegionalSettings.h"
#include "RepeatTimer.h"
#include "TAdvSpinButton.h"
#include "TAdvSpinEdit.h"
#include "WidgetTestSupport.h"

namespace {

using namespace widget_test;

// A spin box set up as the window sets up its first generator's.
TAdvSpinEdit* MakeFrequencyBox(QWidget& group) {
  auto* spin = new TAdvSpinEdit(&group);
  spin->setGeometry(3, 32, 81, 21);
  spin->SetPrecision(3);
  spin->SetMinValue(1);
  spin->SetFloatValue(110.0L);
  spin->setAlignment(Qt::AlignCenter);
  spin->SetLabelCaption(QStringLiteral("Freq (Hz)"));
  spin->SetLabelPosition(TLabelPosition::lpTopCenter);
  return spin;
}

// Fires the arrow's repeats when the test says so.
class ManualTimer final : public RepeatTimer {
 public:
  static constexpr int kNone = -1;
  void Start(int intervalMs) override { pending = intervalMs; }
  void Stop() override { pending = kNone; }
  void Fire() {
    ASSERT_NE(pending, kNone) << "no shot pending";
    pending = kNone;
    OnFire();
  }
  int pending = kNone;  // the interval of the shot waiting
};

class SpinEditTest : public testing::TestWithParam<char16_t> {
 protected:
  void SetUp() override {
    const bool comma = GetParam() == u',';
    SetRegional({comma ? u',' : u'.', comma ? u'.' : u','});
    group = MakeGroupSurface();
    other = new QLineEdit(group.get());
    other->setGeometry(3, 100, 81, 21);
    spin = MakeFrequencyBox(*group);
    spin->OnChange = [this](QObject* sender) {
      EXPECT_EQ(sender, spin);
      changes.push_back(spin->FloatValue());
    };
  }
  void TearDown() override { SetRegional({}); }

  // Shows the box with the focus in it and the caret at `caret`.
  void FocusAt(int caret) {
    group->show();
    group->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(group.get()));
    spin->setFocus(Qt::MouseFocusReason);
    spin->setCursorPosition(caret);
  }

  QString Sep() const { return QString(QChar(GetParam())); }
  // A text written with '.' for the decimal separator in force.
  QString T(const char* text) const { return QString::fromLatin1(text).replace(u'.', QChar(GetParam())); }
  // A key that types `c`, for any character a keyboard layout can produce.
  void Type(QChar c) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(spin, &press);
  }
  void TypeSeparator() { Type(QChar(GetParam())); }

  AlertRecorder beeper;
  std::unique_ptr<QWidget> group;
  QLineEdit* other = nullptr;
  TAdvSpinEdit* spin = nullptr;
  std::vector<long double> changes;
};

TEST_P(SpinEditTest, StartsWithTheFormattedValueAndNoChangeReported) {
  EXPECT_EQ(spin->text(), T("110.000"));
  EXPECT_EQ(spin->FloatValue(), 110.0L);
  spin->SetFloatValue(110.0L);  // the same text: nothing to report
  EXPECT_TRUE(changes.empty());
}

TEST_P(SpinEditTest, TypingIntoAnEmptyBoxReportsEveryCharacterAndLeavingRewrites) {
  FocusAt(0);
  spin->selectAll();
  QTest::keyClick(spin, Qt::Key_Delete);
  ASSERT_EQ(spin->text(), QString());
  EXPECT_EQ(changes, std::vector<long double>{0.0L});
  changes.clear();
  for (char c : {'4', '4', '0'}) Type(QChar(c));
  EXPECT_EQ(changes, (std::vector<long double>{4.0L, 44.0L, 440.0L}));
  other->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(spin->text(), T("440.000"));
  EXPECT_EQ(changes.size(), 4u);
  EXPECT_EQ(beeper.beeps, 0);
}

TEST_P(SpinEditTest, EmptyTextStaysEmptyWhenLeaving) {
  FocusAt(0);
  spin->clear();
  changes.clear();
  other->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(spin->text(), QString());
  EXPECT_TRUE(changes.empty());
}

TEST_P(SpinEditTest, ReadingTextThatIsNoNumber) {
  struct Case {
    QString text;
    long double value;
  };
  for (const Case& c : {Case{"", 0.0L}, Case{"   ", 0.0L}, Case{Sep(), 0.0L}, Case{QStringLiteral("\u00B2"), 1.0L},
                        Case{"-", 1.0L}, Case{"12a", 1.0L}, Case{T("2.5e400"), 2.5e400L}, Case{T(" -7.25 "), -7.25L}}) {
    spin->setText(c.text);
    EXPECT_EQ(spin->FloatValue(), c.value) << c.text.toStdString();
  }
}

TEST_P(SpinEditTest, StepsAreUnlimitedAndRoundedToThreeDecimals) {
  struct Case {
    const char* from;
    bool up;
    const char* to;
  };
  for (const Case& c :
       {Case{"0.000", false, "-0.100"}, Case{"1.000", false, "0.900"}, Case{"19999.950", true, "20000.050"},
        Case{"110.000", true, "110.100"}, Case{"-0.050", true, "0.050"}}) {
    spin->setText(T(c.from));
    changes.clear();
    c.up ? spin->StepUp() : spin->StepDown();
    EXPECT_EQ(spin->text(), T(c.to)) << c.from;
    EXPECT_EQ(changes.size(), 1u) << c.from;
  }
}

TEST_P(SpinEditTest, StepsKeepTheCaretOnItsDigitAndAnUpwardStepSelectsToTheEndWhenTheLengthChanged) {
  struct Case {
    const char* from;
    int caret;
    bool up;
    const char* to;
    int selectionStart, selectionLength;
  };
  for (const Case& c : {Case{"0.000", 2, false, "-0.100", 3, 0}, Case{"-0.050", 3, true, "0.050", 2, 3},
                        Case{"9.950", 1, true, "10.050", 1, 5}, Case{"10.050", 1, false, "9.950", 1, 0},
                        Case{"110.000", 2, true, "110.100", 2, 0}}) {
    spin->setText(T(c.from));
    spin->setCursorPosition(c.caret);
    c.up ? spin->StepUp() : spin->StepDown();
    EXPECT_EQ(spin->text(), T(c.to)) << c.from;
    const int start = spin->hasSelectedText() ? spin->selectionStart() : spin->cursorPosition();
    EXPECT_EQ(start, c.selectionStart) << c.from;
    EXPECT_EQ(spin->selectedText().size(), c.selectionLength) << c.from;
  }
}

TEST_P(SpinEditTest, CaretRightOfThreeDecimalsRefusesCharactersWithABeep) {
  FocusAt(7);  // "110.000" with the caret after the last digit
  Type(QChar('5'));
  EXPECT_EQ(spin->text(), T("110.000"));
  EXPECT_EQ(beeper.beeps, 1);
  QTest::keyClick(spin, Qt::Key_V, Qt::ControlModifier);  // refused as a character, so no paste
  EXPECT_EQ(beeper.beeps, 2);
  QTest::keyClick(spin, Qt::Key_Backspace);  // still allowed
  EXPECT_EQ(spin->text(), T("110.00"));
  spin->setText(T("110.000"));
  spin->setCursorPosition(3);  // just before the separator
  Type(QChar('5'));
  EXPECT_EQ(spin->text(), T("1105.000"));
  EXPECT_EQ(beeper.beeps, 2);
}

TEST_P(SpinEditTest, DecimalSeparatorOnlyOnceUnlessItReplacesTheWholeText) {
  FocusAt(1);
  TypeSeparator();
  EXPECT_EQ(spin->text(), T("110.000"));
  EXPECT_EQ(beeper.beeps, 1);
  spin->selectAll();
  TypeSeparator();
  EXPECT_EQ(spin->text(), Sep());
  EXPECT_EQ(spin->FloatValue(), 0.0L);
}

TEST_P(SpinEditTest, ThousandsSeparatorTypesTheDecimalSeparator) {
  FocusAt(0);
  spin->setText(QStringLiteral("110"));
  spin->setCursorPosition(3);
  Type(QChar(Regional().thousandsSeparator));
  EXPECT_EQ(spin->text(), T("110."));
  EXPECT_EQ(spin->FloatValue(), 110.0L);
}

TEST_P(SpinEditTest, SignsNeverChangeTheTextAndBeepOnlyWhereEverythingIsRefused) {
  FocusAt(0);
  for (char sign : {'+', '-'}) {
    spin->setCursorPosition(0);
    Type(QChar(sign));
    EXPECT_EQ(spin->text(), T("110.000"));
    EXPECT_EQ(beeper.beeps, 0) << sign;
  }
  spin->setCursorPosition(7);
  Type(QChar('-'));
  Type(QChar('+'));
  EXPECT_EQ(spin->text(), T("110.000"));
  EXPECT_EQ(beeper.beeps, 2);
}

TEST_P(SpinEditTest, LettersAndDateOrTimeSeparatorsAreRefusedAndOtherScriptsDigitsTypeButReadAsMinValue) {
  FocusAt(0);
  spin->clear();
  for (char refused : {'a', '/', ':'}) Type(QChar(refused));
  EXPECT_EQ(beeper.beeps, 3);
  EXPECT_EQ(spin->text(), QString());
  Type(QChar(0x0663));  // ARABIC-INDIC DIGIT THREE
  EXPECT_EQ(spin->text(), QStringLiteral("\u0663"));
  EXPECT_EQ(spin->FloatValue(), 1.0L);
  Type(QChar(0x00BD));  // the vulgar fractions are no digits here
  EXPECT_EQ(beeper.beeps, 4);
}

TEST_P(SpinEditTest, PasteIsTriedOutFirst) {
  FocusAt(0);
  QClipboard* clipboard = QApplication::clipboard();
  clipboard->setText(QStringLiteral("abc"));
  QTest::keyClick(spin, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(spin->text(), T("110.000"));
  EXPECT_EQ(beeper.beeps, 0);
  clipboard->setText(QStringLiteral("2"));
  spin->setCursorPosition(0);
  QTest::keyClick(spin, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(spin->text(), T("2110.000"));
  EXPECT_EQ(spin->cursorPosition(), 1);
  clipboard->setText(T("1.5e400"));
  spin->selectAll();
  QTest::keyClick(spin, Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(spin->text(), T("1.5e400"));
  EXPECT_EQ(spin->selectedText(), T("1.5e400"));  // it replaced a selection
  EXPECT_EQ(spin->FloatValue(), 1.5e400L);
}

TEST_P(SpinEditTest, KeysStepAndPutTheCaretBack) {
  FocusAt(2);
  QTest::keyClick(spin, Qt::Key_Up);
  EXPECT_EQ(spin->text(), T("110.100"));
  EXPECT_EQ(spin->cursorPosition(), 2);
  QTest::keyClick(spin, Qt::Key_PageUp);
  EXPECT_EQ(spin->text(), T("111.100"));
  QTest::keyClick(spin, Qt::Key_PageDown);
  QTest::keyClick(spin, Qt::Key_Down);
  EXPECT_EQ(spin->text(), T("110.000"));
  changes.clear();
  QTest::keyClick(spin, Qt::Key_Return);
  EXPECT_TRUE(changes.empty());
  QTest::keyClick(spin, Qt::Key_Return, Qt::ControlModifier);
  QCoreApplication::processEvents();
  EXPECT_EQ(spin->text(), T("110.100"));
  EXPECT_EQ(beeper.beeps, 0);
}

TEST_P(SpinEditTest, WheelNotchesStepWithCarryOver) {
  Wheel(*spin, 120);
  Wheel(*spin, 60);
  Wheel(*spin, 60);
  Wheel(*spin, 120);
  EXPECT_EQ(spin->text(), T("110.300"));
  EXPECT_EQ(changes.size(), 3u);
}

TEST_P(SpinEditTest, EnteringByKeyboardSelectsAllAClickLeavesTheCaret) {
  group->show();
  group->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(group.get()));
  other->setFocus(Qt::OtherFocusReason);
  spin->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(spin->selectedText(), spin->text());
  other->setFocus(Qt::OtherFocusReason);
  QTest::mouseClick(spin, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
  EXPECT_TRUE(spin->hasFocus());
  EXPECT_FALSE(spin->hasSelectedText());
}

TEST_P(SpinEditTest, ArrowHeldRepeatsAfter400msThenEvery100msWhileOverIt) {
  FocusAt(0);
  other->setFocus(Qt::OtherFocusReason);
  TAdvTimerSpeedButton& up = spin->Button().UpButton();
  auto owned = std::make_unique<ManualTimer>();
  ManualTimer& timer = *owned;
  up.SetRepeatTimer(std::move(owned));
  const QPoint centre(up.width() / 2, up.height() / 2);
  QTest::mousePress(&up, Qt::LeftButton, Qt::NoModifier, centre);
  EXPECT_EQ(spin->selectedText(), spin->text());  // the press moved the focus in
  EXPECT_EQ(timer.pending, 400);
  EXPECT_TRUE(changes.empty());
  timer.Fire();
  EXPECT_EQ(timer.pending, 100);
  timer.Fire();
  EXPECT_EQ(spin->text(), T("110.200"));
  EXPECT_EQ(timer.pending, 100);
  DragTo(up, QPoint(-30, centre.y()));  // off the arrow the repeats pause
  timer.Fire();
  EXPECT_EQ(changes.size(), 2u);
  DragTo(up, centre);
  timer.Fire();
  EXPECT_EQ(changes.size(), 3u);
  QTest::mouseRelease(&up, Qt::LeftButton, Qt::NoModifier, centre);
  EXPECT_EQ(changes.size(), 4u);  // one more for the release over the arrow
  EXPECT_EQ(timer.pending, ManualTimer::kNone);
}

// The arrow's own timer, not a hand-driven one: holding the arrow steps.
TEST(SpinArrowTimer, HeldArrowStepsOnItsOwnTimer) {
  SetRegional({});
  const std::unique_ptr<QWidget> group = MakeGroupSurface();
  TAdvSpinEdit* spin = MakeFrequencyBox(*group);
  int changes = 0;
  spin->OnChange = [&changes](QObject*) { ++changes; };
  TAdvTimerSpeedButton& up = spin->Button().UpButton();
  const QPoint centre(up.width() / 2, up.height() / 2);
  QTest::mousePress(&up, Qt::LeftButton, Qt::NoModifier, centre);
  EXPECT_TRUE(QTest::qWaitFor([&changes] { return changes >= 2; }, 10000));
  QTest::mouseRelease(&up, Qt::LeftButton, Qt::NoModifier, centre);
  EXPECT_GE(changes, 3);  // the repeats and the release
}

TEST_P(SpinEditTest, ClickOnEachArrowStepsOnce) {
  QTest::mouseClick(&spin->Button().UpButton(), Qt::LeftButton);
  EXPECT_EQ(spin->text(), T("110.100"));
  QTest::mouseClick(&spin->Button().DownButton(), Qt::LeftButton);
  QTest::mouseClick(&spin->Button().DownButton(), Qt::LeftButton);
  EXPECT_EQ(spin->text(), T("109.900"));
}

TEST_P(SpinEditTest, LayoutOfArrowsTextAndCaption) {
  group->show();
  EXPECT_EQ(spin->Button().geometry(), QRect(64, 2, 15, 17));
  EXPECT_EQ(spin->Button().UpButton().geometry(), QRect(0, 0, 15, 8));
  EXPECT_EQ(spin->Button().DownButton().geometry(), QRect(0, 8, 15, 9));
  // Text never runs under the arrows: a long text leaves their pixels alone.
  const QImage arrows = Pixels(*spin).copy(64, 2, 15, 17);
  spin->setText(QStringLiteral("888888888888888888888888"));
  spin->setCursorPosition(0);
  EXPECT_EQ(Pixels(*spin).copy(64, 2, 15, 17), arrows);
  const QLabel* label = spin->Label();
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), QStringLiteral("Freq (Hz)"));
  EXPECT_EQ(label->parentWidget(), group.get());
  EXPECT_EQ(label->y(), 32 - label->height() - 4);
  EXPECT_EQ(label->x(), 3 + (81 - label->width()) / 2);
  spin->move(10, 40);
  EXPECT_EQ(label->y(), 40 - label->height() - 4);
  spin->hide();
  EXPECT_TRUE(label->isHidden());
}

TEST_P(SpinEditTest, DisabledGroupKeepsTheLook) {
  group->show();
  const QImage enabled = Pixels(*spin);
  group->setEnabled(false);
  EXPECT_EQ(Pixels(*spin), enabled);
}

// A value a setter cannot use is clamped or ignored: the box keeps its
// text readable, takes new values and paints. Each case starts from the window's
// first frequency box showing 110.000.
struct SetterCase {
  const char* name;
  std::function<void(TAdvSpinEdit&)> apply;
  std::function<void(TAdvSpinEdit&, const std::vector<long double>& changes)> check;
};

void PrintTo(const SetterCase& c, std::ostream* out) { *out << c.name; }

class SpinSetters : public testing::TestWithParam<SetterCase> {
 protected:
  void SetUp() override {
    SetRegional({});
    group = MakeGroupSurface();
    spin = MakeFrequencyBox(*group);
    spin->OnChange = [this](QObject*) { changes.push_back(spin->FloatValue()); };
  }

  std::unique_ptr<QWidget> group;
  TAdvSpinEdit* spin = nullptr;
  std::vector<long double> changes;
};

TEST_P(SpinSetters, OutOfRangeValuesLeaveAWorkingBox) {
  GetParam().apply(*spin);
  GetParam().check(*spin, changes);
  spin->SetFloatValue(42.0L);
  EXPECT_EQ(spin->FloatValue(), 42.0L);
  EXPECT_EQ(Pixels(*spin).size(), spin->size());
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Values, SpinSetters,
    testing::Values(SetterCase{"negative_precision_writes_no_decimals", [](TAdvSpinEdit& s) { s.SetPrecision(-1); },
                               [](TAdvSpinEdit& s, const auto&) {
                                 s.SetFloatValue(110.25L);
                                 EXPECT_EQ(s.text(), QStringLiteral("110"));
                               }},
                    SetterCase{"huge_precision_is_capped", [](TAdvSpinEdit& s) { s.SetPrecision(INT_MAX); },
                               [](TAdvSpinEdit& s, const auto&) {
                                 s.SetFloatValue(1.5L);
                                 EXPECT_TRUE(s.text().startsWith(QStringLiteral("1.5000")))
                                     << s.text().left(20).toStdString();
                                 EXPECT_LT(s.text().size(), 1000);
                                 EXPECT_EQ(s.FloatValue(), 1.5L);
                               }},
                    SetterCase{"steps_not_finite_or_negative_ignored",
                               [](TAdvSpinEdit& s) {
                                 for (double step : {kNaN, kInfinity, -kInfinity, -1.0}) {
                                   s.SetIncrementFloat(step);
                                   s.SetIncrementFloatPage(step);
                                 }
                               },
                               [](TAdvSpinEdit& s, const auto&) {
                                 s.StepUp();
                                 EXPECT_EQ(s.text(), QStringLiteral("110.100"));
                                 QTest::keyClick(&s, Qt::Key_PageUp);
                                 EXPECT_EQ(s.text(), QStringLiteral("111.100"));
                               }},
                    SetterCase{"values_not_finite_ignored",
                               [](TAdvSpinEdit& s) {
                                 for (long double value : {std::numeric_limits<long double>::quiet_NaN(),
                                                           std::numeric_limits<long double>::infinity(),
                                                           -std::numeric_limits<long double>::infinity()}) {
                                   s.SetFloatValue(value);
                                 }
                               },
                               [](TAdvSpinEdit& s, const std::vector<long double>& changes) {
                                 EXPECT_EQ(s.text(), QStringLiteral("110.000"));
                                 EXPECT_TRUE(changes.empty());
                               }},
                    SetterCase{"label_margins_at_the_int_limits", [](TAdvSpinEdit& s) { s.SetLabelMargin(INT_MIN); },
                               [](TAdvSpinEdit& s, const auto&) {
                                 EXPECT_GT(s.Label()->y(), s.y());  // a negative margin puts it below the box
                                 s.SetLabelMargin(INT_MAX);
                                 EXPECT_LT(s.Label()->y(), s.y());
                               }},
                    SetterCase{"label_position_outside_the_enumeration_ignored",
                               [](TAdvSpinEdit& s) { s.SetLabelPosition(static_cast<TLabelPosition>(9)); },
                               [](TAdvSpinEdit& s, const auto&) {
                                 EXPECT_EQ(s.Label()->x(), 3 + (81 - s.Label()->width()) / 2);
                               }}),
    [](const testing::TestParamInfo<SetterCase>& p) { return p.param.name; });

INSTANTIATE_TEST_SUITE_P(Separators, SpinEditTest, testing::Values(u'.', u','),
                         [](const testing::TestParamInfo<char16_t>& p) { return p.param == u'.' ? "point" : "comma"; });

}  // namespace
