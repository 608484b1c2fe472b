// Program entry: the application, the main window and the message loop.
#include <QScreen>
#include <cstdlib>

#include "Application.h"
#include "TForm1.h"
#include "TerminationSignal.h"

namespace {

// How the desktop's mixers show the program's sound: the audio library knows
// nothing of the program, so the program names itself in its environment
// before the library starts SDL's audio, where both SDL (application and
// stream names, on every driver) and the sound servers' client libraries
// (the icon, which SDL has no hint for) read it. A value the user set wins.
constexpr const char* kMixerApplicationName = "Sinefold";
constexpr const char* kMixerStreamName = "Test tones";
// libpulse reads the first, PipeWire's own client library the second.
constexpr const char* kPulseIconProperty = "application.icon_name=sinefold";
constexpr const char* kPipeWireIconProperty = "{ application.icon_name = sinefold }";

void NameTheSoundStream() {
  constexpr int kKeepUserValue = 0;
  setenv("SDL_AUDIO_DEVICE_APP_NAME", kMixerApplicationName, kKeepUserValue);
  setenv("SDL_AUDIO_DEVICE_STREAM_NAME", kMixerStreamName, kKeepUserValue);
  setenv("PULSE_PROP", kPulseIconProperty, kKeepUserValue);
  setenv("PIPEWIRE_PROPS", kPipeWireIconProperty, kKeepUserValue);
}

}  // namespace

int main(int argc, char** argv) {
  // First, while the program has no other thread that could read the
  // environment.
  NameTheSoundStream();
  TApplication application(argc, argv);
  ConfigureApplication(application);
  // Before the window: its start-up may show message boxes, which a
  // termination request must close like any other.
  HandleTerminationSignals();
  TForm1 form;  // runs the whole output start-up before it is shown
  Form1 = &form;
  CloseOnTerminationSignal(form);
  if (TerminationRequested()) return 0;  // the window's close handler has run
  form.move(form.screen()->availableGeometry().center() - form.rect().center());
  form.show();
  QApplication::exec();
  return 0;
}
