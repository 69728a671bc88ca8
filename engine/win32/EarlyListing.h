// TEarlyListing: a folder's entries read on a worker thread ahead of the
// scan that will ask for them. The start folder is known before the main
// window is built, and building it mostly waits on the window server, so
// the folder's listing can run meanwhile. The scan takes the entries only
// while they are what a listing would give at that moment: the same folder
// on disk (same search path, same file identity) with no change reported
// inside it since before the listing began; otherwise it lists the folder
// itself. Change reports reach the process a few milliseconds after the
// change (entries added, removed or renamed are seen at once through the
// folder's last-write time): a file changed in place just before the scan
// may show as it was, as it may during any listing. Files read, not
// changed, report nothing: their access time is the one of the listing.
// The worker always ends: Take, Wait and the destructor join it.
// Tested by tests/engine/win32/EarlyListing_test.cpp.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "engine/FolderReader.h"
#include "engine/PackedEntries.h"

namespace qv::engine::win32 {

class TEarlyListing {
public:
  // Starts listing folder (any spelling; the disk's is looked up). The
  // thread that makes it must outlive it: it watches the folder.
  explicit TEarlyListing(const std::u16string& folder);
  ~TEarlyListing();
  TEarlyListing(const TEarlyListing&) = delete;
  TEarlyListing& operator=(const TEarlyListing&) = delete;

  // Waits for the worker to end.
  void Wait();
  // When the entries are those of diskFolder (DiskFolder's spelling) and
  // still current, hands them to onEntry in directory order and answers
  // true; otherwise false. Waits for the worker first. Once: afterwards it
  // holds nothing and answers false.
  bool Take(const std::u16string& diskFolder, const std::function<void(const TFolderEntry&)>& onEntry);
  // Entries held (after Wait), for tests.
  size_t Count() const { return m_entries.Count(); }

private:
  // Volume and file index (another folder put in its place under the same
  // name has others) and last-write time (which an entry added, removed or
  // renamed moves at once, while change reports come a little later).
  struct TFolderState {
    uint64_t volume = 0, index = 0;
    int64_t written = 0;
    bool operator==(const TFolderState&) const = default;
  };
  static bool ReadState(const std::u16string& folder, TFolderState& state);
  void Run();
  void Release();

  std::u16string m_pattern;  // the search path on disk
  void* m_watch = nullptr;   // change notification, set before the listing
  TFolderState m_state;  // when the listing began
  bool m_listed = false;
  std::atomic<bool> m_stop{false};
  TPackedEntries m_entries;
  std::thread m_worker;
};

}  // namespace qv::engine::win32
