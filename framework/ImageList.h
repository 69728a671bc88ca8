// TImageList: a component over a comctl32 image list that it either owns
// (made by Create, destroyed with the wrapper) or shares (attached, such as
// the shell's system image lists, never destroyed here). Controls follow a
// list's changes through a TImageChangeLink, which the list clears when it
// is freed. Note: a list view destroys the lists it is given unless it has
// LVS_SHAREIMAGELISTS; give it shared lists that way.
// Example:  TImageList& il = form.Make<TImageList>("Glyphs"); il.Create(16, 16);
//           il.AddMasked(bitmap, RGB(255, 0, 255));
// Tested by tests/framework/ImageList_test.cpp.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

#include "framework/Component.h"
#include "framework/Types.h"

namespace qv::fw {

class TBitmap;
class TImageList;

enum class TImageListDepth { Color4, Color8, Color24, Color32 };
enum class TImageListOwnership { Owned, Shared };

// Tells its holder that a list changed (images added, replaced, removed, or
// another handle attached). Unregisters itself when freed.
class TImageChangeLink {
public:
  TImageChangeLink() = default;
  ~TImageChangeLink();
  TImageChangeLink(const TImageChangeLink&) = delete;
  TImageChangeLink& operator=(const TImageChangeLink&) = delete;

  TImageList* Images() const { return m_images; }
  void SetImages(TImageList* list);
  std::function<void()> OnChange;

private:
  friend class TImageList;
  TImageList* m_images = nullptr;
};

class TImageList : public TComponent {
public:
  explicit TImageList(TComponent* owner) : TComponent(owner) {}
  ~TImageList() override;

  // --- The list itself
  // Makes a new owned list (the previous one is let go as its ownership says).
  bool Create(int width, int height, TImageListDepth depth = TImageListDepth::Color24, bool masked = true,
              int initial = 4, int grow = 4);
  // Takes a list made elsewhere; Shared lists are never destroyed here.
  void Attach(HIMAGELIST list, TImageListOwnership ownership);
  // Lets go of the list without destroying it; the caller takes it over.
  HIMAGELIST Detach();
  HIMAGELIST Handle() const { return m_list; }
  bool HandleAllocated() const { return m_list != nullptr; }
  bool Shared() const { return m_ownership == TImageListOwnership::Shared; }
  int Width() const;
  int Height() const;
  int Count() const;

  // --- Images. Indexes returned are -1 on failure. A shared list is
  // read-only here: changing the shell's lists would change every user's.
  // Adds the image (a strip of several images when it is wider than the
  // list), with an optional monochrome mask (1 = see-through).
  int Add(const TBitmap& image, const TBitmap* mask = nullptr);
  // Adds the image with the pixels of maskColor see-through.
  int AddMasked(const TBitmap& image, COLORREF maskColor);
  int AddIcon(HICON icon);
  bool Replace(int index, const TBitmap& image, const TBitmap* mask = nullptr);
  bool ReplaceMasked(int index, const TBitmap& image, COLORREF maskColor);
  bool Delete(int index);
  void Clear();

  // --- Drawing (style: ILD_NORMAL, ILD_TRANSPARENT, ILD_BLEND50 ...)
  bool Draw(HDC dc, int index, int x, int y, UINT style = ILD_TRANSPARENT) const;
  HICON ExtractIcon(int index) const;  // the caller destroys it

  // Fired after each change, then every registered link is told.
  std::function<void(TComponent& sender)> OnChange;

private:
  friend class TImageChangeLink;
  void Release();
  void Changed();
  bool Writable() const;

  HIMAGELIST m_list = nullptr;
  TImageListOwnership m_ownership = TImageListOwnership::Owned;
  std::vector<TImageChangeLink*> m_links;
};

}  // namespace qv::fw
