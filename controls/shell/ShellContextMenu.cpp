// The shell context menu of items, its helper window and its hints.
#include "controls/shell/ShellContextMenu.h"

#include <vector>

#include "controls/shell/ShellItems.h"
#include "controls/shell/detail/ShellMenuHooks.h"
#include "framework/Application.h"

namespace qv::controls {

namespace {

constexpr UINT kFirstCommand = 1, kLastCommand = 0x7FFF;
constexpr char kHelperClass[] = "ItemPropMenuCallbackHelper";
constexpr char kHelperTitle[] = "ItemPropCallbackProcessor";

// The open menu's versions, read by the helper window.
bool g_hasMenu2 = false, g_hasMenu3 = false;

detail::TMenuTracker& Tracker() {
  static detail::TMenuTracker tracker;
  return tracker;
}

// The menu object in its highest version; released with the holder.
struct TMenuObject {
  IContextMenu* Menu = nullptr;
  IContextMenu2* Menu2 = nullptr;
  IContextMenu3* Menu3 = nullptr;
  ~TMenuObject() {
    if (Menu3) Menu3->Release();
    if (Menu2) Menu2->Release();
    if (Menu) Menu->Release();
  }
};

std::string CommandString(IContextMenu* menu, UINT command, UINT type) {
  char buf[MAX_PATH + 1] = {};
  if (FAILED(menu->GetCommandString(command, type, nullptr, buf, MAX_PATH))) return {};
  buf[MAX_PATH] = '\0';
  return buf;
}

LRESULT CALLBACK HelperProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* object = reinterpret_cast<TMenuObject*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_CREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
      break;
    }
    case WM_INITMENUPOPUP:
    case WM_DRAWITEM:
    case WM_MEASUREITEM: {
      if (object) {
        if (g_hasMenu3 && object->Menu3) {
          LRESULT r = 0;
          object->Menu3->HandleMenuMsg2(msg, wp, lp, &r);
        } else if (g_hasMenu2 && object->Menu2) {
          object->Menu2->HandleMenuMsg(msg, wp, lp);
        }
      }
      return msg == WM_INITMENUPOPUP ? 0 : 1;
    }
    case WM_MENUSELECT: {
      fw::TApplication* app = fw::Application();
      const UINT flags = HIWORD(wp);
      if (flags == 0xFFFF && lp == 0) {
        if (app) app->SetHint("");
        return 0;
      }
      const UINT command = LOWORD(wp);
      // Submenu and separator rows carry an index, not a command.
      if (object && app && command >= kFirstCommand && command <= kLastCommand &&
          !(flags & (MF_POPUP | MF_SEPARATOR))) {
        const std::string verb = CommandString(object->Menu, command - kFirstCommand, GCS_VERBA);
        const std::string help = CommandString(object->Menu, command - kFirstCommand, GCS_HELPTEXTA);
        app->SetHint(verb + "|" + help);
      }
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND CreateHelper(TMenuObject& object) {
  static bool registered = false;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!registered) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &HelperProc;
    wc.hInstance = instance;
    wc.lpszClassName = kHelperClass;
    registered = RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }
  return CreateWindowExA(0, kHelperClass, kHelperTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, &object);
}

// Command numbers are the shell's to choose, so rename is known by its verb;
// only a menu that names no verb for the command falls back to the number
// rename has in the common shell menu.
bool IsRenameCommand(IContextMenu* menu, UINT chosen) {
  const UINT offset = chosen - kFirstCommand;
  wchar_t wide[MAX_PATH + 1] = {};
  if (SUCCEEDED(menu->GetCommandString(offset, GCS_VERBW, nullptr, reinterpret_cast<LPSTR>(wide), MAX_PATH))) {
    wide[MAX_PATH] = L'\0';
    if (wide[0]) return _wcsicmp(wide, L"rename") == 0;
  }
  const std::string narrow = CommandString(menu, offset, GCS_VERBA);
  if (!narrow.empty()) return _stricmp(narrow.c_str(), "rename") == 0;
  return chosen == kRenameCommand;
}

bool Invoke(IContextMenu* menu, HWND owner, LPCSTR verb) {
  CMINVOKECOMMANDINFO info{};
  info.cbSize = sizeof info;
  info.hwnd = owner;
  info.lpVerb = verb;
  info.nShow = SW_SHOWNORMAL;
  return SUCCEEDED(menu->InvokeCommand(&info));
}

