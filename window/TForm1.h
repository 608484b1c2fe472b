// The main window: the device list and the eight generator groups, wired to
// the output lifecycle.
//
// Generator k's controls are GroupBox[k - 1], seFreq[k - 1] and tbAmp[k - 1].
#pragma once

#include <QWidget>
#include <array>

#include "GeneratorBank.h"
#include "OutputLifecycle.h"

class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QSlider;

class TForm1 : public QWidget, public OutputLifecycle {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);

  // The creation handler: runs once, inside the constructor, before the
  // window is first shown.
  void FormCreate(const void* Sender = nullptr);
  // The close handler: frees the audio library.
  void FormClose(const void* Sender = nullptr);

  QComboBox* cbOutputDevices = nullptr;
  QLabel* Label9 = nullptr;
  std::array<QGroupBox*, kGeneratorCount> GroupBox{};
  std::array<QDoubleSpinBox*, kGeneratorCount> seFreq{};
  std::array<QSlider*, kGeneratorCount> tbAmp{};

 protected:
  void closeEvent(QCloseEvent* event) override;

  void ClearDeviceList() override;
  void AppendDevice(const std::string& name) override;
  void SelectDevice(int position) override;
  int SelectedDevice() const override;
  long double GeneratorFrequency(int generator) const override;
  int GeneratorLevel(int generator) const override;
  void EnableGeneratorGroup(int generator) override;
  void* NativeWindowHandle() override;
  void ShowOwnedMessage(const std::string& message) override;
  void ShowUnownedError(const std::string& message) override;

 private:
  void CreateGeneratorGroup(int generator);
};

// The one main window of the process.
extern TForm1* Form1;
