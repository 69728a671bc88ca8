// The GIF picture over real bitmaps: drawing (stretched, transparent),
// errors as exceptions with the codec's codes, stored data and files,
// bitmaps written as GIF and read back (and bits that cannot be read),
// assignment (transparent colours both ways, system colours included), the
// clipboard (an unrendered bitmap included, memory that cannot be had, the
// icon format registered at start-up), and a window that shows a title
// image made, written and re-read here (with a screenshot under
// <build>/screenshots).
#include "controls/picture/QxGifImage.h"

#include <gtest/gtest.h>

#include <cstring>

#include "controls/picture/detail/BitmapPixels.h"
#include "controls/picture/detail/GlobalMemoryApi.h"

#include "../../media/GifBuilder.h"
#include "framework/Form.h"
#include "tests/common/ControlTestSupport.h"

using namespace qv::controls;
using qv::fw::TBitmap;
using qv::fw::TCanvas;
using qv::fw::TMemoryStream;
using qv::media::TGifErrorCode;
using qv::test::App;
using qv::test::Bytes;
using qv::test::FilledBitmap;
using qv::test::operator<<;

namespace {

constexpr COLORREF kGreen = RGB(0, 255, 0), kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kWhite = RGB(255, 255, 255);

// Entry i of the builder's tables is (10 i, 20 i, 30 i).
COLORREF Entry(int i) { return RGB(10 * i, 20 * i, 30 * i); }

// A 4 x 2 picture: 0 1 2 3 / 3 2 1 0, with an optional graphic control.
Bytes SmallGif(const Bytes& extensions = {}) {
  Bytes b = qv::test::GifHeader(4, 2, 4);
  b << extensions << qv::test::ImageDescriptor(0, 0, 4, 2) << qv::test::LiteralCodes(2, {0, 1, 2, 3, 3, 2, 1, 0});
  b.push_back(';');
  return b;
}

TMemoryStream StreamOf(const Bytes& b) { return TMemoryStream(std::string(b.begin(), b.end())); }

void Load(TGIFImage& gif, const Bytes& b) {
  TMemoryStream s = StreamOf(b);
  gif.LoadFromStream(s);
}

TGifErrorCode LoadError(const Bytes& b) {
  TGIFImage gif;
  try {
    Load(gif, b);
  } catch (const EInvalidGraphic& e) {
    return e.Error().Code;
  }
  return TGifErrorCode::None;
}

COLORREF At(TBitmap& b, int x, int y) {
  GdiFlush();
  return b.Pixel(x, y);
}

// A 24-bit picture: white, a red bar on the left, a blue block bottom right.
TBitmap Drawing(int w, int h) {
  TBitmap b;
  b.Create(w, h, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, x < w / 4 ? kRed : (x > w / 2 && y > h / 2 ? kBlue : kWhite));
  return b;
}

std::string SavedBytes(TGIFImage& gif) {
  TMemoryStream s;
  gif.SaveToStream(s);
  return s.Bytes();
}

void DrawInto(TGIFImage& gif, TBitmap& dst, const qv::fw::TRect& r) {
  TCanvas canvas(dst.Dc());
  gif.Draw(canvas, r);
}

}  // namespace

TEST(QxGifImage, LoadsAndDrawsStretched) {
  TGIFImage gif;
  int changes = 0;
  gif.OnChange = [&] { ++changes; };
  Load(gif, SmallGif());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(gif.FrameCount(), 1);
  EXPECT_EQ(gif.FrameIndex(), 0);
  EXPECT_TRUE(gif.Frame(0).HasBitmap());  // frame 0 is decoded at once
  EXPECT_EQ(gif.Width(), 4);
  EXPECT_EQ(gif.Height(), 2);
  EXPECT_FALSE(gif.Empty());
  EXPECT_FALSE(gif.Transparent());
  TBitmap dst = FilledBitmap(10, 6, kGreen);
  DrawInto(gif, dst, {1, 1, 9, 5});  // twice the size
  EXPECT_EQ(At(dst, 0, 0), kGreen);
  EXPECT_EQ(At(dst, 1, 1), Entry(0));
  EXPECT_EQ(At(dst, 3, 2), Entry(1));
  EXPECT_EQ(At(dst, 8, 2), Entry(3));
  EXPECT_EQ(At(dst, 1, 4), Entry(3));
  EXPECT_EQ(At(dst, 9, 5), kGreen);
}

