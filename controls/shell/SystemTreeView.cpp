// The shell folder tree: its base, rebuilding, lazy population, adding
// nodes, finding a list's node, selection by path and sorting. Watching,
// menus, renaming and the window's messages: SystemTreeWatch.cpp.
#include "controls/shell/SystemTreeView.h"

#include "controls/shell/SystemFolderControls.h"
#include "controls/shell/detail/FolderLinks.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/MessageDialog.h"

namespace qv::controls {

namespace detail {
// SystemTreeWatch.cpp: the application window's device-change hook.
void InstallDeviceHook();
void RemoveDeviceHookWhenUnused();
}  // namespace detail

using fw::TTreeNode;

namespace {

std::vector<TQsCustomSystemTreeView*>& Trees() {
  static std::vector<TQsCustomSystemTreeView*> trees;
  return trees;
}

// The timer of each tree waiting for its delayed read.
std::vector<std::pair<UINT_PTR, TQsCustomSystemTreeView*>>& Timers() {
  static std::vector<std::pair<UINT_PTR, TQsCustomSystemTreeView*>> timers;
  return timers;
}

// The hourglass for the duration of a scope.
class TWaitCursor {
public:
  TWaitCursor() : m_previous(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
  ~TWaitCursor() { SetCursor(m_previous); }
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;

private:
  HCURSOR m_previous;
};

class TTreeUpdate {
public:
  explicit TTreeUpdate(fw::TCustomTreeView& tree) : m_tree(tree) { m_tree.BeginUpdate(); }
  ~TTreeUpdate() { m_tree.EndUpdate(); }
  TTreeUpdate(const TTreeUpdate&) = delete;
  TTreeUpdate& operator=(const TTreeUpdate&) = delete;

private:
  fw::TCustomTreeView& m_tree;
};

std::string HresultText(const char* what, HRESULT hr) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%s (0x%08lX)", what, static_cast<unsigned long>(hr));
  return buf;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() &&
         CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.c_str(), static_cast<int>(prefix.size()),
                        prefix.c_str(), static_cast<int>(prefix.size())) == CSTR_EQUAL;
}

constexpr ULONG kAskedAttributes = 0xF20B0177;

// A folder of the disk holds at least one folder (hidden ones only when
// they are shown). An unreadable folder may: the shell decides on expansion.
bool HasSubfolder(std::string path, bool withHidden) {
  if (path.empty() || path.back() != '\\') path += '\\';
  path += '*';
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileExA(path.c_str(), FindExInfoStandard, &fd, FindExSearchLimitToDirectories, nullptr, 0);
  if (h == INVALID_HANDLE_VALUE) return GetLastError() != ERROR_FILE_NOT_FOUND;
  bool found = false;
  do {
    const std::string name = fd.cFileName;
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == "." || name == "..") continue;
    if (!withHidden && (fd.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN)) continue;
    found = true;
  } while (!found && FindNextFileA(h, &fd));
  FindClose(h);
  return found;
}

}  // namespace

int RootFolderCsidl(TRootFolder root) {
  switch (root) {
    case TRootFolder::rfDesktop: return CSIDL_DESKTOP;
    case TRootFolder::rfRecycleBin: return CSIDL_BITBUCKET;
    case TRootFolder::rfControlPanel: return CSIDL_CONTROLS;
    case TRootFolder::rfDesktopDir: return CSIDL_DESKTOPDIRECTORY;
    case TRootFolder::rfDrives: return CSIDL_DRIVES;
    case TRootFolder::rfFavoriteURLs: return CSIDL_FAVORITES;
    case TRootFolder::rfFonts: return CSIDL_FONTS;
    case TRootFolder::rfNetHood: return CSIDL_NETWORK;
    case TRootFolder::rfNetHoodDir: return CSIDL_NETHOOD;
    case TRootFolder::rfDocumentDir: return CSIDL_PERSONAL;
    case TRootFolder::rfPrinters: return CSIDL_PRINTERS;
    case TRootFolder::rfPrograms: return CSIDL_PROGRAMS;
    case TRootFolder::rfRecentDir: return CSIDL_RECENT;
    case TRootFolder::rfSendTo: return CSIDL_SENDTO;
    case TRootFolder::rfStartMenu: return CSIDL_STARTMENU;
    case TRootFolder::rfStartup: return CSIDL_STARTUP;
    case TRootFolder::rfTemplates: return CSIDL_TEMPLATES;
    case TRootFolder::rfFileSystem: return CSIDL_DRIVES;
    case TRootFolder::rfCustom: return -1;
  }
  return -1;
}

