// Layout, wiring and handlers of the main window.
#include "TForm1.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <optional>
#include <stdexcept>

#include "Alerts.h"
#include "Application.h"
#include "RegionalSettings.h"
#include "SteadyLook.h"
#include "TAdvSpinEdit.h"
#include "TAdvToolButton.h"
#include "TChart.h"
#include "TVrTrackBar.h"
#include "bass.h"

TForm1* Form1 = nullptr;

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

constexpr int kClientWidth = 825;
constexpr int kClientHeight = 548;
const QString kCaption = QStringLiteral("Sinefold (based on BASS) - https://sinefold.example");
// The window's title names the running program: the caption, then the
// application title after an em dash, as Qt's X11 platform would append it
// (it leaves a title that already ends with it as it is). Written out
// because the title bar Qt draws itself on Wayland shows only what is set.
const QString kTitleSeparator = QStringLiteral(" \u2014 ");

// The row of group boxes at the bottom; "Mix" is the ninth.
constexpr std::array<int, kGeneratorCount> kGroupLefts{8, 96, 186, 276, 366, 456, 546, 636};
constexpr int kMixGroupLeft = 729;
constexpr QSize kGroupSize(88, 263);
constexpr int kGroupTop = 274;
// Inside every group box.
constexpr QRect kSpinBoxRect(3, 32, 81, 21);
constexpr QRect kMuteButtonRect(16, 32, 57, 21);
constexpr QRect kSliderRect(16, 51, 57, 190);
constexpr QRect kLevelLabelRect(16, 242, 57, 13);

constexpr QRect kDeviceListRect(8, 8, 598, 21);
constexpr QRect kChartRect(8, 35, 809, 209);
constexpr QRect kScrollBarRect(9, 249, 593, 17);
constexpr QPoint kLabel1Place(612, 251);
constexpr QPoint kChartXTimePlace(683, 251);
constexpr QPoint kLabel9Place(616, 11);

constexpr double kStartFrequencyStep = 110.0;  // generator k starts at 110 * k Hz
constexpr int kFrequencyDecimals = 3;
constexpr int kUnreadableFrequency = 1;  // what text that is no number reads as
constexpr double kFrequencySmallStep = 0.1;
constexpr double kFrequencyLargeStep = 1.0;
constexpr int kMaxLevel = 32767;
constexpr int kStartLevel = 16384;
constexpr int kMaxMasterVolume = 100;
constexpr int kStartMasterVolume = 50;
constexpr int kMasterTickStep = 5;
constexpr int kGutterWidth = 5;
constexpr int kMuteGroup = 1;

constexpr int kMinPreviewSteps = 64;
constexpr int kMaxPreviewSteps = 32768;
constexpr int kStartPreviewSteps = 1024;
constexpr int kPreviewLargeChange = 128;

constexpr ColorNumber kChartBackground = 0x404000;
constexpr int kChartMargin = 4;
constexpr double kChartMinimum = -32768.0;
constexpr double kChartMaximum = 32768.0;
struct SeriesLook {
  const char* title;
  ColorNumber color;
  int width;
};
constexpr std::array<SeriesLook, kGeneratorCount + 1> kSeriesLooks{{
    {"Gen1", clLime, 1},
    {"Gen2", clAqua, 1},
    {"Gen3", 0xC080FF, 1},
    {"Gen4", clOlive, 1},
    {"Gen5", 0x8000FF, 1},
    {"Gen6", clYellow, 1},
    {"Gen7", 0xFF8080, 1},
    {"Gen8", 0xFF80FF, 1},
    {"Mix", 0x0080FF, 2},
}};

// The mute button: grey when up, orange when down; its hover colour follows
// the state (btnMixMuteClick).
constexpr ColorNumber kMutedOrange = 0x4080FF;
constexpr ColorNumber kMutedHotOrange = 0x0080FF;

