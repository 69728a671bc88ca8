#include "app/TitleImage.h"

#include "controls/picture/QxGifImage.h"
#include "framework/Bitmap.h"

namespace qv::app {

HBITMAP DecodeGifPicture(const uint8_t* data, size_t size) {
  controls::TGIFImage gif;
  if (gif.Load(data, size) || gif.FrameCount() < 1) return nullptr;
  try {
    fw::TBitmap bitmap;
    gif.Frame(0).AssignTo(bitmap);
    return bitmap.ReleaseHandle();
  } catch (const fw::EQvError&) {
    return nullptr;  // a window without its title is still usable
  }
}

HBITMAP LoadTitleImage() {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, "TITRE", MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (!found) return nullptr;
  HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return nullptr;
  return DecodeGifPicture(static_cast<const uint8_t*>(bytes), SizeofResource(module, found));
}

}  // namespace qv::app
