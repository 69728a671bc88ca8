// The wrapper scheme: its shared routines (key data, dialog codes, hint
// colours, highlight frame) and, on test controls, the hooks it adds: the
// device context kept intact around printing and erasing, the dialog-code
// hook, mouse enter and leave, a parent's colour change, the identity answer.
#include "controls/status/QvExControls.h"

#include <gtest/gtest.h>

#include "framework/Form.h"
#include "framework/StdCtrls.h"
#include "tests/common/ControlTestSupport.h"

using namespace qv::controls;
using namespace qv::fw;
using qv::test::App;

namespace {

// Paints and erases carelessly: leaves colours, a pen and the origin changed.
class TCarelessControl : public TCustomControl {
public:
  explicit TCarelessControl(TComponent* owner) : TCustomControl(owner) {}

protected:
  void Paint(TCanvas& c) override {
    SetTextColor(c.Handle(), RGB(1, 2, 3));
    SetBkMode(c.Handle(), TRANSPARENT);
    SelectObject(c.Handle(), GetStockObject(WHITE_PEN));
    SetViewportOrgEx(c.Handle(), 7, 9, nullptr);
  }
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_GETDLGCODE) return DLGC_WANTARROWS | DLGC_STATIC;
    return TCustomControl::WndProc(msg, wp, lp);
  }
};

class TWrapped : public TQvExControl<TCarelessControl> {
public:
  explicit TWrapped(TComponent* owner) : TQvExControl<TCarelessControl>(owner) {}
  bool dropNative = false;
  int erased = 0;

protected:
  void GetDlgCode(TDialogCodes& codes) override {
    if (!dropNative) return;
    codes &= ~static_cast<TDialogCodes>(dcNative);
    codes |= dcWantTab;
  }
  bool EraseBackground(TCanvas& c, LPARAM) override {
    ++erased;
    SetTextColor(c.Handle(), RGB(4, 5, 6));
    SetViewportOrgEx(c.Handle(), 3, 3, nullptr);
    return true;
  }
};

class TWrapForm : public TForm {
public:
  TWrapForm() : TForm(&App(), "TWrapperTestForm") {
    SetClientSize(300, 150);
    Panel = &Make<TQvExControl<TPanel>>("Panel");
    Panel->Place(this, 0, 0, 300, 100);
    Inner = &Make<TWrapped>("Inner");
    Inner->Place(Panel, 10, 10, 80, 40);
    Plain = &Make<TCarelessControl>("Plain");
    Plain->Place(this, 10, 110, 80, 30);
    FinishCreate();
    Show();
    App().ProcessMessages();
  }
  TQvExControl<TPanel>* Panel;
  TWrapped* Inner;
  TCarelessControl* Plain;
};

struct TDcState {
  COLORREF text;
  int bkMode;
  HGDIOBJ pen;
  POINT origin;
  bool operator==(const TDcState& o) const {
    return text == o.text && bkMode == o.bkMode && pen == o.pen && origin.x == o.origin.x && origin.y == o.origin.y;
  }
};

TDcState StateOf(HDC dc) {
  TDcState s{GetTextColor(dc), GetBkMode(dc), GetCurrentObject(dc, OBJ_PEN), {}};
  GetViewportOrgEx(dc, &s.origin);
  return s;
}

// A memory DC with a state of its own, for a control to print into.
struct TPrintTarget {
  TPrintTarget() {
    HDC screen = GetDC(nullptr);
    dc = CreateCompatibleDC(screen);
    bmp = CreateCompatibleBitmap(screen, 100, 100);
    ReleaseDC(nullptr, screen);
    old = SelectObject(dc, bmp);
    SetTextColor(dc, RGB(200, 0, 0));
  }
  ~TPrintTarget() {
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
  }
  HDC dc;
  HBITMAP bmp;
  HGDIOBJ old;
};

}  // namespace

TEST(QvExControls, SharedRoutinesMapKeysAndDialogCodes) {
  TShiftState s;
  EXPECT_EQ(KeyDataFromShiftState(s), 0u);
  s.Shift = true;
  EXPECT_EQ(KeyDataFromShiftState(s), 0x08000000u);
  s.Alt = s.Ctrl = true;
  EXPECT_EQ(KeyDataFromShiftState(s), 0x38000000u);

  EXPECT_EQ(DialogCodesFromDlgc(DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL),
            dcWantArrows | dcWantChars | dcHasSetSel);
  EXPECT_EQ(DialogCodesFromDlgc(DLGC_STATIC | DLGC_RADIOBUTTON), 0u);  // unmapped bits drop
  const TDialogCodes all = dcWantAllKeys | dcWantArrows | dcWantChars | dcButton | dcHasSetSel | dcWantTab;
  EXPECT_EQ(DlgcFromDialogCodes(all | dcNative),
            DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_BUTTON | DLGC_HASSETSEL | DLGC_WANTTAB);
  EXPECT_EQ(DialogCodesFromDlgc(DlgcFromDialogCodes(all)), all);
}

