// What the runs need from the file system, as an interface: rename (never
// replacing), copy (never overwriting), folders, attributes, file times,
// existence and the exact on-disk name, folder listing, and output files
// for the report. Paths are exact UTF-16; errors are values. The Win32
// side is engine/win32/Win32FileOps.h; tests use an in-memory fake that can
// fail any operation (tests/engine/RunFakes.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/DateTime.h"

namespace qv::engine {

enum class TFileError : uint8_t {
  None,
  NotFound,         // the file is not there
  PathNotFound,     // a folder of the path is not there
  Exists,           // the target name is taken
  AccessDenied,
  InUse,            // held open by someone else
  InvalidName,      // a name the system refuses
  DiskFull,
  NotVerified,      // the system said yes, the disk says no
  Unrepresentable,  // the name has characters the program's code page lacks
  Other,
};

struct TFileResult {
  TFileError Error = TFileError::None;
  uint32_t SystemCode = 0;  // the system's error number, when there was one
  bool ok() const { return Error == TFileError::None; }
  static TFileResult Ok() { return {}; }
  static TFileResult Fail(TFileError e, uint32_t code = 0) { return {e, code}; }
};

// Short French reason for a report line ("fichier introuvable", ...).
std::string FileErrorText(const TFileResult& r);

// A file being written. Write either takes everything or fails.
class IOutputFile {
public:
  virtual ~IOutputFile() = default;
  virtual TFileResult Write(const char* data, size_t size) = 0;
  // Takes back the last size bytes written; a file that cannot says so.
  virtual TFileResult CutBack(size_t /*size*/) { return TFileResult::Fail(TFileError::Other); }
  virtual TFileResult Close() = 0;
};

enum class TOpenMode { Replace, Append };

class IFileOps {
public:
  virtual ~IFileOps() = default;

  // Renames a file within its folder; fails when the target name is taken
  // (case-insensitively), never replaces anything.
  virtual TFileResult Rename(const std::u16string& from, const std::u16string& to) = 0;
  // Copies a file; fails with Exists when the target is there already.
  virtual TFileResult CopyNoOverwrite(const std::u16string& from, const std::u16string& to) = 0;
  virtual TFileResult CreateFolder(const std::u16string& path) = 0;
  virtual TFileResult SetAttributes(const std::u16string& path, uint32_t attributes) = 0;
  // All three times to one local time: mode 0 date and time of when, 1
  // when's date with the file's time of day, 2 the file's date with when's
  // time of day. Read-only files too.
  virtual TFileResult SetDateTime(const std::u16string& path, const TCalendarTime& when, int mode) = 0;
  // The three UTC file times exactly.
  virtual TFileResult RestoreTimes(const std::u16string& path, int64_t created, int64_t accessed,
                                   int64_t modified) = 0;

  // Case-insensitive, as the file system looks names up.
  virtual bool Exists(const std::u16string& path) = 0;
  virtual bool FolderExists(const std::u16string& path) = 0;
  // The name of the entry that path designates, as stored on disk (its
  // letter case may differ from path's); nullopt when there is none.
  virtual std::optional<std::u16string> ExactName(const std::u16string& path) = 0;
  // Every entry of folder but "." and ".."; false when it cannot be listed.
  virtual bool ListFolder(const std::u16string& folder,
                          const std::function<void(const std::u16string& name, bool isFolder)>& onEntry) = 0;

  virtual std::unique_ptr<IOutputFile> OpenForWriting(const std::u16string& path, TOpenMode mode,
                                                      TFileResult& error) = 0;
};

// folder (trailing backslashes ignored) + "\" + name.
std::u16string JoinPath(std::u16string_view folder, std::u16string_view name);
// Creates path and every missing folder above it; true when it exists at
// the end.
bool CreateFolderPath(IFileOps& fs, const std::u16string& path);

}  // namespace qv::engine
