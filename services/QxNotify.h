// TQxFolderMonitor: watches one folder and raises OnChange on the main
// thread when the file system reports a change of the kinds in Filter.
// One worker (TNotifyThread) per active monitor sleeps on the folder's
// change notification and a stop event, and hands each change to the main
// thread synchronously (served by any message loop, modal ones included).
// With DelayTime > 0 a burst is reported once, DelayTime ms after its first
// change. Stopping never waits for the worker: a running worker frees
// itself; exactly one side frees it, decided by one atomic exchange.
// Example:  auto& m = form.Make<TQxFolderMonitor>("Monitor");
//           m.OnChange = [&](TComponent&) { Rescan(); };
//           m.SetFolderName("C:\\Photos"); m.SetActive(true);
// Needs the application object (framework/Application.h). Main thread only,
// except the worker's own loop. Tested by tests/services/QxNotify_test.cpp.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "framework/Component.h"
#include "framework/Control.h"
#include "framework/ExtCtrls.h"
#include "framework/Thread.h"
#include "services/WorkerRelease.h"

namespace qv::controls {

using qv::fw::TComponent;
using qv::fw::TNotifyEvent;

enum TFileChangeFilter : uint8_t {
  fnFileName, fnDirName, fnAttributes, fnSize, fnLastWrite, fnLastAccess, fnCreation, fnSecurity
};

// A set of TFileChangeFilter in one byte (bit n = element n).
class TFileChangeFilters {
public:
  constexpr TFileChangeFilters() = default;
  constexpr TFileChangeFilters(std::initializer_list<TFileChangeFilter> members) {
    for (TFileChangeFilter f : members) m_bits = static_cast<uint8_t>(m_bits | (1u << f));
  }
  static constexpr TFileChangeFilters FromByte(uint8_t bits) {
    TFileChangeFilters s;
    s.m_bits = bits;
    return s;
  }
  constexpr uint8_t Byte() const { return m_bits; }
  constexpr bool Has(TFileChangeFilter f) const { return (m_bits >> f) & 1u; }
  constexpr bool operator==(const TFileChangeFilters&) const = default;

private:
  uint8_t m_bits = 0;
};

// The platform's notification filter for a set (fnSecurity is 0x100).
DWORD FolderChangeMask(TFileChangeFilters filter);

class TNotifyThread : public qv::fw::TThread {
public:
  using TChangeCallback = std::function<void(TNotifyThread& sender)>;

  // Opens the folder's change notification; on failure LastError() holds
  // the platform error and the thread must not be started.
  TNotifyThread(const std::string& folder, bool watchSubtree, TFileChangeFilters filter);
  ~TNotifyThread() override;

  // Asks the loop to end and wakes it.
  void Stop();
  void SetStopEvent();
  // Main thread only. Cleared, no change reaches the callback any more.
  void SetChangeCallback(TChangeCallback callback);
  // Set by the worker when its loop has ended (stop or platform failure).
  bool LoopFinished() const { return m_loopFinished; }
  // The platform error that ended the loop (or failed the set-up), else 0.
  DWORD LastError() const { return m_lastError; }

  // The owner lets go of a worker: freed now when its loop is over
  // (returns true), else the worker frees itself when it ends. Main thread.
  bool ReleaseFromOwner();

  // Workers alive in the process (leak checks).
  static int InstanceCount();

protected:
  void Execute() override;
  // The wait loop of the worker.
  virtual void WatchLoop();
  // After the loop: closes the change notification.
  virtual void ReleaseHandles();
  // On the worker: hands the change to the main thread and waits.
  virtual void NotifyChange();

private:
  void DoNotify();

  HANDLE m_change = INVALID_HANDLE_VALUE;
  // Closed only by the destructor, so a late Stop() never meets a closed
  // (or reused) handle.
  HANDLE m_stopEvent = nullptr;
  TChangeCallback m_callback;             // main thread only
  std::atomic<bool> m_hasCallback{false};  // what the worker may read
  std::atomic<bool> m_loopFinished{false};
  std::atomic<DWORD> m_lastError{0};
  TWorkerRelease m_release;
};

// Makes and starts a worker whose changes go to the callback; raises
// EOSError (French message, platform code) when the folder cannot be watched.
TNotifyThread* CreateNotifyThread(const std::string& folder, bool watchSubtree, TFileChangeFilters filter,
                                  TNotifyThread::TChangeCallback callback = nullptr);

class TQxFolderMonitor : public TComponent {
public:
  explicit TQxFolderMonitor(TComponent* owner);
  ~TQxFolderMonitor() override;

  // True exactly while a worker watches (not after its loop ended by a
  // platform failure). Writing starts or stops; while the owner is being
  // built, True waits until it is loaded.
  bool Active() const;
  void SetActive(bool active);
  // 0: OnChange for every change; else one OnChange per burst, after the delay.
  unsigned DelayTime() const;
  void SetDelayTime(unsigned milliseconds);
  TFileChangeFilters Filter() const { return m_filter; }
  // A restart that fails keeps the old filter (and its watch) and raises.
  void SetFilter(TFileChangeFilters filter);
  const std::string& FolderName() const { return m_folderName; }
  // A missing folder leaves the monitor inactive, silently.
  void SetFolderName(const std::string& folder);
  bool MonitorSubtree() const { return m_monitorSubtree; }
  void SetMonitorSubtree(bool subtree);
  // The platform error that ended or refused the last worker; 0 when none.
  DWORD LastError() const;

  TNotifyEvent OnChange;

  // Stops the worker, and starts a new one when active and the folder exists.
  virtual void RestartMonitor(bool active);

protected:
  virtual void Changed();
  void Loaded() override;

private:
  void StopMonitor();
  void FolderChanged(TNotifyThread& sender);
  void DelayTimerTick();
  bool DelayPending() const { return m_delayTimer && m_delayTimer->Enabled(); }

  TNotifyThread* m_worker = nullptr;
  // Made on the first delayed change and kept; enabled while a merged
  // notification is pending.
  qv::fw::TTimer* m_delayTimer = nullptr;
  unsigned m_delayTime = 0;
  TFileChangeFilters m_filter{fnFileName, fnDirName, fnSize, fnLastWrite};
  std::string m_folderName;
  bool m_monitorSubtree = true;
  bool m_pendingActive = false;
  DWORD m_lastError = 0;
};

}  // namespace qv::controls
