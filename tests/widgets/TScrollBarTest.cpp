// The sample-count scroll bar as the window sets it up: the notifications of
// every mouse, key and wheel action in their order, handlers that change the
// position, the end of interrupted actions, focus, the thumb's length and the
// setters' limits.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <functional>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <vector>

#include "TScrollBar.h"
#include "WidgetTestSupport.h"

namespace {

using namespace widget_test;
using enum TScrollCode;

// One handler call as the handler saw it.
struct Note {
  bool change;       // OnChange; else OnScroll
  TScrollCode code;  // OnScroll's code
  int value;         // OnScroll: the proposed ScrollPos; OnChange: where the thumb is
  int position;      // Position during the call
  bool operator==(const Note&) const = default;
};

Note Scrolled(TScrollCode code, int scrollPos, int position) { return {false, code, scrollPos, position}; }
Note Changed(int position) { return {true, scEndScroll, position, position}; }
// A notification that moves: the OnScroll, the OnChange after it.
std::vector<Note> Moved(TScrollCode code, int from, int to) { return {Scrolled(code, to, from), Changed(to)}; }
Note Ended(int position) { return Scrolled(scEndScroll, position, position); }

std::vector<Note> Concat(std::initializer_list<std::vector<Note>> parts) {
  std::vector<Note> all;
  for (const std::vector<Note>& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const char* Name(TScrollCode code) {
  static const char* const names[] = {"scLineUp", "scLineDown", "scPageUp", "scPageDown", "scPosition",
                                      "scTrack",  "scTop",      "scBottom", "scEndScroll"};
  return names[static_cast<int>(code)];
}

void PrintTo(const Note& note, std::ostream* out) {
  if (note.change) {
    *out << "OnChange(thumb " << note.value << ", Position " << note.position << ")";
  } else {
    *out << "OnScroll(" << Name(note.code) << ", " << note.value << ", Position " << note.position << ")";
  }
}

constexpr int kMin = 64;
constexpr int kMax = 32768;
constexpr int kStart = 1024;

// The window's bar under the chart: 593 by 17 pixels, 64 .. 32768 from 1024,
// pages of 128, with handlers that record every call.
class ScrollBarTest : public testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<QWidget>();
    form->resize(611, 290);
    other = new QWidget(form.get());
    other->setFocusPolicy(Qt::StrongFocus);
    other->setGeometry(9, 9, 50, 20);
    bar = new TScrollBar(form.get());
    bar->setGeometry(9, 249, 593, 17);
    bar->SetMin(kMin);
    bar->SetMax(kMax);
    bar->SetPosition(kStart);
    bar->SetLargeChange(128);
    bar->OnScroll = [this](QObject* sender, TScrollCode code, int& scrollPos) {
      EXPECT_EQ(sender, bar);
      notes.push_back(Scrolled(code, scrollPos, bar->Position()));
      if (handler) handler(code, scrollPos);
    };
    bar->OnChange = [this](QObject* sender) {
      EXPECT_EQ(sender, bar);
      notes.push_back({true, scEndScroll, bar->sliderPosition(), bar->Position()});
    };
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }

  void Start(int position) {
    bar->SetPosition(position);
    notes.clear();
  }

  void Activate() {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  }

  QPoint Centre(QStyle::SubControl part) const {
    const QRect rect = bar->PartRect(part);
    EXPECT_FALSE(rect.isEmpty()) << "no such part at position " << bar->Position();
    return rect.center();
  }

  // Qt's own value and thumb agree with Position.
  void ExpectThumbOnPosition() const {
    EXPECT_EQ(bar->value(), bar->Position());
    EXPECT_EQ(bar->sliderPosition(), bar->Position());
  }

  // Declared before the form: a bar hidden with the form at teardown may
  // still end an action and record it.
  std::vector<Note> notes;
  std::function<void(TScrollCode, int&)> handler;  // runs inside OnScroll after the note
  std::unique_ptr<QWidget> form;
  QWidget* other = nullptr;
  TScrollBar* bar = nullptr;
};

// --- Clicks -----------------------------------------------------------------

struct ClickCase {
  const char* name;
  int start;
  QStyle::SubControl part;
  std::vector<Note> expected;
};

class Clicks : public ScrollBarTest, public testing::WithParamInterface<ClickCase> {};

TEST_P(Clicks, NotifyBeforeTheMoveAndEndOnRelease) {
  const ClickCase& c = GetParam();
  Start(c.start);
  QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, Centre(c.part));
  EXPECT_EQ(notes, c.expected);
  ExpectThumbOnPosition();
}

