// The shell folder tree in a test window over a folder tree made in the
// temporary folder: lazy expansion, masks, selection by path (before and
// after the window exists, under a custom root and under the desktop),
// rebuilds, the change watchers, the delayed read, renaming in place, the
// shell context menu and the folder data count.
#include <gtest/gtest.h>

#include "controls/shell/FileChange.h"
#include "controls/shell/ShellContextMenu.h"
#include "controls/shell/SystemFolderControls.h"
#include "controls/shell/SystemTreeView.h"
#include "controls/shell/detail/ShellMenuHooks.h"
#include "framework/Menus.h"
#include "tests/common/GuardedHeap.h"
#include "tests/common/ListViewHost.h"

namespace fs = std::filesystem;
using namespace qv;
using namespace qv::test;
using controls::TQsSystemTreeView;
using controls::TRootFolder;
using fw::TTreeNode;

namespace {

// root\{a\{a1,a2}, b, c.txt, d.jpg}
struct TFolderTree {
  TFolderTree() {
    fs::create_directories(dir.Path() / "a" / "a1");
    fs::create_directories(dir.Path() / "a" / "a2");
    fs::create_directories(dir.Path() / "b");
    std::ofstream(dir.Path() / "c.txt") << "c";
    std::ofstream(dir.Path() / "d.jpg") << "d";
  }
  std::string Path(const std::string& rel = {}) const {
    return rel.empty() ? AnsiPath(dir.Path()) : AnsiPath(dir.Path() / rel);
  }
  TTempDir dir;
};

using THostedTree = THostedList<TQsSystemTreeView>;

// The watches open in their own threads: a change made before they stand
// would go unseen. Waits until the folder's and the parent's are the only
// watchers left (a replaced one is freed once its worker has ended) and
// both have opened their handles.
void WaitForTheWatch(const TQsSystemTreeView& tree) {
  const int wanted = 1 + (tree.WatchingParent() ? 1 : 0);
  EXPECT_TRUE(PumpUntil(
      [&] {
        return controls::TFileChangeThread::InstanceCount() == wanted &&
               controls::TFileChangeThread::OpenHandleCount() == wanted;
      },
      10000));
}

std::vector<std::string> ChildTexts(TTreeNode* node) {
  std::vector<std::string> out;
  for (TTreeNode* c = node ? node->GetFirstChild() : nullptr; c; c = c->GetNextSibling()) out.push_back(c->Text());
  return out;
}

TTreeNode* Child(TTreeNode* node, const std::string& text) {
  for (TTreeNode* c = node ? node->GetFirstChild() : nullptr; c; c = c->GetNextSibling())
    if (c->Text() == text) return c;
  return nullptr;
}

std::function<void(TQsSystemTreeView&)> CustomRoot(const std::string& dir, bool showFiles = false,
                                                  const std::string& mask = {}) {
  return [=](TQsSystemTreeView& t) {
    t.SetRootFolder(TRootFolder::rfCustom);
    t.SetCustomDir(dir);
    t.SetShowFiles(showFiles);
    t.SetFileMask(mask);
    t.SetReadDelay(0);
  };
}

// Selects a node, edits its label to name and ends the edit, as the user
// does.
void RenameInPlace(TQsSystemTreeView& tree, TTreeNode* node, const char* name) {
  node->SetSelected(true);
  ASSERT_TRUE(node->EditText());
  HWND edit = reinterpret_cast<HWND>(SendMessageA(tree.Handle(), TVM_GETEDITCONTROL, 0, 0));
  ASSERT_NE(edit, nullptr);
  SetWindowTextA(edit, name);
  SendMessageA(tree.Handle(), TVM_ENDEDITLABELNOW, FALSE, 0);
  Pump();
}

}  // namespace

