// The glyph painter and its shared image lists: cell counting, the made-up
// state images (embossed, grey, pressed), slot reuse and list freeing, the
// layout of glyph and caption, caption shortening, the drop-down mark and
// the button frames, read back pixel by pixel.
#include "controls/buttons/QxButtonGlyph.h"

#include <gtest/gtest.h>

#include "framework/Streams.h"
#include "tests/common/ControlTestSupport.h"
#include "tests/common/ScreenCapture.h"

using namespace qv::controls;
using namespace qv::fw;

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kSentinel = RGB(1, 2, 3);

COLORREF Face() { return ColorToRGB(clBtnFace); }

// A strip of n square cells of side h: cell i is filled with colours[i],
// its lower-left pixel magenta, and one black pixel at (2, 2).
TBitmap Strip(int n, int h, const std::vector<COLORREF>& colours) {
  TBitmap b;
  b.Create(n * h, h, 24);
  for (int i = 0; i < n; ++i)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < h; ++x) b.SetPixel(i * h + x, y, colours[static_cast<size_t>(i) % colours.size()]);
  for (int i = 0; i < n; ++i) b.SetPixel(i * h, h - 1, kMagenta);
  b.SetPixel(2, 2, RGB(0, 0, 0));
  return b;
}

// A state image as drawn over the sentinel colour (see-through shows it).
class TCellShot {
public:
  TCellShot(TQxButtonGlyph& g, TButtonPaintState state) {
    const int index = g.CellImageIndex(state);
    EXPECT_GE(index, 0);
    const int w = g.GlyphList()->Width(), h = g.GlyphList()->Height();
    m_bmp.Create(w, h, 24);
    HDC dc = m_bmp.Dc();
    RECT r{0, 0, w, h};
    HBRUSH b = CreateSolidBrush(kSentinel);
    FillRect(dc, &r, b);
    DeleteObject(b);
    ImageList_Draw(g.GlyphList()->Handle(), index, dc, 0, 0, ILD_TRANSPARENT);
    GdiFlush();
  }
  COLORREF At(int x, int y) const { return m_bmp.Pixel(x, y); }

private:
  TBitmap m_bmp;
};

