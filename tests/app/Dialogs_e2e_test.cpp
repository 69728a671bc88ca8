// The options dialog and the about box of the real program, opened from its
// buttons: changed options show on the main window at once and after
// "Accepter", a cancelled change leaves nothing behind, and the options
// reach the registry when the program closes.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "tests/app/E2eSupport.h"

using namespace qv::harness;
using namespace qv::e2e;

namespace {

HWND OpenOptions(TProgram& app, HWND main) {
  ClickAsync(FindControl(main, "BtnOptions"));
  return app.WaitForWindow("TOptions", "Options", 10s);
}

// The dialog is gone and the main window answers again.
void WaitClosed(TProgram& app, const char* className) {
  EXPECT_TRUE(WaitUntil([&] { return TopWindows(app.Pid(), className).empty(); })) << className;
}

bool GridShown(HWND list) {
  DWORD_PTR styles = 0;
  SendMessageTimeoutA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0, SMTO_ABORTIFHUNG, 5000, &styles);
  return (styles & LVS_EX_GRIDLINES) != 0;
}

int DropDownRows(HWND combo) {
  DWORD_PTR rows = 0;
  SendMessageTimeoutA(combo, CB_GETMINVISIBLE, 0, 0, SMTO_ABORTIFHUNG, 5000, &rows);
  return static_cast<int>(rows);
}

DWORD RegistryDword(const char* name) {
  DWORD d = 0xDEADBEEF;
  EXPECT_TRUE(ReadRegistryDword(kOptionsKey, name, d)) << name;
  return d;
}

std::string RegistryString(const char* name) {
  std::string s = "<absent>";
  EXPECT_TRUE(ReadRegistryString(kOptionsKey, name, s)) << name;
  return s;
}

}  // namespace

TEST(DialogsE2E, OptionsChangedInTheDialogShowOnTheMainWindowAndAreSavedAtClose) {
  ResetProgramRegistry();
  TTempFolder folder("qvoptions");
  folder.Write("a.txt", "a");
  folder.Write("b.txt", "b");
  folder.Write(".cache", "c");  // listed as hidden
  TProgram app(Quoted(folder.Path()));
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  HWND list = FindControl(main, "FileList");
  ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) == 2; }));
  const std::string modified = ListViewText(list, 0, 4);  // "dd/mm/yyyy hh:nn:ss"
  ASSERT_EQ(modified.size(), 19u) << modified;
  EXPECT_FALSE(GridShown(list));

  HWND options = OpenOptions(app, main);
  ASSERT_NE(options, nullptr);
  EXPECT_TRUE(IsChecked(FindControl(options, "CheckHint")));
  EXPECT_EQ(GetText(FindControl(options, "ValidateDownCount")), "10");
  EXPECT_EQ(GetText(FindControl(options, "EditModelDate")), "dd/mm/yyyy hh:nn:ss");
  // Previews: the list takes the grid, the hidden file and the date format
  // while the dialog is still open.
  Click(FindControl(options, "CheckGrid"));
  EXPECT_TRUE(WaitUntil([&] { return GridShown(list); }));
  Click(FindControl(options, "CheckAttrFull"));
  EXPECT_TRUE(WaitUntil([&] { return ListViewCount(list) == 3; }));
  SetText(FindControl(options, "EditModelDate"), "yyyy");
  EXPECT_TRUE(WaitUntil([&] { return ListViewText(list, 0, 4) == modified.substr(6, 4); }));
  Click(FindControl(options, "CheckHint"));
  Click(FindControl(options, "RadioPosIndiceItem2"));
  SetText(FindControl(options, "ValidateDownCount"), "15");
  SetText(FindControl(options, "ValidateMaxCombo"), "20");
  SetText(FindControl(options, "EditReplaceChar"), "_");
  Screenshot("e2e_options");
  ClickAsync(FindControl(options, "BtnAccepter"));
  WaitClosed(app, "TOptions");

  // Accepted: the main window keeps them, and the combos show 15 rows.
  EXPECT_TRUE(GridShown(list));
  EXPECT_EQ(ListViewCount(list), 3);
  EXPECT_EQ(ListViewText(list, 0, 4), modified.substr(6, 4));
  EXPECT_EQ(DropDownRows(FindControl(main, "EditFile")), 15);
  EXPECT_EQ(DropDownRows(FindControl(main, "EditExt")), 15);

  // Opened again: previews cancelled leave the main window and the
  // options as they were.
  options = OpenOptions(app, main);
  ASSERT_NE(options, nullptr);
  EXPECT_TRUE(IsChecked(FindControl(options, "CheckGrid")));
  EXPECT_FALSE(IsChecked(FindControl(options, "CheckHint")));
  EXPECT_EQ(GetText(FindControl(options, "ValidateDownCount")), "15");
  EXPECT_EQ(GetText(FindControl(options, "EditModelDate")), "yyyy");
  Click(FindControl(options, "CheckTexture"));
  Click(FindControl(options, "CheckGrid"));
  EXPECT_TRUE(WaitUntil([&] { return !GridShown(list); }));
  SetText(FindControl(options, "EditModelDate"), "dd");
  EXPECT_TRUE(WaitUntil([&] { return ListViewText(list, 0, 4) == modified.substr(0, 2); }));
  ClickAsync(FindControl(options, "BtnAnnuler"));
  WaitClosed(app, "TOptions");
  EXPECT_TRUE(GridShown(list));
  EXPECT_EQ(ListViewText(list, 0, 4), modified.substr(6, 4));

  CloseMain(app, main);
  EXPECT_EQ(RegistryDword("Grid"), 1u);
  EXPECT_EQ(RegistryDword("Attribut Full"), 1u);
  EXPECT_EQ(RegistryDword("Hint"), 0u);
  EXPECT_EQ(RegistryDword("Texture"), 0u);
  EXPECT_EQ(RegistryDword("Position Indice"), 2u);
  EXPECT_EQ(RegistryDword("DownCount"), 15u);
  EXPECT_EQ(RegistryDword("Max Combo"), 20u);
  EXPECT_EQ(RegistryString("Model Date"), "yyyy");
  EXPECT_EQ(RegistryString("ReplaceChar"), "_");
}

TEST(DialogsE2E, TheAboutBoxShowsTheVersionAndTheSystemAndCloses) {
  ResetProgramRegistry();
  TProgram app;
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  ClickAsync(FindControl(main, "BtnAProp"));
  HWND about = app.WaitForWindow("TAPropos", "A Propos de...", 10s);
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(GetText(FindControl(about, "LVersion")), "3.2.0.0");
  const std::string system = GetText(FindControl(about, "LWinVersion"));
  EXPECT_EQ(system.rfind("Microsoft Windows", 0), 0u) << system;
  EXPECT_NE(system.find("(Build "), std::string::npos) << system;
  EXPECT_NE(GetText(FindControl(about, "LDroits")).find("Halbrecht"), std::string::npos);
  Screenshot("e2e_apropos");
  ClickAsync(FindControl(about, "BtnFermer"));
  WaitClosed(app, "TAPropos");
  // The main window answers again.
  HWND quit = FindControl(main, "BtnQuitter");
  EXPECT_TRUE(IsEnabled(quit));
  CloseMain(app, main);
}