TEST(SystemTreeView, ACustomRootShowsItsFoldersSortedAndEnumeratesChildrenOnlyWhenExpanded) {
  TFolderTree tree;
  std::vector<std::string> populated;
  THostedTree h(CustomRoot(tree.Path()));
  h.list->OnPopulated = [&](fw::TComponent&, TTreeNode* n) { populated.push_back(n->Text()); };
  TTreeNode* root = h.list->GetFirstNode();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->Text(), tree.dir.Path().filename().string());
  EXPECT_TRUE(root->Expanded());
  EXPECT_EQ(ChildTexts(root), (std::vector<std::string>{"a", "b"}));
  TTreeNode* a = Child(root, "a");
  TTreeNode* b = Child(root, "b");
  EXPECT_TRUE(a->HasChildren());
  EXPECT_FALSE(b->HasChildren());
  EXPECT_EQ(a->Count(), 0) << "children are read on first expansion only";
  a->Expand();
  EXPECT_EQ(ChildTexts(a), (std::vector<std::string>{"a1", "a2"}));
  EXPECT_EQ(populated, std::vector<std::string>{"a"});
  EXPECT_EQ(h.list->Version(), "TQsSystemTreeView v0.98.5 Beta");
}

TEST(SystemTreeView, ShowFilesWithAMaskShowsOnlyMatchingFilesButEveryFolder) {
  TFolderTree tree;
  THostedTree h(CustomRoot(tree.Path(), true, "*.txt"));
  EXPECT_EQ(ChildTexts(h.list->GetFirstNode()), (std::vector<std::string>{"a", "b", "c.txt"}));
  h.list->SetFileMask("");
  EXPECT_EQ(ChildTexts(h.list->GetFirstNode()), (std::vector<std::string>{"a", "b", "c.txt", "d.jpg"}));
}

TEST(SystemTreeView, ASelectionGivenBeforeTheWindowExistsIsAppliedByTheFirstRebuild) {
  TFolderTree tree;
  THostedTree h([&](TQsSystemTreeView& t) {
    CustomRoot(tree.Path())(t);
    t.SetSelection(tree.Path("a\\a2"));
    EXPECT_EQ(t.PendingSelection(), tree.Path("a\\a2"));
  });
  ASSERT_NE(h.list->Selected(), nullptr);
  EXPECT_EQ(h.list->Selected()->Text(), "a2");
  EXPECT_EQ(h.list->Selection(), tree.Path("a\\a2"));
  EXPECT_TRUE(h.list->PendingSelection().empty());
}

TEST(SystemTreeView, UnderTheDesktopADeepPathExpandsEveryNodeOnTheWayAndABadPathChangesNothing) {
  TFolderTree tree;
  THostedTree h([](TQsSystemTreeView& t) { t.SetReadDelay(0); });
  h.list->SetSelection(tree.Path("a\\a1"));
  ASSERT_NE(h.list->Selected(), nullptr);
  EXPECT_EQ(h.list->Selected()->Text(), "a1");
  EXPECT_EQ(h.list->Selection(), tree.Path("a\\a1"));
  EXPECT_TRUE(h.list->Selected()->Parent()->Expanded());
  h.list->SetSelection(tree.Path("nowhere\\at\\all"));
  EXPECT_EQ(h.list->Selection(), tree.Path("a\\a1"));
}

TEST(SystemTreeView, ARebuildKeepsTheSelectedFolderSelected) {
  TFolderTree tree;
  THostedTree h(CustomRoot(tree.Path()));
  h.list->SetSelection(tree.Path("a\\a1"));
  ASSERT_EQ(h.list->Selection(), tree.Path("a\\a1"));
  h.list->SetShowFiles(true);  // rebuilds
  EXPECT_EQ(h.list->Selection(), tree.Path("a\\a1"));
  EXPECT_EQ(ChildTexts(h.list->GetFirstNode()), (std::vector<std::string>{"a", "b", "c.txt", "d.jpg"}));
}

