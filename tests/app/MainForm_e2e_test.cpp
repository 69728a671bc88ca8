// The program end to end under Wine: first start, folder argument, the
// hand-over from a second start, hostile WM_COPYDATA, histories across
// restarts, shortcuts, minimum size.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/app/E2eSupport.h"

using namespace qv::harness;
using namespace qv::e2e;

TEST(MainWindowE2E, FirstStartWithAnEmptyRegistryWritesTheDefaultsAtClose) {
  ResetProgramRegistry();
  TProgram app;
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  EXPECT_FALSE(RegistryKeyExists(kProductKey)) << "nothing may be written before the close";
  HWND quit = FindControl(main, "BtnQuitter");
  ASSERT_NE(quit, nullptr);
  EXPECT_EQ(GetText(quit), "&Quitter");
  ClickAsync(quit);
  ASSERT_TRUE(app.WaitForExit());
  EXPECT_EQ(app.ExitCode(), 0u);
  std::string s;
  ASSERT_TRUE(ReadRegistryString(kProductKey, "Version", s));
  EXPECT_EQ(s, "3.2.0.0");
  ASSERT_TRUE(ReadRegistryString(kOptionsKey, "Mask", s));
  EXPECT_EQ(s, "*.*");
  DWORD d = 0;
  ASSERT_TRUE(ReadRegistryDword(kOptionsKey, "No Extension", d));
  EXPECT_EQ(d, 1u);
  ASSERT_TRUE(ReadRegistryDword(kOptionsKey, "Format", d));
  EXPECT_EQ(d, 2u);
  EXPECT_TRUE(RegistryKeyExists(std::string(kProductKey) + "\\Placement"));
}

TEST(MainWindowE2E, AFolderArgumentListsItsFilesWithTheirNewNames) {
  ResetProgramRegistry();
  TTempFolder folder("qvmain");
  folder.Write("b.txt", "bb");
  folder.Write("a.txt", "a");
  folder.Write("c.jpg", "ccc");
  TProgram app(Quoted(folder.Path()));
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  HWND list = FindControl(main, "FileList");
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) == 3; }));
  EXPECT_EQ(ListViewColumns(list), (std::vector<std::string>{"Nom originel", "Nouveau nom", "Taille", "Créé",
                                                             "Modifié", "Accédé", "Attr", "Type"}));
  EXPECT_EQ(ListViewText(list, 0, 0), "a.txt");
  EXPECT_EQ(ListViewText(list, 0, 1), "SansNom_00.txt");
  EXPECT_EQ(ListViewText(list, 2, 0), "c.jpg");
  EXPECT_EQ(ListViewText(list, 2, 1), "SansNom_02.jpg");
  // The folder edit shows the argument lower-cased.
  EXPECT_EQ(GetText(FindControl(main, "EditDir")), Lower(AnsiPath(folder.Path())));
  HWND status = FindControl(main, "StatusBar");
  ASSERT_NE(status, nullptr);
  Screenshot("main_folder_argument");
  CloseMain(app, main);
}

// The start folder is listed while the window is built, from the argument
// or else the saved folder: whichever it is, the list is that of the folder
// the start opens, and a list switched off stays off.
TEST(MainWindowE2E, TheStartListsTheArgumentOrElseTheSavedFolder) {
  TTempFolder saved("qvsaved"), given("qvgiven");
  saved.Write("s1.txt", "1");
  saved.Write("s2.txt", "22");
  saved.Write("s3.txt", "333");
  given.Write("g1.jpg", "4444");
  auto start = [&](const std::wstring& args, const std::string& expected, const char* shot) {
    KillStrayPrograms();
    TProgram app(args);
    HWND main = WaitForMain(app);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return StatusPanelText(main, 1) == expected; }))
        << "\"" << StatusPanelText(main, 1) << "\"";
    if (shot) Screenshot(shot);
    CloseMain(app, main);
  };
  ResetProgramRegistry();
  WriteRegistryString(kOptionsKey, "Directory", Lower(AnsiPath(saved.Path())));
  start(L"", " 3 fichiers dans 6 octets", nullptr);
  // Upper-cased: the disk's spelling is found all the same.
  std::wstring upper = given.Path().wstring();
  CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
  start(L"\"" + upper + L"\"", " 1 fichier dans 4 octets", "main_start_argument_upper");
  WriteRegistryDword(kOptionsKey, "Active Liste", 0);
  start(L"", " Liste désactivée", nullptr);
}

TEST(MainWindowE2E, ASecondStartHandsItsFolderToTheRunningWindowAndEnds) {
  ResetProgramRegistry();
  WriteRegistryDword(kOptionsKey, "Auto", 1);  // the monitor is on: hand-overs open
  TTempFolder first("qvfirst"), second("qvsecond");
  first.Write("un.txt");
  second.Write("deux.txt");
  second.Write("trois.txt");
  TProgram app(Quoted(first.Path()));
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  HWND list = FindControl(main, "FileList");
  ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) == 1; }));
  {
    TProgram later(Quoted(second.Path()));
    ASSERT_TRUE(later.WaitForExit(10s));
    EXPECT_EQ(later.ExitCode(), 0u);
  }
  EXPECT_TRUE(WaitUntil([&] { return ListViewCount(list) == 2; }));
  EXPECT_EQ(GetText(FindControl(main, "EditDir")), Lower(AnsiPath(second.Path())));
  EXPECT_EQ(TopWindows(app.Pid(), "TMainForm").size(), 1u);
  CloseMain(app, main);
}

