// A self-pipe: the signal handler only notes the request and writes one byte,
// and the window thread reads it in whatever event loop runs (the main loop
// or a message box's) and ends the program's work there.
#include "TerminationSignal.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>
#include <atomic>
#include <cerrno>
#include <csignal>

#include "Alerts.h"

namespace {

int signalPipe[2] = {-1, -1};
std::atomic<bool> requested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set in a signal handler");
QPointer<QWidget> windowToClose;

extern "C" void OnTerminationSignal(int) {
  // The interrupted code may be about to read errno, which a failed write
  // would overwrite.
  const int savedErrno = errno;
  requested.store(true);
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(signalPipe[0], &byte, 1);
  errno = savedErrno;
}

void EndOnRequest() {
  char byte = 0;
  [[maybe_unused]] const ssize_t got = read(signalPipe[1], &byte, 1);
  StopAlerts();
  if (windowToClose) windowToClose->close();
}

}  // namespace

void HandleTerminationSignals() {
  // Non-blocking: a flood of signals while the window thread is busy fills
  // the buffer, and the handler must then drop bytes rather than hang; one
  // byte already asks for the end.
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, qApp, EndOnRequest);
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

void CloseOnTerminationSignal(QWidget& window) {
  windowToClose = &window;
  if (TerminationRequested()) {
    StopAlerts();
    window.close();
  }
}

bool TerminationRequested() { return requested.load(); }