TEST(SystemTreeView, TheWatcherSeesANewSubfolderOfTheSelectedFolder) {
  TFolderTree tree;
  THostedTree h(CustomRoot(tree.Path()));
  h.list->SetSelection(tree.Path("a"));
  TTreeNode* a = h.list->Selected();
  ASSERT_NE(a, nullptr);
  a->Expand();
  EXPECT_EQ(h.list->WatchedFolder(), tree.Path("a"));
  EXPECT_TRUE(h.list->WatchingParent());
  WaitForTheWatch(*h.list);
  fs::create_directory(tree.dir.Path() / "a" / "a3");
  ASSERT_TRUE(PumpUntil([&] {
    TTreeNode* sel = h.list->Selected();
    return sel && ChildTexts(sel) == std::vector<std::string>{"a1", "a2", "a3"};
  }));
  EXPECT_EQ(h.list->Selection(), tree.Path("a"));
  EXPECT_TRUE(h.list->Selected()->Expanded());
  // Watching goes on after a report.
  ASSERT_TRUE(PumpUntil([&] { return h.list->WatchedFolder() == tree.Path("a"); }));
  WaitForTheWatch(*h.list);
  fs::create_directory(tree.dir.Path() / "a" / "a0");
  EXPECT_TRUE(PumpUntil([&] { return ChildTexts(h.list->Selected()).size() == 4; }, 10000));
}

TEST(SystemTreeView, WhenTheSelectedFolderGoesTheParentIsSelected) {
  TFolderTree tree;
  THostedTree h(CustomRoot(tree.Path()));
  h.list->SetSelection(tree.Path("a\\a2"));
  ASSERT_EQ(h.list->Selection(), tree.Path("a\\a2"));
  WaitForTheWatch(*h.list);
  // Moved out of its folder: gone as far as the tree can tell. (Wine keeps
  // a deleted folder that a change handle holds until the handle closes,
  // so a deletion would never be seen there.)
  ASSERT_TRUE(MoveFileA(tree.Path("a\\a2").c_str(), tree.Path("a2-moved").c_str())) << GetLastError();
  ASSERT_TRUE(PumpUntil([&] { return h.list->Selection() == tree.Path("a"); }, 10000));
  EXPECT_EQ(ChildTexts(h.list->Selected()), std::vector<std::string>{"a1"});
}

TEST(SystemTreeView, WithAReadDelayOnlyTheLastOfQuickSelectionsIsWatched) {
  TFolderTree tree;
  THostedTree h(CustomRoot(tree.Path()));
  h.list->SetReadDelay(150);
  TTreeNode* root = h.list->GetFirstNode();
  Child(root, "a")->SetSelected(true);
  Child(root, "b")->SetSelected(true);
  EXPECT_EQ(h.list->WatchedFolder(), "");
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(PumpUntil([&] { return !h.list->WatchedFolder().empty(); }));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
  EXPECT_EQ(h.list->WatchedFolder(), tree.Path("b"));
}

TEST(SystemTreeView, RenamingANodeInPlaceRenamesTheFolder) {
  TFolderTree tree;
  THostedTree h(CustomRoot(tree.Path()));
  TTreeNode* b = Child(h.list->GetFirstNode(), "b");
  ASSERT_NE(b, nullptr);
  RenameInPlace(*h.list, b, "b2");
  EXPECT_TRUE(fs::is_directory(tree.dir.Path() / "b2"));
  EXPECT_FALSE(fs::exists(tree.dir.Path() / "b"));
  EXPECT_EQ(b->Text(), "b2");
  EXPECT_EQ(h.list->Selection(), tree.Path("b2"));
}

