// Cursors carried in the program's resources, registered by number once at
// start-up, as the widgets look them up.
#pragma once

#include <QCursor>

// The pointing hand shown over the level slider's thumb.
inline constexpr int kHandPointCursor = 99;

// Registers every program cursor; later calls do nothing.
void RegisterProgramCursors();
// The cursor registered under `number`; the arrow for an unknown number.
QCursor ProgramCursor(int number);