INSTANTIATE_TEST_SUITE_P(Parts, Clicks,
                         testing::Values(ClickCase{"right_arrow", kStart, QStyle::SC_ScrollBarAddLine,
                                                   Concat({Moved(scLineDown, 1024, 1025), {Ended(1025)}})},
                                         ClickCase{"left_arrow", kStart, QStyle::SC_ScrollBarSubLine,
                                                   Concat({Moved(scLineUp, 1024, 1023), {Ended(1023)}})},
                                         ClickCase{"right_arrow_at_max_moves_nothing",
                                                   kMax,
                                                   QStyle::SC_ScrollBarAddLine,
                                                   {Scrolled(scLineDown, kMax, kMax), Ended(kMax)}},
                                         ClickCase{"left_arrow_at_min_moves_nothing",
                                                   kMin,
                                                   QStyle::SC_ScrollBarSubLine,
                                                   {Scrolled(scLineUp, kMin, kMin), Ended(kMin)}},
                                         ClickCase{"trough_right_of_thumb_stops_at_max", 32700,
                                                   QStyle::SC_ScrollBarAddPage,
                                                   Concat({Moved(scPageDown, 32700, kMax), {Ended(kMax)}})},
                                         ClickCase{"trough_left_of_thumb", 20000, QStyle::SC_ScrollBarSubPage,
                                                   Concat({Moved(scPageUp, 20000, 19872), {Ended(19872)}})},
                                         ClickCase{"thumb_without_a_move_confirms_its_position",
                                                   kStart,
                                                   QStyle::SC_ScrollBarSlider,
                                                   {Scrolled(scPosition, kStart, kStart), Ended(kStart)}}),
                         [](const testing::TestParamInfo<ClickCase>& p) { return p.param.name; });

TEST_F(ScrollBarTest, HeldArrowRepeatsThenEndsOnceOnRelease) {
  const QPoint arrow = Centre(QStyle::SC_ScrollBarAddLine);
  QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, arrow);
  ASSERT_TRUE(QTest::qWaitFor([&] { return bar->Position() >= kStart + 3; }, 10000));
  QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, arrow);
  std::vector<Note> expected;
  for (int p = kStart; p < bar->Position(); ++p) expected = Concat({expected, Moved(scLineDown, p, p + 1)});
  EXPECT_EQ(notes, Concat({expected, {Ended(bar->Position())}}));
}

// The style stops a held trough once the thumb reaches the pointer and puts
// the thumb under it: that last move is notified like a drag's.
TEST_F(ScrollBarTest, HeldTroughPagesToThePointerAndNotifiesTheLastMove) {
  if (!bar->style()->styleHint(QStyle::SH_Slider_StopMouseOverSlider, nullptr, bar)) {
    GTEST_SKIP() << "this style pages on to the end";
  }
  Start(20000);
  const QPoint press = bar->PartRect(QStyle::SC_ScrollBarSlider).center() + QPoint(60, 0);
  QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, press);
  const auto tracked = [&] {
    return std::any_of(notes.begin(), notes.end(), [](const Note& n) { return !n.change && n.code == scTrack; });
  };
  ASSERT_TRUE(QTest::qWaitFor(tracked, 10000));
  QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, press);

  const int placed = bar->Position();
  EXPECT_TRUE(bar->PartRect(QStyle::SC_ScrollBarSlider).contains(press)) << "the thumb is under the pointer";
  const auto pages =
      std::count_if(notes.begin(), notes.end(), [](const Note& n) { return !n.change && n.code == scPageDown; });
  EXPECT_GE(pages, 1);
  std::vector<Note> expected;
  int p = 20000;
  for (int i = 0; i < pages; ++i, p += 128) expected = Concat({expected, Moved(scPageDown, p, p + 128)});
  expected = Concat({expected, Moved(scTrack, p, placed), {Scrolled(scPosition, placed, placed), Ended(placed)}});
  EXPECT_EQ(notes, expected);
}

