// Shared control state and windowless controls.
#include "framework/Control.h"

#include "framework/Menus.h"
#include "framework/WinControl.h"

namespace qv::fw {

TControl::TControl(TComponent* owner) : TComponent(owner) {
  m_font.OnChange = [this] {
    m_parentFont = false;
    FontChanged();
  };
}

TControl::~TControl() {
  MarkDestroying();
  if (m_parent) m_parent->RemoveControl(this);
  m_parent = nullptr;
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == m_parent) return;
  TWinControl* old = m_parent;
  const TBiDiMode biDiMode = BiDiMode();
  if (old) {
    if (!IsWindowed()) Invalidate();
    old->RemoveControl(this);
  }
  m_parent = parent;
  if (parent) parent->InsertControl(this);
  ParentChanged(old);
  if (m_parentFont) FontChanged();
  // Only a change of direction: some controls remake their window for it.
  if (BiDiMode() != biDiMode) BiDiModeChanged();
  if (m_parent) RequestRealign();
  if (!IsWindowed()) Invalidate();
}

void TControl::Place(TWinControl* parent, int left, int top, int width, int height) {
  m_left = left;
  m_top = top;
  m_width = width;
  m_height = height;
  SetParent(parent);
  BoundsChanged();
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (left == m_left && top == m_top && width == m_width && height == m_height) return;
  if (!IsWindowed()) Invalidate();
  SetBoundsNoRealign(left, top, width, height);
  if (m_align != TAlign::None) RequestRealign();
}

void TControl::SetBoundsNoRealign(int left, int top, int width, int height) {
  const bool resized = width != m_width || height != m_height;
  m_left = left;
  m_top = top;
  m_width = width;
  m_height = height;
  BoundsChanged();
  if (!IsWindowed()) Invalidate();
  if (resized && !IsWindowed() && OnResize) OnResize(*this);
}

void TControl::SetAlign(TAlign a) {
  if (a == m_align) return;
  m_align = a;
  RequestRealign();
}

void TControl::RequestRealign() {
  if (m_parent && !Loading()) m_parent->Realign();
}

void TControl::SetVisible(bool v) {
  if (v == m_visible) return;
  if (!IsWindowed() && m_visible) Invalidate();
  m_visible = v;
  VisibleChanged();
  if (!IsWindowed() && m_visible) Invalidate();
  if (m_align != TAlign::None) RequestRealign();
}

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->m_parent)
    if (!c->m_visible) return false;
  return true;
}

void TControl::SetEnabled(bool e) {
  if (e == m_enabled) return;
  m_enabled = e;
  EnabledChanged();
  Invalidate();
}

void TControl::SetCaption(const std::string& s) {
  if (s == m_caption) return;
  m_caption = s;
  CaptionChanged();
  Invalidate();
}

void TControl::SetParentFont(bool v) {
  m_parentFont = v;
  FontChanged();
}

void TControl::SetColor(TColor c) {
  m_parentColor = false;
  if (c == m_color) return;
  m_color = c;
  ColorChanged();
  Invalidate();
}

void TControl::SetParentColor(bool v) {
  m_parentColor = v;
  ColorChanged();
  Invalidate();
}

TBiDiMode TControl::BiDiMode() const {
  if (m_parentBiDiMode && m_parent) return m_parent->BiDiMode();
  return m_biDiMode;
}

void TControl::SetBiDiMode(TBiDiMode m) {
  const TBiDiMode before = BiDiMode();
  m_biDiMode = m;
  m_parentBiDiMode = false;
  if (m != before) BiDiModeChanged();
}

void TControl::SetParentBiDiMode(bool v) {
  if (v == m_parentBiDiMode) return;
  const TBiDiMode before = BiDiMode();
  m_parentBiDiMode = v;
  // Taken as the control's own, so that switching back keeps it.
  if (!v) m_biDiMode = before;
  else if (BiDiMode() != before) BiDiModeChanged();
}

UINT TControl::DrawTextBiDiModeFlags(UINT flags) const {
  if (UseRightToLeftAlignment()) {
    // DT_LEFT is 0: a left alignment is the absence of the other two.
    if ((flags & DT_RIGHT) == DT_RIGHT) flags &= ~DT_RIGHT;
    else if (!(flags & DT_CENTER)) flags |= DT_RIGHT;
  }
  if (UseRightToLeftReading()) flags |= DT_RTLREADING;
  return flags;
}

const TFont& TControl::EffectiveFont() const {
  if (m_parentFont && m_parent) return m_parent->EffectiveFont();
  return m_font;
}

TColor TControl::EffectiveColor() const {
  if (m_parentColor && m_parent) return m_parent->EffectiveColor();
  return m_color;
}

void TControl::Invalidate() {}

void TControl::Repaint() {
  Invalidate();
  for (TControl* c = this; c; c = c->m_parent)
    if (c->IsWindowed()) {
      auto* w = static_cast<TWinControl*>(c);
      if (w->HandleAllocated()) UpdateWindow(w->HandleIfAllocated());
      break;
    }
}

TPoint TControl::ClientToScreen(TPoint p) const {
  if (IsWindowed()) {
    auto* w = static_cast<const TWinControl*>(this);
    POINT pt{p.X, p.Y};
    if (w->HandleAllocated()) ::ClientToScreen(w->HandleIfAllocated(), &pt);
    return {pt.x, pt.y};
  }
  if (!m_parent) return p;
  return m_parent->ClientToScreen({p.X + m_left, p.Y + m_top});
}

TPoint TControl::ScreenToClient(TPoint p) const {
  if (IsWindowed()) {
    auto* w = static_cast<const TWinControl*>(this);
    POINT pt{p.X, p.Y};
    if (w->HandleAllocated()) ::ScreenToClient(w->HandleIfAllocated(), &pt);
    return {pt.x, pt.y};
  }
  if (!m_parent) return p;
  const TPoint q = m_parent->ScreenToClient(p);
  return {q.X - m_left, q.Y - m_top};
}

void TControl::SetPopupMenu(TPopupMenu* m) { m_popupMenu.Set(m); }

void TControl::Click() {
  if (OnClick) OnClick(*this);
}

void TControl::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  if (OnMouseDown) OnMouseDown(*this, b, s, x, y);
}

void TControl::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
  if (OnMouseUp) OnMouseUp(*this, b, s, x, y);
}

void TControl::MouseMove(TShiftState s, int x, int y) {
  if (OnMouseMove) OnMouseMove(*this, s, x, y);
}

void TGraphicControl::Invalidate() {
  TWinControl* p = Parent();
  if (!p || !p->HandleAllocated() || Destroying()) return;
  RECT r{m_left, m_top, m_left + m_width, m_top + m_height};
  InvalidateRect(p->HandleIfAllocated(), &r, FALSE);
}

}  // namespace qv::fw
