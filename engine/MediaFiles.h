// What the media value tags need from the file system, as an interface:
// a file's size and last-write time (the key of the value cache, and the
// "does it exist" test), and the file opened for reading by its exact
// UTF-16 path, alone or with its stamp. The program uses engine/win32/Win32MediaFiles.h; tools,
// host builds and portable tests use TStdioMediaFiles.
// Tested by tests/engine/MediaScriptValues_test.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "media/ByteSource.h"

namespace qv::engine {

// Enough of a file's state to tell that it was not rewritten: a cached
// value is reused only while both are unchanged.
struct TFileStamp {
  int64_t Size = 0;
  int64_t LastWrite = 0;  // in the system's own unit; only compared
  bool operator==(const TFileStamp&) const = default;
};

class IMediaFiles {
public:
  virtual ~IMediaFiles() = default;
  // The file's stamp; nullopt when there is no file at path (nothing, or a
  // folder).
  virtual std::optional<TFileStamp> Stamp(const std::u16string& path) = 0;
  // The file opened for reading; null when it cannot be opened.
  virtual std::unique_ptr<media::TByteSource> Open(const std::u16string& path) = 0;
  // The file opened for reading and its stamp, which a first read needs;
  // null when it cannot be opened (a missing file, a folder, a locked
  // file), stamp then untouched. By default Stamp, then Open; a system that
  // can tell the stamp from the open file spares the lookup by path.
  virtual std::unique_ptr<media::TByteSource> OpenStamped(const std::u16string& path, TFileStamp& stamp);
};

// Through stdio and std::filesystem. The engine's paths are Windows paths;
// outside Windows each "\" is read as "/", so a folder given as a POSIX
// path works with the engine's "folder\name" joins.
class TStdioMediaFiles final : public IMediaFiles {
public:
  std::optional<TFileStamp> Stamp(const std::u16string& path) override;
  std::unique_ptr<media::TByteSource> Open(const std::u16string& path) override;
};

}  // namespace qv::engine
