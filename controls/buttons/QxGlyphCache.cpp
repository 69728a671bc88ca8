// Shared image lists of the speed buttons' prepared glyph images.
#include "controls/buttons/QxGlyphCache.h"

#include <algorithm>

namespace qv::controls {

using qv::fw::TBitmap;

namespace {

std::unique_ptr<TGlyphCache>& CacheSlot() {
  static std::unique_ptr<TGlyphCache> cache;
  return cache;
}

}  // namespace

// --- TGlyphList

TGlyphList::TGlyphList(int width, int height) : TImageList(nullptr) {
  Create(width, height, qv::fw::TImageListDepth::Color24, true, 4, 4);
}

int TGlyphList::AllocateIndex() {
  const auto free = std::find(m_used.begin(), m_used.end(), false);
  int index = static_cast<int>(free - m_used.begin());
  if (free == m_used.end()) {
    TBitmap blank;
    if (!blank.Create(Width(), Height(), 24)) return -1;
    index = Add(blank);
    if (index < 0) return -1;
    // The list and the bit set grow together; keep them in step.
    m_used.resize(static_cast<size_t>(index) + 1, false);
  }
  m_used[static_cast<size_t>(index)] = true;
  ++m_count;
  return index;
}

int TGlyphList::AddImage(const TBitmap& image, const TBitmap& mask) {
  const int index = AllocateIndex();
  if (index < 0) return -1;
  if (!Replace(index, image, &mask)) {
    ReleaseIndex(index);
    return -1;
  }
  return index;
}

int TGlyphList::AddMaskedImage(const TBitmap& image, COLORREF maskColor) {
  const int index = AllocateIndex();
  if (index < 0) return -1;
  if (!ReplaceMasked(index, image, maskColor)) {
    ReleaseIndex(index);
    return -1;
  }
  return index;
}

void TGlyphList::ReleaseIndex(int index) {
  if (!IndexUsed(index)) return;
  m_used[static_cast<size_t>(index)] = false;
  --m_count;
}

bool TGlyphList::IndexUsed(int index) const {
  return index >= 0 && static_cast<size_t>(index) < m_used.size() && m_used[static_cast<size_t>(index)];
}

// --- TGlyphCache

TGlyphList* TGlyphCache::ListForSize(int width, int height) {
  for (auto it = m_lists.rbegin(); it != m_lists.rend(); ++it)
    if ((*it)->Width() == width && (*it)->Height() == height) return it->get();
  m_lists.push_back(std::make_unique<TGlyphList>(width, height));
  return m_lists.back().get();
}

void TGlyphCache::ReturnList(TGlyphList* list) {
  if (!list || list->UsedCount() != 0) return;
  m_lists.erase(std::remove_if(m_lists.begin(), m_lists.end(), [list](const auto& l) { return l.get() == list; }),
                m_lists.end());
}

TGlyphCache* GlyphCache() { return CacheSlot().get(); }

TGlyphCache& EnsureGlyphCache() {
  auto& slot = CacheSlot();
  if (!slot) slot = std::make_unique<TGlyphCache>();
  return *slot;
}

void FreeGlyphCacheIfEmpty() {
  auto& slot = CacheSlot();
  if (slot && slot->IsEmpty()) slot.reset();
}

}  // namespace qv::controls
