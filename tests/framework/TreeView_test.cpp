// The framework's tree view in a test window: node family and state, the
// expand hooks asked once from code and able to refuse, deletion hooks for
// whole subtrees, sorting one level or all, and node objects released when
// the window is re-created.
#include <gtest/gtest.h>

#include "framework/Form.h"
#include "framework/TreeView.h"
#include "tests/framework/FwTestSupport.h"

using namespace qv;
using fw::TTreeNode;
using fw::test::TestApp;

namespace {

// A shown form holding one tree, made inside the form's layout.
class TTreeForm : public fw::TForm {
public:
  TTreeForm() : TForm(&TestApp(), "TTreeHostForm") {
    SetCaption("Arbre");
    SetClientSize(320, 400);
    Tree = &Make<fw::TTreeView>("Tree");
    Tree->Place(this, 8, 8, 304, 384);
    FinishCreate();
  }
  fw::TTreeView* Tree = nullptr;
};

struct THostedTree {
  THostedTree() : form(new TTreeForm), tree(form->Tree) {
    form->Show();
    TestApp().ProcessMessages();
  }
  ~THostedTree() { delete form; }
  THostedTree(const THostedTree&) = delete;
  THostedTree& operator=(const THostedTree&) = delete;
  TTreeForm* form;
  fw::TTreeView* tree;
};

std::vector<std::string> Texts(TTreeNode* first) {
  std::vector<std::string> out;
  for (TTreeNode* n = first; n; n = n->GetNextSibling()) out.push_back(n->Text());
  return out;
}

}  // namespace

TEST(TreeView, NodesKnowTheirFamilyTextAndImages) {
  THostedTree h;
  fw::TTreeView& tv = *h.tree;
  TTreeNode* root = tv.AddChild(nullptr, "Racine");
  TTreeNode* a = tv.AddChild(root, "Été");
  TTreeNode* b = tv.AddChild(root, "Hiver");
  TTreeNode* a1 = tv.AddChild(a, "Juillet");
  ASSERT_TRUE(root && a && b && a1);
  EXPECT_EQ(tv.GetFirstNode(), root);
  EXPECT_EQ(a->Parent(), root);
  EXPECT_EQ(root->GetFirstChild(), a);
  EXPECT_EQ(a->GetNextSibling(), b);
  EXPECT_EQ(b->GetPrevSibling(), a);
  EXPECT_EQ(root->Count(), 2);
  EXPECT_EQ(a1->Level(), 2);
  EXPECT_EQ(a->Text(), "Été");
  a->SetImageIndex(3);
  a->SetSelectedIndex(4);
  a->SetOverlayIndex(1);
  EXPECT_EQ(a->ImageIndex(), 3);
  EXPECT_EQ(a->SelectedIndex(), 4);
  EXPECT_EQ(a->OverlayIndex(), 1);
  b->SetHasChildren(true);
  EXPECT_TRUE(b->HasChildren());
  EXPECT_EQ(b->Count(), 0);
  a1->SetSelected(true);
  EXPECT_EQ(tv.Selected(), a1);
  EXPECT_EQ(tv.NodeCount(), 4);
}

TEST(TreeView, ExpandingFromCodeAsksTheHooksOnceAndARefusalKeepsTheNodeClosed) {
  THostedTree h;
  fw::TTreeView& tv = *h.tree;
  TTreeNode* root = tv.AddChild(nullptr, "Racine");
  tv.AddChild(root, "Enfant");
  int asked = 0, expanded = 0;
  bool allow = false;
  tv.OnExpanding = [&](fw::TComponent&, TTreeNode*, bool& ok) {
    ++asked;
    ok = allow;
  };
  tv.OnExpanded = [&](fw::TComponent&, TTreeNode*) { ++expanded; };
  root->Expand();
  EXPECT_FALSE(root->Expanded());
  allow = true;
  root->Expand();
  EXPECT_TRUE(root->Expanded());
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(expanded, 1);
  root->Expand();  // already open: nothing asked
  EXPECT_EQ(asked, 2);
}

TEST(TreeView, DeletingANodeTellsTheHookOfItAndOfEveryChild) {
  THostedTree h;
  fw::TTreeView& tv = *h.tree;
  TTreeNode* root = tv.AddChild(nullptr, "Racine");
  TTreeNode* a = tv.AddChild(root, "a");
  tv.AddChild(a, "a1");
  tv.AddChild(a, "a2");
  tv.AddChild(root, "b");
  std::vector<std::string> gone;
  tv.OnDeletion = [&](fw::TComponent&, TTreeNode* n) { gone.push_back(n->Text()); };
  a->Delete();
  std::sort(gone.begin(), gone.end());
  EXPECT_EQ(gone, (std::vector<std::string>{"a", "a1", "a2"}));
  EXPECT_EQ(tv.NodeCount(), 2);
  EXPECT_EQ(Texts(root->GetFirstChild()), std::vector<std::string>{"b"});
  tv.Clear();
  EXPECT_EQ(tv.NodeCount(), 0);
  EXPECT_EQ(gone.size(), 5u);
}

TEST(TreeView, SortingOneLevelLeavesDeeperLevelsAndSortingAllReachesThem) {
  THostedTree h;
  fw::TTreeView& tv = *h.tree;
  TTreeNode* root = tv.AddChild(nullptr, "Racine");
  TTreeNode* c = tv.AddChild(root, "c");
  tv.AddChild(root, "a");
  tv.AddChild(root, "b");
  tv.AddChild(c, "z");
  tv.AddChild(c, "y");
  const fw::TTreeNodeCompare byText = [](TTreeNode* x, TTreeNode* y) { return x->Text().compare(y->Text()); };
  ASSERT_TRUE(tv.SortChildren(root, byText));
  EXPECT_EQ(Texts(root->GetFirstChild()), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(Texts(c->GetFirstChild()), (std::vector<std::string>{"z", "y"}));
  tv.CustomSort([](TTreeNode* x, TTreeNode* y) { return y->Text().compare(x->Text()); });
  EXPECT_EQ(Texts(root->GetFirstChild()), (std::vector<std::string>{"c", "b", "a"}));
  EXPECT_EQ(Texts(c->GetFirstChild()), (std::vector<std::string>{"z", "y"}));
  tv.AlphaSort();
  EXPECT_EQ(Texts(c->GetFirstChild()), (std::vector<std::string>{"y", "z"}));
}

TEST(TreeView, ReCreatingTheWindowReleasesEveryNodeThroughTheHook) {
  THostedTree h;
  fw::TTreeView& tv = *h.tree;
  TTreeNode* root = tv.AddChild(nullptr, "Racine");
  tv.AddChild(root, "a");
  int gone = 0;
  tv.OnDeletion = [&](fw::TComponent&, TTreeNode*) { ++gone; };
  tv.SetShowLines(false);  // a style change re-creates the window
  EXPECT_EQ(gone, 2);
  EXPECT_EQ(tv.NodeCount(), 0);
  EXPECT_TRUE(tv.HandleAllocated());
  EXPECT_EQ(GetWindowLongA(tv.Handle(), GWL_STYLE) & TVS_HASLINES, 0);
  EXPECT_NE(tv.AddChild(nullptr, "Nouveau"), nullptr);
}
