// The level slider as the window configures it: thumb and tick placement in
// pixels, the mouse, the wheel, the keys and the change notification.
#include <gtest/gtest.h>

#include <QCursor>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "PointerConfinement.h"
#include "ProgramCursors.h"
#include "TVrTrackBar.h"
#include "WidgetTestSupport.h"

namespace {

using namespace widget_test;

const QColor kFace = Rgb(240, 240, 240);
const QColor kShadow = Rgb(160, 160, 160);
const QColor kHighlight = Rgb(255, 255, 255);
const QColor kBlack = Rgb(0, 0, 0);
constexpr int kThumbColumn = 22;  // inside the thumb, clear of gutter and ticks
// The master slider's tick rows, bottom up: every 5 from 0 to 100.
const std::vector<int> kMasterTickRows{175, 167, 159, 151, 143, 135, 127, 119, 111, 103, 95,
                                       86,  78,  70,  62,  54,  46,  38,  30,  22,  14};

// A group box's surface holding one slider set up as the window sets up its
// generator (maximum 32767) or master (maximum 100) slider.
class SliderTest : public testing::Test {
 protected:
  TVrTrackBar& Make(int maxValue, int position, int frequency) {
    group = MakeGroupSurface();
    slider = MakeLevelSlider(group.get(), maxValue, position, frequency);
    slider->OnChange = [this](QObject* sender) {
      EXPECT_EQ(sender, slider);
      changes.push_back(slider->Position());
    };
    return *slider;
  }
  TVrTrackBar& MakeGenerator() { return Make(32767, 16384, 10); }
  TVrTrackBar& MakeMaster() { return Make(100, 50, 5); }

