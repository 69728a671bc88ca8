// The shared context menu of the edits (Undo, Cut, Copy, Paste, Delete,
// Select All), standing in for an edit that has no menu of its own. One
// menu serves every edit (menus open one at a time); before each showing
// its items follow the edit's state and allowed clipboard commands. The
// captions are the system's own (its edit menu in user32), so they come in
// the user's language; the built-in English ones remain where the system
// has none.
// Example:  FixedEditPopUp(edit).Popup(x, y, &edit);
// Main thread only. Tested by tests/controls/edits/QvFixedEditPopUp_test.cpp.
#pragma once

#include <string>

#include "framework/Menus.h"
#include "framework/WinControl.h"

namespace qv::controls {

// An edit-like control that answers the menu's queries and runs its
// commands itself (instead of through its window's messages).
class IQvEditCommands {
public:
  virtual bool CanUndo() = 0;
  virtual bool HasSelection() = 0;
  virtual bool CanCut() = 0;
  virtual bool CanCopy() = 0;
  virtual bool CanPaste() = 0;
  virtual bool CanSelectAll() = 0;
  virtual void Undo() = 0;
  virtual void Cut() = 0;
  virtual void Copy() = 0;
  virtual void Paste() = 0;
  virtual void Delete() = 0;
  virtual void SelectAll() = 0;

protected:
  ~IQvEditCommands() = default;
};

// The shared menu, made on first use, linked to `edit` (a freed edit
// unlinks itself) and with its items set for it. Lives to the end of the
// program.
qv::fw::TPopupMenu& FixedEditPopUp(qv::fw::TWinControl& edit);

// The edit the shared menu serves now (null when none, or freed).
qv::fw::TWinControl* FixedEditPopUpTarget();

// Process-wide: keep the built-in English captions instead of the
// system's. Off at start; read when the menu is first built.
bool KeepBuiltInEditMenuCaptions();
void SetKeepBuiltInEditMenuCaptions(bool v);

// The items' names in the shared menu.
inline constexpr const char* kFixedEditItemNames[] = {"EditUndo", "EditCut", "EditCopy",
                                                      "EditPaste", "EditDelete", "EditSelectAll"};

}  // namespace qv::controls