TEST(SystemTreeView, TheShellMenuIsOfferedForTheNodeUnderThePointAndItsRenameStartsALabelEdit) {
  TFolderTree tree;
  THostedTree h(CustomRoot(tree.Path()));
  TTreeNode* b = Child(h.list->GetFirstNode(), "b");
  const fw::TRect r = b->DisplayRect(true);
  POINT at{r.Left + 2, r.Top + 2};
  ClientToScreen(h.Handle(), &at);
  int menus = 0;
  bool pickRename = false;
  UINT renameCommand = 0;
  std::vector<std::string> verbs;
  controls::detail::SetMenuTracker([&](HMENU menu, HWND helper, int, int) -> UINT {
    ++menus;
    EXPECT_NE(helper, nullptr);
    EXPECT_GT(GetMenuItemCount(menu), 0);
    // The shell numbers its commands as it likes: the menu's hint tells
    // each command's verb.
    verbs.clear();
    renameCommand = 0;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      const UINT id = GetMenuItemID(menu, i);
      if (id == 0 || id == static_cast<UINT>(-1)) continue;
      SendMessageA(helper, WM_MENUSELECT, MAKEWPARAM(id, MF_STRING), reinterpret_cast<LPARAM>(menu));
      const std::string hint = App().Hint();
      const std::string verb = hint.substr(0, hint.find('|'));
      verbs.push_back(verb);
      if (_stricmp(verb.c_str(), "rename") == 0) renameCommand = id;
    }
    SendMessageA(helper, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    return pickRename ? renameCommand : 0;
  });
  SendMessageA(h.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h.Handle()), MAKELPARAM(at.x, at.y));
  EXPECT_EQ(h.list->Selected(), b);
  EXPECT_FALSE(h.list->IsEditing());
  pickRename = true;
  SendMessageA(h.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h.Handle()), MAKELPARAM(at.x, at.y));
  controls::detail::SetMenuTracker({});
  if (menus == 0) GTEST_SKIP() << "the shell gives no context menu for folders here";
  EXPECT_EQ(menus, 2);
  if (renameCommand == 0) {
    std::string all;
    for (const std::string& v : verbs) all += v + " ";
    GTEST_SKIP() << "the shell's folder menu has no rename command here; verbs: " << all;
  }
  EXPECT_TRUE(h.list->IsEditing());
  SendMessageA(h.Handle(), TVM_ENDEDITLABELNOW, TRUE, 0);
  EXPECT_TRUE(fs::is_directory(tree.dir.Path() / "b")) << "the shell renamed nothing itself";
}

TEST(SystemTreeView, EveryNodesFolderDataIsFreedWithTheTree) {
  const int before = controls::TFolderItemData::Count();
  const int listsBefore = controls::LiveItemIdLists();
  {
    TFolderTree tree;
    THostedTree h(CustomRoot(tree.Path(), true));
    h.list->SetSelection(tree.Path("a\\a1"));
    EXPECT_GT(controls::TFolderItemData::Count(), before + 4);
    h.list->SetRootFolder(TRootFolder::rfDesktop);
  }
  EXPECT_EQ(controls::TFolderItemData::Count(), before);
  EXPECT_EQ(controls::LiveItemIdLists(), listsBefore);
  EXPECT_NO_THROW(controls::CheckFolderDataLeaks());
}

TEST(SystemTreeView, ReCreatingTheWindowForCheckboxesSelectsTheSameFolderAgain) {
  TFolderTree tree;
  THostedTree h(CustomRoot(tree.Path()));
  h.list->SetSelection(tree.Path("a\\a1"));
  ASSERT_EQ(h.list->Selection(), tree.Path("a\\a1"));
  h.list->SetCheckboxes(true);
  EXPECT_NE(GetWindowLongA(h.Handle(), GWL_STYLE) & TVS_CHECKBOXES, 0);
  EXPECT_EQ(h.list->Selection(), tree.Path("a\\a1"));
  EXPECT_TRUE(h.list->PendingSelection().empty());
}

TEST(SystemTreeView, TheFileSystemRootLeavesOutVirtualItems) {
  auto onlyFileSystem = [](TQsSystemTreeView& t) {
    t.SetRootFolder(TRootFolder::rfFileSystem);
    t.SetReadDelay(0);
  };
  THostedTree h(onlyFileSystem);
  TTreeNode* root = h.list->GetFirstNode();
  ASSERT_NE(root, nullptr);
  ASSERT_GT(root->Count(), 0) << "the computer folder lists its drives";
  for (TTreeNode* c = root->GetFirstChild(); c; c = c->GetNextSibling()) {
    controls::TFolderItemData* d = h.list->NodeData(c, false);
    ASSERT_NE(d, nullptr);
    EXPECT_NE(d->Attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR), 0u) << c->Text();
  }
  THostedTree drives([](TQsSystemTreeView& t) { t.SetRootFolder(TRootFolder::rfDrives); });
  EXPECT_GE(drives.list->GetFirstNode()->Count(), root->Count());
}