  std::unique_ptr<QWidget> group;
  TVrTrackBar* slider = nullptr;
  std::vector<int> changes;
};

struct ThumbCase {
  const char* name;
  int maxValue, position, top;
};

class ThumbPlacement : public SliderTest, public testing::WithParamInterface<ThumbCase> {};

TEST_P(ThumbPlacement, ThumbTopRowForValue) {
  const ThumbCase& c = GetParam();
  const QImage image = Pixels(Make(c.maxValue, c.position, 10));
  // Columns 20 to 36; the outline columns share pixels with the ticks.
  EXPECT_EQ(PixelAt(image, 21, c.top + 4), kHighlight);
  EXPECT_EQ(PixelAt(image, 22, c.top + 4), Rgb(192, 192, 192));
  EXPECT_EQ(PixelAt(image, 35, c.top + 4), Rgb(128, 128, 128));
  EXPECT_EQ(PixelAt(image, kThumbColumn, c.top - 1), kFace);
  EXPECT_EQ(PixelAt(image, kThumbColumn, c.top), kBlack);
  EXPECT_EQ(PixelAt(image, kThumbColumn, c.top + 1), kHighlight);
  EXPECT_EQ(PixelAt(image, kThumbColumn, c.top + 2), Rgb(192, 192, 192));
  EXPECT_EQ(PixelAt(image, kThumbColumn, c.top + 7), Rgb(128, 128, 128));
  EXPECT_EQ(PixelAt(image, kThumbColumn, c.top + 8), kBlack);
  EXPECT_EQ(PixelAt(image, kThumbColumn, c.top + 9), kFace);
}

INSTANTIATE_TEST_SUITE_P(Values, ThumbPlacement,
                         testing::Values(ThumbCase{"generator_start", 32767, 16384, 90},
                                         ThumbCase{"master_half_rounds_to_even", 100, 50, 91},
                                         ThumbCase{"generator_top", 32767, 32767, 10},
                                         ThumbCase{"generator_bottom", 32767, 0, 171},
                                         ThumbCase{"master_top", 100, 100, 10}),
                         [](const testing::TestParamInfo<ThumbCase>& p) { return p.param.name; });

// Rows of column `x` that are black, from the bottom up.
std::vector<int> BlackRows(const QImage& image, int x) {
  std::vector<int> rows;
  for (int y = image.height() - 1; y >= 0; --y) {
    if (PixelAt(image, x, y) == kBlack) rows.push_back(y);
  }
  return rows;
}

std::vector<int> Descending(int from, int to, int step) {
  std::vector<int> rows;
  for (int y = from; y >= to; y -= step) rows.push_back(y);
  return rows;
}

TEST_F(SliderTest, GeneratorTicksEvery810WithALastGapOfSixRows) {
  std::vector<int> expected = Descending(175, 79, 4);
  const std::vector<int> upper = Descending(76, 20, 4);
  expected.insert(expected.end(), upper.begin(), upper.end());
  expected.push_back(14);
  ASSERT_EQ(expected.size(), 41u);
  const QImage image = Pixels(MakeGenerator());
  for (int x : {18, 19, 37, 38}) EXPECT_EQ(BlackRows(image, x), expected) << "column " << x;
  // Only the two end ticks of a row are long.
  EXPECT_EQ(BlackRows(image, 17), (std::vector<int>{175, 14}));
  EXPECT_EQ(BlackRows(image, 39), (std::vector<int>{175, 14}));
  EXPECT_EQ(BlackRows(image, 16), std::vector<int>{});
  EXPECT_EQ(BlackRows(image, 40), std::vector<int>{});
}

TEST_F(SliderTest, MasterTicksEveryFiveSteps) {
  const QImage image = Pixels(MakeMaster());
  EXPECT_EQ(BlackRows(image, 18), kMasterTickRows);
  EXPECT_EQ(BlackRows(image, 38), kMasterTickRows);
  EXPECT_EQ(BlackRows(image, 17), (std::vector<int>{175, 14}));
}

TEST_F(SliderTest, GutterIsOneLoweredFrameAroundBlack) {
  const QImage image = Pixels(MakeMaster());  // thumb on rows 91 to 99
  for (int y = 10; y <= 178; ++y) {
    if (y >= 91 && y <= 99) continue;
    EXPECT_EQ(PixelAt(image, 26, y), kShadow) << y;
    EXPECT_EQ(PixelAt(image, 30, y), kHighlight) << y;
    for (int x = 27; x <= 29 && y > 10; ++x) EXPECT_EQ(PixelAt(image, x, y), kBlack) << x << "," << y;
  }
  for (int x = 26; x <= 29; ++x) EXPECT_EQ(PixelAt(image, x, 10), kShadow) << x;
  for (int x = 26; x <= 30; ++x) EXPECT_EQ(PixelAt(image, x, 179), kHighlight) << x;
  EXPECT_EQ(PixelAt(image, 30, 10), kHighlight);  // the bottom colour owns the top-right corner
  EXPECT_EQ(PixelAt(image, 28, 9), kFace);
  EXPECT_EQ(PixelAt(image, 28, 180), kFace);
}

TEST_F(SliderTest, OnlyARealChangeIsReportedAndAfterTheRepaint) {
  TVrTrackBar& s = MakeGenerator();
  group->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(group.get()));
  int paints = 0;
  struct PaintCounter : QObject {
    int* count;
    explicit PaintCounter(int* c) : count(c) {}
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) ++*count;
      return false;
    }
  } counter(&paints);
  s.installEventFilter(&counter);
  s.OnChange = [&](QObject*) {
    changes.push_back(s.Position());
    EXPECT_GT(paints, 0) << "the thumb must be drawn before the handler runs";
  };
  s.SetPosition(16384);
  EXPECT_TRUE(changes.empty());
  s.SetPosition(40000);
  EXPECT_EQ(changes, std::vector<int>{32767});
  s.SetPosition(0);
  changes.clear();
  paints = 0;
  s.SetPosition(-5);
  EXPECT_TRUE(changes.empty());
  EXPECT_EQ(paints, 0);
}

struct PressCase {
  const char* name;
  int row, position;
};

class MasterPress : public SliderTest, public testing::WithParamInterface<PressCase> {};

