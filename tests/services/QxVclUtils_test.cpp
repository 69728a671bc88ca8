// Transparent and disabled drawing checked pixel by pixel on DIB sections;
// the parent background of windowless controls; text shortening; message,
// rectangle and memory helpers; the box of a function not offered.
#include "services/QxVclUtils.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/Bitmap.h"
#include "framework/Form.h"
#include "framework/Format.h"
#include "framework/StdCtrls.h"
#include "tests/common/ControlTestSupport.h"

using namespace qv::controls;
using qv::fw::TBitmap;
using qv::test::FilledBitmap;

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0),
                   kRed = RGB(255, 0, 0), kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

// A 24-bit 4 x 4 source: magenta, with blue at (1, 1) and (2, 2).
TBitmap Glyph() {
  TBitmap b = FilledBitmap(4, 4, kMagenta);
  b.SetPixel(1, 1, kBlue);
  b.SetPixel(2, 2, kBlue);
  return b;
}

COLORREF At(TBitmap& b, int x, int y) {
  GdiFlush();
  return b.Pixel(x, y);
}

}  // namespace

TEST(QxVclUtils, LowerLeftPixelColourIsTransparent) {
  TBitmap dst = FilledBitmap(8, 8, kGreen);
  TBitmap src = Glyph();
  {
    TCanvas canvas(dst.Dc());
    DrawTransparent(canvas, 2, 3, src, qv::fw::clDefault);
  }
  EXPECT_EQ(At(dst, 3, 4), kBlue);
  EXPECT_EQ(At(dst, 4, 5), kBlue);
  EXPECT_EQ(At(dst, 2, 3), kGreen);  // magenta kept the destination
  EXPECT_EQ(At(dst, 5, 6), kGreen);
  EXPECT_EQ(At(dst, 6, 7), kGreen);  // outside the glyph
}

TEST(QxVclUtils, NoColourDrawsOpaqueAndAnExplicitColourIsTheKey) {
  TBitmap dst = FilledBitmap(8, 8, kGreen);
  TBitmap src = Glyph();
  {
    TCanvas canvas(dst.Dc());
    DrawTransparent(canvas, 0, 0, src, qv::fw::clNone);
    DrawTransparent(canvas, 4, 4, src, kBlue);  // blue see-through, magenta drawn
  }
  EXPECT_EQ(At(dst, 0, 0), kMagenta);
  EXPECT_EQ(At(dst, 1, 1), kBlue);
  EXPECT_EQ(At(dst, 4, 4), kMagenta);
  EXPECT_EQ(At(dst, 5, 5), kGreen);
}

TEST(QxVclUtils, StretchingAndSourceRectangles) {
  TBitmap dst = FilledBitmap(16, 16, kGreen);
  TBitmap src = Glyph();
  {
    TCanvas canvas(dst.Dc());
    // Source (1, 1)-(3, 3) doubled to 4 x 4 at (0, 0): blue, magenta / magenta, blue.
    StretchRectTransparent(canvas, 0, 0, 4, 4, TRect{1, 1, 3, 3}, src.Handle(), kMagenta);
    // Zero sizes: the whole bitmap at its own size.
    StretchTransparent(canvas, src, qv::fw::clDefault, 8, 8, 0, 0, 3, 3, 0, 0);
  }
  EXPECT_EQ(At(dst, 0, 0), kBlue);
  EXPECT_EQ(At(dst, 1, 1), kBlue);
  EXPECT_EQ(At(dst, 2, 0), kGreen);
  EXPECT_EQ(At(dst, 3, 3), kBlue);
  EXPECT_EQ(At(dst, 9, 9), kBlue);
  EXPECT_EQ(At(dst, 10, 10), kBlue);
  EXPECT_EQ(At(dst, 8, 8), kGreen);
  EXPECT_EQ(At(dst, 12, 12), kGreen);
}

TEST(QxVclUtils, MonochromeBitmapsTreatWhiteAsTransparent) {
  TBitmap dst = FilledBitmap(4, 4, kGreen);
  HBITMAP mono = CreateBitmap(4, 4, 1, 1, nullptr);  // all black
  {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, mono);
    SetPixel(dc, 0, 0, kWhite);
    SelectObject(dc, old);
    DeleteDC(dc);
    TCanvas canvas(dst.Dc());
    DrawTransparent(canvas, 0, 0, mono, kRed);  // the colour asked is ignored
  }
  EXPECT_EQ(At(dst, 0, 0), kGreen);
  EXPECT_EQ(At(dst, 1, 0), kBlack);
  DeleteObject(mono);
}

TEST(QxVclUtils, ABitmapSelectedElsewhereDrawsNothing) {
  TBitmap dst = FilledBitmap(4, 4, kGreen);
  TBitmap src = Glyph();
  HDC busy = src.Dc();  // the bitmap is now selected in its own context
  ASSERT_NE(busy, nullptr);
  {
    TCanvas canvas(dst.Dc());
    DrawTransparent(canvas, 0, 0, src.Handle(), qv::fw::clNone);
  }
  EXPECT_EQ(At(dst, 0, 0), kGreen);
}

