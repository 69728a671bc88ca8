// The GIF picture class: the codec's model plus decoded bitmaps, drawing,
// streams and the clipboard.
#include "controls/picture/QxGifImage.h"

#include <algorithm>
#include <cstring>

#include "media/GifPixels.h"
#include "media/GifReader.h"
#include "media/GifWriter.h"
#include "controls/picture/detail/BitmapPixels.h"
#include "controls/picture/detail/GlobalMemoryApi.h"
#include "services/QxVclUtils.h"

namespace qv::controls {

namespace detail {

const TGlobalMemoryApi& PlatformGlobalMemoryApi() {
  static const TGlobalMemoryApi api{&GlobalAlloc, &GlobalLock, &GlobalUnlock, &GlobalFree};
  return api;
}

TGlobalMemoryApi& GlobalMemoryApi() {
  static TGlobalMemoryApi api = PlatformGlobalMemoryApi();
  return api;
}

bool ReadBitmapPixels(const qv::fw::TBitmap& bitmap, media::TGifPixels& out) {
  qv::fw::TMemoryStream s;
  if (!bitmap.SaveToStream(s)) return false;
  const std::string& b = s.Bytes();
  return media::TGifPixels::FromPackedBmp(reinterpret_cast<const uint8_t*>(b.data()), b.size(), out);
}

TBitmapPixelsReader& BitmapPixelsReader() {
  static TBitmapPixelsReader reader = &ReadBitmapPixels;
  return reader;
}

}  // namespace detail

using media::TGifError;
using media::TGifErrorCode;
using media::TGifPixels;
using qv::fw::TBitmap;

namespace {

constexpr TGifError kStreamRead{TGifErrorCode::StreamRead, 0};

}  // namespace

UINT GifClipboardFormat() {
  static const UINT format = RegisterClipboardFormatA("GIF Image");
  return format;
}

UINT IconClipboardFormat() {
  static const UINT format = RegisterClipboardFormatA(kIconClipboardFormatName);
  return format;
}

// --- Frames

media::TGifFrame& TGIFFrame::Data() const { return m_owner->m_file.Frames.at(size_t(m_index)); }

bool TGIFFrame::HasBitmap() const {
  const auto& bitmaps = m_owner->m_bitmaps;
  return size_t(m_index) < bitmaps.size() && bitmaps[size_t(m_index)] != nullptr;
}

TBitmap& TGIFFrame::Bitmap() const {
  if (!HasBitmap())
    if (TGifError e = m_owner->DecodeFrame(m_index)) m_owner->Fail(e);
  return *m_owner->m_bitmaps[size_t(m_index)];
}

void TGIFFrame::Assign(const TGIFFrame& source) const {
  if (&source.Owner() == m_owner && source.Index() == m_index) return;
  m_owner->ReleasePalette();  // it may be this frame's
  Data() = source.Data();
  auto& slot = m_owner->m_bitmaps.at(size_t(m_index));
  slot.reset();
  if (source.HasBitmap()) {
    slot = std::make_unique<TBitmap>();
    slot->Assign(*source.Owner().m_bitmaps[size_t(source.Index())]);
  }
  m_owner->UpdateScreenSize();
}

void TGIFFrame::Assign(const TBitmap& source, bool transparent) const {
  m_owner->ReleasePalette();  // it may be this frame's
  media::TGifFrame& f = Data();
  auto& slot = m_owner->m_bitmaps.at(size_t(m_index));
  f.Item = std::make_shared<media::TGIFItem>();
  f.TransparentColor = media::kGifNoColor;
  slot.reset();
  if (source.Empty()) return;
  auto copy = std::make_unique<TBitmap>();
  if (!copy->Assign(source)) {
    // A source GDI cannot copy as it is: drawn onto magenta instead.
    if (!copy->Create(source.Width(), source.Height(), 24)) throw EInvalidBitmap();
    HDC dc = copy->Dc();
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    const RECT all{0, 0, source.Width(), source.Height()};
    FillRect(dc, &all, magenta);
    DeleteObject(magenta);
    HDC src = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(src, source.Handle());
    BitBlt(dc, 0, 0, source.Width(), source.Height(), src, 0, 0, SRCCOPY);
    SelectObject(src, old);
    DeleteDC(src);
    copy->Dormant();
  }
  f.Item->Width = copy->Width();
  f.Item->Height = copy->Height();
  // A system colour is matched against the colour table by the RGB it has now.
  if (transparent || source.Transparent()) f.TransparentColor = qv::fw::ColorToRGB(source.TransparentColor());
  slot = std::move(copy);
  m_owner->UpdateScreenSize();
}

void TGIFFrame::AssignTo(TBitmap& target) const {
  TBitmap& b = Bitmap();
  if (b.Empty()) target.Clear();
  else target.Assign(b);
  const uint32_t key = Data().TransparentColor;
  if (key == media::kGifNoColor) return;
  // The colour the screen shows for the key, so that drawing it leaves out
  // exactly the key's pixels.
  HDC screen = GetDC(nullptr);
  const COLORREF nearest = GetNearestColor(screen, key & 0xFFFFFF);
  ReleaseDC(nullptr, screen);
  target.SetTransparentColor(static_cast<qv::fw::TColor>(nearest == CLR_INVALID ? key & 0xFFFFFF : nearest));
  target.SetTransparent(true);
}

// --- The picture

TGIFImage::TGIFImage() { Reset(); }
TGIFImage::~TGIFImage() { ReleasePalette(); }

void TGIFImage::Reset() {
  m_file.Reset();
  m_bitmaps.clear();
  m_frameIndex = -1;
  ReleasePalette();
}

void TGIFImage::Changed() {
  ReleasePalette();
  if (OnChange) OnChange();
}

void TGIFImage::ReleasePalette() const {
  if (m_palette) DeleteObject(m_palette);
  m_palette = nullptr;
}

HPALETTE TGIFImage::Palette() const {
  if (m_palette) return m_palette;
  if (m_frameIndex < 0 || m_frameIndex >= FrameCount()) return nullptr;
  std::vector<COLORREF> colors;
  try {
    colors = const_cast<TGIFImage*>(this)->Frame(m_frameIndex).Bitmap().ColorTable(0, 256);
  } catch (const EInvalidGraphic&) {
    return nullptr;  // a frame that cannot be decoded has no colours
  }
  if (colors.empty()) return nullptr;
  std::vector<uint8_t> block(sizeof(LOGPALETTE) + colors.size() * sizeof(PALETTEENTRY));
  auto* pal = reinterpret_cast<LOGPALETTE*>(block.data());
  pal->palVersion = 0x300;
  pal->palNumEntries = static_cast<WORD>(colors.size());
  for (size_t i = 0; i < colors.size(); ++i)
    pal->palPalEntry[i] = PALETTEENTRY{GetRValue(colors[i]), GetGValue(colors[i]), GetBValue(colors[i]), 0};
  m_palette = CreatePalette(pal);
  return m_palette;
}

// --- Registration with the framework's picture loading

void RegisterGifPictureFormat() {
  qv::fw::TPictureFormat f;
  f.Extension = kGifFileExtension;
  f.Description = kGifFileDescription;
  f.ClipboardFormat = GifClipboardFormat();
  f.ResourceType = kGifResourceType;
  f.ClassName = kGifClassName;
  f.Create = [] { return std::make_unique<TGIFImage>(); };
  qv::fw::RegisterPictureFormat(f);
}

void UnregisterGifPictureFormat() { qv::fw::UnregisterPictureFormat(kGifClassName); }

namespace {
// Start-up and shutdown of every program that links the class.
struct TGifRegistration {
  TGifRegistration() {
    RegisterGifPictureFormat();
    IconClipboardFormat();
  }
  ~TGifRegistration() { UnregisterGifPictureFormat(); }
} gifRegistration;
}  // namespace

TGifError TGIFImage::DecodeFrame(int index) {
  TGifPixels pixels;
  if (TGifError e = media::DecodeGifFrame(m_file.Frames.at(size_t(index)), pixels, Options, OnProgress)) return e;
  if (m_file.Frames[size_t(index)].Corrupted) m_file.Corrupted = true;
  auto bitmap = std::make_unique<TBitmap>();
  if (!pixels.Empty()) {
    const std::vector<uint8_t> bmp = pixels.ToPackedBmp();
    qv::fw::TMemoryStream s(std::string(bmp.begin(), bmp.end()));
    // GDI refusing the section: the picture is too large for this system.
    if (!bitmap->LoadFromStream(s)) return {TGifErrorCode::TooLarge, 0};
  }
  m_bitmaps.resize(m_file.Frames.size());
  m_bitmaps[size_t(index)] = std::move(bitmap);
  return {};
}

TGifError TGIFImage::Load(const uint8_t* data, size_t size) {
  Reset();
  TGifError error = media::ReadGif(data, size, m_file, Options);
  m_bitmaps.resize(m_file.Frames.size());
  if (!error && !m_file.Frames.empty()) {
    m_frameIndex = 0;
    error = DecodeFrame(0);
    if (error) {
      m_file.Frames.erase(m_file.Frames.begin());
      m_bitmaps.erase(m_bitmaps.begin());
      if (m_file.Frames.empty()) m_frameIndex = -1;
    }
  }
  m_paletteModified = true;
  Changed();
  return error;
}

void TGIFImage::LoadFromStream(qv::fw::TStream& stream) {
  const std::string bytes = stream.ReadRest();
  if (TGifError e = Load(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())) Fail(e);
}

void TGIFImage::LoadFromFile(const std::wstring& path) {
  qv::fw::TMemoryStream s;
  if (!s.LoadFromFile(path)) Fail(kStreamRead);
  LoadFromStream(s);
}

void TGIFImage::ReadData(qv::fw::TStream& stream) {
  uint8_t prefix[4];
  if (!stream.ReadBuffer(prefix, 4)) Fail(kStreamRead);
  const uint32_t count = uint32_t(prefix[0]) | (uint32_t(prefix[1]) << 8) | (uint32_t(prefix[2]) << 16) |
                         (uint32_t(prefix[3]) << 24);
  // A count beyond what the stream holds must not size the buffer.
  const int64_t position = stream.Position(), size = stream.Size();
  if (position < 0 || size < position || uint64_t(count) > uint64_t(size - position)) Fail(kStreamRead);
  std::string bytes(count, '\0');
  if (!stream.ReadBuffer(bytes.data(), count)) Fail(kStreamRead);
  if (TGifError e = Load(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())) Fail(e);
}

TGifError TGIFImage::EncodeFrames() {
  for (size_t i = 0; i < m_file.Frames.size(); ++i) {
    media::TGifFrame& frame = m_file.Frames[i];
    if (frame.HasEncodedData()) continue;
    const TBitmap* bitmap = i < m_bitmaps.size() ? m_bitmaps[i].get() : nullptr;
    if (!bitmap || bitmap->Empty()) return {TGifErrorCode::NoDataToWrite, 0};
    TGifPixels pixels;
    if (!detail::BitmapPixelsReader()(*bitmap, pixels)) throw EInvalidBitmap();
    if (pixels.Depth != 1 && pixels.Depth != 4 && pixels.Depth != 8) {
      const media::TReductionMethod method = frame.Grayscale ? media::TReductionMethod::Grayscale : Reduction;
      if (method == media::TReductionMethod::Grayscale) frame.Grayscale = true;
      TGifPixels reduced;
      if (!media::ReduceColors(pixels, method, reduced)) return {TGifErrorCode::EncodingError, 0};
      pixels = std::move(reduced);
    }
    if (TGifError e = media::EncodeGifFrame(m_file, frame, pixels, OnProgress)) return e;
  }
  return {};
}

TGifError TGIFImage::Save(std::vector<uint8_t>& out) {
  if (m_file.Frames.empty()) return {TGifErrorCode::NoDataToWrite, 0};
  if (TGifError e = EncodeFrames()) return e;
  return media::WriteGif(m_file, out);
}

void TGIFImage::SaveToStream(qv::fw::TStream& stream) {
  std::vector<uint8_t> bytes;
  if (TGifError e = Save(bytes)) Fail(e);
  if (!stream.WriteBuffer(bytes.data(), bytes.size())) throw qv::fw::EQvError("Erreur d'écriture du flux");
}

void TGIFImage::SaveToFile(const std::wstring& path) {
  qv::fw::TMemoryStream s;
  SaveToStream(s);
  if (!s.SaveToFile(path)) throw qv::fw::EQvError("Erreur d'écriture du flux");
}

void TGIFImage::WriteData(qv::fw::TStream& stream) {
  std::vector<uint8_t> bytes;
  if (TGifError e = Save(bytes)) Fail(e);
  const uint32_t n = uint32_t(bytes.size());
  const uint8_t prefix[4] = {uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24)};
  if (!stream.WriteBuffer(prefix, 4) || !stream.WriteBuffer(bytes.data(), bytes.size()))
    throw qv::fw::EQvError("Erreur d'écriture du flux");
}