TEST_P(MasterPress, BesideTheThumbJumpsThereWithoutFollowing) {
  TVrTrackBar& s = MakeMaster();
  QTest::mousePress(&s, Qt::LeftButton, Qt::NoModifier, QPoint(28, GetParam().row));
  EXPECT_EQ(s.Position(), GetParam().position);
  DragTo(s, QPoint(28, 120));
  EXPECT_EQ(s.Position(), GetParam().position);
  QTest::mouseRelease(&s, Qt::LeftButton, Qt::NoModifier, QPoint(28, 120));
  EXPECT_EQ(changes.size(), GetParam().position == 50 ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(Rows, MasterPress,
                         testing::Values(PressCase{"row_50", 50, 78}, PressCase{"row_150", 150, 16},
                                         PressCase{"row_14", 14, 100}, PressCase{"row_2", 2, 100},
                                         PressCase{"row_175", 175, 0}, PressCase{"row_189", 189, 0}),
                         [](const testing::TestParamInfo<PressCase>& p) { return p.param.name; });

TEST_F(SliderTest, DragPastEitherEndStopsThereAndReportsOnlyChanges) {
  TVrTrackBar& s = MakeGenerator();  // thumb on rows 90 to 98
  QTest::mousePress(&s, Qt::LeftButton, Qt::NoModifier, QPoint(28, 94));
  DragTo(s, QPoint(28, 93));  // one pixel up: the next level the mouse reaches
  EXPECT_EQ(s.Position(), 16689);
  DragTo(s, QPoint(28, -50));
  DragTo(s, QPoint(200, -300));
  EXPECT_EQ(s.Position(), 32767);
  DragTo(s, QPoint(28, 500));
  EXPECT_EQ(s.Position(), 0);
  DragTo(s, QPoint(28, 600));
  QTest::mouseRelease(&s, Qt::LeftButton, Qt::NoModifier, QPoint(28, 600));
  EXPECT_EQ(changes, (std::vector<int>{16689, 32767, 0}));
  DragTo(s, QPoint(28, 20));  // released: moves no longer drag
  EXPECT_EQ(s.Position(), 0);
}

TEST_F(SliderTest, PressAndReleaseOnTheThumbChangesNothing) {
  TVrTrackBar& s = MakeGenerator();
  QTest::mouseClick(&s, Qt::LeftButton, Qt::NoModifier, QPoint(25, 97));
  EXPECT_EQ(s.Position(), 16384);
  EXPECT_TRUE(changes.empty());
}

TEST_F(SliderTest, RightButtonDoesNothing) {
  TVrTrackBar& s = MakeMaster();
  QTest::mouseClick(&s, Qt::RightButton, Qt::NoModifier, QPoint(28, 20));
  EXPECT_EQ(s.Position(), 50);
}

TEST_F(SliderTest, WheelStepsByFrequencyPerNotchAndCarriesPartNotches) {
  TVrTrackBar& s = MakeMaster();
  Wheel(s, 120);
  EXPECT_EQ(changes, std::vector<int>{55});
  Wheel(s, 60);
  EXPECT_EQ(s.Position(), 55);
  Wheel(s, 60);
  EXPECT_EQ(s.Position(), 60);
  Wheel(s, -240);
  EXPECT_EQ(s.Position(), 50);
  s.SetPosition(100);
  changes.clear();
  Wheel(s, 120);
  EXPECT_TRUE(changes.empty());
  TVrTrackBar& g = MakeGenerator();
  Wheel(g, 120);
  EXPECT_EQ(g.Position(), 16394);
}

TEST_F(SliderTest, KeysWithTheFocus) {
  TVrTrackBar& s = MakeMaster();
  s.SetTabStop(true);
  struct KeyCase {
    Qt::Key key;
    int expected;
  };
  for (const KeyCase& k : {KeyCase{Qt::Key_Up, 55}, KeyCase{Qt::Key_Down, 50}, KeyCase{Qt::Key_PageUp, 50},
                           KeyCase{Qt::Key_PageDown, 50}, KeyCase{Qt::Key_Home, 100}, KeyCase{Qt::Key_End, 0}}) {
    QTest::keyClick(&s, k.key);
    EXPECT_EQ(s.Position(), k.expected) << k.key;
  }
  QTest::keyClick(&s, Qt::Key_Home, Qt::ShiftModifier);
  EXPECT_EQ(s.Position(), 0);
}

TEST_F(SliderTest, PointingHandOverTheThumbOnly) {
  TVrTrackBar& s = MakeGenerator();
  HoverTo(s, QPoint(28, 94));
  EXPECT_TRUE(s.testAttribute(Qt::WA_SetCursor));
  EXPECT_EQ(s.cursor().hotSpot(), QPoint(10, 5));
  HoverTo(s, QPoint(28, 150));
  EXPECT_FALSE(s.testAttribute(Qt::WA_SetCursor));
}

// The pointer during a drag, on the platform the confinement is told it runs
// on (the tests run on the offscreen one, whose pointer can be warped).
struct ConfinementCase {
  const char* platform;
  bool keptInside;
};

void PrintTo(const ConfinementCase& c, std::ostream* os) { *os << c.platform; }

class PointerConfinementOn : public SliderTest, public testing::WithParamInterface<ConfinementCase> {
 protected:
  void SetUp() override {
    gReported = QString::fromLatin1(GetParam().platform);
    replaced = SetPlatformNameSource([] { return gReported; });
  }
  void TearDown() override { SetPlatformNameSource(replaced); }

  static inline QString gReported;
  PlatformNameSource replaced = nullptr;
};

TEST_P(PointerConfinementOn, DragKeepsThePointerInsideWhereThePlatformLets) {
  TVrTrackBar& s = MakeGenerator();
  group->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(group.get()));
  const QRect area(s.mapToGlobal(QPoint(0, 0)), s.size());
  QTest::mousePress(&s, Qt::LeftButton, Qt::NoModifier, QPoint(28, 94));
  const QPoint outside = area.topLeft() + QPoint(-40, -60);
  QCursor::setPos(outside);
  DragTo(s, s.mapFromGlobal(outside));
  if (GetParam().keptInside) {
    EXPECT_TRUE(area.contains(QCursor::pos())) << QCursor::pos().x() << "," << QCursor::pos().y();
  } else {
    EXPECT_EQ(QCursor::pos(), outside);  // never warped
  }
  EXPECT_EQ(s.Position(), 32767);  // the drag goes on either way
  QTest::mouseRelease(&s, Qt::LeftButton, Qt::NoModifier, s.mapFromGlobal(QCursor::pos()));
  QCursor::setPos(outside);
  HoverTo(s, s.mapFromGlobal(outside));
  EXPECT_EQ(QCursor::pos(), outside);
}

// On X11 without a server grab (here: no X connection) the pointer is warped.
INSTANTIATE_TEST_SUITE_P(Platforms, PointerConfinementOn,
                         testing::Values(ConfinementCase{"offscreen", true}, ConfinementCase{"xcb", true},
                                         ConfinementCase{"wayland", false}, ConfinementCase{"wayland-egl", false}),
                         [](const testing::TestParamInfo<ConfinementCase>& platform) {
                           std::string name = platform.param.platform;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

TEST_F(SliderTest, DisabledGroupKeepsTheLook) {
  TVrTrackBar& s = MakeGenerator();
  const QImage enabled = Pixels(s);
  group->setEnabled(false);
  EXPECT_EQ(Pixels(s), enabled);
}

// A value a setter cannot use is clamped or ignored: the slider keeps
// clamping its position, painting and answering input. Each case starts from
// the master slider (0 .. 100 at 50, thumb rows 91 to 99, Frequency 5).
struct SetterCase {
  const char* name;
  std::function<void(TVrTrackBar&)> apply;
  std::function<void(TVrTrackBar&)> check;  // after the first paint
};

void PrintTo(const SetterCase& c, std::ostream* out) { *out << c.name; }

class SliderSetters : public SliderTest, public testing::WithParamInterface<SetterCase> {};

TEST_P(SliderSetters, OutOfRangeValuesLeaveAWorkingSlider) {
  TVrTrackBar& s = MakeMaster();
  GetParam().apply(s);
  EXPECT_EQ(Pixels(s).size(), s.size());
  GetParam().check(s);
  s.SetPosition(INT_MAX);
  EXPECT_EQ(s.Position(), s.MaxValue());
  s.SetPosition(INT_MIN);
  EXPECT_EQ(s.Position(), std::min(s.MinValue(), s.MaxValue()));
  EXPECT_EQ(Pixels(s).size(), s.size());
}

void FocusIn(QWidget& widget) {
  QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
  QApplication::sendEvent(&widget, &in);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SliderSetters,
    testing::Values(
        SetterCase{"border_below_zero_is_zero", [](TVrTrackBar& s) { s.SetBorderWidth(-20); },
                   [](TVrTrackBar& s) {
                     EXPECT_EQ(s.BorderWidth(), 0);
                     s.SetPosition(100);  // the thumb's travel now starts at the top edge
                     const QImage image = Pixels(s);
                     EXPECT_EQ(PixelAt(image, kThumbColumn, 0), kBlack);
                     EXPECT_EQ(PixelAt(image, kThumbColumn, 1), kHighlight);
                   }},
        SetterCase{"border_beyond_the_slider_leaves_no_travel", [](TVrTrackBar& s) { s.SetBorderWidth(INT_MAX); },
                   [](TVrTrackBar& s) {
                     EXPECT_EQ(s.PositionToPixel(0), s.PositionToPixel(100));
                     QTest::mouseClick(&s, Qt::LeftButton, Qt::NoModifier, QPoint(28, 20));
                     EXPECT_EQ(s.Position(), 0);
                   }},
        SetterCase{"gutter_below_zero_is_none", [](TVrTrackBar& s) { s.SetGutterWidth(-7); },
                   [](TVrTrackBar& s) {
                     const QImage image = Pixels(s);
                     for (int x = 24; x <= 32; ++x) EXPECT_EQ(PixelAt(image, x, 40), kFace) << x;
                   }},
        SetterCase{"gutter_beyond_the_slider_fills_it", [](TVrTrackBar& s) { s.SetGutterWidth(INT_MAX); },
                   [](TVrTrackBar& s) { EXPECT_EQ(PixelAt(Pixels(s), 2, 40), kBlack); }},
        SetterCase{"frequency_zero_steps_by_one", [](TVrTrackBar& s) { s.SetFrequency(0); },
                   [](TVrTrackBar& s) {
                     Wheel(s, 120);
                     EXPECT_EQ(s.Position(), 51);
                   }},
        SetterCase{"frequency_int_min_steps_by_one_also_reversed",
                   [](TVrTrackBar& s) {
                     s.SetFrequency(INT_MIN);
                     s.SetStyle(TVrProgressStyle::psTopRight);
                   },
                   [](TVrTrackBar& s) {
                     Wheel(s, -120);
                     EXPECT_EQ(s.Position(), 49);
                     s.SetTabStop(true);
                     QTest::keyClick(&s, Qt::Key_Up);  // top-right: Up lowers the value
                     EXPECT_EQ(s.Position(), 48);
                   }},
        SetterCase{"frequency_int_max_leaves_one_tick_at_the_maximum", [](TVrTrackBar& s) { s.SetFrequency(INT_MAX); },
                   [](TVrTrackBar& s) {
                     EXPECT_EQ(BlackRows(Pixels(s), 18), std::vector<int>{14});
                     Wheel(s, 120);
                     EXPECT_EQ(s.Position(), 100);
                   }},
        SetterCase{"scale_offsets_at_the_int_limits_put_ticks_outside",
                   [](TVrTrackBar& s) { s.SetScaleOffset(INT_MIN); },
                   [](TVrTrackBar& s) {
                     EXPECT_EQ(BlackRows(Pixels(s), 18), std::vector<int>{});
                     s.SetScaleOffset(INT_MAX);
                     EXPECT_EQ(BlackRows(Pixels(s), 38), std::vector<int>{});
                   }},
        SetterCase{"focus_offsets_at_the_int_limits_draw_no_frame",
                   [](TVrTrackBar& s) {
                     FocusIn(s);
                     s.SetFocusOffset(INT_MIN);
                   },
                   [](TVrTrackBar& s) {
                     EXPECT_EQ(PixelAt(Pixels(s), 0, 0), kFace);
                     s.SetFocusOffset(INT_MAX);
                     EXPECT_EQ(PixelAt(Pixels(s), 0, 0), kFace);
                     s.SetFocusOffset(0);
                     EXPECT_EQ(PixelAt(Pixels(s), 0, 0), kBlack);  // the frame these cases must not draw
                   }},
        SetterCase{"thumb_states_zero_is_one_picture", [](TVrTrackBar& s) { s.SetThumbStates(0); },
                   [](TVrTrackBar& s) {
                     const QImage image = Pixels(s);
                     EXPECT_EQ(PixelAt(image, 20, 96), kBlack);
                     EXPECT_EQ(PixelAt(image, 36, 96), kBlack);
                   }},
        SetterCase{"thumb_states_beyond_four_are_four_pictures", [](TVrTrackBar& s) { s.SetThumbStates(99); },
                   [](TVrTrackBar& s) {
                     // The first quarter of the picture, on columns 26 to 29.
                     const QImage image = Pixels(s);
                     EXPECT_EQ(PixelAt(image, 26, 95), kBlack);
                     EXPECT_EQ(PixelAt(image, 27, 95), kHighlight);
                     EXPECT_EQ(PixelAt(image, 24, 95), kFace);
                   }},
        SetterCase{"unknown_option_bits_dropped", [](TVrTrackBar& s) { s.SetOptions(~0u); },
                   [](TVrTrackBar& s) {
                     EXPECT_EQ(s.Options(), toActiveClick | toMouseClip | toHandPoint | toFixedPoints | toThumbOpaque);
                     QTest::mouseClick(&s, Qt::LeftButton, Qt::NoModifier, QPoint(28, 50));
                     EXPECT_EQ(s.Position(), 80);  // 78 snapped to a multiple of 5
                   }},
        SetterCase{"orientation_outside_the_enumeration_ignored",
                   [](TVrTrackBar& s) { s.SetOrientation(static_cast<TVrOrientation>(7)); },
                   [](TVrTrackBar& s) {
                     EXPECT_EQ(s.size(), QSize(57, 190));
                     EXPECT_EQ(PixelAt(Pixels(s), kThumbColumn, 91), kBlack);
                   }},
        SetterCase{"style_outside_the_enumeration_ignored",
                   [](TVrTrackBar& s) { s.SetStyle(static_cast<TVrProgressStyle>(7)); },
                   [](TVrTrackBar& s) {
                     const QImage image = Pixels(s);
                     EXPECT_EQ(PixelAt(image, kThumbColumn, 90), kFace);
                     EXPECT_EQ(PixelAt(image, kThumbColumn, 91), kBlack);
                     QTest::mouseClick(&s, Qt::LeftButton, Qt::NoModifier, QPoint(28, 50));
                     EXPECT_EQ(s.Position(), 78);
                   }},
        SetterCase{"tick_marks_outside_the_enumeration_ignored",
                   [](TVrTrackBar& s) { s.SetTickMarks(static_cast<TVrTickMarks>(9)); },
                   [](TVrTrackBar& s) { EXPECT_EQ(BlackRows(Pixels(s), 18), kMasterTickRows); }},
        SetterCase{"minimum_above_maximum_draws_every_value_at_the_bottom", [](TVrTrackBar& s) { s.SetMinValue(200); },
                   [](TVrTrackBar& s) {
                     EXPECT_EQ(s.Position(), 100);
                     EXPECT_EQ(PixelAt(Pixels(s), kThumbColumn, 171), kBlack);
                   }},
        SetterCase{"whole_int_range_with_a_step_of_one",
                   [](TVrTrackBar& s) {
                     s.SetMinValue(INT_MIN);
                     s.SetMaxValue(INT_MAX);
                     s.SetFrequency(1);
                   },
                   [](TVrTrackBar& s) {
                     const QImage image = Pixels(s);
                     EXPECT_EQ(BlackRows(image, 17), (std::vector<int>{175, 14}));
                     EXPECT_EQ(BlackRows(image, 18).size(), 41u);
                   }}),
    [](const testing::TestParamInfo<SetterCase>& p) { return p.param.name; });

TEST_F(SliderTest, PixelMappingsSaturateForAnyInt) {
  TVrTrackBar& s = Make(1, 0, 1);  // 161 pixels per unit: far values overflow an int
  EXPECT_LT(s.PositionToPixel(INT_MAX), s.PositionToPixel(1));
  EXPECT_GT(s.PositionToPixel(INT_MIN), s.PositionToPixel(0));
  EXPECT_EQ(s.PixelToPosition(INT_MIN), 1);  // far above the top
  EXPECT_EQ(s.PixelToPosition(INT_MAX), 0);
  s.MoveThumbTo(INT_MIN);
  EXPECT_EQ(s.Position(), 1);
  s.MoveThumbTo(INT_MAX);
  EXPECT_EQ(s.Position(), 0);
}

TEST_F(SliderTest, WithoutOpaqueThumbItsOutlineShowsTheBackground) {
  TVrTrackBar& s = MakeMaster();  // thumb rows 91 to 99, columns 20 to 36
  s.SetOptions(s.Options() & ~toThumbOpaque);
  QImage image = Pixels(s);
  EXPECT_EQ(PixelAt(image, kThumbColumn, 91), kFace);
  EXPECT_EQ(PixelAt(image, 20, 96), kFace);
  EXPECT_EQ(PixelAt(image, kThumbColumn, 92), kHighlight);
  EXPECT_EQ(PixelAt(image, kThumbColumn, 98), Rgb(128, 128, 128));
  s.SetThumbStates(2);  // a new picture width keeps the transparency
  EXPECT_EQ(PixelAt(Pixels(s), 24, 91), kFace);
  s.SetThumbStates(1);
  s.SetOptions(s.Options() | toThumbOpaque);
  image = Pixels(s);
  EXPECT_EQ(PixelAt(image, kThumbColumn, 91), kBlack);
  EXPECT_EQ(PixelAt(image, 20, 96), kBlack);
}

// The thumb and cursor pictures, against their description.
TEST(SliderPictures, ThumbPicturesAndHandCursor) {
  const QImage vertical(QStringLiteral(":/VRTB_VERT.xpm"));
  ASSERT_EQ(vertical.size(), QSize(17, 9));
  const auto expectedVertical = [](int x, int y) {
    if (y == 0 || y == 8 || x == 0 || x == 16) return Rgb(0, 0, 0);
    if (y == 1 || x == 1) return Rgb(255, 255, 255);
    if (y == 7 || x == 15) return Rgb(128, 128, 128);
    return Rgb(192, 192, 192);
  };
  const QImage horizontal(QStringLiteral(":/VRTB_HORI.xpm"));
  ASSERT_EQ(horizontal.size(), QSize(9, 17));
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 17; ++x) {
      EXPECT_EQ(QColor(vertical.pixel(x, y)), expectedVertical(x, y)) << x << "," << y;
      EXPECT_EQ(QColor(horizontal.pixel(y, x)), expectedVertical(x, y)) << x << "," << y;
    }
  }
  const QCursor hand = ProgramCursor(kHandPointCursor);
  EXPECT_EQ(hand.hotSpot(), QPoint(10, 5));
  const QImage handPicture = hand.pixmap().toImage();
  EXPECT_EQ(handPicture.size(), QSize(32, 32));
  EXPECT_EQ(QColor(handPicture.pixel(10, 5)), Rgb(0, 0, 0));  // the finger tip
  EXPECT_EQ(qAlpha(handPicture.pixel(10, 4)), 0);
}

}  // namespace
