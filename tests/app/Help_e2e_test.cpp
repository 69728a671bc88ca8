// The help of the real program under Wine: "Aide" of the main window and of
// the options dialog open the compiled help in the system's help viewer, and
// so do the "Aide" button of a refusal message and F1, at their context.
// The viewer is another process; its window is found by its class and the
// help's title, and closed at the end of each test.
#include <gtest/gtest.h>

#include "tests/app/E2eSupport.h"

using namespace qv::harness;
using namespace qv::e2e;

namespace {

const char kViewerClass[] = "HH Parent";
const char kHelpTitle[] = "Aide de Quorvant Pro";

std::vector<HWND> HelpWindows() {
  std::vector<HWND> found;
  EnumWindows(
      [](HWND w, LPARAM lp) -> BOOL {
        if (IsWindowVisible(w) && ClassOf(w) == kViewerClass && GetText(w) == kHelpTitle)
          reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

bool HelpShown() { return !HelpWindows().empty(); }

// Closes every help viewer; one that does not go is ended with its process.
void CloseHelpWindows() {
  for (HWND w : HelpWindows()) PostMessageA(w, WM_CLOSE, 0, 0);
  if (WaitUntil([] { return !HelpShown(); }, 10s)) return;
  for (HWND w : HelpWindows()) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
      TerminateProcess(p, 1);
      WaitForSingleObject(p, 5000);
      CloseHandle(p);
    }
  }
}

class HelpE2E : public ::testing::Test {
protected:
  void SetUp() override {
    CloseHelpWindows();
    ResetProgramRegistry();
    folder.Write("a.txt", "a");
    app = std::make_unique<TProgram>(Quoted(folder.Path()));
    main = WaitForMain(*app);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ListViewCount(FindControl(main, "FileList")) == 1; }));
    ASSERT_FALSE(HelpShown());
  }
  void TearDown() override {
    CloseHelpWindows();
    if (app && main && app->Running()) CloseMain(*app, main);
  }

  TTempFolder folder{"qvhelp"};
  std::unique_ptr<TProgram> app;
  HWND main = nullptr;
};

}  // namespace

TEST_F(HelpE2E, AideOfTheMainWindowOpensTheHelp) {
  ClickAsync(FindControl(main, "BtnAide"));
  ASSERT_TRUE(WaitUntil(HelpShown, 20s));
  Screenshot("help-main-window");
  // The help is a window of its own: the program goes on answering.
  EXPECT_TRUE(app->Running());
  EXPECT_EQ(ListViewCount(FindControl(main, "FileList")), 1);
}

TEST_F(HelpE2E, AideOfTheOptionsDialogOpensTheHelp) {
  ClickAsync(FindControl(main, "BtnOptions"));
  HWND options = app->WaitForWindow("TOptions", "Options", 10s);
  ASSERT_NE(options, nullptr);
  ClickAsync(FindControl(options, "BtnAide"));
  ASSERT_TRUE(WaitUntil(HelpShown, 20s));
  Screenshot("help-options");
  CloseHelpWindows();
  ClickAsync(FindControl(options, "BtnAnnuler"));
  EXPECT_TRUE(WaitUntil([&] { return TopWindows(app->Pid(), "TOptions").empty(); }));
}

TEST_F(HelpE2E, AideOfARefusalMessageOpensTheHelp) {
  TypeModel(main, "Vacances:2024_");
  ClickAsync(FindControl(main, "BtnRenommer"));
  HWND box = app->WaitForWindow("TMessageForm", "", 10s);
  ASSERT_NE(box, nullptr);
  HWND help = FindControl(box, "Help");
  ASSERT_NE(help, nullptr);
  ClickAsync(help);
  ASSERT_TRUE(WaitUntil(HelpShown, 20s));
  Screenshot("help-refusal-message");
  // The message stays until it is answered; nothing was renamed.
  EXPECT_TRUE(IsWindow(box));
  ClickAsync(FindControl(box, "OK"));
  EXPECT_TRUE(WaitUntil([&] { return TopWindows(app->Pid(), "TMessageForm").empty(); }));
  EXPECT_TRUE(std::filesystem::exists(folder.Path() / "a.txt"));
}

TEST_F(HelpE2E, F1InTheMainWindowOpensTheHelp) {
  // The system turns a pressed F1 into WM_KEYF1 for the focused control;
  // its default handling asks the window for help.
  const UINT kKeyF1 = 0x004D;
  HWND edit = FindControl(main, "EditMask");
  FocusControl(edit);
  PostMessageA(edit, kKeyF1, 0, 0);
  EXPECT_TRUE(WaitUntil(HelpShown, 20s));
}
