// TFileChangeThread: waits for one change in one folder and reports it
// once, on the main thread, by ending. A watcher that is cancelled, or
// that cannot watch its folder, ends without a report.
//
//   m_watcher = TFileChangeThread::Create(path, fcFileName | fcDirName, false,
//                                         [this](TFileChangeThread&) { m_watcher = nullptr; Reread(); });
//   ...  m_watcher->Terminate(); m_watcher = nullptr;   // or let it report
//
// Ownership: the owner holds the pointer until it calls Terminate or the
// report arrives, then forgets it; the object is freed by whichever of the
// owner and the worker lets go last, so neither a late report nor a
// Terminate after a failed start ever meets a freed object.
// Create and Terminate run on the main thread; the report is handed over
// through the application (framework/Thread.h).
// Tested by tests/controls/shell/FileChange_test.cpp.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "framework/Thread.h"
#include "services/WorkerRelease.h"

namespace qv::controls {

// Six flags in one byte; bits above them are ignored.
using TChangeFilter = uint8_t;
inline constexpr TChangeFilter fcFileName = 0x01, fcDirName = 0x02, fcAttributes = 0x04, fcSize = 0x08,
                               fcLastWrite = 0x10, fcSecurity = 0x20;

// The platform's notification filter: bits 0..4 as they are, 0x100 for
// security.
DWORD FileChangeMask(TChangeFilter filter);

class TFileChangeThread : public fw::TThread {
public:
  using TReport = std::function<void(TFileChangeThread& sender)>;

  // Starts watching folder at once. onChange runs on the main thread when
  // a change came; the owner forgets its pointer there. Null when the
  // thread cannot start.
  static TFileChangeThread* Create(const std::string& folder, TChangeFilter filter, bool watchSubtree,
                                   TReport onChange);

  // Main thread, once, by the owner: cancels the watch (no report follows;
  // the worker ends within about 10 ms) and lets go of the object.
  void Terminate();

  const std::string& Folder() const { return m_folder; }
  TChangeFilter Filter() const { return m_filter; }
  bool WatchSubtree() const { return m_watchSubtree; }
  // Set when the worker ended without a change to report.
  bool Cancelled() const { return m_cancelled; }
  // The platform error that kept the watch from starting, else 0.
  DWORD ErrorCode() const { return m_error; }

  // Watchers alive, and change handles open, in the process (tests).
  static int InstanceCount();
  static int OpenHandleCount();

protected:
  void Execute() override;

private:
  TFileChangeThread(const std::string& folder, TChangeFilter filter, bool watchSubtree, TReport onChange);
  ~TFileChangeThread() override;
  void Deliver();

  std::atomic<bool> m_cancelled{false};
  std::string m_folder;
  bool m_watchSubtree;
  TChangeFilter m_filter;
  HANDLE m_handle = INVALID_HANDLE_VALUE;
  std::atomic<DWORD> m_error{0};
  TReport m_onChange;  // main thread only
  TWorkerRelease m_release;
};

}  // namespace qv::controls