TEST(SystemTreeView, ADeviceArrivalRebuildsTheTreeAndKeepsTheSelection) {
  TFolderTree tree;
  THostedTree h(CustomRoot(tree.Path()));
  h.list->SetSelection(tree.Path("a\\a2"));
  std::filesystem::create_directory(tree.dir.Path() / "e");
  TTreeNode* before = h.list->GetFirstNode();
  EXPECT_EQ(Child(before, "e"), nullptr) << "no watcher looks at the root here";
  SendMessageA(App().Handle(), WM_DEVICECHANGE, 0x8000 /* arrival */, 0);
  EXPECT_NE(Child(h.list->GetFirstNode(), "e"), nullptr);
  EXPECT_EQ(h.list->Selection(), tree.Path("a\\a2"));
}

TEST(SystemTreeView, AutoscrollScrollsWhenTheMouseNearsAnEdge) {
  TFolderTree tree;
  for (int i = 0; i < 60; ++i) std::filesystem::create_directory(tree.dir.Path() / ("f" + std::to_string(100 + i)));
  THostedTree h(CustomRoot(tree.Path()), 300, 200);
  h.list->SetAutoscroll(true);
  SendMessageA(h.Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  SendMessageA(h.Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  const int top = GetScrollPos(h.Handle(), SB_VERT);
  ASSERT_GT(top, 0);
  SendMessageA(h.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
  EXPECT_EQ(GetScrollPos(h.Handle(), SB_VERT), top) << "the middle does not scroll";
  SendMessageA(h.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(100, 1));
  EXPECT_EQ(GetScrollPos(h.Handle(), SB_VERT), top - 1);
  h.list->SetAutoscroll(false);
  SendMessageA(h.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(100, 1));
  EXPECT_EQ(GetScrollPos(h.Handle(), SB_VERT), top - 1);
}

// The folder dialog keeps the 500 ms delay: its preselected folder and the
// user's first click come while the tree still reads at once, and must be
// watched all the same.
TEST(SystemTreeView, WithTheDialogsDelayThePreselectedFolderAndTheFirstClickAreWatched) {
  TFolderTree tree;
  THostedTree h([&](TQsSystemTreeView& t) {
    t.SetRootFolder(TRootFolder::rfCustom);
    t.SetCustomDir(tree.Path());
    t.SetShowHiddenDirs(false);
    t.SetSelection(tree.Path("a\\a2"));
  });
  ASSERT_EQ(h.list->ReadDelay(), 500);
  ASSERT_EQ(h.list->Selection(), tree.Path("a\\a2"));
  EXPECT_EQ(h.list->WatchedFolder(), tree.Path("a\\a2"));
  Child(h.list->Selected()->Parent(), "a1")->SetSelected(true);
  ASSERT_EQ(h.list->WatchedFolder(), tree.Path("a\\a1"));
  WaitForTheWatch(*h.list);
  // Moved away, as in WhenTheSelectedFolderGoesTheParentIsSelected.
  ASSERT_TRUE(MoveFileA(tree.Path("a\\a1").c_str(), tree.Path("a1-moved").c_str())) << GetLastError();
  ASSERT_TRUE(PumpUntil([&] { return h.list->Selection() == tree.Path("a"); }, 10000));
  EXPECT_EQ(ChildTexts(h.list->Selected()), std::vector<std::string>{"a2"});
}

// The nodes below a renamed folder name it by its new name, whether they
// were showing or only read before.
TEST(SystemTreeView, RenamingAFolderGivesEveryNodeBelowItTheNewPath) {
  TFolderTree tree;
  THostedTree h(CustomRoot(tree.Path()));
  TTreeNode* a = Child(h.list->GetFirstNode(), "a");
  a->Expand();
  RenameInPlace(*h.list, a, "a-new");
  ASSERT_TRUE(fs::is_directory(tree.dir.Path() / "a-new"));
  EXPECT_TRUE(a->Expanded());
  ASSERT_EQ(ChildTexts(a), (std::vector<std::string>{"a1", "a2"}));
  Child(a, "a1")->SetSelected(true);
  EXPECT_EQ(h.list->Selection(), tree.Path("a-new\\a1"));

  a->Collapse();
  RenameInPlace(*h.list, a, "a-bis");
  ASSERT_TRUE(fs::is_directory(tree.dir.Path() / "a-bis"));
  EXPECT_TRUE(a->HasChildren());
  a->Expand();
  Child(a, "a2")->SetSelected(true);
  EXPECT_EQ(h.list->Selection(), tree.Path("a-bis\\a2"));
}

// A linked list shows the files: a new file in the selected folder is a
// change worth reading again, as it is with ShowFiles.
TEST(SystemTreeView, WithALinkedListANewFileInTheSelectedFolderIsReadAgain) {
  TFolderTree tree;
  THostedTree h(CustomRoot(tree.Path()));
  auto* list = &h.form->Make<controls::TQsCustomSystemListView>("ShellList");
  h.list->SetListView(list);
  TTreeNode* a = Child(h.list->GetFirstNode(), "a");
  a->Expand();
  a->SetSelected(true);
  ASSERT_EQ(h.list->WatchedFolder(), tree.Path("a"));
  int reads = 0;
  h.list->OnPopulated = [&](fw::TComponent&, TTreeNode* n) { reads += n == a; };
  WaitForTheWatch(*h.list);
  std::ofstream(tree.dir.Path() / "a" / "new.txt") << "n";
  EXPECT_TRUE(PumpUntil([&] { return reads > 0; }, 5000));
  EXPECT_EQ(list->FolderPath(), tree.Path("a"));
}

// Who offers which menu on a right click, over a node and below the last
// one: the shell's for the node with pmmContext and pmmContextUser, the
// control's own only with pmmUser, or with pmmContextUser where the shell
// gives none.
TEST(SystemTreeView, EachPopupMethodOffersItsOwnMenus) {
  using controls::TPopupMenuMethod;
  TFolderTree tree;
  THostedTree h(CustomRoot(tree.Path()));
  int shellMenus = 0, ownMenus = 0;
  controls::detail::SetMenuTracker([&](HMENU, HWND, int, int) -> UINT {
    ++shellMenus;
    return 0;
  });
  auto& own = h.form->Make<fw::TPopupMenu>("TreeMenu");
  own.AddItem("Ouvrir", "Ouvrir");
  // Counted before the menu's loop runs, which a key posted to this thread
  // ends: the loop takes keys from the thread's queue whatever window is
  // active or under the pointer. Should the menu end first for another
  // reason (a cancel mode, a click elsewhere), the count stands and Pump
  // gives the left-over key to the tree.
  own.OnPopup = [&](fw::TComponent&) {
    ++ownMenus;
    PostMessageA(h.Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
  };
  h.list->SetPopupMenu(&own);
  TTreeNode* b = Child(h.list->GetFirstNode(), "b");
  const fw::TRect r = b->DisplayRect(true);
  POINT onNode{r.Left + 2, r.Top + 2}, below{r.Left + 2, h.list->Height() - 4};
  ClientToScreen(h.Handle(), &onNode);
  ClientToScreen(h.Handle(), &below);
  ASSERT_EQ(h.list->GetNodeAt(r.Left + 2, h.list->Height() - 4), nullptr);
  // The shell of this system may give no menu for a folder: then only the
  // counts of the control's own menu say anything for a node.
  SendMessageA(h.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h.Handle()), MAKELPARAM(onNode.x, onNode.y));
  const bool shellGivesMenus = shellMenus > 0;
  struct TCase {
    TPopupMenuMethod method;
    int shellOnNode, ownOnNode, ownBelow;
  };
  const TCase cases[] = {
      {TPopupMenuMethod::pmmNone, 0, 0, 0},
      {TPopupMenuMethod::pmmContext, 1, 0, 0},
      {TPopupMenuMethod::pmmUser, 0, 1, 1},
      {TPopupMenuMethod::pmmContextUser, 1, shellGivesMenus ? 0 : 1, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.method));
    h.list->SetPopupMenuMethod(c.method);
    shellMenus = ownMenus = 0;
    SendMessageA(h.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h.Handle()), MAKELPARAM(onNode.x, onNode.y));
    Pump();
    if (shellGivesMenus) {
      EXPECT_EQ(shellMenus, c.shellOnNode);
    }
    EXPECT_EQ(ownMenus, c.ownOnNode);
    shellMenus = ownMenus = 0;
    SendMessageA(h.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h.Handle()), MAKELPARAM(below.x, below.y));
    Pump();
    EXPECT_EQ(shellMenus, 0);
    EXPECT_EQ(ownMenus, c.ownBelow);
  }
  controls::detail::SetMenuTracker({});
  h.list->SetPopupMenu(nullptr);
}

