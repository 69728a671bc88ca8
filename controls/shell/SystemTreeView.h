// TQsSystemTreeView: the shell namespace as a tree below a chosen root (the
// desktop, a special folder or a custom folder), with the shell's names and
// icons. Children are enumerated on first expansion; folders and, with
// ShowFiles, files matching FileMask are shown; a path can be selected by
// text (SetSelection) and read back as a file-system path (Selection).
// Built in: the shell's context menu, renaming in place, autoscroll while
// dragging, and change watching of the selected folder and its parent.
//
//   auto& tree = form.Make<TQsSystemTreeView>("TreeView");
//   tree.SetShowHiddenDirs(false);
//   tree.SetSelection("C:\\Photos\\2024");   // kept until the window exists
//
// A shell list view and combo box (SystemFolderControls.h) may be linked
// with it: they follow its selection, and it follows theirs.
// Where the shell gives less (Wine), items it cannot describe are skipped
// and the tree stays usable. Main thread only.
// Tested by tests/controls/shell/SystemTreeView_test.cpp.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <string>

#include "controls/shell/FileChange.h"
#include "controls/shell/ShellItems.h"
#include "engine/Masks.h"
#include "framework/TreeView.h"

namespace qv::controls {

enum class TRootFolder {
  rfDesktop, rfRecycleBin, rfControlPanel, rfDesktopDir, rfDrives, rfFavoriteURLs, rfFonts, rfNetHood,
  rfNetHoodDir, rfDocumentDir, rfPrinters, rfPrograms, rfRecentDir, rfSendTo, rfStartMenu, rfStartup,
  rfTemplates, rfFileSystem, rfCustom
};

enum class TPopupMenuMethod { pmmNone, pmmContext, pmmUser, pmmContextUser };

// The special folder (CSIDL) a root stands for; rfCustom has none (-1).
int RootFolderCsidl(TRootFolder root);

// The base: delayed reading after a selection change, the system image
// list, the owner window of shell calls and the device-change hook.
class TQsCustomSystemListView;
class TQsCustomSystemComboBox;

class TQsCustomSystemTreeView : public fw::TCustomTreeView {
public:
  explicit TQsCustomSystemTreeView(fw::TComponent* owner);
  ~TQsCustomSystemTreeView() override;

  // --- Overridable operations, in the order of the family's table
  virtual void ReadContents() = 0;
  virtual void DelayedRead();
  // The selected node's absolute list (owned by the node), or null.
  virtual LPCITEMIDLIST GetSelectedItemIdList() { return nullptr; }

  // Linked controls; a link is made both ways and dropped when the other
  // control is freed.
  TQsCustomSystemListView* ListView() const { return m_listView; }
  void SetListView(TQsCustomSystemListView* list);
  TQsCustomSystemComboBox* ComboBox() const { return m_comboBox; }
  void SetComboBox(TQsCustomSystemComboBox* combo);
  // Called by a linked control whose own folder changed.
  void FolderChangedByLink(LPCITEMIDLIST absolute) { LinkedControlChanged(absolute); }

  // Milliseconds between a selection change and the linked controls being
  // told (and watching starting); 0 tells them at once.
  WORD ReadDelay() const { return m_readDelay; }
  void SetReadDelay(WORD ms) { m_readDelay = ms; }

  // Every tree alive (the delay timer and the device hook find them here).
  static const std::vector<TQsCustomSystemTreeView*>& LiveTrees();

protected:
  virtual void LoadSystemImages();
  // The window shell calls are made for.
  virtual HWND ShellOwner();
  virtual bool SelectItemIdList(LPCITEMIDLIST absolute) = 0;
  // Linked controls are told that the folder changed (0 after a selection,
  // 1 after a re-read).
  virtual void LinkedFolderChanged(int flag);
  void Notification(fw::TComponent* component, fw::TOperation op) override;
  // A linked control's folder changed: the tree follows it.
  virtual void LinkedControlChanged(LPCITEMIDLIST absolute) { SelectItemIdList(absolute); }
  // A list view was linked, unlinked or replaced.
  virtual void ListViewLinkChanged() {}

  void StartDelayTimer();
  void KillDelayTimer();
  bool ImmediateRead() const { return m_immediateRead; }
  void SetImmediateRead(bool v) { m_immediateRead = v; }
  fw::TImageList& SystemImages() { return *m_images; }

private:
  static void CALLBACK DelayTimerProc(HWND, UINT, UINT_PTR id, DWORD);

  WORD m_readDelay = 500;
  UINT_PTR m_timerId = 0;
  bool m_immediateRead = true;
  fw::TImageList* m_images = nullptr;
  TQsCustomSystemListView* m_listView = nullptr;
  TQsCustomSystemComboBox* m_comboBox = nullptr;
};

class TQsSystemTreeView : public TQsCustomSystemTreeView {
public:
  explicit TQsSystemTreeView(fw::TComponent* owner);
  ~TQsSystemTreeView() override;

  static constexpr char kVersion[] = "TQsSystemTreeView v0.98.5 Beta";
  std::string Version() const { return kVersion; }
  void SetVersion(const std::string&) {}

