// DIB-section bitmaps. Rows are kept bottom-up (as in BMP files and as GDI
// makes them) so files and copies move rows without flipping; the colour
// table is cached beside the section because GDI only reads it through a DC.
#include "framework/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "framework/Streams.h"

namespace qv::fw {

namespace {

// Larger images are refused (a corrupt header must not allocate gigabytes).
constexpr int kMaxSide = 32768;
constexpr uint64_t kMaxBytes = 256ull << 20;

struct TBitmapInfo {
  BITMAPINFOHEADER Header;
  RGBQUAD Colors[256];
};

RGBQUAD Quad(COLORREF c) { return RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0}; }
COLORREF FromQuad(const RGBQUAD& q) { return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue); }

bool ValidDepth(int bpp) { return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32; }

uint64_t RowBytesOf(int width, int bpp) {
  return ((static_cast<uint64_t>(width) * static_cast<uint64_t>(bpp) + 31) / 32) * 4;
}

std::vector<RGBQUAD> DefaultTable(int bpp) {
  std::vector<RGBQUAD> t;
  if (bpp == 1) {
    t = {Quad(0x000000), Quad(0xFFFFFF)};
  } else if (bpp == 4) {
    static const COLORREF vga[16] = {RGB(0, 0, 0),     RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0),
                                     RGB(0, 0, 128),   RGB(128, 0, 128), RGB(0, 128, 128), RGB(128, 128, 128),
                                     RGB(192, 192, 192), RGB(255, 0, 0), RGB(0, 255, 0),   RGB(255, 255, 0),
                                     RGB(0, 0, 255),   RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255)};
    for (COLORREF c : vga) t.push_back(Quad(c));
  } else if (bpp == 8) {
    for (int i = 0; i < 256; ++i) t.push_back(Quad(RGB(i, i, i)));
  }
  return t;
}

uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void PutU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

// A memory DC with a bitmap selected, for table access.
class TSelectDc {
public:
  explicit TSelectDc(HBITMAP b) : m_dc(CreateCompatibleDC(nullptr)) {
    if (m_dc) m_old = SelectObject(m_dc, b);
  }
  ~TSelectDc() {
    if (m_dc) {
      if (m_old) SelectObject(m_dc, m_old);
      DeleteDC(m_dc);
    }
  }
  TSelectDc(const TSelectDc&) = delete;
  TSelectDc& operator=(const TSelectDc&) = delete;
  HDC Get() const { return m_old ? m_dc : nullptr; }

private:
  HDC m_dc;
  HGDIOBJ m_old = nullptr;
};

}  // namespace

TBitmap::~TBitmap() { Clear(); }

TBitmap::TBitmap(TBitmap&& o) noexcept { *this = std::move(o); }

TBitmap& TBitmap::operator=(TBitmap&& o) noexcept {
  if (this == &o) return *this;
  Clear();
  std::swap(m_bitmap, o.m_bitmap);
  std::swap(m_bits, o.m_bits);
  std::swap(m_width, o.m_width);
  std::swap(m_height, o.m_height);
  std::swap(m_bpp, o.m_bpp);
  std::swap(m_colorCount, o.m_colorCount);
  std::swap(m_table, o.m_table);
  std::swap(m_dc, o.m_dc);
  std::swap(m_oldBitmap, o.m_oldBitmap);
  std::swap(m_transparentColor, o.m_transparentColor);
  std::swap(m_transparent, o.m_transparent);
  return *this;
}

void TBitmap::Clear() {
  Dormant();
  if (m_bitmap) DeleteObject(m_bitmap);
  m_bitmap = nullptr;
  m_bits = nullptr;
  m_width = m_height = m_bpp = m_colorCount = 0;
  m_table.clear();
}

