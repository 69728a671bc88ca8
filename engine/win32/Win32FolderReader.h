// The Win32 side of folder scans: FindFirstFileExW over the folder with the
// exact UTF-16 names, and the shell's type names (SHGetFileInfoW by name
// only, so one call per extension is enough; the listing caches them).
// Also the system icon index and local-time zone of the scan. A folder can
// be listed early, on a worker thread, for the scan that will ask for it
// (engine/win32/EarlyListing.h).
// Tested by tests/engine/win32/FolderScan_test.cpp and EarlyListing_test.cpp.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <unordered_map>

#include "engine/DateTime.h"
#include "engine/FolderReader.h"

namespace qv::engine::win32 {

class TEarlyListing;

class TWin32FolderReader final : public IFolderReader {
public:
  TWin32FolderReader();
  ~TWin32FolderReader() override;
  TWin32FolderReader(const TWin32FolderReader&) = delete;
  TWin32FolderReader& operator=(const TWin32FolderReader&) = delete;

  bool ReadFolder(const std::u16string& folder, const std::function<void(const TFolderEntry&)>& onEntry) override;
  std::string TypeName(const std::u16string& fileName) override;

  // Starts listing folder on a worker thread; the next ReadFolder takes
  // those entries when they are of the same folder and still current.
  void ListEarly(const std::u16string& folder);
  // Lets an early listing that no scan took go (with its memory).
  void DropEarlyListing();

private:
  std::unique_ptr<TEarlyListing> m_early;
};

// Every entry of a search path (SearchPattern) in directory order; false
// when the folder cannot be searched (an empty folder can). Stops early,
// answering true, once *stop is set.
bool ListFolder(const std::u16string& pattern, const std::function<void(const TFolderEntry&)>& onEntry,
                const std::atomic<bool>* stop = nullptr);

// The shell's type name for a path (by its name only), cp1252, at most 80
// characters; empty when the shell gives none.
std::string GetShellTypeName(const std::u16string& path);
// Index of the file's small icon in the system image list (by its name
// only); 0 when the shell gives none.
int GetSystemIconIndex(const std::u16string& path);

// System icon indexes cached per extension: the list view asks for the
// visible rows only, and a shell call costs about 0.2 ms under Wine.
class TShellIconCache {
public:
  int IconIndex(const std::u16string& fileName);
  void Clear() { m_cache.clear(); }

private:
  std::unordered_map<std::u16string, int> m_cache;
};

// Local time as the system converts it (FileTimeToLocalFileTime and back).
TTimeZone SystemTimeZone();

// The search path of a folder: a trailing "\" added, and the "\\?\" prefix
// for long absolute paths.
std::u16string SearchPattern(const std::u16string& folder);

}  // namespace qv::engine::win32
