// The whole window against the stand-in audio library: where every control
// is, what building it raises, the keyboard order, and what the generator,
// master and preview controls do to the bank, the labels, the output volume
// and the chart.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "AlertRecorder.h"
#include "EventWait.h"
#include "FakeBass.h"
#include "PreviewTraces.h"
#include "QtPrinting.h"
#include "RegionalSettings.h"
#include "TAdvSpinButton.h"
#include "TAdvSpinEdit.h"
#include "TAdvToolButton.h"
#include "TChart.h"
#include "TForm1.h"
#include "TVrTrackBar.h"

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

class MainWindow : public testing::Test {
 protected:
  void SetUp() override {
    fakebass::Reset();
    for (GeneratorState& g : GeneratorBank) {
      g.Phase.store(0.0, kRelaxed);
      g.Frequency.store(0.0, kRelaxed);
      g.Amplitude.store(0.0, kRelaxed);
    }
  }
  void TearDown() override { SetRegional({}); }

  TForm1& Create() {
    form = std::make_unique<TForm1>();
    return *form;
  }

  TForm1& CreateShown() {
    Create();
    form->show();
    form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    return *form;
  }

  // The trace the chart shows for series `t`, as (x, y) pairs.
  std::vector<double> Ys(std::size_t t) const {
    std::vector<double> ys;
    for (const TChartPoint& p : form->Series[t]->Points()) ys.push_back(p.Y);
    return ys;
  }

  // The traces the plain computation gives for the bank as it is now, on a
  // copy, so that the live bank is not touched.
  PreviewTraces ExpectedTraces(int32_t n) const {
    GeneratorArray copy;
    for (std::size_t k = 0; k < kGeneratorCount; ++k) {
      copy[k].Frequency.store(GeneratorBank[k].Frequency.load(kRelaxed), kRelaxed);
      copy[k].Amplitude.store(GeneratorBank[k].Amplitude.load(kRelaxed), kRelaxed);
    }
    return ComputePreviewTraces(copy, n);
  }

  void ExpectChartShowsTheBank(int32_t n) const {
    const PreviewTraces expected = ExpectedTraces(n);
    for (std::size_t t = 0; t < kPreviewTraceCount; ++t) {
      ASSERT_EQ(form->Series[t]->Count(), n) << "series " << t + 1;
      std::vector<double> want;
      for (const PreviewPoint& p : expected[t]) want.push_back(p.y);
      EXPECT_EQ(Ys(t), want) << "series " << t + 1;
    }
  }

  AlertRecorder alerts;
  std::unique_ptr<TForm1> form;
};

// --- Layout -----------------------------------------------------------------

struct Placement {
  const char* name;
  QWidget* (*control)(TForm1&);
  QRect geometry;
  const char* text;  // caption, or nullptr where there is none to check
};

QString TextOf(QWidget* widget) {
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* box = qobject_cast<QGroupBox*>(widget)) return box->title();
  if (auto* edit = dynamic_cast<TAdvSpinEdit*>(widget)) return edit->text();
  if (auto* button = dynamic_cast<TAdvToolButton*>(widget)) return button->Caption();
  return QString();
}