// ------------------------------------------------------------------ base

TQsCustomSystemTreeView::TQsCustomSystemTreeView(fw::TComponent* owner) : fw::TCustomTreeView(owner) {
  Trees().push_back(this);
  detail::InstallDeviceHook();
  m_images = &Make<fw::TImageList>("");
  LoadSystemImages();
  SetImages(m_images);
}

TQsCustomSystemTreeView::~TQsCustomSystemTreeView() {
  KillDelayTimer();
  SetListView(nullptr);
  SetComboBox(nullptr);
  auto& trees = Trees();
  trees.erase(std::remove(trees.begin(), trees.end(), this), trees.end());
  detail::RemoveDeviceHookWhenUnused();
}

void TQsCustomSystemTreeView::SetListView(TQsCustomSystemListView* list) {
  if (!detail::RelinkBothWays(this, m_listView, list, &TQsCustomSystemListView::TreeView,
                              &TQsCustomSystemListView::SetTreeView))
    return;
  if (list) list->LinkedFolderChanged(GetSelectedItemIdList(), 0);
  ListViewLinkChanged();
}

void TQsCustomSystemTreeView::SetComboBox(TQsCustomSystemComboBox* combo) {
  if (detail::RelinkBothWays(this, m_comboBox, combo, &TQsCustomSystemComboBox::TreeView,
                             &TQsCustomSystemComboBox::SetTreeView) && combo)
    combo->LinkedFolderChanged(GetSelectedItemIdList(), 0);
}

void TQsCustomSystemTreeView::LinkedFolderChanged(int flag) {
  LPCITEMIDLIST folder = GetSelectedItemIdList();
  if (m_listView) m_listView->LinkedFolderChanged(folder, flag);
  if (m_comboBox) m_comboBox->LinkedFolderChanged(folder, flag);
}

void TQsCustomSystemTreeView::Notification(fw::TComponent* component, fw::TOperation op) {
  fw::TCustomTreeView::Notification(component, op);
  if (op != fw::TOperation::Remove || !component) return;
  if (component == m_listView) {
    m_listView = nullptr;
    ListViewLinkChanged();
  }
  if (component == m_comboBox) m_comboBox = nullptr;
}

const std::vector<TQsCustomSystemTreeView*>& TQsCustomSystemTreeView::LiveTrees() { return Trees(); }

void TQsCustomSystemTreeView::LoadSystemImages() { LoadSystemImageList(*m_images, false); }

HWND TQsCustomSystemTreeView::ShellOwner() {
  if (HWND h = HandleIfAllocated()) return h;
  if (Parent() && Parent()->HandleAllocated()) return Parent()->HandleIfAllocated();
  if (fw::TForm* f = ParentForm(); f && f->HandleAllocated()) return f->HandleIfAllocated();
  return fw::Application() ? fw::Application()->Handle() : nullptr;
}

void TQsCustomSystemTreeView::DelayedRead() {
  KillDelayTimer();
  LinkedFolderChanged(0);
}

void TQsCustomSystemTreeView::StartDelayTimer() {
  KillDelayTimer();
  // A thread timer: no window of ours needs to exist for it.
  m_timerId = SetTimer(nullptr, 0, m_readDelay, &TQsCustomSystemTreeView::DelayTimerProc);
  if (m_timerId) Timers().emplace_back(m_timerId, this);
}

