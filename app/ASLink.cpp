// Hyperlink label: shadowed text, hover colour, address opened by the shell.
#include "app/ASLink.h"

#include <shellapi.h>

#include "framework/Application.h"
#include "framework/Form.h"

namespace qv::app {

namespace {

HCURSOR LinkCursor() {
  // The program's own pointing hand, installed once as the application's
  // cursor; an executable without it gets the system's hand.
  fw::TApplication* app = fw::Application();
  HCURSOR cursor = app ? app->Cursor(kLinkCursor) : nullptr;
  if (cursor) return cursor;
  cursor = LoadCursorA(GetModuleHandleA(nullptr), "CURSEUR1");
  if (!cursor) cursor = LoadCursor(nullptr, IDC_HAND);
  if (app) app->SetCursor(kLinkCursor, cursor);
  return cursor;
}

}  // namespace

const char* URLTypePrefix(TURLType t) {
  switch (t) {
    case TURLType::utFile: return "file://";
    case TURLType::utFtp: return "ftp://";
    case TURLType::utGopher: return "gopher://";
    case TURLType::utHttp: return "http://";
    case TURLType::utHttps: return "https://";
    case TURLType::utMailto: return "mailto:";
    case TURLType::utNews: return "news:";
    case TURLType::utTelnet: return "telnet:";
    case TURLType::utWais: return "wais:";
  }
  return "";
}

int DrawShadowedText(HDC dc, const std::string& text, TShadowPosition pos, COLORREF shadowColor, int d, UINT format,
                     RECT& rect) {
  RECT textRect = rect, shadowRect = rect;
  switch (pos) {
    case TShadowPosition::spLeftTop: OffsetRect(&textRect, d, d); break;
    case TShadowPosition::spLeftBottom:
      OffsetRect(&textRect, d, 0);
      OffsetRect(&shadowRect, 0, d);
      break;
    case TShadowPosition::spRightBottom: OffsetRect(&shadowRect, d, d); break;
    case TShadowPosition::spRightTop:
      OffsetRect(&textRect, 0, d);
      OffsetRect(&shadowRect, d, 0);
      break;
  }
  const COLORREF textColor = GetTextColor(dc);
  const int len = static_cast<int>(text.size());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, shadowColor);
  DrawTextA(dc, text.c_str(), len, &shadowRect, format);
  SetTextColor(dc, textColor);
  const int height = DrawTextA(dc, text.c_str(), len, &textRect, format);
  UnionRect(&rect, &textRect, &shadowRect);
  return d > 0 ? height + d : height;
}

TASLink::TASLink(fw::TComponent* owner) : fw::TCustomControl(owner) {
  SetBounds(0, 0, 65, 17);
  SetParentBackground(true);
  SetCursor(LinkCursor());
  fw::EnableDialogChars();
}

// --- Properties

void TASLink::SetAlignment(fw::TAlignment a) {
  if (a == m_alignment) return;
  m_alignment = a;
  Invalidate();
}

void TASLink::SetAutoSize(bool v) {
  if (v == m_autoSize) return;
  m_autoSize = v;
  FitToText();
  Invalidate();
}

void TASLink::SetLayout(TTextLayout l) {
  if (l == m_layout) return;
  m_layout = l;
  Invalidate();
}

void TASLink::SetWordWrap(bool v) {
  if (v == m_wordWrap) return;
  m_wordWrap = v;
  FitToText();
  Invalidate();
}

void TASLink::SetShowAccelChar(bool v) {
  if (v == m_showAccelChar) return;
  m_showAccelChar = v;
  Invalidate();
}

void TASLink::SetShowFocus(bool v) {
  if (v == m_showFocus) return;
  m_showFocus = v;
  Invalidate();
}

void TASLink::SetTransparent(bool v) {
  if (v == ParentBackground()) return;
  SetParentBackground(v);
}

void TASLink::SetShadowColor(fw::TColor c) {
  if (c == m_shadowColor) return;
  m_shadowColor = c;
  Invalidate();
}

void TASLink::SetShadowSize(uint8_t d) {
  if (d == m_shadowSize) return;
  m_shadowSize = d;
  FitToText();
  Invalidate();
}

void TASLink::SetShadowPos(TShadowPosition p) {
  if (p == m_shadowPos) return;
  m_shadowPos = p;
  Invalidate();
}

void TASLink::CaptionChanged() {
  fw::TCustomControl::CaptionChanged();
  FitToText();
}

void TASLink::FontChanged() {
  fw::TCustomControl::FontChanged();
  FitToText();
}

// --- Drawing and size

UINT TASLink::AlignmentFlags() const {
  switch (m_alignment) {
    case fw::TAlignment::RightJustify: return DT_RIGHT;
    case fw::TAlignment::Center: return DT_CENTER;
    case fw::TAlignment::LeftJustify: break;
  }
  return DT_LEFT;
}

