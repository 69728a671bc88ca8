// The shared edit context menu.
#include "controls/edits/QvFixedEditPopUp.h"

#include <memory>

#include "controls/edits/QvExStdCtrls.h"
#include "framework/StdCtrls.h"

namespace qv::controls {

namespace {

using qv::fw::TMenuItem;
using qv::fw::TWinControl;

bool g_keepBuiltInCaptions = false;

enum TItem { iUndo, iCut, iCopy, iPaste, iDelete, iSelectAll, iCount };

// The built-in captions and the command each one is looked up by.
struct TItemDef {
  const char* caption;
  UINT command;
};
constexpr TItemDef kItems[iCount] = {
    {"&Undo", WM_UNDO}, {"Cu&t", WM_CUT}, {"&Copy", WM_COPY}, {"&Paste", WM_PASTE},
    {"&Delete", WM_CLEAR}, {"Select &All", EM_SETSEL},
};

// The system's caption of a command in its edit menu ("" when none). Wine
// names that menu "EDITMENU" and gives Undo the command EM_UNDO.
std::string SystemCaption(HMENU popup, UINT command) {
  char buf[256] = {};
  int n = GetMenuStringA(popup, command, buf, sizeof buf, MF_BYCOMMAND);
  if (n <= 0 && command == WM_UNDO) n = GetMenuStringA(popup, EM_UNDO, buf, sizeof buf, MF_BYCOMMAND);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

// The window that holds a control's text: a combo box's inner edit, or the
// control's own window.
HWND TextWindowOf(TWinControl& c) {
  HWND h = c.HandleIfAllocated();
  if (!h) return nullptr;
  if (dynamic_cast<qv::fw::TComboBox*>(&c)) {
    if (HWND inner = FindWindowExA(h, nullptr, "Edit", nullptr)) return inner;
  }
  return h;
}

class THiddenPopupObject : public qv::fw::TComponent {
public:
  THiddenPopupObject() : TComponent(nullptr) {}

  qv::fw::TPopupMenu& Menu(TWinControl& edit) {
    m_edit.Set(&edit);
    if (!m_menu) Build();
    return *m_menu;
  }
  TWinControl* Edit() const { return m_edit.Get(); }

private:
  void Build() {
    m_menu = &Make<qv::fw::TPopupMenu>("FixedEditPopUp");
    const char* names[] = {"EditUndo", "", "EditCut", "EditCopy", "EditPaste", "EditDelete", "", "EditSelectAll"};
    int item = 0;
    for (const char* name : names) {
      if (!*name) {
        m_menu->AddItem("", "-");
        continue;
      }
      TMenuItem& mi = m_menu->AddItem(name, kItems[item].caption);
      const int which = item;
      mi.OnClick = [this, which](qv::fw::TComponent&) { Run(which); };
      m_items[item++] = &mi;
    }
    if (!g_keepBuiltInCaptions) TakeSystemCaptions();
    m_menu->OnPopup = [this](qv::fw::TComponent&) { UpdateItems(); };
  }

  void TakeSystemCaptions() {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    HMENU menu = LoadMenuA(user32, MAKEINTRESOURCEA(1));
    if (!menu) menu = LoadMenuA(user32, "EDITMENU");
    if (!menu) return;
    if (HMENU popup = GetSubMenu(menu, 0)) {
      for (int i = 0; i < iCount; ++i) {
        const std::string caption = SystemCaption(popup, kItems[i].command);
        if (!caption.empty()) m_items[i]->Caption = caption;
      }
    }
    DestroyMenu(menu);
  }

  void UpdateItems() {
    TWinControl* edit = m_edit.Get();
    if (!edit || !edit->HandleAllocated()) return;
    auto* qv = dynamic_cast<TQvExCustomEdit*>(edit);
    const TQvClipboardCommands allowed = qv ? qv->ClipboardCommands() : (caCopy | caCut | caPaste | caUndo);
    // Delete goes through the clipboard gate as well: offer it only when
    // the gate lets it through.
    const bool clearAllowed = !qv || (allowed & caClear);
    bool state[iCount];
    if (auto* cmds = dynamic_cast<IQvEditCommands*>(edit)) {
      const bool sel = cmds->HasSelection();
      state[iUndo] = (allowed & caUndo) && cmds->CanUndo();
      state[iCut] = (allowed & caCut) && sel && cmds->CanCut();
      state[iCopy] = (allowed & caCopy) && sel && cmds->CanCopy();
      state[iPaste] = (allowed & caPaste) && cmds->CanPaste();
      state[iDelete] = clearAllowed && sel && cmds->CanCut();
      state[iSelectAll] = cmds->CanSelectAll();
    } else {
      HWND h = TextWindowOf(*edit);
      DWORD start = 0, end = 0;
      SendMessageA(h, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
      const bool sel = end > start;
      const bool readOnly = (GetWindowLongPtrA(h, GWL_STYLE) & ES_READONLY) != 0;
      const LRESULT len = GetWindowTextLengthA(h);
      state[iUndo] = (allowed & caUndo) && SendMessageA(h, EM_CANUNDO, 0, 0) != 0;
      state[iCut] = sel && !readOnly && (allowed & caCut);
      state[iCopy] = sel && (allowed & caCopy);
      state[iPaste] = !readOnly && (allowed & caPaste);
      state[iDelete] = sel && !readOnly && clearAllowed;
      state[iSelectAll] = len > 0 && static_cast<DWORD>(len) != end - start;
    }
    for (int i = 0; i < iCount; ++i) m_items[i]->Enabled = state[i];
  }

  void Run(int which) {
    TWinControl* edit = m_edit.Get();
    if (!edit || !edit->HandleAllocated()) return;
    if (auto* cmds = dynamic_cast<IQvEditCommands*>(edit)) {
      switch (which) {
        case iUndo: cmds->Undo(); break;
        case iCut: cmds->Cut(); break;
        case iCopy: cmds->Copy(); break;
        case iPaste: cmds->Paste(); break;
        case iDelete: cmds->Delete(); break;
        default: cmds->SelectAll(); break;
      }
      return;
    }
    // The commands pass through the edit's own window (and its gate); a
    // combo box has no edit messages of its own, so its inner edit gets them.
    HWND target = TextWindowOf(*edit);
    switch (which) {
      case iUndo: SendMessageA(target, WM_UNDO, 0, 0); break;
      case iCut: SendMessageA(target, WM_CUT, 0, 0); break;
      case iCopy: SendMessageA(target, WM_COPY, 0, 0); break;
      case iPaste: SendMessageA(target, WM_PASTE, 0, 0); break;
      case iDelete: SendMessageA(target, WM_CLEAR, 0, 0); break;
      default: SendMessageA(target, EM_SETSEL, 0, -1); break;
    }
  }

  qv::fw::TPopupMenu* m_menu = nullptr;
  TMenuItem* m_items[iCount] = {};
  qv::fw::TComponentLink<TWinControl> m_edit;
};

std::unique_ptr<THiddenPopupObject>& Hidden() {
  static std::unique_ptr<THiddenPopupObject> object;
  return object;
}

}  // namespace

qv::fw::TPopupMenu& FixedEditPopUp(qv::fw::TWinControl& edit) {
  auto& object = Hidden();
  if (!object) object = std::make_unique<THiddenPopupObject>();
  return object->Menu(edit);
}

qv::fw::TWinControl* FixedEditPopUpTarget() { return Hidden() ? Hidden()->Edit() : nullptr; }

bool KeepBuiltInEditMenuCaptions() { return g_keepBuiltInCaptions; }
void SetKeepBuiltInEditMenuCaptions(bool v) { g_keepBuiltInCaptions = v; }

}  // namespace qv::controls