// --- Drag -------------------------------------------------------------------

TEST_F(ScrollBarTest, DragTracksEveryMoveThenConfirmsThePositionAtRelease) {
  QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, Centre(QStyle::SC_ScrollBarSlider));
  DragTo(*bar, QPoint(bar->width() + 40, 8));
  DragTo(*bar, QPoint(300, 8));
  const int middle = bar->Position();
  EXPECT_NEAR(bar->PartRect(QStyle::SC_ScrollBarSlider).center().x(), 300, 1) << "the thumb follows the pointer";
  DragTo(*bar, QPoint(-40, 8));
  QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, QPoint(-40, 8));
  EXPECT_EQ(notes, Concat({Moved(scTrack, kStart, kMax),
                           Moved(scTrack, kMax, middle),
                           Moved(scTrack, middle, kMin),
                           {Scrolled(scPosition, kMin, kMin), Ended(kMin)}}));
  ExpectThumbOnPosition();
}

TEST_F(ScrollBarTest, HandlerThatKeepsThePositionHoldsTheThumbDuringADrag) {
  handler = [](TScrollCode code, int& scrollPos) {
    if (code == scTrack) scrollPos = kStart;
  };
  const QRect thumb = bar->PartRect(QStyle::SC_ScrollBarSlider);
  QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, thumb.center());
  DragTo(*bar, QPoint(300, 8));
  EXPECT_EQ(bar->PartRect(QStyle::SC_ScrollBarSlider), thumb);
  QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, QPoint(300, 8));
  ASSERT_EQ(notes.size(), 3u);
  EXPECT_EQ(notes[0].code, scTrack);
  EXPECT_GT(notes[0].value, kStart);
  EXPECT_EQ(notes[1], Scrolled(scPosition, kStart, kStart));
  EXPECT_EQ(notes[2], Ended(kStart));
  ExpectThumbOnPosition();
}

// --- A handler's choice -------------------------------------------------------

struct HandlerCase {
  const char* name;
  int replacement;  // what the handler writes into ScrollPos for scLineDown
  std::vector<Note> expected;
};

class HandlerChoice : public ScrollBarTest, public testing::WithParamInterface<HandlerCase> {};

// Qt proposes 1025 for the arrow; the handler's value wins over it.
TEST_P(HandlerChoice, TakesTheValueTheHandlerLeftInScrollPos) {
  const HandlerCase& c = GetParam();
  handler = [&c](TScrollCode code, int& scrollPos) {
    if (code == scLineDown) scrollPos = c.replacement;
  };
  QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, Centre(QStyle::SC_ScrollBarAddLine));
  EXPECT_EQ(notes, c.expected);
  ExpectThumbOnPosition();
}

INSTANTIATE_TEST_SUITE_P(
    Replacements, HandlerChoice,
    testing::Values(
        HandlerCase{"another_position", 2000, {Scrolled(scLineDown, 1025, kStart), Changed(2000), Ended(2000)}},
        HandlerCase{"the_old_position_keeps_the_thumb", kStart, {Scrolled(scLineDown, 1025, kStart), Ended(kStart)}},
        HandlerCase{"beyond_max_clamps", INT_MAX, {Scrolled(scLineDown, 1025, kStart), Changed(kMax), Ended(kMax)}},
        HandlerCase{"below_min_clamps", INT_MIN, {Scrolled(scLineDown, 1025, kStart), Changed(kMin), Ended(kMin)}}),
    [](const testing::TestParamInfo<HandlerCase>& p) { return p.param.name; });

