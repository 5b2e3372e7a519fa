// The main() of the tests that need a QApplication: windows run on Qt's
// offscreen platform, and any dialog a test does not expect fails it.
#include <gtest/gtest.h>

#include "scripted_dialogs.h"
#include "widgets/guarded_application.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  testing::InitGoogleTest(&argc, argv);
  // Listing the tests (CTest's discovery) needs no windows.
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  tabrix::GuardedApplication application(argc, argv);
  ScriptedDialogs noDialogExpected;
  return RUN_ALL_TESTS();
}