void TQsCustomSystemTreeView::KillDelayTimer() {
  if (!m_timerId) return;
  KillTimer(nullptr, m_timerId);
  auto& timers = Timers();
  timers.erase(std::remove_if(timers.begin(), timers.end(), [this](const auto& t) { return t.second == this; }),
               timers.end());
  m_timerId = 0;
}

void CALLBACK TQsCustomSystemTreeView::DelayTimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  for (const auto& [timer, tree] : Timers()) {
    if (timer != id) continue;
    try {
      tree->DelayedRead();
    } catch (...) {
      if (fw::Application()) fw::Application()->HandleException(std::current_exception());
    }
    return;
  }
  KillTimer(nullptr, id);  // its tree is gone
}

// ------------------------------------------------------------------ tree

TQsSystemTreeView::TQsSystemTreeView(fw::TComponent* owner) : TQsCustomSystemTreeView(owner) {
  const HRESULT hr = SHGetDesktopFolder(&m_desktop);
  if (FAILED(hr) || !m_desktop) throw fw::EQvError(HresultText("SHGetDesktopFolder", hr));
  engine::LoadMaskList(m_fileMask, m_masks);
}

TQsSystemTreeView::~TQsSystemTreeView() {
  m_destroying = true;
  StopWatching();
  // The nodes' folder data goes before the window does.
  if (HandleAllocated()) Clear();
  ReleaseAllNodes();
  if (m_desktop) m_desktop->Release();
}

void TQsSystemTreeView::CreateParams(fw::TCreateParams& p) {
  TQsCustomSystemTreeView::CreateParams(p);
  if (m_checkboxes) p.Style |= TVS_CHECKBOXES;
}

void TQsSystemTreeView::CreateWnd() {
  TQsCustomSystemTreeView::CreateWnd();
  detail::InstallDeviceHook();
  m_windowDestroying = false;
  if (!Loading()) ReadContents();
}

void TQsSystemTreeView::Loaded() {
  TQsCustomSystemTreeView::Loaded();
  ReadContents();
}

void TQsSystemTreeView::WindowDestroying() {
  m_windowDestroying = true;
  // A re-created window selects the same folder again.
  if (m_pendingSelection.empty() && !m_destroying) m_pendingSelection = Selection();
  StopWatching();
}

// --- Properties

void TQsSystemTreeView::SetRootFolder(TRootFolder v) {
  if (v == m_rootFolder) return;
  m_rootFolder = v;
  ReadContents();
}

void TQsSystemTreeView::SetCustomDir(const std::string& v) {
  if (v == m_customDir) return;
  m_customDir = v;
  ReadContents();
}

void TQsSystemTreeView::SetCustomDirCaption(const std::string& v) {
  if (v == m_customDirCaption) return;
  m_customDirCaption = v;
  if (m_rootFolder == TRootFolder::rfCustom && !v.empty())
    if (TTreeNode* root = GetFirstNode()) root->SetText(v);
}

void TQsSystemTreeView::SetShowFiles(bool v) {
  if (v == m_showFiles) return;
  m_showFiles = v;
  ReadContents();
}

void TQsSystemTreeView::SetCheckboxes(bool v) {
  if (v == m_checkboxes) return;
  m_checkboxes = v;
  RecreateWnd();
}

void TQsSystemTreeView::SetFileMask(const std::string& v) {
  if (v == m_fileMask) return;
  m_fileMask = v;
  engine::LoadMaskList(m_fileMask, m_masks);
  ReadContents();
}

// --- Node data

TFolderItemData* TQsSystemTreeView::NodeData(TTreeNode* node, bool complain) {
  if (!node) return nullptr;
  auto* data = static_cast<TFolderItemData*>(node->Data());
  if (!data && complain) fw::MessageDlg(kNoFolderDataMessage, fw::TMsgDlgType::Error, fw::mbOK, 0);
  return data;
}

std::string TQsSystemTreeView::NodePath(TTreeNode* node) {
  TFolderItemData* data = NodeData(node, false);
  return data ? ItemPath(data->Absolute()) : std::string();
}

