// Pop-up menus.
#include "framework/Menus.h"

#include "framework/Application.h"
#include "framework/WinControl.h"

namespace qv::fw {

TMenuItem& TPopupMenu::AddItem(const std::string& name, const std::string& caption) {
  TMenuItem& item = Make<TMenuItem>(name);
  item.Caption = caption;
  return item;
}

std::vector<TMenuItem*> TPopupMenu::Items() const {
  std::vector<TMenuItem*> items;
  for (TComponent* c : Components())
    if (auto* m = dynamic_cast<TMenuItem*>(c)) items.push_back(m);
  return items;
}

void TPopupMenu::Popup(int x, int y, TControl* forControl) {
  m_popupComponent = forControl;
  if (OnPopup) OnPopup(*this);
  const auto items = Items();
  HMENU menu = CreatePopupMenu();
  UINT id = 1;
  for (TMenuItem* item : items) {
    if (item->Visible) {
      if (item->Caption == "-") {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      } else {
        std::string text = item->Caption;
        if (!item->ShortCutText.empty()) text += "\t" + item->ShortCutText;
        UINT flags = MF_STRING | (item->Checked ? MF_CHECKED : 0) | (item->Enabled ? 0 : MF_GRAYED);
        AppendMenuA(menu, flags, id, text.c_str());
        if (item->RadioItem && item->Checked) {
          MENUITEMINFOA mii{};
          mii.cbSize = sizeof mii;
          mii.fMask = MIIM_FTYPE;
          mii.fType = MFT_RADIOCHECK;
          SetMenuItemInfoA(menu, id, FALSE, &mii);
        }
        if (item->Default) SetMenuDefaultItem(menu, id, FALSE);
      }
    }
    ++id;
  }
  HWND owner = Application() ? Application()->ActiveFormHandle() : nullptr;
  if (forControl && forControl->IsWindowed())
    owner = static_cast<TWinControl*>(forControl)->HandleIfAllocated();
  const UINT align = Alignment == paRight ? TPM_RIGHTALIGN : Alignment == paCenter ? TPM_CENTERALIGN : TPM_LEFTALIGN;
  const UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | align, x, y, 0, owner, nullptr);
  DestroyMenu(menu);
  if (chosen >= 1 && chosen <= items.size()) items[chosen - 1]->Click();
}

}  // namespace qv::fw