// A change report already on its way when its node, or its whole tree,
// goes: the report must find nothing to act on. A watcher that saw its
// change closes its handle, then hands the report over with a message sent
// to this thread; both are waited for here without taking the message.
namespace {
bool WaitForAQueuedReport(int handlesLeft) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (controls::TFileChangeThread::OpenHandleCount() > handlesLeft) {
    if (std::chrono::steady_clock::now() > end) return false;
    Sleep(1);
  }
  while (!(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE)) {
    if (std::chrono::steady_clock::now() > end) return false;
    Sleep(1);
  }
  return true;
}
}  // namespace

TEST(SystemTreeView, AReportQueuedForADeletedNodeOrAGoneTreeDoesNothing) {
  TFolderTree tree;
  {
    THostedTree h(CustomRoot(tree.Path()));
    h.list->SetSelection(tree.Path("a\\a1"));
    ASSERT_EQ(h.list->WatchedFolder(), tree.Path("a\\a1"));
    WaitForTheWatch(*h.list);
    fs::create_directory(tree.dir.Path() / "a" / "a1" / "x");
    ASSERT_TRUE(WaitForAQueuedReport(1));
    // The selection may not leave the deleted node, whose change would stop
    // the watch too: only the deletion itself stops it here.
    int changes = 0;
    h.list->OnChanging = [](fw::TComponent&, TTreeNode*, bool& allow) { allow = false; };
    h.list->OnChange = [&](fw::TComponent&, TTreeNode*) { ++changes; };
    TTreeNode* a = h.list->Selected()->Parent();
    h.list->Selected()->Delete();
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(h.list->WatchedFolder(), "");
    EXPECT_FALSE(h.list->WatchingParent());
    // Both watchers end once the report has been handed over (and dropped).
    ASSERT_TRUE(PumpUntil([] { return controls::TFileChangeThread::InstanceCount() == 0; }, 10000));
    EXPECT_EQ(ChildTexts(a), std::vector<std::string>{"a2"}) << "the report re-read nothing";
    EXPECT_EQ(h.list->WatchedFolder(), "");
    h.list->OnChanging = nullptr;
    h.list->OnChange = nullptr;
  }
  {
    auto* h = new THostedTree(CustomRoot(tree.Path()));
    h->list->SetSelection(tree.Path("a\\a2"));
    ASSERT_EQ(h->list->WatchedFolder(), tree.Path("a\\a2"));
    WaitForTheWatch(*h->list);
    fs::create_directory(tree.dir.Path() / "a" / "a2" / "y");
    ASSERT_TRUE(WaitForAQueuedReport(1));
    delete h;
  }
  // Handed over after the tree is gone: dropped, and the watchers end.
  EXPECT_TRUE(PumpUntil([] { return controls::TFileChangeThread::InstanceCount() == 0; }, 10000));
}

