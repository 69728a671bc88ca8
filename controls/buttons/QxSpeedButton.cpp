// Speed buttons: painting, pressing, groups, drop-down menu, repeat, hover.
#include "controls/buttons/QxSpeedButton.h"

#include <algorithm>
#include <vector>

#include "controls/buttons/QxLabel.h"
#include "framework/Application.h"
#include "framework/ImageList.h"
#include "services/QxVclUtils.h"

namespace qv::controls {

using qv::fw::TCanvas;
using qv::fw::TComponent;
using qv::fw::TMouseButton;
using qv::fw::TPoint;
using qv::fw::TRect;
using qv::fw::TShiftState;

namespace {

// The latched face: button face and highlight in a one-pixel checkerboard.
void FillDither(HDC dc, const TRect& r) {
  qv::fw::TBitmap pattern;
  if (!pattern.Create(8, 8, 24)) return;
  const COLORREF face = qv::fw::ColorToRGB(qv::fw::clBtnFace), light = qv::fw::ColorToRGB(qv::fw::clBtnHighlight);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) pattern.SetPixel(x, y, (x + y) % 2 ? light : face);
  HBRUSH brush = CreatePatternBrush(pattern.Handle());
  if (!brush) return;
  RECT rc = r.ToRECT();
  FillRect(dc, &rc, brush);
  DeleteObject(brush);
}

UINT AlignmentFlag(qv::fw::TAlignment a) {
  switch (a) {
    case qv::fw::TAlignment::LeftJustify: return DT_LEFT;
    case qv::fw::TAlignment::RightJustify: return DT_RIGHT;
    default: return DT_CENTER;
  }
}

}  // namespace

TQxSpeedButton::TQxSpeedButton(TComponent* owner) : qv::fw::TButtonControl(owner) {
  SetBounds(0, 0, 25, 25);
  SetDoubleBuffered(true);
  SetShowHint(true);
  m_glyph.OnChange = [this] { Invalidate(); };
  qv::fw::EnableDialogChars();
  m_actionLink.OnCaption = [this](const std::string& v) { SetCaption(v); };
  m_actionLink.OnEnabled = [this](bool v) { SetEnabled(v); };
  m_actionLink.OnHint = [this](const std::string& v) { SetHint(v); };
  m_actionLink.OnVisible = [this](bool v) { SetVisible(v); };
  m_actionLink.OnChecked = [this](bool v) {
    if (m_groupIndex != 0) SetDown(v);
  };
  m_actionLink.OnImageIndex = [this](int index) { TakeActionImage(index); };
}

void TQxSpeedButton::TakeActionImage(int index) {
  const qv::fw::TImageList* images = Action() ? Action()->Images() : nullptr;
  if (!m_glyph.Source().Empty() || !images || index < 0 || index >= images->Count()) return;
  // The image on magenta, which stays the see-through colour whatever
  // the image's own lower-left pixel is.
  const int w = images->Width(), h = images->Height();
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
  RECT r{0, 0, w, h};
  FillRect(dc, &r, magenta);
  DeleteObject(magenta);
  images->Draw(dc, index, 0, 0, ILD_TRANSPARENT);
  SelectObject(dc, old);
  DeleteDC(dc);
  m_glyph.SetSource(bitmap, RGB(255, 0, 255));  // the painter keeps a copy
  DeleteObject(bitmap);
  SetNumGlyphs(1);
}

TQxSpeedButton::~TQxSpeedButton() {
  m_alive.reset();
  m_glyph.OnChange = nullptr;
}

void TQxSpeedButton::CreateParams(qv::fw::TCreateParams& p) {
  qv::fw::TButtonControl::CreateParams(p);
  p.ClassName = "TQxSpeedButton";
  p.Style = WS_CHILD | WS_CLIPSIBLINGS;
}

