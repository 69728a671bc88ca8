// TBitmap: an owned device-independent bitmap (DIB section) of 1, 4, 8, 24
// or 32 bits per pixel, with its pixels in memory and, for 1/4/8-bit images,
// a colour table that can be read and rewritten (recolouring a 16-colour
// texture changes every pixel that uses an entry, without touching pixels).
// Made empty, with a size and depth, from a bitmap resource (keeping its
// depth and table), from a packed BMP (stream), or as a copy of another
// bitmap or any HBITMAP. Move-only; not thread-safe.
// Example:  TBitmap b; b.LoadFromResource(inst, "TEXTURE"); b.SetColorTable(0, {clBtnFace});
// Tested by tests/framework/Bitmap_test.cpp.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "framework/Types.h"

namespace qv::fw {

class TStream;

class TBitmap {
public:
  TBitmap() = default;
  ~TBitmap();
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;
  TBitmap(TBitmap&& other) noexcept;
  TBitmap& operator=(TBitmap&& other) noexcept;

  // --- Making one (each replaces the current image; false leaves it empty)
  // A zero-filled image. Tables start as black/white (1 bit), the 16 VGA
  // colours (4 bits) or a grey ramp (8 bits).
  bool Create(int width, int height, int bitsPerPixel);
  bool LoadFromResource(HINSTANCE instance, const char* name);
  bool LoadFromResource(HINSTANCE instance, int id) { return LoadFromResource(instance, MAKEINTRESOURCEA(id)); }
  // A copy of any bitmap handle: DIB sections keep their depth and table
  // (16-bit ones become 24-bit); device bitmaps become 24-bit (1-bit
  // device bitmaps stay 1-bit, black and white).
  bool CopyFrom(HBITMAP source);
  bool Assign(const TBitmap& other);
  // A packed BMP (file header, info header, table, rows) from the stream's
  // position: uncompressed 1/4/8/24/32 bits; anything else, truncated or
  // oversized data gives false.
  bool LoadFromStream(TStream& stream);
  bool SaveToStream(TStream& stream) const;
  void Clear();

  // --- What it is
  bool Empty() const { return m_bitmap == nullptr; }
  HBITMAP Handle() const { return m_bitmap; }
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  int BitsPerPixel() const { return m_bpp; }
  // Bytes of one pixel row (rows are padded to 4 bytes).
  int RowBytes() const { return ((m_width * m_bpp + 31) / 32) * 4; }
  // Pixel row y (0 = top); null outside the image. Pending GDI drawing on
  // the bitmap is flushed first.
  uint8_t* ScanLine(int y);
  const uint8_t* ScanLine(int y) const;

  // --- Colour table (1/4/8-bit images; empty for the others)
  int ColorCount() const { return m_colorCount; }
  // Entries first .. first + count - 1 as RGB values (COLORREF); fewer when
  // the table is shorter.
  std::vector<COLORREF> ColorTable(int first = 0, int count = 256) const;
  // Writes colours from entry `first` (system colours resolved now);
  // returns the number written (entries past the table are dropped).
  int SetColorTable(int first, const std::vector<TColor>& colors);

  // --- Pixels
  // The RGB colour of a pixel (through the table for indexed images);
  // CLR_INVALID outside the image.
  COLORREF Pixel(int x, int y) const;
  // The table index of a pixel of an indexed image, or -1.
  int PixelIndex(int x, int y) const;
  bool SetPixelIndex(int x, int y, int index);
  // Direct colour for 24/32-bit images.
  bool SetPixel(int x, int y, COLORREF color);
  // --- Transparency (kept when the image changes; Assign copies it)
  // The colour treated as see-through by transparent drawing: the fixed
  // one when set, else the lower-left pixel (clNone when empty).
  TColor TransparentColor() const;
  // A fixed see-through colour; clDefault returns to the lower-left pixel.
  void SetTransparentColor(TColor c) { m_transparentColor = c; }
  bool Transparent() const { return m_transparent; }
  void SetTransparent(bool v) { m_transparent = v; }

  // --- Drawing on it
  // A memory DC with the bitmap selected, kept until Dormant() or the end.
  HDC Dc();
  // Releases the memory DC (the pixels stay).
  void Dormant();
  // Gives the handle to the caller (who then frees it); the bitmap is empty.
  HBITMAP ReleaseHandle();

private:
  bool MakeSection(int width, int height, int bpp, const RGBQUAD* table, int tableCount);
  bool ReadTable(HBITMAP source, std::vector<RGBQUAD>& table) const;

  HBITMAP m_bitmap = nullptr;
  uint8_t* m_bits = nullptr;  // bottom-up rows, owned by the section
  int m_width = 0, m_height = 0, m_bpp = 0;
  int m_colorCount = 0;
  std::vector<RGBQUAD> m_table;  // GDI's table, which it only shows through a DC
  HDC m_dc = nullptr;
  HGDIOBJ m_oldBitmap = nullptr;
  TColor m_transparentColor = clDefault;
  bool m_transparent = false;
};

}  // namespace qv::fw