TEST_F(MainWindow, EveryControlHasItsPlaceSizeAndStartCaption) {
  TForm1& f = Create();
  EXPECT_EQ(f.size(), QSize(825, 548));
  EXPECT_EQ(f.minimumSize(), f.maximumSize());  // no resizing
  EXPECT_FALSE(f.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(f.windowFlags() & Qt::WindowCloseButtonHint);
  // The caption, then the application title that names the running program,
  // written out: Qt's own title bar on Wayland shows only what is set.
  EXPECT_EQ(f.windowTitle().toStdString(), "Sinefold (based on BASS) - https://sinefold.example — BASS - Tonwerk");

  const Placement placements[] = {
      {"device list", [](TForm1& w) -> QWidget* { return w.cbOutputDevices; }, {8, 8, 598, 21}, nullptr},
      {"chart", [](TForm1& w) -> QWidget* { return w.Chart1; }, {8, 35, 809, 209}, nullptr},
      {"scroll bar", [](TForm1& w) -> QWidget* { return w.sbChartSamplesCnt; }, {9, 249, 593, 17}, nullptr},
      {"Gen 1 box", [](TForm1& w) -> QWidget* { return w.GroupBox1; }, {8, 274, 88, 263}, "Gen 1"},
      {"Gen 2 box touches Gen 1", [](TForm1& w) -> QWidget* { return w.GroupBox2; }, {96, 274, 88, 263}, "Gen 2"},
      {"Gen 3 box", [](TForm1& w) -> QWidget* { return w.GroupBox3; }, {186, 274, 88, 263}, "Gen 3"},
      {"Gen 8 box", [](TForm1& w) -> QWidget* { return w.GroupBox8; }, {636, 274, 88, 263}, "Gen 8"},
      {"Mix box", [](TForm1& w) -> QWidget* { return w.GroupBox9; }, {729, 274, 88, 263}, "Mix"},
      {"Gen 5 frequency", [](TForm1& w) -> QWidget* { return w.seFreq5; }, {3, 32, 81, 21}, "550.000"},
      {"Gen 8 frequency", [](TForm1& w) -> QWidget* { return w.seFreq8; }, {3, 32, 81, 21}, "880.000"},
      {"Gen 3 level", [](TForm1& w) -> QWidget* { return w.tbAmp3; }, {16, 51, 57, 190}, nullptr},
      {"Gen 3 level label", [](TForm1& w) -> QWidget* { return w.lblAmp3; }, {16, 242, 57, 13}, "50%"},
      {"master volume", [](TForm1& w) -> QWidget* { return w.tbAmpMix; }, {16, 51, 57, 190}, nullptr},
      {"mute", [](TForm1& w) -> QWidget* { return w.btnMixMute; }, {16, 32, 57, 21}, "Mute"},
      {"master label after start-up", [](TForm1& w) -> QWidget* { return w.lblAmpMix; }, {16, 242, 57, 13}, "50 %"},
  };
  for (const Placement& p : placements) {
    QWidget* control = p.control(f);
    ASSERT_NE(control, nullptr) << p.name;
    EXPECT_EQ(control->geometry(), p.geometry) << p.name;
    if (p.text != nullptr) {
      EXPECT_EQ(TextOf(control), QString::fromUtf8(p.text)) << p.name;
    }
  }

  // The self-sizing labels keep their left edge and fit their text.
  const struct {
    QLabel* label;
    QPoint place;
    const char* text;
  } labels[] = {{f.Label1, {612, 251}, "Durée écran :"},
                {f.lblChartXTime, {683, 251}, "1024"},
                {f.Label9, {616, 11}, "Sortie audio"}};
  for (const auto& l : labels) {
    EXPECT_EQ(l.label->pos(), l.place) << l.text;
    EXPECT_EQ(l.label->text(), QString::fromUtf8(l.text));
    EXPECT_EQ(l.label->size(), l.label->sizeHint()) << l.text;
  }
  EXPECT_TRUE(f.lblChartXTime->font().bold());
  EXPECT_FALSE(f.Label1->font().bold());
}

TEST_F(MainWindow, FrequencyCaptionSitsCentredItsHeightPlusFourAboveTheBox) {
  TForm1& f = Create();
  for (const TGeneratorControls& g : f.Generators) {
    const QLabel* caption = g.seFreq->Label();
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->text(), "Freq (Hz)");
    EXPECT_EQ(caption->parentWidget(), g.GroupBox);
    EXPECT_EQ(caption->y(), 32 - caption->height() - 4);
    EXPECT_EQ(caption->x(), 3 + (81 - caption->width()) / 2);
  }
}

TEST_F(MainWindow, EveryControlHasANameAScreenReaderCanSpeak) {
  TForm1& f = Create();
  const std::pair<QWidget*, const char*> named[] = {
      {f.seFreq1, "Gen 1 frequency (Hz)"},
      {f.seFreq8, "Gen 8 frequency (Hz)"},
      {f.tbAmp1, "Gen 1 level"},
      {f.tbAmp6, "Gen 6 level"},
      {f.tbAmpMix, "Master volume"},
      {f.btnMixMute, "Mute"},
      {f.cbOutputDevices, "Output device"},
      {f.sbChartSamplesCnt, "Preview length"},
      {f.Chart1, "Waveform preview"},
  };
  for (const auto& [widget, name] : named) {
    EXPECT_EQ(widget->accessibleName(), QString::fromUtf8(name));
    // On this platform a combo box speaks its current entry as its name and
    // is introduced by the label it is the buddy of.
    if (widget == f.cbOutputDevices) continue;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    ASSERT_NE(accessible, nullptr) << name;
    EXPECT_EQ(accessible->text(QAccessible::Name), QString::fromUtf8(name));
  }
  EXPECT_EQ(f.Label9->buddy(), f.cbOutputDevices);
}