void TQxSpeedButton::CreateWnd() {
  qv::fw::TButtonControl::CreateWnd();
  // Painted controls stack in their parent's list order, so a button laid
  // out after a label shows over it. Labels keep their windows at the
  // bottom, which would hide a button made later beneath them: rise above
  // every overlapping label that comes earlier in the list.
  if (!Parent()) return;
  std::vector<HWND> labels;
  const RECT mine = BoundsRect().ToRECT();
  for (qv::fw::TControl* c : Parent()->Controls()) {
    if (c == this) break;
    auto* w = dynamic_cast<qv::fw::TWinControl*>(c);
    const bool label = dynamic_cast<qv::fw::TLabel*>(c) || dynamic_cast<TQxCustomLabel*>(c);
    RECT overlap{};
    const RECT theirs = c->BoundsRect().ToRECT();
    if (label && w && w->HandleAllocated() && IntersectRect(&overlap, &mine, &theirs))
      labels.push_back(w->HandleIfAllocated());
  }
  HWND self = HandleIfAllocated();
  HWND highest = nullptr;
  for (HWND h = GetWindow(self, GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV))
    if (std::find(labels.begin(), labels.end(), h) != labels.end()) highest = h;
  if (!highest) return;
  HWND over = GetWindow(highest, GW_HWNDPREV);
  SetWindowPos(self, over ? over : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// --- Properties

void TQxSpeedButton::SetGroupIndex(int g) {
  if (g == m_groupIndex) return;
  m_groupIndex = g;
  NotifyGroup();
}

void TQxSpeedButton::SetDown(bool v) {
  if (m_groupIndex == 0) v = false;
  if (v == m_down) return;
  if (m_down && !m_allowAllUp) return;
  m_down = v;
  if (v) {
    if (m_paintState == psUp) Invalidate();
    m_paintState = psExclusive;
  } else {
    m_paintState = psUp;
  }
  Repaint();
  if (v) NotifyGroup();
  Invalidate();
}

void TQxSpeedButton::SetAllowAllUp(bool v) {
  if (v == m_allowAllUp) return;
  m_allowAllUp = v;
  NotifyGroup();
}

void TQxSpeedButton::SetLayout(TButtonLayout l) {
  if (l == m_layout) return;
  m_layout = l;
  Invalidate();
}

void TQxSpeedButton::SetSpacing(int s) {
  if (s == m_spacing) return;
  m_spacing = s;
  Invalidate();
}

void TQxSpeedButton::SetMargin(int m) {
  if (m < -1 || m == m_margin) return;
  m_margin = m;
  Invalidate();
}

void TQxSpeedButton::SetFlat(bool v) {
  if (v == m_flat) return;
  m_flat = v;
  Invalidate();
}

void TQxSpeedButton::SetFlatStandard(bool v) {
  if (v == m_flatStandard) return;
  m_flatStandard = v;
  Invalidate();
}

void TQxSpeedButton::SetStyle(TButtonStyle s) {
  if (s == m_style) return;
  m_style = s;
  Invalidate();
}

void TQxSpeedButton::SetTransparent(bool v) {
  if (v == m_transparent) return;
  m_transparent = v;
  Invalidate();
}

void TQxSpeedButton::SetGrayedInactive(bool v) {
  if (v == m_grayedInactive) return;
  m_grayedInactive = v;
  Invalidate();
}

void TQxSpeedButton::SetGlyph(HBITMAP strip) { m_glyph.SetSource(strip); }

void TQxSpeedButton::SetGlyph(const qv::fw::TBitmap& strip) { m_glyph.SetSource(strip); }

void TQxSpeedButton::SetNumGlyphs(int n) {
  if (n > 5) n = 5;
  if (n == m_glyph.NumGlyphs() || n < 1) return;
  m_glyph.SetNumGlyphs(n);
  Invalidate();
}

void TQxSpeedButton::SetAlignment(qv::fw::TAlignment a) {
  if (a == m_glyph.Alignment()) return;
  m_glyph.SetAlignment(a);
  Invalidate();
}

void TQxSpeedButton::SetWordWrap(bool v) {
  if (v == m_glyph.WordWrap()) return;
  m_glyph.SetWordWrap(v);
  Invalidate();
}

void TQxSpeedButton::SetDropDownMenu(qv::fw::TPopupMenu* menu) {
  if (menu == m_dropDownMenu.Get()) return;
  m_dropDownMenu.Set(menu);
  if (m_markDropDown) Invalidate();
}

void TQxSpeedButton::SetMarkDropDown(bool v) {
  if (v == m_markDropDown) return;
  m_markDropDown = v;
  Invalidate();
}

void TQxSpeedButton::SetAllowTimer(bool v) {
  if (v == m_allowTimer) return;
  m_allowTimer = v;
  if (!v) StopTimer();
}

// --- Group

void TQxSpeedButton::NotifyGroup() {
  if (m_groupIndex == 0 || !Parent()) return;
  // A copy: a mate's repaint may not change the list, but a handler might.
  const std::vector<qv::fw::TControl*> mates = Parent()->Controls();
  for (qv::fw::TControl* c : mates)
    if (auto* b = dynamic_cast<TQxSpeedButton*>(c); b && b != this) b->GroupMatePressed(m_groupIndex, *this);
}

void TQxSpeedButton::GroupMatePressed(int group, const TQxSpeedButton& sender) {
  if (group != m_groupIndex) return;
  if (sender.m_down && m_down) {
    m_down = false;
    if (m_paintState != psDisabled) m_paintState = psUp;
    Repaint();
  }
  m_allowAllUp = sender.m_allowAllUp;
}

// --- Painting

void TQxSpeedButton::SyncEnabledState() {
  if (!Enabled()) {
    m_paintState = psDisabled;
    if (m_pressing) {
      m_pressing = false;
      StopTimer();
      if (HandleAllocated() && GetCapture() == HandleIfAllocated()) ReleaseCapture();
    }
  } else if (m_paintState == psDisabled) {
    m_paintState = m_down && m_groupIndex != 0 ? psExclusive : psUp;
  }
}

void TQxSpeedButton::Paint(TCanvas& canvas) {
  SyncEnabledState();
  const TButtonPaintState drawState = m_flat && !m_hovered ? psInactive : m_paintState;
  const bool latched = m_paintState == psExclusive;
  const bool pressed = m_paintState == psDown || latched;
  TRect face = ClientRect();
  canvas.FillRect(face, qv::fw::clBtnFace);
  if (m_transparent) PaintParentBackground(*this, canvas);
  if (drawState != psInactive || latched) {
    face = DrawButtonBorder(canvas, face, pressed, m_style, m_flat);
  } else {
    face = TRect{face.Left + 2, face.Top + 2, face.Right - 2, face.Bottom - 2};
  }
  if (latched && !m_transparent && (!m_flat || drawState == psInactive))
    FillDither(canvas.Handle(), TRect{face.Left - 1, face.Top - 1, face.Right + 1, face.Bottom + 1});
  if (pressed) face = TRect{face.Left + 1, face.Top + 1, face.Right + 1, face.Bottom + 1};
  const TButtonPaintState glyphState = m_grayedInactive && m_paintState != psDisabled ? drawState : m_paintState;
  PaintContent(canvas, face, m_markDropDown && DropDownMenu(), glyphState);
}

void TQxSpeedButton::PaintContent(TCanvas& canvas, const TRect& face, bool dropDownMark, TButtonPaintState state) {
  if (m_flatStandard && state == psInactive) state = psExclusive;
  m_glyph.Render(canvas, face, DrawTextBiDiModeFlags(AlignmentFlag(m_glyph.Alignment())), state, dropDownMark,
                 m_spacing, m_margin, m_layout, Caption());
}

void TQxSpeedButton::PrepareGlyph() {
  if (m_glyph.Source().Empty()) return;
  m_glyph.CellImageIndex(!Enabled() ? psDisabled : m_flat ? psInactive : psUp);
}

void TQxSpeedButton::EnabledChanged() {
  qv::fw::TButtonControl::EnabledChanged();
  SyncEnabledState();
  PrepareGlyph();
  RefreshHover();
  Repaint();
}

void TQxSpeedButton::VisibleChanged() {
  qv::fw::TButtonControl::VisibleChanged();
  if (Visible()) RefreshHover();
  InvalidateSeeThroughAbove(*this);  // shown or gone, it changes what they show
}

void TQxSpeedButton::BoundsChanged() {
  // The place it leaves and the place it takes both change what they show.
  InvalidateSeeThroughAbove(*this);
  qv::fw::TButtonControl::BoundsChanged();
  InvalidateSeeThroughAbove(*this);
}

void TQxSpeedButton::Invalidate() {
  qv::fw::TButtonControl::Invalidate();
  InvalidateSeeThroughAbove(*this);
}

void TQxSpeedButton::CaptionChanged() {
  qv::fw::TButtonControl::CaptionChanged();
  Invalidate();
}

void TQxSpeedButton::BiDiModeChanged() {
  qv::fw::TButtonControl::BiDiModeChanged();
  Invalidate();
}

void TQxSpeedButton::FontChanged() {
  qv::fw::TButtonControl::FontChanged();
  Invalidate();
}

void TQxSpeedButton::Loaded() {
  qv::fw::TButtonControl::Loaded();
  PrepareGlyph();
}

// --- Hover

void TQxSpeedButton::RefreshHover() {
  bool now = false;
  if (Enabled() && HandleAllocated() && AppIsForeground()) {
    POINT pt{};
    GetCursorPos(&pt);
    now = WindowFromPoint(pt) == HandleIfAllocated();
  }
  if (now == m_hovered) return;
  m_hovered = now;
  if (m_flat) {
    if (now) Repaint();
    else Invalidate();
  }
  if (now) {
    if (OnMouseEnter) OnMouseEnter(*this);
  } else if (OnMouseLeave) {
    OnMouseLeave(*this);
  }
}

void TQxSpeedButton::DoMouseEnter() {
  if (!Enabled() || !AppIsForeground()) return;
  m_hovered = true;
  if (m_flat) Repaint();
  if (OnMouseEnter) OnMouseEnter(*this);
}

void TQxSpeedButton::DoMouseLeave() {
  m_hovered = false;
  if (m_flat) Invalidate();
  if (OnMouseLeave) OnMouseLeave(*this);
}

// --- Pressing

bool TQxSpeedButton::Inside(int x, int y) const {
  const TRect c = ClientRect();
  return x >= 0 && x < c.Width() && y >= 0 && y <= c.Height();
}

void TQxSpeedButton::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  if (m_menuShowing) return;
  const std::weak_ptr<bool> alive = m_alive;
  qv::fw::TButtonControl::MouseDown(b, s, x, y);
  if (alive.expired() || Destroying()) return;
  if (!m_hovered && Enabled()) {
    m_hovered = true;
    Repaint();
  }
  if (b == TMouseButton::Right) {
    RefreshHover();
    return;
  }
  if (b != TMouseButton::Left || !Enabled()) return;
  if (!m_down) {
    m_paintState = psDown;
    Repaint();
  }
  m_pressing = true;
  SetCapture(Handle());

  m_menuShowing = true;
  TPoint at;
  if (DropDownMenuPoint(at) && ShowDropDownMenu(at, false)) {
    if (alive.expired()) return;
    FinishPress(TMouseButton::Left, x, y);
    if (alive.expired()) return;
  }
  // The click that closed the menu must not press the button again.
  DiscardPressInside();
  m_menuShowing = false;
  if (m_allowTimer && m_pressing) StartTimer();
}

void TQxSpeedButton::MouseMove(TShiftState s, int x, int y) {
  qv::fw::TButtonControl::MouseMove(s, x, y);
  if (!m_pressing || Destroying()) return;
  const TButtonPaintState next = Inside(x, y) ? (m_down ? psExclusive : psDown) : (m_down ? psExclusive : psUp);
  if (next == m_paintState) return;
  m_paintState = next;
  Repaint();
}

void TQxSpeedButton::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
  const std::weak_ptr<bool> alive = m_alive;
  qv::fw::TButtonControl::MouseUp(b, s, x, y);
  if (alive.expired() || Destroying()) return;
  if (b == TMouseButton::Right) {
    RefreshHover();
    return;
  }
  FinishPress(b, x, y);
}