bool TGIFImage::CopyToClipboard(HWND owner) {
  if (m_file.Frames.empty()) Fail({TGifErrorCode::NoDataToWrite, 0});
  TBitmap& first = Frame(0).Bitmap();
  const bool allEncoded = std::all_of(m_file.Frames.begin(), m_file.Frames.end(),
                                      [](const media::TGifFrame& f) { return f.HasEncodedData(); });
  // The counted bytes are made ready before the clipboard is emptied, so
  // that a copy that cannot be made leaves the user's clipboard as it was.
  HGLOBAL block = nullptr;
  if (allEncoded) {
    std::vector<uint8_t> bytes;
    if (TGifError e = media::WriteGif(m_file, bytes)) Fail(e);
    const detail::TGlobalMemoryApi& memory = detail::GlobalMemoryApi();
    block = memory.Alloc(GMEM_MOVEABLE, bytes.size() + 4);
    if (!block) return false;
    auto* p = static_cast<uint8_t*>(memory.Lock(block));
    if (!p) {
      memory.Free(block);
      return false;
    }
    const uint32_t n = uint32_t(bytes.size());
    const uint8_t prefix[4] = {uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24)};
    std::memcpy(p, prefix, 4);
    std::memcpy(p + 4, bytes.data(), bytes.size());
    memory.Unlock(block);
  }
  if (!OpenClipboard(owner)) {
    if (block) detail::GlobalMemoryApi().Free(block);
    return false;
  }
  EmptyClipboard();
  bool placed = true;
  if (!first.Empty()) {
    first.Dormant();
    HANDLE copy = CopyImage(first.Handle(), IMAGE_BITMAP, 0, 0, 0);
    if (!copy || !SetClipboardData(CF_BITMAP, copy)) {
      if (copy) DeleteObject(copy);
      placed = false;
    }
  }
  // Once placed, the block is the clipboard's.
  if (block && !SetClipboardData(GifClipboardFormat(), block)) {
    detail::GlobalMemoryApi().Free(block);
    placed = false;
  }
  // Half a copy would paste as a different picture: nothing rather than that.
  if (!placed) EmptyClipboard();
  CloseClipboard();
  return placed;
}

