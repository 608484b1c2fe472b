// Program entry: the application, the main window and the message loop.
#include <QScreen>

#include "Application.h"
#include "TForm1.h"
#include "TerminationSignal.h"

int main(int argc, char** argv) {
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
