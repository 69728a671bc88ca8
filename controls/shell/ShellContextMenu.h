// The shell's context menu of items: shown as a popup (with the shell's
// owner-drawn submenus served and each command's verb and help text shown
// as the application's hint while the mouse moves over it), or one of its
// commands carried out directly (properties, the default command, a verb).
//
//   TContextMenuRequest r{folder, &childPidl, 1, attributes, screenPoint, hwnd};
//   bool rename = false;
//   if (ShowItemContextMenu(r, rename) && rename) node->EditText();
//
// One menu at a time, main thread only (the menu's version and the rename
// choice are module state while it is open).
// Tested by tests/controls/shell/ShellItems_test.cpp and SystemTreeView_test.cpp.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

namespace qv::controls {

enum class TContextMenuAction { Popup = 0, Properties = 1, Default = 2, Verb = 3 };

struct TContextMenuRequest {
  IShellFolder* Folder = nullptr;       // the items' parent folder
  const LPCITEMIDLIST* Items = nullptr;  // relative lists
  UINT Count = 0;
  ULONG Attributes = 0;  // SFGAO_* of the items
  POINT ScreenPoint{};
  HWND Owner = nullptr;
  TContextMenuAction Action = TContextMenuAction::Popup;
  std::string Verb;  // TContextMenuAction::Verb only
};

// The rename command (which the caller handles itself, as a label edit) is
// the one whose verb is "rename"; this number stands for it only in a menu
// that gives no verb for the chosen command.
inline constexpr UINT kRenameCommand = 19;

// True when a command was carried out, or the menu was shown and closed
// without a choice; renameWanted says the user picked rename (nothing is
// invoked then). False when the shell gives no menu.
bool ShowItemContextMenu(const TContextMenuRequest& request, bool& renameWanted);

// The same for items named by a path; "*" and "?" in its last part select
// every matching file of the folder. The cursor is an hourglass meanwhile.
bool ShowFileContextMenu(const std::string& path, POINT screenPoint, HWND owner, TContextMenuAction action,
                         const std::string& verb, bool& renameWanted);

}  // namespace qv::controls
