// The frequency spin box as the window configures it, with the point and
// with the comma as decimal separator: the value in the text, typing, steps,
// pasting, the wheel, the arrows' repeat and the focus rules.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <memory>

#include "AlertRecorder.h"
#include "RegionalSettings.h"
#include "TAdvSpinButton.h"
#include "TAdvSpinEdit.h"
#include "WidgetTestSupport.h"

namespace {

using namespace widget_test;

class SpinEditTest : public testing::TestWithParam<char16_t> {
 protected:
  void SetUp() override {
    const bool comma = GetParam() == u',';
    SetRegional({comma ? u',' : u'.', comma ? u'.' : u',', comma ? u'.' : u'/', u':'});
    group = MakeGroupSurface();
    other = new QLineEdit(group.get());
    other->setGeometry(3, 100, 81, 21);
    spin = new TAdvSpinEdit(group.get());
    spin->setGeometry(3, 32, 81, 21);
    spin->SetPrecision(3);
    spin->SetMinValue(1);
    spin->SetFloatValue(110.0L);
    spin->setAlignment(Qt::AlignCenter);
    spin->SetLabelCaption(QStringLiteral("Freq (Hz)"));
    spin->SetLabelPosition(TLabelPosition::lpTopCenter);
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

TEST_P(SpinEditTest, LettersAreRefusedAndOtherScriptsDigitsTypeButReadAsMinValue) {
  FocusAt(0);
  spin->clear();
  Type(QChar('a'));
  EXPECT_EQ(beeper.beeps, 1);
  EXPECT_EQ(spin->text(), QString());
  Type(QChar(0x0663));  // ARABIC-INDIC DIGIT THREE
  EXPECT_EQ(spin->text(), QStringLiteral("\u0663"));
  EXPECT_EQ(spin->FloatValue(), 1.0L);
  Type(QChar(0x00BD));  // the vulgar fractions are no digits here
  EXPECT_EQ(beeper.beeps, 2);
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

TEST_P(SpinEditTest, ArrowHeldRepeatsAfter400msThenEvery100ms) {
  FocusAt(0);
  other->setFocus(Qt::OtherFocusReason);
  TAdvTimerSpeedButton& up = spin->Button().UpButton();
  const QPoint centre(up.width() / 2, up.height() / 2);
  QElapsedTimer clock;
  clock.start();
  QTest::mousePress(&up, Qt::LeftButton, Qt::NoModifier, centre);
  EXPECT_EQ(spin->selectedText(), spin->text());  // the press moved the focus in
  QTest::qWait(300);
  EXPECT_TRUE(changes.empty()) << "no step before 400 ms";
  QTest::qWait(700);
  const qint64 held = clock.elapsed();
  const std::size_t repeats = changes.size();
  // Expected (held - 400) / 100 + 1 steps; the bounds allow for a slow machine.
  EXPECT_GE(repeats, 2u);
  EXPECT_LE(repeats, static_cast<std::size_t>((held - 400) / 100 + 1));
  QTest::mouseRelease(&up, Qt::LeftButton, Qt::NoModifier, centre);
  EXPECT_EQ(changes.size(), repeats + 1);  // one more for the release over the arrow
  QTest::qWait(250);
  EXPECT_EQ(changes.size(), repeats + 1);
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
  EXPECT_EQ(spin->textMargins().right(), TAdvSpinEdit::kArrowWidth);
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

INSTANTIATE_TEST_SUITE_P(Separators, SpinEditTest, testing::Values(u'.', u','),
                         [](const testing::TestParamInfo<char16_t>& p) { return p.param == u'.' ? "point" : "comma"; });

}  // namespace
