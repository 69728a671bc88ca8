// `TGIFImage`: a GIF picture (87a/89a) over the framework's bitmaps. It
// reads a file or a window's stored picture data, decodes the first frame
// at once, draws the current frame (transparently when asked), and writes
// itself back as a GIF file, reducing true-colour bitmaps to 8 bits. The
// byte work is the portable codec of media/Gif*; this class adds bitmaps,
// drawing, the clipboard and the framework's exceptions. Animation is not
// played: only the current frame is drawn.
// Example:  TGIFImage gif; gif.LoadFromStream(stream); gif.Draw(canvas, {0, 0, gif.Width(), gif.Height()});
// Main thread only. Tested by tests/controls/picture/QxGifImage_test.cpp.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/Exception.h"
#include "framework/Graphics.h"
#include "framework/Picture.h"
#include "framework/Streams.h"
#include "framework/Types.h"
#include "media/GifModel.h"
#include "media/GifReduce.h"
#include "media/GifTypes.h"

namespace qv::controls {

// The framework's invalid-graphic-operation error; Error() holds the
// codec's code (61092..61099, or the stream read error).
class EInvalidGraphic : public qv::fw::EQvError {
public:
  explicit EInvalidGraphic(const media::TGifError& error) : EQvError(error.Text()), m_error(error) {}
  const media::TGifError& Error() const { return m_error; }

private:
  media::TGifError m_error;
};

// A bitmap without handle or with unreadable bits.
class EInvalidBitmap : public qv::fw::EQvError {
public:
  EInvalidBitmap() : EQvError("Image bitmap incorrecte") {}
};

// The file extension and description under which the picture is offered
// (string-table text 61100), the named resource type and the class name of
// stored picture data. The format is registered with the framework's picture
// loading while the program runs (see RegisterGifPictureFormat).
constexpr char kGifFileExtension[] = "gif";
constexpr char kGifFileDescription[] = "CompuServe GIF Image";
constexpr char kGifResourceType[] = "GIF";
constexpr char kGifClassName[] = "TGIFImage";

// Registers the format (done once at start-up of any program that links the
// class; again after an unregistration) and takes it back.
void RegisterGifPictureFormat();
void UnregisterGifPictureFormat();

// "GIF Image", registered at first use.
UINT GifClipboardFormat();
// The clipboard format of icon pictures, registered at start-up.
constexpr char kIconClipboardFormatName[] = "Quorvant Icon Image";
UINT IconClipboardFormat();

class TGIFImage;

// One frame of a picture: a view (owner and index), valid while the frame
// exists.
class TGIFFrame {
public:
  TGIFFrame(TGIFImage& owner, int index) : m_owner(&owner), m_index(index) {}
  TGIFImage& Owner() const { return *m_owner; }
  int Index() const { return m_index; }
  media::TGifFrame& Data() const;
  // The decoded bitmap, built at first use (EInvalidGraphic when the frame
  // cannot be decoded); an empty bitmap for a frame of no pixels.
  qv::fw::TBitmap& Bitmap() const;
  bool HasBitmap() const;
  // The lines of the frame's comment extension, made on request.
  std::vector<std::string>& Comment() const { return Data().Comment(); }

  // Takes the source's encoded data (shared), extensions and settings.
  void Assign(const TGIFFrame& source) const;
  // Takes a copy of the bitmap (the encoding waits for writing). A
  // transparent source (or one marked so) gives the frame its transparent
  // colour. An empty bitmap empties the frame.
  void Assign(const qv::fw::TBitmap& source, bool transparent = false) const;
  // The decoded bitmap, copied into the target; a frame with a transparent
  // colour makes the target transparent in that colour.
  void AssignTo(qv::fw::TBitmap& target) const;

private:
  TGIFImage* m_owner;
  int m_index;
};

class TGIFImage : public qv::fw::TGraphic {
public:
  TGIFImage();
  ~TGIFImage() override;
  TGIFImage(const TGIFImage&) = delete;
  TGIFImage& operator=(const TGIFImage&) = delete;

  // --- Reading. Each resets the picture first; on failure the frames read
  // before the failure stay (frame 0 is removed when it cannot be decoded).
  // The error value; nothing thrown.
  media::TGifError Load(const uint8_t* data, size_t size);
  // All bytes from the stream's position to its end (EInvalidGraphic).
  void LoadFromStream(qv::fw::TStream& stream) override;
  void LoadFromFile(const std::wstring& path);
  // Stored picture data: a 32-bit little-endian count, then a GIF file.
  void ReadData(qv::fw::TStream& stream) override;