TEST_F(ScrollBarTest, WorksWithoutHandlers) {
  bar->OnScroll = nullptr;
  bar->OnChange = nullptr;
  QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, Centre(QStyle::SC_ScrollBarAddLine));
  EXPECT_EQ(bar->Position(), kStart + 1);
  QTest::keyClick(bar, Qt::Key_End);
  EXPECT_EQ(bar->Position(), kMax);
  ExpectThumbOnPosition();
}

// --- Keys -------------------------------------------------------------------

struct KeyCase {
  const char* name;
  int start;
  Qt::Key key;
  std::vector<Note> expected;
};

class Keys : public ScrollBarTest, public testing::WithParamInterface<KeyCase> {};

TEST_P(Keys, OneKeystrokeIsOneActionEndedAtTheRelease) {
  const KeyCase& c = GetParam();
  Start(c.start);
  QTest::keyPress(bar, c.key);
  const std::size_t beforeRelease = notes.size();
  QTest::keyRelease(bar, c.key);
  EXPECT_EQ(notes, c.expected);
  EXPECT_EQ(beforeRelease, c.expected.size() - 1) << "the end waits for the release";
  ExpectThumbOnPosition();
}

INSTANTIATE_TEST_SUITE_P(
    Map, Keys,
    testing::Values(
        KeyCase{"right_is_line_down", kStart, Qt::Key_Right, Concat({Moved(scLineDown, kStart, 1025), {Ended(1025)}})},
        KeyCase{"down_is_line_down", kStart, Qt::Key_Down, Concat({Moved(scLineDown, kStart, 1025), {Ended(1025)}})},
        KeyCase{"left_is_line_up", kStart, Qt::Key_Left, Concat({Moved(scLineUp, kStart, 1023), {Ended(1023)}})},
        KeyCase{"up_is_line_up", kStart, Qt::Key_Up, Concat({Moved(scLineUp, kStart, 1023), {Ended(1023)}})},
        KeyCase{"page_up_goes_toward_min_and_stops_there", 100, Qt::Key_PageUp,
                Concat({Moved(scPageUp, 100, kMin), {Ended(kMin)}})},
        KeyCase{"page_down_goes_toward_max", kStart, Qt::Key_PageDown,
                Concat({Moved(scPageDown, kStart, 1152), {Ended(1152)}})},
        KeyCase{"home_is_top", kStart, Qt::Key_Home, Concat({Moved(scTop, kStart, kMin), {Ended(kMin)}})},
        KeyCase{"end_is_bottom", kStart, Qt::Key_End, Concat({Moved(scBottom, kStart, kMax), {Ended(kMax)}})},
        KeyCase{"right_at_max_moves_nothing", kMax, Qt::Key_Right, {Scrolled(scLineDown, kMax, kMax), Ended(kMax)}},
        KeyCase{"home_at_min_moves_nothing", kMin, Qt::Key_Home, {Scrolled(scTop, kMin, kMin), Ended(kMin)}}),
    [](const testing::TestParamInfo<KeyCase>& p) { return p.param.name; });

struct KeyEventStep {
  QEvent::Type type;
  Qt::Key key;
  bool autoRepeat;
};

struct KeySequenceCase {
  const char* name;
  std::vector<KeyEventStep> steps;
  std::vector<Note> expected;
};

class KeySequences : public ScrollBarTest, public testing::WithParamInterface<KeySequenceCase> {};

TEST_P(KeySequences, EachKeyActionEndsExactlyOnce) {
  for (const KeyEventStep& step : GetParam().steps) {
    QKeyEvent event(step.type, step.key, Qt::NoModifier, QString(), step.autoRepeat);
    QApplication::sendEvent(bar, &event);
  }
  EXPECT_EQ(notes, GetParam().expected);
}

constexpr QEvent::Type kPress = QEvent::KeyPress;
constexpr QEvent::Type kRelease = QEvent::KeyRelease;