bool TGIFImage::PasteFromClipboard(HWND owner) {
  if (!OpenClipboard(owner)) return false;
  TGifError error;
  bool taken = false;
  if (HANDLE data = IsClipboardFormatAvailable(GifClipboardFormat()) ? GetClipboardData(GifClipboardFormat()) : nullptr) {
    const SIZE_T size = GlobalSize(data);
    if (const auto* p = static_cast<const uint8_t*>(GlobalLock(data))) {
      const uint32_t count = size >= 4 ? uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
                                             (uint32_t(p[3]) << 24)
                                       : 0;
      Reset();
      if (size < 4 || count > size - 4) error = kStreamRead;
      else error = media::ReadGif(p + 4, count, m_file, Options);
      GlobalUnlock(data);
      m_bitmaps.resize(m_file.Frames.size());
      if (!m_file.Frames.empty()) {
        m_frameIndex = 0;
        if (IsClipboardFormatAvailable(CF_BITMAP)) {
          auto bitmap = std::make_unique<TBitmap>();
          if (bitmap->CopyFrom(static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)))) m_bitmaps[0] = std::move(bitmap);
        }
      }
      taken = true;
    }
  } else if (IsClipboardFormatAvailable(CF_BITMAP)) {
    TBitmap bitmap;
    const bool read = bitmap.CopyFrom(static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)));
    CloseClipboard();
    // A bitmap is there but its bits cannot be read: not "nothing to paste".
    if (!read) throw EInvalidBitmap();
    Assign(&bitmap);
    return true;
  }
  CloseClipboard();
  if (taken) {
    m_paletteModified = true;
    Changed();
  }
  if (error) Fail(error);
  return taken;
}