// The handlers of generator k's controls.
struct GeneratorHandlers {
  void (TForm1::*frequency)(QObject*);
  void (TForm1::*level)(QObject*);
};
constexpr std::array<GeneratorHandlers, kGeneratorCount> kGeneratorHandlers{{
    {&TForm1::seFreq1Change, &TForm1::tbAmp1Change},
    {&TForm1::seFreq2Change, &TForm1::tbAmp2Change},
    {&TForm1::seFreq3Change, &TForm1::tbAmp3Change},
    {&TForm1::seFreq4Change, &TForm1::tbAmp4Change},
    {&TForm1::seFreq5Change, &TForm1::tbAmp5Change},
    {&TForm1::seFreq6Change, &TForm1::tbAmp6Change},
    {&TForm1::seFreq7Change, &TForm1::tbAmp7Change},
    {&TForm1::seFreq8Change, &TForm1::tbAmp8Change},
}};

// The double the bank stores for a spin box value. A value beyond the double
// range cannot be stored: the runtime's overflow error, which ends the
// handler and is shown by the guard it is bound through.
double StoredFrequency(long double value) {
  const std::optional<double> stored = StorableFrequency(value);
  if (!stored) throw std::overflow_error(kFrequencyOverflowMessage);
  return *stored;
}

// A handler of `form` as a control's event.
template <class... Args>
auto Bound(TForm1* form, void (TForm1::*handler)(QObject*, Args...)) {
  return Guarded([form, handler](QObject* sender, Args... args) { (form->*handler)(sender, args...); });
}

QString GeneratorName(int generator) { return QStringLiteral("Gen %1").arg(generator); }

// A label that sizes itself to its text, its left edge fixed.
QLabel* CreateSizingLabel(const QString& caption, QPoint place, QWidget& parent) {
  auto* label = new QLabel(caption, &parent);
  label->move(place);
  label->adjustSize();
  return label;
}

QGroupBox* CreateGroupBox(const QString& caption, int left, QWidget& parent) {
  auto* box = new QGroupBox(caption, &parent);
  box->setGeometry(QRect(QPoint(left, kGroupTop), kGroupSize));
  // A disabled box blocks input to its controls and changes nothing in how
  // they look.
  KeepLookWhenDisabled(*box);
  return box;
}

}  // namespace

TForm1::TForm1(QWidget* parent, std::string audioLibraryFileName)
    : QWidget(parent), OutputLifecycle(std::move(audioLibraryFileName)) {
  setWindowTitle(kCaption + kTitleSeparator + QString::fromUtf8(kApplicationTitle));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);
  QPalette face = palette();
  face.setColor(QPalette::Window, ToQColor(clBtnFace));
  setPalette(face);
  setAutoFillBackground(true);

  // Created in the order of the window description: later controls lie on
  // top of earlier ones. Each handler is attached after the values it
  // reports on, so building the window raises none of them.
  CreateTopLabels();
  CreateGeneratorGroup(1);
  CreateDeviceList();
  CreateGeneratorGroup(2);
  CreateChart();
  CreateScrollBar();
  for (int k = 3; k <= kGeneratorCount; ++k) CreateGeneratorGroup(k);
  CreateMixGroup();
  SetTabOrder();

  FormCreate();
}

TForm1::~TForm1() {
  sbChartSamplesCnt->OnScroll = nullptr;
  sbChartSamplesCnt->OnChange = nullptr;
}

// --- Creation ---------------------------------------------------------------

void TForm1::CreateTopLabels() {
  Label1 = CreateSizingLabel(QString::fromUtf8("Durée écran :"), kLabel1Place, *this);
  lblChartXTime = new QLabel(QString::number(kStartPreviewSteps), this);
  QFont bold = lblChartXTime->font();
  bold.setBold(true);
  lblChartXTime->setFont(bold);
  lblChartXTime->move(kChartXTimePlace);
  lblChartXTime->adjustSize();
  Label9 = CreateSizingLabel(QStringLiteral("Sortie audio"), kLabel9Place, *this);
}