TEST(QxVclUtils, DisabledBitmapEmbossesTheOutlinePixels) {
  TBitmap glyph = FilledBitmap(6, 6, kWhite);
  glyph.SetPixel(2, 2, kBlack);
  glyph.SetPixel(3, 2, kBlack);
  const COLORREF face = RGB(200, 200, 200), light = RGB(250, 250, 250), dark = RGB(100, 100, 100);
  HBITMAP out = MakeDisabledBitmapEx(glyph.Handle(), kBlack, face, light, dark, true);
  ASSERT_NE(out, nullptr);
  TBitmap result;
  ASSERT_TRUE(result.CopyFrom(out));
  DeleteObject(out);
  EXPECT_EQ(result.Width(), 6);
  EXPECT_EQ(result.Pixel(2, 2), dark);
  EXPECT_EQ(result.Pixel(3, 2), dark);
  EXPECT_EQ(result.Pixel(4, 3), light);  // the highlight, one pixel down and right
  EXPECT_EQ(result.Pixel(3, 3), light);
  EXPECT_EQ(result.Pixel(0, 0), face);
  EXPECT_EQ(result.Pixel(5, 5), face);

  HBITMAP flat = MakeDisabledBitmapEx(glyph.Handle(), kBlack, face, light, dark, false);
  TBitmap flatCopy;
  flatCopy.CopyFrom(flat);
  DeleteObject(flat);
  EXPECT_EQ(flatCopy.Pixel(4, 3), face);
  EXPECT_EQ(MakeDisabledBitmap(static_cast<HBITMAP>(nullptr), kBlack), nullptr);
}

namespace {
class TFill : public qv::fw::TGraphicControl {
public:
  TFill(qv::fw::TComponent* owner, COLORREF c) : TGraphicControl(owner), m_c(c) {}
  int Painted = 0;

protected:
  void Paint(TCanvas& canvas) override {
    ++Painted;
    canvas.FillRect(TRect{0, 0, Width(), Height()}, m_c);
  }

private:
  COLORREF m_c;
};
}  // namespace

TEST(QxVclUtils, ParentBackgroundStopsAtTheControl) {
  qv::test::App();
  qv::fw::TForm form(&qv::test::App(), "TQxBackTest");
  form.SetClientSize(200, 200);
  form.SetColor(kRed);
  auto& below = *new TFill(&form, kBlue);
  below.Place(&form, 10, 10, 20, 20);
  auto& me = *new TFill(&form, kWhite);
  me.Place(&form, 15, 15, 20, 20);
  auto& above = *new TFill(&form, kGreen);
  above.Place(&form, 20, 20, 20, 20);

  TBitmap dst = FilledBitmap(20, 20, kBlack);
  {
    TCanvas canvas(dst.Dc());
    PaintParentBackground(me, canvas);
  }
  EXPECT_EQ(At(dst, 0, 0), kBlue);    // form (15, 15): inside `below`
  EXPECT_EQ(At(dst, 19, 19), kRed);   // form (34, 34): `above` is not painted
  EXPECT_EQ(me.Painted, 0);
  EXPECT_EQ(above.Painted, 0);
  EXPECT_EQ(below.Painted, 1);
}

TEST(QxVclUtils, ParentBackgroundFollowsTransparentParents) {
  qv::test::App();
  qv::fw::TForm form(&qv::test::App(), "TQxBackTest");
  form.SetClientSize(200, 200);
  form.SetColor(kRed);
  auto& panel = form.Make<qv::fw::TPanel>("Panel");
  panel.Place(&form, 50, 50, 100, 100);
  panel.SetParentBackground(true);
  auto& inside = *new TFill(&panel, kWhite);
  inside.Place(&panel, 5, 5, 10, 10);
  TBitmap dst = FilledBitmap(10, 10, kBlack);
  {
    TCanvas canvas(dst.Dc());
    PaintParentBackground(inside, canvas);
  }
  EXPECT_EQ(At(dst, 5, 5), kRed);

  TFill orphan(nullptr, kWhite);
  TCanvas canvas(dst.Dc());
  PaintParentBackground(orphan, canvas);  // no parent: nothing
  EXPECT_EQ(At(dst, 5, 5), kRed);
}

TEST(QxVclUtils, ShortenTextDropsCharactersUntilItFits) {
  HDC dc = CreateCompatibleDC(nullptr);
  {
    TCanvas canvas(dc);
    const int fits = canvas.TextExtent("abc...").cx;
    ASSERT_LT(fits, canvas.TextExtent("abcd...").cx);
    EXPECT_EQ(ShortenText("abcdef", canvas, fits), "abc...");
    EXPECT_EQ(ShortenText("abcdef", canvas, 10000), "abcdef");
    EXPECT_EQ(ShortenText("abcdef", canvas, 0), "...");
    EXPECT_EQ(ShortenText("", canvas, 0), "");
  }
  DeleteDC(dc);
}