TEST(QxGifImage, TransparentColourIsLeftOut) {
  TGIFImage gif;
  Load(gif, SmallGif(qv::test::GraphicControl(1, 0, 2)));
  EXPECT_TRUE(gif.Transparent());
  TBitmap dst = FilledBitmap(4, 2, kGreen);
  DrawInto(gif, dst, {0, 0, 4, 2});
  EXPECT_EQ(At(dst, 1, 0), Entry(1));
  EXPECT_EQ(At(dst, 2, 0), kGreen);  // index 2 is see-through
  EXPECT_EQ(At(dst, 1, 1), kGreen);
  gif.SetTransparent(false);
  EXPECT_FALSE(gif.Transparent());
  DrawInto(gif, dst, {0, 0, 4, 2});
  EXPECT_EQ(At(dst, 2, 0), Entry(2));
}

TEST(QxGifImage, BadInputRaisesWithTheCodecsCode) {
  Bytes version = SmallGif();
  version[3] = '9', version[4] = '0';
  EXPECT_EQ(LoadError(version), TGifErrorCode::UnknownVersion);
  const Bytes whole = SmallGif();
  EXPECT_EQ(LoadError(Bytes(whole.begin(), whole.begin() + 9)), TGifErrorCode::StreamRead);
  Bytes extension = SmallGif(Bytes{'!', 0x3A, 0});
  EXPECT_EQ(LoadError(extension), TGifErrorCode::UnknownExtension);
  // Frame 0 too large to decode: removed, the error passes on.
  Bytes huge = qv::test::GifHeader(65535, 65535, 2);
  huge << qv::test::ImageDescriptor(0, 0, 65535, 65535) << qv::test::LiteralCodes(2, {1});
  TGIFImage gif;
  try {
    Load(gif, huge);
    ADD_FAILURE() << "no error";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Error().Code, TGifErrorCode::TooLarge);
  }
  EXPECT_EQ(gif.FrameCount(), 0);
  EXPECT_TRUE(gif.Empty());
  // Messages are the string-table texts.
  try {
    gif.SetWidth(3);
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "Cannot change the Size of a GIF image");
  }
  EXPECT_THROW(gif.SetHeight(3), EInvalidGraphic);
  try {
    Load(gif, Bytes{'G', 'I', 'F', '8', '9', 'a', 1});
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "Erreur de lecture du flux");
  }
  // A corrupt frame loads (marked) and draws what it has.
  Bytes codeSize = SmallGif();
  codeSize[13 + 12 + 10] = 12;
  ASSERT_EQ(LoadError(codeSize), TGifErrorCode::None);
  Load(gif, codeSize);
  EXPECT_TRUE(gif.Data().Frames[0].Corrupted);
  EXPECT_EQ(gif.Width(), 4);
}

TEST(QxGifImage, HeaderOnlyIsEmptyAndDrawsNothing) {
  Bytes b = qv::test::GifHeader(20, 10, 2);
  b.push_back(';');
  TGIFImage gif;
  Load(gif, b);
  EXPECT_TRUE(gif.Empty());
  EXPECT_EQ(gif.Width(), 0);
  EXPECT_EQ(gif.Height(), 0);
  TBitmap dst = FilledBitmap(4, 4, kGreen);
  DrawInto(gif, dst, {0, 0, 4, 4});
  EXPECT_EQ(At(dst, 1, 1), kGreen);
  TMemoryStream out;
  try {
    gif.SaveToStream(out);
    ADD_FAILURE() << "no error";
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "No GIF Data to write");
  }
}

