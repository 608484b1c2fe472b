// The mute button as the window configures it: toggling, the click after the
// toggle, the faces per state, and what counts as inside.
#include <gtest/gtest.h>

#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

#include "TAdvToolButton.h"
#include "WidgetTestSupport.h"

namespace {

using namespace widget_test;

const QColor kGray = Rgb(128, 128, 128);
const QColor kMutedHot = Rgb(255, 128, 0);
const QColor kDownOrange = Rgb(255, 128, 64);
const QPoint kFacePixel(3, 3);  // inside the face, clear of the caption

QPoint CentreOf(const QWidget& widget) { return QPoint(widget.width() / 2, widget.height() / 2); }

// The pointer comes to rest on the button.
void RestPointerOn(TAdvToolButton& button) {
  const QPoint centre = CentreOf(button);
  QCursor::setPos(button.mapToGlobal(centre));
  QEnterEvent enter(centre, centre, button.mapToGlobal(centre));
  QApplication::sendEvent(&button, &enter);
}

void MovePointerAway(TAdvToolButton& button) {
  QCursor::setPos(button.parentWidget()->mapToGlobal(QPoint(80, 200)));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&button, &leave);
}

QColor FaceOf(TAdvToolButton& button) { return PixelAt(Pixels(button), kFacePixel.x(), kFacePixel.y()); }

void ClickOn(TAdvToolButton& button) { QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, CentreOf(button)); }

class ToggleTest : public testing::Test {
 protected:
  void SetUp() override {
    group = MakeGroupSurface();
    new QLabel(QStringLiteral("50%"), group.get());  // a sibling that is no button, as in the window
    button = new TAdvToolButton(group.get());
    button->setGeometry(16, 32, 57, 21);
    button->SetCaption(QStringLiteral("Mute"));
    button->SetGroupIndex(1);
    button->SetAllowAllUp(true);
    button->SetColor(clGray);
    button->SetColorHot(clGray);
    button->SetColorDown(0x4080FF);
    button->SetColorChecked(0x4080FF);
    // What the window's mute handler does with the hover colour.
    button->OnClick = [this](QObject* sender) {
      EXPECT_EQ(sender, button);
      clicksSeenDown.push_back(button->Down());
      button->SetColorHot(button->Down() ? 0x0080FF : clGray);
    };
    group->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(group.get()));
  }

  QPoint Centre() const { return CentreOf(*button); }
  void PointerOnButton() { RestPointerOn(*button); }
  void PointerAway() { MovePointerAway(*button); }
  QColor Face() { return FaceOf(*button); }

  std::unique_ptr<QWidget> group;
  TAdvToolButton* button = nullptr;
  std::vector<bool> clicksSeenDown;
};

TEST_F(ToggleTest, ClickWithThePointerRestingGoesDownThenClicksOnce) {
  PointerOnButton();
  QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, Centre());
  EXPECT_EQ(Face(), kDownOrange);  // being pressed, under the pointer
  QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, Centre());
  EXPECT_TRUE(button->Down());
  EXPECT_EQ(clicksSeenDown, std::vector<bool>{true});  // Down had changed before OnClick
  EXPECT_EQ(Face(), kMutedHot);
  PointerAway();
  EXPECT_EQ(Face(), kDownOrange);
  EXPECT_EQ(PixelAt(Pixels(*group), 16, 32), ToQColor(clBtnFace));  // the outer ring is the parent's
}

TEST_F(ToggleTest, TwoClicksComeBackUp) {
  PointerOnButton();
  QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, Centre());
  QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, Centre());
  EXPECT_FALSE(button->Down());
  EXPECT_EQ(clicksSeenDown, (std::vector<bool>{true, false}));
  EXPECT_EQ(Face(), kGray);
  PointerAway();
  EXPECT_EQ(Face(), kGray);
}

TEST_F(ToggleTest, ReleasedOutsideChangesNothingAndShowsTheUpFaceMeanwhile) {
  PointerOnButton();
  QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, Centre());
  DragTo(*button, QPoint(100, 10));
  EXPECT_EQ(Face(), kGray);
  DragTo(*button, Centre());
  EXPECT_EQ(Face(), kDownOrange);
  DragTo(*button, QPoint(100, 10));
  QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(100, 10));
  EXPECT_FALSE(button->Down());
  EXPECT_TRUE(clicksSeenDown.empty());
}

struct EdgeCase {
  const char* name;
  QPoint release;
  bool toggles;
};

class ToggleEdges : public ToggleTest, public testing::WithParamInterface<EdgeCase> {};