bool TBitmap::MakeSection(int width, int height, int bpp, const RGBQUAD* table, int tableCount) {
  Clear();
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide || !ValidDepth(bpp)) return false;
  if (RowBytesOf(width, bpp) * static_cast<uint64_t>(height) > kMaxBytes) return false;
  const int maxColors = bpp <= 8 ? (1 << bpp) : 0;
  if (tableCount > maxColors) tableCount = maxColors;
  if (bpp <= 8 && tableCount <= 0) return false;
  TBitmapInfo bi{};
  bi.Header.biSize = sizeof(BITMAPINFOHEADER);
  bi.Header.biWidth = width;
  bi.Header.biHeight = height;  // bottom-up
  bi.Header.biPlanes = 1;
  bi.Header.biBitCount = static_cast<WORD>(bpp);
  bi.Header.biCompression = BI_RGB;
  bi.Header.biClrUsed = static_cast<DWORD>(bpp <= 8 ? tableCount : 0);
  for (int i = 0; i < tableCount; ++i) bi.Colors[i] = table[i];
  void* bits = nullptr;
  HBITMAP h = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!h || !bits) {
    if (h) DeleteObject(h);
    return false;
  }
  m_bitmap = h;
  m_bits = static_cast<uint8_t*>(bits);
  m_width = width;
  m_height = height;
  m_bpp = bpp;
  m_colorCount = bpp <= 8 ? tableCount : 0;
  m_table.assign(table, table + m_colorCount);
  return true;
}

bool TBitmap::Create(int width, int height, int bitsPerPixel) {
  const std::vector<RGBQUAD> table = DefaultTable(bitsPerPixel);
  if (!MakeSection(width, height, bitsPerPixel, table.data(), static_cast<int>(table.size()))) return false;
  std::memset(m_bits, 0, static_cast<size_t>(RowBytes()) * static_cast<size_t>(m_height));
  return true;
}