int TASLink::DrawLinkText(HDC dc, RECT& rect, UINT format) {
  std::string text = Caption();
  if ((format & DT_CALCRECT) && (text.empty() || (m_showAccelChar && text == "&"))) text.assign(1, ' ');
  if (!m_showAccelChar) format |= DT_NOPREFIX;
  TShadowPosition pos = m_shadowPos;
  int d = m_shadowSize;
  COLORREF shadow = fw::ColorToRGB(m_shadowColor);
  if (Enabled()) {
    SetTextColor(dc, fw::ColorToRGB(EffectiveFont().Color()));
  } else {
    SetTextColor(dc, fw::ColorToRGB(fw::clGrayText));
    shadow = fw::ColorToRGB(fw::clBtnHighlight);
    if (d == 0) {
      d = 1;
      pos = TShadowPosition::spRightBottom;
    }
  }
  return DrawShadowedText(dc, text, pos, shadow, d, format, rect);
}

void TASLink::Paint(fw::TCanvas& canvas) {
  HDC dc = canvas.Handle();
  const fw::TRect client = ClientRect();
  RECT r{client.Left + 1, client.Top + 1, client.Right - 1, client.Bottom - 1};
  const UINT format = DT_EXPANDTABS | (m_wordWrap ? DT_WORDBREAK : 0) | AlignmentFlags();
  if (m_layout != TTextLayout::tlTop) {
    RECT calc = r;
    DrawLinkText(dc, calc, format | DT_CALCRECT);
    const int room = Height() - calc.bottom;
    OffsetRect(&r, 0, m_layout == TTextLayout::tlCenter ? room / 2 : room);
  }
  DrawLinkText(dc, r, format);
}

void TASLink::FitToText() {
  if (!m_autoSize || m_fitting || Destroying()) return;
  m_fitting = true;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, EffectiveFont().Handle());
  RECT r{0, 0, Width(), Height()};
  DrawLinkText(dc, r, DT_EXPANDTABS | DT_CALCRECT | (m_wordWrap ? DT_WORDBREAK : 0));
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  const int width = r.right - r.left + 2, height = r.bottom - r.top;
  int left = Left();
  if (m_alignment == fw::TAlignment::RightJustify) left += Width() - width;
  SetBounds(left, Top(), width, height);
  m_fitting = false;
}

// --- Mouse, click and shell

void TASLink::MouseEnter() {
  m_savedFontColor = EffectiveFont().Color();
  Font().Assign(EffectiveFont());
  Font().SetColor(m_linkColor);
  Invalidate();
}

void TASLink::MouseLeave() {
  Font().SetColor(m_savedFontColor);
  Invalidate();
}

std::string TASLink::Address() const {
  std::string address = m_urlTypeAdd ? URLTypePrefix(m_urlType) : "";
  address += m_urlAdr;
  if (!m_urlFile.empty()) {
    address += '/';
    address += m_urlFile;
  }
  return address;
}

INT_PTR TASLink::ShellOpenDocument(const std::string& file, const std::string& parameters,
                                   const std::string& directory, int show) {
  fw::TForm* main = fw::Application() ? fw::Application()->MainForm() : nullptr;
  HWND owner = main ? main->HandleIfAllocated() : nullptr;
  // Whole texts, whatever their length: an address is never cut.
  if (Opener) return Opener(owner, file, parameters, directory, show);
  return reinterpret_cast<INT_PTR>(
      ShellExecuteA(owner, nullptr, file.c_str(), parameters.c_str(), directory.c_str(), show));
}

bool TASLink::LaunchUrl() {
  if (!m_urlEnabled) return false;
  return ShellOpenDocument(Address(), "", "", SW_SHOWNOACTIVATE) > 32;
}

void TASLink::Click() {
  fw::TCustomControl::Click();
  if (Destroying()) return;
  LaunchUrl();
  Invalidate();
}

bool TASLink::DialogChar(char key) {
  fw::TWinControl* target = FocusControl();
  if (!target || !Enabled() || !m_showAccelChar || !fw::IsAccel(key, Caption())) return false;
  if (target->CanFocus()) target->SetFocus();
  return true;
}

LRESULT TASLink::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case BM_CLICK:
      if (Enabled()) Click();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      m_clickArmed = true;
      SetCapture(HandleIfAllocated());
      break;
    case WM_LBUTTONUP: {
      const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
      const bool click = m_clickArmed && x >= 0 && y >= 0 && x < Width() && y < Height();
      m_clickArmed = false;
      if (GetCapture() == HandleIfAllocated()) ReleaseCapture();
      const LRESULT r = fw::TCustomControl::WndProc(msg, wp, lp);
      if (click && !Destroying()) Click();
      return r;
    }
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lp) != HandleIfAllocated()) m_clickArmed = false;
      break;
    case WM_MOUSEMOVE:
      if (m_mouse.Enter(HandleIfAllocated())) MouseEnter();
      break;
    case WM_MOUSELEAVE:
      if (m_mouse.Leave()) MouseLeave();
      break;
    default:
      break;
  }
  return fw::TCustomControl::WndProc(msg, wp, lp);
}

}  // namespace qv::app