// Each level label introduces its slider to a screen reader, which finds
// the sliders as sliders with the level as their value, and no tab stops.
TEST_F(MainWindow, EachLevelLabelIsItsSlidersLabel) {
  TForm1& f = Create();
  std::vector<std::pair<QLabel*, TVrTrackBar*>> pairs{{f.lblAmpMix, f.tbAmpMix}};
  for (const TGeneratorControls& g : f.Generators) pairs.emplace_back(g.lblAmp, g.tbAmp);
  for (const auto& [label, slider] : pairs) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(slider);
    ASSERT_NE(accessible, nullptr);
    const QString name = accessible->text(QAccessible::Name);
    // The group box's title labels it too.
    std::vector<QObject*> labels;
    for (const auto& [other, relation] : accessible->relations(QAccessible::Label)) labels.push_back(other->object());
    std::sort(labels.begin(), labels.end());
    std::vector<QObject*> expected{label, slider->parentWidget()};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(labels, expected) << name.toStdString();
    EXPECT_EQ(accessible->role(), QAccessible::Slider);
    EXPECT_FALSE(accessible->state().focusable);
    ASSERT_NE(accessible->valueInterface(), nullptr);
    EXPECT_EQ(accessible->valueInterface()->currentValue().toInt(), slider->Position());
  }
}

// The settings the window gives its chart, series, sliders, spin boxes,
// scroll bar and mute button, read back from the window itself.
TEST_F(MainWindow, ControlsCarryTheWindowsSettings) {
  TForm1& f = Create();
  const struct {
    const char* title;
    ColorNumber color;  // 0x00BBGGRR
    int penWidth;
  } series[] = {{"Gen1", 0x00FF00, 1}, {"Gen2", 0xFFFF00, 1}, {"Gen3", 0xC080FF, 1},
                {"Gen4", 0x008080, 1}, {"Gen5", 0x8000FF, 1}, {"Gen6", 0x00FFFF, 1},
                {"Gen7", 0xFF8080, 1}, {"Gen8", 0xFF80FF, 1}, {"Mix", 0x0080FF, 2}};
  ASSERT_EQ(f.Chart1->SeriesCount(), 9);
  for (int t = 0; t < 9; ++t) {
    SCOPED_TRACE(series[t].title);
    const TFastLineSeries& shown = f.Chart1->Series(t);
    EXPECT_EQ(&shown, f.Series[static_cast<std::size_t>(t)]);  // SeriesN is the N-th of the legend
    EXPECT_EQ(shown.Title(), QString::fromUtf8(series[t].title));
    EXPECT_EQ(shown.SeriesColor(), series[t].color);
    EXPECT_EQ(shown.PenWidth(), series[t].penWidth);
  }
  EXPECT_EQ(f.Chart1->Color(), 0x404000u);
  EXPECT_EQ(f.Chart1->Margins(), QMargins(4, 4, 4, 4));
  EXPECT_EQ(f.Chart1->VerticalMinimum(), -32768.0);
  EXPECT_EQ(f.Chart1->VerticalMaximum(), 32768.0);

  const struct {
    const char* name;
    TVrTrackBar* slider;
    int maximum;
    int position;
    int tickStep;
  } sliders[] = {{"Gen 1", f.tbAmp1, 32767, 16384, 10}, {"Gen 2", f.tbAmp2, 32767, 16384, 10},
                 {"Gen 3", f.tbAmp3, 32767, 16384, 10}, {"Gen 4", f.tbAmp4, 32767, 16384, 10},
                 {"Gen 5", f.tbAmp5, 32767, 16384, 10}, {"Gen 6", f.tbAmp6, 32767, 16384, 10},
                 {"Gen 7", f.tbAmp7, 32767, 16384, 10}, {"Gen 8", f.tbAmp8, 32767, 16384, 10},
                 {"Mix", f.tbAmpMix, 100, 50, 5}};
  for (const auto& s : sliders) {
    SCOPED_TRACE(s.name);
    EXPECT_EQ(s.slider->MinValue(), 0);
    EXPECT_EQ(s.slider->MaxValue(), s.maximum);
    EXPECT_EQ(s.slider->Position(), s.position);
    EXPECT_EQ(s.slider->Frequency(), s.tickStep);
    EXPECT_EQ(s.slider->GutterWidth(), 5);
    EXPECT_EQ(s.slider->Orientation(), TVrOrientation::voVertical);
  }

  for (const TGeneratorControls& g : f.Generators) {
    EXPECT_EQ(g.seFreq->Precision(), 3);
    EXPECT_EQ(g.seFreq->IncrementFloat(), 0.1);
    EXPECT_EQ(g.seFreq->IncrementFloatPage(), 1.0);
    EXPECT_EQ(g.seFreq->MinValue(), 1);  // what text that is no number reads as
  }

  EXPECT_EQ(f.sbChartSamplesCnt->Min(), 64);
  EXPECT_EQ(f.sbChartSamplesCnt->Max(), 32768);
  EXPECT_EQ(f.sbChartSamplesCnt->Position(), 1024);
  EXPECT_EQ(f.sbChartSamplesCnt->SmallChange(), 1);
  EXPECT_EQ(f.sbChartSamplesCnt->LargeChange(), 128);

  EXPECT_EQ(f.btnMixMute->Color(), 0x808080u);
  EXPECT_EQ(f.btnMixMute->ColorHot(), 0x808080u);
  EXPECT_EQ(f.btnMixMute->ColorDown(), 0x4080FFu);
  EXPECT_EQ(f.btnMixMute->ColorChecked(), 0x4080FFu);
  EXPECT_EQ(f.btnMixMute->GroupIndex(), 1);
  EXPECT_TRUE(f.btnMixMute->AllowAllUp());
  EXPECT_TRUE(f.btnMixMute->Flat());
  EXPECT_FALSE(f.btnMixMute->Down());
}