void TGIFImage::Draw(qv::fw::TCanvas& canvas, const qv::fw::TRect& rect) {
  if (m_frameIndex < 0 || m_frameIndex >= FrameCount()) return;
  const int w = rect.Right - rect.Left, h = rect.Bottom - rect.Top;
  if (w <= 0 || h <= 0) return;
  TBitmap* bitmap = nullptr;
  try {
    bitmap = &Frame(m_frameIndex).Bitmap();
  } catch (const EInvalidGraphic&) {
    // Painting must not raise on every repaint: a frame that cannot be
    // decoded draws nothing (reading has reported it already).
    return;
  }
  if (bitmap->Empty()) return;
  const uint32_t key = m_file.Frames[size_t(m_frameIndex)].TransparentColor;
  if (m_transparent && key != media::kGifNoColor) {
    StretchTransparent(canvas, *bitmap, qv::fw::TColor(key), rect.Left, rect.Top, w, h, 0, 0, 0, 0);
    return;
  }
  const int oldMode = SetStretchBltMode(canvas.Handle(), COLORONCOLOR);
  StretchBlt(canvas.Handle(), rect.Left, rect.Top, w, h, bitmap->Dc(), 0, 0, bitmap->Width(), bitmap->Height(),
             SRCCOPY);
  SetStretchBltMode(canvas.Handle(), oldMode);
  bitmap->Dormant();
}