void TForm1::CreateDeviceList() {
  cbOutputDevices = new QComboBox(this);
  cbOutputDevices->setGeometry(kDeviceListRect);
  cbOutputDevices->setAccessibleName(QStringLiteral("Output device"));
  Label9->setBuddy(cbOutputDevices);
  // Only the user's choice counts as a change, never a selection by code.
  connect(cbOutputDevices, &QComboBox::activated, this,
          Guarded([this](int /*index*/) { cbOutputDevicesChange(cbOutputDevices); }));
}

QLabel* TForm1::CreateLevelLabel(QGroupBox& box) {
  auto* label = new QLabel(QStringLiteral("50%"), &box);
  label->setGeometry(kLevelLabelRect);
  label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  return label;
}

TVrTrackBar* TForm1::CreateLevelSlider(QGroupBox& box, int maximum, int position) {
  auto* slider = new TVrTrackBar(&box);
  slider->BeginLoading();
  slider->setGeometry(kSliderRect);
  slider->SetMaxValue(maximum);
  slider->SetPosition(position);
  slider->SetOrientation(TVrOrientation::voVertical);
  slider->SetGutterWidth(kGutterWidth);
  return slider;
}

void TForm1::CreateGeneratorGroup(int generator) {
  const auto index = static_cast<std::size_t>(generator - 1);
  TGeneratorControls& controls = Generators[index];
  QGroupBox* box = CreateGroupBox(GeneratorName(generator), kGroupLefts[index], *this);
  box->setEnabled(false);  // until every stream plays
  controls.GroupBox = box;

  controls.lblAmp = CreateLevelLabel(*box);

  TVrTrackBar* slider = CreateLevelSlider(*box, kMaxLevel, kStartLevel);
  slider->EndLoading();
  slider->setAccessibleName(GeneratorName(generator) + QStringLiteral(" level"));
  slider->OnChange = Bound(this, kGeneratorHandlers[index].level);
  controls.lblAmp->setBuddy(slider);  // a screen reader introduces the slider with its percentage
  controls.tbAmp = slider;

  auto* spin = new TAdvSpinEdit(box);
  spin->setGeometry(kSpinBoxRect);
  spin->SetPrecision(kFrequencyDecimals);
  spin->SetFloatValue(kStartFrequencyStep * generator);
  spin->SetMinValue(kUnreadableFrequency);
  spin->SetIncrementFloat(kFrequencySmallStep);
  spin->SetIncrementFloatPage(kFrequencyLargeStep);
  spin->setAlignment(Qt::AlignCenter);
  spin->SetLabelCaption(QStringLiteral("Freq (Hz)"));
  spin->SetLabelPosition(TLabelPosition::lpTopCenter);
  spin->setAccessibleName(GeneratorName(generator) + QStringLiteral(" frequency (Hz)"));
  spin->OnChange = Bound(this, kGeneratorHandlers[index].frequency);
  controls.seFreq = spin;
}

void TForm1::CreateChart() {
  Chart1 = new TChart(this);
  Chart1->setGeometry(kChartRect);
  Chart1->SetColor(kChartBackground);
  Chart1->SetMargins(kChartMargin, kChartMargin, kChartMargin, kChartMargin);
  Chart1->SetVerticalRange(kChartMinimum, kChartMaximum);
  Chart1->setAccessibleName(QStringLiteral("Waveform preview"));
  for (std::size_t t = 0; t < Series.size(); ++t) {
    const SeriesLook& look = kSeriesLooks[t];
    Series[t] = &Chart1->AddSeries(QString::fromUtf8(look.title), look.color, look.width);
    Series[t]->Reserve(kMaxPreviewSteps);  // loading then never allocates
  }
}

void TForm1::CreateScrollBar() {
  sbChartSamplesCnt = new TScrollBar(this);
  sbChartSamplesCnt->setGeometry(kScrollBarRect);
  sbChartSamplesCnt->SetMin(kMinPreviewSteps);
  sbChartSamplesCnt->SetMax(kMaxPreviewSteps);
  sbChartSamplesCnt->SetPosition(kStartPreviewSteps);
  sbChartSamplesCnt->SetLargeChange(kPreviewLargeChange);
  sbChartSamplesCnt->setAccessibleName(QStringLiteral("Preview length"));
  sbChartSamplesCnt->OnChange = Bound(this, &TForm1::sbChartSamplesCntChange);
  sbChartSamplesCnt->OnScroll = Bound(this, &TForm1::sbChartSamplesCntScroll);
}

