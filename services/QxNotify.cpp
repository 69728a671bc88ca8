// The folder monitor and its worker.
#include "services/QxNotify.h"

#include <cstdio>

#include "framework/Application.h"
#include "framework/OSError.h"
#include "services/QxFileUtil.h"
#include "services/detail/NotifyApi.h"

namespace qv::controls {

namespace detail {

namespace {
DWORD WINAPI PlatformWait(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD ms) {
  return WaitForMultipleObjects(count, handles, waitAll, ms);
}
}  // namespace

const TNotifyApi& PlatformNotifyApi() {
  static const TNotifyApi api{&FindFirstChangeNotificationA, &FindNextChangeNotification,
                              &FindCloseChangeNotification, &PlatformWait, nullptr};
  return api;
}

TNotifyApi& NotifyApi() {
  static TNotifyApi api = PlatformNotifyApi();
  return api;
}

}  // namespace detail

namespace {

using detail::NotifyApi;

std::atomic<int> g_instances{0};

}  // namespace

DWORD FolderChangeMask(TFileChangeFilters filter) {
  static constexpr DWORD flags[8] = {FILE_NOTIFY_CHANGE_FILE_NAME,  FILE_NOTIFY_CHANGE_DIR_NAME,
                                     FILE_NOTIFY_CHANGE_ATTRIBUTES, FILE_NOTIFY_CHANGE_SIZE,
                                     FILE_NOTIFY_CHANGE_LAST_WRITE, FILE_NOTIFY_CHANGE_LAST_ACCESS,
                                     FILE_NOTIFY_CHANGE_CREATION,   FILE_NOTIFY_CHANGE_SECURITY};
  DWORD mask = 0;
  for (int i = 0; i < 8; ++i)
    if (filter.Has(static_cast<TFileChangeFilter>(i))) mask |= flags[i];
  return mask;
}

// --- TNotifyThread

TNotifyThread::TNotifyThread(const std::string& folder, bool watchSubtree, TFileChangeFilters filter) {
  ++g_instances;
  m_change = NotifyApi().FindFirst(folder.c_str(), watchSubtree ? TRUE : FALSE, FolderChangeMask(filter));
  if (m_change == INVALID_HANDLE_VALUE || m_change == nullptr) {
    m_change = INVALID_HANDLE_VALUE;
    m_lastError = GetLastError();
    if (m_lastError == 0) m_lastError = ERROR_INVALID_FUNCTION;
    return;
  }
  m_stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!m_stopEvent) {
    m_lastError = GetLastError();
    NotifyApi().FindClose(m_change);
    m_change = INVALID_HANDLE_VALUE;
  }
}

TNotifyThread::~TNotifyThread() {
  m_hasCallback = false;
  SetStopEvent();
  Terminate();
  WaitFor();  // the base class would too; our handles must outlive the loop
  if (m_change != INVALID_HANDLE_VALUE) NotifyApi().FindClose(m_change);
  if (m_stopEvent) CloseHandle(m_stopEvent);
  --g_instances;
}

int TNotifyThread::InstanceCount() { return g_instances.load(); }

void TNotifyThread::Stop() {
  Terminate();
  SetStopEvent();
}

void TNotifyThread::SetStopEvent() {
  if (m_stopEvent) SetEvent(m_stopEvent);
}

void TNotifyThread::SetChangeCallback(TChangeCallback callback) {
  m_hasCallback = false;
  m_callback = std::move(callback);
  m_hasCallback = static_cast<bool>(m_callback);
}

void TNotifyThread::Execute() {
  WatchLoop();
  ReleaseHandles();
  if (NotifyApi().BeforeRelease) NotifyApi().BeforeRelease();
  // From here on the object belongs to whoever comes second.
  m_release.WorkerEnds(*this);
}

bool TNotifyThread::ReleaseFromOwner() {
  m_hasCallback = false;
  Stop();
  if (m_release.OwnerLetsGo()) {
    delete this;  // the loop is over: the join is immediate
    return true;
  }
  return false;
}

void TNotifyThread::WatchLoop() {
  while (!Terminated() && m_change != INVALID_HANDLE_VALUE) {
    const HANDLE handles[2] = {m_change, m_stopEvent};
    const DWORD r = NotifyApi().Wait(2, handles, FALSE, INFINITE);
    if (r == WAIT_FAILED) {
      m_lastError = GetLastError();
      break;
    }
    if (r == WAIT_OBJECT_0) {
      if (Terminated()) continue;
      NotifyChange();
      if (!NotifyApi().FindNext(m_change)) {
        m_lastError = GetLastError();
        break;
      }
    } else if (r == WAIT_OBJECT_0 + 1) {
      break;
    }
  }
  m_loopFinished = true;
}

void TNotifyThread::ReleaseHandles() {
  if (m_change != INVALID_HANDLE_VALUE) {
    NotifyApi().FindClose(m_change);
    m_change = INVALID_HANDLE_VALUE;
  }
}

void TNotifyThread::NotifyChange() {
  if (!m_hasCallback) return;
  Synchronize([this] { DoNotify(); });
}