TEST(QvExControls, PrintingAndErasingLeaveTheCallersDcAsItWas) {
  TWrapForm f;
  TPrintTarget t;
  const TDcState before = StateOf(t.dc);
  SendMessageA(f.Inner->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(t.dc), PRF_CLIENT);
  EXPECT_TRUE(StateOf(t.dc) == before);
  SendMessageA(f.Inner->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(t.dc), PRF_CLIENT);
  EXPECT_TRUE(StateOf(t.dc) == before);
  const int erased = f.Inner->erased;
  EXPECT_EQ(SendMessageA(f.Inner->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(t.dc), 0), 1);
  EXPECT_EQ(f.Inner->erased, erased + 1);
  EXPECT_TRUE(StateOf(t.dc) == before);
  // The same painting outside the wrapper leaks its changes.
  SendMessageA(f.Plain->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(t.dc), PRF_CLIENT);
  EXPECT_FALSE(StateOf(t.dc) == before);
}

TEST(QvExControls, DialogCodesKeepForeignBitsOnlyWithTheNativeFlag) {
  TWrapForm f;
  EXPECT_EQ(SendMessageA(f.Inner->Handle(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_STATIC);
  f.Inner->dropNative = true;
  EXPECT_EQ(SendMessageA(f.Inner->Handle(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTTAB);
}

TEST(QvExControls, MouseEnterAndLeaveAndTheParentsColour) {
  TWrapForm f;
  TWrapped& w = *f.Inner;
  std::vector<std::string> events;
  w.OnMouseEnter = [&](TComponent&) { events.push_back(w.MouseOver() ? "enter" : "enter?"); };
  w.OnMouseLeave = [&](TComponent&) { events.push_back(w.MouseOver() ? "leave?" : "leave"); };
  w.OnParentColorChange = [&](TComponent&) { events.push_back("parent colour"); };
  // The real pointer must not stand over the control: park it in a corner
  // and let the control hear that the mouse is elsewhere.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  SendMessageA(w.Handle(), WM_MOUSELEAVE, 0, 0);
  events.clear();
  SendMessageA(w.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  SendMessageA(w.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(6, 5));  // no second enter
  SendMessageA(w.Handle(), WM_MOUSELEAVE, 0, 0);
  f.Panel->SetColor(clRed);
  w.SetColor(clBlue);  // its own colour: no parent notification
  EXPECT_EQ(events, (std::vector<std::string>{"enter", "leave", "parent colour"}));
  EXPECT_EQ(SendMessageA(w.Handle(), kWrapperIdentityMessage, 0, 0), 1);
  EXPECT_EQ(SendMessageA(f.Plain->Handle(), kWrapperIdentityMessage, 0, 0), 0);
}

TEST(QvExControls, HintColoursResolveUpThroughTheParents) {
  TWrapForm f;
  THintInfo info;
  info.HintColor = clWhite;
  f.Panel->SetHintColor(clRed);
  f.Inner->HintShow(info);  // clDefault: the parent decides
  EXPECT_EQ(info.HintColor, clRed);
  f.Inner->SetHintColor(clNone);
  f.Inner->HintShow(info);
  EXPECT_EQ(info.HintColor, ApplicationHintColor());
  f.Inner->SetHintColor(clBlue);
  f.Inner->HintShow(info);
  EXPECT_EQ(info.HintColor, clBlue);
  // A parent outside the scheme leaves the colour alone.
  info.HintColor = clWhite;
  f.Panel->SetHintColor(clDefault);
  f.Panel->HintShow(info);
  EXPECT_EQ(info.HintColor, clWhite);
}

TEST(QvExControls, TheHighlightFrameHasTwoRings) {
  TPrintTarget t;
  RECT r{0, 0, 20, 10};
  DrawHighlightFrame(t.dc, r, clWhite, false);
  EXPECT_EQ(GetPixel(t.dc, 0, 0), ColorToRGB(HighlightUnfocusedColor()));
  EXPECT_EQ(GetPixel(t.dc, 1, 1), ColorToRGB(clWhite));
  DrawHighlightFrame(t.dc, r, clWhite, true);
  EXPECT_EQ(GetPixel(t.dc, 19, 9), ColorToRGB(HighlightFocusedColor()));
  EXPECT_EQ(GetPixel(t.dc, 18, 8), ColorToRGB(HighlightFocusedColor()));
  EXPECT_EQ(HighlightFocusedColor(), 0x733800u);
}
