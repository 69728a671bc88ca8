// TOndrelWallpaper: a windowless texture background that tiles one picture
// from its top-left corner over its whole area (it fills its parent). Place
// it first on its form: windowless controls paint in placement order, and
// transparent children (labels, check boxes) show it behind them through
// the parent's PaintBehind. An empty picture draws nothing.
// Tested by tests/app/display/Wallpaper_test.cpp.
#pragma once

#include <windows.h>

#include "app/DisplayPaint.h"
#include "framework/Control.h"

namespace qv::app {

class TOndrelWallpaper : public fw::TGraphicControl {
public:
  explicit TOndrelWallpaper(fw::TComponent* owner);
  ~TOndrelWallpaper() override;

  // Keeps a copy of bmp; null empties the picture.
  void SetBitmap(HBITMAP bmp);
  HBITMAP Bitmap() const { return m_bitmap.Handle(); }
  int BitmapWidth() const { return m_bitmap.Width(); }
  int BitmapHeight() const { return m_bitmap.Height(); }

protected:
  void Paint(fw::TCanvas& canvas) override;
  void BoundsChanged() override;
  void VisibleChanged() override;

private:
  // Repaints the area and the windowed children that show it through.
  void RedrawWithChildren();
  void DropTiles();
  bool BuildTiles(HDC compatible);

  TOwnedBitmap m_bitmap;
  // The tiled picture at the control's size, built on first paint: every
  // transparent child repaints a piece of it, so it is made once.
  HBITMAP m_tiles = nullptr;
  int m_tilesWidth = 0, m_tilesHeight = 0;
};

}  // namespace qv::app