// --- Start-up ---------------------------------------------------------------

TEST_F(MainWindow, BuildingTheWindowRaisesNoHandlerAndStartUpEndsWithTheMasterVolume) {
  TForm1& f = Create();
  for (const TGeneratorControls& g : f.Generators) EXPECT_EQ(g.lblAmp->text(), "50%");
  EXPECT_EQ(f.lblChartXTime->text(), "1024");  // no decimals until the first change
  EXPECT_EQ(f.lblAmpMix->text(), "50 %");
  EXPECT_EQ(fakebass::Volumes(), std::vector<float>{0.5f});  // once, at the very end
  EXPECT_EQ(fakebass::Calls().back(), "BASS_SetVolume(0.500000)");
  for (std::size_t k = 0; k < kGeneratorCount; ++k) {
    EXPECT_EQ(GeneratorBank[k].Frequency.load(), 110.0 * static_cast<double>(k + 1));
    EXPECT_EQ(GeneratorBank[k].Amplitude.load(), 16384.0);
  }
  ExpectChartShowsTheBank(1024);
  EXPECT_NEAR(GeneratorBank[3].Phase.load(), 9.3867, 1e-4);  // the preview left 440 Hz 1024 steps on
}

// --- Keyboard order ---------------------------------------------------------

TEST_F(MainWindow, FocusStartsInGen1WithItsTextSelectedAndTabWalksTheOrder) {
  TForm1& f = CreateShown();
  EXPECT_EQ(QApplication::focusWidget(), f.seFreq1);
  EXPECT_EQ(f.seFreq1->selectedText(), "110.000");
  const std::vector<QWidget*> order{f.cbOutputDevices, f.seFreq2, f.Chart1,  f.sbChartSamplesCnt, f.seFreq3, f.seFreq4,
                                    f.seFreq5,         f.seFreq6, f.seFreq7, f.seFreq8,           f.seFreq1};
  for (QWidget* next : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), next) << next->accessibleName().toStdString();
  }
}

TEST_F(MainWindow, WithoutOutputFocusStartsInTheDeviceListAndTabSkipsTheDisabledGroups) {
  fakebass::script().initError = BASS_ERROR_DEVICE;
  TForm1& f = CreateShown();
  ASSERT_FALSE(f.GroupBox1->isEnabled());
  EXPECT_EQ(QApplication::focusWidget(), f.cbOutputDevices);
  for (QWidget* next : std::vector<QWidget*>{f.Chart1, f.sbChartSamplesCnt, f.cbOutputDevices}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), next);
  }
}

