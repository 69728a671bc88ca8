// TWin32MediaFiles: the value tags' file access on Windows, by the exact
// UTF-16 path ("\\?\" added to long paths): the stamp from
// GetFileAttributesExW, reads through TWin32FileSource (shared for reading,
// writing and deletion, so a preview never blocks a rename). A first read
// takes the stamp from the open file (the size its head read gave, the
// handle's last-write time): under Wine a lookup by path before the open
// costs about as much as the read itself.
// Tested by tests/engine/win32/Win32MediaValues_test.cpp.
#pragma once

#include "engine/MediaFiles.h"

namespace qv::engine::win32 {

class TWin32MediaFiles final : public IMediaFiles {
public:
  std::optional<TFileStamp> Stamp(const std::u16string& path) override;
  std::unique_ptr<media::TByteSource> Open(const std::u16string& path) override;
  std::unique_ptr<media::TByteSource> OpenStamped(const std::u16string& path, TFileStamp& stamp) override;
};

}  // namespace qv::engine::win32
