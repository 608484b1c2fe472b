// Program entry: the application, the main window and the message loop.
#include <QScreen>

#include "Application.h"
#include "TForm1.h"
#include "TerminationSignal.h"

int main(int argc, char** argv) {
  TApplication application(argc, argv);
  ConfigureApplication(application);
  TForm1 form;  // runs the whole output start-up before it is shown
  Form1 = &form;
  CloseOnTerminationSignal(form);
  form.move(form.screen()->availableGeometry().center() - form.rect().center());
  form.show();
  QApplication::exec();
  return 0;
}