// Some menus only know their string verbs once they have been built.
bool InvokeVerb(IContextMenu* menu, HWND owner, const std::string& verb) {
  HMENU scratch = CreatePopupMenu();
  if (scratch) menu->QueryContextMenu(scratch, 0, kFirstCommand, kLastCommand, CMF_NORMAL);
  const bool ok = Invoke(menu, owner, verb.c_str());
  if (scratch) DestroyMenu(scratch);
  return ok;
}

bool RunPopup(TMenuObject& object, const TContextMenuRequest& r, bool& renameWanted) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return false;
  bool result = false;
  if (SUCCEEDED(object.Menu->QueryContextMenu(menu, 0, kFirstCommand, kLastCommand, CMF_EXPLORE | CMF_CANRENAME))) {
    HWND helper = CreateHelper(object);
    UINT chosen = 0;
    if (Tracker()) {
      chosen = Tracker()(menu, helper, r.ScreenPoint.x, r.ScreenPoint.y);
    } else {
      chosen = static_cast<UINT>(TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, r.ScreenPoint.x,
                                                  r.ScreenPoint.y, helper, nullptr));
    }
    if (chosen != 0 && IsRenameCommand(object.Menu, chosen)) {
      renameWanted = true;
      result = true;
    } else if (chosen != 0) {
      result = Invoke(object.Menu, r.Owner, MAKEINTRESOURCEA(chosen - kFirstCommand));
    } else {
      result = true;  // shown, nothing chosen
    }
    if (helper) DestroyWindow(helper);
  }
  DestroyMenu(menu);
  return result;
}

bool RunDefault(IContextMenu* object, HWND owner) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return false;
  bool result = false;
  if (SUCCEEDED(object->QueryContextMenu(menu, 0, kFirstCommand, kLastCommand, CMF_DEFAULTONLY))) {
    const UINT item = GetMenuDefaultItem(menu, FALSE, 0);
    if (item != static_cast<UINT>(-1) && item >= kFirstCommand)
      result = Invoke(object, owner, MAKEINTRESOURCEA(item - kFirstCommand));
  }
  DestroyMenu(menu);
  return result;
}

}  // namespace

namespace detail {
void SetMenuTracker(TMenuTracker tracker) { Tracker() = std::move(tracker); }
}  // namespace detail

bool ShowItemContextMenu(const TContextMenuRequest& r, bool& renameWanted) {
  renameWanted = false;
  if (!r.Folder || !r.Items || r.Count == 0) return false;
  EnsureOleInitialized();
  TMenuObject object;
  void* obj = nullptr;
  if (FAILED(r.Folder->GetUIObjectOf(r.Owner, r.Count, const_cast<LPCITEMIDLIST*>(r.Items), IID_IContextMenu,
                                     nullptr, &obj)) ||
      !obj)
    return false;
  object.Menu = static_cast<IContextMenu*>(obj);
  if (SUCCEEDED(object.Menu->QueryInterface(IID_IContextMenu2, &obj)) && obj) {
    object.Menu2 = static_cast<IContextMenu2*>(obj);
    if (SUCCEEDED(object.Menu->QueryInterface(IID_IContextMenu3, &obj)) && obj)
      object.Menu3 = static_cast<IContextMenu3*>(obj);
  }
  g_hasMenu2 = object.Menu2 != nullptr;
  g_hasMenu3 = object.Menu3 != nullptr;
  bool result = false;
  switch (r.Action) {
    case TContextMenuAction::Popup:
      result = RunPopup(object, r, renameWanted);
      break;
    case TContextMenuAction::Properties:
      result = (r.Attributes & SFGAO_HASPROPSHEET) && InvokeVerb(object.Menu, r.Owner, "properties");
      break;
    case TContextMenuAction::Default:
      result = RunDefault(object.Menu, r.Owner);
      break;
    case TContextMenuAction::Verb:
      result = !r.Verb.empty() && InvokeVerb(object.Menu, r.Owner, r.Verb);
      break;
  }
  g_hasMenu2 = g_hasMenu3 = false;
  return result;
}

