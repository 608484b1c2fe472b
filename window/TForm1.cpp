// Layout and wiring of the main window.
#include "TForm1.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <limits>

#include "Alerts.h"

TForm1* Form1 = nullptr;

namespace {

constexpr int kClientWidth = 825;
constexpr int kClientHeight = 548;
const QString kCaption = QStringLiteral("Sinefold (based on BASS) - https://sinefold.example");

constexpr std::array<int, kGeneratorCount> kGroupLefts{8, 96, 186, 276, 366, 456, 546, 636};
constexpr int kGroupTop = 274;
constexpr int kGroupWidth = 88;
constexpr int kGroupHeight = 263;

constexpr double kStartFrequencyStep = 110.0;  // generator k starts at 110 * k Hz
constexpr int kMaxLevel = 32767;
constexpr int kStartLevel = 16384;

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
  setWindowTitle(kCaption);
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);

  // Created in the order of the window description: later controls lie on
  // top of earlier ones.
  Label9 = new QLabel(QStringLiteral("Sortie audio"), this);
  Label9->move(616, 11);
  Label9->adjustSize();
  CreateGeneratorGroup(1);
  cbOutputDevices = new QComboBox(this);
  cbOutputDevices->setGeometry(8, 8, 598, 21);
  for (int k = 2; k <= kGeneratorCount; ++k) CreateGeneratorGroup(k);

  // Handlers are attached after every value is set, so building the window
  // raises none of them. Only the user's choice counts as a change.
  connect(cbOutputDevices, &QComboBox::activated, this, [this] { cbOutputDevicesChange(cbOutputDevices); });

  FormCreate();
}

void TForm1::CreateGeneratorGroup(int generator) {
  const std::size_t index = static_cast<std::size_t>(generator - 1);
  QGroupBox* box = new QGroupBox(QStringLiteral("Gen %1").arg(generator), this);
  box->setGeometry(kGroupLefts[index], kGroupTop, kGroupWidth, kGroupHeight);
  box->setEnabled(false);

  QSlider* slider = new QSlider(Qt::Vertical, box);
  slider->setGeometry(16, 51, 57, 190);
  slider->setRange(0, kMaxLevel);
  slider->setValue(kStartLevel);

  QDoubleSpinBox* spin = new QDoubleSpinBox(box);
  spin->setGeometry(3, 32, 81, 21);
  spin->setDecimals(3);
  spin->setRange(std::numeric_limits<double>::lowest(), std::numeric_limits<double>::max());
  spin->setSingleStep(0.1);
  spin->setAlignment(Qt::AlignCenter);
  spin->setValue(kStartFrequencyStep * generator);

  GroupBox[index] = box;
  tbAmp[index] = slider;
  seFreq[index] = spin;
}

void TForm1::FormCreate(const void* /*Sender*/) {
  for (GeneratorState& generator : GeneratorBank) generator.Phase.store(0.0, std::memory_order_relaxed);
  LoadAudioLibrary();
  btnGetDevicesListClick();
}

void TForm1::FormClose(const void* /*Sender*/) { BASS_Free(); }

void TForm1::closeEvent(QCloseEvent* event) {
  FormClose(this);
  event->accept();
}

void TForm1::ClearDeviceList() { cbOutputDevices->clear(); }

void TForm1::AppendDevice(const std::string& name) { cbOutputDevices->addItem(QString::fromStdString(name)); }

void TForm1::SelectDevice(int position) {
  cbOutputDevices->setCurrentIndex(position < cbOutputDevices->count() ? position : -1);
}

int TForm1::SelectedDevice() const { return cbOutputDevices->currentIndex(); }

long double TForm1::GeneratorFrequency(int generator) const { return seFreq[generator - 1]->value(); }

int TForm1::GeneratorLevel(int generator) const { return tbAmp[generator - 1]->value(); }

void TForm1::EnableGeneratorGroup(int generator) { GroupBox[generator - 1]->setEnabled(true); }

void* TForm1::NativeWindowHandle() { return reinterpret_cast<void*>(winId()); }

void TForm1::ShowOwnedMessage(const std::string& message) {
  Alerts().ShowMessage(this, QString::fromStdString(message), QString(), AlertIcon::None);
}

void TForm1::ShowUnownedError(const std::string& message) {
  Alerts().ShowMessage(nullptr, QString::fromStdString(message), QString(), AlertIcon::Critical);
}