void TQxSpeedButton::FinishPress(TMouseButton b, int x, int y) {
  if (b != TMouseButton::Left) return;
  StopTimer();
  if (!m_pressing) return;
  m_pressing = false;
  if (GetCapture() == HandleIfAllocated()) ReleaseCapture();
  const bool inside = Inside(x, y);
  if (m_groupIndex != 0) {
    if (inside) {
      SetDown(!m_down);
    } else {
      // Without a move outside first, the pressed look would stay.
      m_paintState = m_down ? psExclusive : psUp;
      Repaint();
    }
  } else {
    m_paintState = psUp;
    m_hovered = false;
    if (inside) Repaint();
    else Invalidate();
  }
  if (inside && !m_menuShowing) {
    const std::weak_ptr<bool> alive = m_alive;
    Click();
    if (alive.expired() || Destroying()) return;
  }
  RefreshHover();
}

void TQxSpeedButton::DiscardPressInside() {
  HWND h = HandleIfAllocated();
  if (!h) return;
  MSG m{};
  if (!PeekMessageA(&m, h, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE)) return;
  if (m.message != WM_LBUTTONDOWN && m.message != WM_LBUTTONDBLCLK) return;
  const int x = static_cast<short>(LOWORD(m.lParam)), y = static_cast<short>(HIWORD(m.lParam));
  if (Inside(x, y)) DiscardMessage(h, m.message);
}