void TForm1::CreateMixGroup() {
  GroupBox9 = CreateGroupBox(QStringLiteral("Mix"), kMixGroupLeft, *this);
  lblAmpMix = CreateLevelLabel(*GroupBox9);

  btnMixMute = new TAdvToolButton(GroupBox9);
  btnMixMute->setGeometry(kMuteButtonRect);
  btnMixMute->SetCaption(QStringLiteral("Mute"));
  btnMixMute->SetGroupIndex(kMuteGroup);
  btnMixMute->SetAllowAllUp(true);
  btnMixMute->SetColor(clGray);
  btnMixMute->SetColorHot(clGray);
  btnMixMute->SetColorDown(kMutedOrange);
  btnMixMute->SetColorChecked(kMutedOrange);
  btnMixMute->setAccessibleName(QStringLiteral("Mute"));
  btnMixMute->OnClick = Bound(this, &TForm1::btnMixMuteClick);

  tbAmpMix = CreateLevelSlider(*GroupBox9, kMaxMasterVolume, kStartMasterVolume);
  tbAmpMix->SetFrequency(kMasterTickStep);
  tbAmpMix->EndLoading();
  tbAmpMix->setAccessibleName(QStringLiteral("Master volume"));
  tbAmpMix->OnChange = Bound(this, &TForm1::tbAmpMixChange);
  lblAmpMix->setBuddy(tbAmpMix);
}

// Tab visits seFreq1, the device list, seFreq2, the chart, the scroll bar
// and seFreq3 .. seFreq8, then seFreq1 again; Qt skips the spin boxes of
// disabled groups by itself.
void TForm1::SetTabOrder() {
  Chart1->setFocusPolicy(Qt::TabFocus);
  const std::array<QWidget*, 5 + kGeneratorCount - 2> order{seFreq1,           cbOutputDevices, seFreq2, Chart1,
                                                            sbChartSamplesCnt, seFreq3,         seFreq4, seFreq5,
                                                            seFreq6,           seFreq7,         seFreq8};
  for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

// --- Start-up and close -----------------------------------------------------

void TForm1::FormCreate(QObject* /*Sender*/) {
  for (GeneratorState& generator : GeneratorBank) generator.Phase.store(0.0, kRelaxed);
  LoadAudioLibrary();
  btnGetDevicesListClick();
  RefreshPreview();
  tbAmpMixChange(tbAmpMix);
}

void TForm1::FormClose(QObject* /*Sender*/) { BASS_Free(); }

void TForm1::closeEvent(QCloseEvent* event) {
  FormClose(this);
  event->accept();
}

void TForm1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && !FActivatedOnce) {
    FActivatedOnce = true;
    FocusFirstControl();
  }
}

void TForm1::FocusFirstControl() {
  if (seFreq1->isEnabled()) {
    seFreq1->setFocus(Qt::TabFocusReason);
    seFreq1->selectAll();  // also when the window had already put the focus there
  } else {
    cbOutputDevices->setFocus(Qt::TabFocusReason);
  }
}

// --- Generator controls -----------------------------------------------------

void TForm1::FrequencyChanged(int generator) {
  const TGeneratorControls& controls = Generators[static_cast<std::size_t>(generator - 1)];
  GeneratorState& state = GeneratorBank[static_cast<std::size_t>(generator - 1)];
  state.Frequency.store(StoredFrequency(controls.seFreq->FloatValue()), kRelaxed);
  state.Phase.store(+0.0, kRelaxed);
  RefreshPreview();
}