// A list linked, or unlinked, while the selected folder is watched changes
// what the watch waits for at once, not at the next selection.
TEST(SystemTreeView, LinkingAListToAWatchingTreeWatchesTheFilesToo) {
  TFolderTree tree;
  THostedTree h(CustomRoot(tree.Path()));
  TTreeNode* a = Child(h.list->GetFirstNode(), "a");
  a->Expand();
  a->SetSelected(true);
  ASSERT_EQ(h.list->WatchedFolder(), tree.Path("a"));
  EXPECT_EQ(h.list->WatchedChanges(), controls::fcDirName);
  auto* list = &h.form->Make<controls::TQsCustomSystemListView>("ShellList");
  h.list->SetListView(list);
  EXPECT_EQ(h.list->WatchedFolder(), tree.Path("a"));
  EXPECT_NE(h.list->WatchedChanges() & controls::fcFileName, 0);
  int reads = 0;
  h.list->OnPopulated = [&](fw::TComponent&, TTreeNode* n) { reads += n == a; };
  WaitForTheWatch(*h.list);
  std::ofstream(tree.dir.Path() / "a" / "new.txt") << "n";
  EXPECT_TRUE(PumpUntil([&] { return reads > 0; }, 10000));
  ASSERT_EQ(h.list->WatchedFolder(), tree.Path("a"));
  h.list->SetListView(nullptr);
  EXPECT_EQ(h.list->WatchedChanges(), controls::fcDirName);
  h.list->SetListView(list);
  EXPECT_NE(h.list->WatchedChanges() & controls::fcFileName, 0);
  // A list that goes takes its files out of the watch with it.
  delete list;
  EXPECT_EQ(h.list->ListView(), nullptr);
  EXPECT_EQ(h.list->WatchedChanges(), controls::fcDirName);
}

