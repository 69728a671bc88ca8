// Where the speed buttons keep the prepared images of their glyphs: one
// TGlyphList (a masked image list) per image size, all held by one
// process-wide TGlyphCache, so buttons with same-sized glyphs share one
// system image list. A slot freed by one button is the next one taken;
// a list with no slot in use is freed.
// Example:  TGlyphList* l = EnsureGlyphCache().ListForSize(16, 16);
//           int i = l->AddMaskedImage(cell, RGB(255, 0, 255)); ... l->ReleaseIndex(i);
// Main thread only. Tested by tests/controls/buttons/QxButtonGlyph_test.cpp.
#pragma once

#include <memory>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/ImageList.h"

namespace qv::controls {

class TGlyphList : public qv::fw::TImageList {
public:
  TGlyphList(int width, int height);

  // The lowest free slot, marked as used; a new blank image is appended
  // when every slot is taken. -1 when the list cannot grow.
  int AllocateIndex();
  // A slot holding the image with its mask (set bits see-through); -1 on failure.
  int AddImage(const qv::fw::TBitmap& image, const qv::fw::TBitmap& mask);
  // A slot holding the image, its pixels of maskColor see-through.
  int AddMaskedImage(const qv::fw::TBitmap& image, COLORREF maskColor);
  // Frees a used slot (its picture stays until the slot is taken again).
  void ReleaseIndex(int index);
  bool IndexUsed(int index) const;
  // Slots in use.
  int UsedCount() const { return m_count; }

private:
  std::vector<bool> m_used;
  int m_count = 0;
};

class TGlyphCache {
public:
  TGlyphCache() = default;
  TGlyphCache(const TGlyphCache&) = delete;
  TGlyphCache& operator=(const TGlyphCache&) = delete;

  // The newest list of that size, or a new one.
  TGlyphList* ListForSize(int width, int height);
  // Frees the list once no slot of it is in use.
  void ReturnList(TGlyphList* list);
  bool IsEmpty() const { return m_lists.empty(); }
  int ListCount() const { return static_cast<int>(m_lists.size()); }

private:
  std::vector<std::unique_ptr<TGlyphList>> m_lists;
};

// The process-wide cache: null until a glyph painter needs it, freed again
// by the last painter that leaves it empty.
TGlyphCache* GlyphCache();
TGlyphCache& EnsureGlyphCache();
// Frees the cache when it holds no list.
void FreeGlyphCacheIfEmpty();

}  // namespace qv::controls
