// The folder dialog in the real program: "..." opens it on the current
// folder, the keyboard moves to another folder, accepting lists that
// folder's files; F4 opens it too, and cancelling changes nothing. The
// tree offers the shell's menu of the selected folder (asked from the
// keyboard); Escape closes it and the dialog goes on.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "tests/app/E2eSupport.h"

using namespace qv::harness;
using namespace qv::e2e;

namespace {

// The text of a tree view's selected item, read in the program's memory.
std::string SelectedTreeText(HWND tree) {
  DWORD_PTR item = 0;
  if (!SendMessageTimeoutA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, SMTO_ABORTIFHUNG, 5000, &item) || !item) return {};
  DWORD pid = 0;
  GetWindowThreadProcessId(tree, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return {};
  constexpr size_t kText = 260;
  void* remote = VirtualAllocEx(process, nullptr, sizeof(TVITEMA) + kText, MEM_COMMIT, PAGE_READWRITE);
  std::string text;
  if (remote) {
    TVITEMA it{};
    it.mask = TVIF_TEXT | TVIF_HANDLE;
    it.hItem = reinterpret_cast<HTREEITEM>(item);
    it.pszText = static_cast<char*>(remote) + sizeof(TVITEMA);
    it.cchTextMax = kText;
    WriteProcessMemory(process, remote, &it, sizeof it, nullptr);
    DWORD_PTR ok = 0;
    SendMessageTimeoutA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 5000, &ok);
    char buf[kText] = {};
    if (ok) ReadProcessMemory(process, static_cast<char*>(remote) + sizeof(TVITEMA), buf, kText - 1, nullptr);
    text = buf;
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

// The popup menu window shown by the program's thread, or null.
HWND OpenMenuOf(HWND anyWindowOfThread) {
  const DWORD thread = GetWindowThreadProcessId(anyWindowOfThread, nullptr);
  HWND found = nullptr;
  EnumThreadWindows(
      thread,
      [](HWND hwnd, LPARAM out) {
        if (ClassOf(hwnd) == "#32768" && IsWindowVisible(hwnd)) {
          *reinterpret_cast<HWND*>(out) = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

TEST(FolderDialogE2E, TheDotsButtonChoosesAnotherFolderAndF4CancelledChangesNothing) {
  ResetProgramRegistry();
  TTempFolder base("qvdossiers");
  std::filesystem::create_directories(base.Path() / "Albums");
  std::filesystem::create_directories(base.Path() / "Brouillons");
  base.Write("Albums\\x1.txt", "1");
  base.Write("Albums\\x2.txt", "2");
  for (const char* name : {"Brouillons\\y1.txt", "Brouillons\\y2.txt", "Brouillons\\y3.jpg"}) base.Write(name, "y");

  TProgram app(Quoted(base.Path() / "Albums"));
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  HWND list = FindControl(main, "FileList");
  ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) == 2; }));

  ClickAsync(FindControl(main, "BtnDir"));
  HWND dialog = app.WaitForWindow("TDossiers", "Dossiers");
  ASSERT_NE(dialog, nullptr);
  HWND tree = WaitForControl(dialog, "TreeView");
  ASSERT_NE(tree, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return SelectedTreeText(tree) == "Albums"; })) << SelectedTreeText(tree);
  FocusControl(tree);
  PressKey(tree, VK_DOWN);
  ASSERT_TRUE(WaitUntil([&] { return SelectedTreeText(tree) == "Brouillons"; })) << SelectedTreeText(tree);
  Screenshot("folder_dialog_e2e");
  ClickAsync(FindControl(dialog, "BtnAccepter"));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsVisible(dialog); }));
  ASSERT_TRUE(WaitUntil([&] { return ListViewCount(list) == 3; }));
  EXPECT_EQ(ListViewText(list, 0, 0), "y1.txt");
  EXPECT_EQ(Lower(GetText(FindControl(main, "EditDir"))), Lower(AnsiPath(base.Path() / "Brouillons")));

  // F4 from the main window; cancelling keeps the folder.
  HWND edit = FindControl(main, "EditMask");
  FocusControl(edit);
  PressKey(edit, VK_F4);
  dialog = app.WaitForWindow("TDossiers", "Dossiers");
  ASSERT_NE(dialog, nullptr);
  tree = WaitForControl(dialog, "TreeView");
  ASSERT_TRUE(WaitUntil([&] { return SelectedTreeText(tree) == "Brouillons"; })) << SelectedTreeText(tree);
  ClickAsync(FindControl(dialog, "BtnAnnuler"));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsVisible(dialog); }));
  EXPECT_EQ(ListViewCount(list), 3);
  EXPECT_EQ(Lower(GetText(FindControl(main, "EditDir"))), Lower(AnsiPath(base.Path() / "Brouillons")));
  CloseMain(app, main);
}

TEST(FolderDialogE2E, TheTreeShowsTheShellMenuOfTheSelectedFolder) {
  ResetProgramRegistry();
  TTempFolder base("qvmenu");
  std::filesystem::create_directories(base.Path() / "Albums");
  std::filesystem::create_directories(base.Path() / "Brouillons");
  base.Write("Albums\\x1.txt", "1");

  TProgram app(Quoted(base.Path() / "Albums"));
  HWND main = WaitForMain(app);
  ASSERT_NE(main, nullptr);
  // The folder is known once it is listed.
  ASSERT_TRUE(WaitUntil([&] { return ListViewCount(FindControl(main, "FileList")) == 1; }));
  ClickAsync(FindControl(main, "BtnDir"));
  HWND dialog = app.WaitForWindow("TDossiers", "Dossiers");
  ASSERT_NE(dialog, nullptr);
  HWND tree = WaitForControl(dialog, "TreeView");
  ASSERT_NE(tree, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return SelectedTreeText(tree) == "Albums"; })) << SelectedTreeText(tree);
  FocusControl(tree);

  // The menu key: the selected node's menu, placed under it.
  PostMessageA(tree, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree), -1);
  HWND menu = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (menu = OpenMenuOf(tree)) != nullptr; }));
  // Menus are the program's own handles: only the window can be looked at
  // from here.
  const RECT menuRect = WindowRectOf(menu);
  const RECT treeRect = WindowRectOf(tree);
  EXPECT_GE(menuRect.left, treeRect.left);
  EXPECT_LT(menuRect.top, treeRect.bottom);
  EXPECT_GT(menuRect.bottom - menuRect.top, 40) << "a menu of several commands";
  Screenshot("folder_dialog_tree_menu");

  PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(WaitUntil([&] { return OpenMenuOf(tree) == nullptr; }));
  EXPECT_TRUE(IsVisible(dialog));
  EXPECT_EQ(SelectedTreeText(tree), "Albums");
  EXPECT_TRUE(std::filesystem::is_directory(base.Path() / "Albums")) << "nothing was carried out";
  ClickAsync(FindControl(dialog, "BtnAnnuler"));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsVisible(dialog); }));
}
