// TGraphic, the picture formats and TPicture. A picture class registers what
// it reads (file extension, description, clipboard format, resource type,
// stored class name); TPicture then loads a file, a resource or a window's
// stored picture data through the class registered for it. Not here: the
// classes themselves (they live with their controls) nor any built-in one.
// Main thread only. Tested by tests/framework/Picture_test.cpp.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Graphics.h"
#include "framework/Streams.h"
#include "framework/Types.h"

namespace qv::fw {

// What the picture loading asks of a picture class. Reading failures raise
// the class's own EQvError.
class TGraphic {
public:
  TGraphic() = default;
  virtual ~TGraphic() = default;
  TGraphic(const TGraphic&) = delete;
  TGraphic& operator=(const TGraphic&) = delete;

  // All bytes from the stream's position on.
  virtual void LoadFromStream(TStream& stream) = 0;
  // The class's own part of stored picture data (after the class name).
  virtual void ReadData(TStream& stream) = 0;
  virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool Empty() const = 0;
  // Borrowed; null when the picture has none.
  virtual HPALETTE Palette() const { return nullptr; }
};

struct TPictureFormat {
  std::string Extension;     // without the dot, any letter case
  std::string Description;   // for file dialogs
  UINT ClipboardFormat = 0;  // 0: none
  std::string ResourceType;  // a named resource type; empty: none
  std::string ClassName;     // the name written in stored picture data
  std::function<std::unique_ptr<TGraphic>()> Create;
};

// A later registration of the same class name replaces the earlier one.
void RegisterPictureFormat(const TPictureFormat& format);
void UnregisterPictureFormat(std::string_view className);
// Null when nothing is registered under that key (letter case ignored).
const TPictureFormat* PictureFormatByExtension(std::string_view extension);
const TPictureFormat* PictureFormatByResourceType(std::string_view type);
const TPictureFormat* PictureFormatByClassName(std::string_view className);
const TPictureFormat* PictureFormatByClipboardFormat(UINT format);
// Registered formats in registration order.
std::vector<TPictureFormat> PictureFormats();

// Holds one picture of any registered class. Loading failures raise
// EQvError (an unknown format: "Extension de fichier image (.xyz) inconnue",
// or the class's own error) and leave the picture empty.
class TPicture {
public:
  TPicture() = default;
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  // By the file's extension.
  void LoadFromFile(const std::wstring& path);
  // A resource of a registered named type.
  void LoadFromResource(HMODULE module, const char* name, const char* type);
  // Stored picture data: a length byte and the class name, then the class's
  // own data.
  void ReadData(TStream& stream);

  TGraphic* Graphic() const { return m_graphic.get(); }
  // The format it was loaded by (kept even when unregistered since).
  const TPictureFormat* Format() const { return m_format.get(); }
  int Width() const { return m_graphic ? m_graphic->Width() : 0; }
  int Height() const { return m_graphic ? m_graphic->Height() : 0; }
  void Clear();

private:
  void Take(std::shared_ptr<const TPictureFormat> format, const std::function<void(TGraphic&)>& load);
  std::unique_ptr<TGraphic> m_graphic;
  std::shared_ptr<const TPictureFormat> m_format;
};

}  // namespace qv::fw