TEST_F(MainWindow, DisabledGroupsTakeNoInputAndKeepTheirLook) {
  fakebass::script().initError = BASS_ERROR_DEVICE;
  TForm1& f = CreateShown();
  const QImage disabled = f.GroupBox3->grab().toImage();
  QTest::mouseClick(f.tbAmp3, Qt::LeftButton, {}, QPoint(28, 180));  // a jump toward the bottom, if it took input
  QTest::mouseClick(f.seFreq3->Button().findChildren<QWidget*>().value(0), Qt::LeftButton);
  EXPECT_EQ(f.tbAmp3->Position(), 16384);
  EXPECT_EQ(f.seFreq3->text(), "330.000");
  f.GroupBox3->setEnabled(true);
  EXPECT_EQ(f.GroupBox3->grab().toImage(), disabled);
}

// --- Generator controls -----------------------------------------------------

TEST_F(MainWindow, LevelSetsTheAmplitudeAndARoundedDownPercentage) {
  TForm1& f = Create();
  const std::pair<int, const char*> cases[] = {{0, "0%"},      {327, "0%"},     {328, "1%"},
                                               {16383, "49%"}, {32439, "98%"},  {32440, "99%"},
                                               {32766, "99%"}, {32767, "100%"}, {16384, "50%"}};
  for (const auto& [position, caption] : cases) {
    f.tbAmp3->SetPosition(position);
    EXPECT_EQ(f.lblAmp3->text(), caption) << position;
    EXPECT_EQ(GeneratorBank[2].Amplitude.load(), position) << position;
  }
  EXPECT_EQ(f.lblAmp2->text(), "50%");  // other generators untouched
  f.tbAmp3->SetPosition(0);
  ExpectChartShowsTheBank(1024);
  for (double y : Ys(2)) ASSERT_EQ(y, 0.0);  // a flat trace
}

// What the window shows of generator k: its frequency and level in the bank
// and its level label.
struct GeneratorView {
  double frequency;
  double level;
  QString label;
  bool operator==(const GeneratorView&) const = default;
};

void PrintTo(const GeneratorView& view, std::ostream* out) {
  *out << '{' << view.frequency << " Hz, " << view.level << ", \"" << view.label.toStdString() << "\"}";
}

std::vector<GeneratorView> Generators(const TForm1& f) {
  std::vector<GeneratorView> views;
  for (std::size_t k = 0; k < kGeneratorCount; ++k) {
    views.push_back(
        {GeneratorBank[k].Frequency.load(), GeneratorBank[k].Amplitude.load(), f.Generators[k].lblAmp->text()});
  }
  return views;
}

// Spin box k and slider k reach generator k and nothing else, through the
// window's own bindings: a handler bound to the wrong control shows as one
// generator that did not change and another that did.
TEST_F(MainWindow, EachGeneratorsControlsDriveThatGeneratorAlone) {
  TForm1& f = Create();
  const struct {
    const char* frequencyText;
    double frequency;
    int level;
    const char* label;
  } rows[kGeneratorCount] = {
      {"1.5", 1.5, 1000, "3%"},         {"22.25", 22.25, 4000, "12%"},        {"333.125", 333.125, 9000, "27%"},
      {"4444.5", 4444.5, 12000, "36%"}, {"5.75", 5.75, 20000, "61%"},         {"66.5", 66.5, 24000, "73%"},
      {"777.25", 777.25, 28000, "85%"}, {"8888.125", 8888.125, 32000, "97%"},
  };
  for (std::size_t k = 0; k < kGeneratorCount; ++k) {
    SCOPED_TRACE(testing::Message() << "generator " << k + 1);
    std::vector<GeneratorView> expected = Generators(f);
    expected[k] = {rows[k].frequency, static_cast<double>(rows[k].level), QString::fromUtf8(rows[k].label)};
    f.Generators[k].seFreq->setText(QString::fromUtf8(rows[k].frequencyText));
    f.Generators[k].tbAmp->SetPosition(rows[k].level);
    EXPECT_EQ(Generators(f), expected);
  }
}