  // --- Writing (EInvalidGraphic: 61098 without frames, 61093/61096 when a
  // frame cannot be encoded; EInvalidBitmap when a frame's bitmap bits
  // cannot be read). Frames made from bitmaps are encoded first.
  media::TGifError Save(std::vector<uint8_t>& out);
  void SaveToStream(qv::fw::TStream& stream);
  void SaveToFile(const std::wstring& path);
  void WriteData(qv::fw::TStream& stream);

  // --- Clipboard. Copy puts frame 0's bitmap and, when every frame has
  // encoded data, the counted GIF bytes under "GIF Image"; false, with the
  // clipboard untouched or emptied, when the clipboard cannot be opened or
  // the data cannot be made or placed. Paste prefers "GIF Image" (not
  // decoded until needed; a bitmap also there becomes frame 0's bitmap),
  // else takes a bitmap (EInvalidBitmap when its bits cannot be read);
  // false when the clipboard holds neither.
  bool CopyToClipboard(HWND owner);
  bool PasteFromClipboard(HWND owner);

  // --- The picture
  // Stretches the current frame into the rectangle, leaving its
  // transparent colour out when Transparent() is on; nothing without a
  // current frame.
  void Draw(qv::fw::TCanvas& canvas, const qv::fw::TRect& rect) override;
  int Width() const override;
  int Height() const override;
  [[noreturn]] void SetWidth(int);
  [[noreturn]] void SetHeight(int);
  bool Empty() const override;
  // The current frame's colour table as a palette (owned by the picture,
  // valid until the next change); null without a frame or a table.
  HPALETTE Palette() const override;
  // The transparent property (on from creation) and a frame that has a
  // transparent colour.
  bool Transparent() const;
  void SetTransparent(bool on) { m_transparent = on; }
  // True for another picture sharing the same header data.
  bool Equals(const TGIFImage& other) const { return m_file.Header == other.m_file.Header; }

  // --- Assigning
  // Shares the source's header and frames' encoded data.
  void Assign(const TGIFImage& source);
  void Assign(const TGIFFrame& frame);
  // A bitmap becomes the only frame; null resets.
  void Assign(const qv::fw::TBitmap* bitmap, bool transparent = false);
  // The current frame (or frame 0) into the bitmap; nothing when empty.
  void AssignTo(qv::fw::TBitmap& target);
  // A frame made from the bitmap becomes current; its index. The version
  // becomes 87a, or 89a once there is more than one frame.
  int AddFrame(const qv::fw::TBitmap& bitmap, bool transparent = false);

  // --- Frames and header
  int FrameCount() const { return int(m_file.Frames.size()); }
  TGIFFrame Frame(int index) { return TGIFFrame(*this, index); }
  int FrameIndex() const { return m_frameIndex; }
  void SetFrameIndex(int index) {
    m_frameIndex = index;
    ReleasePalette();
  }
  // Version, screen size, background, looping, comment, tables.
  media::TGifFile& Data() { return m_file; }
  const media::TGifFile& Data() const { return m_file; }
  bool PaletteModified() const { return m_paletteModified; }

  // Reading options (load-corrupted-images on, pixel budget).
  media::TGifReadOptions Options;
  // How true-colour bitmaps are reduced when written.
  media::TReductionMethod Reduction = media::kDefaultReduction;
  // Decoding and encoding progress.
  media::TGifProgress OnProgress;
  // After every read and assignment.
  std::function<void()> OnChange;

private:
  friend class TGIFFrame;
  void Reset();
  void Changed();
  void ReleasePalette() const;
  [[noreturn]] void Fail(const media::TGifError& error) const { throw EInvalidGraphic(error); }
  // Decodes a frame into its bitmap (error value).
  media::TGifError DecodeFrame(int index);
  // Encodes every frame made from a bitmap.
  media::TGifError EncodeFrames();
  void UpdateScreenSize();

  media::TGifFile m_file;
  // Decoded bitmaps, one slot per frame (null until decoded).
  std::vector<std::unique_ptr<qv::fw::TBitmap>> m_bitmaps;
  int m_frameIndex = -1;
  bool m_transparent = true;
  bool m_paletteModified = false;
  mutable HPALETTE m_palette = nullptr;
};

}  // namespace qv::controls
