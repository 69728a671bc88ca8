// Windowed controls: creation, subclassing, dispatch and reflection.
#include "framework/WinControl.h"

#include <algorithm>
#include <set>

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/Form.h"
#include "framework/Menus.h"

namespace qv::fw {

namespace {

const char kObjectProp[] = "QvObject";
const char kNameProp[] = "QvName";

UINT NextControlId() {
  static UINT id = 1000;
  return ++id;
}

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

void RegisterOwnClass(const TCreateParams& p, WNDPROC proc) {
  static std::set<std::string> registered;
  if (registered.count(p.ClassName)) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = p.ClassStyle;
  wc.lpfnWndProc = proc;
  wc.hInstance = Instance();
  wc.hCursor = p.ClassCursor ? p.ClassCursor : LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconA(Instance(), "MAINICON");
  wc.lpszClassName = p.ClassName.c_str();
  if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw EWin32Error("RegisterClassEx " + p.ClassName, GetLastError());
  registered.insert(p.ClassName);
}

TMouseButton ButtonOf(UINT msg) {
  switch (msg) {
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return TMouseButton::Right;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return TMouseButton::Middle;
    default: return TMouseButton::Left;
  }
}

TShiftState ShiftFromMouse(WPARAM wp) {
  TShiftState s;
  s.Shift = (wp & MK_SHIFT) != 0;
  s.Ctrl = (wp & MK_CONTROL) != 0;
  s.Alt = GetKeyState(VK_MENU) < 0;
  s.Left = (wp & MK_LBUTTON) != 0;
  s.Right = (wp & MK_RBUTTON) != 0;
  s.Middle = (wp & MK_MBUTTON) != 0;
  return s;
}

}  // namespace

EWin32Error::EWin32Error(const std::string& what, unsigned long code)
    : EQvError(what + " (erreur " + std::to_string(code) + ")"), m_code(code) {}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  MarkTreeDestroying();
  DestroyHandle();
  // Unparent children that outlive us (owned elsewhere).
  for (TControl* c : std::vector<TControl*>(m_controls)) c->SetParent(nullptr);
  if (m_nameAtom) GlobalDeleteAtom(m_nameAtom);
  if (m_brush) DeleteObject(m_brush);
}

TWinControl* TWinControl::FromHandle(HWND hwnd) {
  return hwnd ? static_cast<TWinControl*>(GetPropA(hwnd, kObjectProp)) : nullptr;
}

TWinControl* TWinControl::OwnerOf(HWND hwnd) {
  while (hwnd) {
    if (TWinControl* c = FromHandle(hwnd)) return c;
    if (!(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) break;
    hwnd = GetParent(hwnd);
  }
  return nullptr;
}

HWND TWinControl::Handle() {
  if (!m_hwnd) CreateHandle();
  return m_hwnd;
}

void TWinControl::CreateParams(TCreateParams& p) {
  p.ClassName = "TQvControl";
  p.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
}

void TWinControl::CreateHandle() {
  if (m_hwnd) return;
  TCreateParams p;
  CreateParams(p);
  HWND parentWnd = nullptr;
  const bool child = (p.Style & WS_CHILD) != 0;
  if (child) {
    if (!Parent()) throw EQvError("Le contrôle \"" + Name() + "\" n'a pas de parent.");
    parentWnd = Parent()->Handle();
    // Making the parent's window made this one too.
    if (m_hwnd) return;
    if (!m_id) m_id = NextControlId();
  } else if (Application() && !p.Unowned) {
    // Owned by the main window when there is one, so that dialogs stay above
    // it and go with it when it is minimised; else by the hidden
    // application window.
    const TForm* main = Application()->MainForm();
    HWND mainWnd = main && static_cast<const TWinControl*>(main) != this ? main->HandleIfAllocated() : nullptr;
    parentWnd = mainWnd ? mainWnd : Application()->Handle();
  }
  if (child && Visible()) p.Style |= WS_VISIBLE;
  if (!Enabled()) p.Style |= WS_DISABLED;
  if (m_tabStop) p.Style |= WS_TABSTOP;
  m_ownClass = !p.SystemClass;
  HWND h;
  if (m_ownClass) {
    RegisterOwnClass(p, &TWinControl::StaticWndProc);
    h = CreateWindowExA(p.ExStyle, p.ClassName.c_str(), m_caption.c_str(), p.Style, m_left, m_top, m_width,
                        m_height, parentWnd, child ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(m_id)) : nullptr,
                        Instance(), this);
  } else {
    h = CreateWindowExA(p.ExStyle, p.ClassName.c_str(), m_caption.c_str(), p.Style, m_left, m_top, m_width,
                        m_height, parentWnd, child ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(m_id)) : nullptr,
                        Instance(), nullptr);
    if (h) {
      Attach(h);
      m_prevProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::StaticWndProc)));
    }
  }
  if (!h) throw EWin32Error("CreateWindowEx " + p.ClassName + " \"" + Name() + "\"", GetLastError());
  ApplyFontToWindow();
  UpdateNameProp();
  CreateWnd();
  // Children made before the window exist now get theirs.
  for (TControl* c : std::vector<TControl*>(m_controls))
    if (c->IsWindowed()) static_cast<TWinControl*>(c)->HandleNeeded();
  Realign();
}