// The shell menu's loop hands watcher reports over: one may re-read the
// parent and free the node the menu was opened for. A rename picked then
// edits no node at all (not one that took the freed node's place), and
// the freed node is not read: its pages are gone.
TEST(SystemTreeView, ANodeFreedWhileItsShellMenuIsOpenIsNotEditedAfterwards) {
  TGuardedHeap guard;
  TFolderTree tree;
  THostedTree h(CustomRoot(tree.Path()));
  ASSERT_GT(TGuardedHeap::LiveBlocks(), 0) << "the nodes come from the page heap";
  TTreeNode* b = Child(h.list->GetFirstNode(), "b");
  b->SetSelected(true);
  ASSERT_EQ(h.list->WatchedFolder(), tree.Path("b"));
  const fw::TRect r = b->DisplayRect(true);
  POINT at{r.Left + 2, r.Top + 2};
  ClientToScreen(h.Handle(), &at);
  bool gone = false;
  h.list->OnDeletion = [&](fw::TComponent&, TTreeNode* n) { gone = gone || n == b; };
  int menus = 0;
  bool moveAway = false;
  struct TTrackerReset {
    ~TTrackerReset() { controls::detail::SetMenuTracker({}); }
  } reset;
  controls::detail::SetMenuTracker([&](HMENU menu, HWND helper, int, int) -> UINT {
    ++menus;
    // Rename by its verb; else the number that stands for it in a menu
    // naming no verb, when no command of this menu has that number.
    UINT rename = 0;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      const UINT id = GetMenuItemID(menu, i);
      if (id == 0 || id == static_cast<UINT>(-1)) continue;
      SendMessageA(helper, WM_MENUSELECT, MAKEWPARAM(id, MF_STRING), reinterpret_cast<LPARAM>(menu));
      const std::string hint = App().Hint();
      if (_stricmp(hint.substr(0, hint.find('|')).c_str(), "rename") == 0) rename = id;
    }
    SendMessageA(helper, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    if (rename == 0 && GetMenuState(menu, controls::kRenameCommand, MF_BYCOMMAND) == static_cast<UINT>(-1))
      rename = controls::kRenameCommand;
    if (moveAway) {
      // Moved away, not deleted (Wine keeps a deleted folder that a change
      // handle holds), and the report taken as the menu's loop takes it.
      EXPECT_TRUE(MoveFileA(tree.Path("b").c_str(), tree.Path("a\\b-moved").c_str())) << GetLastError();
      EXPECT_TRUE(PumpUntil([&] { return gone && h.list->Selection() == tree.Path(); }, 10000));
    }
    return rename;
  });
  SendMessageA(h.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h.Handle()), MAKELPARAM(at.x, at.y));
  if (menus == 0 || !h.list->IsEditing())
    GTEST_SKIP() << "the shell gives no menu with a rename command for folders here";
  SendMessageA(h.Handle(), TVM_ENDEDITLABELNOW, TRUE, 0);
  ASSERT_EQ(h.list->WatchedFolder(), tree.Path("b"));
  WaitForTheWatch(*h.list);
  moveAway = true;
  SendMessageA(h.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(h.Handle()), MAKELPARAM(at.x, at.y));
  h.list->OnDeletion = nullptr;
  EXPECT_EQ(menus, 2);
  EXPECT_TRUE(gone);
  EXPECT_FALSE(h.list->IsEditing());
  EXPECT_EQ(h.list->Selection(), tree.Path());
}