LPCITEMIDLIST TQsSystemTreeView::GetSelectedItemIdList() {
  TFolderItemData* data = NodeData(Selected(), false);
  return data ? data->Absolute() : nullptr;
}

void TQsSystemTreeView::DeleteNodeData(TTreeNode& node) {
  delete static_cast<TFolderItemData*>(node.Data());
  node.SetData(nullptr);
}

void TQsSystemTreeView::Delete(TTreeNode& node) {
  // A watcher of a node that goes would report into nothing.
  if (node.ItemId() == m_watchedItem || node.ItemId() == m_parentWatchedItem) StopWatching();
  if (node.ItemId() == m_menuItem) m_menuItem = nullptr;
  // Our nodes never outlive their window, so their data goes with them
  // even while the window is being destroyed.
  DeleteNodeData(node);
  TQsCustomSystemTreeView::Delete(node);
}

// --- Rebuild

LPITEMIDLIST TQsSystemTreeView::RootItemIdList() {
  LPITEMIDLIST root = nullptr;
  if (m_rootFolder == TRootFolder::rfCustom) {
    if (m_customDir.empty()) return nullptr;
    std::wstring w = AnsiToWide(m_customDir);
    ULONG eaten = 0;
    if (FAILED(m_desktop->ParseDisplayName(ShellOwner(), nullptr, w.data(), &eaten, &root, nullptr))) return nullptr;
  } else if (FAILED(SHGetSpecialFolderLocation(ShellOwner(), RootFolderCsidl(m_rootFolder), &root))) {
    return nullptr;
  }
  return AdoptItemIdList(root).Release();
}

void TQsSystemTreeView::ReadContents() {
  if (!HandleAllocated() || Loading() || m_destroying) return;
  StopWatching();
  TPidl remembered;
  bool wasExpanded = false;
  if (TTreeNode* sel = Selected()) {
    if (TFolderItemData* d = NodeData(sel, false)) remembered.Reset(CopyItemIdList(d->Absolute()));
    wasExpanded = sel->Expanded();
  }
  const bool savedImmediate = ImmediateRead();
  SetImmediateRead(true);
  {
    TTreeUpdate update(*this);
    SetSelected(nullptr);
    Clear();
    if (LPITEMIDLIST root = RootItemIdList()) {
      LPITEMIDLIST absolute = CopyItemIdList(root);
      TTreeNode* node = AddChildNode(m_desktop, absolute, nullptr, root);
      if (node && m_expandRoot) node->Expand(false);
    }
    if (SortType() != fw::TSortType::None) SortAll();
    if (!m_pendingSelection.empty()) {
      ApplyPendingSelection();
    } else if (remembered) {
      // The list names the root's own items first (the computer folder for
      // rfDrives and rfFileSystem, the whole path for rfCustom).
      if (TTreeNode* node = FindNode(BelowRoot(remembered.Get()))) {
        node->SetSelected(true);
        node->MakeVisible();
        if (wasExpanded && node->HasChildren()) node->Expand(false);
      }
    }
  }
  SetImmediateRead(savedImmediate);
  LinkedFolderChanged(0);
}

void TQsSystemTreeView::ApplyPendingSelection() {
  const std::string path = m_pendingSelection;
  m_pendingSelection.clear();
  SetSelection(path);
}

// --- Population

bool TQsSystemTreeView::CanExpand(TTreeNode& node) {
  bool answer = TQsCustomSystemTreeView::CanExpand(node);
  if (!answer) return false;
  TFolderItemData* data = NodeData(&node, false);
  if (data && !data->Populated) {
    const bool desktopRoot = !node.Parent() && m_rootFolder == TRootFolder::rfDesktop;
    if (desktopRoot) {
      data->Populated = true;
      Enumerate(node, m_desktop);
    } else {
      void* obj = nullptr;
      const HRESULT hr = data->ParentFolder()->BindToObject(data->Relative(), nullptr, IID_IShellFolder, &obj);
      if (FAILED(hr) || !obj) throw fw::EQvError(HresultText("IShellFolder::BindToObject", hr));
      auto* folder = static_cast<IShellFolder*>(obj);
      data->Populated = true;
      answer = Enumerate(node, folder);
      folder->Release();
    }
  }
  if (answer)
    Populated(&node);
  else
    node.SetHasChildren(false);
  return answer;
}