void TNotifyThread::DoNotify() {
  // Tested again here: a stop may have come while the hand-over was queued.
  if (!m_hasCallback || !m_callback) return;
  try {
    m_callback(*this);
  } catch (...) {
    // A failing handler must not end the watch (the worker would die
    // silently); the loop's exception display shows it.
    if (qv::fw::Application()) qv::fw::Application()->HandleException(std::current_exception());
  }
}

TNotifyThread* CreateNotifyThread(const std::string& folder, bool watchSubtree, TFileChangeFilters filter,
                                  TNotifyThread::TChangeCallback callback) {
  TWorkerRelease::EnsureReaper();
  auto* thread = new TNotifyThread(folder, watchSubtree, filter);
  DWORD error = thread->LastError();
  if (error == 0) {
    thread->SetChangeCallback(std::move(callback));
    if (!thread->Start()) error = GetLastError() ? GetLastError() : ERROR_NOT_ENOUGH_MEMORY;
  }
  if (error != 0) {
    delete thread;
    char message[1024];
    std::snprintf(message, sizeof message,
                  "Le rafraîchissement automatique est incompatible avec le dossier sélectionné.\n\r"
                  "Merci de le désactiver. Erreur système. Code : %lu. %s",
                  static_cast<unsigned long>(error), qv::fw::SysErrorMessage(error).c_str());
    throw qv::fw::EOSError(message, error);
  }
  return thread;
}

// --- TQxFolderMonitor

TQxFolderMonitor::TQxFolderMonitor(TComponent* owner) : TComponent(owner) {
  TWorkerRelease::EnsureReaper();
  // Made while the owner builds its layout: wait for it like its controls.
  if (owner && owner->Loading()) BeginLoading();
}

TQxFolderMonitor::~TQxFolderMonitor() {
  if (m_delayTimer) {
    m_delayTimer->OnTimer = nullptr;
    m_delayTimer->SetEnabled(false);
  }
  StopMonitor();
}

bool TQxFolderMonitor::Active() const { return m_worker && !m_worker->LoopFinished(); }

void TQxFolderMonitor::SetActive(bool active) {
  if (Loading()) {
    if (active) m_pendingActive = true;
    return;
  }
  if (active != Active()) RestartMonitor(active);
}

DWORD TQxFolderMonitor::LastError() const {
  if (m_worker && m_worker->LastError()) return m_worker->LastError();
  return m_lastError;
}

void TQxFolderMonitor::RestartMonitor(bool active) {
  StopMonitor();
  if (!active || !FolderExists(m_folderName)) return;
  try {
    m_worker = CreateNotifyThread(m_folderName, m_monitorSubtree, m_filter,
                                  [this](TNotifyThread& sender) { FolderChanged(sender); });
    m_lastError = 0;
  } catch (const qv::fw::EOSError& e) {
    m_lastError = e.ErrorCode();
    throw;
  }
}

void TQxFolderMonitor::StopMonitor() {
  TNotifyThread* worker = m_worker;
  if (!worker) return;
  m_worker = nullptr;
  if (worker->LastError()) m_lastError = worker->LastError();
  worker->ReleaseFromOwner();
}

void TQxFolderMonitor::SetFilter(TFileChangeFilters filter) {
  if (filter == m_filter) return;
  const TFileChangeFilters old = m_filter;
  const bool wasActive = Active();
  m_filter = filter;
  try {
    RestartMonitor(wasActive);
  } catch (...) {
    const DWORD error = m_lastError;
    m_filter = old;
    if (wasActive) {
      try {
        RestartMonitor(true);
      } catch (...) {
      }
    }
    m_lastError = error;
    throw;
  }
}

void TQxFolderMonitor::SetMonitorSubtree(bool subtree) {
  if (subtree == m_monitorSubtree) return;
  m_monitorSubtree = subtree;
  RestartMonitor(Active());
}

void TQxFolderMonitor::SetFolderName(const std::string& folder) {
  if (folder == m_folderName) return;
  m_folderName = folder;
  RestartMonitor(Active());
}

unsigned TQxFolderMonitor::DelayTime() const { return DelayPending() ? m_delayTimer->Interval() : m_delayTime; }

void TQxFolderMonitor::SetDelayTime(unsigned milliseconds) {
  if (DelayPending()) {
    if (milliseconds) m_delayTimer->SetInterval(milliseconds);
    else m_delayTimer->SetEnabled(false);  // the pending notification is dropped
  }
  m_delayTime = milliseconds;
}

void TQxFolderMonitor::FolderChanged(TNotifyThread&) {
  if (m_delayTime == 0) {
    Changed();
    return;
  }
  if (DelayPending()) return;  // merged into the pending notification
  if (!m_delayTimer) {
    m_delayTimer = &Make<qv::fw::TTimer>("");
    m_delayTimer->SetEnabled(false);
    m_delayTimer->OnTimer = [this](TComponent&) { DelayTimerTick(); };
  }
  m_delayTimer->SetInterval(m_delayTime);
  m_delayTimer->SetEnabled(true);
}

void TQxFolderMonitor::DelayTimerTick() {
  m_delayTimer->SetEnabled(false);
  Changed();
}

void TQxFolderMonitor::Changed() {
  if (OnChange) OnChange(*this);
}

void TQxFolderMonitor::Loaded() {
  TComponent::Loaded();
  if (m_pendingActive) {
    m_pendingActive = false;
    SetActive(true);
  }
}

}  // namespace qv::controls
