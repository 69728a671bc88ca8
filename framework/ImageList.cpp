// Image lists, owned or shared. Masks made from a colour are built here
// rather than by ImageList_AddMasked so Replace and Add treat them alike:
// the see-through pixels become black in the image, as masked drawing needs.
#include "framework/ImageList.h"

#include <algorithm>

#include "framework/Bitmap.h"

namespace qv::fw {

namespace {

// A 24-bit copy of image with maskColor's pixels turned black, and the
// 1-bit mask of those pixels.
bool SplitMask(const TBitmap& image, COLORREF maskColor, TBitmap& colour, TBitmap& mask) {
  if (image.Empty() || !colour.Create(image.Width(), image.Height(), 24) ||
      !mask.Create(image.Width(), image.Height(), 1))
    return false;
  const COLORREF key = maskColor & 0x00FFFFFF;
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x) {
      const COLORREF c = image.Pixel(x, y);
      const bool clear = c == key;
      colour.SetPixel(x, y, clear ? RGB(0, 0, 0) : c);
      mask.SetPixelIndex(x, y, clear ? 1 : 0);
    }
  return true;
}

}  // namespace

// --- TImageChangeLink

TImageChangeLink::~TImageChangeLink() { SetImages(nullptr); }

void TImageChangeLink::SetImages(TImageList* list) {
  if (m_images == list) return;
  if (m_images) {
    auto& links = m_images->m_links;
    links.erase(std::remove(links.begin(), links.end(), this), links.end());
  }
  m_images = list;
  if (m_images) m_images->m_links.push_back(this);
}

// --- TImageList

TImageList::~TImageList() {
  for (TImageChangeLink* l : std::vector<TImageChangeLink*>(m_links)) l->m_images = nullptr;
  m_links.clear();
  Release();
}

void TImageList::Release() {
  if (m_list && m_ownership == TImageListOwnership::Owned) ImageList_Destroy(m_list);
  m_list = nullptr;
}

void TImageList::Changed() {
  if (Destroying()) return;
  if (OnChange) OnChange(*this);
  for (TImageChangeLink* l : std::vector<TImageChangeLink*>(m_links))
    if (l->OnChange) l->OnChange();
}

bool TImageList::Create(int width, int height, TImageListDepth depth, bool masked, int initial, int grow) {
  UINT flags = masked ? ILC_MASK : 0;
  switch (depth) {
    case TImageListDepth::Color4: flags |= ILC_COLOR4; break;
    case TImageListDepth::Color8: flags |= ILC_COLOR8; break;
    case TImageListDepth::Color24: flags |= ILC_COLOR24; break;
    case TImageListDepth::Color32: flags |= ILC_COLOR32; break;
  }
  HIMAGELIST list = ImageList_Create(width, height, flags, initial, grow);
  if (!list) return false;
  Release();
  m_list = list;
  m_ownership = TImageListOwnership::Owned;
  Changed();
  return true;
}

void TImageList::Attach(HIMAGELIST list, TImageListOwnership ownership) {
  if (list != m_list) Release();
  m_list = list;
  m_ownership = ownership;
  Changed();
}

HIMAGELIST TImageList::Detach() {
  HIMAGELIST list = m_list;
  m_list = nullptr;
  Changed();
  return list;
}

int TImageList::Width() const {
  int w = 0, h = 0;
  return m_list && ImageList_GetIconSize(m_list, &w, &h) ? w : 0;
}

int TImageList::Height() const {
  int w = 0, h = 0;
  return m_list && ImageList_GetIconSize(m_list, &w, &h) ? h : 0;
}

int TImageList::Count() const { return m_list ? ImageList_GetImageCount(m_list) : 0; }

bool TImageList::Writable() const { return m_list && m_ownership == TImageListOwnership::Owned; }

int TImageList::Add(const TBitmap& image, const TBitmap* mask) {
  if (!Writable() || image.Empty()) return -1;
  const int i = ImageList_Add(m_list, image.Handle(), mask ? mask->Handle() : nullptr);
  if (i >= 0) Changed();
  return i;
}

int TImageList::AddMasked(const TBitmap& image, COLORREF maskColor) {
  TBitmap colour, mask;
  if (!Writable() || !SplitMask(image, maskColor, colour, mask)) return -1;
  return Add(colour, &mask);
}

int TImageList::AddIcon(HICON icon) {
  if (!Writable() || !icon) return -1;
  const int i = ImageList_ReplaceIcon(m_list, -1, icon);
  if (i >= 0) Changed();
  return i;
}

bool TImageList::Replace(int index, const TBitmap& image, const TBitmap* mask) {
  if (!Writable() || image.Empty() || index < 0 || index >= Count()) return false;
  const bool ok = ImageList_Replace(m_list, index, image.Handle(), mask ? mask->Handle() : nullptr);
  if (ok) Changed();
  return ok;
}

bool TImageList::ReplaceMasked(int index, const TBitmap& image, COLORREF maskColor) {
  TBitmap colour, mask;
  return Writable() && SplitMask(image, maskColor, colour, mask) && Replace(index, colour, &mask);
}

bool TImageList::Delete(int index) {
  if (!Writable() || index < 0 || index >= Count()) return false;
  const bool ok = ImageList_Remove(m_list, index);
  if (ok) Changed();
  return ok;
}

void TImageList::Clear() {
  if (Writable() && ImageList_Remove(m_list, -1)) Changed();
}

bool TImageList::Draw(HDC dc, int index, int x, int y, UINT style) const {
  if (!m_list || index < 0 || index >= Count()) return false;
  return ImageList_Draw(m_list, index, dc, x, y, style);
}

HICON TImageList::ExtractIcon(int index) const {
  if (!m_list || index < 0 || index >= Count()) return nullptr;
  return ImageList_GetIcon(m_list, index, ILD_TRANSPARENT);
}

}  // namespace qv::fw
