// The shell list view and combo box that a folder tree links with: each
// follows the folder selected in its linked tree, tells the tree and its
// other linked control when its own folder changes, and carries the
// system image lists. Neither lists a folder's contents: no window of the
// program places them, so they stay small.
//
//   tree.SetListView(&list);    // links both ways; the list follows the tree
//   list.SetComboBox(&combo);   // the combo box now follows both
//
// Links are dropped when the other control is freed. Main thread only.
// Tested by tests/controls/shell/SystemFolderControls_test.cpp.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "controls/lists/EnhListView.h"
#include "controls/shell/ShellItems.h"
#include "framework/StdCtrls.h"

namespace qv::controls {

class TQsCustomSystemTreeView;
class TQsCustomSystemComboBox;

class TQsCustomSystemListView : public TCustomEnhListView {
public:
  explicit TQsCustomSystemListView(fw::TComponent* owner);
  ~TQsCustomSystemListView() override;

  TQsCustomSystemTreeView* TreeView() const { return m_tree; }
  void SetTreeView(TQsCustomSystemTreeView* tree);
  TQsCustomSystemComboBox* ComboBox() const { return m_combo; }
  void SetComboBox(TQsCustomSystemComboBox* combo);

  // The folder shown (absolute list, owned here), or null.
  LPCITEMIDLIST Folder() const { return m_folder.Get(); }
  // Its file-system path; empty outside the file system.
  std::string FolderPath() const { return ItemPath(m_folder.Get()); }
  // Shows another folder and tells the linked tree and combo box.
  void SetFolder(LPCITEMIDLIST absolute);

  // A linked control's folder changed (flag 0 after a selection, 1 after
  // a re-read): the view follows it without telling anyone back.
  void LinkedFolderChanged(LPCITEMIDLIST absolute, int flag);
  // Re-reads through the linked tree when there is one.
  virtual void ReadContents();

  fw::TImageList& SystemSmallImages() { return *m_small; }
  fw::TImageList& SystemLargeImages() { return *m_large; }

  // Every list alive (the device-change hook re-reads them).
  static const std::vector<TQsCustomSystemListView*>& LiveLists();

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
  void Notification(fw::TComponent* component, fw::TOperation op) override;

private:
  void LoadSystemImages();

  TQsCustomSystemTreeView* m_tree = nullptr;
  TQsCustomSystemComboBox* m_combo = nullptr;
  TPidl m_folder;
  fw::TImageList* m_small = nullptr;
  fw::TImageList* m_large = nullptr;
};

class TQsCustomSystemComboBox : public fw::TComboBox {
public:
  explicit TQsCustomSystemComboBox(fw::TComponent* owner);
  ~TQsCustomSystemComboBox() override;

  TQsCustomSystemTreeView* TreeView() const { return m_tree; }
  void SetTreeView(TQsCustomSystemTreeView* tree);
  TQsCustomSystemListView* ListView() const { return m_list; }
  void SetListView(TQsCustomSystemListView* list);

  LPCITEMIDLIST Folder() const { return m_folder.Get(); }
  std::string FolderPath() const { return ItemPath(m_folder.Get()); }
  void SetFolder(LPCITEMIDLIST absolute);
  void LinkedFolderChanged(LPCITEMIDLIST absolute, int flag);
  // Shows the folder's path as the one item; runs on every click.
  virtual void ReadContents();

  fw::TImageList& SystemSmallImages() { return *m_small; }

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
  void Notification(fw::TComponent* component, fw::TOperation op) override;

private:
  TQsCustomSystemTreeView* m_tree = nullptr;
  TQsCustomSystemListView* m_list = nullptr;
  TPidl m_folder;
  fw::TImageList* m_small = nullptr;
};

}  // namespace qv::controls