TEST_F(MainWindow, FrequencyIsStoredAsTypedAndThePhaseRestarts) {
  TForm1& f = Create();
  f.seFreq1->StepUp();
  EXPECT_EQ(GeneratorBank[0].Frequency.load(), 110.1);
  ExpectChartShowsTheBank(1024);

  struct {
    const char* text;
    double stored;
  } const cases[] = {{"", 0.0}, {"4", 4.0}, {"-0.1", -0.1}, {"25000", 25000.0}, {"-", 1.0}};
  for (const auto& c : cases) {
    f.seFreq4->setText(QString::fromUtf8(c.text));
    EXPECT_EQ(GeneratorBank[3].Frequency.load(), c.stored) << '"' << c.text << '"';
  }
  // The phase restarts at zero and the preview leaves it 1024 steps on.
  f.seFreq4->setText("12000");
  EXPECT_EQ(GeneratorBank[3].Phase.load(), 256.0);
}

TEST_F(MainWindow, FrequencyBeyondTheDoubleRangeShowsTheErrorBoxAndKeepsTheGenerator) {
  TForm1& f = Create();
  ASSERT_TRUE(alerts.shown.empty());
  GeneratorBank[0].Phase.store(3.25, kRelaxed);  // as the audio left it
  const std::vector<double> before = Ys(0);
  const int requests = f.Chart1->RepaintRequestCount();

  QApplication::clipboard()->setText("1e400");
  f.seFreq1->setFocus();
  f.seFreq1->selectAll();
  QTest::keyClick(f.seFreq1, Qt::Key_V, Qt::ControlModifier);
  ASSERT_EQ(f.seFreq1->text(), "1e400");

  ASSERT_TRUE(WaitFor([&] { return !alerts.shown.empty(); })) << "no error box";
  QApplication::processEvents();
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].owner, nullptr);
  EXPECT_EQ(alerts.shown[0].icon, AlertIcon::Critical);
  EXPECT_TRUE(alerts.shown[0].caption.isEmpty());  // the application title
  EXPECT_EQ(alerts.shown[0].text, "Floating point overflow");
  EXPECT_EQ(GeneratorBank[0].Frequency.load(), 110.0);
  EXPECT_EQ(GeneratorBank[0].Phase.load(), 3.25);
  EXPECT_EQ(Ys(0), before);
  EXPECT_EQ(f.Chart1->RepaintRequestCount(), requests);  // the preview is not redrawn

  f.seFreq1->setText("220");  // the program goes on
  EXPECT_EQ(GeneratorBank[0].Frequency.load(), 220.0);
}

// The frequency handler and the restart from the device list store a spin
// box value through the same conversion; each path is driven on its own.
enum class StorePath { Handler, Restart };

class FrequencyStore : public MainWindow, public testing::WithParamInterface<StorePath> {
 protected:
  // Puts `text` into seFreq2 and lets the path under test store it into
  // generator 2, whose frequency is `kept` until then.
  void Store(TForm1& f, const char* text, double kept) {
    if (GetParam() == StorePath::Handler) GeneratorBank[1].Frequency.store(kept, kRelaxed);
    f.seFreq2->setText(QString::fromUtf8(text));  // the frequency handler runs
    QApplication::processEvents();                // and shows its box, if any
    if (GetParam() == StorePath::Restart) {
      alerts.shown.clear();
      GeneratorBank[1].Frequency.store(kept, kRelaxed);
      emit f.cbOutputDevices->activated(f.cbOutputDevices->currentIndex());  // the user's choice
      QApplication::processEvents();
    }
  }
};

