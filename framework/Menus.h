// Pop-up menus: items with captions, checks, radio groups and click events,
// built into a Win32 menu each time the menu opens.
// Tested by tests/controls/edits/QvFixedEditPopUp_test.cpp (popup menus).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/Control.h"

namespace qv::fw {

class TMenuItem : public TComponent {
public:
  explicit TMenuItem(TComponent* owner) : TComponent(owner) {}
  std::string Caption;  // "-" is a separator
  bool Checked = false;
  bool Enabled = true;
  bool Visible = true;
  bool RadioItem = false;
  bool Default = false;
  int GroupIndex = 0;
  std::string ShortCutText;  // shown after a tab, e.g. "Ctrl+L"
  TNotifyEvent OnClick;
  void Click() {
    if (OnClick) OnClick(*this);
  }
};

// Which side of the menu the pop-up point is.
enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TComponent {
public:
  explicit TPopupMenu(TComponent* owner) : TComponent(owner) {}
  TPopupAlignment Alignment = paLeft;
  // Adds an item owned by the menu.
  TMenuItem& AddItem(const std::string& name, const std::string& caption);
  std::vector<TMenuItem*> Items() const;
  // The control the menu was last opened for.
  TControl* PopupComponent() const { return m_popupComponent; }
  TNotifyEvent OnPopup;
  // Shows the menu at a screen point and runs the chosen item's click.
  void Popup(int x, int y, TControl* forControl = nullptr);

  // Menu commands arriving as WM_COMMAND (none are routed that way today).
  static bool DispatchCommand(UINT) { return false; }

private:
  TControl* m_popupComponent = nullptr;
};

}  // namespace qv::fw
