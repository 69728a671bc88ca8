// The tree view base over "SysTreeView32".
#include "framework/TreeView.h"

#include <algorithm>
#include <cstring>

namespace qv::fw {

namespace {

std::string ItemText(HWND tree, HTREEITEM item) {
  char buf[1024] = {};
  TVITEMA it{};
  it.mask = TVIF_TEXT | TVIF_HANDLE;
  it.hItem = item;
  it.pszText = buf;
  it.cchTextMax = sizeof buf;
  if (!tree || !SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it))) return {};
  return buf;
}

// MinGW's commctrl.h lacks it.
constexpr UINT kExpandActionMask = 0x0003;

HTREEITEM NextItem(HWND tree, HTREEITEM item, UINT code) {
  if (!tree) return nullptr;
  return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
}

}  // namespace

// ---------------------------------------------------------------- TTreeNode

UINT TTreeNode::State(UINT mask) const {
  HWND h = m_tree.HandleIfAllocated();
  if (!h) return 0;
  return static_cast<UINT>(SendMessageA(h, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(m_item), mask));
}

int TTreeNode::ItemInt(UINT mask) const {
  TVITEMA it{};
  it.mask = mask | TVIF_HANDLE;
  it.hItem = m_item;
  HWND h = m_tree.HandleIfAllocated();
  if (!h || !SendMessageA(h, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it))) return -1;
  if (mask == TVIF_IMAGE) return it.iImage;
  if (mask == TVIF_SELECTEDIMAGE) return it.iSelectedImage;
  if (mask == TVIF_CHILDREN) return it.cChildren;
  return -1;
}

std::string TTreeNode::Text() const { return ItemText(m_tree.HandleIfAllocated(), m_item); }