TEST(QxGifImage, StoredDataCarriesACount) {
  TGIFImage gif;
  Load(gif, SmallGif());
  TMemoryStream stored;
  gif.WriteData(stored);
  const std::string& s = stored.Bytes();
  ASSERT_GT(s.size(), 4u);
  EXPECT_EQ(uint8_t(s[0]) | (uint8_t(s[1]) << 8), int(s.size() - 4));
  stored.SetPosition(0);
  TGIFImage back;
  back.ReadData(stored);
  EXPECT_EQ(back.Width(), 4);
  // A count beyond the stream is a read error, not an allocation.
  TMemoryStream lying(std::string("\xFF\xFF\xFF\x7FGIF89a", 10));
  EXPECT_THROW(back.ReadData(lying), EInvalidGraphic);
  TMemoryStream none(std::string(4, '\0'));
  back.ReadData(none);
  EXPECT_TRUE(back.Empty());
}

TEST(QxGifImage, BitmapsAreWrittenAndReadBack) {
  TBitmap source = Drawing(40, 30);
  TGIFImage gif;
  gif.Assign(&source);
  EXPECT_EQ(gif.Data().Version, qv::media::TGifVersion::V87a);
  EXPECT_EQ(gif.Width(), 40);
  const std::string bytes = SavedBytes(gif);
  EXPECT_EQ(bytes.substr(0, 6), "GIF87a");
  TGIFImage back;
  TMemoryStream s(bytes);
  back.LoadFromStream(s);
  TBitmap pixels;
  back.AssignTo(pixels);
  ASSERT_EQ(pixels.Width(), 40);
  for (auto [x, y] : {std::pair{0, 0}, {5, 29}, {20, 3}, {35, 25}, {39, 29}})
    EXPECT_EQ(pixels.Pixel(x, y), source.Pixel(x, y)) << x << "," << y;
  // A second frame makes 89a; the screen holds both.
  TBitmap small = Drawing(50, 4);
  EXPECT_EQ(gif.AddFrame(small), 1);
  EXPECT_EQ(gif.Data().Version, qv::media::TGifVersion::V89a);
  EXPECT_EQ(gif.Data().ScreenWidth, 50);
  EXPECT_EQ(SavedBytes(gif).substr(0, 6), "GIF89a");
}

TEST(QxGifImage, OneBitBitmapAndGrayscaleFrames) {
  TBitmap mono;
  ASSERT_TRUE(mono.Create(9, 3, 1));
  mono.SetPixelIndex(4, 1, 1);
  TGIFImage gif;
  gif.Assign(&mono);
  const std::string bytes = SavedBytes(gif);
  EXPECT_EQ(uint8_t(bytes[10]), 0x80);  // a 2-entry global table
  EXPECT_EQ(bytes[13 + 6 + 10], 2);     // minimum code size 2
  TBitmap colour = Drawing(8, 8);
  gif.Assign(&colour);
  gif.Data().Frames[0].Grayscale = true;
  TMemoryStream s(SavedBytes(gif));
  TGIFImage back;
  back.LoadFromStream(s);
  const COLORREF red = back.Frame(0).Bitmap().Pixel(0, 0);
  EXPECT_EQ(GetRValue(red), GetGValue(red));  // gray
  EXPECT_EQ(GetRValue(red), (77 * 255) >> 8);
}

TEST(QxGifImage, TransparentBitmapKeepsItsLowerLeftColour) {
  TBitmap source = Drawing(12, 12);  // lower-left pixel red
  TGIFImage gif;
  gif.Assign(&source, true);
  EXPECT_TRUE(gif.Transparent());
  TMemoryStream s(SavedBytes(gif));
  TGIFImage back;
  back.LoadFromStream(s);
  EXPECT_EQ(back.Data().Frames[0].TransparentColor, kRed);
  TBitmap dst = FilledBitmap(12, 12, kGreen);
  DrawInto(back, dst, {0, 0, 12, 12});
  EXPECT_EQ(At(dst, 0, 0), kGreen);
  EXPECT_EQ(At(dst, 10, 10), kBlue);
}

