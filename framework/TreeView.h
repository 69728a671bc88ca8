// TCustomTreeView: the platform's "SysTreeView32" with node objects. Every
// item has one TTreeNode (its lParam), owned by the tree and freed when the
// item goes, after the Delete hook (OnDeletion) has seen it. Nodes are not
// kept across a re-creation of the window: a control that re-creates its
// window rebuilds its nodes. Texts are cp1252.
//
//   auto& tv = form.Make<TTreeView>("Tree");
//   TTreeNode* root = tv.AddChild(nullptr, "Racine");
//   tv.AddChild(root, "Enfant")->MakeVisible();
//
// Expanding or collapsing from code (TTreeNode::Expand) asks the same
// CanExpand/Expanded hooks as the user's clicks, once. Main thread only.
// Tested by tests/framework/TreeView_test.cpp.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/ImageList.h"
#include "framework/WinControl.h"

namespace qv::fw {

class TCustomTreeView;

enum class TSortType { None, Data, Text, Both };

class TTreeNode {
public:
  TTreeNode(const TTreeNode&) = delete;
  TTreeNode& operator=(const TTreeNode&) = delete;

  TCustomTreeView& TreeView() const { return m_tree; }
  HTREEITEM ItemId() const { return m_item; }

  std::string Text() const;
  void SetText(const std::string& text);
  void* Data() const { return m_data; }
  void SetData(void* data) { m_data = data; }
  int ImageIndex() const;
  void SetImageIndex(int index);
  int SelectedIndex() const;
  void SetSelectedIndex(int index);
  // -1: no overlay; else the image list's overlay 0..14.
  int OverlayIndex() const;
  void SetOverlayIndex(int index);
  // The "+" mark, whether or not child items exist yet.
  bool HasChildren() const;
  void SetHasChildren(bool v);

  // --- Family
  TTreeNode* Parent() const;
  TTreeNode* GetFirstChild() const;
  TTreeNode* GetNextSibling() const;
  TTreeNode* GetPrevSibling() const;
  int Count() const;  // child items present now
  int Level() const;

  // --- State
  bool Expanded() const;
  void Expand(bool recurse = false);
  void Collapse(bool recurse = false);
  bool Selected() const;
  void SetSelected(bool v);
  void MakeVisible();
  // Starts editing the label (false when the tree refuses).
  bool EditText();
  TRect DisplayRect(bool textOnly) const;

  // Deletes the node (and its children); the object is gone afterwards.
  void Delete();
  void DeleteChildren();

private:
  friend class TCustomTreeView;
  TTreeNode(TCustomTreeView& tree, HTREEITEM item) : m_tree(tree), m_item(item) {}
  UINT State(UINT mask) const;
  int ItemInt(UINT mask) const;

  TCustomTreeView& m_tree;
  HTREEITEM m_item;
  void* m_data = nullptr;
};

using TTreeNodeEvent = std::function<void(TComponent& sender, TTreeNode* node)>;
using TTreeNodeAllowEvent = std::function<void(TComponent& sender, TTreeNode* node, bool& allow)>;
// Negative, zero or positive as in strcmp.
using TTreeNodeCompare = std::function<int(TTreeNode* a, TTreeNode* b)>;

class TCustomTreeView : public TWinControl {
public:
  explicit TCustomTreeView(TComponent* owner);
  ~TCustomTreeView() override;

  // --- Items
  // A new last child of parent (a top-level node when parent is null);
  // null when the control refuses it.
  TTreeNode* AddChild(TTreeNode* parent, const std::string& text, void* data = nullptr);
  TTreeNode* GetFirstNode() const;  // the first top-level node
  TTreeNode* NodeFromItem(HTREEITEM item) const;
  int NodeCount() const { return static_cast<int>(m_nodes.size()); }
  // Every node object there is, in no particular order.
  std::vector<TTreeNode*> AllNodes() const;
  void Clear();
  TTreeNode* Selected() const;
  void SetSelected(TTreeNode* node);
  TTreeNode* GetNodeAt(int x, int y) const;
  bool IsEditing() const;
  // Redrawing waits until the last EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  bool Updating() const { return m_updating > 0; }

