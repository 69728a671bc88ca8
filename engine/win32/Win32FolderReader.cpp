// Folder scan, type names and icons through the Win32 wide API; see
// Win32FolderReader.h.
#include "engine/win32/Win32FolderReader.h"

#include <windows.h>
#include <shellapi.h>

#include "engine/win32/DiskSpelling.h"
#include "engine/win32/EarlyListing.h"
#include "engine/win32/FileTimes.h"
#include "engine/win32/WideText.h"

namespace qv::engine::win32 {

std::u16string SearchPattern(const std::u16string& folder) {
  std::u16string p = folder;
  if (p.empty() || p.back() != u'\\') p += u'\\';
  p += u"*.*";
  const bool drive = p.size() > 2 && p[1] == u':' && p[2] == u'\\';
  if (p.size() >= MAX_PATH && drive) p = u"\\\\?\\" + p;
  return p;
}

TWin32FolderReader::TWin32FolderReader() = default;
TWin32FolderReader::~TWin32FolderReader() = default;

void TWin32FolderReader::ListEarly(const std::u16string& folder) {
  m_early.reset();
  m_early = std::make_unique<TEarlyListing>(folder);
}

void TWin32FolderReader::DropEarlyListing() { m_early.reset(); }

bool TWin32FolderReader::ReadFolder(const std::u16string& folder,
                                    const std::function<void(const TFolderEntry&)>& onEntry) {
  // Whatever this scan is, an early listing serves it or none.
  const std::unique_ptr<TEarlyListing> early = std::move(m_early);
  // A scan is where the user picks or refreshes a folder: spellings found
  // before may be stale.
  ForgetDiskSpellings();
  const std::u16string disk = DiskFolder(folder);
  if (early && early->Take(disk, onEntry)) return true;
  return ListFolder(SearchPattern(disk), onEntry);
}

bool ListFolder(const std::u16string& pattern, const std::function<void(const TFolderEntry&)>& onEntry,
                const std::atomic<bool>* stop) {
  WIN32_FIND_DATAW fd;
  // The standard level gives the 8.3 names the list shows.
  HANDLE h = FindFirstFileExW(W(pattern), FindExInfoStandard, &fd, FindExSearchNameMatch, nullptr,
                              FIND_FIRST_EX_LARGE_FETCH);
  if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
    h = FindFirstFileExW(W(pattern), FindExInfoStandard, &fd, FindExSearchNameMatch, nullptr, 0);
  if (h == INVALID_HANDLE_VALUE) {
    // An empty folder is still a folder.
    return GetLastError() == ERROR_FILE_NOT_FOUND;
  }
  TFolderEntry e;
  do {
    e.Name.assign(reinterpret_cast<const char16_t*>(fd.cFileName));
    e.ShortName.assign(reinterpret_cast<const char16_t*>(fd.cAlternateFileName));
    e.Attributes = fd.dwFileAttributes;
    e.Size = Join64(fd.nFileSizeHigh, fd.nFileSizeLow);
    e.Created = Ticks(fd.ftCreationTime);
    e.Accessed = Ticks(fd.ftLastAccessTime);
    e.Modified = Ticks(fd.ftLastWriteTime);
    onEntry(e);
  } while ((!stop || !*stop) && FindNextFileW(h, &fd));
  FindClose(h);
  return true;
}

std::string TWin32FolderReader::TypeName(const std::u16string& fileName) { return GetShellTypeName(fileName); }

std::string GetShellTypeName(const std::u16string& path) {
  SHFILEINFOW sfi{};
  if (!SHGetFileInfoW(W(path), 0, &sfi, sizeof sfi, SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES)) return {};
  std::string name = base::Utf16ToCp1252(U16(sfi.szTypeName));
  if (name.size() > 80) name.resize(80);
  return name;
}

int GetSystemIconIndex(const std::u16string& path) {
  SHFILEINFOW sfi{};
  if (!SHGetFileInfoW(W(path), 0, &sfi, sizeof sfi, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES))
    return 0;
  return sfi.iIcon;
}

int TShellIconCache::IconIndex(const std::u16string& fileName) {
  std::u16string ext = ExtensionKey(fileName);
  const auto it = m_cache.find(ext);
  if (it != m_cache.end()) return it->second;
  const int index = GetSystemIconIndex(fileName);
  m_cache.emplace(std::move(ext), index);
  return index;
}

TTimeZone SystemTimeZone() {
  TTimeZone z;
  z.ToLocal = [](int64_t utc, int64_t& local) {
    const FILETIME in = ToFileTime(utc);
    FILETIME out;
    if (utc < 0 || !FileTimeToLocalFileTime(&in, &out)) return false;
    local = Ticks(out);
    return local >= 0;
  };
  z.ToUtc = [](int64_t local, int64_t& utc) {
    const FILETIME in = ToFileTime(local);
    FILETIME out;
    if (local < 0 || !LocalFileTimeToFileTime(&in, &out)) return false;
    utc = Ticks(out);
    return utc >= 0;
  };
  return z;
}

}  // namespace qv::engine::win32