TEST(QxGifImage, AFramesTransparentColourGoesWithItsBitmap) {
  TGIFImage gif;
  Load(gif, SmallGif(qv::test::GraphicControl(1, 0, 2)));
  TBitmap target;
  gif.AssignTo(target);
  EXPECT_TRUE(target.Transparent());
  EXPECT_EQ(static_cast<COLORREF>(target.TransparentColor()), Entry(2));  // not the lower-left pixel's
  // The setting goes with copies of the bitmap, not with a new image.
  TBitmap copy;
  copy.Assign(target);
  EXPECT_TRUE(copy.Transparent());
  EXPECT_EQ(static_cast<COLORREF>(copy.TransparentColor()), Entry(2));
  TGIFImage opaque;
  Load(opaque, SmallGif());
  TBitmap plain;
  opaque.AssignTo(plain);
  EXPECT_FALSE(plain.Transparent());
  EXPECT_EQ(static_cast<COLORREF>(plain.TransparentColor()), Entry(3));
  // A bitmap marked transparent in a colour of its own gives the frame that
  // colour, which the written file keeps.
  TBitmap source = Drawing(8, 8);
  source.SetTransparentColor(static_cast<qv::fw::TColor>(kBlue));
  source.SetTransparent(true);
  TGIFImage made;
  made.Assign(&source);
  EXPECT_TRUE(made.Transparent());
  TMemoryStream s(SavedBytes(made));
  TGIFImage back;
  back.LoadFromStream(s);
  EXPECT_EQ(back.Data().Frames[0].TransparentColor, kBlue);
}

TEST(QxGifImage, UnreadableBitmapBitsRaiseTheInvalidBitmapError) {
  // A bitmap offered on the clipboard by an owner that then fails to
  // render it: there, yet unreadable.
  HWND owner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, nullptr);
  CloseClipboard();
  ASSERT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
  TGIFImage gif;
  try {
    gif.PasteFromClipboard(nullptr);
    ADD_FAILURE() << "no error";
  } catch (const EInvalidBitmap& e) {
    EXPECT_STREQ(e.what(), "Image bitmap incorrecte");
  }
  EXPECT_TRUE(gif.Empty());
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  DestroyWindow(owner);
}

TEST(QxGifImage, ASystemTransparentColourIsMatchedByTheRgbItStandsFor) {
  const COLORREF face = qv::fw::ColorToRGB(qv::fw::clBtnFace);
  TBitmap source = Drawing(8, 8);
  for (int x = 0; x < 8; ++x) source.SetPixel(x, 0, face);
  source.SetTransparentColor(qv::fw::clBtnFace);
  source.SetTransparent(true);
  TGIFImage made;
  made.Assign(&source);
  EXPECT_EQ(made.Data().Frames[0].TransparentColor, face);
  TMemoryStream s(SavedBytes(made));
  TGIFImage back;
  back.LoadFromStream(s);
  EXPECT_EQ(back.Data().Frames[0].TransparentColor, face);
  TBitmap dst = FilledBitmap(8, 8, kGreen);
  DrawInto(back, dst, {0, 0, 8, 8});
  EXPECT_EQ(At(dst, 4, 0), kGreen);
  EXPECT_EQ(At(dst, 0, 4), kRed);
}

namespace {
bool UnreadableBits(const TBitmap&, qv::media::TGifPixels&) { return false; }
}  // namespace

TEST(QxGifImage, AFrameWhoseBitsCannotBeReadRaisesTheInvalidBitmapErrorWhenWritten) {
  TBitmap source = Drawing(6, 6);
  TGIFImage gif;
  gif.Assign(&source);
  detail::TBitmapPixelsReader& reader = detail::BitmapPixelsReader();
  struct TRestore {
    detail::TBitmapPixelsReader& reader;
    ~TRestore() { reader = &detail::ReadBitmapPixels; }
  } restore{reader};
  reader = &UnreadableBits;
  TMemoryStream s;
  try {
    gif.SaveToStream(s);
    ADD_FAILURE() << "no error";
  } catch (const EInvalidBitmap& e) {
    EXPECT_STREQ(e.what(), "Image bitmap incorrecte");
  }
  EXPECT_EQ(s.Size(), 0);
  // Readable again, the same picture is written.
  reader = &detail::ReadBitmapPixels;
  EXPECT_EQ(SavedBytes(gif).substr(0, 6), "GIF87a");
}

