// Early folder listing on a worker thread; see EarlyListing.h.
#include "engine/win32/EarlyListing.h"

#include <windows.h>

#include "engine/win32/DiskSpelling.h"
#include "engine/win32/FileTimes.h"
#include "engine/win32/WideText.h"
#include "engine/win32/Win32FolderReader.h"

namespace qv::engine::win32 {

namespace {

// Everything the list shows of a file, and its presence. Subfolders are
// never listed, so their changes do not count.
constexpr DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                           FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_LAST_ACCESS |
                           FILE_NOTIFY_CHANGE_CREATION;

// The folder of a search path ("...\*.*" less its "*.*"; the trailing "\"
// kept, so a root stays a root).
std::u16string FolderOfPattern(const std::u16string& pattern) { return pattern.substr(0, pattern.size() - 3); }

}  // namespace

bool TEarlyListing::ReadState(const std::u16string& folder, TFolderState& state) {
  HANDLE h = CreateFileW(W(folder), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool ok = GetFileInformationByHandle(h, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  CloseHandle(h);
  if (!ok) return false;
  state.volume = info.dwVolumeSerialNumber;
  state.index = Join64(info.nFileIndexHigh, info.nFileIndexLow);
  state.written = Ticks(info.ftLastWriteTime);
  return true;
}

TEarlyListing::TEarlyListing(const std::u16string& folder) {
  if (folder.empty()) return;
  m_pattern = SearchPattern(DiskFolder(folder));
  // Watched before the listing starts, so a change made while it runs or
  // after it is seen by Take; and from this thread: a change request ends
  // with the thread that made it.
  HANDLE watch = FindFirstChangeNotificationW(W(FolderOfPattern(m_pattern)), FALSE, kChanges);
  if (watch == INVALID_HANDLE_VALUE) return;
  m_watch = watch;
  m_worker = std::thread([this] { Run(); });
}

TEarlyListing::~TEarlyListing() {
  m_stop = true;
  Wait();
  Release();
}

void TEarlyListing::Wait() {
  if (m_worker.joinable()) m_worker.join();
}

void TEarlyListing::Run() {
  if (!ReadState(FolderOfPattern(m_pattern), m_state)) return;
  m_listed = ListFolder(m_pattern, [this](const TFolderEntry& e) { m_entries.Add(e); }, &m_stop) && !m_stop;
  if (!m_listed) m_entries.Clear();
}

void TEarlyListing::Release() {
  if (m_watch) FindCloseChangeNotification(static_cast<HANDLE>(m_watch));
  m_watch = nullptr;
  m_listed = false;
  m_entries.Clear();
}

bool TEarlyListing::Take(const std::u16string& diskFolder, const std::function<void(const TFolderEntry&)>& onEntry) {
  Wait();
  struct ReleaseAfter {
    TEarlyListing& early;
    ~ReleaseAfter() { early.Release(); }
  } releaseAfter{*this};
  if (!m_listed) return false;
  // The roots ("c:\") keep the letter case they were given in.
  const std::u16string pattern = SearchPattern(diskFolder);
  if (pattern.size() != m_pattern.size() ||
      CompareStringOrdinal(W(pattern), static_cast<int>(pattern.size()), W(m_pattern),
                           static_cast<int>(m_pattern.size()), TRUE) != CSTR_EQUAL)
    return false;
  if (WaitForSingleObject(static_cast<HANDLE>(m_watch), 0) != WAIT_TIMEOUT) return false;
  // The folder the scan asks for is the one listed, not another in its
  // place, and no entry came or went.
  TFolderState now;
  if (!ReadState(FolderOfPattern(pattern), now) || !(now == m_state)) return false;
  m_entries.Drain(onEntry);
  return true;
}

}  // namespace qv::engine::win32
