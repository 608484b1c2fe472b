// The mute button as the window configures it: toggling, the click after the
// toggle, the faces per state, and what counts as inside.
#include <gtest/gtest.h>

#include <QCursor>
#include <memory>

#include "TAdvToolButton.h"
#include "WidgetTestSupport.h"

namespace {

using namespace widget_test;

const QColor kGray = Rgb(128, 128, 128);
const QColor kMutedHot = Rgb(255, 128, 0);
const QColor kDownOrange = Rgb(255, 128, 64);
const QPoint kFacePixel(3, 3);  // inside the face, clear of the caption

class ToggleTest : public testing::Test {
 protected:
  void SetUp() override {
    group = MakeGroupSurface();
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

  QPoint Centre() const { return QPoint(button->width() / 2, button->height() / 2); }

  // The pointer comes to rest on the button.
  void PointerOnButton() {
    QCursor::setPos(button->mapToGlobal(Centre()));
    QEnterEvent enter(Centre(), Centre(), button->mapToGlobal(Centre()));
    QApplication::sendEvent(button, &enter);
  }

  void PointerAway() {
    QCursor::setPos(group->mapToGlobal(QPoint(80, 200)));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
  }

  QColor Face() { return PixelAt(Pixels(*button), kFacePixel.x(), kFacePixel.y()); }

  std::unique_ptr<QWidget> group;
  TAdvToolButton* button = nullptr;
  std::vector<bool> clicksSeenDown;
};

TEST_F(ToggleTest, ClickWithThePointerRestingGoesDownThenClicksOnce) {
  PointerOnButton();
  EXPECT_TRUE(button->Hot());
  QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, Centre());
  EXPECT_EQ(Face(), kDownOrange);  // being pressed
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
  EXPECT_EQ(button->State(), TButtonState::bsUp);
  EXPECT_EQ(Face(), kGray);
  DragTo(*button, Centre());
  EXPECT_EQ(button->State(), TButtonState::bsDown);
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

TEST_F(ToggleTest, RightButtonNeitherTogglesNorClicksAndTheButtonTakesNoFocus) {
  QTest::mouseClick(button, Qt::RightButton, Qt::NoModifier, Centre());
  EXPECT_FALSE(button->Down());
  EXPECT_TRUE(clicksSeenDown.empty());
  EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
  EXPECT_FALSE(button->testAttribute(Qt::WA_NativeWindow));
}

}  // namespace