TEST(QxGifImage, TheIconClipboardFormatIsRegisteredAtStartUp) {
  // Looked for by name before this program asks for it by name.
  UINT found = 0;
  for (UINT format = 0xC000; format <= 0xFFFF && !found; ++format) {
    char name[64] = {};
    if (GetClipboardFormatNameA(format, name, sizeof name) > 0 && std::strcmp(name, kIconClipboardFormatName) == 0)
      found = format;
  }
  EXPECT_NE(found, 0u);
  EXPECT_EQ(found, IconClipboardFormat());
}

TEST(QxGifImage, AssignSharesAndFrameAssignCopies) {
  TGIFImage a;
  Load(a, SmallGif());
  TGIFImage b;
  b.Assign(a);
  EXPECT_TRUE(b.Equals(a));
  EXPECT_EQ(b.Data().Frames[0].Item, a.Data().Frames[0].Item);
  EXPECT_EQ(SavedBytes(b), SavedBytes(a));
  TGIFImage c;
  c.Assign(a.Frame(0));
  EXPECT_FALSE(c.Equals(a));
  EXPECT_EQ(c.Data().Header->GlobalTable.Count, 4);
  EXPECT_EQ(c.Width(), 4);
  TBitmap out;
  c.AssignTo(out);
  EXPECT_EQ(out.Pixel(3, 0), Entry(3));
  c.Assign(static_cast<const TBitmap*>(nullptr));
  EXPECT_TRUE(c.Empty());
}

TEST(QxGifImage, ClipboardRoundTrip) {
  TGIFImage gif;
  Load(gif, SmallGif(qv::test::GraphicControl(1, 4, 1)));
  ASSERT_TRUE(gif.CopyToClipboard(nullptr));
  ASSERT_TRUE(IsClipboardFormatAvailable(GifClipboardFormat()));
  TGIFImage back;
  ASSERT_TRUE(back.PasteFromClipboard(nullptr));
  EXPECT_EQ(back.FrameCount(), 1);
  EXPECT_EQ(back.Data().Frames[0].DelayMs, 40);
  EXPECT_EQ(back.Data().Frames[0].Item->Encoded, gif.Data().Frames[0].Item->Encoded);
  EXPECT_EQ(back.Width(), 4);
  // Only a bitmap there: it becomes the picture.
  TBitmap source = Drawing(6, 6);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, CopyImage(source.Handle(), IMAGE_BITMAP, 0, 0, 0));
  CloseClipboard();
  ASSERT_TRUE(back.PasteFromClipboard(nullptr));
  EXPECT_EQ(back.Width(), 6);
  EXPECT_FALSE(back.Frame(0).Data().HasEncodedData());
  EXPECT_EQ(SavedBytes(back).substr(0, 6), "GIF87a");
  EXPECT_NE(IconClipboardFormat(), 0u);
  EXPECT_NE(IconClipboardFormat(), GifClipboardFormat());
}

namespace {

// A two-colour picture: red and blue.
TBitmap RedAndBlue() {
  TBitmap mono;
  mono.Create(3, 3, 1);
  mono.SetColorTable(0, {kRed, kBlue});
  return mono;
}

void ExpectRedAndBlue(HPALETTE palette) {
  ASSERT_NE(palette, nullptr);
  PALETTEENTRY entries[2] = {};
  ASSERT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 2u);
  ASSERT_EQ(GetPaletteEntries(palette, 0, 2, entries), 2u);
  EXPECT_EQ(RGB(entries[0].peRed, entries[0].peGreen, entries[0].peBlue), kRed);
  EXPECT_EQ(RGB(entries[1].peRed, entries[1].peGreen, entries[1].peBlue), kBlue);
}

}  // namespace