TEST(MainWindowE2E, MalformedCopyDataIsIgnored) {
  ResetProgramRegistry();
  WriteRegistryDword(kOptionsKey, "Auto", 1);
  TTempFolder folder("qvcopy");
  folder.Write("x.txt");
  TProgram app(Quoted(folder.Path()));
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  HWND list = FindControl(main, "FileList");
  ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) == 1; }));
  const std::string before = GetText(FindControl(main, "EditDir"));
  DWORD_PTR r = 0;
  COPYDATASTRUCT none{0, 256, nullptr};
  SendMessageTimeoutA(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&none), SMTO_ABORTIFHUNG, 5000, &r);
  unsigned char empty[1] = {0};
  COPYDATASTRUCT zero{0, 0, empty};
  SendMessageTimeoutA(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&zero), SMTO_ABORTIFHUNG, 5000, &r);
  // The length byte claims more than the block holds.
  unsigned char lying[4] = {250, 'z', 'z', 'z'};
  COPYDATASTRUCT shortBlock{0, sizeof lying, lying};
  SendMessageTimeoutA(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&shortBlock), SMTO_ABORTIFHUNG, 5000, &r);
  EXPECT_TRUE(app.Running());
  EXPECT_EQ(GetText(FindControl(main, "EditDir")), before);
  EXPECT_EQ(ListViewCount(list), 1);
  CloseMain(app, main);
}

TEST(MainWindowE2E, EnteredModelsComeBackInTheHistoryAfterARestart) {
  ResetProgramRegistry();
  TTempFolder folder("qvhist");
  folder.Write("x.txt");
  {
    TProgram app(Quoted(folder.Path()));
    HWND main = WaitForMain(app);
    ASSERT_NE(main, nullptr);
    HWND combo = FindControl(main, "EditFile");
    // The history takes an entry when the focus leaves the combo.
    for (const char* model : {"Vacances_", "Photo_"}) TypeModel(main, model);
    EXPECT_EQ(ComboItems(combo), (std::vector<std::string>{"Photo_", "Vacances_"}));
    CloseMain(app, main);
  }
  TProgram app(Quoted(folder.Path()));
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  HWND combo = FindControl(main, "EditFile");
  EXPECT_EQ(ComboItems(combo), (std::vector<std::string>{"Photo_", "Vacances_"}));
  EXPECT_EQ(GetText(combo), "Photo_");
  HWND list = FindControl(main, "FileList");
  EXPECT_TRUE(WaitUntil([&] { return ListViewText(list, 0, 1) == "Photo_00.txt"; }));
  CloseMain(app, main);
}

TEST(MainWindowE2E, KeyboardShortcuts) {
  ResetProgramRegistry();
  TTempFolder folder("qvkeys");
  folder.Write("a.txt");
  folder.Write("b.jpg");
  TProgram app(Quoted(folder.Path()));
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  HWND list = FindControl(main, "FileList");
  ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) == 2; }));
  HWND mask = FindControl(main, "EditMask");

  // F5 rescans.
  folder.Write("c.txt");
  PressKey(mask, VK_F5);
  EXPECT_TRUE(WaitUntil([&] { return ListViewCount(list) == 3; }));

  // Enter in the mask edit applies the mask.
  SetText(mask, "*.txt");
  TypeChars(mask, "\r");
  EXPECT_TRUE(WaitUntil([&] { return ListViewCount(list) == 2; }));

  // Ctrl+F12 switches the list off and on.
  PressKey(mask, VK_F12, /*ctrl=*/true);
  EXPECT_TRUE(WaitUntil([&] { return ListViewCount(list) == 0; }));
  EXPECT_TRUE(WaitUntil([&] { return StatusPanelText(main, 1) == " Liste désactivée"; }))
      << StatusPanelText(main, 1);
  PressKey(mask, VK_F12, /*ctrl=*/true);
  EXPECT_TRUE(WaitUntil([&] { return ListViewCount(list) == 2; }));

  // Ctrl+click in the mask edit brings back every file.
  CtrlClick(mask);
  EXPECT_TRUE(WaitUntil([&] { return GetText(mask) == "*.*" && ListViewCount(list) == 3; }));
  CloseMain(app, main);
}

TEST(MainWindowE2E, TheWindowKeepsItsMinimumSizeAndItsBottomRow) {
  ResetProgramRegistry();
  TProgram app;
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  MoveWindow(main, 10, 10, 300, 200, TRUE);
  WaitUntil([] { return false; }, 200ms);
  RECT r = WindowRectOf(main);
  EXPECT_GE(r.right - r.left, 800);
  EXPECT_GE(r.bottom - r.top, 580);
  const RECT status = WindowRectOf(FindControl(main, "StatusBar"));
  for (const char* name : {"BtnRenommer", "BtnOptions", "BtnAuto"}) {
    const RECT b = WindowRectOf(FindControl(main, name));
    EXPECT_EQ(status.top - b.bottom, 6) << name;
  }
  Screenshot("main_minimum");
  MoveWindow(main, 0, 0, 1240, 780, TRUE);
  WaitUntil([] { return false; }, 500ms);
  const RECT big = WindowRectOf(main);
  const RECT statusBig = WindowRectOf(FindControl(main, "StatusBar"));
  const RECT list = WindowRectOf(FindControl(main, "FileList"));
  EXPECT_GT(list.right - list.left, 800);
  EXPECT_LT(big.right - list.right, 40);
  const RECT quit = WindowRectOf(FindControl(main, "BtnQuitter"));
  EXPECT_EQ(statusBig.top - quit.bottom, 6);
  Screenshot("main_large");
  CloseMain(app, main);
}
