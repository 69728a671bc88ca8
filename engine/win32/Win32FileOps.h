// The Win32 side of the runs' file operations: the wide API on exact UTF-16
// paths ("\\?\" added to long absolute paths), MoveFileEx without
// replacement, CopyFile that fails on an existing target, and report files
// written with WriteFile (the report writer buffers; nothing here flushes
// to disk). File times go through SetFileDateTime and RestoreRawFileTimes
// (SystemHelpers.h), which also change read-only files.
// Tested by tests/engine/win32/Win32FileOps_test.cpp.
#pragma once

#include "engine/FileOps.h"

namespace qv::engine::win32 {

class TWin32FileOps final : public IFileOps {
public:
  TFileResult Rename(const std::u16string& from, const std::u16string& to) override;
  TFileResult CopyNoOverwrite(const std::u16string& from, const std::u16string& to) override;
  TFileResult CreateFolder(const std::u16string& path) override;
  TFileResult SetAttributes(const std::u16string& path, uint32_t attributes) override;
  TFileResult SetDateTime(const std::u16string& path, const TCalendarTime& when, int mode) override;
  TFileResult RestoreTimes(const std::u16string& path, int64_t created, int64_t accessed, int64_t modified) override;
  bool Exists(const std::u16string& path) override;
  bool FolderExists(const std::u16string& path) override;
  std::optional<std::u16string> ExactName(const std::u16string& path) override;
  bool ListFolder(const std::u16string& folder,
                  const std::function<void(const std::u16string& name, bool isFolder)>& onEntry) override;
  std::unique_ptr<IOutputFile> OpenForWriting(const std::u16string& path, TOpenMode mode, TFileResult& error) override;
};

// The engine's error for a Win32 error number.
TFileResult FileResultFromError(unsigned long code);
// path with "\\?\" in front when it is an absolute drive path too long for
// the plain API.
std::u16string LongPath(const std::u16string& path);
// What every file call is given: path with its folders in the disk's
// spelling (DiskSpelling.h), then LongPath.
std::u16string FilePath(const std::u16string& path);

}  // namespace qv::engine::win32