TEST(QxGifImage, AnAddedOrReassignedFrameBringsItsOwnPalette) {
  const TBitmap mono = RedAndBlue();
  TGIFImage gif;
  Load(gif, SmallGif());
  ASSERT_NE(gif.Palette(), nullptr);  // the loaded frame's, now cached
  ASSERT_EQ(gif.AddFrame(mono), 1);
  ExpectRedAndBlue(gif.Palette());

  TGIFImage other;
  Load(other, SmallGif());
  ASSERT_NE(other.Palette(), nullptr);
  other.Frame(0).Assign(mono);
  ExpectRedAndBlue(other.Palette());
  Load(other, SmallGif());
  ASSERT_NE(other.Palette(), nullptr);
  other.Frame(0).Assign(gif.Frame(1));
  ExpectRedAndBlue(other.Palette());
}

namespace {

// Movable memory that can be allocated but not locked; every block given
// out is expected back.
int g_blocksOut = 0;
HGLOBAL WINAPI CountedAlloc(UINT flags, SIZE_T bytes) {
  HGLOBAL block = GlobalAlloc(flags, bytes);
  if (block) ++g_blocksOut;
  return block;
}
LPVOID WINAPI FailedLock(HGLOBAL) { return nullptr; }
HGLOBAL WINAPI CountedFree(HGLOBAL block) {
  --g_blocksOut;
  return GlobalFree(block);
}
HGLOBAL WINAPI NoAlloc(UINT, SIZE_T) { return nullptr; }

void PutText(const char* text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
  std::memcpy(GlobalLock(block), text, std::strlen(text) + 1);
  GlobalUnlock(block);
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
}

}  // namespace

TEST(QxGifImage, ACopyWithoutItsMemoryFailsLeakingNothingAndLeavesTheClipboard) {
  TGIFImage gif;
  Load(gif, SmallGif());
  detail::TGlobalMemoryApi& api = detail::GlobalMemoryApi();
  const detail::TGlobalMemoryApi platform = api;
  struct TRestore {
    detail::TGlobalMemoryApi& api;
    detail::TGlobalMemoryApi saved;
    ~TRestore() { api = saved; }
  } restore{api, platform};

  PutText("avant");
  g_blocksOut = 0;
  api.Alloc = &CountedAlloc, api.Lock = &FailedLock, api.Free = &CountedFree;
  EXPECT_FALSE(gif.CopyToClipboard(nullptr));
  EXPECT_EQ(g_blocksOut, 0);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(GifClipboardFormat()));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));

  api = platform;
  api.Alloc = &NoAlloc;
  EXPECT_FALSE(gif.CopyToClipboard(nullptr));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));

  api = platform;
  EXPECT_TRUE(gif.CopyToClipboard(nullptr));
  EXPECT_TRUE(IsClipboardFormatAvailable(GifClipboardFormat()));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
}

namespace {

// Paints a two-colour background, then the picture three times as large.
class TGifView : public qv::fw::TGraphicControl {
public:
  explicit TGifView(qv::fw::TComponent* owner) : TGraphicControl(owner) {}
  TGIFImage Picture;

protected:
  void Paint(TCanvas& c) override {
    c.FillRect({0, 0, Width() / 2, Height()}, RGB(255, 230, 160));
    c.FillRect({Width() / 2, 0, Width(), Height()}, RGB(150, 200, 255));
    Picture.Draw(c, {10, 10, 10 + 3 * Picture.Width(), 10 + 3 * Picture.Height()});
  }
};

// A title image: dark text in a frame on a magenta key colour (the
// lower-left pixel, so it must stay outside the frame).
TBitmap TitleBitmap() {
  TBitmap b;
  b.Create(211, 33, 24);
  HDC dc = b.Dc();
  HBRUSH key = CreateSolidBrush(RGB(255, 0, 255));
  const RECT all{0, 0, 211, 33};
  FillRect(dc, &all, key);
  DeleteObject(key);
  HBRUSH frame = CreateSolidBrush(RGB(0, 90, 40));
  const RECT inner{2, 2, 209, 31};
  FrameRect(dc, &inner, frame);
  DeleteObject(frame);
  HFONT font = CreateFontA(26, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Tahoma");
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 60, 140));
  TextOutA(dc, 12, 3, "Quorvant Pro", 12);
  SelectObject(dc, old);
  DeleteObject(font);
  b.Dormant();
  return b;
}

