// The main window's date box end to end: it shows today in the program's
// format at a first start, drops its calendar down by Alt+Down, takes the
// calendar's date with Enter, steps with the keypad, sets today with Ctrl,
// and the date it shows is the one saved at close.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/app/E2eSupport.h"

using namespace qv::harness;
using namespace qv::e2e;

namespace {

std::string TodayText() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  char buf[16];
  snprintf(buf, sizeof buf, "%02d/%02d/%04d", st.wDay, st.wMonth, st.wYear);
  return buf;
}

}  // namespace

TEST(DateEditE2E, TheDateBoxTakesTheCalendarsDateAndSavesIt) {
  ResetProgramRegistry();
  TProgram app;
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  HWND date = FindControl(main, "DateEdit");
  ASSERT_NE(date, nullptr);
  EXPECT_EQ(GetText(date), TodayText());
  HWND on = FindControl(main, "CheckDateOn");
  if (!IsChecked(on)) Click(on);
  ASSERT_TRUE(WaitUntil([&] { return IsEnabled(date); }));
  FocusControl(date);
  SetText(date, "15/05/2024");

  PressKey(date, VK_DOWN, false, false, /*alt=*/true);
  HWND popup = app.WaitForWindow("TQxPopupWindow", "", std::chrono::seconds(5));
  ASSERT_NE(popup, nullptr);
  Screenshot("main_date_calendar");
  PressKey(date, VK_NEXT);
  PressKey(date, VK_RIGHT);
  PressKey(date, VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return !IsVisible(popup); }));
  EXPECT_EQ(GetText(date), "16/06/2024");
  PressKey(date, VK_ADD);
  EXPECT_EQ(GetText(date), "17/06/2024");
  CloseMain(app, main);
  std::string saved;
  ASSERT_TRUE(ReadRegistryString(kOptionsKey, "Date", saved));
  EXPECT_EQ(saved, "17/06/2024");
}

TEST(DateEditE2E, CtrlSetsTodayAndEscapeLeavesTheDate) {
  ResetProgramRegistry();
  TProgram app;
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  HWND date = FindControl(main, "DateEdit");
  HWND on = FindControl(main, "CheckDateOn");
  if (!IsChecked(on)) Click(on);
  ASSERT_TRUE(WaitUntil([&] { return IsEnabled(date); }));
  FocusControl(date);
  SetText(date, "01/02/2023");
  PressKey(date, VK_DOWN, false, false, true);
  HWND popup = app.WaitForWindow("TQxPopupWindow", "", std::chrono::seconds(5));
  ASSERT_NE(popup, nullptr);
  PressKey(date, VK_NEXT);
  PressKey(date, VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !IsVisible(popup); }));
  EXPECT_EQ(GetText(date), "01/02/2023");
  PressKey(date, 'A', /*ctrl=*/true);
  EXPECT_EQ(GetText(date), TodayText());
  CloseMain(app, main);
  std::string saved;
  ASSERT_TRUE(ReadRegistryString(kOptionsKey, "Date", saved));
  EXPECT_EQ(saved, TodayText());
}