bool TBitmap::LoadFromResource(HINSTANCE instance, const char* name) {
  HBITMAP h = static_cast<HBITMAP>(LoadImageA(instance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!h) {
    Clear();
    return false;
  }
  const bool ok = CopyFrom(h);
  DeleteObject(h);
  return ok;
}

bool TBitmap::ReadTable(HBITMAP source, std::vector<RGBQUAD>& table) const {
  TSelectDc dc(source);
  if (!dc.Get()) return false;
  table.resize(256);
  const UINT n = GetDIBColorTable(dc.Get(), 0, 256, table.data());
  table.resize(n);
  return n > 0;
}

bool TBitmap::CopyFrom(HBITMAP source) {
  if (!source) {
    Clear();
    return false;
  }
  if (source == m_bitmap) return true;
  GdiFlush();
  DIBSECTION ds{};
  if (GetObject(source, sizeof ds, &ds) == sizeof ds && ds.dsBm.bmBits) {
    const int bpp = ds.dsBm.bmBitsPixel;
    const int w = ds.dsBm.bmWidth, h = ds.dsBm.bmHeight;
    if (bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32) {
      std::vector<RGBQUAD> table;
      if (bpp <= 8 && !ReadTable(source, table)) {
        Clear();
        return false;
      }
      if (!MakeSection(w, h, bpp, table.data(), static_cast<int>(table.size()))) return false;
      const bool bottomUp = ds.dsBmih.biHeight > 0;
      const size_t row = static_cast<size_t>(RowBytes());
      const auto* src = static_cast<const uint8_t*>(ds.dsBm.bmBits);
      const size_t srcStride = static_cast<size_t>(ds.dsBm.bmWidthBytes);
      for (int y = 0; y < h; ++y) {
        const int srcRow = bottomUp ? y : h - 1 - y;  // our rows are bottom-up
        std::memcpy(m_bits + static_cast<size_t>(y) * row, src + static_cast<size_t>(srcRow) * srcStride, row);
      }
      return true;
    }
  }
  // Device bitmaps (and unusual DIB depths): converted by GDI.
  BITMAP bm{};
  if (!GetObject(source, sizeof bm, &bm)) {
    Clear();
    return false;
  }
  const int bpp = bm.bmBitsPixel == 1 ? 1 : 24;
  const std::vector<RGBQUAD> table = DefaultTable(bpp);
  if (!MakeSection(bm.bmWidth, bm.bmHeight, bpp, table.data(), static_cast<int>(table.size()))) return false;
  TBitmapInfo bi{};
  bi.Header.biSize = sizeof(BITMAPINFOHEADER);
  bi.Header.biWidth = m_width;
  bi.Header.biHeight = m_height;
  bi.Header.biPlanes = 1;
  bi.Header.biBitCount = static_cast<WORD>(bpp);
  bi.Header.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, source, 0, static_cast<UINT>(m_height), m_bits,
                             reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (rows != m_height) {
    Clear();
    return false;
  }
  return true;
}

bool TBitmap::Assign(const TBitmap& other) {
  if (&other == this) return true;
  m_transparentColor = other.m_transparentColor;
  m_transparent = other.m_transparent;
  if (other.Empty()) {
    Clear();
    return true;
  }
  if (!MakeSection(other.m_width, other.m_height, other.m_bpp, other.m_table.data(), other.m_colorCount))
    return false;
  GdiFlush();
  std::memcpy(m_bits, other.m_bits, static_cast<size_t>(RowBytes()) * static_cast<size_t>(m_height));
  return true;
}

bool TBitmap::LoadFromStream(TStream& stream) {
  Clear();
  const int64_t start = stream.Position();
  uint8_t fh[14];
  if (start < 0 || !stream.ReadBuffer(fh, sizeof fh) || fh[0] != 'B' || fh[1] != 'M') return false;
  const uint32_t offBits = U32(fh + 10);
  uint8_t ih[124];
  if (!stream.ReadBuffer(ih, 4)) return false;
  const uint32_t headerSize = U32(ih);
  if (headerSize < 40 || headerSize > sizeof ih || !stream.ReadBuffer(ih + 4, headerSize - 4)) return false;
  const int32_t width = static_cast<int32_t>(U32(ih + 4));
  const int32_t rawHeight = static_cast<int32_t>(U32(ih + 8));
  const int planes = U16(ih + 12), bpp = U16(ih + 14);
  const uint32_t compression = U32(ih + 16), clrUsed = U32(ih + 32);
  if (planes != 1 || !ValidDepth(bpp) || compression != BI_RGB) return false;
  if (width <= 0 || width > kMaxSide || rawHeight == 0 || rawHeight < -kMaxSide || rawHeight > kMaxSide) return false;
  const int height = rawHeight < 0 ? -rawHeight : rawHeight;
  uint32_t tableCount = 0, skipCount = 0;
  if (bpp <= 8) {
    tableCount = clrUsed ? clrUsed : (1u << bpp);
    if (tableCount > (1u << bpp)) return false;
  } else {
    skipCount = clrUsed;
    if (skipCount > 256) return false;
  }
  std::vector<RGBQUAD> table(tableCount);
  if (tableCount && !stream.ReadBuffer(table.data(), tableCount * sizeof(RGBQUAD))) return false;
  const uint64_t tableEnd = 14ull + headerSize + (static_cast<uint64_t>(tableCount) + skipCount) * 4;
  const uint64_t dataAt = offBits >= tableEnd ? offBits : tableEnd;
  if (!stream.SetPosition(start + static_cast<int64_t>(dataAt))) return false;
  if (!MakeSection(width, height, bpp, table.data(), static_cast<int>(tableCount))) return false;
  const size_t row = static_cast<size_t>(RowBytes());
  for (int y = 0; y < height; ++y) {
    const int target = rawHeight > 0 ? y : height - 1 - y;
    if (!stream.ReadBuffer(m_bits + static_cast<size_t>(target) * row, row)) {
      Clear();
      return false;
    }
  }
  return true;
}

bool TBitmap::SaveToStream(TStream& stream) const {
  if (Empty()) return false;
  GdiFlush();
  const uint64_t dataSize = static_cast<uint64_t>(RowBytes()) * static_cast<uint64_t>(m_height);
  const uint32_t offBits = 14 + 40 + static_cast<uint32_t>(m_colorCount) * 4;
  uint8_t h[54] = {};
  h[0] = 'B';
  h[1] = 'M';
  PutU32(h + 2, static_cast<uint32_t>(offBits + dataSize));
  PutU32(h + 10, offBits);
  PutU32(h + 14, 40);
  PutU32(h + 18, static_cast<uint32_t>(m_width));
  PutU32(h + 22, static_cast<uint32_t>(m_height));
  PutU16(h + 26, 1);
  PutU16(h + 28, static_cast<uint16_t>(m_bpp));
  PutU32(h + 34, static_cast<uint32_t>(dataSize));
  PutU32(h + 46, static_cast<uint32_t>(m_colorCount));
  return stream.WriteBuffer(h, sizeof h) &&
         (m_table.empty() || stream.WriteBuffer(m_table.data(), m_table.size() * sizeof(RGBQUAD))) &&
         stream.WriteBuffer(m_bits, static_cast<size_t>(dataSize));
}

uint8_t* TBitmap::ScanLine(int y) {
  if (!m_bits || y < 0 || y >= m_height) return nullptr;
  GdiFlush();
  return m_bits + static_cast<size_t>(m_height - 1 - y) * static_cast<size_t>(RowBytes());
}

const uint8_t* TBitmap::ScanLine(int y) const { return const_cast<TBitmap*>(this)->ScanLine(y); }

std::vector<COLORREF> TBitmap::ColorTable(int first, int count) const {
  std::vector<COLORREF> out;
  if (first < 0 || count <= 0) return out;
  for (int i = first; i < m_colorCount && i - first < count; ++i) out.push_back(FromQuad(m_table[i]));
  return out;
}

int TBitmap::SetColorTable(int first, const std::vector<TColor>& colors) {
  if (first < 0 || first >= m_colorCount || colors.empty()) return 0;
  const int n = std::min(static_cast<int>(colors.size()), m_colorCount - first);
  std::vector<RGBQUAD> quads;
  for (int i = 0; i < n; ++i) quads.push_back(Quad(ColorToRGB(colors[static_cast<size_t>(i)])));
  const UINT written = SetDIBColorTable(Dc(), static_cast<UINT>(first), static_cast<UINT>(n), quads.data());
  for (UINT i = 0; i < written; ++i) m_table[static_cast<size_t>(first) + i] = quads[i];
  return static_cast<int>(written);
}

int TBitmap::PixelIndex(int x, int y) const {
  if (m_bpp > 8 || x < 0 || x >= m_width) return -1;
  const uint8_t* row = ScanLine(y);
  if (!row) return -1;
  switch (m_bpp) {
    case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4: return (x % 2 == 0) ? (row[x / 2] >> 4) : (row[x / 2] & 0x0F);
    default: return row[x];
  }
}

bool TBitmap::SetPixelIndex(int x, int y, int index) {
  if (m_bpp > 8 || x < 0 || x >= m_width || index < 0 || index >= (1 << m_bpp)) return false;
  uint8_t* row = ScanLine(y);
  if (!row) return false;
  switch (m_bpp) {
    case 1: {
      const uint8_t bit = static_cast<uint8_t>(0x80 >> (x % 8));
      row[x / 8] = static_cast<uint8_t>(index ? (row[x / 8] | bit) : (row[x / 8] & ~bit));
      break;
    }
    case 4:
      row[x / 2] = static_cast<uint8_t>(x % 2 == 0 ? ((row[x / 2] & 0x0F) | (index << 4))
                                                   : ((row[x / 2] & 0xF0) | index));
      break;
    default:
      row[x] = static_cast<uint8_t>(index);
  }
  return true;
}

COLORREF TBitmap::Pixel(int x, int y) const {
  if (x < 0 || x >= m_width) return CLR_INVALID;
  const uint8_t* row = ScanLine(y);
  if (!row) return CLR_INVALID;
  if (m_bpp <= 8) {
    const int i = PixelIndex(x, y);
    return i < m_colorCount ? FromQuad(m_table[static_cast<size_t>(i)]) : RGB(0, 0, 0);
  }
  const uint8_t* p = row + static_cast<size_t>(x) * static_cast<size_t>(m_bpp / 8);
  return RGB(p[2], p[1], p[0]);
}

bool TBitmap::SetPixel(int x, int y, COLORREF color) {
  if (m_bpp <= 8 || x < 0 || x >= m_width) return false;
  uint8_t* row = ScanLine(y);
  if (!row) return false;
  uint8_t* p = row + static_cast<size_t>(x) * static_cast<size_t>(m_bpp / 8);
  p[0] = GetBValue(color);
  p[1] = GetGValue(color);
  p[2] = GetRValue(color);
  return true;
}

TColor TBitmap::TransparentColor() const {
  if (Empty()) return clNone;
  if (m_transparentColor != clDefault) return m_transparentColor;
  return static_cast<TColor>(Pixel(0, m_height - 1));
}

HDC TBitmap::Dc() {
  if (!m_bitmap) return nullptr;
  if (!m_dc) {
    m_dc = CreateCompatibleDC(nullptr);
    if (m_dc) m_oldBitmap = SelectObject(m_dc, m_bitmap);
  }
  return m_dc;
}

void TBitmap::Dormant() {
  if (!m_dc) return;
  GdiFlush();
  SelectObject(m_dc, m_oldBitmap);
  DeleteDC(m_dc);
  m_dc = nullptr;
  m_oldBitmap = nullptr;
}

HBITMAP TBitmap::ReleaseHandle() {
  Dormant();
  HBITMAP h = m_bitmap;
  m_bitmap = nullptr;
  Clear();
  return h;
}

}  // namespace qv::fw
