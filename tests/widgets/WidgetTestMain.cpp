// Test entry for the widget tests: one application on the offscreen
// platform, with the program's cursors registered.
#include <gtest/gtest.h>

#include <QApplication>

#include "ProgramCursors.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  RegisterProgramCursors();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
