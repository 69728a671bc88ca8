// Value tags' file access through the wide API; see Win32MediaFiles.h.
#include "engine/win32/Win32MediaFiles.h"

#include <windows.h>

#include "engine/win32/FileTimes.h"
#include "engine/win32/WideText.h"
#include "engine/win32/Win32FileOps.h"
#include "media/win32/Win32FileSource.h"

namespace qv::engine::win32 {

std::optional<TFileStamp> TWin32MediaFiles::Stamp(const std::u16string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(W(FilePath(path)), GetFileExInfoStandard, &data)) return std::nullopt;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  TFileStamp stamp;
  stamp.Size = static_cast<int64_t>(Join64(data.nFileSizeHigh, data.nFileSizeLow));
  stamp.LastWrite = Ticks(data.ftLastWriteTime);
  return stamp;
}

namespace {

std::unique_ptr<media::TWin32FileSource> OpenSource(const std::u16string& path) {
  const std::u16string full = FilePath(path);
  auto source = std::make_unique<media::TWin32FileSource>(std::wstring(full.begin(), full.end()));
  if (!source->isOpen()) return nullptr;
  return source;
}

}  // namespace

std::unique_ptr<media::TByteSource> TWin32MediaFiles::Open(const std::u16string& path) { return OpenSource(path); }

std::unique_ptr<media::TByteSource> TWin32MediaFiles::OpenStamped(const std::u16string& path, TFileStamp& stamp) {
  std::unique_ptr<media::TWin32FileSource> source = OpenSource(path);
  if (!source) return nullptr;
  TFileStamp found;
  // The same values as GetFileAttributesExW gives, so a later Stamp of the
  // unchanged file finds its cached values.
  found.Size = static_cast<int64_t>(source->size());
  if (!source->lastWriteTime(found.LastWrite)) return nullptr;
  stamp = found;
  return source;
}

}  // namespace qv::engine::win32
