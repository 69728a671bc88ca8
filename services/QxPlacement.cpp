// The form placement store.
#include "services/QxPlacement.h"

#include "framework/Application.h"

namespace qv::controls {

// --- TWinMinMaxInfo

LONG& TWinMinMaxInfo::Field(int index) {
  switch (index) {
    case 0: return m_info.ptMaxPosition.x;
    case 1: return m_info.ptMaxPosition.y;
    case 2: return m_info.ptMaxSize.y;
    case 3: return m_info.ptMaxSize.x;
    case 4: return m_info.ptMaxTrackSize.y;
    case 5: return m_info.ptMaxTrackSize.x;
    case 6: return m_info.ptMinTrackSize.y;
    default: return m_info.ptMinTrackSize.x;
  }
}

int TWinMinMaxInfo::Value(int index) const { return static_cast<int>(const_cast<TWinMinMaxInfo*>(this)->Field(index)); }

void TWinMinMaxInfo::SetValue(int index, int value) {
  if (Field(index) == value) return;
  Field(index) = value;
  if (m_owner) m_owner->MinMaxInfoModified();
}

void TWinMinMaxInfo::Assign(const TWinMinMaxInfo& other) {
  m_info = other.m_info;
  if (m_owner) m_owner->MinMaxInfoModified();
}

bool TWinMinMaxInfo::DefaultMinMaxInfo() const {
  for (int i = 0; i < 8; ++i)
    if (Value(i) != 0) return false;
  return true;
}

// --- TFormPlacement

// Opens the store for one operation unless it is open already; closes what
// it opened, also on failure.
class TFormPlacement::TStorageScope {
public:
  TStorageScope(TFormPlacement& p, bool forWriting) : m_p(p), m_opened(!p.m_storage) {
    if (m_opened) p.OpenStorage(forWriting);
  }
  ~TStorageScope() {
    if (m_opened) m_p.CloseStorage();
  }
  TStorageScope(const TStorageScope&) = delete;
  TStorageScope& operator=(const TStorageScope&) = delete;

private:
  TFormPlacement& m_p;
  bool m_opened;
};

TFormPlacement::TFormPlacement(TComponent* owner) : TComponent(owner) {
  if (dynamic_cast<TForm*>(owner)) m_options = {fpState, fpPosition};
  m_hook = &Make<TQxWindowHook>("");
  m_hook->AfterMessage = [this](TComponent&, TMessage& msg, bool&) { PlacementMessageHook(msg); };
  // Made while the owner builds its layout: hook its events once loaded.
  if (owner && owner->Loading()) BeginLoading();
}

TFormPlacement::~TFormPlacement() {
  CloseStorage();
  delete m_hook;  // before our members go: it calls back into us
  m_hook = nullptr;
  TForm* form = Form();
  if (m_formHooked && form && !form->Destroying()) {
    form->OnShow = std::move(m_saveFormShow);
    form->OnCloseQuery = std::move(m_saveFormCloseQuery);
    form->OnDestroy = std::move(m_saveFormDestroy);
  }
}

TForm* TFormPlacement::Form() const { return dynamic_cast<TForm*>(Owner()); }

std::string TFormPlacement::IniFileName() const {
  if (!m_iniFileName.empty()) return m_iniFileName;
  return m_useRegistry ? GetDefaultIniRegKey() : GetDefaultIniName();
}

std::string TFormPlacement::IniSection() const {
  return m_iniSection.empty() ? GetDefaultSection(Owner()) : m_iniSection;
}

void TFormPlacement::OpenStorage(bool forWriting) {
  if (m_storage) return;
  if (m_useRegistry) m_storage = std::make_unique<TPlacementRegistry>(m_registryRoot, IniFileName(), forWriting);
  else m_storage = std::make_unique<TPlacementIniFile>(IniFileName());
}

void TFormPlacement::CloseStorage() { m_storage.reset(); }

void TFormPlacement::Loaded() {
  TComponent::Loaded();
  TForm* form = Form();
  if (!form) return;
  m_saveFormShow = std::move(form->OnShow);
  m_saveFormCloseQuery = std::move(form->OnCloseQuery);
  m_saveFormDestroy = std::move(form->OnDestroy);
  form->OnShow = [this](TComponent& s) { FormShowHook(s); };
  form->OnCloseQuery = [this](TComponent& s, bool& canClose) { FormCloseQueryHook(s, canClose); };
  form->OnDestroy = [this](TComponent& s) { FormDestroyHook(s); };
  m_formHooked = true;
  if (m_preventResize) UpdatePreventResize();
  UpdateHook();
}

void TFormPlacement::ShowException() {
  if (qv::fw::Application()) qv::fw::Application()->HandleException(std::current_exception());
}

void TFormPlacement::FormShowHook(TComponent& sender) {
  if (m_active) {
    try {
      LoadPlacement();
    } catch (...) {
      ShowException();
    }
  }
  if (m_saveFormShow) m_saveFormShow(sender);
}

void TFormPlacement::FormCloseQueryHook(TComponent& sender, bool& canClose) {
  if (m_saveFormCloseQuery) m_saveFormCloseQuery(sender, canClose);
  TForm* form = Form();
  if (canClose && m_active && form && form->HandleAllocated()) {
    try {
      StorePlacement();
    } catch (...) {
      ShowException();
    }
  }
}

void TFormPlacement::FormDestroyHook(TComponent& sender) {
  if (m_active && !m_saved) {
    m_destroying = true;
    try {
      StorePlacement();
    } catch (...) {
      ShowException();
    }
    m_destroying = false;
  }
  if (m_saveFormDestroy) m_saveFormDestroy(sender);
}

void TFormPlacement::StorePlacement() {
  if (m_active && !m_restored) return;
  TStorageScope scope(*this, true);
  WriteStoredInteger("FormVersion", m_version);
  WritePlacementValues();
  SavePlacementEvent();
  m_saved = true;
}

void TFormPlacement::LoadPlacement() {
  m_saved = false;
  {
    struct TMarkRestored {
      bool& flag;
      ~TMarkRestored() { flag = true; }
    } mark{m_restored};
    TStorageScope scope(*this, false);
    if (ReadStoredInteger("FormVersion", 0) >= m_version) {
      ReadPlacementValues();
      m_restored = true;
      RestorePlacementEvent();
      TForm* form = Form();
      if (m_options.Has(fpActiveControl) && form) {
        const std::string name = ReadStoredString(IniSection(), "ActiveControl", "");
        auto* control = dynamic_cast<qv::fw::TWinControl*>(form->FindComponent(name));
        if (control && control->CanFocus()) form->SetActiveControl(control);
      }
    }
  }
  UpdatePlacement();
}

void TFormPlacement::WritePlacementValues() {
  TForm* form = Form();
  if (!form) return;
  if (m_options.Has(fpState) || m_options.Has(fpPosition)) {
    WriteFormPlacement(*form, m_storage.get(), IniSection());
    WriteStoredString(IniSection(), "Visible", m_destroying ? "1" : "0");
  }
  if (m_options.Has(fpActiveControl) && form->ActiveControl())
    WriteStoredString(IniSection(), "ActiveControl", form->ActiveControl()->Name());
}

void TFormPlacement::ReadPlacementValues() {
  TForm* form = Form();
  if (!form) return;
  TWindowState deferred = wsNormal;
  ReadFormPlacement(*form, m_storage.get(), IniSection(), m_options.Has(fpPosition), m_options.Has(fpState),
                    &deferred);
  m_pendingState = deferred;
  UpdateHook();
}

std::string TFormPlacement::ReadStoredString(const std::string& section, const std::string& ident,
                                             const std::string& def) {
  TStorageScope scope(*this, false);
  return IniReadString(m_storage.get(), section, ident, def);
}

void TFormPlacement::WriteStoredString(const std::string& section, const std::string& ident,
                                       const std::string& value) {
  TStorageScope scope(*this, true);
  IniWriteString(m_storage.get(), section, ident, value);
}

int TFormPlacement::ReadStoredInteger(const std::string& ident, int def) {
  TStorageScope scope(*this, false);
  return IniReadInteger(m_storage.get(), IniSection(), ident, def);
}

void TFormPlacement::WriteStoredInteger(const std::string& ident, int value) {
  TStorageScope scope(*this, true);
  IniWriteInteger(m_storage.get(), IniSection(), ident, value);
}

void TFormPlacement::SavePlacementEvent() {
  if (OnSavePlacement) OnSavePlacement(*this);
}

void TFormPlacement::RestorePlacementEvent() {
  if (OnRestorePlacement) OnRestorePlacement(*this);
}

void TFormPlacement::SetPreventResize(bool v) {
  if (!Form() || v == m_preventResize) return;
  m_preventResize = v;
  UpdatePlacement();
  UpdatePreventResize();
}

void TFormPlacement::UpdatePreventResize() {
  TForm* form = Form();
  if (!form) return;
  if (HWND hwnd = Loading() ? form->HandleIfAllocated() : form->Handle()) {
    const LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
    LONG_PTR wanted = style;
    if (m_preventResize) {
      if (style & WS_MAXIMIZEBOX) m_hadMaximize = true;
      wanted &= ~static_cast<LONG_PTR>(WS_MAXIMIZEBOX);
    } else {
      // Only a button we took away comes back, and never on a dialog.
      if (m_hadMaximize && form->BorderStyle() != qv::fw::TBorderStyle::Dialog) wanted |= WS_MAXIMIZEBOX;
      m_hadMaximize = false;
    }
    if (wanted != style) {
      const bool active = m_active;
      m_active = false;
      SetWindowLongPtrA(hwnd, GWL_STYLE, wanted);
      SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      m_active = active;
    }
  }
  if (!Loading()) UpdateHook();
}

void TFormPlacement::UpdateHook() {
  TForm* form = Form();
  if (!form || !m_hook) return;
  const bool wanted = !m_minMaxInfo.DefaultMinMaxInfo() || m_preventResize || m_pendingState != wsNormal;
  if (wanted) {
    m_hook->SetWinControl(form);
    m_hook->SetActive(true);
  } else {
    m_hook->SetActive(false);
  }
}

void TFormPlacement::UpdatePlacement() {
  TForm* form = Form();
  if (!form || !form->HandleAllocated() || Loading() || m_preventResize || !m_minMaxInfo.DefaultMinMaxInfo()) return;
  HWND hwnd = form->HandleIfAllocated();
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  GetWindowPlacement(hwnd, &wp);
  if (!IsWindowVisible(hwnd)) wp.showCmd = SW_HIDE;
  int cx = 0, cy = 0;
  switch (form->BorderStyle()) {
    case qv::fw::TBorderStyle::Single:
    case qv::fw::TBorderStyle::ToolWindow:
      cx = GetSystemMetrics(SM_CXBORDER);
      cy = GetSystemMetrics(SM_CYBORDER);
      break;
    case qv::fw::TBorderStyle::Sizeable:
      cx = GetSystemMetrics(SM_CXFRAME);
      cy = GetSystemMetrics(SM_CYFRAME);
      break;
    case qv::fw::TBorderStyle::Dialog:
      cx = GetSystemMetrics(SM_CXDLGFRAME);
      cy = GetSystemMetrics(SM_CYDLGFRAME);
      break;
    case qv::fw::TBorderStyle::None:
      break;
  }
  wp.ptMaxPosition = POINT{-cx, -cy};
  SetWindowPlacement(hwnd, &wp);
}

void TFormPlacement::MinMaxInfoModified() {
  UpdatePlacement();
  if (!Loading()) UpdateHook();
}

void TFormPlacement::PlacementMessageHook(TMessage& msg) {
  TForm* form = Form();
  if (!form) return;
  HWND hwnd = form->HandleIfAllocated();
  if (m_pendingState != wsNormal && msg.Msg == WM_SHOWWINDOW && msg.WParam && hwnd) {
    // The state read while the form was hidden, applied as it shows: the
    // show under way then keeps that size, so the window appears once, in
    // its final state.
    const TWindowState state = m_pendingState;
    m_pendingState = wsNormal;
    ShowWindow(hwnd, state == wsMaximized ? SW_SHOWMAXIMIZED : SW_SHOWMINIMIZED);
    UpdateHook();
    return;
  }
  if (m_preventResize) {
    switch (msg.Msg) {
      case WM_GETMINMAXINFO:
        if (hwnd && IsWindowVisible(hwnd)) {
          auto* mmi = reinterpret_cast<MINMAXINFO*>(msg.LParam);
          mmi->ptMinTrackSize = POINT{form->Width(), form->Height()};
          mmi->ptMaxTrackSize = POINT{form->Width(), form->Height()};
        }
        msg.Result = 1;
        break;
      case WM_NCHITTEST:
        if (msg.Result >= HTLEFT && msg.Result <= HTBOTTOMRIGHT) msg.Result = HTNOWHERE;
        break;
      case WM_INITMENUPOPUP:
        if (HIWORD(msg.LParam) != 0) {
          HMENU menu = reinterpret_cast<HMENU>(msg.WParam);
          EnableMenuItem(menu, SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
          EnableMenuItem(menu, SC_MAXIMIZE, MF_BYCOMMAND | MF_GRAYED);
          msg.Result = 1;
        }
        break;
      default:
        break;
    }
  } else if (msg.Msg == WM_GETMINMAXINFO && !m_minMaxInfo.DefaultMinMaxInfo()) {
    auto* mmi = reinterpret_cast<MINMAXINFO*>(msg.LParam);
    const MINMAXINFO& limits = m_minMaxInfo.Info();
    auto take = [](LONG& target, LONG value) {
      if (value != 0) target = value;
    };
    take(mmi->ptMaxPosition.x, limits.ptMaxPosition.x);
    take(mmi->ptMaxPosition.y, limits.ptMaxPosition.y);
    take(mmi->ptMaxSize.x, limits.ptMaxSize.x);
    take(mmi->ptMaxSize.y, limits.ptMaxSize.y);
    take(mmi->ptMaxTrackSize.x, limits.ptMaxTrackSize.x);
    take(mmi->ptMaxTrackSize.y, limits.ptMaxTrackSize.y);
    take(mmi->ptMinTrackSize.x, limits.ptMinTrackSize.x);
    take(mmi->ptMinTrackSize.y, limits.ptMinTrackSize.y);
    msg.Result = 1;
  }
}

}  // namespace qv::controls
