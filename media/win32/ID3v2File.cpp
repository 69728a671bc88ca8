// TID3v2's entry by UTF-16 path: one open, then the portable reader.
#include "media/win32/ID3v2File.h"

#include "media/win32/Win32FileSource.h"

namespace qv::media {

bool LoadId3v2Tag(TID3v2& tag, const std::wstring& path) {
  TWin32FileSource source(path);
  if (!source.isOpen()) {
    tag.Reset();
    return false;
  }
  return tag.LoadId3v2Tag(source);
}

}  // namespace qv::media
