// The shell list view and combo box linked with a folder tree: links made
// both ways and dropped when a control is freed, each control following
// the tree's selection, and the tree following theirs.
#include "controls/shell/SystemFolderControls.h"

#include <gtest/gtest.h>

#include "controls/shell/SystemTreeView.h"
#include "tests/common/ListViewHost.h"

namespace fs = std::filesystem;
using namespace qv;
using namespace qv::test;
using controls::TQsCustomSystemComboBox;
using controls::TQsCustomSystemListView;
using controls::TQsSystemTreeView;
using fw::TTreeNode;

namespace {

TTreeNode* Child(TTreeNode* node, const std::string& text) {
  for (TTreeNode* c = node ? node->GetFirstChild() : nullptr; c; c = c->GetNextSibling())
    if (c->Text() == text) return c;
  return nullptr;
}

}  // namespace

TEST(SystemFolderControls, ListAndComboFollowTheTreeAndTheTreeFollowsThem) {
  TTempDir dir;
  fs::create_directories(dir.Path() / "a");
  fs::create_directories(dir.Path() / "b");
  THostedList<TQsSystemTreeView> h([&](TQsSystemTreeView& t) {
    t.SetRootFolder(controls::TRootFolder::rfCustom);
    t.SetCustomDir(AnsiPath(dir.Path()));
    t.SetReadDelay(0);
  });
  TQsSystemTreeView& tree = *h.list;
  auto* list = &h.form->Make<TQsCustomSystemListView>("ShellList");
  auto* combo = &h.form->Make<TQsCustomSystemComboBox>("ShellCombo");
  EXPECT_GT(list->SystemSmallImages().Count(), 0);
  EXPECT_GT(combo->SystemSmallImages().Count(), 0);

  tree.SetListView(list);
  EXPECT_EQ(list->TreeView(), &tree) << "linked both ways";
  combo->SetTreeView(&tree);
  EXPECT_EQ(tree.ComboBox(), combo);
  list->SetComboBox(combo);
  EXPECT_EQ(combo->ListView(), list);

  TTreeNode* root = tree.GetFirstNode();
  TTreeNode* a = Child(root, "a");
  TTreeNode* b = Child(root, "b");
  ASSERT_TRUE(a && b);
  a->SetSelected(true);
  Pump();
  EXPECT_EQ(list->FolderPath(), AnsiPath(dir.Path() / "a"));
  EXPECT_EQ(combo->FolderPath(), AnsiPath(dir.Path() / "a"));
  EXPECT_EQ(combo->Items(), std::vector<std::string>{AnsiPath(dir.Path() / "a")});

  // A folder chosen in the list: the tree selects it, the combo follows.
  list->SetFolder(tree.NodeData(b)->Absolute());
  Pump();
  EXPECT_EQ(tree.Selected(), b);
  EXPECT_EQ(combo->FolderPath(), AnsiPath(dir.Path() / "b"));
  // And one chosen in the combo box.
  combo->SetFolder(tree.NodeData(a)->Absolute());
  Pump();
  EXPECT_EQ(tree.Selected(), a);
  EXPECT_EQ(list->FolderPath(), AnsiPath(dir.Path() / "a"));

  // A freed control leaves no link behind.
  delete combo;
  EXPECT_EQ(tree.ComboBox(), nullptr);
  EXPECT_EQ(list->ComboBox(), nullptr);
  tree.SetListView(nullptr);
  EXPECT_EQ(list->TreeView(), nullptr);
  b->SetSelected(true);
  Pump();
  EXPECT_EQ(list->FolderPath(), AnsiPath(dir.Path() / "a")) << "an unlinked list no longer follows";
  list->SetTreeView(&tree);
  EXPECT_EQ(tree.ListView(), list);
  EXPECT_EQ(list->FolderPath(), AnsiPath(dir.Path() / "b")) << "a new link takes the tree's folder";
  delete list;
  EXPECT_EQ(tree.ListView(), nullptr);
}
