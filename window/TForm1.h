// The main window: the output device list, the waveform preview chart with
// its length scroll bar, the eight generator groups and the "Mix" group,
// wired to the output lifecycle, the generator bank and the master volume.
//
// Everything here runs on the window thread. The handlers are named after
// their control and event and ignore their sender. The sixteen generator
// handlers are thin entries into FrequencyChanged and LevelChanged, which
// work on generator k's record of controls.
#pragma once

#include <QWidget>
#include <array>

#include "GeneratorBank.h"
#include "OutputLifecycle.h"
#include "PreviewCache.h"
#include "TScrollBar.h"

class QComboBox;
class QGroupBox;
class QLabel;
class TAdvSpinEdit;
class TAdvToolButton;
class TChart;
class TFastLineSeries;
class TVrTrackBar;

// The controls of one generator group.
struct TGeneratorControls {
  QGroupBox* GroupBox = nullptr;
  QLabel* lblAmp = nullptr;
  TVrTrackBar* tbAmp = nullptr;
  TAdvSpinEdit* seFreq = nullptr;
};

class TForm1 : public QWidget, public OutputLifecycle {
  Q_OBJECT

 public:
  // Builds the window and runs FormCreate, which loads the audio library
  // from `audioLibraryFileName`.
  explicit TForm1(QWidget* parent = nullptr, std::string audioLibraryFileName = kAudioLibraryFileName);
  // Detaches the handlers first: a scroll bar destroyed in the middle of an
  // action still ends it, and the window's own state is gone by then.
  ~TForm1() override;

  // The creation handler: runs once, inside the constructor, before the
  // window is first shown.
  void FormCreate(QObject* Sender = nullptr);
  // The close handler: frees the audio library.
  void FormClose(QObject* Sender = nullptr);

  void seFreq1Change(QObject*) { FrequencyChanged(1); }
  void seFreq2Change(QObject*) { FrequencyChanged(2); }
  void seFreq3Change(QObject*) { FrequencyChanged(3); }
  void seFreq4Change(QObject*) { FrequencyChanged(4); }
  void seFreq5Change(QObject*) { FrequencyChanged(5); }
  void seFreq6Change(QObject*) { FrequencyChanged(6); }
  void seFreq7Change(QObject*) { FrequencyChanged(7); }
  void seFreq8Change(QObject*) { FrequencyChanged(8); }
  void tbAmp1Change(QObject*) { LevelChanged(1); }
  void tbAmp2Change(QObject*) { LevelChanged(2); }
  void tbAmp3Change(QObject*) { LevelChanged(3); }
  void tbAmp4Change(QObject*) { LevelChanged(4); }
  void tbAmp5Change(QObject*) { LevelChanged(5); }
  void tbAmp6Change(QObject*) { LevelChanged(6); }
  void tbAmp7Change(QObject*) { LevelChanged(7); }
  void tbAmp8Change(QObject*) { LevelChanged(8); }
  void sbChartSamplesCntScroll(QObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
  void sbChartSamplesCntChange(QObject* Sender);
  void tbAmpMixChange(QObject* Sender);
  void btnMixMuteClick(QObject* Sender);

  // Generator k's controls are Generators[k - 1]; the names below are the
  // same controls by name.
  std::array<TGeneratorControls, kGeneratorCount> Generators{};
  // Series k (1 .. 8) draws generator k, series 9 the mix.
  std::array<TFastLineSeries*, kGeneratorCount + 1> Series{};

  QComboBox* cbOutputDevices = nullptr;
  TChart* Chart1 = nullptr;
  TScrollBar* sbChartSamplesCnt = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* lblChartXTime = nullptr;
  QLabel* Label9 = nullptr;
  QGroupBox* GroupBox9 = nullptr;
  QLabel* lblAmpMix = nullptr;
  TVrTrackBar* tbAmpMix = nullptr;
  TAdvToolButton* btnMixMute = nullptr;

  QGroupBox*& GroupBox1 = Generators[0].GroupBox;
  QGroupBox*& GroupBox2 = Generators[1].GroupBox;
  QGroupBox*& GroupBox3 = Generators[2].GroupBox;
  QGroupBox*& GroupBox4 = Generators[3].GroupBox;
  QGroupBox*& GroupBox5 = Generators[4].GroupBox;
  QGroupBox*& GroupBox6 = Generators[5].GroupBox;
  QGroupBox*& GroupBox7 = Generators[6].GroupBox;
  QGroupBox*& GroupBox8 = Generators[7].GroupBox;
  QLabel*& lblAmp1 = Generators[0].lblAmp;
  QLabel*& lblAmp2 = Generators[1].lblAmp;
  QLabel*& lblAmp3 = Generators[2].lblAmp;
  QLabel*& lblAmp4 = Generators[3].lblAmp;
  QLabel*& lblAmp5 = Generators[4].lblAmp;
  QLabel*& lblAmp6 = Generators[5].lblAmp;
  QLabel*& lblAmp7 = Generators[6].lblAmp;
  QLabel*& lblAmp8 = Generators[7].lblAmp;
  TVrTrackBar*& tbAmp1 = Generators[0].tbAmp;
  TVrTrackBar*& tbAmp2 = Generators[1].tbAmp;
  TVrTrackBar*& tbAmp3 = Generators[2].tbAmp;
  TVrTrackBar*& tbAmp4 = Generators[3].tbAmp;
  TVrTrackBar*& tbAmp5 = Generators[4].tbAmp;
  TVrTrackBar*& tbAmp6 = Generators[5].tbAmp;
  TVrTrackBar*& tbAmp7 = Generators[6].tbAmp;
  TVrTrackBar*& tbAmp8 = Generators[7].tbAmp;
  TAdvSpinEdit*& seFreq1 = Generators[0].seFreq;
  TAdvSpinEdit*& seFreq2 = Generators[1].seFreq;
  TAdvSpinEdit*& seFreq3 = Generators[2].seFreq;
  TAdvSpinEdit*& seFreq4 = Generators[3].seFreq;
  TAdvSpinEdit*& seFreq5 = Generators[4].seFreq;
  TAdvSpinEdit*& seFreq6 = Generators[5].seFreq;
  TAdvSpinEdit*& seFreq7 = Generators[6].seFreq;
  TAdvSpinEdit*& seFreq8 = Generators[7].seFreq;
  TFastLineSeries*& Series1 = Series[0];
  TFastLineSeries*& Series2 = Series[1];
  TFastLineSeries*& Series3 = Series[2];
  TFastLineSeries*& Series4 = Series[3];
  TFastLineSeries*& Series5 = Series[4];
  TFastLineSeries*& Series6 = Series[5];
  TFastLineSeries*& Series7 = Series[6];
  TFastLineSeries*& Series8 = Series[7];
  TFastLineSeries*& Series9 = Series[8];

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

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
  void CreateTopLabels();
  void CreateDeviceList();
  void CreateGeneratorGroup(int generator);
  void CreateChart();
  void CreateScrollBar();
  void CreateMixGroup();
  void SetTabOrder();
  QLabel* CreateLevelLabel(QGroupBox& box);
  TVrTrackBar* CreateLevelSlider(QGroupBox& box, int maximum, int position);
  // Gives the focus to the first control of the tab order that takes it.
  void FocusFirstControl();
  void FrequencyChanged(int generator);
  void LevelChanged(int generator);
  void RefreshPreview();
  // The master volume as the output takes it: the slider's percentage.
  float MasterVolume() const;
  void ShowMasterVolume();

  PreviewCache FPreview;
  bool FActivatedOnce = false;
};

// The one main window of the process.
extern TForm1* Form1;
