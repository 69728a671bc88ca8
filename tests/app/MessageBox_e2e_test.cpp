// The program's message boxes end to end: each button has the system's
// control ID, and Esc gives the safe answer of the question (No of a
// Yes/No, OK of an OK box, none in an Abort/Ignore question).
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "tests/app/E2eSupport.h"

using namespace qv::harness;
using namespace qv::e2e;
namespace fs = std::filesystem;

namespace {

// Esc as the keyboard gives it: through the program's message loop, to
// the control that has the focus.
void PostEscape(HWND box) {
  HWND target = FocusedWindowOf(box);
  if (!target || GetAncestor(target, GA_ROOT) != box) target = box;
  PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageA(target, WM_KEYUP, VK_ESCAPE, 0xC0000001);
}

int IdOf(HWND box, const char* name) {
  HWND b = FindControl(box, name);
  return b ? GetDlgCtrlID(b) : -1;
}

bool Gone(HWND w) { return !IsWindow(w) || !IsWindowVisible(w); }

std::set<std::string> NamesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.is_regular_file()) names.insert(AnsiPath(e.path().filename()));
  return names;
}

}  // namespace

TEST(MessageBoxE2E, AYesNoQuestionHasTheSystemIdsAndEscAnswersNo) {
  ResetProgramRegistry();
  WriteRegistryDword(kOptionsKey, "Active Liste", 0);
  TTempFolder folder("qvmsg");
  folder.Write("a.txt", "a");
  TProgram app(Quoted(folder.Path()));
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  // With the list off nothing fills: the folder argument is in place once
  // the start work has put it into the folder edit.
  ASSERT_TRUE(WaitUntil([&] { return !GetText(FindControl(main, "EditDir")).empty(); }));
  ClickAsync(FindControl(main, "BtnRenommer"));
  HWND box = app.WaitForWindow("TMessageForm", "", 10s);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(IdOf(box, "Yes"), IDYES);
  EXPECT_EQ(IdOf(box, "No"), IDNO);
  Screenshot("e2e_message_yes_no");
  PostEscape(box);
  ASSERT_TRUE(WaitUntil([&] { return Gone(box); }));
  // No: the list stays off and no rename dialog opens.
  EXPECT_TRUE(TopWindows(app.Pid(), "TQuoDial").empty());
  EXPECT_EQ(NamesIn(folder.Path()), (std::set<std::string>{"a.txt"}));
  CloseMain(app, main);
  DWORD active = 1;
  ASSERT_TRUE(ReadRegistryDword(kOptionsKey, "Active Liste", active));
  EXPECT_EQ(active, 0u);
}

TEST(MessageBoxE2E, AnOkAndHelpBoxHasTheSystemIdsAndEscAnswersOk) {
  ResetProgramRegistry();
  TTempFolder folder("qvmsg");
  folder.Write("a.txt", "a");
  TProgram app(Quoted(folder.Path()));
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return ListViewCount(FindControl(main, "FileList")) == 1; }));
  TypeModel(main, "a|b");
  ClickAsync(FindControl(main, "BtnRenommer"));
  HWND box = app.WaitForWindow("TMessageForm", "", 10s);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(IdOf(box, "OK"), IDOK);
  EXPECT_EQ(IdOf(box, "Help"), IDHELP);
  PostEscape(box);
  ASSERT_TRUE(WaitUntil([&] { return Gone(box); }));
  EXPECT_EQ(NamesIn(folder.Path()), (std::set<std::string>{"a.txt"}));
  CloseMain(app, main);
}

TEST(MessageBoxE2E, EscGivesNoAnswerToAnAbortIgnoreQuestion) {
  ResetProgramRegistry();
  TTempFolder folder("qvmsg"), reports("qvrep");
  folder.Write("a.txt", "a");
  // The report is there already: the run asks whether to overwrite it.
  reports.Write(AnsiPath(folder.Path().filename()) + ".txt", "ancien");
  WriteRegistryString(kOptionsKey, "DirRapport", AnsiPath(reports.Path()));
  TProgram app(Quoted(folder.Path()));
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return ListViewCount(FindControl(main, "FileList")) == 1; }));
  TypeModel(main, "Doc_");
  ClickAsync(FindControl(main, "BtnRenommer"));
  HWND dlg = app.WaitForWindow("TQuoDial", "", 10s);
  ASSERT_NE(dlg, nullptr);
  ClickAsync(FindControl(dlg, "BtnOui"));
  HWND box = app.WaitForWindow("TMessageForm", "", 10s);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(IdOf(box, "Abort"), IDABORT);
  EXPECT_EQ(IdOf(box, "Ignore"), IDIGNORE);
  // Esc first, then Ignore, in the program's queue: Esc must leave the
  // question open for Ignore to overwrite the report and rename.
  PostEscape(box);
  PostMessageA(FindControl(box, "Ignore"), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return NamesIn(folder.Path()) == std::set<std::string>{"Doc_00.txt"}; }, 20s))
      << "Esc answered the Abort/Ignore question";
  ASSERT_TRUE(WaitUntil([&] { return IsEnabled(FindControl(dlg, "BtnFermer")); }, 20s));
  ClickAsync(FindControl(dlg, "BtnFermer"));
  ASSERT_TRUE(WaitUntil([&] { return Gone(dlg); }));
  CloseMain(app, main);
}
