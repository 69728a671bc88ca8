// The main window's own state driven from outside: the "Auto" button, the
// history entry a typed model selects, a close asked while one of its
// dialogs is open, and the windows that make the program's taskbar button.
#include <gtest/gtest.h>

#include "tests/app/E2eSupport.h"

using namespace qv::harness;
using namespace qv::e2e;

namespace {

const std::string kListsKey = std::string(kProductKey) + "\\Lists";

// The windows of the process that a taskbar shows a button for: visible
// top-level windows that are no tool windows and are either unowned or ask
// for a button.
std::vector<HWND> TaskbarWindows(DWORD pid) {
  std::vector<HWND> shown;
  for (HWND h : TopWindows(pid)) {
    if (!IsWindowVisible(h)) continue;
    const LONG_PTR ex = GetWindowLongPtrA(h, GWL_EXSTYLE);
    if (ex & WS_EX_TOOLWINDOW) continue;
    if (GetWindow(h, GW_OWNER) && !(ex & WS_EX_APPWINDOW)) continue;
    shown.push_back(h);
  }
  return shown;
}

std::string Describe(const std::vector<HWND>& windows) {
  std::string s;
  for (HWND h : windows) s += " [" + ClassOf(h) + " \"" + GetText(h) + "\"]";
  return s.empty() ? " (none)" : s;
}

void ExpectOneTaskbarButton(TProgram& app, HWND main, const char* when) {
  const auto shown = TaskbarWindows(app.Pid());
  EXPECT_EQ(shown, std::vector<HWND>{main}) << when << ":" << Describe(shown);
  EXPECT_EQ(GetText(main), "Quorvant Pro") << when;
  // A taskbar that lists unowned windows only shows it as well.
  EXPECT_EQ(GetWindow(main, GW_OWNER), nullptr) << when;
}

bool Send(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0, DWORD_PTR* answer = nullptr) {
  DWORD_PTR r = 0;
  const bool ok = SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, 10000, &r) != 0;
  if (answer) *answer = r;
  return ok;
}

}  // namespace

TEST(MainWindowStateE2E, TheAutoButtonSwitchesTheAutomaticRefreshOnAndOff) {
  ResetProgramRegistry();  // "Auto" is off by default
  TTempFolder folder("qvauto");
  folder.Write("a.txt");
  TProgram app(Quoted(folder.Path()));
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  HWND list = FindControl(main, "FileList");
  HWND button = FindControl(main, "BtnAuto");
  ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) == 1; }));
  EXPECT_FALSE(IsChecked(button));
  Screenshot("main_auto_up");

  Click(button);
  EXPECT_TRUE(IsChecked(button)) << "the button shows the refresh on";
  folder.Write("b.txt");
  EXPECT_TRUE(WaitUntil([&] { return ListViewCount(list) == 2; })) << "a new file is listed without a refresh";
  Screenshot("main_auto_down");

  Click(button);
  EXPECT_FALSE(IsChecked(button));
  CloseMain(app, main);
  EXPECT_EQ(StoredDword("Auto"), 0u);
}

TEST(MainWindowStateE2E, AnAutoRefreshSwitchedOnIsKeptAcrossARestart) {
  ResetProgramRegistry();
  TTempFolder folder("qvauto");
  folder.Write("a.txt");
  {
    TProgram app(Quoted(folder.Path()));
    HWND main = WaitForMain(app);
    ASSERT_NE(main, nullptr);
    Click(FindControl(main, "BtnAuto"));
    CloseMain(app, main);
  }
  EXPECT_EQ(StoredDword("Auto"), 1u);
  TProgram app(Quoted(folder.Path()));
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  HWND list = FindControl(main, "FileList");
  ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) == 1; }));
  EXPECT_TRUE(IsChecked(FindControl(main, "BtnAuto")));
  folder.Write("b.txt");
  EXPECT_TRUE(WaitUntil([&] { return ListViewCount(list) == 2; }));
  CloseMain(app, main);
}

TEST(MainWindowStateE2E, ATypedModelEqualToAnEntryIsTheModelOfTheNextStart) {
  ResetProgramRegistry();
  WriteRegistryString(kListsKey + "\\Names Files", "0", "Alpha_");
  WriteRegistryString(kListsKey + "\\Names Files", "1", "Beta_");
  TTempFolder folder("qvtyped");
  folder.Write("x.txt");
  {
    TProgram app(Quoted(folder.Path()));
    HWND main = WaitForMain(app);
    ASSERT_NE(main, nullptr);
    HWND combo = FindControl(main, "EditFile");
    ASSERT_EQ(ComboItems(combo), (std::vector<std::string>{"Alpha_", "Beta_"}));
    EXPECT_EQ(GetText(combo), "Alpha_");
    TypeModel(main, "Beta_");
    EXPECT_EQ(ComboItems(combo), (std::vector<std::string>{"Alpha_", "Beta_"})) << "nothing added";
    CloseMain(app, main);
  }
  EXPECT_EQ(StoredDword("Idx Name File"), 1u);
  TProgram app(Quoted(folder.Path()));
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(GetText(FindControl(main, "EditFile")), "Beta_");
  HWND list = FindControl(main, "FileList");
  EXPECT_TRUE(WaitUntil([&] { return ListViewText(list, 0, 1) == "Beta_00.txt"; })) << ListViewText(list, 0, 1);
  CloseMain(app, main);
}