bool TQsSystemTreeView::Enumerate(TTreeNode& node, IShellFolder* folder) {
  TFolderItemData* data = NodeData(&node, false);
  if (!data) return false;
  TWaitCursor wait;
  TTreeUpdate update(*this);
  SHCONTF flags = SHCONTF_FOLDERS;
  if (m_showHiddenDirs) flags |= SHCONTF_INCLUDEHIDDEN;
  if (m_showFiles) flags |= SHCONTF_NONFOLDERS;
  IEnumIDList* en = nullptr;
  // S_FALSE: nothing to enumerate.
  if (folder->EnumObjects(ShellOwner(), flags, &en) != S_OK || !en) return false;
  bool any = false;
  for (;;) {
    LPITEMIDLIST item = nullptr;
    ULONG got = 0;
    if (en->Next(1, &item, &got) != S_OK || got != 1 || !item) break;
    any = true;
    LPITEMIDLIST relative = AdoptItemIdList(item).Release();
    LPITEMIDLIST absolute = JoinItemIdLists(data->Absolute(), relative);
    AddChildNode(folder, absolute, &node, relative);
  }
  en->Release();
  return any;
}

void TQsSystemTreeView::Expand(TTreeNode& node) {
  {
    TTreeUpdate update(*this);
    SortNodeChildren(&node);
  }
  TQsCustomSystemTreeView::Expand(node);
}

void TQsSystemTreeView::Populated(TTreeNode* node) {
  if (OnPopulated) OnPopulated(*this, node);
}

TTreeNode* TQsSystemTreeView::AddChildNode(IShellFolder* folder, LPITEMIDLIST absolute, TTreeNode* parent,
                                           LPITEMIDLIST relative) {
  // Lists of an item that is not added go back here.
  TPidl ownAbsolute(absolute), ownRelative(relative);
  if (!folder || !absolute || !relative) return nullptr;
  SFGAOF validate = SFGAO_VALIDATE;
  folder->GetAttributesOf(0, nullptr, &validate);  // refreshes the folder's cached attributes
  std::string name = StrRetToText(folder, relative, TDisplayNameKind::Normal);
  if (!parent && m_rootFolder == TRootFolder::rfCustom && !m_customDirCaption.empty()) name = m_customDirCaption;

  SFGAOF attributes = kAskedAttributes;
  LPCITEMIDLIST one = relative;
  if (FAILED(folder->GetAttributesOf(1, &one, &attributes))) attributes = 0;
  if (m_rootFolder == TRootFolder::rfFileSystem && !(attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)))
    return nullptr;
  if (!(attributes & SFGAO_FOLDER) && !m_fileMask.empty()) {
    const std::string path = ItemPath(absolute);
    if (!path.empty()) {
      const size_t slash = path.find_last_of('\\');
      if (!engine::NameMatchesMaskList(slash == std::string::npos ? path : path.substr(slash + 1), m_masks))
        return nullptr;
    }
  }
  auto* data = new TFolderItemData(folder, ownRelative.Release(), ownAbsolute.Release(), attributes);
  TTreeNode* node = AddChild(parent, name, data);
  if (!node) {
    delete data;
    return nullptr;
  }
  int normal = -1, open = -1;
  ItemIconIndexes(data->Absolute(), normal, open);
  if (open == 0 && normal != 0) open = normal;
  node->SetImageIndex((attributes & SFGAO_FOLDER) ? normal : open);
  node->SetSelectedIndex(open);
  if (attributes & SFGAO_SHARE) node->SetOverlayIndex(0);
  if (attributes & SFGAO_LINK) node->SetOverlayIndex(1);

  bool hasChildren = (attributes & SFGAO_HASSUBFOLDER) != 0;
  // Some shells (Wine) mark every file-system folder so; a look at the
  // disk keeps leaves from showing a "+".
  if (hasChildren && !m_showFiles && (attributes & SFGAO_FILESYSTEM)) {
    const std::string path = ItemPath(data->Absolute());
    if (!path.empty()) hasChildren = HasSubfolder(path, m_showHiddenDirs);
  }
  if (m_showFiles && !hasChildren) {
    void* obj = nullptr;
    if (SUCCEEDED(folder->BindToObject(data->Relative(), nullptr, IID_IShellFolder, &obj)) && obj) {
      auto* sub = static_cast<IShellFolder*>(obj);
      SHCONTF flags = SHCONTF_NONFOLDERS | (m_showHiddenDirs ? SHCONTF_INCLUDEHIDDEN : 0);
      IEnumIDList* en = nullptr;
      if (sub->EnumObjects(ShellOwner(), flags, &en) == S_OK && en) {
        hasChildren = true;
        LPITEMIDLIST first = nullptr;
        ULONG got = 0;
        if (en->Next(1, &first, &got) == S_OK) {
          hasChildren = got == 1 && first;
        }
        if (first) CoTaskMemFree(first);
        en->Release();
      }
      sub->Release();
    }
  }
  node->SetHasChildren(hasChildren);
  return node;
}

