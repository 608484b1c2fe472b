// Process-wide settings of the toolkit that the window relies on: the
// application title, the window font and the program's cursors.
#pragma once

class QApplication;

// The title shown for the running program and as the default caption of
// message boxes.
inline constexpr const char* kApplicationTitle = "BASS - Tonwerk";

void ConfigureApplication(QApplication& application);