TEST(MainWindowStateE2E, AStoredEntryOutsideTheHistorySelectsTheFirstEntry) {
  for (DWORD stored : {0xFFFFFFFFu, 2u, 99u}) {
    SCOPED_TRACE(stored);
    ResetProgramRegistry();
    WriteRegistryString(kListsKey + "\\Names Files", "0", "Alpha_");
    WriteRegistryString(kListsKey + "\\Names Files", "1", "Beta_");
    WriteRegistryDword(kOptionsKey, "Idx Name File", stored);
    TProgram app;
    HWND main = WaitForMain(app);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(GetText(FindControl(main, "EditFile")), "Alpha_");
    CloseMain(app, main);
    EXPECT_EQ(StoredDword("Idx Name File"), 0u);
  }
}

// Options (with a previewed grid), the folder dialog and the about box:
// while one is open a close or the end of the session is refused, nothing
// is saved, and the program goes on once the dialog is closed.
TEST(MainWindowStateE2E, ACloseWhileADialogOfTheMainWindowIsOpenIsRefused) {
  struct Case {
    const char* button;
    const char* dialog;
    const char* cancel;
  };
  for (const Case& c : {Case{"BtnOptions", "TOptions", "BtnAnnuler"}, Case{"BtnDir", "TDossiers", "BtnAnnuler"},
                        Case{"BtnAProp", "TAPropos", "BtnFermer"}}) {
    SCOPED_TRACE(c.dialog);
    ResetProgramRegistry();
    TTempFolder folder("qvmodal");
    folder.Write("a.txt");
    TProgram app(Quoted(folder.Path()));
    HWND main = WaitForMain(app);
    ASSERT_NE(main, nullptr);
    HWND list = FindControl(main, "FileList");
    ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) == 1; }));
    ClickAsync(FindControl(main, c.button));
    HWND dlg = app.WaitForWindow(c.dialog, "", 15s);
    ASSERT_NE(dlg, nullptr);
    if (std::string(c.dialog) == "TOptions") {
      HWND grid = FindControl(dlg, "CheckGrid");
      ASSERT_NE(grid, nullptr);
      Click(grid);  // previewed on the main window, not accepted
    }
    EXPECT_TRUE(Send(main, WM_CLOSE));
    // A close asked of the program's hidden window (a task list's "end
    // task") is the same close.
    const std::vector<HWND> appWindows = TopWindows(app.Pid(), "TApplication");
    ASSERT_EQ(appWindows.size(), 1u);
    EXPECT_TRUE(Send(appWindows[0], WM_CLOSE));
    DWORD_PTR answer = 1;
    EXPECT_TRUE(Send(main, WM_QUERYENDSESSION, 0, 0, &answer));
    EXPECT_EQ(answer, 0u) << "the session end must wait for the dialog";
    // The close handler is what writes the settings.
    EXPECT_FALSE(RegistryKeyExists(kProductKey)) << "the close went through";
    EXPECT_TRUE(IsWindow(dlg) && IsWindowVisible(dlg));
    EXPECT_EQ(GetWindow(dlg, GW_OWNER), main) << "the dialog stays above the main window";
    EXPECT_EQ(TaskbarWindows(app.Pid()), std::vector<HWND>{main}) << Describe(TaskbarWindows(app.Pid()));
    if (std::string(c.dialog) == "TOptions") Screenshot("main_close_refused_options");

    ClickAsync(FindControl(dlg, c.cancel));
    ASSERT_TRUE(WaitUntil([&] { return TopWindows(app.Pid(), c.dialog).empty(); }));
    // The window goes on as before: it lists and rescans.
    folder.Write("b.txt");
    Click(FindControl(main, "BtnRefresh"));
    EXPECT_TRUE(WaitUntil([&] { return ListViewCount(list) == 2; }));
    CloseMain(app, main);
    EXPECT_EQ(app.ExitCode(), 0u);
    EXPECT_EQ(StoredDword("Grid"), 0u) << "a previewed option was saved";
  }
}

// One button, the main window's, at the first start, after a minimise and
// a restore, and after a later start handed its folder over to a
// minimised window.
TEST(MainWindowStateE2E, TheProgramHasOneTaskbarButtonInEveryPath) {
  ResetProgramRegistry();
  WriteRegistryDword(kOptionsKey, "Auto", 1);
  TTempFolder first("qvtask"), second("qvtask");
  first.Write("un.txt");
  second.Write("deux.txt");
  second.Write("trois.txt");
  TProgram app(Quoted(first.Path()));
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  HWND list = FindControl(main, "FileList");
  ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) == 1; }));
  ExpectOneTaskbarButton(app, main, "first start");

  ASSERT_TRUE(Send(main, WM_SYSCOMMAND, SC_MINIMIZE));
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(main) != FALSE; }));
  ExpectOneTaskbarButton(app, main, "minimised");
  ASSERT_TRUE(Send(main, WM_SYSCOMMAND, SC_RESTORE));
  EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main); }));
  ExpectOneTaskbarButton(app, main, "restored");

  ASSERT_TRUE(Send(main, WM_SYSCOMMAND, SC_MINIMIZE));
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(main) != FALSE; }));
  {
    TProgram later(Quoted(second.Path()));
    ASSERT_TRUE(later.WaitForExit(15s));
    EXPECT_EQ(later.ExitCode(), 0u);
  }
  EXPECT_TRUE(WaitUntil([&] { return ListViewCount(list) == 2; }));
  EXPECT_FALSE(IsIconic(main)) << "the hand-over restores the window";
  ExpectOneTaskbarButton(app, main, "after the hand-over");
  Screenshot("main_after_handover");
  CloseMain(app, main);
}