// --- Finding and selecting

LPCITEMIDLIST TQsSystemTreeView::BelowRoot(LPCITEMIDLIST absolute) {
  TFolderItemData* root = NodeData(GetFirstNode(), false);
  if (!root || !absolute) return absolute;
  // As many identifiers as the root's, compared by the shell: the bytes
  // also hold times that change with the folders' contents.
  LPCITEMIDLIST rest = absolute;
  for (LPCITEMIDLIST r = root->Absolute(); r && ItemIdListSize(r) > sizeof(USHORT); r = NextItemId(r)) {
    rest = NextItemId(rest);
    if (!rest) return absolute;
  }
  if (rest == absolute) return absolute;
  const UINT prefixSize =
      static_cast<UINT>(reinterpret_cast<const BYTE*>(rest) - reinterpret_cast<const BYTE*>(absolute));
  TPidl prefix(AllocItemIdList(prefixSize + sizeof(USHORT)));
  if (!prefix) return absolute;
  std::memcpy(prefix.Get(), absolute, prefixSize);
  const HRESULT hr = m_desktop->CompareIDs(0, root->Absolute(), prefix.Get());
  return SUCCEEDED(hr) && HRESULT_CODE(hr) == 0 ? rest : absolute;
}

TTreeNode* TQsSystemTreeView::FindNode(LPCITEMIDLIST absolute) {
  TTreeNode* node = GetFirstNode();
  if (!node || !absolute) return nullptr;
  if (ItemIdListSize(absolute) <= sizeof(USHORT)) return node;
  LPCITEMIDLIST id = absolute;
  for (;;) {
    TTreeNode* match = nullptr;
    for (TTreeNode* child = node->GetFirstChild(); child; child = child->GetNextSibling()) {
      TFolderItemData* d = NodeData(child, false);
      if (!d) continue;
      TPidl first(CopyFirstItemId(id));
      if (first && HRESULT_CODE(d->ParentFolder()->CompareIDs(0, first.Get(), d->Relative())) == 0) {
        match = child;
        break;
      }
    }
    if (!match) return node;
    node = match;
    id = NextItemId(id);
    if (!id || ItemIdListSize(id) <= sizeof(USHORT)) return node;
    node->Expand(false);
  }
}

bool TQsSystemTreeView::SelectItemIdList(LPCITEMIDLIST absolute) {
  TTreeNode* node = FindNode(BelowRoot(absolute));
  if (!node) return false;
  node->SetSelected(true);
  node->MakeVisible();
  return true;
}

