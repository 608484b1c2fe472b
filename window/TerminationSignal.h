// Turns SIGTERM and SIGINT into a request to close a window, so that a
// session logout or a `kill` runs the window's close handler and the program
// ends normally.
#pragma once

class QWidget;

// Installs the handlers; call once, on the window thread, after `window`
// exists. The window must outlive the event loop.
void CloseOnTerminationSignal(QWidget& window);
