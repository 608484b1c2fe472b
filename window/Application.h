// The application object and the process-wide settings of the toolkit that
// the window relies on: the application title, the window font, the
// program's cursors, and the standard box for an error that escapes a
// handler.
#pragma once

#include <QApplication>
#include <QString>
#include <exception>
#include <utility>

// The title shown for the running program and as the default caption of
// message boxes.
inline constexpr const char* kApplicationTitle = "BASS - Tonwerk";

// An error that escapes a handler ends that handler; the message loop shows
// it in the standard error box and goes on.
class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

void ConfigureApplication(QApplication& application);

// The standard error box, now: modal, owned by no window, the critical icon
// and the application title as caption. Returns once it is dismissed.
void ShowErrorBox(const QString& message);

// Shows `message` in the standard error box once the message loop runs
// again, as if the error had reached it. Handlers that catch their own errors
// call this, so that no exception has to travel through the toolkit's frames.
void ReportUncaughtError(const QString& message);

// Wraps a handler so that an exception escaping it is reported with
// ReportUncaughtError and goes no further.
template <class Handler>
auto Guarded(Handler handler) {
  return [handler](auto&&... args) {
    try {
      handler(std::forward<decltype(args)>(args)...);
    } catch (const std::exception& error) {
      ReportUncaughtError(QString::fromUtf8(error.what()));
    }
  };
}