void TTreeNode::SetText(const std::string& text) {
  TVITEMA it{};
  it.mask = TVIF_TEXT | TVIF_HANDLE;
  it.hItem = m_item;
  it.pszText = const_cast<char*>(text.c_str());
  if (HWND h = m_tree.HandleIfAllocated()) SendMessageA(h, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
}

int TTreeNode::ImageIndex() const { return ItemInt(TVIF_IMAGE); }
int TTreeNode::SelectedIndex() const { return ItemInt(TVIF_SELECTEDIMAGE); }

void TTreeNode::SetImageIndex(int index) {
  TVITEMA it{};
  it.mask = TVIF_IMAGE | TVIF_HANDLE;
  it.hItem = m_item;
  it.iImage = index;
  if (HWND h = m_tree.HandleIfAllocated()) SendMessageA(h, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
}

void TTreeNode::SetSelectedIndex(int index) {
  TVITEMA it{};
  it.mask = TVIF_SELECTEDIMAGE | TVIF_HANDLE;
  it.hItem = m_item;
  it.iSelectedImage = index;
  if (HWND h = m_tree.HandleIfAllocated()) SendMessageA(h, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
}

int TTreeNode::OverlayIndex() const {
  const UINT overlay = (State(TVIS_OVERLAYMASK) & TVIS_OVERLAYMASK) >> 8;
  return static_cast<int>(overlay) - 1;
}

void TTreeNode::SetOverlayIndex(int index) {
  TVITEMA it{};
  it.mask = TVIF_STATE | TVIF_HANDLE;
  it.hItem = m_item;
  it.stateMask = TVIS_OVERLAYMASK;
  it.state = index >= 0 && index < 15 ? INDEXTOOVERLAYMASK(index + 1) : 0;
  if (HWND h = m_tree.HandleIfAllocated()) SendMessageA(h, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
}

bool TTreeNode::HasChildren() const { return ItemInt(TVIF_CHILDREN) > 0; }

void TTreeNode::SetHasChildren(bool v) {
  TVITEMA it{};
  it.mask = TVIF_CHILDREN | TVIF_HANDLE;
  it.hItem = m_item;
  it.cChildren = v ? 1 : 0;
  if (HWND h = m_tree.HandleIfAllocated()) SendMessageA(h, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
}

TTreeNode* TTreeNode::Parent() const {
  return m_tree.NodeFromItem(NextItem(m_tree.HandleIfAllocated(), m_item, TVGN_PARENT));
}

TTreeNode* TTreeNode::GetFirstChild() const {
  return m_tree.NodeFromItem(NextItem(m_tree.HandleIfAllocated(), m_item, TVGN_CHILD));
}

TTreeNode* TTreeNode::GetNextSibling() const {
  return m_tree.NodeFromItem(NextItem(m_tree.HandleIfAllocated(), m_item, TVGN_NEXT));
}

TTreeNode* TTreeNode::GetPrevSibling() const {
  return m_tree.NodeFromItem(NextItem(m_tree.HandleIfAllocated(), m_item, TVGN_PREVIOUS));
}

int TTreeNode::Count() const {
  int n = 0;
  for (TTreeNode* c = GetFirstChild(); c; c = c->GetNextSibling()) ++n;
  return n;
}

int TTreeNode::Level() const {
  int n = 0;
  for (TTreeNode* p = Parent(); p; p = p->Parent()) ++n;
  return n;
}

bool TTreeNode::Expanded() const { return (State(TVIS_EXPANDED) & TVIS_EXPANDED) != 0; }

void TTreeNode::Expand(bool recurse) {
  m_tree.ExpandNode(*this, TVE_EXPAND);
  if (!recurse) return;
  // Breadth by an explicit list: deep trees must not deepen the stack.
  std::vector<HTREEITEM> pending;
  for (TTreeNode* c = GetFirstChild(); c; c = c->GetNextSibling()) pending.push_back(c->m_item);
  while (!pending.empty()) {
    TTreeNode* n = m_tree.NodeFromItem(pending.back());
    pending.pop_back();
    if (!n) continue;
    m_tree.ExpandNode(*n, TVE_EXPAND);
    for (TTreeNode* c = n->GetFirstChild(); c; c = c->GetNextSibling()) pending.push_back(c->m_item);
  }
}

void TTreeNode::Collapse(bool recurse) {
  if (recurse) {
    std::vector<HTREEITEM> all;
    m_tree.CollectSubtree(m_item, all);
    for (auto it = all.rbegin(); it != all.rend(); ++it)
      if (TTreeNode* n = m_tree.NodeFromItem(*it); n && n != this) m_tree.ExpandNode(*n, TVE_COLLAPSE);
  }
  m_tree.ExpandNode(*this, TVE_COLLAPSE);
}

bool TTreeNode::Selected() const { return (State(TVIS_SELECTED) & TVIS_SELECTED) != 0; }

void TTreeNode::SetSelected(bool v) {
  if (v) {
    m_tree.SetSelected(this);
  } else if (Selected()) {
    m_tree.SetSelected(nullptr);
  }
}

void TTreeNode::MakeVisible() {
  if (HWND h = m_tree.HandleIfAllocated()) SendMessageA(h, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(m_item));
}

bool TTreeNode::EditText() {
  HWND h = m_tree.HandleIfAllocated();
  if (!h) return false;
  return SendMessageA(h, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(m_item)) != 0;
}

TRect TTreeNode::DisplayRect(bool textOnly) const {
  RECT r{};
  // The control reads the item handle from the rectangle's first bytes.
  std::memcpy(&r, &m_item, sizeof m_item);
  HWND h = m_tree.HandleIfAllocated();
  if (!h || !SendMessageA(h, TVM_GETITEMRECT, textOnly ? TRUE : FALSE, reinterpret_cast<LPARAM>(&r))) return {};
  return TRect::From(r);
}

void TTreeNode::Delete() { m_tree.DeleteItem(m_item); }

void TTreeNode::DeleteChildren() {
  std::vector<HTREEITEM> children;
  for (TTreeNode* c = GetFirstChild(); c; c = c->GetNextSibling()) children.push_back(c->m_item);
  for (HTREEITEM c : children) m_tree.DeleteItem(c);
}

// ---------------------------------------------------------- TCustomTreeView

TCustomTreeView::TCustomTreeView(TComponent* owner) : TWinControl(owner) {
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
  m_imagesLink.OnChange = [this] { ApplyImages(); };
}

TCustomTreeView::~TCustomTreeView() {
  MarkDestroying();
  // Derived trees have freed what their nodes held; the objects go here.
  m_nodes.clear();
}

void TCustomTreeView::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = WC_TREEVIEWA;
  p.SystemClass = true;
  p.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_VSCROLL | WS_HSCROLL;
  if (m_showButtons) p.Style |= TVS_HASBUTTONS;
  if (m_showLines) p.Style |= TVS_HASLINES;
  if (m_showRoot) p.Style |= TVS_LINESATROOT;
  if (!m_readOnly) p.Style |= TVS_EDITLABELS;
  if (!m_hideSelection) p.Style |= TVS_SHOWSELALWAYS;
  p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomTreeView::CreateWnd() {
  TWinControl::CreateWnd();
  // Nodes left from a window that went without telling us are stale.
  if (!m_nodes.empty()) ReleaseAllNodes();
  HWND h = HandleIfAllocated();
  const COLORREF bk = ColorToRGB(EffectiveColor());
  SendMessageA(h, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(bk));
  ApplyIndent();
  ApplyImages();
}

void TCustomTreeView::RecreateWnd() {
  if (!HandleAllocated()) return;
  DestroyHandle();
  if (Parent() && Parent()->HandleAllocated()) HandleNeeded();
}

LRESULT TCustomTreeView::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    WindowDestroying();
    ReleaseAllNodes();
  }
  return TWinControl::WndProc(msg, wp, lp);
}

// --- Items

TTreeNode* TCustomTreeView::NodeFromItem(HTREEITEM item) const {
  if (!item) return nullptr;
  auto it = m_nodes.find(item);
  return it == m_nodes.end() ? nullptr : it->second.get();
}

std::vector<TTreeNode*> TCustomTreeView::AllNodes() const {
  std::vector<TTreeNode*> out;
  out.reserve(m_nodes.size());
  for (const auto& [item, node] : m_nodes) out.push_back(node.get());
  return out;
}

TTreeNode* TCustomTreeView::AddChild(TTreeNode* parent, const std::string& text, void* data) {
  HWND h = Handle();
  TVINSERTSTRUCTA ins{};
  ins.hParent = parent ? parent->m_item : TVI_ROOT;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM;
  ins.item.pszText = const_cast<char*>(text.c_str());
  // The object exists before the item, so notifications during the insert
  // already find it.
  auto node = std::unique_ptr<TTreeNode>(new TTreeNode(*this, nullptr));
  node->m_data = data;
  ins.item.lParam = reinterpret_cast<LPARAM>(node.get());
  auto item = reinterpret_cast<HTREEITEM>(SendMessageA(h, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
  if (!item) return nullptr;
  node->m_item = item;
  TTreeNode* raw = node.get();
  m_nodes[item] = std::move(node);
  return raw;
}

TTreeNode* TCustomTreeView::GetFirstNode() const { return NodeFromItem(NextItem(HandleIfAllocated(), nullptr, TVGN_ROOT)); }

void TCustomTreeView::CollectSubtree(HTREEITEM item, std::vector<HTREEITEM>& out) const {
  HWND h = HandleIfAllocated();
  std::vector<HTREEITEM> pending{item};
  while (!pending.empty()) {
    HTREEITEM cur = pending.back();
    pending.pop_back();
    out.push_back(cur);
    for (HTREEITEM c = NextItem(h, cur, TVGN_CHILD); c; c = NextItem(h, c, TVGN_NEXT)) pending.push_back(c);
  }
}

void TCustomTreeView::ReleaseNode(HTREEITEM item) {
  auto it = m_nodes.find(item);
  if (it == m_nodes.end()) return;
  // Out of the map first: a hook that asks for the node's family must not
  // see it twice.
  std::unique_ptr<TTreeNode> node = std::move(it->second);
  m_nodes.erase(it);
  Delete(*node);
}

void TCustomTreeView::DeleteItem(HTREEITEM item) {
  HWND h = HandleIfAllocated();
  if (!h || !item) return;
  std::vector<HTREEITEM> subtree;
  CollectSubtree(item, subtree);
  SendMessageA(h, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
  // The control's notifications reach us only while our parent passes
  // them on; whatever they did not release goes now.
  for (HTREEITEM i : subtree) ReleaseNode(i);
}

void TCustomTreeView::Clear() {
  HWND h = HandleIfAllocated();
  if (!h) {
    ReleaseAllNodes();
    return;
  }
  std::vector<HTREEITEM> tops;
  for (HTREEITEM i = NextItem(h, nullptr, TVGN_ROOT); i; i = NextItem(h, i, TVGN_NEXT)) tops.push_back(i);
  BeginUpdate();
  for (HTREEITEM i : tops) DeleteItem(i);
  EndUpdate();
}

void TCustomTreeView::ReleaseAllNodes() {
  while (!m_nodes.empty()) ReleaseNode(m_nodes.begin()->first);
}

TTreeNode* TCustomTreeView::Selected() const { return NodeFromItem(NextItem(HandleIfAllocated(), nullptr, TVGN_CARET)); }

void TCustomTreeView::SetSelected(TTreeNode* node) {
  if (HWND h = HandleIfAllocated())
    SendMessageA(h, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node ? node->m_item : nullptr));
}

TTreeNode* TCustomTreeView::GetNodeAt(int x, int y) const {
  HWND h = HandleIfAllocated();
  if (!h) return nullptr;
  TVHITTESTINFO hit{};
  hit.pt = POINT{x, y};
  auto item = reinterpret_cast<HTREEITEM>(SendMessageA(h, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (!(hit.flags & (TVHT_ONITEM | TVHT_ONITEMBUTTON | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT))) return nullptr;
  return NodeFromItem(item);
}

bool TCustomTreeView::IsEditing() const {
  HWND h = HandleIfAllocated();
  return h && SendMessageA(h, TVM_GETEDITCONTROL, 0, 0) != 0;
}

void TCustomTreeView::BeginUpdate() {
  if (m_updating++ == 0 && HandleAllocated()) SendMessageA(HandleIfAllocated(), WM_SETREDRAW, FALSE, 0);
}

void TCustomTreeView::EndUpdate() {
  if (m_updating == 0) return;
  if (--m_updating == 0 && HandleAllocated()) {
    SendMessageA(HandleIfAllocated(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(HandleIfAllocated(), nullptr, TRUE);
  }
}

void TCustomTreeView::ExpandNode(TTreeNode& node, UINT action) {
  HWND h = HandleIfAllocated();
  if (!h) return;
  const bool expand = action == TVE_EXPAND;
  if (node.Expanded() == expand) return;
  const bool saved = m_manualNotify;
  m_manualNotify = true;
  const HTREEITEM item = node.m_item;
  if (expand ? CanExpand(node) : CanCollapse(node)) {
    // The hook may have deleted the node (a failed re-read).
    if (TTreeNode* n = NodeFromItem(item)) {
      SendMessageA(h, TVM_EXPAND, action, reinterpret_cast<LPARAM>(item));
      if ((n = NodeFromItem(item)) != nullptr) expand ? Expand(*n) : Collapse(*n);
    }
  }
  m_manualNotify = saved;
}

// --- Sorting

void TCustomTreeView::SetSortType(TSortType t) {
  if (t == m_sortType) return;
  m_sortType = t;
  if (t != TSortType::None) AlphaSort();
}

int TCustomTreeView::DefaultCompare(TTreeNode* a, TTreeNode* b, TSortType type) {
  if (type == TSortType::Data || type == TSortType::Both) {
    if (a->Data() != b->Data()) return a->Data() < b->Data() ? -1 : 1;
    if (type == TSortType::Data) return 0;
  }
  return lstrcmpiA(a->Text().c_str(), b->Text().c_str());
}

int CALLBACK TCustomTreeView::SortProc(LPARAM a, LPARAM b, LPARAM self) {
  auto* tree = reinterpret_cast<TCustomTreeView*>(self);
  auto* na = reinterpret_cast<TTreeNode*>(a);
  auto* nb = reinterpret_cast<TTreeNode*>(b);
  if (tree->m_sortCompare && *tree->m_sortCompare) return (*tree->m_sortCompare)(na, nb);
  if (tree->OnCompare) return tree->OnCompare(na, nb);
  return DefaultCompare(na, nb, tree->m_sortType == TSortType::None ? TSortType::Text : tree->m_sortType);
}

bool TCustomTreeView::SortChildren(TTreeNode* parent, const TTreeNodeCompare& compare) {
  HWND h = HandleIfAllocated();
  if (!h) return false;
  const TTreeNodeCompare* saved = m_sortCompare;
  m_sortCompare = &compare;
  TVSORTCB sort{};
  sort.hParent = parent ? parent->m_item : TVI_ROOT;
  sort.lpfnCompare = &TCustomTreeView::SortProc;
  sort.lParam = reinterpret_cast<LPARAM>(this);
  const bool ok = SendMessageA(h, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort)) != 0;
  m_sortCompare = saved;
  return ok;
}

bool TCustomTreeView::CustomSort(const TTreeNodeCompare& compare) {
  HWND h = HandleIfAllocated();
  if (!h) return false;
  BeginUpdate();
  bool ok = SortChildren(nullptr, compare);
  for (TTreeNode* n : AllNodes())
    if (NextItem(h, n->m_item, TVGN_CHILD)) ok = SortChildren(n, compare) && ok;
  EndUpdate();
  return ok;
}

bool TCustomTreeView::AlphaSort() { return CustomSort(TTreeNodeCompare{}); }

// --- Appearance

void TCustomTreeView::SetIndent(int v) {
  if (v == m_indent) return;
  m_indent = v;
  ApplyIndent();
}

void TCustomTreeView::ApplyIndent() {
  if (HWND h = HandleIfAllocated()) SendMessageA(h, TVM_SETINDENT, static_cast<WPARAM>(m_indent), 0);
}

void TCustomTreeView::SetShowButtons(bool v) {
  if (v == m_showButtons) return;
  m_showButtons = v;
  RecreateWnd();
}

void TCustomTreeView::SetShowLines(bool v) {
  if (v == m_showLines) return;
  m_showLines = v;
  RecreateWnd();
}

void TCustomTreeView::SetShowRoot(bool v) {
  if (v == m_showRoot) return;
  m_showRoot = v;
  RecreateWnd();
}

void TCustomTreeView::SetReadOnly(bool v) {
  if (v == m_readOnly) return;
  m_readOnly = v;
  RecreateWnd();
}

void TCustomTreeView::SetHideSelection(bool v) {
  if (v == m_hideSelection) return;
  m_hideSelection = v;
  RecreateWnd();
}

void TCustomTreeView::SetImages(TImageList* list) {
  m_imagesLink.SetImages(list);
  ApplyImages();
}

void TCustomTreeView::ApplyImages() {
  HWND h = HandleIfAllocated();
  if (!h) return;
  TImageList* il = m_imagesLink.Images();
  SendMessageA(h, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(il ? il->Handle() : nullptr));
}

// --- Notifications

bool TCustomTreeView::CNNotify(NMHDR* hdr, LRESULT& result) {
  switch (hdr->code) {
    case TVN_SELCHANGINGA:
    case TVN_SELCHANGINGW: {
      auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
      result = CanChange(NodeFromItem(nm->itemNew.hItem)) ? FALSE : TRUE;
      return true;
    }
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: {
      auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
      Change(NodeFromItem(nm->itemNew.hItem));
      result = 0;
      return true;
    }
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
      result = FALSE;
      if (m_manualNotify) return true;
      auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
      TTreeNode* node = NodeFromItem(nm->itemNew.hItem);
      if (!node) return true;
      const UINT action = nm->action & kExpandActionMask;
      if (action == TVE_EXPAND) result = CanExpand(*node) ? FALSE : TRUE;
      else if (action == TVE_COLLAPSE) result = CanCollapse(*node) ? FALSE : TRUE;
      return true;
    }
    case TVN_ITEMEXPANDEDA:
    case TVN_ITEMEXPANDEDW: {
      result = 0;
      if (m_manualNotify) return true;
      auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
      TTreeNode* node = NodeFromItem(nm->itemNew.hItem);
      if (!node) return true;
      const UINT action = nm->action & kExpandActionMask;
      if (action == TVE_EXPAND) Expand(*node);
      else if (action == TVE_COLLAPSE) Collapse(*node);
      return true;
    }
    case TVN_BEGINLABELEDITA:
    case TVN_BEGINLABELEDITW: {
      auto* nm = reinterpret_cast<NMTVDISPINFOA*>(hdr);
      TTreeNode* node = NodeFromItem(nm->item.hItem);
      result = node && CanEdit(*node) ? FALSE : TRUE;
      return true;
    }
    case TVN_ENDLABELEDITA: {
      auto* nm = reinterpret_cast<NMTVDISPINFOA*>(hdr);
      result = FALSE;  // the hook sets the text it accepts itself
      if (TTreeNode* node = NodeFromItem(nm->item.hItem); node && nm->item.pszText)
        Edit(*node, nm->item.pszText);
      return true;
    }
    case TVN_DELETEITEMA:
    case TVN_DELETEITEMW: {
      // The item's lParam may point at an object we already released (the
      // window going away after ReleaseAllNodes): look up by handle only.
      auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
      ReleaseNode(nm->itemOld.hItem);
      result = 0;
      return true;
    }
    default:
      return false;
  }
}

bool TCustomTreeView::CanChange(TTreeNode* node) {
  bool allow = true;
  if (OnChanging) OnChanging(*this, node, allow);
  return allow;
}

void TCustomTreeView::Change(TTreeNode* node) {
  if (OnChange) OnChange(*this, node);
}

bool TCustomTreeView::CanExpand(TTreeNode& node) {
  bool allow = true;
  if (OnExpanding) OnExpanding(*this, &node, allow);
  return allow;
}

void TCustomTreeView::Expand(TTreeNode& node) {
  if (OnExpanded) OnExpanded(*this, &node);
}

bool TCustomTreeView::CanCollapse(TTreeNode& node) {
  bool allow = true;
  if (OnCollapsing) OnCollapsing(*this, &node, allow);
  return allow;
}

void TCustomTreeView::Collapse(TTreeNode& node) {
  if (OnCollapsed) OnCollapsed(*this, &node);
}

bool TCustomTreeView::CanEdit(TTreeNode& node) {
  bool allow = !m_readOnly;
  if (OnEditing) OnEditing(*this, &node, allow);
  return allow;
}

void TCustomTreeView::Edit(TTreeNode& node, const std::string& text) {
  std::string s = text;
  if (OnEdited) OnEdited(*this, &node, s);
  node.SetText(s);
}

void TCustomTreeView::Delete(TTreeNode& node) {
  if (OnDeletion && !Destroying()) OnDeletion(*this, &node);
}

}  // namespace qv::fw