void TWinControl::CreateWnd() {}

void TWinControl::Attach(HWND hwnd) {
  m_hwnd = hwnd;
  SetPropA(hwnd, kObjectProp, this);
}

void TWinControl::Detach() {
  if (!m_hwnd) return;
  RemovePropA(m_hwnd, kObjectProp);
  RemovePropA(m_hwnd, kNameProp);
  m_hwnd = nullptr;
}

void TWinControl::DestroyHandle() {
  if (!m_hwnd) return;
  DestroyWnd();
  HWND h = m_hwnd;
  DestroyWindow(h);  // WM_NCDESTROY detaches us and our windowed children
  Detach();
}

void TWinControl::UpdateNameProp() {
  if (m_nameAtom) {
    if (m_hwnd) RemovePropA(m_hwnd, kNameProp);
    GlobalDeleteAtom(m_nameAtom);
    m_nameAtom = 0;
  }
  if (Name().empty() || Name().size() > 255) return;
  m_nameAtom = GlobalAddAtomA(Name().c_str());
  if (m_hwnd && m_nameAtom) SetPropA(m_hwnd, kNameProp, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(m_nameAtom)));
}

void TWinControl::SetName(const std::string& name) {
  TControl::SetName(name);
  UpdateNameProp();
}

void TWinControl::ApplyFontToWindow() {
  if (m_hwnd) SendMessageA(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(EffectiveFont().Handle()), TRUE);
}

void TWinControl::InsertControl(TControl* c) {
  m_controls.push_back(c);
  if (m_hwnd && c->IsWindowed()) static_cast<TWinControl*>(c)->HandleNeeded();
}

void TWinControl::RemoveControl(TControl* c) {
  m_controls.erase(std::remove(m_controls.begin(), m_controls.end(), c), m_controls.end());
  if (m_mouseCapture == c) m_mouseCapture = nullptr;
  if (m_mouseOver == c) m_mouseOver = nullptr;
  if (!Destroying() && c->Align() != TAlign::None) Realign();
}

void TWinControl::ParentChanged(TWinControl* old) {
  (void)old;
  if (!m_hwnd) {
    if (Parent() && Parent()->HandleAllocated()) HandleNeeded();
    return;
  }
  if (Parent()) {
    ::SetParent(m_hwnd, Parent()->Handle());
  } else {
    DestroyHandle();
  }
}

void TWinControl::BoundsChanged() {
  if (m_hwnd && !m_syncingBounds)
    SetWindowPos(m_hwnd, nullptr, m_left, m_top, m_width, m_height, SWP_NOZORDER | SWP_NOACTIVATE);
  AfterBoundsChange();
}

void TWinControl::AfterBoundsChange() {
  if (m_width == m_alignedWidth && m_height == m_alignedHeight) return;
  m_alignedWidth = m_width;
  m_alignedHeight = m_height;
  Realign();
  if (!Destroying() && !Loading()) Resized();
}

void TWinControl::Resized() {
  if (OnResize) OnResize(*this);
}

TRect TWinControl::ClientRect() const {
  if (!m_hwnd) return TControl::ClientRect();
  RECT r{};
  GetClientRect(m_hwnd, &r);
  return TRect::From(r);
}