class TGifForm : public qv::fw::TForm {
public:
  explicit TGifForm(TMemoryStream& gif) : TForm(&App(), "TGifTestForm") {
    SetCaption("GIF");
    SetClientSize(680, 130);
    View = &Make<TGifView>("ImgTitre");
    View->Place(this, 0, 0, 680, 130);
    View->Picture.LoadFromStream(gif);
    FinishCreate();
    Show();
  }
  TGifView* View;
};

void SaveScreenshot(const std::string& name) {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string dir(exe);
  dir = dir.substr(0, dir.find_last_of('\\'));
  // The build folder: two levels above tests/controls.
  for (int i = 0; i < 2; ++i) dir = dir.substr(0, dir.find_last_of('\\'));
  dir += "\\screenshots";
  CreateDirectoryA(dir.c_str(), nullptr);
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  TBitmap shot;
  ASSERT_TRUE(shot.Create(w, h, 24));
  HDC screen = GetDC(nullptr);
  BitBlt(shot.Dc(), 0, 0, w, h, screen, 0, 0, SRCCOPY);
  ReleaseDC(nullptr, screen);
  shot.Dormant();
  TMemoryStream s;
  ASSERT_TRUE(shot.SaveToStream(s));
  const std::string path = dir + "\\" + name + ".bmp";
  EXPECT_TRUE(s.SaveToFile(std::wstring(path.begin(), path.end())));
}

}  // namespace

TEST(QxGifImage, WindowShowsATitleImageThroughTheCodec) {
  // Made as a bitmap, written as GIF (colour reduction, LZW), read back
  // from the bytes and drawn transparently in a window.
  TBitmap title = TitleBitmap();
  TGIFImage written;
  written.Assign(&title, true);
  TMemoryStream bytes;
  written.SaveToStream(bytes);
  bytes.SetPosition(0);

  TGifForm form(bytes);
  TGifView& view = *form.View;
  qv::test::PumpFor(300);
  EXPECT_EQ(view.Picture.Width(), 211);
  EXPECT_TRUE(view.Picture.Transparent());

  HDC dc = GetDC(form.Handle());
  const COLORREF corner = GetPixel(dc, 10 + 3 * 2 + 1, 10 + 3 * 2 + 1);  // the frame's corner
  const COLORREF key = GetPixel(dc, 10 + 3 * 200, 10 + 3 * 25);          // inside, right half
  const COLORREF outside = GetPixel(dc, 11, 11);                         // outside the frame
  const COLORREF line = GetPixel(dc, 10 + 3 * 2 + 1, 60);
  ReleaseDC(form.Handle(), dc);
  EXPECT_EQ(line, RGB(0, 90, 40));
  EXPECT_EQ(key, RGB(150, 200, 255));  // the background shows through
  EXPECT_EQ(corner, RGB(0, 90, 40));
  EXPECT_EQ(outside, RGB(255, 230, 160));
  SaveScreenshot("gif_title");
}

TEST(QxGifImage, FailedReadKeepsEarlierFramesAndReportsProgress) {
  Bytes b = qv::test::GifHeader(4, 2, 4);
  b << qv::test::ImageDescriptor(0, 0, 4, 2) << qv::test::LiteralCodes(2, {0, 1, 2, 3, 3, 2, 1, 0});
  b << Bytes{'!', 0x3A, 0};
  TGIFImage gif;
  std::vector<int> ends;
  gif.OnProgress = [&](qv::media::TGifProgressStage stage, int percent, const std::string&) {
    if (stage == qv::media::TGifProgressStage::Ending) ends.push_back(percent);
  };
  try {
    Load(gif, b);
    ADD_FAILURE() << "no error";
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "Unrecognized extension block: 3a");
  }
  EXPECT_EQ(gif.FrameCount(), 1);
  EXPECT_EQ(gif.FrameIndex(), -1);  // the read did not finish
  EXPECT_FALSE(gif.Empty());
  EXPECT_TRUE(ends.empty());
  Load(gif, SmallGif());
  EXPECT_EQ(ends, std::vector<int>{100});  // frame 0 decoded at once
}