int TGIFImage::Width() const {
  if (m_frameIndex < 0 || m_frameIndex >= FrameCount()) return 0;
  const TBitmap* bitmap = size_t(m_frameIndex) < m_bitmaps.size() ? m_bitmaps[size_t(m_frameIndex)].get() : nullptr;
  return bitmap ? bitmap->Width() : m_file.Frames[size_t(m_frameIndex)].Item->Width;
}

int TGIFImage::Height() const {
  if (m_frameIndex < 0 || m_frameIndex >= FrameCount()) return 0;
  const TBitmap* bitmap = size_t(m_frameIndex) < m_bitmaps.size() ? m_bitmaps[size_t(m_frameIndex)].get() : nullptr;
  return bitmap ? bitmap->Height() : m_file.Frames[size_t(m_frameIndex)].Item->Height;
}

void TGIFImage::SetWidth(int) { Fail({TGifErrorCode::CannotResize, 0}); }
void TGIFImage::SetHeight(int) { Fail({TGifErrorCode::CannotResize, 0}); }

bool TGIFImage::Empty() const {
  if (m_file.Frames.empty()) return true;
  const size_t i = size_t(std::max(m_frameIndex, 0));
  if (i >= m_file.Frames.size()) return true;
  if (i < m_bitmaps.size() && m_bitmaps[i] && !m_bitmaps[i]->Empty()) return false;
  return !m_file.Frames[i].HasEncodedData();
}