TEST_P(ToggleEdges, BottomRowIsInsideRightColumnIsNot) {
  QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, Centre());
  QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, GetParam().release);
  EXPECT_EQ(button->Down(), GetParam().toggles);
  EXPECT_EQ(clicksSeenDown.size(), GetParam().toggles ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Releases, ToggleEdges,
                         testing::Values(EdgeCase{"bottom_edge_row", QPoint(10, 21), true},
                                         EdgeCase{"below_the_bottom_edge", QPoint(10, 22), false},
                                         EdgeCase{"last_column", QPoint(56, 10), true},
                                         EdgeCase{"right_edge_column", QPoint(57, 10), false},
                                         EdgeCase{"left_of_the_button", QPoint(-1, 10), false},
                                         EdgeCase{"top_row", QPoint(10, 0), true}),
                         [](const testing::TestParamInfo<EdgeCase>& p) { return p.param.name; });

TEST_F(ToggleTest, RightButtonNeitherTogglesNorClicks) {
  QTest::mouseClick(button, Qt::RightButton, Qt::NoModifier, Centre());
  EXPECT_FALSE(button->Down());
  EXPECT_TRUE(clicksSeenDown.empty());
}

TEST_F(ToggleTest, AClickLeavesTheFocusWhereItWasAndNoWindowIsMade) {
  auto* edit = new QLineEdit(group.get());
  edit->show();
  group->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(group.get()));
  edit->setFocus(Qt::OtherFocusReason);
  QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, Centre());
  EXPECT_TRUE(edit->hasFocus());
  EXPECT_EQ(button->internalWinId(), 0u);  // painted on its parent
}

// Setters take any value and leave a button that still clicks. Each case
// starts from the mute button, up, in group 1, and checks what it changed.
struct SetterCase {
  const char* name;
  std::function<void(TAdvToolButton&)> applyAndCheck;
};

void PrintTo(const SetterCase& c, std::ostream* out) { *out << c.name; }

class ToggleSetters : public ToggleTest, public testing::WithParamInterface<SetterCase> {};

TEST_P(ToggleSetters, OddValuesLeaveAWorkingButton) {
  GetParam().applyAndCheck(*button);
  const std::size_t clicks = clicksSeenDown.size();
  QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, Centre());
  EXPECT_EQ(clicksSeenDown.size(), clicks + 1);
  EXPECT_EQ(Pixels(*button).size(), button->size());
}

INSTANTIATE_TEST_SUITE_P(Values, ToggleSetters,
                         testing::Values(SetterCase{"down_button_leaving_its_group_comes_up",
                                                    [](TAdvToolButton& b) {
                                                      ClickOn(b);
                                                      b.SetGroupIndex(0);
                                                      EXPECT_FALSE(b.Down());
                                                      MovePointerAway(b);
                                                      EXPECT_EQ(FaceOf(b), kGray);
                                                    }},
                                         SetterCase{"down_button_joining_a_group_brings_its_down_button_up",
                                                    [](TAdvToolButton& b) {
                                                      auto* other = new TAdvToolButton(b.parentWidget());
                                                      other->SetGroupIndex(2);
                                                      other->SetDown(true);
                                                      ClickOn(b);
                                                      b.SetGroupIndex(2);
                                                      EXPECT_TRUE(b.Down());
                                                      EXPECT_FALSE(other->Down());
                                                    }},
                                         SetterCase{"down_outside_a_group_stays_up",
                                                    [](TAdvToolButton& b) {
                                                      b.SetGroupIndex(0);
                                                      b.SetDown(true);
                                                      EXPECT_FALSE(b.Down());
                                                    }},
                                         SetterCase{"negative_group_toggles",
                                                    [](TAdvToolButton& b) {
                                                      b.SetGroupIndex(-3);
                                                      ClickOn(b);
                                                      EXPECT_TRUE(b.Down());
                                                    }},
                                         SetterCase{
                                             "button_that_is_not_flat_is_never_hot",
                                             [](TAdvToolButton& b) {
                                               RestPointerOn(b);
                                               b.SetFlat(false);
                                               QTest::mousePress(&b, Qt::LeftButton, Qt::NoModifier, CentreOf(b));
                                               EXPECT_EQ(FaceOf(b), kGray);  // no pressed-and-hot face
                                               QTest::mouseRelease(&b, Qt::LeftButton, Qt::NoModifier, CentreOf(b));
                                             }}),
                         [](const testing::TestParamInfo<SetterCase>& p) { return p.param.name; });

}  // namespace