INSTANTIATE_TEST_SUITE_P(
    Held, KeySequences,
    testing::Values(
        KeySequenceCase{"auto_repeat_steps_then_one_end",
                        {{kPress, Qt::Key_Right, false},
                         {kRelease, Qt::Key_Right, true},
                         {kPress, Qt::Key_Right, true},
                         {kRelease, Qt::Key_Right, true},
                         {kPress, Qt::Key_Right, true},
                         {kRelease, Qt::Key_Right, false}},
                        Concat({Moved(scLineDown, 1024, 1025),
                                Moved(scLineDown, 1025, 1026),
                                Moved(scLineDown, 1026, 1027),
                                {Ended(1027)}})},
        KeySequenceCase{
            "second_key_ends_the_first_keys_action",
            {{kPress, Qt::Key_Right, false},
             {kPress, Qt::Key_PageDown, false},
             {kRelease, Qt::Key_PageDown, false},
             {kRelease, Qt::Key_Right, false}},
            Concat({Moved(scLineDown, 1024, 1025), {Ended(1025)}, Moved(scPageDown, 1025, 1153), {Ended(1153)}})},
        KeySequenceCase{"release_without_press_is_no_action", {{kRelease, Qt::Key_Right, false}}, {}},
        KeySequenceCase{"other_keys_are_not_taken", {{kPress, Qt::Key_A, false}, {kRelease, Qt::Key_A, false}}, {}}),
    [](const testing::TestParamInfo<KeySequenceCase>& p) { return p.param.name; });

// --- Wheel ------------------------------------------------------------------

struct WheelCase {
  const char* name;
  std::vector<QPoint> angles;  // one wheel event each
  std::vector<Note> expected;
};

class WheelTurns : public ScrollBarTest, public testing::WithParamInterface<WheelCase> {};

TEST_P(WheelTurns, EachNotchIsOneLineAndOneEnd) {
  const QPoint inside(bar->width() / 2, bar->height() / 2);
  for (const QPoint& angle : GetParam().angles) {
    QWheelEvent wheel(inside, bar->mapToGlobal(inside), QPoint(), angle, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(bar, &wheel);
  }
  EXPECT_EQ(notes, GetParam().expected);
  ExpectThumbOnPosition();
}

INSTANTIATE_TEST_SUITE_P(
    Notches, WheelTurns,
    testing::Values(
        WheelCase{
            "away_from_user_goes_toward_min", {QPoint(0, 120)}, Concat({Moved(scLineUp, 1024, 1023), {Ended(1023)}})},
        WheelCase{
            "toward_user_goes_toward_max", {QPoint(0, -120)}, Concat({Moved(scLineDown, 1024, 1025), {Ended(1025)}})},
        WheelCase{"tilt_left_goes_toward_min", {QPoint(120, 0)}, Concat({Moved(scLineUp, 1024, 1023), {Ended(1023)}})},
        WheelCase{"two_notches_are_two_actions",
                  {QPoint(0, -240)},
                  Concat({Moved(scLineDown, 1024, 1025), {Ended(1025)}, Moved(scLineDown, 1025, 1026), {Ended(1026)}})},
        WheelCase{"half_a_notch_waits_for_the_rest",
                  {QPoint(0, -60), QPoint(0, -60)},
                  Concat({Moved(scLineDown, 1024, 1025), {Ended(1025)}})},
        WheelCase{"half_a_notch_alone_does_nothing", {QPoint(0, 60)}, {}}),
    [](const testing::TestParamInfo<WheelCase>& p) { return p.param.name; });

// --- Interrupted actions ----------------------------------------------------

struct InterruptCase {
  const char* name;
  std::function<void(TScrollBar&)> interrupt;
};

class Interrupted : public ScrollBarTest, public testing::WithParamInterface<InterruptCase> {};

// A bar hidden or disabled while an arrow is held gets no release: the action
// ends there, and a late release ends nothing more.
TEST_P(Interrupted, HeldArrowEndsOnce) {
  const QPoint arrow = Centre(QStyle::SC_ScrollBarAddLine);
  QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, arrow);
  GetParam().interrupt(*bar);
  const std::vector<Note> expected = Concat({Moved(scLineDown, 1024, 1025), {Ended(1025)}});
  EXPECT_EQ(notes, expected);
  QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, arrow);
  EXPECT_EQ(notes, expected);
}

