// A self-pipe: the signal handler only writes one byte, and the window thread
// reads it in its event loop and closes the window there.
#include "TerminationSignal.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QWidget>
#include <cerrno>
#include <csignal>

namespace {

int signalPipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int) {
  // The interrupted code may be about to read errno, which a failed write
  // would overwrite.
  const int savedErrno = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(signalPipe[0], &byte, 1);
  errno = savedErrno;
}

}  // namespace

void CloseOnTerminationSignal(QWidget& window) {
  // Non-blocking: a flood of signals while the window thread is busy fills
  // the buffer, and the handler must then drop bytes rather than hang; one
  // byte already asks for the close.
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
    char byte = 0;
    [[maybe_unused]] const ssize_t got = read(signalPipe[1], &byte, 1);
    window.close();
  });
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}