TEST_P(FrequencyStore, ValuesThatRoundToTheLargestDoubleAreStoredAndThoseBeyondShowTheOverflowBox) {
  TForm1& f = Create();
  constexpr double kLargest = std::numeric_limits<double>::max();  // 1.7976931348623157E308
  constexpr double kKept = 5.0;                                    // the frequency before the change
  const struct {
    const char* text;
    double stored;
    bool overflows;
  } cases[] = {
      {"1.797693134862315E308", 1.797693134862315e308, false},
      {"1.7976931348623158E308", kLargest, false},  // above the largest double, yet nearer to it than to infinity
      {"-1.7976931348623158E308", -kLargest, false},
      {"1.79769313486231580784E308", kLargest, false},        // the extended value just below the bound
      {"1.797693134862315807937289714053E308", kKept, true},  // the bound itself: the tie goes to infinity
      {"1.797693134862316E308", kKept, true},
      {"-1E309", kKept, true},
      {"1E4000", kKept, true},
      {"440.5", 440.5, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    alerts.shown.clear();
    Store(f, c.text, kKept);
    EXPECT_EQ(GeneratorBank[1].Frequency.load(), c.stored);
    ASSERT_EQ(alerts.shown.size(), c.overflows ? 1u : 0u);
    if (c.overflows) {
      EXPECT_EQ(alerts.shown[0].owner, nullptr);
      EXPECT_EQ(alerts.shown[0].icon, AlertIcon::Critical);
      EXPECT_TRUE(alerts.shown[0].caption.isEmpty());  // the application title
      EXPECT_EQ(alerts.shown[0].text, "Floating point overflow");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, FrequencyStore, testing::Values(StorePath::Handler, StorePath::Restart),
                         [](const auto& param) { return param.param == StorePath::Handler ? "handler" : "restart"; });

// --- Master output ----------------------------------------------------------

TEST_F(MainWindow, MasterSliderSetsTheVolumeAsAFloatAndTheLabel) {
  TForm1& f = Create();
  const struct {
    int position;
    float volume;
    const char* label;
  } cases[] = {{0, 0.0f, "0 %"}, {100, 1.0f, "100 %"}, {10, 0.1f, "10 %"}, {37, 0.37f, "37 %"}};
  for (const auto& c : cases) {
    f.tbAmpMix->SetPosition(c.position);
    EXPECT_EQ(fakebass::Volumes().back(), c.volume) << c.position;
    EXPECT_EQ(f.lblAmpMix->text(), c.label);
  }
}

TEST_F(MainWindow, MuteSilencesAndASecondClickBringsTheSliderVolumeBack) {
  TForm1& f = CreateShown();
  const QPoint button = f.btnMixMute->rect().center();
  QTest::mouseClick(f.btnMixMute, Qt::LeftButton, {}, button);
  EXPECT_TRUE(f.btnMixMute->Down());
  EXPECT_EQ(fakebass::Volumes().back(), 0.0f);
  EXPECT_EQ(f.lblAmpMix->text(), "Muted");
  EXPECT_EQ(f.btnMixMute->ColorHot(), 0x0080FFu);

  f.tbAmpMix->SetPosition(60);  // audible again while the button stays down
  EXPECT_EQ(fakebass::Volumes().back(), 0.6f);
  EXPECT_EQ(f.lblAmpMix->text(), "60 %");
  EXPECT_TRUE(f.btnMixMute->Down());

  const std::size_t volumes = fakebass::Volumes().size();
  QTest::mouseClick(f.btnMixMute, Qt::LeftButton, {}, button);
  EXPECT_FALSE(f.btnMixMute->Down());
  EXPECT_EQ(fakebass::Volumes().size(), volumes + 1);  // the click sets the volume again
  EXPECT_EQ(fakebass::Volumes().back(), 0.6f);
  EXPECT_EQ(f.lblAmpMix->text(), "60 %");
  EXPECT_EQ(f.btnMixMute->ColorHot(), 0x808080u);
}

// Nothing but the second click writes the volume and the label here.
TEST_F(MainWindow, TwoMuteClicksInARowBringBackTheSliderVolumeAndItsLabel) {
  TForm1& f = CreateShown();
  const QPoint button = f.btnMixMute->rect().center();
  QTest::mouseClick(f.btnMixMute, Qt::LeftButton, {}, button);
  ASSERT_EQ(f.lblAmpMix->text(), "Muted");
  ASSERT_EQ(fakebass::Volumes().back(), 0.0f);

  QTest::mouseClick(f.btnMixMute, Qt::LeftButton, {}, button);
  EXPECT_FALSE(f.btnMixMute->Down());
  EXPECT_EQ(fakebass::Volumes().back(), 0.5f);
  EXPECT_EQ(f.lblAmpMix->text(), "50 %");
  EXPECT_EQ(f.btnMixMute->ColorHot(), 0x808080u);
}

// --- Preview length ---------------------------------------------------------

QPoint ScrollBarPart(TScrollBar& bar, QStyle::SubControl part) {
  QStyleOptionSlider option;
  option.initFrom(&bar);
  option.orientation = bar.orientation();
  option.minimum = bar.minimum();
  option.maximum = bar.maximum();
  option.sliderPosition = bar.sliderPosition();
  option.sliderValue = bar.value();
  option.singleStep = bar.singleStep();
  option.pageStep = bar.pageStep();
  return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar).center();
}

class PreviewLength : public MainWindow, public testing::WithParamInterface<char16_t> {};

TEST_P(PreviewLength, ArrowClickRecomputesThenRelabelsAndTheEndCatchesUp) {
  SetRegional({GetParam(), u' '});
  TForm1& f = CreateShown();
  std::vector<int> seen;  // the number of steps every refresh computed
  const TScrollEvent refresh = f.sbChartSamplesCnt->OnScroll;
  f.sbChartSamplesCnt->OnScroll = [&](QObject* sender, TScrollCode code, int& position) {
    refresh(sender, code, position);
    seen.push_back(f.Series9->Count());
  };
  QTest::mouseClick(f.sbChartSamplesCnt, Qt::LeftButton, {},
                    ScrollBarPart(*f.sbChartSamplesCnt, QStyle::SC_ScrollBarAddLine));
  EXPECT_EQ(seen, (std::vector<int>{1024, 1025}));
  EXPECT_EQ(f.lblChartXTime->text(), GetParam() == u',' ? "1025,00" : "1025.00");
  EXPECT_EQ(f.lblChartXTime->x(), 683);
  ExpectChartShowsTheBank(1025);
}

INSTANTIATE_TEST_SUITE_P(Separators, PreviewLength, testing::Values(u'.', u','),
                         [](const auto& param) { return param.param == u',' ? "comma" : "point"; });

TEST_F(MainWindow, TroughClickStopsAtTheLongestPreview) {
  TForm1& f = CreateShown();
  f.sbChartSamplesCnt->SetPosition(32700);
  QTest::mouseClick(f.sbChartSamplesCnt, Qt::LeftButton, {},
                    ScrollBarPart(*f.sbChartSamplesCnt, QStyle::SC_ScrollBarAddPage));
  EXPECT_EQ(f.sbChartSamplesCnt->Position(), 32768);
  EXPECT_EQ(f.lblChartXTime->text(), "32768.00");
  ExpectChartShowsTheBank(32768);
}

// Each refresh asks the chart for exactly one repaint, however many points it
// loads; an arrow click is two scroll notifications, so two refreshes. The
// toolkit would merge a second request into the same paint, so only the
// count of requests shows a change that refreshes or asks twice.
TEST_F(MainWindow, EveryRefreshAsksTheChartForOneRepaint) {
  TForm1& f = CreateShown();
  const struct {
    const char* change;
    int steps;
    void (*make)(TForm1&);
    int requests;
  } cases[] = {
      {"level", 1024, [](TForm1& w) { w.tbAmp2->SetPosition(1000); }, 1},
      {"level at the longest preview", 32768, [](TForm1& w) { w.tbAmp2->SetPosition(2000); }, 1},
      {"frequency", 1024, [](TForm1& w) { w.seFreq7->setText("1234.5"); }, 1},
      {"arrow click", 1024,
       [](TForm1& w) {
         QTest::mouseClick(w.sbChartSamplesCnt, Qt::LeftButton, {},
                           ScrollBarPart(*w.sbChartSamplesCnt, QStyle::SC_ScrollBarAddLine));
       },
       2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.change);
    f.sbChartSamplesCnt->SetPosition(c.steps);
    const int before = f.Chart1->RepaintRequestCount();
    c.make(f);
    EXPECT_EQ(f.Chart1->RepaintRequestCount(), before + c.requests);
  }
}

TEST_F(MainWindow, ClosingInTheMiddleOfAScrollActionRunsNoHandlerOnTheDyingWindow) {
  TForm1& f = CreateShown();
  QTest::mousePress(f.sbChartSamplesCnt, Qt::LeftButton, {},
                    ScrollBarPart(*f.sbChartSamplesCnt, QStyle::SC_ScrollBarAddLine));
  ASSERT_EQ(f.sbChartSamplesCnt->Position(), 1025);  // the action runs: its end is still to come
  form.reset();                                      // ends the action: the end notification must reach nobody
}

}  // namespace
