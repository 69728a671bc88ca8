// TASLink: a label with a drop shadow that takes its link colour under the
// mouse and, when clicked, opens scheme + address [+ "/" + file] through the
// shell. It is a real child window (tests click it and read its text) that
// shows its parent's background (a wallpaper) when transparent, and never
// takes the focus; its accelerator hands the focus to FocusControl.
// The shell call is injectable (Opener), so tests open nothing.
// Example:  auto& l = form.Make<TASLink>("ASLinkWeb");
//           l.SetURLType(TURLType::utHttp); l.SetURLAdr("www.example.org");
// Tested by tests/app/display/ASLink_test.cpp.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "framework/DialogChar.h"
#include "framework/StdCtrls.h"

namespace qv::app {

enum class TTextLayout { tlTop, tlCenter, tlBottom };
enum class TShadowPosition { spLeftTop, spLeftBottom, spRightBottom, spRightTop };
enum class TURLType { utFile, utFtp, utGopher, utHttp, utHttps, utMailto, utNews, utTelnet, utWais };

// The prefix a scheme adds ("http://", "mailto:", ...).
const char* URLTypePrefix(TURLType t);

// The application's cursor number of the links (the "CURSEUR1" resource).
constexpr int kLinkCursor = 5;

// Draws text with its shadow offset by d as pos says (shadow first, in
// shadowColor; then the text in the DC's text colour). rect becomes the
// union of both; returns the drawn height plus d (the height when not
// positive). With DT_CALCRECT nothing is drawn, only measured.
int DrawShadowedText(HDC dc, const std::string& text, TShadowPosition pos, COLORREF shadowColor, int d, UINT format,
                     RECT& rect);

class TASLink : public fw::TCustomControl, public fw::TDialogCharTarget {
public:
  // owner (null: the application's main window), file, parameters, folder,
  // show command; returns the shell's result (above 32 on success).
  using TOpener = std::function<INT_PTR(HWND owner, const std::string& file, const std::string& parameters,
                                        const std::string& directory, int show)>;

  explicit TASLink(fw::TComponent* owner);

  // --- Text
  fw::TAlignment Alignment() const { return m_alignment; }
  void SetAlignment(fw::TAlignment a);
  bool AutoSize() const { return m_autoSize; }
  void SetAutoSize(bool v);
  TTextLayout Layout() const { return m_layout; }
  void SetLayout(TTextLayout l);
  bool WordWrap() const { return m_wordWrap; }
  void SetWordWrap(bool v);
  bool ShowAccelChar() const { return m_showAccelChar; }
  void SetShowAccelChar(bool v);
  fw::TWinControl* FocusControl() const { return m_focusControl.Get(); }
  void SetFocusControl(fw::TWinControl* c) { m_focusControl.Set(c); }
  bool ShowFocus() const { return m_showFocus; }
  void SetShowFocus(bool v);
  bool Transparent() const { return ParentBackground(); }
  void SetTransparent(bool v);

  // --- Shadow and link colour
  fw::TColor ShadowColor() const { return m_shadowColor; }
  void SetShadowColor(fw::TColor c);
  uint8_t ShadowSize() const { return m_shadowSize; }
  void SetShadowSize(uint8_t d);
  TShadowPosition ShadowPos() const { return m_shadowPos; }
  void SetShadowPos(TShadowPosition p);
  fw::TColor LinkColor() const { return m_linkColor; }
  void SetLinkColor(fw::TColor c) { m_linkColor = c; }

  // --- Address
  bool URLEnabled() const { return m_urlEnabled; }
  void SetURLEnabled(bool v) { m_urlEnabled = v; }
  bool URLTypeAdd() const { return m_urlTypeAdd; }
  void SetURLTypeAdd(bool v) { m_urlTypeAdd = v; }
  TURLType URLType() const { return m_urlType; }
  void SetURLType(TURLType t) { m_urlType = t; }
  const std::string& URLAdr() const { return m_urlAdr; }
  void SetURLAdr(const std::string& s) { m_urlAdr = s; }
  const std::string& URLFile() const { return m_urlFile; }
  void SetURLFile(const std::string& s) { m_urlFile = s; }
  // The address a click opens.
  std::string Address() const;

  // Opens Address() when URLEnabled; true when the shell accepted it.
  bool LaunchUrl();
  INT_PTR ShellOpenDocument(const std::string& file, const std::string& parameters, const std::string& directory,
                            int show);
  // Replaces the shell for this label (null: ShellExecute).
  TOpener Opener;

  void Click() override;
  bool DialogChar(char key) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
  void Paint(fw::TCanvas& canvas) override;
  void CaptionChanged() override;
  void FontChanged() override;

private:
  int DrawLinkText(HDC dc, RECT& rect, UINT format);
  void FitToText();
  UINT AlignmentFlags() const;
  void MouseEnter();
  void MouseLeave() override;

  fw::TAlignment m_alignment = fw::TAlignment::LeftJustify;
  bool m_autoSize = true;
  TTextLayout m_layout = TTextLayout::tlTop;
  bool m_wordWrap = false;
  bool m_showAccelChar = true;
  fw::TComponentLink<fw::TWinControl> m_focusControl;
  bool m_showFocus = false;
  fw::TColor m_shadowColor = fw::clBtnHighlight;
  uint8_t m_shadowSize = 1;
  TShadowPosition m_shadowPos = TShadowPosition::spLeftTop;
  fw::TColor m_linkColor = fw::clBlue;
  bool m_urlEnabled = true;
  bool m_urlTypeAdd = true;
  TURLType m_urlType = TURLType::utMailto;
  std::string m_urlAdr, m_urlFile;

  fw::TMouseInside m_mouse;
  bool m_clickArmed = false;
  fw::TColor m_savedFontColor = 0;
  bool m_fitting = false;
};

}  // namespace qv::app