namespace {

TPidl Parse(IShellFolder* folder, const std::string& name) {
  std::wstring w = AnsiToWide(name);
  LPITEMIDLIST pidl = nullptr;
  ULONG eaten = 0;
  if (FAILED(folder->ParseDisplayName(nullptr, nullptr, w.data(), &eaten, &pidl, nullptr))) return {};
  return AdoptItemIdList(pidl);
}

struct TComRelease {
  IUnknown* p;
  ~TComRelease() {
    if (p) p->Release();
  }
};

}  // namespace

bool ShowFileContextMenu(const std::string& path, POINT screenPoint, HWND owner, TContextMenuAction action,
                         const std::string& verb, bool& renameWanted) {
  renameWanted = false;
  const size_t slash = path.find_last_of('\\');
  if (slash == std::string::npos) return false;
  std::string folderPath = path.substr(0, slash);
  const std::string name = path.substr(slash + 1);
  if (folderPath.size() == 2 && folderPath[1] == ':') folderPath += '\\';

  HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  IShellFolder* desktop = nullptr;
  bool result = false;
  if (SUCCEEDED(SHGetDesktopFolder(&desktop)) && desktop) {
    TComRelease desktopRelease{desktop};
    IShellFolder* folder = nullptr;
    if (TPidl folderPidl = Parse(desktop, folderPath)) {
      void* obj = nullptr;
      if (SUCCEEDED(desktop->BindToObject(folderPidl.Get(), nullptr, IID_IShellFolder, &obj))) folder = static_cast<IShellFolder*>(obj);
    }
    TComRelease folderRelease{folder};
    std::vector<TPidl> items;
    if (folder && name.find_first_of("*?") != std::string::npos) {
      WIN32_FIND_DATAA fd;
      HANDLE find = FindFirstFileA(path.c_str(), &fd);
      if (find != INVALID_HANDLE_VALUE) {
        do {
          const std::string n = fd.cFileName;
          if (n == "." || n == "..") continue;
          if (TPidl p = Parse(folder, n)) items.push_back(std::move(p));
        } while (FindNextFileA(find, &fd));
        FindClose(find);
      }
    } else if (folder) {
      if (TPidl p = Parse(folder, name)) items.push_back(std::move(p));
    }
    IShellFolder* target = folder;
    IShellFolder* firstFolder = nullptr;
    if (items.empty() && name.find_first_of("*?") == std::string::npos) {
      // Not a file of a folder (a drive, a virtual item): the whole path
      // may still parse in the desktop's first folder.
      IEnumIDList* en = nullptr;
      if (desktop->EnumObjects(owner, SHCONTF_FOLDERS, &en) == S_OK && en) {
        LPITEMIDLIST first = nullptr;
        ULONG got = 0;
        if (en->Next(1, &first, &got) == S_OK && got == 1) {
          TPidl firstPidl = AdoptItemIdList(first);
          void* obj = nullptr;
          if (SUCCEEDED(desktop->BindToObject(firstPidl.Get(), nullptr, IID_IShellFolder, &obj)))
            firstFolder = static_cast<IShellFolder*>(obj);
        }
        en->Release();
      }
      if (firstFolder) {
        if (TPidl p = Parse(firstFolder, path)) {
          items.push_back(std::move(p));
          target = firstFolder;
        }
      }
    }
    TComRelease firstRelease{firstFolder};
    if (target && !items.empty()) {
      std::vector<LPCITEMIDLIST> raw;
      for (const TPidl& p : items) raw.push_back(p.Get());
      ULONG attributes = SFGAO_CAPABILITYMASK | SFGAO_HASPROPSHEET | SFGAO_FOLDER | SFGAO_FILESYSTEM;
      if (FAILED(target->GetAttributesOf(static_cast<UINT>(raw.size()), raw.data(), &attributes))) attributes = 0;
      TContextMenuRequest r;
      r.Folder = target;
      r.Items = raw.data();
      r.Count = static_cast<UINT>(raw.size());
      r.Attributes = attributes;
      r.ScreenPoint = screenPoint;
      r.Owner = owner;
      r.Action = action;
      r.Verb = verb;
      SetCursor(previous);
      result = ShowItemContextMenu(r, renameWanted);
    }
  }
  SetCursor(previous);
  return result;
}

}  // namespace qv::controls