void TQsSystemTreeView::SetSelection(const std::string& path) {
  if (path.empty()) return;
  if (Loading() || !HandleAllocated()) {
    m_pendingSelection = path;
    return;
  }
  TTreeNode* root = GetFirstNode();
  if (!root) return;
  if (!root->Expanded()) root->Expand(false);
  TTreeNode* first = root->GetFirstChild();
  TFolderItemData* firstData = NodeData(first, false);
  if (!firstData) return;
  std::string text = path;
  const bool desktopLike = m_rootFolder == TRootFolder::rfDesktop || m_rootFolder == TRootFolder::rfDrives ||
                           m_rootFolder == TRootFolder::rfFileSystem;
  if (!desktopLike) {
    const std::string caption = root->Text() + "\\";
    // The root's own path is what Selection gives back; it is taken off
    // as the root's name is.
    std::string rootPath = NodePath(root);
    while (!rootPath.empty() && rootPath.back() == '\\') rootPath.pop_back();
    if (!rootPath.empty() && StartsWithNoCase(text, rootPath + "\\"))
      text.erase(0, rootPath.size() + 1);
    else if (StartsWithNoCase(text, caption))
      text.erase(0, caption.size());
  }
  if (text.size() > MAX_PATH) text.resize(MAX_PATH);
  std::wstring w = AnsiToWide(text);
  LPITEMIDLIST parsed = nullptr;
  ULONG eaten = 0;
  if (FAILED(firstData->ParentFolder()->ParseDisplayName(ShellOwner(), nullptr, w.data(), &eaten, &parsed, nullptr)) ||
      !parsed)
    return;
  TPidl pidl = AdoptItemIdList(parsed);
  TTreeUpdate update(*this);
  if (TTreeNode* node = FindNode(pidl.Get())) {
    node->SetSelected(true);
    node->MakeVisible();
  }
}

std::string TQsSystemTreeView::Selection() {
  if (!HandleAllocated()) return {};
  return NodePath(Selected());
}

// --- Sorting

int TQsSystemTreeView::CompareNodes(TTreeNode* a, TTreeNode* b) {
  if (a == b) return 0;
  if (!a) return -1;
  if (!b) return 1;
  TFolderItemData* da = NodeData(a, false);
  TFolderItemData* db = NodeData(b, false);
  if (!da || !db) return 0;
  const HRESULT hr = da->ParentFolder()->CompareIDs(0, da->Relative(), db->Relative());
  return static_cast<signed char>(HRESULT_CODE(hr) & 0xFF);
}

void TQsSystemTreeView::SortNodeChildren(TTreeNode* node) {
  SortChildren(node, [this](TTreeNode* a, TTreeNode* b) { return CompareNodes(a, b); });
}

void TQsSystemTreeView::SortAll() {
  if (!HandleAllocated()) return;
  CustomSort([this](TTreeNode* a, TTreeNode* b) { return CompareNodes(a, b); });
}

void TQsSystemTreeView::RereadNode(TTreeNode* node) {
  TFolderItemData* data = NodeData(node, false);
  if (!data) return;
  const bool wasExpanded = node->Expanded();
  const bool hadChildren = node->HasChildren();
  // Closed while it still has children: a node without any cannot be
  // collapsed, and would stay "expanded" with nothing below it.
  if (wasExpanded) SendMessageA(Handle(), TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(node->ItemId()));
  node->DeleteChildren();
  TVITEMA it{};
  it.mask = TVIF_STATE | TVIF_HANDLE;
  it.hItem = node->ItemId();
  it.stateMask = TVIS_EXPANDEDONCE | TVIS_EXPANDED;
  SendMessageA(Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
  data->Populated = false;
  // The last child's deletion took the mark; the next expansion decides.
  if (hadChildren) node->SetHasChildren(true);
  if (wasExpanded) node->Expand(false);
  LinkedFolderChanged(1);
}

}  // namespace qv::controls