  // --- Sorting: the top level, then the children of every node.
  TSortType SortType() const { return m_sortType; }
  void SetSortType(TSortType t);
  bool AlphaSort();
  bool CustomSort(const TTreeNodeCompare& compare);
  // The children of one node (the top level for null), not deeper.
  bool SortChildren(TTreeNode* parent, const TTreeNodeCompare& compare);

  // --- Appearance (style changes re-create the window)
  int Indent() const { return m_indent; }
  void SetIndent(int v);
  bool ShowButtons() const { return m_showButtons; }
  void SetShowButtons(bool v);
  bool ShowLines() const { return m_showLines; }
  void SetShowLines(bool v);
  bool ShowRoot() const { return m_showRoot; }
  void SetShowRoot(bool v);
  bool ReadOnly() const { return m_readOnly; }
  void SetReadOnly(bool v);
  bool HideSelection() const { return m_hideSelection; }
  void SetHideSelection(bool v);
  TImageList* Images() const { return m_imagesLink.Images(); }
  void SetImages(TImageList* list);

  // --- Events (the hooks below run them)
  TTreeNodeAllowEvent OnChanging;
  TTreeNodeEvent OnChange;
  TTreeNodeAllowEvent OnExpanding;
  TTreeNodeEvent OnExpanded;
  TTreeNodeAllowEvent OnCollapsing;
  TTreeNodeEvent OnCollapsed;
  TTreeNodeAllowEvent OnEditing;
  std::function<void(TComponent& sender, TTreeNode* node, std::string& text)> OnEdited;
  TTreeNodeEvent OnDeletion;
  TTreeNodeCompare OnCompare;

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  bool CNNotify(NMHDR* hdr, LRESULT& result) override;
  // The window is about to go (its items with it).
  virtual void WindowDestroying() {}
  // Re-creates an existing window (style changes).
  void RecreateWnd();

  // --- Overridable hooks; the defaults run the events.
  virtual bool CanChange(TTreeNode* node);
  virtual void Change(TTreeNode* node);
  virtual bool CanExpand(TTreeNode& node);
  virtual void Expand(TTreeNode& node);
  virtual bool CanCollapse(TTreeNode& node);
  virtual void Collapse(TTreeNode& node);
  virtual bool CanEdit(TTreeNode& node);
  // The label edit ended with text; the default gives it to OnEdited and
  // then to the node.
  virtual void Edit(TTreeNode& node, const std::string& text);
  // The node is going; its object is freed right after.
  virtual void Delete(TTreeNode& node);
  // Frees every node object, each through Delete (destructors and window
  // ends, when the control's own notifications no longer come).
  void ReleaseAllNodes();

private:
  friend class TTreeNode;
  void ApplyIndent();
  void ApplyImages();
  void DeleteItem(HTREEITEM item);
  void ReleaseNode(HTREEITEM item);
  void CollectSubtree(HTREEITEM item, std::vector<HTREEITEM>& out) const;
  void ExpandNode(TTreeNode& node, UINT action);
  static int CALLBACK SortProc(LPARAM a, LPARAM b, LPARAM self);
  static int DefaultCompare(TTreeNode* a, TTreeNode* b, TSortType type);

  std::unordered_map<HTREEITEM, std::unique_ptr<TTreeNode>> m_nodes;
  TImageChangeLink m_imagesLink;
  TSortType m_sortType = TSortType::None;
  int m_indent = 19;
  bool m_showButtons = true, m_showLines = true, m_showRoot = true;
  bool m_readOnly = false, m_hideSelection = true;
  int m_updating = 0;
  // Set while code expands or collapses: the hooks run once, from there.
  bool m_manualNotify = false;
  const TTreeNodeCompare* m_sortCompare = nullptr;
};

// The plain tree view of layouts.
class TTreeView : public TCustomTreeView {
public:
  explicit TTreeView(TComponent* owner) : TCustomTreeView(owner) {}
};

}  // namespace qv::fw