INSTANTIATE_TEST_SUITE_P(Ways, Interrupted,
                         testing::Values(InterruptCase{"hidden", [](TScrollBar& b) { b.hide(); }},
                                         InterruptCase{"disabled", [](TScrollBar& b) { b.setEnabled(false); }}),
                         [](const testing::TestParamInfo<InterruptCase>& p) { return p.param.name; });

TEST_F(ScrollBarTest, HeldKeyEndsWhenTheFocusLeaves) {
  Activate();
  bar->setFocus(Qt::TabFocusReason);
  QTest::keyPress(bar, Qt::Key_Right);
  other->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(notes, Concat({Moved(scLineDown, 1024, 1025), {Ended(1025)}}));
}

// --- Focus and menu ---------------------------------------------------------

TEST_F(ScrollBarTest, TakesTheFocusByTabAndByClick) {
  Activate();
  other->setFocus(Qt::OtherFocusReason);
  QTest::keyClick(other, Qt::Key_Tab);
  EXPECT_TRUE(bar->hasFocus());
  other->setFocus(Qt::OtherFocusReason);
  QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, Centre(QStyle::SC_ScrollBarSlider));
  EXPECT_TRUE(bar->hasFocus());
}

TEST_F(ScrollBarTest, RightClickOpensNoMenuAndNotifiesNothing) {
  Activate();
  bool menuShown = false;
  // Closes a menu if one opened, so that its event loop returns.
  QTimer::singleShot(0, [&] {
    if (QWidget* popup = QApplication::activePopupWidget()) {
      menuShown = true;
      popup->close();
    }
  });
  const QPoint inWindow = bar->mapTo(form.get(), Centre(QStyle::SC_ScrollBarAddPage));
  QTest::mouseClick(form->windowHandle(), Qt::RightButton, Qt::NoModifier, inWindow);
  QCoreApplication::processEvents();
  EXPECT_FALSE(menuShown);
  EXPECT_TRUE(notes.empty());
}

// --- Thumb ------------------------------------------------------------------

// A page as long as the range would make a proportional thumb half the
// trough; the thumb keeps the style's standard length.
TEST_F(ScrollBarTest, ThumbHasTheStandardLengthWhateverTheLargeChange) {
  bar->SetMin(0);
  bar->SetMax(100);
  bar->SetLargeChange(100);
  bar->SetPosition(0);
  const QRect thumb = bar->PartRect(QStyle::SC_ScrollBarSlider);
  EXPECT_EQ(thumb.width(), bar->style()->pixelMetric(QStyle::PM_ScrollBarSliderMin, nullptr, bar));
  const QImage image = Pixels(*bar);
  const int row = bar->height() / 2;
  const QColor trough = PixelAt(image, bar->PartRect(QStyle::SC_ScrollBarAddPage).right() - 5, row);
  EXPECT_NE(PixelAt(image, thumb.center().x(), row), trough);
  EXPECT_EQ(PixelAt(image, thumb.right() + 40, row), trough) << "drawn no longer than its rectangle";
}

// --- Setters ----------------------------------------------------------------

struct SetterCase {
  const char* name;
  std::function<void(TScrollBar&)> set;
  int min, max, position;
  std::vector<int> changes;  // Position seen by each OnChange
};

class Setters : public ScrollBarTest, public testing::WithParamInterface<SetterCase> {};