void TWinControl::VisibleChanged() {
  if (!m_hwnd) return;
  ShowWindow(m_hwnd, Visible() ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::EnabledChanged() {
  if (m_hwnd) EnableWindow(m_hwnd, Enabled());
}

void TWinControl::CaptionChanged() {
  if (m_hwnd) SetWindowTextA(m_hwnd, m_caption.c_str());
}

void TWinControl::FontChanged() {
  ApplyFontToWindow();
  for (TControl* c : m_controls)
    if (c->ParentFont()) c->FontChanged();
  Invalidate();
}

void TWinControl::ColorChanged() {
  for (TControl* c : m_controls)
    if (c->ParentColor()) c->ColorChanged();
  Invalidate();
}

void TWinControl::BiDiModeChanged() {
  for (TControl* c : m_controls)
    if (c->ParentBiDiMode()) c->BiDiModeChanged();
  Invalidate();
}

HBRUSH TWinControl::ColorBrush() {
  const COLORREF rgb = ColorToRGB(EffectiveColor());
  if (!m_brush || m_brushColor != rgb) {
    if (m_brush) DeleteObject(m_brush);
    m_brush = CreateSolidBrush(rgb);
    m_brushColor = rgb;
  }
  return m_brush;
}

void TWinControl::SetTabStop(bool v) {
  m_tabStop = v;
  if (!m_hwnd) return;
  LONG_PTR st = GetWindowLongPtrA(m_hwnd, GWL_STYLE);
  st = v ? (st | WS_TABSTOP) : (st & ~static_cast<LONG_PTR>(WS_TABSTOP));
  SetWindowLongPtrA(m_hwnd, GWL_STYLE, st);
}

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TrackMouseLeave(HWND hwnd) {
  TRACKMOUSEEVENT tme{};
  tme.cbSize = sizeof tme;
  tme.dwFlags = TME_LEAVE;
  tme.hwndTrack = hwnd;
  return TrackMouseEvent(&tme) != FALSE;
}

bool TWinControl::OwnsPart(HWND other) const {
  return other && m_hwnd && (other == m_hwnd || (IsChild(m_hwnd, other) && !FromHandle(other)));
}

namespace {
bool OfThisProcess(HWND h) {
  DWORD pid = 0;
  return h && GetWindowThreadProcessId(h, &pid) && pid == GetCurrentProcessId();
}
}  // namespace

// Another program taking the focus is no exit: the form keeps its active
// control and gives it the focus back on return, where the user goes on
// typing (an exit handler that rewrites a combo's text would move the
// caret under the user's hands).
void TWinControl::FocusLeft(HWND to) {
  if (OwnsPart(to) || !OfThisProcess(to)) return;
  DoExit();
}

void TWinControl::FocusArrived(HWND from) {
  if (OwnsPart(from)) return;
  if (!OfThisProcess(from)) {
    TForm* f = ParentForm();
    if (f && f->ActiveControl() == this) return;
  }
  DoEnter();
}

void TWinControl::SetFocus() {
  if (!CanFocus()) return;
  const HWND h = Handle();
  // Focus already inside this control (a combo box's own edit): moving it
  // to the outer window would bounce it back in for nothing.
  if (OwnsPart(GetFocus())) return;
  ::SetFocus(h);
}

bool TWinControl::Focused() const { return m_hwnd && GetFocus() == m_hwnd; }

void TWinControl::SetParentBackground(bool v) {
  m_parentBackground = v;
  Invalidate();
}

void TWinControl::Invalidate() {
  if (m_hwnd && !Destroying()) InvalidateRect(m_hwnd, nullptr, TRUE);
}

TForm* TWinControl::ParentForm() const {
  const TControl* c = this;
  while (c->Parent()) c = c->Parent();
  return const_cast<TForm*>(dynamic_cast<const TForm*>(c));
}

void TWinControl::Realign() {
  if (Loading() || Destroying()) return;
  TRect r = AdjustClientRect();
  auto place = [&](TAlign which) {
    for (TControl* c : m_controls) {
      if (c->Align() != which || !c->Visible()) continue;
      switch (which) {
        case TAlign::Top:
          c->SetBoundsNoRealign(r.Left, r.Top, r.Width(), c->Height());
          r.Top += c->Height();
          break;
        case TAlign::Bottom:
          c->SetBoundsNoRealign(r.Left, r.Bottom - c->Height(), r.Width(), c->Height());
          r.Bottom -= c->Height();
          break;
        case TAlign::Left:
          c->SetBoundsNoRealign(r.Left, r.Top, c->Width(), r.Height());
          r.Left += c->Width();
          break;
        case TAlign::Right:
          c->SetBoundsNoRealign(r.Right - c->Width(), r.Top, c->Width(), r.Height());
          r.Right -= c->Width();
          break;
        case TAlign::Client:
          c->SetBoundsNoRealign(r.Left, r.Top, r.Width(), r.Height());
          break;
        case TAlign::None:
          break;
      }
    }
  };
  place(TAlign::Top);
  place(TAlign::Bottom);
  place(TAlign::Left);
  place(TAlign::Right);
  place(TAlign::Client);
}

TControl* TWinControl::ControlAtPos(int x, int y, bool allowDisabled) const {
  for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
    TControl* c = *it;
    if (!c->Visible() || (!allowDisabled && !c->Enabled())) continue;
    if (x >= c->Left() && x < c->Left() + c->Width() && y >= c->Top() && y < c->Top() + c->Height()) return c;
  }
  return nullptr;
}

void TWinControl::PaintGraphicChildren(HDC dc, const TRect& area) {
  for (TControl* c : m_controls) {
    if (c->IsWindowed() || !c->Visible()) continue;
    const TRect b = c->BoundsRect();
    if (b.Right <= area.Left || b.Left >= area.Right || b.Bottom <= area.Top || b.Top >= area.Bottom) continue;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, b.Left, b.Top, b.Right, b.Bottom);
    POINT org{};
    OffsetViewportOrgEx(dc, b.Left, b.Top, &org);
    {
      TCanvas canvas(dc);
      canvas.SetFont(c->EffectiveFont());
      c->PaintControl(canvas);
    }
    RestoreDC(dc, saved);
  }
}