// Draws into a 24-bit bitmap with the default GUI font selected.
class TSurface {
public:
  TSurface(int w, int h) {
    m_bmp.Create(w, h, 24);
    m_canvas = std::make_unique<TCanvas>(m_bmp.Dc());
    SelectObject(m_bmp.Dc(), GetStockObject(DEFAULT_GUI_FONT));
    m_canvas->FillRect(TRect{0, 0, w, h}, clBtnFace);
  }
  TCanvas& Canvas() { return *m_canvas; }
  HDC Dc() { return m_bmp.Dc(); }
  COLORREF At(int x, int y) {
    GdiFlush();
    return m_bmp.Pixel(x, y);
  }
  // A BMP under <build folder>/screenshots.
  void Save(const std::string& name) {
    GdiFlush();
    TMemoryStream out;
    if (m_bmp.SaveToStream(out)) out.SaveToFile((qv::test::BuildScreenshotDir() / (name + ".bmp")).wstring());
  }
  int TextWidth(const std::string& s) {
    RECT r{0, 0, 0, 0};
    DrawTextA(Dc(), s.c_str(), static_cast<int>(s.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    return r.right;
  }

private:
  TBitmap m_bmp;
  std::unique_ptr<TCanvas> m_canvas;
};

}  // namespace

TEST(QxButtonGlyph, CellCountFollowsSquareStripsOfAtMostFive) {
  TQxButtonGlyph g;
  int changes = 0;
  g.OnChange = [&] { ++changes; };
  TBitmap four = Strip(4, 16, {RGB(200, 0, 0)});
  g.SetSource(four.Handle());
  EXPECT_EQ(g.NumGlyphs(), 4);
  EXPECT_EQ(g.MaskColor(), kMagenta);
  TBitmap six = Strip(6, 16, {RGB(200, 0, 0)});
  g.SetSource(six.Handle());
  EXPECT_EQ(g.NumGlyphs(), 1);
  TBitmap odd;  // not a multiple of the height: the count stays
  odd.Create(40, 16, 24);
  g.SetNumGlyphs(2);
  g.SetSource(odd.Handle());
  EXPECT_EQ(g.NumGlyphs(), 2);
  g.SetNumGlyphs(0);
  EXPECT_EQ(g.NumGlyphs(), 2);
  EXPECT_EQ(changes, 3);
}

TEST(QxButtonGlyph, OneCellMakesUpTheOtherLooks) {
  TQxButtonGlyph g;
  TBitmap strip = Strip(1, 16, {RGB(200, 40, 40)});
  strip.SetPixel(5, 5, Face());
  g.SetSource(strip.Handle());
  // Pressed uses the normal image itself.
  EXPECT_EQ(g.CellImageIndex(psDown), g.CellImageIndex(psUp));
  TCellShot up(g, psUp);
  EXPECT_EQ(up.At(4, 4), RGB(200, 40, 40));
  EXPECT_EQ(up.At(0, 15), kSentinel);  // magenta is see-through
  // Disabled: only the black pixel remains, embossed; the rest is see-through.
  TCellShot off(g, psDisabled);
  EXPECT_EQ(off.At(2, 2), ColorToRGB(clBtnShadow));
  EXPECT_EQ(off.At(3, 3), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(off.At(8, 8), kSentinel);
  // Inactive: grey, keeping magenta and button-face pixels.
  TCellShot grey(g, psInactive);
  const unsigned v = (77u * 200 + 150u * 40 + 29u * 40) >> 8;
  EXPECT_EQ(grey.At(4, 4), RGB(v, v, v));
  EXPECT_EQ(grey.At(5, 5), Face());
  EXPECT_EQ(grey.At(0, 15), kSentinel);
  EXPECT_EQ(grey.At(2, 2), RGB(0, 0, 0));
}

TEST(QxButtonGlyph, FullStripsUseTheirOwnCells) {
  TQxButtonGlyph g;
  const std::vector<COLORREF> colours{RGB(10, 0, 0), RGB(20, 0, 0), RGB(30, 0, 0), RGB(40, 0, 0), RGB(50, 0, 0)};
  TBitmap strip = Strip(5, 8, colours);
  g.SetSource(strip.Handle());
  ASSERT_EQ(g.NumGlyphs(), 5);
  for (int s = psUp; s <= psInactive; ++s) {
    TCellShot shot(g, static_cast<TButtonPaintState>(s));
    EXPECT_EQ(shot.At(5, 5), colours[static_cast<size_t>(s)]) << "state " << s;
  }
  // Three cells: the latched look falls back to cell 0.
  TBitmap three = Strip(3, 8, colours);
  g.SetSource(three.Handle());
  EXPECT_EQ(TCellShot(g, psExclusive).At(5, 5), colours[0]);
  EXPECT_EQ(TCellShot(g, psDown).At(5, 5), colours[2]);
}

TEST(QxButtonGlyph, PaintersShareListsAndReuseFreedSlots) {
  TBitmap a = Strip(1, 16, {RGB(1, 100, 1)});
  TBitmap b = Strip(1, 12, {RGB(1, 100, 1)});
  auto p1 = std::make_unique<TQxButtonGlyph>();
  auto p2 = std::make_unique<TQxButtonGlyph>();
  TQxButtonGlyph p3;
  p1->SetSource(a.Handle());
  p2->SetSource(a.Handle());
  p3.SetSource(b.Handle());
  const int i1 = p1->CellImageIndex(psUp);
  const int i2 = p2->CellImageIndex(psUp);
  p3.CellImageIndex(psUp);
  ASSERT_NE(GlyphCache(), nullptr);
  EXPECT_EQ(p1->GlyphList(), p2->GlyphList());
  EXPECT_NE(p1->GlyphList(), p3.GlyphList());
  EXPECT_EQ(GlyphCache()->ListCount(), 2);
  EXPECT_NE(i1, i2);
  TGlyphList* shared = p2->GlyphList();
  p1.reset();  // frees slot i1, which the next image takes
  EXPECT_FALSE(shared->IndexUsed(i1));
  EXPECT_EQ(p2->CellImageIndex(psDisabled), i1);
  EXPECT_EQ(shared->UsedCount(), 2);
  p2.reset();  // the 16-pixel list has no used slot left: freed
  EXPECT_EQ(GlyphCache()->ListCount(), 1);
  p3.SetSource(nullptr);
  EXPECT_EQ(p3.GlyphList(), nullptr);
  EXPECT_TRUE(GlyphCache() == nullptr || GlyphCache()->IsEmpty());
}

TEST(QxButtonGlyph, SpacingAndMarginShareTheFreeRoom) {
  TSurface s(100, 30);
  TQxButtonGlyph g;
  TBitmap strip = Strip(1, 16, {RGB(9, 9, 9)});
  g.SetSource(strip.Handle());
  const std::string caption = "Ouvrir";
  const int tw = s.TextWidth(caption);
  const TRect client{0, 0, 100, 30};
  TGlyphPlacement p = g.ComputeLayout(s.Dc(), client, DT_CENTER, false, -1, -1, blGlyphLeft, caption);
  const int third = (100 - 16 - tw) / 3;  // with a 30-pixel caption: 18, text at 52
  EXPECT_EQ(p.Glyph.X, third);
  EXPECT_EQ(p.Text.Left, third + 16 + third);
  EXPECT_EQ(p.Glyph.Y, 15 - 8);
  // A given margin: the spacing centres what is left.
  p = g.ComputeLayout(s.Dc(), client, DT_CENTER, false, -1, 4, blGlyphRight, caption);
  EXPECT_EQ(p.Glyph.X, 100 - 4 - 16);
  EXPECT_EQ(p.Text.Right, p.Glyph.X - ((100 - 4 - 16) / 2 - tw / 2));
  // Glyph on top, no margin: centred vertically as a whole, offset by R.
  const TRect moved{10, 20, 110, 80};
  p = g.ComputeLayout(s.Dc(), moved, DT_CENTER, false, 2, -1, blGlyphTop, caption);
  EXPECT_EQ(p.Glyph.X, 10 + 50 - 8);
  EXPECT_EQ(p.Glyph.Y - 20, 30 - (16 + 2 + p.Text.Height()) / 2);
  EXPECT_EQ(p.Text.Top, p.Glyph.Y + 16 + 2);
}

TEST(QxButtonGlyph, LongCaptionsAreShortenedLineByLine) {
  TSurface s(60, 40);
  TQxButtonGlyph g;
  const TGlyphPlacement p = g.ComputeLayout(s.Dc(), TRect{0, 0, 60, 40}, DT_CENTER, false, 1, -1, blGlyphLeft,
                                            "Un texte bien trop long\nDeux lignes longues  ");
  const size_t nl = p.Caption.find('\n');
  ASSERT_NE(nl, std::string::npos);
  EXPECT_EQ(p.Caption.substr(nl - 3, 3), "...");
  EXPECT_EQ(p.Caption.substr(p.Caption.size() - 3), "...");
  EXPECT_LE(s.TextWidth(p.Caption.substr(0, nl)), 60);
  // A fitting caption stays, less its trailing blanks.
  EXPECT_EQ(g.ComputeLayout(s.Dc(), TRect{0, 0, 60, 40}, 0, false, 1, -1, blGlyphLeft, "Ok  ").Caption, "Ok");
}

// A line break without word wrap: the caption is drawn on the lines its
// rectangle was measured for, not run together on the first.
TEST(QxButtonGlyph, CaptionLinesAreDrawnAsMeasured) {
  TSurface s(120, 60);
  TQxButtonGlyph g;
  const TRect client{0, 0, 120, 60};
  const std::string caption = "Haut\nBas";
  const TGlyphPlacement p = g.ComputeLayout(s.Dc(), client, DT_CENTER, false, -1, -1, blGlyphLeft, caption);
  TEXTMETRICA tm{};
  GetTextMetricsA(s.Dc(), &tm);
  ASSERT_GE(p.Text.Height(), 2 * tm.tmHeight);
  SetTextColor(s.Dc(), RGB(0, 0, 0));
  g.Render(s.Canvas(), client, DT_CENTER, psUp, false, -1, -1, blGlyphLeft, caption);
  auto inkRows = [&](int top, int bottom) {
    int ink = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = p.Text.Left; x < p.Text.Right; ++x) ink += s.At(x, y) != Face();
    return ink;
  };
  // One line centred in the rectangle would leave its upper and lower
  // quarters blank; two lines have letters in both.
  const int h = tm.tmHeight;
  EXPECT_GT(inkRows(p.Text.Top, p.Text.Top + h / 2), 0);
  EXPECT_GT(inkRows(p.Text.Top + 3 * h / 2, p.Text.Top + 2 * h), 0);
  // Nothing above or below the measured rectangle.
  EXPECT_EQ(inkRows(0, p.Text.Top), 0);
  EXPECT_EQ(inkRows(p.Text.Bottom, 60), 0);
  s.Save("glyph_caption_lines");
}

TEST(QxButtonGlyph, MarkAndCaptionAreDrawnInTheStateColours) {
  TSurface s(60, 24);
  DrawMenuMark(s.Dc(), 10, 10, psUp);
  const COLORREF text = ColorToRGB(clBtnText);
  for (int x = 10; x < 17; ++x) EXPECT_EQ(s.At(x, 9), text) << x;
  EXPECT_EQ(s.At(9, 9), Face());
  EXPECT_EQ(s.At(17, 9), Face());
  EXPECT_EQ(s.At(13, 12), text);
  EXPECT_EQ(s.At(12, 12), Face());
  EXPECT_EQ(s.At(13, 13), Face());
  DrawMenuMark(s.Dc(), 30, 10, psDisabled);
  EXPECT_EQ(s.At(30, 9), ColorToRGB(clBtnShadow));
  EXPECT_EQ(s.At(37, 10), ColorToRGB(clBtnHighlight));  // the offset copy's right end
}

TEST(QxButtonGlyph, FramesFollowStateStyleAndFlatness) {
  const COLORREF hi = ColorToRGB(clBtnHighlight), sh = ColorToRGB(clBtnShadow),
                 fr = ColorToRGB(qv::fw::SystemColor(COLOR_WINDOWFRAME));
  struct Case {
    bool down, flat;
    TButtonStyle style;
    COLORREF outerTL, outerBR;
    int inset;
  };
  const Case cases[] = {
      {false, false, bsNew, hi, fr, 3}, {true, false, bsNew, fr, hi, 3},   {false, true, bsNew, hi, sh, 2},
      {true, true, bsNew, sh, hi, 2},   {false, false, bsWin31, fr, fr, 3}, {false, true, bsWin31, hi, fr, 2},
      {true, true, bsWin31, fr, hi, 2},
  };
  for (const Case& c : cases) {
    TSurface s(30, 30);
    const TRect inner = DrawButtonBorder(s.Canvas(), TRect{0, 0, 30, 30}, c.down, c.style, c.flat);
    EXPECT_EQ(s.At(0, 0), c.outerTL) << c.down << c.flat << c.style;
    EXPECT_EQ(s.At(29, 29), c.outerBR) << c.down << c.flat << c.style;
    EXPECT_EQ(inner.Left, c.inset) << c.down << c.flat << c.style;
    EXPECT_EQ(inner.Right, 30 - c.inset) << c.down << c.flat << c.style;
  }
  // The new look's second frame: shadow inside the bottom right when up.
  TSurface s(30, 30);
  DrawButtonBorder(s.Canvas(), TRect{0, 0, 30, 30}, false, bsAutoDetect, false);
  EXPECT_EQ(s.At(28, 28), sh);
  EXPECT_EQ(s.At(1, 1), Face());
}