TEST_P(Setters, KeepMinAtMostPositionAtMostMax) {
  const SetterCase& c = GetParam();
  notes.clear();
  c.set(*bar);
  EXPECT_EQ(bar->Min(), c.min);
  EXPECT_EQ(bar->Max(), c.max);
  EXPECT_EQ(bar->Position(), c.position);
  std::vector<Note> expected;
  for (int p : c.changes) expected.push_back(Changed(p));
  EXPECT_EQ(notes, expected);
  EXPECT_EQ(bar->minimum(), c.min);
  EXPECT_EQ(bar->maximum(), c.max);
  ExpectThumbOnPosition();
}

INSTANTIATE_TEST_SUITE_P(
    Values, Setters,
    testing::Values(
        SetterCase{
            "position_below_min_clamps", [](TScrollBar& b) { b.SetPosition(INT_MIN); }, kMin, kMax, kMin, {kMin}},
        SetterCase{
            "position_above_max_clamps", [](TScrollBar& b) { b.SetPosition(INT_MAX); }, kMin, kMax, kMax, {kMax}},
        SetterCase{"same_position_is_no_change", [](TScrollBar& b) { b.SetPosition(kStart); }, kMin, kMax, kStart, {}},
        SetterCase{"min_past_position_moves_it", [](TScrollBar& b) { b.SetMin(2000); }, 2000, kMax, 2000, {2000}},
        SetterCase{"max_below_position_moves_it", [](TScrollBar& b) { b.SetMax(500); }, kMin, 500, 500, {500}},
        SetterCase{"min_above_max_raises_max", [](TScrollBar& b) { b.SetMin(40000); }, 40000, 40000, 40000, {40000}},
        SetterCase{"max_below_min_lowers_min", [](TScrollBar& b) { b.SetMax(-5); }, -5, -5, -5, {-5}},
        SetterCase{"widest_range_keeps_position",
                   [](TScrollBar& b) {
                     b.SetMin(INT_MIN);
                     b.SetMax(INT_MAX);
                   },
                   INT_MIN,
                   INT_MAX,
                   kStart,
                   {}},
        SetterCase{
            "qt_value_set_directly_is_reported", [](TScrollBar& b) { b.setValue(3000); }, kMin, kMax, 3000, {3000}}),
    [](const testing::TestParamInfo<SetterCase>& p) { return p.param.name; });

struct StepCase {
  const char* name;
  std::function<void(TScrollBar&)> set;
  int start;
  Qt::Key key;
  int position;  // after the key
};

class Steps : public ScrollBarTest, public testing::WithParamInterface<StepCase> {};

TEST_P(Steps, StepStaysForwardAndInRange) {
  const StepCase& c = GetParam();
  c.set(*bar);
  Start(c.start);
  QTest::keyClick(bar, c.key);
  EXPECT_EQ(bar->Position(), c.position);
  ExpectThumbOnPosition();
}

void WidestRange(TScrollBar& b) {
  b.SetMin(INT_MIN);
  b.SetMax(INT_MAX);
  b.SetSmallChange(INT_MAX);
  b.SetLargeChange(INT_MAX);
}

INSTANTIATE_TEST_SUITE_P(
    Values, Steps,
    testing::Values(StepCase{"small_change_below_one_is_one", [](TScrollBar& b) { b.SetSmallChange(-7); }, kStart,
                             Qt::Key_Right, kStart + 1},
                    StepCase{"large_change_zero_is_one", [](TScrollBar& b) { b.SetLargeChange(0); }, kStart,
                             Qt::Key_PageDown, kStart + 1},
                    StepCase{"page_down_near_int_max", WidestRange, INT_MAX - 1, Qt::Key_PageDown, INT_MAX},
                    StepCase{"page_up_near_int_min", WidestRange, INT_MIN + 1, Qt::Key_PageUp, INT_MIN},
                    StepCase{"line_down_from_int_min", WidestRange, INT_MIN, Qt::Key_Right, -1},
                    StepCase{"line_up_from_int_max", WidestRange, INT_MAX, Qt::Key_Left, 0}),
    [](const testing::TestParamInfo<StepCase>& p) { return p.param.name; });

}  // namespace
