// The shell folder tree's reactions: selection changes and the delayed
// read, watching the selected folder and its parent, the shell context
// menu, renaming in place, autoscroll, device and colour changes.
#include <windows.h>
#include <commctrl.h>
#include <dbt.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "controls/shell/ShellContextMenu.h"
#include "controls/shell/SystemFolderControls.h"
#include "controls/shell/SystemTreeView.h"
#include "framework/Application.h"

namespace qv::controls {

using fw::TTreeNode;

namespace {

// Device arrivals and removals reach top-level windows only: the
// application's window passes them on to every tree, and still handles
// them itself.
constexpr UINT_PTR kDeviceHookId = 0x5105;
bool g_deviceHookInstalled = false;

LRESULT CALLBACK DeviceHook(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg == WM_DEVICECHANGE && (wp == DBT_DEVICEARRIVAL || wp == DBT_DEVICEREMOVECOMPLETE)) {
    for (TQsCustomSystemTreeView* tree : std::vector<TQsCustomSystemTreeView*>(TQsCustomSystemTreeView::LiveTrees())) {
      try {
        tree->ReadContents();
      } catch (...) {
        if (fw::Application()) fw::Application()->HandleException(std::current_exception());
      }
    }
    // A linked list re-reads through its tree, which has just done so.
    for (TQsCustomSystemListView* list : std::vector<TQsCustomSystemListView*>(TQsCustomSystemListView::LiveLists())) {
      if (list->TreeView()) continue;
      try {
        list->ReadContents();
      } catch (...) {
        if (fw::Application()) fw::Application()->HandleException(std::current_exception());
      }
    }
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

namespace detail {

void InstallDeviceHook() {
  if (g_deviceHookInstalled || !fw::Application() || !fw::Application()->Handle()) return;
  g_deviceHookInstalled = SetWindowSubclass(fw::Application()->Handle(), &DeviceHook, kDeviceHookId, 0) != FALSE;
}

void RemoveDeviceHookWhenUnused() {
  if (!g_deviceHookInstalled || !TQsCustomSystemTreeView::LiveTrees().empty() ||
      !TQsCustomSystemListView::LiveLists().empty())
    return;
  if (fw::Application() && fw::Application()->Handle())
    RemoveWindowSubclass(fw::Application()->Handle(), &DeviceHook, kDeviceHookId);
  g_deviceHookInstalled = false;
}

}  // namespace detail

namespace {

bool IsFolder(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

// --- Selection changes

void TQsSystemTreeView::Change(TTreeNode* node) {
  if (m_destroying) return;
  HCURSOR previous = ::SetCursor(LoadCursor(nullptr, IDC_WAIT));
  TQsCustomSystemTreeView::Change(node);
  if (ReadDelay() == 0 || ImmediateRead()) {
    LinkedFolderChanged(0);
    if (!Loading()) SetImmediateRead(false);
    // The first selections after a rebuild take this path too: they must
    // be watched, or a folder deleted behind the tree's back goes unseen.
    if (node && NodeData(node, false)) Watch(node);
  } else {
    // The watch of the node left waits for the one chosen last.
    StopWatching();
    StartDelayTimer();
  }
  ::SetCursor(previous);
}

void TQsSystemTreeView::DelayedRead() {
  TQsCustomSystemTreeView::DelayedRead();
  if (TTreeNode* node = Selected(); node && NodeData(node, false)) Watch(node);
}

// --- Watching

void TQsSystemTreeView::StopWatching() {
  if (m_folderWatcher) m_folderWatcher->Terminate();
  if (m_parentWatcher) m_parentWatcher->Terminate();
  m_folderWatcher = m_parentWatcher = nullptr;
  m_watchedItem = m_parentWatchedItem = nullptr;
  m_watchedPath.clear();
}

void TQsSystemTreeView::Watch(TTreeNode* node) {
  StopWatching();
  if (!node || m_destroying || m_windowDestroying) return;
  std::string path = NodePath(node);
  if (m_showFiles && IsFile(path)) {
    const size_t slash = path.find_last_of('\\');
    path = slash == std::string::npos ? std::string() : path.substr(0, slash);
    if (path.size() == 2 && path[1] == ':') path += '\\';
  }
  if (path.empty()) return;
  m_watchedItem = node->ItemId();
  m_watchedPath = path;
  m_folderWatcher = TFileChangeThread::Create(path, FolderFilter(), false, [this](TFileChangeThread&) {
    m_folderWatcher = nullptr;
    FolderWatcherFired();
  });
  if (TTreeNode* parent = node->Parent()) {
    const std::string parentPath = NodePath(parent);
    if (!parentPath.empty()) {
      m_parentWatchedItem = parent->ItemId();
      m_parentWatcher = TFileChangeThread::Create(parentPath, fcDirName, false, [this](TFileChangeThread&) {
        m_parentWatcher = nullptr;
        ParentWatcherFired();
      });
    }
  }
}

TChangeFilter TQsSystemTreeView::FolderFilter() const {
  // Files, with their sizes and dates, matter only where they are shown:
  // among the nodes, or in a linked list.
  return m_showFiles || ListView() ? TChangeFilter(fcFileName | fcDirName | fcAttributes | fcSize | fcLastWrite)
                                   : fcDirName;
}

void TQsSystemTreeView::ListViewLinkChanged() {
  // A watch started before the link changed waits for the wrong changes.
  TTreeNode* node = NodeFromItem(m_watchedItem);
  if (node && !(m_folderWatcher && m_folderWatcher->Filter() == FolderFilter())) Watch(node);
}

void TQsSystemTreeView::FolderWatcherFired() {
  if (m_parentWatcher) m_parentWatcher->Terminate();
  m_parentWatcher = nullptr;
  m_parentWatchedItem = nullptr;
  TTreeNode* node = NodeFromItem(m_watchedItem);
  const std::string path = m_watchedPath;
  m_watchedItem = nullptr;
  m_watchedPath.clear();
  if (!node || m_destroying) return;
  BeginUpdate();
  try {
    if (IsFolder(path)) {
      const bool wasExpanded = node->Expanded();
      RereadNode(node);
      if (wasExpanded) {
        node->Expand(false);
        node->MakeVisible();
      }
      Watch(node);
    } else if (IsFile(path)) {
      Watch(node->Parent());
    } else if (TTreeNode* parent = node->Parent()) {
      const bool wasExpanded = parent->Expanded();
      RereadNode(parent);
      if (wasExpanded) parent->Expand(false);
      parent->SetSelected(true);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TQsSystemTreeView::ParentWatcherFired() {
  TTreeNode* parent = NodeFromItem(m_parentWatchedItem);
  m_parentWatchedItem = nullptr;
  if (m_destroying || IsFolder(m_watchedPath)) return;
  if (m_folderWatcher) m_folderWatcher->Terminate();
  m_folderWatcher = nullptr;
  m_watchedItem = nullptr;
  m_watchedPath.clear();
  if (parent) parent->SetSelected(true);
  ReadContents();
}

// --- Context menu, renaming, autoscroll

bool TQsSystemTreeView::ShowNodeContextMenu(TTreeNode* node, POINT screen) {
  TFolderItemData* data = NodeData(node);
  if (!data) return false;
  LPCITEMIDLIST item = data->Relative();
  TContextMenuRequest r;
  r.Folder = data->ParentFolder();
  r.Items = &item;
  r.Count = 1;
  r.Attributes = data->Attributes;
  r.ScreenPoint = screen;
  r.Owner = Handle();
  bool rename = false;
  // The menu's loop hands over watcher reports and the command may change
  // the folder: either can free the node. Its deletion is noted (Delete),
  // since a freed item's handle can come back for a new node.
  const HTREEITEM outer = std::exchange(m_menuItem, node->ItemId());
  const bool shown = ShowItemContextMenu(r, rename);
  const HTREEITEM menuItem = std::exchange(m_menuItem, outer);
  if (rename)
    if (TTreeNode* still = NodeFromItem(menuItem)) still->EditText();
  return shown;
}

bool TQsSystemTreeView::CanEdit(TTreeNode& node) {
  TFolderItemData* data = NodeData(&node, false);
  return data && (data->Attributes & SFGAO_CANRENAME) && TQsCustomSystemTreeView::CanEdit(node);
}

void TQsSystemTreeView::Edit(TTreeNode& node, const std::string& text) {
  TFolderItemData* data = NodeData(&node);
  if (!data || text.empty()) return;
  std::wstring w = AnsiToWide(text);
  // Our own rename must not look like the watched folder vanishing.
  const bool watched = m_watchedItem == node.ItemId() || m_parentWatchedItem == node.ItemId();
  if (watched) StopWatching();
  LPITEMIDLIST renamed = nullptr;
  const HRESULT hr = data->ParentFolder()->SetNameOf(Handle(), data->Relative(), w.c_str(), 0x20, &renamed);
  if (SUCCEEDED(hr)) {
    node.SetText(text);
    if (renamed) {
      LPITEMIDLIST relative = AdoptItemIdList(renamed).Release();
      TFolderItemData* parentData = NodeData(node.Parent(), false);
      LPITEMIDLIST absolute =
          parentData ? JoinItemIdLists(parentData->Absolute(), relative) : CopyItemIdList(relative);
      data->ReplaceItemIdLists(relative, absolute);
    }
    // The nodes below still hold lists and folders of the old name.
    if (data->Populated) RereadNode(&node);
  } else if (renamed) {
    CoTaskMemFree(renamed);
  }
  if (watched) Watch(Selected());
}

void TQsSystemTreeView::AutoscrollAt(int x, int y) {
  HWND h = HandleIfAllocated();
  if (!h) return;
  LOGFONTA lf{};
  GetObjectA(EffectiveFont().Handle(), sizeof lf, &lf);
  const int fontHeight = std::abs(static_cast<int>(lf.lfHeight));
  RECT r{};
  GetClientRect(h, &r);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE;
  const bool vScroll = GetScrollInfo(h, SB_VERT, &si) && si.nMax > si.nMin;
  si = SCROLLINFO{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE;
  const bool hScroll = GetScrollInfo(h, SB_HORZ, &si) && si.nMax > si.nMin;
  if (y < fontHeight)
    SendMessageA(h, WM_VSCROLL, SB_LINEUP, 0);
  else if (y > Height() - (vScroll ? 16 : 0) - fontHeight)
    SendMessageA(h, WM_VSCROLL, SB_LINEDOWN, 0);
  if (x < fontHeight)
    SendMessageA(h, WM_HSCROLL, SB_LINELEFT, 0);
  else if (x > Width() - (hScroll ? 16 : 0) - fontHeight)
    SendMessageA(h, WM_HSCROLL, SB_LINERIGHT, 0);
}

// --- Messages

bool TQsSystemTreeView::ShowShellMenuAt(LPARAM lp) {
  POINT screen{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  TTreeNode* node = nullptr;
  if (lp == -1) {
    // From the keyboard: the selected node's place.
    node = Selected();
    if (node) {
      const fw::TRect r = node->DisplayRect(true);
      screen = POINT{r.Left, r.Bottom};
      ::ClientToScreen(HandleIfAllocated(), &screen);
    }
  } else {
    POINT client = screen;
    ::ScreenToClient(HandleIfAllocated(), &client);
    node = GetNodeAt(client.x, client.y);
  }
  if (!node) return false;
  node->SetSelected(true);
  return ShowNodeContextMenu(node, screen);
}

LRESULT TQsSystemTreeView::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CONTEXTMENU: {
      const TPopupMenuMethod method = m_popupMenuMethod;
      const bool shellMenu = method == TPopupMenuMethod::pmmContext || method == TPopupMenuMethod::pmmContextUser;
      const bool ownMenu = method == TPopupMenuMethod::pmmUser || method == TPopupMenuMethod::pmmContextUser;
      if (shellMenu && ShowShellMenuAt(lp)) return 0;
      // Past the framework, which would show the control's own menu.
      if (!ownMenu) return DefaultHandler(msg, wp, lp);
      break;
    }
    case WM_MOUSEMOVE:
      if (m_autoscroll) AutoscrollAt(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
      break;
    case WM_SYSCOLORCHANGE: {
      LoadSystemImages();
      SetImages(&SystemImages());
      const fw::TColor c = Color();
      SetColor(c == fw::clWindow ? fw::clBtnFace : fw::clWindow);
      SetColor(c);
      break;
    }
    default:
      break;
  }
  return TQsCustomSystemTreeView::WndProc(msg, wp, lp);
}

}  // namespace qv::controls
