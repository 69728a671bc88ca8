// The shell list view and combo box linked with a folder tree: links kept
// both ways, folders followed and passed on, system images.
#include "controls/shell/SystemFolderControls.h"

#include <algorithm>
#include <cstring>

#include "controls/shell/SystemTreeView.h"
#include "controls/shell/detail/FolderLinks.h"
#include "framework/ImageList.h"

namespace qv::controls {

namespace detail {
void InstallDeviceHook();
void RemoveDeviceHookWhenUnused();
}  // namespace detail

namespace {

std::vector<TQsCustomSystemListView*>& Lists() {
  static std::vector<TQsCustomSystemListView*> lists;
  return lists;
}

TPidl CopyOf(LPCITEMIDLIST absolute) { return TPidl(absolute ? CopyItemIdList(absolute) : nullptr); }

bool SameList(LPCITEMIDLIST a, LPCITEMIDLIST b) {
  const UINT size = ItemIdListSize(a);
  return size == ItemIdListSize(b) && (size == 0 || std::memcmp(a, b, size) == 0);
}

}  // namespace

// ------------------------------------------------------------------ list

TQsCustomSystemListView::TQsCustomSystemListView(fw::TComponent* owner) : TCustomEnhListView(owner) {
  Lists().push_back(this);
  detail::InstallDeviceHook();
  m_small = &Make<fw::TImageList>("");
  m_large = &Make<fw::TImageList>("");
  LoadSystemImages();
}

TQsCustomSystemListView::~TQsCustomSystemListView() {
  SetTreeView(nullptr);
  SetComboBox(nullptr);
  auto& lists = Lists();
  lists.erase(std::remove(lists.begin(), lists.end(), this), lists.end());
  detail::RemoveDeviceHookWhenUnused();
}

const std::vector<TQsCustomSystemListView*>& TQsCustomSystemListView::LiveLists() { return Lists(); }

void TQsCustomSystemListView::LoadSystemImages() {
  LoadSystemImageList(*m_small, false);
  LoadSystemImageList(*m_large, true);
  SetSmallImages(m_small);
  SetLargeImages(m_large);
}

void TQsCustomSystemListView::SetTreeView(TQsCustomSystemTreeView* tree) {
  detail::RelinkBothWays(this, m_tree, tree, &TQsCustomSystemTreeView::ListView,
                         &TQsCustomSystemTreeView::SetListView);
}

void TQsCustomSystemListView::SetComboBox(TQsCustomSystemComboBox* combo) {
  detail::RelinkBothWays(this, m_combo, combo, &TQsCustomSystemComboBox::ListView,
                         &TQsCustomSystemComboBox::SetListView);
}

void TQsCustomSystemListView::SetFolder(LPCITEMIDLIST absolute) {
  if (SameList(absolute, m_folder.Get())) return;
  m_folder = CopyOf(absolute);
  if (m_tree) m_tree->FolderChangedByLink(absolute);
  if (m_combo) m_combo->LinkedFolderChanged(absolute, 0);
}

void TQsCustomSystemListView::LinkedFolderChanged(LPCITEMIDLIST absolute, int flag) {
  (void)flag;
  if (!SameList(absolute, m_folder.Get())) m_folder = CopyOf(absolute);
}

void TQsCustomSystemListView::ReadContents() {
  if (m_tree) m_tree->ReadContents();
}

LRESULT TQsCustomSystemListView::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SYSCOLORCHANGE) LoadSystemImages();
  return TCustomEnhListView::WndProc(msg, wp, lp);
}

void TQsCustomSystemListView::Notification(fw::TComponent* component, fw::TOperation op) {
  TCustomEnhListView::Notification(component, op);
  if (op != fw::TOperation::Remove || !component) return;
  if (component == m_tree) m_tree = nullptr;
  if (component == m_combo) m_combo = nullptr;
}

// ------------------------------------------------------------------ combo box

TQsCustomSystemComboBox::TQsCustomSystemComboBox(fw::TComponent* owner) : fw::TComboBox(owner) {
  SetStyle(fw::TComboStyle::DropDownList);
  m_small = &Make<fw::TImageList>("");
  LoadSystemImageList(*m_small, false);
}

TQsCustomSystemComboBox::~TQsCustomSystemComboBox() {
  SetTreeView(nullptr);
  SetListView(nullptr);
}

void TQsCustomSystemComboBox::SetTreeView(TQsCustomSystemTreeView* tree) {
  detail::RelinkBothWays(this, m_tree, tree, &TQsCustomSystemTreeView::ComboBox,
                         &TQsCustomSystemTreeView::SetComboBox);
}

void TQsCustomSystemComboBox::SetListView(TQsCustomSystemListView* list) {
  detail::RelinkBothWays(this, m_list, list, &TQsCustomSystemListView::ComboBox,
                         &TQsCustomSystemListView::SetComboBox);
}

void TQsCustomSystemComboBox::SetFolder(LPCITEMIDLIST absolute) {
  if (SameList(absolute, m_folder.Get())) return;
  m_folder = CopyOf(absolute);
  ReadContents();
  if (m_tree) m_tree->FolderChangedByLink(absolute);
  if (m_list) m_list->LinkedFolderChanged(absolute, 0);
}

void TQsCustomSystemComboBox::LinkedFolderChanged(LPCITEMIDLIST absolute, int flag) {
  (void)flag;
  if (SameList(absolute, m_folder.Get())) return;
  m_folder = CopyOf(absolute);
  ReadContents();
}

void TQsCustomSystemComboBox::ReadContents() {
  ClearItems();
  if (!m_folder) return;
  std::string text = FolderPath();
  if (text.empty()) {
    // A virtual folder: the shell's name for it.
    SHFILEINFOA fi{};
    if (SHGetFileInfoA(reinterpret_cast<LPCSTR>(m_folder.Get()), 0, &fi, sizeof fi, SHGFI_PIDL | SHGFI_DISPLAYNAME))
      text = fi.szDisplayName;
  }
  AddItem(text);
  SetItemIndex(0);
}

LRESULT TQsCustomSystemComboBox::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_LBUTTONDOWN) ReadContents();
  if (msg == WM_SYSCOLORCHANGE) LoadSystemImageList(*m_small, false);
  return fw::TComboBox::WndProc(msg, wp, lp);
}

void TQsCustomSystemComboBox::Notification(fw::TComponent* component, fw::TOperation op) {
  fw::TComboBox::Notification(component, op);
  if (op != fw::TOperation::Remove || !component) return;
  if (component == m_tree) m_tree = nullptr;
  if (component == m_list) m_list = nullptr;
}

}  // namespace qv::controls