TEST(QxGifImage, FilesOnDisk) {
  qv::test::TTempFolder folder;
  TBitmap source = Drawing(16, 16);
  TGIFImage gif;
  gif.Assign(&source);
  const std::string path = folder.File("pic.gif");
  gif.SaveToFile(std::wstring(path.begin(), path.end()));
  TGIFImage back;
  back.LoadFromFile(std::wstring(path.begin(), path.end()));
  EXPECT_EQ(back.Width(), 16);
  const std::string missing = folder.File("none.gif");
  EXPECT_THROW(back.LoadFromFile(std::wstring(missing.begin(), missing.end())), EInvalidGraphic);
}

TEST(QxGifImage, ThePictureLoadingReadsGifFilesResourcesAndStoredDataThroughTheClass) {
  const qv::fw::TPictureFormat* f = qv::fw::PictureFormatByExtension("GIF");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->Description, "CompuServe GIF Image");
  EXPECT_EQ(f->ClassName, "TGIFImage");
  EXPECT_EQ(f->ResourceType, "GIF");
  EXPECT_EQ(f->ClipboardFormat, GifClipboardFormat());
  EXPECT_EQ(qv::fw::PictureFormatByClipboardFormat(GifClipboardFormat()), f);

  qv::test::TTempFolder folder;
  const Bytes bytes = SmallGif();
  folder.Write("petit.Gif", std::string(bytes.begin(), bytes.end()));
  const std::string path = folder.File("petit.Gif");
  qv::fw::TPicture picture;
  picture.LoadFromFile(std::wstring(path.begin(), path.end()));
  auto* gif = dynamic_cast<TGIFImage*>(picture.Graphic());
  ASSERT_NE(gif, nullptr);
  EXPECT_EQ(picture.Width(), 4);
  EXPECT_EQ(picture.Height(), 2);

  // The palette is the frame's colour table.
  HPALETTE palette = picture.Graphic()->Palette();
  ASSERT_NE(palette, nullptr);
  PALETTEENTRY entries[4] = {};
  ASSERT_EQ(GetPaletteEntries(palette, 0, 4, entries), 4u);
  EXPECT_EQ(RGB(entries[3].peRed, entries[3].peGreen, entries[3].peBlue), Entry(3));
  EXPECT_EQ(gif->Palette(), palette);  // kept until the picture changes
  TGIFImage empty;
  EXPECT_EQ(empty.Palette(), nullptr);

  // A resource of the GIF type: the title picture linked into this test.
  picture.LoadFromResource(GetModuleHandleA(nullptr), "GIFTEST", "GIF");
  EXPECT_EQ(picture.Width(), 220);
  EXPECT_EQ(picture.Height(), 36);
  EXPECT_NE(dynamic_cast<TGIFImage*>(picture.Graphic()), nullptr);

  // Stored picture data names the class first.
  TGIFImage source;
  Load(source, SmallGif());
  TMemoryStream stored;
  stored.WriteText(std::string("\x09") + "TGIFImage");
  source.WriteData(stored);
  stored.SetPosition(0);
  picture.ReadData(stored);
  EXPECT_EQ(picture.Width(), 4);

  // Bad GIF bytes raise the class's own error and leave the picture empty.
  folder.Write("faux.gif", "GIF89a");
  const std::string bad = folder.File("faux.gif");
  EXPECT_THROW(picture.LoadFromFile(std::wstring(bad.begin(), bad.end())), EInvalidGraphic);
  EXPECT_EQ(picture.Graphic(), nullptr);

  // Taken back, the format is no longer offered; registered again, it is.
  UnregisterGifPictureFormat();
  EXPECT_EQ(qv::fw::PictureFormatByExtension("gif"), nullptr);
  EXPECT_THROW(picture.LoadFromFile(std::wstring(path.begin(), path.end())), qv::fw::EQvError);
  RegisterGifPictureFormat();
  picture.LoadFromFile(std::wstring(path.begin(), path.end()));
  EXPECT_EQ(picture.Width(), 4);
}
