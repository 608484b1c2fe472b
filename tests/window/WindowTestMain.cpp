// Test entry for the window tests: one application object on the offscreen
// platform, configured as the program configures it.
#include <gtest/gtest.h>

#include "Application.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  TApplication application(argc, argv);
  ConfigureApplication(application);
  testing::InitGoogleTest(&argc, argv);
  // Death tests start the binary afresh rather than forking a process that
  // has toolkit threads running.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  return RUN_ALL_TESTS();
}