bool TGIFImage::Transparent() const {
  return m_transparent && std::any_of(m_file.Frames.begin(), m_file.Frames.end(), [](const media::TGifFrame& f) {
           return f.TransparentColor != media::kGifNoColor;
         });
}

void TGIFImage::UpdateScreenSize() {
  int w = 0, h = 0;
  for (size_t i = 0; i < m_file.Frames.size(); ++i) {
    const media::TGifFrame& f = m_file.Frames[i];
    const bool decoded = i < m_bitmaps.size() && m_bitmaps[i];
    w = std::max(w, f.Left + (decoded ? m_bitmaps[i]->Width() : f.Item->Width));
    h = std::max(h, f.Top + (decoded ? m_bitmaps[i]->Height() : f.Item->Height));
  }
  m_file.ScreenWidth = w;
  m_file.ScreenHeight = h;
}

void TGIFImage::Assign(const TGIFImage& source) {
  if (&source == this) return;
  const media::TGifFile& s = source.m_file;
  m_file.Header = s.Header;
  m_file.Version = s.Version;
  m_file.Background = s.Background;
  m_file.RepeatCount = s.RepeatCount;
  m_file.Looping = s.Looping;
  m_file.Corrupted = s.Corrupted;
  m_file.ScreenWidth = s.ScreenWidth;
  m_file.ScreenHeight = s.ScreenHeight;
  m_file.Frames = s.Frames;  // items shared
  m_frameIndex = source.m_frameIndex;
  m_bitmaps.clear();
  m_bitmaps.resize(m_file.Frames.size());
  // Decoded bitmaps are copied: a frame made from a bitmap has nothing else.
  for (size_t i = 0; i < source.m_bitmaps.size() && i < m_bitmaps.size(); ++i)
    if (source.m_bitmaps[i]) {
      m_bitmaps[i] = std::make_unique<TBitmap>();
      m_bitmaps[i]->Assign(*source.m_bitmaps[i]);
    }
  Changed();
}

void TGIFImage::Assign(const TGIFFrame& frame) {
  const media::TGifFrame data = frame.Data();
  const media::TGIFData header = *frame.Owner().m_file.Header;
  std::unique_ptr<TBitmap> bitmap;
  if (frame.HasBitmap()) {
    bitmap = std::make_unique<TBitmap>();
    bitmap->Assign(*frame.Owner().m_bitmaps[size_t(frame.Index())]);
  }
  Reset();
  m_file.Header->AspectRatio = header.AspectRatio;
  m_file.Header->BitsPerPixel = header.BitsPerPixel;
  m_file.Header->ColorResolution = header.ColorResolution;
  m_file.Header->GlobalTable = header.GlobalTable;
  m_file.Frames.push_back(data);
  m_bitmaps.push_back(std::move(bitmap));
  m_frameIndex = 0;
  if (m_file.Version == media::TGifVersion::None) m_file.Version = media::TGifVersion::V87a;
  UpdateScreenSize();
  Changed();
}

void TGIFImage::Assign(const TBitmap* bitmap, bool transparent) {
  Reset();
  if (bitmap) AddFrame(*bitmap, transparent);
  Changed();
}

void TGIFImage::AssignTo(TBitmap& target) {
  if (Empty()) return;
  Frame(std::max(m_frameIndex, 0)).AssignTo(target);
}

int TGIFImage::AddFrame(const TBitmap& bitmap, bool transparent) {
  m_file.Frames.emplace_back();
  m_bitmaps.resize(m_file.Frames.size());
  const int index = FrameCount() - 1;
  m_frameIndex = index;
  Frame(index).Assign(bitmap, transparent);  // also drops the previous frame's palette
  if (m_file.Version == media::TGifVersion::None) m_file.Version = media::TGifVersion::V87a;
  if (m_file.Frames.size() > 1) m_file.Version = media::TGifVersion::V89a;
  return index;
}

}  // namespace qv::controls