void TQxSpeedButton::Click() {
  // Decided first: OnClick may free the button.
  const bool byAction = !OnClick && Action();
  qv::fw::TButtonControl::Click();
  if (byAction) m_actionLink.Execute();
}

// --- Drop-down menu

bool TQxSpeedButton::DropDownMenuPoint(TPoint& at) const {
  const qv::fw::TPopupMenu* menu = DropDownMenu();
  if (!menu) return false;
  const int w = Width(), h = Height();
  const bool bottom = m_menuPosition == dmpBottom;
  switch (menu->Alignment) {
    case qv::fw::paLeft: at = bottom ? TPoint{-1, h} : TPoint{w, -1}; break;
    case qv::fw::paRight: at = bottom ? TPoint{w + 1, h} : TPoint{-1, -1}; break;
    case qv::fw::paCenter: at = TPoint{w / 2, h}; break;
  }
  return true;
}

bool TQxSpeedButton::ShowDropDownMenu(TPoint at, bool manual) {
  (void)manual;  // our menus always pop up on their own
  qv::fw::TPopupMenu* menu = DropDownMenu();
  if (!menu || !HandleAllocated()) return false;
  // The menu takes the mouse: no press may hold it meanwhile.
  if (GetCapture() == HandleIfAllocated()) ReleaseCapture();
  const TPoint screen = ClientToScreen(at);
  menu->Popup(screen.X, screen.Y, this);
  return true;
}