  // --- Properties
  TRootFolder RootFolder() const { return m_rootFolder; }
  void SetRootFolder(TRootFolder v);
  const std::string& CustomDir() const { return m_customDir; }
  void SetCustomDir(const std::string& v);
  const std::string& CustomDirCaption() const { return m_customDirCaption; }
  void SetCustomDirCaption(const std::string& v);
  bool ShowFiles() const { return m_showFiles; }
  void SetShowFiles(bool v);
  bool ShowHiddenDirs() const { return m_showHiddenDirs; }
  void SetShowHiddenDirs(bool v) { m_showHiddenDirs = v; }
  bool ExpandRoot() const { return m_expandRoot; }
  void SetExpandRoot(bool v) { m_expandRoot = v; }
  bool Checkboxes() const { return m_checkboxes; }
  void SetCheckboxes(bool v);
  bool Autoscroll() const { return m_autoscroll; }
  void SetAutoscroll(bool v) { m_autoscroll = v; }
  const std::string& FileMask() const { return m_fileMask; }
  void SetFileMask(const std::string& v);
  TPopupMenuMethod PopupMenuMethod() const { return m_popupMenuMethod; }
  void SetPopupMenuMethod(TPopupMenuMethod v) { m_popupMenuMethod = v; }

  // The selected node's file-system path (empty outside the file system).
  std::string Selection();
  // Selects the folder of a path; kept for the next rebuild while there
  // is no window yet.
  void SetSelection(const std::string& path);
  std::string Directory() { return Selection(); }
  void SetDirectory(const std::string& path) { SetSelection(path); }

  std::function<void(fw::TComponent& sender, fw::TTreeNode* node)> OnPopulated;

  // --- Operations
  void ReadContents() override;
  void DelayedRead() override;
  LPCITEMIDLIST GetSelectedItemIdList() override;
  virtual IShellFolder* GetRootShellFolder() { return m_desktop; }
  // The node's folder data; null (after the error dialog) when it has none.
  TFolderItemData* NodeData(fw::TTreeNode* node, bool complain = true);
  // The node of a list relative to the root node, expanding on the way
  // (the deepest match).
  fw::TTreeNode* FindNode(LPCITEMIDLIST belowRoot);
  // The part of an absolute list below the root node (the list itself when
  // it does not start with the root's).
  LPCITEMIDLIST BelowRoot(LPCITEMIDLIST absolute);
  // Re-reads a node's children (a change seen, or asked for).
  void RereadNode(fw::TTreeNode* node);

  // --- State that tests look at
  const std::string& WatchedFolder() const { return m_watchedPath; }
  bool WatchingParent() const { return m_parentWatcher != nullptr; }
  // The changes the selected folder's watch waits for (0 when none runs).
  TChangeFilter WatchedChanges() const { return m_folderWatcher ? m_folderWatcher->Filter() : 0; }
  const std::string& PendingSelection() const { return m_pendingSelection; }

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
  // --- Overridables added here
  virtual void AutoscrollAt(int x, int y);
  virtual void Populated(fw::TTreeNode* node);
  virtual void DeleteNodeData(fw::TTreeNode& node);
  virtual fw::TTreeNode* AddChildNode(IShellFolder* folder, LPITEMIDLIST absolute, fw::TTreeNode* parent,
                                      LPITEMIDLIST relative);
  virtual void SortNodeChildren(fw::TTreeNode* node);
  virtual bool ShowNodeContextMenu(fw::TTreeNode* node, POINT screen);

  bool SelectItemIdList(LPCITEMIDLIST absolute) override;
  void CreateParams(fw::TCreateParams& p) override;
  void CreateWnd() override;
  void WindowDestroying() override;
  void Loaded() override;
  void ListViewLinkChanged() override;

  bool CanExpand(fw::TTreeNode& node) override;
  void Expand(fw::TTreeNode& node) override;
  void Change(fw::TTreeNode* node) override;
  bool CanEdit(fw::TTreeNode& node) override;
  void Edit(fw::TTreeNode& node, const std::string& text) override;
  void Delete(fw::TTreeNode& node) override;

private:
  LPITEMIDLIST RootItemIdList();
  bool Enumerate(fw::TTreeNode& node, IShellFolder* folder);
  int CompareNodes(fw::TTreeNode* a, fw::TTreeNode* b);
  void SortAll();
  void StopWatching();
  void Watch(fw::TTreeNode* node);
  TChangeFilter FolderFilter() const;
  void FolderWatcherFired();
  void ParentWatcherFired();
  std::string NodePath(fw::TTreeNode* node);
  void ApplyPendingSelection();
  // The shell's menu of the node at a WM_CONTEXTMENU point; false when none
  // was shown.
  bool ShowShellMenuAt(LPARAM lp);

  bool m_destroying = false;
  IShellFolder* m_desktop = nullptr;
  std::string m_pendingSelection;
  bool m_windowDestroying = false;
  TRootFolder m_rootFolder = TRootFolder::rfDesktop;
  bool m_showHiddenDirs = true;
  bool m_expandRoot = true;
  bool m_checkboxes = false;
  bool m_autoscroll = false;
  std::string m_customDir, m_customDirCaption;
  bool m_showFiles = false;
  TPopupMenuMethod m_popupMenuMethod = TPopupMenuMethod::pmmContext;
  TFileChangeThread* m_parentWatcher = nullptr;
  HTREEITEM m_parentWatchedItem = nullptr;
  TFileChangeThread* m_folderWatcher = nullptr;
  HTREEITEM m_watchedItem = nullptr;
  // The node whose shell menu is open; cleared when it is deleted.
  HTREEITEM m_menuItem = nullptr;
  std::string m_watchedPath;
  std::string m_fileMask;
  engine::TMaskList m_masks;
};

}  // namespace qv::controls