void TWinControl::PaintBackground(HDC dc, const TRect& area) {
  if (m_parentBackground && Parent()) {
    Parent()->PaintBehind(*this, dc);
  } else {
    RECT rc = area.ToRECT();
    FillRect(dc, &rc, ColorBrush());
  }
  PaintGraphicChildren(dc, area);
}

void TWinControl::PaintBehind(TControl& child, HDC childDc) {
  const int saved = SaveDC(childDc);
  POINT org{};
  OffsetViewportOrgEx(childDc, -child.Left(), -child.Top(), &org);
  PaintBackground(childDc, child.BoundsRect());
  RestoreDC(childDc, saved);
}

void TWinControl::Paint(TCanvas&) {}

HBRUSH TWinControl::CNCtlColor(UINT msg, HDC dc) {
  (void)msg;
  (void)dc;
  return nullptr;
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
  // The form sees keys first when it asks for them.
  TForm* form = ParentForm();
  if (form && form != static_cast<TControl*>(this) && form->KeyPreview() && form->OnKeyDown) {
    form->OnKeyDown(*form, key, shift);
    if (key == 0) return;
  }
  if (OnKeyDown) OnKeyDown(*this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
  TForm* form = ParentForm();
  if (form && form != static_cast<TControl*>(this) && form->KeyPreview() && form->OnKeyUp) {
    form->OnKeyUp(*form, key, shift);
    if (key == 0) return;
  }
  if (OnKeyUp) OnKeyUp(*this, key, shift);
}

void TWinControl::KeyPress(char& key) {
  TForm* form = ParentForm();
  if (form && form != static_cast<TControl*>(this) && form->KeyPreview() && form->OnKeyPress) {
    form->OnKeyPress(*form, key);
    if (key == 0) return;
  }
  if (OnKeyPress) OnKeyPress(*this, key);
}

void TWinControl::DoEnter() {
  if (TForm* f = ParentForm()) f->ActiveControlChanged(this);
  if (OnEnter) OnEnter(*this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(*this);
}

LRESULT TWinControl::Perform(UINT msg, WPARAM wp, LPARAM lp) {
  return m_hwnd ? SendMessageA(m_hwnd, msg, wp, lp) : 0;
}

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM wp, LPARAM lp) {
  if (!m_hwnd) return 0;
  if (m_prevProc) return CallWindowProcA(m_prevProc, m_hwnd, msg, wp, lp);
  return DefWindowProcA(m_hwnd, msg, wp, lp);
}

void TWinControl::SyncBoundsFromWindow() {
  if (!m_hwnd) return;
  RECT r{};
  GetWindowRect(m_hwnd, &r);
  if (HWND parent = (GetWindowLongPtrA(m_hwnd, GWL_STYLE) & WS_CHILD) ? GetParent(m_hwnd) : nullptr)
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  m_syncingBounds = true;
  m_left = r.left;
  m_top = r.top;
  m_width = r.right - r.left;
  m_height = r.bottom - r.top;
  m_syncingBounds = false;
  AfterBoundsChange();
}

bool TWinControl::RouteMouse(UINT msg, WPARAM wp, LPARAM lp) {
  const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
  TControl* target = m_mouseCapture ? m_mouseCapture : ControlAtPos(x, y);
  if (target && target->IsWindowed()) target = nullptr;
  if (msg == WM_MOUSEMOVE && target != m_mouseOver) {
    if (m_mouseOver) m_mouseOver->MouseLeave();
    m_mouseOver = target;
    if (target) TrackMouseLeave(m_hwnd);
  }
  if (!target) return false;
  const int cx = x - target->Left(), cy = y - target->Top();
  const TShiftState s = ShiftFromMouse(wp);
  switch (msg) {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
      m_mouseCapture = target;
      SetCapture(m_hwnd);
      target->MouseDown(ButtonOf(msg), s, cx, cy);
      return true;
    case WM_LBUTTONDBLCLK:
      target->MouseDown(TMouseButton::Left, s, cx, cy);
      if (target->OnDblClick) target->OnDblClick(*target);
      return true;
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: {
      m_mouseCapture = nullptr;
      if (GetCapture() == m_hwnd) ReleaseCapture();
      const bool inside = cx >= 0 && cy >= 0 && cx < target->Width() && cy < target->Height();
      target->MouseUp(ButtonOf(msg), s, cx, cy);
      // Controls that handle clicks themselves (buttons) do so in MouseUp;
      // plain windowless controls click on a release inside them.
      (void)inside;
      return true;
    }
    case WM_MOUSEMOVE:
      target->MouseMove(s, cx, cy);
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK TWinControl::StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TWinControl* self = FromHandle(hwnd);
  if (!self && msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
    self = static_cast<TWinControl*>(cs->lpCreateParams);
    if (self) self->Attach(hwnd);
  }
  if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    const LRESULT r = self->DefaultHandler(msg, wp, lp);
    if (self->m_prevProc)
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->m_prevProc));
    self->Detach();
    return r;
  }
  if (self->Destroying()) return self->DefaultHandler(msg, wp, lp);
  try {
    return self->Dispatch(msg, wp, lp);
  } catch (...) {
    if (Application()) Application()->HandleException(std::current_exception());
    return 0;
  }
}

