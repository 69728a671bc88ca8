// The program end to end: start, find the main window and its controls,
// click, close.
#include <gtest/gtest.h>

#include "tests/harness/Harness.h"

using namespace qv::harness;

TEST(MainWindowE2E, StartsFindsNamedControlAndClosesOnQuit) {
  TProgram app;
  ASSERT_TRUE(app.Started());
  HWND main = app.WaitForWindow("TMainForm", "Quorvant Pro");
  ASSERT_NE(main, nullptr) << "no TMainForm window";
  SaveScreenshot("main_skeleton");
  HWND quit = WaitForControl(main, "BtnQuitter");
  ASSERT_NE(quit, nullptr);
  EXPECT_EQ(GetText(quit), "Quitter");
  ClickAsync(quit);
  EXPECT_TRUE(app.WaitForExit());
  EXPECT_EQ(app.ExitCode(), 0u);
}
