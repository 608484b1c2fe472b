// Turns SIGTERM and SIGINT into a request to end the program cleanly, so that
// a session logout or a `kill` runs the window's close handler and the
// program ends with exit code 0: at any time, during the start-up and while
// a message box waits for the user included.
#pragma once

class QWidget;

// Installs the handlers; call once, on the window thread, after the
// application object exists and before anything can show a message box. A
// request closes every open message box and lets no other one open (so a
// start-up under way runs to its end without waiting for anyone), then
// closes the window named by CloseOnTerminationSignal.
void HandleTerminationSignals();

// Names the window a request closes; call once it exists. If a request has
// come already, closes it at once. The window must outlive the event loop.
void CloseOnTerminationSignal(QWidget& window);

// True once SIGTERM or SIGINT has arrived.
bool TerminationRequested();
