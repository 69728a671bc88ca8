// Win32 file operations of the runs; see Win32FileOps.h.
#include "engine/win32/Win32FileOps.h"

#include <windows.h>

#include "engine/win32/DiskSpelling.h"
#include "engine/win32/SystemHelpers.h"
#include "engine/win32/WideText.h"
#include "engine/win32/Win32FolderReader.h"

namespace qv::engine::win32 {

namespace {

TFileResult LastError() { return FileResultFromError(GetLastError()); }

class TWin32OutputFile final : public IOutputFile {
public:
  explicit TWin32OutputFile(HANDLE h) : m_h(h) {}
  ~TWin32OutputFile() override { Close(); }

  TFileResult Write(const char* data, size_t size) override {
    if (m_h == INVALID_HANDLE_VALUE) return TFileResult::Fail(TFileError::Other);
    while (size > 0) {
      const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
      DWORD written = 0;
      if (!WriteFile(m_h, data, chunk, &written, nullptr)) return LastError();
      if (written == 0) return TFileResult::Fail(TFileError::DiskFull);
      data += written;
      size -= written;
    }
    return TFileResult::Ok();
  }

  // Writes only ever go to the end, so the end moves back from there.
  TFileResult CutBack(size_t size) override {
    if (m_h == INVALID_HANDLE_VALUE) return TFileResult::Fail(TFileError::Other);
    LARGE_INTEGER back{};
    back.QuadPart = -static_cast<LONGLONG>(size);
    if (!SetFilePointerEx(m_h, back, nullptr, FILE_END) || !SetEndOfFile(m_h)) return LastError();
    return TFileResult::Ok();
  }

  TFileResult Close() override {
    if (m_h == INVALID_HANDLE_VALUE) return TFileResult::Ok();
    const BOOL ok = CloseHandle(m_h);
    const TFileResult r = ok ? TFileResult::Ok() : LastError();
    m_h = INVALID_HANDLE_VALUE;
    return r;
  }

private:
  HANDLE m_h;
};

}  // namespace

TFileResult FileResultFromError(unsigned long code) {
  switch (code) {
    case ERROR_SUCCESS: return TFileResult::Ok();
    case ERROR_FILE_NOT_FOUND: return TFileResult::Fail(TFileError::NotFound, code);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_DRIVE: return TFileResult::Fail(TFileError::PathNotFound, code);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return TFileResult::Fail(TFileError::Exists, code);
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return TFileResult::Fail(TFileError::AccessDenied, code);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return TFileResult::Fail(TFileError::InUse, code);
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY: return TFileResult::Fail(TFileError::InvalidName, code);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return TFileResult::Fail(TFileError::DiskFull, code);
    default: return TFileResult::Fail(TFileError::Other, static_cast<uint32_t>(code));
  }
}

std::u16string LongPath(const std::u16string& path) {
  const bool drive = path.size() > 2 && path[1] == u':' && path[2] == u'\\';
  if (drive && path.size() >= MAX_PATH) return u"\\\\?\\" + path;
  return path;
}

std::u16string FilePath(const std::u16string& path) { return LongPath(DiskPath(path)); }

TFileResult TWin32FileOps::Rename(const std::u16string& from, const std::u16string& to) {
  if (MoveFileExW(W(FilePath(from)), W(FilePath(to)), 0)) return TFileResult::Ok();
  return LastError();
}

TFileResult TWin32FileOps::CopyNoOverwrite(const std::u16string& from, const std::u16string& to) {
  if (CopyFileW(W(FilePath(from)), W(FilePath(to)), TRUE)) return TFileResult::Ok();
  return LastError();
}

TFileResult TWin32FileOps::CreateFolder(const std::u16string& path) {
  if (CreateDirectoryW(W(FilePath(path)), nullptr)) return TFileResult::Ok();
  return LastError();
}

TFileResult TWin32FileOps::SetAttributes(const std::u16string& path, uint32_t attributes) {
  if (SetFileAttributesW(W(FilePath(path)), attributes)) return TFileResult::Ok();
  return LastError();
}

TFileResult TWin32FileOps::SetDateTime(const std::u16string& path, const TCalendarTime& when, int mode) {
  SetLastError(ERROR_SUCCESS);
  if (SetFileDateTime(FilePath(path), when, mode)) return TFileResult::Ok();
  const DWORD code = GetLastError();
  return code ? FileResultFromError(code) : TFileResult::Fail(TFileError::Other);
}

TFileResult TWin32FileOps::RestoreTimes(const std::u16string& path, int64_t created, int64_t accessed,
                                        int64_t modified) {
  SetLastError(ERROR_SUCCESS);
  if (RestoreRawFileTimes(FilePath(path), accessed, modified, created)) return TFileResult::Ok();
  const DWORD code = GetLastError();
  return code ? FileResultFromError(code) : TFileResult::Fail(TFileError::Other);
}

bool TWin32FileOps::Exists(const std::u16string& path) {
  return GetFileAttributesW(W(FilePath(path))) != INVALID_FILE_ATTRIBUTES;
}

bool TWin32FileOps::FolderExists(const std::u16string& path) {
  const DWORD a = GetFileAttributesW(W(FilePath(path)));
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::u16string> TWin32FileOps::ExactName(const std::u16string& path) {
  return EntryName(FilePath(path));
}

bool TWin32FileOps::ListFolder(const std::u16string& folder,
                               const std::function<void(const std::u16string& name, bool isFolder)>& onEntry) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileExW(W(SearchPattern(DiskFolder(folder))), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr,
                              FIND_FIRST_EX_LARGE_FETCH);
  if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
    h = FindFirstFileW(W(SearchPattern(DiskFolder(folder))), &fd);
  if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    const std::u16string name = U16(fd.cFileName);
    if (name == u"." || name == u"..") continue;
    onEntry(name, (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return true;
}

std::unique_ptr<IOutputFile> TWin32FileOps::OpenForWriting(const std::u16string& path, TOpenMode mode,
                                                           TFileResult& error) {
  const DWORD disposition = mode == TOpenMode::Replace ? CREATE_ALWAYS : OPEN_EXISTING;
  HANDLE h = CreateFileW(W(FilePath(path)), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    error = LastError();
    return nullptr;
  }
  if (mode == TOpenMode::Append) {
    LARGE_INTEGER zero{};
    if (!SetFilePointerEx(h, zero, nullptr, FILE_END)) {
      error = LastError();
      CloseHandle(h);
      return nullptr;
    }
  }
  error = TFileResult::Ok();
  return std::make_unique<TWin32OutputFile>(h);
}

}  // namespace qv::engine::win32
