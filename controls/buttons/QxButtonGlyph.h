// The face contents of a speed button: TQxButtonGlyph lays a glyph strip
// (up to five state images side by side) and a caption out in the button's
// face rectangle and draws them in the look of a paint state, with an
// optional drop-down mark; DrawButtonBorder draws the button's 3-D frame.
// Prepared state images live in the shared lists of QxGlyphCache.h.
// Strip cells, in order: up, disabled, down, latched, inactive. Missing
// cells are made up: disabled is embossed from the black pixels, down is
// the up cell, inactive is the first cell in grey.
// Example:  TQxButtonGlyph g; g.SetSource(strip);
//           g.Render(canvas, face, DT_CENTER, psUp, false, 1, -1, blGlyphLeft, "&Ouvrir");
// Main thread only. Tested by tests/controls/buttons/QxButtonGlyph_test.cpp.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "controls/buttons/QxGlyphCache.h"
#include "framework/Bitmap.h"
#include "framework/Graphics.h"
#include "framework/StdCtrls.h"
#include "framework/Types.h"

namespace qv::controls {

// The paint states of a button; also the order of the cells in a strip.
enum TButtonPaintState { psUp = 0, psDisabled = 1, psDown = 2, psExclusive = 3, psInactive = 4 };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// bsWin31: the old black-framed look; bsNew and bsAutoDetect: the 3-D look.
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };

// Where Render puts things (face coordinates), for callers and tests.
struct TGlyphPlacement {
  qv::fw::TPoint Glyph;    // top-left of the glyph
  SIZE GlyphSize{0, 0};    // one cell, without the mark's room
  qv::fw::TRect Text;      // the caption's rectangle (empty without caption)
  std::string Caption;     // the caption as drawn (shortened to fit)
};

class TQxButtonGlyph {
public:
  TQxButtonGlyph();
  ~TQxButtonGlyph();
  TQxButtonGlyph(const TQxButtonGlyph&) = delete;
  TQxButtonGlyph& operator=(const TQxButtonGlyph&) = delete;

  // --- The strip
  const qv::fw::TBitmap& Source() const { return m_source; }
  // Copies the strip (null empties it); the cell count follows a strip
  // made of square cells (at most 5). The see-through colour is the given
  // one, or with clDefault the strip's lower-left pixel; the copy keeps it
  // as its transparent colour, so copies of Source() see through it too.
  void SetSource(HBITMAP bitmap, qv::fw::TColor transparentColor = qv::fw::clDefault);
  // Copies the strip with its own transparent colour.
  void SetSource(const qv::fw::TBitmap& strip);
  int NumGlyphs() const { return m_numGlyphs; }
  // 0 and the current value are ignored.
  void SetNumGlyphs(int n);
  COLORREF MaskColor() const { return m_maskColor; }
  qv::fw::TAlignment Alignment() const { return m_alignment; }
  void SetAlignment(qv::fw::TAlignment a) { m_alignment = a; }
  bool WordWrap() const { return m_wordWrap; }
  void SetWordWrap(bool v) { m_wordWrap = v; }
  // Raised after the strip changed.
  std::function<void()> OnChange;

  // --- Prepared images
  // The image list index of a state's image, prepared on first use; -1
  // without a strip.
  int CellImageIndex(TButtonPaintState state);
  TGlyphList* GlyphList() const { return m_glyphList; }
  // Gives every prepared image back (the strip, the cell count or the
  // system colours changed).
  void ReleaseImages();
  // The inactive look of one pixel: the mask colour and button-face stay,
  // anything else becomes its grey.
  COLORREF GrayColor(COLORREF color) const;

  // --- Drawing
  TGlyphPlacement ComputeLayout(HDC dc, const qv::fw::TRect& client, UINT textFlags, bool dropDownMark, int spacing,
                                int margin, TButtonLayout layout, const std::string& caption) const;
  // Draws glyph, caption and mark in the client rectangle; returns the
  // caption's rectangle. The caption takes the canvas's text colour.
  qv::fw::TRect Render(qv::fw::TCanvas& canvas, const qv::fw::TRect& client, UINT textFlags, TButtonPaintState state,
                       bool dropDownMark, int spacing, int margin, TButtonLayout layout, const std::string& caption);

private:
  void SourceChanged();
  SIZE CellSize() const;
  void DrawCaption(HDC dc, const std::string& caption, const qv::fw::TRect& r, TButtonPaintState state,
                   UINT textFlags, COLORREF textColor) const;
  std::string FitCaption(HDC dc, const std::string& caption, int width) const;

  qv::fw::TBitmap m_source;
  TGlyphList* m_glyphList = nullptr;
  std::array<int, 5> m_cellIndex{-1, -1, -1, -1, -1};
  COLORREF m_maskColor = RGB(255, 0, 255);
  int m_numGlyphs = 1;
  qv::fw::TAlignment m_alignment = qv::fw::TAlignment::Center;
  bool m_wordWrap = false;
};

// The downward triangle of a drop-down button (7 pixels wide, 4 high, its
// top row at y - 1), embossed when disabled.
void DrawMenuMark(HDC dc, int x, int y, TButtonPaintState state);

// Draws the frame of a button and returns the face inside it.
qv::fw::TRect DrawButtonBorder(qv::fw::TCanvas& canvas, const qv::fw::TRect& rect, bool down, TButtonStyle style,
                               bool flat);

// A one-pixel frame drawn inwards: top and left in one colour, bottom and
// right in the other; returns the rectangle inside it.
qv::fw::TRect Frame3D(HDC dc, const qv::fw::TRect& r, qv::fw::TColor topLeft, qv::fw::TColor bottomRight);

}  // namespace qv::controls