void TForm1::LevelChanged(int generator) {
  const TGeneratorControls& controls = Generators[static_cast<std::size_t>(generator - 1)];
  const int position = controls.tbAmp->Position();
  GeneratorBank[static_cast<std::size_t>(generator - 1)].Amplitude.store(position, kRelaxed);
  // Rounded down: 100% only at the very top.
  controls.lblAmp->setText(QString::number(position * 100 / kMaxLevel) + u'%');
  RefreshPreview();
}

// --- Master output ----------------------------------------------------------

float TForm1::MasterVolume() const {
  return static_cast<float>(tbAmpMix->Position() / static_cast<double>(kMaxMasterVolume));
}

void TForm1::ShowMasterVolume() { lblAmpMix->setText(QString::asprintf("%d %%", tbAmpMix->Position())); }

void TForm1::tbAmpMixChange(QObject* /*Sender*/) {
  BASS_SetVolume(MasterVolume());
  ShowMasterVolume();
}

void TForm1::btnMixMuteClick(QObject* /*Sender*/) {
  // The new hover colour shows with the repaint the button asks for after
  // this handler returns.
  if (btnMixMute->Down()) {
    BASS_SetVolume(0.0f);
    lblAmpMix->setText(QStringLiteral("Muted"));
    btnMixMute->SetColorHot(kMutedHotOrange);
  } else {
    BASS_SetVolume(MasterVolume());
    ShowMasterVolume();
    btnMixMute->SetColorHot(clGray);
  }
}

// --- Preview ----------------------------------------------------------------

void TForm1::sbChartSamplesCntScroll(QObject* /*Sender*/, TScrollCode /*ScrollCode*/, int& /*ScrollPos*/) {
  RefreshPreview();
}

void TForm1::sbChartSamplesCntChange(QObject* /*Sender*/) {
  QString text = QString::asprintf("%.2f", static_cast<double>(sbChartSamplesCnt->Position()));
  text.replace(u'.', QChar(Regional().decimalSeparator));
  lblChartXTime->setText(text);
  lblChartXTime->adjustSize();
}

// Runs before a scroll notification's move is applied, so it computes with
// the position that was current until then; the closing notification of
// every action catches up with the final one. The chart's own hold gathers
// the series' repaint requests (each Clear asks for one) into one.
void TForm1::RefreshPreview() {
  Chart1->BeginUpdate();
  for (TFastLineSeries* series : Series) series->BeginUpdate();
  for (TFastLineSeries* series : Series) series->Clear();
  const int32_t n = sbChartSamplesCnt->Position();
  FPreview.Compute(GeneratorBank, n, [this](std::size_t trace, PreviewPoint point) {
    Series[trace]->AddXY(point.x, point.y, QString(), clTeeColor);
  });
  for (TFastLineSeries* series : Series) series->EndUpdate();
  Chart1->EndUpdate();
}

// --- What the output lifecycle needs of the window --------------------------

void TForm1::ClearDeviceList() { cbOutputDevices->clear(); }

void TForm1::AppendDevice(const std::string& name) { cbOutputDevices->addItem(QString::fromStdString(name)); }

void TForm1::SelectDevice(int position) {
  cbOutputDevices->setCurrentIndex(position < cbOutputDevices->count() ? position : -1);
}

int TForm1::SelectedDevice() const { return cbOutputDevices->currentIndex(); }

long double TForm1::GeneratorFrequency(int generator) const {
  return Generators[static_cast<std::size_t>(generator - 1)].seFreq->FloatValue();
}

int TForm1::GeneratorLevel(int generator) const {
  return Generators[static_cast<std::size_t>(generator - 1)].tbAmp->Position();
}

void TForm1::EnableGeneratorGroup(int generator) {
  Generators[static_cast<std::size_t>(generator - 1)].GroupBox->setEnabled(true);
}

void* TForm1::NativeWindowHandle() { return reinterpret_cast<void*>(winId()); }

void TForm1::ShowOwnedMessage(const std::string& message) {
  Alerts().ShowMessage(this, QString::fromStdString(message), QString(), AlertIcon::None);
}

void TForm1::ShowUnownedError(const std::string& message) { ShowErrorBox(QString::fromStdString(message)); }
