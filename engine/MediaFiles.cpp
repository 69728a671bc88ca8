// File access of the value tags through stdio; see MediaFiles.h.
#include "engine/MediaFiles.h"

#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace qv::engine {

namespace {

std::filesystem::path NativePath(std::u16string path) {
#ifndef _WIN32
  for (char16_t& c : path)
    if (c == u'\\') c = u'/';
#endif
  return std::filesystem::path(path);
}

}  // namespace

std::unique_ptr<media::TByteSource> IMediaFiles::OpenStamped(const std::u16string& path, TFileStamp& stamp) {
  const std::optional<TFileStamp> found = Stamp(path);
  if (!found) return nullptr;
  std::unique_ptr<media::TByteSource> source = Open(path);
  if (source) stamp = *found;
  return source;
}

std::optional<TFileStamp> TStdioMediaFiles::Stamp(const std::u16string& path) {
#ifndef _WIN32
  // One system call: every repaint asks.
  struct stat st {};
  if (::stat(NativePath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  TFileStamp stamp;
  stamp.Size = static_cast<int64_t>(st.st_size);
  stamp.LastWrite = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return stamp;
#else
  std::error_code ec;
  const std::filesystem::path p = NativePath(path);
  if (!std::filesystem::is_regular_file(p, ec)) return std::nullopt;
  const auto size = std::filesystem::file_size(p, ec);
  if (ec) return std::nullopt;
  const auto written = std::filesystem::last_write_time(p, ec);
  if (ec) return std::nullopt;
  TFileStamp stamp;
  stamp.Size = static_cast<int64_t>(size);
  stamp.LastWrite = static_cast<int64_t>(written.time_since_epoch().count());
  return stamp;
#endif
}

std::unique_ptr<media::TByteSource> TStdioMediaFiles::Open(const std::u16string& path) {
  std::string narrow;
  try {
    // Windows: the ANSI code page, which may not hold every character.
    narrow = NativePath(path).string();
  } catch (...) {
    return nullptr;
  }
  auto source = std::make_unique<media::TStdioFileSource>(narrow);
  if (!source->isOpen()) return nullptr;
  return source;
}

}  // namespace qv::engine