TEST(QxVclUtils, RectangleEdgesAreInside) {
  const TRect r{0, 0, 10, 10};
  EXPECT_TRUE(PointInsideRect(TPoint{10, 10}, r));
  EXPECT_TRUE(PointInsideRect(TPoint{0, 0}, r));
  EXPECT_FALSE(PointInsideRect(TPoint{11, 5}, r));
  EXPECT_FALSE(PointInsideRect(TPoint{5, -1}, r));
  EXPECT_EQ(RectWidthOf(TRect{3, 4, 10, 20}), 7);
  EXPECT_EQ(RectHeightOf(TRect{3, 4, 10, 20}), 16);
  EXPECT_EQ(PaletteRelativeColor(RGB(1, 2, 3)), 0x02030201u);
  EXPECT_EQ(PaletteRelativeColor(qv::fw::clWindow), GetSysColor(COLOR_WINDOW) | 0x02000000u);
}

TEST(QxVclUtils, DiscardMessageRemovesOneAndKeepsQuit) {
  qv::test::App();
  HWND w = qv::test::App().Handle();
  const UINT m = WM_APP + 17;
  PostMessageA(w, m, 1, 0);
  PostMessageA(w, m, 2, 0);
  DiscardMessage(w, m);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, w, m, m, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 2u);
  EXPECT_FALSE(PeekMessageA(&msg, w, m, m, PM_REMOVE));

  PostQuitMessage(7);
  DiscardMessage(nullptr, WM_QUIT);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // posted again
  EXPECT_EQ(msg.wParam, 7u);
}

TEST(QxVclUtils, ForegroundIsOneOfOurWindows) {
  qv::test::App();
  qv::fw::TForm form(&qv::test::App(), "TQxForeTest");
  form.SetClientSize(100, 50);
  form.Show();
  qv::test::PumpFor(20);
  SetActiveWindow(form.Handle());
  EXPECT_TRUE(AppIsForeground());
  form.Hide();
}

TEST(QxVclUtils, GlobalBlocksAndBytes) {
  EXPECT_EQ(AllocGlobalBlock(0), nullptr);
  EXPECT_EQ(AllocGlobalBlock(-4), nullptr);
  void* p = AllocGlobalBlock(64);
  ASSERT_NE(p, nullptr);
  const char zero[64] = {};
  EXPECT_TRUE(SameBytes(p, zero, 64));
  static_cast<char*>(p)[63] = 1;
  EXPECT_FALSE(SameBytes(p, zero, 64));
  EXPECT_TRUE(SameBytes(p, zero, 63));
  char buf[8] = "abcdefg";
  CopyBytes(buf + 1, buf, 5);  // overlapping
  EXPECT_STREQ(buf, "aabcdeg");
  EXPECT_EQ(OffsetPointer(buf, 3), static_cast<void*>(buf + 3));
  FreeGlobalBlock(p);
  EXPECT_EQ(p, nullptr);
  FreeGlobalBlock(p);  // null is ignored
}

namespace {

// What the information box showed; the hook answers it at once.
struct TSeenBox {
  std::string Text;
  int Count = 0;
};
TSeenBox g_seen;
HHOOK g_hook = nullptr;

std::string TextOf(HWND w) {
  char buf[256] = {};
  GetWindowTextA(w, buf, sizeof buf);
  return buf;
}

BOOL CALLBACK NoteStatic(HWND child, LPARAM) {
  char cls[32] = {};
  GetClassNameA(child, cls, sizeof cls);
  // The message is the box's static text; its icon is a static without one.
  if (lstrcmpiA(cls, "Static") == 0 && !TextOf(child).empty()) g_seen.Text = TextOf(child);
  return TRUE;
}

LRESULT CALLBACK AnswerBox(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_ACTIVATE) {
    HWND box = reinterpret_cast<HWND>(wp);
    char cls[16] = {};
    GetClassNameA(box, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") == 0) {
      ++g_seen.Count;
      EnumChildWindows(box, NoteStatic, 0);
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
  }
  return CallNextHookEx(g_hook, code, wp, lp);
}

}  // namespace

TEST(QxVclUtils, NotImplementedShowsTheProgramsStringThenAborts) {
  const std::string expected = qv::fw::LoadStr(61257);
  EXPECT_EQ(expected, "Function not yet implemented");
  g_seen = {};
  g_hook = SetWindowsHookExA(WH_CBT, AnswerBox, nullptr, GetCurrentThreadId());
  ASSERT_NE(g_hook, nullptr);
  bool aborted = false;
  try {
    ShowNotImplemented();
  } catch (const EAbort&) {
    aborted = true;
  }
  UnhookWindowsHookEx(g_hook);
  EXPECT_TRUE(aborted);
  EXPECT_EQ(g_seen.Count, 1);
  EXPECT_EQ(g_seen.Text, expected);
}