LRESULT TWinControl::Dispatch(UINT msg, WPARAM wp, LPARAM lp) { return WndProc(msg, wp, lp); }

LRESULT TWinControl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND: {
      HWND from = reinterpret_cast<HWND>(lp);
      if (from) {
        TWinControl* c = FromHandle(from);
        LRESULT r = 0;
        if (c && c->Parent() == this && c->CNCommand(HIWORD(wp), r)) return r;
      } else if (HIWORD(wp) == 0 || HIWORD(wp) == 1) {
        if (TPopupMenu::DispatchCommand(LOWORD(wp))) return 0;
      }
      break;
    }
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(lp);
      TWinControl* c = FromHandle(hdr->hwndFrom);
      LRESULT r = 0;
      if (c && c != this && c->CNNotify(hdr, r)) return r;
      break;
    }
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      if (dis->CtlType != ODT_MENU) {
        TWinControl* c = FromHandle(dis->hwndItem);
        if (c && c->CNDrawItem(dis)) return TRUE;
      }
      break;
    }
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      if (mis->CtlType != ODT_MENU) {
        HWND item = GetDlgItem(m_hwnd, static_cast<int>(mis->CtlID));
        TWinControl* c = FromHandle(item);
        if (c && c->CNMeasureItem(mis)) return TRUE;
      }
      break;
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
      TWinControl* c = FromHandle(reinterpret_cast<HWND>(lp));
      if (c && c != this && c->CNScroll(msg, wp)) return 0;
      break;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: {
      TWinControl* c = FromHandle(reinterpret_cast<HWND>(lp));
      if (c && c != this) {
        if (HBRUSH b = c->CNCtlColor(msg, reinterpret_cast<HDC>(wp))) return reinterpret_cast<LRESULT>(b);
      }
      break;
    }
    case WM_ERASEBKGND:
      if (m_ownClass) return 1;
      break;
    case WM_PRINTCLIENT:
      if (m_ownClass) {
        HDC dc = reinterpret_cast<HDC>(wp);
        const TRect area = ClientRect();
        PaintBackground(dc, area);
        TCanvas canvas(dc);
        canvas.SetFont(EffectiveFont());
        Paint(canvas);
        return 0;
      }
      break;
    case WM_PAINT:
      if (m_ownClass && wp) {
        // Into the given context, not the window: all of the client area
        // (a panel's ClientRect leaves out its bevel).
        HDC dc = reinterpret_cast<HDC>(wp);
        const TRect area = TWinControl::ClientRect();
        if (!PaintingCopy()) {
          PaintBackground(dc, area);
        } else if (m_parentBackground && Parent()) {
          // A copy for a transparent child, which paints over it the
          // windowless controls that lie beneath it.
          Parent()->PaintBehind(*this, dc);
        } else {
          RECT rc = area.ToRECT();
          FillRect(dc, &rc, ColorBrush());
        }
        TCanvas canvas(dc);
        canvas.SetFont(EffectiveFont());
        Paint(canvas);
        return 0;
      }
      if (m_ownClass) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hwnd, &ps);
        const TRect area = TRect::From(ps.rcPaint);
        if (m_doubleBuffered) {
          TDoubleBuffer buf(dc, area);
          PaintBackground(buf.Dc(), area);
          TCanvas canvas(buf.Dc());
          canvas.SetFont(EffectiveFont());
          Paint(canvas);
        } else {
          PaintBackground(dc, area);
          TCanvas canvas(dc);
          canvas.SetFont(EffectiveFont());
          Paint(canvas);
        }
        EndPaint(m_hwnd, &ps);
        return 0;
      }
      break;
    case WM_SIZE:
    case WM_MOVE:
      if (!m_syncingBounds && !IsIconic(m_hwnd)) SyncBoundsFromWindow();
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE: {
      if (RouteMouse(msg, wp, lp)) return 0;
      const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
      const TShiftState s = ShiftFromMouse(wp);
      if (msg == WM_MOUSEMOVE) {
        MouseMove(s, x, y);
      } else if (msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP) {
        MouseUp(ButtonOf(msg), s, x, y);
      } else {
        MouseDown(ButtonOf(msg), s, x, y);
        if (msg == WM_LBUTTONDBLCLK && OnDblClick) OnDblClick(*this);
      }
      break;
    }
    case WM_MOUSELEAVE:
      if (m_mouseOver) {
        m_mouseOver->MouseLeave();
        m_mouseOver = nullptr;
      }
      break;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wp) == m_hwnd && LOWORD(lp) == HTCLIENT) {
        POINT pt;
        GetCursorPos(&pt);
        ::ScreenToClient(m_hwnd, &pt);
        TControl* c = ControlAtPos(pt.x, pt.y);
        HCURSOR cur = (c && !c->IsWindowed() && c->Cursor()) ? c->Cursor() : Cursor();
        if (cur) {
          ::SetCursor(cur);
          return TRUE;
        }
      }
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      WORD key = static_cast<WORD>(wp);
      KeyDown(key, TShiftState::Current());
      if (key == 0) return 0;
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      WORD key = static_cast<WORD>(wp);
      KeyUp(key, TShiftState::Current());
      if (key == 0) return 0;
      break;
    }
    case WM_CHAR: {
      char ch = static_cast<char>(wp);
      KeyPress(ch);
      if (ch == 0) return 0;
      wp = static_cast<unsigned char>(ch);
      break;
    }
    case WM_SETFOCUS: {
      const LRESULT r = DefaultHandler(msg, wp, lp);
      FocusArrived(reinterpret_cast<HWND>(wp));
      return r;
    }
    case WM_KILLFOCUS: {
      const LRESULT r = DefaultHandler(msg, wp, lp);
      FocusLeft(reinterpret_cast<HWND>(wp));
      return r;
    }
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wp) == m_hwnd && PopupMenu()) {
        int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
        if (x == -1 && y == -1) {
          RECT r;
          GetWindowRect(m_hwnd, &r);
          x = r.left + 4;
          y = r.top + 4;
        }
        PopupMenu()->Popup(x, y, this);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefaultHandler(msg, wp, lp);
}

void BroadcastToChildren(TWinControl& parent, UINT msg, WPARAM wp, LPARAM lp) {
  for (TControl* c : parent.Controls())
    if (c->IsWindowed()) static_cast<TWinControl*>(c)->Perform(msg, wp, lp);
}

}  // namespace qv::fw
