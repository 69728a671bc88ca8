// TID3v2's entry by UTF-16 path: one open, then the portable reader.
#include "media/ID3v2.h"
#include "media/win32/Win32FileSource.h"

namespace qv::media {

bool TID3v2::LoadId3v2Tag(const std::wstring& path) {
  TWin32FileSource source(path);
  if (!source.isOpen()) {
    Reset();
    return false;
  }
  return LoadId3v2Tag(source);
}

}  // namespace qv::media