// --- Repeat timer

void TQxSpeedButton::StartTimer() {
  if (!m_timer) {
    m_timer = &Make<qv::fw::TTimer>("");
    m_timer->SetEnabled(false);
    m_timer->OnTimer = [this](TComponent&) { TimerExpired(); };
  }
  m_timer->SetInterval(m_initPause);
  m_timer->SetEnabled(true);
}

void TQxSpeedButton::StopTimer() {
  if (!m_timer) return;
  m_timer->SetEnabled(false);
  // Freed only outside its own tick: the tick's handler is running in it.
  if (!m_allowTimer && !m_inTick) {
    delete m_timer;
    m_timer = nullptr;
  }
}

void TQxSpeedButton::TimerExpired() {
  m_timer->SetInterval(m_repeatInterval);
  if (m_paintState != psDown || !HandleAllocated() || GetCapture() != HandleIfAllocated()) return;
  const std::weak_ptr<bool> alive = m_alive;
  m_inTick = true;
  try {
    Click();
  } catch (...) {
    if (!alive.expired()) {
      m_inTick = false;
      if (m_timer) m_timer->SetEnabled(false);
    }
    throw;
  }
  if (alive.expired()) return;
  m_inTick = false;
  if (!m_allowTimer) StopTimer();
}

// --- Keyboard and messages

bool TQxSpeedButton::DialogChar(char key) {
  if (!Enabled() || !Showing() || !qv::fw::IsAccel(key, Caption())) return false;
  Click();
  return true;
}

LRESULT TQxSpeedButton::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case BM_CLICK: {
      if (!Enabled() || m_menuShowing) return 0;
      const std::weak_ptr<bool> alive = m_alive;
      if (m_groupIndex != 0) SetDown(!m_down);
      if (!alive.expired()) Click();
      return 0;
    }
    case WM_LBUTTONDBLCLK: {
      if (m_menuShowing) return 0;
      const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
      TShiftState s = TShiftState::Current();
      s.Left = true;
      const std::weak_ptr<bool> alive = m_alive;
      // A second press like the first; only a latched button reports it.
      MouseDown(TMouseButton::Left, s, x, y);
      if (!alive.expired() && !Destroying() && !m_menuShowing && m_down && OnDblClick) OnDblClick(*this);
      return 0;
    }
    case WM_MOUSEMOVE: {
      if (!m_trackingLeave) m_trackingLeave = qv::fw::TrackMouseLeave(HandleIfAllocated());
      if (!m_pressing) {
        const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
        const TRect c = ClientRect();
        const bool inside = x >= 0 && y >= 0 && x < c.Width() && y < c.Height();
        if (inside && !m_hovered) DoMouseEnter();
        else if (!inside && m_hovered) DoMouseLeave();
      }
      break;
    }
    case WM_MOUSELEAVE:
      m_trackingLeave = false;
      if (!m_pressing && m_hovered) DoMouseLeave();
      break;
    case WM_CAPTURECHANGED:
      // Lost to a window a click opened: the press ends without a click
      // and without a stuck look.
      if (reinterpret_cast<HWND>(lp) != HandleIfAllocated() && m_pressing && !m_menuShowing) {
        m_pressing = false;
        StopTimer();
        if (m_paintState != psDisabled) m_paintState = m_down ? psExclusive : psUp;
        Repaint();
      }
      break;
    case WM_SYSCOLORCHANGE:
      m_glyph.ReleaseImages();
      Invalidate();
      break;
    default:
      break;
  }
  return qv::fw::TButtonControl::WndProc(msg, wp, lp);
}

}  // namespace qv::controls
